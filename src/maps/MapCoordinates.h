#pragma once
// The place a map page shows, read from the page's address: latitude and
// longitude as query parameters, in decimal degrees or in the map service's
// dotted degrees.minutes.seconds[.fraction], with the datum they are in.

#include "platform/GeoDatum.h"

#include <QString>

#include <optional>

struct MapCoordinates
{
    GeoPoint point;
    Datum datum = Datum::Tokyo;
};

// The coordinates of a URL of the map service at `base` (scheme and host, as
// MapBaseURL), under http or https: "lat" with "lon" or "lng", or
// "ll=LAT,LON", separated by "&" or ";"; other parameters and a fragment
// change nothing. The datum: "datum=tky"/"tokyo" is the Tokyo datum,
// "wgs"/"wgs84"/"jgd" the world datum (given as JGD2011); without it, the
// page decides: /place and /maps are today's pages, in the world datum,
// every other path the Tokyo datum. Nothing when the URL belongs to another
// site, or a value is missing, malformed, out of range or contradicted by
// another.
std::optional<MapCoordinates> mapCoordinates(const QString &url, const QString &base);

// Degrees with six decimals, as the status bar and the command line show them.
QString formatDegrees(double degrees);
