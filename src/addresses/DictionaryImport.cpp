#include "addresses/DictionaryImport.h"

#include "addresses/AddressText.h"
#include "addresses/PostalSchema.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <sqlite3.h>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

struct DbClose {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
struct StmtFinalize {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbClose>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalize>;

bool readTable(const QString &folder, const QString &name, QJsonObject *table, QString *error)
{
    QFile f(folder + u"/"_s + name + u".json"_s);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = u"cannot read "_s + f.fileName();
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parse);
    *table = doc.object().value(name).toObject();
    if (parse.error != QJsonParseError::NoError || table->isEmpty()) {
        *error = f.fileName() + u": not a table of the expected kind"_s;
        return false;
    }
    return true;
}

struct Town {
    int city;
    QString name;
};

// A row of zip5 or zip7: numbers switch the city, texts are towns in it.
void parseRow(const QJsonValue &row, int *city, QList<Town> *towns)
{
    const QJsonArray items = row.isArray() ? row.toArray() : QJsonArray{row};
    for (const QJsonValue &v : items) {
        if (v.isDouble())
            *city = v.toInt();
        else if (v.isString())
            towns->append({*city, v.toString()});
    }
}

bool exec(sqlite3 *db, const char *sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : "sqlite error");
    sqlite3_free(message);
    return false;
}

Stmt prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    return Stmt(s);
}

void bindText(sqlite3_stmt *s, int i, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool step(sqlite3_stmt *s, QString *error, sqlite3 *db)
{
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc == SQLITE_DONE)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

}  // namespace

Result run(const QString &masterFolder, const QString &database)
{
    Result r;
    QJsonObject prefs, cities, zip5, zip7;
    if (!readTable(masterFolder, u"pref"_s, &prefs, &r.error) || !readTable(masterFolder, u"city"_s, &cities, &r.error)
        || !readTable(masterFolder, u"zip5"_s, &zip5, &r.error) || !readTable(masterFolder, u"zip7"_s, &zip7, &r.error))
        return r;

    const QString partial = database + u".partial"_s;
    QFile::remove(partial);
    sqlite3 *raw = nullptr;
    if (sqlite3_open(QFile::encodeName(partial).constData(), &raw) != SQLITE_OK) {
        r.error = u"cannot create "_s + partial;
        sqlite3_close(raw);
        return r;
    }
    Db db(raw);
    if (!exec(db.get(),
              "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
              "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
              "CREATE TABLE pref(code INTEGER PRIMARY KEY, name TEXT NOT NULL);"
              "CREATE TABLE city(code INTEGER PRIMARY KEY, pref INTEGER NOT NULL, name TEXT NOT NULL);"
              "CREATE TABLE zip(zip TEXT NOT NULL, seq INTEGER NOT NULL, city INTEGER NOT NULL, town TEXT NOT NULL,"
              " PRIMARY KEY(zip, seq)) WITHOUT ROWID;"
              "CREATE TABLE building(prefix TEXT PRIMARY KEY, city INTEGER NOT NULL, town TEXT NOT NULL) WITHOUT ROWID;"
              "CREATE TABLE place(city INTEGER NOT NULL, key TEXT NOT NULL, zip TEXT NOT NULL,"
              " PRIMARY KEY(city, key)) WITHOUT ROWID;",
              &r.error))
        return r;

    Stmt addPref = prepare(db.get(), "INSERT INTO pref VALUES(?1, ?2)");
    for (auto it = prefs.begin(); it != prefs.end(); ++it) {
        sqlite3_bind_int(addPref.get(), 1, it.key().toInt());
        bindText(addPref.get(), 2, it.value().toArray().at(0).toString());
        if (!step(addPref.get(), &r.error, db.get()))
            return r;
    }
    QHash<int, QString> cityNames;
    Stmt addCity = prepare(db.get(), "INSERT INTO city VALUES(?1, ?2, ?3)");
    for (auto it = cities.begin(); it != cities.end(); ++it) {
        const int code = it.key().toInt();
        cityNames.insert(code, it.value().toArray().at(0).toString());
        sqlite3_bind_int(addCity.get(), 1, code);
        sqlite3_bind_int(addCity.get(), 2, code / 1000);
        bindText(addCity.get(), 3, cityNames.value(code));
        if (!step(addCity.get(), &r.error, db.get()))
            return r;
    }

    // Large buildings: a five-digit prefix with a town of its own covers
    // every floor's code.
    Stmt addBuilding = prepare(db.get(), "INSERT INTO building VALUES(?1, ?2, ?3)");
    for (auto it = zip5.begin(); it != zip5.end(); ++it) {
        int city = 0;
        QList<Town> towns;
        parseRow(it.value(), &city, &towns);
        if (towns.isEmpty())
            continue;
        bindText(addBuilding.get(), 1, it.key());
        sqlite3_bind_int(addBuilding.get(), 2, towns.first().city);
        bindText(addBuilding.get(), 3, towns.first().name);
        if (!step(addBuilding.get(), &r.error, db.get()))
            return r;
    }

    Stmt addZip = prepare(db.get(), "INSERT INTO zip VALUES(?1, ?2, ?3, ?4)");
    QMap<QPair<int, QString>, QString> places;  // lowest code of each town
    for (auto it = zip7.begin(); it != zip7.end(); ++it) {
        const QString code = it.key();
        int city = 0;
        QList<Town> towns;
        parseRow(zip5.value(code.left(5)), &city, &towns);
        towns.clear();  // a building's name belongs to its own floors only
        parseRow(it.value(), &city, &towns);
        for (qsizetype i = 0; i < towns.size(); ++i) {
            const Town &t = towns.at(i);
            if (!cityNames.contains(t.city))
                continue;
            bindText(addZip.get(), 1, code);
            sqlite3_bind_int(addZip.get(), 2, int(i));
            sqlite3_bind_int(addZip.get(), 3, t.city);
            bindText(addZip.get(), 4, t.name);
            if (!step(addZip.get(), &r.error, db.get()))
                return r;
            const QPair<int, QString> key(t.city, AddressText::comparable(t.name));
            const auto found = places.constFind(key);
            if (found == places.constEnd() || code < *found)
                places.insert(key, code);
        }
        ++r.codes;
    }
    Stmt addPlace = prepare(db.get(), "INSERT INTO place VALUES(?1, ?2, ?3)");
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        sqlite3_bind_int(addPlace.get(), 1, it.key().first);
        bindText(addPlace.get(), 2, it.key().second);
        bindText(addPlace.get(), 3, it.value());
        if (!step(addPlace.get(), &r.error, db.get()))
            return r;
    }
    r.places = int(places.size());
    Stmt addMeta = prepare(db.get(), "INSERT INTO meta VALUES(?1, ?2)");
    for (const auto &[key, value] : {std::pair{u"format"_s, QString::number(kPostalFormat)},
                                     std::pair{u"codes"_s, QString::number(r.codes)}}) {
        bindText(addMeta.get(), 1, key);
        bindText(addMeta.get(), 2, value);
        if (!step(addMeta.get(), &r.error, db.get()))
            return r;
    }
    if (!exec(db.get(), "COMMIT; VACUUM;", &r.error))
        return r;
    addPref.reset(); addCity.reset(); addBuilding.reset(); addZip.reset(); addPlace.reset(); addMeta.reset();
    db.reset();
    // One step, so a reader never finds half a dictionary.
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(database).constData()) != 0) {
        r.error = u"cannot replace "_s + database;
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace DictionaryImport
