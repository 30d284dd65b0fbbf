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

// The request of one batch line (its bytes, without the line end) on top of the defaults;
// nullopt with the reason when the line cannot be a request (no symbology, too many
// fields, an output name with a control character...). The output name keeps its bytes.
// A line names its output file, or (a batch onto label sheets) names none.
enum class LineOutput { File, None };
std::optional<SymbolRequest> requestOfLine(const QByteArray& line, const SymbolRequest& defaults,
                                           QString* error, LineOutput output = LineOutput::File);

// Longer lines are refused unread: no field of a symbol comes near this.
constexpr int kMaxBatchLine = 64 * 1024;

// Runs a whole batch. Progress and refused lines go to standard error; lines that would
// write the file of an earlier line are refused before anything is written. Returns the
// exit status: 0 all written, 2 some line refused, 1 some line failed otherwise.
int runBatch(const Options& options);

}  // namespace cli
