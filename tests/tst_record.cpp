// The address record at work in the real window: map addresses copied by
// other programs, the user's edits, and the commands on the record.

#include "BuildConfig.h"
#include "postal/addresses/AddressComponent.h"
#include "postal/dictionary/PostalDictionary.h"
#include "EngineReady.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/fmMain.h"
#include "platform/MessageBox.h"
#include "startup/ClipHook.h"
#include "startup/Usr.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Copies as another program on the desktop does.
bool xclip(const QByteArray &data, const QString &type = u"UTF8_STRING"_s)
{
    QProcess p;
    p.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, type, u"-i"_s});
    if (!p.waitForStarted())
        return false;
    p.write(data);
    p.closeWriteChannel();
    return p.waitForFinished(5000) && p.exitCode() == 0;
}

const QString kBase = QString::fromUtf8(MapBaseURL);

}  // namespace

class TestRecord : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void copyBeforeWindowIsNotTaken();
    void mapAddressFromAnotherProgram();
    void textsThatAreNoMapAddress_data();
    void textsThatAreNoMapAddress();
    void imageAloneIsIgnored();
    void hookInstallsAndRemovesOnce();
    void editsSwitchTheCopyButton();
    void copyCommandPutsTheLine();
    void doubleClickLoadsRowOneUrl();
    void answerOutsideCodePageStaysOpen();
    void addressLookUpFillsTheRecord();
    void unusualClipboardTexts();
    void noticeDuringCaptureIsNotCaptured();
    void placeOfRowOneUrlOnTheStatusBar();
    void placeWithoutPROJData();

private:
    void open();
    std::unique_ptr<fmMain> w_;
    QStringList messages_;
    std::unique_ptr<MessageBox::Override> box_;
};

void TestRecord::init()
{
    messages_.clear();
    box_ = std::make_unique<MessageBox::Override>([this](const QString &t) { messages_ << t; });
}

void TestRecord::cleanup()
{
    if (w_)
        w_->close();
    w_.reset();
    box_.reset();
}

void TestRecord::open()
{
    w_ = std::make_unique<fmMain>();
    w_->show();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    QVERIFY(waitForEngine(w_->uWeb));
}

void TestRecord::copyBeforeWindowIsNotTaken()
{
    QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
    QVERIFY(xclip((kBase + u"/before"_s).toUtf8()));
    QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty(), 5000);  // the change is over before the window loads
    open();
    QTest::qWait(300);
    QCOMPARE(w_->vAdd->cellText(4, 1), QString());
    QVERIFY(!w_->cmMap[6]->isEnabled());
}

