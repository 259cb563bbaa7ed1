#include "addresses/PostalAddressComponent.h"

#include "addresses/AddressText.h"

PostalAddressComponent::PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary)
    : dictionary_(std::move(dictionary))
{
}

void PostalAddressComponent::PutAdd(QString &zip, QString &address, QString &, int mode)
{
    if (mode != 1)
        return;
    const QString digits = AddressText::zipDigits(zip);
    if (!digits.isEmpty()) {
        const QList<PostalDictionary::Entry> towns = dictionary_->byZip(digits);
        if (!towns.isEmpty()) {
            zip = AddressText::formatZip(digits);
            const QString typed = AddressText::comparable(address);
            for (const PostalDictionary::Entry &town : towns) {
                if (!typed.isEmpty() && typed.startsWith(AddressText::comparable(town.address())))
                    return;  // the user's address says more than the dictionary
            }
            address = towns.first().address();
            return;
        }
    }
    if (!address.trimmed().isEmpty()) {
        if (const auto code = dictionary_->zipForAddress(address)) {
            zip = AddressText::formatZip(*code);
            return;
        }
    }
    address.clear();
}
