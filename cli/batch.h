#pragma once
// Batches: one symbol a line, "symbology,message,addon,comment,output".

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/options.h"

namespace cli {

// One CSV line split into its fields: commas separate, a field may be quoted with ",
// and "" inside quotes is one ". nullopt for an unterminated quote.
std::optional<QStringList> splitCsv(const QString& line);

// The request of one batch line on top of the defaults; nullopt with the reason when the
// line cannot be a request (no symbology, too many fields...).
std::optional<SymbolRequest> requestOfLine(const QString& line, const SymbolRequest& defaults,
                                           QString* error);

// Runs a whole batch. Progress and refused lines go to standard error. Returns the exit
// status: 0 all written, 2 some line refused, 1 some line failed otherwise.
int runBatch(const Options& options);

}  // namespace cli
