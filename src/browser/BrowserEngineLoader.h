#pragma once
// Finds the browser engine's module and loads it: beside the program, in
// its installed library folder, or in the build tree the program runs from.

#include <QString>
#include <QStringList>

class BrowserEngineFactory;

namespace BrowserEngineLoader {

struct Result {
    BrowserEngineFactory *factory = nullptr;  // lives until the process ends
    QString reason;                           // when none: why, in Japanese, for the user
    QString detail;                           // when none: why, for the terminal
};

// The module's file name and the places looked in, in order.
QString moduleName();
QStringList places();

// Loads the first of places that loads and offers the engine's interface.
// The module stays loaded: engines made by it may live until the end.
Result load(const QStringList &candidates);

}  // namespace BrowserEngineLoader
