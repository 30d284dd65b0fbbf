#pragma once
// The colours of a picture in order of first use, at most 256: what an indexed picture's
// colour table and a PNG file's palette hold. Colours are kept opaque (alpha plays no part
// in any picture here). Painting a picture of indices, writing it as BMP and writing it as
// PNG all number its colours with this, so they agree.

#include <QRgb>
#include <QVector>
#include <array>
#include <utility>

namespace surface {

class Palette {
  public:
    static constexpr int kMaxColours = 256;

    // The index of the colour, added when new; -1 when the palette is full. A symbol has two
    // or three colours, mostly alternating: the two last found are tried first.
    int index(QRgb colour) {
        colour |= 0xFF000000;
        if (size_ > 0 && colours_[last_] == colour) return last_;
        std::swap(last_, before_);
        if (size_ > 0 && colours_[last_] == colour) return last_;
        return lookUp(colour);
    }

    int size() const { return size_; }
    QRgb operator[](int i) const { return colours_[std::size_t(i)]; }
    QVector<QRgb> table() const {
        return QVector<QRgb>(colours_.begin(), colours_.begin() + size_);
    }

  private:
    int lookUp(QRgb colour);

    std::array<QRgb, kMaxColours> colours_{};
    int size_ = 0;
    int last_ = 0;
    int before_ = 0;
};

}  // namespace surface
