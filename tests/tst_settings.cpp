// The settings store: the exact file layout, the reading rules, and what it
// does with damaged or foreign files.

#include "AsOtherUser.h"
#include "TestFiles.h"
#include "platform/AnsiCodec.h"
#include "platform/MessageBox.h"
#include "settings/yIni.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray cp932(const QString &text)
{
    return AnsiCodec::encode(text).bytes;
}

QString positionFile(int top, int left, int width, int height)
{
    return u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n"
           u"      <TOP>%1</TOP>\r\n      <LEFT>%2</LEFT>\r\n      <WIDTH>%3</WIDTH>\r\n"
           u"      <HEIGHT>%4</HEIGHT>\r\n   </位置>\r\n</運用>"_s.arg(top).arg(left).arg(width).arg(height);
}

void savePosition(yIni &ini, float top, float left, float width, float height)
{
    ini.GetGtx(u"位置"_s);
    ini.SetVal(u"TOP"_s, top);
    ini.SetVal(u"LEFT"_s, left);
    ini.SetVal(u"WIDTH"_s, width);
    ini.SetVal(u"HEIGHT"_s, height);
    ini.SetGtx();
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void positionFileRoundTrip();
    void developerFileNameSharesTheFile();
    void valuesRead_data();
    void valuesRead();
    void damagedElementIsReported();
    void lineBreakMarkerInNewKey();
    void valueHoldingItsEndTagIsRefused();
    void shortGroupReadsEmpty();
    void groupAddedToTextWithoutRoot();
    void fileWithEmptyFirstLineIsKept();
    void unreadableFileIsNeverOverwritten();
    void saveThatCannotBeEncodedKeepsFile();
    void saveWithoutLoadWritesNothing();
    void longTextBeyondSixteenBits();
    void groupsAfterLongDamageAreKept();
    void groupEndsAtItsFirstEndLine();
    void fileInReadOnlyFolderIsWrittenInPlace();
    void specialFileIsUnreadable();

private:
    QString storedOver(const QString &damaged);
    QTemporaryDir dir_;
    QStringList messages_;
    std::unique_ptr<MessageBox::Override> box_;
};

void TestSettings::init()
{
    messages_.clear();
    box_.reset();  // guards restore in reverse order: the old one goes first
    box_ = std::make_unique<MessageBox::Override>([this](const QString &t) { messages_ << t; });
}

void TestSettings::positionFileRoundTrip()
{
    const QString path = dir_.filePath(u"User.xml"_s);
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    QVERIFY(ok);
    QCOMPARE(readAll(path), QByteArray());  // created empty
    QCOMPARE(ini.sTxt(), u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n</運用>"_s);
    ini.GetGtx(u"位置"_s);
    QCOMPARE(ini.vGtVal(u"TOP"_s, qint16(0)).toInt(), 0);

    savePosition(ini, 1950, 675, 17835, 7845);
    ok = false;
    ini.SetTxt(ok);
    QVERIFY(ok);
    QCOMPARE(readAll(path), cp932(positionFile(1950, 675, 17835, 7845)));

    // Saved again from a fresh load: only the four values change.
    yIni again;
    again.GetTxt(path, ok);
    again.GetGtx(u"位置"_s);
    QCOMPARE(again.vGtVal(u"WIDTH"_s, qint16(0)).toInt(), 17835);
    savePosition(again, 0, 30, 900, 600.5f);
    again.SetTxt(ok);
    QCOMPARE(readAll(path), cp932(positionFile(0, 30, 900, 0).replace(u">0</HEIGHT>"_s, u">600.5</HEIGHT>"_s)));
    QVERIFY(messages_.isEmpty());
}

void TestSettings::developerFileNameSharesTheFile()
{
    const QString plain = dir_.filePath(u"Shared.xml"_s);
    writeAll(plain, cp932(positionFile(1, 2, 3, 4)));
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir_.filePath(u"Shared_Dv.XML"_s), ok);
    QVERIFY(ok);
    QCOMPARE(ini.sFl(), dir_.filePath(u"Shared.xml"_s));
    ini.GetGtx(u"位置"_s);
    QCOMPARE(ini.vGtVal(u"HEIGHT"_s, qint16(0)).toInt(), 4);
    QVERIFY(!QFile::exists(dir_.filePath(u"Shared_Dv.XML"_s)));
}

