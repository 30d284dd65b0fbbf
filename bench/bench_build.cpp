// One default symbol of each symbology, encoded and drawn in memory: ours against libzint
// encoding and rastering the same symbol in the same run.

#include <benchmark/benchmark.h>
#include <zint.h>

#include <QGuiApplication>
#include <cstring>

#include "cli/options.h"
#include "cli/symbolbuild.h"
#include "surface/font.h"

namespace {
void ours(benchmark::State& state, cli::Symbology s, const char* message) {
    cli::SymbolRequest r;
    r.symbology = s;
    r.message = QString::fromLatin1(message);
    for (auto _ : state) {
        symbols::BuildResult result = cli::buildSymbol(r);
        if (!result.built()) state.SkipWithError("not built");
        benchmark::DoNotOptimize(result.picture.image().constBits());
    }
}

void zint(benchmark::State& state, int symbology, const char* data) {
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = symbology;
        symbol->scale = 1.0f;  // two pixels a module, as ours at 96 dpi
        const int error =
            ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(data),
                                       static_cast<int>(std::strlen(data)), 0);
        if (error >= ZINT_ERROR) state.SkipWithError(symbol->errtxt);
        benchmark::DoNotOptimize(symbol->bitmap);
        ZBarcode_Delete(symbol);
    }
}
}  // namespace

BENCHMARK_CAPTURE(ours, c39, cli::Symbology::C39, "AB");
BENCHMARK_CAPTURE(zint, c39, BARCODE_CODE39, "AB");
BENCHMARK_CAPTURE(ours, ean13, cli::Symbology::Ean13, "590123412345");
BENCHMARK_CAPTURE(zint, ean13, BARCODE_EANX, "590123412345");
BENCHMARK_CAPTURE(ours, ean8, cli::Symbology::Ean8, "9638507");
BENCHMARK_CAPTURE(zint, ean8, BARCODE_EANX, "9638507");
BENCHMARK_CAPTURE(ours, upca, cli::Symbology::UpcA, "03600029145");
BENCHMARK_CAPTURE(zint, upca, BARCODE_UPCA, "03600029145");
BENCHMARK_CAPTURE(ours, upce, cli::Symbology::UpcE, "123456");
BENCHMARK_CAPTURE(zint, upce, BARCODE_UPCE, "0123456");

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
