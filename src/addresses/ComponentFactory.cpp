#include "addresses/AddressComponent.h"

#include "addresses/PostalAddressComponent.h"
#include "addresses/PostalSchema.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

// Installed beside the program or in its data folder, or left in the build tree.
QStringList componentPlaces(const QString &progId)
{
    if (progId != u"Tarnu.cAdd"_s)
        return {};
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = QString::fromLatin1(kPostalDictionaryName);
    QStringList places{dir + u"/"_s + name, QDir::cleanPath(dir + u"/../share/zenrook/"_s + name)};
#ifdef ZENROOK_BUILD_TREE_DICTIONARY
    places << QString::fromUtf8(ZENROOK_BUILD_TREE_DICTIONARY);
#endif
    return places;
}

std::unique_ptr<AddressComponent> createObject(const QString &progId)
{
    return createObject(progId, componentPlaces(progId));
}

std::unique_ptr<AddressComponent> createObject(const QString &progId, const QStringList &places)
{
    if (progId != u"Tarnu.cAdd"_s)
        return nullptr;
    for (const QString &path : places) {
        if (auto dictionary = PostalDictionary::open(path))
            return std::make_unique<PostalAddressComponent>(std::move(dictionary));
    }
    return nullptr;
}
