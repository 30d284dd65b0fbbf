#include "surface/printing.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>

#include "surface/printsystem.h"
#include "surface/rounding.h"

namespace printing {

QRect destination(int w, int h, int screenDpi, int printerDpi, double xMils, double yMils) {
    using surface::roundToInt;
    const double P = printerDpi, S = screenDpi;
    const int left = roundToInt(xMils / 1000.0 * P);
    const int top = roundToInt(yMils / 1000.0 * P);
    const int right = roundToInt((w / S + xMils / 1000.0) * P);
    const int bottom = roundToInt((h / S + yMils / 1000.0) * P);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int useOwnResolution(QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
        if (const int dpi = queueResolution(printer.printerName()); dpi > 0)
            printer.setResolution(dpi);
    }
    return printer.logicalDpiX();
}

QString printPicture(QPrinter& printer, const surface::Bitmap& picture, double xMils, double yMils,
                     int screenDpi, const QColor& printColor) {
    if (!printer.isValid()) return QStringLiteral("false to init");
    // Without a reachable print system Qt falls back to a PDF printer with no file to write,
    // or keeps a printer name no print system knows: neither has a resolution to print at,
    // although Qt reports a default one.
    const bool reachable = printer.outputFormat() == QPrinter::NativeFormat
                               ? !QPrinterInfo::printerInfo(printer.printerName()).isNull()
                               : !printer.outputFileName().isEmpty();
    const int P = reachable ? printer.logicalDpiX() : 0;
    const int S = screenDpi;
    if (P <= 0 || S <= 0) return QStringLiteral("Printer is Error");

    // Qt hands the finished page to the queue and does not look at the answer: a queue
    // that rejects jobs would swallow the page without a word. Ask it first.
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        if (const QString refusal = queueRefusal(printer.printerName()); !refusal.isEmpty())
            return QStringLiteral("Printer is Error\n") + refusal;
    }

    const auto jobError = [] { return QStringLiteral("Printer is Error  %1").arg(errno); };
    printer.setDocName(QStringLiteral("Marlisk Barcode Generator"));
    // Offsets count from the corner of the area the printer can print on: its own minimum
    // margins, not the default margins a page layout starts with.
    printer.setFullPage(false);
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
    errno = 0;
    QPainter painter;
    if (!painter.begin(&printer)) return jobError();
    painter.setBrush(printColor);
    // Plain pixel replication: a bar edge must land on a printer dot, not be blended.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // A barcode is never compressed with loss: a PDF or a print job gets every pixel as is.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    if (!picture.isEmpty()) {
        const QRect dest = destination(picture.width(), picture.height(), S, P, xMils, yMils);
        // As 32-bit pixels, which every paint engine takes the same way.
        painter.drawImage(dest, picture.image().convertToFormat(QImage::Format_RGB32),
                          QRect(0, 0, picture.width(), picture.height()));
    }
    if (!painter.end()) return jobError();
    return {};
}

}  // namespace printing
