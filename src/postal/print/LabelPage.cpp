#include "postal/print/LabelPage.h"

#include "postal/mail/CustomerBarcode.h"
#include "postal/print/PdfCanvas.h"

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

void draw(PdfCanvas &canvas, double x, double y, const LabelSheet &sheet, const Mail &mail)
{
    const double width = sheet.width - 2 * kInset;
    const double small = sheet.height < 38 ? 8.5 : 10;  // a 24-up sheet's labels are shallow
    double at = y + kInset - 1;
    if (!mail.zip.isEmpty())
        at += canvas.text(x + kInset, at, width, u"〒"_s + mail.zip, small);
    at += canvas.text(x + kInset, at, width, mail.address, small);
    const double points = barcodePoints(sheet);
    if (!mail.barcode.isEmpty() && points > 0) {
        // The quiet zone is what the bars' left and top keep clear.
        const double left = x + std::max(CustomerBarcode::kQuietZone, (sheet.width - barcodeLength(points)) / 2);
        const double top = at + CustomerBarcode::kQuietZone;
        for (const CustomerBarcode::Bar &b : CustomerBarcode::barsOf(mail.barcode, points))
            canvas.rectangle(left + b.x, top + b.y, b.width, b.height, true);
        at = top + 3.6 * points / 10.0 + CustomerBarcode::kQuietZone;
    }
    if (!mail.company.isEmpty())
        at += canvas.text(x + kInset, at, width, mail.company, small);
    const QString name = mail.name.isEmpty() ? mail.title : mail.name + u"　"_s + mail.title;
    canvas.text(x + kInset, at + 0.5, width, name, small + 3);
}

}  // namespace LabelPage
