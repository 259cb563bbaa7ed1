#include "postal/print/PdfCanvas.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <cmath>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

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
    pango_layout_set_wrap(l, PANGO_WRAP_CHAR);
    const QByteArray utf8 = text.toUtf8();
    pango_layout_set_text(l, utf8.constData(), int(utf8.size()));
    return l;
}

double PdfCanvas::text(double x, double y, double width, const QString &text, double points, Align align)
{
    PangoLayout *l = layout(text, points, false);
    pango_layout_set_width(l, int(pt(width) * PANGO_SCALE));
    pango_layout_set_alignment(l, align == Align::Centre ? PANGO_ALIGN_CENTER : PANGO_ALIGN_LEFT);
    cairo_move_to(cr_, pt(x + offsetX_), pt(y + offsetY_));
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
