#include "maps/MapSearch.h"

#include "BuildConfig.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

// What each ASCII code unit becomes, padded to four units so that every
// piece is written with one store: letters, digits, "@*-._" as they are,
// the blank as "+", the rest as "%XX".
struct AsciiPiece {
    char16_t units[4];
    std::uint32_t length;
};

constexpr auto kAscii = [] {
    std::array<AsciiPiece, 128> t{};
    for (char16_t c = 0; c < 128; ++c) {
        const bool plain = (c >= u'@' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')
                           || c == u'*' || c == u'-' || c == u'.' || c == u'_';
        if (plain)
            t[c] = {{c, 0, 0, 0}, 1};
        else if (c == u' ')
            t[c] = {{u'+', 0, 0, 0}, 1};
        else
            t[c] = {{u'%', kHex[c >> 4], kHex[c & 0xF], 0}, 3};
    }
    return t;
}();

// The two hexadecimal digits of every byte, stored as one unit pair.
constexpr auto kHexPairs = [] {
    std::array<std::array<char16_t, 2>, 256> t{};
    for (unsigned b = 0; b < 256; ++b)
        t[b] = {kHex[b >> 4], kHex[b & 0xF]};
    return t;
}();

inline char16_t *escape(char16_t *out, unsigned byte)
{
    out[0] = u'%';
    std::memcpy(out + 1, kHexPairs[byte & 0xFF].data(), 2 * sizeof(char16_t));
    return out + 3;
}

}  // namespace

QString UrlEnc(const QString &text)
{
    const qsizetype n = text.size();
    // Reserved once: nine characters a code unit is the widest case (three
    // escapes), and a pair's four escapes fit in its two units' eighteen; the
    // padded ASCII pieces fit too, as each takes at most four of its nine.
    QString out(n * 9, Qt::Uninitialized);
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *o = begin;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            const AsciiPiece &piece = kAscii[c];
            std::memcpy(o, piece.units, sizeof piece.units);
            o += piece.length;
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
