#pragma once
// What the matching of addresses and of codes share.

#include "postal/addresses/AddressComponent.h"

#include <QList>
#include <QStringView>

namespace AddressMatch {

// Where the town begins in a Kyoto address written with its street: after
// each "上る", "下ル", "東入", "西入る"… in turn.
QList<qsizetype> afterStreetDesignations(QStringView rest);

// The answer the choices come to: none, one, or several to choose from.
AddressAnswer answerOf(QList<AddressCandidate> choices);

}  // namespace AddressMatch
