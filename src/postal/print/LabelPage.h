#pragma once
// One label, written across: 〒 and the code, the address, the customer
// barcode under it at the manual's sizes with its quiet zone, the company,
// the name and its title.

#include "postal/print/LabelSheet.h"
#include "postal/print/MailList.h"

class PdfCanvas;

namespace LabelPage {

// The size the barcode is printed at on a label this wide: 10 point where
// it fits with its quiet zone, less down to 8; none (0) where even 8 does
// not fit.
double barcodePoints(const LabelSheet &sheet);
// The width the barcode takes at a size, its quiet zone included.
double barcodeWidth(double points);

void draw(PdfCanvas &canvas, double x, double y, const LabelSheet &sheet, const Mail &mail);

}  // namespace LabelPage
