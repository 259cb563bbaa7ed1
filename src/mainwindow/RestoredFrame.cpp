#include "mainwindow/RestoredFrame.h"

std::optional<QRect> innerForFrame(const QRect &frame, QPoint at, QMargins margins, bool lastChance)
{
    // While the window manager reparents the window, the frame is reported
    // with passing sizes (a 1x1 frame): those are no frame to go by.
    const bool plausible = margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0
                           && margins.left() + margins.right() < 200 && margins.top() + margins.bottom() < 200;
    if (!plausible)
        margins = QMargins();
    // Midway, the window is also reported at its new frame's corner, with
    // the whole frame to its right and below: a frame counts once the window
    // is where it was put, or inside a frame put there.
    const bool settled = at == frame.topLeft() || at == frame.topLeft() + QPoint(margins.left(), margins.top());
    if ((margins.isNull() || !settled) && !lastChance)
        return std::nullopt;
    return frame.marginsRemoved(margins);
}
