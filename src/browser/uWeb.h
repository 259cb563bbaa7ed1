#pragma once
// The browser pane: a URL box, a toolbar and the embedded browser. The main
// window drives it through URL, SetText, Refresh and RetCom only; the pane
// raises nothing to its host.

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class BrowserPage;
class QLineEdit;
class QPrinter;
class QToolButton;
class QWebEngineView;

class uWeb : public QWidget
{
    Q_OBJECT
public:
    explicit uWeb(QWidget *parent);
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

    QLineEdit *txURL = nullptr;
    QWebEngineView *WebBrw = nullptr;
    std::array<QToolButton *, 10> ssCom{};  // 2 to 9

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ssCom_Click(int Index);
    void layoutChildren();
    void beforeNavigate(const QUrl &url);
    void navigateComplete(const QUrl &url);
    QPrinter &printer();

    BrowserPage *page_ = nullptr;
    QString sCurURL;
    std::unique_ptr<QPrinter> printer_;
};
