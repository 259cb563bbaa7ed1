// Address lists as spreadsheets write them, filled with codes and barcodes:
// the same list comes back, byte for byte, with four cells added to each
// row; what cannot be read is named and passed on.

#include "BufferReader.h"
#include "postal/addresses/AddressComponent.h"
#include "postal/mail/CsvRecords.h"
#include "postal/mail/CustomerBarcode.h"
#include "postal/import/DictionaryImport.h"
#include "postal/mail/PostalCsv.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

QByteArray cp932(const QString &text)
{
    QByteArray out;
    QProcess iconv;
    iconv.start(u"iconv"_s, {u"-f"_s, u"UTF-8"_s, u"-t"_s, u"CP932"_s});
    iconv.waitForStarted();
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    return iconv.readAllStandardOutput();
}

// The barcode's characters for a code and an address number, as the
// barcode's own tests check them against the manual.
QString bars(const QString &zip, const QString &number)
{
    return CustomerBarcode::characters(zip, number).join(u' ');
}

struct Outcome {
    QByteArray out;
    QStringList warnings;
    QString stopped;
};

}  // namespace

class TestPostalCsv : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void records();
    void rowLongerThanItsLimit();
    void roundTripInCodePage932();
    void fillTheZipColumn();
    void utf8WithByteOrderMark();
    void characterTheListCannotHold();
    void columnThatIsNotThere();
    void rowsThatSayTooLittleOrTooMuch();
    void hostileCells();
    void readingStopsMidList();
    void encodingByMostRows();

private:
    Outcome run(const QByteArray &input, const PostalCsv::Options &options);
    QTemporaryDir dir_;
    std::unique_ptr<AddressComponent> add_;
};

void TestPostalCsv::initTestCase()
{
    DictionaryImport::Source source;
    QString error;
    QVERIFY(DictionaryImport::readKenAll(QFINDTESTDATA("fixtures/postal/utf_ken_all.csv"), &source, &error));
    QVERIFY(DictionaryImport::readJigyosyo(QFINDTESTDATA("fixtures/postal/JIGYOSYO.CSV"), &source, &error));
    // A town written with a character code page 932 does not have.
    source.rows.append({u"9990001"_s, u"東京都"_s, u"千代田区"_s, u"𠮷野"_s, {}, {}, {}, {}});
    QVERIFY(DictionaryImport::write(source, dir_.filePath(u"d.sqlite3"_s)).ok);
    add_ = createObject(u"Tarnu.cAdd"_s, dir_.filePath(u"d.sqlite3"_s));
    QVERIFY(add_);
}

Outcome TestPostalCsv::run(const QByteArray &input, const PostalCsv::Options &options)
{
    Outcome o;
    o.stopped = PostalCsv::run(*add_, options,
                               {BufferReader(input, 7),
                                [&](const QByteArray &bytes) {
                                    o.out += bytes;
                                    return true;
                                },
                                [&](qint64 line, const QString &why) { o.warnings << QString::number(line) + u": "_s + why; }})
                    .why;
    return o;
}

void TestPostalCsv::records()
{
    const QByteArray text = "a,\"b,\"\"c\"\"\r\nd\",\r\n\"\",x\ry\n\"open";
    CsvRecords r(BufferReader{text});
    CsvRecords::Record rec;
    QVERIFY(r.next(&rec));
    QCOMPARE(rec.raw, QByteArray("a,\"b,\"\"c\"\"\r\nd\",\r\n"));
    QCOMPARE(rec.line, 1);
    QCOMPARE(rec.fields.size(), 3);
    QCOMPARE(CsvRecords::value(rec, rec.fields.at(1)), QByteArray("b,\"c\"\r\nd"));
    QCOMPARE(CsvRecords::value(rec, rec.fields.at(2)), QByteArray());
    QVERIFY(r.next(&rec));
    QCOMPARE(rec.raw, QByteArray("\"\",x\r"));  // a lone CR ends a row too
    QCOMPARE(rec.line, 3);
    QCOMPARE(rec.fields.size(), 2);
    QVERIFY(r.next(&rec));
    QCOMPARE(rec.raw, QByteArray("y\n"));
    QCOMPARE(rec.line, 4);
    QVERIFY(r.next(&rec));
    QCOMPARE(rec.raw, QByteArray("\"open"));
    QCOMPARE(rec.problem, u"a quote is not closed: the rest of the list is one row"_s);
    QVERIFY(!r.next(&rec));
    auto field = [](const char *value) {
        QByteArray out = "x,";
        CsvRecords::appendField(out, value);
        return out;
    };
    QCOMPARE(field("a,b"), QByteArray("x,\"a,b\""));
    QCOMPARE(field("say \"hi\""), QByteArray("x,\"say \"\"hi\"\"\""));
    QCOMPARE(field("plain"), QByteArray("x,plain"));
}

