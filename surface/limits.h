#pragma once
// The largest picture any symbol may ask for. Sizes come from typed inches and mils and
// from a settings file anyone may edit, so every build checks the size it would allocate
// (in floating point, before any conversion to int) against these bounds.

#include <QString>
#include <optional>

namespace surface {

constexpr int kMaxPictureSide = 32000;                        // pixels, each side
constexpr double kMaxPictureBytes = 256.0 * 1024.0 * 1024.0;  // 4 bytes a pixel

// Empty when a w x h picture may be made; otherwise the refusal to show the user.
std::optional<QString> pictureSizeRefusal(double w, double h);

}  // namespace surface
