#pragma once
// A place and the geodetic datum it is given in: the Tokyo datum of older
// Japanese maps, WGS 84, and JGD2011, what today's surveys, phones and maps use.

#include <QString>

enum class Datum { Tokyo, Wgs84, Jgd2011 };

struct GeoPoint
{
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
};

struct DatumShift
{
    bool ok = false;
    GeoPoint point;
    double accuracyMetres = -1;  // as PROJ states it for the transformation used
    QString operation;           // that transformation's name
    QString error;               // why there is no point, when !ok
};
