#include "symbols/buildresult.h"

#include <algorithm>
#include <cmath>

#include "surface/limits.h"
#include "surface/rounding.h"
#include "surface/screen.h"

namespace symbols {

int BuildContext::resolvedDpi() const {
    return dpi > 0 ? dpi : surface::screenDpi();
}

BuildContext BuildContext::scaledTo(int otherDpi) const {
    const int from = resolvedDpi();
    BuildContext scaled = *this;
    scaled.dpi = otherDpi;
    scaled.font.pointSize =
        std::max(1, surface::roundToInt(double(font.pointSize) * otherDpi / from));
    if (scaled.font.renderDpi <= 0) scaled.font.renderDpi = from;
    return scaled;
}

BuildContext BuildContext::at(int dpi, const PageValues& page, const surface::Font& font,
                              const QColor& barColor) {
    BuildContext chosen;
    chosen.page = page;
    chosen.font = font;
    chosen.barColor = barColor;
    chosen.dpi = kChosenAt;
    return chosen.scaledTo(dpi);
}

Refusal notice(QString text, Input input, Refusal::Owner owner) {
    return Refusal{Refusal::Kind::Notice, std::move(text), input, owner};
}

Refusal conversionError(QString text, Input input) {
    return Refusal{Refusal::Kind::ConversionError, std::move(text), input, Refusal::Owner::Form};
}

BuildResult stopped(BuildResult::StoppedAt at, std::optional<Refusal> why) {
    BuildResult r;
    r.refusal = std::move(why);
    r.stoppedAt = at;
    return r;
}

BuildResult refused(Refusal why, BuildResult::StoppedAt at) {
    return stopped(at, std::move(why));
}

Refusal noMemory(double width, double height) {
    return notice(QStringLiteral("There is not enough memory for a picture of %1 x %2 pixels.")
                      .arg(width)
                      .arg(height));
}

namespace {
// When a picture cannot be made and a page value alone is more pixels than any picture may
// have, that value is the one to correct: the refusal names it, as the page-setting dialog
// does, rather than the picture size it leads to.
std::optional<Refusal> pageValueRefusal(const PageValues& page, int dpi) {
    const struct {
        const char* caption;
        double mils;
    } values[] = {{"Top Blank Space", page.ftop},
                  {"Down Blank Space", page.fdown},
                  {"Left Blank Space", page.fleft},
                  {"Right Blank Space", page.fright},
                  {"Interval Space", page.fiwidth}};
    for (const auto& v : values) {
        const double pixels = v.mils / 1000.0 * dpi;
        if (std::isfinite(pixels) && std::abs(pixels) <= surface::kMaxPictureSide) continue;
        return notice(QStringLiteral("The picture would be too large: the page setting's '%1' of "
                                     "%2 mils is out of range at %3 dpi; the largest allowed is "
                                     "%4 pixels a side and 256 MB.")
                          .arg(QLatin1String(v.caption), QString::number(v.mils, 'g', 10))
                          .arg(dpi)
                          .arg(surface::kMaxPictureSide));
    }
    return std::nullopt;
}

std::optional<Refusal> pictureRefusal(double wide, double high, const BuildContext& context) {
    const auto why = surface::pictureSizeRefusal(wide, high);
    if (!why) return std::nullopt;
    if (auto page = pageValueRefusal(context.page, context.resolvedDpi())) return page;
    return notice(*why);
}
}  // namespace

std::optional<Refusal> sizeRefusal(const PictureExtent& extent, const BuildContext& context) {
    const double wide = extent.width, high = extent.height;
    if (auto why = pictureRefusal(wide, high, context)) return why;
    for (double v : extent.across)
        if (auto why = pictureRefusal(std::abs(v), high, context)) return why;
    for (double v : extent.down)
        if (auto why = pictureRefusal(wide, std::abs(v), context)) return why;
    if (wide < 1 || high < 1)
        return notice(QStringLiteral("The picture would be %1 x %2 pixels, which leaves nothing "
                                     "to draw on. Use larger sizes or page values.")
                          .arg(wide)
                          .arg(high));
    return std::nullopt;
}

}  // namespace symbols
