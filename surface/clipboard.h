#pragma once
// Putting a finished picture on the system clipboard.

#include <functional>

#include "surface/bitmap.h"

namespace surface {

// Places the picture on the clipboard and reads it back: true only when the clipboard
// really holds a picture of that size afterwards.
bool placeOnClipboard(const Bitmap& picture);

// Replaces the clipboard with another sink (a test double, or a tool without a display).
// An empty function restores the system clipboard.
using ClipboardSink = std::function<bool(const Bitmap&)>;
void setClipboardSink(ClipboardSink sink);

}  // namespace surface
