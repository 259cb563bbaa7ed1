#include "mainwindow/MainLayout.h"

#include <algorithm>

MainLayout computeMainLayout(QSize client, int paneTop, int statusHeight)
{
    const int w = client.width();
    const int h = client.height();
    return {QRect(0, paneTop, w, std::max(0, h - paneTop - statusHeight)),
            QRect(0, h - statusHeight, w, statusHeight)};
}

QRect buttonPlace(QRect designed, int rowRight, int clientWidth)
{
    if (clientWidth >= rowRight || rowRight <= 0)
        return designed;
    const double f = std::max(0, clientWidth) / double(rowRight);
    const int left = qRound(designed.left() * f);
    const int right = qRound((designed.left() + designed.width()) * f);
    return QRect(left, designed.top(), right - left, designed.height());
}
