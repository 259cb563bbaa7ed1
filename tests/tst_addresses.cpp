// The address component on its postal dictionary: dictionaries built from
// small official files written for these tests, as published (zip) and
// unpacked, and the full national data when it is built.

#include "postal/mail/AddressBarcode.h"
#include "postal/addresses/AddressComponent.h"
#include "postal/import/DictionaryImport.h"
#include "postal/addresses/PostalAddressComponent.h"
#include "postal/dictionary/PostalDictionary.h"
#include "postal/mail/PostalLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestAddresses : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void townNotes_data();
    void townNotes();
    void officialFiles();
    void malformedFiles_data();
    void malformedFiles();
    void archives();
    void lookUp_data();
    void lookUp();
    void candidates();
    void otherModesChangeNothing();
    void factory();
    void replacedWhileOpen();
    void usersOwnTakenUp();
    void batchLookUp();
    void nationalData_data();
    void nationalData();
    void nationalChoices();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir_;
    std::unique_ptr<AddressComponent> official_;
    DictionaryImport::Result imported_;
};

QString TestAddresses::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return f.fileName();
}

void TestAddresses::initTestCase()
{
    DictionaryImport::Source source;
    QString error;
    QVERIFY2(DictionaryImport::readKenAll(QFINDTESTDATA("fixtures/postal/utf_ken_all.csv"), &source, &error),
             qPrintable(error));
    QVERIFY2(DictionaryImport::readJigyosyo(QFINDTESTDATA("fixtures/postal/JIGYOSYO.CSV"), &source, &error),
             qPrintable(error));
    imported_ = DictionaryImport::write(source, dir_.filePath(u"official.sqlite3"_s));
    QVERIFY2(imported_.ok, qPrintable(imported_.error));
    official_ = createObject(u"Tarnu.cAdd"_s, dir_.filePath(u"official.sqlite3"_s));
    QVERIFY(official_);
}

void TestAddresses::townNotes_data()
{
    QTest::addColumn<QString>("official");
    QTest::addColumn<QString>("town");
    QTest::addColumn<QString>("note");
    const QString none;
    QTest::newRow("plain") << u"千代田"_s << u"千代田"_s << none;
    QTest::newRow("not listed: the city") << u"以下に掲載がない場合"_s << none << none;
    QTest::newRow("number follows the city") << u"滝沢市の次に番地がくる場合"_s << none << none;
    QTest::newRow("except the buildings") << u"霞が関（次のビルを除く）"_s << u"霞が関"_s << u"（次のビルを除く）"_s;
    QTest::newRow("floor") << u"霞が関霞が関ビル（１２階）"_s << u"霞が関霞が関ビル１２階"_s << none;
    QTest::newRow("basement or unknown floor") << u"霞が関霞が関ビル（地階・階層不明）"_s << u"霞が関霞が関ビル"_s
                                               << u"（地階・階層不明）"_s;
    QTest::newRow("note before the floor kept") << u"名駅ミッドランドスクエア（高層棟）（１５階）"_s
                                                << u"名駅ミッドランドスクエア（高層棟）１５階"_s << none;
    QTest::newRow("block range") << u"大通西（１〜１９丁目）"_s << u"大通西"_s << u"（１〜１９丁目）"_s;
    QTest::newRow("whole village") << u"生坂村一円"_s << none << none;
    QTest::newRow("a town named 一円") << u"一円"_s << u"一円"_s << none;
    QTest::newRow("allotments") << u"西根第１地割～第３地割"_s << u"西根"_s << u"第１地割～第３地割"_s;
    QTest::newRow("allotment and places") << u"杉名畑４４地割（湯田ダム管理事務所、後口山、当楽）"_s << u"杉名畑"_s
                                          << u"４４地割（湯田ダム管理事務所、後口山、当楽）"_s;
    QTest::newRow("list") << u"甲、乙"_s << none << none;
    QTest::newRow("bracket left open") << u"匠（一ノ渡、大平、"_s << u"匠"_s << u"（一ノ渡、大平、"_s;
}

void TestAddresses::townNotes()
{
    QFETCH(QString, official);
    QFETCH(QString, town);
    QFETCH(QString, note);
    const DictionaryImport::TownNote n = DictionaryImport::townNote(official);
    QCOMPARE(n.town, town);
    QCOMPARE(n.note, note);
}

void TestAddresses::officialFiles()
{
    // 29 rows, one continued on the next line, two codes with two towns,
    // and five business codes of which two share one code.
    QCOMPARE(imported_.codes, 29 + 4);
    QCOMPARE(imported_.business, 4);
    auto d = PostalDictionary::open(dir_.filePath(u"official.sqlite3"_s));
    QVERIFY(d);
    QCOMPARE(d->info().source, u"utf_ken_all.csv + JIGYOSYO.CSV"_s);
    QVERIFY(!d->info().date.isEmpty());
    const QList<PostalDictionary::Entry> joined = d->byZip(u"0380101"_s);
    QCOMPARE(joined.size(), 1);
    QCOMPARE(joined.first().town, u"匠"_s);
    const QList<PostalDictionary::Entry> takashimaya = d->byZip(u"1008799"_s);
    QCOMPARE(takashimaya.size(), 1);
    QCOMPARE(takashimaya.first().name, u"株式会社　髙島屋　東京支店"_s);
    QCOMPARE(takashimaya.first().address(), u"東京都千代田区千代田１－１"_s);
    QVERIFY(QDir(dir_.path()).entryList({u"*.partial"_s}).isEmpty());
}

