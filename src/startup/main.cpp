#include "Resources.h"
#include "platform/WebEngineEnvironment.h"
#include "startup/Usr.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Copies made by other programs reach only an X11 client under Wayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("zenrook: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 2;
    }
    WebEngineEnvironment::prepare();
    // The engine describes its GL set-up at every start; users need not see it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // The request path is every argument as given; read them before Qt
    // takes out the options it knows.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zenrook"));
    ensureResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zenrook/zenrook.xpm")));

    const std::optional<int> done = Main(arguments);
    const int code = done ? *done : app.exec();
    // The main window is released through deleteLater; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}
