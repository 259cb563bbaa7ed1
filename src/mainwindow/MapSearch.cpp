#include "mainwindow/MapSearch.h"

#include "BuildConfig.h"

#include <array>

namespace {

// Per ASCII code unit: 0 escaped, 1 as it is, 2 the blank written as "+".
constexpr auto kAsciiClass = [] {
    std::array<unsigned char, 128> t{};
    for (char16_t c = u'0'; c <= u'9'; ++c) t[c] = 1;
    for (char16_t c = u'@'; c <= u'Z'; ++c) t[c] = 1;
    for (char16_t c = u'a'; c <= u'z'; ++c) t[c] = 1;
    for (char16_t c : {u'*', u'-', u'.', u'_'}) t[c] = 1;
    t[u' '] = 2;
    return t;
}();

constexpr char16_t kHex[] = u"0123456789ABCDEF";

inline char16_t *escape(char16_t *out, unsigned byte)
{
    out[0] = u'%';
    out[1] = kHex[(byte >> 4) & 0xF];
    out[2] = kHex[byte & 0xF];
    return out + 3;
}

}  // namespace

QString UrlEnc(const QString &text)
{
    const qsizetype n = text.size();
    // Reserved once: nine characters a code unit is the widest case (three
    // escapes), and a pair's four escapes fit in its two units' eighteen.
    QString out(n * 9, Qt::Uninitialized);
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *o = begin;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            switch (kAsciiClass[c]) {
            case 1: *o++ = c; break;
            case 2: *o++ = u'+'; break;
            default: o = escape(o, c);
            }
        } else if (c < 0x800) {
            o = escape(o, 0xC0 | (c >> 6));
            o = escape(o, 0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, in[++i]);
            o = escape(o, 0xF0 | (u >> 18));
            o = escape(o, 0x80 | ((u >> 12) & 0x3F));
            o = escape(o, 0x80 | ((u >> 6) & 0x3F));
            o = escape(o, 0x80 | (u & 0x3F));
        } else {
            o = escape(o, 0xE0 | (c >> 12));
            o = escape(o, 0x80 | ((c >> 6) & 0x3F));
            o = escape(o, 0x80 | (c & 0x3F));
        }
    }
    out.truncate(o - begin);
    return out;
}

QString MapSearchURL(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("  "), QLatin1String(" "));  // one pass: four blanks become two
    return QString::fromUtf8(MapSearchHead) + UrlEnc(s);
}
