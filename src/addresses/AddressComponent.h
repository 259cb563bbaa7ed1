#pragma once
// The address component: completes a postal code and an address from each
// other. Reached only through its factory, by the identifier "Tarnu.cAdd".

#include <QString>
#include <QStringList>

#include <memory>

class AddressComponent
{
public:
    virtual ~AddressComponent() = default;
    // Looks up and answers through the three strings; an empty address
    // afterwards means nothing was found. The company is never changed.
    virtual void PutAdd(QString &zip, QString &address, QString &company, int mode) = 0;
};

// The component for a known identifier, or nothing when it cannot be made.
std::unique_ptr<AddressComponent> createObject(const QString &progId);

// The same in two steps: where its data may be, asked on the GUI thread, and
// the making, which may run on any one thread; the component is then used
// by one thread at a time.
QStringList componentPlaces(const QString &progId);
std::unique_ptr<AddressComponent> createObject(const QString &progId, const QStringList &places);
