#include "platform/Shell.h"

#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace Shell {

namespace {
// Desktop entries are UTF-8 by their own standard, whatever else the program writes.
bool writeEntry(const QString &path, const QString &body, bool executable)
{
    if (!FileSystem().writeBytes(path, body.toUtf8()))
        return false;
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return true;
}

QString entryName(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}
}  // namespace

void open(const QUrl &url)
{
    if (const Seam::Handler &handler = Seam::current())
        handler(url);
    else
        QDesktopServices::openUrl(url);
}

bool writeLink(const QString &entryPath, const QString &target)
{
    return writeEntry(entryPath, u"[Desktop Entry]\nType=Link\nName=%1\nURL=%2\n"_s
                                     .arg(entryName(entryPath), target), false);
}

bool writeApplication(const QString &entryPath, const QString &program, const QString &name)
{
    return writeEntry(entryPath, u"[Desktop Entry]\nType=Application\nName=%1\nExec=\"%2\" %f\nTerminal=false\n"_s
                                     .arg(name, program), true);
}

}  // namespace Shell
