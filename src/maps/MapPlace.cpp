#include "maps/MapPlace.h"

MapPlace locateMapPlace(const MapCoordinates &coordinates, DatumConversion &conversion)
{
    MapPlace place;
    if (coordinates.datum == Datum::Tokyo) {
        place.tokyo = coordinates.point;
    } else {
        const DatumShift tokyo = conversion.convert(coordinates.point, coordinates.datum, Datum::Tokyo);
        if (tokyo.ok)
            place.tokyo = tokyo.point;
        else
            place.tokyoError = tokyo.error;
    }
    place.jgd2011 = conversion.convert(coordinates.point, coordinates.datum, Datum::Jgd2011);
    return place;
}
