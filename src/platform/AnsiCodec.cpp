#include "platform/AnsiCodec.h"

#include <QSet>

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

// Strict iconv decoding of a stretch without lone bytes; on failure, the
// offset of the first invalid sequence within it.
bool decodeRun(const char *bytes, qsizetype size, QString &out, qsizetype *errorAt)
{
    Iconv &cd = Iconv::from932();
    if (!cd.valid()) {
        *errorAt = 0;
        return false;
    }
    const qsizetype before = out.size();
    out.resize(before + size);  // each byte gives at most one code unit
    char *in = const_cast<char *>(bytes);
    size_t inLeft = size_t(size);
    char *o = reinterpret_cast<char *>(out.data() + before);
    size_t outLeft = size_t(size) * 2;
    if (cd(&in, &inLeft, &o, &outLeft) == size_t(-1)) {
        *errorAt = in - bytes;
        return false;
    }
    out.truncate(out.size() - qsizetype(outLeft / 2));
    return true;
}

// iconv on a stretch without fixed characters; true only when the bytes read
// back as exactly the stretch, which also catches iconv's lossy mappings.
bool encodeRun(QStringView run, QByteArray &out)
{
    Iconv &cd = Iconv::to932();
    if (!cd.valid())
        return false;
    const qsizetype before = out.size();
    out.resize(before + run.size() * 2);  // at most two bytes per code unit
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(run.data()));
    size_t inLeft = size_t(run.size()) * 2;
    char *o = out.data() + before;
    size_t outLeft = size_t(run.size()) * 2;
    const bool converted = cd(&in, &inLeft, &o, &outLeft) != size_t(-1)
                           && cd(nullptr, nullptr, &o, &outLeft) != size_t(-1);
    out.truncate(out.size() - qsizetype(outLeft));
    if (!converted)
        return false;
    const AnsiCodec::Decoded back = AnsiCodec::decode(out.sliced(before));
    return back.ok && back.text == run;
}

bool roundTrips(const QString &ch)
{
    if (ch.size() == 1 && !fixedBytes(ch.at(0).unicode()).isEmpty())
        return true;
    QByteArray out;
    return encodeRun(ch, out);
}

}  // namespace

namespace AnsiCodec {

Decoded decode(const QByteArray &bytes)
{
    Decoded result;
    QString text;
    text.reserve(bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        qsizetype errorAt = 0;
        if (end > runStart && !decodeRun(bytes.constData() + runStart, end - runStart, text, &errorAt)) {
            result.errorOffset = runStart + errorAt;
            return false;
        }
        return true;
    };
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (b < 0x80)
            continue;
        if (isLeadByte(b)) {
            ++i;  // its trail byte may be 0x80 or 0xA0
            continue;
        }
        if (const char16_t ch = loneByteChar(b)) {
            if (!flush(i))
                return result;
            text += QChar(ch);
            runStart = i + 1;
        }
    }
    if (!flush(size))
        return result;
    result.ok = true;
    result.text = std::move(text);
    return result;
}

Encoded encode(const QString &text)
{
    Encoded result;
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    bool ok = true;
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart && !encodeRun(QStringView(text).sliced(runStart, end - runStart), bytes))
            ok = false;
    };
    for (qsizetype i = 0; i < text.size() && ok; ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch < 0x80)
            continue;
        const QByteArrayView fixed = fixedBytes(ch);
        if (fixed.isEmpty())
            continue;
        flush(i);
        bytes.append(fixed);
        runStart = i + 1;
    }
    if (ok)
        flush(text.size());
    if (ok) {
        result.ok = true;
        result.bytes = std::move(bytes);
        return result;
    }
    QSet<QString> seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < 0x80)
            continue;
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()
                               && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len - 1;
        if (seen.contains(ch))
            continue;
        seen.insert(ch);
        if (!roundTrips(ch))
            result.unrepresentable += ch;
    }
    return result;
}

}  // namespace AnsiCodec
