#pragma once
// A sheet of labels: its page, how many labels across and down, their
// size, the margins before the first, the gaps between them; in mm.

#include <QString>

#include <optional>

struct LabelSheet {
    double pageWidth = 210, pageHeight = 297;
    int across = 0, down = 0;
    double width = 0, height = 0;
    double left = 0, top = 0;
    double gapX = 0, gapY = 0;

    int perSheet() const { return across * down; }
    // The top left of label `n` of a sheet, counted across then down.
    double xOf(int n) const { return left + (n % across) * (width + gapX); }
    double yOf(int n) const { return top + (n / across) * (height + gapY); }

    // "A4-12" (2 × 6 labels of 86.4 × 42.3 mm) or "A4-24" (3 × 8 of 66.0 × 33.9 mm).
    static std::optional<LabelSheet> named(const QString &name);
    // A sheet described in a file of lines "key = value": page = 210x297,
    // labels = 2x6, size = 86.4x42.3, margins = 18.6,21.2 (left, top),
    // gaps = 0,0 (across, down); "#" begins a comment. None, with the
    // reason, when the file cannot be read or describes no sheet that fits
    // its page.
    static std::optional<LabelSheet> fromFile(const QString &path, QString *why);
};
