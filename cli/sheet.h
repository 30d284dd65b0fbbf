#pragma once
// marlisk-cli's label sheets: the templates it knows, one symbol in as many labels as asked,
// and a batch with one label a line, on a PDF file or a print queue.

#include "cli/options.h"

namespace cli {

// --list-templates [WORDS]: one template a line, "brand part, size, across × down, label
// size". Returns the exit status.
int listTemplates(const Options& o);

// --sheet: the symbol or the batch onto sheets. Returns the exit status: 0 done, 2 refused
// input (nothing written), 1 any other failure.
int runSheet(const Options& o);

}  // namespace cli
