#pragma once
// Builds the postal dictionary from the postal service's own files:
// utf_ken_all.csv (UTF-8, every code and town) and JIGYOSYO.CSV (code page
// 932, the codes of businesses and post-office boxes), each as published
// in its zip archive (utf_ken_all.zip, jigyosyo.zip) or unpacked.

#include <QByteArray>
#include <QList>
#include <QString>

namespace DictionaryImport {

// One row of one code, its town's notes already resolved ("" for the
// city's catch-all, "…ビル１階" for a floor). note: what the official town
// says after the town itself ("（１〜１９丁目）", "第１５地割〜第２１地割"), the
// blocks its code serves. street and name: a business's.
struct Row {
    QString zip, pref, city, town, street, name, note;
    QString old;  // the code before 1998: three or five digits
};

// An official town with its notes read: the town, and what follows it.
struct TownNote {
    QString town, note;
};

struct Source {
    QString source, version, date;
    QList<Row> rows;
    qint64 townRows = 0, businessRows = 0;  // as the files give them
};

struct Result {
    bool ok = false;
    QString error;
    qint64 codes = 0, towns = 0, business = 0;
    QString version;  // as written: the source's, or its data's date
};

// Each reader adds its rows to `into`, from an archive or from the file
// unpacked; on a malformed file it says which file, which line and why in
// `error` and returns false.
bool readKenAll(const QString &file, Source *into, QString *error);
bool readJigyosyo(const QString &file, Source *into, QString *error);
// The same from the bytes of the file itself, `name` naming it in errors.
bool parseKenAll(const QString &name, const QByteArray &bytes, Source *into, QString *error);
bool parseJigyosyo(const QString &name, const QByteArray &bytes, Source *into, QString *error);

// The town of an official row with the notes it carries resolved.
TownNote townNote(const QString &official);
QString townOf(const QString &official);

// Writes a new database at `database`, replacing it only once complete and
// on disk: it is built in a file of its own in the same folder, synced, and
// renamed over the old one, whose folder is synced then. Refuses to write
// over one of `inputs`.
Result write(const Source &source, const QString &database, const QStringList &inputs = {});

}  // namespace DictionaryImport
