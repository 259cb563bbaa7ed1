#include "settings/SettingsDocument.h"

#include "settings/SettingsValue.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kLineBreak = u"\r\n"_s;
const QString kMarker = QString(QChar(0x2021));  // "‡": a line break while a line is built

QString startTag(const QString &name) { return u"<"_s + name + u">"_s; }
QString endTag(const QString &name) { return u"</"_s + name + u">"_s; }

bool validName(QStringView name)
{
    for (const QChar c : name) {
        if (c == u'<' || c == u'>' || c == u'/' || c == u'\r' || c == u'\n')
            return false;
    }
    return !name.isEmpty();
}

// The group name of a line that is exactly "   <name>" (or, closing,
// "   </name>"); empty otherwise.
QStringView groupLineName(QStringView line, bool closing)
{
    const QStringView open = closing ? u"   </" : u"   <";
    if (!line.startsWith(open) || !line.endsWith(u'>'))
        return {};
    const QStringView name = line.sliced(open.size(), line.size() - open.size() - 1);
    return validName(name) ? name : QStringView();
}

// The group blocks a damaged text still holds, in order, whole: each runs
// from a start line to the first end line of the same name after it. One
// pass over the lines and a look-up per start, however long the damage.
QStringList groupBlocks(const QString &text)
{
    struct Line {
        qsizetype begin, end;  // end: where its CR LF begins
    };
    std::vector<Line> lines;
    for (qsizetype p = 0;;) {
        const qsizetype e = text.indexOf(kLineBreak, p);
        if (e < 0)
            break;
        lines.push_back({p, e});
        p = e + 2;
    }
    auto lineAt = [&](size_t i) { return QStringView(text).sliced(lines[i].begin, lines[i].end - lines[i].begin); };
    QHash<QStringView, std::vector<size_t>> ends;  // ascending line numbers per name
    for (size_t i = 0; i < lines.size(); ++i) {
        const QStringView name = groupLineName(lineAt(i), true);
        if (!name.isEmpty())
            ends[name].push_back(i);
    }
    QStringList blocks;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QStringView name = groupLineName(lineAt(i), false);
        if (name.isEmpty())
            continue;
        const auto found = ends.constFind(name);
        if (found == ends.cend())
            continue;
        const auto end = std::upper_bound(found->begin(), found->end(), i);
        if (end == found->end())
            continue;
        blocks << text.sliced(lines[i].begin, lines[*end].end + 2 - lines[i].begin);
        i = *end;
    }
    return blocks;
}

}  // namespace

QString SettingsDocument::skeleton()
{
    return MkTag(0, QString::fromUtf16(kRoot), kLineBreak);
}

QString SettingsDocument::MkTag(int level, const QString &name, const QVariant &content)
{
    const QString text = SettingsValue::toText(content);
    QString built;
    switch (level) {
    case 0:
        built = u"<?xml version='1.0' encoding='Shift-JIS' ?>"_s + kMarker + startTag(name) + text + endTag(name);
        break;
    case 1:
        built = u"   "_s + startTag(name) + kMarker + text + u"   "_s + endTag(name) + kMarker;
        break;
    case 2:
        built = u"      "_s + startTag(name) + text + endTag(name) + kMarker;
        break;
    default:
        return QString();
    }
    return built.replace(kMarker, kLineBreak);
}

QString SettingsDocument::GetTag(int level, const QString &name) const
{
    const QString &text = level == 0 ? sTxt : sGtx;
    const qsizetype s = text.indexOf(startTag(name));
    const qsizetype e = text.indexOf(endTag(name));
    if (text.isEmpty() || (s < 0 && e < 0))
        return QString();
    if (s >= 0 && e >= 0 && s <= e) {
        const qsizetype a = s + name.size() + 2;  // just after the start tag
        // A group's content lies between the CR LF after its start line and
        // the indentation of its end line; a hand-edited group may be shorter.
        const qsizetype start = level == 0 ? a + 2 : a;
        const qsizetype length = level == 0 ? e - a - 5 : e - a;
        return length > 0 ? text.mid(start, length) : QString();
    }
    if (onDamaged)
        onDamaged(name);
    return QString();
}

void SettingsDocument::GetGtx(const QString &name)
{
    sGp = name;
    sGtx = GetTag(0, name);
}

QVariant SettingsDocument::vGtVal(const QString &key, const QVariant &def) const
{
    return SettingsValue::read(GetTag(1, key), def);
}

bool SettingsDocument::SetVal(const QString &key, const QVariant &value)
{
    const QString text = SettingsValue::toText(value);
    if (text.contains(endTag(key)))
        return false;
    const qsizetype s = sGtx.indexOf(startTag(key));
    if (s >= 0) {
        const qsizetype p = s + key.size() + 2;  // just after the start tag's ">"
        const qsizetype e = sGtx.indexOf(endTag(key), p);
        if (e >= 0) {
            sGtx = sGtx.left(p) + text + sGtx.mid(e);
            return true;
        }
    }
    sGtx += MkTag(2, key, value);
    return true;
}

void SettingsDocument::SetGtx()
{
    if (sTxt.isEmpty())
        sTxt = skeleton();
    const qsizetype s = sTxt.indexOf(startTag(sGp));
    if (s >= 0) {
        const qsizetype a = s + sGp.size() + 4;  // just after the start line's CR LF
        const qsizetype e = sTxt.indexOf(endTag(sGp), a - 1);
        if (e >= 0) {
            sTxt = sTxt.left(a) + sGtx + u"   "_s + sTxt.mid(e);
            return;
        }
    }
    const QString rootEnd = endTag(QString::fromUtf16(kRoot));
    qsizetype r = sTxt.indexOf(rootEnd);
    if (r < 0) {
        // A damaged or foreign text: keep the groups it still holds, in a
        // fresh skeleton, rather than write around a missing root.
        const QString kept = groupBlocks(sTxt).join(QString());
        sTxt = skeleton();
        r = sTxt.indexOf(rootEnd);
        sTxt.insert(r, kept);
        r += kept.size();
    }
    sTxt = sTxt.left(r) + MkTag(1, sGp, sGtx) + sTxt.mid(r);
}
