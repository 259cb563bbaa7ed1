#include "browser/uWeb.h"

// The pane's inside (URL box, toolbar, browser) arrives with the browser
// work; until then it is an empty area of the window that answers nothing.

uWeb::uWeb(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

QString uWeb::URL() const
{
    return QString();
}

void uWeb::setURL(const QString &)
{
}

void uWeb::Refresh()
{
}

void uWeb::SetText(const QString &)
{
}

void uWeb::RetCom(int)
{
}
