#pragma once
// A list as it comes in: a byte-order mark (which says UTF-8, whatever was
// said), the encoding told by its first rows that are not ASCII when it was
// not given, then its records in order, the ones read to tell it first.

#include "postal/mail/CsvRecords.h"
#include "postal/mail/PostalCsv.h"

#include <functional>

namespace PostalCsv {

class ListSource
{
public:
    // `say` gets the words on the whole list: an encoding overruled, or
    // guessed from nothing but ASCII.
    ListSource(CsvRecords::Read read, Encoding given, std::function<void(const QString &)> say);
    ListSource(const ListSource &) = delete;  // its reader reads through it
    ListSource &operator=(const ListSource &) = delete;

    // False when the list cannot be read at all.
    bool open();
    Encoding encoding() const { return encoding_; }
    bool bom() const { return bom_; }

    // The next record; false at the end, or when the list cannot be read
    // further (failed()).
    bool next(CsvRecords::Record *record);
    bool failed() const { return records_.failed(); }

private:
    CsvRecords::Read read_;
    QByteArray head_;  // what was read to look for the mark, not yet given on
    CsvRecords records_;
    Encoding encoding_;
    std::function<void(const QString &)> say_;
    QList<CsvRecords::Record> waiting_;
    qsizetype given_ = 0;  // of the waiting records
    bool bom_ = false, more_ = true;
};

}  // namespace PostalCsv
