// The main window as a user meets it: its make-up, its layout when resized,
// its keys, and the request dialog it becomes for a calling program.

#include "EngineReady.h"
#include "postal/addresses/AddressComponent.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/RestoredFrame.h"
#include "mainwindow/fmMain.h"
#include "mainwindow/FormDefinition.h"
#include "platform/AnsiCodec.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "settings/yIni.h"
#include "startup/Usr.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buttons();
    void grid();
    void typingRightAfterClickingTheSelectedCell();
    void statusBarAndPane();
    void tabOrder();
    void layoutOfDefinedGeometry();
    void layoutFollowsResize();
    void functionKeysReachWindowFirst();
    void requestDialogAnswers_data();
    void requestDialogAnswers();
    void unloadAllTwice();
    void storedPlaceRounding_data();
    void storedPlaceRounding();
    void restoredFrameWaitsForTheWindowManager_data();
    void restoredFrameWaitsForTheWindowManager();
    void restoreFromMinimisedKeepsThePane();
    void helpInThePaneWithoutLauncher();

private:
    std::unique_ptr<fmMain> w_;
    bool dpi96() const { return w_->logicalDpiX() == 96; }
};

void TestMainWindow::init()
{
    w_ = std::make_unique<fmMain>();
}

void TestMainWindow::cleanup()
{
    w_.reset();
}

void TestMainWindow::buttons()
{
    QCOMPARE(w_->windowTitle(), u"住所･郵便番号･緯度･経度を調べる (Yahoo 測地系=tokyo)"_s);
    QVERIFY(!w_->windowIcon().isNull());
    struct Expected { int index; QString caption, tip; int left; bool enabled; };
    const QList<Expected> expected{
        {0, u"初期化 (&F2)"_s, u"住所又は郵便番号から地図を検索します"_s, -1, true},
        {1, u"住所検索  (&F4)"_s, u"住所又は郵便番号から地図を検索します"_s, 119, true},
        {2, u"地図住所検索  (&F5)"_s, u"GoogleMapのｻｲﾄで住所から検索します"_s, 239, true},
        {4, u"会社等で検索(F7)"_s, u"GoogleMapのｻｲﾄで会社等から検索します"_s, 479, true},
        {6, u"CLIP BOARD(&F9)"_s, QString(), 719, false},
        {7, u"ヘルプ(&F10)"_s, QString(), 839, true},
        {8, u"終了(&F12)"_s, QString(), 960, true},
    };
    for (const Expected &e : expected) {
        QPushButton *b = w_->cmMap[size_t(e.index)];
        QVERIFY2(b, qPrintable(QString::number(e.index)));
        QCOMPARE(b->text(), e.caption);
        QCOMPARE(b->toolTip(), e.tip);
        // Button 1 follows whether the address component could be made.
        QCOMPARE(b->isEnabled(), e.index == 1 ? createObject(u"Tarnu.cAdd"_s) != nullptr : e.enabled);
        if (dpi96())
            QCOMPARE(b->geometry(), QRect(e.left, -1, 120, 21));
    }
    QVERIFY(!w_->cmMap[3]);
    QVERIFY(!w_->cmMap[5]);
}

