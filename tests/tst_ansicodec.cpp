// Code page 932 at the file boundary: the Windows mapping, strict decoding,
// and writes that never lose a character.

#include "platform/AnsiCodec.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <iconv.h>

using namespace Qt::StringLiterals;

class TestAnsiCodec : public QObject
{
    Q_OBJECT
private slots:
    void windowsMapping_data();
    void windowsMapping();
    void inputMethodLookAlikes_data();
    void inputMethodLookAlikes();
    void invalidBytes_data();
    void invalidBytes();
    void unrepresentable_data();
    void unrepresentable();
    void everyCharacterAsIconvHasIt();
    void writeIsExactAndAtomic();
    void writeIntoMissingFolderFails();
};

// Both directions: bytes that must read as the text, and the text that must
// write back as exactly those bytes.
void TestAnsiCodec::windowsMapping_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("backslash and tilde stay ASCII") << QByteArray("\x5c\x7e") << u"\\~"_s;
    QTest::newRow("NEC special ①") << QByteArray("\x87\x40") << u"①"_s;
    QTest::newRow("IBM extension 髙") << QByteArray("\xfb\xfc") << u"髙"_s;
    QTest::newRow("wave dash is the full-width tilde") << QByteArray("\x81\x60") << u"～"_s;
    QTest::newRow("half-width katakana") << QByteArray("\xbb\xb2\xc4") << u"ｻｲﾄ"_s;
    QTest::newRow("address with tab and CR LF")
        << QByteArray("ZenroA\t\x93\x8c\x8b\x9e\x93\x73\r\n") << u"ZenroA\t東京都\r\n"_s;
    QTest::newRow("empty") << QByteArray() << QString();
    // Bytes Windows reads although the code page leaves them undefined: kept
    // as they are, also where 0x80 or 0xA0 follows a lead byte as its trail.
    QTest::newRow("lone bytes 0x80 0xA0 0xFD-0xFF")
        << QByteArray("a\x80" "b\xa0\xfd\xfe\xff")
        << (u"a"_s + QChar(0x80) + u"b"_s + QChar(0xF8F0) + QChar(0xF8F1) + QChar(0xF8F2) + QChar(0xF8F3));
    QTest::newRow("0x80 and 0xA0 as trail bytes") << QByteArray("\x81\x80\x88\xa0\x80") << (u"÷唖"_s + QChar(0x80));
}

// What Linux input methods type for the code page's look-alikes is written as
// Windows writes it, and reads back as the code page's own character.
void TestAnsiCodec::inputMethodLookAlikes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("wave dash 〜") << u"9〜17時"_s << QByteArray("9\x81\x60" "17\x8e\x9e") << u"9～17時"_s;
    QTest::newRow("minus sign in a block number") << u"1−2−3"_s << QByteArray("1\x81\x7c" "2\x81\x7c" "3")
                                                  << u"1－2－3"_s;
    QTest::newRow("double bar, cent, pound, not, em dash")
        << u"‖¢£¬—"_s << QByteArray("\x81\x61\x81\x91\x81\x92\x81\xca\x81\x5c") << u"∥￠￡￢―"_s;
    QTest::newRow("mixed with a lone byte and one that has no form")
        << (u"〜"_s + QChar(0xF8F0)) << QByteArray("\x81\x60\xa0") << (u"～"_s + QChar(0xF8F0));
}

void TestAnsiCodec::inputMethodLookAlikes()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    const AnsiCodec::Encoded e = AnsiCodec::encode(typed);
    QVERIFY(e.ok);
    QCOMPARE(e.bytes, bytes);
    const AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
    QVERIFY(d.ok);
    QCOMPARE(d.text, readBack);
    QCOMPARE(AnsiCodec::encode(readBack).bytes, bytes);
}

void TestAnsiCodec::windowsMapping()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
    QVERIFY(d.ok);
    QCOMPARE(d.text, text);
    const AnsiCodec::Encoded e = AnsiCodec::encode(text);
    QVERIFY(e.ok);
    QCOMPARE(e.bytes, bytes);
}

void TestAnsiCodec::invalidBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("offset");
    QTest::newRow("lead byte at the end") << QByteArray("ab\x81") << qsizetype(2);
    QTest::newRow("lead byte before a blank") << QByteArray("\x81\x20") << qsizetype(0);
    QTest::newRow("lead byte before 0xFD") << QByteArray("\x93\x8c\x93\xfd") << qsizetype(2);
    QTest::newRow("error after a lone byte") << QByteArray("\xff" "ab\x81") << qsizetype(3);
}

void TestAnsiCodec::invalidBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, offset);
    const AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
    QVERIFY(!d.ok);
    QCOMPARE(d.errorOffset, offset);
}

