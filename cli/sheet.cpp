#include "cli/sheet.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <csignal>
#include <cstdio>
#include <functional>

#include "app/settings.h"
#include "cli/batch.h"
#include "cli/batchlines.h"
#include "cli/symbolbuild.h"
#include "surface/filewrite.h"
#include "surface/labelprint.h"
#include "surface/printing.h"
#include "surface/printsystem.h"

namespace cli {

namespace {

// Sheets written to a file are made at this resolution unless --dpi says otherwise: fine
// enough for every printer the file may go to.
constexpr int kSheetFileDpi = 600;

void say(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

int refuse(const QString& text) {
    say(text);
    return 2;
}

int fail(const QString& text) {
    say(text);
    return 1;
}

// The templates, with a message on standard error for each file or template left out.
labels::TemplateSet templates() {
    labels::TemplateSet set = labels::loadTemplates();
    for (const QString& message : set.messages) say(message);
    return set;
}

// Where the labels go: a PDF file (written beside its place and put there when whole, so
// that memory does not grow with the pages) or a print queue.
class Destination {
  public:
    explicit Destination(const Options& o) : o_(o) {}

    // Opens the file or the queue; the resolution to build the symbols at, or 0 with why.
    int open(QString* error) {
        if (o_.printer.isEmpty()) return o_.dpiGiven ? o_.symbol.dpi : kSheetFileDpi;
        // Qt's print support waits on the print system without a time limit: ask it first.
        if (const printing::SystemCheck system = printing::checkPrintSystem();
            system.state != printing::SystemState::Answers) {
            *error = QStringLiteral("cannot print on '%1': %2").arg(o_.printer, system.problem());
            return 0;
        }
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPrinterName(o_.printer);
        if (printer_->printerName() != o_.printer) {
            *error = QStringLiteral("no printer named '%1'").arg(o_.printer);
            return 0;
        }
        if (const QString refusal = printing::queueRefusal(o_.printer); !refusal.isEmpty()) {
            *error = QStringLiteral("Printer is Error\n") + refusal;
            return 0;
        }
        printer_->setDocName(QStringLiteral("Marlisk labels"));
        return printing::useOwnResolution(*printer_);
    }

    QPagedPaintDevice& device() {
        if (pdf_) return *pdf_;
        return *printer_;
    }

    // Readies the device for the first page at `dpi`: the printer takes the template's page,
    // the file is begun. False with why.
    bool prepare(const labels::LabelTemplate& t, int dpi, QString* error) {
        if (printer_) {
            labels::setUpPrinter(*printer_, t);
            return true;
        }
        if (const QString refusal = file_.begin(o_.symbol.output, {o_.force, o_.force});
            !refusal.isEmpty()) {
            *error = cannotWrite(refusal);
            return false;
        }
        pdf_ = std::make_unique<QPdfWriter>(file_.device());
        pdf_->setCreator(QStringLiteral("Marlisk Barcode Generator"));
        pdf_->setResolution(dpi);
        return true;
    }

    // Puts the finished pages where they go; empty on success, otherwise why.
    QString finish() {
        if (!pdf_ || abandoned_) return {};
        pdf_.reset();
        const QString error = file_.commit();
        return error.isEmpty() ? QString() : cannotWrite(error);
    }

    // Why painting failed: the file's own failure to store what was painted (a full disk)
    // where there is one, as the painter knows only that a page could not be started.
    QString why(const QString& painting) const {
        const QString failure = pdf_ ? file_.error() : QString();
        return failure.isEmpty() ? painting : cannotWrite(failure);
    }

    // Nothing of what was painted is printed or written.
    void abandon() {
        if (printer_) printer_->abort();
        abandoned_ = true;
    }

    // The printer's stored calibration, unless --calibrate gives one.
    std::optional<labels::Calibration> calibration(QString* error) const {
        QString text = o_.calibrate;
        if (text.isEmpty() && !o_.printer.isEmpty()) text = settings::readCalibration(o_.printer);
        if (text.isEmpty()) return labels::Calibration{};
        return labels::parseCalibration(text, error);
    }

  private:
    QString cannotWrite(const QString& reason) const {
        return QStringLiteral("cannot write %1: %2")
            .arg(QFile::decodeName(o_.symbol.output), reason);
    }

    const Options& o_;
    files::Replacement file_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<QPrinter> printer_;
    bool abandoned_ = false;
};

// Reads the batch's symbol lines, as a batch reads them, handing each with its number and
// its request (or why it is refused) to `use`. The lines' hashes are added to `hash`, so
// that two readings that differ are known. False with why when the file cannot be read or
// is refused.
bool readBatch(
    LineReader& reader, const Options& o, QCryptographicHash& hash,
    const std::function<void(int, const std::optional<SymbolRequest>&, const QString&)>& use,
    QString* error) {
    reader.rewind();
    SymbolLine line;
    while (nextSymbolLine(reader, o.symbol, LineOutput::None, &line, error)) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&line.hash), sizeof line.hash));
        use(line.number, line.request, line.refusal);
    }
    if (error->isEmpty()) return true;
    *error = QStringLiteral("cannot read %1: %2").arg(o.batchFile, *error);
    return false;
}

}  // namespace

