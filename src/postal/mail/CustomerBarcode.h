#pragma once
// The postal service's customer barcode (カスタマバーコード), as its
// 郵便番号・バーコードマニュアル sets it out: the characters an address gives
// (the seven digits of its code, the address number taken from what follows
// the town, the check character) and the bars that draw them.

#include <QList>
#include <QString>
#include <QStringList>

namespace CustomerBarcode {

// The address number of the text after the town (住所B), by the manual's
// rules of extraction and their supplements: letters upper-cased; "&", "/",
// "・" and "." dropped; numbers in kanji before 丁目, 丁, 番地, 番, 号, 地割,
// 線, の or ノ read as digits; digits, hyphens and letters that stand alone
// kept, everything else between them one hyphen; an "F" after a floor's
// number none (a hyphen before more); no hyphen at either end or next to a
// letter. "1丁目3番2号 郵便プラザ503室" gives "1-3-2-503".
QString addressNumber(const QString &afterTown);

// The 20 characters of the data ("0"…"9", "-", "CC1"…"CC8"): the code's
// seven digits, then the address number with each letter as a control code
// and a digit, cut to 13 (a letter cut in two keeps its control code) or
// filled with CC4; then the check character that makes the values add up to
// a multiple of 19. 21 in all.
QStringList characters(const QString &zipDigits, const QString &addressNumber);

// The value of a character for the check: 0-9, "-" 10, CC1-CC8 11-18; -1
// for anything else.
int value(const QString &character);

// The bars of a character, of "START" or of "STOP", top to bottom as the
// manual numbers them: 1 long, 2 semi-long upper, 3 semi-long lower, 4
// timing. Empty for anything else.
QList<int> bars(const QString &character);

// The bars of the whole barcode (start, the characters, stop) at the size
// of `points` (8 to 11.5; the manual's dimensions are those of 10 point), in
// millimetres from the top left of the first bar.
struct Bar {
    double x, y, width, height;
};
QList<Bar> barsOf(const QStringList &characters, double points = 10);

// The quiet zone the manual asks around the bars at any size, in millimetres.
inline constexpr double kQuietZone = 2.0;

// The whole barcode (start, the characters, stop) as an SVG drawing in
// millimetres at the size of `points` (8 to 11.5; the manual's dimensions
// are those of 10 point), on white, with the quiet zone of 2 mm around it.
QString svg(const QStringList &characters, double points = 10);

}  // namespace CustomerBarcode
