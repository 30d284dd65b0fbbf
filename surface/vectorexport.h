#pragma once
// A picture as vectors: SVG and PDF at the physical size the picture was made for, with
// bars as rectangles and text as text. Only pictures whose vectors are valid
// (Bitmap::hasVectors) can be written this way.

#include <QByteArray>
#include <QString>

class QIODevice;
class QPainter;

#include "surface/bitmap.h"

namespace surface {

// Turned: the picture turned 90 degrees clockwise, as the preview's turn does it.
QByteArray toSvg(const Bitmap& picture, bool turned = false);

// Paints the picture's bars and texts as vectors, one unit a picture pixel, from the
// painter's origin: on a page of a PDF or a printer whose resolution is the picture's.
void paintVectors(QPainter& painter, const Bitmap& picture);

// Writes a one-page PDF of the picture's size. False (with the reason) on failure.
// `title` becomes the document's title (what a PDF viewer shows for it); empty for none.
bool writePdf(const Bitmap& picture, QIODevice* device, bool turned, QString* error,
              const QString& title = {});

}  // namespace surface
