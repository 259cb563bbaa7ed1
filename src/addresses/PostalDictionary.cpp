#include "addresses/PostalDictionary.h"

#include "BuildTree.h"

#include "addresses/AddressText.h"
#include "addresses/PostalSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}

void bindText(sqlite3_stmt *s, int i, const QByteArray &utf8)
{
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QString zipText(sqlite3_int64 zip)
{
    return QString::number(zip).rightJustified(7, u'0');
}

// Resets a statement for its next use whichever way the caller leaves.
struct Reset {
    sqlite3_stmt *s;
    ~Reset() { sqlite3_reset(s); }
};

// The common beginning of two texts, never ending inside a surrogate pair.
QString commonPrefix(const QString &a, const QString &b)
{
    qsizetype n = 0;
    const qsizetype most = std::min(a.size(), b.size());
    while (n < most && a.at(n) == b.at(n))
        ++n;
    if (n > 0 && a.at(n - 1).isHighSurrogate())
        --n;
    return a.left(n);
}

// The longest key that `text` begins with, among the keys `greatest` finds:
// the greatest key not above a probe is either a beginning of the probe, or
// every beginning lies within what the two have in common. Calls `accept`
// with each beginning found, longest first, until it says yes.
template <typename Greatest, typename Accept>
bool longestBeginning(const QString &text, Greatest greatest, Accept accept)
{
    QString probe = text;
    for (int guard = 0; guard < 64; ++guard) {
        const std::optional<QString> key = greatest(probe);
        if (!key)
            return false;
        if (probe.startsWith(*key)) {
            if (accept(*key))
                return true;
            if (key->isEmpty())
                return false;
            probe = key->left(key->size() - (key->size() > 1 && key->at(key->size() - 2).isHighSurrogate() ? 2 : 1));
        } else {
            probe = commonPrefix(*key, probe);
        }
    }
    return false;
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
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9' && digits < 4) {
        floor = floor * 10 + (text.at(i).unicode() - u'0');
        ++i, ++digits;
    }
    if (digits == 0 || i >= text.size())
        return 0;
    const QChar unit = text.at(i);
    return unit == QChar(0x968E) || unit == u'F' || unit == u'f' ? floor : 0;  // 階
}

}  // namespace

QStringList PostalDictionary::places()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = QString::fromLatin1(kPostalDictionaryName);
    QStringList places{dir + u"/"_s + name, QDir::cleanPath(dir + u"/../share/zenrook/"_s + name)};
    if (const QString tree = buildTreeTop(); !tree.isEmpty())
        places << tree + u"/"_s + name;
    return places;
}

std::unique_ptr<PostalDictionary> PostalDictionary::open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return nullptr;
    std::unique_ptr<PostalDictionary> d(new PostalDictionary);
    // Immutable: the file is never written in place (a new dictionary
    // replaces it by renaming), so no query needs to take a file lock or
    // look for a journal; those are system calls, each costing more than
    // the look-up itself on some virtual machines.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    if (sqlite3_open_v2(uri.constData(), &d->db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                        nullptr) != SQLITE_OK || !d->prepareAll())
        return nullptr;
    return d;
}

PostalDictionary::~PostalDictionary()
{
    for (sqlite3_stmt *s : {byZip_, city_, town_, building_, business_})
        sqlite3_finalize(s);
    sqlite3_close(db_);
}

bool PostalDictionary::prepareAll()
{
    // Pages are read straight from the mapped file rather than copied into
    // a cache of sqlite's own on each first touch.
    sqlite3_exec(db_, "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr);
    auto prepare = [this](const char *sql, sqlite3_stmt **out) {
        return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, out, nullptr) == SQLITE_OK;
    };
    sqlite3_stmt *s = nullptr;
    if (!prepare("SELECT value FROM meta WHERE key = 'format'", &s))
        return false;
    const bool rightFormat = sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 0) == kPostalFormat;
    sqlite3_finalize(s);
    return rightFormat
           && prepare("SELECT a.pref, a.city, z.town, z.street, z.name FROM zip z JOIN area a ON a.id = z.area"
                      " WHERE z.zip = ?1 ORDER BY z.seq", &byZip_)
           && prepare("SELECT key, area FROM city WHERE key <= ?1 ORDER BY key DESC LIMIT 1", &city_)
           && prepare("SELECT key, zip FROM town WHERE area = ?1 AND key <= ?2 ORDER BY key DESC LIMIT 1", &town_)
           && prepare("SELECT name, floor, zip FROM building WHERE area = ?1 AND town = ?2", &building_)
           && prepare("SELECT min(zip) FROM business WHERE key = ?1 AND name = ?2", &business_);
}