void TestAddresses::malformedFiles_data()
{
    QTest::addColumn<bool>("business");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QByteArray good = "13101,\"100  \",\"1000001\",\"a\",\"b\",\"c\",\"東京都\",\"千代田区\",\"千代田\",0,0,0,0,0,0\r\n";
    QTest::newRow("too few fields") << false << good + good + "13101,\"100  \",\"1000001\"\r\n"
                                    << u"bad.csv:3: 15 fields expected, 3 found"_s;
    QTest::newRow("not UTF-8") << false << good + QByteArray(good).replace("東京都", "\x93\x8c\x8b\x9e\x93\x73")
                               << u"bad.csv:2: not UTF-8"_s;
    QTest::newRow("code of six digits") << false << QByteArray(good).replace("1000001", "100001")
                                        << u"bad.csv:1: postal code \"100001\" is not seven digits"_s;
    QTest::newRow("quote left open") << false << good + "13101,\"100\r\n" << u"bad.csv:2: a quote is not closed: the rest of the list is one row"_s;
    QTest::newRow("empty") << false << QByteArray() << u"bad.csv: empty"_s;
    QTest::newRow("blank lines only") << false << QByteArray("\r\n\r\n") << u"bad.csv: empty"_s;
    const QByteArray business = "13101,\"a\",\"\x8a\x94\",\"\x93\x8c\x8b\x9e\x93\x73\",\"b\",\"c\",\"1\",\"1008799\",\"100\",\"d\",0,0,0\r\n";
    QTest::newRow("business: bytes no code page 932 has") << true << business + "13101,\"a\",\"\x85\x40\"\r\n"
                                                           << u"bad.csv:2: not code page 932"_s;
    QTest::newRow("business: UTF-8 file") << true << QByteArray("13101,\"a\",\"名\",\"東京都\",\"b\",\"c\",\"1\",\"1008799\",\"100\",\"d\",0,0,0\r\n")
                                          << u"bad.csv:1: not code page 932"_s;
    QTest::newRow("business: no name") << true << QByteArray(business).replace("\x8a\x94", "")
                                       << u"bad.csv:1: no name, prefecture or city"_s;
}

void TestAddresses::malformedFiles()
{
    QFETCH(bool, business);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const QString path = writeFile(u"bad.csv"_s, bytes);
    DictionaryImport::Source source;
    QString message;
    QVERIFY(!(business ? DictionaryImport::readJigyosyo(path, &source, &message)
                       : DictionaryImport::readKenAll(path, &source, &message)));
    QCOMPARE(message, error);
}

