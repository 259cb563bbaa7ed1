// How the program decides what it was started for, and how it answers a
// calling program's request file.

#include "AsOtherUser.h"
#include "TestFiles.h"
#include "platform/FileSystem.h"
#include "mainwindow/RequestText.h"
#include "startup/ExeName.h"
#include "startup/RequestExchange.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Mode = RequestExchange::Start::Mode;

namespace {

// "ZenroA", 100-0001, 東京都千代田区, 株式会社①, a map URL, in code page 932.
const QByteArray kRequest("ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6"
                          "\t\x8a\x94\x8e\xae\x89\xef\x8e\xd0\x87\x40\thttp://map.yahoo.co.jp/p?a=1");

}  // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void baseName_data();
    void baseName();
    void requestPathKeepsArgumentsAsGiven();
    void windowModeLeavesFileAlone_data();
    void windowModeLeavesFileAlone();
    void requestIsRead();
    void unusableRequestIsRefused_data();
    void unusableRequestIsRefused();
    void unreadableRequestIsRefused();
    void acceptedAnswerReplacesFile();
    void cancelLeavesFileUnchanged();
    void answerThatCannotBeWrittenKeepsFile();
    void answerRecreatesVanishedFile();
    void oversizedRequestIsRefusedUnread();
    void answerThroughSymbolicLink();
    void changeFlag_data();
    void changeFlag();

private:
    QTemporaryDir dir_;
    FileSystem fs_;
};

void TestStartup::baseName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"/opt/zenrook/zenrook"_s << u"zenrook"_s;
    QTest::newRow("_dv cut") << u"/opt/zenrook_dv"_s << u"zenrook"_s;
    QTest::newRow("_Dv cut") << u"/opt/Zenrook_Dv"_s << u"Zenrook"_s;
    QTest::newRow("_DV cut") << u"/opt/zenrook_DV"_s << u"zenrook"_s;
    QTest::newRow("_dvx kept") << u"/opt/zenrook_dvx"_s << u"zenrook_dvx"_s;
    QTest::newRow("_dv inside kept") << u"/opt/zen_dv_rook"_s << u"zen_dv_rook"_s;
    QTest::newRow("folder does not count") << u"/opt/tool_dv/zenrook"_s << u"zenrook"_s;
}

void TestStartup::baseName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(exeBaseName(path), name);
}

void TestStartup::requestPathKeepsArgumentsAsGiven()
{
    // An unquoted path with blanks arrives split; joined it names its file again.
    QCOMPARE(RequestExchange::requestPath({u"/tmp/My"_s, u"Documents/aZrok.txt"_s}),
             u"/tmp/My Documents/aZrok.txt"_s);
    QCOMPARE(RequestExchange::requestPath({u" /tmp/aZrok.txt"_s}), u" /tmp/aZrok.txt"_s);
    QCOMPARE(RequestExchange::requestPath({}), QString());
    // Quotation marks stay, so a quoted path does not end in the suffix.
    const QString quoted = RequestExchange::requestPath({u"\"/tmp/aZrok.txt\""_s});
    QVERIFY(!RequestExchange::hasRequestSuffix(quoted));
    QVERIFY(RequestExchange::hasRequestSuffix(u"/tmp/xZrok.txt"_s));
    QVERIFY(!RequestExchange::hasRequestSuffix(u"/tmp/xzrok.txt"_s));
    QVERIFY(!RequestExchange::hasRequestSuffix(u"/tmp/xZROK.TXT"_s));
    QVERIFY(!RequestExchange::hasRequestSuffix(u"/tmp/xZrok.txt "_s));
}

void TestStartup::windowModeLeavesFileAlone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("suffix in another case") << u"aZROK.txt"_s << kRequest;
    QTest::newRow("no suffix") << u"a.txt"_s << kRequest;
    QTest::newRow("marker in another case") << u"bZrok.txt"_s << QByteArray("zenroa\t1\t2\t3\t4");
    QTest::newRow("no marker, invalid bytes") << u"cZrok.txt"_s << QByteArray("\x81\x20\t1\t2\t3\t4");
    QTest::newRow("empty file") << u"dZrok.txt"_s << QByteArray();
}

