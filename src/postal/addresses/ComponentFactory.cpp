#include "postal/addresses/AddressComponent.h"

#include "postal/addresses/PostalAddressComponent.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

std::unique_ptr<AddressComponent> createObject(const QString &progId, const QString &dictionary)
{
    if (progId != u"Tarnu.cAdd"_s)
        return nullptr;
    if (auto d = PostalDictionary::open(dictionary))
        return std::make_unique<PostalAddressComponent>(std::move(d));
    return nullptr;
}

std::unique_ptr<AddressComponent> createObject(const QString &progId)
{
    if (progId != u"Tarnu.cAdd"_s)
        return nullptr;
    // The program's own: read at its first look-up, not while it starts. Its
    // format is asked (a database query) before the window shows only where
    // another place could serve instead.
    const QStringList places = PostalDictionary::places();
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString here = QFileInfo(places.at(i)).canonicalFilePath();
        const bool another = std::any_of(places.cbegin() + i + 1, places.cend(), [&](const QString &p) {
            return QFileInfo(p).isFile() && QFileInfo(p).canonicalFilePath() != here;
        });
        using Opening = PostalDictionary::Opening;
        if (auto d = PostalDictionary::open(places.at(i), nullptr, another ? Opening::AtFirstLookUp : Opening::AtFirstLookUpUnasked))
            return std::make_unique<PostalAddressComponent>(std::move(d), places);
    }
    return nullptr;
}
