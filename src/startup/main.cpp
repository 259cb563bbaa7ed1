#include "BuildConfig.h"
#include "Resources.h"
#include "postal/addresses/AddressComponent.h"
#include "platform/WebEngineEnvironment.h"
#include "startup/CoordinatesCommand.h"
#include "startup/Usr.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Answers --help and --version on the terminal, before any window or
// display, whatever follows them (no request path begins so).
bool answeredOnTerminal(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const QByteArray arg(argv[1]);
    if (arg == "--version") {
        std::printf("zenrook %s\n", ZENROOK_VERSION);
        const QCoreApplication app(argc, argv);  // where the program and its data are
        const auto add = createObject(QStringLiteral("Tarnu.cAdd"));
        std::printf("postal data: %s\n", add ? qPrintable(add->DataInfo()) : "none (address look-up off)");
        return true;
    }
    if (arg == "--help" || arg == "-h") {
        std::printf("Usage: zenrook [REQUEST_FILE]\n"
                    "       zenrook --coordinates URL\n"
                    "\n"
                    "Zenrook (住所･郵便番号･緯度･経度を調べる) keeps one address record, looks up\n"
                    "postal codes and addresses, searches the map service and captures map URLs\n"
                    "copied anywhere on the desktop.\n"
                    "\n"
                    "Without arguments it opens its window. With the full path of a file whose\n"
                    "name ends in \"Zrok.txt\" and whose text (code page 932) begins with \"ZenroA\"\n"
                    "(ZenroA, postal code, address, company, map URL, tab-separated), it serves\n"
                    "that request as a dialog: F9 writes the answer into the same file, F12\n"
                    "leaves it untouched.\n"
                    "\n"
                    "  --coordinates URL  print the place a map page URL shows, as \"tokyo LAT LON\"\n"
                    "                     and \"jgd2011 LAT LON\" lines; exit 1 when it has none,\n"
                    "                     3 when a datum conversion failed (the other line is\n"
                    "                     still printed, the reason goes to standard error),\n"
                    "                     4 when they could not be written.\n"
                    "                     It reads the pages of %s,\n"
                    "                     over http or https: /place and /maps pages are in the\n"
                    "                     world datum, older ones in the Tokyo datum, unless a\n"
                    "                     datum= parameter says otherwise\n"
                    "  -h, --help         show this help and exit\n"
                    "  --version          show the version and exit\n",
                    MapBaseURL);
        return true;
    }
    return false;
}

// A map page's place for scripts, with the window's own reading of URLs.
int coordinatesOnTerminal(int argc, char *argv[])
{
    QTextStream out(stdout), err(stderr);
    const QCoreApplication app(argc, argv);  // where the datum module is found
    if (argc != 3) {
        err << "Usage: zenrook --coordinates URL\n";
        return 2;
    }
    const int status = coordinatesCommand(QString::fromLocal8Bit(argv[2]), QString::fromUtf8(MapBaseURL), out, err);
    // Points a script never got are no success.
    out.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        err << "zenrook: cannot write the coordinates: " << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
        return 4;
    }
    return status;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (answeredOnTerminal(argc, argv))
        return 0;
    if (argc >= 2 && std::strcmp(argv[1], "--coordinates") == 0)
        return coordinatesOnTerminal(argc, argv);
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

    // The request path is every argument as given; read them before Qt
    // takes out the options it knows.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zenrook"));
    ensureResources();
    QApplication::setWindowIcon(resourceIcon(QStringLiteral(":/zenrook/zenrook.xpm")));

    const std::optional<int> done = Main(arguments);
    const int code = done ? *done : app.exec();
    // The main window is released through deleteLater; let it go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}
