// zenrook-postal: the address look-up of Zenrook on the command line.

#include "addresses/AddressBarcode.h"
#include "addresses/AddressComponent.h"
#include "addresses/AddressText.h"
#include "addresses/CustomerBarcode.h"
#include "addresses/DictionaryImport.h"
#include "addresses/PostalAddressComponent.h"
#include "addresses/PostalDictionary.h"
#include "addresses/PostalCsv.h"
#include "addresses/PostalLookup.h"
#include "addresses/PostalSchema.h"
#include "addresses/PostalUpdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QUrl>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <unistd.h>

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
    "  update   fetch the postal service's current files as your own dictionary\n"
    "  barcode  the customer barcode of each address read, one a line\n"
    "  csv      fill a spreadsheet's address list with codes and barcodes\n"
    "\n"
    "zenrook-postal COMMAND --help shows a command's options;\n"
    "zenrook-postal --version the program's version.\n";

const char kLookupUsage[] =
    "Usage: zenrook-postal lookup [--all] [-d DICTIONARY]\n"
    "\n"
    "Reads queries from standard input, one a line, in UTF-8. A line of digits\n"
    "(either width, with or without \"-\", \"〒\" and blanks) is a postal code,\n"
    "any other line an address, written as people write it: with or without\n"
    "its prefecture or district, a postal code in front (\"〒100-0013 \"), digits\n"
    "or kanji for numbers, 大字 or 字 before the town, Kyoto's streets\n"
    "(\"寺町通御池上る\"), blanks and either width.\n"
    "\n"
    "Prints for each line one tab-separated line: postal code, address and\n"
    "company as F4 leaves a record that held only the query (the address\n"
    "completed with the dictionary's prefecture, city and town), and how sure\n"
    "the answer is:\n"
    "  town        the town's own code (or the code asked for)\n"
    "  business    a business's own code\n"
    "  catch-all   only the city is known: its catch-all code\n"
    "  po box      a post-office box group code (NNN-8691 to NNN-8699, or\n"
    "              NNNNN-91), which no file lists: the region it serves\n"
    "  ambiguous   several places fit; the first is printed (see --all): where\n"
    "              the blocks written do not pick one of a town's codes, each\n"
    "              code's blocks follow its town (\"大通西（１〜１９丁目）\")\n"
    "  not found   the query as given, with empty fields\n"
    "A line that is not UTF-8, or that holds a NUL byte or a tab, is answered\n"
    "with empty fields and named on standard error with its line number.\n"
    "\n"
    "  --all            print every candidate, and the businesses listed at the\n"
    "                   address, one a line, each after the query's line number\n"
    "                   and a tab, each with its own certainty\n"
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
    "Usage: zenrook-postal import [--ken-all FILE] [--jigyosyo FILE] [-o DICTIONARY]\n"
    "\n"
    "Builds a dictionary from the postal service's monthly files: utf_ken_all.zip\n"
    "(utf_ken_all.csv, UTF-8, every code and town, with the blocks each code\n"
    "serves) and jigyosyo.zip (JIGYOSYO.CSV, code page 932, business and\n"
    "post-office box codes), as published or unpacked. A malformed file stops\n"
    "the import with its name, line and reason; an existing dictionary is\n"
    "replaced only by a complete new one, written to disk first; an output that\n"
    "is one of the inputs is refused.\n"
    "\n"
    "  --ken-all FILE    the codes and towns (utf_ken_all.zip or .csv)\n"
    "  --jigyosyo FILE   the business codes (jigyosyo.zip or JIGYOSYO.CSV)\n"
    "  -o FILE           the dictionary to write (default: ./zenrook-postal.sqlite3)\n";