// The files as published: the zip is read whole and checked, and a damaged
// one is refused with the reason, never read in part.
void TestAddresses::archives()
{
    DictionaryImport::Source source;
    QString error;
    QVERIFY2(DictionaryImport::readKenAll(QFINDTESTDATA("fixtures/postal/utf_ken_all.zip"), &source, &error),
             qPrintable(error));
    QVERIFY2(DictionaryImport::readJigyosyo(QFINDTESTDATA("fixtures/postal/jigyosyo.zip"), &source, &error),
             qPrintable(error));
    QCOMPARE(source.source, u"utf_ken_all.zip + jigyosyo.zip"_s);
    QCOMPARE(source.date, u"2026-05-26"_s);  // the entries' own date
    const DictionaryImport::Result r = DictionaryImport::write(source, dir_.filePath(u"zipped.sqlite3"_s));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.codes, imported_.codes);
    QCOMPARE(r.business, imported_.business);

    QFile f(QFINDTESTDATA("fixtures/postal/utf_ken_all.zip"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray zip = f.readAll();
    auto refused = [&](const QByteArray &bytes, bool business = false) {
        const QString path = writeFile(business ? u"jigyosyo.zip"_s : u"utf_ken_all.zip"_s, bytes);
        DictionaryImport::Source s;
        QString why;
        const bool ok = business ? DictionaryImport::readJigyosyo(path, &s, &why)
                                 : DictionaryImport::readKenAll(path, &s, &why);
        return ok ? QString() : why;
    };
    QVERIFY2(refused(zip.left(zip.size() * 2 / 3)).contains(u"utf_ken_all.zip"_s), "cut short");
    QByteArray flipped = zip;
    flipped[zip.indexOf("utf_ken_all.csv") + 40] = char(flipped.at(zip.indexOf("utf_ken_all.csv") + 40) ^ 0x55);
    QVERIFY2(!refused(flipped).isEmpty(), "a byte of the data changed");
    const QString foreign = refused(zip, true);  // the other file's archive
    QVERIFY2(foreign.contains(u"JIGYOSYO.CSV"_s), qPrintable(foreign));
}

void TestAddresses::lookUp_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("zipAfter");
    QTest::addColumn<QString>("addressAfter");
    QTest::addColumn<QString>("companyAfter");
    const QString none;
    QTest::newRow("code") << u"1000001"_s << none << none << u"100-0001"_s << u"東京都千代田区千代田"_s << none;
    QTest::newRow("full width, mark, blank") << u"〒１００－ ０００１"_s << none << none << u"100-0001"_s
                                             << u"東京都千代田区千代田"_s << none;
    QTest::newRow("typed address says more") << u"100-0001"_s << u"東京都千代田区千代田１－１ 皇居"_s << none
                                             << u"100-0001"_s << u"東京都千代田区千代田１－１ 皇居"_s << none;
    QTest::newRow("typed address of another town") << u"1000001"_s << u"東京都千代田区一ツ橋"_s << none
                                                   << u"100-0001"_s << u"東京都千代田区千代田"_s << none;
    QTest::newRow("code and its town alone") << u"1000013"_s << u"霞ヶ関１－３－２"_s << none << u"100-0013"_s
                                             << u"東京都千代田区霞が関１－３－２"_s << none;
    QTest::newRow("code and the numbers only") << u"1000013"_s << u"1-3-2"_s << none << u"100-0013"_s
                                               << u"東京都千代田区霞が関1-3-2"_s << none;
    QTest::newRow("business code and its address") << u"1008050"_s << u"東京都千代田区大手町二丁目6番4号"_s << none
                                                   << u"100-8050"_s << u"東京都千代田区大手町二丁目6番4号"_s
                                                   << u"東京海上日動火災保険　株式会社"_s;
    QTest::newRow("city's catch-all") << u"1000000"_s << none << none << u"100-0000"_s << u"東京都千代田区"_s << none;
    QTest::newRow("floor code") << u"1006012"_s << none << none << u"100-6012"_s << u"東京都千代田区霞が関霞が関ビル１２階"_s
                                << none;
    QTest::newRow("building's unknown floor") << u"1006090"_s << none << none << u"100-6090"_s
                                              << u"東京都千代田区霞が関霞が関ビル"_s << none;
    QTest::newRow("no such floor code") << u"1006099"_s << none << none << u"1006099"_s << none << none;
    QTest::newRow("address with building and floor") << none << u"東京都千代田区霞が関３－２－５　霞が関ビル１２階"_s << none
                                                     << u"100-6012"_s << u"東京都千代田区霞が関３－２－５　霞が関ビル１２階"_s << none;
    QTest::newRow("building, floor with no code") << none << u"千代田区霞が関3-2-5霞が関ビル40階"_s << none
                                                  << u"100-6090"_s << u"東京都千代田区霞が関3-2-5霞が関ビル40階"_s << none;
    QTest::newRow("building named by its town row") << none << u"東京都千代田区霞が関霞が関ビル2階"_s << none
                                                    << u"100-6002"_s << u"東京都千代田区霞が関霞が関ビル2階"_s << none;
    QTest::newRow("building's note not typed") << none << u"愛知県名古屋市中村区名駅4-7-1ミッドランドスクエア15F"_s << none
                                               << u"450-6215"_s << u"愛知県名古屋市中村区名駅4-7-1ミッドランドスクエア15F"_s
                                               << none;
    QTest::newRow("town of the buildings, no building") << none << u"東京都千代田区霞が関3-2-5"_s << none << u"100-0013"_s
                                                        << u"東京都千代田区霞が関3-2-5"_s << none;
    QTest::newRow("business code fills the company") << u"1008050"_s << none << none << u"100-8050"_s
                                                     << u"東京都千代田区大手町二丁目６番４号常盤橋タワー"_s
                                                     << u"東京海上日動火災保険　株式会社"_s;
    QTest::newRow("business code keeps a typed company") << u"1008050"_s << none << u"東京海上"_s << u"100-8050"_s
                                                         << u"東京都千代田区大手町二丁目６番４号常盤橋タワー"_s << u"東京海上"_s;
    QTest::newRow("business address and name: its code")
        << none << u"東京都千代田区大手町二丁目6番4号 常盤橋タワー"_s << u"東京海上日動火災保険 株式会社"_s << u"100-8050"_s
        << u"東京都千代田区大手町二丁目6番4号 常盤橋タワー"_s << u"東京海上日動火災保険 株式会社"_s;
    QTest::newRow("business address, other name: the town's")
        << none << u"東京都千代田区千代田１－１"_s << u"髙島屋"_s << u"100-0001"_s << u"東京都千代田区千代田１－１"_s
        << u"髙島屋"_s;
    QTest::newRow("post-office box") << u"2608799"_s << none << none << u"260-8799"_s << u"千葉県千葉市中央区蘇我"_s
                                     << u"千葉中央郵便局私書箱"_s;
    QTest::newRow("several towns: the first") << u"2600822"_s << none << none << u"260-0822"_s << u"千葉県千葉市中央区蘇我"_s
                                              << none;
    QTest::newRow("several towns: the typed one") << u"2600822"_s << u"千葉県千葉市中央区蘇我町2-1"_s << none
                                                  << u"260-0822"_s << u"千葉県千葉市中央区蘇我町2-1"_s << none;
    QTest::newRow("several codes per town: other blocks") << none << u"長野県松本市安曇1-2-3"_s << none << u"390-1501"_s
                                                          << u"長野県松本市安曇1-2-3"_s << none;
    QTest::newRow("several codes per town: the blocks decide") << none << u"長野県松本市安曇3400"_s << none
                                                               << u"390-1502"_s << u"長野県松本市安曇3400"_s << none;
    QTest::newRow("several codes per town: blocks in kanji") << none << u"長野県松本市安曇三千四百番地"_s << none
                                                             << u"390-1502"_s << u"長野県松本市安曇三千四百番地"_s << none;
    QTest::newRow("blocks of a 丁目 note") << none << u"東京都千代田区一ツ橋２丁目１"_s << none << u"101-0003"_s
                                       << u"東京都千代田区一ツ橋２丁目１"_s << none;
    QTest::newRow("blocks of a range note, first") << none << u"札幌市東区北6条東7丁目"_s << none << u"060-0906"_s
                                                   << u"北海道札幌市東区北六条東7丁目"_s << none;
    QTest::newRow("blocks of a range note, second") << none << u"札幌市東区北６条東８－３"_s << none << u"065-0006"_s
                                                    << u"北海道札幌市東区北六条東８－３"_s << none;
    QTest::newRow("a ward without its city") << none << u"東区北六条東4丁目"_s << none << u"060-0906"_s
                                             << u"北海道札幌市東区北六条東4丁目"_s << none;
    QTest::newRow("blocks of a range note, beyond it") << none << u"札幌市東区北六条東21丁目"_s << none << u"060-0906"_s
                                                       << u"北海道札幌市東区北六条東21丁目"_s << none;
    QTest::newRow("ヶ for ケ: the dictionary's spelling") << none << u"北海道札幌市中央区旭ヶ丘5丁目"_s << none
                                                         << u"064-0941"_s << u"北海道札幌市中央区旭ケ丘5丁目"_s << none;
    QTest::newRow("half-width ｹ") << none << u"北海道札幌市中央区旭ｹ丘"_s << none << u"064-0941"_s
                                   << u"北海道札幌市中央区旭ケ丘"_s << none;
    QTest::newRow("no prefecture: completed") << none << u"千代田区千代田1"_s << none << u"100-0001"_s
                                              << u"東京都千代田区千代田1"_s << none;
    QTest::newRow("no district: completed") << none << u"群馬県榛東村新井100"_s << none << u"370-3503"_s
                                            << u"群馬県北群馬郡榛東村新井100"_s << none;
    QTest::newRow("blanks between the parts") << none << u"〒100-0013　東京都 千代田区　霞が関 1-3-1"_s << none
                                              << u"100-0013"_s << u"東京都千代田区霞が関 1-3-1"_s << none;
    QTest::newRow("city of two prefectures, a town of one") << none << u"府中市宮町1"_s << none << u"183-0023"_s
                                                            << u"東京都府中市宮町1"_s << none;
    QTest::newRow("city of two prefectures") << none << u"東京都府中市宮町1"_s << none << u"183-0023"_s
                                             << u"東京都府中市宮町1"_s << none;
    QTest::newRow("city, unknown town") << none << u"東京都千代田区永田町1"_s << none << u"100-0000"_s
                                        << u"東京都千代田区永田町1"_s << none;
    QTest::newRow("city without catch-all, unknown town") << none << u"千葉県千葉市中央区本町"_s << none << none
                                                          << none << none;
    QTest::newRow("a town named 一円") << none << u"滋賀県犬上郡多賀町一円"_s << none << u"522-0300"_s
                                   << u"滋賀県犬上郡多賀町一円"_s << none;
    QTest::newRow("code in front, unknown address") << none << u"〒1000001"_s << none << u"100-0001"_s
                                                    << u"東京都千代田区千代田"_s << none;
    QTest::newRow("unknown code, known address") << u"9999999"_s << u"東京都千代田区千代田"_s << none << u"100-0001"_s
                                                 << u"東京都千代田区千代田"_s << none;
    QTest::newRow("nothing") << none << none << none << none << none << none;
    QTest::newRow("unknown place") << u"12"_s << u"大阪府大阪市北区"_s << none << u"12"_s << none << none;
}

