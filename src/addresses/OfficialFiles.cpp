// The postal service's own monthly files: utf_ken_all.csv (UTF-8, one row a
// code and town, 15 fields) and JIGYOSYO.CSV (code page 932, one row a
// business code, 13 fields). Fields are quoted CSV; lines end in CR LF.

#include "addresses/DictionaryImport.h"

#include "platform/AnsiCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>


using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

// Fields of one line; false when a quote is left open.
bool splitCsv(const QString &line, QStringList *fields)
{
    fields->clear();
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u',') {
            fields->append(field);
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    fields->append(field);
    return !quoted;
}

enum class Encoding { Utf8, Cp932 };

// Calls `row` with the fields of each line; stops at the first line that
// cannot be decoded or split, or that `row` refuses.
template <typename RowFn>
bool readCsv(const QString &path, Encoding encoding, RowFn row, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + u": cannot be read"_s;
        return false;
    }
    const QString name = QFileInfo(path).fileName();
    int number = 0, rows = 0;
    QStringList fields;
    while (!f.atEnd()) {
        QByteArray bytes = f.readLine();
        ++number;
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (number == 1 && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        if (bytes.isEmpty())
            continue;
        ++rows;
        auto fail = [&](const QString &reason) {
            *error = name + u":"_s + QString::number(number) + u": "_s + reason;
            return false;
        };
        QString text;
        if (encoding == Encoding::Utf8) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            text = utf8(bytes);
            if (utf8.hasError())
                return fail(u"not UTF-8"_s);
        } else if (AnsiCodec::Decoded d = AnsiCodec::decode(bytes); d.ok) {
            text = std::move(d.text);
        } else {
            return fail(u"not code page 932"_s);
        }
        if (!splitCsv(text, &fields))
            return fail(u"a quote is not closed"_s);
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

QString fileDate(const QString &path)
{
    return QFileInfo(path).lastModified().toString(u"yyyy-MM-dd"_s);
}

}  // namespace

namespace {

// "１～７丁目", "８丁目", "１・３丁目", "３３６０～３６００番地", "２０番地以上":
// the blocks a code serves; none for any other note.
QList<BlockRange> blockRanges(const QString &note)
{
    QString text = note.normalized(QString::NormalizationForm_KC);
    const bool chome = text.contains(u"丁目"_s), banchi = text.contains(u"番地"_s);
    if (chome == banchi)
        return {};
    text.remove(u"丁目"_s).remove(u"番地"_s);
    const bool open = text.endsWith(u"以上"_s) || text.endsWith(u"以降"_s);
    if (open)
        text.chop(2);
    static const QRegularExpression range(u"^([0-9]{1,5})(?:[~〜]([0-9]{1,5}))?$"_s);
    QList<BlockRange> blocks;
    for (const QString &part : text.split(QRegularExpression(u"[、・,]"_s))) {
        const QRegularExpressionMatch m = range.match(part);
        if (!m.hasMatch())
            return {};
        const int low = m.captured(1).toInt();
        blocks.append({low, m.capturedLength(2) ? m.captured(2).toInt() : low});
    }
    if (open && blocks.size() == 1 && blocks.first().low == blocks.first().high)
        blocks.first().high = 99999;
    return open && blocks.size() != 1 ? QList<BlockRange>() : blocks;
}

}  // namespace

TownNote townNote(const QString &official)
{
    static const QRegularExpression floor(u"（([０-９]+階)）$"_s);
    static const QRegularExpression note(u"（([^（]*)）$"_s);
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
    // "（次のビルを除く）", "（地階・階層不明）", "（１～３丁目）".
    const qsizetype open = town.indexOf(u'（');
    if (open >= 0 && town.indexOf(u'）', open) < 0)
        town.truncate(open);
    const QRegularExpressionMatch noted = note.match(town);
    if (noted.hasMatch()) {
        n.blocks = blockRanges(noted.captured(1));
        n.otherwise = noted.captured(1) == u"その他"_s;
        town.truncate(noted.capturedStart());
    }
    town.remove(allotment);
    // Lists and ranges of several places name no one town.
    if (town.contains(u'、') || town.contains(u'～') || town.contains(u'〜'))
        return TownNote();
    n.town = town;
    return n;
}

QString townOf(const QString &official)
{
    return townNote(official).town;
}

bool readKenAll(const QString &file, Source *into, QString *error)
{
    Row pending;
    QString pendingTown;  // a town whose bracket the next rows continue
    auto flush = [&] {
        if (!pending.zip.isEmpty()) {
            const TownNote n = townNote(pendingTown);
            pending.town = n.town;
            pending.blocks = n.blocks;
            pending.otherwise = n.otherwise;
            into->rows.append(pending);
        }
        pending = Row();
        pendingTown.clear();
    };
    const bool ok = readCsv(
        file, Encoding::Utf8,
        [&](const QStringList &f, QString *reason) {
            if (f.size() != 15) {
                *reason = u"15 fields expected, "_s + QString::number(f.size()) + u" found"_s;
                return false;
            }
            if (!isZip(f.at(2))) {
                *reason = u"postal code \""_s + f.at(2) + u"\" is not seven digits"_s;
                return false;
            }
            if (f.at(6).isEmpty() || f.at(7).isEmpty()) {
                *reason = u"no prefecture or city"_s;
                return false;
            }
            const bool continues = !pending.zip.isEmpty() && pending.zip == f.at(2)
                                   && pendingTown.count(u'（') > pendingTown.count(u'）');
            if (continues) {
                pendingTown += f.at(8);
                return true;
            }
            flush();
            pending = {f.at(2), f.at(6), f.at(7), QString(), QString(), QString(), {}, false};
            pendingTown = f.at(8);
            return true;
        },
        error);
    if (!ok)
        return false;
    flush();
    into->source = into->source.isEmpty() ? u"utf_ken_all.csv"_s : into->source + u" + utf_ken_all.csv"_s;
    into->date = std::max(into->date, fileDate(file));
    return true;
}

bool readJigyosyo(const QString &file, Source *into, QString *error)
{
    const bool ok = readCsv(
        file, Encoding::Cp932,
        [&](const QStringList &f, QString *reason) {
            if (f.size() != 13) {
                *reason = u"13 fields expected, "_s + QString::number(f.size()) + u" found"_s;
                return false;
            }
            if (!isZip(f.at(7))) {
                *reason = u"postal code \""_s + f.at(7) + u"\" is not seven digits"_s;
                return false;
            }
            if (f.at(2).isEmpty() || f.at(3).isEmpty() || f.at(4).isEmpty()) {
                *reason = u"no name, prefecture or city"_s;
                return false;
            }
            into->rows.append({f.at(7), f.at(3), f.at(4), f.at(5), f.at(6), f.at(2), {}, false});
            return true;
        },
        error);
    if (!ok)
        return false;
    into->source = into->source.isEmpty() ? u"JIGYOSYO.CSV"_s : into->source + u" + JIGYOSYO.CSV"_s;
    into->date = std::max(into->date, fileDate(file));
    return true;
}

}  // namespace DictionaryImport
