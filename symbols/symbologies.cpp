#include "symbols/symbologies.h"

#include <array>

#include "symbols/Tean8unit.h"
#include "symbols/Tupc_a_barunit.h"
#include "symbols/Tupce_unit.h"
#include "symbols/barfamilybuild.h"
#include "symbols/c39.h"
#include "symbols/c39build.h"
#include "symbols/ena13.h"
#include "symbols/ena13build.h"
#include "symbols/numbersets.h"

namespace symbols {

namespace {

bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !s.isEmpty();
}

QString orDefault(const QString& typed, const QString& usual) {
    return typed.isEmpty() ? usual : typed;
}

// The build paths over the common inputs.
BuildResult buildC39Row(const SymbolInputs& in, const BuildContext& context) {
    C39Inputs c;
    c.height = orDefault(in.height, c.height);
    c.narrowWidth = orDefault(in.width, c.narrowWidth);
    c.ratio = orDefault(in.ratio, c.ratio);
    c.comment = in.comment;
    c.message = in.message;
    return buildC39(c, context);
}

BuildResult buildEna13Row(const SymbolInputs& in, const BuildContext& context) {
    Ena13Inputs e;
    e.height = orDefault(in.height, e.height);
    e.width = orDefault(in.width, e.width);
    e.comment = in.comment;
    e.message = in.message;
    e.supplemental = in.addOn;
    return buildEna13(e, context);
}

template <BuildResult (*Build)(const BarFamilyInputs&, const BuildContext&)>
BuildResult buildBarFamilyRow(const SymbolInputs& in, const BuildContext& context) {
    BarFamilyInputs b;
    b.height = orDefault(in.height, b.height);
    b.moduleWidth = orDefault(in.width, b.moduleWidth);
    b.comment = in.comment;
    b.message = in.message;
    b.supplemental = in.addOn;
    return Build(b, context);
}

// What scanners read.
QString c39Scanned(const QString& typed) {
    return Tc39::Scanned(typed);
}

template <int Length>
QString weight3Scanned(const QString& typed) {
    if (typed.size() != Length || !allDigits(typed)) return {};
    return typed + QString::number(checkDigitWeight3Right(typed));
}

QString upceScanned(const QString& typed) {
    if (typed.size() != 6 || !allDigits(typed)) return {};
    return QLatin1Char('0') + typed +
           QString::number(checkDigitWeight3Right(Tupce::ExpandToUpcA(typed)));
}

// The encoders, as module strings of 1 and 0.
QString c39Modules(const QString& typed) {
    const QString modules = Tc39::ModulesOf(typed);
    return modules == QLatin1String(Tc39::kNil.data(), Tc39::kNil.size()) ? QString() : modules;
}

QString ena13Modules(const QString& typed) {
    if (typed.size() != 12 || !allDigits(typed)) return {};
    // Guard bars and spaces ('b', 'a') are bars and spaces like any other.
    QString modules = TENA13::Encode(typed);
    modules.replace(QLatin1Char('b'), QLatin1Char('1')).replace(QLatin1Char('a'), QLatin1Char('0'));
    return modules;
}

template <class Symbol, int Length>
QString barFamilyModules(const QString& typed) {
    if (typed.size() != Length || !allDigits(typed)) return {};
    Symbol symbol;
    symbol.SetMessage(typed);
    return symbol.Encode(typed);
}

const SymbolInputs kC39Defaults{
    {}, {}, {}, C39Inputs{}.height, C39Inputs{}.narrowWidth, C39Inputs{}.ratio};
const SymbolInputs kEna13Defaults{{}, {}, {}, Ena13Inputs{}.height, Ena13Inputs{}.width, {}};
const SymbolInputs kBarFamilyDefaults{
    {}, {}, {}, BarFamilyInputs{}.height, BarFamilyInputs{}.moduleWidth, {}};

using W = WidthMeaning;
// The check's rules: least quiet zones as ISO/IEC 15420 (EAN/UPC) and ISO/IEC 16388 (Code 39)
// give them; UPC/EAN modules from 80 % to 200 % of the nominal 0.33 mm; Code 39 ratios from
// 2.0 (2.2 for narrow bars under 0.5 mm) to 3.0.
constexpr CheckRules upcEanRules(int left, int right) {
    return {"module", "modules", left, right, 0.33, 0.264, 0.66, 0, 0, 0, 0};
}
constexpr CheckRules kC39Rules{"narrow bar", "narrow widths", 10, 10, 0, 0, 0, 2.0, 3.0, 0.5, 2.2};

// clang-format off
const std::array<SymbologyRow, 5> kRows = {{
    // id              cli      stored            title     menu item menu caption
    //   typed full at addOn ratio colour width
    {Symbology::C39,   "c39",   "Bar Code C39",   "Code 39", "C391",  "&C39",
       0,  0,   0, false, true,  false, W::NarrowBarMils,
     kC39Defaults, c39Scanned, c39Modules, buildC39Row, kC39Rules},
    {Symbology::Ena13, "ean13", "Bar Code ENA13", "EAN-13",  "ENA13", "EAN-1&3",
      12, 13,   0, true,  false, true,  W::SymbolInches,
     kEna13Defaults, weight3Scanned<12>, ena13Modules, buildEna13Row, upcEanRules(11, 7)},
    {Symbology::Ean8,  "ean8",  "Bar Code ENA8",  "EAN-8",   "EAN81", "EAN-&8",
       7,  8,   0, true,  false, true,  W::ModuleMils,
     kBarFamilyDefaults, weight3Scanned<7>, barFamilyModules<Tean8, 7>, buildBarFamilyRow<buildEan8>,
     upcEanRules(7, 7)},
    {Symbology::UpcA,  "upca",  "Bar Code UPC-A", "UPC-A",   "upca1", "UPC-&A",
      11, 12,   0, true,  false, true,  W::ModuleMils,
     kBarFamilyDefaults, weight3Scanned<11>, barFamilyModules<Tupc_a, 11>, buildBarFamilyRow<buildUpcA>,
     upcEanRules(9, 9)},
    {Symbology::UpcE,  "upce",  "Bar Code UPC-E", "UPC-E",   "UPCE1", "UPC-&E",
       6,  8,   1, true,  false, true,  W::ModuleMils,
     kBarFamilyDefaults, upceScanned, barFamilyModules<Tupce, 6>, buildBarFamilyRow<buildUpcE>,
     upcEanRules(9, 7)},
}};
// clang-format on

}  // namespace

std::span<const SymbologyRow> symbologies() {
    return kRows;
}

const SymbologyRow& symbology(Symbology id) {
    for (const SymbologyRow& row : kRows)
        if (row.id == id) return row;
    return kRows.front();  // not reached: every id has its row
}

const SymbologyRow* symbologyNamed(QStringView cliName) {
    for (const SymbologyRow& row : kRows)
        if (cliName.compare(QLatin1String(row.cliName.data(), row.cliName.size()),
                            Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

const SymbologyRow* symbologyStored(QStringView storedName) {
    for (const SymbologyRow& row : kRows)
        if (storedName == QLatin1String(row.storedName.data(), row.storedName.size())) return &row;
    return nullptr;
}

}  // namespace symbols
