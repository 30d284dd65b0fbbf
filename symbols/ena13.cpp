#include "symbols/ena13.h"

#include "surface/convert.h"
#include "surface/rounding.h"

namespace symbols {

namespace {
bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString text(std::string_view modules) {
    return QString::fromLatin1(modules.data(), static_cast<qsizetype>(modules.size()));
}

// The 7 modules of one digit value from a number set.
QString code(const std::array<std::string_view, 10>& set, int digit) {
    return text(set[digit]);
}
}  // namespace

int TENA13::CheckDigit(const QString& text) {
    if (text.size() != 12) return -1;
    for (const QChar c : text)
        if (!isDigit(c)) return -2;
    // Weights 1, 3, 1, ... from the left over twelve digits are weights 3, 1, ... from the
    // right: the family's shared sum.
    return checkDigitWeight3Right(text);
}

QString TENA13::Encode(const QString& message) {
    QString out = text(StartGuard);
    if (message.isEmpty() || !isDigit(message[0])) return out;
    const std::string_view parity = kEan13Parity[message[0].unicode() - '0'];
    const QString body = message.mid(1) + QString::number(CheckDigit(message));
    for (int k = 1; k <= body.size(); ++k) {
        const QChar c = body[k - 1];
        if (!isDigit(c)) return {};
        const int d = c.unicode() - '0';
        if (k <= 6) {
            out += code(parity[k - 1] == 'A' ? LeftOddCode : LeftEvenCode, d);
            if (k == 6) out += text(CentreGuard);
        } else if (k <= 12) {
            out += code(RightCode, d);
            if (k == 12) out += text(EndGuard);
        }
    }
    return out;
}

QString TENA13::EncodeSupplemental(const QString& digits) {
    return encodeAddOn(digits);
}

int TENA13::AddOnModules(const QString& supplemental) {
    if (supplemental.size() == 2) return 12 + 20;
    if (supplemental.size() == 5) return 12 + 47;
    return 0;
}

double TENA13::MainWidthF() const {
    return surface::roundEven((CodeWidth + LeftMargin + RightMargin) * Dpi);
}

double TENA13::AddOnWidthF() const {
    return surface::roundEven(double(Dpi) * CodeWidth / 95 * AddOnModules(Supplemental));
}

double TENA13::HeightF() const {
    return surface::roundEven((CodeHeight + TopMargin + BottomMargin) * Dpi);
}

PictureExtent TENA13::Extent() const {
    const double d = Dpi, f = fontPixels();
    // The font's point size counts as pixels beside and above the bars.
    return {MainWidthF() + AddOnWidthF(),
            HeightF(),
            {CodeWidth * d, LeftMargin * d, RightMargin * d, f},
            {CodeHeight * d, TopMargin * d, BottomMargin * d, 3.5 * Interval * d, 2.0 * f}};
}

int TENA13::fontPixels() const {
    return Font != nullptr ? Font->pointSize : 0;
}

void TENA13::DrawComment() {
    if (Canvas == nullptr) return;
    if (Font != nullptr) Canvas->assignFont(*Font);
    const double d = Dpi;
    Canvas->textOut(surface::roundToInt(d * CommentX) - 10, surface::roundToInt(d * CommentY),
                    Comment);
}

bool TENA13::Draw(double x, double y) {
    if (Canvas == nullptr || Font == nullptr) return false;
    const QString modules = Encode(Message);
    // A message with a non-digit encodes to nothing (or to the start guard alone); there is
    // no module width to divide out of it, so nothing is drawn.
    if (modules.size() < 95) return false;

    const double d = Dpi;
    const int f = fontPixels();
    const int x0 = surface::roundToInt(d * x);
    const int y0 = surface::roundToInt(d * y);
    const int n = static_cast<int>(modules.size());
    const int s = surface::roundToInt((CodeHeight - 3.5 * Interval) * d) - 2 * f;
    const int g = s + surface::roundToInt(0.06 * s);
    const int m = surface::roundToInt(d * CodeWidth) / n;
    const int ty = y0 + s + surface::roundToInt(0.5 * Interval * d);

    // The guards are the runs of guard modules ('b' and 'a'), data bars the rest.
    std::vector<ModuleRange> guards;
    for (int i = 1; i <= n; ++i) {
        if (modules[i - 1] != QLatin1Char('a') && modules[i - 1] != QLatin1Char('b')) continue;
        if (guards.empty() || guards.back().last != i - 1)
            guards.push_back({i, i});
        else
            guards.back().last = i;
    }
    drawn_.modulePx = m;
    drawn_.modules = n;
    drawn_.bars = QRect(x0, y0, n * m, s);
    drawn_.guards = guardAreas(modules, guards, x0, m, y0, y0 + g);

    Canvas->setBrushColor(BarColor);
    Canvas->setPenColor(BarColor);
    for (int i = 1; i <= n; ++i) {
        const QChar c = modules[i - 1];
        if (c == QLatin1Char('b'))
            Canvas->fillRect(x0 + (i - 1) * m, y0, x0 + i * m, y0 + g);
        else if (c == QLatin1Char('1'))
            Canvas->fillRect(x0 + (i - 1) * m, y0, x0 + i * m, y0 + s);
    }

    // Digits stand left-aligned on the modules that encode them; the first one, which has
    // no modules of its own, stands left of the start guard.
    const QString digits = Message + QString::number(CheckDigit(Message));
    Canvas->setBrushColor(Qt::white);
    Canvas->setPenColor(Font->color);
    for (int k = 1; k <= digits.size() && k <= 13; ++k) {
        int dx = 0;
        if (k == 1)
            dx = x0 - f - m;
        else if (k <= 7)
            dx = x0 + (3 + 7 * (k - 2)) * m;
        else
            dx = x0 + (50 + 7 * (k - 8)) * m;
        Canvas->textOut(dx, ty, surface::charText(digits[k - 1]));
    }
    return true;
}

void TENA13::DrawSupplemental(int xs, int ys) {
    if (Canvas == nullptr) return;
    const QString modules = EncodeSupplemental(Supplemental);
    const double d = Dpi;
    const int f = fontPixels();
    const int n = static_cast<int>(modules.size());
    const int sh = surface::roundToInt((CodeHeight - 2.5 * Interval) * d) - 2 * f;
    const int m2 = surface::roundToInt(d * CodeWidth / 95);
    const int h = Comment.isEmpty() ? 0 : 2 * f;
    const int barTop = surface::roundToInt(ys + h + f + d * Interval);
    drawn_.addOnModules = n;
    drawn_.addOnBars = QRect(xs, barTop, n * m2, ys + h + sh - barTop);

    for (int i = 1; i <= n; ++i) {
        if (modules[i - 1] == QLatin1Char('1')) {
            Canvas->setBrushColor(BarColor);
            Canvas->fillRect(xs + (i - 1) * m2, barTop, xs + i * m2, ys + h + sh);
        }
        // Each digit is written above its own code, one module in from the code's left edge.
        if ((i - 5) % 9 == 0) {
            const int digit = (i - 5) / 9;
            if (digit >= Supplemental.size()) continue;
            Canvas->setBrushColor(Qt::white);
            Canvas->setPenColor(BarColor);
            Canvas->textOut(xs + i * m2, ys + h, surface::charText(Supplemental[digit]));
        }
    }
}

}  // namespace symbols