void TestMainWindow::grid()
{
    AddressGrid *g = w_->vAdd;
    QCOMPARE(g->columnCount(), 4);
    QCOMPARE(g->rowCount(), 2);
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << g->horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{u"郵便番号"_s, u"住所"_s, u"会社等"_s, u"MAP URL"_s}));
    // Widths keep the designed proportions 7.12 : 32.5 : 19.12 : 56.5.
    QVERIFY(g->columnWidth(0) < g->columnWidth(2));
    QVERIFY(g->columnWidth(2) < g->columnWidth(1));
    QVERIFY(g->columnWidth(1) < g->columnWidth(3));

    const QColor grey(228, 228, 228);
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(g->item(0, c)->background().color(), QColor(Qt::white));
        QCOMPARE(g->item(1, c)->background().color(), c < 3 ? grey : QColor(Qt::white));
    }
    // Some Japanese face must serve the grid: the MS face or its stand-in.
    const QString family = QFontInfo(g->font()).family();
    QVERIFY2(family.contains(u"CJK"_s) || family.contains(u"ゴシック"_s) || family.contains(u"Gothic"_s),
             qPrintable(family));
    QCOMPARE(g->font().pointSizeF(), 9.0);

    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    auto limitOf = [g](int row, int column) {
        g->setCurrentCell(row, column);
        g->editItem(g->item(row, column));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        const int limit = editor ? editor->maxLength() : -1;
        g->closePersistentEditor(g->item(row, column));
        g->setFocus();
        return limit;
    };
    QCOMPARE(limitOf(0, 0), 255);
    QCOMPARE(limitOf(0, 2), 255);
    QCOMPARE(limitOf(0, 3), 500);
    QCOMPARE(limitOf(1, 0), 60);

    // A URL longer than what the grid shows of its cell is shown whole when
    // the pointer rests on it; a code that fits is not.
    const QString url = u"https://map.yahoo.co.jp/place?lat=35.681236&lon=139.767125&zoom=16&maptype=basic&gid="_s
                        + QString(60, u'f');
    g->setCellText(4, 1, url);
    g->setCellText(1, 1, u"100-0013"_s);
    auto restOn = [g](int column) {
        const QPoint at = g->visualRect(g->model()->index(0, column)).topLeft() + QPoint(4, 4);
        QHelpEvent help(QEvent::ToolTip, at, g->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(g->viewport(), &help);
    };
    restOn(3);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), url);
    restOn(0);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestMainWindow::typingRightAfterClickingTheSelectedCell()
{
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    AddressGrid *g = w_->vAdd;
    g->item(0, 1)->setText(u"旧住所"_s);
    g->setCurrentCell(0, 1);
    // A click on the cell already selected; the keys follow before Qt's
    // double-click interval is out.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(0, 1)).center());
    QTest::keyClick(g, 'A');
    auto *editor = g->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor && editor->isVisible());
    QTest::keyClicks(editor, u"BC"_s);
    g->commitOpenEditor();
    QCOMPARE(g->item(0, 1)->text(), u"ABC"_s);
    // The click's own editor does not come later to undo it.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QList<QLineEdit *> editors = g->viewport()->findChildren<QLineEdit *>();
    QVERIFY(std::none_of(editors.begin(), editors.end(), [](QLineEdit *e) { return e->isVisible(); }));
    QCOMPARE(g->item(0, 1)->text(), u"ABC"_s);
}

void TestMainWindow::statusBarAndPane()
{
    const QList<QLabel *> panels = w_->stBar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 3);
    for (QLabel *p : panels)
        QVERIFY(p->text().isEmpty());
    QCOMPARE(w_->windowIcon().pixmap(16, 16).size(), QSize(16, 16));
    if (dpi96()) {
        QCOMPARE(w_->geometry().size(), QSize(1177, 496));
        QCOMPARE(w_->stBar->geometry(), QRect(0, 475, 1177, 21));
        QCOMPARE(w_->uWeb->geometry(), QRect(-1, 80, 986, 390));
        QCOMPARE(w_->vAdd->geometry(), QRect(0, 20, 960, 60));
        QCOMPARE(w_->stPanels[1]->minimumWidth(), 96);
    }
}

void TestMainWindow::tabOrder()
{
    w_->show();
    QVERIFY(waitForEngine(w_->uWeb));
    const QList<QWidget *> expected{w_->vAdd, w_->cmMap[2], w_->cmMap[6], w_->cmMap[1], w_->uWeb,
                                    w_->cmMap[4], w_->cmMap[7], w_->cmMap[0], w_->cmMap[8]};
    // What Tab visits, from the grid once round; the pane's parts count as the pane.
    QList<QWidget *> controls, paneParts;
    QWidget *w = w_->vAdd;
    do {
        if (w->focusPolicy() & Qt::TabFocus) {
            QWidget *control = w;
            while (control->parentWidget() != w_.get())
                control = control->parentWidget();
            if (controls.isEmpty() || controls.last() != control)
                controls << control;
            if (control == w_->uWeb)
                paneParts << w;
        }
        w = w->nextInFocusChain();
    } while (w && w != w_->vAdd);
    QCOMPARE(controls, expected);
    QCOMPARE(paneParts.size(), 10);
    QCOMPARE(paneParts.first(), w_->uWeb->ssCom[2]);
    QCOMPARE(paneParts.at(7), w_->uWeb->ssCom[9]);
    QVERIFY(w_->uWeb->WebBrw->isAncestorOf(paneParts.at(8)));
    QCOMPARE(paneParts.last(), w_->uWeb->txURL);
}

