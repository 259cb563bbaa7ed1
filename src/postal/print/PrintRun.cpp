#include "postal/print/PrintRun.h"

#include "postal/print/LabelPage.h"

namespace PrintRun {

Place placeOf(const Options &options, qint64 index)
{
    if (options.layout == Layout::Postcard)
        return {int(index + 1), 1, 1};
    const qint64 slot = index + options.skip;
    const int on = int(slot % options.sheet.perSheet());
    return {int(slot / options.sheet.perSheet() + 1), on % options.sheet.across + 1, on / options.sheet.across + 1};
}

qint64 run(MailList &list, const Options &options, const PdfCanvas::Write &write,
           const std::function<void(const Mail &, const Place &)> &placed, QString *why)
{
    const bool cards = options.layout == Layout::Postcard;
    PdfCanvas canvas(write, options.family, cards ? PostcardPage::kWidth : options.sheet.pageWidth,
                     cards ? PostcardPage::kHeight : options.sheet.pageHeight);
    canvas.setOffset(options.offsetX, options.offsetY);
    Mail mail;
    qint64 count = 0;
    int page = 1;
    while (list.next(&mail)) {
        const Place at = placeOf(options, count);
        // Pages are ended as the next begins: the last stays open for the end.
        for (; page < at.page; ++page)
            canvas.nextPage();
        if (cards) {
            PostcardPage::draw(canvas, mail, options.from);
        } else {
            const int n = (at.row - 1) * options.sheet.across + at.column - 1;
            LabelPage::draw(canvas, options.sheet.xOf(n), options.sheet.yOf(n), options.sheet, mail);
        }
        placed(mail, at);
        ++count;
    }
    if (!canvas.finish(why))
        return -1;
    return count;
}

qint64 dryRun(MailList &list, const Options &options, const std::function<void(const Mail &, const Place &)> &placed)
{
    Mail mail;
    qint64 count = 0;
    while (list.next(&mail))
        placed(mail, placeOf(options, count++));
    return count;
}

}  // namespace PrintRun
