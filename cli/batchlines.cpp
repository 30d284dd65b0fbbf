#include "cli/batchlines.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "surface/filewrite.h"

namespace cli {

namespace {
QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The hash the first reading keeps of a line and the second compares: of its number and
// all its bytes, so that a line changed in place, even to one of the same length, or cut
// short is known.
quint64 lineHash(int number, const QByteArray& line, bool tooLong) {
    return qHash(line, size_t(number) * 0x9E3779B97F4A7C15ull + (tooLong ? 1 : 0)) & ~quint64(1);
}

}  // namespace

LineReader::~LineReader() {
    if (fd_ > 0) ::close(fd_);
}

QString LineReader::open(const QString& name) {
    int source = 0;
    if (name == QLatin1String("-")) {
        if (files::standardStreamClosed(0)) return QStringLiteral("standard input is closed");
    } else {
        source = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC);
        if (source < 0) return systemError();
    }
    struct stat st {};
    if (::fstat(source, &st) == 0 && S_ISREG(st.st_mode)) {
        fd_ = source;
        first_ = ::lseek(fd_, 0, SEEK_CUR);  // standard input may be partly read
        return {};
    }
    const char* tmp = std::getenv("TMPDIR");
    fd_ = ::open(tmp && *tmp ? tmp : "/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        char name[] = "/tmp/.marlisk-batch-XXXXXX";
        fd_ = ::mkostemp(name, O_CLOEXEC);
        if (fd_ >= 0) ::unlink(name);
    }
    QString error = fd_ < 0 ? systemError() : QString();
    // The copy is bounded: an endless source (/dev/zero, a generator that never stops)
    // is refused rather than allowed to fill the disk.
    qint64 copied = 0, lineLength = 0;
    int lineNumber = 1;
    while (error.isEmpty()) {
        const ssize_t n = readSome(source);
        if (n < 0) error = systemError();
        if (n <= 0) break;
        for (const char *p = buffer_, *end = buffer_ + n; p < end;) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
            lineLength += (nl ? nl : end) - p;
            if (lineLength > kMaxBatchLine) {
                refused_ = true;
                error = QStringLiteral(
                            "line %1 is longer than %2 bytes (a batch that is not a regular "
                            "file is read no further)")
                            .arg(QString::number(lineNumber), QString::number(kMaxBatchLine));
                break;
            }
            if (nl == nullptr) break;
            lineLength = 0;
            ++lineNumber;
            p = nl + 1;
        }
        copied += n;
        if (error.isEmpty() && copied > kMaxBatchStream) {
            refused_ = true;
            error = QStringLiteral(
                        "a batch that is not a regular file holds at most %1 MiB; write it "
                        "to a file first")
                        .arg(kMaxBatchStream >> 20);
        }
        if (!error.isEmpty()) break;
        if (const int e = files::writeAllTo(fd_, buffer_, n); e != 0)
            error = QString::fromLocal8Bit(std::strerror(e));
    }
    if (source != 0) ::close(source);
    if (error.isEmpty()) rewind();
    return error;
}

void LineReader::rewind() {
    ::lseek(fd_, first_, SEEK_SET);
    line_.clear();
    tooLong_ = false;
    number_ = 0;
    begin_ = end_ = 0;
    atEnd_ = false;
}

bool LineReader::next(QByteArray* line, int* number, bool* tooLong, QString* error) {
    for (;;) {
        if (begin_ == end_) {
            if (atEnd_) return false;
            const ssize_t n = readSome(fd_);
            if (n < 0) {
                *error = systemError();
                return false;
            }
            begin_ = 0;
            end_ = n;
            if (n == 0) {
                atEnd_ = true;
                if (line_.isEmpty() && !tooLong_) return false;
                return take(line, number, tooLong);
            }
        }
        const char* p = buffer_ + begin_;
        const auto* nl = static_cast<const char*>(std::memchr(p, '\n', end_ - begin_));
        const qsizetype piece = (nl ? nl : buffer_ + end_) - p;
        if (!tooLong_ && line_.size() + piece <= kMaxBatchLine) {
            line_.append(p, piece);
        } else {
            tooLong_ = true;
            line_.clear();
        }
        begin_ += piece + (nl ? 1 : 0);
        if (nl != nullptr) return take(line, number, tooLong);
    }
}

ssize_t LineReader::readSome(int fd) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer_, sizeof buffer_);
        if (n >= 0 || errno == EINTR) {
            if (n >= 0) return n;
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, -1) < 0 && errno != EINTR) return -1;
    }
}

bool LineReader::take(QByteArray* line, int* number, bool* tooLong) {
    *line = line_;
    *number = ++number_;
    *tooLong = tooLong_;
    line_.clear();
    tooLong_ = false;
    return true;
}

bool nextSymbolLine(LineReader& reader, const SymbolRequest& defaults, LineOutput output,
                    SymbolLine* b, QString* error) {
    QByteArray line;
    bool tooLong = false;
    while (reader.next(&line, &b->number, &tooLong, error)) {
        b->request.reset();
        b->refusal.clear();
        b->hash = lineHash(b->number, line, tooLong);
        if (tooLong) {
            b->refusal = QStringLiteral("the line is longer than %1 bytes").arg(kMaxBatchLine);
            return true;
        }
        // A file with DOS line ends has a carriage return before each line feed.
        while (line.endsWith('\r')) line.chop(1);
        // A byte-order mark, as some editors write, is not part of the first line.
        if (b->number == 1 && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
        const QByteArray t = line.trimmed();
        if (t.isEmpty() || t.startsWith('#') || (b->number == 1 && t.startsWith("symbology,")))
            continue;
        b->request = requestOfLine(line, defaults, &b->refusal, output);
        return true;
    }
    return false;
}

}  // namespace cli