void TestMainWindow::layoutOfDefinedGeometry()
{
    // In twips: client 17655 x 7440, pane top 1200, status bar 315 high.
    const MainLayout l = computeMainLayout({17655, 7440}, 1200, 315);
    QCOMPARE(l.pane, QRect(0, 1200, 17655, 5925));
    QCOMPARE(l.statusBar, QRect(0, 7125, 17655, 315));
    // Lower than the pane's top plus the status bar: no negative height.
    const MainLayout low = computeMainLayout({3000, 1300}, 1200, 315);
    QCOMPARE(low.pane.height(), 0);
    QCOMPARE(low.statusBar, QRect(0, 985, 3000, 315));
}

void TestMainWindow::layoutFollowsResize()
{
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    const QRect grid = w_->vAdd->geometry();
    const QRect button = w_->cmMap[8]->geometry();
    const int paneTop = w_->uWeb->y();

    w_->resize(1400, 700);
    QTRY_COMPARE(w_->uWeb->geometry(), QRect(0, paneTop, 1400, 700 - paneTop - w_->stBar->height()));
    QCOMPARE(w_->stBar->geometry(), QRect(0, 700 - w_->stBar->height(), 1400, w_->stBar->height()));
    QCOMPARE(w_->vAdd->geometry(), grid);
    QCOMPARE(w_->cmMap[8]->geometry(), button);

    w_->resize(600, 50);  // narrower than the grid, lower than the pane's top
    QTRY_COMPARE(w_->uWeb->height(), 0);
    QCOMPARE(w_->uWeb->width(), 600);
    QCOMPARE(w_->vAdd->geometry(), grid);
    // Narrower than the row of buttons: each still within the window, in
    // the designed order, none over another.
    int right = -2;  // the first one stands a pixel left of the edge
    for (const int i : {0, 1, 2, 4, 6, 7, 8}) {
        const QRect b = w_->cmMap[size_t(i)]->geometry();
        QVERIFY2(b.left() > right && b.right() < 600 && b.width() > 0,
                 qPrintable(u"button %1 at %2..%3"_s.arg(i).arg(b.left()).arg(b.right())));
        right = b.right();
    }
    w_->resize(1400, 700);
    QTRY_COMPARE(w_->cmMap[8]->geometry(), button);

    // Minimised: nothing moves, whatever the size says.
    w_->resize(900, 500);
    QTRY_COMPARE(w_->uWeb->width(), 900);
    const QRect pane = w_->uWeb->geometry();
    w_->setWindowState(Qt::WindowMinimized);
    w_->resize(1000, 600);
    QCoreApplication::processEvents();
    QCOMPARE(w_->uWeb->geometry(), pane);
    w_->setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(w_->uWeb->width(), w_->width());
}

void TestMainWindow::functionKeysReachWindowFirst()
{
    w_->show();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    QSignalSpy commands(w_.get(), &fmMain::commandStarted);
    QWindow *window = w_->windowHandle();

    // On a button: the command runs once, though the key travels up to the window.
    w_->cmMap[2]->setFocus();
    QTest::keyClick(window, Qt::Key_F5);
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands.takeFirst().at(0).toInt(), 2);

    // Shift and Ctrl do not change the command; other keys run none.
    QTest::keyClick(window, Qt::Key_F7, Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_F3);
    QTest::keyClick(window, Qt::Key_A);
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands.at(0).at(0).toInt(), 4);
    QCOMPARE(commands.at(1).at(0).toInt(), 7);
    commands.clear();

    // On the grid: F2 runs command 0 and still reaches the grid, which starts editing.
    w_->vAdd->setFocus();
    w_->vAdd->setCurrentCell(0, 1);
    QTest::keyClick(window, Qt::Key_F2, Qt::ShiftModifier);
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 0);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor && w_->vAdd->isAncestorOf(editor));
    commands.clear();

    // A key held down acts once: its repeats run nothing.
    QTest::sendKeyEvent(QTest::KeyAction::Press, window, Qt::Key_F5, QString(), Qt::NoModifier);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, QString(), true);
        QSpontaneKeyEvent::setSpontaneous(&repeat);
        QCoreApplication::sendEvent(window, &repeat);
    }
    QTest::sendKeyEvent(QTest::KeyAction::Release, window, Qt::Key_F5, QString(), Qt::NoModifier);
    QCOMPARE(commands.size(), 1);
}

