// Built with the map service and its redirect service on 127.0.0.1: the
// search the user starts reaches them with exactly the expected request.

#include "BuildConfig.h"
#include "LocalHttpServer.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/fmMain.h"

#include <QLineEdit>
#include <QUrl>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMapSearchLocal : public QObject
{
    Q_OBJECT
private slots:
    void searchesReachTheMapService();
    void searchBeforeTheViewReachesTheServiceOnce();
};

void TestMapSearchLocal::searchesReachTheMapService()
{
    const QUrl base(QString::fromUtf8(MapBaseURL));
    const QUrl redir(QString::fromUtf8(MapRedirBase));
    LocalHttpServer mapService(quint16(base.port()));
    LocalHttpServer redirects(quint16(redir.port()));
    QVERIFY2(mapService.listening() && redirects.listening(), "test ports are taken");

    const QByteArray query = "%E6%9D%B1%E4%BA%AC%E9%83%BD+%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA+%E4%B8%B8%E3%81%AE%E5%86%851-1";
    const QByteArray search = "/search?ei=UTF-8&p=" + query;
    const QByteArray viaRedirect = "/maps/recommend/map_search/*" + QByteArray(MapBaseURL) + search;
    redirects.route(viaRedirect, {302, "moved", QByteArray(MapBaseURL) + search, "text/plain"});
    mapService.page(search, "<title>map</title>map");
    // UrlEnc writes "~" as "%7E"; the engine's URL type sends the equivalent
    // unreserved "~" itself (RFC 3986, 6.2.2.2), as every server reads it.
    const QByteArray companyFirst = "/search?ei=UTF-8&p=%E4%BC%9A%E7%A4%BE+~";
    redirects.route("/maps/recommend/map_search/*" + QByteArray(MapBaseURL) + companyFirst,
                    {302, "moved", QByteArray(MapBaseURL) + companyFirst, "text/plain"});
    mapService.page(companyFirst, "company");

    fmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE_WITH_TIMEOUT(w.uWeb->txURL->text(), QString(), 10000);

    // F5: the address, its double blank made one.
    w.vAdd->setCellText(2, 1, u"東京都 千代田区  丸の内1-1"_s);
    QTest::keyClick(w.windowHandle(), Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(w.uWeb->currentUrl(), QString::fromUtf8(MapBaseURL + search), 10000);
    QCOMPARE(redirects.requests, QList<QByteArray>{viaRedirect});
    QCOMPARE(mapService.requests, QList<QByteArray>{search});

    // F7: company, one blank, then the address; an empty address leaves the "+".
    w.vAdd->setCellText(2, 1, u"~"_s);
    w.vAdd->setCellText(3, 1, u"会社"_s);
    QTest::keyClick(w.windowHandle(), Qt::Key_F7);
    QTRY_COMPARE_WITH_TIMEOUT(redirects.requests.size(), 2, 10000);
    QCOMPARE(redirects.requests.last(), "/maps/recommend/map_search/*" + QByteArray(MapBaseURL) + companyFirst);
    QTRY_COMPARE_WITH_TIMEOUT(mapService.requests.size(), 2, 10000);
    QCOMPARE(mapService.requests.last(), companyFirst);
}

void TestMapSearchLocal::searchBeforeTheViewReachesTheServiceOnce()
{
    const QUrl redir(QString::fromUtf8(MapRedirBase));
    LocalHttpServer redirects(quint16(redir.port()));
    QVERIFY2(redirects.listening(), "test port is taken");
    const QByteArray path = "/maps/recommend/map_search/*" + QByteArray(MapBaseURL) + "/search?ei=UTF-8&p=abc";
    redirects.route(path, {200, "found", {}, "text/html"});

    fmMain w;
    w.show();
    // F5 at once, before the window has been painted and the engine loaded.
    QVERIFY(!w.uWeb->WebBrw);
    w.vAdd->setCellText(2, 1, u"abc"_s);
    QTest::keyClick(w.windowHandle(), Qt::Key_F5);
    QVERIFY(!w.uWeb->WebBrw);
    QTRY_COMPARE_WITH_TIMEOUT(redirects.requests.size(), 1, 30000);
    QCOMPARE(redirects.requests.first(), path);
    QTRY_COMPARE_WITH_TIMEOUT(w.uWeb->currentUrl(), QString::fromUtf8(MapRedirBase + path), 10000);
    QTest::qWait(300);
    QCOMPARE(redirects.requests.size(), 1);
}

QTEST_MAIN(TestMapSearchLocal)
#include "tst_mapsearch_local.moc"
