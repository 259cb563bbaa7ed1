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
private:
    iconv_t cd_;
};

// Converts one character (one or two code units) and tells whether it comes
// back unchanged: that is the only test that catches iconv's lossy mappings.
bool roundTrips(const QString &ch)
{
    Iconv enc(kAnsi, kUtf16);
    if (!enc.valid())
        return false;
    QByteArray out(8, '\0');
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(ch.constData()));
    size_t inLeft = size_t(ch.size()) * 2;
    char *o = out.data();
    size_t outLeft = size_t(out.size());
    if (enc(&in, &inLeft, &o, &outLeft) == size_t(-1) || enc(nullptr, nullptr, &o, &outLeft) == size_t(-1))
        return false;
    out.truncate(out.size() - qsizetype(outLeft));
    const AnsiCodec::Decoded back = AnsiCodec::decode(out);
    return back.ok && back.text == ch;
}

}  // namespace

namespace AnsiCodec {

Decoded decode(const QByteArray &bytes)
{
    Decoded result;
    Iconv cd(kUtf16, kAnsi);
    if (!cd.valid())
        return result;
    // Each byte gives at most one UTF-16 code unit.
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    if (cd(&in, &inLeft, &out, &outLeft) == size_t(-1)) {
        result.errorOffset = in - bytes.constData();
        return result;
    }
    text.truncate(text.size() - qsizetype(outLeft / 2));
    result.ok = true;
    result.text = text;
    return result;
}

Encoded encode(const QString &text)
{
    Encoded result;
    Iconv cd(kAnsi, kUtf16);
    if (!cd.valid())
        return result;
    QByteArray bytes(text.size() * 2, '\0');  // at most two bytes per code unit
    char *const base = reinterpret_cast<char *>(const_cast<QChar *>(text.constData()));
    char *in = base;
    size_t inLeft = size_t(text.size()) * 2;
    char *out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    bool failed = false;
    while (inLeft > 0 && cd(&in, &inLeft, &out, &outLeft) == size_t(-1)) {
        // EILSEQ, or EINVAL for a lone surrogate at the end: skip one code unit
        // and go on, so that the scan below sees every character at once.
        failed = true;
        in += 2;
        inLeft -= 2;
    }
    cd(nullptr, nullptr, &out, &outLeft);
    bytes.truncate(bytes.size() - qsizetype(outLeft));

    // iconv also maps some characters onto look-alikes ("¥" onto "\") without
    // failing; decoding what was written is the one test that catches them.
    if (!failed) {
        const Decoded back = decode(bytes);
        if (back.ok && back.text == text) {
            result.ok = true;
            result.bytes = bytes;
            return result;
        }
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