void TestMainWindow::requestDialogAnswers_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    const QString mine = u"ZenroA\t100-0001\t東京都千代田区\t会社\thttp://map.yahoo.co.jp/p?a=1"_s;
    QTest::newRow("accepted unchanged") << mine << int(Qt::Key_F9) << true << mine + u"\t0"_s;
    QTest::newRow("foreign map URL dropped")
        << u"ZenroAxx\t1\t2\t3\thttp://example.com/map\textra"_s << int(Qt::Key_F9) << true
        << u"ZenroA\t1\t2\t3\t\t1"_s;
    QTest::newRow("cancelled") << mine << int(Qt::Key_F12) << false << mine;
}

void TestMainWindow::requestDialogAnswers()
{
    QFETCH(QString, request);
    QFETCH(int, key);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QString sCm = request;
    bool ok = !accepted;
    QString caption;
    QTimer::singleShot(0, w_.get(), [this, key, &caption] {
        caption = w_->cmMap[6]->text();
        if (QTest::qWaitForWindowActive(w_.get()))
            QTest::keyClick(w_->windowHandle(), Qt::Key(key));
    });
    QTimer::singleShot(20000, w_.get(), [this] { w_->hide(); });  // never hang the suite
    QStringList written;
    w_->ActA(sCm, ok, [&written](const QString &answer) {
        written << answer;
        return QString();
    });
    QCOMPARE(caption, u"MAP URL取込(&F9)"_s);
    QCOMPARE(ok, accepted);
    QCOMPARE(sCm, text);
    QVERIFY(!w_->isVisible());
    QCOMPARE(written, accepted ? QStringList{text} : QStringList());
    // The writer served that request only: an accept after it writes nothing.
    w_->cmMap_Click(6);
    QCOMPARE(written.size(), accepted ? 1 : 0);
}

void TestMainWindow::unloadAllTwice()
{
    w_.reset();
    fmMain &form = MainForm();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QPointer<fmMain> watch(&form);
    UnloadAll();
    QVERIFY(!MainFormLoaded());
    UnloadAll();  // nothing left to do
    QTRY_VERIFY(!watch);
    QVERIFY(!bRunning);
}

// Stored numbers become whole twips with halves to the even neighbour, and
// whole pixels the same way; a width that rounds to 0 means no move at all.
void TestMainWindow::storedPlaceRounding_data()
{
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QPoint>("expected");  // in pixels at 96 DPI; (-1,-1): the designed place
    QTest::newRow("22.5 twips is 22, 52.5 is 52") << u"22.5"_s << u"52.5"_s << u"15000"_s << QPoint(3, 1);
    QTest::newRow("23.5 twips is 24") << u"23.5"_s << u"0"_s << u"15000"_s << QPoint(0, 2);
    QTest::newRow("a width of 0.5 is 0: no move") << u"1500"_s << u"1500"_s << u"0.5"_s << QPoint(-1, -1);
    QTest::newRow("a width of 1.5 is 2: moved") << u"1500"_s << u"1500"_s << u"1.5"_s << QPoint(100, 100);
}

