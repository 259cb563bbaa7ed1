#include "postal/cli/Dictionaries.h"

#include "postal/dictionary/PostalDictionary.h"

#include <QFileInfo>
#include <QThread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace Cli {

std::unique_ptr<PostalDictionary> dictionaryAt(const QString &dictionary)
{
    const QStringList places = dictionary.isEmpty() ? PostalDictionary::places() : QStringList{dictionary};
    // One there that cannot serve (of another format, damaged) leaves it to
    // the next, as in the window; the first one's reason is said when none can.
    QString why, first;
    for (const QString &place : places) {
        if (auto d = PostalDictionary::open(place, &why))
            return d;
        if (first.isEmpty() && (!dictionary.isEmpty() || QFileInfo::exists(place)))
            first = why;
    }
    why = !first.isEmpty() ? first : u"no postal dictionary found (looked for "_s + places.join(u", "_s) + u")"_s;
    std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(why));
    return nullptr;
}

std::unique_ptr<PostalAddressComponent> component(const QString &dictionary)
{
    auto d = dictionaryAt(dictionary);
    if (!d)
        return nullptr;
    return std::make_unique<PostalAddressComponent>(std::move(d),
                                                    dictionary.isEmpty() ? PostalDictionary::places() : QStringList());
}

Workers workers(const QString &dictionary)
{
    Workers w;
    auto first = component(dictionary);
    if (!first)
        return w;
    const QString path = first->path();
    w.owned.push_back(std::move(first));
    for (int i = 1; i < std::min(2, QThread::idealThreadCount()); ++i) {
        if (auto d = PostalDictionary::open(path, nullptr, PostalDictionary::Opening::AtFirstLookUp))
            w.owned.push_back(std::make_unique<PostalAddressComponent>(
                std::move(d), dictionary.isEmpty() ? PostalDictionary::places() : QStringList()));
    }
    for (const auto &a : w.owned)
        w.all.append(a.get());
    return w;
}

QString dictionaryInUse()
{
    for (const QString &place : PostalDictionary::places()) {
        if (PostalDictionary::open(place, nullptr, PostalDictionary::Opening::AtFirstLookUp))
            return place;
    }
    return QString();
}

}  // namespace Cli
