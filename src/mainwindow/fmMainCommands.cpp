// The commands, from their buttons or their function keys.

#include "mainwindow/fmMain.h"

#include "postal/addresses/AddressComponent.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressChooser.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/FormDefinition.h"
#include "mainwindow/RequestText.h"
#include "platform/AnsiCodec.h"
#include "platform/MessageBox.h"
#include "settings/yIni.h"
#include "startup/Usr.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QWindow>

using namespace Qt::StringLiterals;

void fmMain::Form_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    for (const FormDefinition::Button &def : FormDefinition::kButtons) {
        if (def.functionKey == keyCode) {
            cmMap_Click(def.index);
            return;
        }
    }
}

void fmMain::cmMap_Click(int Index)
{
    if (Index < 0 || Index >= FormDefinition::kButtonCount || !cmMap[size_t(Index)])
        return;
    // What is being typed counts, whichever key or button comes next.
    vAdd->commitOpenEditor();
    emit commandStarted(Index);
    switch (Index) {
    case 0:
        bBusy = true;
        for (int column = 1; column <= 4; ++column)
            vAdd->setCellText(column, 1, QString());
        EnbCopy(false);
        bBusy = false;
        break;
    case 1:
        GetRow();
        if (!cmMap[1]->isEnabled() || !oAdd)
            return;
        lookUpAddress();
        break;
    case 2:
        GetRow();
        MapSearch(sAdd);
        break;
    case 4:
        GetRow();
        MapSearch(sCmp + QLatin1Char(' ') + sAdd);
        break;
    case 6:
        if (bReqMode)
            acceptRequest();
        else
            copyRecord();
        break;
    case 7:
        // Help is never out of reach: without a desktop to open it, the
        // pane shows it.
        if (!Ini().W_Help(u"zenrook.htm"_s))
            uWeb->setURL(yIni::helpPageUrl(u"zenrook.htm"_s));
        break;
    case 8:
        if (bReqMode) {
            bAccept = false;
            hide();
        } else {
            close();
        }
        break;
    default:
        break;
    }
}

void fmMain::lookUpAddress()
{
    // Whatever comes of it, the keys held while choosing act afterwards.
    const auto replay = qScopeGuard([this] {
        for (std::unique_ptr<QEvent> &key : std::exchange(heldKeys_, {}))
            QCoreApplication::postEvent(windowHandle(), key.release());
    });
    choosing_ = true;
    const AddressChooser::Completion done = AddressChooser::complete(*oAdd, sZip, sAdd, sCmp, vAdd);
    choosing_ = false;
    switch (done.outcome) {
    case AddressChooser::Completion::Outcome::Cancelled:
        return;  // several places and none chosen: the row stays as it was
    case AddressChooser::Completion::Outcome::Failed:
        MessageBox::show(u"郵便番号辞書を読めないため、住所を検索できません。"_s + QLatin1Char('\r') + done.problem, this);
        StMsg(u"対象が見つかりません"_s, 0);
        return;
    case AddressChooser::Completion::Outcome::NotFound:
        StMsg(u"対象が見つかりません"_s, 0);
        return;
    case AddressChooser::Completion::Outcome::Completed:
        break;
    }
    PutRow();
    EnbCopy(true);
    vAdd->setActiveCell(3, 1);
    // The postal service's answer for a city alone is its catch-all code;
    // the user is told that is what it is.
    StMsg(done.certainty == Certainty::CatchAll ? u"町域が特定できないため市区町村の番号です"_s : QString(), 0);
}

void fmMain::copyRecord()
{
    GetRow();
    const QChar tab(QLatin1Char('\t'));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(sZip + tab + sAdd + tab + sCmp + tab + sMapURL);
    MessageBox::show(u"クリップボードに住所情報を貼り付けました"_s, this);
}

void fmMain::acceptRequest()
{
    // The answer goes into a code page 932 file: what it cannot hold is
    // named now, while the user can still change it.
    GetRow();
    const AnsiCodec::Encoded answer = AnsiCodec::encode(sZip + sAdd + sCmp + sMapURL);
    if (!answer.ok) {
        MessageBox::show(u"Shift-JIS で表せない文字があるため回答できません: "_s + answer.unrepresentable
                             + QLatin1Char('\r') + u"該当する文字を直してから、もう一度 F9 を押してください"_s,
                         this);
        return;
    }
    if (answerWriter_) {
        const QString failure = answerWriter_(RequestText::answer(request_, {sZip, sAdd, sCmp, sMapURL}));
        if (!failure.isEmpty()) {
            MessageBox::show(failure, this);
            return;
        }
    }
    bAccept = true;
    hide();
}
