#include "browser/PaneLayout.h"

#include <algorithm>

PaneLayout computePaneLayout(int width, int height)
{
    PaneLayout l;
    for (int i = 0; i < 8; ++i)
        l.toolbar[size_t(i)] = QRect(i * 600, 0, 600, 315);
    // Too narrow for the box: it stays where it was rather than shrink away.
    if (width >= kUrlBoxLeft)
        l.urlBox = QRect(kUrlBoxLeft, 60, width - kUrlBoxLeft - 20, 220);
    l.browser = QRect(0, 330, width, std::max(0, height - 345));
    return l;
}
