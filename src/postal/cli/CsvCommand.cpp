// zenrook-postal csv: an address list filled with codes and barcodes.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/UsageTexts.h"
#include "postal/mail/PostalCsv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// The list from standard input to standard output; what the system said of
// a list that could not be read or written is kept for the message.
int fill(const QList<AddressComponent *> &workers, const PostalCsv::Options &options)
{
    int code = 0;
    int ioError = 0;
    const PostalCsv::Stop stopped = PostalCsv::run(
        workers, options,
        {[&](char *buffer, qsizetype size) -> qsizetype {
             const size_t n = std::fread(buffer, 1, size_t(size), stdin);
             if (n == 0 && std::ferror(stdin)) {
                 ioError = errno;
                 return -1;
             }
             return qsizetype(n);
         },
         [&](const QByteArray &bytes) {
             if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()))
                 return true;
             ioError = errno;
             return false;
         },
         [&](qint64 line, const QString &why) {
             // Line 0 is a word on the whole list, not a row passed on.
             if (line > 0) {
                 std::fprintf(stderr, "zenrook-postal: line %lld: %s\n", line, qPrintable(why));
                 code = 1;
             } else {
                 std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(why));
             }
         }});
    if (stopped.kind != PostalCsv::Stop::Kind::None) {
        const bool io = stopped.kind == PostalCsv::Stop::Kind::Io && ioError != 0;
        std::fprintf(stderr, "zenrook-postal: %s%s%s\n", qPrintable(stopped.why), io ? ": " : "",
                     io ? std::strerror(ioError) : "");
        return stopped.kind == PostalCsv::Stop::Kind::Column ? 2 : 1;  // a column asked for that the list has not
    }
    return Cli::finishOutput(code);
}

}  // namespace

int csvCommand(const QStringList &arguments)
{
    const QCommandLineOption address(u"address"_s,
                                     u"the address's column: its number from 1, or its name in the header row"_s,
                                     u"COLUMN"_s);
    const QCommandLineOption zip(u"zip"_s, u"a column of postal codes known: where one is given, it is the row's code"_s,
                                 u"COLUMN"_s);
    const QCommandLineOption fillZip(u"fill"_s,
                                     u"write the code into the --zip column where it is empty (a town's, a business's or a "
                                     u"city's code; never an ambiguous one) instead of adding the 郵便番号 column"_s);
    const QCommandLineOption header(u"header"_s,
                                    u"the first row names the columns (and gets the names of the added ones)"_s);
    const QCommandLineOption encoding(u"encoding"_s,
                                      u"the list's encoding, cp932 or utf-8; by default a byte-order mark tells, or else what "
                                      u"most of the first rows that are not ASCII are; an all-ASCII list is taken as UTF-8"_s,
                                      u"ENCODING"_s);
    const QCommandLineOption dictionary = Cli::dictionaryOption();
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"csv"_s, {address, zip, fillZip, header, encoding, dictionary}, arguments,
                                     Cli::UsageTexts::kCsv))
        return *done;
    PostalCsv::Options o;
    o.address = parser.value(address);
    o.zip = parser.value(zip);
    o.header = parser.isSet(header);
    o.fill = parser.isSet(fillZip);
    if (o.address.isEmpty())
        return Cli::usageError(u"csv: --address COLUMN is needed"_s, u"csv"_s);
    if (o.fill && o.zip.isEmpty())
        return Cli::usageError(u"csv: --fill writes into the --zip column; name it"_s, u"csv"_s);
    const std::optional<PostalCsv::Encoding> told = Cli::encodingNamed(parser.value(encoding));
    if (!told)
        return Cli::usageError(u"csv: --encoding is cp932 or utf-8"_s, u"csv"_s);
    o.encoding = *told;
    const Cli::Workers w = Cli::workers(parser.value(dictionary));
    if (w.all.isEmpty())
        return 1;
    return fill(w.all, o);
}
