#include "postal/addresses/PostalAddressComponent.h"

#include "postal/addresses/AddressMatch.h"
#include "postal/addresses/AddressText.h"

#include <QFileInfo>

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
    case Certainty::PoBox:
        return u"po box"_s;
    case Certainty::Ambiguous:
        return u"ambiguous"_s;
    case Certainty::NotFound:
        break;
    }
    return u"not found"_s;
}

PostalAddressComponent::PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary, QStringList places)
    : dictionary_(std::move(dictionary)), places_(std::move(places)), lastChosen_(std::chrono::steady_clock::now())
{
}

void PostalAddressComponent::choose(bool failed)
{
    using namespace std::chrono_literals;
    if (places_.isEmpty())
        return;
    // A look at the places once a second is enough; at once when the
    // dictionary in use cannot be read.
    const auto now = std::chrono::steady_clock::now();
    if (!failed && now - lastChosen_ < 1s)
        return;
    lastChosen_ = now;
    const bool gone = !QFileInfo(dictionary_->path()).isFile();
    const qsizetype current = places_.indexOf(dictionary_->path());
    for (qsizetype i = 0; i < places_.size(); ++i) {
        const QString &place = places_.at(i);
        if (i == current) {
            if (!gone)
                return;
            continue;
        }
        const std::optional<PostalDictionary::Identity> id = PostalDictionary::identityOf(place);
        if (!id || (refused_.contains(place) && refused_.value(place) == *id))
            continue;
        if (auto d = PostalDictionary::open(place)) {
            dictionary_ = std::move(d);
            return;
        }
        refused_.insert(place, *id);
    }
}

bool PostalAddressComponent::ready()
{
    choose();
    if (dictionary_->refresh())
        return true;
    if (places_.isEmpty())
        return false;
    choose(true);
    return dictionary_->refresh();
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
    if (ready()) {
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
    if (!ready())
        return dictionary_->problem();
    const PostalDictionary::Info info = dictionary_->info();
    // The postal service's files have no version but their date.
    const QString version = info.version == info.date ? QString() : u" "_s + info.version;
    return info.source + version + u", data of "_s + info.date;
}
