#include "browser/uWeb.h"

#include "BuildConfig.h"
#include "Resources.h"
#include "browser/PaneLayout.h"
#include "browser/QuietEngineAdvice.h"
#include "platform/Twips.h"
#include "startup/Usr.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct ToolbarButton {
    int index;
    const char16_t *toolTip;
    const char16_t *icon;
    QSize size;
};

// In tab order; the browser and then the URL box follow.
constexpr ToolbarButton kToolbar[] = {
    {2, u"前のﾍﾟ-ｼﾞに移動", u":/zenrook/icons/back.xpm", {16, 16}},
    {3, u"次のﾍﾟ-ｼﾞに移動", u":/zenrook/icons/forward.xpm", {16, 16}},
    {4, u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します", u":/zenrook/icons/home.xpm", {19, 20}},
    {5, u"検索ﾍﾟ-ｼﾞに移動します", u":/zenrook/icons/search.xpm", {20, 20}},
    {6, u"現在のﾍﾟ-ｼﾞを印刷", u":/zenrook/icons/print.xpm", {20, 18}},
    {7, u"ﾍﾟ-ｼﾞ設定", u":/zenrook/icons/pagesetup.xpm", {15, 13}},
    {8, u"現在のﾍﾟ-ｼﾞを保存します", u":/zenrook/icons/save.xpm", {16, 15}},
    {9, u"ﾂ-ﾙﾊﾞ-を表示します", u":/zenrook/icons/toolbars.xpm", {16, 14}},
};

const QString kBlank = u"about:blank"_s;
const QString kLooking = u"Looking.."_s;

// Loading the module holds the event loop for a while. A key pressed the
// moment the window appears (a request answered at once) arrives within
// this and is served first; such an answer never loads the engine at all.
constexpr std::chrono::milliseconds kModuleDelay{200};

}  // namespace

uWeb::uWeb(QWidget *parent, QStringList modulePlaces)
    : QWidget(parent), modulePlaces_(std::move(modulePlaces))
{
    ensureResources();
    const qreal dpi = Twips::logicalDpi(this);
    for (const ToolbarButton &def : kToolbar) {
        auto *button = new QToolButton(this);
        button->setObjectName(u"ssCom_%1"_s.arg(def.index));
        button->setToolTip(QString::fromUtf16(def.toolTip));
        button->setIcon(resourceIcon(QString::fromUtf16(def.icon)));
        button->setIconSize(def.size);
        button->setAutoRaise(true);
        button->setGeometry(Twips::toPixels(QRect(105 + (def.index - 2) * 600, 60, 600, 315), dpi));
        const int index = def.index;
        connect(button, &QToolButton::clicked, this, [this, index] { ssCom_Click(index); });
        ssCom[size_t(def.index)] = button;
    }

    // The pane starts on a blank page, which has no tool bars of its own.
    ssCom[9]->setEnabled(false);

    // A blank page's look until the browser is there.
    WebBrwStandIn = new QLabel(this);
    WebBrwStandIn->setObjectName(u"WebBrwStandIn"_s);
    WebBrwStandIn->setAutoFillBackground(true);
    WebBrwStandIn->setBackgroundRole(QPalette::Base);
    WebBrwStandIn->setAlignment(Qt::AlignCenter);
    WebBrwStandIn->setWordWrap(true);
    WebBrwStandIn->setGeometry(Twips::toPixels(QRect(45, 435, 8925, 1305), dpi));

    txURL = new QLineEdit(kLooking, this);
    txURL->setObjectName(u"txURL"_s);
    txURL->setFrame(false);
    txURL->setGeometry(Twips::toPixels(QRect(4995, 60, 4095, 315), dpi));
    const QList<QWidget *> order = tabSequence();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    setFocusProxy(ssCom[2]);

    // Enter navigates to the text as typed.
    connect(txURL, &QLineEdit::returnPressed, this, [this] {
        const QString text = txURL->text();
        const QUrl url(text);
        goTo(url.scheme().isEmpty() ? QUrl::fromUserInput(text) : url);
    });

    pendingUrl_ = QUrl(kBlank);
    pending_.emplace_back([](BrowserEngine &engine) { engine.navigate(QUrl(kBlank)); });
}