void TestStartup::windowModeLeavesFileAlone()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = dir_.filePath(name);
    writeAll(path, content);
    const QDateTime before = QFileInfo(path).lastModified();
    QCOMPARE(RequestExchange::examine(path, fs_).mode, Mode::Window);
    QCOMPARE(readAll(path), content);
    QCOMPARE(QFileInfo(path).lastModified(), before);

    QCOMPARE(RequestExchange::examine(dir_.filePath(u"missingZrok.txt"_s), fs_).mode, Mode::Window);
    QVERIFY(QDir(dir_.path()).mkpath(u"folderZrok.txt"_s));
    QCOMPARE(RequestExchange::examine(dir_.filePath(u"folderZrok.txt"_s), fs_).mode, Mode::Window);
}

void TestStartup::requestIsRead()
{
    const QString path = dir_.filePath(u"okZrok.txt"_s);
    writeAll(path, kRequest);
    const RequestExchange::Start s = RequestExchange::examine(path, fs_);
    QCOMPARE(s.mode, Mode::Request);
    QCOMPARE(s.text, u"ZenroA\t100-0001\t東京都千代田区\t株式会社①\thttp://map.yahoo.co.jp/p?a=1"_s);

    // A marker that goes on before the first tab is still a request.
    writeAll(path, "ZenroAxyz\t\t\t\t");
    QCOMPARE(RequestExchange::examine(path, fs_).mode, Mode::Request);
}

void TestStartup::unusableRequestIsRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("four fields") << QByteArray("ZenroA\t1\t2\t3") << u"5 項目が必要ですが、4 項目しか"_s;
    QTest::newRow("marker alone") << QByteArray("ZenroA") << u"1 項目しか"_s;
    QTest::newRow("invalid code page 932") << QByteArray("ZenroA\t1\t\x81\x20\t3\t4") << u"10 バイト目"_s;
    QTest::newRow("NUL is not a field separator") << QByteArray("ZenroA\0\0\0\0", 10) << u"1 項目しか"_s;
}

void TestStartup::unusableRequestIsRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = dir_.filePath(u"badZrok.txt"_s);
    writeAll(path, content);
    const RequestExchange::Start s = RequestExchange::examine(path, fs_);
    QCOMPARE(s.mode, Mode::Refused);
    QVERIFY2(s.message.contains(reason), qPrintable(s.message));
    QVERIFY(s.message.endsWith(u"\r"_s + path));  // second line names the file
    QCOMPARE(readAll(path), content);
}

