#pragma once
// State the whole program shares: the picture the print-option dialog prints and the
// printer chosen with "Printer setting".

#include <QPrinter>

#include "surface/bitmap.h"
#include "surface/printsystem.h"

namespace globals {

// The print bitmap: each designer form's Print replaces it with a copy of its preview.
const surface::Bitmap& printBitmap();
void setPrintBitmap(const surface::Bitmap& picture);

// The printer that printing uses: the system's default until the user picks another.
QPrinter& currentPrinter();

// Whether the print system answers, asked with a bounded wait before Qt asks it without
// one (making the printer, showing the printer set-up). A printer that writes a file needs
// no print system: then Answers.
printing::SystemCheck checkPrintSystem();

}  // namespace globals
