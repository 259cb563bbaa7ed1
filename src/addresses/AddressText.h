#pragma once
// The forms in which addresses and postal codes are compared: what people
// type varies in width, blanks and a few written variants of one name.

#include <QString>

namespace AddressText {

// Full-width letters and digits made half-width, half-width katakana made
// full-width, blanks removed, and the variants of one name made one:
// "ヶ", "ヵ" and "ケ" (and "が"/"ガ" between kanji) as "ケ", "ノ" between
// kanji as "の", every dash as "-".
QString comparable(const QString &text);

// The seven digits of a postal code typed with or without "〒", dashes,
// blanks, in either width; "" when the text is not such a code.
QString zipDigits(const QString &text);

// "NNN-NNNN".
QString formatZip(const QString &digits);

}  // namespace AddressText
