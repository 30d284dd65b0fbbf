#include "cli/verify.h"

#ifdef MARLISK_HAVE_ZBAR
#include <zbar.h>
#endif

#include <QImage>
#include <QPainter>
#include <memory>

namespace cli {

#ifdef MARLISK_HAVE_ZBAR
QStringList decode(const surface::Bitmap& picture) {
    if (picture.isEmpty()) return {};
    // A quiet zone around the picture: with no page margins a symbol may start at its
    // edge, where a scanner would find no quiet zone.
    const int pad = 40;
    QImage gray(picture.width() + 2 * pad, picture.height() + 2 * pad, QImage::Format_Grayscale8);
    gray.fill(255);
    {
        QPainter p(&gray);
        p.drawImage(pad, pad, picture.image());
    }
    QByteArray raw;
    raw.reserve(gray.width() * gray.height());
    for (int y = 0; y < gray.height(); ++y)
        raw.append(reinterpret_cast<const char*>(gray.constScanLine(y)), gray.width());

    std::unique_ptr<zbar::zbar_image_scanner_t, void (*)(zbar::zbar_image_scanner_t*)> scanner(
        zbar::zbar_image_scanner_create(), zbar::zbar_image_scanner_destroy);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 1);
    for (zbar::zbar_symbol_type_t t :
         {zbar::ZBAR_UPCA, zbar::ZBAR_UPCE, zbar::ZBAR_EAN2, zbar::ZBAR_EAN5})
        zbar::zbar_image_scanner_set_config(scanner.get(), t, zbar::ZBAR_CFG_ENABLE, 1);
    std::unique_ptr<zbar::zbar_image_t, void (*)(zbar::zbar_image_t*)> image(
        zbar::zbar_image_create(), zbar::zbar_image_destroy);
    zbar::zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(image.get(), gray.width(), gray.height());
    zbar::zbar_image_set_data(image.get(), raw.constData(), raw.size(), nullptr);
    zbar::zbar_scan_image(scanner.get(), image.get());

    QStringList out;
    for (const zbar::zbar_symbol_t* s = zbar::zbar_image_first_symbol(image.get()); s != nullptr;
         s = zbar::zbar_symbol_next(s)) {
        out << QStringLiteral("%1:%2").arg(
            QString::fromLatin1(zbar::zbar_get_symbol_name(zbar::zbar_symbol_get_type(s))),
            QString::fromUtf8(zbar::zbar_symbol_get_data(s)));
    }
    return out;
}

#else
// Built without the decoder: nothing is read, and --verify says why.
QStringList decode(const surface::Bitmap&) {
    return {};
}
#endif

QString verify(const surface::Bitmap& picture, const QString& data, const QString& addon) {
#ifndef MARLISK_HAVE_ZBAR
    return QStringLiteral(
        "--verify is not available: marlisk-cli was built without the zbar decoder");
#endif
    const QStringList read = decode(picture);
    const auto found = [&read](const QString& wanted) {
        for (const QString& r : read)
            if (r.mid(r.indexOf(QLatin1Char(':')) + 1) == wanted) return true;
        return false;
    };
    // The decoder reads a symbol and its add-on either as two symbols or as one composite.
    const bool ok =
        addon.isEmpty() ? found(data) : (found(data + addon) || (found(data) && found(addon)));
    if (ok) return {};
    return QStringLiteral("verification failed: expected '%1'%2, the decoder read %3")
        .arg(data, addon.isEmpty() ? QString() : QStringLiteral(" with add-on '%1'").arg(addon),
             read.isEmpty() ? QStringLiteral("nothing") : read.join(QStringLiteral(", ")));
}

}  // namespace cli
