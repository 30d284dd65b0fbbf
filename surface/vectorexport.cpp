#include "surface/vectorexport.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace surface {

namespace {
QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString colourText(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// Font size in SVG user units (pixels of the picture).
double glyphPixels(const Font& f, int dpi) {
    const int res = f.renderDpi > 0 ? f.renderDpi : dpi;
    return (f.pointSize > 0 ? f.pointSize : 1) * res / 72.0;
}

}  // namespace

void paintVectors(QPainter& p, const Drawing& drawing) {
    for (const Drawing::Mark& op : drawing.marks) {
        p.fillRect(op.rect, QColor(op.colour));
        if (op.kind != Drawing::Mark::Kind::Text) continue;
        const Drawing::Text& run = drawing.textOf(op);
        const Font& font = drawing.fontOf(run);
        p.setFont(font.toQFont(drawing.dpi));
        p.setPen(font.color);
        p.drawText(QPoint(op.rect.left(), op.rect.top() + run.ascent), run.text);
    }
}

QByteArray toSvg(const Drawing& drawing, bool turned) {
    const int w = drawing.width, h = drawing.height;
    const int outW = turned ? h : w, outH = turned ? w : h;
    const double dpi = drawing.dpi;
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    svg += QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%1in\" "
               "height=\"%2in\" viewBox=\"0 0 %3 %4\" shape-rendering=\"crispEdges\">\n")
               .arg(outW / dpi, 0, 'g', 10)
               .arg(outH / dpi, 0, 'g', 10)
               .arg(outW)
               .arg(outH);
    if (turned) svg += QStringLiteral("<g transform=\"translate(%1 0) rotate(90)\">\n").arg(h);
    // Clip to the picture: what falls outside the bitmap is lost there too.
    svg += QStringLiteral(
               "<clipPath id=\"picture\"><rect x=\"0\" y=\"0\" width=\"%1\" "
               "height=\"%2\"/></clipPath>\n")
               .arg(w)
               .arg(h);
    svg += QStringLiteral("<g clip-path=\"url(#picture)\">\n");
    for (const Drawing::Mark& op : drawing.marks) {
        const QRect& r = op.rect;
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(r.left())
                   .arg(r.top())
                   .arg(r.width())
                   .arg(r.height())
                   .arg(colourText(QColor(op.colour)));
        if (op.kind != Drawing::Mark::Kind::Text) continue;
        const Drawing::Text& run = drawing.textOf(op);
        const Font& f = drawing.fontOf(run);
        svg += QStringLiteral(
                   "<text x=\"%1\" y=\"%2\" font-family=\"%3\" font-size=\"%4\" fill=\"%5\"%6%7 "
                   "xml:space=\"preserve\">%8</text>\n")
                   .arg(r.left())
                   .arg(r.top() + run.ascent)
                   .arg(escaped(f.family) + QStringLiteral(", Liberation Sans, Arial, sans-serif"))
                   .arg(glyphPixels(f, drawing.dpi), 0, 'g', 6)
                   .arg(colourText(f.color))
                   .arg(f.bold ? QStringLiteral(" font-weight=\"bold\"") : QString())
                   .arg(f.italic ? QStringLiteral(" font-style=\"italic\"") : QString())
                   .arg(escaped(run.text));
    }
    svg += QStringLiteral("</g>\n");
    if (turned) svg += QStringLiteral("</g>\n");
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

bool writePdf(const Drawing& drawing, QIODevice* device, bool turned, QString* error,
              const QString& title) {
    const int w = drawing.width, h = drawing.height;
    const int outW = turned ? h : w, outH = turned ? w : h;
    const int dpi = drawing.dpi;
    QPdfWriter writer(device);
    writer.setCreator(QStringLiteral("Marlisk Barcode Generator"));
    if (!title.isEmpty()) writer.setTitle(title);
    writer.setResolution(dpi);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    // Page sizes are whole points: round up, so that the page holds every pixel (it may be
    // less than a point larger than the picture, never smaller).
    const auto points = [dpi](int pixels) {
        return static_cast<int>(std::ceil(double(pixels) * 72.0 / dpi - 1e-9));
    };
    writer.setPageSize(
        QPageSize(QSize(points(outW), points(outH)), QString(), QPageSize::ExactMatch));
    QPainter p;
    if (!p.begin(&writer)) {
        if (error) *error = QStringLiteral("the PDF could not be started");
        return false;
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(0, 0, outW, outH));
    if (turned) {
        p.translate(h, 0);
        p.rotate(90);
    }
    paintVectors(p, drawing);
    if (!p.end()) {
        if (error) *error = QStringLiteral("the PDF could not be finished");
        return false;
    }
    return true;
}

}  // namespace surface
