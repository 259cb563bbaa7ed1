#pragma once
// A PDF written a page at a time, drawn on in millimetres from the page's
// top left: text set with its font embedded (a subset) and kept as text,
// across or in columns top to bottom; rectangles; pages of any size.

#include <QString>

#include <functional>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;

class PdfCanvas
{
public:
    // Writing through `write` as pages are finished (false: it could not),
    // with text in the font family given; the pages `width` × `height` mm.
    using Write = std::function<bool(const char *data, qsizetype size)>;
    PdfCanvas(Write write, const QString &family, double width, double height);
    ~PdfCanvas();
    PdfCanvas(const PdfCanvas &) = delete;
    PdfCanvas &operator=(const PdfCanvas &) = delete;

    // What everything drawn is moved by: a printer's drift.
    void setOffset(double x, double y) { offsetX_ = x, offsetY_ = y; }

    enum class Align { Left, Centre };
    // Text across, its top left at (x, y), broken into lines `width` wide;
    // the height it took. With `measureOnly`, nothing is drawn. Lines and
    // columns are not broken inside a number or a word in katakana or Latin
    // letters where they can be broken elsewhere.
    double text(double x, double y, double width, const QString &text, double points, Align align = Align::Left,
                bool measureOnly = false);
    // Text top to bottom: the first column's right edge at `right`, each
    // column beginning at `top` and `height` long, the next to the left;
    // the width it took. With `measureOnly`, nothing is drawn.
    double columns(double right, double top, double height, const QString &text, double points, bool measureOnly = false);
    // The length of text in one column.
    double columnLength(const QString &text, double points);
    void rectangle(double x, double y, double width, double height, bool filled, double line = 0.2);

    // Ends the page; the next one is as large.
    void nextPage();
    // Ends the document: false, with the reason, when it could not be written.
    bool finish(QString *why);

private:
    PangoLayout *layout(const QString &text, double points, bool vertical);
    double pt(double mm) const;

    Write write_;
    cairo_surface_t *surface_ = nullptr;
    cairo_t *cr_ = nullptr;
    PangoFontDescription *font_ = nullptr;
    double offsetX_ = 0, offsetY_ = 0;
};
