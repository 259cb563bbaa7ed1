#include "postal/cli/StandardStreams.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace Cli {

namespace {

// Standard output, written in blocks.
class Output
{
public:
    bool write(const QByteArray &bytes)
    {
        pending_ += bytes;
        return pending_.size() < (1 << 16) || flush();
    }
    // False once anything could not be written, then and after.
    bool flush()
    {
        if (!failed_
            && (std::fwrite(pending_.constData(), 1, size_t(pending_.size()), stdout) != size_t(pending_.size())
                || std::fflush(stdout) != 0)) {
            failed_ = true;
            error_ = errno;
        }
        pending_.clear();
        return !failed_;
    }
    int error() const { return error_; }  // why the first failure failed

private:
    QByteArray pending_;
    bool failed_ = false;
    int error_ = 0;
};

// Standard input a line at a time, read in blocks of its own: before it
// waits for more, `beforeWaiting` runs.
class InputLines
{
public:
    explicit InputLines(std::function<void()> beforeWaiting) : beforeWaiting_(std::move(beforeWaiting)) {}
    // The next line without its line end; false at the end.
    bool next(QByteArray *line)
    {
        for (;;) {
            const qsizetype end = buffer_.indexOf('\n', start_);
            if (end >= 0) {
                *line = buffer_.sliced(start_, end - start_);
                start_ = end + 1;
                if (line->endsWith('\r'))
                    line->chop(1);
                return true;
            }
            if (atEnd_) {
                if (start_ >= buffer_.size())
                    return false;
                *line = buffer_.sliced(start_);
                start_ = buffer_.size();
                return true;
            }
            buffer_.remove(0, start_);
            start_ = 0;
            beforeWaiting_();
            readBlock();
        }
    }
    // Whether next() has a line without waiting for one.
    bool ready() const { return buffer_.indexOf('\n', start_) >= 0 || (atEnd_ && start_ < buffer_.size()); }
    bool failed() const { return failed_; }
    int error() const { return error_; }

private:
    // Read in large blocks: the lines there are are answered together.
    void readBlock()
    {
        const qsizetype had = buffer_.size();
        buffer_.resize(had + (1 << 20));
        ssize_t n;
        do
            n = ::read(STDIN_FILENO, buffer_.data() + had, 1 << 20);
        while (n < 0 && errno == EINTR);
        buffer_.resize(had + std::max<ssize_t>(n, 0));
        if (n <= 0) {
            atEnd_ = true;
            failed_ = n < 0;
            error_ = failed_ ? errno : 0;  // lines still answered would change errno
        }
    }

    std::function<void()> beforeWaiting_;
    QByteArray buffer_;
    qsizetype start_ = 0;
    bool atEnd_ = false, failed_ = false;
    int error_ = 0;
};

}  // namespace

int answerLines(const std::function<bool(const PostalLookup::Io &)> &command, int *code)
{
    Output out;
    InputLines in([&] { out.flush(); });
    const bool written = command({[&](QByteArray *line) { return in.next(line); },
                                  [&] { return in.ready(); },
                                  [&](const QByteArray &bytes) { return out.write(bytes); },
                                  [&](qint64 number, const QString &why) {
                                      std::fprintf(stderr, "zenrook-postal: line %lld: %s\n", number, qPrintable(why));
                                      *code = std::max(*code, 1);
                                  }});
    if (in.failed()) {
        std::fprintf(stderr, "zenrook-postal: cannot read standard input: %s\n", std::strerror(in.error()));
        *code = std::max(*code, 1);
    }
    if (!written || !out.flush()) {
        std::fprintf(stderr, "zenrook-postal: cannot write the answers: %s\n", std::strerror(out.error()));
        return 1;
    }
    return *code;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        QFile other(path);
        if (other.open(QIODevice::WriteOnly) && other.write(bytes) == bytes.size() && other.flush())
            return true;
        std::fprintf(stderr, "zenrook-postal: cannot write %s: %s\n", qPrintable(path), qPrintable(other.errorString()));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "zenrook-postal: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

}  // namespace Cli
