#pragma once
// The screen's horizontal resolution in device pixels per inch (logical pixels per inch
// times the device pixel ratio). Every picture is made at this resolution. A tool without
// a screen, or a test, may set the value to use.

namespace surface {

// The resolution pictures are made at: the override when one is set, otherwise the
// primary screen's horizontal logical DPI times its device pixel ratio, otherwise 96.
int screenDpi();

// 0 clears the override.
void setScreenDpiOverride(int dpi);

}  // namespace surface
