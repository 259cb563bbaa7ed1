#include "addresses/PostalCsv.h"

#include "addresses/AddressBarcode.h"
#include "addresses/AddressText.h"
#include "addresses/InParallel.h"
#include "addresses/PostalLookup.h"
#include "platform/AnsiCodec.h"


#include <QStringDecoder>

#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace PostalCsv {

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

// The list's encoding at the file boundary; text inside.
class Codec
{
public:
    explicit Codec(Encoding e) : utf8_(e == Encoding::Utf8) {}
    std::optional<QString> decode(const QByteArray &bytes) const
    {
        if (utf8_) {
            QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString text = d(bytes);
            return d.hasError() ? std::nullopt : std::optional(text);
        }
        AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
        return d.ok ? std::optional(std::move(d.text)) : std::nullopt;
    }
    // Nothing, and what it cannot hold in `missing`, when it cannot be written.
    std::optional<QByteArray> encode(const QString &text, QString *missing) const
    {
        if (utf8_)
            return text.toUtf8();
        // Codes, certainties and barcodes are ASCII, the same in either.
        if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
            return text.toLatin1();
        AnsiCodec::Encoded e = AnsiCodec::encode(text);
        if (e.ok)
            return std::move(e.bytes);
        *missing = e.unrepresentable;
        return std::nullopt;
    }
    QString name() const { return utf8_ ? u"UTF-8"_s : u"code page 932"_s; }

private:
    bool utf8_;
};

bool ascii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

// A column by its number from 1, or by its name in the header.
std::optional<qsizetype> columnOf(const QString &given, const QStringList &names)
{
    bool number = false;
    const int n = given.toInt(&number);
    if (number)
        return n >= 1 ? std::optional<qsizetype>(n - 1) : std::nullopt;
    const qsizetype at = names.indexOf(given.trimmed());
    return at >= 0 ? std::optional(at) : std::nullopt;
}

}  // namespace

Stop run(AddressComponent &component, const Options &options, const Io &io)
{
    return run(QList<AddressComponent *>{&component}, options, io);
}

