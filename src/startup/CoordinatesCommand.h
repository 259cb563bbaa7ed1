#pragma once
// `zenrook --coordinates URL`: the place a map page URL shows, for scripts,
// without a window.

#include <QString>

class QTextStream;

// Writes "tokyo LAT LON" and "jgd2011 LAT LON" to `out`. Exit codes: 0 both
// points, 1 the URL has no coordinates, 3 a point that PROJ could not give
// (the other is still written; `err` says why).
int coordinatesCommand(const QString &url, const QString &base, QTextStream &out, QTextStream &err);
