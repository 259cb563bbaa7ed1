#pragma once
// zenrook-postal csv: a spreadsheet's address list in, the same list out with
// the postal code, the completed address, how sure the answer is and the
// customer barcode added to each row. Nothing else of the list changes: its
// other cells, its rows' order and line ends, its encoding. A row that cannot
// be read is named and passed on as it came. The list is read and written a
// row at a time, however long it is.

#include "addresses/CsvRecords.h"

#include <QString>

#include <functional>

class AddressComponent;

namespace PostalCsv {

enum class Encoding { Detect, Cp932, Utf8 };

struct Options {
    QString address;    // the address's column: its number from 1, or (with header) its name
    QString zip;        // the postal code's column, likewise; "" for none
    bool header = false;
    bool fill = false;  // write the code into an empty cell of the zip column rather than add a column
    Encoding encoding = Encoding::Detect;
};

struct Io {
    CsvRecords::Read read;
    std::function<bool(const QByteArray &)> write;
    // A row passed on unchanged, and why.
    std::function<void(qint64 line, const QString &why)> warn;
};

// Goes through the whole list; "" when it did, else why it stopped (a
// column that is not there, a character the list's encoding cannot hold, a
// dictionary or an input that cannot be read, an output that cannot be
// written).
QString run(AddressComponent &component, const Options &options, const Io &io);

}  // namespace PostalCsv
