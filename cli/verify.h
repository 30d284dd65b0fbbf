#pragma once
// Reading a finished picture back with an independent decoder (the zbar library).

#include <QString>
#include <QStringList>

#include "surface/bitmap.h"

namespace cli {

// Everything the decoder reads in the picture, one entry a symbol, as "TYPE:data"
// ("EAN-13:5901234123457", "EAN-2:12", "CODE-39:AB").
QStringList decode(const surface::Bitmap& picture);

// Empty when the decoder reads `data` (and `addon`, when not empty) from the picture;
// otherwise what it read instead.
QString verify(const surface::Bitmap& picture, const QString& data, const QString& addon);

}  // namespace cli