void TestPostalCsv::rowLongerThanItsLimit()
{
    // A row too long to hold is passed on in pieces; a quoted line break
    // just past the cut is still inside its field, so nothing of it is taken
    // for a row of its own, and the row after it is filled.
    const qsizetype limit = CsvRecords::kMaxRecord;
    QByteArray input = '"' + QByteArray(limit - 2, 'x') + '"';
    input += ",\"ab\ncd\"\n千代田区千代田1,x\n";
    PostalCsv::Options o;
    o.address = u"1"_s;
    o.encoding = PostalCsv::Encoding::Utf8;
    const Outcome got = run(input, o);
    QCOMPARE(got.stopped, QString());
    QCOMPARE(got.warnings, QStringList{u"1: a row longer than 16 MiB; passed on as it came"_s});
    const QByteArray filled = "千代田区千代田1,x,100-0001,東京都千代田区千代田1,town," + bars(u"1000001"_s, u"1"_s).toUtf8() + "\n";
    QCOMPARE(got.out.size(), input.size() + filled.size() - qsizetype(strlen("千代田区千代田1,x\n")));
    QVERIFY(got.out.endsWith(",\"ab\ncd\"\n" + filled));
}

void TestPostalCsv::roundTripInCodePage932()
{
    // What a spreadsheet on Windows writes: code page 932, CR LF, quoted
    // commas, quotes and line breaks; one row with bytes the code page does
    // not have, one with a quote in the middle of a field, one too short.
    const QByteArray bad = QByteArray("\"山田\",\"") + cp932(u"東京都千代田区霞が関"_s) + "\x85\x40\",\r\n";
    const QByteArray input = cp932(u"氏名,住所,備考\r\n"
                                   "\"山田, 太郎\",\"東京都千代田区霞が関1丁目3番2号 郵便プラザ503室\",\"「特急」\"\"至急\"\"\"\r\n"
                                   "鈴木,\"東京都千代田区一ツ橋２丁目\n別館\",改行の前\n"
                                   "高橋,千代田区永田町1,\r\n"_s)
                             + bad
                             + cp932(u"佐藤,東京都千代田区大手町1,a\"b\r\n"
                                     "伊藤\r\n"
                                     "\r\n"
                                     "加藤,府中市,最後の行"_s);
    PostalCsv::Options o;
    o.address = u"住所"_s;
    o.header = true;
    const Outcome got = run(input, o);
    QCOMPARE(got.stopped, QString());
    const QByteArray expected =
        cp932(u"氏名,住所,備考,郵便番号,住所,確度,バーコード\r\n"
              "\"山田, 太郎\",\"東京都千代田区霞が関1丁目3番2号 郵便プラザ503室\",\"「特急」\"\"至急\"\"\",100-0013,"
              "東京都千代田区霞が関1丁目3番2号 郵便プラザ503室,town,1 0 0 0 0 1 3 1 - 3 - 2 - 5 0 3 CC4 CC4 CC4 CC4 9\r\n"
              "鈴木,\"東京都千代田区一ツ橋２丁目\n別館\",改行の前,101-0003,\"東京都千代田区一ツ橋２丁目\n別館\",town,"_s
              + bars(u"1010003"_s, u"2"_s) + u"\n"
              "高橋,千代田区永田町1,,100-0000,東京都千代田区永田町1,catch-all,\r\n"_s)
        + bad
        + cp932(u"佐藤,東京都千代田区大手町1,a\"b\r\n"
                "伊藤,,,,,not found,\r\n"
                "\r\n"
                "加藤,府中市,最後の行,,,not found,"_s);
    QCOMPARE(got.out, expected);
    QCOMPARE(got.warnings, (QStringList{u"6: a cell that is not code page 932, or holds a NUL byte; passed on as it came"_s,
                                        u"7: a quote inside a field not quoted (column 3); passed on as it came"_s}));
}

