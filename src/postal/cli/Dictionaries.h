#pragma once
// The dictionary a command answers with: the one -d names, or the first of
// the places the program looks in that can serve.

#include "postal/addresses/AddressComponent.h"
#include "postal/addresses/PostalAddressComponent.h"

#include <QList>

#include <memory>
#include <vector>

class PostalDictionary;

namespace Cli {

// None, said on standard error with the reason, when there is none.
std::unique_ptr<PostalDictionary> dictionaryAt(const QString &dictionary);
std::unique_ptr<PostalAddressComponent> component(const QString &dictionary);

// The components that share a long list's look-ups, one a core (two at
// most: each holds the dictionary in memory); none when there is no
// dictionary.
struct Workers {
    std::vector<std::unique_ptr<AddressComponent>> owned;
    QList<AddressComponent *> all;
};
Workers workers(const QString &dictionary);

// The dictionary the programs use now without -d: the first that opens.
QString dictionaryInUse();

}  // namespace Cli
