// Shortcuts and actions handed to the desktop.

#include "settings/yIni.h"

#include "BuildConfig.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/SpecialFolders.h"
#include "startup/Usr.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString yIni::helpBase(const QString &page)
{
    const QString base = QString::fromUtf8(HelpBaseURL);
    const QUrl url(base);
    // A program run from its build folder, or installed under another
    // prefix, finds its pages beside it.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile() + page)) {
        for (const QString &folder : {programFolder() + u"/help/"_s, programFolder() + u"/../share/zenrook/help/"_s}) {
            const QString clean = QDir::cleanPath(folder) + u"/"_s;
            if (QFileInfo::exists(clean + page))
                return QUrl::fromLocalFile(clean).toString();
        }
    }
    return base;
}

QString yIni::helpPageUrl(const QString &sJob)
{
    QString page = sJob.toLower();
    if (!page.contains(QLatin1Char('.')))
        page += u".htm"_s;
    return helpBase(page) + page;
}

bool yIni::W_Help(const QString &sJob)
{
    const QString target = helpPageUrl(sJob);
    const QString entry = sUsrFld + sExeName + u"_help.desktop"_s;
    if (!Shell::writeLink(entry, target))
        return false;
    return Shell::open(QUrl(target));
}

void yIni::W_HtmView(const QString &sURL)
{
    // "Wrk" is not created here: without it nothing happens.
    const QString entry = sUsrFld + u"Wrk"_s + QDir::separator() + u"htm_view.desktop"_s;
    if (!Shell::writeLink(entry, sURL))
        return;
    Shell::open(QUrl::fromUserInput(sURL));
}

bool yIni::W_SendTo()
{
    const QString sendTo = FsGtSpFld(SpecialFolders::SendTo);
    const QString exe = executablePath();
    if (sendTo.isEmpty() || !Shell::writeFileManagerScript(sendTo + QDir::separator() + sExeName, exe))
        return false;
    // An entry this program once left there would fail as a script.
    QFile::remove(sendTo + QDir::separator() + sExeName + u".desktop"_s);
    // KDE's file manager takes a service menu instead; where there is one to
    // write, it is part of the shortcut, and no confirmation without it.
    const QString serviceMenus = SpecialFolders::serviceMenus();
    if (!serviceMenus.isEmpty()
        && (QFileInfo(serviceMenus).isDir() || qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(u"KDE"_s))
        && !(QDir().mkpath(serviceMenus)
             && Shell::writeServiceMenu(serviceMenus + QDir::separator() + sExeName + u".desktop"_s, exe, sExeName)))
        return false;
    MessageBox::show(exe + u" のｼｮｰﾄｶｯﾄを "_s + sendTo + u" に作成しました"_s);
    return true;
}

void yIni::W_ExpFd(const QString &sFld, bool bOpn)
{
    if (sFld.isEmpty())
        return;
    if (!bOpn) {
        FsoInit();
        if (!oFso->FolderExists(sFld))
            return;
    }
    Shell::open(QUrl::fromLocalFile(sFld));
}
