#include "surface/font.h"

#include "surface/rounding.h"

namespace surface {

QFont Font::toQFont() const {
    QFont f(family);
    f.setPointSize(pointSize > 0 ? pointSize : 1);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    // Symbols are printed: crisp one-colour glyphs, as a bitmap font would give.
    f.setStyleStrategy(QFont::NoAntialias);
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
