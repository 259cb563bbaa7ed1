#include "platform/ProgramModule.h"

#include "BuildTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

using namespace Qt::StringLiterals;

namespace ProgramModule {

QStringList places(const QString &fileName)
{
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList list{dir + u'/' + fileName,
                     QDir::cleanPath(dir + u'/' + QStringLiteral(ZENROOK_MODULE_INSTALL_RELDIR) + u'/' + fileName)};
    if (const QString tree = buildTreeTop(); !tree.isEmpty())
        list << tree + u'/' + fileName;
    list.removeDuplicates();
    return list;
}

Loaded load(const QStringList &candidates, const QString &label, const char *iid)
{
    Loaded result;
    for (const QString &path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        QObject *instance = loader.instance();
        if (instance && instance->qt_metacast(iid)) {
            result.instance = instance;
            return result;
        }
        // The first module found that fails is the one to report.
        if (result.reason.isEmpty()) {
            const QString why = instance ? u"it is not the module looked for"_s : loader.errorString();
            result.reason = u"%1 %2 を読み込めません。\n%3"_s.arg(label, path, why);
            result.detail = u"cannot load %1: %2"_s.arg(path, why);
        }
    }
    if (result.reason.isEmpty()) {
        const QString name = candidates.isEmpty() ? QString() : QFileInfo(candidates.first()).fileName();
        result.reason = u"%1 %2 が見つかりません。"_s.arg(label, name);
        result.detail = u"%1 is in none of: %2"_s.arg(name, candidates.join(u", "_s));
    }
    return result;
}

}  // namespace ProgramModule
