#include "symbols/numbersets.h"

#include "surface/convert.h"

namespace symbols {

namespace {
QString lookup(const std::array<std::string_view, 10>& set, QChar digit) {
    return digitCode(set, digit);
}

QString codeIn(char parity, QChar digit) {
    return parity == 'A' ? codeA(digit) : codeB(digit);
}
}  // namespace

QLatin1String digitCode(const std::array<std::string_view, 10>& set, QChar digit) {
    if (digit < QLatin1Char('0') || digit > QLatin1Char('9')) return {};
    const std::string_view code = set[digit.unicode() - '0'];
    return QLatin1String(code.data(), static_cast<qsizetype>(code.size()));
}

QString codeA(QChar digit) {
    return lookup(kSetA, digit);
}
QString codeB(QChar digit) {
    return lookup(kSetB, digit);
}
QString codeC(QChar digit) {
    return lookup(kSetC, digit);
}

QString encodeAddOn(const QString& digits) {
    QString out = QStringLiteral("1011");
    if (digits.size() == 2) {
        const int v = surface::strToInt(digits);  // the two digits converted together
        if (v < 0 || digits[0] == QLatin1Char('+') || digits[0] == QLatin1Char('-'))
            throw surface::ConvertError(
                QStringLiteral("'%1' is not a valid integer value").arg(digits));
        const std::string_view row = kAddOn2Parity[v % 4];
        out += codeIn(row[0], digits[0]) + QStringLiteral("01") + codeIn(row[1], digits[1]);
    } else if (digits.size() == 5) {
        int d[5];
        for (int i = 0; i < 5; ++i) d[i] = surface::digitValue(digits[i]);
        const int c = (3 * (d[0] + d[2] + d[4]) + 9 * (d[1] + d[3])) % 10;
        const std::string_view row = kAddOn5Parity[c];
        for (int i = 0; i < 5; ++i) {
            if (i > 0) out += QStringLiteral("01");
            out += codeIn(row[i], digits[i]);
        }
    }
    return out;
}

int checkDigitWeight3Right(QStringView digits) {
    int sum = 0;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        const int weight = ((n - 1 - i) % 2 == 0) ? 3 : 1;
        sum += weight * surface::digitValue(digits[i]);
    }
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
}

}  // namespace symbols
