#include "cli/options.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <functional>
#include <map>

#include "cli/booknumber.h"
#include "surface/convert.h"

namespace cli {

namespace {
bool readMils(const QString& text, double* out) {
    return surface::tryStrToFloat(text, *out);
}

// The options particular to some symbologies: which rows of the symbology table take them,
// and the request field each one fills (none: the bar colour).
struct OptionScope {
    const char* option;
    bool (*applies)(const symbols::SymbologyRow& row);
    QString SymbolRequest::*field;
};
const std::array<OptionScope, 6> kScopes = {{
    {"--addon", [](const symbols::SymbologyRow& row) { return row.takesAddOn; },
     &SymbolRequest::addon},
    {"--color", [](const symbols::SymbologyRow& row) { return row.takesBarColour; }, nullptr},
    {"--width",
     [](const symbols::SymbologyRow& row) {
         return row.width == symbols::WidthMeaning::SymbolInches;
     },
     &SymbolRequest::width},
    {"--module",
     [](const symbols::SymbologyRow& row) {
         return row.width == symbols::WidthMeaning::ModuleMils;
     },
     &SymbolRequest::module},
    {"--narrow",
     [](const symbols::SymbologyRow& row) {
         return row.width == symbols::WidthMeaning::NarrowBarMils;
     },
     &SymbolRequest::narrow},
    {"--ratio", [](const symbols::SymbologyRow& row) { return row.takesRatio; },
     &SymbolRequest::ratio},
}};

const OptionScope* scopeOf(const QString& option) {
    for (const OptionScope& scope : kScopes)
        if (option == QLatin1String(scope.option)) return &scope;
    return nullptr;
}

bool scopeApplies(const OptionScope& scope, Symbology s) {
    return scope.applies(symbols::symbology(s));
}

// "ean13, ean8, upca and upce"
QString namesTaking(const OptionScope& scope) {
    QStringList names;
    for (const symbols::SymbologyRow& row : symbols::symbologies())
        if (scope.applies(row)) names << symbols::toQString(row.cliName);
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QLatin1String(", ")) + QStringLiteral(" and ") + last;
}

// Sizes that the forms read as numbers; a batch checks them once for every line.
bool isSizeOption(const QString& option) {
    for (const char* o : {"--height", "--width", "--module", "--narrow", "--ratio"})
        if (option == QLatin1String(o)) return true;
    return false;
}
// Why the label-sheet options cannot be taken as given; empty when they can.
QString sheetProblem(const Options& o, const std::vector<std::pair<QString, QString>>& given) {
    if (o.sheet.isEmpty()) {
        for (const char* option : {"--copies", "--start", "--calibrate"})
            for (const auto& g : given)
                if (g.first == QLatin1String(option))
                    return QStringLiteral("%1 needs --sheet TEMPLATE").arg(g.first);
        return o.fill ? QStringLiteral("--fill needs --sheet TEMPLATE") : QString();
    }
    if (o.copies > 0 && o.fill) return QStringLiteral("--copies and --fill exclude each other");
    if (!o.batchFile.isEmpty() && (o.copies > 0 || o.fill))
        return QStringLiteral(
            "--copies and --fill are for one symbol: a batch puts one label a "
            "line on the sheets");
    if (o.printerResolution)
        return QStringLiteral(
            "--sheet always prints at the printer's resolution: leave out "
            "--printer-resolution");
    if (o.modules || o.symbol.turn)
        return QStringLiteral("%1 does not apply to --sheet")
            .arg(o.modules ? "--modules" : "--turn");
    const QByteArray& out = o.symbol.output;
    if (out.isEmpty() == o.printer.isEmpty())
        return QStringLiteral("--sheet needs either -o FILE.pdf or --print PRINTER");
    if (!out.isEmpty() && !out.toLower().endsWith(".pdf"))
        return QStringLiteral("label sheets are written as PDF: name a .pdf file after -o");
    return {};
}
}  // namespace

bool optionApplies(const QString& option, Symbology s) {
    const OptionScope* scope = scopeOf(option);
    return scope == nullptr || scopeApplies(*scope, s);
}

void dropInapplicable(SymbolRequest& r) {
    const SymbolRequest defaults;
    for (const OptionScope& scope : kScopes) {
        if (scopeApplies(scope, r.symbology)) continue;
        if (scope.field != nullptr)
            r.*scope.field = defaults.*scope.field;
        else
            r.colour = defaults.colour;
    }
}

