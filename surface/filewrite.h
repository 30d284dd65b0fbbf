#pragma once
// Putting finished bytes into a file or onto standard output without harming what was
// there: a file is written whole or not at all, an existing file keeps its mode, owner and
// other names, and what is not a plain file is never replaced.

#include <QByteArray>
#include <QString>

namespace files {

// Call first thing in main: a standard stream that was closed gets /dev/null in its place,
// so that no file opened later takes its number (a closed standard output must not send
// a picture into whatever file opened next).
void guardStandardStreams();
bool standardStreamClosed(int fd);

// Writes all of `data` to the descriptor, waiting where it would block. 0 or the errno.
int writeAllTo(int fd, const char* data, qint64 size);

// Writes all of `bytes` on standard output. Empty on success, otherwise the reason.
QString writeStandardOutput(const QByteArray& bytes);

// Replaces or creates the file `path` (bytes as given: file names need not be UTF-8) with
// `bytes`. Refuses what is not a regular file (or a symbolic link to one) and a read-only
// file unless `force`. A symbolic link is written through to its target; a file with
// several names (hard links) is rewritten in place so that every name sees the new
// picture. Empty on success, otherwise the reason (without the file name).
QString replaceFile(const QByteArray& path, const QByteArray& bytes, bool force);

// The reason replaceFile gives for a read-only file it was not forced to replace.
QString readOnlyReason();

// Names the file `path` would write to, so that two spellings of one file compare equal:
// after following symbolic links (dangling ones too), its device and inode when it exists,
// else its folder's real path and its own name.
QByteArray fileIdentity(const QByteArray& path);

// Age after which a leftover temporary of a killed run is removed.
constexpr int kStaleTemporarySeconds = 60;

}  // namespace files
