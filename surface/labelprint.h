#pragma once
// Labels on paper: a run of symbols painted into the labels of a sheet, page after page,
// on a PDF file or a printer, and the alignment page a user measures to calibrate a
// printer. Each symbol is a picture made at the page's resolution and painted dot for dot
// at its physical size, centred in its label.

#include <QPainter>
#include <QString>
#include <memory>

#include "surface/bitmap.h"
#include "surface/labelsheet.h"

class QPagedPaintDevice;
class QPrinter;

namespace labels {

class SheetPainter {
  public:
    // Labels of `t`, moved as `calibration` says, on pages of `dpi` dots an inch.
    SheetPainter(const LabelTemplate& t, const Calibration& calibration, int dpi);
    ~SheetPainter();

    // Sets the device's page to the template's paper and resolution and starts painting;
    // false with why when the device refuses.
    bool begin(QPagedPaintDevice& device, QString* error);
    // Paints `picture` (made at this painter's resolution) centred in the label of `slot`,
    // starting new pages up to the slot's page. False with why when it does not fit.
    bool place(const surface::Bitmap& picture, const LabelSlot& slot, QString* error);
    // Ends the last page (an empty first page if nothing was placed); false with why.
    bool end(QString* error);

    int pagesStarted() const { return page_ + 1; }

  private:
    bool toPage(int page);

    const LabelTemplate& template_;
    Calibration calibration_;
    int dpi_;
    QPagedPaintDevice* device_ = nullptr;
    QPainter painter_;
    int page_ = 0;
};

// Prints `count` labels of one picture (made at `dpi`) from the run's start: the pages are
// started, filled and ended. False with why.
bool printCopies(QPagedPaintDevice& device, const LabelTemplate& t, const Calibration& calibration,
                 int dpi, const surface::Bitmap& picture, const SheetRun& run, qint64 count,
                 QString* error);

// The top-left corner, in whole dots of `dpi`, of a symbol of `w` × `h` dots centred in
// `label` and moved by `calibration`; empty with why when it does not fit.
std::optional<QPoint> symbolDots(const LabelTemplate& t, const Calibration& calibration,
                                 const QRectF& label, int w, int h, int dpi, QString* error);

// The alignment page: every label's outline and a cross at its centre, as calibrated, and
// a 100 mm ruler along the top and the left edge, so the printed sheet can be measured.
void paintAlignmentPage(QPainter& painter, const LabelTemplate& t, const Calibration& calibration,
                        int dpi);

// A picture of the sheet for a dialog: the page, every label, and the labels from `start`
// to `start + count` (those of the first sheet) filled, in `size` pixels.
void paintSheetPreview(QPainter& painter, const QRectF& area, const LabelTemplate& t, int start,
                       qint64 count);

// Points the printer at the template's paper, whole page, no margins.
void setUpPrinter(QPrinter& printer, const LabelTemplate& t);

}  // namespace labels
