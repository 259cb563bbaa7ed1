#include "postal/print/PdfCanvas.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <cmath>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// What a line or a column must not be broken inside: a number (in digits or
// in kanji, with the dashes between its parts), a word in katakana, a word
// in Latin letters. Between such runs and kanji, the usual rules of line
// breaking hold (no line begins with "・" or ends with "（").
enum class Run { None, Number, Katakana, Latin };

Run runOf(char16_t u, char16_t before, char16_t after)
{
    static const QString kanjiDigits = QStringLiteral("〇一二三四五六七八九");
    auto digit = [&](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19) || kanjiDigits.contains(QChar(c));
    };
    if (digit(u) || ((u == u'-' || u == 0x2015 || u == 0xFF0D) && digit(before) && digit(after)))
        return Run::Number;
    if ((u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC || (u >= 0xFF66 && u <= 0xFF9F))
        return Run::Katakana;
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A))
        return Run::Latin;
    return Run::None;
}

// The runs of a text as attributes that keep each whole where it can be.
PangoAttrList *unbroken(const QString &text)
{
    PangoAttrList *list = pango_attr_list_new();
    guint byte = 0, start = 0;
    Run current = Run::None;
    qsizetype length = 0;
    auto close = [&] {
        if (current != Run::None && length > 1) {
            PangoAttribute *a = pango_attr_allow_breaks_new(FALSE);
            a->start_index = start;
            a->end_index = byte;
            pango_attr_list_insert(list, a);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const Run run = runOf(u, i > 0 ? text.at(i - 1).unicode() : 0, i + 1 < text.size() ? text.at(i + 1).unicode() : 0);
        if (run != current) {
            close();
            current = run, start = byte, length = 0;
        }
        ++length;
        byte += u < 0x80 ? 1 : u < 0x800 ? 2 : QChar::isHighSurrogate(u) ? 0 : QChar::isLowSurrogate(u) ? 4 : 3;
    }
    close();
    return list;
}

}  // namespace

PdfCanvas::PdfCanvas(Write write, const QString &family, double width, double height)
    : write_(std::move(write)),
      surface_(cairo_pdf_surface_create_for_stream(
          [](void *closure, const unsigned char *data, unsigned int length) {
              const Write &w = static_cast<PdfCanvas *>(closure)->write_;
              return w(reinterpret_cast<const char *>(data), qsizetype(length)) ? CAIRO_STATUS_SUCCESS
                                                                                 : CAIRO_STATUS_WRITE_ERROR;
          },
          this, width * kPointsPerMm, height * kPointsPerMm)),
      cr_(cairo_create(surface_)), font_(pango_font_description_new())
{
    pango_font_description_set_family(font_, family.toUtf8().constData());
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "zenrook-postal print");
}

PdfCanvas::~PdfCanvas()
{
    pango_font_description_free(font_);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

double PdfCanvas::pt(double mm) const
{
    return mm * kPointsPerMm;
}

PangoLayout *PdfCanvas::layout(const QString &text, double points, bool vertical)
{
    PangoLayout *l = pango_cairo_create_layout(cr_);
    PangoContext *context = pango_layout_get_context(l);
    // Positions as the font gives them, not rounded to whole points.
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    if (vertical) {
        // Every glyph upright, in its vertical form where the font has one
        // (ー, 「」, （）, small kana), letters and digits too.
        pango_context_set_base_gravity(context, PANGO_GRAVITY_EAST);
        pango_context_set_gravity_hint(context, PANGO_GRAVITY_HINT_STRONG);
    }
    pango_font_description_set_absolute_size(font_, points * PANGO_SCALE);
    pango_layout_set_font_description(l, font_);
    pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
    const QByteArray utf8 = text.toUtf8();
    pango_layout_set_text(l, utf8.constData(), int(utf8.size()));
    PangoAttrList *attributes = unbroken(text);
    pango_layout_set_attributes(l, attributes);
    pango_attr_list_unref(attributes);
    return l;
}

double PdfCanvas::text(double x, double y, double width, const QString &text, double points, Align align, bool measureOnly)
{
    PangoLayout *l = layout(text, points, false);
    pango_layout_set_width(l, int(pt(width) * PANGO_SCALE));
    pango_layout_set_alignment(l, align == Align::Centre ? PANGO_ALIGN_CENTER : PANGO_ALIGN_LEFT);
    cairo_move_to(cr_, pt(x + offsetX_), pt(y + offsetY_));
    if (!measureOnly)
        pango_cairo_show_layout(cr_, l);
    int w = 0, h = 0;
    pango_layout_get_size(l, &w, &h);
    g_object_unref(l);
    return h / double(PANGO_SCALE) / kPointsPerMm;
}

double PdfCanvas::columns(double right, double top, double height, const QString &text, double points, bool measureOnly)
{
    PangoLayout *l = layout(text, points, true);
    pango_layout_set_width(l, int(pt(height) * PANGO_SCALE));
    // Turned a quarter clockwise about the first column's top right: the
    // layout's lines run down the page, and follow one another leftwards.
    cairo_save(cr_);
    cairo_translate(cr_, pt(right + offsetX_), pt(top + offsetY_));
    cairo_rotate(cr_, M_PI / 2);
    cairo_move_to(cr_, 0, 0);  // the layout is set from the current point
    pango_cairo_update_context(cr_, pango_layout_get_context(l));
    pango_layout_context_changed(l);
    if (!measureOnly)
        pango_cairo_show_layout(cr_, l);
    cairo_restore(cr_);
    int w = 0, h = 0;
    pango_layout_get_size(l, &w, &h);
    g_object_unref(l);
    return h / double(PANGO_SCALE) / kPointsPerMm;
}

double PdfCanvas::columnLength(const QString &text, double points)
{
    PangoLayout *l = layout(text, points, true);
    cairo_save(cr_);
    cairo_rotate(cr_, M_PI / 2);
    pango_cairo_update_context(cr_, pango_layout_get_context(l));
    pango_layout_context_changed(l);
    cairo_restore(cr_);
    int w = 0, h = 0;
    pango_layout_get_size(l, &w, &h);
    g_object_unref(l);
    return w / double(PANGO_SCALE) / kPointsPerMm;
}

void PdfCanvas::rectangle(double x, double y, double width, double height, bool filled, double line)
{
    cairo_rectangle(cr_, pt(x + offsetX_), pt(y + offsetY_), pt(width), pt(height));
    if (filled) {
        cairo_fill(cr_);
    } else {
        cairo_set_line_width(cr_, pt(line));
        cairo_stroke(cr_);
    }
}

void PdfCanvas::nextPage()
{
    cairo_show_page(cr_);
}

bool PdfCanvas::finish(QString *why)
{
    cairo_surface_finish(surface_);
    const cairo_status_t status = cairo_surface_status(surface_);
    if (status != CAIRO_STATUS_SUCCESS) {
        *why = QString::fromUtf8(cairo_status_to_string(status));
        return false;
    }
    return true;
}
