#include "platform/Shell.h"

#include "platform/DesktopEntryText.h"
#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace Shell {

namespace {
// Desktop entries are UTF-8 by their own standard, whatever else the program writes.
bool writeUtf8(const QString &path, const QString &body, bool executable)
{
    if (!FileSystem().writeBytes(path, body.toUtf8()))
        return false;
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser
                                        | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    return true;
}

QString entryName(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}
}  // namespace

bool open(const QUrl &url)
{
    if (const Seam::Handler &handler = Seam::current())
        return handler(url);
    return QDesktopServices::openUrl(url);
}

bool writeLink(const QString &entryPath, const QString &target)
{
    const auto name = DesktopEntryText::value(entryName(entryPath));
    const auto url = DesktopEntryText::value(target);
    if (!name || !url)
        return false;
    return writeUtf8(entryPath, u"[Desktop Entry]\nType=Link\nName=%1\nURL=%2\n"_s.arg(*name, *url), false);
}

bool writeApplication(const QString &entryPath, const QString &program, const QString &name)
{
    const auto shownName = DesktopEntryText::value(name);
    const auto exec = DesktopEntryText::execArgument(program);
    if (!shownName || !exec)
        return false;
    return writeUtf8(entryPath, u"[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %f\nTerminal=false\n"_s
                                    .arg(*shownName, *exec), true);
}

bool writeFileManagerScript(const QString &scriptPath, const QString &program)
{
    const auto quoted = DesktopEntryText::shellArgument(program);
    if (!quoted)
        return false;
    // The file manager runs the script in the folder it shows, with the
    // selected files as arguments; the program wants full paths, one request
    // at a time.
    const QString body = u"#!/bin/sh\n"
                         u"# Hands the selected files to %1, one after the other.\n"
                         u"for f in \"$@\"; do\n"
                         u"  case $f in\n"
                         u"    /*) ;;\n"
                         u"    *) f=$PWD/$f ;;\n"
                         u"  esac\n"
                         u"  %2 \"$f\"\n"
                         u"done\n"_s.arg(QFileInfo(program).fileName(), *quoted);
    return writeUtf8(scriptPath, body, true);
}

bool writeServiceMenu(const QString &entryPath, const QString &program, const QString &name)
{
    const auto shownName = DesktopEntryText::value(name);
    const auto exec = DesktopEntryText::execArgument(program);
    if (!shownName || !exec)
        return false;
    return writeUtf8(entryPath, u"[Desktop Entry]\nType=Service\nName=%1\nMimeType=text/plain;\nActions=open\n"
                                u"X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n\n"
                                u"[Desktop Action open]\nName=%1\nExec=%2 %f\n"_s.arg(*shownName, *exec), true);
}

}  // namespace Shell