const char kUpdateUsage[] =
    "Usage: zenrook-postal update [--ken-all-url URL] [--jigyosyo-url URL]\n"
    "                             [--ken-all FILE.zip --jigyosyo FILE.zip] [--force]\n"
    "\n"
    "Downloads the postal service's current files (utf_ken_all.zip and\n"
    "jigyosyo.zip), checks them (zip archives holding the expected file whole,\n"
    "enough codes for the whole country, data not older than the dictionary in\n"
    "use), builds the dictionary and writes it as your own:\n"
    "$XDG_DATA_HOME/zenrook/zenrook-postal.sqlite3 (~/.local/share/zenrook/...),\n"
    "which the window and zenrook-postal use from then on instead of the one\n"
    "shipped with the program. It replaces the one there only once it is whole\n"
    "on disk; any failure (no network, a file missing, cut short or foreign, a\n"
    "full disk) exits non-zero with the reason and leaves the dictionary in use\n"
    "as it was. Ends with the data's date and the codes added and gone.\n"
    "\n"
    "  --ken-all-url URL    where to fetch utf_ken_all.zip (default: the postal\n"
    "                       service's, https://www.post.japanpost.jp/service/search/\n"
    "                       zipcode/download/utf/zip/utf_ken_all.zip)\n"
    "  --jigyosyo-url URL   where to fetch jigyosyo.zip (default: the postal\n"
    "                       service's, .../zipcode/download/office/zip/jigyosyo.zip)\n"
    "  --ken-all FILE       take utf_ken_all.zip already downloaded\n"
    "  --jigyosyo FILE      take jigyosyo.zip already downloaded (a file not\n"
    "                       given is downloaded)\n"
    "  --force              write files older than the dictionary in use\n";

const char kBarcodeUsage[] =
    "Usage: zenrook-postal barcode [--svg FILE | --svg-dir DIR] [--points SIZE] [-d DICTIONARY]\n"
    "\n"
    "Reads addresses from standard input, one a line, in UTF-8, or CODE, a tab\n"
    "and ADDRESS where the postal code is known, and prints for each line the\n"
    "customer barcode (カスタマバーコード) the postal service's manual sets out,\n"
    "tab-separated: the postal code (7 digits), the address number taken from\n"
    "what follows the town (\"1-3-2-503\"), and the 21 characters of the data\n"
    "(7 of the code, 13 of the address number, the check character) separated\n"
    "by blanks: digits, \"-\", CC1 to CC8; start and stop are implied.\n"
    "\n"
    "The town is found as lookup finds it. A business's or post-office box's\n"
    "own code takes thirteen CC4; a box group code (NNN-869N, NNNNN-91) takes\n"
    "the box's number written after it (\"9808691<TAB>私書箱215号\"). An address\n"
    "whose town is not known (only the city's catch-all code) gets no barcode,\n"
    "nor one that fits several places with no code given: the line is answered\n"
    "with empty fields, and the reason goes to standard error with the line\n"
    "number.\n"
    "\n"
    "  --svg FILE       draw the barcode of the one line read into FILE (SVG)\n"
    "  --svg-dir DIR    draw each line's barcode into DIR/line-NNNNNN.svg\n"
    "  --points SIZE    the barcode's size, 8 to 11.5 point (default 10)\n"
    "  -d, --dictionary FILE\n"
    "                   use this dictionary rather than the installed one\n";

