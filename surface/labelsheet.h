#pragma once
// Where labels go on a sheet: the order of a template's labels, the first free one of a
// partly used sheet, the pages a run of labels takes, where a symbol stands inside its
// label, and a printer's calibration. Lengths are in points from the page's top-left
// corner, as in the templates.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

#include "surface/labeltemplate.h"

namespace labels {

// A printer's correction, applied to every label printed on it: the page is moved by
// (dx, dy) millimetres and the labels' places are stretched by sx and sy percent from the
// page's top-left corner. A symbol keeps its size, so its bars stay whole printer dots.
struct Calibration {
    double dxMm = 0;
    double dyMm = 0;
    double sxPercent = 100;
    double syPercent = 100;

    bool isIdentity() const {
        return dxMm == 0 && dyMm == 0 && sxPercent == 100 && syPercent == 100;
    }
    // A point of the template as it is to be printed.
    QPointF apply(QPointF point) const;
};

// "DX,DY" or "DX,DY,SX,SY" (millimetres, percent); scales from 50 to 200 %.
std::optional<Calibration> parseCalibration(QStringView text, QString* error);
QString calibrationText(const Calibration& c);

// The labels of one sheet in the order they are used: row by row from the top, each row
// from the left. A label's row is the rows of labels that stand at the same height.
struct SheetLabel {
    QRectF rect;
    int row = 1;     // counted from 1 at the top
    int column = 1;  // counted from 1 at the left of its row
};
std::vector<SheetLabel> sheetLabels(const LabelTemplate& t);

// The index into sheetLabels of the label at `row`, `column`; empty, with why, when the
// sheet has no such label.
std::optional<int> labelAt(const LabelTemplate& t, int row, int column, QString* error);
// "ROW,COL", both from 1.
std::optional<std::pair<int, int>> parseStart(QStringView text, QString* error);

// One label of a run: the page it is on (from 0) and its place on the sheet.
struct LabelSlot {
    int page = 0;
    int index = 0;  // into sheetLabels
    QRectF rect;
};

// Where the `count` labels of a run go, the first at label `start` of the first sheet;
// the run goes on at the top of each further sheet.
class SheetRun {
  public:
    SheetRun(const LabelTemplate& t, int start);
    LabelSlot slot(qint64 n) const;
    // The labels left on the first sheet from the start: what "fill the sheet" prints.
    int fillCount() const;
    int pagesFor(qint64 count) const;

  private:
    std::vector<SheetLabel> labels_;
    int start_ = 0;
};

// The top-left corner of a symbol of `size` points centred in `label`, inside the
// template's margin; empty, with why ("the symbol is 52.1 × 30.4 mm; an Avery L7651 label
// is 38.1 × 21.2 mm"), when it does not fit.
std::optional<QPointF> symbolPlace(const LabelTemplate& t, const QRectF& label, QSizeF size,
                                   QString* error);

// A length in points as millimetres with one decimal, as the messages give sizes.
QString millimetres(double points);

}  // namespace labels
