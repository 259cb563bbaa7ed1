#include "browser/QuietEngineAdvice.h"

#include <QString>

#include <cstdio>

namespace {

// The handler that was in place, for the one QuietEngineAdvice alive.
QtMessageHandler outerHandler = nullptr;

void withoutAdvice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(u"Qt WebEngine seems to be initialized from a plugin")
        || message == u"No suitable graphics backend found")
        return;
    if (outerHandler)
        outerHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

QuietEngineAdvice::QuietEngineAdvice() : outer_(qInstallMessageHandler(withoutAdvice))
{
    outerHandler = outer_;
}

QuietEngineAdvice::~QuietEngineAdvice()
{
    qInstallMessageHandler(outer_);
    outerHandler = nullptr;
}