const char kCsvUsage[] =
    "Usage: zenrook-postal csv --address COLUMN [--zip COLUMN [--fill]] [--header]\n"
    "                          [--encoding cp932|utf-8] [-d DICTIONARY] < LIST > FILLED\n"
    "\n"
    "Reads an address list (CSV, RFC 4180: quoted fields may hold commas, quotes\n"
    "and line breaks; rows end in CR LF or LF) from standard input and writes it\n"
    "to standard output with four columns added to each row: 郵便番号 (the\n"
    "postal code), 住所 (the address completed as F4 completes it), 確度 (town,\n"
    "business, catch-all, po box, ambiguous or not found, as lookup says; or\n"
    "codes disagree, unknown code or no address where the row's own code is in\n"
    "doubt, with no barcode) and\n"
    "バーコード (the customer barcode's characters, as barcode prints them; empty where\n"
    "there is none). Nothing else changes: no other cell, nor the rows' order,\n"
    "nor their line ends, nor the encoding. A row that cannot be read is named\n"
    "on standard error with its line number and passed on as it came. A\n"
    "character the list's encoding cannot hold stops the run with a message.\n"
    "\n"
    "  --address COLUMN   the address's column: its number from 1, or its name\n"
    "                     in the header row\n"
    "  --zip COLUMN       a column of postal codes known: where one is given, it\n"
    "                     is the row's code\n"
    "  --fill             write the code into the --zip column where it is empty\n"
    "                     (a town's, a business's or a city's code; never an\n"
    "                     ambiguous one) instead of adding the 郵便番号 column\n"
    "  --header           the first row names the columns (and gets the names of\n"
    "                     the added ones)\n"
    "  --encoding cp932|utf-8\n"
    "                     the list's encoding; by default a byte-order mark\n"
    "                     tells, or else what most of the first rows that are\n"
    "                     not ASCII are; an all-ASCII list is taken as UTF-8\n"
    "  -d, --dictionary FILE\n"
    "                     use this dictionary rather than the installed one\n";

// A command's own options are in its own help.
int usageError(const QString &message, const QString &command = {})
{
    const QString help = command.isEmpty() ? u"--help"_s : command + u" --help"_s;
    std::fprintf(stderr, "zenrook-postal: %s (see zenrook-postal %s)\n", qPrintable(message), qPrintable(help));
    return 2;
}

// Standard output, written in blocks; what is answered goes out before the
// program waits for more input, so that a program asking one line at a
// time through a pipe gets each answer.
class Output
{
public:
    bool write(const QByteArray &bytes)
    {
        pending_ += bytes;
        return pending_.size() < (1 << 16) || flush();
    }
    // False once anything could not be written, then and after.
    bool flush()
    {
        if (!failed_
            && (std::fwrite(pending_.constData(), 1, size_t(pending_.size()), stdout) != size_t(pending_.size())
                || std::fflush(stdout) != 0)) {
            failed_ = true;
            error_ = errno;
        }
        pending_.clear();
        return !failed_;
    }
    int error() const { return error_; }  // why the first failure failed

private:
    QByteArray pending_;
    bool failed_ = false;
    int error_ = 0;
};

// Standard input a line at a time, read in blocks of its own: before it
// waits for more, `beforeWaiting` runs.
class InputLines
{
public:
    explicit InputLines(std::function<void()> beforeWaiting) : beforeWaiting_(std::move(beforeWaiting)) {}
    // The next line without its line end; false at the end.
    bool next(QByteArray *line)
    {
        for (;;) {
            const qsizetype end = buffer_.indexOf('\n', start_);
            if (end >= 0) {
                *line = buffer_.sliced(start_, end - start_);
                start_ = end + 1;
                if (line->endsWith('\r'))
                    line->chop(1);
                return true;
            }
            if (atEnd_) {
                if (start_ >= buffer_.size())
                    return false;
                *line = buffer_.sliced(start_);
                start_ = buffer_.size();
                return true;
            }
            buffer_.remove(0, start_);
            start_ = 0;
            beforeWaiting_();
            // Read in large blocks: the lines there are are answered together.
            const qsizetype had = buffer_.size();
            buffer_.resize(had + (1 << 20));
            ssize_t n;
            do
                n = ::read(STDIN_FILENO, buffer_.data() + had, 1 << 20);
            while (n < 0 && errno == EINTR);
            buffer_.resize(had + std::max<ssize_t>(n, 0));
            if (n <= 0) {
                atEnd_ = true;
                failed_ = n < 0;
                error_ = failed_ ? errno : 0;  // lines still answered would change errno
            }
        }
    }
    // Whether next() has a line without waiting for one.
    bool ready() const { return buffer_.indexOf('\n', start_) >= 0 || (atEnd_ && start_ < buffer_.size()); }
    bool failed() const { return failed_; }
    int error() const { return error_; }

private:
    std::function<void()> beforeWaiting_;
    QByteArray buffer_;
    qsizetype start_ = 0;
    bool atEnd_ = false, failed_ = false;
    int error_ = 0;
};

