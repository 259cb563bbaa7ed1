// zenrook-postal lookup: queries from standard input, one answer a line.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/StandardStreams.h"
#include "postal/cli/UsageTexts.h"

using namespace Qt::StringLiterals;

int lookupCommand(const QStringList &arguments)
{
    const QCommandLineOption all(u"all"_s,
                                 u"print every candidate, and the businesses listed at the address, one a line, each after "
                                 u"the query's line number and a tab, each with its own certainty"_s);
    const QCommandLineOption dictionary = Cli::dictionaryOption();
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"lookup"_s, {all, dictionary}, arguments, Cli::UsageTexts::kLookup))
        return *done;
    const Cli::Workers w = Cli::workers(parser.value(dictionary));
    if (w.all.isEmpty())
        return 1;
    int code = 0;
    return Cli::answerLines([&](const PostalLookup::Io &io) { return PostalLookup::run(w.all, parser.isSet(all), io); },
                            &code);
}
