#pragma once
// Putting a restored window's frame at its stored place, once the window
// manager has framed the window.

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <optional>

// The window's own rectangle that gives the frame the stored place `frame`,
// with the window now at `at` and the frame's parts `margins` as reported;
// nothing while they are not to be gone by yet. On the last chance the
// reported parts serve as they are, none if they are not believable.
std::optional<QRect> innerForFrame(const QRect &frame, QPoint at, QMargins margins, bool lastChance);
