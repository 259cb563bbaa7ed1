#pragma once
// The browser engine behind the pane. It lives in a module of its own that
// the program loads once its window is on screen, so that the window never
// waits for the engine's libraries; the pane reaches it only through these
// interfaces, and the module links nothing of the program.

#include <QUrl>
#include <QtPlugin>

#include <memory>

class QWidget;

// What the engine reports to the pane that created it.
class BrowserEngineHost
{
public:
    // A navigation (of the page or of one of its frames) is about to start;
    // it always proceeds.
    virtual void navigationStarting(const QUrl &url) = 0;
    // The page finished loading; url is the page's address then.
    virtual void navigationCompleted(const QUrl &url) = 0;

protected:
    ~BrowserEngineHost() = default;
};

// One view with its page. Requests for new windows are always refused.
class BrowserEngine
{
public:
    virtual ~BrowserEngine() = default;

    // The view: a child of the pane the engine was created for, not yet shown.
    virtual QWidget *view() const = 0;
    // The address being loaded or shown.
    virtual QUrl url() const = 0;
    virtual void navigate(const QUrl &url) = 0;
    virtual void reload() = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    // Print, page set-up and save-as run their own dialogs over the view.
    virtual void print() = 0;
    virtual void pageSetup() = 0;
    virtual void saveAs() = 0;
};

class BrowserEngineFactory
{
public:
    virtual ~BrowserEngineFactory() = default;
    // host must outlive the engine.
    virtual std::unique_ptr<BrowserEngine> create(QWidget *pane, BrowserEngineHost &host) = 0;
};

#define BrowserEngineFactory_iid "jp.halvorin.Zenrook.BrowserEngineFactory/1"
Q_DECLARE_INTERFACE(BrowserEngineFactory, BrowserEngineFactory_iid)
