// Map page URLs of any content: the coordinates reader never reads a place
// off the globe, and what it finds in a URL it finds again when the
// parameters are separated the other way.

#include "maps/MapCoordinates.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString base = QStringLiteral("http://map.yahoo.co.jp");
    const QString tail = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &url : {tail, base + tail}) {
        const std::optional<MapCoordinates> found = mapCoordinates(url, base);
        if (!found)
            continue;
        const GeoPoint p = found->point;
        if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude) || std::abs(p.latitude) > 90
            || std::abs(p.longitude) > 180)
            __builtin_trap();
        if (std::abs(formatDegrees(p.latitude).toDouble() - p.latitude) > 5e-7)
            __builtin_trap();
        // Query separators are interchangeable where the query holds no other "&" or ";".
        const qsizetype query = url.indexOf(QLatin1Char('?'));
        if (query >= 0 && !url.contains(QLatin1Char('#'))) {
            QString other = url;
            for (qsizetype i = query; i < other.size(); ++i) {
                if (other[i] == QLatin1Char('&'))
                    other[i] = QLatin1Char(';');
            }
            const std::optional<MapCoordinates> again = mapCoordinates(other, base);
            if (!again || again->point.latitude != p.latitude || again->point.longitude != p.longitude
                || again->datum != found->datum)
                __builtin_trap();
        }
    }
    return 0;
}
