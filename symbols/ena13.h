#pragma once
// The EAN-13 symbol: twelve typed digits plus the computed check digit, an optional 2- or
// 5-digit add-on and a comment line, drawn onto a bitmap canvas. Sizes are held in inches
// and turned into pixels only while drawing.
//
// One object serves one build: set every input, then call DrawComment, Draw and (with an
// add-on) DrawSupplemental, each once and in that order.

#include <QColor>
#include <QString>
#include <array>
#include <string_view>

#include "surface/bitmap.h"
#include "surface/font.h"
#include "symbols/buildresult.h"
#include "symbols/numbersets.h"

namespace symbols {

// Number sets of typed digits 2 to 7, chosen by the first typed digit (which is not drawn
// as bars). 'A' is number set A, 'B' number set B.
inline constexpr std::array<std::string_view, 10> kEan13Parity = {
    "AAAAAA",  // 0
    "AABABB",  // 1
    "AABBAB",  // 2
    "AABBBA",  // 3
    "ABAABB",  // 4
    "ABBAAB",  // 5
    "ABBBAA",  // 6
    "ABABAB",  // 7
    "ABABBA",  // 8
    "ABBABA",  // 9
};

class TENA13 {
  public:
    // Module characters: '1' bar, '0' space, 'b' guard bar (drawn long), 'a' guard space.
    static constexpr const std::array<std::string_view, 10>& LeftOddCode = kSetA;
    static constexpr const std::array<std::string_view, 10>& LeftEvenCode = kSetB;
    static constexpr const std::array<std::string_view, 10>& RightCode = kSetC;
    static constexpr std::string_view StartGuard = "bab";
    static constexpr std::string_view CentreGuard = "ababa";
    static constexpr std::string_view EndGuard = "bab";

    // Setters only store; nothing is checked or converted until drawing.
    void SetComment(const QString& v) { Comment = v; }
    void SetMessage(const QString& v) { Message = v; }
    void SetSupplemental(const QString& v) { Supplemental = v; }
    void SetCodeHeight(double inches) { CodeHeight = inches; }
    void SetCodeWidth(double inches) { CodeWidth = inches; }
    void SetDpi(int v) { Dpi = v; }
    void SetCanvas(surface::Bitmap* v) { Canvas = v; }
    void SetCommentX(double inches) { CommentX = inches; }
    void SetCommentY(double inches) { CommentY = inches; }
    void SetFont(const surface::Font* v) { Font = v; }
    void SetInterval(double inches) { Interval = inches; }
    void SetLeftMargin(double inches) { LeftMargin = inches; }
    void SetRightMargin(double inches) { RightMargin = inches; }
    void SetTopMargin(double inches) { TopMargin = inches; }
    void SetBottomMargin(double inches) { BottomMargin = inches; }
    void SetBarColor(const QColor& v) { BarColor = v; }

    // 0 to 9 for twelve digits; -1 when the text is not 12 characters long, -2 when one of
    // them is not a digit 0 to 9.
    static int CheckDigit(const QString& text);
    // The 95 modules of the main symbol. The start guard alone when the first character
    // is not a digit; empty when any later character (or the check digit) is not.
    static QString Encode(const QString& message);
    // 20 modules for 2 digits, 47 for 5, "1011" alone otherwise. A non-digit among 2 or 5
    // add-on digits throws ConvertError.
    static QString EncodeSupplemental(const QString& digits);

    // The picture the symbol is drawn on, in pixels worked out in real numbers from the
    // sizes, margins and resolution set: MainWidthF x HeightF holds the main symbol, and an
    // add-on of 2 or 5 digits widens it by AddOnWidthF (its 12-module gap and its bars).
    double MainWidthF() const;
    double AddOnWidthF() const;
    double HeightF() const;
    // The whole picture with the single lengths drawn in it, for the size guard.
    PictureExtent Extent() const;
    // Modules the picture grows by for an add-on: 0 unless it holds 2 or 5 characters.
    static int AddOnModules(const QString& supplemental);

    // Gives the canvas the font and writes the comment line 10 pixels left of CommentX.
    void DrawComment();
    // Bars and the 13 digits, the bars' top-left corner at (x, y) inches. Draws nothing
    // and answers false when the message does not encode (a non-digit in it) or when no
    // canvas or font was set.
    bool Draw(double x, double y);
    // Add-on bars and digits in the area whose top-left corner is (xs, ys) pixels. Throws
    // ConvertError like EncodeSupplemental.
    void DrawSupplemental(int xs, int ys);

    // Where Draw and DrawSupplemental put the bars: the data bars, the guards and the
    // add-on's bars, with the module widths and counts they were drawn with.
    const SymbolGeometry& Drawn() const { return drawn_; }

  private:
    int fontPixels() const;

    QString Comment;
    QString Message;
    QString Supplemental;
    double CodeHeight = 0;
    double CodeWidth = 0;
    int Dpi = 0;
    surface::Bitmap* Canvas = nullptr;
    double CommentX = 0;
    double CommentY = 0;
    const surface::Font* Font = nullptr;
    double Interval = 0;
    double LeftMargin = 0;
    double RightMargin = 0;
    double TopMargin = 0;
    double BottomMargin = 0;
    QColor BarColor = Qt::black;
    SymbolGeometry drawn_;
};

}  // namespace symbols