void TestPostalCsv::fillTheZipColumn()
{
    // The code goes into the empty cells of the zip column, where the
    // answer is sure; a code given is the row's, and one of another place
    // than the address's gets no barcode; nothing else is touched.
    const QByteArray input = "1,\"千代田区霞が関1-3-2\",\n2,千代田区霞が関1-3-2,101-0003\n3,\"府中市\",\n4,\"千代田区霞が関\"\n";
    PostalCsv::Options o;
    o.address = u"2"_s;
    o.zip = u"3"_s;
    o.fill = true;
    o.encoding = PostalCsv::Encoding::Utf8;
    const Outcome got = run(input, o);
    QCOMPARE(got.stopped, QString());
    QCOMPARE(QString::fromUtf8(got.out),
             u"1,\"千代田区霞が関1-3-2\",100-0013,東京都千代田区霞が関1-3-2,town,"_s + bars(u"1000013"_s, u"1-3-2"_s)
                 + u"\n2,千代田区霞が関1-3-2,101-0003,,ambiguous,"  // a code of another place
                   "\n3,\"府中市\",,,not found,\n"
                   "4,\"千代田区霞が関\",100-0013,東京都千代田区霞が関,town,"_s
                 + bars(u"1000013"_s, QString()) + u"\n"_s);
    QCOMPARE(got.warnings, QStringList{u"2: the address is not of the code 101-0003, or its town cannot be found in it"_s});
}

void TestPostalCsv::utf8WithByteOrderMark()
{
    // The mark is kept and tells, also when an encoding is said.
    const QByteArray input = "\xEF\xBB\xBF住所\r\n東京都千代田区千代田１－１\r\n";
    for (const PostalCsv::Encoding said :
         {PostalCsv::Encoding::Detect, PostalCsv::Encoding::Utf8, PostalCsv::Encoding::Cp932}) {
        PostalCsv::Options o;
        o.address = u"住所"_s;
        o.header = true;
        o.encoding = said;
        const Outcome got = run(input, o);
        QCOMPARE(got.stopped, QString());
        QVERIFY2(got.out.startsWith("\xEF\xBB\xBF住所,郵便番号,住所,確度,バーコード\r\n"), got.out.constData());
        QVERIFY2(got.out.contains(",100-0001,東京都千代田区千代田１－１,town,1 0 0 0 0 0 1 1 - 1 CC4"), got.out.constData());
        QCOMPARE(got.warnings.size(), said == PostalCsv::Encoding::Cp932 ? 1 : 0);
    }
}

void TestPostalCsv::characterTheListCannotHold()
{
    // The code's town is written with 𠮷, which code page 932 has not: the
    // run stops there, with the rows before it written, never with a "?".
    PostalCsv::Options o;
    o.zip = u"1"_s;
    o.address = u"2"_s;
    o.encoding = PostalCsv::Encoding::Cp932;
    const Outcome got = run(cp932(u"1000001,千代田区千代田1\r\n9990001,5番地\r\n1000001,千代田区千代田2\r\n"_s), o);
    QCOMPARE(got.stopped, u"line 2: 𠮷 cannot be written in code page 932, the list's encoding; stopped there"_s);
    QCOMPARE(got.out, cp932(u"1000001,千代田区千代田1,100-0001,東京都千代田区千代田1,town,"_s
                            + bars(u"1000001"_s, u"1"_s) + u"\r\n"_s));
    QVERIFY(!got.out.contains('?'));
    // The same list in UTF-8 holds it.
    o.encoding = PostalCsv::Encoding::Utf8;
    QCOMPARE(QString::fromUtf8(run("9990001,5番地\n", o).out),
             u"9990001,5番地,999-0001,東京都千代田区𠮷野5番地,town,"_s + bars(u"9990001"_s, u"5"_s) + u"\n"_s);
}

