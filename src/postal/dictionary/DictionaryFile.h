#pragma once
// The dictionary's file as the program holds it: read whole, with what
// tells one state of the file from another, and whether it must be read
// again: a change the watch reported (even a write that left size and time
// as they were), or one the file's device, inode, size or time show.

#include "postal/dictionary/DictionaryWatch.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class DictionaryFile
{
public:
    struct Identity {
        quint64 device = 0, inode = 0;
        qint64 size = -1, modified = 0;
        friend bool operator==(const Identity &a, const Identity &b)
        {
            return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified == b.modified;
        }
    };
    static std::optional<Identity> identityOf(const QString &path);

    explicit DictionaryFile(QString path) : path_(std::move(path)) {}
    const QString &path() const { return path_; }

    // From now on, a change is a change seen: before the file is first read.
    void watch();

    // The whole file, which did not change while it was read; none, with
    // the reason naming the file, when it cannot be read.
    std::optional<QByteArray> read(QString *why);

    // What is held of the file: what was read, nothing because the file as
    // it is could not be read (tried again once it changes), or nothing yet.
    enum class Held { Contents, Failure, Nothing };
    // Whether the file must be read again. The watch is trusted alone for a
    // few milliseconds after the file itself was last asked, so that a run
    // of look-ups costs no system call each and a look-up made by hand sees
    // a change the watch has not reported yet. A file removed or moved away
    // is read no more: what was read of it stands.
    bool mustRead(Held held);

private:
    QString path_;
    Identity identity_;  // when last read, or last found unreadable
    std::unique_ptr<DictionaryWatch> watch_;
    quint64 seen_ = 0;   // the watch's generation when the file was last asked
    std::chrono::steady_clock::time_point lastAsked_;
};
