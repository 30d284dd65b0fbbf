#pragma once
// A zlib stream for picture rows, made without searching: a symbol's rows mostly repeat the
// row above, and a row that does is one back-reference to it. Inside a row, a stretch like
// the row above is a reference to it and a run of a byte a reference to the byte before;
// everything else is sent as it is. All of it with deflate's fixed codes, in one block.

#include <QByteArray>

namespace files {

// The zlib stream (header, one deflate block, Adler-32) of `raw`, read as rows of `stride`
// bytes (the last may be short).
QByteArray deflateRows(const QByteArray& raw, int stride);

}  // namespace files
