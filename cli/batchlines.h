#pragma once
// A batch file's lines as every batch reads them: a plain batch, and a batch onto label
// sheets. Each is read twice (once to refuse or compare, once to run) without being kept
// in memory, and a line is known again by the hash of its number and bytes.

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <optional>

#include "cli/batch.h"
#include "cli/options.h"

namespace cli {

// Reads a batch file line by line, from the start as often as asked. Standard input and
// other streams are first copied into an unnamed temporary file, so that a batch of any
// length is read twice without being kept in memory. Lines longer than kMaxBatchLine are
// kept as their number alone.
class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Empty on success, otherwise why the file cannot be read; `refused()` tells a stream
    // that is refused (an over-long line, or more than kMaxBatchStream) from one that
    // cannot be read. "-" is standard input.
    QString open(const QString& name);
    bool refused() const { return refused_; }

    // Back to the first line.
    void rewind();

    // The next line: false at the end of the file or on a read error (then `error` says
    // why). `tooLong` lines come without their bytes.
    bool next(QByteArray* line, int* number, bool* tooLong, QString* error);

  private:
    ssize_t readSome(int fd);
    bool take(QByteArray* line, int* number, bool* tooLong);

    int fd_ = -1;
    off_t first_ = 0;
    char buffer_[64 * 1024];
    qsizetype begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    QByteArray line_;
    bool tooLong_ = false;
    int number_ = 0;
    bool refused_ = false;
};

// A line that holds a symbol, or is refused.
struct SymbolLine {
    int number = 0;
    quint64 hash = 0;                      // of its number and all its bytes: lowest bit clear
    std::optional<SymbolRequest> request;  // empty when the line is refused
    QString refusal;
};

// The next line that holds a symbol (or is refused), on top of the defaults; false at the
// end or on a read error (then `error` says why). Empty lines, comments, a header line and
// a byte-order mark before it are passed over.
bool nextSymbolLine(LineReader& reader, const SymbolRequest& defaults, LineOutput output,
                    SymbolLine* line, QString* error);

}  // namespace cli
