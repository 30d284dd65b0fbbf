#pragma once
// A font as the symbols use it: face, whole point size, style and colour. The point size
// doubles as a pixel count in every symbol layout, so it is kept as the whole number the
// user chose rather than as a measured extent.

#include <QColor>
#include <QFont>
#include <QString>

namespace surface {

struct Font {
    QString family = QStringLiteral("MS Sans Serif");
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = Qt::black;
    // The resolution the point size is meant for when glyphs are drawn; 0 means the
    // picture's own. A tool that scales the point size with the picture's resolution (so the
    // layout, which counts the point size as pixels, keeps its proportions) sets 96 here so
    // that the glyphs keep their printed size.
    int renderDpi = 0;

    bool operator==(const Font&) const = default;

    // The font to render with on a picture of the given resolution: its pixel size is the
    // point size at that resolution (or at renderDpi, when set).
    QFont toQFont(int pictureDpi) const;
    // The same font by its point size, as a font dialog shows it: under the name of the face
    // its glyphs are drawn in (the installed face that stands in for "MS Sans Serif").
    QFont toPointFont() const;
    static Font fromQFont(const QFont& f, const QColor& color);
};

// Maps the classic Windows face names to metric-compatible faces found on Linux, so that
// "MS Sans Serif" renders at the width it was laid out for. Call once at start.
void registerFontSubstitutes();

}  // namespace surface
