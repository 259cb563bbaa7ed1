#include "platform/datum/ProjDatumEngine.h"

#include <QStringList>

#include <proj.h>

#include <cmath>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const char *crsOf(Datum datum)
{
    switch (datum) {
    case Datum::Tokyo:
        return "EPSG:4301";
    case Datum::Wgs84:
        return "EPSG:4326";
    case Datum::Jgd2011:
        return "EPSG:6668";
    }
    return "";
}

struct PjDeleter {
    void operator()(PJ *pj) const { proj_destroy(pj); }
};
using PjPtr = std::unique_ptr<PJ, PjDeleter>;

bool inArea(double value, double low, double high)
{
    return low <= high ? value >= low && value <= high : value >= low || value <= high;
}

}  // namespace

struct ProjDatumEngine::Impl
{
    struct Operation {
        PjPtr pj;
        QString error;
    };

    PJ_CONTEXT *context = nullptr;
    QStringList log;
    std::map<std::pair<QByteArray, QByteArray>, Operation> operations;

    Impl()
    {
        context = proj_context_create();
        // Grids come from the installed data only; nothing is fetched.
        proj_context_set_enable_network(context, 0);
        // PROJ writes its complaints to the terminal; keep them to tell the user.
        proj_log_func(context, this, [](void *self, int, const char *message) {
            QStringList &log = static_cast<Impl *>(self)->log;
            const QString line = QString::fromUtf8(message).trimmed();
            if (!log.contains(line))
                log << line;
        });
    }
    ~Impl()
    {
        operations.clear();
        proj_context_destroy(context);
    }

    QString failure(int code) const
    {
        if (!log.isEmpty())
            return log.join(u"; "_s);
        const char *text = code ? proj_context_errno_string(context, code) : nullptr;
        return text ? QString::fromUtf8(text) : u"PROJ gave no reason"_s;
    }

    Operation &operation(const QByteArray &from, const QByteArray &to)
    {
        auto found = operations.find({from, to});
        if (found != operations.end())
            return found->second;
        Operation &op = operations[{from, to}];
        log.clear();
        op.pj.reset(proj_create_crs_to_crs(context, from.constData(), to.constData(), nullptr));
        if (!op.pj)
            op.error = failure(proj_context_errno(context));
        return op;
    }
};

ProjDatumEngine::ProjDatumEngine() : d(std::make_unique<Impl>()) {}

ProjDatumEngine::~ProjDatumEngine() = default;

DatumShift ProjDatumEngine::convert(GeoPoint point, Datum from, Datum to)
{
    return convertBetween(point, crsOf(from), crsOf(to));
}

DatumShift ProjDatumEngine::convertBetween(GeoPoint point, const QByteArray &fromCrs, const QByteArray &toCrs)
{
    DatumShift shift;
    Impl::Operation &op = d->operation(fromCrs, toCrs);
    if (!op.pj) {
        shift.error = op.error;
        return shift;
    }
    PJ *pj = op.pj.get();
    d->log.clear();
    proj_errno_reset(pj);
    // Geographic EPSG systems take latitude first.
    const PJ_COORD out = proj_trans(pj, PJ_FWD, proj_coord(point.latitude, point.longitude, 0, 0));
    if (const int code = proj_errno(pj); code || !std::isfinite(out.v[0]) || !std::isfinite(out.v[1])) {
        shift.error = d->failure(code);
        return shift;
    }
    PjPtr used(proj_trans_get_last_used_operation(pj));
    if (!used)
        used.reset(proj_clone(d->context, pj));
    const char *name = used ? proj_get_name(used.get()) : nullptr;
    shift.operation = name ? QString::fromUtf8(name) : QString();
    shift.accuracyMetres = used ? proj_coordoperation_get_accuracy(d->context, used.get()) : -1;
    if (!used || shift.accuracyMetres < 0 || proj_coordoperation_has_ballpark_transformation(d->context, used.get())) {
        shift.error = u"PROJ has no transformation of known accuracy for this point"_s;
        if (!shift.operation.isEmpty())
            shift.error += u" (only \"%1\")"_s.arg(shift.operation);
        return shift;
    }
    double west = 0, south = 0, east = 0, north = 0;
    const char *area = nullptr;
    if (proj_get_area_of_use(d->context, used.get(), &west, &south, &east, &north, &area) && west > -1000
        && !(inArea(point.latitude, south, north) && inArea(point.longitude, west, east))) {
        shift.error = u"outside the area where \"%1\" applies (%2)"_s.arg(shift.operation, QString::fromUtf8(area ? area : ""));
        return shift;
    }
    shift.ok = true;
    shift.point = {out.v[0], out.v[1]};
    return shift;
}
