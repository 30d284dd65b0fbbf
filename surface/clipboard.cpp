#include "surface/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "surface/vectorexport.h"

namespace surface {

namespace {
QByteArray encoded(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

ClipboardSink& sink() {
    static ClipboardSink s;
    return s;
}
}  // namespace

void setClipboardSink(ClipboardSink s) {
    sink() = std::move(s);
}

std::unique_ptr<QMimeData> pictureMimeData(const Bitmap& picture) {
    // PNG first, then BMP and, where the picture has them, its vectors; Qt's own image type
    // last. Formats are offered in this order, and a compositor that keeps the clipboard
    // after the program ends keeps the first: a PNG any program can paste.
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/png"), encoded(picture.image(), "PNG"));
    data->setData(QStringLiteral("image/bmp"), encoded(picture.image(), "BMP"));
    if (const Drawing* drawing = picture.drawing())
        data->setData(QStringLiteral("image/svg+xml"), toSvg(*drawing));
    data->setImageData(picture.image());
    return data;
}

bool placeOnClipboard(const Bitmap& picture) {
    if (sink()) return sink()(picture);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    QClipboard* cb = QGuiApplication::clipboard();
    if (cb == nullptr || picture.isEmpty()) return false;
    QMimeData* data = pictureMimeData(picture).release();
    cb->setMimeData(data);
    const QImage back = cb->image();
    return !back.isNull() && back.size() == picture.image().size();
}

}  // namespace surface
