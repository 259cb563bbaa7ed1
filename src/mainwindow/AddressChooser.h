#pragma once
// A small list of candidate addresses shown under a cell of the grid: the
// arrow keys and Enter or a double click pick one, Esc or a click elsewhere
// picks none.

#include "postal/addresses/AddressComponent.h"

#include <QStringList>

class QTableWidget;

namespace AddressChooser {

// The index of the chosen text, or -1 when none was chosen. Waits for the
// user in a loop of its own.
int choose(const QStringList &texts, QTableWidget *grid, int row, int column);

struct Completion {
    enum class Outcome { Completed, NotFound, Cancelled, Failed };
    Outcome outcome = Outcome::NotFound;
    Certainty certainty = Certainty::NotFound;
    QString problem;  // why the dictionary could not be read, when Failed
};

// F4's look-up: the component completes the record, and when several places
// fit the user picks one under the grid's address cell, each shown with its
// code. The strings change only when Completed.
Completion complete(AddressComponent &component, QString &zip, QString &address, QString &company,
                    QTableWidget *grid);

}  // namespace AddressChooser
