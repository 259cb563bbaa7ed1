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

// A button keeps its designed place, unless the client area is narrower
// than the row of buttons (a high scale on a small screen): then the whole
// row is drawn closer and narrower in proportion, so that every command
// stays in reach of the mouse.
QRect buttonPlace(QRect designed, int rowRight, int clientWidth);
