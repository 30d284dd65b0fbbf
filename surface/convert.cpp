#include "surface/convert.h"

#include <QLocale>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace surface {

namespace {
bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

ConvertError intError(const QString& text) {
    return ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
}  // namespace

int strToInt(const QString& text) {
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size()) throw intError(text);
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i])) throw intError(text);
        v = v * 10 + (text[i].unicode() - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) throw intError(text);
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        throw intError(text);
    return static_cast<int>(v);
}

bool tryStrToFloat(const QString& text, double& out) {
    const QString t = text.trimmed();
    // Only plain decimal notation: sign, digits, one point, optional exponent.
    int i = 0;
    const int n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    while (i < n && isAsciiDigit(t[i])) ++i, ++digits;
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
        int expDigits = 0;
        while (i < n && isAsciiDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    // The text is plain ASCII now; the standard conversion rounds as the C locale's does.
    // What it cannot represent (overflow, underflow) is left to the locale's conversion.
    char ascii[64];
    if (n < int(sizeof ascii)) {
        const int skip = t[0] == QLatin1Char('+') ? 1 : 0;
        for (int k = skip; k < n; ++k) ascii[k - skip] = char(t[k].unicode());
        double v = 0;
        const auto [end, error] = std::from_chars(ascii, ascii + n - skip, v);
        if (error == std::errc() && end == ascii + n - skip && std::isfinite(v)) {
            out = v;
            return true;
        }
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    out = v;
    return true;
}

double strToFloat(const QString& text) {
    double v = 0;
    if (!tryStrToFloat(text, v))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

int digitValue(QChar c) {
    if (!isAsciiDigit(c)) throw intError(QString(c));
    return c.unicode() - '0';
}

QString charText(QChar c) {
    static constexpr auto kLatin1 = [] {
        std::array<char16_t, 256> all{};
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = char16_t(i);
        return all;
    }();
    if (c.unicode() >= kLatin1.size()) return QString(c);
    return QString::fromRawData(reinterpret_cast<const QChar*>(&kLatin1[c.unicode()]), 1);
}

QString digitText(int digit) {
    return charText(QChar(u'0' + digit));
}

std::optional<QString> nonDigitNotice(const QString& text, const QString& name) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isAsciiDigit(text[i])) continue;
        QString shown(text[i]);  // a character outside the BMP is shown whole
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            shown += text[i + 1];
        return QStringLiteral(
                   "The '%1' holds the character '%2' at position %3; only the digits 0 to 9 "
                   "are allowed.")
            .arg(name, shown, QString::number(i + 1));
    }
    return std::nullopt;
}

}  // namespace surface
