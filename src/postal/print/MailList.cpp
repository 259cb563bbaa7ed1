#include "postal/print/MailList.h"

#include "postal/addresses/AddressText.h"
#include "postal/mail/AddressBarcode.h"
#include "postal/mail/ListRun.h"

using namespace Qt::StringLiterals;

MailList::MailList(AddressComponent &component, const MailColumns &columns, CsvRecords::Read read, Warn warn)
    : component_(component), columns_(columns), warn_(std::move(warn)),
      source_(std::move(read), columns.encoding, [this](const QString &why) { warn_(0, why); })
{
}

MailList::~MailList() = default;

std::optional<qsizetype> MailList::column(const QString &given, const QStringList &names, QString *why) const
{
    if (given.isEmpty())
        return std::nullopt;
    const std::optional<qsizetype> at = PostalCsv::columnOf(given, names);
    if (!at && why->isEmpty()) {
        bool number = false;
        given.toInt(&number);
        *why = u"no column %1%2"_s.arg(given, columns_.header || number ? QString() : u" (a column's name needs --header)"_s);
    }
    return at;
}

bool MailList::open(QString *why)
{
    if (!source_.open()) {
        *why = u"cannot read the list"_s;
        return false;
    }
    codec_ = std::make_unique<PostalCsv::Codec>(source_.encoding());
    QStringList names;
    if (columns_.header) {
        CsvRecords::Record r;
        while (source_.next(&r) && (r.continued || (r.problem.isEmpty() && r.bodyEnd == 0))) {
        }
        const std::optional<QStringList> read = r.line > 0 && r.problem.isEmpty() ? cells(r) : std::nullopt;
        if (!read) {
            *why = r.line > 0 ? u"line %1: the header cannot be read"_s.arg(r.line) : u"the list is empty"_s;
            return false;
        }
        for (const QString &n : *read)
            names << n.trimmed();
    }
    why->clear();
    name_ = column(columns_.name, names, why);
    address_ = column(columns_.address, names, why);
    zip_ = column(columns_.zip, names, why);
    company_ = column(columns_.company, names, why);
    if (!why->isEmpty())
        return false;
    // Without a header, the first row tells the list's width: a column it
    // has not is a slip, said before anything is printed.
    if (!columns_.header && (pending_ = nextRow(&first_))) {
        const qsizetype widest = std::max({name_.value_or(0), *address_, zip_.value_or(0), company_.value_or(0)});
        if (widest >= first_.second.size()) {
            *why = u"no column %1 in the list: its first row has %2"_s.arg(widest + 1).arg(first_.second.size());
            return false;
        }
    }
    return true;
}

std::optional<QStringList> MailList::cells(const CsvRecords::Record &r)
{
    QStringList out;
    for (const CsvRecords::Field &f : r.fields) {
        const QByteArray value = CsvRecords::value(r, f);
        std::optional<QString> text = value.contains('\0') ? std::nullopt : codec_->decode(value);
        if (!text)
            return std::nullopt;
        out << *text;
    }
    return out;
}

bool MailList::nextRow(std::pair<qint64, QStringList> *row)
{
    CsvRecords::Record r;
    while (source_.next(&r)) {
        if (r.continued || (r.problem.isEmpty() && r.bodyEnd == 0))
            continue;  // the rest of a row too long to hold, already named; an empty line
        const std::optional<QStringList> read = r.problem.isEmpty() ? cells(r) : std::nullopt;
        if (!read) {
            warn_(r.line, (r.problem.isEmpty() ? u"a cell that is not %1, or holds a NUL byte"_s.arg(codec_->name())
                                               : r.problem)
                              + u"; not printed"_s);
            continue;
        }
        *row = {r.line, *read};
        return true;
    }
    return false;
}

bool MailList::next(Mail *mail)
{
    std::pair<qint64, QStringList> row;
    if (pending_) {
        pending_ = false;
        row = std::move(first_);
    } else if (!nextRow(&row)) {
        return false;
    }
    *mail = mailOf(row.first, row.second);
    return true;
}

Mail MailList::mailOf(qint64 line, const QStringList &cells)
{
    auto cell = [&](const std::optional<qsizetype> &at) { return at && *at < cells.size() ? cells.at(*at).trimmed() : QString(); };
    Mail m;
    m.line = line;
    m.name = cell(name_);
    m.company = cell(company_);
    m.title = !columns_.title.isEmpty() ? columns_.title : m.name.isEmpty() && !m.company.isEmpty() ? u"御中"_s : u"様"_s;
    // Mail to a company and no one in it: the company is the name, 御中 after it.
    if (m.name.isEmpty())
        std::swap(m.name, m.company);
    if (m.name.isEmpty())
        m.title.clear();
    const QString zip = cell(zip_), address = cell(address_);
    // A code written in front of the address goes in the code's place.
    const AddressText::LeadingZip front = AddressText::leadingZip(address);
    m.address = front.digits.isEmpty() ? address : address.mid(front.addressStart).trimmed();
    const AddressBarcode b = addressBarcode(component_, zip, address);
    const AddressCandidate *first = b.answer.choices.isEmpty() || b.answer.disagree ? nullptr : &b.answer.choices.first();
    const bool sure = first && !b.codesDisagree && !b.unknownCode
                      && (b.answer.certainty == Certainty::Town || b.answer.certainty == Certainty::Business
                          || b.answer.certainty == Certainty::PoBox || b.answer.certainty == Certainty::CatchAll);
    QString digits = AddressText::zipDigits(zip);
    if (!zip.isEmpty() && digits.isEmpty())
        warn_(line, u"\"%1\" is no postal code; the address alone is looked up"_s.arg(zip));
    if (digits.isEmpty())
        digits = !front.digits.isEmpty() ? front.digits : sure ? AddressText::zipDigits(first->zip) : QString();
    m.zip = digits.isEmpty() ? QString() : AddressText::formatZip(digits);
    if (!m.address.isEmpty() && !b.characters.isEmpty())
        m.barcode = b.characters;
    else
        warn_(line, u"not placed with certainty (%1): printed as the list has it, without a barcode"_s.arg(
                        m.address.isEmpty() ? u"no address"_s : b.reason));
    return m;
}
