#pragma once
// Tells when the file at a path may have changed: written in place, or
// another file put in its place. The kernel reports changes to the file's
// folder (inotify) to a thread of its own, so that asking costs nothing;
// where it cannot watch, active() is false and the file must be asked.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

class DictionaryWatch
{
public:
    explicit DictionaryWatch(const QString &path);
    ~DictionaryWatch();
    DictionaryWatch(const DictionaryWatch &) = delete;
    DictionaryWatch &operator=(const DictionaryWatch &) = delete;

    bool active() const { return active_.load(std::memory_order_acquire); }
    // Grows with every change the kernel reports to the file, or to its
    // name in its folder.
    quint64 generation() const { return generation_.load(std::memory_order_acquire); }

private:
    void run();

    QByteArray name_, target_;  // the file's name in its folder, and its target's if a link
    int inotify_ = -1;
    int stop_ = -1;
    std::atomic<bool> active_{false};
    std::atomic<quint64> generation_{0};
    std::thread thread_;
};
