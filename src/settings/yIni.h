#pragma once
// The program's settings and environment: the per-user data folder, the
// settings files in it, and the desktop's shortcuts and actions.

#include "settings/SettingsDocument.h"

#include <QString>
#include <QStringList>
#include <QVariant>

// The per-user data folder; always ends in the native separator.
extern QString sUsrFld;

class yIni
{
public:
    yIni();

    // User-data folder and folder helpers.
    void W_UserData(quintptr nWhnd);
    QString FsGtSpFld(int nFlg) const;
    void F_CreateFld(const QString &sFd) const;
    bool F_ChkSb(const QString &sPh, const QStringList &Ary) const;

    // Shell shortcuts and actions.
    // False when the page could not be handed to the desktop.
    bool W_Help(const QString &sJob);
    // The address W_Help opens for a page name.
    static QString helpPageUrl(const QString &sJob);
    void W_HtmView(const QString &sURL);
    // False, and no confirmation, when a shortcut could not be written.
    bool W_SendTo();
    void W_ExpFd(const QString &sFld, bool bOpn);

    // Settings store: one file and one group at a time.
    void GetTxt(const QString &sFL, bool &bOk);
    void GetGtx(const QString &sGp) { doc_.GetGtx(sGp); }
    QVariant vGtVal(const QString &sKy, const QVariant &vDef) const { return doc_.vGtVal(sKy, vDef); }
    void SetTxt(bool &bOk);
    void SetGtx() { doc_.SetGtx(); }
    bool SetVal(const QString &sKy, const QVariant &vVL) { return doc_.SetVal(sKy, vVL); }

    const QString &sFl() const { return sFl_; }
    const QString &sTxt() const { return doc_.sTxt; }

    // The folder the program runs from, without a trailing separator.
    static QString programFolder();
    // The program's executable as it is recorded and linked to.
    static QString executablePath();
    // Where the help pages are: the build-time address, or beside the program.
    static QString helpBase(const QString &page);

private:
    QString resolveChoice(const QString &setting, const QString &defaultFolder) const;

    quintptr nWnd = 0;
    QString sFl_;
    SettingsDocument doc_;
    // A file that could not be read is never overwritten by SetTxt.
    bool loadFailed_ = false;
};