void TestPostalCsv::columnThatIsNotThere()
{
    PostalCsv::Options o;
    o.address = u"住所"_s;
    o.header = true;
    QCOMPARE(run("名前,所在地\n山田,東京\n", o).stopped, u"no column 住所 for the address"_s);
    o.address = u"5"_s;
    const Outcome beyond = run("名前,所在地\n山田,東京\n", o);
    QCOMPARE(beyond.stopped, u"no column 5 in the header"_s);
    QCOMPARE(beyond.out, QByteArray());

    // Without a header, the first rows tell the list's width: a column none
    // of them has stops the run before anything is written, and no row is
    // widened past it.
    o.header = false;
    const Outcome past = run("山田,東京\n鈴木,大阪\n", o);
    QCOMPARE(past.stopped, u"no column 5 in the list: its rows have 2 at most"_s);
    QCOMPARE(past.out, QByteArray());
    o.address = u"50000000"_s;
    QCOMPARE(run("山田,東京\n", o).out, QByteArray());
    o.address = u"3"_s;
    QCOMPARE(run("山田,東京,千代田区千代田\n鈴木\n", o).out,
             QByteArray("山田,東京,千代田区千代田,100-0001,東京都千代田区千代田,town,") + bars(u"1000001"_s, QString()).toUtf8()
                 + "\n鈴木,,,,,not found,\n");
    o.address = u"0"_s;
    QCOMPARE(run("山田,東京\n", o).stopped, u"no column 0 for the address"_s);

    // A header that cannot be read names no column: the first row after it
    // is never taken for it.
    o.address = u"2"_s;
    o.header = true;
    const Outcome unreadable = run("名前,\"住所\"1\n山田,千代田区千代田1\n", o);
    QCOMPARE(unreadable.stopped, u"line 1: the header cannot be read: text after a closing quote (column 2)"_s);
    QCOMPARE(unreadable.out, QByteArray());
    // Nor does one in another encoding than the one said: said so, rather
    // than that its names lack the one asked for.
    o.address = u"住所"_s;
    o.encoding = PostalCsv::Encoding::Utf8;
    const Outcome foreign = run("\x8f\x5a\x8f\x8a\n\x8e\x52\x93\x63\n", o);  // 住所 / 山田 in code page 932
    QCOMPARE(foreign.stopped, u"line 1: the header is not UTF-8; if the list is in cp932, say --encoding cp932, or leave --encoding out to have it told"_s);
    QCOMPARE(foreign.out, QByteArray());
}

// A row's code and address that cannot both be right, a code of no place, a
// code with no address, and lists with no rows: each said, none barcoded.
void TestPostalCsv::rowsThatSayTooLittleOrTooMuch()
{
    PostalCsv::Options o;
    o.address = u"2"_s;
    o.zip = u"1"_s;
    const Outcome two = run("1000001,〒100-0013 東京都千代田区霞が関1-3-1\n", o);
    QCOMPARE(two.out, QByteArray("1000001,〒100-0013 東京都千代田区霞が関1-3-1,,,codes disagree,\n"));
    QCOMPARE(two.warnings, QStringList{u"1: two postal codes: 100-0001 given, and 100-0013 written in front of the address"_s});
    const Outcome unknown = run("9999999,東京都千代田区霞が関1-3-2\n", o);
    QVERIFY2(unknown.out.endsWith(",unknown code,\n"), unknown.out.constData());
    QCOMPARE(unknown.warnings.size(), 1);
    const Outcome noAddress = run("1000001,\n", o);
    QCOMPARE(noAddress.out, QByteArray("1000001,,100-0001,東京都千代田区千代田,no address,\n"));
    // The same code in both places is one code.
    QVERIFY(run("1000013,〒100-0013 東京都千代田区霞が関1-3-2\n", o).out.endsWith(bars(u"1000013"_s, u"1-3-2"_s).toUtf8() + '\n'));

    o.zip.clear();
    o.header = true;
    o.address = u"住所"_s;
    const Outcome headerOnly = run("名前,住所\n", o);
    QCOMPARE(headerOnly.stopped, u"the list has a header and no rows"_s);
    o.header = false;
    o.address = u"1"_s;
    QCOMPARE(run(QByteArray(), o).stopped, u"the list is empty: no rows were read"_s);
}

