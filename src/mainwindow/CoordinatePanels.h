#pragma once
// Status bar panels 2 and 3: latitude and longitude (Tokyo datum) of the
// place that row 1's map URL shows, the same point in JGD2011 as their
// tooltip. Read-only; a double click copies "latitude,longitude".
//
// Filled once the window has been painted: the datum conversion's module
// and PROJ never stand between a request and its window.

#include <QObject>
#include <QString>

#include <memory>

class DatumConversion;
class QLabel;
class QTableWidget;
class QWidget;

class CoordinatePanels : public QObject
{
    Q_OBJECT
public:
    // Follows the text of row 1, column 4 of `grid`, whoever writes it.
    CoordinatePanels(QTableWidget *grid, QLabel *latitude, QLabel *longitude, QObject *parent);
    ~CoordinatePanels() override;

    // Shows the place at once when the window has been painted, else then.
    void showPlaceOf(const QString &mapUrl);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();

    QWidget *window_;
    QLabel *latitude_;
    QLabel *longitude_;
    bool painted_ = false;
    QString wantedUrl_;
    QString shownUrl_;
    QString copyText_;
    // Opened on the first URL with coordinates: PROJ reads its database then.
    std::unique_ptr<DatumConversion> conversion_;
};
