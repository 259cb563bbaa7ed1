#include "postal/dictionary/PostalDictionary.h"

#include "postal/dictionary/DictionarySql.h"
#include "postal/dictionary/LongestKey.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace DictionarySql;
using namespace DictionaryKeys;

std::optional<PostalDictionary::Match> PostalDictionary::city(QStringView text)
{
    // A few thousand names, kept once read: the longest the text begins with.
    if (!db_)
        return std::nullopt;
    if (!citiesRead_) {
        citiesRead_ = true;
        sqlite3_stmt *all = prepare("SELECT key, area FROM city ORDER BY key, area");
        while (step(all)) {
            if (cityKeys_.isEmpty() || cityKeys_.back() != columnText(all, 0))
                cityKeys_.append(columnText(all, 0));
        }
        sqlite3_reset(all);
        // A designated city written without its ward ("仙台市小田原") names
        // all its wards: the town tells which.
        QHash<QString, QList<int>> wardless;
        auto wardOf = [](const QString &key) {
            const qsizetype shi = key.lastIndexOf(u'市');
            return key.endsWith(u'区') && shi > 0 && shi + 2 < key.size() ? shi + 1 : qsizetype(0);
        };
        while (step(all)) {
            const QString key = columnText(all, 0);
            if (const qsizetype end = wardOf(key); end > 0)
                wardless[key.left(end)].append(sqlite3_column_int(all, 1));
        }
        for (auto w = wardless.cbegin(); w != wardless.cend(); ++w) {
            if (!std::binary_search(cityKeys_.cbegin(), cityKeys_.cend(), w.key()))
                cityKeys_.append(w.key());
        }
        std::sort(cityKeys_.begin(), cityKeys_.end());
        sqlite3_reset(all);
        // Looked up by views of the text, without a copy a probe.
        auto add = [&](const QString &key, int area) {
            const auto stored = std::lower_bound(cityKeys_.cbegin(), cityKeys_.cend(), key);
            QList<int> &areas = cities_[QStringView(*stored)];
            if (!areas.contains(area))
                areas.append(area);
            if (!cityLengths_.contains(key.size()))
                cityLengths_.append(key.size());
        };
        while (step(all))
            add(columnText(all, 0), sqlite3_column_int(all, 1));
        for (auto w = wardless.cbegin(); w != wardless.cend(); ++w) {
            if (!cities_.contains(QStringView(w.key()))) {
                for (const int area : *w)
                    add(w.key(), area);
            }
        }
        std::sort(cityLengths_.begin(), cityLengths_.end(), std::greater<>());
    }
    for (const qsizetype length : std::as_const(cityLengths_)) {
        if (length > text.size() || length == 0)
            continue;
        const auto found = cities_.constFind(text.left(length));
        if (found != cities_.cend())
            return Match{length, found.key().toString(), *found, {}};
    }
    return std::nullopt;
}

namespace {

// Text in code point order, as SQLite orders UTF-8 keys: a surrogate (a
// character beyond U+FFFF) comes after every other code unit.
int byCodePoint(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a.at(i).unicode(), y = b.at(i).unicode();
        if (x == y)
            continue;
        if (x >= 0xD800 && y >= 0xD800) {
            x += x >= 0xE000 ? -0x800 : 0x2000;
            y += y >= 0xE000 ? -0x800 : 0x2000;
        }
        return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

const PostalDictionary::Towns &PostalDictionary::towns(int area)
{
    if (const auto read = towns_.constFind(area); read != towns_.cend())
        return *read;
    Towns towns;
    if (db_) {
        Reset reset{townsOfArea_};
        sqlite3_bind_int(townsOfArea_, 1, area);
        while (step(townsOfArea_)) {
            const QString key = columnText(townsOfArea_, 0);
            if (towns.keys.isEmpty() || towns.keys.constLast() != key) {
                towns.keys.append(key);
                towns.codes.emplaceBack();
            }
            towns.codes.last().append(Code{sqlite3_column_int64(townsOfArea_, 1), columnText(townsOfArea_, 2)});
        }
        Reset again{notedOfArea_};
        sqlite3_bind_int(notedOfArea_, 1, area);
        while (step(notedOfArea_))
            towns.noted.insert(columnText(notedOfArea_, 0));
    }
    return *towns_.insert(area, towns);
}

std::optional<PostalDictionary::Match> PostalDictionary::town(int area, QStringView text)
{
    const Towns &all = towns(area);
    qsizetype at = -1;
    const std::optional<QString> key = longestKey(text, [&](QStringView probe) -> std::optional<QString> {
        const auto above = std::upper_bound(all.keys.cbegin(), all.keys.cend(), probe,
                                            [](QStringView p, const QString &k) { return byCodePoint(p, k) < 0; });
        if (above == all.keys.cbegin())
            return std::nullopt;
        at = above - 1 - all.keys.cbegin();
        return *(above - 1);
    });
    if (!key)
        return std::nullopt;
    return Match{key->size(), *key, {}, all.codes.at(at), all.noted.contains(*key)};
}

