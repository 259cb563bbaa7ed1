#pragma once
// The rows of an address list as pieces of mail to print: name, company,
// title, address and code as the list has them, the code the list lacks
// and the customer barcode found by the same look-up as csv's. A row the
// look-up cannot place with certainty is still mail, without a barcode,
// and named.

#include "postal/mail/ListSource.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class AddressComponent;
namespace PostalCsv {
class Codec;
}

struct Mail {
    qint64 line = 0;
    QString name, company, title, address;
    QString zip;          // "100-0013"; "" when neither the list nor the look-up gives one
    QStringList barcode;  // the 21 characters; none without certainty
};

struct MailColumns {
    QString name, address, zip, company;  // by number from 1, or (with a header) by name; "" for none
    QString title;                        // after the name; "" for 様 (御中 to a company without a name)
    bool header = false;
    PostalCsv::Encoding encoding = PostalCsv::Encoding::Detect;
};

class MailList
{
public:
    using Warn = std::function<void(qint64 line, const QString &why)>;
    MailList(AddressComponent &component, const MailColumns &columns, CsvRecords::Read read, Warn warn);
    ~MailList();

    // Reads as far as the first row: the encoding, the header and the
    // columns it names. False, with the reason, when the list cannot be
    // printed (a column it has not, a header that cannot be read).
    bool open(QString *why);
    // The next piece of mail; false at the end. A row that cannot be read
    // (a stray quote, bytes of no encoding) is named and passed over.
    bool next(Mail *mail);
    bool failed() const { return source_.failed(); }

private:
    std::optional<QStringList> cells(const CsvRecords::Record &r);
    // The next row that can be read, with its line.
    bool nextRow(std::pair<qint64, QStringList> *row);
    std::optional<qsizetype> column(const QString &given, const QStringList &names, QString *why) const;
    Mail mailOf(qint64 line, const QStringList &cells);

    AddressComponent &component_;
    MailColumns columns_;
    Warn warn_;
    PostalCsv::ListSource source_;
    std::optional<qsizetype> name_, address_, zip_, company_;
    std::unique_ptr<PostalCsv::Codec> codec_;
    std::pair<qint64, QStringList> first_;  // read to tell the list's width
    bool pending_ = false;
};
