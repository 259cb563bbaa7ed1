// The one normalisation of address text, by table: what people type and
// what the dictionary holds compare alike, and what follows a matched place
// is found again in the text as typed.

#include "postal/addresses/AddressText.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestAddressText : public QObject
{
    Q_OBJECT
private slots:
    void sameKey_data();
    void sameKey();
    void differentKey_data();
    void differentKey();
    void originalPositions();
    void companies();
    void numbers();
    void postalCodeInFront_data();
    void postalCodeInFront();
    void everyMarkIsOne();
};

// Pairs written differently that must compare alike.
void TestAddressText::sameKey_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("dictionary");
    QTest::newRow("full-width digits") << u"霞が関１－３－１"_s << u"霞が関1-3-1"_s;
    QTest::newRow("blanks of both widths") << u"東京都 千代田区　霞が関"_s << u"東京都千代田区霞が関"_s;
    QTest::newRow("dash look-alikes") << u"1‐2−3―4─5－6"_s << u"1-2-3-4-5-6"_s;
    QTest::newRow("long-vowel mark as a dash after a digit") << u"1ー3ｰ1"_s << u"1-3-1"_s;
    QTest::newRow("kanji numbers with units") << u"北二十九条西"_s << u"北29条西"_s;
    QTest::newRow("丁目 in three ways") << u"二丁目"_s << u"２丁目"_s;
    QTest::newRow("線, 号, 番町, 地割") << u"南七線十号一番町第二十一地割"_s << u"南7線10号1番町第21地割"_s;
    QTest::newRow("hundreds and thousands") << u"三千四百番地"_s << u"3400番地"_s;
    QTest::newRow("digit by digit") << u"一〇二"_s << u"102"_s;
    QTest::newRow("ヶ") << u"霞ヶ関"_s << u"霞ケ関"_s;
    QTest::newRow("が between kanji") << u"霞が関"_s << u"霞ケ関"_s;
    QTest::newRow("が after kana, before a kanji") << u"ひばりが丘"_s << u"ひばりヶ丘"_s;
    QTest::newRow("ヵ") << u"三ヵ日"_s << u"三ケ日"_s;
    QTest::newRow("half-width ｹ") << u"旭ｹ丘"_s << u"旭ヶ丘"_s;
    QTest::newRow("ノ between kanji") << u"西ノ京"_s << u"西の京"_s;
    QTest::newRow("half-width katakana with voiced mark") << u"ﾐｯﾄﾞﾗﾝﾄﾞ"_s << u"ミッドランド"_s;
    QTest::newRow("full-width letters") << u"ＡＢＣビル２Ｆ"_s << u"ABCビル2F"_s;
    QTest::newRow("numbers apart by script") << u"東二1-2"_s << u"東2-1-2"_s;
    QTest::newRow("numbers apart by a blank") << u"第1 123"_s << u"第1-123"_s;
}

void TestAddressText::sameKey()
{
    QFETCH(QString, typed);
    QFETCH(QString, dictionary);
    QCOMPARE(AddressText::comparable(typed), AddressText::comparable(dictionary));
}

// Pairs that only look alike, and must stay apart.
void TestAddressText::differentKey_data()
{
    QTest::addColumn<QString>("one");
    QTest::addColumn<QString>("other");
    QTest::newRow("long vowel in a katakana name") << u"センター"_s << u"セン-タ-"_s;
    QTest::newRow("が between kana") << u"ながの"_s << u"なケの"_s;
    QTest::newRow("が before kana") << u"ひがんだ"_s << u"ひケんだ"_s;
    QTest::newRow("a wave is no dash") << u"1〜3"_s << u"1-3"_s;
    QTest::newRow("different numbers") << u"北二十条西"_s << u"北2条西"_s;
    QTest::newRow("a blank apart from numbers goes") << u"第1 号"_s << u"第1-号"_s;
}

void TestAddressText::differentKey()
{
    QFETCH(QString, one);
    QFETCH(QString, other);
    QVERIFY(AddressText::comparable(one) != AddressText::comparable(other));
}

