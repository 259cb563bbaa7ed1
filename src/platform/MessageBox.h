#pragma once
// The program's message box: OK only, no icon, title "Zenrook". Lines are
// joined with a lone CR, as the messages are written; the box shows it as a
// line break.

#include "platform/Replaceable.h"

#include <QString>

class QFontMetrics;
class QWidget;

namespace MessageBox {

inline constexpr char16_t kTitle[] = u"Zenrook";

void show(const QString &text, QWidget *parent = nullptr);

// The text as the box shows it: CR as a line break, each line elided in the
// middle and the lines cut short so that the box stays on the screen.
QString fittedToScreen(const QString &text, const QFontMetrics &metrics, const QWidget *near);

// Tests replace the box to see exactly what would be shown.
using Seam = Replaceable<void(const QString &text), struct MessageBoxTag>;
using Override = Seam::Override;

}  // namespace MessageBox
