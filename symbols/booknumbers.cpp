#include "symbols/booknumbers.h"

#include <array>

#include "symbols/numbersets.h"

namespace symbols {

namespace {

// clang-format off
const std::array<BookNumberRow, 3> kRows = {{
    {BookNumber::Isbn, "isbn", "ISBN", Symbology::Ena13},
    {BookNumber::Ismn, "ismn", "ISMN", Symbology::Ena13},
    {BookNumber::Issn, "issn", "ISSN", Symbology::Ena13},
}};

// The first digit of the book price add-on, by currency.
struct Currency {
    const char* code;
    QChar digit;
    const char* sign;  // as a price is read out
};
const std::array<Currency, 5> kCurrencies = {{
    {"USD", u'5', "US$"}, {"CAD", u'6', "CA$"}, {"AUD", u'3', "A$"},
    {"NZD", u'4', "NZ$"}, {"GBP", u'0', "\u00a3"},
}};
// clang-format on

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The EAN check digit of twelve digits.
QChar eanCheck(QStringView twelve) {
    return QChar(u'0' + checkDigitWeight3Right(twelve));
}

// ISBN-10 and ISSN: weights from n+1 down to 2 over the digits, modulo 11, X for 10.
QChar mod11Check(QStringView digits) {
    int sum = 0;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) sum += (n + 1 - i) * (digits[i].unicode() - u'0');
    const int c = (11 - sum % 11) % 11;
    return c == 10 ? QChar(u'X') : QChar(u'0' + c);
}

// The number without its separators, upper case; the separators the user typed are kept
// for the comment line.
struct Typed {
    QString compact;
    QString trimmed;
    QChar separator;  // '-', ' ' or none
};

Typed compactOf(const QString& typed) {
    Typed t;
    t.trimmed = typed.trimmed();
    for (QChar c : t.trimmed) {
        if (c == u'-' || c == u' ') {
            if (t.separator.isNull()) t.separator = c;
            continue;
        }
        t.compact += c.toUpper();
    }
    return t;
}

// Refuses the first character that is not a digit (the last one may be `last`).
bool onlyDigits(const QString& compact, QChar last, const char* title, QString* refusal) {
    for (qsizetype i = 0; i < compact.size(); ++i) {
        const QChar c = compact[i];
        if (isDigit(c) || (i + 1 == compact.size() && !last.isNull() && c == last)) continue;
        *refusal = QStringLiteral("'%1' is not a digit of an %2").arg(c).arg(QLatin1String(title));
        return false;
    }
    return true;
}

bool checkDigitIs(QChar expected, QChar typed, const char* title, QString* refusal) {
    if (expected == typed) return true;
    *refusal = QStringLiteral("the %1's check digit is %2, not %3")
                   .arg(QLatin1String(title))
                   .arg(expected)
                   .arg(typed);
    return false;
}

// The typed number with its check digit replaced and `prefix` in front, separators kept.
QString asTyped(const Typed& t, const QString& prefix, QChar check) {
    QString body = t.trimmed;
    body.back() = check;
    return t.separator.isNull() ? prefix + body : prefix + t.separator + body;
}

std::optional<QString> isbnDigits(const Typed& t, QString* comment, QString* refusal) {
    const QString& n = t.compact;
    if (n.size() == 10) {
        if (!onlyDigits(n, u'X', "ISBN", refusal)) return std::nullopt;
        if (!checkDigitIs(mod11Check(QStringView(n).left(9)), n.back(), "ISBN", refusal))
            return std::nullopt;
        const QString twelve = QStringLiteral("978") + n.left(9);
        *comment = QStringLiteral("ISBN ") + asTyped(t, QStringLiteral("978"), eanCheck(twelve));
        return twelve;
    }
    if (n.size() == 13) {
        if (!onlyDigits(n, {}, "ISBN", refusal)) return std::nullopt;
        if (!n.startsWith(QLatin1String("978")) && !n.startsWith(QLatin1String("979"))) {
            *refusal = QStringLiteral("an ISBN-13 starts with 978 or 979, not %1").arg(n.left(3));
            return std::nullopt;
        }
        if (!checkDigitIs(eanCheck(QStringView(n).left(12)), n.back(), "ISBN", refusal))
            return std::nullopt;
        *comment = QStringLiteral("ISBN ") + t.trimmed;
        return n.left(12);
    }
    *refusal = QStringLiteral("an ISBN has 10 or 13 digits (an ISBN-10 may end in X), not %1")
                   .arg(n.size());
    return std::nullopt;
}

std::optional<QString> ismnDigits(const Typed& t, QString* comment, QString* refusal) {
    QString n = t.compact;
    QString shown = t.trimmed;
    // M stands for 979-0.
    if (n.startsWith(u'M')) {
        n = QStringLiteral("9790") + n.mid(1);
        shown = (t.separator.isNull() ? QStringLiteral("9790") : QStringLiteral("979-0")) +
                shown.mid(1);
    }
    if (n.size() != 13) {
        *refusal =
            QStringLiteral("an ISMN is M and 9 digits or 979-0 and 9 digits, not %1 characters")
                .arg(t.compact.size());
        return std::nullopt;
    }
    if (!onlyDigits(n, {}, "ISMN", refusal)) return std::nullopt;
    if (!n.startsWith(QLatin1String("9790"))) {
        *refusal = QStringLiteral("an ISMN starts with M or 979-0, not %1").arg(t.compact.left(4));
        return std::nullopt;
    }
    if (!checkDigitIs(eanCheck(QStringView(n).left(12)), n.back(), "ISMN", refusal))
        return std::nullopt;
    *comment = QStringLiteral("ISMN ") + shown;
    return n.left(12);
}

std::optional<QString> issnDigits(const Typed& t, const QString& variant, QString* comment,
                                  QString* refusal) {
    const QString& n = t.compact;
    if (n.size() != 8) {
        *refusal = QStringLiteral("an ISSN has 8 digits (the last may be X), not %1").arg(n.size());
        return std::nullopt;
    }
    if (!onlyDigits(n, u'X', "ISSN", refusal)) return std::nullopt;
    if (!checkDigitIs(mod11Check(QStringView(n).left(7)), n.back(), "ISSN", refusal))
        return std::nullopt;
    const QString v = variant.isEmpty() ? QStringLiteral("00") : variant;
    if (v.size() != 2 || !isDigit(v[0]) || !isDigit(v[1])) {
        *refusal = QStringLiteral("the ISSN's variant must be 2 digits, not '%1'").arg(v);
        return std::nullopt;
    }
    *comment = QStringLiteral("ISSN ") + t.trimmed;
    return QStringLiteral("977") + n.left(7) + v;
}

}  // namespace

