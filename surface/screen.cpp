#include "surface/screen.h"

#include <QGuiApplication>
#include <QScreen>

#include "surface/rounding.h"

namespace surface {

namespace {
int g_override = 0;
}

int screenDpi() {
    if (g_override > 0) return g_override;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        // Device pixels per inch: on a scaled screen a logical pixel is several device
        // pixels, and pictures are made for the device pixels.
        if (const QScreen* s = QGuiApplication::primaryScreen())
            return roundToInt(s->logicalDotsPerInchX() * s->devicePixelRatio());
    }
    return 96;
}

void setScreenDpiOverride(int dpi) {
    g_override = dpi > 0 ? dpi : 0;
}

}  // namespace surface
