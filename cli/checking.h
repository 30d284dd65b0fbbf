#pragma once
// The symbol check for marlisk-cli: --check's report, --verify's row bands, --strict, and a
// batch's summary lines.

#include <QString>
#include <vector>

#include "check/symbolcheck.h"
#include "cli/options.h"
#include "symbols/buildresult.h"

namespace cli {

// The findings of the check on a finished build of the request, on the picture as built
// (not turned).
std::vector<check::Finding> checkBuilt(const SymbolRequest& r, const symbols::BuildResult& built);

// The same where --verify or --check asks for it; none otherwise (the check costs time).
std::vector<check::Finding> checkIfAsked(const Options& o, const SymbolRequest& r,
                                         const symbols::BuildResult& built);

// Adds the page values that would give the symbol full quiet zones and whole text, as a
// finding of its own ("suggest: --left 250 --right 150 ..."), where it needs them.
void addRemedy(const SymbolRequest& r, const symbols::BuildResult& built,
               std::vector<check::Finding>& findings);

// --verify on a finished build: empty when the decoder reads back the data and add-on and
// no row band reads other data; otherwise "verification failed: " and what went wrong.
QString verifyBuilt(const SymbolRequest& r, const symbols::BuildResult& built,
                    const std::vector<check::Finding>& findings);

// Whether some finding is a fail: what --strict turns into a failure.
bool checkFails(const std::vector<check::Finding>& findings);

// What --check prints for one symbol: the report, or one JSON line a finding.
QString checkOutput(const std::vector<check::Finding>& findings, CheckOutput how);

// A batch's line for a symbol that is not OK ("line 7: Check: 2 warnings", or
// {"line":7,"summary":"Check: 2 warnings"} as JSON), with its line end; empty for a symbol
// that scans and meets every minimum.
QString batchCheckLine(int line, const std::vector<check::Finding>& findings, CheckOutput how);

}  // namespace cli
