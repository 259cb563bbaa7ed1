#pragma once
// One run over a list whose encoding is known: the header, then the rows in
// batches, each batch's rows handled by the components on threads of their
// own and written in order.

#include "postal/mail/AddressBarcode.h"
#include "postal/mail/PostalCsv.h"

#include "platform/AnsiCodec.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace PostalCsv {

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
    QString name() const { return utf8_ ? QStringLiteral("UTF-8") : QStringLiteral("code page 932"); }

private:
    bool utf8_;
};

inline bool ascii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

// A column by its number from 1, or by its name in the header.
inline std::optional<qsizetype> columnOf(const QString &given, const QStringList &names)
{
    bool number = false;
    const int n = given.toInt(&number);
    if (number)
        return n >= 1 ? std::optional<qsizetype>(n - 1) : std::nullopt;
    const qsizetype at = names.indexOf(given.trimmed());
    return at >= 0 ? std::optional(at) : std::nullopt;
}

// One run over a list, its encoding known: the header, then the rows in
// batches, each batch's rows handled by the components on threads of their
// own and written in order.
class ListRun
{
public:
    ListRun(const QList<AddressComponent *> &components, const Options &options, const Io &io, Encoding encoding);

    // Takes the next record; false once the run has stopped.
    bool feed(const CsvRecords::Record &r);

    Stop finish(bool readFailed);

private:
    static constexpr qsizetype kBatch = 2048;

    // What a row comes to: its bytes, what is said of it, a stop.
    struct Done {
        QByteArray out;
        QStringList warnings;
        QString stop;           // why the run stops at this row; it is not written
        bool counted = false;   // a row, not an empty line or the rest of a long one
        bool reaches = false;   // it has the address's column
    };

    void halt(Stop::Kind kind, const QString &why);
    bool going() const { return stop_.kind == Stop::Kind::None; }

    void take(const Done &d);

    void flush();

    // Whether a cell other than the address and the code reads as text: in
    // the list's encoding, and without the bytes code page 932 leaves
    // undefined (0x80, 0xA0, 0xFD-0xFF), which Windows passes through but no
    // text holds. The address and code cells are read apart.
    bool textOf(const QByteArray &value) const;
    static bool undefinedBytes(QStringView text);

    // A cell's text; none when it is not in the list's encoding or holds a
    // NUL, which no address has and which would be copied into what is added.
    std::optional<QString> readable(const QByteArray &value) const;

    // The values added to a row, as fields after `out`; a value the
    // encoding cannot hold stops the run there.
    void append(QByteArray &out, const QStringList &values, qint64 line, QString *stop) const;

    void resolve(const QStringList &names);

    // The first row, with --header: its names tell the columns.
    Done header(const CsvRecords::Record &r);

    // Without a header, the first rows tell the list's width: a column none
    // of them has is a slip, said before anything is written.
    void measure();

    void takeBatch();

    // One row after the header: passed on, or passed on with what it
    // gained. Reads nothing the other rows change: rows are handled at once.
    Done row(const CsvRecords::Record &r, AddressComponent &component) const;

    // The row with the cells added: code, address, 確度, barcode.
    QByteArray filled(const CsvRecords::Record &r, const AddressBarcode &b, const QString &address, const QString &zip,
                      QString *stop) const;

    const QList<AddressComponent *> &components_;
    const Options &options_;
    const Io &io_;
    const Encoding encoding_;
    const Codec codec_;
    Stop stop_;  // the first stop is the one said; the rows before it are written
    std::optional<qsizetype> addressColumn_, zipColumn_;
    bool headerDone_, widthKnown_;
    qsizetype width_ = 0;                    // cells a row has before those added
    qsizetype rows_ = 0, rowsWithAddress_ = 0;  // a column past every row is a slip
    qint64 lineOf_ = 0;                      // of the row whose words are said
    QList<CsvRecords::Record> batch_;
    QByteArray out_;
};

}  // namespace PostalCsv
