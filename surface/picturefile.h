#pragma once
// Writing a finished picture to a file (PNG, BMP, SVG or PDF by extension) or as PNG to
// standard output. A file is written whole through a temporary and renamed into place:
// a failed run never leaves a truncated or half-written file (see filewrite.h).

#include <QByteArray>
#include <QString>

#include "surface/bitmap.h"

namespace files {

enum class Format { Png, Bmp, Svg, Pdf, Unknown };
Format formatOf(const QString& path);

// Writes the picture, turned 90 degrees clockwise when asked, to the file `path` (its
// bytes as given) or to standard output for "-". A read-only file is replaced, and a file
// with several names rewritten in place, only when `force`. A PDF carries `title` as its
// document title. Returns an empty string on success,
// otherwise what went wrong.
QString writePicture(const surface::Bitmap& picture, bool turned, const QByteArray& path,
                     bool force, const QString& title = {});

// A picture's document title: what a scanner reads from it, "EAN-13 5901234123457" with
// " add-on 12" where it has one; empty without data.
QString pictureTitle(const QString& symbology, const QString& data, const QString& addOn);

// The picture as it is written into PNG and BMP files: the fewest bits that keep every
// pixel, and its resolution.
QImage compactImage(const QImage& image);

}  // namespace files
