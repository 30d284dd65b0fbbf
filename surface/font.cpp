#include "surface/font.h"

#include <QFontInfo>
#include <algorithm>

#include "surface/rounding.h"

namespace surface {

QFont Font::toQFont(int pictureDpi) const {
    QFont f(family);
    const int dpi = renderDpi > 0 ? renderDpi : (pictureDpi > 0 ? pictureDpi : 96);
    const int points = pointSize > 0 ? pointSize : 1;
    f.setPixelSize(std::max(1, roundToInt(points * dpi / 72.0)));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    // Symbols are printed: crisp one-colour glyphs, as a bitmap font would give.
    f.setStyleStrategy(QFont::NoAntialias);
    // Hinted the same wherever it is drawn. Left to its default, Qt drops hinting in a
    // process on a scaled screen (and a desktop's Xft settings choose another), so the
    // window's digits would differ from marlisk-cli's at the same resolution. Light,
    // vertical-only hinting is what fontconfig gives by default.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    return f;
}

QFont Font::toPointFont() const {
    // By the face the glyphs are really drawn in: "MS Sans Serif" is only a name here, and a
    // dialog shown that name would offer some other face, without its styles.
    QFont f(QFontInfo(toQFont(96)).family());
    f.setPointSize(pointSize > 0 ? pointSize : 1);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    return f;
}

Font Font::fromQFont(const QFont& f, const QColor& color) {
    Font out;
    out.family = f.family();
    out.pointSize = f.pointSize() > 0 ? f.pointSize() : roundToInt(f.pointSizeF());
    out.bold = f.bold();
    out.italic = f.italic();
    out.underline = f.underline();
    out.strikeOut = f.strikeOut();
    out.color = color;
    return out;
}

void registerFontSubstitutes() {
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                           QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
}

}  // namespace surface
