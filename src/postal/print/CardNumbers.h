#pragma once
// An address as it is written on a card top to bottom: numbers in kanji
// digit by digit ("15" as 一五), a dash between numbers as "―" (霞が関一―三―二),
// Latin letters and half-width katakana in their full-width forms, which
// stand upright in a column.

#include <QString>

namespace CardNumbers {

QString vertical(const QString &address);

}  // namespace CardNumbers
