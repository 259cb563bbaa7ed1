#pragma once
// The pane's web page: reports every navigation as it starts and refuses
// every new window a page asks for.

#include <QWebEnginePage>

class BrowserPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

signals:
    void navigationStarting(const QUrl &url);
    void newWindowRefused();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
};
