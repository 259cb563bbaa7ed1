#include "startup/CoordinatesCommand.h"

#include "maps/MapCoordinates.h"
#include "maps/MapPlace.h"
#include "maps/MapService.h"
#include "platform/DatumConversion.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

int coordinatesCommand(const QString &url, const QString &base, QTextStream &out, QTextStream &err)
{
    const std::optional<MapCoordinates> coordinates = mapCoordinates(url, base);
    if (!coordinates) {
        err << u"zenrook: the URL shows no place of the map service: a page of %1 or %2 with lat= and lon= "
               u"(or ll=) was expected; man zenrook lists the datum= values read\n"_s.arg(base, MapService::secureBase(base));
        return 1;
    }
    DatumConversion conversion;
    const MapPlace place = locateMapPlace(*coordinates, conversion);
    int code = 0;
    if (place.tokyo) {
        out << u"tokyo %1 %2\n"_s.arg(formatDegrees(place.tokyo->latitude), formatDegrees(place.tokyo->longitude));
    } else {
        err << u"zenrook: no Tokyo datum point: "_s << place.tokyoError << u'\n';
        code = 3;
    }
    if (place.jgd2011.ok) {
        out << u"jgd2011 %1 %2\n"_s.arg(formatDegrees(place.jgd2011.point.latitude),
                                        formatDegrees(place.jgd2011.point.longitude));
    } else {
        err << u"zenrook: no JGD2011 point: "_s << place.jgd2011.error << u'\n';
        code = 3;
    }
    out.flush();
    err.flush();
    return code;
}
