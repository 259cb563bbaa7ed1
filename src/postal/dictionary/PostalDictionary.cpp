#include "postal/dictionary/PostalDictionary.h"

#include "BuildTree.h"
#include "postal/dictionary/PostalSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <functional>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}

void bindText(sqlite3_stmt *s, int i, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Resets a statement for its next use whichever way the caller leaves.
struct Reset {
    sqlite3_stmt *s;
    ~Reset() { sqlite3_reset(s); }
};

// The common beginning of two texts, never ending inside a surrogate pair.
QStringView commonPrefix(QStringView a, QStringView b)
{
    qsizetype n = 0;
    const qsizetype most = std::min(a.size(), b.size());
    while (n < most && a.at(n) == b.at(n))
        ++n;
    if (n > 0 && a.at(n - 1).isHighSurrogate())
        --n;
    return a.left(n);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

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

QString PostalDictionary::usersOwn()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/zenrook/"_s
           + QString::fromLatin1(kPostalDictionaryName);
}

QStringList PostalDictionary::places()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = QString::fromLatin1(kPostalDictionaryName);
    QStringList places{usersOwn(), dir + u"/"_s + name, QDir::cleanPath(dir + u"/../share/zenrook/"_s + name)};
    if (const QString tree = buildTreeTop(); !tree.isEmpty())
        places << tree + u"/"_s + name;
    return places;
}

namespace {

// Why a database is no dictionary this program reads; "" when it is one.
QString formatProblem(sqlite3 *db, const QString &path)
{
    sqlite3_stmt *format = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE key = 'format'", -1, &format, nullptr) != SQLITE_OK)
        return path + u": not a postal dictionary ("_s + QString::fromUtf8(sqlite3_errmsg(db)) + u")"_s;
    const int rc = sqlite3_step(format);
    const int found = rc == SQLITE_ROW ? sqlite3_column_int(format, 0) : 0;
    const QString error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(format);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return path + u": damaged ("_s + error + u")"_s;
    if (found != kPostalFormat)
        return found == 0 ? path + u": not a postal dictionary (it states no format)"_s
                          : path + u": a dictionary of format %1; this program reads format %2 (import it again)"_s
                                       .arg(found).arg(kPostalFormat);
    return {};
}

}  // namespace

std::unique_ptr<PostalDictionary> PostalDictionary::open(const QString &path, QString *why, Opening opening)
{
    // SQLite's count of the memory it holds takes one lock for every
    // allocation of every connection: dictionaries answering on threads of
    // their own would wait on each other for it.
    static const bool uncounted = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    Q_UNUSED(uncounted);
    QString reason;
    std::unique_ptr<PostalDictionary> d(new PostalDictionary(path));
    const QFileInfo file(path);
    if (!file.exists()) {
        reason = path + u": no such file"_s;
    } else if (!file.isFile()) {
        reason = path + u": not a file"_s;
    } else {
        // Watching first: a change while it is read is a change seen.
        d->file_.watch();
        if (opening == Opening::AtFirstLookUpUnasked) {
            // Read when first asked: a window need not wait for it.
            QFile f(path);
            if (f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16))
                return d;
            reason = path + u": not a postal dictionary (file is not a database)"_s;
        } else if (opening == Opening::AtFirstLookUp) {
            // Its format asked now, so that one of another leaves the place
            // to the next.
            sqlite3 *db = nullptr;
            if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                nullptr)
                == SQLITE_OK)
                reason = formatProblem(db, path);
            else
                reason = path + u": cannot be opened ("_s + QString::fromUtf8(sqlite3_errmsg(db)) + u")"_s;
            sqlite3_close(db);
            if (reason.isEmpty())
                return d;
        } else if (d->connect(&reason)) {
            return d;
        }
    }
    if (why)
        *why = reason;
    return nullptr;
}

PostalDictionary::~PostalDictionary()
{
    disconnect();
}

bool PostalDictionary::connect(QString *why)
{
    // The whole file is read into memory and queried there: a file written
    // over or cut short while in use can then neither kill the process (as
    // under a memory map) nor give answers half from the old file and half
    // from the new. It is read whole again when it changes.
    std::optional<QByteArray> image = file_.read(why);
    if (!image)
        return false;
    image_ = std::move(*image);
    if (!image_.startsWith(QByteArray("SQLite format 3\0", 16))) {
        *why = path() + u": not a postal dictionary (file is not a database)"_s;
        disconnect();
        return false;
    }
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK
        || sqlite3_deserialize(db_, "main", reinterpret_cast<unsigned char *>(image_.data()), image_.size(),
                               image_.size(), SQLITE_DESERIALIZE_READONLY) != SQLITE_OK) {
        *why = path() + u": cannot be opened ("_s + QString::fromUtf8(sqlite3_errmsg(db_)) + u")"_s;
        disconnect();
        return false;
    }
    if (!prepareAll(why)) {
        disconnect();
        return false;
    }
    return true;
}

void PostalDictionary::disconnect()
{
    for (sqlite3_stmt *s : std::as_const(statements_))
        sqlite3_finalize(s);
    statements_.clear();
    byZip_ = area_ = townsOfArea_ = notedOfArea_ = townCodes_ = blocks_ = building_ = businessAt_ = businessNamed_ = businessPlace_ = old_
        = region_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
    image_.clear();
    areas_.clear();
    cities_.clear();
    cityKeys_.clear();
    cityLengths_.clear();
    citiesRead_ = false;
    buildingTowns_.clear();
    buildingTownsRead_ = false;
    towns_.clear();
}