Stop run(const QList<AddressComponent *> &components, const Options &options, const Io &io)
{
    AddressComponent &component = *components.first();
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
    const Codec codec(encoding);
    // A cell's text; none when it is not in the list's encoding or holds a
    // NUL, which no address has and which would be copied into what is added.
    auto readable = [&](const QByteArray &value) -> std::optional<QString> {
        if (value.contains('\0'))
            return std::nullopt;
        return codec.decode(value);
    };
    if (bom && !io.write(kBom))
        return {Stop::Kind::Io, u"cannot write the list"_s};

    // The first stop is the one said; the rows before it are written.
    Stop stop;
    auto halt = [&](Stop::Kind kind, const QString &why) {
        if (stop.kind == Stop::Kind::None)
            stop = {kind, why};
    };
    auto going = [&] { return stop.kind == Stop::Kind::None; };
    std::optional<qsizetype> addressColumn, zipColumn;
    bool headerDone = !options.header;
    auto encoded = [&](const QString &text, qint64 line) -> QByteArray {
        QString missing;
        const std::optional<QByteArray> bytes = codec.encode(text, &missing);
        if (!bytes)
            halt(Stop::Kind::Other,
                 u"line %1: %2 cannot be written in %3, the list's encoding; stopped there"_s.arg(line).arg(missing, codec.name()));
        return bytes.value_or(QByteArray());
    };
    auto appended = [&](const QStringList &values, qint64 line) {
        QByteArray out;
        for (const QString &v : values)
            out += ',' + CsvRecords::field(encoded(v, line));
        return out;
    };
    auto resolve = [&](const QStringList &names) {
        addressColumn = columnOf(options.address, names);
        if (!options.zip.isEmpty())
            zipColumn = columnOf(options.zip, names);
        auto hint = [&](const QString &given) {
            bool number = false;
            given.toInt(&number);
            return options.header || number ? QString() : u" (a column's name needs --header)"_s;
        };
        if (!addressColumn)
            halt(Stop::Kind::Column, u"no column %1 for the address%2"_s.arg(options.address, hint(options.address)));
        else if (!options.zip.isEmpty() && !zipColumn)
            halt(Stop::Kind::Column, u"no column %1 for the postal code%2"_s.arg(options.zip, hint(options.zip)));
    };
    qsizetype width = 0;  // cells a row has before those added
    if (!options.header)
        resolve({});

    qsizetype rows = 0, rowsWithAddress = 0;  // a column past every row is a slip

    // The rows of a batch are looked up ahead, shared among the components,
    // each on a thread of its own; then each row is handled in turn.
    struct Ahead {
        bool ready = false;  // the row's cells could be read
        std::optional<QString> zip, address;
        AddressBarcode barcode;
    };
    QList<Ahead> ahead;
    const Ahead *aheadOfRow = nullptr;  // the row being handled's
    auto lookAhead = [&](const QList<CsvRecords::Record> &batch) {
        ahead = QList<Ahead>(batch.size());
        QList<qsizetype> rows;
        for (qsizetype i = 0; i < batch.size(); ++i) {
            const CsvRecords::Record &r = batch.at(i);
            if (r.continued || !r.problem.isEmpty() || r.bodyEnd == 0 || !addressColumn)
                continue;
            auto cell = [&](std::optional<qsizetype> column) -> std::optional<QString> {
                if (!column || *column >= r.fields.size())
                    return QString();
                return readable(CsvRecords::value(r, r.fields.at(*column)));
            };
            Ahead &a = ahead[i];
            a.address = cell(addressColumn);
            a.zip = cell(zipColumn);
            a.ready = true;
            if (a.address && a.zip)
                rows.append(i);
        }
        inParallel(int(components.size()), rows.size(), [&](int worker, qsizetype k) {
            Ahead &a = ahead[rows.at(k)];
            a.barcode = addressBarcode(*components.at(worker), *a.zip, *a.address);
        });
    };

    // One row: passed on, or passed on with what it gained.
    auto handle = [&](const CsvRecords::Record &r) -> QByteArray {
        if (r.continued)
            return r.raw;
        if (!r.problem.isEmpty() && !headerDone) {
            // Its names unknown, no row after it could be told from it.
            halt(Stop::Kind::Other, u"line %1: the header cannot be read: %2"_s.arg(r.line).arg(r.problem));
            return QByteArray();
        }
        if (!r.problem.isEmpty()) {
            ++rows;
            io.warn(r.line, r.problem + u"; passed on as it came"_s);
            return r.raw;
        }
        if (r.bodyEnd == 0)
            return r.raw;  // an empty line is no row
        const QByteArray body = r.raw.first(r.bodyEnd), lineEnd = r.raw.sliced(r.bodyEnd);
        if (!headerDone) {
            headerDone = true;
            QStringList names;
            for (const CsvRecords::Field &f : r.fields) {
                const std::optional<QString> name = codec.decode(CsvRecords::value(r, f));
                if (!name) {
                    // Its names unknown, no column could be told by its name.
                    const QString other = encoding == Encoding::Utf8 ? u"cp932"_s : u"utf-8"_s;
                    halt(Stop::Kind::Other, u"line %1: the header is not %2; if the list is in %3, say --encoding %3, "
                                            u"or leave --encoding out to have it told"_s
                                                .arg(r.line)
                                                .arg(codec.name(), other));
                    return QByteArray();
                }
                names << name->trimmed();
            }
            resolve(names);
            width = r.fields.size();
            if (going() && ((addressColumn && *addressColumn >= width) || (zipColumn && *zipColumn >= width)))
                halt(Stop::Kind::Column,
                     u"no column %1 in the header"_s.arg(*addressColumn >= width ? options.address : options.zip));
            QStringList added{u"郵便番号"_s, u"住所"_s, u"確度"_s, u"バーコード"_s};
            if (options.fill)
                added.removeFirst();
            return body + appended(added, r.line) + lineEnd;
        }
        ++rows;
        if (*addressColumn < r.fields.size())
            ++rowsWithAddress;
        auto cell = [&](qsizetype column) -> std::optional<QString> {
            if (column >= r.fields.size())
                return QString();
            return readable(CsvRecords::value(r, r.fields.at(column)));
        };
        const bool looked = aheadOfRow && aheadOfRow->ready;
        const std::optional<QString> address = looked ? aheadOfRow->address : cell(*addressColumn);
        const std::optional<QString> zip = looked ? aheadOfRow->zip
                                          : zipColumn ? cell(*zipColumn) : std::optional(QString());
        if (!address || !zip) {
            io.warn(r.line, u"a cell that is not %1, or holds a NUL byte; passed on as it came"_s.arg(codec.name()));
            return r.raw;
        }
        if (AddressText::tooManyMarks(*address))
            io.warn(r.line, PostalLookup::kMarksLeftOut);
        const AddressBarcode b = looked ? aheadOfRow->barcode : addressBarcode(component, *zip, *address);
        if (!b.answer.problem.isEmpty()) {
            halt(Stop::Kind::Other, u"line %1: %2"_s.arg(r.line).arg(b.answer.problem));
            return QByteArray();
        }
        // A code given that is none, or not the address's: said, and the
        // row goes on with what can be told.
        if (!zip->trimmed().isEmpty() && AddressText::zipDigits(*zip).isEmpty())
            io.warn(r.line, u"\"%1\" is no postal code; the address alone is looked up"_s.arg(zip->trimmed()));
        else if (!b.codeGiven.isEmpty() && (b.answer.disagree || b.unknownCode))
            io.warn(r.line, b.reason);
        // Bytes the list's encoding has not in another cell: kept, and said.
        // The other cells are read only to tell whether they can be.
        QStringList bad;
        for (qsizetype i = 0; i < r.fields.size(); ++i) {
            if (i == *addressColumn || i == zipColumn)
                continue;
            const QByteArray value = CsvRecords::value(r, r.fields.at(i));
            if (!ascii(value) ? !codec.decode(value) : value.contains('\0'))
                bad << QString::number(i + 1);
        }
        if (!bad.isEmpty())
            io.warn(r.line, u"cells not in %1, or with a NUL byte (column %2); kept as they came"_s.arg(
                                codec.name(), bad.join(u", "_s)));
        // A code and an address that name different places: neither is
        // taken for the other.
        const AddressCandidate *first =
            b.answer.choices.isEmpty() || b.answer.disagree ? nullptr : &b.answer.choices.first();
        const QString code = first ? first->zip : QString();
        // 確度 says what the row's own code is worth, before how sure the
        // look-up was: a code of no place, two codes, a code with no address.
        const bool noAddress = address->trimmed().isEmpty() && !zip->trimmed().isEmpty();
        const QString certainty = b.codesDisagree ? u"codes disagree"_s
                                  : b.unknownCode ? u"unknown code"_s
                                  : noAddress     ? u"no address"_s
                                                  : certaintyWord(b.answer.disagree ? Certainty::Ambiguous : b.answer.certainty);
        if (b.codesDisagree)
            io.warn(r.line, b.reason);
        QStringList added{code, first ? first->address : QString(), certainty,
                          noAddress ? QString() : b.characters.join(u' ')};
        QByteArray out = body;
        qsizetype cells = r.fields.size();
        if (options.fill) {
            added.removeFirst();
            const bool sure = (b.answer.certainty == Certainty::Town || b.answer.certainty == Certainty::Business
                               || b.answer.certainty == Certainty::CatchAll)
                              && !b.codesDisagree;
            if (zip->trimmed().isEmpty() && sure) {
                const QByteArray filled = CsvRecords::field(encoded(code, r.line));
                if (*zipColumn < cells) {
                    const CsvRecords::Field &f = r.fields.at(*zipColumn);
                    out = body.first(f.begin) + filled + body.sliced(f.end);
                } else {
                    out += QByteArray(*zipColumn - cells + 1, ',') + filled;
                    cells = *zipColumn + 1;
                }
            }
        }
        // A row short of cells gets empty ones, so that what is added stands
        // in its columns.
        if (cells < width)
            out += QByteArray(width - cells, ',');
        return out + appended(added, r.line) + lineEnd;
    };

    QByteArray out;
    auto flush = [&] {
        if (!out.isEmpty() && !io.write(out))
            halt(Stop::Kind::Io, u"cannot write the list"_s);
        out.clear();
    };
    auto take = [&](const CsvRecords::Record &r) {
        const QByteArray row = handle(r);
        if (going())
            out += row;
        if (out.size() > (1 << 16))
            flush();
    };
    QList<CsvRecords::Record> batch;
    // Without a header, the first rows tell how wide the list is: a column
    // asked for that none of them has is a slip, said before anything is
    // written, and no row is widened past what they hold.
    bool widthKnown = options.header;
    auto takeBatch = [&] {
        if (!widthKnown) {
            widthKnown = true;
            qsizetype widest = 0;
            for (const CsvRecords::Record &r : std::as_const(batch)) {
                if (!r.continued && r.problem.isEmpty() && r.bodyEnd > 0)
                    widest = std::max(widest, r.fields.size());
            }
            if (widest > 0 && *addressColumn >= widest) {
                halt(Stop::Kind::Column, u"no column %1 in the list: its rows have %2 at most"_s.arg(options.address)
                                             .arg(widest));
                return;
            }
            width = std::max(addressColumn.value_or(0), zipColumn.value_or(0)) + 1;
        }
        lookAhead(batch);
        for (qsizetype i = 0; i < batch.size() && going(); ++i) {
            aheadOfRow = &ahead.at(i);
            take(batch.at(i));
        }
        aheadOfRow = nullptr;
        batch.clear();
        ahead.clear();
    };
    auto feed = [&](const CsvRecords::Record &r) {
        if (!headerDone) {
            take(r);  // the rows after it are read by its names
            return;
        }
        batch.append(r);
        if (batch.size() >= 4096)
            takeBatch();
    };
    for (const CsvRecords::Record &r : std::as_const(waiting)) {
        if (!going())
            break;
        feed(r);
    }
    waiting.clear();
    while (going() && more && records.next(&record))
        feed(record);
    if (going())
        takeBatch();
    if (going() && records.failed())
        halt(Stop::Kind::Io, u"cannot read the list"_s);
    if (going() && rows > 0 && rowsWithAddress == 0)
        io.warn(0, u"no row has a column %1: every address was empty"_s.arg(*addressColumn + 1));
    if (going() && rows == 0)
        halt(Stop::Kind::Other, headerDone && options.header ? u"the list has a header and no rows"_s
                                                             : u"the list is empty: no rows were read"_s);
    flush();
    return stop;
}

}  // namespace PostalCsv
