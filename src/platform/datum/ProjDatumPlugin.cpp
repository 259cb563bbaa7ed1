// The module's entry: what QPluginLoader finds in it.

#include "platform/DatumEngine.h"
#include "platform/datum/ProjDatumEngine.h"

#include <QObject>

class ProjDatumPlugin : public QObject, public DatumEngineFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DatumEngineFactory_iid)
    Q_INTERFACES(DatumEngineFactory)
public:
    std::unique_ptr<DatumEngine> create() override { return std::make_unique<ProjDatumEngine>(); }
};

#include "ProjDatumPlugin.moc"
