#include "addresses/PostalAddressComponent.h"

#include "addresses/AddressText.h"

using namespace Qt::StringLiterals;

PostalAddressComponent::PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary)
    : dictionary_(std::move(dictionary))
{
}

void PostalAddressComponent::PutAdd(QString &zip, QString &address, QString &company, int mode)
{
    if (mode != 1)
        return;
    const QList<AddressCandidate> found = Candidates(zip, address, company, mode);
    if (found.isEmpty()) {
        address.clear();
        return;
    }
    zip = found.first().zip;
    address = found.first().address;
    company = found.first().company;
}

QList<AddressCandidate> PostalAddressComponent::Candidates(const QString &zip, const QString &address,
                                                           const QString &company, int mode)
{
    QList<AddressCandidate> found;
    if (mode != 1)
        return found;
    // A company the user typed is never replaced by a business's name.
    const bool keepCompany = !company.trimmed().isEmpty();
    const QString digits = AddressText::zipDigits(zip);
    const QList<PostalDictionary::Entry> rows = digits.isEmpty() ? QList<PostalDictionary::Entry>()
                                                                 : dictionary_->byZip(digits);
    if (!rows.isEmpty()) {
        const QString code = AddressText::formatZip(digits);
        const QString typed = AddressText::comparable(address);
        for (const PostalDictionary::Entry &row : rows) {
            if (!typed.isEmpty() && typed.startsWith(AddressText::comparable(row.address())))
                return {{code, address, keepCompany ? company : row.name}};  // the typed address says more
        }
        for (const PostalDictionary::Entry &row : rows) {
            const AddressCandidate c{code, row.address(), keepCompany ? company : row.name};
            if (!found.contains(c))
                found.append(c);
        }
        return found;
    }
    if (!address.trimmed().isEmpty()) {
        if (const auto code = dictionary_->zipForAddress(address, company))
            found.append({AddressText::formatZip(*code), address, company});
    }
    return found;
}

QString PostalAddressComponent::DataInfo() const
{
    const PostalDictionary::Info info = dictionary_->info();
    return info.source + u" "_s + info.version + u", data of "_s + info.date;
}
