#pragma once
// A map page's place in the two datums the program shows: the Tokyo datum
// of the map service, and JGD2011 for today's maps and phones.

#include "maps/MapCoordinates.h"
#include "platform/DatumConversion.h"

#include <optional>

struct MapPlace
{
    std::optional<GeoPoint> tokyo;
    QString tokyoError;  // why there is no Tokyo point
    DatumShift jgd2011;
};

MapPlace locateMapPlace(const MapCoordinates &coordinates, DatumConversion &conversion);
