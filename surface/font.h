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

    bool operator==(const Font&) const = default;

    // The font to render with on a device of the given resolution.
    QFont toQFont() const;
    static Font fromQFont(const QFont& f, const QColor& color);
};

// Maps the classic Windows face names to metric-compatible faces found on Linux, so that
// "MS Sans Serif" renders at the width it was laid out for. Call once at start.
void registerFontSubstitutes();

}  // namespace surface
