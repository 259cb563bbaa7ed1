#include "postal/print/LabelSheet.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

std::optional<LabelSheet> LabelSheet::named(const QString &name)
{
    // The common Japanese sheets, as their makers' templates give them.
    if (name.compare(u"A4-12"_s, Qt::CaseInsensitive) == 0)
        return LabelSheet{210, 297, 2, 6, 86.4, 42.3, 18.6, 21.2, 0, 0};
    if (name.compare(u"A4-24"_s, Qt::CaseInsensitive) == 0)
        return LabelSheet{210, 297, 3, 8, 66.0, 33.9, 6.0, 12.9, 0, 0};
    return std::nullopt;
}

namespace {

// "210x297" or "18.6,21.2": two numbers, neither negative.
bool pair(const QString &value, const QString &separator, double *a, double *b)
{
    const QStringList parts = value.split(separator);
    bool okA = false, okB = false;
    if (parts.size() == 2) {
        *a = parts.at(0).trimmed().toDouble(&okA);
        *b = parts.at(1).trimmed().toDouble(&okB);
    }
    return okA && okB && *a >= 0 && *b >= 0 && std::isfinite(*a) && std::isfinite(*b);
}

}  // namespace

std::optional<LabelSheet> LabelSheet::fromFile(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 16)) {
        *why = path + u": cannot be read ("_s + (file.isOpen() ? u"too large for a sheet"_s : file.errorString()) + u")"_s;
        return std::nullopt;
    }
    QHash<QString, QString> given;
    int number = 0;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            *why = u"%1, line %2: not \"key = value\""_s.arg(path).arg(number);
            return std::nullopt;
        }
        const QString key = line.left(eq).trimmed().toLower();
        static const QStringList keys{u"page"_s, u"labels"_s, u"size"_s, u"margins"_s, u"gaps"_s};
        if (!keys.contains(key)) {
            *why = u"%1, line %2: no such key \"%3\" (page, labels, size, margins, gaps)"_s.arg(path).arg(number).arg(key);
            return std::nullopt;
        }
        given.insert(key, line.mid(eq + 1).trimmed());
    }
    LabelSheet s;
    double across = 0, down = 0;
    const bool read = pair(given.value(u"page"_s, u"210x297"_s), u"x"_s, &s.pageWidth, &s.pageHeight)
                      && pair(given.value(u"labels"_s), u"x"_s, &across, &down)
                      && pair(given.value(u"size"_s), u"x"_s, &s.width, &s.height)
                      && pair(given.value(u"margins"_s, u"0,0"_s), u","_s, &s.left, &s.top)
                      && pair(given.value(u"gaps"_s, u"0,0"_s), u","_s, &s.gapX, &s.gapY);
    s.across = int(across), s.down = int(down);
    if (!read || s.across != across || s.down != down || s.across < 1 || s.down < 1 || s.width <= 0 || s.height <= 0) {
        *why = path + u": needs labels = ACROSSxDOWN and size = WIDTHxHEIGHT (mm); page, margins and gaps are "
                      u"optional (210x297, 0,0 and 0,0)"_s;
        return std::nullopt;
    }
    if (s.left + s.across * s.width + (s.across - 1) * s.gapX > s.pageWidth + 0.05
        || s.top + s.down * s.height + (s.down - 1) * s.gapY > s.pageHeight + 0.05) {
        *why = path + u": the labels do not fit on the page"_s;
        return std::nullopt;
    }
    return s;
}
