// zenrook-postal: the address look-up of Zenrook on the command line.

#include "addresses/AddressComponent.h"
#include "addresses/DictionaryImport.h"
#include "addresses/PostalDictionary.h"
#include "addresses/PostalLookup.h"
#include "addresses/PostalSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const char kUsage[] =
    "Usage: zenrook-postal COMMAND [OPTIONS]\n"
    "\n"
    "Japanese postal codes and addresses, offline, as Zenrook's F4 finds them.\n"
    "\n"
    "Commands:\n"
    "  lookup   answer queries read from standard input, one a line\n"
    "  info     show the dictionary's source, version, data date and size\n"
    "  import   build a dictionary from the postal service's files\n"
    "\n"
    "zenrook-postal COMMAND --help shows a command's options.\n";

const char kLookupUsage[] =
    "Usage: zenrook-postal lookup [--all] [-d DICTIONARY]\n"
    "\n"
    "Reads queries from standard input, one a line, in UTF-8. A line of digits\n"
    "(either width, with or without \"-\", \"〒\" and blanks) is a postal code,\n"
    "any other line an address. Prints for each line one tab-separated line:\n"
    "postal code, address, company, as F4 leaves a record that held only the\n"
    "query (of several towns, the first). A query with no match is printed as\n"
    "given, with empty fields. A line that is not UTF-8 is answered with empty\n"
    "fields and reported on standard error.\n"
    "\n"
    "  --all            print every candidate, one a line, each after the\n"
    "                   query's line number and a tab\n"
    "  -d, --dictionary FILE\n"
    "                   use this dictionary rather than the installed one\n";

const char kInfoUsage[] =
    "Usage: zenrook-postal info [-d DICTIONARY]\n"
    "\n"
    "Prints the dictionary's data source, its version, the date of its data, and\n"
    "the numbers of postal codes, towns and business codes.\n"
    "\n"
    "  -d, --dictionary FILE   use this dictionary rather than the installed one\n";

const char kImportUsage[] =
    "Usage: zenrook-postal import [--ken-all FILE] [--jigyosyo FILE] [--package DIR] [-o DICTIONARY]\n"
    "\n"
    "Builds a dictionary from the postal service's monthly files: utf_ken_all.csv\n"
    "(UTF-8, every code and town) and JIGYOSYO.CSV (code page 932, business\n"
    "codes), or from the json/ folder of the npm package jquery-jpostal-ja.\n"
    "A malformed file stops the import with its name, line and reason; an\n"
    "existing dictionary is replaced only by a complete new one.\n"
    "\n"
    "  --ken-all FILE    the codes and towns (utf_ken_all.csv)\n"
    "  --jigyosyo FILE   the business codes (JIGYOSYO.CSV)\n"
    "  --package DIR     an unpacked jquery-jpostal-ja package\n"
    "  -o FILE           the dictionary to write (default: ./zenrook-postal.sqlite3)\n";

int usageError(const char *message)
{
    std::fprintf(stderr, "zenrook-postal: %s (see zenrook-postal --help)\n", message);
    return 2;
}

std::unique_ptr<AddressComponent> component(const QString &dictionary)
{
    return dictionary.isEmpty() ? createObject(u"Tarnu.cAdd"_s) : createObject(u"Tarnu.cAdd"_s, dictionary);
}

int lookup(bool all, const QString &dictionary)
{
    auto add = component(dictionary);
    if (!add) {
        std::fputs("zenrook-postal: no postal dictionary found\n", stderr);
        return 1;
    }
    std::FILE *in = stdin;
    char buffer[8192];
    PostalLookup::run(
        *add, all,
        [&](QByteArray *line) {
            line->clear();
            while (std::fgets(buffer, sizeof buffer, in)) {
                line->append(buffer);
                if (line->endsWith('\n'))
                    return true;
            }
            return !line->isEmpty();
        },
        [](const QByteArray &out) { std::fwrite(out.constData(), 1, size_t(out.size()), stdout); },
        [](qint64 number) { std::fprintf(stderr, "zenrook-postal: line %lld: not valid UTF-8\n", number); });
    return std::fflush(stdout) == 0 && !std::ferror(stdin) ? 0 : 1;
}

int info(const QString &dictionary)
{
    const QStringList places = dictionary.isEmpty() ? PostalDictionary::places() : QStringList{dictionary};
    for (const QString &path : places) {
        if (auto d = PostalDictionary::open(path)) {
            const PostalDictionary::Info i = d->info();
            std::printf("source: %s\nversion: %s\ndata date: %s\ncodes: %lld\ntowns: %lld\nbusiness codes: %lld\n"
                        "dictionary: %s\n",
                        qPrintable(i.source), qPrintable(i.version), qPrintable(i.date), i.codes, i.towns, i.business,
                        qPrintable(QDir::cleanPath(QDir::current().absoluteFilePath(path))));
            return 0;
        }
    }
    std::fputs("zenrook-postal: no postal dictionary found\n", stderr);
    return 1;
}

int import(const QString &kenAll, const QString &jigyosyo, const QString &package, const QString &output)
{
    if (kenAll.isEmpty() && jigyosyo.isEmpty() && package.isEmpty())
        return usageError("import needs --ken-all, --jigyosyo or --package");
    DictionaryImport::Source source;
    QString error;
    if ((!package.isEmpty() && !DictionaryImport::readPackage(package, &source, &error))
        || (!kenAll.isEmpty() && !DictionaryImport::readKenAll(kenAll, &source, &error))
        || (!jigyosyo.isEmpty() && !DictionaryImport::readJigyosyo(jigyosyo, &source, &error))) {
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(error));
        return 1;
    }
    const DictionaryImport::Result r = DictionaryImport::write(source, output);
    if (!r.ok) {
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(r.error));
        return 1;
    }
    std::printf("%s: %lld codes, %lld towns, %lld business codes (%s %s, data of %s)\n", qPrintable(output), r.codes,
                r.towns, r.business, qPrintable(source.source), qPrintable(source.version), qPrintable(source.date));
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError("no command");
    const QString command = args.takeFirst();
    if (command == u"--help"_s || command == u"-h"_s) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const char *usage = command == u"lookup"_s ? kLookupUsage
                        : command == u"info"_s ? kInfoUsage
                        : command == u"import"_s ? kImportUsage
                                                 : nullptr;
    if (!usage)
        return usageError("unknown command");
    bool all = false;
    QString dictionary, kenAll, jigyosyo, package, output = QString::fromLatin1(kPostalDictionaryName);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == u"--help"_s || a == u"-h"_s) {
            std::fputs(usage, stdout);
            return 0;
        } else if (a == u"--all"_s && command == u"lookup"_s) {
            all = true;
        } else if ((a == u"-d"_s || a == u"--dictionary"_s) && command != u"import"_s && hasValue) {
            dictionary = args.at(++i);
        } else if (a == u"--ken-all"_s && command == u"import"_s && hasValue) {
            kenAll = args.at(++i);
        } else if (a == u"--jigyosyo"_s && command == u"import"_s && hasValue) {
            jigyosyo = args.at(++i);
        } else if (a == u"--package"_s && command == u"import"_s && hasValue) {
            package = args.at(++i);
        } else if (a == u"-o"_s && command == u"import"_s && hasValue) {
            output = args.at(++i);
        } else {
            std::fprintf(stderr, "zenrook-postal %s: unknown option or missing value: %s\n", qPrintable(command),
                         qPrintable(a));
            return 2;
        }
    }
    if (command == u"lookup"_s)
        return lookup(all, dictionary);
    if (command == u"info"_s)
        return info(dictionary);
    return import(kenAll, jigyosyo, package, output);
}
