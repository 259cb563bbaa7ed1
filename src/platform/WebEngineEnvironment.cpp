#include "platform/WebEngineEnvironment.h"

#include <QDir>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace WebEngineEnvironment {

static bool gpuPresent()
{
    return !QDir(u"/dev/dri"_s).entryList({u"renderD*"_s, u"card*"_s}, QDir::System).isEmpty();
}

QString prepare()
{
    QStringList notes;
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        notes << u"the browser sandbox is off (running as root)"_s;
    }
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!gpuPresent() && !flags.contains("--disable-gpu")) {
        flags = flags.isEmpty() ? QByteArray("--disable-gpu") : flags + " --disable-gpu";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        notes << u"GPU use is off (no GPU found)"_s;
    }
    if (notes.isEmpty())
        return QString();
    const QString line = u"zenrook: "_s + notes.join(u"; "_s);
    std::fprintf(stderr, "%s\n", qPrintable(line));
    return line;
}

}  // namespace WebEngineEnvironment