void TestMainWindow::storedPlaceRounding()
{
    if (!dpi96())
        QSKIP("the expected pixels are those of 96 DPI");
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QString, width);
    QFETCH(QPoint, expected);
    w_.reset();
    const QString path = sUsrFld + u"User.xml"_s;
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(AnsiCodec::encode(u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n"
                                  u"      <TOP>%1</TOP>\r\n      <LEFT>%2</LEFT>\r\n      <WIDTH>%3</WIDTH>\r\n"
                                  u"      <HEIGHT>6000</HEIGHT>\r\n   </位置>\r\n</運用>"_s.arg(top, left, width)).bytes);
    }
    w_ = std::make_unique<fmMain>();
    QFile::remove(path);
    const QPoint designed(Twips::toPixels(FormDefinition::kClientLeft, 96), Twips::toPixels(FormDefinition::kClientTop, 96));
    QCOMPARE(w_->pos(), expected == QPoint(-1, -1) ? designed : expected);
}

void TestMainWindow::restoredFrameWaitsForTheWindowManager_data()
{
    // The stored frame at 44,110; openbox's frame is 1, 20, 1, 5.
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<bool>("lastChance");
    QTest::addColumn<QRect>("inner");  // null: wait
    const QRect framed(45, 130, 398, 275);
    QTest::newRow("not framed yet") << QPoint(44, 110) << QMargins() << false << QRect();
    QTest::newRow("reparenting: a 1x1 frame") << QPoint(44, 110) << QMargins(-44, -110, -999, -600) << false << QRect();
    QTest::newRow("midway: at the new frame's corner") << QPoint(0, 0) << QMargins(0, 0, 2, 25) << false << QRect();
    QTest::newRow("framed where it was put") << QPoint(44, 110) << QMargins(1, 20, 1, 5) << false << framed;
    QTest::newRow("framed, the frame put there") << QPoint(45, 130) << QMargins(1, 20, 1, 5) << false << framed;
    QTest::newRow("placed elsewhere: the last chance") << QPoint(300, 300) << QMargins(1, 20, 1, 5) << true << framed;
    QTest::newRow("no window manager: the last chance") << QPoint(44, 110) << QMargins() << true
                                                        << QRect(44, 110, 400, 300);
}

void TestMainWindow::restoredFrameWaitsForTheWindowManager()
{
    QFETCH(QPoint, at);
    QFETCH(QMargins, margins);
    QFETCH(bool, lastChance);
    QFETCH(QRect, inner);
    const std::optional<QRect> got = innerForFrame(QRect(44, 110, 400, 300), at, margins, lastChance);
    QCOMPARE(got.value_or(QRect()), inner);
}

// Coming back from the task bar is no new opening: the place the user
// browsed to stays, and the request's map is not shown again.
void TestMainWindow::restoreFromMinimisedKeepsThePane()
{
    const QString requestMap = u"http://map.yahoo.co.jp/pl?request=1"_s;
    const QString browsed = u"data:text/html,<p>browsed</p>"_s;
    QString sCm = u"ZenroA\t\t\t\t"_s + requestMap;
    bool accepted = false;
    QString before, after;
    QTimer::singleShot(0, w_.get(), [&] {
        QTRY_COMPARE_WITH_TIMEOUT(w_->uWeb->txURL->text(), requestMap, 10000);
        w_->uWeb->setURL(browsed);
        QTRY_VERIFY_WITH_TIMEOUT(w_->uWeb->URL().startsWith(u"data:"_s), 10000);
        before = w_->uWeb->URL();
        // What the window system sends when the window is restored.
        w_->showMinimized();
        QShowEvent restored;
        QSpontaneKeyEvent::setSpontaneous(&restored);
        QApplication::sendEvent(w_.get(), &restored);
        w_->showNormal();
        QTest::qWait(500);
        after = w_->uWeb->URL();
        QTest::keyClick(w_->windowHandle(), Qt::Key_F12);
    });
    QTimer::singleShot(30000, w_.get(), [this] { w_->hide(); });  // never hang the suite
    w_->ActA(sCm, accepted);
    QVERIFY(!before.isEmpty());
    QCOMPARE(after, before);
}

void TestMainWindow::helpInThePaneWithoutLauncher()
{
    QList<QUrl> handed;
    Shell::Override noLauncher([&](const QUrl &url) {
        handed << url;
        return false;
    });
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    QTest::keyClick(w_->windowHandle(), Qt::Key_F10);
    QCOMPARE(handed.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(w_->uWeb->URL(), handed.at(0).toString(), 10000);
    QVERIFY(handed.at(0).toString().endsWith(u"/zenrook.htm"_s));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
