#pragma once
// Builds the postal dictionary. The rows come from the npm package
// jquery-jpostal-ja (its json/ folder) or from the postal service's own
// files (utf_ken_all.csv, JIGYOSYO.CSV); one writer makes the database.

#include <QList>
#include <QString>

namespace DictionaryImport {

// One row of one code, its town's notes already resolved ("" for the
// city's catch-all, "…ビル１階" for a floor). street and name: a business's.
struct Row {
    QString zip, pref, city, town, street, name;
};

struct Source {
    QString source, version, date;
    QList<Row> rows;
};

struct Result {
    bool ok = false;
    QString error;
    qint64 codes = 0, towns = 0, business = 0;
};

// Each reader adds its rows to `into`; on a malformed file it says which
// file, which line and why in `error` and returns false.
bool readPackage(const QString &folder, Source *into, QString *error);
bool readKenAll(const QString &file, Source *into, QString *error);
bool readJigyosyo(const QString &file, Source *into, QString *error);

// The town of an official row with the notes it carries resolved.
QString townOf(const QString &official);

// Writes a new database at `database`, replacing it only once complete.
Result write(const Source &source, const QString &database);

}  // namespace DictionaryImport
