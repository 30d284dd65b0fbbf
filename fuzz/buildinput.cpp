#include "fuzz/buildinput.h"

#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"
#include "surface/limits.h"

namespace fuzzing {

BuildInput buildInput(const std::uint8_t* data, std::size_t size) {
    const QStringList f = fields(data, size, 13);
    BuildInput in;
    in.inputs = {f[0], f[1], f[2], f[3], f[4], f[5]};
    in.context.page = {number(f[6]), number(f[7]), number(f[8]), number(f[9]), number(f[10])};
    in.context.font.pointSize =
        static_cast<int>(static_cast<unsigned>(f[11].trimmed().toInt()) % 129);
    static constexpr int kDpis[] = {0, 72, 96, 300, 600};
    in.context.dpi = kDpis[static_cast<unsigned>(f[12].trimmed().toInt()) % 5];
    return in;
}

void checkResult(const symbols::BuildResult& r, bool emptyMayFinish) {
    const surface::Bitmap& p = r.picture;
    FUZZ_CHECK(!surface::pictureSizeRefusal(p.width(), p.height()));
    if (r.built()) {
        FUZZ_CHECK(emptyMayFinish || !p.isEmpty());
        FUZZ_CHECK(r.dpi > 0);
    }
    if (r.refusal) FUZZ_CHECK(!r.refusal->text.isEmpty());
    if (r.stoppedAt == symbols::BuildResult::StoppedAt::Checks) FUZZ_CHECK(p.isEmpty());
}

}  // namespace fuzzing
