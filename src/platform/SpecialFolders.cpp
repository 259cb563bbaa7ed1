#include "platform/SpecialFolders.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace SpecialFolders {

QString path(int csidl)
{
    QString p;
    switch (csidl) {
    case AppData:
        p = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        break;
    case Documents:
        p = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case SendTo: {
#ifdef Q_OS_WIN
        const QString appData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        p = appData.isEmpty() ? QString() : appData + u"/Microsoft/Windows/SendTo"_s;
#else
        // GNOME's file manager offers what lies here in its context menu.
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        p = data.isEmpty() ? QString() : data + u"/nautilus/scripts"_s;
#endif
        break;
    }
    default:
        return QString();
    }
    if (p.isEmpty())
        return QString();
    p = QDir::toNativeSeparators(QDir::cleanPath(p));
    // Only the root keeps its separator.
    while (p.size() > 1 && p.endsWith(QDir::separator()))
        p.chop(1);
    return p;
}

QString serviceMenus()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : QDir::toNativeSeparators(QDir::cleanPath(data + u"/kio/servicemenus"_s));
}

}  // namespace SpecialFolders
