// Address text of any content: its comparable form keeps, for each of its
// characters, a part of the original in order and within bounds, so that
// what follows a matched place is always found again in what was typed.

#include "postal/addresses/AddressText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const AddressText::Key k = AddressText::key(text);
    if (k.from.size() != k.text.size() || k.to.size() != k.text.size())
        __builtin_trap();
    qsizetype lastFrom = 0;
    for (qsizetype i = 0; i < k.text.size(); ++i) {
        if (k.from[i] < lastFrom || k.from[i] > k.to[i] || k.to[i] > text.size())
            __builtin_trap();
        lastFrom = k.from[i];
    }
    for (qsizetype n = 0; n <= k.text.size(); ++n) {
        const qsizetype end = k.originalEnd(n), start = k.originalStart(n, text.size());
        if (end < 0 || end > text.size() || start < 0 || start > text.size())
            __builtin_trap();
    }
    // The form of a form is itself: the dictionary's keys, made once, and a
    // query's, made from what was typed, meet.
    if (AddressText::comparable(k.text) != k.text)
        __builtin_trap();
    const AddressText::LeadingZip zip = AddressText::leadingZip(text);
    if (zip.addressStart < 0 || zip.addressStart > text.size() || !(zip.digits.isEmpty() || zip.digits.size() == 7))
        __builtin_trap();
    AddressText::companyKey(text);
    AddressText::blockNumbers(text);
    AddressText::leadingNumber(k.text);
    return 0;
}
