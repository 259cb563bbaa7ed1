#include "mainwindow/MainLayout.h"

#include <algorithm>

MainLayout computeMainLayout(QSize client, int paneTop, int statusHeight)
{
    const int w = client.width();
    const int h = client.height();
    return {QRect(0, paneTop, w, std::max(0, h - paneTop - statusHeight)),
            QRect(0, h - statusHeight, w, statusHeight)};
}
