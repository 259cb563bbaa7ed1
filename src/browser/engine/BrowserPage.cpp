#include "browser/engine/BrowserPage.h"

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool)
{
    emit navigationStarting(url);
    return true;
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType)
{
    emit newWindowRefused();
    return nullptr;
}
