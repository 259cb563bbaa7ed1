#pragma once
// The address component: completes a postal code, an address and a company
// from each other. Reached only through its factory, by the identifier
// "Tarnu.cAdd".

#include <QList>
#include <QString>

#include <memory>

// One way a record could be completed.
struct AddressCandidate {
    QString zip, address, company;
    friend bool operator==(const AddressCandidate &a, const AddressCandidate &b)
    {
        return a.zip == b.zip && a.address == b.address && a.company == b.company;
    }
};

class AddressComponent
{
public:
    virtual ~AddressComponent() = default;
    // Looks up and answers through the three strings; an empty address
    // afterwards means nothing was found. A company the caller gave is kept.
    virtual void PutAdd(QString &zip, QString &address, QString &company, int mode) = 0;
    // Every record PutAdd could leave, the one it does leave first; none
    // when nothing was found. Several when a code has several towns.
    virtual QList<AddressCandidate> Candidates(const QString &zip, const QString &address, const QString &company,
                                               int mode) = 0;
    // The data behind the answers: source, its version and its date.
    virtual QString DataInfo() const = 0;
};

// The component for a known identifier, or nothing when it cannot be made.
std::unique_ptr<AddressComponent> createObject(const QString &progId);
// The same on the given dictionary file rather than the installed one.
std::unique_ptr<AddressComponent> createObject(const QString &progId, const QString &dictionary);
