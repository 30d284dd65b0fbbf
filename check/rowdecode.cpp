#include "check/rowdecode.h"

// zbar's C++ headers first: ZXing-C++'s macros break them.
#include <zbar.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QPainter>

namespace check {

namespace {

// zbar's own row scanner and decoder: the edges of one row go in, each symbol found comes
// out through the handler. Both are reset for each row so that nothing carries over.
class Zbar : public RowDecoder {
  public:
    explicit Zbar(bool code39) {
        decoder_ = zbar::zbar_decoder_create();
        zbar::zbar_decoder_set_config(decoder_, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
        if (code39) {
            zbar::zbar_decoder_set_config(decoder_, zbar::ZBAR_CODE39, zbar::ZBAR_CFG_ENABLE, 1);
        } else {
            for (zbar::zbar_symbol_type_t t : {zbar::ZBAR_EAN13, zbar::ZBAR_EAN8, zbar::ZBAR_UPCA,
                                               zbar::ZBAR_UPCE, zbar::ZBAR_EAN2, zbar::ZBAR_EAN5})
                zbar::zbar_decoder_set_config(decoder_, t, zbar::ZBAR_CFG_ENABLE, 1);
        }
        zbar::zbar_decoder_set_userdata(decoder_, this);
        zbar::zbar_decoder_set_handler(decoder_, &Zbar::found);
        scanner_ = zbar::zbar_scanner_create(decoder_);
    }
    ~Zbar() override {
        zbar::zbar_scanner_destroy(scanner_);
        zbar::zbar_decoder_destroy(decoder_);
    }
    Zbar(const Zbar&) = delete;
    Zbar& operator=(const Zbar&) = delete;

    QString name() const override { return QStringLiteral("zbar"); }

    std::vector<Read> read(const std::uint8_t* row, int width) override {
        reads_.clear();
        zbar::zbar_decoder_reset(decoder_);
        zbar::zbar_scanner_reset(scanner_);
        for (int x = 0; x < width; ++x) zbar::zbar_scan_y(scanner_, row[x]);
        zbar::zbar_scanner_flush(scanner_);
        zbar::zbar_scanner_flush(scanner_);
        return std::move(reads_);
    }

  private:
    static void found(zbar::zbar_decoder_t* d) {
        const zbar::zbar_symbol_type_t type = zbar::zbar_decoder_get_type(d);
        if (type <= zbar::ZBAR_PARTIAL) return;
        auto* self = static_cast<Zbar*>(zbar::zbar_decoder_get_userdata(d));
        Read r{QString::fromLatin1(zbar::zbar_get_symbol_name(type)),
               QString::fromUtf8(zbar::zbar_decoder_get_data(d),
                                 static_cast<qsizetype>(zbar::zbar_decoder_get_data_length(d))),
               type == zbar::ZBAR_EAN2 || type == zbar::ZBAR_EAN5};
        // The UPC/EAN decoders read a row in both directions; the same symbol twice is one.
        for (const Read& seen : self->reads_)
            if (seen.format == r.format && seen.text == r.text) return;
        self->reads_.push_back(std::move(r));
    }

    zbar::zbar_decoder_t* decoder_ = nullptr;
    zbar::zbar_scanner_t* scanner_ = nullptr;
    std::vector<Read> reads_;
};

// ZXing-C++ on a picture one row high, at that one scale. Its multi-scale reading (the
// default) checks that results found at two scales were each seen on a single row, and
// aborts on an assertion when a linear symbol was seen on several: pictures 500 pixels or
// more on their short side, such as any symbol at 600 dpi, take the program down. A row on
// its own is never scaled, and a result from one row has been seen on one row.
class Zxing : public RowDecoder {
  public:
    explicit Zxing(bool code39) : code39_(code39) {
        hints_.setFormats(code39 ? ZXing::BarcodeFormat::Code39
                                 : ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8 |
                                       ZXing::BarcodeFormat::UPCA | ZXing::BarcodeFormat::UPCE);
        hints_.setTryDownscale(false);
        hints_.setTryRotate(false);
        hints_.setTryHarder(false);
        hints_.setMinLineCount(1);
        hints_.setBinarizer(ZXing::Binarizer::GlobalHistogram);
        hints_.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Read);
    }

    QString name() const override { return QStringLiteral("ZXing-C++"); }

    std::vector<Read> read(const std::uint8_t* row, int width) override {
        std::vector<Read> out;
        const ZXing::ImageView view(row, width, 1, ZXing::ImageFormat::Lum);
        for (const ZXing::Result& r : ZXing::ReadBarcodes(view, hints_)) {
            if (!r.isValid()) continue;
            const QString format = QString::fromLatin1(ZXing::ToString(r.format()));
            // A symbol with its add-on comes back as one text: "96385074 12". A blank in
            // Code 39 is a character of its data.
            const QString text = QString::fromStdString(r.text());
            const qsizetype blank = code39_ ? -1 : text.indexOf(QLatin1Char(' '));
            out.push_back({format, blank < 0 ? text : text.left(blank), false});
            if (blank >= 0) {
                const QString addOn = text.mid(blank + 1);
                out.push_back({QStringLiteral("EAN-%1").arg(addOn.size()), addOn, true});
            }
        }
        return out;
    }

  private:
    bool code39_ = false;
    ZXing::DecodeHints hints_;
};

}  // namespace

std::unique_ptr<RowDecoder> makeZbarDecoder(bool code39) {
    return std::make_unique<Zbar>(code39);
}

std::unique_ptr<RowDecoder> makeZxingDecoder(bool code39) {
    return std::make_unique<Zxing>(code39);
}

QStringList readPicture(const surface::Bitmap& picture) {
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

}  // namespace check
