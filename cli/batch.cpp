#include "cli/batch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
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
                                           QString* error) {
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

// Reads the batch file (standard input for "-") line by line. Lines longer than
// kMaxBatchLine are kept as their number alone: an absurd line costs no more memory than
// a long one. Empty on success, otherwise why the file cannot be read.
QString readLines(const QString& name, std::vector<BatchLine>* out, const SymbolRequest& defaults) {
    int fd = 0;
    if (name == QLatin1String("-")) {
        if (files::standardStreamClosed(0)) return QStringLiteral("standard input is closed");
    } else {
        fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    }
    QByteArray line;
    bool tooLong = false;
    int number = 1;
    const auto endLine = [&] {
        BatchLine b;
        b.number = number++;
        const QByteArray t = line.trimmed();
        const bool header = b.number == 1 && t.startsWith("symbology,");
        if (tooLong) {
            b.outcome = {2, QStringLiteral("the line is longer than %1 bytes").arg(kMaxBatchLine)};
        } else if (t.isEmpty() || t.startsWith('#') || header) {
            line.clear();
            return;
        } else {
            b.request = requestOfLine(line, defaults, &b.outcome.message);
            if (!b.request) b.outcome.status = 2;
        }
        out->push_back(std::move(b));
        line.clear();
        tooLong = false;
    };
    char buffer[64 * 1024];
    QString error;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, -1) < 0 && errno != EINTR) {
                error = QString::fromLocal8Bit(std::strerror(errno));
                break;
            }
            continue;
        }
        if (n < 0) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (n == 0) {
            if (!line.isEmpty() || tooLong) endLine();
            break;
        }
        for (const char* p = buffer; p < buffer + n;) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', buffer + n - p));
            const qsizetype piece = (nl ? nl : buffer + n) - p;
            if (!tooLong && line.size() + piece <= kMaxBatchLine) {
                line.append(p, piece);
            } else {
                tooLong = true;
                line.clear();
            }
            if (nl == nullptr) break;
            endLine();
            p = nl + 1;
        }
    }
    if (fd != 0) ::close(fd);
    return error;
}

// A later line that writes the file an earlier one writes is refused: with several threads
// either could win.
void refuseDuplicateOutputs(std::vector<BatchLine>& lines) {
    std::map<QByteArray, int> firstWriter;
    for (BatchLine& b : lines) {
        if (!b.request || b.request->output == "-") continue;
        const auto [it, fresh] =
            firstWriter.emplace(files::fileIdentity(b.request->output), b.number);
        if (fresh) continue;
        b.outcome = {2, QStringLiteral("'%1' is also the output of line %2")
                            .arg(QFile::decodeName(b.request->output))
                            .arg(it->second)};
        b.request.reset();
    }
}
}  // namespace

int runBatch(const Options& options) {
    std::vector<BatchLine> lines;
    const QString unreadable = readLines(options.batchFile, &lines, options.symbol);
    if (!unreadable.isEmpty()) {
        std::fprintf(stderr, "cannot read the batch file '%s': %s\n", qPrintable(options.batchFile),
                     qPrintable(unreadable));
        return 1;
    }
    refuseDuplicateOutputs(lines);

    const int total = static_cast<int>(lines.size());
    const int threads = std::max(
        1, std::min(options.jobs > 0 ? options.jobs
                                     : static_cast<int>(std::thread::hardware_concurrency()),
                    64));
    // Blocks of lines run in parallel; each block is reported in line order before the next.
    const int block = 512;
    int worst = 0, refused = 0, failed = 0, failedCheck = 0;
    for (int start = 0; start < total; start += block) {
        const int end = std::min(total, start + block);
        std::atomic<int> next{start};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&] {
                for (int i = next++; i < end; i = next++)
                    if (lines[i].request)
                        lines[i].outcome = runLine(lines[i].number, *lines[i].request, options);
            });
        }
        for (std::thread& t : pool) t.join();
        for (int i = start; i < end; ++i) {
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
        if (total >= 1000 && (end % tenth == 0 || end == total))
            std::fprintf(stderr, "%d of %d lines done\n", end, total);
    }
    if (refused + failed > 0)
        std::fprintf(stderr, "%d of %d lines not written (%d refused, %d failed)\n",
                     refused + failed, total, refused, failed);
    if (failedCheck > 0)
        std::fprintf(stderr, "%d of %d lines written but failing the symbol check (--strict)\n",
                     failedCheck, total);
    if (refused > 0) worst = 2;
    // A file that could not be written, or a symbol that fails the check under --strict,
    // outweighs a refusal.
    if (failed + failedCheck > 0) worst = 1;
    return worst;
}

}  // namespace cli
