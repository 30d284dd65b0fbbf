#include "surface/labelprint.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPrinter>

#include "surface/rounding.h"
#include "surface/vectorexport.h"

namespace labels {

namespace {

constexpr double pointsPerInch = 72.0;
constexpr double pointsPerMm = pointsPerInch / 25.4;

QPageSize pageSizeOf(const LabelTemplate& t) {
    return QPageSize(QSizeF(t.pageWidth, t.pageHeight), QPageSize::Point, t.paper,
                     QPageSize::FuzzyMatch);
}

}  // namespace

SheetPainter::SheetPainter(const LabelTemplate& t, const Calibration& calibration, int dpi)
    : template_(t), calibration_(calibration), dpi_(dpi) {}

SheetPainter::~SheetPainter() {
    if (painter_.isActive()) painter_.end();
}

bool SheetPainter::begin(QPagedPaintDevice& device, QString* error) {
    device_ = &device;
    const QPageLayout layout(pageSizeOf(template_), QPageLayout::Portrait, QMarginsF());
    if (!device.setPageLayout(layout)) {
        if (error) *error = QStringLiteral("the page cannot be set to %1").arg(template_.paper);
        return false;
    }
    if (!painter_.begin(&device)) {
        if (error) *error = QStringLiteral("the pages could not be started");
        return false;
    }
    painter_.setRenderHint(QPainter::Antialiasing, false);
    return true;
}

bool SheetPainter::toPage(int page) {
    while (page_ < page) {
        if (!device_->newPage()) return false;
        ++page_;
    }
    return true;
}

bool SheetPainter::place(const surface::Bitmap& picture, const LabelSlot& slot, QString* error) {
    const std::optional<QPoint> at = symbolDots(template_, calibration_, slot.rect, picture.width(),
                                                picture.height(), dpi_, error);
    if (!at) return false;
    if (!toPage(slot.page)) {
        if (error) *error = QStringLiteral("page %1 could not be started").arg(slot.page + 1);
        return false;
    }
    painter_.save();
    painter_.translate(*at);
    painter_.setClipRect(QRect(0, 0, picture.width(), picture.height()));
    if (const surface::Drawing* drawing = picture.drawing())
        surface::paintVectors(painter_, *drawing);
    painter_.restore();
    return true;
}

bool SheetPainter::end(QString* error) {
    if (!painter_.end()) {
        if (error) *error = QStringLiteral("the pages could not be finished");
        return false;
    }
    return true;
}

bool printCopies(QPagedPaintDevice& device, const LabelTemplate& t, const Calibration& calibration,
                 int dpi, const surface::Bitmap& picture, const SheetRun& run, qint64 count,
                 QString* error) {
    SheetPainter painter(t, calibration, dpi);
    if (!painter.begin(device, error)) return false;
    for (qint64 n = 0; n < count; ++n)
        if (!painter.place(picture, run.slot(n), error)) return false;
    return painter.end(error);
}

std::optional<QPoint> symbolDots(const LabelTemplate& t, const Calibration& calibration,
                                 const QRectF& label, int w, int h, int dpi, QString* error) {
    const double toPoints = pointsPerInch / dpi;
    const std::optional<QPointF> place =
        symbolPlace(t, label, QSizeF(w * toPoints, h * toPoints), error);
    if (!place) return std::nullopt;
    // The label's centre moves as calibrated; the symbol keeps its dots round it.
    const QPointF centre = calibration.apply(label.center());
    const QPointF offset = *place - label.center();
    const QPointF corner = (centre + offset) / toPoints;
    return QPoint(surface::roundToInt(corner.x()), surface::roundToInt(corner.y()));
}

void paintAlignmentPage(QPainter& p, const LabelTemplate& t, const Calibration& calibration,
                        int dpi) {
    const double scale = dpi / pointsPerInch;
    const auto dots = [&](QPointF point) { return calibration.apply(point) * scale; };
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Qt::black);
    pen.setWidthF(dpi / 150.0);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double cross = 3 * pointsPerMm * scale;
    for (const SheetLabel& label : sheetLabels(t)) {
        const QRectF r(dots(label.rect.topLeft()), dots(label.rect.bottomRight()));
        if (t.label.kind == LabelShape::Kind::Rectangle)
            p.drawRoundedRect(r, t.label.corner * scale, t.label.corner * scale);
        else
            p.drawEllipse(r);
        const QPointF c = dots(label.rect.center());
        p.drawLine(c - QPointF(cross, 0), c + QPointF(cross, 0));
        p.drawLine(c - QPointF(0, cross), c + QPointF(0, cross));
    }
    // Rulers along the top and the left edge, from 10 mm in: a tick a millimetre, longer
    // each 5 and 10, numbered each 10.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, int(2.5 * pointsPerMm * scale)));
    p.setFont(font);
    const double start = 10 * pointsPerMm;
    for (int mm = 0; mm <= 100; ++mm) {
        const double length = (mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3.5 : 2) * pointsPerMm;
        const double along = start + mm * pointsPerMm;
        const QPointF top = dots({along, start - length}), topEnd = dots({along, start});
        const QPointF left = dots({start - length, along}), leftEnd = dots({start, along});
        p.drawLine(top, topEnd);
        p.drawLine(left, leftEnd);
        if (mm % 10 == 0) {
            const QString number = QString::number(mm);
            p.drawText(topEnd + QPointF(pen.widthF() * 2, -length * scale / 2), number);
            p.drawText(leftEnd + QPointF(-length * scale, -pen.widthF() * 2), number);
        }
    }
    p.drawLine(dots({start, start}), dots({start + 100 * pointsPerMm, start}));
    p.drawLine(dots({start, start}), dots({start, start + 100 * pointsPerMm}));
    p.drawText(dots({start + 20 * pointsPerMm, start + 8 * pointsPerMm}),
               QStringLiteral("%1: measure the rulers (100 mm) and the crosses' distance from "
                              "the sheet's edges")
                   .arg(t.name()));
    p.restore();
}

void paintSheetPreview(QPainter& p, const QRectF& area, const LabelTemplate& t, int start,
                       qint64 count) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double scale = std::min(area.width() / t.pageWidth, area.height() / t.pageHeight);
    const QRectF page(area.topLeft(), QSizeF(t.pageWidth * scale, t.pageHeight * scale));
    p.fillRect(page, Qt::white);
    p.setPen(Qt::gray);
    p.drawRect(page);
    const std::vector<SheetLabel> labels = sheetLabels(t);
    for (size_t i = 0; i < labels.size(); ++i) {
        const QRectF r(page.topLeft() + labels[i].rect.topLeft() * scale,
                       labels[i].rect.size() * scale);
        const bool printed = qint64(i) >= start && qint64(i) < start + count;
        p.setBrush(printed ? QColor(40, 40, 40) : QColor(235, 235, 235));
        p.setPen(printed ? Qt::black : Qt::gray);
        if (t.label.kind == LabelShape::Kind::Rectangle)
            p.drawRoundedRect(r, t.label.corner * scale, t.label.corner * scale);
        else
            p.drawEllipse(r);
    }
    p.restore();
}

void setUpPrinter(QPrinter& printer, const LabelTemplate& t) {
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(pageSizeOf(t), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
}

}  // namespace labels
