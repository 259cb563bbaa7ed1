#pragma once
// The datum conversion behind DatumConversion. It lives in a module of its
// own: PROJ and the libraries it brings (network, TLS, image formats) would
// otherwise be loaded and set up at every start, before the window is shown,
// though most runs never convert a point.

#include "platform/GeoDatum.h"

#include <QtPlugin>

#include <memory>

class DatumEngine
{
public:
    virtual ~DatumEngine() = default;
    virtual DatumShift convert(GeoPoint point, Datum from, Datum to) = 0;
};

class DatumEngineFactory
{
public:
    virtual ~DatumEngineFactory() = default;
    virtual std::unique_ptr<DatumEngine> create() = 0;
};

#define DatumEngineFactory_iid "jp.halvorin.Zenrook.DatumEngineFactory/1"
Q_DECLARE_INTERFACE(DatumEngineFactory, DatumEngineFactory_iid)
