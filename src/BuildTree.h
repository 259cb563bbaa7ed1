#pragma once
// A program run from its build tree (the tests, the uninstalled program)
// finds the dictionary and the modules the build made; an installed program
// looks only where it is installed. Nothing of the build machine's folders
// is compiled in: the build leaves a file of this name in each of its
// folders whose programs stand below the tree's top, and only they look
// there.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

inline constexpr char kBuildTreeMark[] = "zenrook-build-tree";

// The top of the build tree this program runs from, or "" when it runs from
// none.
inline QString buildTreeTop()
{
    const QString dir = QCoreApplication::applicationDirPath();
    if (!QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(kBuildTreeMark)))
        return QString();
    return QDir::cleanPath(dir + QLatin1String("/.."));
}