void TestAddresses::lookUp()
{
    QFETCH(QString, zip);
    QFETCH(QString, address);
    QFETCH(QString, company);
    official_->PutAdd(zip, address, company, 1);
    QTEST(zip, "zipAfter");
    QTEST(address, "addressAfter");
    QTEST(company, "companyAfter");
}

void TestAddresses::candidates()
{
    const auto addresses = [this](const QString &zip, const QString &address, const QString &company) {
        QStringList found;
        const AddressAnswer answer = official_->FindAll(zip, address, company);
        for (const AddressCandidate &c : answer.choices + answer.alsoHere)
            found << c.zip + u"|"_s + c.address + u"|"_s + c.company + u"|"_s + certaintyWord(c.certainty);
        return found;
    };
    QCOMPARE(addresses(u"0741271"_s, QString(), QString()),
             (QStringList{u"074-1271|北海道深川市音江町||town"_s, u"074-1271|北海道深川市広里町||town"_s}));
    QCOMPARE(addresses(u"0741271"_s, u"北海道深川市広里町5"_s, u"会社"_s), QStringList{u"074-1271|北海道深川市広里町5|会社|town"_s});
    // Typed elsewhere: every town is offered, the typed text is not.
    QCOMPARE(addresses(u"0741271"_s, u"東京都"_s, QString()).size(), 2);
    QCOMPARE(addresses(u"0368560"_s, QString(), QString()),
             (QStringList{u"036-8560|青森県弘前市大字文京町１|弘前大学　（本部）|business"_s,
                          u"036-8560|青森県弘前市大字文京町１|弘前大学　学生部|business"_s}));
    // With a company typed, the businesses of one address are one answer.
    QCOMPARE(addresses(u"0368560"_s, QString(), u"弘前大学"_s),
             QStringList{u"036-8560|青森県弘前市大字文京町１|弘前大学|business"_s});
    QCOMPARE(addresses(u"1000001"_s, QString(), QString()).size(), 1);
    QVERIFY(addresses(u"1006099"_s, QString(), QString()).isEmpty());
    // The businesses at the blocks typed are listed after the town; a
    // company that names one of them makes its code the answer.
    QCOMPARE(addresses(QString(), u"東京都千代田区千代田1-1"_s, QString()),
             (QStringList{u"100-0001|東京都千代田区千代田1-1||town"_s,
                          u"100-8799|東京都千代田区千代田１－１|株式会社　髙島屋　東京支店|business"_s}));
    QCOMPARE(addresses(QString(), u"千代田区千代田1-1"_s, u"㈱ 髙島屋 東京支店"_s),
             QStringList{u"100-8799|東京都千代田区千代田1-1|㈱ 髙島屋 東京支店|business"_s});
    QCOMPARE(addresses(QString(), u"千代田区千代田2-1"_s, u"髙島屋東京支店"_s),
             QStringList{u"100-0001|東京都千代田区千代田2-1|髙島屋東京支店|town"_s});
    // A code and an address of another place: both offered, the code's
    // first, so that what was typed is not replaced without a word.
    QCOMPARE(addresses(u"1000001"_s, u"府中市宮町1"_s, QString()),
             (QStringList{u"100-0001|東京都千代田区千代田||town"_s, u"183-0023|東京都府中市宮町1||town"_s}));
    QVERIFY(official_->Find(u"1000001"_s, u"府中市宮町1"_s, QString(), 1).disagree);
    QVERIFY(!official_->Find(u"1000001"_s, u"千代田区千代田1"_s, QString(), 1).disagree);
    // The code's town is no part of its ward's name.
    QVERIFY(official_->Find(u"1000001"_s, u"千代田区霞が関1-3-2"_s, QString(), 1).disagree);
    // A business's code with its address written from the city on.
    QCOMPARE(addresses(u"1008050"_s, u"千代田区大手町二丁目6番4号"_s, QString()),
             QStringList{u"100-8050|東京都千代田区大手町二丁目6番4号|東京海上日動火災保険　株式会社|business"_s});
    // A business in 大字 (the business rows keep it, addresses may not).
    QCOMPARE(addresses(QString(), u"弘前市文京町1"_s, u"弘前大学 学生部"_s),
             QStringList{u"036-8560|青森県弘前市文京町1|弘前大学 学生部|business"_s});
}

