#pragma once
// Where the browser pane and the status bar go when the window's client
// area changes; the buttons and the grid keep their places.

#include <QRect>
#include <QSize>

struct MainLayout {
    QRect pane;
    QRect statusBar;
};

// The pane keeps its top and takes the rest above the status bar; a client
// area too low for both gives the pane no height rather than a negative one.
MainLayout computeMainLayout(QSize client, int paneTop, int statusHeight);
