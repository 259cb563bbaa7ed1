// The per-user data folder, the record of the program's place, and the
// shortcuts and actions handed to the desktop.

#include "platform/AppSettings.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "settings/yIni.h"
#include "startup/Usr.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
const QChar kSep = QDir::separator();

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytesTo(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}
const QString kUserFolderIs = u"ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは"_s + QChar(0x3000);
}  // namespace

class TestUserData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void withoutChoiceFile();
    void choices_data();
    void choices();
    void emptyChoiceFile();
    void hugeOrSpecialChoiceFile();
    void longMessageStaysOnScreen();
    void executableRecord();
    void createFolderLevelByLevel();
    void helpShortcut();
    void documentViewNeedsWorkFolder();
    void sendToShortcut();
    void exploreFolder();
    void entriesValidWhateverTheNames_data();
    void entriesValidWhateverTheNames();
    void sendToScriptStartsProgram();

private:
    void choose(const QByteArray &content);
    QString defaultFolder() const { return home_.path() + u"/data/Halvorin/zenrook/"_s; }
    QTemporaryDir home_;
    QStringList messages_;
    QList<QUrl> opened_;
    bool desktopOpens_ = true;
    std::unique_ptr<MessageBox::Override> box_;
    std::unique_ptr<Shell::Override> shell_;
    QByteArray originalChoice_;
    const QString choiceFile_ = QCoreApplication::applicationDirPath() + u"/UserData.ini"_s;
};

void TestUserData::initTestCase()
{
    // Everything the user owns goes to a folder of this test's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path() + u"/data"_s));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path() + u"/config"_s));
    sExeName = u"zenrook"_s;
    QFile original(choiceFile_);
    if (original.open(QIODevice::ReadOnly))
        originalChoice_ = original.readAll();
}

void TestUserData::cleanupTestCase()
{
    // The other tests beside this one rely on the choice file it replaced.
    if (!originalChoice_.isNull())
        choose(originalChoice_);
}

void TestUserData::init()
{
    messages_.clear();
    opened_.clear();
    shell_.reset();  // guards restore in reverse order: the old ones go first
    box_.reset();
    box_ = std::make_unique<MessageBox::Override>([this](const QString &t) { messages_ << t; });
    shell_ = std::make_unique<Shell::Override>([this](const QUrl &u) {
        opened_ << u;
        return desktopOpens_;
    });
    desktopOpens_ = true;
    QFile::remove(choiceFile_);
    QDir(home_.path() + u"/data"_s).removeRecursively();
}

void TestUserData::cleanup()
{
    QFile::remove(choiceFile_);
}

void TestUserData::choose(const QByteArray &content)
{
    QFile f(choiceFile_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

void TestUserData::withoutChoiceFile()
{
    yIni ini;
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, defaultFolder());
    QVERIFY(QDir(sUsrFld).exists());  // every missing level created
    QCOMPARE(messages_, QStringList{choiceFile_ + u" が見つかりません\r"_s + kUserFolderIs + defaultFolder()
                                    + u" を使用します"_s});
}

void TestUserData::choices_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("message");
    const QString program = QCoreApplication::applicationDirPath();
    QTest::newRow("%APP%") << QByteArray("%APP%") << program + u"/usData/"_s << QString();
    QTest::newRow("%app% and a line break") << QByteArray("%app%\r\n") << QString() << QString();
    QTest::newRow("%usr%") << QByteArray("%Usr%") << QString() << QString();
    QTest::newRow("other %") << QByteArray("%whatever") << QString() << QString();
    QTest::newRow("%doc") << QByteArray("%doc") << QDir::homePath() + u"/Documents/Halvorin/zenrook/"_s << QString();
}

void TestUserData::choices()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    choose(content);
    yIni ini;
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, folder.isEmpty() ? defaultFolder() : folder);
    QVERIFY(messages_.isEmpty());
    if (folder.startsWith(QCoreApplication::applicationDirPath()))
        QDir(folder).removeRecursively();
}

