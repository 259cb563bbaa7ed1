#include "browser/BrowserEngineLoader.h"

#include "browser/BrowserEngine.h"
#include "browser/QuietEngineAdvice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

using namespace Qt::StringLiterals;


namespace BrowserEngineLoader {

QString moduleName()
{
    return QStringLiteral(ZENROOK_ENGINE_MODULE);
}

QStringList places()
{
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList list{dir + u'/' + moduleName(),
                     QDir::cleanPath(dir + u'/' + QStringLiteral(ZENROOK_ENGINE_INSTALL_RELDIR) + u'/' + moduleName())};
    // The build tree serves only programs run from inside it (the tests and
    // the uninstalled program), never an installed copy.
    const QString tree = QFileInfo(QStringLiteral(ZENROOK_ENGINE_BUILD_DIR)).canonicalFilePath();
    const QString here = QFileInfo(dir).canonicalFilePath();
    if (!tree.isEmpty() && (here == tree || here.startsWith(tree + u'/')))
        list << tree + u'/' + moduleName();
    list.removeDuplicates();
    return list;
}

Result load(const QStringList &candidates)
{
    Result result;
    for (const QString &path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        QObject *instance = nullptr;
        {
            const QuietEngineAdvice quiet;
            instance = loader.instance();
        }
        if (auto *factory = qobject_cast<BrowserEngineFactory *>(instance)) {
            result.factory = factory;
            return result;
        }
        // The first module found that fails is the one to report.
        if (result.reason.isEmpty()) {
            const QString why = instance ? u"it offers no browser engine"_s : loader.errorString();
            result.reason = u"地図表示の部品 %1 を読み込めません。\n%2"_s.arg(path, why);
            result.detail = u"cannot load %1: %2"_s.arg(path, why);
        }
    }
    if (result.reason.isEmpty()) {
        result.reason = u"地図表示の部品 %1 が見つかりません。"_s.arg(moduleName());
        result.detail = u"%1 is in none of: %2"_s.arg(moduleName(), candidates.join(u", "_s));
    }
    return result;
}

}  // namespace BrowserEngineLoader