uWeb::~uWeb()
{
    engine_.reset();
}

QList<QWidget *> uWeb::tabSequence() const
{
    QList<QWidget *> order;
    for (int i = 2; i <= 9; ++i)
        order << ssCom[size_t(i)];
    // The view itself takes no focus; the page's surface inside it does.
    if (WebBrw)
        order << (WebBrw->focusProxy() ? WebBrw->focusProxy() : WebBrw);
    order << txURL;
    return order;
}

void uWeb::showInBox(const QString &text)
{
    // A long URL is known by its scheme and host, not by its last parameters.
    txURL->setText(text);
    txURL->setCursorPosition(0);
}

void uWeb::withEngine(std::function<void(BrowserEngine &)> op)
{
    if (engine_)
        op(*engine_);
    else if (state_ != Engine::Unavailable)
        pending_.push_back(std::move(op));
}

void uWeb::goTo(const QUrl &url)
{
    if (state_ == Engine::Unavailable) {
        // Nothing can show it; the box at least tells where it would have gone.
        showInBox(url.toString() == kBlank ? QString() : url.toString(QUrl::FullyEncoded));
        return;
    }
    if (!engine_) {
        pendingUrl_ = url;
        showInBox(kLooking + url.toString(QUrl::FullyEncoded));
    }
    withEngine([url](BrowserEngine &engine) { engine.navigate(url); });
}

QString uWeb::URL() const
{
    if (engine_)
        return engine_->url().toString(QUrl::FullyEncoded);
    return state_ == Engine::Unavailable ? QString() : pendingUrl_.toString(QUrl::FullyEncoded);
}

void uWeb::setURL(const QString &sURL)
{
    if (WebBrw)
        WebBrw->setVisible(true);
    if (!sCurURL.isEmpty() && sURL.toLower() == sCurURL.toLower()) {
        Refresh();
        return;
    }
    if (sURL.isEmpty()) {
        goTo(QUrl(kBlank));
        return;
    }
    // A URL from a request file may end in its line end, which belongs to
    // the field; browsers drop blanks and controls around an address.
    goTo(QUrl(sURL.trimmed()));
    if (engine_)
        QCoreApplication::processEvents();
}

void uWeb::Refresh()
{
    withEngine([](BrowserEngine &engine) { engine.reload(); });
}

void uWeb::SetText(const QString &sTx)
{
    showInBox(sTx);
}

void uWeb::RetCom(int iJb)
{
    ssCom_Click(iJb);
}

void uWeb::ssCom_Click(int Index)
{
    switch (Index) {
    case 2:
        withEngine([](BrowserEngine &engine) { engine.back(); });
        break;
    case 3:
        withEngine([](BrowserEngine &engine) { engine.forward(); });
        break;
    case 4:
        goTo(QUrl(QString::fromUtf8(MapBaseURL)));
        break;
    case 5:
        goTo(QUrl(QString::fromUtf8(MapSearchHead)));
        break;
    case 6:
        withEngine([](BrowserEngine &engine) { engine.print(); });
        break;
    case 7:
        withEngine([](BrowserEngine &engine) { engine.pageSetup(); });
        break;
    case 8:
        withEngine([](BrowserEngine &engine) { engine.saveAs(); });
        break;
    case 9:
        // Hides or shows the pane's own bars; button 9 stays to bring them back.
        for (int i = 2; i <= 8; ++i)
            ssCom[size_t(i)]->setVisible(!ssCom[size_t(i)]->isVisible());
        txURL->setVisible(ssCom[2]->isVisible());
        break;
    default:
        return;
    }
    QCoreApplication::processEvents();
}

void uWeb::navigationStarting(const QUrl &url)
{
    showInBox(kLooking + url.toString(QUrl::FullyEncoded));
}

