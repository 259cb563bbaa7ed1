#pragma once
// A small list of candidate addresses shown under a cell of the grid: the
// arrow keys and Enter or a double click pick one, Esc or a click elsewhere
// picks none.

#include <QStringList>

class AddressComponent;
class QTableWidget;

namespace AddressChooser {

// The index of the chosen text, or -1 when none was chosen. Waits for the
// user in a loop of its own.
int choose(const QStringList &texts, QTableWidget *grid, int row, int column);

// F4's look-up: the component completes the record, and when it has several
// candidates the user picks one under the grid's address cell. False when
// the user picked none; the strings are then unchanged.
bool complete(AddressComponent &component, QString &zip, QString &address, QString &company, QTableWidget *grid);

}  // namespace AddressChooser
