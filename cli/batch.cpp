#include "cli/batch.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "cli/output.h"
#include "cli/symbolbuild.h"
#include "cli/verify.h"

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

std::optional<SymbolRequest> requestOfLine(const QString& line, const SymbolRequest& defaults,
                                           QString* error) {
    const auto fields = splitCsv(line);
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
    const auto field = [&fields](int i) { return i < fields->size() ? fields->at(i) : QString(); };
    const auto sym = symbologyNamed(field(0).trimmed());
    if (!sym) {
        *error = unknownSymbology(field(0));
        return std::nullopt;
    }
    SymbolRequest r = defaults;
    r.symbology = *sym;
    r.message = field(1);
    r.addon = field(2).trimmed();
    if (fields->size() > 3) r.comment = field(3);
    r.output = field(4).trimmed();
    if (r.output.isEmpty()) {
        *error = QStringLiteral("no output file");
        return std::nullopt;
    }
    return r;
}

namespace {
struct LineOutcome {
    int status = 0;  // 0 written, 1 failed, 2 refused
    QString message;
};

LineOutcome runLine(const QString& line, const Options& options) {
    QString error;
    const auto request = requestOfLine(line, options.symbol, &error);
    if (!request) return {2, error};
    const symbols::BuildResult result = buildSymbol(*request);
    if (!result.built()) {
        const QString why =
            result.refusal ? result.refusal->text : QStringLiteral("nothing was built");
        return {2, why};
    }
    if (options.verify) {
        const QString failed = verify(result.picture, expectedData(*request), request->addon);
        if (!failed.isEmpty()) return {1, failed};
    }
    const QString written = writePicture(result.picture, request->turn, request->output);
    if (!written.isEmpty()) return {1, written};
    return {};
}
}  // namespace

int runBatch(const Options& options) {
    QFile file(options.batchFile);
    if (options.batchFile == QLatin1String("-") ? !file.open(stdin, QIODevice::ReadOnly)
                                                : !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read the batch file '%s'\n", qPrintable(options.batchFile));
        return 1;
    }
    // Lines to build, with their numbers in the file.
    std::vector<std::pair<int, QString>> lines;
    QTextStream in(&file);
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine();
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#'))) continue;
        if (number == 1 && t.startsWith(QLatin1String("symbology,"))) continue;  // a header
        lines.emplace_back(number, line);
    }

    const int total = static_cast<int>(lines.size());
    const int threads = std::max(
        1, std::min(options.jobs > 0 ? options.jobs
                                     : static_cast<int>(std::thread::hardware_concurrency()),
                    64));
    std::vector<LineOutcome> outcomes(lines.size());
    // Blocks of lines run in parallel; each block is reported in line order before the next.
    const int block = 512;
    int worst = 0, refused = 0, failed = 0;
    for (int start = 0; start < total; start += block) {
        const int end = std::min(total, start + block);
        std::atomic<int> next{start};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&] {
                for (int i = next++; i < end; i = next++)
                    outcomes[i] = runLine(lines[i].second, options);
            });
        }
        for (std::thread& t : pool) t.join();
        for (int i = start; i < end; ++i) {
            const LineOutcome& o = outcomes[i];
            if (o.status == 0) continue;
            std::fprintf(stderr, "line %d: %s\n", lines[i].first, qPrintable(o.message));
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
    if (refused > 0) worst = 2;
    if (failed > 0) worst = 1;  // a file that could not be written outweighs a refusal
    return worst;
}

}  // namespace cli