void TestUserData::emptyChoiceFile()
{
    choose(QByteArray());
    yIni ini;
    ini.W_UserData(0);
    QCOMPARE(messages_, QStringList{u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません\r"_s + defaultFolder() + u" を使用します"_s});
    messages_.clear();

    // A named folder that exists keeps its letter case and gains a separator.
    const QString mine = home_.path() + u"/MyData"_s;
    QVERIFY(QDir().mkpath(mine));
    choose(QFile::encodeName(mine));
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, mine + kSep);
    QVERIFY(messages_.isEmpty());

    // The same name followed by a line break names no folder: message C.
    choose(QFile::encodeName(mine) + "\r\n");
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, defaultFolder());
    QCOMPARE(messages_, QStringList{u"ﾌｫﾙﾀﾞ "_s + mine.toLower() + u"\r\n が見つかりません\r"_s + kUserFolderIs
                                    + defaultFolder() + u" を使用します"_s});
}

void TestUserData::hugeOrSpecialChoiceFile()
{
    // Only the first line decides; a megabyte behind it is never read.
    choose("%app%\r\n" + QByteArray(1024 * 1024, 'x'));
    yIni ini;
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, defaultFolder());
    QVERIFY(messages_.isEmpty());

    // One endless line names no folder: message C, quoting a path's length.
    choose(QByteArray(1024 * 1024, 'a'));
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, defaultFolder());
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].startsWith(u"ﾌｫﾙﾀﾞ "_s + QString(4098, u'a') + u" が見つかりません\r"_s),
             qPrintable(messages_[0].left(40)));
    messages_.clear();

    // A FIFO would block the start: it cannot be read, so the default.
    QFile::remove(choiceFile_);
    QCOMPARE(mkfifo(QFile::encodeName(choiceFile_).constData(), 0600), 0);
    ini.W_UserData(0);
    QCOMPARE(sUsrFld, defaultFolder());
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].startsWith(choiceFile_ + u" を読み込めません"_s));
}

void TestUserData::longMessageStaysOnScreen()
{
    const QString path = u"/srv/"_s + QString(20000, u'深') + u"/UserData.ini"_s;
    QString text = u"ﾌｫﾙﾀﾞ "_s + path + u" が見つかりません\r次の行"_s;
    for (int i = 0; i < 500; ++i)
        text += u"\r行"_s;
    const QFontMetrics metrics(QApplication::font());
    const QString shown = MessageBox::fittedToScreen(text, metrics, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QStringList lines = shown.split(QLatin1Char('\n'));
    QVERIFY(lines.size() * metrics.lineSpacing() <= screen.height());
    for (const QString &line : lines)
        QVERIFY(metrics.horizontalAdvance(line) <= screen.width());
    // Both ends of the path stay readable: where it lies and what is missing.
    QVERIFY(lines[0].startsWith(u"ﾌｫﾙﾀﾞ /srv/"_s));
    QVERIFY(lines[0].endsWith(u"が見つかりません"_s));
    QCOMPARE(lines[1], u"次の行"_s);
}

void TestUserData::executableRecord()
{
    const QString exe = QCoreApplication::applicationDirPath() + u"/zenrook"_s;
    AppSettings::write(u"HalvorinTools"_s, u"Path"_s, u"zenrook"_s, u"/old/place/zenrook"_s);
    yIni ini;
    ini.W_UserData(0);
    QCOMPARE(AppSettings::read(u"HalvorinTools"_s, u"Path"_s, u"zenrook"_s), exe);
    // The same place in other letters counts as the same: nothing is written.
    AppSettings::write(u"HalvorinTools"_s, u"Path"_s, u"zenrook"_s, exe.toUpper());
    ini.W_UserData(0);
    QCOMPARE(AppSettings::read(u"HalvorinTools"_s, u"Path"_s, u"zenrook"_s), exe.toUpper());
}

void TestUserData::createFolderLevelByLevel()
{
    yIni ini;
    const QString deep = home_.path() + u"/one/two/three"_s;
    ini.F_CreateFld(deep);
    QVERIFY(QDir(deep).exists());
    ini.F_CreateFld(deep + kSep);  // already there: nothing to do
    QVERIFY(QDir(deep).exists());
    QVERIFY(ini.F_ChkSb(deep + kSep, {u"a"_s, u"b"_s}));
    QVERIFY(QDir(deep + u"/a"_s).exists() && QDir(deep + u"/b"_s).exists());
    QVERIFY(!ini.F_ChkSb(deep + kSep, {u"x/y"_s}));  // one level only
}

void TestUserData::helpShortcut()
{
    yIni ini;
    ini.W_UserData(0);
    QVERIFY(ini.W_Help(u"ZENROOK"_s));
    desktopOpens_ = false;  // no launcher on this desktop: the caller is told
    QVERIFY(!ini.W_Help(u"zenrook.htm"_s));
    QCOMPARE(opened_.size(), 2);
    QCOMPARE(opened_.at(0), opened_.at(1));  // capitals lower-cased, ".htm" added
    QVERIFY(opened_.at(0).toString().endsWith(u"/zenrook.htm"_s));
    QVERIFY2(QFile::exists(opened_.at(0).toLocalFile()), qPrintable(opened_.at(0).toString()));
    QFile entry(sUsrFld + u"zenrook_help.desktop"_s);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains("URL=" + opened_.at(0).toEncoded() + "\n"));
}

