#include "postal/addresses/AddressText.h"

#include <QVarLengthArray>

#include <algorithm>

#include <QStringList>

using namespace Qt::StringLiterals;

namespace AddressText {

namespace {

bool isKanji(char16_t u)
{
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || u == 0x3005 || u == 0x3007;  // 々 〇
}

bool isDash(char16_t u)
{
    return u == u'-' || (u >= 0x2010 && u <= 0x2015) || u == 0x2043 || u == 0x2212 || u == 0x2500 || u == 0x2501
           || u == 0xFE58 || u == 0xFE63 || u == 0xFF0D;
}

bool isLongVowel(char16_t u)
{
    return u == 0x30FC || u == 0xFF70;
}

constexpr char16_t kKanjiDigits[] = u"〇一二三四五六七八九";

int kanjiDigit(char16_t u)
{
    for (int d = 0; d < 10; ++d) {
        if (kKanjiDigits[d] == u)
            return d;
    }
    return -1;
}

int kanjiUnit(char16_t u)
{
    return u == u'十' ? 10 : u == u'百' ? 100 : u == u'千' ? 1000 : 0;
}

}  // namespace

bool isKanjiNumeral(char16_t u)
{
    return kanjiDigit(u) >= 0 || kanjiUnit(u) > 0;
}

// "二十九" is 29, "百一" 101; without 十, 百 or 千 the digits are read one by
// one: "一〇" is 10.
QString kanjiNumber(QStringView run)
{
    bool positional = false;
    for (const QChar c : run)
        positional = positional || kanjiUnit(c.unicode()) > 0;
    if (!positional) {
        QString digits;
        for (const QChar c : run)
            digits += QChar(u'0' + kanjiDigit(c.unicode()));
        return digits;
    }
    // No address holds such numbers; a run of them stays a number.
    constexpr qint64 kCap = 1'000'000'000'000;
    qint64 total = 0, current = -1;
    for (const QChar c : run) {
        const int d = kanjiDigit(c.unicode());
        if (d >= 0) {
            current = current < 0 ? d : std::min(current * 10 + d, kCap);
        } else {
            total = std::min(total + (current < 0 ? 1 : current) * kanjiUnit(c.unicode()), kCap);
            current = -1;
        }
    }
    return QString::number(std::min(total + (current < 0 ? 0 : current), kCap));
}

namespace {

struct Piece {
    char16_t c;
    qsizetype from, to;
};

// A character compatibility normalisation leaves as it is, or turns into
// one other (full-width ASCII): most of what addresses are written in, told
// without asking the normaliser.
char16_t simpleCompatibility(char16_t u)
{
    if (u < 0x80 || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3041 && u <= 0x3096) || (u >= 0x30A1 && u <= 0x30FA)
        || u == 0x30FC || (u >= 0x3005 && u <= 0x3007) || u == 0x3012)
        return u;
    if (u >= 0xFF01 && u <= 0xFF5E)
        return char16_t(u - 0xFEE0);
    if (u == 0x3000)
        return u' ';
    return 0;
}

// Blanks and control characters, which nothing compares.
bool isBlank(QChar c)
{
    return c.unicode() <= u' ' || c.unicode() == 0x7F || c.isSpace();
}

// A mark normalised with the character before it: a combining mark, or a
// half-width voiced mark.
bool isMark(char16_t u)
{
    // Most of an address is kanji and kana, whose blocks hold no marks but
    // the two combining voiced marks; the table lookup is for the rest.
    if (u < 0x300 || (u >= 0x4E00 && u <= 0x9FFF))
        return false;
    if (u >= 0x3040 && u <= 0x30FF)
        return u == 0x3099 || u == 0x309A;
    return QChar(u).isMark();
}

bool joinsBefore(QChar c)
{
    return isMark(c.unicode()) || c.unicode() == 0xFF9E || c.unicode() == 0xFF9F;
}

// The original in compatibility form, one piece a character, blanks left
// out. A base character and the marks that follow it (the separate voiced
// marks of half-width katakana above all) are normalised together.
QList<Piece> compatibilityPieces(const QString &text)
{
    QList<Piece> pieces;
    pieces.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t simple = simpleCompatibility(text.at(i).unicode());
        if (simple && !(i + 1 < text.size() && joinsBefore(text.at(i + 1)))) {
            if (!isBlank(QChar(simple)))
                pieces.append({simple, i, i + 1});
            ++i;
            continue;
        }
        qsizetype j = i + (text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1);
        // Marks beyond what any writing puts on one character are left out:
        // normalising them together takes time that grows with their square.
        const qsizetype base = j;
        while (j < text.size() && joinsBefore(text.at(j)) && j - base < kMostMarks)
            ++j;
        qsizetype after = j;
        while (after < text.size() && joinsBefore(text.at(after)))
            ++after;
        // A blank goes, with the marks on it: they would land on whatever
        // came before it.
        const QString n = text.mid(i, j - i).normalized(QString::NormalizationForm_KC);
        const bool blank = !n.isEmpty() && isBlank(n.front());
        for (const QChar c : n) {
            if (!blank && !isBlank(c))
                pieces.append({c.unicode(), i, after});
        }
        i = after;
    }
    return pieces;
}

}  // namespace