void TestRecord::mapAddressFromAnotherProgram()
{
    open();
    w_->vAdd->setCellText(2, 1, u"東京都"_s);  // typed meanwhile, not yet in the fields
    const QString url = kBase.toUpper() + u"/pl?lat=35.68&lon=139.76 "_s;
    QVERIFY(xclip(url.toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(w_->vAdd->cellText(4, 1), url, 5000);
    QCOMPARE(w_->uWeb->txURL->text(), url);
    QCOMPARE(w_->sMapURL, url);
    QCOMPARE(w_->sAdd, u"東京都"_s);
    QVERIFY(w_->cmMap[6]->isEnabled());
    QVERIFY(w_->bAccept);

    // Today's page, over https, as a browser copies it with a line end.
    const QString today = QString(kBase).replace(u"http://"_s, u"https://"_s)
                          + u"/place?lat=35.681236&lon=139.767125&zoom=16&maptype=basic"_s;
    QVERIFY(xclip((today + u"\r\n"_s).toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(w_->vAdd->cellText(4, 1), today, 5000);
    QCOMPARE(w_->sMapURL, today);
    QCOMPARE(w_->uWeb->txURL->text(), today);
    QCOMPARE(w_->uWeb->txURL->cursorPosition(), 0);
}

void TestRecord::textsThatAreNoMapAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("blanks before") << u"  "_s + kBase;
    QTest::newRow("other scheme") << QString(kBase).replace(u"http://"_s, u"ftp://"_s);
    QTest::newRow("plain words") << u"東京都千代田区"_s;
    QTest::newRow("the copied record") << u"100-0001\t東京都\t\t"_s + kBase;
}

void TestRecord::textsThatAreNoMapAddress()
{
    QFETCH(QString, text);
    open();
    QVERIFY(xclip(text.toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), text, 5000);
    QTest::qWait(100);
    QCOMPARE(w_->vAdd->cellText(4, 1), QString());
    QVERIFY(!w_->cmMap[6]->isEnabled());
}

void TestRecord::imageAloneIsIgnored()
{
    open();
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
    QVERIFY(xclip(png, u"image/png"_s));
    QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->mimeData()->hasImage(), 5000);
    QTest::qWait(100);
    QCOMPARE(w_->vAdd->cellText(4, 1), QString());
}

void TestRecord::hookInstallsAndRemovesOnce()
{
    open();
    QVERIFY(ClipHookInstalled());
    ClipHook(1);
    ClipHook(0);
    QVERIFY(!ClipHookInstalled());
    ClipHook(0);
    QVERIFY(xclip((kBase + u"/unhooked"_s).toUtf8()));
    QTest::qWait(300);
    QCOMPARE(w_->vAdd->cellText(4, 1), QString());
    ClipHook(1);
    ClipHook(1);
    QVERIFY(xclip((kBase + u"/hooked"_s).toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(w_->vAdd->cellText(4, 1), kBase + u"/hooked"_s, 5000);
}

void TestRecord::editsSwitchTheCopyButton()
{
    open();
    // Typing into any cell enables copying; the program's own writes do not.
    w_->vAdd->setFocus();
    w_->vAdd->setCurrentCell(0, 2);
    for (const char c : {'a', 'b', 'c'})
        QTest::keyClick(w_->windowHandle(), c);
    QTest::keyClick(w_->windowHandle(), Qt::Key_Return);
    QTRY_VERIFY(w_->cmMap[6]->isEnabled());
    QCOMPARE(w_->vAdd->cellText(3, 1), u"abc"_s);
    QTest::keyClick(w_->windowHandle(), Qt::Key_F2);
    QVERIFY(!w_->cmMap[6]->isEnabled());
    QCOMPARE(w_->vAdd->cellText(3, 1), QString());
    QString request = u"ZenroA\t1\t2\t3\t"_s;
    bool accepted = true;
    QTimer::singleShot(0, w_.get(), [this] {
        QVERIFY(!w_->cmMap[6]->isEnabled());  // filling the row from a request is no edit
        QTest::keyClick(w_->windowHandle(), Qt::Key_F12);
    });
    QTimer::singleShot(20000, w_.get(), [this] { w_->hide(); });
    w_->ActA(request, accepted);
    QVERIFY(!accepted);
}

void TestRecord::copyCommandPutsTheLine()
{
    open();
    QTest::keyClick(w_->windowHandle(), Qt::Key_F9, Qt::ShiftModifier);  // disabled, still runs
    QCOMPARE(QGuiApplication::clipboard()->text(), u"\t\t\t"_s);
    w_->vAdd->setCellText(1, 1, u"100-0001"_s);
    w_->vAdd->setCellText(3, 1, u"会社"_s);
    QTest::keyClick(w_->windowHandle(), Qt::Key_F9);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"100-0001\t\t会社\t"_s);
    QCOMPARE(messages_, QStringList(2, u"クリップボードに住所情報を貼り付けました"_s));
    QTest::qWait(100);
    QCOMPARE(w_->vAdd->cellText(4, 1), QString());  // the line itself is no map address
}

void TestRecord::doubleClickLoadsRowOneUrl()
{
    open();
    const QString url = u"data:text/html,row1"_s;
    w_->vAdd->setCellText(4, 1, url);
    w_->vAdd->setCellText(4, 2, u"data:text/html,row2"_s);
    const QRect cell = w_->vAdd->visualItemRect(w_->vAdd->item(1, 3));
    // A user's double click: press, release, then the second press as a double click.
    QTest::mouseClick(w_->vAdd->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mousePress(w_->vAdd->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(w_->vAdd->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE_WITH_TIMEOUT(w_->uWeb->txURL->text(), url, 5000);
}

void TestRecord::answerOutsideCodePageStaysOpen()
{
    open();
    QString request = u"ZenroA\t100-0001\t東京都\t会社\t"_s;
    bool accepted = false;
    QTimer::singleShot(0, w_.get(), [this] {
        w_->vAdd->setCellText(3, 1, u"Café ★"_s);
        QTest::keyClick(w_->windowHandle(), Qt::Key_F9);
        QVERIFY(w_->isVisible());
        w_->vAdd->setCellText(3, 1, u"Cafe"_s);
        QTest::keyClick(w_->windowHandle(), Qt::Key_F9);
    });
    QTimer::singleShot(20000, w_.get(), [this] { w_->hide(); });
    w_->ActA(request, accepted);
    QVERIFY(accepted);
    QCOMPARE(request, u"ZenroA\t100-0001\t東京都\tCafe\t\t1"_s);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_.at(0).contains(u"é"_s) && !messages_.at(0).contains(u"★"_s), qPrintable(messages_.at(0)));
}

void TestRecord::addressLookUpFillsTheRecord()
{
#ifdef ZENROOK_NO_NATIONAL_DICTIONARY
    QSKIP("this build makes no national dictionary (ZENROOK_POSTAL_DICTIONARY=OFF)");
#endif
    open();
    QVERIFY2(w_->cmMap[1]->isEnabled(), "no national postal dictionary in the build tree: F4 is off");
    QWindow *window = w_->windowHandle();
    w_->vAdd->setFocus();
    w_->vAdd->setCurrentCell(0, 0);
    for (const char c : {'1', '0', '0', '0', '0', '0', '1'})
        QTest::keyClick(window, c);
    QTest::keyClick(window, Qt::Key_Return);
    QTest::keyClick(window, Qt::Key_F2);  // clears the row; the typed code is gone
    QCOMPARE(w_->vAdd->cellText(1, 1), QString());
    w_->vAdd->setCurrentCell(0, 0);
    for (const char c : {'1', '0', '0', '0', '0', '0', '1'})
        QTest::keyClick(window, c);
    QTest::keyClick(window, Qt::Key_Return);
    QVERIFY(w_->cmMap[6]->isEnabled());
    QTest::keyClick(window, Qt::Key_F2);
    QVERIFY(!w_->cmMap[6]->isEnabled());

    w_->vAdd->setCellText(1, 1, u"1000001"_s);
    w_->vAdd->setCellText(3, 1, u"会社"_s);
    QTest::keyClick(window, Qt::Key_F4);
    QCOMPARE(w_->vAdd->cellText(1, 1), u"100-0001"_s);
    QCOMPARE(w_->vAdd->cellText(2, 1), u"東京都千代田区千代田"_s);
    QCOMPARE(w_->vAdd->cellText(3, 1), u"会社"_s);
    QCOMPARE(w_->vAdd->currentRow(), 0);
    QCOMPARE(w_->vAdd->currentColumn(), 2);  // the company cell is next
    QVERIFY(w_->cmMap[6]->isEnabled());

    // Nothing found: the status bar says so and the row stays as typed.
    QTest::keyClick(window, Qt::Key_F2);
    w_->vAdd->setCellText(1, 1, u"0000000"_s);
    QTest::keyClick(window, Qt::Key_F4);
    QCOMPARE(w_->stPanels[0]->text(), u"対象が見つかりません"_s);
    QCOMPARE(w_->vAdd->cellText(1, 1), u"0000000"_s);
    QCOMPARE(w_->vAdd->cellText(2, 1), QString());

    // A town the data does not hold: the city's catch-all code, and the
    // status bar says that is what it is; the next town's code clears it.
    QTest::keyClick(window, Qt::Key_F2);
    w_->vAdd->setCellText(2, 1, u"千代田区番地のない町1-2"_s);
    QTest::keyClick(window, Qt::Key_F4);
    QCOMPARE(w_->vAdd->cellText(1, 1), u"100-0000"_s);
    QCOMPARE(w_->vAdd->cellText(2, 1), u"東京都千代田区番地のない町1-2"_s);
    QCOMPARE(w_->stPanels[0]->text(), u"町域が特定できないため市区町村の番号です"_s);
    QTest::keyClick(window, Qt::Key_F2);
    w_->vAdd->setCellText(2, 1, u"〒100-0013 千代田区霞ヶ関１－３－１"_s);
    QTest::keyClick(window, Qt::Key_F4);
    QCOMPARE(w_->vAdd->cellText(1, 1), u"100-0013"_s);
    QCOMPARE(w_->vAdd->cellText(2, 1), u"東京都千代田区霞が関１－３－１"_s);
    QCOMPARE(w_->stPanels[0]->text(), QString());

    // The dictionary damaged under the open window: F4 says why, finds
    // nothing, and leaves the row as typed.
    QTemporaryDir dir;
    const QString copy = dir.filePath(u"copy.sqlite3"_s);
    QVERIFY(QFile::copy(PostalDictionary::places().constLast(), copy));
    w_->oAdd = createObject(u"Tarnu.cAdd"_s, copy);
    QVERIFY(w_->oAdd);
    QFile damaged(copy);
    QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.resize(4096));
    damaged.close();
    messages_.clear();
    w_->vAdd->setCellText(1, 1, u"1000001"_s);
    QTest::keyClick(window, Qt::Key_F4);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_.first().startsWith(u"郵便番号辞書を読めないため、住所を検索できません。\r"_s)
                 && messages_.first().contains(copy),
             qPrintable(messages_.first()));
    QCOMPARE(w_->stPanels[0]->text(), u"対象が見つかりません"_s);
    QCOMPARE(w_->vAdd->cellText(1, 1), u"1000001"_s);
}

void TestRecord::unusualClipboardTexts()
{
    open();
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Control characters and a megabyte of address: taken whole, as they came.
    const QString controls = kBase + u"/a\x01\x02b"_s;
    clipboard->setText(controls);
    QTRY_COMPARE(w_->vAdd->cellText(4, 1), controls);
    // A tab or a line break inside is more than a URL: not taken, as it
    // would split or break a request's answer.
    for (const QString &more : {kBase + u"/a\tb"_s, kBase + u"/a\r\nsecond line"_s, kBase + u"/a\nb\n"_s}) {
        clipboard->setText(more);
        QTRY_COMPARE(clipboard->text(), more);
        QTest::qWait(100);
        QCOMPARE(w_->vAdd->cellText(4, 1), controls);
    }
    const QString huge = kBase + u"/"_s + QString(1024 * 1024, u'x');
    clipboard->setText(huge);
    QTRY_COMPARE(w_->vAdd->cellText(4, 1), huge);
    QVERIFY(huge.startsWith(w_->uWeb->txURL->text()));  // the box shows what a line edit holds

    // A flood of changes: each is taken in turn, the last one stays.
    for (int i = 0; i < 1000; ++i) {
        clipboard->setText(kBase + u"/flood/"_s + QString::number(i));
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(w_->vAdd->cellText(4, 1), kBase + u"/flood/999"_s);
    QVERIFY(w_->isVisible());
}

void TestRecord::noticeDuringCaptureIsNotCaptured()
{
    // A second clipboard notice while the first capture still writes row 1
    // must not start a capture of its own inside it.
    open();
    const QString first = kBase + u"/pl?first"_s;
    const QString second = kBase + u"/pl?second"_s;
    int nested = 0;
    const auto connection = connect(w_->vAdd, &QTableWidget::cellChanged, w_.get(), [&] {
        if (nested++ == 0)
            ClipProc(second);
    });
    ClipProc(first);
    disconnect(connection);
    QVERIFY(nested > 0);
    QCOMPARE(w_->vAdd->cellText(4, 1), first);
    QCOMPARE(w_->sMapURL, first);
}

void TestRecord::placeOfRowOneUrlOnTheStatusBar()
{
    open();
    QLabel *latitude = w_->stPanels[1], *longitude = w_->stPanels[2];
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Copied by another program: the datum origin as the service writes it.
    const QString origin = kBase + u"/beta/?lat=35.39.17.5148;lon=139.44.40.5020;sc=2"_s;
    QVERIFY(xclip(origin.toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(latitude->text(), u"35.654865"_s, 5000);
    QCOMPARE(longitude->text(), u"139.744584"_s);
    QVERIFY2(latitude->toolTip().startsWith(u"JGD2011 (世界測地系): 35.658"_s), qPrintable(latitude->toolTip()));
    QVERIFY(latitude->toolTip().contains(u"PROJ: "_s));
    QCOMPARE(longitude->toolTip(), latitude->toolTip());
    QVERIFY(w_->stPanels[0]->text().isEmpty());
    QCOMPARE(latitude->textInteractionFlags(), Qt::NoTextInteraction);

    // A double click on either panel copies the Tokyo point; the copy is no map URL.
    QTest::mouseDClick(longitude, Qt::LeftButton);
    QCOMPARE(clipboard->text(), u"35.654865,139.744584"_s);
    QTest::qWait(100);
    QCOMPARE(w_->vAdd->cellText(4, 1), origin);

    // F2 empties them, and an empty panel copies nothing.
    QTest::keyClick(w_->windowHandle(), Qt::Key_F2);
    QCOMPARE(latitude->text(), QString());
    QCOMPARE(longitude->text(), QString());
    QCOMPARE(latitude->toolTip(), QString());
    clipboard->setText(u"kept"_s);
    QTest::mouseDClick(latitude, Qt::LeftButton);
    QCOMPARE(clipboard->text(), u"kept"_s);

    // Typed into the cell: a WGS 84 point is shown shifted to the Tokyo datum.
    QWindow *window = w_->windowHandle();
    w_->vAdd->setFocus();
    w_->vAdd->setCurrentCell(0, 3);
    for (const QChar c : kBase + u"/?ll=35.681236,139.767125&datum=wgs"_s)
        QTest::keyClick(window, char(c.unicode()));
    QTest::keyClick(window, Qt::Key_Return);
    QTRY_VERIFY(latitude->text().startsWith(u"35.677"_s));
    QVERIFY(longitude->text().startsWith(u"139.770"_s));
    QVERIFY2(latitude->toolTip().startsWith(u"JGD2011 (世界測地系): 35.681236, 139.767125\n"_s),
             qPrintable(latitude->toolTip()));

    // A URL without a place, or of another site, leaves the panels empty.
    w_->vAdd->setCellText(4, 1, kBase + u"/pl?lat=35.6"_s);
    QCOMPARE(latitude->text(), QString());
    w_->vAdd->setCellText(4, 1, u"http://example.com/?lat=35.6&lon=139.7"_s);
    QCOMPARE(longitude->text(), QString());

    // A request's map URL shows its place; nothing else of the window changes.
    QString request = u"ZenroA\t1\t2\t3\t"_s + kBase + u"/pl?lat=35.681236&lon=139.767125"_s;
    bool accepted = true;
    QTimer::singleShot(0, w_.get(), [&] {
        QCOMPARE(latitude->text(), u"35.681236"_s);
        QCOMPARE(longitude->text(), u"139.767125"_s);
        QTest::keyClick(w_->windowHandle(), Qt::Key_F12);
    });
    QTimer::singleShot(20000, w_.get(), [this] { w_->hide(); });
    w_->ActA(request, accepted);
    QVERIFY(!accepted);
}

void TestRecord::placeWithoutPROJData()
{
    // PROJ without its database: the Tokyo point still shows, the tooltip says why.
    QTemporaryDir empty;
    const QByteArray saved = qgetenv("PROJ_DATA");
    qputenv("PROJ_DATA", QFile::encodeName(empty.path()));
    open();
    w_->vAdd->setCellText(4, 1, kBase + u"/pl?lat=35.681236&lon=139.767125"_s);
    if (saved.isNull())
        qunsetenv("PROJ_DATA");
    else
        qputenv("PROJ_DATA", saved);
    QCOMPARE(w_->stPanels[1]->text(), u"35.681236"_s);
    QCOMPARE(w_->stPanels[2]->text(), u"139.767125"_s);
    const QString tip = w_->stPanels[1]->toolTip();
    QVERIFY2(tip.startsWith(u"JGD2011 (世界測地系) に変換できません: "_s) && tip.contains(u"proj.db"_s), qPrintable(tip));
}

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
