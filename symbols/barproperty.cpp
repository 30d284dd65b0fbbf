#include "symbols/barproperty.h"

#include "surface/rounding.h"
#include "surface/screen.h"

namespace symbols {

// Sums of pixel counts are taken in double and rounded once; roundToInt saturates, so no
// size a user or a settings file gives can overflow a derived field.
using surface::roundToInt;

void Tbar::RefreshDpi() {
    dpi_ = fixedDpi_ > 0 ? fixedDpi_ : surface::screenDpi();
}

int Tbar::px(double mils) const {
    return roundToInt(mils / 1000.0 * dpi_);
}

PictureExtent Tbar::Extent() const {
    const auto pixels = [this](double mils) { return surface::roundEven(mils / 1000.0 * dpi_); };
    const double f = F(), c = C();
    const double bars = double(moduleWidth_) * moduleCount_;
    const double symbolHeight = (1.0 + c) * f + pixels(intervalSpace_) + double(barHeight_);
    return {2.0 * f + pixels(leftSpace_ + rightSpace_) + bars,
            (1.0 + c) * f + pixels(topSpace_ + downSpace_) + symbolHeight,
            {bars, pixels(leftSpace_)},
            {double(barHeight_), pixels(topSpace_ + intervalSpace_)}};
}

void Tbar::SetFont(const surface::Font* font) {
    font_ = font;
    CalcBarTop();
    CalcSymbolHeight();
}

void Tbar::SetModuleWidth(int pixels) {
    moduleWidth_ = pixels;
    CalcSymbolWidth();
}

void Tbar::SetBarHeight(int pixels) {
    barHeight_ = pixels;
    CalcSymbolHeight();
}

void Tbar::SetComment(const QString& comment) {
    comment_ = comment;
    CalcBarTop();
}

void Tbar::SetModuleCount(int modules) {
    moduleCount_ = modules;
    CalcSymbolWidth();
}

void Tbar::SetLeftSpace(double mils) {
    leftSpace_ = mils;
    CalcOriginX();
    CalcTotalWidth();
}

void Tbar::SetTopSpace(double mils) {
    topSpace_ = mils;
    CalcBarTop();
    CalcTotalHeight();
}

void Tbar::SetRightSpace(double mils) {
    rightSpace_ = mils;
    CalcTotalWidth();
}

void Tbar::SetDownSpace(double mils) {
    downSpace_ = mils;
    CalcTotalHeight();
}

void Tbar::SetIntervalSpace(double mils) {
    intervalSpace_ = mils;
    CalcBarTop();
    CalcSymbolHeight();
}

void Tbar::CalcOriginX() {
    RefreshDpi();
    originX_ = px(leftSpace_);
}

void Tbar::CalcBarTop() {
    RefreshDpi();
    barTop_ = roundToInt(double(C()) * F() + px(topSpace_ + intervalSpace_));
}

void Tbar::CalcSymbolWidth() {
    RefreshDpi();
    symbolWidth_ = roundToInt(double(moduleWidth_) * moduleCount_);
    CalcTotalWidth();
}

void Tbar::CalcSymbolHeight() {
    RefreshDpi();
    symbolHeight_ = roundToInt((1.0 + C()) * F() + px(intervalSpace_) + double(barHeight_));
    CalcTotalHeight();
}

void Tbar::CalcTotalWidth() {
    RefreshDpi();
    totalWidth_ = roundToInt(2.0 * F() + px(leftSpace_ + rightSpace_) + double(symbolWidth_));
}

void Tbar::CalcTotalHeight() {
    RefreshDpi();
    totalHeight_ =
        roundToInt((1.0 + C()) * F() + px(topSpace_ + downSpace_) + double(symbolHeight_));
}

}  // namespace symbols
