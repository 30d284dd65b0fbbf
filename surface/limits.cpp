#include "surface/limits.h"

#include <cmath>

namespace surface {

std::optional<QString> pictureSizeRefusal(double w, double h) {
    const auto show = [](double v) {
        return std::isfinite(v) ? QString::number(v, 'g', 10) : QStringLiteral("too many");
    };
    if (!std::isfinite(w) || !std::isfinite(h) || w > kMaxPictureSide || h > kMaxPictureSide ||
        w * h * 4.0 > kMaxPictureBytes) {
        return QStringLiteral(
                   "The picture would be %1 x %2 pixels; the largest allowed is %3 pixels a "
                   "side and 256 MB. Use smaller sizes or page values.")
            .arg(show(w), show(h))
            .arg(kMaxPictureSide);
    }
    return std::nullopt;
}

}  // namespace surface
