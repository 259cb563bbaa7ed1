#include "postal/mail/CsvRecords.h"

#include <algorithm>

using namespace Qt::StringLiterals;

CsvRecords::CsvRecords(Read read) : read_(std::move(read)) {}

bool CsvRecords::fill()
{
    if (end_)
        return false;
    // What earlier records left is dropped before the buffer grows.
    if (start_ > 0) {
        buffer_.remove(0, start_);
        scan_ -= start_;
        start_ = 0;
    }
    constexpr qsizetype chunk = 1 << 16;
    const qsizetype before = buffer_.size();
    buffer_.resize(before + chunk);
    const qsizetype n = read_(buffer_.data() + before, chunk);
    buffer_.resize(before + std::max<qsizetype>(n, 0));
    if (n <= 0) {
        end_ = true;
        failed_ = n < 0;
    }
    return n > 0;
}

bool CsvRecords::next(Record *record)
{
    // Where the record ends: the first line end outside quotes.
    qsizetype end = -1;
    if (scan_ < start_)
        scan_ = start_;
    for (;;) {
        while (scan_ < buffer_.size()) {
            // Quotes count only at a field's start and as its end (or, doubled,
            // inside it): a stray one elsewhere is text, and the row still ends
            // at its line end.
            const char c = buffer_.at(scan_);
            const bool lineEnd = c == '\n' || c == '\r';
            if (state_ == Quoted) {
                if (c == '"')
                    state_ = QuotedQuote;
            } else if (state_ == QuotedQuote && c == '"') {
                state_ = Quoted;
            } else if (c == ',') {
                state_ = Start;
            } else if (lineEnd) {
                if (c == '\r' && scan_ + 1 == buffer_.size() && fill())
                    continue;  // is an LF next?
                end = scan_ + (c == '\r' && scan_ + 1 < buffer_.size() && buffer_.at(scan_ + 1) == '\n' ? 2 : 1);
                break;
            } else {
                state_ = state_ == Start && c == '"' ? Quoted : Plain;
            }
            ++scan_;
        }
        if (end >= 0 || scan_ - start_ >= kMaxRecord || !fill())
            break;
    }
    if (start_ >= buffer_.size())
        return false;
    const bool whole = end >= 0;
    if (!whole)
        end = std::min(buffer_.size(), start_ + kMaxRecord);
    *record = Record();
    record->raw = buffer_.sliced(start_, end - start_);
    record->line = line_;
    record->continued = continuing_;
    for (qsizetype i = 0; i < record->raw.size(); ++i) {
        const char c = record->raw.at(i);
        if (c == '\n' || (c == '\r' && (i + 1 == record->raw.size() || record->raw.at(i + 1) != '\n')))
            ++line_;
    }
    start_ = end;
    scan_ = std::max(scan_, end);  // a row cut at its limit was scanned past the cut, the quotes counted
    const bool atEnd = start_ >= buffer_.size() && end_;
    const bool quoted = state_ == Quoted;
    if (whole) {
        record->bodyEnd = record->raw.size() - (record->raw.endsWith("\r\n") ? 2 : 1);
        state_ = Start;
        continuing_ = false;
        if (!record->continued)
            split(record);
    } else if (atEnd) {
        record->bodyEnd = record->raw.size();
        continuing_ = false;
        if (!record->continued) {
            if (failed_)
                record->problem = u"the list could not be read past here: this row may be cut short"_s;
            else if (quoted)
                record->problem = u"a quote is not closed: the rest of the list is one row"_s;
            else
                split(record);
        }
        state_ = Start;
    } else {
        // Too long to hold: passed on as it is, the rest with it.
        record->bodyEnd = record->raw.size();
        if (!record->continued)
            record->problem = u"a row longer than %1 MiB"_s.arg(kMaxRecord / (1024 * 1024));
        continuing_ = true;
    }
    return true;
}

void CsvRecords::split(Record *record) const
{
    const QByteArray &raw = record->raw;
    const qsizetype n = record->bodyEnd;
    qsizetype i = 0;
    for (;;) {
        Field f;
        f.begin = i;
        if (i < n && raw.at(i) == '"') {
            f.quoted = true;
            qsizetype j = i + 1;
            for (;;) {
                j = raw.indexOf('"', j);
                if (j < 0 || j >= n) {
                    record->problem = u"a quote is not closed (column %1)"_s.arg(record->fields.size() + 1);
                    return;
                }
                if (j + 1 < n && raw.at(j + 1) == '"') {
                    j += 2;
                    continue;
                }
                break;
            }
            f.end = j + 1;
            if (f.end < n && raw.at(f.end) != ',') {
                record->problem = u"text after a closing quote (column %1)"_s.arg(record->fields.size() + 1);
                return;
            }
        } else {
            qsizetype j = raw.indexOf(',', i);
            f.end = j < 0 || j > n ? n : j;
            if (QByteArrayView(raw).sliced(i, f.end - i).contains('"')) {
                record->problem = u"a quote inside a field not quoted (column %1)"_s.arg(record->fields.size() + 1);
                return;
            }
        }
        record->fields.append(f);
        if (f.end >= n)
            return;
        i = f.end + 1;  // past the comma
    }
}

QByteArray CsvRecords::value(const Record &record, const Field &field)
{
    if (!field.quoted)
        return record.raw.sliced(field.begin, field.end - field.begin);
    QByteArray v = record.raw.sliced(field.begin + 1, field.end - field.begin - 2);
    return v.replace("\"\"", "\"");
}

void CsvRecords::appendField(QByteArray &out, QByteArrayView value)
{
    const bool plain = std::none_of(value.cbegin(), value.cend(), [](char c) {
        return c == ',' || c == '"' || c == '\n' || c == '\r';
    });
    if (plain) {
        out += value;
        return;
    }
    out += '"';
    for (const char c : value) {
        out += c;
        if (c == '"')
            out += c;
    }
    out += '"';
}
