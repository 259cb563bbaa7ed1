// zenrook-postal print: a list printed as mail, postcards or labels, in one PDF.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/UsageTexts.h"
#include "postal/addresses/AddressText.h"
#include "postal/print/LabelPage.h"
#include "postal/print/PrintFont.h"
#include "postal/print/PrintRun.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Given {
    PrintRun::Options print;
    MailColumns columns;
    QString output, dictionary;
    bool dryRun = false;
};

// The options that say where and how: a usage mistake's words, or "".
QString layoutOf(const QCommandLineParser &p, Given *g)
{
    const QString layout = p.value(u"layout"_s).toLower();
    if (layout != u"postcard"_s && layout != u"labels"_s)
        return u"--layout is postcard or labels"_s;
    g->print.layout = layout == u"postcard"_s ? PrintRun::Layout::Postcard : PrintRun::Layout::Labels;
    // An option of the other layout is a slip that would waste a stack of cards.
    const bool labels = g->print.layout == PrintRun::Layout::Labels;
    for (const QString &o : {u"sheet"_s, u"sheet-file"_s, u"skip"_s}) {
        if (!labels && p.isSet(o))
            return u"--%1 is for labels: say --layout labels"_s.arg(o);
    }
    for (const QString &o : {u"from-name"_s, u"from-address"_s, u"from-zip"_s}) {
        if (labels && p.isSet(o))
            return u"--%1 is for postcards: labels carry no sender"_s.arg(o);
    }
    if (p.isSet(u"sheet"_s) && p.isSet(u"sheet-file"_s))
        return u"--sheet and --sheet-file do not go together"_s;
    QString why;
    const std::optional<LabelSheet> sheet = p.isSet(u"sheet-file"_s) ? LabelSheet::fromFile(p.value(u"sheet-file"_s), &why)
                                                                     : LabelSheet::named(p.value(u"sheet"_s));
    if (!sheet)
        return why.isEmpty() ? u"--sheet is A4-12 or A4-24 (or give --sheet-file FILE)"_s : why;
    g->print.sheet = *sheet;
    bool number = false;
    g->print.skip = p.value(u"skip"_s).toInt(&number);
    if (!number || g->print.skip < 0 || g->print.skip >= g->print.sheet.perSheet())
        return u"--skip takes the number of labels already used on the first sheet, 0 to %1"_s.arg(g->print.sheet.perSheet() - 1);
    const QStringList offset = p.value(u"offset"_s).split(u',');
    bool x = false, y = false;
    if (offset.size() == 2) {
        g->print.offsetX = offset.at(0).toDouble(&x);
        g->print.offsetY = offset.at(1).toDouble(&y);
    }
    if (!x || !y || !(std::abs(g->print.offsetX) <= 20) || !(std::abs(g->print.offsetY) <= 20))  // NaN too
        return u"--offset takes X,Y in mm, each from -20 to 20 (\"1.5,-0.5\")"_s;
    const QString fromZip = p.value(u"from-zip"_s);
    if (!fromZip.isEmpty() && AddressText::zipDigits(fromZip).isEmpty())
        return u"--from-zip is no postal code: "_s + fromZip;
    g->print.from = {p.value(u"from-name"_s), p.value(u"from-address"_s), AddressText::zipDigits(fromZip)};
    return QString();
}

// The PDF written: to standard output for "-", through something that is
// no file (a device, a pipe), or as a file that replaces the one there only
// once it is whole and holds a page. The number of rows printed, or -1
// when the PDF could not be written (said).
qint64 toPdf(MailList &list, const Given &g, const std::function<void(const Mail &, const PrintRun::Place &)> &placed)
{
    QString why;
    auto failed = [&](const QString &reason) {
        std::fprintf(stderr, "zenrook-postal: cannot write %s: %s\n", qPrintable(g.output), qPrintable(reason));
        return qint64(-1);
    };
    const QFileInfo target(g.output);
    if (g.output == u"-"_s || (target.exists() && !target.isFile())) {
        QFile out;
        const bool opened = g.output == u"-"_s ? out.open(stdout, QIODevice::WriteOnly) : (out.setFileName(g.output), out.open(QIODevice::WriteOnly));
        if (!opened)
            return failed(out.errorString());
        const qint64 count = PrintRun::run(list, g.print, [&](const char *data, qsizetype size) { return out.write(data, size) == size; },
                                           placed, &why);
        if (count < 0 || !out.flush())
            return failed(count < 0 ? why : out.errorString());
        return count;
    }
    QSaveFile file(g.output);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const qint64 count = PrintRun::run(list, g.print, [&](const char *data, qsizetype size) { return file.write(data, size) == size; },
                                       placed, &why);
    if (count == 0) {
        file.cancelWriting();  // an empty list leaves a PDF there as it was
        return 0;
    }
    if (count < 0 || !file.commit())
        return failed(count < 0 ? why : file.errorString());
    return count;
}