void TestAddresses::otherModesChangeNothing()
{
    QString zip = u"1000001"_s, address, company;
    official_->PutAdd(zip, address, company, 0);
    QCOMPARE(zip, u"1000001"_s);
    QCOMPARE(address, QString());
    QVERIFY(official_->Find(zip, address, company, 2).choices.isEmpty());
}

void TestAddresses::factory()
{
    QVERIFY(!createObject(u"Tarnu.cAddX"_s));
    QVERIFY(!createObject(u"tarnu.cadd"_s, dir_.filePath(u"official.sqlite3"_s)));
    QVERIFY(!PostalDictionary::open(dir_.filePath(u"missing.sqlite3"_s)));
    QVERIFY(!PostalDictionary::open(dir_.path()));
    QVERIFY(!PostalDictionary::open(writeFile(u"damaged.sqlite3"_s, QByteArray(8192, '\x5a'))));
    // A database cut short.
    QFile::copy(dir_.filePath(u"official.sqlite3"_s), dir_.filePath(u"cut.sqlite3"_s));
    QFile cut(dir_.filePath(u"cut.sqlite3"_s));
    QVERIFY(cut.open(QIODevice::ReadWrite));
    cut.resize(4096);
    cut.close();
    QVERIFY(!PostalDictionary::open(cut.fileName()));
    // One of another format is passed over already where it is read late, so
    // that the program's next place can serve.
    QFile::copy(dir_.filePath(u"official.sqlite3"_s), dir_.filePath(u"old.sqlite3"_s));
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(dir_.filePath(u"old.sqlite3"_s)).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "UPDATE meta SET value = '2' WHERE key = 'format'", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    QString why;
    QVERIFY(!PostalDictionary::open(dir_.filePath(u"old.sqlite3"_s), &why, PostalDictionary::Opening::AtFirstLookUp));
    QVERIFY2(why.endsWith(u"a dictionary of format 2; this program reads format 4 (import it again)"_s), qPrintable(why));
    QVERIFY(PostalDictionary::open(dir_.filePath(u"official.sqlite3"_s), &why, PostalDictionary::Opening::AtFirstLookUp));
    QVERIFY(!PostalDictionary::open(dir_.filePath(u"damaged.sqlite3"_s), &why, PostalDictionary::Opening::AtFirstLookUp));
}

