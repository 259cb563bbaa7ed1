#include "mainwindow/CoordinatePanels.h"

#include "BuildConfig.h"
#include "maps/MapCoordinates.h"
#include "maps/MapPlace.h"
#include "platform/DatumConversion.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// As long as the browser engine waits after the first paint.
constexpr std::chrono::milliseconds kAfterPaint{200};

QString jgd2011ToolTip(const DatumShift &shift)
{
    if (!shift.ok)
        return u"JGD2011 (世界測地系) に変換できません: "_s + shift.error;
    const QString point = u"JGD2011 (世界測地系): %1, %2\n"_s.arg(formatDegrees(shift.point.latitude),
                                                               formatDegrees(shift.point.longitude));
    if (shift.operation.isEmpty())
        return point + u"地図の URL に書かれた値です"_s;
    return point + u"PROJ: %1、精度 %2 m"_s.arg(shift.operation, QString::number(shift.accuracyMetres));
}

}  // namespace

CoordinatePanels::CoordinatePanels(QTableWidget *grid, QLabel *latitude, QLabel *longitude, QObject *parent)
    : QObject(parent), window_(grid->window()), latitude_(latitude), longitude_(longitude)
{
    window_->installEventFilter(this);
    for (QLabel *label : {latitude_, longitude_}) {
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->installEventFilter(this);
    }
    // Captures, requests, typing and clearing all end in the cell's text.
    connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->row() == 0 && item->column() == 3)
            showPlaceOf(item->text());
    });
}

CoordinatePanels::~CoordinatePanels() = default;

void CoordinatePanels::showPlaceOf(const QString &mapUrl)
{
    wantedUrl_ = mapUrl;
    if (painted_)
        fill();
}

void CoordinatePanels::fill()
{
    if (wantedUrl_ == shownUrl_)
        return;
    shownUrl_ = wantedUrl_;
    const QString &mapUrl = shownUrl_;
    QString latitude, longitude, toolTip;
    if (const std::optional<MapCoordinates> coordinates = mapCoordinates(mapUrl, QString::fromUtf8(MapBaseURL))) {
        if (!conversion_)
            conversion_ = std::make_unique<DatumConversion>();
        const MapPlace place = locateMapPlace(*coordinates, *conversion_);
        if (place.tokyo) {
            latitude = formatDegrees(place.tokyo->latitude);
            longitude = formatDegrees(place.tokyo->longitude);
        } else {
            toolTip = u"日本測地系 (Tokyo) に変換できません: "_s + place.tokyoError + u'\n';
        }
        toolTip += jgd2011ToolTip(place.jgd2011);
    }
    copyText_ = latitude.isEmpty() ? QString() : latitude + u',' + longitude;
    latitude_->setText(latitude);
    longitude_->setText(longitude);
    latitude_->setToolTip(toolTip);
    longitude_->setToolTip(toolTip);
}

bool CoordinatePanels::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::Paint && !painted_) {
        // After this paint has reached the screen, and after a key pressed
        // as the window appeared.
        window_->removeEventFilter(this);
        QTimer::singleShot(kAfterPaint, this, [this] {
            painted_ = true;
            fill();
        });
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick && (watched == latitude_ || watched == longitude_)) {
        if (!copyText_.isEmpty())
            QGuiApplication::clipboard()->setText(copyText_);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
