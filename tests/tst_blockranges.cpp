// Which of a town's codes the blocks written after it pick, from the notes
// the postal service writes after the town. Each case is a real note of its
// file; the address is one a person would write.

#include "postal/addresses/BlockRanges.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestBlockRanges : public QObject
{
    Q_OBJECT
private slots:
    void fits_data();
    void fits();
    void mostSpecificWins();
};

void TestBlockRanges::fits_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("fit");  // "yes", "maybe" or "no"
    auto row = [](const char *name, const QString &note, const QString &after, const char *fit) {
        QTest::newRow(name) << note << after << QString::fromLatin1(fit);
    };
    row("chome range, inside", u"（１〜１９丁目）"_s, u"3丁目"_s, "yes");
    row("chome range, its last", u"（１〜１９丁目）"_s, u"１９丁目１－１"_s, "yes");
    row("chome range, past it", u"（１〜１９丁目）"_s, u"20丁目"_s, "no");
    row("chome range, kanji and dash", u"（２０〜２８丁目）"_s, u"二十五丁目"_s, "yes");
    row("wave dash of another code point", u"（８～２０丁目）"_s, u"8-1-1"_s, "yes");
    row("chome list", u"（１、３丁目）"_s, u"3丁目2番"_s, "yes");
    row("chome list, not listed", u"（１、３丁目）"_s, u"2丁目2番"_s, "no");
    row("banchi range with a go", u"（５１３３番地２〜５１８７番地）"_s, u"5133-2"_s, "yes");
    row("banchi range, below its go", u"（５１３３番地２〜５１８７番地）"_s, u"5133-1"_s, "no");
    row("banchi range, go not written", u"（５１３３番地２〜５１８７番地）"_s, u"5133番地"_s, "maybe");
    row("open end", u"（２００番地以上）"_s, u"1200"_s, "yes");
    row("open end, below", u"（２００番地以上）"_s, u"199番地"_s, "no");
    row("blocks within a chome", u"（４丁目１〜２番・１０〜２７番、５丁目）"_s, u"4丁目12-3"_s, "yes");
    row("blocks within a chome, between", u"（４丁目１〜２番・１０〜２７番、５丁目）"_s, u"4-5-3"_s, "no");
    row("blocks within a chome, the other chome", u"（４丁目１〜２番・１０〜２７番、５丁目）"_s, u"5-5-3"_s, "yes");
    row("allotments", u"第１５地割〜第２１地割"_s, u"第20地割21-1"_s, "yes");
    row("allotments, past", u"第１５地割〜第２１地割"_s, u"第22地割"_s, "no");
    row("place and banchi", u"（国見２３〜２９８番地）"_s, u"国見25番地"_s, "yes");
    row("place and banchi, another place", u"（国見２３〜２９８番地）"_s, u"大平25番地"_s, "no");
    row("place with a numeral in its name", u"（七瀬中町）"_s, u"七瀬中町1-1"_s, "yes");
    row("each level ranged", u"（西５〜８線７９〜１１０番地）"_s, u"西6線80番地"_s, "yes");
    row("each level ranged, out", u"（西５〜８線７９〜１１０番地）"_s, u"西6線120番地"_s, "no");
    row("the others", u"（その他）"_s, u"3丁目"_s, "no");
    row("all but", u"（次のビルを除く）"_s, u"1-3-2"_s, "no");
}

void TestBlockRanges::fits()
{
    QFETCH(QString, note);
    QFETCH(QString, after);
    QFETCH(QString, fit);
    const BlockRanges::Fit f = BlockRanges::fit(BlockRanges::parse(note), BlockRanges::written(after));
    QCOMPARE(f.score > 0 ? u"yes"_s : f.maybe > 0 ? u"maybe"_s : u"no"_s, fit);
}

// Where two notes fit, the one that says more decides: "（増幌浜）" over
// "（増幌）", a block within a chome over the chome, places after allotments.
void TestBlockRanges::mostSpecificWins()
{
    auto score = [](const QString &note, const QString &after) {
        return BlockRanges::fit(BlockRanges::parse(note), BlockRanges::written(after)).score;
    };
    QVERIFY(score(u"（増幌浜）"_s, u"増幌浜1-1"_s) > score(u"（増幌）"_s, u"増幌浜1-1"_s));
    QVERIFY(score(u"（増幌）"_s, u"増幌浜1-1"_s) > 0);
    QVERIFY(score(u"（４丁目３〜９番）"_s, u"4-5-1"_s) > score(u"（４丁目）"_s, u"4-5-1"_s));
    QVERIFY(score(u"４４地割（湯田ダム管理事務所、後口山、当楽）"_s, u"44地割当楽1-1"_s)
            > score(u"４４地割（その他）"_s, u"44地割当楽1-1"_s));
    QVERIFY(score(u"４４地割（その他）"_s, u"44地割1-1"_s) > 0);
    QVERIFY(BlockRanges::parse(u"４４地割（その他）"_s).otherwise);
    QVERIFY(BlockRanges::parse(QString()).otherwise);
    QVERIFY(!BlockRanges::parse(u"（１〜１９丁目）"_s).otherwise);
}

QTEST_GUILESS_MAIN(TestBlockRanges)
#include "tst_blockranges.moc"
