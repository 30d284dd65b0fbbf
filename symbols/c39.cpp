#include "symbols/c39.h"

#include <array>
#include <cerrno>
#include <climits>

#include "surface/convert.h"
#include "surface/rounding.h"
#include "surface/screen.h"

namespace symbols {

namespace {

struct CharPattern {
    char character;
    std::string_view modules;  // 12 modules, "1" bar, "0" space; wide elements are "11"/"00"
};

// Code 39 character patterns. "_" carries the pattern the standard gives to the space
// character (the space itself is not accepted), and "*" is accepted inside a message as an
// ordinary character.
constexpr std::array<CharPattern, 44> kPatterns = {{
    {'0', "101001101101"}, {'M', "110110101001"},  //
    {'1', "110100101011"}, {'N', "101011010011"},  //
    {'2', "101100101011"}, {'O', "110101101001"},  //
    {'3', "110110010101"}, {'P', "101101101001"},  //
    {'4', "101001101011"}, {'Q', "101010110011"},  //
    {'5', "110100110101"}, {'R', "110101011001"},  //
    {'6', "101100110101"}, {'S', "101101011001"},  //
    {'7', "101001011011"}, {'T', "101011011001"},  //
    {'8', "110100101101"}, {'U', "110010101011"},  //
    {'9', "101100101101"}, {'V', "100110101011"},  //
    {'A', "110101001011"}, {'W', "110011010101"},  //
    {'B', "101101001011"}, {'X', "100101101011"},  //
    {'C', "110110100101"}, {'Y', "110010110101"},  //
    {'D', "101011001011"}, {'Z', "100110110101"},  //
    {'E', "110101100101"}, {'-', "100101011011"},  //
    {'F', "101101100101"}, {'.', "110010101101"},  //
    {'G', "101010011011"}, {'$', "100100100101"},  //
    {'H', "110101001101"}, {'/', "100100101001"},  //
    {'I', "101101001101"}, {'+', "100101001001"},  //
    {'J', "101011001101"}, {'%', "101001001001"},  //
    {'K', "110101010011"}, {'*', "100101101101"},  //
    {'L', "101101010011"}, {'_', "100110101101"},  //
}};

constexpr bool allPatternsWellFormed() {
    for (const CharPattern& p : kPatterns) {
        if (p.modules.size() != 12 || p.modules.front() != '1' || p.modules.back() != '1')
            return false;
    }
    return true;
}
static_assert(allPatternsWellFormed(), "every pattern is 12 modules, starting and ending on a bar");

constexpr char kGap = '0';  // the narrow space between characters
constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

// Each character's pattern by its code, for the characters that have one.
struct PatternTable {
    std::array<std::string_view, 128> byCode{};
    constexpr PatternTable() {
        for (const CharPattern& p : kPatterns) byCode[std::size_t(p.character)] = p.modules;
    }
};
constexpr PatternTable kPatternTable;

bool isNil(const QString& s) {
    return s == QLatin1String(Tc39::kNil.data(), static_cast<qsizetype>(Tc39::kNil.size()));
}

QChar upperAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ? QChar(c.unicode() - 'a' + 'A') : c;
}

QString nil() {
    return QString::fromLatin1(Tc39::kNil.data(), Tc39::kNil.size());
}

void appendModules(QString& out, std::string_view modules) {
    out += QLatin1String(modules.data(), static_cast<qsizetype>(modules.size()));
}

// Saturates; NaN (a NaN ratio) gives 0 rather than an undefined conversion.
int clampToInt(double v) {
    if (v != v) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

std::int32_t Tc39::convert(double inches, std::int32_t current) const {
    return inches > 0 ? surface::roundToInt(inches * Dpi) : current;
}

std::int32_t Tc39::Setup(const surface::Font& font, std::int32_t dpi, double intervalSpace,
                         double barHeight, double narrowWidth, double ratio, double leftSpace,
                         double rightSpace, const QString& comment, const QString& message,
                         double topSpace, double downSpace) {
    if (dpi > 0) {
        Dpi = dpi;
    } else if (dpi == 0) {
        Dpi = surface::screenDpi();
        if (Dpi <= 0) return DpiError;
    }
    IntervalSpace = convert(intervalSpace, IntervalSpace);
    if (IntervalSpace < 0) return IntervalError;
    BarHeight = convert(barHeight, BarHeight);
    if (BarHeight <= 0) return HeightError;
    if (font.pointSize > 0) Font = font;
    NarrowWidth = convert(narrowWidth, NarrowWidth);
    if (NarrowWidth <= 0) return NarrowWidthError;
    if (ratio >= 2.0 && ratio <= 3.0) Ratio = ratio;
    if (!(Ratio > 0)) return RatioError;
    LeftSpace = convert(leftSpace, LeftSpace);
    if (LeftSpace < 0) return LeftSpaceError;
    RightSpace = convert(rightSpace, RightSpace);
    if (RightSpace < 0) return RightSpaceError;
    Comment = comment;
    if (message.isEmpty()) return MessageEmpty;
    Message = message;
    TopSpace = convert(topSpace, TopSpace);
    if (TopSpace < 0) return TopSpaceError;
    DownSpace = convert(downSpace, DownSpace);
    if (DownSpace < 0) return DownSpaceError;
    return Ok;
}

std::string_view Tc39::PatternOf(QChar c) {
    const std::string_view p = c.unicode() < 128 ? kPatternTable.byCode[c.unicode()] : kNil;
    return p.empty() ? kNil : p;
}

bool Tc39::Accepts(QChar c) {
    return PatternOf(upperAsciiLetter(c)) != kNil;
}

QString Tc39::Scanned(const QString& text) {
    QString read;
    for (QChar c : text) {
        if (!Accepts(c)) return {};
        read += c == QLatin1Char('_') ? QLatin1Char(' ') : c.toUpper();
    }
    return read;
}

QString Tc39::ModulesOf(const QString& text) {
    const std::string_view startStop = PatternOf(QLatin1Char('*'));
    QString modules;
    modules.reserve((text.size() + 2) * 13);
    appendModules(modules, startStop);
    modules += QLatin1Char(kGap);
    for (QChar c : text) {
        const std::string_view p = PatternOf(upperAsciiLetter(c));
        if (p == kNil) return nil();
        appendModules(modules, p);
        modules += QLatin1Char(kGap);
    }
    appendModules(modules, startStop);
    return modules;
}

QString Tc39::Encode(const QString& text) {
    const QString modules = ModulesOf(text);
    if (isNil(modules)) return modules;
    QString elements(modules.size(), Qt::Uninitialized);
    QChar* out = elements.data();
    const QChar* m = modules.constData();
    const qsizetype n = modules.size();
    for (qsizetype j = 0; j < n;) {
        const bool bar = m[j] == QLatin1Char('1');
        const bool pair = j + 1 < n && m[j + 1] == m[j];
        *out++ = QLatin1Char(pair ? (bar ? '8' : '6') : (bar ? '2' : '4'));
        j += pair ? 2 : 1;
    }
    elements.truncate(out - elements.constData());
    return elements;
}

double Tc39::patternWidthF(const QString& elements, std::int32_t narrowWidth, double ratio) {
    if (isNil(elements)) return -1;
    const double wide = surface::roundEven(narrowWidth * ratio);
    double width = 0;
    for (QChar e : elements) {
        if (e == QLatin1Char('2') || e == QLatin1Char('4'))
            width += narrowWidth;
        else if (e == QLatin1Char('6') || e == QLatin1Char('8'))
            width += wide;
    }
    return width;
}

std::int32_t Tc39::PatternWidth(const QString& elements, std::int32_t narrowWidth, double ratio) {
    return clampToInt(patternWidthF(elements, narrowWidth, ratio));
}

double Tc39::TotalWidthF() const {
    // The element string's width from its counts of narrow and wide elements: the same sum.
    const double bars = isNil(elements())
                            ? -1.0
                            : narrowElements_ * double(NarrowWidth) +
                                  wideElements_ * surface::roundEven(NarrowWidth * Ratio);
    return bars + double(LeftSpace) + double(RightSpace);
}

double Tc39::TotalHeightF() const {
    const double commentRows = Comment.isEmpty() ? 0.0 : 2.0 * font().pointSize;
    return commentRows + 4.0 * IntervalSpace + double(BarHeight) + double(TopSpace) +
           double(DownSpace);
}

std::int32_t Tc39::TotalWidth() const {
    return clampToInt(TotalWidthF());
}
std::int32_t Tc39::TotalHeight() const {
    return clampToInt(TotalHeightF());
}

const QString& Tc39::elements() const {
    if (encodedMessage_ != Message || encoded_.isEmpty()) {
        encoded_ = Encode(Message);
        encodedMessage_ = Message;
        narrowElements_ = wideElements_ = 0;
        for (QChar e : encoded_) {
            narrowElements_ += e == QLatin1Char('2') || e == QLatin1Char('4');
            wideElements_ += e == QLatin1Char('6') || e == QLatin1Char('8');
        }
    }
    return encoded_;
}

const surface::Font& Tc39::font() const {
    static const surface::Font kDefault{};
    return Font ? *Font : kDefault;
}

std::int32_t Tc39::wideWidth() const {
    return surface::roundToInt(NarrowWidth * Ratio);
}

Tc39::DrawOutcome Tc39::Draw(surface::Bitmap& canvas) const {
    DrawOutcome outcome;
    canvas.assignFont(font());
    const double f = canvas.fontSize();
    const bool hasComment = !Comment.isEmpty();

    if (hasComment &&
        !canvas.textOut(LeftSpace, clampToInt(double(TopSpace) + IntervalSpace), Comment)) {
        outcome.notices.push_back(QStringLiteral("Error Code is %1").arg(errno));
    }

    // Bars and spaces, left to right; spaces are painted so the row is complete whatever
    // the canvas held. Positions are kept in double so no width can overflow them.
    const double barTop =
        hasComment ? f + 2.0 * IntervalSpace + TopSpace : double(TopSpace) + IntervalSpace;
    const int y0 = clampToInt(barTop);
    const int y1 = clampToInt(barTop + BarHeight);
    {
        const int width = PatternWidth(elements(), NarrowWidth, Ratio);
        // The start and stop characters: the first and the last nine elements.
        const int ends = PatternWidth(elements().left(9), NarrowWidth, Ratio);
        SymbolGeometry& g = outcome.drawn;
        g.modulePx = NarrowWidth;
        g.bars = QRect(LeftSpace, y0, width, BarHeight);
        g.guards.push_back(
            {QStringLiteral("start character"), QRect(LeftSpace, y0, ends, BarHeight)});
        g.guards.push_back({QStringLiteral("stop character"),
                            QRect(LeftSpace + width - ends, y0, ends, BarHeight)});
    }
    if (!isNil(elements())) {
        const double wide = wideWidth();
        double x = LeftSpace;
        for (QChar e : elements()) {
            if (x >= canvas.width()) break;  // the rest lies outside the picture
            const bool isWide = e == QLatin1Char('6') || e == QLatin1Char('8');
            const bool isBar = e == QLatin1Char('2') || e == QLatin1Char('8');
            const double w = isWide ? wide : double(NarrowWidth);
            canvas.setBrushRgb(isBar ? kBlack : kWhite);
            canvas.fillRect(clampToInt(x), y0, clampToInt(x + w), y1);
            x += w;
        }
    }
    canvas.setBrushColor(Qt::white);

    // Human-readable row: first character 12 narrow widths right of the left blank space,
    // last one 12 narrow widths left of the right blank space, the rest evenly between.
    const double textTop = hasComment ? f + TopSpace + double(BarHeight) + 3.0 * IntervalSpace
                                      : double(TopSpace) + BarHeight + IntervalSpace;
    const qsizetype n = Message.size();
    if (n == 1) {
        outcome.failed = true;
        return outcome;
    }
    const double xFirst = double(LeftSpace) + 12.0 * NarrowWidth;
    const double inset = double(RightSpace) + 12.0 * NarrowWidth;
    const double step =
        n > 1 ? surface::roundEven((TotalWidthF() - xFirst - inset) / double(n - 1)) : 0.0;
    const int yt = clampToInt(textTop);
    for (qsizetype i = 0; i < n; ++i) {
        const double x = xFirst + double(i) * step;
        if (x >= canvas.width() || x < INT_MIN / 2) continue;  // wholly clipped
        canvas.textOut(clampToInt(x), yt, surface::charText(Message[i]));
    }
    return outcome;
}

}  // namespace symbols
