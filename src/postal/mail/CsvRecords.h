#pragma once
// The records of a CSV text (RFC 4180) read from a stream, each with its
// bytes as they came, so that what is not changed is written back exactly:
// quoted fields may hold commas, quotes ("") and line breaks; records end
// in CR LF, LF or CR. Bytes are split, never decoded: in UTF-8 and in code
// page 932 alike, a quote, a comma and a line end are always themselves.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class CsvRecords
{
public:
    // Fills the buffer with up to `size` bytes: how many, 0 at the end, -1
    // when the input cannot be read.
    using Read = std::function<qsizetype(char *buffer, qsizetype size)>;
    explicit CsvRecords(Read read);

    struct Field {
        qsizetype begin = 0, end = 0;  // within the record's bytes, quotes included
        bool quoted = false;
    };
    struct Record {
        QByteArray raw;          // as read, its line end included
        qsizetype bodyEnd = 0;   // where its line end begins
        qint64 line = 0;         // the line it begins on
        QList<Field> fields;
        QString problem;         // why it cannot be read as fields; "" when it can
        bool continued = false;  // more of a row too long to hold, already named
    };

    // The next record; false at the end of the input or when it cannot be
    // read (failed()).
    bool next(Record *record);
    bool failed() const { return failed_; }

    // A field's text: its bytes without the quotes, "" as ".
    static QByteArray value(const Record &record, const Field &field);
    // A value written as a field after `out`: quoted when it holds a comma,
    // a quote or a line break.
    static void appendField(QByteArray &out, QByteArrayView value);

    // No row may hold more than this; a longer one is passed on in pieces.
    static constexpr qsizetype kMaxRecord = 16 * 1024 * 1024;

private:
    bool fill();
    void split(Record *record) const;

    Read read_;
    QByteArray buffer_;
    qsizetype start_ = 0;       // where the current record begins in the buffer
    qsizetype scan_ = 0;        // how far it has been scanned
    enum { Start, Plain, Quoted, QuotedQuote } state_ = Start;  // of the field at scan_
    bool end_ = false, failed_ = false;
    bool continuing_ = false;   // the current record is the rest of a long one
    qint64 line_ = 1;
};