QList<PostalDictionary::Entry> PostalDictionary::byZip(const QString &digits) const
{
    QList<Entry> found;
    bool ok = false;
    const qint64 zip = digits.toLongLong(&ok);
    if (!ok || digits.size() != 7)
        return found;
    Reset reset{byZip_};
    sqlite3_bind_int64(byZip_, 1, zip);
    while (sqlite3_step(byZip_) == SQLITE_ROW)
        found.append({columnText(byZip_, 0), columnText(byZip_, 1), columnText(byZip_, 2), columnText(byZip_, 3),
                      columnText(byZip_, 4)});
    return found;
}

std::optional<QString> PostalDictionary::buildingZip(int area, const QString &town, const QString &rest) const
{
    Reset reset{building_};
    sqlite3_bind_int(building_, 1, area);
    bindText(building_, 2, town.toUtf8());
    qsizetype bestLength = -1, bestEnd = 0;
    QString best;
    struct Floor { int floor; sqlite3_int64 zip; };
    QList<std::pair<QString, Floor>> rows;
    while (sqlite3_step(building_) == SQLITE_ROW) {
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
    std::optional<sqlite3_int64> unknownFloor;
    for (const auto &[name, f] : rows) {
        if (name != best)
            continue;
        if (f.floor == floor && floor > 0)
            return zipText(f.zip);
        if (f.floor == 0)
            unknownFloor = f.zip;
    }
    if (unknownFloor)
        return zipText(*unknownFloor);
    return std::nullopt;
}

std::optional<QString> PostalDictionary::townZip(int area, const QString &rest) const
{
    std::optional<QString> zip;
    sqlite3_int64 keyZip = 0;
    longestBeginning(
        rest,
        [&](const QString &probe) -> std::optional<QString> {
            Reset reset{town_};
            sqlite3_bind_int(town_, 1, area);
            bindText(town_, 2, probe.toUtf8());
            if (sqlite3_step(town_) != SQLITE_ROW)
                return std::nullopt;
            keyZip = sqlite3_column_int64(town_, 1);
            return columnText(town_, 0);
        },
        [&](const QString &key) {
            zip = buildingZip(area, key, rest.mid(key.size()));
            if (!zip)
                zip = zipText(keyZip);
            return true;
        });
    return zip;
}

std::optional<QString> PostalDictionary::zipForAddress(const QString &address, const QString &company) const
{
    const QString a = AddressText::comparable(address);
    if (a.isEmpty())
        return std::nullopt;
    if (!company.trimmed().isEmpty()) {
        Reset reset{business_};
        bindText(business_, 1, a.toUtf8());
        bindText(business_, 2, AddressText::comparable(company).toUtf8());
        if (sqlite3_step(business_) == SQLITE_ROW && sqlite3_column_type(business_, 0) != SQLITE_NULL)
            return zipText(sqlite3_column_int64(business_, 0));
    }
    std::optional<QString> zip;
    int area = 0;
    longestBeginning(
        a,
        [&](const QString &probe) -> std::optional<QString> {
            Reset reset{city_};
            bindText(city_, 1, probe.toUtf8());
            if (sqlite3_step(city_) != SQLITE_ROW)
                return std::nullopt;
            area = sqlite3_column_int(city_, 1);
            return columnText(city_, 0);
        },
        [&](const QString &key) {
            if (key.isEmpty())
                return false;
            zip = townZip(area, a.mid(key.size()));
            return zip.has_value();
        });
    return zip;
}

PostalDictionary::Info PostalDictionary::info() const
{
    Info info;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT key, value FROM meta", -1, &s, nullptr) != SQLITE_OK)
        return info;
    while (sqlite3_step(s) == SQLITE_ROW) {
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

QStringList PostalDictionary::allCodes() const
{
    QStringList codes;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT DISTINCT zip FROM zip ORDER BY zip", -1, &s, nullptr) != SQLITE_OK)
        return codes;
    while (sqlite3_step(s) == SQLITE_ROW)
        codes.append(zipText(sqlite3_column_int64(s, 0)));
    sqlite3_finalize(s);
    return codes;
}
