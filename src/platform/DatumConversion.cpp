#include "platform/DatumConversion.h"

#include "platform/DatumEngine.h"
#include "platform/ProgramModule.h"

#include <cstdio>

using namespace Qt::StringLiterals;

DatumConversion::DatumConversion() = default;

DatumConversion::~DatumConversion() = default;

DatumShift DatumConversion::convert(GeoPoint point, Datum from, Datum to)
{
    DatumShift shift;
    if (from == to) {
        shift.ok = true;
        shift.point = point;
        shift.accuracyMetres = 0;
        return shift;
    }
    if (!engine_ && unavailable_.isEmpty()) {
        const ProgramModule::Loaded loaded = ProgramModule::load(
            ProgramModule::places(QStringLiteral(ZENROOK_DATUM_MODULE)), u"座標変換の部品"_s, DatumEngineFactory_iid);
        if (auto *factory = qobject_cast<DatumEngineFactory *>(loaded.instance)) {
            engine_ = factory->create();
        } else {
            unavailable_ = loaded.reason;
            std::fprintf(stderr, "zenrook: no datum conversion: %s\n", qPrintable(loaded.detail));
        }
    }
    if (!engine_) {
        shift.error = unavailable_;
        return shift;
    }
    return engine_->convert(point, from, to);
}
