#pragma once
// Printing one picture at its designed physical size, at an offset given in mils.

#include <QColor>
#include <QRect>
#include <QString>

#include "surface/bitmap.h"

class QPrinter;

namespace printing {

// Where a w x h picture made at screenDpi lands on a printer of printerDpi, in printer
// pixels from the top-left corner of the printable area, offset by x and y mils. The
// right and bottom edges are exclusive.
QRect destination(int w, int h, int screenDpi, int printerDpi, double xMils, double yMils);

// The resolution the printer itself prints at, set on `printer` so that painting is in its
// dots: for a print queue its chosen resolution (the user's queue options) or its default;
// for other printers (a PDF file) what the printer already has.
int useOwnResolution(QPrinter& printer);

// Prints the picture on one page. Returns the message to show when it failed, empty when
// the page was printed. A print queue that would not take the job is a failure: "Printer is
// Error" and, on a second line, the print system's reason.
QString printPicture(QPrinter& printer, const surface::Bitmap& picture, double xMils, double yMils,
                     int screenDpi, const QColor& printColor);

}  // namespace printing
