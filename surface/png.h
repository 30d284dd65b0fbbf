#pragma once
// A small PNG encoder for symbol pictures: few colours, so a palette of 1, 2, 4 or 8 bits
// a pixel, the resolution in a pHYs chunk, and rows compressed by what they repeat. A symbol is
// written in a fraction of the time a general-purpose encoder takes, which is what a batch of
// thousands of files waits on.

#include <QByteArray>
#include <QImage>

namespace files {

// The PNG file of the picture; empty when it has more than 256 colours (then use a
// general encoder).
QByteArray encodePalettePng(const QImage& image);

}  // namespace files
