#include "postal/mail/CustomerBarcode.h"

#include "postal/addresses/AddressText.h"

using namespace Qt::StringLiterals;

namespace CustomerBarcode {

namespace {

// A kanji number as the barcode takes it: "〇一" is 1.
QString kanjiNumber(QStringView run)
{
    QString n = AddressText::kanjiNumber(run);
    while (n.size() > 1 && n.startsWith(u'0'))
        n.remove(0, 1);
    return n;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

// Numbers in kanji read as digits where a block, a lot, a number, an
// allotment, a line or "の" follows them (補足ルール).
QString kanjiBeforeMarkers(const QString &text)
{
    static const QStringList markers{u"丁"_s, u"番"_s, u"号"_s, u"地割"_s, u"線"_s, u"の"_s, u"ノ"_s};
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        if (!AddressText::isKanjiNumeral(text.at(i).unicode())) {
            out += text.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && AddressText::isKanjiNumeral(text.at(end).unicode()))
            ++end;
        const QStringView after = QStringView(text).mid(end);
        const bool marked = std::any_of(markers.cbegin(), markers.cend(), [&](const QString &m) { return after.startsWith(m); });
        out += marked ? kanjiNumber(QStringView(text).mid(i, end - i)) : text.mid(i, end - i);
        i = end;
    }
    return out;
}

// Each character by its value, made once: a barcode shares them.
const QString &characterOf(int value)
{
    static const QStringList all = [] {
        QStringList c;
        for (int v = 0; v < 19; ++v)
            c << (v < 10 ? QString::number(v) : v == 10 ? u"-"_s : u"CC"_s + QString::number(v - 10));
        return c;
    }();
    return all.at(value);
}

}  // namespace

QString addressNumber(const QString &afterTown)
{
    // Widths and letter case first; "&", "/", "・" and "." are no
    // characters of an address number and leave no gap.
    QString text;
    for (const QChar c : afterTown.normalized(QString::NormalizationForm_KC)) {
        if (c == u'&' || c == u'/' || c == u'・' || c == u'.')
            continue;
        text += c >= u'a' && c <= u'z' ? QChar(c.unicode() - 0x20) : c;
    }
    text = kanjiBeforeMarkers(text);

    QString number;
    bool gap = false;
    auto append = [&](QChar c) {
        if (gap && !number.isEmpty())
            number += u'-';
        gap = false;
        number += c;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool alone = isLetter(c) && !(i > 0 && isLetter(text.at(i - 1)))
                           && !(i + 1 < text.size() && isLetter(text.at(i + 1)));
        // A floor: "2F" is 2, "2F201" is 2-201.
        const bool floor = alone && c == u'F' && i > 0 && isDigit(text.at(i - 1));
        if (isDigit(c) || c == u'-' || (alone && !floor))
            append(c);
        else
            gap = true;
    }
    // One hyphen at most between characters, none at either end; then none
    // next to a letter.
    QString single;
    for (const QChar c : std::as_const(number)) {
        if (c == u'-' && (single.isEmpty() || single.back() == u'-'))
            continue;
        single += c;
    }
    while (single.endsWith(u'-'))
        single.chop(1);
    QString tidy;
    for (qsizetype i = 0; i < single.size(); ++i) {
        const bool byLetter = (i > 0 && isLetter(single.at(i - 1))) || (i + 1 < single.size() && isLetter(single.at(i + 1)));
        if (!(single.at(i) == u'-' && byLetter))
            tidy += single.at(i);
    }
    return tidy;
}

QStringList characters(const QString &zipDigits, const QString &addressNumber)
{
    // By value: digits, 10 for "-", 11-13 for a letter's control code.
    QList<int> values;
    values.reserve(21);
    for (const QChar d : zipDigits)
        values << int(d.unicode() - u'0');
    const qsizetype end = values.size() + 13;
    for (const QChar c : addressNumber) {
        if (values.size() >= end)
            break;
        if (isLetter(c)) {
            const int n = c.unicode() - u'A';
            values << 11 + n / 10;
            if (values.size() < end)
                values << n % 10;
        } else {
            values << (c == u'-' ? 10 : int(c.unicode() - u'0'));
        }
    }
    while (values.size() < end)
        values << 14;  // CC4
    int sum = 0;
    for (const int v : std::as_const(values))
        sum += v;
    values << (19 - sum % 19) % 19;
    QStringList out;
    out.reserve(values.size());
    for (const int v : std::as_const(values))
        out << characterOf(v);
    return out;
}

int value(const QString &character)
{
    if (character.size() == 1 && isDigit(character.at(0)))
        return character.at(0).unicode() - u'0';
    if (character == u"-"_s)
        return 10;
    if (character.size() == 3 && character.startsWith(u"CC"_s) && character.at(2) >= u'1' && character.at(2) <= u'8')
        return 10 + (character.at(2).unicode() - u'0');
    return -1;
}

QList<int> bars(const QString &character)
{
    // The manual's code table, by value: 0-9, "-", CC1-CC8.
    static const QList<QList<int>> table{
        {1, 4, 4}, {1, 1, 4}, {1, 3, 2}, {3, 1, 2}, {1, 2, 3}, {1, 4, 1}, {3, 2, 1}, {2, 1, 3}, {2, 3, 1}, {4, 1, 1},
        {4, 1, 4}, {3, 2, 4}, {3, 4, 2}, {2, 3, 4}, {4, 3, 2}, {2, 4, 3}, {4, 2, 3}, {4, 4, 1}, {1, 1, 1}};
    if (character == u"START"_s)
        return {1, 3};
    if (character == u"STOP"_s)
        return {3, 1};
    const int v = value(character);
    return v < 0 ? QList<int>() : table.at(v);
}

QList<Bar> barsOf(const QStringList &characters, double points)
{
    // The manual's dimensions at 10 point, in millimetres, scaled with the size.
    const double scale = points / 10.0;
    const double width = 0.6 * scale, pitch = 1.2 * scale, tall = 3.6 * scale, third = 1.2 * scale;
    QList<int> all;
    for (const QString &c : QStringList{u"START"_s} + characters + QStringList{u"STOP"_s})
        all += bars(c);
    QList<Bar> drawn;
    for (qsizetype i = 0; i < all.size(); ++i) {
        // Long: the full height; semi-long upper and lower: two thirds from
        // the top or the bottom; timing: the middle third.
        const int kind = all.at(i);
        const double top = kind == 1 || kind == 2 ? 0 : third;
        const double bottom = kind == 1 || kind == 3 ? tall : 2 * third;
        drawn.append({i * pitch, top, width, bottom - top});
    }
    return drawn;
}

QString svg(const QStringList &characters, double points)
{
    const QList<Bar> drawn = barsOf(characters, points);
    auto mm = [](double v) { return QString::number(v, 'f', 3); };
    const double w = 2 * kQuietZone + drawn.constLast().x + drawn.constLast().width, h = 2 * kQuietZone + 3.6 * points / 10.0;
    QString out = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" height=\"%2mm\" viewBox=\"0 0 %1 %2\">\n"
                  "<title>カスタマバーコード %3</title>\n"
                  "<rect width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n<g fill=\"#000000\">\n"_s.arg(mm(w), mm(h), characters.join(u' '));
    for (const Bar &b : drawn)
        out += u"<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>\n"_s.arg(mm(kQuietZone + b.x), mm(kQuietZone + b.y),
                                                                            mm(b.width), mm(b.height));
    return out + u"</g>\n</svg>\n"_s;
}

}  // namespace CustomerBarcode
