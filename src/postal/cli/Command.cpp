#include "postal/cli/Command.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace Cli {

int usageError(const QString &message, const QString &command)
{
    const QString help = command.isEmpty() ? u"--help"_s : command + u" --help"_s;
    std::fprintf(stderr, "zenrook-postal: %s (see zenrook-postal %s)\n", qPrintable(message), qPrintable(help));
    return 2;
}

int finishOutput(int code)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zenrook-postal: cannot write the answers: %s\n", std::strerror(errno));
        return 1;
    }
    return code;
}

std::optional<PostalCsv::Encoding> encodingNamed(const QString &name)
{
    const QString n = name.toLower();
    if (n.isEmpty())
        return PostalCsv::Encoding::Detect;
    if (n == u"cp932"_s || n == u"shift_jis"_s || n == u"sjis"_s)
        return PostalCsv::Encoding::Cp932;
    if (n == u"utf-8"_s || n == u"utf8"_s)
        return PostalCsv::Encoding::Utf8;
    return std::nullopt;
}

QCommandLineOption dictionaryOption()
{
    return QCommandLineOption({u"d"_s, u"dictionary"_s}, u"use this dictionary rather than the installed one"_s, u"FILE"_s);
}

std::optional<int> parse(QCommandLineParser &parser, const QString &command, const QList<QCommandLineOption> &options,
                         const QStringList &arguments, const Usage &usage)
{
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"show this help"_s);
    parser.addOptions(options);
    parser.addOption(help);
    // -d and -o are options of one letter: "-dfile" is no bundle of them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Asked for help, it is given, whatever else was written.
    if (arguments.contains(u"--help"_s) || arguments.contains(u"-h"_s)) {
        const QString generated = parser.helpText();
        const QString listed = generated.mid(generated.indexOf(u"\nOptions:"_s) + 1);
        std::printf("%s\n\n%s\n%s", usage.synopsis, usage.description, qPrintable(listed));
        return finishOutput(0);
    }
    if (!parser.parse(QStringList{u"zenrook-postal"_s} + arguments)) {
        if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
            const QString name = (unknown.first().size() == 1 ? u"-"_s : u"--"_s) + unknown.first();
            return usageError(u"%1: unknown option %2"_s.arg(command, name), command);
        }
        // Qt's words for a value missing or given to a flag, said as the
        // other mistakes are.
        const QString error = parser.errorText();
        const qsizetype quote = error.indexOf(u'\'');
        const QString name = error.mid(quote + 1, error.lastIndexOf(u'\'') - quote - 1);
        if (quote >= 0 && error.startsWith(u"Missing value"_s))
            return usageError(u"%1: %2 needs a value"_s.arg(command, name), command);
        if (quote >= 0 && error.startsWith(u"Unexpected value"_s))
            return usageError(u"%1: %2 takes no value"_s.arg(command, name), command);
        return usageError(command + u": "_s + error, command);
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty())
        return usageError(u"%1: unexpected argument %2"_s.arg(command, extra.first()), command);
    for (const QCommandLineOption &o : options) {
        if (!o.valueName().isEmpty() && parser.isSet(o) && parser.value(o).isEmpty()) {
            const QString name = o.names().constLast();
            return usageError(u"%1: %2%3 needs a value"_s.arg(command, name.size() == 1 ? u"-"_s : u"--"_s, name), command);
        }
    }
    return std::nullopt;
}

}  // namespace Cli
