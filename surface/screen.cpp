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
        if (const QScreen* s = QGuiApplication::primaryScreen())
            return roundToInt(s->logicalDotsPerInchX());
    }
    return 96;
}

void setScreenDpiOverride(int dpi) {
    g_override = dpi > 0 ? dpi : 0;
}

}  // namespace surface
