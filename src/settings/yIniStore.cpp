// The settings store's file side: loading and saving the whole text.

#include "settings/yIni.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "startup/Usr.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

yIni::yIni()
{
    doc_.onDamaged = [this](const QString &name) {
        MessageBox::show(u"<"_s + name + u"> の設定が読み込めません"_s + QLatin1Char('\r')
                         + u"ﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + sFl_ + u") が破損しています"_s);
    };
}

void yIni::GetTxt(const QString &sFL, bool &bOk)
{
    doc_.sTxt.clear();
    // "x_DV.xml" names the same file as "x.xml": the developer build shares it.
    static const QRegularExpression dv(u"_DV\\.xml"_s, QRegularExpression::CaseInsensitiveOption);
    sFl_ = sFL;
    const QRegularExpressionMatch m = dv.match(sFl_);
    if (m.hasMatch())
        sFl_.replace(m.capturedStart(), m.capturedLength(), u".xml"_s);
    FsoInit();
    bOk = false;
    loadFailed_ = true;
    if (oFso->FileExists(sFl_)) {
        const FileSystem::TextRead read = oFso->readText(sFl_);
        if (read.error != FileSystem::Error::None)
            return;
        // Read whole, even when the first line is empty: nothing the user
        // wrote is dropped by the next save.
        doc_.sTxt = read.text;
    } else if (!oFso->writeBytes(sFl_, QByteArray())) {
        return;
    }
    if (doc_.sTxt.isEmpty())
        doc_.sTxt = SettingsDocument::skeleton();
    loadFailed_ = false;
    bOk = true;
}

void yIni::SetTxt(bool &bOk)
{
    if (sFl_.isEmpty())
        return;
    FsoInit();
    // A settings file may sit in a folder the user cannot write to while the
    // file itself is writable: it is then written in place.
    bOk = !loadFailed_
          && oFso->writeText(sFl_, doc_.sTxt, FileSystem::Replace::InPlaceIfNeeded).error == FileSystem::Error::None;
}
