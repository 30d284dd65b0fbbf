#include "surface/palette.h"

namespace surface {

int Palette::lookUp(QRgb colour) {
    for (last_ = 0; last_ < size_; ++last_)
        if (colours_[std::size_t(last_)] == colour) return last_;
    if (size_ == kMaxColours) return -1;
    colours_[std::size_t(size_)] = colour;
    return size_++;
}

}  // namespace surface
