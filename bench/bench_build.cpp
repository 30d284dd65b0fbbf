// One default symbol of each symbology, encoded and drawn in memory: ours against libzint
// encoding and rastering the same symbol in the same run.

#include <benchmark/benchmark.h>
#include <zint.h>

#include <QGuiApplication>
#include <cstring>
#include <string>

#include "cli/options.h"
#include "cli/symbolbuild.h"
#include "surface/font.h"
#include "symbols/symbologies.h"

namespace {
// One symbol built each time. With `paint` its pixels are asked for as well (ours/);
// without (unpainted/) its operations are recorded and none painted, so the difference is
// what painting them costs.
void ours(benchmark::State& state, cli::Symbology s, const char* message, bool paint) {
    cli::SymbolRequest r;
    r.symbology = s;
    r.message = QString::fromLatin1(message);
    for (auto _ : state) {
        symbols::BuildResult result = cli::buildSymbol(r);
        if (!result.built()) state.SkipWithError("not built");
        if (paint)
            benchmark::DoNotOptimize(result.picture.image().constBits());
        else
            benchmark::DoNotOptimize(result.picture.drawing());
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

// The peer's symbology and data for each of ours, in the order of the symbology table.
struct Peer {
    symbols::Symbology ours;
    const char* message;
    int zintSymbology;
    const char* zintData;
};
constexpr Peer kPeers[] = {
    {symbols::Symbology::C39, "AB", BARCODE_CODE39, "AB"},
    {symbols::Symbology::Ena13, "590123412345", BARCODE_EANX, "590123412345"},
    {symbols::Symbology::Ean8, "9638507", BARCODE_EANX, "9638507"},
    {symbols::Symbology::UpcA, "03600029145", BARCODE_UPCA, "03600029145"},
    {symbols::Symbology::UpcE, "123456", BARCODE_UPCE, "0123456"},
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    for (const symbols::SymbologyRow& row : symbols::symbologies()) {
        for (const Peer& p : kPeers) {
            if (p.ours != row.id) continue;
            const std::string name(row.cliName);
            benchmark::RegisterBenchmark(("ours/" + name).c_str(), ours, row.id, p.message, true);
            benchmark::RegisterBenchmark(("unpainted/" + name).c_str(), ours, row.id, p.message,
                                         false);
            benchmark::RegisterBenchmark(("zint/" + name).c_str(), zint, p.zintSymbology,
                                         p.zintData);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
