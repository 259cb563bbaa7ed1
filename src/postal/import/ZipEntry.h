#pragma once
// One file out of a zip archive, as the postal service packs its monthly
// files: read whole, its checksum checked, with the date the archive gives it.

#include <QByteArray>
#include <QDate>
#include <QString>

namespace ZipEntry {

// Whether the file begins as a zip archive does.
bool isZip(const QString &path);

struct Entry {
    QString name;      // as the archive writes it
    QByteArray bytes;
    QDate date;        // the entry's own date
};

// The entry named `name` (letter case aside, in any folder of the archive),
// no larger than `limit` bytes; false with the reason in `why`.
bool read(const QString &path, const QString &name, qint64 limit, Entry *entry, QString *why);

}  // namespace ZipEntry