qsizetype Key::originalEnd(qsizetype n) const
{
    return n <= 0 ? 0 : to.at(std::min(n, to.size()) - 1);
}

qsizetype Key::originalStart(qsizetype n, qsizetype originalSize) const
{
    return n < from.size() ? from.at(n) : originalSize;
}

Key key(const QString &text)
{
    const QList<Piece> pieces = compatibilityPieces(text);
    auto at = [&](qsizetype k) { return k >= 0 && k < pieces.size() ? pieces.at(k).c : char16_t(0); };
    Key out;
    QVarLengthArray<char16_t, 128> form;  // appended to a character at a time: kept off the heap
    out.from.reserve(pieces.size());
    out.to.reserve(pieces.size());
    auto put = [&](QChar c, qsizetype from, qsizetype to) {
        form.append(c.unicode());
        out.from.append(from);
        out.to.append(to);
    };
    auto isDigit = [](char16_t u) { return u >= u'0' && u <= u'9'; };
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        const Piece &p = pieces.at(k);
        // Two numbers written apart (by a blank, or in kanji then in digits)
        // stay apart: "東二 1-2" and "東二1-2" are "東2-1-2", never "東21-2".
        if (isDigit(p.c) && !form.isEmpty() && isDigit(form.back())
            && (p.from > out.to.back() || isKanjiNumeral(at(k - 1))))
            put(QLatin1Char('-'), p.from, p.from);
        if (isKanjiNumeral(p.c)) {
            qsizetype end = k;
            while (end < pieces.size() && isKanjiNumeral(pieces.at(end).c))
                ++end;
            QString run;
            for (qsizetype r = k; r < end; ++r)
                run += QChar(pieces.at(r).c);
            const QString digits = kanjiNumber(run);
            if (!form.isEmpty() && isDigit(form.back()))
                put(QLatin1Char('-'), p.from, p.from);
            for (const QChar d : digits)
                put(d, p.from, pieces.at(end - 1).to);
            k = end - 1;
            continue;
        }
        // A variant with a mark on it is some other character: left alone.
        const bool marked = isMark(at(k + 1));
        const bool betweenKanji = !marked && isKanji(at(k - 1)) && isKanji(at(k + 1));
        const char16_t before = at(k - 1);
        // "ひばりが丘", "ひばりヶ丘": が before a kanji is the same ケ.
        const bool keBefore = k > 0 && isKanji(at(k + 1));
        if (!marked && (p.c == 0x30F6 || p.c == 0x30F5 || p.c == 0x30B1 || (keBefore && (p.c == 0x304C || p.c == 0x30AC))))
            put(QChar(0x30B1), p.from, p.to);  // ケ
        else if (betweenKanji && p.c == 0x30CE)
            put(QChar(0x306E), p.from, p.to);  // の
        else if (isDash(p.c) || (isLongVowel(p.c) && ((before >= u'0' && before <= u'9') || isKanjiNumeral(before))))
            put(QLatin1Char('-'), p.from, p.to);
        else
            put(QChar(p.c), p.from, p.to);
    }
    out.text = QString(reinterpret_cast<const QChar *>(form.constData()), form.size());
    return out;
}

bool tooManyMarks(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = joinsBefore(c) ? run + 1 : 0;
        if (run > kMostMarks)
            return true;
    }
    return false;
}

