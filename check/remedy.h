#pragma once
// The check's own remedy for quiet zones that are short and text that the picture's edge
// cuts off: the least page values that give the symbol its full quiet zones and its whole
// text, found by building the symbol again with them.

#include <functional>
#include <optional>

#include "check/symbolcheck.h"
#include "symbols/pagevalues.h"

namespace check {

struct Remedy {
    symbols::PageValues page;  // every page value, the changed ones raised
    QString options;           // the changed ones as marlisk-cli options: "--left 250 --right 150"
};

// Builds the same symbol with other page values.
using Rebuild = std::function<symbols::BuildResult(const symbols::PageValues&)>;

// The page values this symbol needs, starting from `page` (with which `in` was built), in
// whole tens of mils; nullopt when it needs none, or when no page values give them.
std::optional<Remedy> remedyFor(const CheckInput& in, const symbols::PageValues& page,
                                const Rebuild& rebuild);

// The remedy as a finding of its own: "suggest: --left 250 --right 150 (...)".
Finding remedyFinding(const Remedy& remedy);

}  // namespace check