void TestSettings::valuesRead_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("def");
    QTest::addColumn<QVariant>("expected");
    const QVariant zero = qint16(0);
    QTest::newRow("empty gives the default") << u""_s << QVariant(qint16(7)) << QVariant(qint16(7));
    QTest::newRow("digits then letters") << u"12px"_s << zero << QVariant(12.0);
    QTest::newRow("letters first read 0") << u"px12"_s << zero << QVariant(0.0);
    QTest::newRow("blanks anywhere") << u" 1 2\t3"_s << zero << QVariant(123.0);
    QTest::newRow("sign, point, exponent") << u"-3.5e2x"_s << zero << QVariant(-350.0);
    QTest::newRow("exponent without digits") << u"12e"_s << zero << QVariant(12.0);
    QTest::newRow("second point ends it") << u"1.2.3"_s << zero << QVariant(1.2);
    QTest::newRow("string kept raw") << u" a<b>&c "_s << QVariant(u"d"_s) << QVariant(u" a<b>&c "_s);
    QTest::newRow("True any case") << u"tRUE"_s << QVariant(false) << QVariant(true);
    QTest::newRow("False") << u"False"_s << QVariant(true) << QVariant(false);
    QTest::newRow("number as Boolean") << u"-1"_s << QVariant(false) << QVariant(true);
    QTest::newRow("zero as Boolean") << u"0"_s << QVariant(true) << QVariant(false);
    QTest::newRow("other word keeps the default") << u"maybe"_s << QVariant(true) << QVariant(true);
    QTest::newRow("date") << u"2026/12/07"_s << QVariant(QDate(2000, 1, 1)) << QVariant(QDate(2026, 12, 7));
    QTest::newRow("no date keeps the default") << u"soon"_s << QVariant(QDate(2000, 1, 1)) << QVariant(QDate(2000, 1, 1));
}

void TestSettings::valuesRead()
{
    QFETCH(QString, stored);
    QFETCH(QVariant, def);
    QFETCH(QVariant, expected);
    const QString path = dir_.filePath(u"values.xml"_s);
    writeAll(path, cp932(u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <G>\r\n      <K>"_s + stored
                         + u"</K>\r\n   </G>\r\n</運用>"_s));
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    ini.GetGtx(u"G"_s);
    QCOMPARE(ini.vGtVal(u"K"_s, def), expected);
    QCOMPARE(ini.vGtVal(u"k"_s, def), def);  // names are case-sensitive
    ini.GetGtx(u"g"_s);
    QCOMPARE(ini.vGtVal(u"K"_s, def), def);
    QVERIFY(messages_.isEmpty());
}

void TestSettings::damagedElementIsReported()
{
    const QString path = dir_.filePath(u"damaged.xml"_s);
    writeAll(path, cp932(u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n      <TOP>12\r\n"
                         u"      <LEFT>5</LEFT>\r\n   </位置>\r\n   </壊>\r\n</運用>"_s));
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    ini.GetGtx(u"位置"_s);
    QCOMPARE(ini.vGtVal(u"TOP"_s, qint16(9)).toInt(), 9);
    QCOMPARE(ini.vGtVal(u"LEFT"_s, qint16(9)).toInt(), 5);
    ini.GetGtx(u"壊"_s);
    QCOMPARE(messages_, (QStringList{
        u"<TOP> の設定が読み込めません\rﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + path + u") が破損しています"_s,
        u"<壊> の設定が読み込めません\rﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + path + u") が破損しています"_s}));
}

void TestSettings::lineBreakMarkerInNewKey()
{
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir_.filePath(u"marker.xml"_s), ok);
    ini.GetGtx(u"G"_s);
    ini.SetVal(u"K"_s, u"a‡b"_s);
    ini.SetGtx();
    QVERIFY(ini.sTxt().contains(u"      <K>a\r\nb</K>\r\n"_s));
}