// Cells no address holds: a NUL, bytes of no encoding, marks by the
// thousand. Each is named; what was not given is never written; a cell of
// a mebibyte of marks takes no longer than its reading.
void TestPostalCsv::hostileCells()
{
    PostalCsv::Options o;
    o.address = u"2"_s;
    o.encoding = PostalCsv::Encoding::Utf8;
    const QByteArray nul = QByteArray("a,東京都千代田区千代田") + '\0' + QByteArray(" 1\n");
    const Outcome withNul = run(nul, o);
    QCOMPARE(withNul.out, nul);
    QCOMPARE(withNul.warnings, QStringList{u"1: a cell that is not UTF-8, or holds a NUL byte; passed on as it came"_s});
    const Outcome stray = run("a\xff\xfe,東京都千代田区千代田\n", o);
    QVERIFY2(stray.out.startsWith("a\xff\xfe,東京都千代田区千代田,100-0001,"), stray.out.constData());
    QCOMPARE(stray.warnings, QStringList{u"1: cells not in UTF-8, or with a NUL byte or a byte no text has (column 1); kept as they came"_s});
    // In code page 932 the same bytes are ones Windows passes through: named too.
    o.encoding = PostalCsv::Encoding::Cp932;
    const Outcome strayCp932 = run("a\xff\xfe," + cp932(u"東京都千代田区千代田\n"_s), o);
    QCOMPARE(strayCp932.warnings,
             QStringList{u"1: cells not in code page 932, or with a NUL byte or a byte no text has (column 1); kept as they came"_s});
    o.encoding = PostalCsv::Encoding::Utf8;

    QString marks = u"東京都千代田区千代田"_s;
    while (marks.size() < (1 << 19))
        marks += QChar(0x0301) + QString(QChar(0x0323)) + QChar(0x3099);
    QElapsedTimer timer;
    timer.start();
    const Outcome heavy = run("a," + marks.toUtf8() + "\n", o);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(heavy.warnings.size(), 1);
    QVERIFY(heavy.warnings.first().contains(u"combining marks"_s));
}

// The list cannot be read to its end: the row the reading stopped in is
// passed on as far as it came, named, never filled as if whole.
void TestPostalCsv::readingStopsMidList()
{
    const QByteArray list = "a,千代田区千代田1\nb,千代田区";
    QStringList warnings;
    QByteArray out;
    PostalCsv::Options o;
    o.address = u"2"_s;
    o.encoding = PostalCsv::Encoding::Utf8;
    const PostalCsv::Stop stop = PostalCsv::run(*add_, o,
                                                {BufferReader(list, list.size(), BufferReader::End::Fails),
                                                 [&](const QByteArray &bytes) {
                                                     out += bytes;
                                                     return true;
                                                 },
                                                 [&](qint64 line, const QString &why) { warnings << QString::number(line) + u": "_s + why; }});
    QCOMPARE(stop.kind, PostalCsv::Stop::Kind::Io);
    QVERIFY2(out.endsWith("\nb,千代田区"), out.constData());
    QCOMPARE(warnings, QStringList{u"2: the list could not be read past here: this row may be cut short; passed on as it came"_s});
}

void TestPostalCsv::encodingByMostRows()
{
    // Half-width katakana in code page 932 can be valid UTF-8 ("ﾃｽ" is
    // "ý"): the first row alone would mislead; the rows after it outvote it.
    const QByteArray first = cp932(u"ﾃｽ,1\n"_s);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QCOMPARE(QString(utf8.decode(first)), u"ý,1\n"_s);  // the trap is real
    PostalCsv::Options o;
    o.address = u"2"_s;
    const Outcome got = run(first + cp932(u"ﾀﾅｶ,千代田区千代田1\nｽｽﾞｷ,千代田区一ツ橋2丁目\n"_s), o);
    QCOMPARE(got.stopped, QString());
    QCOMPARE(got.warnings, QStringList());
    QVERIFY2(got.out.contains(cp932(u"\nﾀﾅｶ,千代田区千代田1,100-0001,東京都千代田区千代田1,town,"_s)), got.out.constData());

    // Nothing but ASCII in the first mebibyte: taken as UTF-8, and said.
    QByteArray ascii;
    while (ascii.size() <= (1 << 20))
        ascii += ",1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30\n";
    ascii += "x,千代田区千代田1\n";
    o.zip = u"1"_s;
    const Outcome late = run(ascii, o);
    QCOMPARE(late.warnings.first(), u"0: the list's first mebibyte is all ASCII: taken as UTF-8 (say --encoding cp932 if it is code page 932)"_s);
    QVERIFY(late.out.endsWith("x,千代田区千代田1,100-0001,東京都千代田区千代田1,town," + bars(u"1000001"_s, u"1"_s).toUtf8() + "\n"));
    // A cell in the code column that is no code is named, not dropped.
    QCOMPARE(late.warnings.last(), QString::number(late.out.count('\n')) + u": \"x\" is no postal code; the address alone is looked up"_s);
}

QTEST_GUILESS_MAIN(TestPostalCsv)
#include "tst_postalcsv.moc"
