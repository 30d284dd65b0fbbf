#pragma once
// Batches: one symbol a line, "symbology,message,addon,comment,output".

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/options.h"

namespace cli {

// One CSV line split into its fields: commas separate, a field may be quoted with ",
// and "" inside quotes is one ". A field whose first non-blank character is a quote keeps
// what lies between its quotes, without the blanks around them; `quoted`, when given,
// says which fields those are. nullopt for an unterminated quote.
std::optional<QStringList> splitCsv(const QString& line, QList<bool>* quoted = nullptr);

// The request of one batch line (its bytes, without the line end) on top of the defaults;
// nullopt with the reason when the line cannot be a request (no symbology, too many
// fields, an output name with a control character...). The output name keeps its bytes.
// A line names its output file, or (a batch onto label sheets) names none.
enum class LineOutput { File, None };
std::optional<SymbolRequest> requestOfLine(const QByteArray& line, const SymbolRequest& defaults,
                                           QString* error, LineOutput output = LineOutput::File);

// Longer lines are refused unread: no field of a symbol comes near this.
constexpr int kMaxBatchLine = 64 * 1024;
// A batch that is not a regular file (standard input, a pipe, a device) is copied aside to
// be read twice; the copy stops here.
constexpr qint64 kMaxBatchStream = qint64(1) << 30;

// Runs a whole batch. Progress and refused lines go to standard error; lines that would
// write the file of an earlier line are refused before anything is written. Returns the
// exit status: 0 all written, 2 some line refused, 1 some line failed otherwise.
int runBatch(const Options& options);

}  // namespace cli
