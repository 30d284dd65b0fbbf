#include "surface/glyphcache.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>

namespace surface {

namespace {
constexpr std::size_t kMaxInkKept = 1024 * 1024;  // runs of glyph pixels, 12 bytes each
constexpr qsizetype kMaxCellTextKept = 64;        // characters of a text measured alone

thread_local std::uint64_t pixelsRendered = 0;

GlyphRun measure(const QFont& f, const QString& text) {
    const QFontMetrics fm(f);
    GlyphRun run;
    run.advance = fm.horizontalAdvance(text);
    run.height = fm.height();
    run.ascent = fm.ascent();
    run.overhang = fm.height();
    return run;
}

GlyphRun render(const Font& font, int dpi, const QString& text) {
    GlyphRun run = measure(font.toQFont(dpi), text);
    const int pad = run.overhang;
    const QImage scratch = renderGlyphWindow(
        font, dpi, text, run, QRect(-pad, -pad, run.advance + 2 * pad, run.height + 2 * pad));
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            if (qGray(line[x]) >= 128) continue;
            // Rows from the first with ink to this one, each starting where its ink does.
            if (run.rowStart.empty()) run.inkTop = y - pad;
            while (run.inkTop + int(run.rowStart.size()) <= y - pad)
                run.rowStart.push_back(static_cast<std::uint32_t>(run.ink.size()));
            const int start = x;
            while (x + 1 < scratch.width() && qGray(line[x + 1]) < 128) ++x;
            run.ink.push_back({start - pad, y - pad, x + 1 - start});
        }
    }
    run.rowStart.push_back(static_cast<std::uint32_t>(run.ink.size()));
    if (run.ink.empty()) return run;
    run.inkLeft = run.ink.front().x;
    run.inkRight = run.ink.front().x + run.ink.front().length - 1;
    for (const GlyphRun::Span& s : run.ink) {
        run.inkLeft = std::min(run.inkLeft, s.x);
        run.inkRight = std::max(run.inkRight, s.x + s.length - 1);
    }
    if (run.inkRight - run.inkLeft >= 64) return run;
    run.rowBits.assign(run.rowStart.size() - 1, 0);
    for (const GlyphRun::Span& s : run.ink)
        for (int x = s.x; x < s.x + s.length; ++x)
            run.rowBits[std::size_t(s.y - run.inkTop)] |= std::uint64_t(1) << (x - run.inkLeft);
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
    // Symbols write their digits one by one: a text of one ASCII character has its own slot.
    std::array<std::shared_ptr<const GlyphRun>, 128> single;
    std::unordered_map<QString, std::shared_ptr<const GlyphRun>> runs;
    // Cells of text measured but not rendered (text that lies outside its picture).
    std::unordered_map<QString, GlyphRun> cells;

    // Where the run of `text` is kept, or null when it has no place yet.
    const std::shared_ptr<const GlyphRun>* find(const QString& text) const {
        if (text.size() == 1 && text.front().unicode() < single.size())
            return &single[text.front().unicode()];
        const auto it = runs.find(text);
        return it == runs.end() ? nullptr : &it->second;
    }
    std::shared_ptr<const GlyphRun>& place(const QString& text) {
        if (text.size() == 1 && text.front().unicode() < single.size())
            return single[text.front().unicode()];
        if (runs.size() > 4096) runs.clear();
        return runs[text];
    }
};

// Each thread keeps its own runs: no locking, and no thread sees a half-made run. A
// symbol uses one font, so the fonts are few and a short list serves.
thread_local std::vector<std::unique_ptr<FontRuns>> fonts;

FontRuns* runsOf(const Font& font, int dpi) {
    for (const auto& f : fonts)
        if (f->dpi == dpi && sameShape(f->font, font)) return f.get();
    return nullptr;
}

// The runs of the font, a new empty set when it has none yet.
FontRuns* keptRunsOf(const Font& font, int dpi) {
    if (FontRuns* entry = runsOf(font, dpi)) return entry;
    if (fonts.size() >= 16) fonts.erase(fonts.begin());  // a bound on what one thread keeps
    fonts.push_back(std::make_unique<FontRuns>());
    FontRuns* entry = fonts.back().get();
    entry->font = font;
    entry->font.color = Qt::black;  // the colour plays no part in the pixels' places
    entry->dpi = dpi;
    return entry;
}
}  // namespace

QImage renderGlyphWindow(const Font& font, int dpi, const QString& text, const GlyphRun& metrics,
                         const QRect& window) {
    if (window.isEmpty()) return {};
    QImage scratch(window.size(), QImage::Format_RGB32);
    if (scratch.isNull()) return {};
    pixelsRendered += static_cast<std::uint64_t>(window.width()) * window.height();
    scratch.fill(Qt::white);
    QPainter p(&scratch);
    p.setFont(font.toQFont(dpi));
    p.setPen(Qt::black);
    p.drawText(QPoint(-window.left(), -window.top() + metrics.ascent), text);
    return scratch;
}

std::uint64_t glyphPixelsRendered() {
    return pixelsRendered;
}

GlyphRun glyphMetrics(const Font& font, int dpi, const QString& text) {
    FontRuns* entry = keptRunsOf(font, dpi);
    if (const auto* kept = entry->find(text); kept && *kept) return (*kept)->cell();
    if (text.size() > kMaxCellTextKept) return measure(font.toQFont(dpi), text);
    if (entry->cells.size() > 4096) entry->cells.clear();
    auto it = entry->cells.find(text);
    if (it == entry->cells.end())
        it = entry->cells.emplace(text, measure(font.toQFont(dpi), text)).first;
    return it->second;
}

std::shared_ptr<const GlyphRun> keptGlyphRun(const Font& font, int dpi, const QString& text) {
    if (FontRuns* entry = runsOf(font, dpi))
        if (const auto* kept = entry->find(text)) return *kept;
    return nullptr;
}

std::shared_ptr<const GlyphRun> glyphRun(const Font& font, int dpi, const QString& text) {
    // A bound on the pixels one thread keeps: very large fonts make large runs. A caller
    // holds the runs it still needs, so dropping them all is safe here.
    thread_local std::size_t inkKept = 0;
    if (inkKept > kMaxInkKept) {
        fonts.clear();
        inkKept = 0;
    }
    FontRuns* entry = keptRunsOf(font, dpi);
    std::shared_ptr<const GlyphRun>& kept = entry->place(text);
    if (!kept) {
        kept = std::make_shared<const GlyphRun>(render(font, dpi, text));
        inkKept += kept->ink.size();
    }
    return kept;
}

}  // namespace surface