// The dictionary -d names, or the installed one. Says on standard error why
// there is none.
std::unique_ptr<PostalDictionary> dictionaryAt(const QString &dictionary)
{
    const QStringList places = dictionary.isEmpty() ? PostalDictionary::places() : QStringList{dictionary};
    // One there that cannot serve (of another format, damaged) leaves it to
    // the next, as in the window; the first one's reason is said when none can.
    QString why, first;
    for (const QString &place : places) {
        if (auto d = PostalDictionary::open(place, &why))
            return d;
        if (first.isEmpty() && (!dictionary.isEmpty() || QFileInfo::exists(place)))
            first = why;
    }
    why = !first.isEmpty() ? first : u"no postal dictionary found (looked for "_s + places.join(u", "_s) + u")"_s;
    std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(why));
    return nullptr;
}

std::unique_ptr<PostalAddressComponent> component(const QString &dictionary)
{
    auto d = dictionaryAt(dictionary);
    if (!d)
        return nullptr;
    return std::make_unique<PostalAddressComponent>(std::move(d),
                                                    dictionary.isEmpty() ? PostalDictionary::places() : QStringList());
}

bool writeOut(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

// The end of a command that wrote to standard output: what did not reach it
// is an error.
int finishOutput(int code)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zenrook-postal: cannot write the answers: %s\n", std::strerror(errno));
        return 1;
    }
    return code;
}

// Runs a command answering standard input a line at a time.
int answerLines(const std::function<bool(const PostalLookup::Io &)> &command, int *code)
{
    Output out;
    InputLines in([&] { out.flush(); });
    const bool written = command({[&](QByteArray *line) { return in.next(line); },
                                  [&] { return in.ready(); },
                                  [&](const QByteArray &bytes) { return out.write(bytes); },
                                  [&](qint64 number, const QString &why) {
                                      std::fprintf(stderr, "zenrook-postal: line %lld: %s\n", number, qPrintable(why));
                                      *code = std::max(*code, 1);
                                  }});
    if (in.failed()) {
        std::fprintf(stderr, "zenrook-postal: cannot read standard input: %s\n", std::strerror(in.error()));
        *code = std::max(*code, 1);
    }
    if (!written || !out.flush()) {
        std::fprintf(stderr, "zenrook-postal: cannot write the answers: %s\n", std::strerror(out.error()));
        return 1;
    }
    return *code;
}

// The components that share a long list's look-ups, one a core (two at
// most: each holds the dictionary in memory); none when there is no
// dictionary.
std::vector<std::unique_ptr<AddressComponent>> components(const QString &dictionary)
{
    std::vector<std::unique_ptr<AddressComponent>> all;
    auto first = component(dictionary);
    if (!first)
        return {};
    const QString path = first->path();
    all.push_back(std::move(first));
    for (int i = 1; i < std::min(2, QThread::idealThreadCount()); ++i) {
        if (auto d = PostalDictionary::open(path, nullptr, PostalDictionary::Opening::AtFirstLookUp))
            all.push_back(std::make_unique<PostalAddressComponent>(std::move(d), dictionary.isEmpty() ? PostalDictionary::places() : QStringList()));
    }
    return all;
}

int lookup(bool all, const QString &dictionary)
{
    const auto adds = components(dictionary);
    if (adds.empty())
        return 1;
    QList<AddressComponent *> workers;
    for (const auto &a : adds)
        workers.append(a.get());
    int code = 0;
    return answerLines([&](const PostalLookup::Io &io) { return PostalLookup::run(workers, all, io); }, &code);
}

// Writes a file whole, or says why not. A file is replaced only once the
// new one is complete; something that is no file (a device, a pipe) is
// written to, never replaced.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        QFile other(path);
        if (other.open(QIODevice::WriteOnly) && other.write(bytes) == bytes.size() && other.flush())
            return true;
        std::fprintf(stderr, "zenrook-postal: cannot write %s: %s\n", qPrintable(path), qPrintable(other.errorString()));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "zenrook-postal: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

