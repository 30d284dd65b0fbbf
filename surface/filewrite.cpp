#include "surface/filewrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <utility>

namespace files {

namespace {
std::array<bool, 3> closedStreams{};

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes everything, waiting on a descriptor that would block. 0 or the errno.
int writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n > 0) {
            data += n;
            size -= n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, -1);
        } else {
            return n < 0 ? errno : EIO;
        }
    }
    return 0;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray realPath(const QByteArray& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

void (*stepHook)(testing::Step) = nullptr;
std::atomic<bool> unnamedAllowed{true};

constexpr std::size_t kPrefixLength = sizeof kTemporaryPrefix - 1;
constexpr int kRandomLetters = 8;

QByteArray temporaryName(const QByteArray& folder) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    QByteArray name = folder + '/' + kTemporaryPrefix;
    for (int i = 0; i < kRandomLetters; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

bool isTemporaryName(const char* name) {
    if (std::strncmp(name, kTemporaryPrefix, kPrefixLength) != 0) return false;
    const char* letters = name + kPrefixLength;
    return std::strlen(letters) == kRandomLetters &&
           std::all_of(letters, letters + kRandomLetters,
                       [](char c) { return std::isalnum(uchar(c)) != 0; });
}

// A temporary whose lock can be taken has no writer: its writer finished or was killed
// (the system drops a process's locks when it ends). It is removed if it still has the
// name it was opened by. Each folder is looked through once a run.
void removeLeftTemporaries(const QByteArray& folder) {
    static std::mutex lock;
    static std::set<QByteArray> done;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!done.insert(folder).second) return;
    }
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) return;
    while (const dirent* e = ::readdir(dir)) {
        if (!isTemporaryName(e->d_name)) continue;
        const int fd = ::openat(::dirfd(dir), e->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(::dirfd(dir), e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlinkat(::dirfd(dir), e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A locked temporary in `folder`: unnamed where the file system allows, else named (and
// then locked before anyone else can take the lock and remove it). -1 and errno on failure.
int openTemporary(const QByteArray& folder, QByteArray* name) {
    if (unnamedAllowed) {
        const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX);
            return fd;
        }
    }
    for (int tries = 0; tries < 100; ++tries) {
        *name = temporaryName(folder);
        const int fd = ::open(name->constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) break;
        // Another run's sweep may have taken the lock between the open and this one; then
        // it has removed the file, which must not be written.
        struct stat st {};
        const bool locked = ::flock(fd, LOCK_EX) == 0;
        if (locked && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        if (!locked) ::unlink(name->constData());
        ::close(fd);
    }
    name->clear();
    return -1;
}

mode_t newFileMode() {
    // Read from the kernel's account of the process: setting the umask to find it would
    // change it for a moment, for every thread making a file meanwhile.
    static const mode_t mask = [] {
        if (FILE* f = std::fopen("/proc/self/status", "re")) {
            char line[256];
            unsigned m = 0;
            bool found = false;
            while (!found && std::fgets(line, sizeof line, f))
                found = std::sscanf(line, "Umask: %o", &m) == 1;
            std::fclose(f);
            if (found) return mode_t(m);
        }
        const mode_t m = ::umask(0);  // a kernel without the line: read it the old way
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

// Rewrites a file with several names in place, after reserving its room so that a full
// disk is found before the old content is touched.
QString rewriteInPlace(const QByteArray& path, const struct stat& was, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return systemError(errno);
    struct stat now {};
    int error = 0;
    if (::fstat(fd, &now) != 0 || now.st_dev != was.st_dev || now.st_ino != was.st_ino)
        error = EAGAIN;  // replaced meanwhile
    else if (!bytes.isEmpty())
        error = ::posix_fallocate(fd, 0, bytes.size());
    if (error == 0) error = writeAll(fd, bytes.constData(), bytes.size());
    if (error == 0 && stepHook) stepHook(testing::Step::InPlaceWritten);
    if (error == 0 && ::ftruncate(fd, bytes.size()) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? QString() : systemError(error);
}
}  // namespace

int writeAllTo(int fd, const char* data, qint64 size) {
    return writeAll(fd, data, size);
}

void guardStandardStreams() {
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closedStreams[fd] = true;
        ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);  // takes the lowest free number
    }
}

bool standardStreamClosed(int fd) {
    return fd >= 0 && fd < 3 && closedStreams[fd];
}

QString writeStandardOutput(const QByteArray& bytes) {
    if (standardStreamClosed(1)) return QStringLiteral("standard output is closed");
    std::fflush(stdout);
    const int error = writeAll(1, bytes.constData(), bytes.size());
    return error == 0 ? QString() : systemError(error);
}

QString readOnlyReason() {
    return QStringLiteral("the file is read-only");
}

QString severalNamesReason() {
    return QStringLiteral("the file has several names (hard links)");
}

namespace {
// The file a write is going to end in, as found when the write began.
struct Target {
    QByteArray path;  // symbolic links followed
    struct stat st {};
    bool exists = false;
    bool inPlace = false;  // several names: rewritten in place rather than replaced
};

// Looks at `path` and says whether it may be written under `allow`. Empty when it may.
QString examine(const QByteArray& path, Allow allow, Target* t) {
    t->path = path;
    // One look at the name; a symbolic link takes a second at what it points to.
    struct stat& st = t->st;
    t->exists = ::lstat(path.constData(), &st) == 0;
    if (!t->exists && errno != ENOENT) return systemError(errno);
    const bool isLink = t->exists && S_ISLNK(st.st_mode);
    if (isLink) {
        t->exists = ::stat(path.constData(), &st) == 0;
        if (!t->exists && errno != ENOENT) return systemError(errno);
    }
    if (!t->exists && isLink) return QStringLiteral("it is a symbolic link to nothing");
    if (!t->exists) return {};
    if (!S_ISREG(st.st_mode)) return QStringLiteral("it is not a regular file");
    const bool readOnly =
        (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.constData(), W_OK) != 0;
    if (readOnly && !allow.readOnly) return readOnlyReason();
    if (isLink) t->path = realPath(path);
    if (t->path.isEmpty()) return systemError(errno);
    if (st.st_nlink > 1) {
        if (!allow.inPlace) return severalNamesReason();
        t->inPlace = true;
    }
    return {};
}

// Puts the complete temporary `fd` (unnamed, or called `name`) in the target's place and
// closes it. 0 or the errno; the temporary is gone either way.
int install(const Target& t, int fd, QByteArray name) {
    const QByteArray folder = folderOf(t.path);
    const bool unnamed = name.isEmpty();
    int error = 0;
    if (t.exists) {
        // The owner first: changing it clears set-id bits that the mode then restores.
        if (t.st.st_uid != ::geteuid() || t.st.st_gid != ::getegid())
            (void)::fchown(fd, t.st.st_uid, t.st.st_gid);
        if (::fchmod(fd, t.st.st_mode & 07777) != 0) error = errno;
    } else if (::fchmod(fd, newFileMode()) != 0) {
        error = errno;
    }
    // A new file is linked in under its own name at once, complete: nothing can be seen
    // half-written and no rename is needed. Should the name have been taken meanwhile, it
    // is replaced as an existing file would be.
    bool linked = false;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (error == 0 && unnamed && !t.exists) {
        linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, t.path.constData(),
                          AT_SYMLINK_FOLLOW) == 0;
        if (!linked && errno != EEXIST) error = errno;
    }
    if (error == 0 && unnamed && !linked) {
        for (int tries = 0; tries < 100; ++tries) {
            name = temporaryName(folder);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                break;
            name.clear();
            if (errno != EEXIST) {
                error = errno;
                break;
            }
        }
        if (name.isEmpty() && error == 0) error = EEXIST;
    }
    if (error == 0 && !name.isEmpty() && stepHook) stepHook(testing::Step::TemporaryNamed);
    // The lock stays until the rename is done (a copy of the descriptor holds it), while
    // closing the descriptor written through reports what a network file system could not
    // store.
    const int lock = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (::close(fd) != 0 && error == 0) {
        error = errno;
        if (linked) ::unlink(t.path.constData());  // what was written may not all be there
    }
    if (error == 0 && !linked && ::rename(name.constData(), t.path.constData()) != 0) error = errno;
    if (error != 0 && !name.isEmpty()) ::unlink(name.constData());
    if (lock >= 0) ::close(lock);
    if (error == 0) removeLeftTemporaries(folder);
    return error;
}

// Where a file rewritten in place collects its new content meanwhile: beside it, or in the
// folder for temporary files when its own folder takes no new files.
int openSpool(const QByteArray& folder, QByteArray* name) {
    const int fd = openTemporary(folder, name);
    if (fd >= 0) return fd;
    const QByteArray tmp = qgetenv("TMPDIR");
    return openTemporary(tmp.isEmpty() ? QByteArrayLiteral("/tmp") : tmp, name);
}
}  // namespace

QString replaceFile(const QByteArray& path, const QByteArray& bytes, Allow allow) {
    Target target;
    if (QString refusal = examine(path, allow, &target); !refusal.isEmpty()) return refusal;
    if (target.inPlace) return rewriteInPlace(target.path, target.st, bytes);
    // An unnamed temporary vanishes with the process whatever happens to it; it gets a name
    // only for the moment between being complete and being renamed over the file.
    QByteArray name;
    const int fd = openTemporary(folderOf(target.path), &name);
    if (fd < 0) return systemError(errno);
    int error = writeAll(fd, bytes.constData(), bytes.size());
    if (error != 0) {
        ::close(fd);
        if (!name.isEmpty()) ::unlink(name.constData());
    } else {
        error = install(target, fd, name);
    }
    return error == 0 ? QString() : systemError(error);
}

namespace {
// A file that remembers why a piece was not stored whole. QFile takes a piece stored in
// part (the disk filled in the middle of it) as written short, without an error, and
// keeps no reason for a buffer it could store only in part; a writer that does not look
// at what each write returns (a PDF writer) would then go on as if all were there.
class StoringFile : public QFile {
  public:
    // The errno of the first piece not stored whole, or 0.
    int failure = 0;

  protected:
    qint64 writeData(const char* data, qint64 size) override {
        errno = 0;
        const qint64 written = QFile::writeData(data, size);
        if (written != size && failure == 0) failure = errno != 0 ? errno : EIO;
        return written;
    }
};
}  // namespace

struct Replacement::Private {
    Target target;
    int fd = -1;
    QByteArray name;   // of a named temporary
    StoringFile file;  // writes through fd
};

Replacement::Replacement() : d_(std::make_unique<Private>()) {}

Replacement::~Replacement() {
    discard();
}

QString Replacement::begin(const QByteArray& path, Allow allow) {
    discard();
    if (QString refusal = examine(path, allow, &d_->target); !refusal.isEmpty()) return refusal;
    const QByteArray folder = folderOf(d_->target.path);
    d_->fd = d_->target.inPlace ? openSpool(folder, &d_->name) : openTemporary(folder, &d_->name);
    if (d_->fd < 0) return systemError(errno);
    d_->file.open(d_->fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    return {};
}

QIODevice* Replacement::device() {
    return &d_->file;
}

QString Replacement::commit() {
    if (d_->fd < 0) return systemError(EBADF);
    // A piece that could not be written (a full disk) leaves its error on the file even
    // when what is still buffered goes out.
    errno = 0;
    if (!d_->file.flush() && d_->file.failure == 0) d_->file.failure = errno != 0 ? errno : EIO;
    const QString failure = error();
    d_->file.close();
    if (!failure.isEmpty()) {
        discard();
        return failure;
    }
    int error = 0;
    if (d_->target.inPlace) {
        // The new content is read back from the spool: mapped, it takes no memory of ours.
        struct stat spool {};
        if (::fstat(d_->fd, &spool) != 0) return systemError(errno);
        const qint64 size = spool.st_size;
        void* data =
            size > 0 ? ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, d_->fd, 0) : nullptr;
        if (data == MAP_FAILED) {
            error = errno;
            discard();
            return systemError(error);
        }
        const QString result = rewriteInPlace(
            d_->target.path, d_->target.st,
            QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size)));
        if (data) ::munmap(data, size_t(size));
        discard();
        return result;
    }
    error = install(d_->target, std::exchange(d_->fd, -1), std::exchange(d_->name, {}));
    return error == 0 ? QString() : systemError(error);
}

QString Replacement::error() const {
    if (d_->file.failure != 0) return systemError(d_->file.failure);
    return d_->file.error() == QFileDevice::NoError ? QString() : d_->file.errorString();
}

void Replacement::discard() {
    if (d_->file.isOpen()) d_->file.close();
    d_->file.failure = 0;
    if (d_->fd >= 0) ::close(std::exchange(d_->fd, -1));
    if (!d_->name.isEmpty()) ::unlink(std::exchange(d_->name, {}).constData());
}

QByteArray fileIdentity(const QByteArray& given) {
    // A symbolic link names the file it points to, as the writer writes through it, even
    // while that file does not exist yet; a loop names itself.
    QByteArray path = given;
    struct stat st {};
    for (int links = 0; links < 40 && ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
         ++links) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n <= 0 || n == ssize_t(sizeof target)) break;
        const QByteArray to(target, n);
        path = to.startsWith('/') ? to : folderOf(path) + '/' + to;
    }
    if (::stat(path.constData(), &st) == 0)
        return "inode " + QByteArray::number(quint64(st.st_dev)) + ':' +
               QByteArray::number(quint64(st.st_ino));
    const QByteArray folder = realPath(folderOf(path));
    const qsizetype slash = path.lastIndexOf('/');
    return "path " + (folder.isEmpty() ? folderOf(path) : folder) + '/' + path.mid(slash + 1);
}

namespace testing {
void setHook(void (*hook)(Step)) {
    stepHook = hook;
}

void setUnnamedTemporaries(bool allowed) {
    unnamedAllowed = allowed;
}
}  // namespace testing

}  // namespace files
