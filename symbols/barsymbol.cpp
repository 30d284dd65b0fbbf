#include "symbols/barsymbol.h"

#include <algorithm>

#include "surface/convert.h"
#include "surface/rounding.h"
#include "symbols/numbersets.h"

namespace symbols {

namespace {
// Drawing positions are worked out in double and brought into a range where the canvas's
// own arithmetic (cell right edge = x + width) cannot overflow; anything that far out is
// clipped away anyway.
int at(double v) {
    constexpr double kFar = 1 << 30;
    return surface::roundToInt(std::clamp(v, -kFar, kFar));
}

QChar first(const QString& s) {
    return s.isEmpty() ? QChar() : s.front();
}

bool isFull(std::span<const BarSymbol::ModuleRange> full, int k) {
    return std::any_of(full.begin(), full.end(),
                       [k](const auto& r) { return r.first <= k && k <= r.last; });
}
}  // namespace

QString BarSymbol::LeftOddCode(const QString& digit) {
    return codeA(first(digit));
}
QString BarSymbol::LeftEvenCode(const QString& digit) {
    return codeB(first(digit));
}
QString BarSymbol::RightCode(const QString& digit) {
    return codeC(first(digit));
}
QString BarSymbol::EncodeSupplemental(const QString& digits) {
    return encodeAddOn(digits);
}

int BarSymbol::UpcCheckDigit(QStringView digits) {
    const int n = static_cast<int>(digits.size());
    if (n > 0) {
        const int weight3 = (n - 1) % 2;
        for (int i = weight3; i < n; i += 2) surface::digitValue(digits[i]);
        for (int i = 1 - weight3; i < n; i += 2) surface::digitValue(digits[i]);
    }
    return checkDigitWeight3Right(digits);
}

QString BarSymbol::EncodeWithCheckDigit(const QString& message, int length, int leftDigits) {
    if (message.size() != length) return {};
    const int check = UpcCheckDigit(message);
    QString out;
    out.reserve(3 + 7 * (length + 1) + 5 + 3);
    out += QLatin1String("101");
    for (int i = 0; i < leftDigits; ++i) out += digitCode(kSetA, message[i]);
    out += QLatin1String("01010");
    for (int i = leftDigits; i < length; ++i) out += digitCode(kSetC, message[i]);
    out += digitCode(kSetC, QChar(u'0' + check));
    out += QLatin1String("101");
    message_ += QChar(u'0' + check);
    return out;
}

void BarSymbol::fillBar(QRgb bar, double x1, double y1, double x2, double y2) {
    surface::Bitmap* canvas = Canvas();
    if (canvas == nullptr) return;
    canvas->setBrushRgb(bar);
    canvas->fillRect(at(x1), at(y1), at(x2), at(y2));
}

void BarSymbol::writeText(double x, double y, const QString& text) {
    surface::Bitmap* canvas = Canvas();
    if (canvas == nullptr || text.isEmpty()) return;
    canvas->setBrushRgb(0xFFFFFFFF);
    canvas->textOut(at(x), at(y), text);
}

void BarSymbol::DrawMain(const MainLayout& layout, const QString& modules, const QString& lead,
                         const QString& underBars, const QString& trail) {
    surface::Bitmap* canvas = Canvas();
    if (canvas == nullptr) return;
    const double m = ModuleWidth(), x0 = OriginX(), f = F(), t = BarTop(), h = BarHeight();
    const double interval = IntervalSpace() / 1000.0 * Dpi();
    // Short bars stop at 14/15 of the full height; the digits start one interval lower.
    const double shortBottom = surface::roundEven(h / 15.0 * 14.0 + t);
    const double digitLine = surface::roundEven(interval + h / 15.0 * 14.0 + t);

    canvas->setBrushColor(Qt::white);
    if (Font() != nullptr) canvas->assignFont(*Font());
    writeText(x0, digitLine, lead);
    const QRgb bar = BarColor().rgb();
    // A bar of several modules is one fill, from its first module's left edge to its last
    // one's right edge (module edges are whole pixels, so that is where the next begins).
    int barFrom = 0;  // the first module of the bar being gathered; 0 while there is none
    bool barFull = false;
    const auto endBar = [&](int next) {  // the bar ends before module `next`
        if (barFrom == 0) return;
        fillBar(bar, x0 + f + (barFrom - 1) * m, t, x0 + f + (next - 1) * m,
                barFull ? t + h : shortBottom);
        barFrom = 0;
    };
    std::size_t nextDigit = 0;
    for (int k = 1; k <= layout.modules; ++k) {
        // A message of the wrong length encodes to nothing: no bars, digits as they are.
        const bool isBar = k <= modules.size() && modules[k - 1] == QLatin1Char('1');
        const bool full = isBar && isFull(layout.fullBars, k);
        if (!isBar || full != barFull) endBar(k);
        if (isBar && barFrom == 0) barFrom = k, barFull = full;
        if (nextDigit < layout.digitStarts.size() && layout.digitStarts[nextDigit] == k) {
            endBar(k + 1);  // drawn before the digit, as every bar left of it
            const double x = x0 + (layout.digitsCarryF ? f : 0.0) + (k + layout.digitShift) * m;
            if (qsizetype(nextDigit) < underBars.size())
                writeText(x, digitLine, surface::charText(underBars[qsizetype(nextDigit)]));
            ++nextDigit;
        }
    }
    endBar(layout.modules + 1);
    drawn_.modulePx = ModuleWidth();
    drawn_.modules = layout.modules;
    const int left = OriginX() + F();
    drawn_.bars = QRect(left, BarTop(), layout.modules * ModuleWidth(),
                        surface::roundToInt(shortBottom) - BarTop());
    drawn_.guards =
        guardAreas(modules, layout.fullBars, left, ModuleWidth(), BarTop(), BarTop() + BarHeight());
    writeText(x0 + f + layout.modules * m, digitLine, trail);
    if (!Comment().isEmpty()) writeText(x0, t - f - px(IntervalSpace()), Comment());
}

void BarSymbol::DrawAddOn(int offset) {
    const QString modules = EncodeSupplemental(Supplemental);  // raises before any drawing
    surface::Bitmap* canvas = Canvas();
    if (canvas == nullptr) return;
    const double m = ModuleWidth(), x0 = OriginX(), f = F(), t = BarTop(), h = BarHeight();
    const double interval = IntervalSpace() / 1000.0 * Dpi();
    const double top = surface::roundEven(f + t + interval);
    const QRgb bar = BarColor().rgb();
    drawn_.addOnModules = int(modules.size());
    const int barsTop = surface::roundToInt(top);
    drawn_.addOnBars = QRect(OriginX() + offset * ModuleWidth(), barsTop,
                             drawn_.addOnModules * ModuleWidth(), BarTop() + BarHeight() - barsTop);
    for (int j = 0; j < modules.size(); ++j) {
        const double left = x0 + double(offset + j) * m;
        if (modules[j] == QLatin1Char('1')) fillBar(bar, left, top, left + m, t + h);
        // The first module of each add-on digit: write the digit above the add-on bars.
        if (j >= 4 && (j - 4) % 9 == 0 && (j - 4) / 9 < Supplemental.size()) {
            if (Font() != nullptr) canvas->setFontColor(Font()->color);
            writeText(left, t, surface::charText(Supplemental[(j - 4) / 9]));
        }
    }
}

}  // namespace symbols
