// What writing one label costs besides building it: encoding the PNG, and putting the
// bytes into a new file whole (an unnamed temporary linked into place) against a plain
// create-write-close, which is what a writer that may leave a half-written file does.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QTemporaryDir>

#include "cli/options.h"
#include "cli/symbolbuild.h"
#include "surface/filewrite.h"
#include "surface/png.h"

namespace {
QImage ean13Picture() {
    cli::SymbolRequest r;
    r.symbology = symbols::Symbology::Ena13;
    r.message = QStringLiteral("590123412345");
    return cli::buildSymbol(r).picture.image();
}

void pngEncode(benchmark::State& state) {
    const QImage picture = ean13Picture();
    for (auto _ : state) {
        const QByteArray png = files::encodePalettePng(picture);
        if (png.isEmpty()) state.SkipWithError("not encoded");
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = double(files::encodePalettePng(picture).size());
}

// Writes a new file a round into a fresh folder, removed with its files after the timing.
template <typename Write>
void newFiles(benchmark::State& state, Write write) {
    const QByteArray bytes = files::encodePalettePng(ean13Picture());
    QTemporaryDir dir(QStringLiteral("bench-files-XXXXXX"));
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    int n = 0;
    for (auto _ : state) {
        const QByteArray path = folder + QByteArray::number(n++) + ".png";
        if (!write(path, bytes)) {
            state.SkipWithError(("cannot write " + path).constData());
            break;
        }
    }
}

void wholeFile(benchmark::State& state) {
    newFiles(state, [](const QByteArray& path, const QByteArray& bytes) {
        return files::replaceFile(path, bytes).isEmpty();
    });
}

void plainFile(benchmark::State& state) {
    newFiles(state, [](const QByteArray& path, const QByteArray& bytes) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) return false;
        const bool written = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
        return ::close(fd) == 0 && written;
    });
}
}  // namespace

BENCHMARK(pngEncode)->Name("png/ean13");
BENCHMARK(wholeFile)->Name("file/whole")->Iterations(2000);
BENCHMARK(plainFile)->Name("file/plain")->Iterations(2000);
