#include "surface/picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include "surface/filewrite.h"
#include "surface/palette.h"
#include "surface/png.h"
#include "surface/vectorexport.h"

namespace files {

Format formatOf(const QString& path) {
    if (path == QLatin1String("-")) return Format::Png;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("png")) return Format::Png;
    if (ext == QLatin1String("bmp")) return Format::Bmp;
    if (ext == QLatin1String("svg")) return Format::Svg;
    if (ext == QLatin1String("pdf")) return Format::Pdf;
    return Format::Unknown;
}

QString pictureTitle(const QString& symbology, const QString& data, const QString& addOn) {
    if (data.isEmpty()) return {};
    const QString title = symbology + QLatin1Char(' ') + data;
    return addOn.isEmpty() ? title : title + QStringLiteral(" add-on ") + addOn;
}

QImage compactImage(const QImage& image) {
    // A symbol has a handful of colours: an indexed picture holds them exactly and encodes
    // several times faster and smaller than 32-bit pixels.
    if (image.isNull() || image.format() == QImage::Format_Indexed8) return image;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        return compactImage(image.convertToFormat(QImage::Format_RGB32));
    surface::Palette palette;
    QImage out(image.size(), QImage::Format_Indexed8);
    for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int index = palette.index(src[x]);
            if (index < 0) return image;  // too many colours: keep it as it is
            dst[x] = static_cast<uchar>(index);
        }
    }
    out.setColorTable(palette.table());
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    return out;
}

namespace {
QByteArray encodeRaster(const surface::Bitmap& picture, bool turned, const char* format,
                        QString* error) {
    const QImage image = turned ? surface::turnedClockwise(picture).image() : picture.image();
    if (qstrcmp(format, "png") == 0) {
        const QByteArray png = encodePalettePng(image);
        if (!png.isEmpty()) return png;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(compactImage(image))) *error = writer.errorString();
    return buffer.data();
}

// The whole file in memory: nothing touches the disk before the picture is complete.
QByteArray encode(const surface::Bitmap& picture, bool turned, Format format, QString* error,
                  const QString& title) {
    switch (format) {
        case Format::Png:
            return encodeRaster(picture, turned, "png", error);
        case Format::Bmp:
            return encodeRaster(picture, turned, "bmp", error);
        case Format::Svg:
            return surface::toSvg(*picture.drawing(), turned);
        case Format::Pdf: {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            surface::writePdf(*picture.drawing(), &buffer, turned, error, title);
            return buffer.data();
        }
        case Format::Unknown:
            break;
    }
    return {};
}
}  // namespace

QString writePicture(const surface::Bitmap& picture, bool turned, const QByteArray& path,
                     bool force, const QString& title) {
    const QString shown = QFile::decodeName(path);
    const Format format = formatOf(shown);
    if (format == Format::Unknown)
        return QStringLiteral("unknown file type of '%1': use .png, .bmp, .svg or .pdf").arg(shown);
    if ((format == Format::Svg || format == Format::Pdf) && picture.drawing() == nullptr)
        return QStringLiteral("this picture cannot be written as vectors");
    QString error;
    const QByteArray bytes = encode(picture, turned, format, &error, title);
    if (error.isEmpty()) {
        if (path == "-")
            error = writeStandardOutput(bytes);
        else
            error = replaceFile(path, bytes, {force, force});
    }
    if (error.isEmpty()) return {};
    if (path == "-") return QStringLiteral("cannot write to standard output: %1").arg(error);
    return QStringLiteral("cannot write '%1': %2").arg(shown, error);
}

}  // namespace files
