// The browser pane against real pages served on 127.0.0.1.

#include "EngineReady.h"
#include "LocalHttpServer.h"
#include "browser/PaneLayout.h"
#include "browser/uWeb.h"
#include "startup/Usr.h"

#include <QLabel>
#include <QLineEdit>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QToolButton>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsBlank();
    void lookingThenFinalAddressAfterRedirect();
    void urlBoxEnterNavigates();
    void sameAddressIgnoringCaseReloads();
    void emptyAddressShowsBlankPage();
    void popupLeavesPaneOnItsPage();
    void buttonNineFollowsDocumentAddresses_data();
    void buttonNineFollowsDocumentAddresses();
    void retComOutsideToolbarDoesNothing();
    void layoutKeepsUrlBoxWhenNarrow();
    void askedBeforeTheViewIsDoneInOrder();
    void withoutModuleThePaneSaysWhy();

private:
    bool load(const QString &url);
    LocalHttpServer server_;
    std::unique_ptr<QWidget> host_;
    uWeb *pane_ = nullptr;
};

void TestBrowser::initTestCase()
{
    QVERIFY(server_.listening());
    server_.page("/final.html", "<title>final</title>final");
    server_.route("/start", {302, "moved", "/final.html", "text/plain"});
    server_.page("/Page.html", "<title>page</title>page");
    server_.page("/popup.html", "<title>popup</title><body style='margin:0'>"
                 "<a target=_blank href=/other.html style='display:block;height:300px'>link</a>");
    server_.page("/other.html", "other");
    for (const QByteArray p : {"/book.XLS", "/book.xls?x=1", "/page.htm", "/letter.Doc"})
        server_.page(p, "doc");
}

void TestBrowser::init()
{
    bRunning = true;
    host_ = std::make_unique<QWidget>();
    host_->resize(900, 500);
    pane_ = new uWeb(host_.get());
    pane_->setGeometry(0, 0, 900, 500);
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    QVERIFY(waitForEngine(pane_));
    QTRY_COMPARE(pane_->txURL->text(), QString());  // the blank page has completed
    server_.requests.clear();
}

void TestBrowser::cleanup()
{
    host_.reset();
    bRunning = false;
}

bool TestBrowser::load(const QString &url)
{
    pane_->setURL(url);
    return QTest::qWaitFor([&] { return pane_->currentUrl() == url; }, 10000);
}

