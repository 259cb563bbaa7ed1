// A settings file without its root end tag, with long damaged stretches:
// storing a group must keep every complete group the text still holds, in
// order, whatever lies between them. Checked against a plain line-by-line
// search for each group's first end line.

#include "settings/SettingsDocument.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const QString kHead = QStringLiteral("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n");

QString makeLine(uint8_t kind, uint8_t n)
{
    const QString name = QStringLiteral("G%1").arg(n % 4);
    switch (kind % 6) {
    case 0: return QStringLiteral("   <") + name + QStringLiteral(">");
    case 1: return QStringLiteral("   </") + name + QStringLiteral(">");
    case 2: return QStringLiteral("      <K>%1</K>").arg(n);
    case 3: return QStringLiteral("   <") + name + QStringLiteral("> trailing");
    case 4: return QStringLiteral("<") + name + QStringLiteral(">");
    default: return QStringLiteral("damaged ") + QString::number(n);
    }
}

// Every line a pair of bytes can make, made once.
const QString &lineOf(uint8_t kind, uint8_t n)
{
    static const std::vector<QString> all = [] {
        std::vector<QString> lines;
        for (int k = 0; k < 6; ++k) {
            for (int i = 0; i < 256; ++i)
                lines.push_back(makeLine(uint8_t(k), uint8_t(i)));
        }
        return lines;
    }();
    return all[size_t(kind % 6) * 256 + n];
}

QString groupName(const QString &line, bool closing)
{
    const QString open = closing ? QStringLiteral("   </") : QStringLiteral("   <");
    if (!line.startsWith(open) || !line.endsWith(QLatin1Char('>')))
        return QString();
    const QString name = line.mid(open.size(), line.size() - open.size() - 1);
    for (const QChar c : name) {
        if (c == u'<' || c == u'>' || c == u'/')
            return QString();
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each pair of bytes: a kind of line and how often it repeats. The text
    // is held to a few thousand lines: long enough for stretches of damage
    // between groups, short enough for a million inputs in minutes (the
    // unit tests check a text of 150,000 lines once).
    constexpr qsizetype kMaxLines = 1000;
    QStringList lines;
    for (size_t i = 0; i + 1 < size && lines.size() < kMaxLines; i += 2) {
        const int repeat = data[i + 1] < 250 ? 1 : (data[i + 1] - 249) * 40;
        for (int r = 0; r < repeat && lines.size() < kMaxLines; ++r)
            lines << lineOf(data[i], data[i + 1]);
    }
    QString text = kHead;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");

    // Every complete group, as the first end line of its name closes it:
    // for each line, where the next end line of each name lies, from a
    // sweep backwards over the lines.
    const qsizetype n = lines.size();
    std::vector<std::array<qsizetype, 4>> nextEnd(size_t(n) + 1);
    nextEnd[size_t(n)].fill(-1);
    for (qsizetype i = n - 1; i >= 0; --i) {
        nextEnd[size_t(i)] = nextEnd[size_t(i) + 1];
        const QString name = groupName(lines[i], true);
        if (name.size() == 2 && name.startsWith(QLatin1Char('G')))
            nextEnd[size_t(i)][size_t(name.at(1).digitValue())] = i;
    }
    QStringList expected;
    for (qsizetype i = 0; i < n; ++i) {
        const QString name = groupName(lines[i], false);
        if (name.size() != 2 || !name.startsWith(QLatin1Char('G')))
            continue;
        const qsizetype j = nextEnd[size_t(i) + 1][size_t(name.at(1).digitValue())];
        if (j < 0)
            continue;
        expected << lines.mid(i, j - i + 1).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        i = j;
    }

    SettingsDocument doc;
    doc.onDamaged = [](const QString &) {};
    doc.sTxt = text;
    doc.GetGtx(QStringLiteral("新"));
    doc.SetGtx();
    const QString kept = expected.join(QString());
    const QString rebuilt = kHead + kept + QStringLiteral("   <新>\r\n   </新>\r\n</運用>");
    if (doc.sTxt != rebuilt)
        __builtin_trap();
    return 0;
}
