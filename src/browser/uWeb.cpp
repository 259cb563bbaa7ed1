#include "browser/uWeb.h"

#include "BuildConfig.h"
#include "Resources.h"
#include "browser/BrowserPage.h"
#include "browser/PaneLayout.h"
#include "platform/Twips.h"
#include "startup/Usr.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <QWebEngineView>

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

}  // namespace

uWeb::uWeb(QWidget *parent) : QWidget(parent)
{
    ensureResources();
    const qreal dpi = Twips::logicalDpi(this);
    for (const ToolbarButton &def : kToolbar) {
        auto *button = new QToolButton(this);
        button->setObjectName(u"ssCom_%1"_s.arg(def.index));
        button->setToolTip(QString::fromUtf16(def.toolTip));
        button->setIcon(QIcon(QString::fromUtf16(def.icon)));
        button->setIconSize(def.size);
        button->setAutoRaise(true);
        button->setGeometry(Twips::toPixels(QRect(105 + (def.index - 2) * 600, 60, 600, 315), dpi));
        const int index = def.index;
        connect(button, &QToolButton::clicked, this, [this, index] { ssCom_Click(index); });
        ssCom[size_t(def.index)] = button;
    }

    WebBrw = new QWebEngineView(this);
    WebBrw->setObjectName(u"WebBrw"_s);
    page_ = new BrowserPage(WebBrw);
    WebBrw->setPage(page_);
    WebBrw->setGeometry(Twips::toPixels(QRect(45, 435, 8925, 1305), dpi));

    txURL = new QLineEdit(u"Text1"_s, this);
    txURL->setObjectName(u"txURL"_s);
    txURL->setFrame(false);
    txURL->setGeometry(Twips::toPixels(QRect(4995, 60, 4095, 315), dpi));
    const QList<QWidget *> order = tabSequence();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    setFocusProxy(ssCom[2]);

    connect(page_, &BrowserPage::navigationStarting, this, &uWeb::beforeNavigate);
    // Completed main-frame loads only: the engine reports neither frames'
    // loads nor a finished address any earlier (its address changes as a
    // navigation starts).
    connect(page_, &QWebEnginePage::loadFinished, this, [this] { navigateComplete(page_->url()); });
    // Enter navigates to the text as typed.
    connect(txURL, &QLineEdit::returnPressed, this, [this] {
        const QString text = txURL->text();
        const QUrl url(text);
        WebBrw->setUrl(url.scheme().isEmpty() ? QUrl::fromUserInput(text) : url);
    });

    WebBrw->setUrl(QUrl(kBlank));
}

uWeb::~uWeb() = default;

QList<QWidget *> uWeb::tabSequence() const
{
    QList<QWidget *> order;
    for (int i = 2; i <= 9; ++i)
        order << ssCom[size_t(i)];
    // The view itself takes no focus; the page's surface inside it does.
    order << (WebBrw->focusProxy() ? WebBrw->focusProxy() : WebBrw) << txURL;
    return order;
}

QString uWeb::URL() const
{
    return WebBrw->url().toString(QUrl::FullyEncoded);
}

void uWeb::setURL(const QString &sURL)
{
    WebBrw->setVisible(true);
    if (!sCurURL.isEmpty() && sURL.toLower() == sCurURL.toLower()) {
        WebBrw->reload();
        return;
    }
    if (sURL.isEmpty()) {
        WebBrw->setUrl(QUrl(kBlank));
        return;
    }
    WebBrw->setUrl(QUrl(sURL));
    QCoreApplication::processEvents();
}

void uWeb::Refresh()
{
    WebBrw->reload();
}

void uWeb::SetText(const QString &sTx)
{
    txURL->setText(sTx);
}

void uWeb::RetCom(int iJb)
{
    ssCom_Click(iJb);
}

QPrinter &uWeb::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void uWeb::ssCom_Click(int Index)
{
    switch (Index) {
    case 2:
        WebBrw->back();
        break;
    case 3:
        WebBrw->forward();
        break;
    case 4:
        WebBrw->setUrl(QUrl(QString::fromUtf8(MapBaseURL)));
        break;
    case 5:
        WebBrw->setUrl(QUrl(QString::fromUtf8(MapSearchHead)));
        break;
    case 6: {
        QPrintDialog dialog(&printer(), this);
        if (dialog.exec() == QDialog::Accepted)
            WebBrw->print(&printer());
        break;
    }
    case 7: {
        QPageSetupDialog dialog(&printer(), this);
        dialog.exec();
        break;
    }
    case 8: {
        // The page's title names the file; a page without one shows its address there.
        QString title = page_->title();
        if (title.isEmpty() || title == page_->url().toString())
            title = u"page"_s;
        title.replace(QLatin1Char('/'), QLatin1Char('_'));
        const QString path = QFileDialog::getSaveFileName(this, QString(), title + u".html"_s,
                                                          u"Web ページ (*.html *.htm)"_s);
        if (!path.isEmpty())
            page_->save(path);
        break;
    }
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

void uWeb::beforeNavigate(const QUrl &url)
{
    txURL->setText(u"Looking.."_s + url.toString(QUrl::FullyEncoded));
}

void uWeb::navigateComplete(const QUrl &url)
{
    const QString s = url.toString(QUrl::FullyEncoded);
    sCurURL = s == kBlank ? QString() : s;
    txURL->setText(sCurURL);
    const QString tail = sCurURL.right(3).toLower();
    ssCom[9]->setEnabled(tail == u"xls"_s || tail == u"doc"_s);
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
    WebBrw->setGeometry(Twips::toPixels(l.browser, dpi));
}
