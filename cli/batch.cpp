#include "cli/batch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <barrier>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "cli/checking.h"
#include "cli/symbolbuild.h"
#include "surface/filewrite.h"
#include "surface/picturefile.h"

namespace cli {

std::optional<QStringList> splitCsv(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    fields << field;
    return fields;
}

std::optional<SymbolRequest> requestOfLine(const QByteArray& line, const SymbolRequest& defaults,
                                           QString* error, LineOutput output) {
    // Split as Latin-1, which keeps every byte: the output field stays the bytes of the
    // file name, the other fields are read as UTF-8.
    const auto fields = splitCsv(QString::fromLatin1(line));
    if (!fields) {
        *error = QStringLiteral("a quoted field is not closed");
        return std::nullopt;
    }
    if (fields->size() > 5) {
        *error = QStringLiteral(
                     "%1 fields; a line has at most 5: symbology,message,addon,comment,output")
                     .arg(fields->size());
        return std::nullopt;
    }
    const auto bytes = [&fields](int i) {
        return i < fields->size() ? fields->at(i).toLatin1() : QByteArray();
    };
    const auto text = [&bytes](int i) { return QString::fromUtf8(bytes(i)); };
    const auto sym = symbologyNamed(text(0).trimmed());
    if (!sym) {
        *error = unknownSymbology(text(0));
        return std::nullopt;
    }
    SymbolRequest r = defaults;
    r.symbology = *sym;
    r.message = text(1);
    if (const QString addon = text(2).trimmed(); !addon.isEmpty()) r.addon = addon;
    if (fields->size() > 3) r.comment = text(3);
    dropInapplicable(r);
    r.output = bytes(4).trimmed();
    if (output == LineOutput::None) {
        if (r.output.isEmpty()) return r;
        *error = QStringLiteral(
                     "a line put on a sheet names no output file (its fifth field is "
                     "'%1')")
                     .arg(QString::fromUtf8(r.output));
        return std::nullopt;
    }
    if (r.output.isEmpty()) {
        *error = QStringLiteral("no output file");
        return std::nullopt;
    }
    if (const QString problem = outputNameProblem(r.output); !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    return r;
}

namespace {
struct LineOutcome {
    int status = 0;  // 0 written, 1 failed, 2 refused
    QString message;
    QString checked = {};     // --check's line for a symbol that is not OK
    bool failsCheck = false;  // written, but --strict counts it as failed
};

// A line of the batch file with its number; `request` is empty when the line is refused.
struct BatchLine {
    int number = 0;
    std::optional<SymbolRequest> request;
    LineOutcome outcome;
};

LineOutcome runLine(int number, const SymbolRequest& request, const Options& options) {
    const symbols::BuildResult result = buildSymbol(request);
    if (!result.built()) {
        const QString why =
            result.refusal ? result.refusal->text : QStringLiteral("nothing was built");
        return {2, why};
    }
    const std::vector<check::Finding> findings = checkIfAsked(options, request, result);
    if (options.verify) {
        const QString failed = verifyBuilt(request, result, findings);
        if (!failed.isEmpty()) return {1, failed};
    }
    const QString written = writeOutput(result.picture, request, options.force);
    if (!written.isEmpty()) return {1, written};
    LineOutcome done;
    done.checked = batchCheckLine(number, findings, options.check);
    done.failsCheck = options.strict && checkFails(findings);
    return done;
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Reads a batch file line by line, from the start as often as asked. Standard input and
// other streams are first copied into an unnamed temporary file, so that a batch of any
// length is read twice (once to find duplicate outputs, once to write) without being
// kept in memory. Lines longer than kMaxBatchLine are kept as their number alone.
class LineReader {
  public:
    ~LineReader() {
        if (fd_ > 0) ::close(fd_);
    }

    // Empty on success, otherwise why the file cannot be read.
    QString open(const QString& name) {
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
        while (error.isEmpty()) {
            const ssize_t n = readSome(source);
            if (n < 0) error = systemError();
            if (n <= 0) break;
            if (const int e = files::writeAllTo(fd_, buffer_, n); e != 0)
                error = QString::fromLocal8Bit(std::strerror(e));
        }
        if (source != 0) ::close(source);
        if (error.isEmpty()) rewind();
        return error;
    }

    // Back to the first line.
    void rewind() {
        ::lseek(fd_, first_, SEEK_SET);
        line_.clear();
        tooLong_ = false;
        number_ = 0;
        begin_ = end_ = 0;
        atEnd_ = false;
    }

    // The next line: false at the end of the file or on a read error (then `error` says
    // why). `tooLong` lines come without their bytes.
    bool next(QByteArray* line, int* number, bool* tooLong, QString* error) {
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

  private:
    ssize_t readSome(int fd) {
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

    bool take(QByteArray* line, int* number, bool* tooLong) {
        *line = line_;
        *number = ++number_;
        *tooLong = tooLong_;
        line_.clear();
        tooLong_ = false;
        return true;
    }

    int fd_ = -1;
    off_t first_ = 0;
    char buffer_[64 * 1024];
    qsizetype begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    QByteArray line_;
    bool tooLong_ = false;
    int number_ = 0;
};

// The next line that holds a symbol (or is refused), as the batch runs it; false at the
// end. Empty lines, comments and a header line are passed over.
bool nextLine(LineReader& reader, const SymbolRequest& defaults, BatchLine* b, QString* error) {
    QByteArray line;
    bool tooLong = false;
    while (reader.next(&line, &b->number, &tooLong, error)) {
        b->request.reset();
        b->outcome = {};
        if (tooLong) {
            b->outcome = {2, QStringLiteral("the line is longer than %1 bytes").arg(kMaxBatchLine)};
            return true;
        }
        const QByteArray t = line.trimmed();
        if (t.isEmpty() || t.startsWith('#') || (b->number == 1 && t.startsWith("symbology,")))
            continue;
        b->request = requestOfLine(line, defaults, &b->outcome.message);
        if (!b->request) b->outcome.status = 2;
        return true;
    }
    return false;
}

// A later line that writes the file an earlier one writes is refused: with several threads
// either could win. Found before anything is written, keeping no more than a number for
// each line: the lines whose files' identities share a hash are read again and compared
// whole. Maps each refused line to the line that writes its file first.
struct Lines {
    int symbols = 0;  // lines that are run or refused
    std::map<int, int> duplicates;
};

std::optional<Lines> scanLines(LineReader& reader, const SymbolRequest& defaults, QString* error) {
    Lines lines;
    std::vector<std::pair<std::size_t, int>> hashes;  // hash of the file's identity, line
    BatchLine b;
    while (nextLine(reader, defaults, &b, error)) {
        ++lines.symbols;
        if (b.request && b.request->output != "-")
            hashes.emplace_back(qHash(files::fileIdentity(b.request->output)), b.number);
    }
    if (!error->isEmpty()) return std::nullopt;
    std::sort(hashes.begin(), hashes.end());
    std::set<int> shared;
    for (std::size_t i = 1; i < hashes.size(); ++i) {
        if (hashes[i].first != hashes[i - 1].first) continue;
        shared.insert(hashes[i - 1].second);
        shared.insert(hashes[i].second);
    }
    if (shared.empty()) return lines;
    reader.rewind();
    std::map<QByteArray, int> firstWriter;
    while (nextLine(reader, defaults, &b, error)) {
        if (!b.request || !shared.count(b.number)) continue;
        const auto [it, fresh] =
            firstWriter.emplace(files::fileIdentity(b.request->output), b.number);
        if (!fresh) lines.duplicates.emplace(b.number, it->second);
    }
    if (!error->isEmpty()) return std::nullopt;
    return lines;
}
// Threads that live as long as the batch, so that each keeps its fonts and glyphs from
// block to block: run(n) has them take the items 0 to n - 1 between them.
class Workers {
  public:
    Workers(int threads, std::function<void(int)> work)
        : work_(std::move(work)), sync_(threads + 1) {
        for (int t = 0; t < threads; ++t) {
            threads_.emplace_back([this] {
                for (;;) {
                    sync_.arrive_and_wait();  // a block is ready, or the batch is over
                    if (count_ < 0) return;
                    for (int i = next_++; i < count_; i = next_++) work_(i);
                    sync_.arrive_and_wait();
                }
            });
        }
    }
    ~Workers() {
        count_ = -1;
        sync_.arrive_and_wait();
        for (std::thread& t : threads_) t.join();
    }
    void run(int count) {
        count_ = count;
        next_ = 0;
        sync_.arrive_and_wait();
        sync_.arrive_and_wait();
    }

  private:
    std::function<void(int)> work_;
    std::barrier<> sync_;
    std::vector<std::thread> threads_;
    int count_ = 0;
    std::atomic<int> next_{0};
};
}  // namespace

int runBatch(const Options& options) {
    const auto unreadable = [&options](const QString& why) {
        std::fprintf(stderr, "cannot read the batch file '%s': %s\n", qPrintable(options.batchFile),
                     qPrintable(why));
        return 1;
    };
    LineReader reader;
    QString error = reader.open(options.batchFile);
    if (!error.isEmpty()) return unreadable(error);
    const std::optional<Lines> scanned = scanLines(reader, options.symbol, &error);
    if (!scanned) return unreadable(error);
    reader.rewind();

    const int total = scanned->symbols;
    const int threads = std::max(
        1, std::min(options.jobs > 0 ? options.jobs
                                     : static_cast<int>(std::thread::hardware_concurrency()),
                    64));
    // Blocks of lines run in parallel; each block is reported in line order before the next.
    const int block = 512;
    std::vector<BatchLine> lines(block);
    Workers pool(threads, [&lines, &options](int i) {
        if (lines[i].request)
            lines[i].outcome = runLine(lines[i].number, *lines[i].request, options);
    });
    int worst = 0, refused = 0, failed = 0, failedCheck = 0;
    // The file is read a second time to run it: one that changed meanwhile (shorter, or
    // grown by lines the duplicate search never saw) is run no further than both readings
    // agree on, and said.
    bool changed = false;
    int ran = 0;
    for (int start = 0; start < total; start += block) {
        const int stop = std::min(start + block, total);
        int end = start;
        while (end < stop && nextLine(reader, options.symbol, &lines[end - start], &error)) {
            BatchLine& b = lines[end - start];
            if (const auto d = scanned->duplicates.find(b.number);
                b.request && d != scanned->duplicates.end()) {
                b.outcome = {2, QStringLiteral("'%1' is also the output of line %2")
                                    .arg(QFile::decodeName(b.request->output))
                                    .arg(d->second)};
                b.request.reset();
            }
            ++end;
        }
        if (!error.isEmpty()) return unreadable(error);
        pool.run(end - start);
        for (int i = 0; i < end - start; ++i) {
            const LineOutcome& o = lines[i].outcome;
            // With the other reports of its line, in line order; standard output stays free
            // for a line that writes its PNG there.
            if (!o.checked.isEmpty()) std::fputs(qPrintable(o.checked), stderr);
            if (o.failsCheck) ++failedCheck;
            if (o.status == 0) continue;
            std::fprintf(stderr, "line %d: %s\n", lines[i].number, qPrintable(o.message));
            (o.status == 2 ? refused : failed)++;
        }
        // Progress about every tenth of a long batch.
        const int tenth = std::max(block, (total / 10 + block - 1) / block * block);
        if (total >= 1000 && end > start && (end % tenth == 0 || end == total))
            std::fprintf(stderr, "%d of %d lines done\n", end, total);
        ran = end;
        if (end < stop) {
            changed = true;
            break;
        }
    }
    if (BatchLine more; !changed && nextLine(reader, options.symbol, &more, &error)) changed = true;
    if (changed)
        std::fprintf(stderr,
                     "the batch file '%s' changed while the batch ran: %d of the %d lines it "
                     "held at first were run\n",
                     qPrintable(options.batchFile), ran, total);
    if (refused + failed > 0)
        std::fprintf(stderr, "%d of %d lines not written (%d refused, %d failed)\n",
                     refused + failed, total, refused, failed);
    if (failedCheck > 0)
        std::fprintf(stderr, "%d of %d lines written but failing the symbol check (--strict)\n",
                     failedCheck, total);
    if (refused > 0) worst = 2;
    // A file that could not be written, or a symbol that fails the check under --strict,
    // outweighs a refusal.
    if (failed + failedCheck > 0 || changed) worst = 1;
    return worst;
}

}  // namespace cli
