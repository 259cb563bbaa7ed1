// zenrook-postal import: a dictionary built from the postal service's files.

#include "postal/cli/Command.h"
#include "postal/cli/UsageTexts.h"
#include "postal/dictionary/PostalSchema.h"
#include "postal/import/DictionaryImport.h"

#include <cstdio>

using namespace Qt::StringLiterals;

int importCommand(const QStringList &arguments)
{
    const QCommandLineOption kenAllOption(u"ken-all"_s, u"the codes and towns (utf_ken_all.zip or .csv)"_s, u"FILE"_s);
    const QCommandLineOption jigyosyoOption(u"jigyosyo"_s, u"the business codes (jigyosyo.zip or JIGYOSYO.CSV)"_s,
                                            u"FILE"_s);
    const QCommandLineOption outputOption(u"o"_s, u"the dictionary to write (default: ./zenrook-postal.sqlite3)"_s,
                                          u"FILE"_s, QString::fromLatin1(kPostalDictionaryName));
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"import"_s, {kenAllOption, jigyosyoOption, outputOption}, arguments,
                                     Cli::UsageTexts::kImport))
        return *done;
    const QString kenAll = parser.value(kenAllOption), jigyosyo = parser.value(jigyosyoOption),
                  output = parser.value(outputOption);
    if (kenAll.isEmpty() && jigyosyo.isEmpty())
        return Cli::usageError(u"import needs --ken-all, --jigyosyo or both"_s, u"import"_s);
    DictionaryImport::Source source;
    QString error;
    if ((!kenAll.isEmpty() && !DictionaryImport::readKenAll(kenAll, &source, &error))
        || (!jigyosyo.isEmpty() && !DictionaryImport::readJigyosyo(jigyosyo, &source, &error))) {
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(error));
        return 1;
    }
    QStringList inputs{kenAll, jigyosyo};
    inputs.removeAll(QString());
    const DictionaryImport::Result r = DictionaryImport::write(source, output, inputs);
    if (!r.ok) {
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(r.error));
        return 1;
    }
    auto count = [](qint64 n, const char *one, const char *many) {
        return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    std::printf("%s: %s, %s, %s (%s %s, data of %s)\n", qPrintable(output), qPrintable(count(r.codes, "code", "codes")),
                qPrintable(count(r.towns, "town", "towns")),
                qPrintable(count(r.business, "business code", "business codes")), qPrintable(source.source),
                qPrintable(r.version), qPrintable(source.date));
    return Cli::finishOutput(0);
}
