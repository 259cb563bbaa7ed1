#include "postal/import/DictionaryTables.h"

#include "postal/addresses/AddressText.h"
#include "postal/dictionary/PostalSchema.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <memory>


using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

struct StmtFinalize {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalize>;

const char kSchema[] =
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE area(id INTEGER PRIMARY KEY, pref TEXT NOT NULL, city TEXT NOT NULL);"
    "CREATE TABLE zip(zip INTEGER NOT NULL, seq INTEGER NOT NULL, area INTEGER NOT NULL,"
    " town TEXT NOT NULL, street TEXT NOT NULL, name TEXT NOT NULL, PRIMARY KEY(zip, seq)) WITHOUT ROWID;"
    "CREATE TABLE city(key TEXT NOT NULL, area INTEGER NOT NULL, PRIMARY KEY(key, area)) WITHOUT ROWID;"
    "CREATE TABLE town(area INTEGER NOT NULL, key TEXT NOT NULL, zip INTEGER NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY(area, key, zip)) WITHOUT ROWID;"
    "CREATE TABLE block(area INTEGER NOT NULL, key TEXT NOT NULL, zip INTEGER NOT NULL, seq INTEGER NOT NULL,"
    " note TEXT NOT NULL, PRIMARY KEY(area, key, zip, seq)) WITHOUT ROWID;"
    "CREATE TABLE building(area INTEGER NOT NULL, town TEXT NOT NULL, name TEXT NOT NULL,"
    " floor INTEGER NOT NULL, zip INTEGER NOT NULL, PRIMARY KEY(area, town, name, floor)) WITHOUT ROWID;"
    "CREATE TABLE business(area INTEGER NOT NULL, town TEXT NOT NULL, numbers TEXT NOT NULL,"
    " name TEXT NOT NULL, zip INTEGER NOT NULL, townName TEXT NOT NULL, street TEXT NOT NULL,"
    " shown TEXT NOT NULL, place TEXT NOT NULL, PRIMARY KEY(area, town, numbers, name, zip)) WITHOUT ROWID;"
    "CREATE INDEX business_name ON business(area, name);"
    "CREATE INDEX business_place ON business(area, place);"
    "CREATE TABLE old(code TEXT PRIMARY KEY) WITHOUT ROWID;";

// Statements of one database, each value bound in turn (text or integer);
// the first failure is kept.
class Writer
{
public:
    explicit Writer(sqlite3 *db) : db_(db) {}
    bool exec(const char *sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        error = QString::fromUtf8(message ? message : "sqlite error");
        sqlite3_free(message);
        return false;
    }
    Stmt prepare(const char *sql)
    {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &s, nullptr);
        return Stmt(s);
    }
    template <typename... Values>
    bool insert(const Stmt &s, const Values &...values)
    {
        int i = 0;
        (bind(s.get(), ++i, values), ...);
        const int rc = sqlite3_step(s.get());
        sqlite3_reset(s.get());
        if (rc == SQLITE_DONE)
            return true;
        error = QString::fromUtf8(sqlite3_errmsg(db_));
        return false;
    }
    QString error;

private:
    static void bind(sqlite3_stmt *s, int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    static void bind(sqlite3_stmt *s, int i, qint64 n) { sqlite3_bind_int64(s, i, n); }
    static void bind(sqlite3_stmt *s, int i, int n) { sqlite3_bind_int64(s, i, n); }
    sqlite3 *db_;
};

struct Floor {
    QString building;  // comparable town of the building, without the floor
    int floor = 0;
};

// "霞が関霞が関ビル1階" → "霞が関霞が関ビル", 1 (comparable form).
std::optional<Floor> floorOf(const QString &key)
{
    static const QRegularExpression floor(u"^(.+[^0-9])([0-9]{1,3})階$"_s);
    const QRegularExpressionMatch m = floor.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    return Floor{m.captured(1), m.captured(2).toInt()};
}

QString withoutDistrict(const QString &city)
{
    const qsizetype district = AddressText::districtLength(city);
    return district > 0 ? city.mid(district) : QString();
}

// A ward of a designated city without its city: "北区" of "札幌市北区".
QString wardAlone(const QString &city)
{
    const qsizetype shi = city.indexOf(u'市');
    return shi > 0 && city.endsWith(u'区') && shi + 1 < city.size() - 1 ? city.mid(shi + 1) : QString();
}

// A town's key: its comparable form without a leading 大字 or 字, which
// business rows keep and addresses may carry.
QString townKey(const QString &town)
{
    const QString key = AddressText::comparable(town);
    return key.mid(AddressText::azaLength(key));
}

// Every ordinary code of a town, with the notes its rows give it.
struct TownCode {
    qint64 zip;
    QString name;
    QStringList notes;
};
using Towns = QMap<QString, QList<TownCode>>;  // by key

// The tables of one dictionary, written in the order they depend on each
// other.
class Tables
{
public:
    explicit Tables(sqlite3 *db) : w_(db) {}
    QString error() const { return w_.error; }

