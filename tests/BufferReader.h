#pragma once
// A buffer read as a list is read from a file or a pipe: in reads of at
// most `step` bytes (so that rows span reads), then its end; or, as a disk
// that fails, a read that fails where the buffer ends.

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <limits>

class BufferReader
{
public:
    enum class End { Plain, Fails };
    explicit BufferReader(QByteArray bytes, qsizetype step = std::numeric_limits<qsizetype>::max(), End end = End::Plain)
        : bytes_(std::move(bytes)), step_(step), end_(end)
    {
    }
    qsizetype operator()(char *buffer, qsizetype room)
    {
        if (at_ == bytes_.size() && end_ == End::Fails)
            return -1;
        const qsizetype n = std::min({room, step_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }

private:
    QByteArray bytes_;
    qsizetype step_;
    End end_;
    qsizetype at_ = 0;
};
