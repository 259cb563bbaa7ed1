#include "postal/dictionary/PostalDictionary.h"

#include "postal/dictionary/DictionarySql.h"
#include "BuildTree.h"
#include "postal/dictionary/PostalSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using namespace DictionarySql;

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
