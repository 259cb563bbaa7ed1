#pragma once
// The address component on the postal dictionary.
//
// PutAdd(zip, address, company, mode), mode 1 ("complete the record"):
//  - a postal code that names a known code (either width, with or without
//    "〒", dashes, blanks) becomes "NNN-NNNN", and the address becomes its
//    prefecture + city + town (+ a business's street), unless the address
//    already begins with that (then it is kept whole, with its block and
//    building numbers); a business code's name becomes the company when the
//    company is empty;
//  - otherwise an address that begins with a known prefecture + city + town
//    (compared across widths and written variants) keeps its text and gets
//    the postal code of the longest such beginning, its building's floor
//    where it names one, or a business's own code when address and company
//    are exactly that business's;
//  - otherwise the address becomes "": nothing was found.
// A code with several towns gives the first; Candidates lists them all.
// Other modes change nothing.

#include "addresses/AddressComponent.h"
#include "addresses/PostalDictionary.h"

class PostalAddressComponent : public AddressComponent
{
public:
    explicit PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary);
    void PutAdd(QString &zip, QString &address, QString &company, int mode) override;
    QList<AddressCandidate> Candidates(const QString &zip, const QString &address, const QString &company,
                                       int mode) override;
    QString DataInfo() const override;

private:
    std::unique_ptr<PostalDictionary> dictionary_;
};
