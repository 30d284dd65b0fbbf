#pragma once
// What marlisk-cli was asked to do, read from its command line.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

#include "symbols/pagevalues.h"
#include "symbols/symbologies.h"

namespace cli {

using symbols::Symbology;

// The symbology of a command-line name ("c39", "EAN13", ...); nullopt for anything else.
std::optional<Symbology> symbologyNamed(const QString& name);
// "unknown symbology 'qr': use c39, ean13, upca, ean8 or upce"
QString unknownSymbology(const QString& name);

// Everything that describes one symbol and where it goes.
struct SymbolRequest {
    Symbology symbology = Symbology::C39;
    QString message;
    QString addon;
    QString comment;
    // Sizes as typed; empty means the form's default for the symbology.
    QString height;
    QString width;   // EAN-13: inches of the main symbol
    QString module;  // UPC-A, EAN-8, UPC-E: mils
    QString narrow;  // Code 39: mils
    QString ratio;   // Code 39
    symbols::PageValues page;
    int dpi = 96;
    QString fontFamily;  // empty: the shared default
    int fontSize = 0;    // points; 0: the shared default
    QColor colour = Qt::black;
    bool turn = false;
    // File name as bytes (names need not be UTF-8), or "-" for PNG on standard output.
    QByteArray output;
};

// Whether a symbol option ("--addon", "--ratio"...) applies to a symbology; options that
// are not particular to some symbologies apply to all.
bool optionApplies(const QString& option, Symbology s);

// Drops the values of options that do not apply to the request's symbology: the options
// of a batch are the defaults of every line and apply where they fit.
void dropInapplicable(SymbolRequest& r);

// Empty when `name` may name an output file; otherwise why not (a control character).
QString outputNameProblem(const QByteArray& name);

// What --check prints: nothing, the report, or its findings as JSON lines.
enum class CheckOutput { None, Report, Json };

struct Options {
    SymbolRequest symbol;  // for one symbol; the defaults of every line of a batch
    QString batchFile;
    bool modules = false;
    bool verify = false;
    CheckOutput check = CheckOutput::None;
    bool strict = false;             // a failing check is a failure
    QString printer;                 // print on this queue instead of (or besides) writing a file
    bool printerResolution = false;  // build anew at the printer's resolution to print
    double printX = 0;
    double printY = 0;
    bool help = false;
    bool force = false;  // replace read-only files
    int jobs = 0;        // batch threads; 0: one per core

    // Label sheets: the symbol (or each line of a batch) in the labels of a template.
    QString sheet;      // "BRAND PART"; empty: no sheet
    int copies = 0;     // labels of the one symbol; 0: one
    bool fill = false;  // the rest of the first sheet
    int startRow = 1;   // the first free label, counted from 1 at the top left
    int startColumn = 1;
    QString calibrate;      // "DX,DY[,SX,SY]" instead of the queue's stored calibration
    bool dpiGiven = false;  // --dpi was given (a sheet in a file is made at 600 dpi otherwise)
    bool listTemplates = false;
    QStringList templateWords;  // --list-templates WORDS
};

// Reads the arguments (without the program name). On a mistake returns nullopt with the
// message in `error`. Page values default to `pageDefaults` (the settings file's).
std::optional<Options> parseOptions(const QStringList& args,
                                    const symbols::PageValues& pageDefaults, QString* error);

QString usage();

}  // namespace cli
