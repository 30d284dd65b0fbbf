// marlisk-cli: the designer forms' symbols without a window, for files, batches and
// printing.

#include <malloc.h>

#include <QGuiApplication>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>

#include "app/settings.h"
#include "cli/batch.h"
#include "cli/checking.h"
#include "cli/options.h"
#include "cli/sheet.h"
#include "cli/symbolbuild.h"
#include "surface/filewrite.h"
#include "surface/font.h"
#include "surface/picturefile.h"
#include "surface/printing.h"
#include "surface/printsystem.h"

namespace {
// Only what the user must hear reaches standard error: the platform's chatter does not.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("MARLISK_DEBUG"))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

int refuse(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 2;
}
int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

// Text for standard output, written straight through: a full disk or a closed pipe is a
// failure, not success, and the system's own reason is kept (a buffered stream forgets it
// once its buffer has been written).
int print(const QString& text) {
    const QString error = files::writeStandardOutput(text.toLocal8Bit());
    return error.isEmpty() ? 0
                           : fail(QStringLiteral("cannot write to standard output: %1").arg(error));
}

int runOne(const cli::Options& o) {
    const cli::SymbolRequest& r = o.symbol;
    if (o.modules) {
        QString main, addon, refusal;
        if (!cli::moduleStrings(r, &main, &addon, &refusal)) return refuse(refusal);
        const QString lines =
            main + QLatin1Char('\n') + (addon.isEmpty() ? QString() : addon + QLatin1Char('\n'));
        if (const int status = print(lines); status != 0) return status;
        if (r.output.isEmpty() && o.printer.isEmpty() && o.check == cli::CheckOutput::None)
            return 0;
    }
    const symbols::BuildResult result = cli::buildSymbol(r);
    if (!result.built())
        return refuse(result.refusal ? result.refusal->text : QStringLiteral("nothing was built"));
    std::vector<check::Finding> findings = cli::checkIfAsked(o, r, result);
    if (o.check != cli::CheckOutput::None) cli::addRemedy(r, result, findings);
    if (o.verify) {
        const QString failed = cli::verifyBuilt(r, result, findings);
        if (!failed.isEmpty()) return fail(failed);
    }
    if (!r.output.isEmpty()) {
        const QString error = cli::writeOutput(result.picture, r, o.force);
        if (!error.isEmpty()) return fail(error);
    }
    if (!o.printer.isEmpty()) {
        // Qt's print support waits on the print system without a time limit: ask it first.
        if (const printing::SystemCheck system = printing::checkPrintSystem();
            system.state != printing::SystemState::Answers)
            return fail(
                QStringLiteral("cannot print on '%1': %2").arg(o.printer, system.problem()));
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(o.printer);
        if (printer.printerName() != o.printer)
            return fail(QStringLiteral("no printer named '%1'").arg(o.printer));
        // At the printer's own resolution the symbol is built anew, so that its bars are
        // whole printer dots; otherwise the picture is stretched to its physical size.
        symbols::BuildResult atPrinter;
        if (o.printerResolution) {
            cli::SymbolRequest request = r;
            request.dpi = printing::useOwnResolution(printer);
            atPrinter = cli::buildSymbol(request);
            if (!atPrinter.built())
                return refuse(atPrinter.refusal ? atPrinter.refusal->text
                                                : QStringLiteral("nothing was built"));
        }
        const surface::Bitmap& built = o.printerResolution ? atPrinter.picture : result.picture;
        const surface::Bitmap picture = r.turn ? surface::turnedClockwise(built) : built;
        const QString error =
            printing::printPicture(printer, picture, o.printX, o.printY, picture.dpi(), r.colour);
        if (!error.isEmpty()) return fail(error);
    }
    if (o.check == cli::CheckOutput::None) return 0;
    const QString report = cli::checkOutput(findings, o.check);
    if (r.output == "-") {
        // Standard output holds the picture.
        std::fputs(qPrintable(report), stderr);
    } else if (const int status = print(report); status != 0) {
        return status;
    }
    return o.strict && cli::checkFails(findings) ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
    files::guardStandardStreams();
    // Every symbol allocates and frees a picture of some hundred kilobytes; keep that memory
    // in the process instead of handing it back to the system after each one.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    // No display is needed: draw with the offscreen platform unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();

    QString error;
    const symbols::PageValues page = settings::readPageValues();
    if (const QString notice = settings::oversizeNotice(); !notice.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(notice));
    const auto options = cli::parseOptions(QCoreApplication::arguments().mid(1), page, &error);
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    if (options->help) {
        return print(cli::usage());
    }
    if (options->listTemplates) return cli::listTemplates(*options);
    if (!options->sheet.isEmpty()) return cli::runSheet(*options);
    if (!options->batchFile.isEmpty()) return cli::runBatch(*options);
    return runOne(*options);
}