std::span<const BookNumberRow> bookNumbers() {
    return kRows;
}

const BookNumberRow& bookNumber(BookNumber id) {
    for (const BookNumberRow& row : kRows)
        if (row.id == id) return row;
    return kRows.front();  // not reached: every id has its row
}

const BookNumberRow* bookNumberNamed(QStringView cliName) {
    for (const BookNumberRow& row : kRows)
        if (cliName.compare(QLatin1String(row.cliName.data(), row.cliName.size()),
                            Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

QString priceAddOn(const QString& price, QString* refusal) {
    if (price.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("90000");
    const qsizetype colon = price.indexOf(u':');
    const QString code = price.left(colon).trimmed().toUpper();
    const QString amount = colon < 0 ? QString() : price.mid(colon + 1).trimmed();
    const Currency* currency = nullptr;
    for (const Currency& c : kCurrencies)
        if (code == QLatin1String(c.code)) currency = &c;
    if (colon < 0 || currency == nullptr) {
        *refusal = QStringLiteral(
                       "'%1' is no price: use CUR:AMOUNT with USD, CAD, AUD, NZD or GBP "
                       "(USD:19.95), or none")
                       .arg(price);
        return {};
    }
    // Whole units and at most two places of cents.
    const qsizetype point = amount.indexOf(u'.');
    const QString units = amount.left(point);
    const QString cents = point < 0 ? QString() : amount.mid(point + 1);
    bool digits = !units.isEmpty() && cents.size() <= 2 && (point < 0 || !cents.isEmpty());
    for (QChar c : units + cents) digits = digits && isDigit(c);
    if (!digits) {
        *refusal = QStringLiteral("'%1' is no amount: use units and cents (19.95)").arg(amount);
        return {};
    }
    const long long inCents =
        units.toLongLong() * 100 + (cents.isEmpty() ? 0 : cents.leftJustified(2, u'0').toInt());
    if (inCents >= 10000 || units.size() > 4) {
        // US$ 100 or more has a code of its own; other currencies have none.
        if (currency->digit == u'5') return QStringLiteral("59999");
        *refusal = QStringLiteral("a %1 price of 100 or more does not fit the 5-digit add-on")
                       .arg(QLatin1String(currency->code));
        return {};
    }
    return currency->digit + QStringLiteral("%1").arg(inCents, 4, 10, QLatin1Char('0'));
}

std::optional<BookSymbol> bookSymbol(BookNumber kind, const QString& typed,
                                     const BookExtras& extras, QString* refusal) {
    const Typed t = compactOf(typed);
    if (t.compact.isEmpty()) {
        *refusal = QStringLiteral("no %1 was given").arg(toQString(bookNumber(kind).title));
        return std::nullopt;
    }
    BookSymbol out;
    std::optional<QString> twelve;
    switch (kind) {
        case BookNumber::Isbn:
            twelve = isbnDigits(t, &out.comment, refusal);
            break;
        case BookNumber::Ismn:
            twelve = ismnDigits(t, &out.comment, refusal);
            break;
        case BookNumber::Issn:
            twelve = issnDigits(t, extras.variant, &out.comment, refusal);
            break;
    }
    if (!twelve) return std::nullopt;
    out.message = *twelve;
    if (!extras.price.isEmpty() && !extras.issue.isEmpty()) {
        *refusal = QStringLiteral("a symbol has one add-on: give a price or an issue, not both");
        return std::nullopt;
    }
    if (!extras.price.isEmpty()) {
        out.addOn = priceAddOn(extras.price, refusal);
        if (out.addOn.isEmpty()) return std::nullopt;
    }
    if (!extras.issue.isEmpty()) {
        const QString& i = extras.issue;
        if (i.size() != 2 || !isDigit(i[0]) || !isDigit(i[1])) {
            *refusal = QStringLiteral("the issue must be 2 digits, not '%1'").arg(i);
            return std::nullopt;
        }
        out.addOn = i;
    }
    return out;
}

QString bookNumberOf(const QString& ean13) {
    if (ean13.size() != 13) return {};
    for (QChar c : ean13)
        if (!isDigit(c)) return {};
    if (ean13.startsWith(QLatin1String("9790")))
        return QStringLiteral("ISMN 979-0-%1").arg(ean13.mid(4));
    if (ean13.startsWith(QLatin1String("978")) || ean13.startsWith(QLatin1String("979"))) {
        QString usual = QStringLiteral("ISBN %1-%2").arg(ean13.left(3), ean13.mid(3));
        if (ean13.startsWith(QLatin1String("978"))) {
            const QString nine = ean13.mid(3, 9);
            usual += QStringLiteral(" (ISBN-10 %1%2)").arg(nine).arg(mod11Check(nine));
        }
        return usual;
    }
    if (ean13.startsWith(QLatin1String("977"))) {
        const QString seven = ean13.mid(3, 7);
        return QStringLiteral("ISSN %1-%2%3, variant %4")
            .arg(seven.left(4), seven.mid(4))
            .arg(mod11Check(seven))
            .arg(ean13.mid(10, 2));
    }
    return {};
}

QString priceOf(const QString& addOn) {
    if (addOn.size() != 5) return {};
    for (QChar c : addOn)
        if (!isDigit(c)) return {};
    if (addOn == QLatin1String("90000")) return QStringLiteral("no price");
    if (addOn == QLatin1String("59999")) return QStringLiteral("US$ 100 or more");
    for (const Currency& c : kCurrencies) {
        if (addOn[0] != c.digit) continue;
        const int cents = addOn.mid(1).toInt();
        return QStringLiteral("%1 %2.%3")
            .arg(QString::fromUtf8(c.sign))
            .arg(cents / 100)
            .arg(cents % 100, 2, 10, QLatin1Char('0'));
    }
    if (addOn[0] == u'9') return QStringLiteral("no price (for the publisher's own use)");
    return {};
}

}  // namespace symbols
