// The customer barcode against the postal service's 郵便番号・バーコードマニュアル:
// every worked example of its pages on extracting the characters a barcode
// needs, with the code and check character the manual gives, cases of our
// own for each supplementary rule, and the bars of one whole barcode.

#include "postal/mail/CustomerBarcode.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestBarcode : public QObject
{
    Q_OBJECT
private slots:
    void manualExamples_data();
    void manualExamples();
    void supplementaryRules_data();
    void supplementaryRules();
    void truncationAndFilling();
    void checkCharacter();
    void barsOfOneBarcode();
    void sizes();
};

// Address (after the town) → address number → the 21 characters.
void TestBarcode::manualExamples_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("afterTown");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("characters");
    // "バーコードに必要な文字情報の抜き出し法(1/9)" and "(5/9)": 東京都千代田区霞が関.
    QTest::newRow("p17 霞が関") << u"1000013"_s << u"1丁目3番2号 郵便プラザ503室"_s << u"1-3-2-503"_s
                              << u"1 0 0 0 0 1 3 1 - 3 - 2 - 5 0 3 CC4 CC4 CC4 CC4 9"_s;
    // "(3/9)", the rules worked through: 千葉県鎌ケ谷市右京塚.
    QTest::newRow("p19 右京塚") << u"2730102"_s << u"東3丁目-20-5 郵便・A&bコーポB604号"_s << u"3-20-5B604"_s
                              << u"2 7 3 0 1 0 2 3 - 2 0 - 5 CC1 1 6 0 4 CC4 CC4 0"_s;
    // "(4/9)": joining, and cutting to 20.
    QTest::newRow("p20 宮田町") << u"3170055"_s << u"6丁目7-14 ABCビル2F"_s << u"6-7-14-2"_s
                              << u"3 1 7 0 0 5 5 6 - 7 - 1 4 - 2 CC4 CC4 CC4 CC4 CC4 CC1"_s;
    QTest::newRow("p20 南四条西") << u"0640804"_s << u"29丁目1524-23 第2郵便ハウス501"_s << u"29-1524-23-2-501"_s
                               << u"0 6 4 0 8 0 4 2 9 - 1 5 2 4 - 2 3 - 2 - 3"_s;
    QTest::newRow("p20 新田塚") << u"9100067"_s << u"3丁目80-25 J1ビル2-B"_s << u"3-80-25J1-2B"_s
                              << u"9 1 0 0 0 6 7 3 - 8 0 - 2 5 CC1 9 1 - 2 CC1 9"_s;
    // The table of examples at the end of the extraction pages.
    QTest::newRow("緑町") << u"2630023"_s << u"3丁目30-8　郵便ビル403号"_s << u"3-30-8-403"_s
                        << u"2 6 3 0 0 2 3 3 - 3 0 - 8 - 4 0 3 CC4 CC4 CC4 5"_s;
    QTest::newRow("堀見内") << u"0140113"_s << u"　南田茂木　添60-1"_s << u"60-1"_s
                         << u"0 1 4 0 1 1 3 6 0 - 1 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC8"_s;
    QTest::newRow("台東") << u"1100016"_s << u"5-6-3　ABCビル10F"_s << u"5-6-3-10"_s
                        << u"1 1 0 0 0 1 6 5 - 6 - 3 - 1 0 CC4 CC4 CC4 CC4 CC4 9"_s;
    QTest::newRow("北六条東 4丁目") << u"0600906"_s << u"4丁目　郵便センター6号館"_s << u"4-6"_s
                              << u"0 6 0 0 9 0 6 4 - 6 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 9"_s;
    QTest::newRow("北六条東 8丁目") << u"0650006"_s << u"8丁目　郵便センター10号館"_s << u"8-10"_s
                              << u"0 6 5 0 0 0 6 8 - 1 0 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 9"_s;
    QTest::newRow("龍岡町下條南割") << u"4070033"_s << u"　韮崎400"_s << u"400"_s
                             << u"4 0 7 0 0 3 3 4 0 0 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 -"_s;
    QTest::newRow("河辺町") << u"1980036"_s << u"十一丁目六番地一号　郵便タワー601"_s << u"11-6-1-601"_s
                         << u"1 9 8 0 0 3 6 1 1 - 6 - 1 - 6 0 1 CC4 CC4 CC4 CC8"_s;
    QTest::newRow("津軽石") << u"0270203"_s << u"第二十一地割大淵川480"_s << u"21-480"_s
                         << u"0 2 7 0 2 0 3 2 1 - 4 8 0 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC5"_s;
    QTest::newRow("中田出井町") << u"5900016"_s << u"四丁六番十九号"_s << u"4-6-19"_s
                           << u"5 9 0 0 0 1 6 4 - 6 - 1 9 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC2"_s;
    QTest::newRow("稲田町") << u"0800831"_s << u"南七線　西28"_s << u"7-28"_s
                         << u"0 8 0 0 8 3 1 7 - 2 8 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC7"_s;
    QTest::newRow("港島中町") << u"6500046"_s << u"9丁目7-6　郵便シティA棟1F1号"_s << u"9-7-6A1-1"_s
                          << u"6 5 0 0 0 4 6 9 - 7 - 6 CC1 0 1 - 1 CC4 CC4 CC4 5"_s;
    QTest::newRow("青野町") << u"6230011"_s << u"綾部6-7　LプラザB106"_s << u"6-7LB106"_s
                         << u"6 2 3 0 0 1 1 6 - 7 CC2 1 CC1 1 1 0 6 CC4 CC4 CC4 4"_s;
    QTest::newRow("入谷") << u"2280024"_s << u"6丁目3454-5　郵便ハイツ6-1108"_s << u"6-3454-5-6-1108"_s
                        << u"2 2 8 0 0 2 4 6 - 3 4 5 4 - 5 - 6 - 1 1 2"_s;
}

