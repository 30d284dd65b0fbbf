#include "app/globals.h"

#include <QCoreApplication>
#include <memory>

namespace globals {

namespace {
surface::Bitmap& printBitmapStore() {
    static surface::Bitmap b;
    return b;
}
}  // namespace

const surface::Bitmap& printBitmap() {
    return printBitmapStore();
}
void setPrintBitmap(const surface::Bitmap& picture) {
    printBitmapStore() = picture;
}

namespace {
std::unique_ptr<QPrinter>& printerStore() {
    static std::unique_ptr<QPrinter> p;
    return p;
}
}  // namespace

QPrinter& currentPrinter() {
    auto& printer = printerStore();
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The printer goes with the application object, before the print plugins unload.
        qAddPostRoutine([] { printerStore().reset(); });
    }
    return *printer;
}

printing::SystemCheck checkPrintSystem() {
    const auto& printer = printerStore();
    if (printer && printer->outputFormat() != QPrinter::NativeFormat)
        return {printing::SystemState::Answers, {}};
    return printing::checkPrintSystem();
}

}  // namespace globals