sqlite3_stmt *PostalDictionary::prepare(const char *sql)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
        return nullptr;
    statements_.append(s);
    return s;
}

bool PostalDictionary::prepareAll(QString *why)
{
    if (const QString problem = formatProblem(db_, path()); !problem.isEmpty()) {
        *why = problem;
        return false;
    }
    byZip_ = prepare("SELECT a.pref, a.city, z.town, z.street, z.name FROM zip z JOIN area a ON a.id = z.area"
                     " WHERE z.zip = ?1 ORDER BY z.seq");
    area_ = prepare("SELECT pref, city FROM area WHERE id = ?1");
    townsOfArea_ = prepare("SELECT key, zip, name FROM town WHERE area = ?1 ORDER BY key, zip");
    notedOfArea_ = prepare("SELECT DISTINCT key FROM block WHERE area = ?1");
    townCodes_ = prepare("SELECT zip, name FROM town WHERE area = ?1 AND key = ?2 ORDER BY zip");
    blocks_ = prepare("SELECT zip, note FROM block WHERE area = ?1 AND key = ?2 ORDER BY zip, seq");
    building_ = prepare("SELECT name, floor, zip FROM building WHERE area = ?1 AND town = ?2");
    businessAt_ = prepare("SELECT zip, town, numbers, townName, street, shown FROM business"
                          " WHERE area = ?1 AND town = ?2 AND numbers = ?3 ORDER BY zip");
    businessNamed_ = prepare("SELECT zip, town, numbers, townName, street, shown FROM business"
                             " WHERE area = ?1 AND name = ?2 ORDER BY zip");
    businessPlace_ = prepare("SELECT place, zip, town, numbers, townName, street, shown FROM business"
                             " WHERE area = ?1 AND place <= ?2 ORDER BY place DESC, zip");
    old_ = prepare("SELECT 1 FROM old WHERE code = ?1");
    region_ = prepare("SELECT DISTINCT a.pref, a.city FROM zip z JOIN area a ON a.id = z.area"
                      " WHERE z.zip BETWEEN ?1 AND ?2 AND z.name = '' LIMIT 16");
    const bool all = byZip_ && area_ && townsOfArea_ && notedOfArea_ && townCodes_ && blocks_ && building_ && businessAt_ && businessNamed_
                     && businessPlace_ && old_ && region_;
    if (!all)
        *why = path() + u": damaged ("_s + QString::fromUtf8(sqlite3_errmsg(db_)) + u")"_s;
    return all;
}

bool PostalDictionary::refresh()
{
    problem_.clear();
    const DictionaryFile::Held held = db_ ? DictionaryFile::Held::Contents
                                      : lastFailure_.isEmpty() ? DictionaryFile::Held::Nothing
                                                               : DictionaryFile::Held::Failure;
    if (!file_.mustRead(held)) {
        if (!db_)
            problem_ = lastFailure_.isEmpty() ? path() + u": cannot be read"_s : lastFailure_;
        return db_ != nullptr;
    }
    disconnect();
    if (!connect(&problem_)) {
        lastFailure_ = problem_;
        return false;
    }
    lastFailure_.clear();
    return true;
}

bool PostalDictionary::step(sqlite3_stmt *s)
{
    if (!s)
        return false;
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE && problem_.isEmpty())
        problem_ = path() + u": damaged or changed while read ("_s + QString::fromUtf8(sqlite3_errmsg(db_)) + u")"_s;
    return false;
}

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

// The longest key a text begins with, given the greatest key not above a
// probe (none when no key is): that key is either a beginning of the probe,
// or every beginning lies within what the two have in common.
template <typename GreatestNotAbove>
std::optional<QString> longestKey(QStringView text, GreatestNotAbove greatestNotAbove)
{
    QStringView probe = text;
    for (int guard = 0; guard < 64; ++guard) {
        const std::optional<QString> key = greatestNotAbove(probe);
        if (!key || key->isEmpty())
            return std::nullopt;
        if (!probe.startsWith(*key)) {
            probe = commonPrefix(probe, *key);
            continue;
        }
        // "鶴沼第1" is no beginning of "鶴沼第12".
        if (!(isDigit(key->back()) && key->size() < text.size() && isDigit(text.at(key->size()))))
            return key;
        probe = probe.left(key->size() - (key->size() > 1 && key->at(key->size() - 2).isHighSurrogate() ? 2 : 1));
    }
    return std::nullopt;
}

}  // namespace

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

PostalDictionary::Info PostalDictionary::info()
{
    Info info;
    sqlite3_stmt *s = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, "SELECT key, value FROM meta", -1, &s, nullptr) != SQLITE_OK)
        return info;
    while (step(s)) {
        const QString key = columnText(s, 0), value = columnText(s, 1);
        if (key == u"source"_s)
            info.source = value;
        else if (key == u"version"_s)
            info.version = value;
        else if (key == u"date"_s)
            info.date = value;
        else if (key == u"codes"_s)
            info.codes = value.toLongLong();
        else if (key == u"towns"_s)
            info.towns = value.toLongLong();
        else if (key == u"business"_s)
            info.business = value.toLongLong();
    }
    sqlite3_finalize(s);
    return info;
}

QStringList PostalDictionary::allCodes()
{
    QStringList codes;
    sqlite3_stmt *s = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, "SELECT DISTINCT zip FROM zip ORDER BY zip", -1, &s, nullptr) != SQLITE_OK)
        return codes;
    while (step(s))
        codes.append(QString::number(sqlite3_column_int64(s, 0)).rightJustified(7, u'0'));
    sqlite3_finalize(s);
    return codes;
}
