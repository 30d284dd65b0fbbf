#include "cli/batch.h"

#include <signal.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <barrier>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "cli/batchlines.h"
#include "cli/checking.h"
#include "cli/symbolbuild.h"
#include "surface/filewrite.h"
#include "surface/picturefile.h"

namespace cli {

std::optional<QStringList> splitCsv(const QString& line, QList<bool>* quotedFields) {
    QStringList fields;
    QString field;
    QString after;  // blanks after a quoted field's closing quote: kept only if more follows
    bool inQuotes = false;
    bool quotedField = false;  // the field's first non-blank character opened quotes
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    const auto endField = [&] {
        fields << field;
        if (quotedFields) *quotedFields << quotedField;
        field.clear();
        after.clear();
        quotedField = false;
    };
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            if (!quotedField && std::all_of(field.cbegin(), field.cend(), blank)) {
                field.clear();  // the blanks before the opening quote are not the field's
                quotedField = true;
            } else {
                field += after;
                after.clear();
            }
            inQuotes = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (quotedField && blank(c)) {
            after += c;
        } else {
            field += after;
            after.clear();
            field += c;
        }
    }
    if (inQuotes) return std::nullopt;
    endField();
    return fields;
}

std::optional<SymbolRequest> requestOfLine(const QByteArray& line, const SymbolRequest& defaults,
                                           QString* error, LineOutput output) {
    // Split as Latin-1, which keeps every byte: the output field stays the bytes of the
    // file name, the other fields are read as UTF-8.
    QList<bool> quoted;
    const auto fields = splitCsv(QString::fromLatin1(line), &quoted);
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
    // A quoted name keeps every byte between its quotes, blanks included.
    r.output = quoted.value(4) ? bytes(4) : bytes(4).trimmed();
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

// A line of the batch file and what running it came to.
struct BatchLine : SymbolLine {
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

// Two lines write one file when these agree: standard output is one "file" too.
QByteArray outputIdentity(const QByteArray& output) {
    return output == "-" ? QByteArrayLiteral("standard output") : files::fileIdentity(output);
}

// The next line that holds a symbol (or is refused), as the batch runs it; false at the
// end.
bool nextLine(LineReader& reader, const SymbolRequest& defaults, BatchLine* b, QString* error) {
    if (!nextSymbolLine(reader, defaults, LineOutput::File, b, error)) return false;
    b->outcome = b->request ? LineOutcome{} : LineOutcome{2, b->refusal};
    return true;
}

// What the first reading keeps of a line that holds a symbol: the hash of its number and
// bytes, to know it again when it is run (its lowest bit says whether the line has an
// output), and the hash of its output file's identity.
struct Known {
    quint64 line = 0;
    quint64 output = 0;
    bool hasOutput() const { return line & 1; }
};

// A later line that writes the file an earlier one writes is refused: with several threads
// either could win. Found before anything is written, keeping 16 bytes for each line and,
// while looking, 4 more; the lines whose files' identities share a hash are read again and
// compared whole, which keeps 8 bytes for each line found to be a duplicate and the
// identity of each file that several lines write. `duplicates` holds, in line order, each
// refused line (its place among the lines that hold a symbol) with the number of the line
// that writes its file first. Deques grow without copying what they hold.
struct Lines {
    std::deque<Known> known;
    std::deque<std::pair<int, int>> duplicates;
};

std::optional<Lines> scanLines(LineReader& reader, const SymbolRequest& defaults, QString* error) {
    Lines lines;
    BatchLine b;
    while (nextLine(reader, defaults, &b, error)) {
        if (b.request)
            lines.known.push_back({b.hash | 1, qHash(outputIdentity(b.request->output))});
        else
            lines.known.push_back({b.hash & ~quint64(1), 0});
    }
    if (!error->isEmpty()) return std::nullopt;
    std::vector<quint32> withOutput;  // the lines with an output, by their place
    withOutput.reserve(lines.known.size());
    for (std::size_t place = 0; place < lines.known.size(); ++place)
        if (lines.known[place].hasOutput()) withOutput.push_back(quint32(place));
    std::sort(withOutput.begin(), withOutput.end(), [&lines](quint32 a, quint32 b) {
        return lines.known[a].output < lines.known[b].output;
    });
    std::vector<bool> shared(lines.known.size());
    bool anyShared = false;
    for (std::size_t i = 1; i < withOutput.size(); ++i) {
        if (lines.known[withOutput[i]].output != lines.known[withOutput[i - 1]].output) continue;
        shared[withOutput[i - 1]] = shared[withOutput[i]] = anyShared = true;
    }
    std::vector<quint32>().swap(withOutput);
    if (!anyShared) return lines;
    reader.rewind();
    // One entry for each file that several lines may write, however many lines write it.
    std::map<QByteArray, int> firstWriter;
    for (std::size_t place = 0; place < lines.known.size() && nextLine(reader, defaults, &b, error);
         ++place) {
        // A line changed since the first reading is not run: the run stops before it.
        if (!shared[place] || !b.request || (b.hash | 1) != lines.known[place].line) continue;
        const auto [it, fresh] = firstWriter.emplace(outputIdentity(b.request->output), b.number);
        if (!fresh) lines.duplicates.emplace_back(int(place), it->second);
    }
    if (!error->isEmpty()) return std::nullopt;
    return lines;
}

// Why a line is refused that writes where an earlier one writes. The name is an argument,
// never part of the format: it may hold a '%'.
QString duplicateText(const QByteArray& output, int first) {
    if (output == "-")
        return QStringLiteral(
                   "standard output ('-') is also the output of line %1: a batch writes one "
                   "PNG there at most")
            .arg(first);
    return QStringLiteral("'%1' is also the output of line %2")
        .arg(QFile::decodeName(output), QString::number(first));
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
    if (reader.refused()) {
        std::fprintf(stderr, "the batch file '%s' is refused: %s\n", qPrintable(options.batchFile),
                     qPrintable(error));
        return 2;
    }
    if (!error.isEmpty()) return unreadable(error);
    const std::optional<Lines> scanned = scanLines(reader, options.symbol, &error);
    if (!scanned) return unreadable(error);
    reader.rewind();
    // Tests change the file here, between the readings, to see that it is noticed.
    if (qEnvironmentVariableIsSet("MARLISK_BATCH_PAUSE")) ::raise(SIGSTOP);

    const int total = int(scanned->known.size());
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
    // The file is read a second time to run it, and each line is run only if it is what
    // the first reading held, byte for byte: one that changed meanwhile (a line edited in
    // place or cut short, the file shorter, or grown by lines the duplicate search never
    // saw) is run no further than both readings agree on, and said.
    bool changed = false;
    int changedLine = 0;  // the first line found different, when one was
    int ran = 0;
    auto duplicate = scanned->duplicates.begin();
    for (int start = 0; start < total; start += block) {
        const int stop = std::min(start + block, total);
        int end = start;
        while (end < stop && nextLine(reader, options.symbol, &lines[end - start], &error)) {
            BatchLine& b = lines[end - start];
            if (b.hash != (scanned->known[end].line & ~quint64(1))) {
                changedLine = b.number;
                break;
            }
            if (duplicate != scanned->duplicates.end() && duplicate->first == end) {
                if (b.request) b.outcome = {2, duplicateText(b.request->output, duplicate->second)};
                b.request.reset();
                ++duplicate;
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
    if (changed) {
        const QString which =
            changedLine > 0 ? QStringLiteral(" (line %1 is not what it was at the first reading)")
                                  .arg(changedLine)
                            : QString();
        std::fprintf(stderr,
                     "the batch file '%s' changed while the batch ran%s: %d of the %d lines it "
                     "held at first were run\n",
                     qPrintable(options.batchFile), qPrintable(which), ran, total);
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
    if (failed + failedCheck > 0 || changed) worst = 1;
    return worst;
}

}  // namespace cli
