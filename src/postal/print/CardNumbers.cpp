#include "postal/print/CardNumbers.h"

namespace CardNumbers {

namespace {

int digitOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= 0xFF10 && u <= 0xFF19)  // full width
        return u - 0xFF10;
    return -1;
}

// What people type between numbers: hyphens and minus signs of either
// width, and the long-vowel mark input methods give for "-".
bool isDash(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'-' || u == 0xFF0D || u == 0x2010 || u == 0x2011 || u == 0x2012 || u == 0x2013 || u == 0x2014
           || u == 0x2015 || u == 0x2212 || u == 0x30FC || u == 0xFF70;
}

}  // namespace

QString vertical(const QString &address)
{
    static const char16_t kanji[] = u"〇一二三四五六七八九";
    QString out;
    out.reserve(address.size());
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar c = address.at(i);
        if (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) {
            // Half-width katakana, their voiced marks with them: full width,
            // as a column wants them.
            qsizetype end = i;
            while (end < address.size() && address.at(end).unicode() >= 0xFF61 && address.at(end).unicode() <= 0xFF9F)
                ++end;
            out += address.mid(i, end - i).normalized(QString::NormalizationForm_KC);
            i = end - 1;
        } else if (const int d = digitOf(c); d >= 0) {
            out += QChar(kanji[d]);
        } else if (isDash(c) && i > 0 && i + 1 < address.size() && digitOf(address.at(i - 1)) >= 0
                   && digitOf(address.at(i + 1)) >= 0) {
            out += QChar(0x2015);  // ―, which a column turns upright
        } else if (c.unicode() > 0x20 && c.unicode() < 0x7F) {
            out += QChar(c.unicode() - 0x20 + 0xFF00);  // full width
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace CardNumbers
