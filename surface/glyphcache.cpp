#include "surface/glyphcache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <unordered_map>

namespace surface {

namespace {
constexpr std::size_t kMaxInkKept = 2 * 1024 * 1024;  // glyph pixels, 8 bytes each

GlyphRun render(const Font& font, int dpi, const QString& text) {
    GlyphRun run;
    const QFont f = font.toQFont(dpi);
    const QFontMetrics fm(f);
    run.advance = fm.horizontalAdvance(text);
    run.height = fm.height();
    run.ascent = fm.ascent();
    // Room for glyphs that reach past their cell (italics, overhanging letters).
    const int pad = fm.height();
    QImage scratch(run.advance + 2 * pad, run.height + 2 * pad, QImage::Format_RGB32);
    scratch.fill(Qt::white);
    {
        QPainter p(&scratch);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QPoint(pad, pad + run.ascent), text);
    }
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x)
            if (qGray(line[x]) < 128) run.ink.emplace_back(x - pad, y - pad);
    }
    return run;
}

bool sameShape(const Font& a, const Font& b) {
    return a.pointSize == b.pointSize && a.renderDpi == b.renderDpi && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline && a.strikeOut == b.strikeOut &&
           a.family == b.family;
}

// The runs of one font at one resolution.
struct FontRuns {
    Font font;
    int dpi = 0;
    std::unordered_map<QString, GlyphRun> runs;
};
}  // namespace

const GlyphRun& glyphRun(const Font& font, int dpi, const QString& text) {
    // Each thread keeps its own runs: no locking, and no thread sees a half-made run. A
    // symbol uses one font, so the fonts are few and a short list serves.
    thread_local std::vector<std::unique_ptr<FontRuns>> fonts;
    // A bound on the pixels one thread keeps: very large fonts make large runs. A run is
    // only used within the call that asked for it, so dropping them all is safe here.
    thread_local std::size_t inkKept = 0;
    if (inkKept > kMaxInkKept) {
        fonts.clear();
        inkKept = 0;
    }
    FontRuns* entry = nullptr;
    for (const auto& f : fonts) {
        if (f->dpi == dpi && sameShape(f->font, font)) {
            entry = f.get();
            break;
        }
    }
    if (entry == nullptr) {
        if (fonts.size() >= 16) fonts.erase(fonts.begin());  // a bound on what one thread keeps
        fonts.push_back(std::make_unique<FontRuns>());
        entry = fonts.back().get();
        entry->font = font;
        entry->font.color = Qt::black;  // the colour plays no part in the pixels' places
        entry->dpi = dpi;
    }
    if (entry->runs.size() > 4096) entry->runs.clear();
    auto it = entry->runs.find(text);
    if (it == entry->runs.end()) {
        it = entry->runs.emplace(text, render(font, dpi, text)).first;
        inkKept += it->second.ink.size();
    }
    return it->second;
}

}  // namespace surface
