#include "mainwindow/fmMain.h"

#include "BuildConfig.h"
#include "Resources.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/FormDefinition.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/MapSearch.h"
#include "mainwindow/RequestText.h"
#include "platform/BusyPointer.h"
#include "platform/Twips.h"
#include "startup/Usr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QWindow>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

fmMain::fmMain()
{
    ensureResources();
    buildForm();
    // Key preview: the window sees every key before the focused control.
    winId();
    windowHandle()->installEventFilter(this);
    Form_Load();
}

fmMain::~fmMain() = default;

void fmMain::buildForm()
{
    const qreal dpi = Twips::logicalDpi(this);
    auto px = [dpi](const QRect &twips) { return Twips::toPixels(twips, dpi); };

    setWindowTitle(QString::fromUtf16(FormDefinition::kCaption));
    setWindowIcon(QIcon(u":/zenrook/zenrook.xpm"_s));
    setGeometry(px(QRect(FormDefinition::kClientLeft, FormDefinition::kClientTop,
                         FormDefinition::kClientWidth, FormDefinition::kClientHeight)));

    // Tab visits the controls by their tab index; the pane counts with the
    // controls inside it.
    std::vector<std::pair<int, QList<QWidget *>>> tabOrder;
    for (const FormDefinition::Button &def : FormDefinition::kButtons) {
        auto *button = new QPushButton(QString::fromUtf16(def.caption), this);
        button->setObjectName(u"cmMap_%1"_s.arg(def.index));
        if (def.toolTip)
            button->setToolTip(QString::fromUtf16(def.toolTip));
        button->setGeometry(px(def.twips));
        button->setAutoDefault(false);
        const int index = def.index;
        connect(button, &QPushButton::clicked, this, [this, index] { cmMap_Click(index); });
        cmMap[size_t(def.index)] = button;
        tabOrder.emplace_back(def.tabOrder, QList<QWidget *>{button});
    }
    cmMap[6]->setEnabled(false);

    uWeb = new ::uWeb(this);
    uWeb->setObjectName(u"uWeb"_s);
    uWeb->setGeometry(px(FormDefinition::kPaneTwips));
    tabOrder.emplace_back(FormDefinition::kPaneTabOrder, uWeb->tabSequence());

    stBar = new QStatusBar(this);
    stBar->setObjectName(u"stBar"_s);
    stBar->setFont(gridFont(FormDefinition::kStatusPointSize));
    stBar->setGeometry(px(FormDefinition::kStatusTwips));
    const int panelWidth = Twips::toPixels(FormDefinition::kStatusPanelWidth, dpi);
    for (size_t i = 0; i < stPanels.size(); ++i) {
        stPanels[i] = new QLabel(stBar);
        stPanels[i]->setMinimumWidth(panelWidth);
        stPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 0)
            stBar->addWidget(stPanels[i], 1);
        else
            stBar->addPermanentWidget(stPanels[i]);
    }

    vAdd = new AddressGrid(this);
    vAdd->setObjectName(u"vAdd"_s);
    vAdd->setGeometry(px(FormDefinition::kGridTwips));
    tabOrder.emplace_back(FormDefinition::kGridTabOrder, QList<QWidget *>{vAdd});

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QWidget *> chain;
    for (const auto &entry : tabOrder)
        chain += entry.second;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void fmMain::Form_Load()
{
    bRunning = true;
}

void fmMain::Form_Activate()
{
    BusyPointer::setDefault();
    raise();
    activateWindow();
    if (bReqMode) {
        if (!sMapURL.isEmpty())
            uWeb->setURL(sMapURL);
        else if (!sAdd.isEmpty())
            MapSearch(sAdd);
    }
}

void fmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const MainLayout layout = computeMainLayout(size(), uWeb->y(), stBar->height());
    uWeb->setGeometry(layout.pane);
    stBar->setGeometry(layout.statusBar);
}

void fmMain::Form_QueryUnload()
{
    bRunning = false;
    UnloadAll();
}

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
    emit commandStarted(Index);
    switch (Index) {
    case 2:
        GetRow();
        MapSearch(sAdd);
        break;
    case 4:
        GetRow();
        MapSearch(sCmp + QLatin1Char(' ') + sAdd);
        break;
    case 6:
        if (bReqMode) {
            bAccept = true;
            hide();
        }
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

void fmMain::ActA(QString &sCm, bool &accepted)
{
    const QStringList request = RequestText::fields(sCm);
    const RequestText::Record record = RequestText::recordFromRequest(request, QString::fromUtf8(MapBaseURL));
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
    show();
    loop.exec();
    if (!self)
        return;
    inRequestDialog_ = false;

    accepted = bAccept;
    if (bAccept) {
        GetRow();
        sCm = RequestText::answer(request, {sZip, sAdd, sCmp, sMapURL});
    }
}

void fmMain::MapSearch(const QString &text)
{
    uWeb->setURL(MapSearchURL(text));
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

bool fmMain::eventFilter(QObject *watched, QEvent *event)
{
    // The platform window receives each key once, before any control does.
    if (watched == static_cast<QObject *>(windowHandle()) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        Form_KeyDown(key->key(), key->modifiers());
    }
    return false;  // the focused control still gets the key
}

void fmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void fmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void fmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Resize();
    // Once the window is up, as the platform's activation would.
    QMetaObject::invokeMethod(this, [this] { if (isVisible()) Form_Activate(); }, Qt::QueuedConnection);
}

void fmMain::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

void fmMain::closeEvent(QCloseEvent *event)
{
    // The close box during a request dialog is a cancel: the file stays as it was.
    if (inRequestDialog_)
        bAccept = false;
    event->accept();
    Form_QueryUnload();
}
