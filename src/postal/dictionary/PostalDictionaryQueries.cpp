#include "postal/dictionary/PostalDictionary.h"

#include "postal/dictionary/DictionarySql.h"
#include "postal/dictionary/LongestKey.h"

using namespace Qt::StringLiterals;
using namespace DictionarySql;
using namespace DictionaryKeys;

namespace {

// A floor written right after a building's name: "12階", "12F"; 0 for
// "地下…", "B1F" and anything else.
int floorAt(const QString &text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && text.at(i) == u'-')
        ++i;
    int floor = 0;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text.at(i)) && digits < 4) {
        floor = floor * 10 + (text.at(i).unicode() - u'0');
        ++i, ++digits;
    }
    if (digits == 0 || i >= text.size())
        return 0;
    const QChar unit = text.at(i);
    return unit == QChar(0x968E) || unit == u'F' || unit == u'f' ? floor : 0;  // 階
}

}  // namespace

QList<PostalDictionary::Entry> PostalDictionary::byZip(const QString &digits)
{
    QList<Entry> found;
    bool ok = false;
    const qint64 zip = digits.toLongLong(&ok);
    if (!ok || digits.size() != 7 || !db_)
        return found;
    Reset reset{byZip_};
    sqlite3_bind_int64(byZip_, 1, zip);
    while (step(byZip_))
        found.append({columnText(byZip_, 0), columnText(byZip_, 1), columnText(byZip_, 2), columnText(byZip_, 3),
                      columnText(byZip_, 4)});
    return found;
}

PostalDictionary::Area PostalDictionary::area(int id)
{
    if (const auto known = areas_.constFind(id); known != areas_.cend())
        return *known;
    Area a;
    if (!db_)
        return a;
    Reset reset{area_};
    sqlite3_bind_int(area_, 1, id);
    if (step(area_))
        a = {columnText(area_, 0), columnText(area_, 1)};
    areas_.insert(id, a);
    return a;
}

template <typename Read>
auto PostalDictionary::rowsOf(sqlite3_stmt *query, int area, const QString &key, Read read)
    -> QList<decltype(read(query))>
{
    QList<decltype(read(query))> found;
    if (!db_)
        return found;
    Reset reset{query};
    sqlite3_bind_int(query, 1, area);
    bindText(query, 2, key);
    while (step(query))
        found.append(read(query));
    return found;
}

QList<PostalDictionary::Code> PostalDictionary::townCodes(int area, const QString &key)
{
    return rowsOf(townCodes_, area, key, [](sqlite3_stmt *s) {
        return Code{sqlite3_column_int64(s, 0), columnText(s, 1)};
    });
}

QList<PostalDictionary::Blocks> PostalDictionary::blocks(int area, const QString &key)
{
    return rowsOf(blocks_, area, key, [](sqlite3_stmt *s) { return Blocks{sqlite3_column_int64(s, 0), columnText(s, 1)}; });
}

std::optional<qint64> PostalDictionary::buildingZip(int area, const QString &townKey, const QString &rest)
{
    if (!db_)
        return std::nullopt;
    // Few towns have high-rise buildings of their own codes; the others are
    // told without a query.
    if (!buildingTownsRead_) {
        sqlite3_stmt *all = prepare("SELECT DISTINCT area, town FROM building");
        while (step(all))
            buildingTowns_.insert({sqlite3_column_int(all, 0), columnText(all, 1)});
        buildingTownsRead_ = true;
    }
    if (!buildingTowns_.contains({area, townKey}))
        return std::nullopt;
    Reset reset{building_};
    sqlite3_bind_int(building_, 1, area);
    bindText(building_, 2, townKey);
    qsizetype bestLength = -1, bestEnd = 0;
    QString best;
    struct Floor {
        int floor;
        qint64 zip;
    };
    QList<std::pair<QString, Floor>> rows;
    while (step(building_)) {
        const QString name = columnText(building_, 0);
        rows.append({name, {sqlite3_column_int(building_, 1), sqlite3_column_int64(building_, 2)}});
        if (name.size() <= bestLength)
            continue;
        const qsizetype at = name.isEmpty() ? 0 : rest.indexOf(name);
        if (at >= 0)
            bestLength = name.size(), bestEnd = at + name.size(), best = name;
    }
    if (bestLength < 0)
        return std::nullopt;
    const int floor = floorAt(rest, bestEnd);
    std::optional<qint64> unknownFloor;
    for (const auto &[name, f] : rows) {
        if (name != best)
            continue;
        if (f.floor == floor && floor > 0)
            return f.zip;
        if (f.floor == 0)
            unknownFloor = f.zip;
    }
    return unknownFloor;
}

