#pragma once
// The customer barcode of an address, as F4 finds the address: its code and
// where its town ends come from the dictionary; the address number from
// what follows the town; a business's or post-office box's own code takes
// none. An address whose town is not known (the city's catch-all code), or
// that fits several places with no code given to choose, gets none.

#include "postal/addresses/AddressComponent.h"

#include <QStringList>

struct AddressBarcode {
    QString zip;           // seven digits
    QString number;        // the address number, "1-3-2-503"
    QStringList characters;  // the 21 of the data, start and stop left out
    AddressAnswer answer;  // what the look-up found
    QString reason;        // why there is none, when characters is empty
    bool unknownCode = false;  // the code given is not in the dictionary
    bool codesDisagree = false;  // a code given, and another written in front of the address
    QString codeGiven;     // the caller's code, or the one written in front of the address
};

// `zip` may be empty; when given, it is the code the caller knows. So is a
// code written in front of the address ("〒100-0013 …"): the mail carries
// it, and its barcode must not say another.
AddressBarcode addressBarcode(AddressComponent &component, const QString &zip, const QString &address);
