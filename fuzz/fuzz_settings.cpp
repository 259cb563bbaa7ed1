// Drives the settings store through arbitrary file texts and arbitrary
// sequences of group selection, reads, writes and group stores.

#include "platform/AnsiCodec.h"
#include "settings/SettingsDocument.h"
#include "settings/SettingsValue.h"

#include <QDate>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

// Reads pieces of the input in turn; past its end, everything reads empty.
class Input
{
public:
    Input(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}
    bool more() const { return p_ < end_; }
    uint8_t byte() { return more() ? *p_++ : 0; }
    QString text()
    {
        const size_t n = std::min<size_t>(byte() % 24, size_t(end_ - p_));
        const QString s = QString::fromUtf8(reinterpret_cast<const char *>(p_), qsizetype(n));
        p_ += n;
        return s;
    }
    QString name()
    {
        static const char16_t *const known[] = {u"位置", u"TOP", u"LEFT", u"運用", u"G", u"", u"<", u"/G", u"‡"};
        const uint8_t b = byte();
        return b < 200 ? QString::fromUtf16(known[b % 9]) : text();
    }
    QVariant value()
    {
        switch (byte() % 6) {
        case 0: return text();
        case 1: return qint16(byte());
        case 2: return double(int8_t(byte())) / 3.0;
        case 3: return bool(byte() & 1);
        case 4: return QDate(2000 + byte(), 1 + byte() % 12, 1 + byte() % 28);
        default: return float(byte()) * 1e6f;
        }
    }

private:
    const uint8_t *p_;
    const uint8_t *end_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first part is the file as it lies on disk; the rest is what the program does with it.
    const size_t fileSize = std::min<size_t>(size - 1, size_t(data[0]) * 4u);
    const QByteArray file(reinterpret_cast<const char *>(data) + 1, qsizetype(fileSize));
    const AnsiCodec::Decoded decoded = AnsiCodec::decode(file);
    Input in(data + 1 + fileSize, size - 1 - fileSize);

    SettingsDocument doc;
    doc.onDamaged = [](const QString &) {};
    doc.sTxt = decoded.ok ? decoded.text : QString::fromLatin1(file);
    while (in.more()) {
        switch (in.byte() % 5) {
        case 0: doc.GetGtx(in.name()); break;
        case 1: (void)doc.vGtVal(in.name(), in.value()); break;
        case 2: doc.SetVal(in.name(), in.value()); break;
        case 3: doc.SetGtx(); break;
        default: (void)SettingsValue::leadingNumber(in.text()); break;
        }
    }
    const AnsiCodec::Encoded saved = AnsiCodec::encode(doc.sTxt);
    if (saved.ok && !AnsiCodec::decode(saved.bytes).ok)
        __builtin_trap();  // what the store writes must read back
    return 0;
}