void uWeb::navigationCompleted(const QUrl &url)
{
    placeViewInTabChain();
    const QString s = url.toString(QUrl::FullyEncoded);
    sCurURL = s == kBlank ? QString() : s;
    showInBox(sCurURL);
    const QString tail = sCurURL.right(3).toLower();
    ssCom[9]->setEnabled(tail == u"xls"_s || tail == u"doc"_s);
}

void uWeb::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The engine loads once the window has been painted: the window is on
    // screen without waiting for it.
    if (state_ == Engine::Waiting || state_ == Engine::Loaded)
        window()->installEventFilter(this);
}

bool uWeb::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::Paint) {
        window()->removeEventFilter(this);
        if (state_ == Engine::Waiting) {
            state_ = Engine::Scheduled;
            QTimer::singleShot(kModuleDelay, this, &uWeb::loadModule);
        } else if (state_ == Engine::Loaded) {
            QMetaObject::invokeMethod(this, &uWeb::startEngine, Qt::QueuedConnection);
        }
    }
    return false;
}

void uWeb::loadModule()
{
    if (!window()->isVisible()) {
        state_ = Engine::Waiting;  // next time it is shown
        return;
    }
    const BrowserEngineLoader::Result loaded = BrowserEngineLoader::load(modulePlaces_);
    if (!loaded.factory) {
        engineUnavailable(loaded);
        return;
    }
    factory_ = loaded.factory;
    state_ = Engine::Loaded;
    QMetaObject::invokeMethod(this, &uWeb::startEngine, Qt::QueuedConnection);
}

void uWeb::startEngine()
{
    if (engine_ || state_ != Engine::Loaded)
        return;
    // Keys pressed meanwhile go first: a request answered at once ends
    // here without ever starting the engine.
    const QPointer<uWeb> self(this);
    QCoreApplication::processEvents();
    if (!self || engine_ || !window()->isVisible())
        return;  // started by the next showing

    const QuietEngineAdvice quiet;
    engine_ = factory_->create(this, *this);
    state_ = Engine::Ready;
    WebBrw = engine_->view();
    WebBrw->setGeometry(WebBrwStandIn->geometry());
    WebBrwStandIn->hide();
    WebBrw->show();

    std::vector<std::function<void(BrowserEngine &)>> work;
    work.swap(pending_);
    for (auto &op : work)
        op(*engine_);
    placeViewInTabChain();
}

void uWeb::placeViewInTabChain()
{
    // Between the toolbar and the URL box. The page's surface, which takes
    // the focus, comes with the first page: placed again once that is there.
    QWidget *focusTarget = WebBrw->focusProxy() ? WebBrw->focusProxy() : WebBrw;
    QWidget::setTabOrder(ssCom[9], focusTarget);
    QWidget::setTabOrder(focusTarget, txURL);
}

void uWeb::engineUnavailable(const BrowserEngineLoader::Result &why)
{
    state_ = Engine::Unavailable;
    pending_.clear();
    WebBrwStandIn->setText(u"地図を表示できません。\n"_s + why.reason);
    if (txURL->text().startsWith(kLooking))
        showInBox(pendingUrl_.toString() == kBlank ? QString() : pendingUrl_.toString(QUrl::FullyEncoded));
    QString line = why.detail;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "zenrook: no map view: %s\n", qPrintable(line));
}

void uWeb::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void uWeb::layoutChildren()
{
    if (!bRunning)
        return;
    const qreal dpi = Twips::logicalDpi(this);
    const PaneLayout l = computePaneLayout(Twips::fromPixels(width(), dpi), Twips::fromPixels(height(), dpi));
    for (int i = 2; i <= 9; ++i)
        ssCom[size_t(i)]->setGeometry(Twips::toPixels(l.toolbar[size_t(i - 2)], dpi));
    if (l.urlBox)
        txURL->setGeometry(Twips::toPixels(*l.urlBox, dpi));
    const QRect browser = Twips::toPixels(l.browser, dpi);
    WebBrwStandIn->setGeometry(browser);
    if (WebBrw)
        WebBrw->setGeometry(browser);
}