QString outputNameProblem(const QByteArray& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F)
            return QStringLiteral(
                       "the output file name holds a control character (byte 0x%1 at "
                       "position %2)")
                .arg(c, 2, 16, QLatin1Char('0'))
                .arg(i + 1);
    }
    return {};
}

std::optional<Symbology> symbologyNamed(const QString& name) {
    if (const symbols::SymbologyRow* row = symbols::symbologyNamed(name)) return row->id;
    return std::nullopt;
}

QString unknownSymbology(const QString& name) {
    QStringList names;
    for (const symbols::SymbologyRow& row : symbols::symbologies())
        names << symbols::toQString(row.cliName);
    const QString last = names.takeLast();
    return QStringLiteral("unknown symbology '%1': use %2 or %3")
        .arg(name, names.join(QStringLiteral(", ")), last);
}

std::optional<Options> parseOptions(const QStringList& args,
                                    const symbols::PageValues& pageDefaults, QString* error) {
    Options o;
    o.symbol.page = pageDefaults;
    QStringList positional;
    std::vector<std::pair<QString, QString>> given;  // valued options, as given
    const auto fail = [error](const QString& text) {
        *error = text;
        return std::nullopt;
    };

    // Options that take a value, and what they do with it (false: the value is wrong).
    SymbolRequest& s = o.symbol;
    symbols::BookExtras book;
    const std::map<QString, std::function<bool(const QString&)>> valued = {
        {QStringLiteral("--addon"),
         [&](const QString& v) {
             s.addon = v;
             return true;
         }},
        {QStringLiteral("--comment"),
         [&](const QString& v) {
             s.comment = v;
             return true;
         }},
        {QStringLiteral("--height"),
         [&](const QString& v) {
             s.height = v;
             return true;
         }},
        {QStringLiteral("--width"),
         [&](const QString& v) {
             s.width = v;
             return true;
         }},
        {QStringLiteral("--module"),
         [&](const QString& v) {
             s.module = v;
             return true;
         }},
        {QStringLiteral("--narrow"),
         [&](const QString& v) {
             s.narrow = v;
             return true;
         }},
        {QStringLiteral("--ratio"),
         [&](const QString& v) {
             s.ratio = v;
             return true;
         }},
        {QStringLiteral("--top"), [&](const QString& v) { return readMils(v, &s.page.ftop); }},
        {QStringLiteral("--down"), [&](const QString& v) { return readMils(v, &s.page.fdown); }},
        {QStringLiteral("--left"), [&](const QString& v) { return readMils(v, &s.page.fleft); }},
        {QStringLiteral("--right"), [&](const QString& v) { return readMils(v, &s.page.fright); }},
        {QStringLiteral("--interval"),
         [&](const QString& v) { return readMils(v, &s.page.fiwidth); }},
        {QStringLiteral("--dpi"),
         [&](const QString& v) {
             bool ok = false;
             s.dpi = v.toInt(&ok);
             return ok && s.dpi >= 1 && s.dpi <= 9600;
         }},
        {QStringLiteral("--font"),
         [&](const QString& v) {
             s.fontFamily = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--font-size"),
         [&](const QString& v) {
             bool ok = false;
             s.fontSize = v.toInt(&ok);
             return ok && s.fontSize >= 1 && s.fontSize <= 1000;
         }},
        {QStringLiteral("--color"),
         [&](const QString& v) {
             s.colour = QColor(v.startsWith(QLatin1Char('#')) ? v : QLatin1Char('#') + v);
             return v.size() >= 6 && v.size() <= 7 && s.colour.isValid();
         }},
        {QStringLiteral("-o"),
         [&](const QString& v) {
             s.output = QFile::encodeName(v);
             return !v.isEmpty();
         }},
        {QStringLiteral("--batch"),
         [&](const QString& v) {
             o.batchFile = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--print"),
         [&](const QString& v) {
             o.printer = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--x"), [&](const QString& v) { return readMils(v, &o.printX); }},
        {QStringLiteral("--y"), [&](const QString& v) { return readMils(v, &o.printY); }},
        {QStringLiteral("--price"),
         [&](const QString& v) {
             book.price = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--issue"),
         [&](const QString& v) {
             book.issue = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--variant"),
         [&](const QString& v) {
             book.variant = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--sheet"),
         [&](const QString& v) {
             o.sheet = v.simplified();
             return !o.sheet.isEmpty();
         }},
        {QStringLiteral("--copies"),
         [&](const QString& v) {
             bool ok = false;
             o.copies = v.toInt(&ok);
             return ok && o.copies >= 1 && o.copies <= 1000000;
         }},
        {QStringLiteral("--start"),
         [&](const QString& v) {
             const QStringList parts = v.split(QLatin1Char(','));
             bool rowOk = false, columnOk = false;
             if (parts.size() == 2) {
                 o.startRow = parts[0].trimmed().toInt(&rowOk);
                 o.startColumn = parts[1].trimmed().toInt(&columnOk);
             }
             return rowOk && columnOk && o.startRow >= 1 && o.startColumn >= 1;
         }},
        {QStringLiteral("--calibrate"),
         [&](const QString& v) {
             o.calibrate = v;
             return !v.isEmpty();
         }},
        {QStringLiteral("--jobs"),
         [&](const QString& v) {
             bool ok = false;
             o.jobs = v.toInt(&ok);
             return ok && o.jobs >= 1 && o.jobs <= 64;
         }},
    };

    // --list-templates takes every word after it.
    if (!args.isEmpty() && args.front() == QLatin1String("--list-templates")) {
        o.listTemplates = true;
        o.templateWords = args.mid(1);
        return o;
    }

    for (int i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            inlineValue = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            arg = arg.left(arg.indexOf(QLatin1Char('=')));
            hasInline = true;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
        } else if (arg == QLatin1String("--turn")) {
            s.turn = true;
        } else if (arg == QLatin1String("--modules")) {
            o.modules = true;
        } else if (arg == QLatin1String("--verify")) {
            o.verify = true;
        } else if (arg == QLatin1String("--check")) {
            // Its value only ever follows "=": "--check 123" leaves the message alone.
            if (hasInline && inlineValue != QLatin1String("json"))
                return fail(QStringLiteral("'%1' is not a valid value for --check: use --check or "
                                           "--check=json")
                                .arg(inlineValue));
            o.check = hasInline ? CheckOutput::Json : CheckOutput::Report;
        } else if (arg == QLatin1String("--strict")) {
            o.strict = true;
        } else if (arg == QLatin1String("--printer-resolution")) {
            o.printerResolution = true;
        } else if (arg == QLatin1String("--force")) {
            o.force = true;
        } else if (arg == QLatin1String("--fill")) {
            o.fill = true;
        } else if (auto it = valued.find(arg); it != valued.end()) {
            if (!hasInline && i + 1 >= args.size())
                return fail(QStringLiteral("%1 needs a value").arg(arg));
            const QString value = hasInline ? inlineValue : args[++i];
            if (!it->second(value))
                return fail(QStringLiteral("'%1' is not a valid value for %2").arg(value, arg));
            given.emplace_back(arg, value);
        } else if (arg == QLatin1String("--")) {
            positional += args.mid(i + 1);
            break;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return fail(QStringLiteral("unknown option %1 (see --help)").arg(arg));
        } else {
            positional << args[i];
        }
    }
    if (o.help) return o;
    for (const auto& given_ : given)
        if (given_.first == QLatin1String("--dpi")) o.dpiGiven = true;
    if (const QString problem = sheetProblem(o, given); !problem.isEmpty()) return fail(problem);
    if (o.printerResolution && o.printer.isEmpty())
        return fail(QStringLiteral("--printer-resolution needs --print PRINTER"));
    if (o.strict && o.check == CheckOutput::None)
        return fail(QStringLiteral("--strict needs --check"));

    if (!s.output.isEmpty()) {
        const QString problem = outputNameProblem(s.output);
        if (!problem.isEmpty()) return fail(problem);
    }
    if (!o.batchFile.isEmpty()) {
        if (!positional.isEmpty())
            return fail(
                QStringLiteral("--batch takes no symbology or message on the command line"));
        // The sizes are the defaults of lines of any symbology: each must be a number even
        // where no line uses it.
        double number = 0;
        for (const auto& [option, value] : given) {
            if (isBookOption(option))
                return fail(QStringLiteral("%1 does not apply to a batch").arg(option));
            if (isSizeOption(option) && !surface::tryStrToFloat(value, number))
                return fail(QStringLiteral("'%1' is not a valid value for %2").arg(value, option));
        }
        return o;
    }
    if (positional.size() != 2)
        return fail(QStringLiteral("expected SYMBOLOGY MESSAGE (see --help)"));
    // A book or serial number is written as an EAN-13.
    const symbols::BookNumberRow* bookRow = symbols::bookNumberNamed(positional[0]);
    const std::optional<Symbology> sym =
        bookRow != nullptr ? bookRow->builtAs : symbologyNamed(positional[0]);
    if (!sym) return fail(unknownSymbology(positional[0]));
    s.symbology = *sym;
    s.message = positional[1];
    bool addOnGiven = false, commentGiven = false;
    for (const auto& [option, value] : given) {
        addOnGiven = addOnGiven || option == QLatin1String("--addon");
        commentGiven = commentGiven || option == QLatin1String("--comment");
        if (const QString problem = bookOptionProblem(option, positional[0]); !problem.isEmpty())
            return fail(problem);
        if (optionApplies(option, s.symbology)) continue;
        return fail(QStringLiteral("%1 does not apply to %2: it is for %3")
                        .arg(option, positional[0], namesTaking(*scopeOf(option))));
    }
    if (bookRow != nullptr) {
        const QString refusal = applyBookNumber(bookRow->id, book, addOnGiven, commentGiven, s);
        if (!refusal.isEmpty()) return fail(refusal);
    }
    if (s.output.isEmpty() && !o.modules && o.printer.isEmpty() && o.check == CheckOutput::None)
        return fail(
            QStringLiteral("nothing to do: give -o FILE, --modules, --check or --print PRINTER"));
    return o;
}

QString usage() {
    return QStringLiteral(R"(Usage:
  marlisk-cli SYMBOLOGY MESSAGE [options] -o FILE
  marlisk-cli SYMBOLOGY MESSAGE [options] --check
  marlisk-cli --batch FILE [options]

Builds the same symbols as the Marlisk Barcode Generator's designer forms, without a
display, and writes them to files or prints them.

SYMBOLOGY    c39, ean13, ean8, upca or upce (in any case: EAN13 works too); or isbn,
             ismn or issn for a book or serial number, built as an EAN-13
MESSAGE      as typed into the form: any Code 39 text; 12 digits (ean13), 7 (ean8),
             11 (upca) or 6 (upce). The full number with its check digit is accepted too
             (13, 8, 12 digits; upce as 0 + 6 digits + check) and the check digit verified.
             isbn: an ISBN-10 (check digit 0-9 or X) or ISBN-13; ismn: M-... or 979-0-...;
             issn: NNNN-NNNC; hyphens and blanks are allowed, and the number's own check
             digit is verified. The comment line defaults to the number ("ISBN 978-...").
             A message that begins with "-" goes after "--", which ends the options:
               marlisk-cli c39 -o lot.png -- -LOT-42

Symbol:
  --addon DIGITS      2- or 5-digit add-on (EAN/UPC)
  --comment TEXT      comment line above the symbol
  --height INCHES     bar height (ean13: height of the whole symbol area)
  --width INCHES      ean13: width of the main symbol, 1 to 9 (default 2)
  --module MILS       upca, ean8, upce: module width (default 21)
  --narrow MILS       c39: narrow bar width (default 23)
  --ratio R           c39: wide-to-narrow ratio, 2.0 to 3.0 (default 2.0)
  --top/--down/--left/--right/--interval MILS
                      page values; default: BCodeSetting.ini beside the program, or in
                      $XDG_CONFIG_HOME/marlisk/ (~/.config/marlisk/) where that is not writable
  --dpi N             resolution of the picture (default 96); the font's point size is
                      scaled by N/96 so that text keeps its printed size
  --font FAMILY       font of the human-readable text (default MS Sans Serif)
  --font-size POINTS  its size at 96 dpi (default 8)
  --color RRGGBB      bar colour of ean13, ean8, upca, upce (default 000000)
  --turn              turned 90 degrees clockwise
  --price CUR:AMOUNT  isbn, ismn: the 5-digit price add-on, CUR one of USD, CAD, AUD, NZD,
                      GBP (USD:19.95 -> 51995; US$ 100 or more -> 59999); --price none -> 90000
  --issue NN          issn: the 2-digit issue add-on
  --variant NN        issn: the two variant digits after the seven (default 00)
Options particular to some symbologies (--addon, --width, --module, --narrow, --ratio,
--color) are refused for a symbol of another symbology; in a batch they apply to the lines
they fit.

Output:
  -o FILE             .png, .bmp, .svg or .pdf by extension; "-" writes PNG to standard
                      output. Files are written whole or not at all; an existing
                      file keeps its mode and owner. Anything but a regular file (or a
                      symbolic link to one) is never replaced; a read-only file and a
                      file with several names (hard links) only with --force.
  --force             replace read-only output files too, and rewrite a file with several
                      names in place so that every name sees the new picture. That write
                      is not whole or nothing: a run killed or a disk failing during it
                      leaves the file part new, part old, under every name.
  --modules           print the module string of the symbol (and of the add-on on a second
                      line) on standard output, as 1 (bar) and 0 (space), after the same
                      checks as a build
  --verify            decode the finished picture and fail unless it reads back the
                      message and add-on and no row band of it reads other data
  --check             judge the picture as built (not turned) as a barcode verifier would:
                      decodes row band by row band, quiet zones, module width, bar widths,
                      cut or missing parts; print one finding a line on standard output
                      ("warn quiet zone: ..."), after the rest is done (on standard
                      error with -o -, whose standard output holds the picture). Needs no -o.
                      Also: contrast under a scanner's red light, the module in whole printer
                      dots, how many dots the bars may grow or shrink, what the number means
                      to GS1, and, where quiet zones are short or text is cut off, the least
                      page values that mend it ("ok   suggest: --left 250 --right 150 ...")
  --check=json        the same findings as JSON lines: {"grade":...,"topic":...,"text":...}
  --strict            with --check: a finding graded fail makes the run fail (status 1);
                      what was asked (a file, a print) is done all the same
  --print PRINTER     print on this CUPS queue as the Print Option dialog does,
  --x MILS --y MILS   at this offset from the printable area's top-left corner
  --printer-resolution
                      with --print: build the symbol anew at the printer's resolution
                      (font scaled as with --dpi) and print it dot for dot, so that every
                      bar is a whole number of printer dots

Label sheets:
  --list-templates [WORDS]
                      list the label templates (brand part, paper, labels across × down,
                      label size) whose brand, part or description hold every word; they
                      come from Debian's label database (glabels-data) and
                      $XDG_CONFIG_HOME/marlisk/templates/, with a few built in
  --sheet TEMPLATE    put the symbol in the labels of a sheet ("Avery 5160", any case),
                      centred in each label, on -o FILE.pdf (made at 600 dpi unless --dpi
                      says otherwise) or --print PRINTER (at the printer's resolution)
  --copies N          this many labels (default 1), on as many sheets as it takes
  --fill              the rest of the sheet from the first free label
  --start ROW,COL     the first free label, counted from 1 at the sheet's top left
  --calibrate DX,DY[,SX,SY]
                      move the labels DX, DY mm and stretch their places SX, SY percent,
                      instead of the printer's calibration kept in BCodeSetting.ini
  With --batch, --sheet puts one label a line (its output field left empty) in order from
  --start, on as many pages as it takes; a refused line stops the run before anything
  is printed or written.

Batch:
  --batch FILE        one symbol a line: symbology,message,addon,comment,output (CSV, fields
                      may be quoted with "). The options above are the defaults of every
                      line. Blank lines and lines starting with # are skipped. A refused line
                      is reported with its number and the batch goes on.
                      Lines longer than 64 KiB, output names with control characters, lines
                      writing a file an earlier line writes (through links too) and a second
                      line writing to standard output are refused. A quoted name keeps its
                      blanks. A line is run only as the first reading of the file held it:
                      a file changed while the batch runs stops the run (status 1). A batch
                      that is not a regular file is read up to 1 GiB and refused at its
                      first line over 64 KiB.
  --jobs N            threads for a batch (default: one per core)
  --check             in a batch: one line for each symbol that is not OK, on standard
                      error with the line's number ("line 7: Check: 2 warnings", "line 7:
                      Does not scan"); --check=json as {"line":7,"summary":"..."}. With
                      --strict such a line counts as failed (it is written all the same)

  --help              describe every option (this text)

Exit status: 0 done; 2 refused input (the text the form would show is on standard error);
1 any other failure (a file that cannot be written, a failed write on standard output, a
printer error, a failed --verify, a finding graded fail with --check --strict);
with --batch, 2 when any line was refused and 1 when any other line failed or the file
changed while the batch ran.
)");
}

}  // namespace cli