    bool begin()
    {
        // The file is private until renamed, and synced before: the
        // database's own journal and syncing would only cost time.
        return w_.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;") && w_.exec(kSchema);
    }

    // Every code's rows in order; the areas, businesses and old codes they
    // name; the towns kept for writeTowns().
    bool writeCodes(const QMap<QString, QList<Row>> &byCode, Result *r)
    {
        Stmt addZip = w_.prepare("INSERT INTO zip VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        Stmt addBusiness = w_.prepare("INSERT OR IGNORE INTO business VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        for (auto it = byCode.cbegin(); it != byCode.cend(); ++it) {
            const qint64 zip = it.key().toLongLong();
            bool business = false;
            for (qsizetype seq = 0; seq < it->size(); ++seq) {
                const Row &row = it->at(seq);
                const int area = areaOf(row);
                if (area == 0 || !w_.insert(addZip, zip, int(seq), area, row.town, row.street, row.name))
                    return false;
                if (!row.old.isEmpty())
                    olds_.insert(row.old);
                if (!row.name.isEmpty()) {
                    business = true;
                    if (!w_.insert(addBusiness, area, townKey(row.town), AddressText::blockNumbers(row.street),
                                   AddressText::companyKey(row.name), zip, row.town, row.street, row.name,
                                   AddressText::streetForm(townKey(row.town + row.street))))
                        return false;
                    continue;
                }
                QList<TownCode> &codes = towns_[area][townKey(row.town)];
                auto same = std::find_if(codes.begin(), codes.end(), [&](const TownCode &c) { return c.zip == zip; });
                if (same == codes.end())
                    same = codes.insert(codes.end(), {zip, row.town, {}});
                if (!same->notes.contains(row.note))
                    same->notes.append(row.note);
            }
            ++r->codes;
            r->business += business ? 1 : 0;
        }
        return true;
    }

    bool writeTowns(Result *r)
    {
        for (auto it = towns_.cbegin(); it != towns_.cend(); ++it) {
            QSet<QString> floors;
            if (!writeBuildings(it.key(), *it, &floors) || !writeTownsOf(it.key(), *it, floors, r))
                return false;
        }
        return true;
    }

    // Cities by prefecture and name, with and without the district (and a
    // designated city's ward without its city), and by the name alone; a key
    // that names several cities ("府中市", "北区") names each.
    bool writeCities()
    {
        QSet<QPair<QString, int>> keys;
        for (auto it = areas_.cbegin(); it != areas_.cend(); ++it) {
            const QString pref = AddressText::comparable(it.key().first);
            const QString city = AddressText::comparable(it.key().second);
            for (const QString &name : {city, withoutDistrict(city), wardAlone(city)}) {
                if (name.isEmpty())
                    continue;
                keys.insert({pref + name, *it});
                keys.insert({name, *it});
            }
        }
        Stmt addCity = w_.prepare("INSERT INTO city VALUES(?1, ?2)");
        Stmt addOld = w_.prepare("INSERT INTO old VALUES(?1)");
        return std::all_of(keys.cbegin(), keys.cend(), [&](const auto &k) { return w_.insert(addCity, k.first, k.second); })
               && std::all_of(olds_.cbegin(), olds_.cend(), [&](const QString &o) { return w_.insert(addOld, o); });
    }

    bool writeMeta(const Source &source, const Result &r)
    {
        Stmt addMeta = w_.prepare("INSERT INTO meta VALUES(?1, ?2)");
        for (const auto &[key, value] :
             {std::pair{u"format"_s, QString::number(kPostalFormat)}, std::pair{u"source"_s, source.source},
              std::pair{u"version"_s, r.version}, std::pair{u"date"_s, source.date},
              std::pair{u"codes"_s, QString::number(r.codes)}, std::pair{u"towns"_s, QString::number(r.towns)},
              std::pair{u"business"_s, QString::number(r.business)}}) {
            if (!w_.insert(addMeta, key, value))
                return false;
        }
        return true;
    }

    bool commit() { return w_.exec("COMMIT; VACUUM;"); }

private:
    int areaOf(const Row &row)
    {
        const QPair<QString, QString> place(row.pref, row.city);
        int &area = areas_[place];
        if (area == 0) {
            area = int(areas_.size());
            Stmt addArea = w_.prepare("INSERT INTO area VALUES(?1, ?2, ?3)");
            if (!w_.insert(addArea, area, row.pref, row.city))
                return 0;
        }
        return area;
    }

    // Floors of high-rise buildings: "…ビル1階" rows next to the building's
    // own row, filed under the town the building stands in as well.
    bool writeBuildings(int area, const Towns &inArea, QSet<QString> *floorKeys)
    {
        QMap<QString, QList<std::pair<int, qint64>>> buildings;
        for (auto t = inArea.cbegin(); t != inArea.cend(); ++t) {
            if (const auto f = floorOf(t.key()))
                buildings[f->building].append({f->floor, t->first().zip});
        }
        for (auto b = buildings.begin(); b != buildings.end();) {
            const auto own = inArea.constFind(b.key());
            if (own != inArea.constEnd()) {
                b->append({0, own->first().zip});
                ++b;
            } else if (b->size() < 2) {
                b = buildings.erase(b);  // one row ending in "階" is an ordinary town
            } else {
                ++b;
            }
        }
        Stmt addFloor = w_.prepare("INSERT OR IGNORE INTO building VALUES(?1, ?2, ?3, ?4, ?5)");
        for (auto b = buildings.cbegin(); b != buildings.cend(); ++b) {
            // The town it stands in: the longest other town its name begins with.
            QString base;
            for (auto t = inArea.cbegin(); t != inArea.cend(); ++t) {
                if (t.key().size() > base.size() && t.key().size() < b.key().size() && b.key().startsWith(t.key())
                    && !buildings.contains(t.key()) && !floorOf(t.key()))
                    base = t.key();
            }
            // Notes such as "(高層棟)" are left out of what addresses are searched for.
            static const QRegularExpression note(u"\\([^()]*\\)"_s);
            const QString name = b.key().mid(base.size()).remove(note);
            for (const auto &[floor, zip] : *b) {
                if (floor > 0)
                    floorKeys->insert(b.key() + QString::number(floor) + u"階"_s);
                if (!w_.insert(addFloor, area, base, name, floor, zip)
                    || !w_.insert(addFloor, area, b.key(), QString(), floor, zip))
                    return false;
            }
        }
        return true;
    }

    // The towns but the floors, and what each code's rows note of the
    // blocks it serves.
    bool writeTownsOf(int area, const Towns &inArea, const QSet<QString> &floorKeys, Result *r)
    {
        Stmt addTown = w_.prepare("INSERT INTO town VALUES(?1, ?2, ?3, ?4)");
        Stmt addBlock = w_.prepare("INSERT INTO block VALUES(?1, ?2, ?3, ?4, ?5)");
        for (auto t = inArea.cbegin(); t != inArea.cend(); ++t) {
            if (floorKeys.contains(t.key()))
                continue;
            // A town's codes' notes, where it has several or its one code
            // serves some blocks only (the others in another ward).
            const bool noted = t->size() > 1 || std::any_of(t->cbegin(), t->cend(), [](const TownCode &c) {
                return std::any_of(c.notes.cbegin(), c.notes.cend(), [](const QString &n) { return !n.isEmpty(); });
            });
            for (const TownCode &code : *t) {
                if (!w_.insert(addTown, area, t.key(), code.zip, code.name))
                    return false;
                for (qsizetype seq = 0; noted && seq < code.notes.size(); ++seq) {
                    if (!w_.insert(addBlock, area, t.key(), code.zip, int(seq), code.notes.at(seq)))
                        return false;
                }
            }
            r->towns += t.key().isEmpty() ? 0 : 1;
        }
        return true;
    }

    Writer w_;
    QHash<QPair<QString, QString>, int> areas_;
    QHash<int, Towns> towns_;
    QSet<QString> olds_;
};

// Rows of each code in their order, a row given twice kept once.
QMap<QString, QList<Row>> byCode(const QList<Row> &rows)
{
    QMap<QString, QList<Row>> codes;
    for (const Row &row : rows) {
        QList<Row> &same = codes[row.zip];
        const bool twice = std::any_of(same.cbegin(), same.cend(), [&](const Row &o) {
            return o.pref == row.pref && o.city == row.city && o.town == row.town && o.street == row.street
                   && o.name == row.name && o.note == row.note;
        });
        if (!twice)
            same.append(row);
    }
    return codes;
}

}  // namespace

bool writeTables(sqlite3 *db, const Source &source, Result *r)
{
    Tables tables(db);
    // The official files carry no version of their own: their date is it.
    r->version = source.version.isEmpty() ? source.date : source.version;
    const bool written = tables.begin() && tables.writeCodes(byCode(source.rows), r) && tables.writeTowns(r)
                         && tables.writeCities() && tables.writeMeta(source, *r) && tables.commit();
    if (!written)
        r->error = tables.error();
    return written;
}

}  // namespace DictionaryImport
