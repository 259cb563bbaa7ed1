// The per-user data folder: where settings live, steered by "UserData.ini"
// beside the program, and the record of where the program itself is.

#include "settings/yIni.h"

#include "platform/AnsiCodec.h"
#include "platform/AppSettings.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/SpecialFolders.h"
#include "settings/UserDataChoice.h"
#include "startup/Usr.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

QString sUsrFld;

namespace {

const QChar kSep = QDir::separator();
const QString kUserFolderIs = u"ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは"_s + QChar(0x3000);
const QString kWillUse = u" を使用します"_s;

// The choice is one line naming at most a path; what lies beyond the first
// line break, or beyond any path's length, cannot change it, so a huge file
// is not read whole.
constexpr qint64 kMaxChoiceBytes = 4096 + 2;

FileSystem::TextRead readChoice(const QString &path)
{
    FileSystem::TextRead result;
    QByteArray bytes;
    if (!oFso->readBytes(path, &bytes, kMaxChoiceBytes)) {
        result.error = FileSystem::Error::Unreadable;
        return result;
    }
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd >= 0)
        bytes.truncate(lineEnd + 1);
    AnsiCodec::Decoded decoded = AnsiCodec::decode(bytes);
    // Cut at the limit, the last character may have lost its second byte.
    if (!decoded.ok && lineEnd < 0 && bytes.size() == kMaxChoiceBytes && decoded.errorOffset == bytes.size() - 1)
        decoded = AnsiCodec::decode(bytes.chopped(1));
    if (!decoded.ok) {
        result.error = FileSystem::Error::InvalidText;
        result.errorOffset = decoded.errorOffset;
        return result;
    }
    result.text = decoded.text;
    return result;
}

QString withSeparator(const QString &path)
{
    return path.endsWith(kSep) ? path : path + kSep;
}

}  // namespace

QString yIni::programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString yIni::executablePath()
{
#ifdef Q_OS_WIN
    return programFolder() + kSep + sExeName + u".exe"_s;
#else
    return programFolder() + kSep + sExeName;
#endif
}

QString yIni::FsGtSpFld(int nFlg) const
{
    return SpecialFolders::path(nFlg);
}

void yIni::F_CreateFld(const QString &sFd) const
{
    FsoInit();
    if (oFso->FolderExists(sFd))
        return;
    const QString path = withSeparator(sFd);
    // Each level in turn, the root (or a drive) never.
    bool first = true;
    for (qsizetype i = path.indexOf(kSep); i >= 0; i = path.indexOf(kSep, i + 1)) {
#ifdef Q_OS_WIN
        const bool skip = first;
#else
        const bool skip = first && i == 0;
#endif
        first = false;
        if (skip)
            continue;
        const QString level = path.left(i);
        if (!level.isEmpty() && !oFso->FolderExists(level))
            oFso->CreateFolder(level);
    }
}

bool yIni::F_ChkSb(const QString &sPh, const QStringList &Ary) const
{
    FsoInit();
    for (const QString &name : Ary) {
        const QString folder = sPh + name;
        if (!oFso->FolderExists(folder) && !oFso->CreateFolder(folder))
            return false;
    }
    return true;
}

void yIni::W_UserData(quintptr nWhnd)
{
    nWnd = nWhnd;
    const QString programDir = withSeparator(programFolder());
    FsoInit();

    const QString exe = executablePath();
    const QString recorded = AppSettings::read(u"HalvorinTools"_s, u"Path"_s, sExeName);
    if (recorded.toLower() != exe.toLower())
        AppSettings::write(u"HalvorinTools"_s, u"Path"_s, sExeName, exe);

    const QString defaultFolder = FsGtSpFld(SpecialFolders::AppData) + kSep + u"Halvorin"_s + kSep + sExeName + kSep;
    QString setting = u"%applicaion data%"_s;
    const QString choiceFile = programDir + u"UserData.ini"_s;
    if (!oFso->FileExists(choiceFile)) {
        MessageBox::show(choiceFile + u" が見つかりません"_s + QLatin1Char('\r') + kUserFolderIs + defaultFolder + kWillUse);
    } else {
        const FileSystem::TextRead read = readChoice(choiceFile);
        if (read.error != FileSystem::Error::None) {
            const QString why = read.error == FileSystem::Error::InvalidText
                                    ? u"（Shift-JIS として読めない文字があります）"_s
                                    : u"（読み取りの権限がないか、ほかのプログラムが使用中です）"_s;
            MessageBox::show(choiceFile + u" を読み込めません"_s + why + QLatin1Char('\r') + kUserFolderIs
                             + defaultFolder + kWillUse);
        } else if (UserDataChoice::settingOf(read.text).isEmpty()) {
            MessageBox::show(u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません"_s + QLatin1Char('\r') + defaultFolder + kWillUse);
        } else {
            setting = read.text;
        }
    }
    sUsrFld = resolveChoice(setting, defaultFolder);
    if (!oFso->FolderExists(sUsrFld))
        F_CreateFld(sUsrFld);
}

QString yIni::resolveChoice(const QString &setting, const QString &defaultFolder) const
{
    switch (UserDataChoice::classify(setting)) {
    case UserDataChoice::Kind::ProgramFolder:
        return withSeparator(programFolder()) + u"usData"_s + kSep;
    case UserDataChoice::Kind::Documents:
        return FsGtSpFld(SpecialFolders::Documents) + kSep + u"Halvorin"_s + kSep + sExeName + kSep;
    case UserDataChoice::Kind::Default:
        return defaultFolder;
    case UserDataChoice::Kind::Named:
        break;
    }
    // Folder names keep their letter case here: lower-cased they would name
    // another folder.
    if (oFso->FolderExists(setting))
        return withSeparator(setting);
    MessageBox::show(u"ﾌｫﾙﾀﾞ "_s + setting.toLower() + u" が見つかりません"_s + QLatin1Char('\r') + kUserFolderIs
                     + defaultFolder + kWillUse);
    return defaultFolder;
}
