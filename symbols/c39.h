#pragma once
// The Code 39 symbol: validates the build parameters (numbered result codes), encodes the
// message between "*" start and stop characters (no check character) and draws the comment
// line, the bars and the human-readable characters onto a canvas in device pixels.
//
// A fresh symbol has every number 0, no font and empty strings; Setup fills the fields.
// Lengths go in as inches and are kept as pixels of the target resolution.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "surface/bitmap.h"
#include "surface/font.h"
#include "symbols/symbolgeometry.h"

namespace symbols {

class Tc39 {
  public:
    // Result codes of Setup.
    enum Result : std::int32_t {
        Ok = 0,
        IntervalError = 1,
        HeightError = 2,
        NarrowWidthError = 4,
        RatioError = 5,
        LeftSpaceError = 6,
        RightSpaceError = 7,
        DpiError = 8,
        MessageEmpty = 10,
        TopSpaceError = 11,
        DownSpaceError = 12,
    };

    // What Draw reports back. The bars are always drawn; `failed` is set when the
    // human-readable row could not be laid out (a one-character message leaves no spacing
    // between its first and last character), and then no text row was written. `notices`
    // holds what the user should be shown while drawing went on (a comment line that could
    // not be written). `drawn` says where the bars went: all of them, the start character
    // and the stop character, with the narrow bar width they were drawn with.
    struct DrawOutcome {
        bool failed = false;
        std::vector<QString> notices;
        SymbolGeometry drawn;
    };

    // Marker for a character, or a text, that Code 39 cannot encode.
    static constexpr std::string_view kNil = "nil";

    // Fields, as the last Setup left them. Lengths in pixels.
    std::int32_t Dpi = 0;
    std::int32_t IntervalSpace = 0;
    std::int32_t BarHeight = 0;
    std::optional<surface::Font> Font;  // unset: the default font is used
    std::int32_t NarrowWidth = 0;
    double Ratio = 0;
    std::int32_t LeftSpace = 0;
    std::int32_t RightSpace = 0;
    QString Comment;
    QString Message;
    std::int32_t TopSpace = 0;
    std::int32_t DownSpace = 0;

    // Lengths in inches; Dpi 0 means the screen's resolution. The first failing check ends
    // the set-up with its code; fields stored before it keep their new values.
    std::int32_t Setup(const surface::Font& font, std::int32_t dpi, double intervalSpace,
                       double barHeight, double narrowWidth, double ratio, double leftSpace,
                       double rightSpace, const QString& comment, const QString& message,
                       double topSpace, double downSpace);

    // The 12-module pattern of one character, or kNil.
    static std::string_view PatternOf(QChar c);
    // True when the character has a pattern once a to z are taken as upper case.
    static bool Accepts(QChar c);
    // What a scanner reads from the symbol for `text`: letters in upper case, the
    // underscore as the space whose pattern it carries; empty when a character has none.
    static QString Scanned(const QString& text);
    // The module string of a whole symbol for `text` (start, characters, stop, one narrow
    // space between characters), or kNil when a character has no pattern.
    static QString ModulesOf(const QString& text);
    // The element string ("2" narrow bar, "4" narrow space, "6" wide space, "8" wide bar)
    // of the whole symbol for `text`, or kNil.
    static QString Encode(const QString& text);
    // Drawn width in pixels of an element string; -1 for kNil. Saturates at INT_MAX.
    static std::int32_t PatternWidth(const QString& elements, std::int32_t narrowWidth,
                                     double ratio);

    // Size of the picture Draw fills. The F variants give the same sums in floating point,
    // so a caller can refuse a picture too big before any of it is turned into an int.
    std::int32_t TotalWidth() const;
    std::int32_t TotalHeight() const;
    double TotalWidthF() const;
    double TotalHeightF() const;

    // Draws onto the canvas, whose brush is the comment line's background.
    [[nodiscard]] DrawOutcome Draw(surface::Bitmap& canvas) const;

    // The font the symbol lays out and writes with.
    const surface::Font& font() const;
    // Width in pixels of a wide element.
    std::int32_t wideWidth() const;
    // Encode(Message), kept while Message stays the same: the sizes, the drawing and the
    // symbol's account of itself all need it.
    const QString& elements() const;

  private:
    mutable QString encodedMessage_;
    mutable QString encoded_;
    mutable int narrowElements_ = 0, wideElements_ = 0;  // in encoded_

    static double patternWidthF(const QString& elements, std::int32_t narrowWidth, double ratio);
    std::int32_t convert(double inches, std::int32_t current) const;
};

}  // namespace symbols
