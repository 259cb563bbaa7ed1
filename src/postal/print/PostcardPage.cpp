#include "postal/print/PostcardPage.h"

#include "postal/addresses/AddressText.h"
#include "postal/print/CardNumbers.h"
#include "postal/print/PdfCanvas.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace PostcardPage {

namespace {

// Where the columns of the addressee lie, in mm.
constexpr double kAddressRight = 93.0, kAddressTop = 26.0, kAddressBottom = 126.0;
constexpr double kNameCentre = kWidth / 2, kNameTop = 28.0, kNameBottom = 134.0;
// The sender's frame at the lower left.
constexpr double kFromLeft = 5.0, kFromTop = 84.0, kFromWidth = 30.0, kFromHeight = 58.0;

// The address split where a building begins: after the first blank that
// follows a number ("霞が関1-3-2 郵便プラザ503"), so that the building opens a
// column of its own.
std::pair<QString, QString> addressAndBuilding(const QString &address)
{
    static const QRegularExpression split(u"^(.*?[0-9０-９一二三四五六七八九〇十号番地目])[ 　]+(\\S.*)$"_s);
    const QRegularExpressionMatch m = split.match(address.trimmed());
    if (!m.hasMatch())
        return {address.trimmed(), QString()};
    return {m.captured(1), m.captured(2)};
}

// The digits of a code, each centred in its box.
void digitsInBoxes(PdfCanvas &canvas, const QString &digits, const double *lefts, double top, double width,
                   double height, double points)
{
    const double size = points * 25.4 / 72;
    for (qsizetype i = 0; i < digits.size() && i < 7; ++i)
        canvas.text(lefts[i], top + (height - size) / 2 - size * 0.08, width, digits.mid(i, 1), points, PdfCanvas::Align::Centre);
}

// The largest size not above `points` at which the text fits a column of
// `length` mm.
double fitting(PdfCanvas &canvas, const QString &text, double points, double length, double smallest)
{
    while (points > smallest && canvas.columnLength(text, points) > length)
        points -= 0.5;
    return points;
}

void sender(PdfCanvas &canvas, const Sender &from)
{
    if (from.isEmpty())
        return;
    canvas.rectangle(kFromLeft, kFromTop, kFromWidth, kFromHeight, false, 0.2);
    const double height = kFromHeight - 14;
    double right = kFromLeft + kFromWidth - 3;
    const auto [address, building] = addressAndBuilding(CardNumbers::vertical(from.address));
    for (const QString &part : {address, building}) {
        if (!part.isEmpty())
            right -= canvas.columns(right, kFromTop + 3, height, part, 8);
    }
    if (!from.name.isEmpty())
        canvas.columns(right - 1, kFromTop + 8, height - 5, from.name, 10.5);
    // Its code across the frame's foot, a box a digit.
    const QString digits = AddressText::zipDigits(from.zip);
    if (digits.isEmpty())
        return;
    double lefts[7];
    for (int i = 0; i < 7; ++i)
        lefts[i] = kFromLeft + 1.5 + i * 3.9 + (i >= 3 ? 0.6 : 0);
    for (int i = 0; i < 7; ++i)
        canvas.rectangle(lefts[i], kFromTop + kFromHeight - 7.5, 3.4, 5.0, false, 0.15);
    digitsInBoxes(canvas, digits, lefts, kFromTop + kFromHeight - 7.5, 3.4, 5.0, 9);
}

}  // namespace

void draw(PdfCanvas &canvas, const Mail &mail, const Sender &from)
{
    digitsInBoxes(canvas, AddressText::zipDigits(mail.zip), kBoxLeft, kBoxTop, kBoxWidth, kBoxHeight, 14);

    // The address down the right: a column, another where it runs long or
    // where the building begins, that one set a little lower.
    const double length = kAddressBottom - kAddressTop;
    const auto [address, building] = addressAndBuilding(CardNumbers::vertical(mail.address));
    const double points = fitting(canvas, address, 14, 2 * length, 10);
    double right = kAddressRight;
    right -= canvas.columns(right, kAddressTop, length, address, points);
    if (!building.isEmpty())
        right -= canvas.columns(right, kAddressTop + 12, length - 12, building, points);
    if (!mail.company.isEmpty())
        right -= 2 + canvas.columns(right - 2, kAddressTop + 14, length - 14, CardNumbers::vertical(mail.company), 12);

    // The name, large, down the middle; its title after a space.
    const QString name = mail.title.isEmpty() ? mail.name : mail.name + u"　"_s + mail.title;
    if (name.isEmpty()) {
        sender(canvas, from);
        return;
    }
    const double nameLength = kNameBottom - kNameTop;
    const double nameSize = fitting(canvas, name, 24, nameLength, 12);
    const double column = canvas.columns(0, 0, nameLength, name, nameSize, true);
    const double along = std::min(nameLength, canvas.columnLength(name, nameSize));
    canvas.columns(std::min(kNameCentre + column / 2, right - 2), kNameTop + (nameLength - along) / 4, nameLength, name,
                   nameSize);

    sender(canvas, from);
}

}  // namespace PostcardPage
