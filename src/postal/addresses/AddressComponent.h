#pragma once
// The address component: completes a postal code, an address and a company
// from each other. Reached only through its factory, by the identifier
// "Tarnu.cAdd".

#include <QList>
#include <QString>

#include <memory>

// How sure an answer is.
enum class Certainty {
    Town,      // the town's own code (or the code given)
    Business,  // a business's own code, named by the company
    CatchAll,  // only the city is known: its catch-all code
    PoBox,     // a post-office box group code, which no file lists: the box's number goes with it
    Ambiguous, // several places fit; one is chosen
    NotFound,
};

// The word for a certainty on the command line and in lists: "town",
// "business", "catch-all", "po box", "ambiguous", "not found".
QString certaintyWord(Certainty certainty);

// One way a record could be completed.
struct AddressCandidate {
    QString zip, address, company;
    Certainty certainty = Certainty::Town;
    // What was typed after the town (blocks, building, room), as typed: the
    // address number of a customer barcode comes from it.
    QString afterTown;
    // Where a town has several codes, the blocks this one serves as the
    // postal service notes them after the town ("（１〜１９丁目）").
    QString ranges{};
    // The address with the ranges after its town, for choosing between codes.
    QString listed() const
    {
        return ranges.isEmpty() ? address : address.chopped(afterTown.size()) + ranges + afterTown;
    }
    friend bool operator==(const AddressCandidate &a, const AddressCandidate &b)
    {
        return a.zip == b.zip && a.address == b.address && a.company == b.company;
    }
};

struct AddressAnswer {
    // One: the answer. Several: the places that fit, for the user to choose
    // from (the first is the answer when nobody chooses).
    QList<AddressCandidate> choices;
    // The businesses listed at the address typed: never a reason to choose,
    // but there to be listed.
    QList<AddressCandidate> alsoHere;
    Certainty certainty = Certainty::NotFound;
    // A code and an address were given that name different places, or an
    // address in which the code's town cannot be found.
    bool disagree = false;
    // Why the dictionary could not answer (damaged, replaced by a file that
    // is none), for the user; "" when it could.
    QString problem;
};

class AddressComponent
{
public:
    virtual ~AddressComponent() = default;
    // Looks up and answers through the three strings; an empty address
    // afterwards means nothing was found. A company the caller gave is kept.
    virtual void PutAdd(QString &zip, QString &address, QString &company, int mode) = 0;
    // What PutAdd would leave, and the other places that fit.
    virtual AddressAnswer Find(const QString &zip, const QString &address, const QString &company, int mode) = 0;
    // The same, with the businesses listed at the address too.
    virtual AddressAnswer FindAll(const QString &zip, const QString &address, const QString &company) = 0;
    // The data behind the answers: source, its version and its date; or why
    // the dictionary cannot be read.
    virtual QString DataInfo() = 0;
};

// The component for a known identifier, or nothing when it cannot be made.
std::unique_ptr<AddressComponent> createObject(const QString &progId);
// The same on the given dictionary file rather than the installed one.
std::unique_ptr<AddressComponent> createObject(const QString &progId, const QString &dictionary);
