#pragma once
// The batch look-up of zenrook-postal: one query a line in, one answer a
// line out, each answer what F4 would leave in a record holding only the
// query.

#include <QByteArray>
#include <QString>

#include <functional>

class AddressComponent;

namespace PostalLookup {

// A line of digits (either width, with or without "〒", dashes, blanks) is
// a postal code; anything else an address.
bool isPostalCode(const QString &query);

// Reads lines from `read` (which returns false at the end), writes answers
// to `write` and says which lines were not UTF-8 through `warn`. With
// `all`, every candidate, each after the query's line number and a tab.
void run(AddressComponent &component, bool all, const std::function<bool(QByteArray *)> &read,
         const std::function<void(const QByteArray &)> &write, const std::function<void(qint64)> &warn);

}  // namespace PostalLookup
