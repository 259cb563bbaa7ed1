#include "postal/dictionary/DictionaryWatch.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

DictionaryWatch::DictionaryWatch(const QString &path)
{
    const QFileInfo file(path);
    name_ = QFile::encodeName(file.fileName());
    inotify_ = ::inotify_init1(IN_CLOEXEC);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (inotify_ < 0 || stop_ < 0)
        return;
    constexpr uint32_t events = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM
                                | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
    bool watching = ::inotify_add_watch(inotify_, QFile::encodeName(file.absolutePath()).constData(), events) >= 0;
    // A link: its target's folder too.
    const QFileInfo target(file.canonicalFilePath());
    if (watching && file.isSymLink() && target.exists()) {
        target_ = QFile::encodeName(target.fileName());
        watching = ::inotify_add_watch(inotify_, QFile::encodeName(target.absolutePath()).constData(), events) >= 0;
    }
    if (!watching)
        return;
    active_ = true;
    thread_ = std::thread(&DictionaryWatch::run, this);
}

DictionaryWatch::~DictionaryWatch()
{
    if (thread_.joinable()) {
        const uint64_t one = 1;
        if (::write(stop_, &one, sizeof one) == sizeof one)
            thread_.join();
        else
            thread_.detach();  // cannot happen for an eventfd; never hang the program's end
    }
    if (inotify_ >= 0)
        ::close(inotify_);
    if (stop_ >= 0)
        ::close(stop_);
}

void DictionaryWatch::run()
{
    alignas(inotify_event) char buffer[4096];
    pollfd fds[2] = {{inotify_, POLLIN, 0}, {stop_, POLLIN, 0}};
    // A watch that fails is given up, never spun on: the dictionary then
    // asks the file itself, as without one.
    auto giveUp = [&] {
        generation_.fetch_add(1, std::memory_order_acq_rel);
        active_.store(false, std::memory_order_release);
    };
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            giveUp();
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            giveUp();
            return;
        }
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            giveUp();
            return;
        }
        bool ours = false, lost = false;
        for (ssize_t at = 0; at < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            const QByteArray name(e->len ? e->name : "");
            ours = ours || name == name_ || (!target_.isEmpty() && name == target_) || (e->mask & IN_Q_OVERFLOW);
            lost = lost || (e->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF));
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
        if (ours || lost)
            generation_.fetch_add(1, std::memory_order_acq_rel);
        if (lost) {
            // The folder itself went away or moved: nothing more can be told.
            active_.store(false, std::memory_order_release);
            return;
        }
    }
}
