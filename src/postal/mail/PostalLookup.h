#pragma once
// The batch look-up of zenrook-postal: one query a line in, one answer a
// line out, always, each answer what F4 would leave in a record holding
// only the query, and how sure it is.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class AddressComponent;

namespace PostalLookup {

// A line of digits (either width, with or without "〒", dashes, blanks) is
// a postal code; anything else an address.
bool isPostalCode(const QString &query);

// What is said of a text with more marks on one character than its key
// takes (AddressText::kMostMarks).
extern const QString kMarksLeftOut;

struct Io {
    // The next line, its line end removed; false at the end.
    std::function<bool(QByteArray *)> read;
    // Whether another line can be read without waiting for it (lines are
    // answered in batches of those there are, and each batch is written
    // before the next is waited for). None: never.
    std::function<bool()> ready;
    // One line's answer; false when it could not be written.
    std::function<bool(const QByteArray &)> write;
    // A line answered with empty fields, and why: not UTF-8, a NUL inside
    // (a tab, for lookup), or a dictionary that could not be read.
    std::function<void(qint64 line, const QString &why)> warn;
};

// The answer to one line: its number and its text, or no text when the
// line could not be read (and was named through Io::warn).
using Answer = std::function<QByteArray(qint64 line, const QString *query)>;

// Reads every line and writes its answer. False when writing failed.
bool eachLine(const Io &io, const Answer &answer);

// Answers every line: postal code, address, company and how sure
// ("town", "business", "catch-all", "po box", "ambiguous", "not found"),
// tab-separated. With `all`, every candidate, each after the query's line
// number and a tab, with its own certainty. The components (one or more,
// of one dictionary) share the work, each on a thread of its own. False
// when writing failed.
bool run(const QList<AddressComponent *> &components, bool all, const Io &io);

}  // namespace PostalLookup
