#pragma once
// Datum conversion by PROJ with its EPSG database; no grid is fetched from
// the network, and PROJ's complaints become the error given back.

#include "platform/DatumEngine.h"

#include <QByteArray>

class ProjDatumEngine : public DatumEngine
{
public:
    ProjDatumEngine();
    ~ProjDatumEngine() override;
    DatumShift convert(GeoPoint point, Datum from, Datum to) override;
    // The same between any two geographic systems PROJ knows ("EPSG:4301").
    DatumShift convertBetween(GeoPoint point, const QByteArray &fromCrs, const QByteArray &toCrs);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
