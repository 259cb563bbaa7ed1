#pragma once
// Where the pane's children go for a given inner size, in twips.

#include <QRect>

#include <array>
#include <optional>

struct PaneLayout {
    std::array<QRect, 8> toolbar;   // buttons 2 to 9
    std::optional<QRect> urlBox;    // none: the box keeps its place
    QRect browser;
};

inline constexpr int kUrlBoxLeft = 4920;  // 600 × 8.2: right of the eight buttons

PaneLayout computePaneLayout(int width, int height);
