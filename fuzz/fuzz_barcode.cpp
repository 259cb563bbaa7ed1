// Addresses of any content: the address number holds only digits, letters
// and single hyphens between them, and its 21 characters add up to a
// multiple of 19.

#include "postal/mail/CustomerBarcode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString number = CustomerBarcode::addressNumber(text);
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number.at(i);
        const bool hyphen = c == u'-';
        if (!(hyphen || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')))
            __builtin_trap();
        if (hyphen && (i == 0 || i + 1 == number.size() || number.at(i - 1) == u'-'))
            __builtin_trap();
    }
    const QStringList characters = CustomerBarcode::characters(QStringLiteral("1000013"), number);
    int sum = 0;
    for (const QString &c : characters) {
        const int v = CustomerBarcode::value(c);
        if (v < 0 || CustomerBarcode::bars(c).size() != 3)
            __builtin_trap();
        sum += v;
    }
    if (characters.size() != 21 || sum % 19 != 0)
        __builtin_trap();
    return 0;
}