QString streetForm(const QString &comparableText)
{
    static const std::pair<QString, QString> forms[] = {
        {u"上がる"_s, u"上る"_s}, {u"上ガル"_s, u"上る"_s}, {u"上ル"_s, u"上る"_s},   {u"下がる"_s, u"下る"_s},
        {u"下ガル"_s, u"下る"_s}, {u"下ル"_s, u"下る"_s},   {u"東入る"_s, u"東入"_s}, {u"東入ル"_s, u"東入"_s},
        {u"西入る"_s, u"西入"_s}, {u"西入ル"_s, u"西入"_s}};
    QString out = comparableText;
    for (const auto &[from, to] : forms)
        out.replace(from, to);
    return out;
}

QString comparable(const QString &text)
{
    return key(text).text;
}

QString companyKey(const QString &name)
{
    static const QStringList forms{u"株式会社"_s, u"(株)"_s, u"有限会社"_s, u"(有)"_s, u"合同会社"_s, u"(同)"_s,
                                   u"合資会社"_s, u"(資)"_s, u"合名会社"_s, u"(名)"_s};
    QString k = comparable(name);
    for (const QString &form : forms)
        k.remove(form);
    return k;
}

QString blockNumbers(const QString &text)
{
    const QString k = comparable(text);
    QString numbers;
    bool inNumber = false;
    for (const QChar c : k) {
        const bool digit = c >= u'0' && c <= u'9';
        if (digit && !inNumber && !numbers.isEmpty())
            numbers += u'-';
        if (digit)
            numbers += c;
        inNumber = digit;
    }
    return numbers;
}

qsizetype azaLength(QStringView text)
{
    return text.startsWith(u"大字") ? 2 : text.startsWith(u'字') ? 1 : 0;
}

qsizetype districtLength(QStringView city)
{
    const qsizetype gun = city.indexOf(u'郡');
    if (gun > 0 && gun + 1 < city.size())
        return gun + 1;
    // The island's town or village keeps a name of its own after it.
    const qsizetype island = city.indexOf(u'島');
    if (gun < 0 && island > 0 && island + 2 < city.size() && (city.endsWith(u'町') || city.endsWith(u'村')))
        return island + 1;
    return 0;
}

int leadingNumber(QStringView text)
{
    if (text.startsWith(u'第'))
        text = text.mid(1);
    int n = 0;
    qsizetype i = 0;
    while (i < text.size() && i < 6 && text.at(i) >= u'0' && text.at(i) <= u'9')
        n = n * 10 + (text.at(i++).unicode() - u'0');
    return i == 0 ? -1 : n;
}

LeadingZip leadingZip(const QString &text)
{
    auto digitAt = [&](qsizetype i) {
        const char16_t u = i < text.size() ? text.at(i).unicode() : 0;
        return (u >= u'0' && u <= u'9') ? int(u - u'0') : (u >= 0xFF10 && u <= 0xFF19) ? int(u - 0xFF10) : -1;
    };
    auto blanks = [&](qsizetype i) {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        return i;
    };
    qsizetype i = blanks(0);
    const bool mark = i < text.size() && text.at(i) == QChar(0x3012);  // 〒
    if (mark)
        i = blanks(i + 1);
    QString digits;
    while (digits.size() < 7) {
        const int d = digitAt(i);
        if (d >= 0) {
            digits += QChar(u'0' + d);
            ++i;
        } else if (digits.size() == 3 && i < text.size()
                   && (isDash(text.at(i).unicode()) || isLongVowel(text.at(i).unicode()))) {
            ++i;
        } else {
            return {};
        }
    }
    if (digitAt(i) >= 0)
        return {};
    const qsizetype after = blanks(i);
    // Without the mark, a code is told from the start of an address by the
    // blank after it.
    if (!mark && after == i && i < text.size())
        return {};
    return {digits, after};
}

bool isZipSeparator(QChar c)
{
    return c.isSpace() || isDash(c.unicode()) || isLongVowel(c.unicode()) || c == QChar(0x3012);  // 〒
}

QString zipDigits(const QString &text)
{
    const QString n = text.normalized(QString::NormalizationForm_KC);
    QString digits;
    for (const QChar c : n) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (!isZipSeparator(c))
            return QString();
    }
    return digits.size() == 7 ? digits : QString();
}

QString formatZip(const QString &digits)
{
    return digits.left(3) + QLatin1Char('-') + digits.mid(3);
}

}  // namespace AddressText
