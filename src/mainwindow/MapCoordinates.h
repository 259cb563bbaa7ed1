#pragma once
// The place a map page shows, read from the page's address: latitude and
// longitude as query parameters, in decimal degrees or in the map service's
// dotted degrees.minutes.seconds[.fraction], with the datum they are in.

#include "platform/DatumConversion.h"

#include <QString>

#include <optional>

struct MapCoordinates
{
    GeoPoint point;
    Datum datum = Datum::Tokyo;
};

// The coordinates of a URL of the map service at `base` (scheme and host, as
// MapBaseURL): "lat" with "lon" or "lng", or "ll=LAT,LON", separated by "&"
// or ";"; "datum" is "tky"/"tokyo" or "wgs"/"wgs84", Tokyo when absent.
// Nothing when the URL belongs to another site, or a value is missing,
// malformed, out of range or contradicted by another.
std::optional<MapCoordinates> mapCoordinates(const QString &url, const QString &base);

// Degrees with six decimals, as the status bar and the command line show them.
QString formatDegrees(double degrees);
