// The address record as the world changes it: copied map addresses, the
// user's edits, and the helpers the commands share.

#include "mainwindow/fmMain.h"

#include "BuildConfig.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "maps/MapSearch.h"
#include "maps/MapService.h"

#include <QLabel>
#include <QPushButton>

void fmMain::ClipEvent(const QString &sClp)
{
    const QString url = MapService::capturedPage(sClp, QString::fromUtf8(MapBaseURL));
    if (url.isEmpty())
        return;
    vAdd->commitOpenEditor();
    uWeb->SetText(url);
    sMapURL = url;
    vAdd->setCellText(4, 1, sMapURL);
    bAccept = true;
    EnbCopy(true);
    GetRow();
}

void fmMain::EnbCopy(bool enabled)
{
    cmMap[6]->setEnabled(enabled);
}

void fmMain::StMsg(const QString &text, int panel)
{
    if (panel >= 0 && size_t(panel) < stPanels.size())
        stPanels[size_t(panel)]->setText(text);
}

void fmMain::vAdd_Change(int, int)
{
    if (!bBusy)
        EnbCopy(true);
}

void fmMain::vAdd_DblClick(int column, int)
{
    if (column != 4)
        return;
    const QString url = vAdd->cellText(4, 1);
    if (!url.isEmpty())
        uWeb->setURL(url);
}

void fmMain::MapSearch(const QString &text)
{
    uWeb->setURL(MapSearchURL(text));
}
