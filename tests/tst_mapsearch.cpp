// Map search URLs: the query encoding and the blank rule, byte for byte.

#include "BuildConfig.h"
#include "maps/MapSearch.h"

#include <QUrl>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMapSearch : public QObject
{
    Q_OBJECT
private slots:
    void encodes_data();
    void encodes();
    void longTextIsEncodedWhole();
    void searchUrl_data();
    void searchUrl();
};

void TestMapSearch::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("kanji") << u"東京都千代田区"_s
                           << u"%E6%9D%B1%E4%BA%AC%E9%83%BD%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA"_s;
    QTest::newRow("postal code") << u"100-0001"_s << u"100-0001"_s;
    QTest::newRow("passes through") << u"Aa0@*-._"_s << u"Aa0@*-._"_s;
    QTest::newRow("tilde") << u"~"_s << u"%7E"_s;
    QTest::newRow("reserved and controls") << u"/+%&=?#\t\x7f"_s << u"%2F%2B%25%26%3D%3F%23%09%7F"_s;
    QTest::newRow("blank") << u"a b"_s << u"a+b"_s;
    QTest::newRow("two bytes") << u"é"_s << u"%C3%A9"_s;
    QTest::newRow("ideographic space") << QString(QChar(0x3000)) << u"%E3%80%80"_s;
    QTest::newRow("full-width digit") << u"１"_s << u"%EF%BC%91"_s;
    QTest::newRow("surrogate pair as one character") << u"𠮷"_s << u"%F0%A0%AE%B7"_s;
    QTest::newRow("lone surrogate") << QString(QChar(0xD842)) << u"%ED%A1%82"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestMapSearch::encodes()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(UrlEnc(text), encoded);
}

void TestMapSearch::longTextIsEncodedWhole()
{
    const QString text = QString(40000, u'住') + u"~"_s;
    const QString e = UrlEnc(text);
    QCOMPARE(e.size(), 40000 * 9 + 3);
    QVERIFY(e.endsWith(u"%E4%BD%8F%7E"_s));
    // Standard UTF-8 percent-encoding agrees wherever both leave the same set alone.
    QCOMPARE(e.toLatin1(), QUrl::toPercentEncoding(text, "@*", "~"));
}

void TestMapSearch::searchUrl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("query");
    QTest::newRow("double blank becomes one")
        << u"東京都 千代田区  丸の内1-1"_s
        << u"%E6%9D%B1%E4%BA%AC%E9%83%BD+%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA+%E4%B8%B8%E3%81%AE%E5%86%851-1"_s;
    QTest::newRow("three blanks") << u"a   b"_s << u"a++b"_s;
    QTest::newRow("four blanks") << u"a    b"_s << u"a++b"_s;
    QTest::newRow("not trimmed") << u" a "_s << u"+a+"_s;
    QTest::newRow("other white space kept") << u"a\t\t b"_s << u"a%09%09+b"_s;
    QTest::newRow("empty company") << u" 東京"_s << u"+%E6%9D%B1%E4%BA%AC"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestMapSearch::searchUrl()
{
    QFETCH(QString, text);
    QFETCH(QString, query);
    QCOMPARE(QString::fromUtf8(MapSearchHead),
             QString::fromUtf8(MapRedirBase) + u"/maps/recommend/map_search/*"_s + QString::fromUtf8(MapBaseURL)
                 + u"/search?ei=UTF-8&p="_s);
    QCOMPARE(MapSearchURL(text), QString::fromUtf8(MapSearchHead) + query);
}

QTEST_GUILESS_MAIN(TestMapSearch)
#include "tst_mapsearch.moc"