void TestBrowser::startsBlank()
{
    QCOMPARE(pane_->currentUrl(), QString());
    QCOMPARE(pane_->URL(), u"about:blank"_s);
    QVERIFY(!pane_->ssCom[9]->isEnabled());
    for (int i = 2; i <= 8; ++i)
        QVERIFY(pane_->ssCom[size_t(i)]->isEnabled());
    // Every button's picture was read (a format misnamed reads nothing).
    for (int i = 2; i <= 9; ++i)
        QVERIFY2(!pane_->ssCom[size_t(i)]->icon().pixmap(16, 16).isNull(), qPrintable(QString::number(i)));
    QCOMPARE(pane_->ssCom[4]->toolTip(), u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します"_s);
    QCOMPARE(pane_->ssCom[7]->iconSize(), QSize(15, 13));
}

void TestBrowser::lookingThenFinalAddressAfterRedirect()
{
    QStringList shown;
    connect(pane_->txURL, &QLineEdit::textChanged, this, [&](const QString &t) { shown << t; });
    const QString start = server_.base() + u"/start"_s;
    const QString final = server_.base() + u"/final.html"_s;
    pane_->setURL(start);
    QTRY_COMPARE_WITH_TIMEOUT(pane_->currentUrl(), final, 10000);
    QVERIFY2(shown.contains(u"Looking.."_s + start), qPrintable(shown.join(u" | "_s)));
    QCOMPARE(shown.last(), final);
    // A long address is known by its scheme and host: the box shows its start.
    QCOMPARE(pane_->txURL->cursorPosition(), 0);
    QCOMPARE(pane_->URL(), final);
    QCOMPARE(server_.requests, (QList<QByteArray>{"/start", "/final.html"}));
}

void TestBrowser::urlBoxEnterNavigates()
{
    const QString page = server_.base() + u"/Page.html"_s;
    pane_->txURL->setText(page);
    QTest::keyClick(pane_->txURL, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(pane_->currentUrl(), page, 10000);
    QCOMPARE(pane_->txURL->text(), page);
}

void TestBrowser::sameAddressIgnoringCaseReloads()
{
    const QString page = server_.base() + u"/Page.html"_s;
    QVERIFY(load(page));
    pane_->setURL(page.toUpper());
    QTRY_COMPARE_WITH_TIMEOUT(server_.requests.size(), 2, 10000);
    QCOMPARE(server_.requests, (QList<QByteArray>{"/Page.html", "/Page.html"}));
    QCOMPARE(pane_->currentUrl(), page);
}

void TestBrowser::emptyAddressShowsBlankPage()
{
    QVERIFY(load(server_.base() + u"/Page.html"_s));
    pane_->setURL(QString());
    QTRY_COMPARE_WITH_TIMEOUT(pane_->URL(), u"about:blank"_s, 10000);
    QTRY_COMPARE(pane_->currentUrl(), QString());
    QCOMPARE(pane_->txURL->text(), QString());
}

void TestBrowser::popupLeavesPaneOnItsPage()
{
    const QString page = server_.base() + u"/popup.html"_s;
    QVERIFY(load(page));
    auto *view = qobject_cast<QWebEngineView *>(pane_->WebBrw);
    QVERIFY(view);
    view->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    QWebEnginePage *browserPage = view->page();
    QVERIFY(browserPage && browserPage->inherits("BrowserPage"));
    // The page's class lives in the engine's module: its signal by name.
    QSignalSpy refused(browserPage, SIGNAL(newWindowRefused()));
    // A user's click on a link that opens a new window, then a script's pop-up.
    QWidget *render = pane_->WebBrw->focusProxy();
    QVERIFY(render);
    QTest::mouseClick(render, Qt::LeftButton, {}, QPoint(40, 40));
    QTRY_COMPARE_WITH_TIMEOUT(refused.size(), 1, 10000);
    browserPage->runJavaScript(u"window.open('/other.html')"_s);
    QTRY_COMPARE_WITH_TIMEOUT(refused.size(), 2, 10000);
    QTest::qWait(300);
    QCOMPARE(pane_->currentUrl(), page);
    QCOMPARE(pane_->URL(), page);
    QVERIFY(!server_.requests.contains("/other.html"));
    QCOMPARE(QApplication::topLevelWidgets().count(), 1);
}

void TestBrowser::buttonNineFollowsDocumentAddresses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("XLS in capitals") << u"/book.XLS"_s << true;
    QTest::newRow("Doc") << u"/letter.Doc"_s << true;
    QTest::newRow("xls with a query") << u"/book.xls?x=1"_s << false;
    QTest::newRow("htm") << u"/page.htm"_s << false;
}

void TestBrowser::buttonNineFollowsDocumentAddresses()
{
    QFETCH(QString, path);
    QFETCH(bool, enabled);
    QVERIFY(load(server_.base() + path));
    QCOMPARE(pane_->ssCom[9]->isEnabled(), enabled);
}

void TestBrowser::retComOutsideToolbarDoesNothing()
{
    const QString page = server_.base() + u"/Page.html"_s;
    QVERIFY(load(page));
    const QRect box = pane_->txURL->geometry();
    for (int index : {-1, 0, 1, 10, 32767}) {
        pane_->RetCom(index);
        QCOMPARE(pane_->URL(), page);
        QCOMPARE(pane_->txURL->text(), page);
        QVERIFY(pane_->ssCom[2]->isVisible());
        QCOMPARE(pane_->txURL->geometry(), box);
    }
    QTest::qWait(200);
    QCOMPARE(server_.requests.size(), 1);

    // Within the toolbar: back goes back, and 9 hides and brings back the bars.
    QVERIFY(load(server_.base() + u"/final.html"_s));
    pane_->RetCom(2);
    QTRY_COMPARE_WITH_TIMEOUT(pane_->currentUrl(), page, 10000);
    pane_->RetCom(9);
    QVERIFY(!pane_->ssCom[2]->isVisible() && !pane_->txURL->isVisible() && pane_->ssCom[9]->isVisible());
    pane_->RetCom(9);
    QVERIFY(pane_->ssCom[2]->isVisible() && pane_->txURL->isVisible());
}

void TestBrowser::layoutKeepsUrlBoxWhenNarrow()
{
    // In twips: the box starts at 4920 and leaves 20 to the right edge.
    const PaneLayout wide = computePaneLayout(9000, 3000);
    QCOMPARE(*wide.urlBox, QRect(4920, 60, 4060, 220));
    QCOMPARE(wide.toolbar[7], QRect(4200, 0, 600, 315));
    QCOMPARE(wide.browser, QRect(0, 330, 9000, 2655));
    const PaneLayout narrow = computePaneLayout(4919, 300);
    QVERIFY(!narrow.urlBox);
    QCOMPARE(narrow.browser, QRect(0, 330, 4919, 0));

    // On the real pane at 96 DPI: 15 twips a pixel.
    if (pane_->logicalDpiX() != 96)
        QSKIP("pixel checks assume 96 DPI");
    QCOMPARE(pane_->txURL->geometry(), QRect(328, 4, 571, 15));
    pane_->resize(300, 200);  // 4500 twips: narrower than the box's left edge
    QCOMPARE(pane_->txURL->geometry(), QRect(328, 4, 571, 15));
    QCOMPARE(pane_->WebBrw->geometry(), QRect(0, 22, 300, 177));
    bRunning = false;  // the host is closing: nothing moves
    pane_->resize(800, 400);
    QCOMPARE(pane_->WebBrw->geometry(), QRect(0, 22, 300, 177));
}

void TestBrowser::askedBeforeTheViewIsDoneInOrder()
{
    QWidget host;
    host.resize(900, 500);
    auto *pane = new uWeb(&host);
    pane->setGeometry(0, 0, 900, 500);
    // Before the view, the toolbar already looks as it will on the blank page.
    QVERIFY(!pane->ssCom[9]->isEnabled());
    const QString page = server_.base() + u"/Page.html"_s;
    const QString final = server_.base() + u"/final.html"_s;
    pane->setURL(page);
    pane->setURL(final);
    QVERIFY(!pane->WebBrw);
    QCOMPARE(pane->txURL->text(), u"Looking.."_s + final);
    QCOMPARE(pane->URL(), final);
    host.show();
    QVERIFY(waitForEngine(pane));
    QTRY_COMPARE_WITH_TIMEOUT(pane->currentUrl(), final, 10000);
    QCOMPARE(pane->URL(), final);
    QCOMPARE(server_.requests.count("/final.html"), 1);

    // Every request made before the engine is there reaches it, in the order
    // made: an engine module that records what it is asked shows it.
    const QString recording = QStringLiteral(ZENROOK_RECORDING_ENGINE);
    QWidget other;
    other.resize(900, 500);
    auto *queued = new uWeb(&other, {recording});
    queued->setURL(page);
    queued->Refresh();
    queued->RetCom(3);
    queued->setURL(final + u"\r\n"_s);  // a request's URL ends in its line end
    queued->RetCom(6);
    QVERIFY(!queued->WebBrw);
    other.show();
    QTRY_VERIFY_WITH_TIMEOUT(queued->WebBrw, 10000);
    QObject *log = QPluginLoader(recording).instance();
    QVERIFY(log);
    QCOMPARE(log->property("calls").toStringList(),
             (QStringList{u"navigate about:blank"_s, u"navigate "_s + page, u"reload"_s, u"forward"_s,
                          u"navigate "_s + final, u"print"_s}));
}

void TestBrowser::withoutModuleThePaneSaysWhy()
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(u"zenrook-webengine.so"_s);
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a module") > 0);
    file.close();
    const QList<QPair<QStringList, QString>> cases{
        {{dir.filePath(u"none/zenrook-webengine.so"_s)}, u"が見つかりません"_s},
        {{broken}, broken},
    };
    for (const auto &[places, why] : cases) {
        QWidget host;
        host.resize(900, 500);
        auto *pane = new uWeb(&host, places);
        pane->setGeometry(0, 0, 900, 500);
        host.show();
        QTRY_VERIFY_WITH_TIMEOUT(pane->engineSettled(), 10000);
        QVERIFY(!pane->WebBrw);
        QVERIFY(pane->WebBrwStandIn->isVisible());
        QVERIFY2(pane->WebBrwStandIn->text().startsWith(u"地図を表示できません。"_s) && pane->WebBrwStandIn->text().contains(why),
                 qPrintable(pane->WebBrwStandIn->text()));
        // The rest of the pane still works, quietly where there is no browser.
        pane->setURL(server_.base() + u"/Page.html"_s);
        QCOMPARE(pane->txURL->text(), server_.base() + u"/Page.html"_s);
        for (int i = 2; i <= 8; ++i)
            pane->RetCom(i);
        pane->RetCom(9);
        QVERIFY(!pane->txURL->isVisible());
        QCOMPARE(pane->URL(), QString());
    }
    QTest::qWait(200);
    QVERIFY(server_.requests.isEmpty());
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
