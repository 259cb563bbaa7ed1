#pragma once
// The address side of a postcard (はがき, 100 × 148 mm), written top to
// bottom: the code's seven digits in the frame printed on the card, the
// address down the right (its building in a second column, or wherever it
// runs long), the company, the name large down the middle with its title,
// and the sender in a frame of its own at the lower left.

#include "postal/print/MailList.h"

class PdfCanvas;

struct Sender {
    QString name, address, zip;  // zip: seven digits, or ""
    bool isEmpty() const { return name.isEmpty() && address.isEmpty() && zip.isEmpty(); }
};

namespace PostcardPage {

inline constexpr double kWidth = 100, kHeight = 148;

// The left edges of the seven boxes of the frame, and their top, width and
// height, in mm from the card's top left: the postal service's drawing puts
// the frame 12 mm from the top and 8 mm from the right edge.
inline constexpr double kBoxLeft[7] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
inline constexpr double kBoxTop = 12.0, kBoxWidth = 5.7, kBoxHeight = 8.0;

void draw(PdfCanvas &canvas, const Mail &mail, const Sender &from);

}  // namespace PostcardPage