void TestAddresses::replacedWhileOpen()
{
    // Written over in place (as cp does), cut short, moved away and put back
    // by renaming: each look-up answers from the file at the path then, or
    // says it cannot, and never crashes.
    const QString live = dir_.filePath(u"live.sqlite3"_s);
    auto overwrite = [&](const QByteArray &bytes) {
        QFile f(live);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    };
    auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray official = bytesOf(dir_.filePath(u"official.sqlite3"_s));
    DictionaryImport::Source source;
    QString error;
    // A smaller dictionary: the first rows only.
    QFile all(QFINDTESTDATA("fixtures/postal/utf_ken_all.csv"));
    QVERIFY(all.open(QIODevice::ReadOnly));
    QByteArray firstRows;
    for (int i = 0; i < 5; ++i)
        firstRows += all.readLine();
    QVERIFY(DictionaryImport::parseKenAll(u"utf_ken_all.csv"_s, firstRows, &source, &error));
    source.source = u"utf_ken_all.csv"_s;
    source.date = u"2026-05-01"_s;
    QVERIFY(DictionaryImport::write(source, dir_.filePath(u"small.sqlite3"_s)).ok);
    const QByteArray small = bytesOf(dir_.filePath(u"small.sqlite3"_s));
    QVERIFY(overwrite(small));
    auto add = createObject(u"Tarnu.cAdd"_s, live);
    QVERIFY(add);
    auto look = [&](const QString &zip) {
        const AddressAnswer a = add->Find(zip, QString(), QString(), 1);
        return a.problem.isEmpty() ? (a.choices.isEmpty() ? u"none"_s : a.choices.first().address) : u"problem"_s;
    };
    QTRY_COMPARE_WITH_TIMEOUT(look(u"1000001"_s), u"東京都千代田区千代田"_s, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(look(u"0741271"_s), u"none"_s, 2000);
    QVERIFY(overwrite(official));
    QTRY_COMPARE_WITH_TIMEOUT(look(u"0741271"_s), u"北海道深川市音江町"_s, 2000);
    QVERIFY(overwrite(official.left(6000)));
    QTRY_COMPARE_WITH_TIMEOUT(look(u"0741271"_s), u"problem"_s, 2000);
    QVERIFY(add->Find(u"1000001"_s, QString(), QString(), 1).problem.contains(live));
    QVERIFY(overwrite(QByteArray("nothing of the kind")));
    QTRY_COMPARE_WITH_TIMEOUT(look(u"0741271"_s), u"problem"_s, 2000);
    QVERIFY(QFile::remove(live) && QFile::copy(dir_.filePath(u"small.sqlite3"_s), live));
    QTRY_COMPARE_WITH_TIMEOUT(look(u"0741271"_s), u"none"_s, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(look(u"1000001"_s), u"東京都千代田区千代田"_s, 2000);

    // Written over in place with other contents of the same size, its time
    // put back: device, inode, size and time as they were. The watch saw
    // the writes, and that is reason enough to read it again.
    const QString twin = dir_.filePath(u"twin.sqlite3"_s);
    QVERIFY(QFile::copy(dir_.filePath(u"small.sqlite3"_s), twin));
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(twin).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "UPDATE meta SET value = '2026-05-02' WHERE key IN ('date', 'version')", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    }
    const QByteArray twinBytes = bytesOf(twin);
    QCOMPARE(twinBytes.size(), small.size());
    QCOMPARE(add->DataInfo(), u"utf_ken_all.csv, data of 2026-05-01"_s);
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(live).constData(), &before), 0);
    QVERIFY(overwrite(twinBytes));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(live).constData(), times, 0), 0);
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(live).constData(), &after), 0);
    QVERIFY(after.st_ino == before.st_ino && after.st_size == before.st_size
            && after.st_mtim.tv_nsec == before.st_mtim.tv_nsec && after.st_mtim.tv_sec == before.st_mtim.tv_sec);
    QTRY_COMPARE_WITH_TIMEOUT(add->DataInfo(), u"utf_ken_all.csv, data of 2026-05-02"_s, 2000);
}

// A dictionary that appears ahead of the one in use (the user's own, from
// an update while the window is open) is taken up; removed, the next place
// serves again.
void TestAddresses::usersOwnTakenUp()
{
    const QString own = dir_.filePath(u"own/zenrook-postal.sqlite3"_s);
    const QString shipped = dir_.filePath(u"official.sqlite3"_s);
    PostalAddressComponent add(PostalDictionary::open(shipped), {own, shipped});
    auto answer = [&] {
        const AddressAnswer a = add.Find(u"0741271"_s, QString(), QString(), 1);
        return a.choices.isEmpty() ? u"none"_s : a.choices.first().address;
    };
    QCOMPARE(answer(), u"北海道深川市音江町"_s);
    QVERIFY(QDir(dir_.path()).mkpath(u"own"_s));
    QVERIFY(QFile::copy(dir_.filePath(u"small.sqlite3"_s), own));  // holds no 074-1271
    QTRY_COMPARE_WITH_TIMEOUT(answer(), u"none"_s, 5000);
    QCOMPARE(add.DataInfo(), u"utf_ken_all.csv, data of 2026-05-01"_s);
    QVERIFY(QFile::remove(own));
    QTRY_COMPARE_WITH_TIMEOUT(answer(), u"北海道深川市音江町"_s, 5000);
    // One that cannot be read there is passed over, not taken.
    QVERIFY(writeFile(u"own/zenrook-postal.sqlite3"_s, "no dictionary") == own);
    QTest::qWait(1100);
    QCOMPARE(answer(), u"北海道深川市音江町"_s);
}

