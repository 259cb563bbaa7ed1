// Search texts and clipboard texts of any content: the encoder agrees with
// Qt's own percent-encoding wherever both are defined, and a search URL
// always begins with the search head.

#include "BuildConfig.h"
#include "maps/MapSearch.h"

#include <QUrl>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const QString encoded = UrlEnc(text);
    bool loneSurrogate = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            loneSurrogate = true;
    }
    if (!loneSurrogate) {
        QByteArray reference = QUrl::toPercentEncoding(text, "@* ", "~");
        reference.replace(' ', '+');
        if (encoded.toLatin1() != reference)
            __builtin_trap();
    }
    const QString url = MapSearchURL(text);
    if (!url.startsWith(QString::fromUtf8(MapSearchHead)))
        __builtin_trap();
    // A copied text is a map address exactly when it begins with the base URL.
    const QString base = QString::fromUtf8(MapBaseURL);
    const bool taken = text.left(base.size()).toLower() == base.toLower();
    if (taken != text.startsWith(base, Qt::CaseInsensitive))
        __builtin_trap();
    return 0;
}