void TestUserData::documentViewNeedsWorkFolder()
{
    yIni ini;
    ini.W_UserData(0);
    ini.W_HtmView(u"https://example.com/a"_s);
    QVERIFY(opened_.isEmpty());
    QVERIFY(QDir().mkpath(sUsrFld + u"Wrk"_s));
    ini.W_HtmView(u"https://example.com/a"_s);
    QCOMPARE(opened_, QList<QUrl>{QUrl(u"https://example.com/a"_s)});
}

void TestUserData::sendToShortcut()
{
    yIni ini;
    ini.W_UserData(0);
    messages_.clear();
    const QString sendTo = home_.path() + u"/data/nautilus/scripts"_s;
    QVERIFY(!ini.W_SendTo());  // no such folder yet: nothing at all
    QVERIFY(messages_.isEmpty());
    QVERIFY(QDir().mkpath(sendTo));
    QFile::copy(QCoreApplication::applicationFilePath(), sendTo + u"/zenrook.desktop"_s);  // an old entry

    // KDE's service menu cannot be written (a folder stands where it goes,
    // which stops root too): a failure, and no confirmation.
    const QString menus = home_.path() + u"/data/kio/servicemenus"_s;
    QVERIFY(QDir().mkpath(menus + u"/zenrook.desktop"_s));
    QVERIFY(!ini.W_SendTo());
    QVERIFY(messages_.isEmpty());
    QVERIFY(QDir(menus + u"/zenrook.desktop"_s).removeRecursively());

    QVERIFY(ini.W_SendTo());
    QVERIFY(QFileInfo(menus + u"/zenrook.desktop"_s).isFile());
    QVERIFY(QDir(menus).removeRecursively());
    const QString exe = QCoreApplication::applicationDirPath() + u"/zenrook"_s;
    QCOMPARE(messages_, QStringList{exe + u" のｼｮｰﾄｶｯﾄを "_s + sendTo + u" に作成しました"_s});
    const QFileInfo script(sendTo + u"/zenrook"_s);
    QVERIFY(script.isExecutable());
    QVERIFY(!QFile::exists(sendTo + u"/zenrook.desktop"_s));
    QCOMPARE(readAll(script.filePath()).left(10), QByteArray("#!/bin/sh\n"));
}

