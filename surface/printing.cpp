#include "surface/printing.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <type_traits>

#include "surface/rounding.h"

namespace printing {

namespace {
// The print system's client library, loaded when printing first asks for it rather than
// with the program: it brings some twenty libraries of its own (TLS, Kerberos, service
// discovery), and mapping them and looking symbols up through them took a tenth or more
// of the CPU time the window needs to show. Null members when the library is not there.
struct Cups {
    decltype(&::httpConnect2) connect = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsServer) server = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::cupsGetNamedDest) namedDest = nullptr;
    decltype(&::cupsGetOption) option = nullptr;
    decltype(&::cupsCopyDestInfo) copyDestInfo = nullptr;
    decltype(&::cupsFindDestDefault) destDefault = nullptr;
    decltype(&::ippGetResolution) resolution = nullptr;
    decltype(&::cupsFreeDestInfo) freeDestInfo = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    bool loaded = false;  // every function found

    Cups() {
        void* lib = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (lib == nullptr) return;  // kept open for the life of the program once found
        const auto find = [lib](auto& f, const char* name) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(dlsym(lib, name));
            return f != nullptr;
        };
        loaded = find(connect, "httpConnect2") && find(close, "httpClose") &&
                 find(server, "cupsServer") && find(port, "ippPort") &&
                 find(encryption, "cupsEncryption") && find(namedDest, "cupsGetNamedDest") &&
                 find(option, "cupsGetOption") && find(copyDestInfo, "cupsCopyDestInfo") &&
                 find(destDefault, "cupsFindDestDefault") && find(resolution, "ippGetResolution") &&
                 find(freeDestInfo, "cupsFreeDestInfo") && find(freeDests, "cupsFreeDests");
    }
};

// The library once loaded, or null when it cannot be: then there is no print system.
const Cups* cups() {
    static const Cups library;
    return library.loaded ? &library : nullptr;
}
}  // namespace

bool printSystemReachable() {
    const Cups* c = cups();
    if (c == nullptr) return false;
    // The server the print system's own client settings name (CUPS_SERVER, client.conf,
    // else the local socket), with the same encryption rules.
    http_t* http =
        c->connect(c->server(), c->port(), nullptr, AF_UNSPEC, c->encryption(), 1, 3000, nullptr);
    if (http == nullptr) return false;
    c->close(http);
    return true;
}

QRect destination(int w, int h, int screenDpi, int printerDpi, double xMils, double yMils) {
    using surface::roundToInt;
    const double P = printerDpi, S = screenDpi;
    const int left = roundToInt(xMils / 1000.0 * P);
    const int top = roundToInt(yMils / 1000.0 * P);
    const int right = roundToInt((w / S + xMils / 1000.0) * P);
    const int bottom = roundToInt((h / S + yMils / 1000.0) * P);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

namespace {
// "600dpi", "300x600dpi": the horizontal dots per inch; 0 for anything else.
int dotsPerInch(const char* resolution) {
    if (resolution == nullptr) return 0;
    const QString text = QString::fromLatin1(resolution);
    if (!text.endsWith(QLatin1String("dpi"))) return 0;
    bool ok = false;
    const int dpi = text.chopped(3).section(QLatin1Char('x'), 0, 0).toInt(&ok);
    return ok && dpi > 0 ? dpi : 0;
}

// The queue's resolution as the print system has it; 0 when there is no such queue.
int queueResolution(const QString& name) {
    const Cups* c = cups();
    if (c == nullptr) return 0;
    cups_dest_t* dest = c->namedDest(CUPS_HTTP_DEFAULT, name.toLocal8Bit().constData(), nullptr);
    if (dest == nullptr) return 0;
    int dpi = dotsPerInch(c->option("Resolution", dest->num_options, dest->options));
    if (dpi == 0) {
        if (cups_dinfo_t* info = c->copyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            if (ipp_attribute_t* a =
                    c->destDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
                int yres = 0;
                ipp_res_t units = IPP_RES_PER_INCH;
                const int xres = c->resolution(a, 0, &yres, &units);
                dpi = units == IPP_RES_PER_INCH ? xres : surface::roundToInt(xres * 2.54);
            }
            c->freeDestInfo(info);
        }
    }
    c->freeDests(1, dest);
    return dpi;
}
}  // namespace

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
