#pragma once
// Window geometry is kept in twips (1/1440 inch), as stored files expect;
// widgets want pixels at the screen's logical DPI (15 twips a pixel at 96).

#include <QRect>

class QWidget;

namespace Twips {
int toPixels(int twips, qreal dpi);
int fromPixels(int pixels, qreal dpi);
QRect toPixels(const QRect &twips, qreal dpi);
qreal logicalDpi(const QWidget *widget);
}  // namespace Twips
