// The postal service's own monthly files: utf_ken_all.csv (UTF-8, one row a
// code and town, 15 fields) and JIGYOSYO.CSV (code page 932, one row a
// business or post-office box code, 13 fields), read through the same
// reader as address lists, from their zip archives or unpacked.

#include "postal/import/DictionaryImport.h"

#include "postal/mail/CsvRecords.h"
#include "postal/import/ZipEntry.h"
#include "platform/AnsiCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cstring>

using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

// Far more than either file has ever been unpacked (18 MB and 3 MB).
constexpr qint64 kLargestFile = 256 * 1024 * 1024;

enum class Encoding { Utf8, Cp932 };

// Calls `row` with the fields of each record; stops at the first that
// cannot be decoded or split, or that `row` refuses.
template <typename RowFn>
bool eachRecord(const QString &name, const QByteArray &bytes, Encoding encoding, RowFn row, QString *error)
{
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    CsvRecords records([&](char *buffer, qsizetype size) {
        const qsizetype n = std::min(size, bytes.size() - at);
        std::memcpy(buffer, bytes.constData() + at, size_t(n));
        at += n;
        return n;
    });
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    CsvRecords::Record r;
    QStringList fields;
    qint64 rows = 0;
    while (records.next(&r)) {
        auto fail = [&](const QString &reason) {
            *error = name + u":"_s + QString::number(r.line) + u": "_s + reason;
            return false;
        };
        if (r.continued)
            continue;  // named with its beginning
        if (!r.problem.isEmpty())
            return fail(r.problem);
        if (r.bodyEnd == 0)
            continue;
        ++rows;
        fields.clear();
        for (const CsvRecords::Field &f : std::as_const(r.fields)) {
            const QByteArray value = CsvRecords::value(r, f);
            if (encoding == Encoding::Utf8) {
                fields.append(utf8(value));
                if (utf8.hasError())
                    return fail(u"not UTF-8"_s);
            } else if (AnsiCodec::Decoded d = AnsiCodec::decode(value); d.ok) {
                fields.append(std::move(d.text));
            } else {
                return fail(u"not code page 932"_s);
            }
        }
        QString reason;
        if (!row(fields, &reason))
            return fail(reason);
    }
    if (rows == 0) {
        *error = name + u": empty"_s;
        return false;
    }
    return true;
}

bool isZip(const QString &s)
{
    static const QRegularExpression seven(u"^[0-9]{7}$"_s);
    return seven.match(s).hasMatch();
}

// The file's bytes and the date of its data: an archive's entry and the
// date the archive gives it, or the file and its time.
bool load(const QString &file, const QString &entryName, QByteArray *bytes, QString *name, QString *date,
          QString *error)
{
    const QFileInfo info(file);
    if (ZipEntry::isZip(file)) {
        ZipEntry::Entry entry;
        QString why;
        if (!ZipEntry::read(file, entryName, kLargestFile, &entry, &why)) {
            *error = info.fileName() + u": "_s + why;
            return false;
        }
        *bytes = std::move(entry.bytes);
        *name = info.fileName() + u": "_s + entry.name;
        *date = entry.date.toString(u"yyyy-MM-dd"_s);
        return true;
    }
    QFile f(file);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        *error = file + u": cannot be read"_s + (info.exists() && !info.isFile() ? u" (not a file)"_s : QString());
        return false;
    }
    if (f.size() > kLargestFile) {
        *error = file + u": larger than any such file"_s;
        return false;
    }
    *bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        *error = file + u": cannot be read ("_s + f.errorString() + u")"_s;
        return false;
    }
    *name = info.fileName();
    *date = info.lastModified().toString(u"yyyy-MM-dd"_s);
    return true;
}

void noteSource(Source *into, const QString &file, const QString &date)
{
    const QString name = QFileInfo(file).fileName();
    into->source = into->source.isEmpty() ? name : into->source + u" + "_s + name;
    into->date = std::max(into->date, date);
}

}  // namespace

