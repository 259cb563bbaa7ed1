// Request files of any content: whatever the bytes, the decision is one of
// window mode, a request, or a refusal with a message naming the file; a
// request's answer always fits back into code page 932.

#include "mainwindow/RequestText.h"
#include "platform/AnsiCodec.h"
#include "startup/RequestExchange.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = QStringLiteral("/tmp/fuzzZrok.txt");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RequestExchange::Start start = RequestExchange::examineContent(path, bytes);
    using Mode = RequestExchange::Start::Mode;
    if (start.mode == Mode::Refused && !start.message.endsWith(QLatin1Char('\r') + path))
        __builtin_trap();
    if (start.mode != Mode::Request)
        return 0;
    const QStringList fields = RequestText::fields(start.text);
    const RequestText::Record record = RequestText::recordFromRequest(fields, QStringLiteral("http://map.yahoo.co.jp"));
    const QString answer = RequestText::answer(fields, record);
    if (!answer.startsWith(QStringLiteral("ZenroA\t")) || answer.count(QLatin1Char('\t')) < 5
        || !AnsiCodec::encode(answer).ok)
        __builtin_trap();
    return 0;
}
