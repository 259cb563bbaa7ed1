#include "postal/mail/AddressBarcode.h"

#include "postal/addresses/AddressText.h"
#include "postal/mail/CustomerBarcode.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

AddressBarcode addressBarcode(AddressComponent &component, const QString &zip, const QString &address)
{
    AddressBarcode b;
    QString code = zip, text = address;
    const AddressText::LeadingZip front = AddressText::leadingZip(address);
    if (zip.trimmed().isEmpty() && !front.digits.isEmpty()) {
        code = front.digits;
        text = address.mid(front.addressStart);
    }
    const QString given = AddressText::zipDigits(code);
    // Two codes for one piece of mail: which one it carries cannot be told.
    if (!front.digits.isEmpty() && !given.isEmpty() && front.digits != given) {
        b.codeGiven = given;
        b.codesDisagree = true;
        b.reason = u"two postal codes: %1 given, and %2 written in front of the address"_s.arg(
            AddressText::formatZip(given), AddressText::formatZip(front.digits));
        return b;
    }
    b.answer = component.Find(code, text, QString(), 1);
    const AddressAnswer &a = b.answer;
    if (!a.problem.isEmpty()) {
        b.reason = a.problem;
        return b;
    }
    b.codeGiven = given;
    const AddressCandidate *chosen = a.choices.size() == 1 ? &a.choices.first() : nullptr;
    for (const AddressCandidate &c : a.choices) {
        if (!chosen && !given.isEmpty() && AddressText::zipDigits(c.zip) == given)
            chosen = &c;
    }
    // Several businesses sharing one code: their barcode is the same.
    if (!chosen && !a.choices.isEmpty() && std::all_of(a.choices.cbegin(), a.choices.cend(), [&](const AddressCandidate &c) {
            return c.certainty == Certainty::Business && c.zip == a.choices.first().zip;
        }))
        chosen = &a.choices.first();
    if (!given.isEmpty()
        && std::none_of(a.choices.cbegin(), a.choices.cend(), [&](const AddressCandidate &c) { return AddressText::zipDigits(c.zip) == given; })) {
        b.reason = u"no postal code %1 in the dictionary"_s.arg(AddressText::formatZip(given));
        b.unknownCode = true;
        return b;
    }
    if (a.choices.isEmpty()) {
        b.reason = u"no such address or code"_s;
        return b;
    }
    if (a.disagree) {
        b.reason = u"the address is not of the code %1, or its town cannot be found in it"_s.arg(a.choices.first().zip);
        return b;
    }
    if (!chosen) {
        QStringList codes;
        for (const AddressCandidate &c : a.choices)
            codes << c.zip;
        b.reason = u"several places fit (%1): give the code"_s.arg(codes.join(u", "_s));
        return b;
    }
    if (chosen->certainty == Certainty::CatchAll) {
        b.reason = u"the town is not known: the city's catch-all code %1 gets no barcode"_s.arg(chosen->zip);
        return b;
    }
    b.zip = AddressText::zipDigits(chosen->zip);
    if (chosen->certainty == Certainty::PoBox) {
        // A group code's mail is sorted by the box: its number is the
        // address number ("私書箱215号", "私書箱第１２号").
        static const QRegularExpression box(u"私書箱\\s*第?\\s*([0-9]{1,4})(?![0-9])"_s);
        const QRegularExpressionMatch m = box.match(AddressText::comparable(chosen->afterTown));
        if (!m.hasMatch()) {
            b.reason = u"%1 is a post-office box group code: its barcode needs the box's number (私書箱NNN号)"_s.arg(chosen->zip);
            return b;
        }
        b.number = m.captured(1);
    } else if (chosen->certainty != Certainty::Business) {
        b.number = CustomerBarcode::addressNumber(chosen->afterTown);
    }
    b.characters = CustomerBarcode::characters(b.zip, b.number);
    return b;
}
