#pragma once
// A drawing as vectors: SVG and PDF at the physical size its picture was made for, with
// fills as rectangles and text as text.

#include <QByteArray>
#include <QString>

class QIODevice;
class QPainter;

#include "surface/drawing.h"

namespace surface {

// Turned: the picture turned 90 degrees clockwise, as the preview's turn does it.
QByteArray toSvg(const Drawing& drawing, bool turned = false);

// Paints the drawing's fills and texts as vectors, one unit a picture pixel, from the
// painter's origin: on a page of a PDF or a printer whose resolution is the picture's.
void paintVectors(QPainter& painter, const Drawing& drawing);

// Writes a one-page PDF of the picture's size. False (with the reason) on failure.
// `title` becomes the document's title (what a PDF viewer shows for it); empty for none.
bool writePdf(const Drawing& drawing, QIODevice* device, bool turned, QString* error,
              const QString& title = {});

}  // namespace surface
