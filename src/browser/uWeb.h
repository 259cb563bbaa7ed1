#pragma once
// The browser pane: a URL box, a toolbar and the embedded browser. The main
// window drives it through URL, SetText, Refresh and RetCom only; the pane
// raises nothing to its host.
//
// The browser itself comes from the engine's module, loaded once the window
// has been painted for the first time; until then a plain stand-in holds its
// place, and whatever is asked of the browser waits, in order, for it.

#include "browser/BrowserEngine.h"
#include "browser/BrowserEngineLoader.h"

#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QToolButton;

class uWeb : public QWidget, private BrowserEngineHost
{
    Q_OBJECT
public:
    // modulePlaces: where the engine's module is looked for, in order.
    explicit uWeb(QWidget *parent, QStringList modulePlaces = BrowserEngineLoader::places());
    ~uWeb() override;

    // The browser's current address (not the last completed one).
    QString URL() const;
    // Navigates; the address already shown (ignoring case) is reloaded, and
    // "" shows the blank page.
    void setURL(const QString &sURL);
    void Refresh();
    // Shows a text in the URL box without navigating.
    void SetText(const QString &sTx);
    // Does what a click on toolbar button iJb does; other indices do nothing.
    void RetCom(int iJb);

    // The controls Tab visits, in order: the toolbar, the browser, the URL box.
    QList<QWidget *> tabSequence() const;

    // The address of the last completed navigation; "" for the blank page.
    const QString &currentUrl() const { return sCurURL; }
    // Set once the engine is up or known to be unavailable.
    bool engineSettled() const { return state_ == Engine::Ready || state_ == Engine::Unavailable; }

    QLineEdit *txURL = nullptr;
    QWidget *WebBrw = nullptr;         // the engine's view, once it is there
    QLabel *WebBrwStandIn = nullptr;   // its place until then, or why there is none
    std::array<QToolButton *, 10> ssCom{};  // 2 to 9

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Engine { Waiting, Scheduled, Loaded, Ready, Unavailable };

    void ssCom_Click(int Index);
    void layoutChildren();
    void showInBox(const QString &text);
    void navigationStarting(const QUrl &url) override;
    void navigationCompleted(const QUrl &url) override;

    // Runs op on the engine now, or once it is there; never without one.
    void withEngine(std::function<void(BrowserEngine &)> op);
    void goTo(const QUrl &url);
    void loadModule();
    void startEngine();
    void placeViewInTabChain();
    void engineUnavailable(const BrowserEngineLoader::Result &why);

    QString sCurURL;
    QStringList modulePlaces_;
    Engine state_ = Engine::Waiting;
    BrowserEngineFactory *factory_ = nullptr;
    std::vector<std::function<void(BrowserEngine &)>> pending_;
    QUrl pendingUrl_;  // where the browser will be once the pending work is done
    std::unique_ptr<BrowserEngine> engine_;  // last: goes first, while the rest still stands
};