int listTemplates(const Options& o) {
    const labels::TemplateSet set = templates();
    QString text;
    for (const labels::LabelTemplate* t : set.search(o.templateWords)) {
        text += QStringLiteral("%1, %2, %3 × %4, %5 × %6 mm\n")
                    .arg(t->name(), t->paper)
                    .arg(t->across())
                    .arg(t->down())
                    .arg(labels::millimetres(t->label.width), labels::millimetres(t->label.height));
    }
    const QString error = files::writeStandardOutput(text.toUtf8());
    return error.isEmpty() ? 0
                           : fail(QStringLiteral("cannot write to standard output: %1").arg(error));
}

int runSheet(const Options& o) {
    const labels::TemplateSet set = templates();
    const labels::LabelTemplate* t = set.find(o.sheet);
    if (!t)
        return refuse(
            QStringLiteral("no label template named '%1' (see --list-templates)").arg(o.sheet));
    QString error;
    const std::optional<int> start = labels::labelAt(*t, o.startRow, o.startColumn, &error);
    if (!start) return refuse(error);

    Destination destination(o);
    const std::optional<labels::Calibration> calibration = destination.calibration(&error);
    if (!calibration) return refuse(error);
    const int dpi = destination.open(&error);
    if (dpi <= 0) return fail(error);
    const labels::SheetRun run(*t, *start);
    labels::SheetPainter painter(*t, *calibration, dpi);

    // Builds one label's symbol at the sheet's resolution; refuses what is not built or
    // does not fit the label.
    const auto build = [&](SymbolRequest request, symbols::BuildResult* result, QString* why) {
        request.dpi = dpi;
        *result = buildSymbol(request);
        if (!result->built()) {
            *why = result->refusal ? result->refusal->text : QStringLiteral("nothing was built");
            return false;
        }
        return labels::symbolDots(*t, *calibration, run.slot(0).rect, result->picture.width(),
                                  result->picture.height(), dpi, why)
            .has_value();
    };

    if (o.batchFile.isEmpty()) {
        symbols::BuildResult result;
        if (!build(o.symbol, &result, &error)) return refuse(error);
        const qint64 count = o.fill ? run.fillCount() : std::max(1, o.copies);
        if (!destination.prepare(*t, dpi, &error)) return fail(error);
        if (!labels::printCopies(destination.device(), *t, *calibration, dpi, result.picture, run,
                                 count, &error))
            return fail(destination.why(error));
        error = destination.finish();
        return error.isEmpty() ? 0 : fail(error);
    }

    // A batch: every line is read and built before the first page, so that a refused line
    // stops the run with nothing written; then read again and placed. Only a hash of the
    // lines is kept between the two readings: a file that changed in between is not printed.
    LineReader reader;
    error = reader.open(o.batchFile);
    if (reader.refused())
        return refuse(QStringLiteral("the batch file '%1' is refused: %2").arg(o.batchFile, error));
    if (!error.isEmpty()) return fail(QStringLiteral("cannot read %1: %2").arg(o.batchFile, error));
    QCryptographicHash first(QCryptographicHash::Sha256);
    int refused = 0;
    qint64 labelsToPlace = 0;
    const bool read = readBatch(
        reader, o, first,
        [&](int number, const std::optional<SymbolRequest>& request, const QString& why) {
            QString reason = why;
            symbols::BuildResult result;
            if (request && build(*request, &result, &reason)) {
                ++labelsToPlace;
                return;
            }
            ++refused;
            say(QStringLiteral("line %1: %2").arg(number).arg(reason));
        },
        &error);
    if (!read) return fail(error);
    if (refused > 0)
        return refuse(
            QStringLiteral("%1 line(s) refused: no label was printed or written").arg(refused));

    if (!destination.prepare(*t, dpi, &error)) return fail(error);
    if (!painter.begin(destination.device(), &error)) return fail(error);
    // Tests change the file here, between the readings, at a known moment.
    if (qEnvironmentVariableIsSet("MARLISK_BATCH_PAUSE")) ::raise(SIGSTOP);
    QCryptographicHash second(QCryptographicHash::Sha256);
    qint64 placed = 0;
    QString placeError;
    const bool readAgain = readBatch(
        reader, o, second,
        [&](int number, const std::optional<SymbolRequest>& request, const QString& why) {
            symbols::BuildResult result;
            QString reason = why;
            if (!placeError.isEmpty()) return;
            if (!request || !build(*request, &result, &reason) ||
                !painter.place(result.picture, run.slot(placed), &reason)) {
                placeError = QStringLiteral("line %1: %2").arg(number).arg(reason);
                return;
            }
            ++placed;
        },
        &error);
    QString stop = !readAgain ? error : placeError;
    if (stop.isEmpty() && (first.result() != second.result() || placed != labelsToPlace))
        stop = QStringLiteral("%1 changed while it was read: no label was printed or written")
                   .arg(o.batchFile);
    if (!stop.isEmpty()) {
        destination.abandon();
        return fail(destination.why(stop));
    }
    if (!painter.end(&error)) return fail(destination.why(error));
    error = destination.finish();
    if (!error.isEmpty()) return fail(error);
    say(QStringLiteral("%1 labels on %2 pages").arg(placed).arg(run.pagesFor(placed)));
    return 0;
}

}  // namespace cli
