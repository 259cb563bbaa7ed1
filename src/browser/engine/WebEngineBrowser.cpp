#include "browser/engine/WebEngineBrowser.h"

#include "browser/engine/BrowserPage.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

WebEngineBrowser::WebEngineBrowser(QWidget *pane, BrowserEngineHost &host)
    : view_(new QWebEngineView(pane))
{
    view_->setObjectName(u"WebBrw"_s);
    view_->hide();
    page_ = new BrowserPage(view_);
    view_->setPage(page_);
    QObject::connect(page_, &BrowserPage::navigationStarting, view_,
                     [&host](const QUrl &url) { host.navigationStarting(url); });
    // Completed main-frame loads only: the engine reports neither frames'
    // loads nor a finished address any earlier (its address changes as a
    // navigation starts).
    QObject::connect(page_, &QWebEnginePage::loadFinished, view_,
                     [this, &host] { host.navigationCompleted(page_->url()); });
}

WebEngineBrowser::~WebEngineBrowser()
{
    delete view_.data();  // and the page with it
}

QWidget *WebEngineBrowser::view() const
{
    return view_;
}

QUrl WebEngineBrowser::url() const
{
    return view_->url();
}

void WebEngineBrowser::navigate(const QUrl &url)
{
    view_->setUrl(url);
}

void WebEngineBrowser::reload()
{
    view_->reload();
}

void WebEngineBrowser::back()
{
    view_->back();
}

void WebEngineBrowser::forward()
{
    view_->forward();
}

QPrinter &WebEngineBrowser::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void WebEngineBrowser::print()
{
    QPrintDialog dialog(&printer(), view_);
    if (dialog.exec() == QDialog::Accepted)
        view_->print(&printer());
}

void WebEngineBrowser::pageSetup()
{
    QPageSetupDialog dialog(&printer(), view_);
    dialog.exec();
}

void WebEngineBrowser::saveAs()
{
    // The page's title names the file; a page without one shows its address there.
    QString title = page_->title();
    if (title.isEmpty() || title == page_->url().toString())
        title = u"page"_s;
    title.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString path = QFileDialog::getSaveFileName(view_, QString(), title + u".html"_s,
                                                      u"Web ページ (*.html *.htm)"_s);
    if (!path.isEmpty())
        page_->save(path);
}