namespace {

PostalDictionary::Business businessOf(sqlite3_stmt *s)
{
    return {sqlite3_column_int64(s, 0), columnText(s, 1), columnText(s, 2), columnText(s, 3), columnText(s, 4),
            columnText(s, 5)};
}

}  // namespace

QList<PostalDictionary::Business> PostalDictionary::businessesAt(int area, const QString &townKey,
                                                                 const QStringList &numbers)
{
    QList<Business> found;
    for (const QString &n : numbers) {
        if (townKey.isEmpty() || !db_)
            break;
        bindText(businessAt_, 3, n);
        found += rowsOf(businessAt_, area, townKey, businessOf);
    }
    return found;
}

QList<PostalDictionary::Business> PostalDictionary::businessesNamed(int area, const QString &nameKey)
{
    return nameKey.isEmpty() ? QList<Business>() : rowsOf(businessNamed_, area, nameKey, businessOf);
}

QList<PostalDictionary::Business> PostalDictionary::businessesPlaced(int area, QStringView text)
{
    // The query finds the greatest place not above a probe, with its rows.
    QList<Business> found;
    const std::optional<QString> place = longestKey(text, [&](QStringView probe) -> std::optional<QString> {
        found.clear();
        if (!db_)
            return std::nullopt;
        Reset reset{businessPlace_};
        sqlite3_bind_int(businessPlace_, 1, area);
        bindText(businessPlace_, 2, probe.toString());
        if (!step(businessPlace_))
            return std::nullopt;
        const QString key = columnText(businessPlace_, 0);
        do {
            if (columnText(businessPlace_, 0) != key)
                break;
            found.append(Business{sqlite3_column_int64(businessPlace_, 1), columnText(businessPlace_, 2),
                                  columnText(businessPlace_, 3), columnText(businessPlace_, 4),
                                  columnText(businessPlace_, 5), columnText(businessPlace_, 6)});
        } while (step(businessPlace_));
        return key;
    });
    // A business with no town of its own places nothing.
    return place ? found : QList<Business>();
}

bool PostalDictionary::isPoBoxGroup(const QString &digits)
{
    if (digits.size() != 7 || !db_ || !std::all_of(digits.cbegin(), digits.cend(), isDigit))
        return false;
    auto old = [&](const QString &code) {
        Reset reset{old_};
        bindText(old_, 1, code);
        return step(old_);
    };
    const QStringView last = QStringView(digits).mid(3);
    return (last.startsWith(u"869") && last.back() != u'0' && old(digits.left(3)))
           || (digits.endsWith(u"91"_s) && old(digits.left(5)));
}

QString PostalDictionary::regionOf(const QString &digits)
{
    if (!db_ || digits.size() != 7)
        return QString();
    // The old area: three digits where the group code is "NNN-869N", else five.
    const qsizetype old = QStringView(digits).mid(3).startsWith(u"869") ? 3 : 5;
    const qint64 low = digits.left(old).toLongLong() * (old == 3 ? 10000 : 100);
    Reset reset{region_};
    sqlite3_bind_int64(region_, 1, low);
    sqlite3_bind_int64(region_, 2, low + (old == 3 ? 9999 : 99));
    QStringList prefs, cities;
    while (step(region_)) {
        prefs << columnText(region_, 0);
        cities << columnText(region_, 1);
    }
    prefs.removeDuplicates();
    if (prefs.size() != 1)
        return QString();
    // Wards of one city are that city.
    QString city = cities.first();
    for (const QString &c : std::as_const(cities)) {
        const qsizetype shi = c.indexOf(u'市');
        if (c != city)
            city = shi > 0 && city.startsWith(c.left(shi + 1)) ? c.left(shi + 1) : QString();
    }
    return prefs.first() + city;
}

