// The symbol check on what the build paths make of any input, and on pictures and layouts
// no build path would make. Input format: the first line picks the symbology (its row in
// the symbology table); the rest is fuzz/buildinput.h's. A first line of
// "raw" instead takes the rest as a picture: a line "width height dpi symbology", a line of
// geometry numbers (module pixels, modules, bar rectangle, add-on rectangle, as x y w h) and
// the remaining bytes as grey levels.

#include <QImage>

#include "check/symbolcheck.h"
#include "fuzz/buildinput.h"
#include "fuzz/check.h"
#include "fuzz/fuzzinput.h"

namespace {

void checkFindings(const check::CheckInput& in) {
    const std::vector<check::Finding> found = check::checkSymbol(in);
    FUZZ_CHECK(!found.empty());
    for (const check::Finding& f : found) FUZZ_CHECK(!f.text.isEmpty() && !f.topic.isEmpty());
    FUZZ_CHECK(!check::summary(found).isEmpty());
}

const symbols::SymbologyRow& symbologyOf(int n) {
    const auto rows = symbols::symbologies();
    return rows[static_cast<unsigned>(n) % rows.size()];
}

void raw(const std::uint8_t* data, std::size_t size) {
    const QStringList f = fuzzing::fields(data, size, 3);
    const QStringList size4 = f[0].split(QLatin1Char(' '));
    const QStringList g = f[1].split(QLatin1Char(' '));
    const auto at = [](const QStringList& l, int i) { return i < l.size() ? l[i].toInt() : 0; };
    const int w = static_cast<int>(static_cast<unsigned>(at(size4, 0)) % 400) + 1;
    const int h = static_cast<int>(static_cast<unsigned>(at(size4, 1)) % 200) + 1;
    const QByteArray pixels = f[2].toLatin1();
    QImage picture(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const qsizetype i = qsizetype(y) * w + x;
            picture.scanLine(y)[x] =
                pixels.isEmpty() ? 255 : std::uint8_t(pixels[i % pixels.size()]);
        }
    check::CheckInput in;
    in.picture = picture;
    in.dpi = at(size4, 2);
    in.symbology = symbologyOf(at(size4, 3)).id;
    check::Geometry& geo = in.geometry;
    geo.data = QStringLiteral("0123456789012");
    geo.addOn = at(g, 10) % 2 ? QStringLiteral("12") : QString();
    geo.modulePx = at(g, 0);
    geo.modules = at(g, 1);
    geo.typedMils = at(g, 11);
    geo.ratio = at(g, 12);
    geo.bars = QRect(at(g, 2), at(g, 3), at(g, 4), at(g, 5));
    geo.guards.push_back(
        {QStringLiteral("start guard"), QRect(at(g, 2), at(g, 3), at(g, 0), at(g, 5))});
    geo.addOnBars = QRect(at(g, 6), at(g, 7), at(g, 8), at(g, 9));
    geo.texts.push_back({QStringLiteral("1"), QRect(at(g, 6), at(g, 3), at(g, 0), at(g, 9))});
    checkFindings(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t first = 0;
    while (first < size && data[first] != '\n') ++first;
    const QString pick = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(first));
    const std::size_t rest = first < size ? first + 1 : size;
    if (pick == QLatin1String("raw")) {
        raw(data + rest, size - rest);
        return 0;
    }
    const fuzzing::BuildInput b = fuzzing::buildInput(data + rest, size - rest);
    const symbols::SymbologyRow& row = symbologyOf(pick.toInt());
    const symbols::BuildResult built = row.build(b.inputs, b.context);
    if (built.built()) checkFindings(check::checkInputOf(row.id, built));
    return 0;
}
