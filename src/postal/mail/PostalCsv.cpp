#include "postal/mail/PostalCsv.h"

#include "postal/mail/ListRun.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace PostalCsv {

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

}  // namespace

Stop run(AddressComponent &component, const Options &options, const Io &io)
{
    return run(QList<AddressComponent *>{&component}, options, io);
}

Stop run(const QList<AddressComponent *> &components, const Options &options, const Io &io)
{
    // A byte-order mark is passed on and tells the encoding, whatever was said.
    QByteArray head;
    while (head.size() < 3) {
        char c[3];
        const qsizetype n = io.read(c, 3 - head.size());
        if (n < 0)
            return {Stop::Kind::Io, u"cannot read the list"_s};
        if (n == 0)
            break;
        head.append(c, n);
    }
    const bool bom = head == kBom;
    if (bom)
        head.clear();
    CsvRecords records([&](char *buffer, qsizetype size) -> qsizetype {
        if (!head.isEmpty()) {
            const qsizetype n = std::min(size, head.size());
            std::memcpy(buffer, head.constData(), size_t(n));
            head.remove(0, n);
            return n;
        }
        return io.read(buffer, size);
    });

    // Undecided, the first rows wait until one shows its encoding.
    QList<CsvRecords::Record> waiting;
    CsvRecords::Record record;
    Encoding encoding = options.encoding;
    qsizetype waited = 0;
    bool more = true;
    if (bom) {
        if (encoding == Encoding::Cp932)
            io.warn(0, u"the list begins with UTF-8's byte-order mark: read as UTF-8"_s);
        encoding = Encoding::Utf8;
    }
    if (encoding == Encoding::Detect) {
        // The rows that are not ASCII vote, until enough have (a row of
        // half-width katakana in code page 932 may be valid UTF-8, a row of
        // UTF-8 may hold a stray byte), or a mebibyte has come.
        qsizetype votedBytes = 0, utf8 = 0, cp932 = 0;
        while (votedBytes < 4096 && waited < (1 << 20) && (more = records.next(&record))) {
            waiting.append(record);
            waited += record.raw.size();
            if (ascii(record.raw))
                continue;
            votedBytes += record.raw.size();
            utf8 += Codec(Encoding::Utf8).decode(record.raw) ? 1 : 0;
            cp932 += AnsiCodec::decode(record.raw).ok ? 1 : 0;
        }
        encoding = cp932 > utf8 ? Encoding::Cp932 : Encoding::Utf8;
        // What is added is Japanese: the guess matters, and is said.
        if (votedBytes == 0 && !waiting.isEmpty())
            io.warn(0, u"%1 all ASCII: taken as UTF-8 (say --encoding cp932 if it is code page 932)"_s.arg(
                           more ? u"the list's first mebibyte is"_s : u"the list is"_s));
    }
    if (bom && !io.write(kBom))
        return {Stop::Kind::Io, u"cannot write the list"_s};

    ListRun list(components, options, io, encoding);
    bool going = true;
    for (const CsvRecords::Record &r : std::as_const(waiting)) {
        if (!(going = list.feed(r)))
            break;
    }
    waiting.clear();
    while (going && more && records.next(&record))
        going = list.feed(record);
    return list.finish(records.failed());
}

}  // namespace PostalCsv