int barcode(const QString &dictionary, const QString &svgFile, const QString &svgDir, double points)
{
    auto add = component(dictionary);
    if (!add)
        return 1;
    if (!svgDir.isEmpty() && !QDir().mkpath(svgDir)) {
        const QFileInfo there(svgDir);
        std::fprintf(stderr, "zenrook-postal: cannot make the folder %s: %s\n", qPrintable(svgDir),
                     there.exists() && !there.isDir() ? "something that is no folder is there" : "permission denied or no such parent");
        return 1;
    }
    int code = 0;
    qint64 lines = 0;
    QByteArray drawing;  // the one line's, for --svg
    code = answerLines(
        [&](const PostalLookup::Io &io) {
            return PostalLookup::eachLine(io, [&](qint64 number, const QString *query) -> QByteArray {
                lines = number;
                if (!query)
                    return "\t\t\n";
                QString zip, address = *query;
                if (const qsizetype tab = query->indexOf(u'\t'); tab >= 0) {
                    zip = query->left(tab);
                    address = query->mid(tab + 1);
                    if (AddressText::zipDigits(zip).isEmpty() || address.contains(u'\t')) {
                        io.warn(number, u"not ADDRESS, nor a postal code, a tab and ADDRESS"_s);
                        return "\t\t\n";
                    }
                }
                const AddressBarcode b = addressBarcode(*add, zip, address);
                if (b.characters.isEmpty()) {
                    io.warn(number, b.reason);
                    return "\t\t\n";
                }
                auto svg = [&] { return CustomerBarcode::svg(b.characters, points).toUtf8(); };
                if (!svgFile.isEmpty() && number == 1)
                    drawing = svg();
                if (!svgDir.isEmpty()
                    && !writeFile(QDir(svgDir).filePath(u"line-%1.svg"_s.arg(number, 6, 10, QLatin1Char('0'))), svg()))
                    code = 1;
                return b.zip.toUtf8() + '\t' + b.number.toUtf8() + '\t' + b.characters.join(u' ').toUtf8() + '\n';
            });
        },
        &code);
    if (!svgFile.isEmpty()) {
        if (lines != 1) {
            std::fprintf(stderr, "zenrook-postal: --svg draws the barcode of one line, and %lld were read; "
                                 "use --svg-dir DIR for several\n", lines);
            code = 2;
        } else if (!drawing.isEmpty() && !writeFile(svgFile, drawing)) {
            code = 1;
        }
    }
    return code;
}

int csv(const QString &dictionary, const PostalCsv::Options &options)
{
    const auto adds = components(dictionary);
    if (adds.empty())
        return 1;
    QList<AddressComponent *> workers;
    for (const auto &a : adds)
        workers.append(a.get());
    int code = 0;
    int ioError = 0;  // what the system said of a list that could not be read or written
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
             if (writeOut(bytes))
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
    return finishOutput(code);
}

int info(const QString &dictionary)
{
    const auto d = dictionaryAt(dictionary);
    if (!d)
        return 1;
    const PostalDictionary::Info i = d->info();
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(d->path()));
    const bool own = QFileInfo(path) == QFileInfo(PostalDictionary::usersOwn());
    std::printf("source: %s\nversion: %s\ndata date: %s\ncodes: %lld\ntowns: %lld\nbusiness codes: %lld\n"
                "dictionary: %s\nkind: %s\n",
                qPrintable(i.source), qPrintable(i.version), qPrintable(i.date), i.codes, i.towns, i.business,
                qPrintable(path),
                own ? "your own, written by zenrook-postal update"
                    : dictionary.isEmpty() ? "shipped with the program (zenrook-postal update writes your own)"
                                           : "given with --dictionary");
    return finishOutput(0);
}

