#include "addresses/AddressText.h"

namespace AddressText {

namespace {

bool isKanji(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || u == 0x3005;  // 々 too
}

bool isDash(char16_t u)
{
    return u == u'-' || u == 0x2010 || u == 0x2011 || u == 0x2012 || u == 0x2013 || u == 0x2014
           || u == 0x2015 || u == 0x2212 || u == 0xFF0D || u == 0xFE63 || u == 0x30FC || u == 0xFF70;
}

}  // namespace

QString comparable(const QString &text)
{
    const QString n = text.normalized(QString::NormalizationForm_KC);
    QString out;
    out.reserve(n.size());
    for (qsizetype i = 0; i < n.size(); ++i) {
        const QChar c = n.at(i);
        const char16_t u = c.unicode();
        if (c.isSpace())
            continue;
        const bool betweenKanji = i > 0 && i + 1 < n.size() && isKanji(n.at(i - 1)) && isKanji(n.at(i + 1));
        if (u == 0x30F6 || u == 0x30F5 || (betweenKanji && (u == 0x304C || u == 0x30AC)))
            out += QChar(0x30B1);  // ケ
        else if (betweenKanji && u == 0x30CE)
            out += QChar(0x306E);  // の
        else if (isDash(u) && !(u == 0x30FC && i > 0 && !n.at(i - 1).isDigit()))
            out += QLatin1Char('-');  // a long-vowel mark stays one after kana
        else
            out += c;
    }
    return out;
}

QString zipDigits(const QString &text)
{
    const QString n = text.normalized(QString::NormalizationForm_KC);
    QString digits;
    for (const QChar c : n) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (!(c.isSpace() || isDash(c.unicode()) || c == QChar(0x3012)))  // 〒
            return QString();
    }
    return digits.size() == 7 ? digits : QString();
}

QString formatZip(const QString &digits)
{
    return digits.left(3) + QLatin1Char('-') + digits.mid(3);
}

}  // namespace AddressText