int printed(MailList &list, const Given &g)
{
    int code = 0;
    const bool labels = g.print.layout == PrintRun::Layout::Labels;
    // Postcards carry no barcode: it goes on labels wide enough for it.
    const bool bars = labels && LabelPage::barcodePoints(g.print.sheet) > 0;
    if (labels && !bars)
        std::fprintf(stderr, "zenrook-postal: labels %.1f mm wide are too narrow for the customer barcode (%.1f mm at 8 "
                             "point with its quiet zone): the labels are printed without it\n",
                     g.print.sheet.width, LabelPage::barcodeWidth(8));
    auto placed = [&](const Mail &m, const PrintRun::Place &at) {
        if (!g.dryRun)
            return;
        const QString place = labels ? u"page %1, column %2, row %3"_s.arg(at.page).arg(at.column).arg(at.row)
                                     : u"page %1"_s.arg(at.page);
        std::printf("line %lld\t%s\t%s\t%s%s\n", m.line, qPrintable(place), qPrintable(m.zip), qPrintable(m.name),
                    !labels ? "" : bars && !m.barcode.isEmpty() ? "\tbarcode" : "\tno barcode");
    };
    qint64 count = 0;
    QString why;
    if (g.dryRun) {
        count = PrintRun::dryRun(list, g.print, placed);
    } else {
        count = toPdf(list, g, placed);
    }
    if (list.failed()) {
        std::fprintf(stderr, "zenrook-postal: the list could not be read to its end; what was read is printed\n");
        code = 1;
    }
    if (count < 0)
        return 1;
    if (count == 0) {
        std::fprintf(stderr, "zenrook-postal: the list has no rows to print%s\n", g.dryRun ? "" : "; no PDF written");
        return 1;
    }
    return code;
}

}  // namespace

int printCommand(const QStringList &arguments)
{
    const QList<QCommandLineOption> options{
        {u"layout"_s, u"postcard (100 × 148 mm, one a row, written top to bottom) or labels (sheets of labels, written across)"_s,
         u"LAYOUT"_s, u"postcard"_s},
        {u"o"_s, u"the PDF to write"_s, u"FILE"_s},
        {u"address"_s, u"the address's column: its number from 1, or its name in the header row"_s, u"COLUMN"_s},
        {u"name"_s, u"the name's column"_s, u"COLUMN"_s},
        {u"zip"_s, u"the postal code's column; where a row has none, the look-up gives it"_s, u"COLUMN"_s},
        {u"company"_s, u"the company's column"_s, u"COLUMN"_s},
        {u"title"_s, u"what follows the name (default 様; 御中 where a company has no name)"_s, u"TEXT"_s},
        {u"header"_s, u"the first row names the columns"_s},
        {u"encoding"_s, u"the list's encoding, cp932 or utf-8; by default told as csv tells it"_s, u"ENCODING"_s},
        {u"sheet"_s, u"labels: A4-12 (2 × 6 of 86.4 × 42.3 mm) or A4-24 (3 × 8 of 66.0 × 33.9 mm)"_s, u"SHEET"_s, u"A4-12"_s},
        {u"sheet-file"_s, u"labels: a sheet of other labels described in FILE"_s, u"FILE"_s},
        {u"skip"_s, u"labels: how many of the first sheet's labels are already used"_s, u"N"_s, u"0"_s},
        {u"offset"_s, u"move everything printed by X,Y mm, for a printer's drift"_s, u"X,Y"_s, u"0,0"_s},
        {u"font"_s, u"the font to print in (default: IPA明朝, of fonts-ipafont-mincho)"_s, u"FILE"_s},
        {u"from-name"_s, u"postcards: the sender's name"_s, u"TEXT"_s},
        {u"from-address"_s, u"postcards: the sender's address"_s, u"TEXT"_s},
        {u"from-zip"_s, u"postcards: the sender's postal code"_s, u"CODE"_s},
        {u"dry-run"_s, u"write no PDF: list each row with its page and place"_s},
        Cli::dictionaryOption(),
    };
    QCommandLineParser p;
    if (const auto done = Cli::parse(p, u"print"_s, options, arguments, Cli::UsageTexts::kPrint))
        return *done;
    Given g;
    g.dryRun = p.isSet(u"dry-run"_s);
    g.output = p.value(u"o"_s);
    g.columns = {p.value(u"name"_s), p.value(u"address"_s), p.value(u"zip"_s), p.value(u"company"_s), p.value(u"title"_s),
                 p.isSet(u"header"_s), PostalCsv::Encoding::Detect};
    const std::optional<PostalCsv::Encoding> encoding = Cli::encodingNamed(p.value(u"encoding"_s));
    if (!encoding)
        return Cli::usageError(u"print: --encoding is cp932 or utf-8"_s, u"print"_s);
    g.columns.encoding = *encoding;
    if (g.columns.address.isEmpty())
        return Cli::usageError(u"print: --address COLUMN is needed"_s, u"print"_s);
    if (g.output.isEmpty() == !g.dryRun)
        return Cli::usageError(g.dryRun ? u"print: --dry-run writes no PDF: leave -o out"_s
                                        : u"print: -o FILE.pdf is needed (or --dry-run)"_s,
                               u"print"_s);
    if (const QString mistake = layoutOf(p, &g); !mistake.isEmpty())
        return Cli::usageError(u"print: "_s + mistake, u"print"_s);
    QString why;
    const std::optional<QString> family = PrintFont::family(p.value(u"font"_s), &why);
    if (!family) {
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(why));
        return 1;
    }
    g.print.family = *family;
    auto add = Cli::component(p.value(u"dictionary"_s));
    if (!add)
        return 1;
    int named = 0;
    MailList list(*add, g.columns, [](char *buffer, qsizetype size) -> qsizetype {
        const size_t n = std::fread(buffer, 1, size_t(size), stdin);
        return n == 0 && std::ferror(stdin) ? -1 : qsizetype(n);
    }, [&](qint64 line, const QString &w) {
        // Line 0 is a word on the whole list.
        if (line > 0) {
            ++named;
            std::fprintf(stderr, "zenrook-postal: line %lld: %s\n", line, qPrintable(w));
        } else {
            std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(w));
        }
    });
    if (!list.open(&why)) {
        if (why.startsWith(u"no column"_s))
            return Cli::usageError(u"print: "_s + why, u"print"_s);
        std::fprintf(stderr, "zenrook-postal: %s\n", qPrintable(why));
        return 1;
    }
    const int code = printed(list, g);
    return code != 0 ? code : Cli::finishOutput(named > 0 ? 1 : 0);
}
