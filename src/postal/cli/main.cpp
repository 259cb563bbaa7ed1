// zenrook-postal: the address look-up of Zenrook on the command line.

#include "postal/cli/Command.h"
#include "postal/cli/UsageTexts.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return Cli::usageError(u"no command"_s);
    const QString command = args.takeFirst();
    if (command == u"--help"_s || command == u"-h"_s) {
        std::fputs(Cli::UsageTexts::kProgram, stdout);
        return Cli::finishOutput(0);
    }
    if (command == u"--version"_s) {
        std::printf("zenrook-postal %s\n", ZENROOK_VERSION);  // the dictionary's: info
        return Cli::finishOutput(0);
    }
    using Command = int (*)(const QStringList &);
    const std::pair<QString, Command> commands[] = {
        {u"lookup"_s, lookupCommand}, {u"info"_s, infoCommand},       {u"import"_s, importCommand},
        {u"update"_s, updateCommand}, {u"barcode"_s, barcodeCommand}, {u"csv"_s, csvCommand},
        {u"print"_s, printCommand},
    };
    for (const auto &[name, run] : commands) {
        if (name == command)
            return run(args);
    }
    return Cli::usageError(u"unknown command: "_s + command);
}
