#include "surface/labelsheet.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace labels {

namespace {

constexpr double pointsPerMm = 72.0 / 25.4;

// Labels of two grids whose tops differ by less than this stand in one row.
constexpr double sameRow = 0.5;

bool readNumber(QStringView text, double& value) {
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

}  // namespace

QPointF Calibration::apply(QPointF point) const {
    return {point.x() * sxPercent / 100.0 + dxMm * pointsPerMm,
            point.y() * syPercent / 100.0 + dyMm * pointsPerMm};
}

std::optional<Calibration> parseCalibration(QStringView text, QString* error) {
    const QList<QStringView> parts = text.split(QLatin1Char(','));
    Calibration c;
    double* fields[] = {&c.dxMm, &c.dyMm, &c.sxPercent, &c.syPercent};
    const auto refuse = [&](const QString& why) -> std::optional<Calibration> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (parts.size() != 2 && parts.size() != 4)
        return refuse(QStringLiteral("the calibration '%1' is not DX,DY or DX,DY,SX,SY "
                                     "(millimetres and percent)")
                          .arg(text));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!readNumber(parts[i], *fields[i]))
            return refuse(QStringLiteral("the calibration's '%1' is not a number").arg(parts[i]));
    }
    for (double scale : {c.sxPercent, c.syPercent}) {
        if (scale < 50 || scale > 200)
            return refuse(QStringLiteral("the calibration's scale %1 % is not between 50 and 200 %")
                              .arg(scale));
    }
    return c;
}

QString calibrationText(const Calibration& c) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(c.dxMm, 0, 'g', 10)
        .arg(c.dyMm, 0, 'g', 10)
        .arg(c.sxPercent, 0, 'g', 10)
        .arg(c.syPercent, 0, 'g', 10);
}

std::vector<SheetLabel> sheetLabels(const LabelTemplate& t) {
    std::vector<SheetLabel> labels;
    labels.reserve(std::max(0, t.count()));
    for (const Grid& grid : t.grids) {
        for (int j = 0; j < grid.ny; ++j) {
            for (int i = 0; i < grid.nx; ++i) {
                labels.push_back({QRectF(grid.x0 + i * grid.dx, grid.y0 + j * grid.dy,
                                         t.label.width, t.label.height)});
            }
        }
    }
    std::stable_sort(labels.begin(), labels.end(), [](const SheetLabel& a, const SheetLabel& b) {
        if (std::abs(a.rect.top() - b.rect.top()) >= sameRow) return a.rect.top() < b.rect.top();
        return a.rect.left() < b.rect.left();
    });
    int row = 0, column = 0;
    double rowTop = 0;
    for (SheetLabel& label : labels) {
        if (row == 0 || std::abs(label.rect.top() - rowTop) >= sameRow) {
            ++row;
            column = 0;
            rowTop = label.rect.top();
        }
        label.row = row;
        label.column = ++column;
    }
    return labels;
}

std::optional<int> labelAt(const LabelTemplate& t, int row, int column, QString* error) {
    const std::vector<SheetLabel> labels = sheetLabels(t);
    for (size_t i = 0; i < labels.size(); ++i)
        if (labels[i].row == row && labels[i].column == column) return static_cast<int>(i);
    if (error) {
        const int rows = labels.empty() ? 0 : labels.back().row;
        *error = QStringLiteral(
                     "an %1 sheet has no label at row %2, column %3 (it has %4 rows "
                     "of %5 labels)")
                     .arg(t.name())
                     .arg(row)
                     .arg(column)
                     .arg(rows)
                     .arg(t.across());
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> parseStart(QStringView text, QString* error) {
    const QList<QStringView> parts = text.split(QLatin1Char(','));
    bool rowOk = false, columnOk = false;
    const int row = parts.size() == 2 ? parts[0].trimmed().toInt(&rowOk) : 0;
    const int column = parts.size() == 2 ? parts[1].trimmed().toInt(&columnOk) : 0;
    if (!rowOk || !columnOk || row < 1 || column < 1) {
        if (error)
            *error = QStringLiteral("the start '%1' is not ROW,COL counted from 1").arg(text);
        return std::nullopt;
    }
    return std::pair{row, column};
}

SheetRun::SheetRun(const LabelTemplate& t, int start) : labels_(sheetLabels(t)), start_(start) {}

LabelSlot SheetRun::slot(qint64 n) const {
    const qint64 perSheet = static_cast<qint64>(labels_.size());
    const qint64 at = start_ + n;
    const int index = static_cast<int>(at % perSheet);
    return {static_cast<int>(at / perSheet), index, labels_[index].rect};
}

int SheetRun::fillCount() const {
    return static_cast<int>(labels_.size()) - start_;
}

int SheetRun::pagesFor(qint64 count) const {
    if (count <= 0) return 0;
    return slot(count - 1).page + 1;
}

std::optional<QPointF> symbolPlace(const LabelTemplate& t, const QRectF& label, QSizeF size,
                                   QString* error) {
    const double margin = t.label.margin;
    const QRectF inside = label.adjusted(margin, margin, -margin, -margin);
    // A thousandth of a point spares a symbol that fits exactly from rounding.
    constexpr double slack = 1e-3;
    if (size.width() > inside.width() + slack || size.height() > inside.height() + slack) {
        if (error) {
            const bool vowel = QStringLiteral("AEIOUaeiou").contains(t.brand.left(1));
            *error = QStringLiteral("the symbol is %1 × %2 mm; %3 %4 label is %5 × %6 mm")
                         .arg(millimetres(size.width()), millimetres(size.height()),
                              vowel ? QStringLiteral("an") : QStringLiteral("a"), t.name(),
                              millimetres(label.width()), millimetres(label.height()));
            if (margin > 0 && size.width() <= label.width() && size.height() <= label.height())
                *error += QStringLiteral(" (%1 × %2 mm inside its margin)")
                              .arg(millimetres(inside.width()), millimetres(inside.height()));
        }
        return std::nullopt;
    }
    return inside.center() - QPointF(size.width() / 2, size.height() / 2);
}

QString millimetres(double points) {
    return QLocale::c().toString(points / pointsPerMm, 'f', 1);
}

}  // namespace labels
