#pragma once
// Moves a place between geodetic datums with PROJ: the Tokyo datum of older
// Japanese maps, WGS 84, and JGD2011, what today's surveys, phones and maps
// use. The geodesy is PROJ's and its EPSG database's, never formulas of ours.

#include <QString>

#include <memory>

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

class DatumConversion
{
public:
    DatumConversion();
    ~DatumConversion();
    DatumConversion(const DatumConversion &) = delete;
    DatumConversion &operator=(const DatumConversion &) = delete;

    // Refuses rather than guesses: a transformation of unknown accuracy (PROJ's
    // "ballpark", which would leave a Tokyo point some 400 m off) or a point
    // outside the area the transformation is defined for gives an error.
    DatumShift convert(GeoPoint point, Datum from, Datum to);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