// Whatever the program's folder or the target is called, the entries stay
// valid, and nothing can add keys to them.
void TestUserData::entriesValidWhateverTheNames_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("blanks and quotes") << u"My Tools \"new\" 'x'"_s;
    QTest::newRow("dollar, percent, backquote, backslash") << u"$HOME %f `id` a\\b"_s;
    QTest::newRow("Japanese and a leading blank") << u" 住所 ツール"_s;
}

void TestUserData::entriesValidWhateverTheNames()
{
    QFETCH(QString, folder);
    if (QStandardPaths::findExecutable(u"desktop-file-validate"_s).isEmpty())
        QFAIL("desktop-file-validate is missing: tools/install-deps.sh installs it");
    QTemporaryDir dir;
    const QString program = dir.filePath(folder + u"/zenrook"_s);
    const QString app = dir.filePath(u"app.desktop"_s);
    const QString link = dir.filePath(u"link.desktop"_s);
    const QString menu = dir.filePath(u"menu.desktop"_s);
    QVERIFY(Shell::writeApplication(app, program, u"zenrook"_s));
    QVERIFY(Shell::writeLink(link, u"file://"_s + program + u"/help.htm"_s));
    QVERIFY(Shell::writeServiceMenu(menu, program, u"zenrook"_s));
    // KDE's service menus are no freedesktop type; their Exec is the same.
    for (const QString &entry : {app, link}) {
        QProcess validate;
        validate.start(u"desktop-file-validate"_s, {entry});
        QVERIFY(validate.waitForFinished());
        QVERIFY2(validate.exitCode() == 0, (readAll(entry) + validate.readAll()).constData());
    }
    const auto execOf = [](const QString &entry) {
        return QString::fromUtf8(readAll(entry)).section(u"Exec="_s, 1).section(u'\n', 0, 0);
    };
    QVERIFY(execOf(app).endsWith(u" %f"_s));
    QCOMPARE(execOf(menu), execOf(app));

    // A line break would start a key of its own: refused, nothing written.
    const QString injected = dir.filePath(u"injected.desktop"_s);
    QVERIFY(!Shell::writeLink(injected, u"https://example.com/\nExec=rm -rf ~"_s));
    QVERIFY(!Shell::writeApplication(injected, dir.filePath(u"a\rb/zenrook"_s), u"zenrook"_s));
    QVERIFY(!Shell::writeFileManagerScript(injected, u"/x\n/zenrook"_s));
    QVERIFY(!QFile::exists(injected));
}

void TestUserData::sendToScriptStartsProgram()
{
    // A stand-in for the program that notes the arguments it was started with.
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"it's $here"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString program = folder + u"/zenrook"_s;
    writeBytesTo(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/started\"\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    const QString script = dir.filePath(u"script"_s);
    QVERIFY(Shell::writeFileManagerScript(script, program));

    // The file manager runs it in the folder it shows, with relative names.
    QProcess run;
    run.setWorkingDirectory(dir.path());
    run.start(script, {u"aZrok.txt"_s, dir.filePath(u"b Zrok.txt"_s)});
    QVERIFY(run.waitForFinished());
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(readAll(folder + u"/started"_s)),
             dir.filePath(u"aZrok.txt"_s) + u"\n"_s + dir.filePath(u"b Zrok.txt"_s) + u"\n"_s);
}

void TestUserData::exploreFolder()
{
    yIni ini;
    ini.W_ExpFd(QString(), true);
    ini.W_ExpFd(home_.path() + u"/missing"_s, false);
    QVERIFY(opened_.isEmpty());
    ini.W_ExpFd(home_.path() + u"/missing"_s, true);  // opened without a check
    ini.W_ExpFd(home_.path(), false);
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(home_.path() + u"/missing"_s), QUrl::fromLocalFile(home_.path())}));
}

QTEST_MAIN(TestUserData)
#include "tst_userdata.moc"
