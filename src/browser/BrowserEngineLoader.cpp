#include "browser/BrowserEngineLoader.h"

#include "browser/BrowserEngine.h"
#include "browser/QuietEngineAdvice.h"
#include "platform/ProgramModule.h"

using namespace Qt::StringLiterals;

namespace BrowserEngineLoader {

QString moduleName()
{
    return QStringLiteral(ZENROOK_ENGINE_MODULE);
}

QStringList places()
{
    return ProgramModule::places(moduleName());
}

Result load(const QStringList &candidates)
{
    const QuietEngineAdvice quiet;
    const ProgramModule::Loaded loaded = ProgramModule::load(candidates, u"地図表示の部品"_s, BrowserEngineFactory_iid);
    return {qobject_cast<BrowserEngineFactory *>(loaded.instance), loaded.reason, loaded.detail};
}

}  // namespace BrowserEngineLoader
