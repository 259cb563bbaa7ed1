#include "postal/print/LabelPage.h"

#include "postal/mail/CustomerBarcode.h"
#include "postal/print/PdfCanvas.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace LabelPage {

namespace {

constexpr double kInset = 4.0;  // from the label's edges to what is written

// The bars' length at a size: 67 bars at the pitch, the last one's width.
double barcodeLength(double points)
{
    return (66 * 1.2 + 0.6) * points / 10.0;
}

}  // namespace

double barcodeWidth(double points)
{
    return barcodeLength(points) + 2 * CustomerBarcode::kQuietZone;
}

double barcodePoints(const LabelSheet &sheet)
{
    for (double points = 10; points >= 8; points -= 0.5) {
        if (barcodeWidth(points) <= sheet.width)
            return points;
    }
    return 0;
}

namespace {

// The label written at a size (the name 4 points larger): the height it
// takes; with `measureOnly`, nothing drawn.
double written(PdfCanvas &canvas, double x, double y, const LabelSheet &sheet, const Mail &mail, double size,
               bool measureOnly)
{
    const double width = sheet.width - 2 * kInset;
    double at = y + kInset;
    if (!mail.zip.isEmpty())
        at += canvas.text(x + kInset, at, width, u"〒"_s + mail.zip, size, PdfCanvas::Align::Left, measureOnly);
    at += canvas.text(x + kInset, at, width, mail.address, size, PdfCanvas::Align::Left, measureOnly);
    const double points = barcodePoints(sheet);
    if (!mail.barcode.isEmpty() && points > 0) {
        // The quiet zone is what the bars keep clear around them.
        const double left = x + std::max(CustomerBarcode::kQuietZone, (sheet.width - barcodeLength(points)) / 2);
        const double top = at + CustomerBarcode::kQuietZone;
        for (const CustomerBarcode::Bar &b : CustomerBarcode::barsOf(mail.barcode, points)) {
            if (!measureOnly)
                canvas.rectangle(left + b.x, top + b.y, b.width, b.height, true);
        }
        at = top + 3.6 * points / 10.0 + CustomerBarcode::kQuietZone;
    }
    if (!mail.company.isEmpty())
        at += canvas.text(x + kInset, at, width, mail.company, size, PdfCanvas::Align::Left, measureOnly);
    const QString name = mail.title.isEmpty() ? mail.name : mail.name + u"　"_s + mail.title;
    at += canvas.text(x + kInset, at + 0.5, width, name, size + 4, PdfCanvas::Align::Left, measureOnly) + 0.5;
    return at - y;
}

}  // namespace

void draw(PdfCanvas &canvas, double x, double y, const LabelSheet &sheet, const Mail &mail)
{
    // As large as the label lets the text be: a quarter of its height in
    // points, 12 at most, smaller where an address runs long, 6 at least.
    double size = std::clamp(sheet.height / 4.0, 6.0, 12.0);
    while (size > 6 && written(canvas, x, y, sheet, mail, size, true) > sheet.height - kInset)
        size -= 0.5;
    written(canvas, x, y, sheet, mail, size, false);
}

}  // namespace LabelPage