void TestSettings::valueHoldingItsEndTagIsRefused()
{
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir_.filePath(u"endtag.xml"_s), ok);
    ini.GetGtx(u"G"_s);
    QVERIFY(ini.SetVal(u"K"_s, u"<x>&</y>"_s));  // other tags are stored as they are
    QVERIFY(!ini.SetVal(u"K"_s, u"a</K>b"_s));
    ini.SetGtx();
    ini.GetGtx(u"G"_s);
    QCOMPARE(ini.vGtVal(u"K"_s, QString()).toString(), u"<x>&</y>"_s);
}

void TestSettings::shortGroupReadsEmpty()
{
    const QString path = dir_.filePath(u"short.xml"_s);
    writeAll(path, "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<\x89\x5e\x97\x70><G></G></\x89\x5e\x97\x70>");
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    QVERIFY(ok);
    ini.GetGtx(u"G"_s);
    QCOMPARE(ini.vGtVal(u"K"_s, qint16(3)).toInt(), 3);
    QVERIFY(messages_.isEmpty());
}

void TestSettings::groupAddedToTextWithoutRoot()
{
    const QString path = dir_.filePath(u"noroot.xml"_s);
    writeAll(path, cp932(u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <A>\r\n      <K>1</K>\r\n   </A>\r\n"
                         u"   <B>\r\n   </B>\r\n</運"_s));
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    ini.GetGtx(u"C"_s);
    ini.SetVal(u"K"_s, 2);
    ini.SetGtx();
    QCOMPARE(ini.sTxt(), u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <A>\r\n      <K>1</K>\r\n   </A>\r\n"
                         u"   <B>\r\n   </B>\r\n   <C>\r\n      <K>2</K>\r\n   </C>\r\n</運用>"_s);
}

void TestSettings::fileWithEmptyFirstLineIsKept()
{
    const QString path = dir_.filePath(u"emptyfirst.xml"_s);
    const QString text = u"\r\n<運用>\r\n   <位置>\r\n      <TOP>5</TOP>\r\n   </位置>\r\n</運用>"_s;
    writeAll(path, cp932(text));
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    QCOMPARE(ini.sTxt(), text);
    ini.GetGtx(u"位置"_s);
    QCOMPARE(ini.vGtVal(u"TOP"_s, qint16(0)).toInt(), 5);
}

void TestSettings::unreadableFileIsNeverOverwritten()
{
    const QString path = dir_.filePath(u"invalid.xml"_s);
    const QByteArray bytes("<?xml?>\r\n<\x89\x5e\x97\x70>\x81\x20</\x89\x5e\x97\x70>");
    writeAll(path, bytes);
    yIni ini;
    bool ok = true;
    ini.GetTxt(path, ok);
    QVERIFY(!ok);
    QCOMPARE(ini.sTxt(), QString());
    savePosition(ini, 1, 2, 3, 4);
    ok = true;
    ini.SetTxt(ok);
    QVERIFY(!ok);
    QCOMPARE(readAll(path), bytes);

    // A folder that does not exist: the file cannot even be created.
    yIni nowhere;
    nowhere.GetTxt(dir_.filePath(u"none/User.xml"_s), ok);
    QVERIFY(!ok);
}

void TestSettings::saveThatCannotBeEncodedKeepsFile()
{
    const QString path = dir_.filePath(u"lossy.xml"_s);
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    savePosition(ini, 1, 2, 3, 4);
    ini.SetTxt(ok);
    const QByteArray before = readAll(path);
    ini.GetGtx(u"G"_s);
    ini.SetVal(u"K"_s, u"café"_s);
    ini.SetGtx();
    ini.SetTxt(ok);
    QVERIFY(!ok);
    QCOMPARE(readAll(path), before);
}

void TestSettings::saveWithoutLoadWritesNothing()
{
    yIni ini;
    savePosition(ini, 1, 2, 3, 4);
    bool ok = false;
    ini.SetTxt(ok);
    QVERIFY(!ok);
    bool stays = true;
    ini.SetTxt(stays);
    QVERIFY(stays);
}

