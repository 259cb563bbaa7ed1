// The request dialog: the record a calling program sends, and its answer.

#include "mainwindow/fmMain.h"

#include "BuildConfig.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/FormDefinition.h"
#include "mainwindow/RequestText.h"

#include <QEventLoop>
#include <QPointer>
#include <QPushButton>

void fmMain::ActA(QString &sCm, bool &accepted, const AnswerWriter &write)
{
    request_ = RequestText::fields(sCm);
    const RequestText::Record record = RequestText::recordFromRequest(request_, QString::fromUtf8(MapBaseURL));
    sZip = record.zip;
    sAdd = record.address;
    sCmp = record.company;
    sMapURL = record.mapUrl;
    bReqMode = true;
    bAccept = false;
    PutRow();
    cmMap[6]->setText(QString::fromUtf16(FormDefinition::kAcceptCaption));

    QPointer<fmMain> self(this);
    QEventLoop loop;
    connect(this, &fmMain::hidden, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    setWindowModality(Qt::ApplicationModal);
    inRequestDialog_ = true;
    answerWriter_ = write;
    show();
    loop.exec();
    if (!self)
        return;
    inRequestDialog_ = false;
    answerWriter_ = nullptr;  // it may refer to what the caller has since let go

    accepted = bAccept;
    if (bAccept) {
        GetRow();
        sCm = RequestText::answer(request_, {sZip, sAdd, sCmp, sMapURL});
    }
}

void fmMain::PutRow()
{
    bBusy = true;
    vAdd->setCellText(1, 1, sZip);
    vAdd->setCellText(2, 1, sAdd);
    vAdd->setCellText(3, 1, sCmp);
    vAdd->setCellText(4, 1, sMapURL);
    bBusy = false;
}

void fmMain::GetRow()
{
    sZip = vAdd->cellText(1, 1);
    sAdd = vAdd->cellText(2, 1);
    sCmp = vAdd->cellText(3, 1);
    sMapURL = vAdd->cellText(4, 1);
}