void TestAddresses::batchLookUp()
{
    QVERIFY(PostalLookup::isPostalCode(u"〒１００－０００１"_s));
    QVERIFY(PostalLookup::isPostalCode(u" 100 "_s));
    QVERIFY(!PostalLookup::isPostalCode(u"100番地"_s));
    QVERIFY(PostalLookup::isPostalCode(u"100‐0013"_s));  // U+2010, a dash as addresses take it
    QVERIFY(!PostalLookup::isPostalCode(u"〒"_s));
    QVERIFY(!PostalLookup::isPostalCode(u"〒100-0013 1-3-2"_s));  // a code, then an address
    QVERIFY(!PostalLookup::isPostalCode(QString()));

    const QList<QByteArray> input{"1006001", "\xE6\x9D\xB1\xFF", "0741271", "1006099", "長野県松本市安曇1",
                                  "府中市", QByteArray("100\0" "0001", 8), "千代田区\t千代田", "東京都千代田区永田町",
                                  "1008050"};
    const auto runOver = [&](bool all, QStringList *warned) {
        qsizetype next = 0;
        QByteArray out;
        const bool written = PostalLookup::run(
            {official_.get()}, all,
            {[&](QByteArray *line) {
                 if (next == input.size())
                     return false;
                 *line = input.at(next++);
                 return true;
             },
             [&] { return next < input.size(); },
             [&](const QByteArray &bytes) {
                 out += bytes;
                 return true;
             },
             [&](qint64 n, const QString &why) { warned->append(QString::number(n) + u": "_s + why); }});
        return written ? QString::fromUtf8(out) : QString();
    };
    QStringList warned;
    // One answer a line, whatever the line holds.
    QCOMPARE(runOver(false, &warned),
             u"100-6001\t東京都千代田区霞が関霞が関ビル１階\t\ttown\n"
             "\t\t\t\n"
             "074-1271\t北海道深川市音江町\t\tambiguous\n"
             "1006099\t\t\tnot found\n"
             "390-1501\t長野県松本市安曇1\t\ttown\n"
             "\t府中市\t\tnot found\n"
             "\t\t\t\n"
             "\t\t\t\n"
             "100-0000\t東京都千代田区永田町\t\tcatch-all\n"
             "100-8050\t東京都千代田区大手町二丁目６番４号常盤橋タワー\t東京海上日動火災保険　株式会社\tbusiness\n"_s);
    QCOMPARE(warned, (QStringList{u"2: not valid UTF-8"_s, u"7: holds a NUL byte"_s, u"8: holds a tab"_s}));
    warned.clear();
    const QStringList all = runOver(true, &warned).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(all.size(), 11);
    QCOMPARE(all.at(1), u"2\t\t\t\t"_s);
    QCOMPARE(all.at(2), u"3\t074-1271\t北海道深川市音江町\t\ttown"_s);
    QCOMPARE(all.at(3), u"3\t074-1271\t北海道深川市広里町\t\ttown"_s);
    QCOMPARE(all.at(4), u"4\t1006099\t\t\tnot found"_s);
    QCOMPARE(warned.size(), 3);
}

void TestAddresses::nationalData_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("zipAfter");
    QTest::addColumn<QString>("addressAfter");
    QTest::addColumn<QString>("company");
    const QString none;
    QTest::newRow("100-0001") << u"1000001"_s << none << u"100-0001"_s << u"東京都千代田区千代田"_s << none;
    QTest::newRow("floor") << u"1006001"_s << none << u"100-6001"_s << u"東京都千代田区霞が関霞が関ビル１階"_s << none;
    QTest::newRow("not a floor") << u"1006099"_s << none << u"1006099"_s << none << none;
    QTest::newRow("business") << u"1008050"_s << none << u"100-8050"_s << u"東京都千代田区大手町二丁目６番４号常盤橋タワー"_s
                              << u"東京海上日動火災保険　株式会社"_s;
    QTest::newRow("no place of the town's notes: its other addresses") << none << u"長野県松本市安曇1-2-3"_s << u"390-1520"_s
                                          << u"長野県松本市安曇1-2-3"_s << none;
    QTest::newRow("two towns, the first") << u"0741271"_s << none << u"074-1271"_s << u"北海道深川市音江町"_s << none;
    QTest::newRow("address to code") << none << u"東京都港区芝公園４丁目２－８"_s << u"105-0011"_s
                                     << u"東京都港区芝公園４丁目２－８"_s << none;
    QTest::newRow("building and floor") << none << u"東京都千代田区霞が関３－２－５ 霞が関ビル１２階"_s << u"100-6012"_s
                                        << u"東京都千代田区霞が関３－２－５ 霞が関ビル１２階"_s << none;
    // A name several cities share: the one where the town is found.
    QTest::newRow("a ward of several cities") << none << u"北区梅田1-1"_s << u"530-0001"_s << u"大阪府大阪市北区梅田1-1"_s
                                              << none;
    QTest::newRow("a city of two prefectures") << none << u"府中市宮町1"_s << u"183-0023"_s << u"東京都府中市宮町1"_s
                                               << none;
    QTest::newRow("a business's code, its Kyoto address without prefecture")
        << u"6048571"_s << u"京都市中京区寺町通御池上る上本能寺前町488"_s << u"604-8571"_s
        << u"京都府京都市中京区寺町通御池上る上本能寺前町488"_s << u"京都市役所"_s;
    // The code in front is of another town of the same city: that city's.
    QTest::newRow("a ward of two cities, the code's city") << none << u"〒260-0013 中央区富士見2-3-1"_s << u"260-0015"_s
                                                          << u"千葉県千葉市中央区富士見2-3-1"_s << none;
    QTest::newRow("an island town without its island") << none << u"東京都八丈町三根1234"_s << u"100-1511"_s
                                                       << u"東京都八丈島八丈町三根1234"_s << none;
    QTest::newRow("Sapporo in digits") << none << u"〒001-0029　札幌市北区北29条西2丁目"_s << u"001-0029"_s
                                       << u"北海道札幌市北区北二十九条西2丁目"_s << none;
}

