#pragma once
// An address as people write it, matched against the postal dictionary:
//  - a postal code written in front ("〒100-0013 ") is a hint among the
//    places the address fits;
//  - the city is the longest one the text begins with, with or without its
//    prefecture and district; a name several cities share fits each;
//  - the town follows, after a "大字" or "字", or (in Kyoto) after the street
//    designation ("寺町通御池上る"); widths, dashes, ヶ/ケ/が and numbers in
//    kanji or digits compare alike; what follows the town (blocks, building,
//    room) only picks a building's floor, or the code of the blocks where
//    the dictionary knows which blocks each code serves;
//  - no town: the city's catch-all code, said to be one;
//  - a company named as a business listed in that town: its own code.
// The address given back is the dictionary's prefecture, city and town,
// with what was typed between the city and the town and after the town
// kept as typed.

#include "postal/addresses/AddressComponent.h"

class PostalDictionary;

namespace AddressMatch {

// With `everything`, also the businesses listed at the address typed. A
// code given (`hint`, or one written in front of the address) is preferred
// among the places that fit.
AddressAnswer byAddress(PostalDictionary &dictionary, const QString &address, const QString &company, bool everything,
                        const QString &hint = QString());

// The rows of a known code; an address that begins with one of them is kept
// whole, and one that names a town of the code without beginning with it is
// completed. Nothing when the dictionary has no such code.
AddressAnswer byZip(PostalDictionary &dictionary, const QString &digits, const QString &address,
                    const QString &company);

}  // namespace AddressMatch
