#pragma once
// What the UPC-A, EAN-8 and UPC-E symbols have in common beyond Tbar: the add-on field,
// the number-set lookups, and one way of painting a main symbol (full and short bars with
// the human-readable digits written as the bars are painted) and its add-on. Each symbol
// supplies its own layout as data.

#include <QString>
#include <span>

#include "symbols/barproperty.h"
#include "symbols/symbolgeometry.h"

namespace symbols {

class BarSymbol : public Tbar {
  public:
    // The add-on digits: empty for none, otherwise 2 or 5 digits. Written directly.
    QString Supplemental;

    // The 7-module code of the first character of `digit` in number set A, B or C; empty
    // for a non-digit or an empty string.
    static QString LeftOddCode(const QString& digit);
    static QString LeftEvenCode(const QString& digit);
    static QString RightCode(const QString& digit);

    // The add-on module string ("1011" alone for a length other than 2 or 5). A non-digit
    // raises ConvertError.
    static QString EncodeSupplemental(const QString& digits);

    // How a symbol lays out its main part, as data. A 1-based inclusive range of modules:
    using ModuleRange = symbols::ModuleRange;

    struct MainLayout {
        int modules;  // width of the main symbol in modules
        // Modules drawn full height, others short: the guards, each range one of them.
        std::span<const ModuleRange> fullBars;
        // The module after whose bar each digit under the bars is written, left to right.
        std::span<const int> digitStarts;
        // Digit k is written at X0 + (F if digitsCarryF) + (k + digitShift) x m.
        bool digitsCarryF;
        int digitShift;
        int addOnOffset;  // modules from OriginX to the add-on's first module
    };

    // Where Draw and DrawSupplemental put the bars: the main symbol's (short) bars, its
    // guards and the add-on's bars, with the module width and counts they were drawn with.
    const SymbolGeometry& Drawn() const { return drawn_; }

  protected:
    // The check digit of a UPC/EAN number whose last digit carries weight 3. The digits
    // are converted weight-3 ones first, so a conversion error names the first non-digit
    // the weighted sum reaches.
    static int UpcCheckDigit(QStringView digits);

    // "101", set A of the first `leftDigits` digits, "01010", set C of the rest and of the
    // check digit, "101". Appends the check digit to Message. Empty (and nothing appended)
    // when `message` does not hold exactly `length` characters.
    QString EncodeWithCheckDigit(const QString& message, int length, int leftDigits);

    // Paints the main symbol: `lead` left of the bars, the bars of `modules` (only those
    // the string has), each character of `underBars` at its digit start, `trail` right of
    // the bars, and the comment line. Empty texts are not written.
    void DrawMain(const MainLayout& layout, const QString& modules, const QString& lead,
                  const QString& underBars, const QString& trail);

    // Paints the add-on of Supplemental `offset` modules right of OriginX (no F offset):
    // its bars from one text line and one interval below BarTop down to the full-bar
    // bottom, its digits above them level with BarTop.
    void DrawAddOn(int offset);

  private:
    void fillBar(QRgb bar, double x1, double y1, double x2, double y2);

    SymbolGeometry drawn_;
    void writeText(double x, double y, const QString& text);
};

}  // namespace symbols