// The dictionary the programs use now without -d: the first that opens.
QString dictionaryInUse()
{
    for (const QString &place : PostalDictionary::places()) {
        if (PostalDictionary::open(place, nullptr, PostalDictionary::Opening::AtFirstLookUp))
            return place;
    }
    return QString();
}

int update(const QHash<QString, QString> &given)
{
    PostalUpdate::Options o;
    for (const auto &[option, url] : {std::pair{u"--ken-all-url"_s, &o.kenAllUrl}, std::pair{u"--jigyosyo-url"_s, &o.jigyosyoUrl}}) {
        if (!given.contains(option))
            continue;
        *url = QUrl::fromUserInput(given.value(option));
        if (!url->isValid() || url->scheme().isEmpty())
            return usageError(u"update: %1 is no URL: %2"_s.arg(option, given.value(option)), u"update"_s);
    }
    o.kenAllFile = given.value(u"--ken-all"_s);
    o.jigyosyoFile = given.value(u"--jigyosyo"_s);
    o.force = given.contains(u"--force"_s);
    o.output = PostalDictionary::usersOwn();
    o.inUse = dictionaryInUse();
    const bool terminal = ::isatty(STDERR_FILENO);
    qsizetype shown = 0;  // of the progress line
    PostalUpdate::Report report;
    if (terminal) {
        report.progress = [&](const QString &text) {
            const QByteArray bytes = text.toUtf8();
            std::fprintf(stderr, "\r%-*s\r%s", int(shown), "", bytes.constData());
            std::fflush(stderr);
            shown = bytes.size();
        };
    }
    report.line = [](const QString &text) { std::printf("%s\n", qPrintable(text)); };
    QString why;
    const int code = PostalUpdate::run(o, report, &why);
    if (terminal && shown > 0)
        std::fprintf(stderr, "\r%-*s\r", int(shown), "");
    if (code != 0) {
        std::fprintf(stderr, "zenrook-postal: update: %s\n", qPrintable(why));
        return code;
    }
    return finishOutput(0);
}