void TestBarcode::manualExamples()
{
    QFETCH(QString, zip);
    QFETCH(QString, afterTown);
    QFETCH(QString, number);
    QFETCH(QString, characters);
    QCOMPARE(CustomerBarcode::addressNumber(afterTown), number);
    QCOMPARE(CustomerBarcode::characters(zip, number).join(u' '), characters);
}

// Our own cases for each rule and supplementary rule of extraction.
void TestBarcode::supplementaryRules_data()
{
    QTest::addColumn<QString>("afterTown");
    QTest::addColumn<QString>("number");
    QTest::newRow("lower case to upper") << u"1-2 b棟"_s << u"1-2B"_s;
    QTest::newRow("&, /, ・ and . leave no gap") << u"1&2/3・4.5"_s << u"12345"_s;
    QTest::newRow("kanji before 番地, の, 号") << u"十二番地の三号"_s << u"12-3"_s;
    QTest::newRow("kanji before 丁 and 番") << u"四丁目二十番"_s << u"4-20"_s;
    QTest::newRow("kanji before ノ") << u"三ノ五"_s << u"3"_s;
    QTest::newRow("kanji elsewhere is no number") << u"三郷ビル5階"_s << u"5"_s;
    QTest::newRow("digit by digit kanji") << u"一〇二番"_s << u"102"_s;
    QTest::newRow("a leading 〇 is no digit") << u"〇一番"_s << u"1"_s;
    QTest::newRow("kanji digits past any number") << u"九九九九九九九九九九九九九九九九九九九九番"_s
                                                  << u"99999999999999999999"_s;
    QTest::newRow("letters in a run are no characters") << u"ABCビル12"_s << u"12"_s;
    QTest::newRow("F after a number, more after it") << u"3-4 2F201号室"_s << u"3-4-2-201"_s;
    QTest::newRow("F after a number at the end") << u"3-4 12F"_s << u"3-4-12"_s;
    QTest::newRow("F alone is a letter") << u"3-4 F棟"_s << u"3-4F"_s;
    QTest::newRow("no hyphen next to a letter") << u"1-A-2"_s << u"1A2"_s;
    QTest::newRow("blank and hyphen before a letter") << u"1-3-2 -A"_s << u"1-3-2A"_s;
    QTest::newRow("letters brought together stay") << u"1 A B 2"_s << u"1AB2"_s;
    QTest::newRow("hyphens merged, none at the ends") << u"－－1－－－2－"_s << u"1-2"_s;
    QTest::newRow("full width") << u"３丁目４－５ Ｃ棟"_s << u"3-4-5C"_s;
    QTest::newRow("nothing to take") << u"郵便ビル"_s << QString();
}

void TestBarcode::supplementaryRules()
{
    QFETCH(QString, afterTown);
    QFETCH(QString, number);
    QCOMPARE(CustomerBarcode::addressNumber(afterTown), number);
}

void TestBarcode::truncationAndFilling()
{
    // A letter cut at the 13th place keeps its control code ("(4/9)").
    QCOMPARE(CustomerBarcode::characters(u"1000013"_s, u"1-2-3-4-5-67A"_s).mid(7, 13).join(u' '),
             u"1 - 2 - 3 - 4 - 5 - 6 7 CC1"_s);
    QCOMPARE(CustomerBarcode::characters(u"1000013"_s, u"1-2-3-4-5-6A"_s).mid(7, 13).join(u' '),
             u"1 - 2 - 3 - 4 - 5 - 6 CC1 0"_s);
    // Letters past A-J: K-T as CC2, U-Z as CC3.
    QCOMPARE(CustomerBarcode::characters(u"1000013"_s, u"KTUZ"_s).mid(7, 8).join(u' '),
             u"CC2 0 CC2 9 CC3 0 CC3 5"_s);
    // A business's or post-office box's own code: its address number is
    // thirteen CC4 ("(6/9)": 100-8792, whose characters add up to a multiple
    // of 19 already, so its check character is 0).
    QCOMPARE(CustomerBarcode::characters(u"1008792"_s, QString()).join(u' '),
             u"1 0 0 8 7 9 2 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 0"_s);
    // A box number after an office's box code (980-8691, box 215).
    QCOMPARE(CustomerBarcode::characters(u"9808691"_s, u"215"_s).join(u' '),
             u"9 8 0 8 6 9 1 2 1 5 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 1"_s);
}

