#pragma once
// A list printed as mail into one PDF, a page at a time: postcards, one a
// row, or sheets of labels, a label a row after those already used.

#include "postal/print/LabelSheet.h"
#include "postal/print/MailList.h"
#include "postal/print/PdfCanvas.h"
#include "postal/print/PostcardPage.h"

namespace PrintRun {

enum class Layout { Postcard, Labels };

struct Options {
    Layout layout = Layout::Postcard;
    LabelSheet sheet;       // for labels
    int skip = 0;           // labels of the first sheet already used
    double offsetX = 0, offsetY = 0;  // mm, the printer's drift
    QString family;         // the font
    Sender from;            // for postcards
};

// Where a piece of mail goes: its page from 1, and on a sheet its label's
// column and row from 1.
struct Place {
    int page = 0, column = 0, row = 0;
};
Place placeOf(const Options &options, qint64 index);

// Prints every piece of mail the list gives through `write`; `placed` hears
// of each. The number printed, or -1 with the reason.
qint64 run(MailList &list, const Options &options, const PdfCanvas::Write &write,
           const std::function<void(const Mail &, const Place &)> &placed, QString *why);

// The pieces of mail and their places, nothing drawn.
qint64 dryRun(MailList &list, const Options &options, const std::function<void(const Mail &, const Place &)> &placed);

}  // namespace PrintRun
