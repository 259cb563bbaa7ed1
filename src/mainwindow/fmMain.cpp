#include "mainwindow/fmMain.h"

// The window's make-up: its controls as the form defines them.

#include "Resources.h"
#include "postal/addresses/AddressComponent.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/CoordinatePanels.h"
#include "mainwindow/FormDefinition.h"
#include "platform/Twips.h"

#include <QLabel>
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

    // Japanese text on the controls comes from the grid's face rather than
    // from whatever face the system would fall back on: one look, and one
    // CJK font file to open at start instead of two.
    QFont controls = font();
    controls.setFamilies(QStringList{controls.family()} + japaneseFaces());
    setFont(controls);

    setWindowTitle(QString::fromUtf16(FormDefinition::kCaption));
    setWindowIcon(resourceIcon(u":/zenrook/zenrook.xpm"_s));
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
    connect(vAdd, &QTableWidget::cellChanged, this, [this](int row, int column) { vAdd_Change(column + 1, row + 1); });
    connect(vAdd, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { vAdd_DblClick(column + 1, row + 1); });
    tabOrder.emplace_back(FormDefinition::kGridTabOrder, QList<QWidget *>{vAdd});
    new CoordinatePanels(vAdd, stPanels[1], stPanels[2], this);

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QWidget *> chain;
    for (const auto &entry : tabOrder)
        chain += entry.second;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    // The first control in tab order takes the keyboard: typing goes straight
    // into the postal code.
    vAdd->setCurrentCell(0, 0);
    vAdd->setFocus();
}