int import(const QString &kenAll, const QString &jigyosyo, const QString &output)
{
    if (kenAll.isEmpty() && jigyosyo.isEmpty())
        return usageError(u"import needs --ken-all, --jigyosyo or both"_s, u"import"_s);
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
    auto count = [](qint64 n, const char *one, const char *many) { return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many); };
    std::printf("%s: %s, %s, %s (%s %s, data of %s)\n", qPrintable(output), qPrintable(count(r.codes, "code", "codes")),
                qPrintable(count(r.towns, "town", "towns")),
                qPrintable(count(r.business, "business code", "business codes")), qPrintable(source.source),
                qPrintable(r.version), qPrintable(source.date));
    return finishOutput(0);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError(u"no command"_s);
    const QString command = args.takeFirst();
    if (command == u"--help"_s || command == u"-h"_s) {
        std::fputs(kUsage, stdout);
        return finishOutput(0);
    }
    if (command == u"--version"_s) {
        std::printf("zenrook-postal %s\n", ZENROOK_VERSION);  // the dictionary's: info
        return finishOutput(0);
    }
    const QHash<QString, const char *> usages{{u"lookup"_s, kLookupUsage},
                                              {u"info"_s, kInfoUsage},
                                              {u"import"_s, kImportUsage},
                                              {u"update"_s, kUpdateUsage},
                                              {u"barcode"_s, kBarcodeUsage},
                                              {u"csv"_s, kCsvUsage}};
    const char *usage = usages.value(command);
    if (!usage)
        return usageError(u"unknown command: "_s + command);
    // The options each command takes, and whether each takes a value.
    const QHash<QString, QHash<QString, bool>> known{
        {u"lookup"_s, {{u"--all"_s, false}, {u"--dictionary"_s, true}}},
        {u"info"_s, {{u"--dictionary"_s, true}}},
        {u"import"_s, {{u"--ken-all"_s, true}, {u"--jigyosyo"_s, true}, {u"-o"_s, true}}},
        {u"update"_s,
         {{u"--ken-all-url"_s, true}, {u"--jigyosyo-url"_s, true}, {u"--ken-all"_s, true}, {u"--jigyosyo"_s, true},
          {u"--force"_s, false}}},
        {u"barcode"_s, {{u"--svg"_s, true}, {u"--svg-dir"_s, true}, {u"--points"_s, true}, {u"--dictionary"_s, true}}},
        {u"csv"_s,
         {{u"--address"_s, true}, {u"--zip"_s, true}, {u"--fill"_s, false}, {u"--header"_s, false},
          {u"--encoding"_s, true}, {u"--dictionary"_s, true}}},
    };
    QHash<QString, QString> given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i), value;
        if (name == u"--help"_s || name == u"-h"_s) {
            std::fputs(usage, stdout);
            return finishOutput(0);
        }
        const bool joined = name.startsWith(u"--"_s) && name.contains(u'=');
        if (joined) {
            value = name.section(u'=', 1);
            name = name.section(u'=', 0, 0);
        }
        if (name == u"-d"_s)
            name = u"--dictionary"_s;
        const auto option = known.value(command).constFind(name);
        if (option == known.value(command).cend())
            return usageError((name.startsWith(u'-') ? u"%1: unknown option %2"_s : u"%1: unexpected argument %2"_s)
                                  .arg(command, name),
                              command);
        if (*option && !joined) {
            if (i + 1 >= args.size())
                return usageError(u"%1: %2 needs a value"_s.arg(command, name), command);
            value = args.at(++i);
        } else if (!*option && joined) {
            return usageError(u"%1: %2 takes no value"_s.arg(command, name), command);
        }
        if (*option && value.isEmpty())
            return usageError(u"%1: %2 needs a value"_s.arg(command, name), command);
        given.insert(name, value);
    }
    const QString dictionary = given.value(u"--dictionary"_s);
    if (command == u"lookup"_s)
        return lookup(given.contains(u"--all"_s), dictionary);
    if (command == u"info"_s)
        return info(dictionary);
    if (command == u"update"_s)
        return update(given);
    if (command == u"csv"_s) {
        PostalCsv::Options o;
        o.address = given.value(u"--address"_s);
        o.zip = given.value(u"--zip"_s);
        o.header = given.contains(u"--header"_s);
        o.fill = given.contains(u"--fill"_s);
        const QString encoding = given.value(u"--encoding"_s).toLower();
        if (o.address.isEmpty())
            return usageError(u"csv: --address COLUMN is needed"_s, u"csv"_s);
        if (o.fill && o.zip.isEmpty())
            return usageError(u"csv: --fill writes into the --zip column; name it"_s, u"csv"_s);
        if (encoding == u"cp932"_s || encoding == u"shift_jis"_s || encoding == u"sjis"_s)
            o.encoding = PostalCsv::Encoding::Cp932;
        else if (encoding == u"utf-8"_s || encoding == u"utf8"_s)
            o.encoding = PostalCsv::Encoding::Utf8;
        else if (!encoding.isEmpty())
            return usageError(u"csv: --encoding is cp932 or utf-8"_s, u"csv"_s);
        return csv(dictionary, o);
    }
    if (command == u"barcode"_s) {
        bool number = true;
        const double points = given.value(u"--points"_s, u"10"_s).toDouble(&number);
        if (!number || !(points >= 8 && points <= 11.5))  // NaN too
            return usageError(u"barcode: --points takes a size from 8 to 11.5"_s, u"barcode"_s);
        if (given.contains(u"--svg"_s) && given.contains(u"--svg-dir"_s))
            return usageError(u"barcode: --svg and --svg-dir do not go together"_s, u"barcode"_s);
        return barcode(dictionary, given.value(u"--svg"_s), given.value(u"--svg-dir"_s), points);
    }
    return import(given.value(u"--ken-all"_s), given.value(u"--jigyosyo"_s),
                  given.value(u"-o"_s, QString::fromLatin1(kPostalDictionaryName)));
}
