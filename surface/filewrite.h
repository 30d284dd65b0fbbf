#pragma once
// Putting finished bytes into a file or onto standard output without harming what was
// there: a file is written whole or not at all, an existing file keeps its mode, owner and
// other names, and what is not a plain file is never replaced. Pictures and the settings
// file are written here alike; this needs nothing but Qt Core.

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

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

// What replaceFile may do to an existing file beyond putting a new file in its place.
struct Allow {
    // Replace a read-only file.
    bool readOnly = false;
    // Rewrite a file with several names (hard links) in place, so that every name sees the
    // new content. Replacing it would part its names; rewriting it in place is not whole or
    // nothing: a run killed while writing leaves it part new, part old.
    bool inPlace = false;
};

// Replaces or creates the file `path` (bytes as given: file names need not be UTF-8) with
// `bytes`, whole or not at all, keeping an existing file's mode and owner. Refuses what is
// not a regular file (or a symbolic link to one), and a read-only file or one with several
// names unless `allow` says otherwise. A symbolic link is written through to its target.
// Empty on success, otherwise the reason (without the file name).
QString replaceFile(const QByteArray& path, const QByteArray& bytes, Allow allow = {});

// A file written piece by piece that takes the place of `path` as replaceFile would, once
// it is complete: what is too large to hold in memory first. Until commit nothing is seen
// at `path`; a replacement dropped uncommitted leaves no trace.
class Replacement {
  public:
    Replacement();
    ~Replacement();  // discards what was not committed
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Looks at `path` as replaceFile does and opens the new content. Empty on success,
    // otherwise the reason (without the file name).
    QString begin(const QByteArray& path, Allow allow = {});
    // Where the new content is written, open from a successful begin until commit.
    QIODevice* device();
    // Why what was written so far was not all stored (a full disk); empty while it was.
    QString error() const;
    // Puts the written content in the file's place. Empty on success, otherwise the reason.
    QString commit();
    // Drops what was written; the file stays as it was.
    void discard();

  private:
    struct Private;
    std::unique_ptr<Private> d_;
};

// The reasons replaceFile gives for a file it was not allowed to replace.
QString readOnlyReason();
QString severalNamesReason();

// Names the file `path` would write to, so that two spellings of one file compare equal:
// after following symbolic links (dangling ones too), its device and inode when it exists,
// else its folder's real path and its own name.
QByteArray fileIdentity(const QByteArray& path);

// A file whose new content is complete gets a name beginning with this for the moment
// before it is renamed over the file it replaces; where the file system has no unnamed
// files it has that name from the start. A writer keeps it locked while it lives, so one
// that is not locked was left by a killed run: the first write into a folder removes those.
constexpr char kTemporaryPrefix[] = ".marlisk-temporary-";

namespace testing {
// The moments of a write a test can stop at (for example by killing the process).
enum class Step {
    TemporaryNamed,  // the complete temporary has its name; the file is not yet replaced
    InPlaceWritten,  // rewriting in place: the new content is written, not yet cut to length
};
void setHook(void (*hook)(Step));
// False: write as on a file system without unnamed files.
void setUnnamedTemporaries(bool allowed);
}  // namespace testing

}  // namespace files
