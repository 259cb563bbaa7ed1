#include "addresses/AddressComponent.h"

#include "addresses/PostalAddressComponent.h"

using namespace Qt::StringLiterals;

std::unique_ptr<AddressComponent> createObject(const QString &progId, const QString &dictionary, QString *why)
{
    if (progId != u"Tarnu.cAdd"_s) {
        if (why)
            *why = progId + u": no such component"_s;
        return nullptr;
    }
    if (auto d = PostalDictionary::open(dictionary, why))
        return std::make_unique<PostalAddressComponent>(std::move(d));
    return nullptr;
}

std::unique_ptr<AddressComponent> createObject(const QString &progId)
{
    if (progId != u"Tarnu.cAdd"_s)
        return nullptr;
    // The program's own: read at its first look-up, not while it starts.
    for (const QString &path : PostalDictionary::places()) {
        if (auto d = PostalDictionary::open(path, nullptr, PostalDictionary::Opening::AtFirstLookUp))
            return std::make_unique<PostalAddressComponent>(std::move(d));
    }
    return nullptr;
}
