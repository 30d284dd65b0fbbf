#include "surface/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "surface/vectorexport.h"

namespace surface {

namespace {
ClipboardSink& sink() {
    static ClipboardSink s;
    return s;
}
}  // namespace

void setClipboardSink(ClipboardSink s) {
    sink() = std::move(s);
}

bool placeOnClipboard(const Bitmap& picture) {
    if (sink()) return sink()(picture);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    QClipboard* cb = QGuiApplication::clipboard();
    if (cb == nullptr || picture.isEmpty()) return false;
    // The bitmap (with its resolution) and, where the picture has them, its vectors.
    auto* data = new QMimeData;
    data->setImageData(picture.image());
    if (picture.hasVectors()) data->setData(QStringLiteral("image/svg+xml"), toSvg(picture));
    cb->setMimeData(data);
    const QImage back = cb->image();
    return !back.isNull() && back.size() == picture.image().size();
}

}  // namespace surface
