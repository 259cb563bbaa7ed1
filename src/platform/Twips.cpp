#include "platform/Twips.h"

#include <QWidget>

#include <climits>
#include <cmath>

namespace Twips {

// Halves go to the even neighbour, as the stored values were always rounded.
// Results beyond any screen are held to the int range rather than overflow.
static int roundEven(qreal v)
{
    const qreal r = std::nearbyint(v);
    if (!(r > qreal(INT_MIN)))
        return r < 0 ? INT_MIN : 0;
    return r < qreal(INT_MAX) ? int(r) : INT_MAX;
}

int toPixels(int twips, qreal dpi)
{
    return roundEven(twips * dpi / 1440.0);
}

int fromPixels(int pixels, qreal dpi)
{
    return roundEven(pixels * 1440.0 / dpi);
}

QRect toPixels(const QRect &twips, qreal dpi)
{
    return QRect(toPixels(twips.x(), dpi), toPixels(twips.y(), dpi),
                 toPixels(twips.width(), dpi), toPixels(twips.height(), dpi));
}

qreal logicalDpi(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace Twips
