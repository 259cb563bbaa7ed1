#pragma once
// zenrook-postal csv: a spreadsheet's address list in, the same list out with
// the postal code, the completed address, how sure the answer is and the
// customer barcode added to each row. Nothing else of the list changes: its
// other cells, its rows' order and line ends, its encoding. A row that cannot
// be read is named and passed on as it came. The list is read and written a
// row at a time, however long it is.

#include "postal/mail/CsvRecords.h"

#include <QList>
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

// Why a run stopped before the list's end: a column asked for that the list
// has not, an input or an output the system failed, or the rest (a character
// the list's encoding cannot hold, a dictionary that cannot be read).
struct Stop {
    enum class Kind { None, Column, Io, Other };
    Kind kind = Kind::None;
    QString why;
};

// Goes through the whole list, or says why it stopped. Several components
// (of one dictionary) share the look-ups, each on a thread of its own.
Stop run(AddressComponent &component, const Options &options, const Io &io);
Stop run(const QList<AddressComponent *> &components, const Options &options, const Io &io);

}  // namespace PostalCsv