void TestStartup::unreadableRequestIsRefused()
{
    // Small or beyond the size limit, a request that cannot be opened gets
    // the same message and stays as it was.
    QTemporaryDir open;
    QFile::setPermissions(open.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                           | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QString small = open.filePath(u"lockedZrok.txt"_s);
    const QString large = open.filePath(u"lockedLargeZrok.txt"_s);
    writeAll(small, kRequest);
    writeAll(large, kRequest + QByteArray(2 * 1024 * 1024, 'x'));
    for (const QString &path : {small, large})
        QFile::setPermissions(path, QFileDevice::WriteOwner);
    QVERIFY(passesAsOtherUser([&] {
        for (const QString &path : {small, large}) {
            const RequestExchange::Start s = RequestExchange::examine(path, fs_);
            if (s.mode != Mode::Refused || !s.message.startsWith(u"要求ファイルを読み込めませんでした"_s))
                return false;
        }
        return true;
    }));
    QFile::setPermissions(small, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(readAll(small), kRequest);

    // A FIFO would block the start for ever; it is no file to read.
    const QString fifo = dir_.filePath(u"fifoZrok.txt"_s);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const RequestExchange::Start s = RequestExchange::examine(fifo, fs_);
    QCOMPARE(s.mode, Mode::Refused);
    QVERIFY(s.message.startsWith(u"要求ファイルを読み込めませんでした"_s));
}

void TestStartup::acceptedAnswerReplacesFile()
{
    const QString path = dir_.filePath(u"answerZrok.txt"_s);
    writeAll(path, kRequest + "\textra");
    QString seen;
    const QString message = RequestExchange::serve(path, u"request"_s, [&](const QString &text, const RequestExchange::AnswerWriter &) {
        seen = text;
        return RequestExchange::DialogResult{true, u"ZenroA\t100-0001\t東京都\t髙\t\t1"_s};
    }, fs_);
    QCOMPARE(message, QString());
    QCOMPARE(seen, u"request"_s);
    // Exactly the answer in code page 932; the old, longer content is gone.
    QCOMPARE(readAll(path), QByteArray("ZenroA\t100-0001\t\x93\x8c\x8b\x9e\x93\x73\t\xfb\xfc\t\t1"));
}

void TestStartup::cancelLeavesFileUnchanged()
{
    const QString path = dir_.filePath(u"cancelZrok.txt"_s);
    writeAll(path, kRequest);
    const QDateTime before = QFileInfo(path).lastModified();
    const QString message = RequestExchange::serve(path, u"x"_s, [](const QString &, const RequestExchange::AnswerWriter &) {
        return RequestExchange::DialogResult{false, u"ZenroA\tchanged"_s};
    }, fs_);
    QCOMPARE(message, QString());
    QCOMPARE(readAll(path), kRequest);
    QCOMPARE(QFileInfo(path).lastModified(), before);
}

void TestStartup::answerThatCannotBeWrittenKeepsFile()
{
    const QString path = dir_.filePath(u"lossyZrok.txt"_s);
    writeAll(path, kRequest);
    const QString message = RequestExchange::serve(path, u"x"_s, [](const QString &, const RequestExchange::AnswerWriter &) {
        return RequestExchange::DialogResult{true, u"ZenroA\t\tCafé ¥\t\t\t1"_s};
    }, fs_);
    QVERIFY2(message.contains(u"（é¥）"_s), qPrintable(message));
    QVERIFY(message.endsWith(u"\r"_s + path));
    QCOMPARE(readAll(path), kRequest);

    // The folder went away while the dialog was open.
    QTemporaryDir gone;
    const QString lost = gone.filePath(u"sub/aZrok.txt"_s);
    const QString m2 = RequestExchange::serve(lost, u"x"_s, [](const QString &, const RequestExchange::AnswerWriter &) {
        return RequestExchange::DialogResult{true, u"ZenroA\t\t\t\t\t0"_s};
    }, fs_);
    QVERIFY2(m2.startsWith(u"回答を要求ファイルに書き込めませんでした"_s), qPrintable(m2));

    // A dialog that writes its answer while still open learns of the
    // failure, can try again, and the answer is not written twice.
    QTemporaryDir later;
    const QString retry = later.filePath(u"sub/bZrok.txt"_s);
    QStringList failures;
    const QString m3 = RequestExchange::serve(retry, u"x"_s, [&](const QString &,
                                                               const RequestExchange::AnswerWriter &write) {
        failures << write(u"ZenroA\t\t\t\t\t0"_s);
        QDir().mkpath(later.filePath(u"sub"_s));
        failures << write(u"ZenroA\t1\t\t\t\t0"_s);
        return RequestExchange::DialogResult{true, u"ZenroA\tnot this\t\t\t\t0"_s};
    }, fs_);
    QCOMPARE(m3, QString());
    QCOMPARE(failures.size(), 2);
    QVERIFY(failures[0].startsWith(u"回答を要求ファイルに書き込めませんでした"_s));
    QCOMPARE(failures[1], QString());
    QCOMPARE(readAll(retry), QByteArray("ZenroA\t1\t\t\t\t0"));
}

void TestStartup::answerRecreatesVanishedFile()
{
    const QString path = dir_.filePath(u"vanishZrok.txt"_s);
    writeAll(path, kRequest);
    const QString message = RequestExchange::serve(path, u"x"_s, [&](const QString &, const RequestExchange::AnswerWriter &) {
        QFile::remove(path);
        return RequestExchange::DialogResult{true, u"ZenroA\t\t\t\t\t0"_s};
    }, fs_);
    QCOMPARE(message, QString());
    QCOMPARE(readAll(path), QByteArray("ZenroA\t\t\t\t\t0"));
}

void TestStartup::oversizedRequestIsRefusedUnread()
{
    const QString path = dir_.filePath(u"hugeZrok.txt"_s);
    QByteArray huge = kRequest;
    huge.append(QByteArray(10 * 1024 * 1024, 'x'));
    writeAll(path, huge);
    const RequestExchange::Start s = RequestExchange::examine(path, fs_);
    QCOMPARE(s.mode, Mode::Refused);
    QVERIFY2(s.message.startsWith(u"要求ファイルが大きすぎます"_s), qPrintable(s.message));
    QCOMPARE(QFileInfo(path).size(), huge.size());

    // Up to and including the limit is served; one byte more is not.
    QByteArray fits = kRequest;
    fits.append(QByteArray(RequestExchange::kMaxRequestBytes - fits.size(), 'x'));
    writeAll(path, fits);
    QCOMPARE(RequestExchange::examine(path, fs_).mode, Mode::Request);
    writeAll(path, fits + "x");
    QCOMPARE(RequestExchange::examine(path, fs_).mode, Mode::Refused);

    // Just as large, but no request: window mode, as for any other file.
    writeAll(path, QByteArray(10 * 1024 * 1024, 'x'));
    QCOMPARE(RequestExchange::examine(path, fs_).mode, Mode::Window);
}

void TestStartup::answerThroughSymbolicLink()
{
    // A calling program may hand over a link: the answer goes to the file it
    // points at, and the link stays a link.
    const QString target = dir_.filePath(u"target.txt"_s);
    const QString link = dir_.filePath(u"linkZrok.txt"_s);
    writeAll(target, kRequest);
    QVERIFY(QFile::link(target, link));
    QCOMPARE(RequestExchange::examine(link, fs_).mode, Mode::Request);
    const QString message = RequestExchange::serve(link, u"x"_s, [](const QString &, const RequestExchange::AnswerWriter &) {
        return RequestExchange::DialogResult{true, u"ZenroA\t\t\t\t\t0"_s};
    }, fs_);
    QCOMPARE(message, QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), QByteArray("ZenroA\t\t\t\t\t0"));
}

// Only the company and the map URL count as a change for the caller; the
// postal code and the address are the look-up's to complete.
void TestStartup::changeFlag_data()
{
    QTest::addColumn<QStringList>("answered");  // postal code, address, company, map URL
    QTest::addColumn<QString>("flag");
    QTest::newRow("nothing changed") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"http://m/a"_s} << u"0"_s;
    QTest::newRow("postal code only") << QStringList{u"100-0001"_s, u"2"_s, u"3"_s, u"http://m/a"_s} << u"0"_s;
    QTest::newRow("address only") << QStringList{u"1"_s, u"東京都"_s, u"3"_s, u"http://m/a"_s} << u"0"_s;
    QTest::newRow("postal code and address") << QStringList{u"9"_s, u"9"_s, u"3"_s, u"http://m/a"_s} << u"0"_s;
    QTest::newRow("company") << QStringList{u"1"_s, u"2"_s, u"3 "_s, u"http://m/a"_s} << u"1"_s;
    QTest::newRow("map URL, letter case only") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"HTTP://m/a"_s} << u"1"_s;
    QTest::newRow("map URL emptied") << QStringList{u"1"_s, u"2"_s, u"3"_s, QString()} << u"1"_s;
}

void TestStartup::changeFlag()
{
    QFETCH(QStringList, answered);
    QFETCH(QString, flag);
    const QStringList request = RequestText::fields(u"ZenroA\t1\t2\t3\thttp://m/a\textra"_s);
    const QString text = RequestText::answer(request, {answered[0], answered[1], answered[2], answered[3]});
    QCOMPARE(text, u"ZenroA\t"_s + answered.join(u'\t') + u"\t"_s + flag);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
