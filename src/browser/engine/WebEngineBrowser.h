#pragma once
// The pane's engine on QtWebEngine: one view with a page that reports every
// navigation and refuses every new window.

#include "browser/BrowserEngine.h"

#include <QPointer>
#include <QWebEngineView>

#include <memory>

class BrowserPage;
class QPrinter;

class WebEngineBrowser : public BrowserEngine
{
public:
    WebEngineBrowser(QWidget *pane, BrowserEngineHost &host);
    ~WebEngineBrowser() override;

    QWidget *view() const override;
    QUrl url() const override;
    void navigate(const QUrl &url) override;
    void reload() override;
    void back() override;
    void forward() override;
    void print() override;
    void pageSetup() override;
    void saveAs() override;

private:
    QPrinter &printer();

    QPointer<QWebEngineView> view_;  // a child of the pane, deleted with the engine
    BrowserPage *page_;
    std::unique_ptr<QPrinter> printer_;
};
