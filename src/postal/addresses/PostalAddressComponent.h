#pragma once
// The address component on the postal dictionary.
//
// PutAdd(zip, address, company, mode), mode 1 ("complete the record"):
//  - a postal code that names a known code (either width, with or without
//    "〒", dashes, blanks) becomes "NNN-NNNN", and the address becomes its
//    prefecture + city + town (+ a business's street), unless the address
//    already begins with that (then it is kept whole, with its block and
//    building numbers); a business code's name becomes the company when the
//    company is empty;
//  - otherwise an address is matched as AddressMatch says: the code of its
//    town (its building's floor, the business its company names), or the
//    city's catch-all code, with the address completed;
//  - otherwise the address becomes "": nothing was found.
// Where several places fit, PutAdd takes the first; Find lists them all.
// Other modes change nothing.
//
// Each look-up first makes sure the dictionary is the file now at its path
// (one copied over it is opened anew), and its answer is kept only when the
// file did not change while it was read.
//
// Given the places the program looks in, in order, it also goes over to a
// dictionary that appears at a place ahead of its own (the user's own,
// written by zenrook-postal update while the window is open), and back to
// the next place when its own is removed.

#include "postal/addresses/AddressComponent.h"
#include "postal/dictionary/PostalDictionary.h"

#include <QHash>
#include <QStringList>

#include <chrono>

class PostalAddressComponent : public AddressComponent
{
public:
    explicit PostalAddressComponent(std::unique_ptr<PostalDictionary> dictionary, QStringList places = {});
    void PutAdd(QString &zip, QString &address, QString &company, int mode) override;
    AddressAnswer Find(const QString &zip, const QString &address, const QString &company, int mode) override;
    AddressAnswer FindAll(const QString &zip, const QString &address, const QString &company) override;
    QString DataInfo() override;
    // The dictionary file answering now.
    QString path() const { return dictionary_->path(); }

private:
    AddressAnswer find(const QString &zip, const QString &address, const QString &company, bool everything);
    // Opens the dictionary of the first place that now holds one, where that
    // is ahead of the one in use or the one in use is gone; `failed`: the
    // one in use could not be read just now.
    void choose(bool failed = false);
    // The dictionary chosen and read as it is now; false, with its problem,
    // when it cannot be.
    bool ready();

    std::unique_ptr<PostalDictionary> dictionary_;
    QStringList places_;
    std::chrono::steady_clock::time_point lastChosen_;
    QHash<QString, PostalDictionary::Identity> refused_;  // a place's file that could not be opened, as it was
};