void TestAddressText::originalPositions()
{
    // What follows the town, found again in the text as typed.
    const QString typed = u"港区　霞ヶ関 ３－２－５ 霞ヶ関ビル"_s;
    const AddressText::Key k = AddressText::key(typed);
    QCOMPARE(k.text, u"港区霞ケ関3-2-5霞ケ関ビル"_s);
    const qsizetype town = k.text.indexOf(u"霞"_s);
    QCOMPARE(typed.mid(k.originalStart(town, typed.size())), u"霞ヶ関 ３－２－５ 霞ヶ関ビル"_s);
    QCOMPARE(typed.mid(k.originalEnd(town + 3)), u" ３－２－５ 霞ヶ関ビル"_s);
    // A number in kanji is one run: its digits all point at the whole run.
    const QString kanji = u"北二十九条西2丁目"_s;
    const AddressText::Key n = AddressText::key(kanji);
    QCOMPARE(n.text, u"北29条西2丁目"_s);
    QCOMPARE(kanji.mid(n.originalEnd(5)), u"2丁目"_s);  // after "北29条西"
    QCOMPARE(kanji.left(n.originalStart(1, kanji.size())), u"北"_s);
    QCOMPARE(n.originalStart(n.text.size(), kanji.size()), kanji.size());
    QCOMPARE(n.originalEnd(0), 0);
}

void TestAddressText::companies()
{
    for (const QString &name : {u"株式会社 髙島屋"_s, u"㈱髙島屋"_s, u"（株）髙島屋"_s, u"髙島屋　株式会社"_s, u"髙島屋(株)"_s})
        QCOMPARE(AddressText::companyKey(name), u"髙島屋"_s);
    QCOMPARE(AddressText::companyKey(u"有限会社 山田商店"_s), AddressText::companyKey(u"山田商店㈲"_s));
    QVERIFY(AddressText::companyKey(u"髙島屋"_s) != AddressText::companyKey(u"髙島屋東京支店"_s));
}

void TestAddressText::numbers()
{
    QCOMPARE(AddressText::blockNumbers(u"２丁目８－１"_s), u"2-8-1"_s);
    QCOMPARE(AddressText::blockNumbers(u"二丁目６番４号常盤橋タワー"_s), u"2-6-4"_s);
    QCOMPARE(AddressText::blockNumbers(u"ビル"_s), QString());
    // Numbers no address holds stay numbers, capped where they would overflow.
    QCOMPARE(AddressText::kanjiNumber(u"九九九九九九九九九九九九九九九九九九九九十"), u"1000000000000"_s);
    QCOMPARE(AddressText::kanjiNumber(u"〇一"), u"01"_s);
    QCOMPARE(AddressText::leadingNumber(u"8丁目"), 8);
    QCOMPARE(AddressText::leadingNumber(u"第21地割"), 21);
    QCOMPARE(AddressText::leadingNumber(u"-1"), -1);
    QCOMPARE(AddressText::azaLength(u"大字崎鍬ケ崎"), 2);
    QCOMPARE(AddressText::azaLength(u"字大淵"), 1);
    QCOMPARE(AddressText::azaLength(u"大手町"), 0);
}

void TestAddressText::postalCodeInFront_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("address");
    QTest::newRow("mark, dash, blank") << u"〒100-0013 東京都"_s << u"1000013"_s << u"東京都"_s;
    QTest::newRow("mark, no dash, no blank") << u"〒1000013東京都"_s << u"1000013"_s << u"東京都"_s;
    QTest::newRow("no mark, a blank after") << u"100-0013 東京都"_s << u"1000013"_s << u"東京都"_s;
    QTest::newRow("full width, ideographic blank") << u"〒１００－００１３　東京都"_s << u"1000013"_s << u"東京都"_s;
    QTest::newRow("no mark and no blank: an address") << u"1000013東京都"_s << QString() << QString();
    QTest::newRow("eight digits") << u"〒10000131 東京都"_s << QString() << QString();
    QTest::newRow("six digits") << u"〒100-001 東京都"_s << QString() << QString();
    QTest::newRow("no code") << u"東京都千代田区"_s << QString() << QString();
}

void TestAddressText::postalCodeInFront()
{
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QFETCH(QString, address);
    const AddressText::LeadingZip z = AddressText::leadingZip(text);
    QCOMPARE(z.digits, digits);
    if (!digits.isEmpty())
        QCOMPARE(text.mid(z.addressStart), address);
}

// Every character of the first plane that Unicode calls a mark (and the two
// half-width voiced marks) piles up as one; no other character does.
void TestAddressText::everyMarkIsOne()
{
    for (int u = 1; u < 0x10000; ++u) {
        const QChar c{char16_t(u)};
        if (c.isSurrogate())
            continue;
        const bool mark = c.isMark() || u == 0xFF9E || u == 0xFF9F;
        QVERIFY2(AddressText::tooManyMarks(u"東"_s + QString(AddressText::kMostMarks + 1, c)) == mark,
                 QByteArray::number(u, 16).constData());
    }
}

QTEST_GUILESS_MAIN(TestAddressText)
#include "tst_addresstext.moc"
