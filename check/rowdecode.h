#pragma once
// The decoders pictures are read back with, the program's only contact with them: the
// check feeds zbar and ZXing-C++ one row of pixels at a time as a scanner's beam would see
// it; marlisk-cli's --verify hands zbar the whole picture.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "surface/bitmap.h"

namespace check {

// One symbol a decoder read in a row.
struct Read {
    QString format;  // the decoder's name for it: "EAN-13", "UPC-A", "CODE-39", ...
    QString text;
    bool addOn = false;  // a 2- or 5-digit add-on
};

class RowDecoder {
  public:
    virtual ~RowDecoder() = default;
    // "zbar" or "ZXing-C++".
    virtual QString name() const = 0;
    // Everything read in one row of grey levels (0 black, 255 white); the row should carry
    // its own white margins.
    virtual std::vector<Read> read(const std::uint8_t* row, int width) = 0;
};

// Decoders for UPC/EAN with their add-ons, or for Code 39.
std::unique_ptr<RowDecoder> makeZbarDecoder(bool code39);
std::unique_ptr<RowDecoder> makeZxingDecoder(bool code39);

// Everything zbar reads in the whole picture, set on white paper, one entry a symbol, as
// "TYPE:data" ("EAN-13:5901234123457", "EAN-2:12", "CODE-39:AB").
QStringList readPicture(const surface::Bitmap& picture);

}  // namespace check
