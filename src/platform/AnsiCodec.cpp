#include "platform/AnsiCodec.h"

#include <QSet>

#include <atomic>
#include <cerrno>
#include <iconv.h>

namespace {

constexpr const char *kAnsi = "CP932";
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16 = "UTF-16LE";
#else
constexpr const char *kUtf16 = "UTF-16BE";
#endif

class Iconv {
public:
    Iconv(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { if (valid()) iconv_close(cd_); }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    size_t operator()(char **in, size_t *inLeft, char **out, size_t *outLeft) {
        return iconv(cd_, in, inLeft, out, outLeft);
    }
    // Opened once a thread and direction: opening costs far more than
    // converting a field. Each use starts from the initial state.
    static Iconv &to932()
    {
        thread_local Iconv cd(kAnsi, kUtf16);
        cd.reset();
        return cd;
    }
    static Iconv &from932()
    {
        thread_local Iconv cd(kUtf16, kAnsi);
        cd.reset();
        return cd;
    }
private:
    void reset()
    {
        if (valid())
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_t cd_;
};

// What Windows' own conversion writes for the characters that Linux input
// methods type in place of the code page's look-alikes (〜 for ～, − for －).
// They are written as those bytes; reading gives the code page's characters.
struct LookAlike {
    char16_t ch;
    char bytes[3];
};
constexpr LookAlike kLookAlikes[] = {
    {0x301C, "\x81\x60"}, {0x2212, "\x81\x7C"}, {0x2016, "\x81\x61"}, {0x00A2, "\x81\x91"},
    {0x00A3, "\x81\x92"}, {0x00AC, "\x81\xCA"}, {0x2014, "\x81\x5C"},
};

// Single bytes Windows accepts although the code page leaves them undefined;
// they come back as the same code points so they are written back unchanged.
struct LoneByte {
    unsigned char byte;
    char16_t ch;
};
constexpr LoneByte kLoneBytes[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

// The bytes a character is always written as, outside iconv; empty if none.
QByteArrayView fixedBytes(char16_t ch)
{
    for (const LookAlike &l : kLookAlikes) {
        if (l.ch == ch)
            return QByteArrayView(l.bytes, 2);
    }
    for (const LoneByte &l : kLoneBytes) {
        if (l.ch == ch)
            return QByteArrayView(reinterpret_cast<const char *>(&l.byte), 1);
    }
    return {};
}

char16_t loneByteChar(unsigned char byte)
{
    for (const LoneByte &l : kLoneBytes) {
        if (l.byte == byte)
            return l.ch;
    }
    return 0;
}

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The code page is stateless, so each character is converted by iconv once
// and remembered: a list of short cells would otherwise spend its time
// setting iconv up. A character is converted on its first use only, so a
// program that reads one small file pays for the few characters it holds.
// Threads that meet an unknown character at once convert it alike.
constexpr char16_t kNoChar = 0xFFFF;     // no character decodes to it
constexpr quint16 kNoBytes = 0xFFFF;     // no lead byte is 0xFF
template <typename Entry, Entry (*convert)(int high, int low)>
class Remembered
{
public:
    Entry at(int high, int low)
    {
        std::atomic<quint32> &slot = entries_[high << 8 | low];
        quint32 known = slot.load(std::memory_order_relaxed);
        if (!(known & kKnown)) {
            known = kKnown | convert(high, low);
            slot.store(known, std::memory_order_relaxed);
        }
        return Entry(known & 0xFFFF);
    }

private:
    static constexpr quint32 kKnown = 0x10000;
    std::atomic<quint32> entries_[0x10000] = {};
};

// Lead 0 is the single bytes, lead N the pairs with lead byte N.
char16_t decodedByIconv(int lead, int byte)
{
    const char pair[2] = {char(lead), char(byte)};
    char *in = const_cast<char *>(lead == 0 ? pair + 1 : pair);
    size_t inLeft = lead == 0 ? 1 : 2;
    char16_t out[2];
    char *o = reinterpret_cast<char *>(out);
    size_t outLeft = sizeof out;
    Iconv &cd = Iconv::from932();
    if (!cd.valid() || cd(&in, &inLeft, &o, &outLeft) == size_t(-1) || inLeft != 0 || outLeft != sizeof out - 2)
        return kNoChar;
    return out[0];
}

// A character's bytes, single (below 0x100) or a pair; kNoBytes when it has
// none, or only one that reads back as another character (iconv's lossy
// mappings, "¥" onto "\").
quint16 encodedByIconv(int high, int low)
{
    const char16_t ch = char16_t(high << 8 | low);
    if (QChar::isSurrogate(ch))
        return kNoBytes;  // the code page has nothing beyond the first plane
    if (const QByteArrayView fixed = fixedBytes(ch); !fixed.isEmpty())
        return fixed.size() == 1 ? quint16(uchar(fixed[0])) : quint16(uchar(fixed[0]) << 8 | uchar(fixed[1]));
    char16_t unit = ch;
    char *in = reinterpret_cast<char *>(&unit);
    size_t inLeft = sizeof unit;
    unsigned char bytes[4];
    char *o = reinterpret_cast<char *>(bytes);
    size_t outLeft = sizeof bytes;
    Iconv &cd = Iconv::to932();
    if (!cd.valid() || cd(&in, &inLeft, &o, &outLeft) == size_t(-1) || cd(nullptr, nullptr, &o, &outLeft) == size_t(-1))
        return kNoBytes;
    const size_t n = sizeof bytes - outLeft;
    const int lead = n == 2 ? bytes[0] : 0, byte = n == 2 ? bytes[1] : bytes[0];
    if ((n != 1 && n != 2) || decodedByIconv(lead, byte) != ch)
        return kNoBytes;
    return quint16(lead << 8 | byte);
}

Remembered<char16_t, decodedByIconv> decodings;
Remembered<quint16, encodedByIconv> encodings;

quint16 bytesOf(char16_t ch)
{
    return encodings.at(ch >> 8, ch & 0xFF);
}

}  // namespace

namespace AnsiCodec {

Decoded decode(const QByteArray &bytes)
{
    Decoded result;
    QString text(bytes.size(), Qt::Uninitialized);  // each byte gives at most one code unit
    QChar *out = text.data();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (const char16_t lone = b >= 0x80 ? loneByteChar(b) : 0) {
            *out++ = QChar(lone);
            continue;
        }
        const qsizetype at = i;
        char16_t ch = kNoChar;
        if (!isLeadByte(b))
            ch = decodings.at(0, b);
        else if (i + 1 < size)
            ch = decodings.at(b, data[++i]);  // its trail byte may be 0x80 or 0xA0
        if (ch == kNoChar) {
            result.errorOffset = at;
            return result;
        }
        *out++ = QChar(ch);
    }
    text.truncate(out - text.constData());
    result.ok = true;
    result.text = std::move(text);
    return result;
}

Encoded encode(const QString &text)
{
    Encoded result;
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);  // at most two bytes per code unit
    char *out = bytes.data();
    bool ok = true;
    for (const QChar c : text) {
        const quint16 b = bytesOf(c.unicode());
        if (b == kNoBytes) {
            ok = false;
            break;
        }
        if (b > 0xFF)
            *out++ = char(b >> 8);
        *out++ = char(b & 0xFF);
    }
    if (ok) {
        bytes.truncate(out - bytes.constData());
        result.ok = true;
        result.bytes = std::move(bytes);
        return result;
    }
    QSet<QString> seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bytesOf(text.at(i).unicode()) != kNoBytes)
            continue;
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()
                               && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len - 1;
        if (!seen.contains(ch)) {
            seen.insert(ch);
            result.unrepresentable += ch;
        }
    }
    return result;
}

}  // namespace AnsiCodec
