// The window's life: loading with its saved place, activation, layout on
// resize, and closing with the place stored.

#include "mainwindow/fmMain.h"

#include "postal/addresses/AddressComponent.h"
#include "browser/uWeb.h"
#include "mainwindow/AddressGrid.h"
#include "mainwindow/FormDefinition.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/RestoredFrame.h"
#include "platform/BusyPointer.h"
#include "platform/Twips.h"
#include "settings/yIni.h"
#include "startup/ClipHook.h"
#include "startup/Usr.h"

#include <QCloseEvent>
#include <QApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
const QString kPlaceGroup = u"位置"_s;

// Halves to the even neighbour; a number no 32-bit integer holds (the file
// is the user's to edit) is taken as 0, which leaves the window unmoved.
int toInt(const QVariant &v)
{
    const double rounded = std::nearbyint(v.toDouble());
    if (!std::isfinite(rounded) || rounded < double(INT_MIN) || rounded > double(INT_MAX))
        return 0;
    return int(rounded);
}

// A place saved on a screen that is no longer attached would open the
// window where nobody can see it; partly off the edge is fine.
bool onSomeScreen(const QRect &place)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen *s) { return s->geometry().intersects(place); });
}

// The room the desktop leaves on the screen a point is on (or the primary
// screen). At a fractional scale it is rounded up to whole pixels of its
// own: a window of that size would stand out by a device pixel, so it is
// taken as the whole device pixels it holds.
std::optional<QRect> roomAt(QPoint point)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    QRect room = screen->availableGeometry();
    const qreal dpr = screen->devicePixelRatio();
    room.setSize({int(std::floor(std::floor(room.width() * dpr) / dpr)),
                  int(std::floor(std::floor(room.height() * dpr) / dpr))});
    return room;
}

// A place cut to the room's size, moved left and up as far as needed to end
// within it.
QRect cutTo(const QRect &room, const QRect &place)
{
    QRect held(place.topLeft(), place.size().boundedTo(room.size()));
    held.moveRight(std::min(held.right(), room.right()));
    held.moveBottom(std::min(held.bottom(), room.bottom()));
    return held;
}

// A stored size larger than the desktop (an edited or damaged file) would
// make a window nobody can handle, and be stored again at closing; one cut
// to the desktop's size is moved as far as needed to lie on it. A place of
// a size that fits is used as stored, partly off the edge or not.
QRect withinDesktop(const QRect &place)
{
    const std::optional<QRect> room = roomAt(place.center());
    if (!room || place.size().boundedTo(room->size()) == place.size())
        return place;
    return cutTo(*room, place);
}

// The designed first place, in the screen's device-independent pixels: on
// a small or highly scaled screen it is cut to the room the desktop leaves
// and moved onto it, so that the keys and the status bar can be reached.
QRect firstPlace(const QRect &designed)
{
    const std::optional<QRect> room = roomAt(designed.topLeft());
    if (!room)
        return designed;
    QRect place = cutTo(*room, designed);
    place.moveLeft(std::max(place.left(), room->left()));
    place.moveTop(std::max(place.top(), room->top()));
    return place;
}
}  // namespace

void fmMain::Form_Load()
{
    MainFormLoading(this);
    bRunning = true;
    bBusy = true;
    yIni &ini = Ini();
    ini.W_UserData(quintptr(winId()));
    bool ok = false;
    ini.GetTxt(sUsrFld + u"User.xml"_s, ok);
    ini.GetGtx(kPlaceGroup);
    const int top = toInt(ini.vGtVal(u"TOP"_s, qint16(0)));
    const int left = toInt(ini.vGtVal(u"LEFT"_s, qint16(0)));
    const int width = toInt(ini.vGtVal(u"WIDTH"_s, qint16(0)));
    const int height = toInt(ini.vGtVal(u"HEIGHT"_s, qint16(0)));
    InitAdd();
    const qreal dpi = Twips::logicalDpi(this);
    const QRect saved(Twips::toPixels(left, dpi), Twips::toPixels(top, dpi), Twips::toPixels(width, dpi),
                      Twips::toPixels(height, dpi));
    if (width > 0 && height > 0 && onSomeScreen(saved)) {
        // The place is the frame's; until the window manager has framed the
        // window, the frame is taken as none.
        restoredFrame_ = withinDesktop(saved);
        setGeometry(restoredFrame_);
    } else if (const QRect first = firstPlace(geometry()); first != geometry()) {
        setGeometry(first);
    }
    bBusy = false;
    ClipHook(1);
}

void fmMain::InitAdd()
{
    oAdd = createObject(u"Tarnu.cAdd"_s);
    cmMap[1]->setEnabled(oAdd != nullptr);
}

void fmMain::Form_Activate()
{
    BusyPointer::setDefault();
    SetFront(this);
    if (bReqMode) {
        if (!sMapURL.isEmpty())
            uWeb->setURL(sMapURL);
        else if (!sAdd.isEmpty())
            MapSearch(sAdd);
    }
}

void fmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const MainLayout layout = computeMainLayout(size(), uWeb->y(), stBar->height());
    uWeb->setGeometry(layout.pane);
    stBar->setGeometry(layout.statusBar);
    const qreal dpi = Twips::logicalDpi(this);
    int rowRight = 0;
    for (const FormDefinition::Button &def : FormDefinition::kButtons)
        rowRight = std::max(rowRight, Twips::toPixels(def.twips, dpi).right() + 1);
    for (const FormDefinition::Button &def : FormDefinition::kButtons)
        cmMap[size_t(def.index)]->setGeometry(buttonPlace(Twips::toPixels(def.twips, dpi), rowRight, width()));
}

void fmMain::placeRestoredFrame(bool lastChance)
{
    // Once the window manager has framed the window, the frame is put at the
    // stored place and size by giving the frame its part. Without a window
    // manager there never is a frame; the last chance ends the wait.
    if (restoredFrame_.isNull() || !windowHandle())
        return;
    const std::optional<QRect> inner =
        innerForFrame(restoredFrame_, geometry().topLeft(), windowHandle()->frameMargins(), lastChance);
    if (!inner)
        return;
    restoredFrame_ = QRect();
    if (inner->isValid())
        setGeometry(*inner);
}

void fmMain::Form_QueryUnload()
{
    ClipHook(0);
    const qreal dpi = Twips::logicalDpi(this);
    // A restored place still waiting for the window's frame, with the window
    // not moved since, is where the window is meant to be: its frame may not
    // be known yet.
    const bool unmoved = !restoredFrame_.isNull() && geometry() == restoredFrame_;
    const QRect outer = unmoved ? restoredFrame_ : frameGeometry();
    const float top = float(std::max(0, Twips::fromPixels(outer.y(), dpi)));
    const float left = float(std::max(0, Twips::fromPixels(outer.x(), dpi)));
    yIni &ini = Ini();
    ini.GetGtx(kPlaceGroup);
    ini.SetVal(u"TOP"_s, top);
    ini.SetVal(u"LEFT"_s, left);
    ini.SetVal(u"WIDTH"_s, float(Twips::fromPixels(outer.width(), dpi)));
    ini.SetVal(u"HEIGHT"_s, float(Twips::fromPixels(outer.height(), dpi)));
    ini.SetGtx();
    bool ok = false;
    ini.SetTxt(ok);
    bRunning = false;
    UnloadAll();
}

bool fmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != static_cast<QObject *>(windowHandle()))
        return false;
    // Keys typed ahead of a list still opening come to this window: they are
    // the list's, and a function key among them must not act beneath it.
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (QWidget *popup = QApplication::activePopupWidget(); isKey && popup && popup->window() != this) {
        QCoreApplication::sendEvent(popup->focusWidget() ? popup->focusWidget() : popup, event);
        return true;
    }
    // The list gone, its choice not yet in the row: an F9 now would answer
    // the row as it was.
    if (isKey && choosing_) {
        heldKeys_.emplace_back(event->clone());
        return true;
    }
    // The platform window receives each key once, before any control does.
    // A key held down acts once: its repeats would go on accepting or
    // closing, and one still held as a dialog closes would cancel the next
    // dialog the calling program opens.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            Form_KeyDown(key->key(), key->modifiers());
    }
    return false;  // the focused control still gets the key
}

void fmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    placeRestoredFrame(false);
}

void fmMain::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    placeRestoredFrame(false);
}

void fmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void fmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Resize();
    // Once the window is up, as the platform's activation would; once per
    // opening, so a restore from minimised (whatever show events it brings)
    // leaves the pane where it is.
    if (opened_)
        return;
    opened_ = true;
    activationDue_ = true;
    // Window managers frame a window in their own time, and not every
    // framing brings a move or a resize.
    for (int ms : {50, 150, 400, 1000})
        QTimer::singleShot(ms, this, [this] { placeRestoredFrame(false); });
    QTimer::singleShot(2500, this, [this] { placeRestoredFrame(true); });
    QMetaObject::invokeMethod(this, [this] {
        if (isVisible() && activationDue_) {
            activationDue_ = false;
            Form_Activate();
        }
    }, Qt::QueuedConnection);
}

void fmMain::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        // Hidden by the program (a request dialog ending): the next show opens it anew.
        opened_ = false;
        activationDue_ = false;
        emit hidden();
    }
}

void fmMain::closeEvent(QCloseEvent *event)
{
    // The close box during a request dialog is a cancel: the file stays as
    // it was, while the window's place is stored as at any closing.
    vAdd->commitOpenEditor();
    if (inRequestDialog_)
        bAccept = false;
    event->accept();
    Form_QueryUnload();
}
