#pragma once
// --verify: a finished picture read back with an independent decoder (zbar, through the
// check's decoders).

#include <QString>

#include "surface/bitmap.h"

namespace cli {

// Empty when the decoder reads `data` (and `addon`, when not empty) from the picture;
// otherwise what it read instead.
QString verify(const surface::Bitmap& picture, const QString& data, const QString& addon);

}  // namespace cli