void TestAddresses::nationalData()
{
#ifdef ZENROOK_NO_NATIONAL_DICTIONARY
    QSKIP("this build makes no national dictionary (ZENROOK_POSTAL_DICTIONARY=OFF)");
#endif
    auto national = createObject(u"Tarnu.cAdd"_s);
    QVERIFY2(national, "no national postal dictionary in the build tree: the build makes it");
    QFETCH(QString, zip);
    QFETCH(QString, address);
    QString company;
    national->PutAdd(zip, address, company, 1);
    QTEST(zip, "zipAfter");
    QTEST(address, "addressAfter");
    QTEST(company, "company");
}

// On the national data: what a town of several codes offers without its
// blocks, a place only a business's row holds, and a post-office box group
// code, which no file lists.
void TestAddresses::nationalChoices()
{
#ifdef ZENROOK_NO_NATIONAL_DICTIONARY
    QSKIP("this build makes no national dictionary (ZENROOK_POSTAL_DICTIONARY=OFF)");
#endif
    auto national = createObject(u"Tarnu.cAdd"_s);
    QVERIFY(national);
    const AddressAnswer odori = national->Find(QString(), u"札幌市中央区大通西"_s, QString(), 1);
    QCOMPARE(odori.certainty, Certainty::Ambiguous);
    QCOMPARE(odori.choices.size(), 2);
    QCOMPARE(odori.choices.at(0).listed(), u"北海道札幌市中央区大通西（１〜１９丁目）"_s);
    QCOMPARE(odori.choices.at(1).listed(), u"北海道札幌市中央区大通西（２０〜２８丁目）"_s);
    QCOMPARE(odori.choices.at(1).address, u"北海道札幌市中央区大通西"_s);

    // A designated city written without its ward: the town, and its blocks
    // where it lies in two wards, tell which.
    auto zipOf = [&](const QString &address) {
        const AddressAnswer a = national->Find(QString(), address, QString(), 1);
        return a.choices.isEmpty() ? QString() : a.choices.first().zip + u' ' + certaintyWord(a.certainty);
    };
    QCOMPARE(zipOf(u"仙台市小田原5丁目"_s), u"980-0003 town"_s);
    QCOMPARE(zipOf(u"仙台市小田原2丁目"_s), u"983-0803 town"_s);
    QCOMPARE(zipOf(u"札幌市北四条東10丁目"_s), u"065-0004 town"_s);
    QCOMPARE(zipOf(u"名古屋市名駅1-1-4"_s), u"450-0002 ambiguous"_s);  // 名駅 of 中村区, and of 西区
    const AddressAnswer odawara = national->Find(QString(), u"仙台市小田原"_s, QString(), 1);
    QCOMPARE(odawara.choices.size(), 2);
    QVERIFY2(odawara.choices.at(0).listed().endsWith(u"丁目）"_s), qPrintable(odawara.choices.at(0).listed()));

    const AddressAnswer temple = national->Find(QString(), u"京都府京都市下京区堀川通花屋町下る本願寺門前町"_s, QString(), 1);
    QCOMPARE(temple.choices.size(), 2);
    QCOMPARE(temple.choices.at(0).zip, u"600-8501"_s);
    QCOMPARE(temple.choices.at(0).certainty, Certainty::Business);
    QCOMPARE(temple.choices.at(0).company, u"浄土真宗本願寺派宗務所"_s);
    QCOMPARE(temple.choices.at(1).certainty, Certainty::CatchAll);
    QCOMPARE(zipOf(u"京都市下京区堀川通花屋町下ル本願寺門前町"_s), u"600-8501 ambiguous"_s);  // 下ル as people write it

    const AddressBarcode box = addressBarcode(*national, u"9808691"_s, u"私書箱215号"_s);
    QCOMPARE(box.answer.certainty, Certainty::PoBox);
    QCOMPARE(box.characters.join(u' '), u"9 8 0 8 6 9 1 2 1 5 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 1"_s);
    QVERIFY(addressBarcode(*national, u"9808691"_s, QString()).reason.contains(u"私書箱"_s));
    QCOMPARE(national->Find(u"9808690"_s, QString(), QString(), 1).certainty, Certainty::NotFound);  // no group ends in 0
    // A box's own code, listed with the businesses: thirteen CC4.
    const AddressBarcode own = addressBarcode(*national, u"0608703"_s, QString());  // NHK, 札幌中央郵便局私書箱第２９号
    QCOMPARE(own.characters.mid(7, 13), QStringList(13, u"CC4"_s));
}

QTEST_GUILESS_MAIN(TestAddresses)
#include "tst_addresses.moc"
