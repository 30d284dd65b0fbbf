#pragma once
// Putting a finished picture on the system clipboard.

#include <QMimeData>
#include <functional>
#include <memory>

#include "surface/bitmap.h"

namespace surface {

// Places the picture on the clipboard and reads it back: true only when the clipboard
// really holds a picture of that size afterwards.
bool placeOnClipboard(const Bitmap& picture);

// What the clipboard is given for a picture, in the order its formats are offered.
std::unique_ptr<QMimeData> pictureMimeData(const Bitmap& picture);

// Replaces the clipboard with another sink (a test double, or a tool without a display).
// An empty function restores the system clipboard.
using ClipboardSink = std::function<bool(const Bitmap&)>;
void setClipboardSink(ClipboardSink sink);

}  // namespace surface