void TestAnsiCodec::unrepresentable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reported");
    QTest::newRow("accented letter") << u"Café 東京"_s << u"é"_s;
    QTest::newRow("each once, in order") << u"€a€b😀"_s << u"€😀"_s;
    // iconv would write these as look-alikes without complaint.
    QTest::newRow("yen sign is not a backslash") << u"¥100"_s << u"¥"_s;
    QTest::newRow("after a look-alike") << u"〜é−"_s << u"é"_s;
    QTest::newRow("lone surrogate") << (u"a"_s + QChar(0xD800) + u"b"_s) << QString(QChar(0xD800));
}

void TestAnsiCodec::unrepresentable()
{
    QFETCH(QString, text);
    QFETCH(QString, reported);
    const AnsiCodec::Encoded e = AnsiCodec::encode(text);
    QVERIFY(!e.ok);
    QCOMPARE(e.unrepresentable, reported);
    QVERIFY(e.bytes.isEmpty());
}

// iconv asked afresh for each single byte, each pair and each character of
// the first plane: the codec, which remembers what it once asked, must
// answer alike (apart from the bytes and look-alikes it fixes itself).
namespace {
std::optional<QByteArray> throughIconv(iconv_t cd, const QByteArray &in)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(16, '\0');
    char *i = const_cast<char *>(in.constData()), *o = out.data();
    size_t inLeft = size_t(in.size()), outLeft = size_t(out.size());
    if (iconv(cd, &i, &inLeft, &o, &outLeft) == size_t(-1) || iconv(cd, nullptr, nullptr, &o, &outLeft) == size_t(-1))
        return std::nullopt;
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}
}  // namespace

void TestAnsiCodec::everyCharacterAsIconvHasIt()
{
    iconv_t toText = iconv_open("UTF-16LE", "CP932"), toBytes = iconv_open("CP932", "UTF-16LE");
    QVERIFY(toText != iconv_t(-1) && toBytes != iconv_t(-1));
    auto text = [](const QByteArray &utf16) { return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2); };
    const QByteArray lone("\x80\xA0\xFD\xFE\xFF");
    int pairs = 0;
    for (int lead = 0; lead < 256; ++lead) {
        const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        if (lone.contains(char(lead)))
            continue;
        for (int trail = isLead ? 0 : 256; trail < (isLead ? 256 : 257); ++trail) {
            QByteArray bytes(1, char(lead));
            if (isLead)
                bytes += char(trail);
            const std::optional<QByteArray> expected = throughIconv(toText, bytes);
            const AnsiCodec::Decoded d = AnsiCodec::decode(bytes);
            QVERIFY2(d.ok == expected.has_value(), bytes.toHex().constData());
            if (expected) {
                QCOMPARE(d.text, text(*expected));
                ++pairs;
            }
        }
    }
    QVERIFY(pairs > 7000);  // the whole code page was there to compare
    const QString fixed = u"〜−‖¢£¬—"_s + QChar(0x80) + QChar(0xF8F0) + QChar(0xF8F1) + QChar(0xF8F2) + QChar(0xF8F3);
    for (int u = 0; u < 0x10000; ++u) {
        const QChar ch{char16_t(u)};
        if (ch.isSurrogate() || fixed.contains(ch))
            continue;
        const QByteArray utf16(reinterpret_cast<const char *>(&u), 2);
        std::optional<QByteArray> expected = throughIconv(toBytes, utf16);
        if (expected && throughIconv(toText, *expected) != utf16)
            expected.reset();  // written as another character: not written at all
        const AnsiCodec::Encoded e = AnsiCodec::encode(QString(ch));
        QVERIFY2(e.ok == expected.has_value(), QByteArray::number(u, 16).constData());
        if (expected)
            QCOMPARE(e.bytes, *expected);
    }
    iconv_close(toText);
    iconv_close(toBytes);
}

void TestAnsiCodec::writeIsExactAndAtomic()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"aZrok.txt"_s);
    const FileSystem fs;
    QCOMPARE(fs.writeText(path, u"ZenroA\t①髙"_s).error, FileSystem::Error::None);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("ZenroA\t\x87\x40\xfb\xfc"));  // no BOM, nothing appended
    f.close();

    const FileSystem::TextWrite refused = fs.writeText(path, u"ZenroA\tCafé"_s);
    QCOMPARE(refused.error, FileSystem::Error::Unrepresentable);
    QCOMPARE(refused.unrepresentable, u"é"_s);
    const FileSystem::TextRead kept = fs.readText(path);
    QCOMPARE(kept.error, FileSystem::Error::None);
    QCOMPARE(kept.text, u"ZenroA\t①髙"_s);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"aZrok.txt"_s});  // no temporary left
}

void TestAnsiCodec::writeIntoMissingFolderFails()
{
    QTemporaryDir dir;
    const FileSystem fs;
    const FileSystem::TextWrite w = fs.writeText(dir.filePath(u"gone/aZrok.txt"_s), u"x"_s);
    QCOMPARE(w.error, FileSystem::Error::Unwritable);
    QVERIFY(!w.detail.isEmpty());
    QCOMPARE(fs.readText(dir.filePath(u"gone/aZrok.txt"_s)).error, FileSystem::Error::Missing);
}

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "tst_ansicodec.moc"