TownNote townNote(const QString &official)
{
    static const QRegularExpression floor(u"（([０-９]+階)）$"_s);
    static const QRegularExpression note(u"（[^（]*）$"_s);
    static const QRegularExpression allotment(u"第?[０-９]+地割.*$"_s);
    TownNote n;
    QString town = official;
    if (town == u"以下に掲載がない場合"_s || town.contains(u"の次に番地がくる場合"_s))
        return n;
    if (town != u"一円"_s && town.endsWith(u"一円"_s))  // the whole village: "○○一円"
        return n;
    const QRegularExpressionMatch f = floor.match(town);
    if (f.hasMatch()) {
        n.town = town.left(f.capturedStart()) + f.captured(1);
        return n;
    }
    // Notes in brackets, also what is left open when a long row was cut:
    // "（次のビルを除く）", "（地階・階層不明）", "（１〜３丁目）".
    const qsizetype open = town.indexOf(u'（');
    if (open >= 0 && town.indexOf(u'）', open) < 0) {
        n.note = town.mid(open);
        town.truncate(open);
    }
    if (const QRegularExpressionMatch noted = note.match(town); noted.hasMatch()) {
        n.note = noted.captured() + n.note;
        town.truncate(noted.capturedStart());
    }
    // Allotments written in the town: "種市第１５地割〜第２１地割".
    if (const QRegularExpressionMatch a = allotment.match(town); a.hasMatch()) {
        n.note = a.captured() + n.note;
        town.truncate(a.capturedStart());
    }
    // Lists and ranges of several places name no one town.
    if (town.contains(u'、') || town.contains(u'～') || town.contains(u'〜'))
        return TownNote();
    n.town = town;
    return n;
}

namespace {

// What every row of either file must be: as wide as the file's rows, with
// a code of seven digits in its place.
bool wellFormed(const QStringList &f, qsizetype fields, qsizetype zipAt, QString *reason)
{
    if (f.size() != fields) {
        *reason = QString::number(fields) + u" fields expected, "_s + QString::number(f.size()) + u" found"_s;
        return false;
    }
    if (!isZip(f.at(zipAt))) {
        *reason = u"postal code \""_s + f.at(zipAt) + u"\" is not seven digits"_s;
        return false;
    }
    return true;
}

}  // namespace

QString townOf(const QString &official)
{
    return townNote(official).town;
}

bool parseKenAll(const QString &name, const QByteArray &bytes, Source *into, QString *error)
{
    Row pending;
    QString pendingTown;  // a town whose bracket the next rows continue
    auto flush = [&] {
        if (!pending.zip.isEmpty()) {
            const TownNote n = townNote(pendingTown);
            pending.town = n.town;
            pending.note = n.note;
            into->rows.append(pending);
        }
        pending = Row();
        pendingTown.clear();
    };
    const bool ok = eachRecord(
        name, bytes, Encoding::Utf8,
        [&](const QStringList &f, QString *reason) {
            if (!wellFormed(f, 15, 2, reason))
                return false;
            if (f.at(6).isEmpty() || f.at(7).isEmpty()) {
                *reason = u"no prefecture or city"_s;
                return false;
            }
            ++into->townRows;
            const bool continues = !pending.zip.isEmpty() && pending.zip == f.at(2)
                                   && pendingTown.count(u'（') > pendingTown.count(u'）');
            if (continues) {
                pendingTown += f.at(8);
                return true;
            }
            flush();
            pending.zip = f.at(2);
            pending.pref = f.at(6);
            pending.city = f.at(7);
            pending.old = f.at(1).trimmed();
            pendingTown = f.at(8);
            return true;
        },
        error);
    if (!ok)
        return false;
    flush();
    return true;
}

bool parseJigyosyo(const QString &name, const QByteArray &bytes, Source *into, QString *error)
{
    return eachRecord(
        name, bytes, Encoding::Cp932,
        [&](const QStringList &f, QString *reason) {
            if (!wellFormed(f, 13, 7, reason))
                return false;
            if (f.at(2).isEmpty() || f.at(3).isEmpty() || f.at(4).isEmpty()) {
                *reason = u"no name, prefecture or city"_s;
                return false;
            }
            ++into->businessRows;
            Row row;
            row.zip = f.at(7);
            row.pref = f.at(3);
            row.city = f.at(4);
            row.town = f.at(5);
            row.street = f.at(6);
            row.name = f.at(2);
            into->rows.append(row);
            return true;
        },
        error);
}

namespace {

// A file as published (its zip) or unpacked, read through its parser.
bool readFile(const QString &file, const QString &entry,
              bool (*parse)(const QString &, const QByteArray &, Source *, QString *), Source *into, QString *error)
{
    QByteArray bytes;
    QString name, date;
    if (!load(file, entry, &bytes, &name, &date, error) || !parse(name, bytes, into, error))
        return false;
    noteSource(into, file, date);
    return true;
}

}  // namespace

bool readKenAll(const QString &file, Source *into, QString *error)
{
    return readFile(file, u"utf_ken_all.csv"_s, parseKenAll, into, error);
}

bool readJigyosyo(const QString &file, Source *into, QString *error)
{
    return readFile(file, u"JIGYOSYO.CSV"_s, parseJigyosyo, into, error);
}

}  // namespace DictionaryImport
