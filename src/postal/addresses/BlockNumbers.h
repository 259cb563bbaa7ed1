#pragma once
// The numbers an address or a note writes, and their units: what reading
// the notes after a town and what follows it in an address share.

#include "postal/addresses/BlockRanges.h"

namespace BlockRanges {

bool isDigit(QChar c);
// The unit written at text[i], longest first; its length, or 0.
qsizetype unitAt(QStringView text, qsizetype i, Unit *unit);
bool isSeparator(QChar c);
// Whether a number begins at text[i].
bool numberAt(QStringView text, qsizetype i);
// The numbers from text[*i] on, with their units; *i after them.
QList<Number> numbersAt(QStringView text, qsizetype *i);
// Where the place named before the numbers ends.
qsizetype placeEnd(QStringView text);

}  // namespace BlockRanges
