#pragma once
// Moves a place between geodetic datums with PROJ. The geodesy is PROJ's and
// its EPSG database's, never formulas of ours; PROJ is reached through a
// module loaded on the first conversion.

#include "platform/GeoDatum.h"

#include <memory>

class DatumEngine;

class DatumConversion
{
public:
    DatumConversion();
    ~DatumConversion();
    DatumConversion(const DatumConversion &) = delete;
    DatumConversion &operator=(const DatumConversion &) = delete;

    // Refuses rather than guesses: a transformation of unknown accuracy (PROJ's
    // "ballpark", which would leave a Tokyo point some 400 m off) or a point
    // outside the area the transformation is defined for gives an error, and
    // so does a missing module, with the reason in Japanese.
    DatumShift convert(GeoPoint point, Datum from, Datum to);

private:
    std::unique_ptr<DatumEngine> engine_;
    QString unavailable_;  // why there is no engine, once a load failed
};
