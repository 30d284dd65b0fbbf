#pragma once
// Tbar: the parameters shared by the UPC-A, EAN-8 and UPC-E symbols and the pixel geometry
// derived from them. User lengths arrive in mils; every integer kept here is in device
// pixels at Dpi. Each setter stores its value and recomputes the derived fields that
// depend on it, and only those: a derived field reflects the state at its last
// recomputation (setting Comment moves BarTop but not the picture size, on purpose).

#include <QColor>
#include <QString>

#include "surface/bitmap.h"
#include "surface/font.h"
#include "symbols/buildresult.h"

namespace symbols {

class Tbar {
  public:
    // Canvas and font belong to the caller; the symbol only refers to them.
    surface::Bitmap* Canvas() const { return canvas_; }
    QColor BarColor() const { return barColor_; }
    const surface::Font* Font() const { return font_; }
    int ModuleWidth() const { return moduleWidth_; }
    int BarHeight() const { return barHeight_; }
    const QString& Message() const { return message_; }
    const QString& Comment() const { return comment_; }
    int Dpi() const { return dpi_; }
    int ModuleCount() const { return moduleCount_; }
    double LeftSpace() const { return leftSpace_; }
    double TopSpace() const { return topSpace_; }
    double RightSpace() const { return rightSpace_; }
    double DownSpace() const { return downSpace_; }
    double IntervalSpace() const { return intervalSpace_; }
    int SymbolHeight() const { return symbolHeight_; }
    int OriginX() const { return originX_; }
    int BarTop() const { return barTop_; }
    int SymbolWidth() const { return symbolWidth_; }
    int TotalWidth() const { return totalWidth_; }
    int TotalHeight() const { return totalHeight_; }

    void SetCanvas(surface::Bitmap* canvas) { canvas_ = canvas; }
    void SetBarColor(const QColor& color) { barColor_ = color; }
    void SetFont(const surface::Font* font);
    void SetModuleWidth(int pixels);
    void SetBarHeight(int pixels);
    void SetMessage(const QString& message) { message_ = message; }
    void SetComment(const QString& comment);
    void SetModuleCount(int modules);
    void SetLeftSpace(double mils);
    void SetTopSpace(double mils);
    void SetRightSpace(double mils);
    void SetDownSpace(double mils);
    void SetIntervalSpace(double mils);

    // Dpi := the resolution pictures are made at (the screen's, unless a fixed resolution
    // was given with UseDpi).
    void RefreshDpi();
    // Makes RefreshDpi give `dpi` instead of the screen's; 0 returns to the screen's. Lets
    // a build for a file or a test use a resolution of its own.
    void UseDpi(int dpi) { fixedDpi_ = dpi > 0 ? dpi : 0; }

    // The picture as the current fields give it, in real numbers (TotalWidth and
    // TotalHeight before they are rounded into ints), with the single lengths drawn inside
    // it, for the size guard.
    PictureExtent Extent() const;

    // F: the font's point size, used directly as a pixel count (0 without a font).
    int F() const { return font_ != nullptr ? font_->pointSize : 0; }
    // A length in mils as pixels at Dpi, rounded once, halves to even.
    int px(double mils) const;

  protected:
    // Encode appends the check digit to the message it encoded.
    QString message_;

  private:
    void CalcOriginX();
    void CalcBarTop();
    void CalcSymbolWidth();
    void CalcSymbolHeight();
    void CalcTotalWidth();
    void CalcTotalHeight();
    int C() const { return comment_.isEmpty() ? 0 : 1; }

    surface::Bitmap* canvas_ = nullptr;
    QColor barColor_ = QColor(0, 0, 0);
    const surface::Font* font_ = nullptr;
    int moduleWidth_ = 0;
    int barHeight_ = 0;
    QString comment_;
    int dpi_ = 0;
    int fixedDpi_ = 0;
    int moduleCount_ = 0;
    double leftSpace_ = 0;
    double topSpace_ = 0;
    double rightSpace_ = 0;
    double downSpace_ = 0;
    double intervalSpace_ = 0;
    int symbolHeight_ = 0;
    int originX_ = 0;
    int barTop_ = 0;
    int symbolWidth_ = 0;
    int totalWidth_ = 0;
    int totalHeight_ = 0;
};

}  // namespace symbols
