#pragma once
// The pane's browser comes from a module loaded after the window's first
// paint; tests that use the browser wait for it as a user would.

#include "browser/uWeb.h"

#include <QLineEdit>
#include <QtTest>

// Waits until the pane's view is there and nothing is loading in it.
inline bool waitForEngine(const uWeb *pane, int timeout = 30000)
{
    return QTest::qWaitFor([pane] { return pane->WebBrw && !pane->txURL->text().startsWith(u"Looking.."); },
                           timeout);
}
