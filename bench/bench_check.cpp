// The symbol check's own speed: one default symbol of each symbology at 96 dpi, built once,
// checked in the loop (both decoders over every row band, the measurements, the findings).

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "check/symbolcheck.h"
#include "surface/font.h"
#include "tests/buildpaths.h"

namespace {
void checkDefault(benchmark::State& state, buildpaths::Symbology s) {
    const buildpaths::Inputs in;
    const symbols::BuildResult built = buildpaths::build(s, in);
    if (!built.built()) {
        state.SkipWithError("not built");
        return;
    }
    const check::CheckInput input = check::checkInputOf(s, built);
    for (auto _ : state) {
        std::vector<check::Finding> found = check::checkSymbol(input);
        benchmark::DoNotOptimize(found.data());
    }
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    for (const symbols::SymbologyRow& row : symbols::symbologies())
        benchmark::RegisterBenchmark(
            (std::string("check/") + buildpaths::nameOf(row.id)).c_str(),
            [s = row.id](benchmark::State& state) { checkDefault(state, s); })
            ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
