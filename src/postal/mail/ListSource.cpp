#include "postal/mail/ListSource.h"

#include "postal/mail/ListRun.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace PostalCsv {

ListSource::ListSource(CsvRecords::Read read, Encoding given, std::function<void(const QString &)> say)
    : read_(std::move(read)),
      records_([this](char *buffer, qsizetype size) -> qsizetype {
          if (!head_.isEmpty()) {
              const qsizetype n = std::min(size, head_.size());
              std::memcpy(buffer, head_.constData(), size_t(n));
              head_.remove(0, n);
              return n;
          }
          return read_(buffer, size);
      }),
      encoding_(given), say_(std::move(say))
{
}

bool ListSource::open()
{
    while (head_.size() < 3) {
        char c[3];
        const qsizetype n = read_(c, 3 - head_.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        head_.append(c, n);
    }
    bom_ = head_ == "\xEF\xBB\xBF";
    if (bom_) {
        head_.clear();
        if (encoding_ == Encoding::Cp932)
            say_(u"the list begins with UTF-8's byte-order mark: read as UTF-8"_s);
        encoding_ = Encoding::Utf8;
    }
    if (encoding_ != Encoding::Detect)
        return true;
    // The rows that are not ASCII vote, until enough have (a row of
    // half-width katakana in code page 932 may be valid UTF-8, a row of
    // UTF-8 may hold a stray byte), or a mebibyte has come.
    qsizetype votedBytes = 0, waited = 0, utf8 = 0, cp932 = 0;
    CsvRecords::Record record;
    while (votedBytes < 4096 && waited < (1 << 20) && (more_ = records_.next(&record))) {
        waiting_.append(record);
        waited += record.raw.size();
        if (ascii(record.raw))
            continue;
        votedBytes += record.raw.size();
        utf8 += Codec(Encoding::Utf8).decode(record.raw) ? 1 : 0;
        cp932 += AnsiCodec::decode(record.raw).ok ? 1 : 0;
    }
    encoding_ = cp932 > utf8 ? Encoding::Cp932 : Encoding::Utf8;
    // What is added is Japanese: the guess matters, and is said.
    if (votedBytes == 0 && !waiting_.isEmpty())
        say_(u"%1 all ASCII: taken as UTF-8 (say --encoding cp932 if it is code page 932)"_s.arg(
            more_ ? u"the list's first mebibyte is"_s : u"the list is"_s));
    return true;
}

bool ListSource::next(CsvRecords::Record *record)
{
    if (given_ < waiting_.size()) {
        *record = std::move(waiting_[given_++]);
        if (given_ == waiting_.size()) {
            waiting_.clear();
            given_ = 0;
        }
        return true;
    }
    return more_ && records_.next(record);
}

}  // namespace PostalCsv
