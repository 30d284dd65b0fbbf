#pragma once
// The two decoders the check reads pictures back with, each fed one row of pixels at a
// time as a scanner's beam would see it.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

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

}  // namespace check