void TestSettings::longTextBeyondSixteenBits()
{
    yIni ini;
    bool ok = false;
    ini.GetTxt(dir_.filePath(u"long.xml"_s), ok);
    ini.GetGtx(u"Big"_s);
    ini.SetVal(u"Blob"_s, QString(40000, u'住'));
    ini.SetGtx();
    savePosition(ini, 11, 22, 33, 44);
    ini.SetTxt(ok);
    QVERIFY(ok);
    yIni again;
    again.GetTxt(dir_.filePath(u"long.xml"_s), ok);
    again.GetGtx(u"位置"_s);
    QCOMPARE(again.vGtVal(u"HEIGHT"_s, qint16(0)).toInt(), 44);
    again.GetGtx(u"Big"_s);
    QCOMPARE(again.vGtVal(u"Blob"_s, QString()).toString().size(), 40000);
}

void TestSettings::groupsAfterLongDamageAreKept()
{
    // No root end tag, and a group behind a long damaged stretch that also
    // holds start lines without their end: every complete group survives.
    QString text = u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <A>\r\n      <K>1</K>\r\n   </A>\r\n"_s;
    for (int i = 0; i < 150000; ++i)
        text += (i % 1000 == 0) ? u"   <Z>\r\n"_s : u"garbage line\r\n"_s;
    text += u"   <位置>\r\n      <TOP>7</TOP>\r\n   </位置>\r\n   <C>\r\n   </C>\r\n"_s;
    QCOMPARE(storedOver(text), u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <A>\r\n      <K>1</K>\r\n   </A>\r\n"
                         u"   <位置>\r\n      <TOP>7</TOP>\r\n   </位置>\r\n   <C>\r\n   </C>\r\n"
                         u"   <D>\r\n   </D>\r\n</運用>"_s);
}

void TestSettings::groupEndsAtItsFirstEndLine()
{
    // No root end tag; group A's end line stands twice, with damage between.
    // The kept block stops at the first end line after its start, and a
    // second A after the damage is a block of its own.
    const QString head = u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n"_s;
    const QString first = u"   <A>\r\n      <K>1</K>\r\n   </A>\r\n"_s;
    const QString second = u"   <A>\r\n      <K>2</K>\r\n   </A>\r\n"_s;
    QCOMPARE(storedOver(head + first + u"damaged line\r\n   </A>\r\n"_s + second + u"tail </A>\r\n"_s),
             head + first + second + u"   <D>\r\n   </D>\r\n</運用>"_s);
}

// The text a settings file holds once group D is stored into the damaged
// text it held.
QString TestSettings::storedOver(const QString &damaged)
{
    const QString path = dir_.filePath(u"damaged-%1.xml"_s.arg(damaged.size()));
    writeAll(path, cp932(damaged));
    yIni ini;
    bool ok = false;
    ini.GetTxt(path, ok);
    if (!ok)
        return u"(not read)"_s;
    ini.GetGtx(u"D"_s);
    ini.SetGtx();
    return ini.sTxt();
}

void TestSettings::fileInReadOnlyFolderIsWrittenInPlace()
{
    // A managed folder the user cannot write to, holding a settings file
    // the user may write: the position still reaches the file.
    QTemporaryDir shared;
    const QString path = shared.filePath(u"User.xml"_s);
    writeAll(path, cp932(positionFile(1, 2, 3, 4)));
    QCOMPARE(chown(QFile::encodeName(path).constData(), geteuid() == 0 ? 65534 : geteuid(), -1), 0);
    QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                             | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const bool written = passesAsOtherUser([&] {
        yIni ini;
        bool ok = false;
        ini.GetTxt(path, ok);
        savePosition(ini, 100, 200, 300, 400);
        ini.SetTxt(ok);
        return ok;
    });
    QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(written);
    QCOMPARE(readAll(path), cp932(positionFile(100, 200, 300, 400)));
}

void TestSettings::specialFileIsUnreadable()
{
    // A FIFO in place of the file would block the start for ever.
    const QString path = dir_.filePath(u"fifo.xml"_s);
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    yIni ini;
    bool ok = true;
    ini.GetTxt(path, ok);
    QVERIFY(!ok);
    savePosition(ini, 1, 2, 3, 4);
    ini.SetTxt(ok);
    QVERIFY(!ok);
    QVERIFY(QFileInfo(path).isSymLink() || !QFileInfo(path).isFile());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
