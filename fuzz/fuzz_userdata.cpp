// "UserData.ini" of any content: read as the program reads it, then taken
// as a setting; nothing it holds may upset either step.

#include "platform/AnsiCodec.h"
#include "settings/UserDataChoice.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const AnsiCodec::Decoded decoded = AnsiCodec::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!decoded.ok) {
        if (decoded.errorOffset < 0 || decoded.errorOffset >= qsizetype(size))
            __builtin_trap();
        return 0;
    }
    const QString setting = UserDataChoice::settingOf(decoded.text);
    const UserDataChoice::Kind kind = UserDataChoice::classify(setting);
    // Only a text beginning with "%" can ask for anything but a named folder.
    if (kind != UserDataChoice::Kind::Named && !setting.startsWith(QLatin1Char('%')))
        __builtin_trap();
    return 0;
}
