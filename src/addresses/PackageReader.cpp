// The npm package jquery-jpostal-ja: json/NNN.json for each three-digit
// prefix, each a JSONP call jQuery_jpostal_callback([...]) over rows
// ["_NNNNNNN", prefecture, city, town, business street, business name,
// kana...]. A row "_000info" in 000.json states the data's date; rows of a
// three-digit key are the prefix's most common city, not codes.

#include "addresses/DictionaryImport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace DictionaryImport {

namespace {

bool readRows(const QString &path, QJsonArray *rows, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + u": cannot be read"_s;
        return false;
    }
    QByteArray text = f.readAll().trimmed();
    const QByteArray head = "jQuery_jpostal_callback(";
    if (!text.startsWith(head) || !text.endsWith(");")) {
        *error = path + u":1: not a jQuery_jpostal_callback(...) file"_s;
        return false;
    }
    text = text.mid(head.size(), text.size() - head.size() - 2);
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isArray()) {
        const qsizetype line = text.left(parse.offset).count('\n') + 1;
        *error = path + u":"_s + QString::number(line) + u": "_s
                 + (doc.isArray() || parse.error != QJsonParseError::NoError ? parse.errorString() : u"not an array"_s);
        return false;
    }
    *rows = doc.array();
    return true;
}

}  // namespace

bool readPackage(const QString &folder, Source *into, QString *error)
{
    QFile manifest(folder + u"/package.json"_s);
    if (!manifest.open(QIODevice::ReadOnly)) {
        *error = manifest.fileName() + u": cannot be read"_s;
        return false;
    }
    const QJsonObject package = QJsonDocument::fromJson(manifest.readAll()).object();
    into->source = package.value(u"name"_s).toString();
    into->version = package.value(u"version"_s).toString();
    if (into->source.isEmpty() || into->version.isEmpty()) {
        *error = manifest.fileName() + u": no name and version"_s;
        return false;
    }
    const QRegularExpression code(u"^_[0-9]{7}$"_s);
    const QRegularExpression date(u"[0-9]{4}-[0-9]{2}-[0-9]{2}"_s);
    const qsizetype before = into->rows.size();
    for (int prefix = 0; prefix < 1000; ++prefix) {
        const QString path = folder + u"/json/"_s + QString::number(prefix).rightJustified(3, u'0') + u".json"_s;
        if (prefix > 0 && !QFile::exists(path))
            continue;
        QJsonArray rows;
        if (!readRows(path, &rows, error))
            return false;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QJsonArray r = rows.at(i).toArray();
            const QString key = r.at(0).toString();
            if (r.size() < 6 || !std::all_of(r.begin(), r.begin() + 6, [](const QJsonValue &v) { return v.isString(); })) {
                *error = path + u": row "_s + QString::number(i + 1) + u": not six texts"_s;
                return false;
            }
            if (key == u"_000info"_s) {
                // "ver2.13 <date of the postal service's file> <date of the build>"
                into->date = date.match(r.at(2).toString()).captured();
                continue;
            }
            if (!code.match(key).hasMatch())
                continue;
            into->rows.append({key.mid(1), r.at(1).toString(), r.at(2).toString(), r.at(3).toString(),
                               r.at(4).toString(), r.at(5).toString(), {}, false});
        }
    }
    if (into->rows.size() == before) {
        *error = folder + u"/json: no postal codes"_s;
        return false;
    }
    return true;
}

}  // namespace DictionaryImport
