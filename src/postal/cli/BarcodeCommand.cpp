// zenrook-postal barcode: the customer barcode of each address read, and
// its drawing.

#include "postal/cli/Command.h"
#include "postal/cli/Dictionaries.h"
#include "postal/cli/StandardStreams.h"
#include "postal/cli/UsageTexts.h"
#include "postal/addresses/AddressText.h"
#include "postal/mail/AddressBarcode.h"
#include "postal/mail/CustomerBarcode.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// A line's answer: code, address number and characters, tab-separated; the
// drawing goes where it was asked to.
struct Drawings {
    QString file, dir;
    double points = 10;
    QByteArray first;  // the first line's, for --svg
    bool failed = false;
};

QByteArray answer(AddressComponent &add, const PostalLookup::Io &io, qint64 number, const QString &query, Drawings &drawings)
{
    QString zip, address = query;
    if (const qsizetype tab = query.indexOf(u'\t'); tab >= 0) {
        zip = query.left(tab);
        address = query.mid(tab + 1);
        if (AddressText::zipDigits(zip).isEmpty() || address.contains(u'\t')) {
            io.warn(number, u"not ADDRESS, nor a postal code, a tab and ADDRESS"_s);
            return "\t\t\n";
        }
    }
    const AddressBarcode b = addressBarcode(add, zip, address);
    if (b.characters.isEmpty()) {
        io.warn(number, b.reason);
        return "\t\t\n";
    }
    auto svg = [&] { return CustomerBarcode::svg(b.characters, drawings.points).toUtf8(); };
    if (!drawings.file.isEmpty() && number == 1)
        drawings.first = svg();
    if (!drawings.dir.isEmpty()
        && !Cli::writeFile(QDir(drawings.dir).filePath(u"line-%1.svg"_s.arg(number, 6, 10, QLatin1Char('0'))), svg()))
        drawings.failed = true;
    return b.zip.toUtf8() + '\t' + b.number.toUtf8() + '\t' + b.characters.join(u' ').toUtf8() + '\n';
}

}  // namespace

int barcodeCommand(const QStringList &arguments)
{
    const QCommandLineOption svgFile(u"svg"_s, u"draw the barcode of the one line read into FILE (SVG)"_s, u"FILE"_s);
    const QCommandLineOption svgDir(u"svg-dir"_s, u"draw each line's barcode into DIR/line-NNNNNN.svg"_s, u"DIR"_s);
    const QCommandLineOption pointsOption(u"points"_s, u"the barcode's size, 8 to 11.5 point (default 10)"_s, u"SIZE"_s,
                                          u"10"_s);
    const QCommandLineOption dictionary = Cli::dictionaryOption();
    QCommandLineParser parser;
    if (const auto done = Cli::parse(parser, u"barcode"_s, {svgFile, svgDir, pointsOption, dictionary}, arguments,
                                     Cli::UsageTexts::kBarcode))
        return *done;
    Drawings drawings;
    drawings.file = parser.value(svgFile);
    drawings.dir = parser.value(svgDir);
    bool number = true;
    drawings.points = parser.value(pointsOption).toDouble(&number);
    if (!number || !(drawings.points >= 8 && drawings.points <= 11.5))  // NaN too
        return Cli::usageError(u"barcode: --points takes a size from 8 to 11.5"_s, u"barcode"_s);
    if (parser.isSet(svgFile) && parser.isSet(svgDir))
        return Cli::usageError(u"barcode: --svg and --svg-dir do not go together"_s, u"barcode"_s);

    auto add = Cli::component(parser.value(dictionary));
    if (!add)
        return 1;
    if (!drawings.dir.isEmpty() && !QDir().mkpath(drawings.dir)) {
        const QFileInfo there(drawings.dir);
        std::fprintf(stderr, "zenrook-postal: cannot make the folder %s: %s\n", qPrintable(drawings.dir),
                     there.exists() && !there.isDir() ? "something that is no folder is there" : "permission denied or no such parent");
        return 1;
    }
    int code = 0;
    qint64 lines = 0;
    code = Cli::answerLines(
        [&](const PostalLookup::Io &io) {
            return PostalLookup::eachLine(io, [&](qint64 number, const QString *query) -> QByteArray {
                lines = number;
                return query ? answer(*add, io, number, *query, drawings) : QByteArray("\t\t\n");
            });
        },
        &code);
    if (drawings.failed)
        code = std::max(code, 1);
    if (!drawings.file.isEmpty()) {
        if (lines != 1) {
            std::fprintf(stderr, "zenrook-postal: --svg draws the barcode of one line, and %lld were read; "
                                 "use --svg-dir DIR for several\n", lines);
            code = 2;
        } else if (!drawings.first.isEmpty() && !Cli::writeFile(drawings.file, drawings.first)) {
            code = 1;
        }
    }
    return code;
}
