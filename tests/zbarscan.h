#pragma once
// Reading pictures back with the zbar decoder, as a scanner would: an oracle independent of
// the code that drew them.

#include <QString>
#include <QStringList>

#include "surface/bitmap.h"

namespace zbarscan {

// The zbarimg program, or empty when it is not installed.
QString program();

// The symbols zbarimg reads from `picture`, as "TYPE:data" lines sorted, the picture set on
// a margin of white paper and saved as a PNG at `path`. `options` go to zbarimg as they are
// (for instance "-Supca.enable"). A failure to run comes back as a single line saying so.
QStringList scan(const surface::Bitmap& picture, const QString& path, const QStringList& options);

}  // namespace zbarscan