void TestBarcode::checkCharacter()
{
    // Sums worked by hand (digits their value, "-" 10, CC1-CC8 11-18): the
    // check character makes them a multiple of 19.
    auto check = [](const char *zip, const char *number) {
        return CustomerBarcode::characters(QString::fromLatin1(zip), QString::fromLatin1(number)).constLast();
    };
    QCOMPARE(check("0000000", ""), u"8"_s);      // 13 CC4 = 182 ≡ 11
    QCOMPARE(check("0000000", "3"), u"0"_s);     // 3 + 12 CC4 = 171 ≡ 0
    QCOMPARE(check("0000000", "5"), u"CC7"_s);   // 173 ≡ 2
    QCOMPARE(check("1111111", "1"), u"CC4"_s);   // 7 + 1 + 168 = 176 ≡ 5
    QCOMPARE(check("1234567", "1-2"), u"9"_s);   // 28 + 13 + 140 = 181 ≡ 10
    QCOMPARE(CustomerBarcode::value(u"CC9"_s), -1);
}

void TestBarcode::barsOfOneBarcode()
{
    // The bars of 100-0013 1-3-2-503 (check 9), as the manual's code table
    // gives them: L long, U semi-long upper, D semi-long lower, T timing.
    const QString expected = u"LD"          // start
                             "LLT LTT LTT LTT LTT LLT DLU"  // 1000013
                             "LLT TLT DLU TLT LDU TLT LTL LTT DLU"  // 1-3-2-503
                             "TDU TDU TDU TDU"  // CC4
                             "TLL"          // 9
                             "DL"_s;        // stop
    const QString drawing = CustomerBarcode::svg(CustomerBarcode::characters(u"1000013"_s, u"1-3-2-503"_s), 10);
    static const QRegularExpression rect(u"<rect x=\"([0-9.]+)\" y=\"([0-9.]+)\" width=\"([0-9.]+)\" height=\"([0-9.]+)\"/>"_s);
    QString seen;
    double lastX = -1;
    for (auto m = rect.globalMatch(drawing); m.hasNext();) {
        const QRegularExpressionMatch r = m.next();
        const double x = r.captured(1).toDouble(), y = r.captured(2).toDouble(), w = r.captured(3).toDouble(),
                     h = r.captured(4).toDouble();
        // 10 point: bars 0.6 mm wide at a pitch of 1.2 mm; long 3.6 mm, semi-long
        // 2.4 mm, timing 1.2 mm, after a quiet zone of 2 mm.
        QCOMPARE(w, 0.6);
        if (lastX >= 0)
            QVERIFY(qAbs(x - lastX - 1.2) < 1e-9);
        lastX = x;
        const double top = y - 2.0;
        seen += qAbs(h - 3.6) < 1e-9 ? u'L' : qAbs(h - 1.2) < 1e-9 && qAbs(top - 1.2) < 1e-9 ? u'T'
              : qAbs(h - 2.4) < 1e-9 && qAbs(top) < 1e-9 ? u'U' : qAbs(h - 2.4) < 1e-9 && qAbs(top - 1.2) < 1e-9 ? u'D' : u'?';
    }
    QCOMPARE(seen, QString(expected).remove(u' '));
    QCOMPARE(seen.size(), 67);
    QVERIFY(drawing.contains(u"width=\"83.800mm\" height=\"7.600mm\""_s));
}

void TestBarcode::sizes()
{
    // Every dimension in proportion to the size, from 8 to 11.5 point.
    const QStringList c = CustomerBarcode::characters(u"1000013"_s, u"1-3-2-503"_s);
    QVERIFY(CustomerBarcode::svg(c, 8).contains(u"height=\"2.880\""_s));
    QVERIFY(CustomerBarcode::svg(c, 11.5).contains(u"height=\"4.140\""_s));
    QVERIFY(CustomerBarcode::svg(c, 8).contains(u"width=\"0.480\""_s));
}

QTEST_GUILESS_MAIN(TestBarcode)
#include "tst_barcode.moc"
