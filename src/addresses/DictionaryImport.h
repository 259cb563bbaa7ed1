#pragma once
// Builds the postal dictionary. The rows come from the npm package
// jquery-jpostal-ja (its json/ folder) or from the postal service's own
// files (utf_ken_all.csv, JIGYOSYO.CSV); one writer makes the database.

#include <QList>
#include <QString>

namespace DictionaryImport {

// Which blocks of a town a code serves, where the official files say so:
// the first number of an address after the town (its 丁目 or 番地) from
// low to high; "otherwise" is the code of the town's other blocks.
struct BlockRange {
    int low = 0, high = 0;
    friend bool operator==(const BlockRange &a, const BlockRange &b) { return a.low == b.low && a.high == b.high; }
};

// One row of one code, its town's notes already resolved ("" for the
// city's catch-all, "…ビル１階" for a floor). street and name: a business's.
struct Row {
    QString zip, pref, city, town, street, name;
    QList<BlockRange> blocks;
    bool otherwise = false;
};

// An official town with its notes read: the town, and the blocks it serves.
struct TownNote {
    QString town;
    QList<BlockRange> blocks;
    bool otherwise = false;
};

struct Source {
    QString source, version, date;
    QList<Row> rows;
};

struct Result {
    bool ok = false;
    QString error;
    qint64 codes = 0, towns = 0, business = 0;
    QString version;  // as written: the source's, or its data's date
};

// Each reader adds its rows to `into`; on a malformed file it says which
// file, which line and why in `error` and returns false.
bool readPackage(const QString &folder, Source *into, QString *error);
bool readKenAll(const QString &file, Source *into, QString *error);
bool readJigyosyo(const QString &file, Source *into, QString *error);

// The town of an official row with the notes it carries resolved.
TownNote townNote(const QString &official);
QString townOf(const QString &official);

// Writes a new database at `database`, replacing it only once complete and
// on disk: it is built in a file of its own in the same folder, synced, and
// renamed over the old one, whose folder is synced then. Refuses to write
// over one of `inputs`.
Result write(const Source &source, const QString &database, const QStringList &inputs = {});

}  // namespace DictionaryImport
