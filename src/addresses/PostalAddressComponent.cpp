#include "addresses/PostalAddressComponent.h"

#include "addresses/AddressMatch.h"
#include "addresses/AddressText.h"

using namespace Qt::StringLiterals;

QString certaintyWord(Certainty certainty)
{
    switch (certainty) {
    case Certainty::Town:
        return u"town"_s;
    case Certainty::Business:
        return u"business"_s;
    case Certainty::CatchAll:
        return u"catch-all"_s;
    case Certainty::Ambiguous:
        return u"ambiguous"_s;
    case Certainty::NotFound:
        break;
    }
    return u"not found"_s;
}

PostalAddressComponent::PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary)
    : dictionary_(std::move(dictionary))
{
}

void PostalAddressComponent::PutAdd(QString &zip, QString &address, QString &company, int mode)
{
    if (mode != 1)
        return;
    const AddressAnswer answer = Find(zip, address, company, mode);
    if (answer.choices.isEmpty()) {
        address.clear();
        return;
    }
    zip = answer.choices.first().zip;
    address = answer.choices.first().address;
    company = answer.choices.first().company;
}

AddressAnswer PostalAddressComponent::Find(const QString &zip, const QString &address, const QString &company,
                                           int mode)
{
    return mode == 1 ? find(zip, address, company, false) : AddressAnswer();
}

AddressAnswer PostalAddressComponent::FindAll(const QString &zip, const QString &address, const QString &company)
{
    return find(zip, address, company, true);
}

AddressAnswer PostalAddressComponent::find(const QString &zip, const QString &address, const QString &company,
                                           bool everything)
{
    AddressAnswer answer;
    if (dictionary_->refresh()) {
        const QString digits = AddressText::zipDigits(zip);
        if (!digits.isEmpty())
            answer = AddressMatch::byZip(*dictionary_, digits, address, company);
        if (answer.choices.isEmpty() && !address.trimmed().isEmpty())
            answer = AddressMatch::byAddress(*dictionary_, address, company, everything);
    }
    if (!dictionary_->problem().isEmpty()) {
        answer = AddressAnswer();
        answer.problem = dictionary_->problem();
    }
    return answer;
}

QString PostalAddressComponent::DataInfo()
{
    if (!dictionary_->refresh())
        return dictionary_->problem();
    const PostalDictionary::Info info = dictionary_->info();
    return info.source + u" "_s + info.version + u", data of "_s + info.date;
}
