// Book and serial numbers built as EAN-13: each conversion and check digit against an
// independent library of standard numbers (python3-stdnum), each symbol and add-on read
// back by both decoders, the price add-on, the comment line, and marlisk-cli's refusals.

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <algorithm>

#include "check/symbolcheck.h"
#include "surface/font.h"
#include "symbols/booknumbers.h"

using symbols::BookNumber;

namespace {

struct Row {
    const char* name;  // where the number comes from
    BookNumber kind;
    const char* typed;
    const char* variant;  // ISSN
};

// Real and made-up numbers with valid check digits (made with the oracle's check digits).
const Row kRows[] = {
    {"ISBN-10 worked example", BookNumber::Isbn, "0-306-40615-2", ""},
    {"ISBN-10 without hyphens", BookNumber::Isbn, "0306406152", ""},
    {"ISBN-10 with blanks", BookNumber::Isbn, "0 306 40615 2", ""},
    {"ISBN-10 ending in X", BookNumber::Isbn, "0-8044-2957-X", ""},
    {"ISBN-10 ending in lower-case x", BookNumber::Isbn, "0-8044-2957-x", ""},
    {"ISBN-10 ending in X (made up 1)", BookNumber::Isbn, "526018159X", ""},
    {"ISBN-10 ending in X (made up 2)", BookNumber::Isbn, "757491186X", ""},
    {"ISBN-10 ending in X (made up 3)", BookNumber::Isbn, "471049746X", ""},
    {"ISBN-10 ending in X (made up 4)", BookNumber::Isbn, "658948113X", ""},
    {"ISBN-10 (made up 1)", BookNumber::Isbn, "1144024269", ""},
    {"ISBN-10 (made up 2)", BookNumber::Isbn, "4628897514", ""},
    {"ISBN-10 (made up 3)", BookNumber::Isbn, "4026140148", ""},
    {"ISBN-10 (made up 4)", BookNumber::Isbn, "1931417059", ""},
    {"ISBN-13 worked example", BookNumber::Isbn, "978-0-306-40615-7", ""},
    {"ISBN-13 979 real", BookNumber::Isbn, "979-10-90636-07-1", ""},
    {"ISBN-13 979 (made up 1)", BookNumber::Isbn, "9798649208314", ""},
    {"ISBN-13 979 (made up 2)", BookNumber::Isbn, "9792402344837", ""},
    {"ISBN-13 979 (made up 3)", BookNumber::Isbn, "9794782450405", ""},
    {"ISBN-13 978 (made up 1)", BookNumber::Isbn, "9780088387378", ""},
    {"ISBN-13 978 (made up 2)", BookNumber::Isbn, "978 1678684334", ""},
    {"ISBN-13 978 (made up 3)", BookNumber::Isbn, "9785326502018", ""},
    {"ISMN old form", BookNumber::Ismn, "M-2306-7118-7", ""},
    {"ISMN old form without hyphens", BookNumber::Ismn, "M230671187", ""},
    {"ISMN 13 digits", BookNumber::Ismn, "979-0-2306-7118-7", ""},
    {"ISMN (made up 1)", BookNumber::Ismn, "9790462016848", ""},
    {"ISMN (made up 2)", BookNumber::Ismn, "9790934072242", ""},
    {"ISMN (made up 3)", BookNumber::Ismn, "979-0-704558532", ""},
    {"ISMN (made up 4)", BookNumber::Ismn, "9790043520566", ""},
    {"ISSN worked example", BookNumber::Issn, "0317-8471", ""},
    {"ISSN with variant 05", BookNumber::Issn, "0317-8471", "05"},
    {"ISSN ending in X", BookNumber::Issn, "1050-124X", ""},
    {"ISSN ending in X, variant 13", BookNumber::Issn, "1050-124X", "13"},
    {"ISSN (made up 1)", BookNumber::Issn, "1748-3387", "99"},
    {"ISSN (made up 2)", BookNumber::Issn, "01412698", ""},
    {"ISSN (made up 3) ending in X", BookNumber::Issn, "0604-431X", "01"},
    {"ISSN (made up 4)", BookNumber::Issn, "9829-6574", ""},
    {"ISSN (made up 5) ending in X", BookNumber::Issn, "2492-086X", "42"},
};

const char* kindName(BookNumber k) {
    return k == BookNumber::Isbn ? "isbn" : k == BookNumber::Ismn ? "ismn" : "issn";
}

// The EAN-13 python3-stdnum makes of each row, one a line ("invalid" for a refused one).
QStringList oracle(const QStringList& lines) {
    static const char* script = R"(
import sys
from stdnum import isbn, ismn, issn
for line in sys.stdin:
    kind, number, variant = line.rstrip('\n').split('\t')
    try:
        if kind == 'isbn':
            print(isbn.compact(isbn.to_isbn13(isbn.validate(number))))
        elif kind == 'ismn':
            print(ismn.compact(ismn.to_ismn13(ismn.validate(number))))
        else:
            print(issn.to_ean(issn.validate(number), variant or '00'))
    except Exception:
        print('invalid')
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QString::fromLatin1(script)});
    if (!p.waitForStarted()) return {};
    p.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString fullNumber(const QString& twelve) {
    return symbols::symbology(symbols::Symbology::Ena13).scannedData(twelve);
}

struct Cli {
    int status;
    QString out, err;
};
Cli runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(MARLISK_CLI), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

}  // namespace

class BookNumbersTest : public QObject {
    Q_OBJECT
  private slots:
    // Every conversion and check digit as python3-stdnum makes it.
    void conversionsAgreeWithTheOracle() {
        QStringList lines;
        for (const Row& r : kRows)
            lines << QStringLiteral("%1\t%2\t%3")
                         .arg(QLatin1String(kindName(r.kind)), QLatin1String(r.typed),
                              QLatin1String(r.variant));
        const QStringList wanted = oracle(lines);
        QVERIFY2(wanted.size() == lines.size(),
                 "python3-stdnum is missing (/usr/bin/python3 -c 'import stdnum.isbn')");
        QVERIFY(lines.size() >= 30);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const Row& r = kRows[i];
            QString refusal;
            symbols::BookExtras extras;
            extras.variant = QLatin1String(r.variant);
            const auto book = symbols::bookSymbol(r.kind, QLatin1String(r.typed), extras, &refusal);
            QVERIFY2(book.has_value(), qPrintable(QLatin1String(r.name) + ": " + refusal));
            QCOMPARE(fullNumber(book->message), wanted[i]);
        }
    }

    // A wrong check digit is refused naming the right one; the oracle refuses it too.
    void wrongCheckDigits_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ISBN-10") << int(BookNumber::Isbn) << "0-306-40615-3"
                                 << "the ISBN's check digit is 2, not 3";
        QTest::newRow("ISBN-10 that should end in X") << int(BookNumber::Isbn) << "0-8044-2957-1"
                                                      << "the ISBN's check digit is X, not 1";
        QTest::newRow("ISBN-13") << int(BookNumber::Isbn) << "978-0-306-40615-3"
                                 << "the ISBN's check digit is 7, not 3";
        QTest::newRow("ISMN old form") << int(BookNumber::Ismn) << "M-2306-7118-5"
                                       << "the ISMN's check digit is 7, not 5";
        QTest::newRow("ISSN") << int(BookNumber::Issn) << "0317-8472"
                              << "the ISSN's check digit is 1, not 2";
        QTest::newRow("ISSN that should end in X") << int(BookNumber::Issn) << "1050-1240"
                                                   << "the ISSN's check digit is X, not 0";
    }
    void wrongCheckDigits() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QString why;
        QVERIFY(!symbols::bookSymbol(BookNumber(kind), typed, {}, &why));
        QCOMPARE(why, refusal);
        const QStringList verdict = oracle(
            {QStringLiteral("%1\t%2\t").arg(QLatin1String(kindName(BookNumber(kind))), typed)});
        QCOMPARE(verdict, QStringList{QStringLiteral("invalid")});
    }

    void otherRefusals_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ISBN of 11 digits")
            << int(BookNumber::Isbn) << "03064061521"
            << ""
            << "an ISBN has 10 or 13 digits (an ISBN-10 may end in X), not 11";
        QTest::newRow("ISBN-13 of another prefix") << int(BookNumber::Isbn) << "5901234123457"
                                                   << ""
                                                   << "an ISBN-13 starts with 978 or 979, not 590";
        QTest::newRow("X inside an ISBN") << int(BookNumber::Isbn) << "03X6406152"
                                          << ""
                                          << "'X' is not a digit of an ISBN";
        QTest::newRow("ISMN of another prefix") << int(BookNumber::Ismn) << "9781234567897"
                                                << ""
                                                << "an ISMN starts with M or 979-0, not 9781";
        QTest::newRow("price in euros") << int(BookNumber::Isbn) << "0306406152"
                                        << "EUR:5"
                                        << "'EUR:5' is no price: use CUR:AMOUNT with USD, CAD, "
                                           "AUD, NZD or GBP (USD:19.95), or none";
        QTest::newRow("Canadian price of 100") << int(BookNumber::Isbn) << "0306406152"
                                               << "CAD:100"
                                               << "a CAD price of 100 or more does not fit the "
                                                  "5-digit add-on";
        QTest::newRow("three places of cents")
            << int(BookNumber::Isbn) << "0306406152"
            << "USD:1.999"
            << "'1.999' is no amount: use units and cents (19.95)";
    }
    void otherRefusals() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, price);
        QFETCH(QString, refusal);
        QString why;
        symbols::BookExtras extras;
        extras.price = price;
        QVERIFY(!symbols::bookSymbol(BookNumber(kind), typed, extras, &why));
        QCOMPARE(why, refusal);
    }

    // The book trade's price add-on, and how the check reads it out.
    void prices_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("addOn");
        QTest::addColumn<QString>("readOut");
        QTest::newRow("US dollars") << "USD:19.95"
                                    << "51995"
                                    << "US$ 19.95";
        QTest::newRow("lower-case currency, whole dollars") << "usd:7"
                                                            << "50700"
                                                            << "US$ 7.00";
        QTest::newRow("Canadian dollars") << "CAD:24.5"
                                          << "62450"
                                          << "CA$ 24.50";
        QTest::newRow("Australian dollars") << "AUD:0.99"
                                            << "30099"
                                            << "A$ 0.99";
        QTest::newRow("New Zealand dollars") << "NZD:35.00"
                                             << "43500"
                                             << "NZ$ 35.00";
        QTest::newRow("pounds") << "GBP:7.99"
                                << "00799"
                                << "\u00a3 7.99";
        QTest::newRow("US$ 100 or more") << "USD:100"
                                         << "59999"
                                         << "US$ 100 or more";
        QTest::newRow("US$ 1250") << "USD:1250.00"
                                  << "59999"
                                  << "US$ 100 or more";
        QTest::newRow("no price") << "none"
                                  << "90000"
                                  << "no price";
    }
    void prices() {
        QFETCH(QString, price);
        QFETCH(QString, addOn);
        QFETCH(QString, readOut);
        QString refusal;
        QCOMPARE(symbols::priceAddOn(price, &refusal), addOn);
        QCOMPARE(symbols::priceOf(addOn), readOut);
    }

    // The comment line keeps the separators as typed.
    void comments_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("comment");
        QTest::newRow("ISBN-10 with hyphens") << int(BookNumber::Isbn) << "0-306-40615-2"
                                              << "ISBN 978-0-306-40615-7";
        QTest::newRow("ISBN-10 without") << int(BookNumber::Isbn) << "0306406152"
                                         << "ISBN 9780306406157";
        QTest::newRow("ISBN-13 as typed") << int(BookNumber::Isbn) << " 978-0-306-40615-7 "
                                          << "ISBN 978-0-306-40615-7";
        QTest::newRow("ISMN old form") << int(BookNumber::Ismn) << "M-2306-7118-7"
                                       << "ISMN 979-0-2306-7118-7";
        QTest::newRow("ISSN") << int(BookNumber::Issn) << "0317-8471"
                              << "ISSN 0317-8471";
    }
    void comments() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, comment);
        QString refusal;
        const auto book = symbols::bookSymbol(BookNumber(kind), typed, {}, &refusal);
        QVERIFY2(book.has_value(), qPrintable(refusal));
        QCOMPARE(book->comment, comment);
    }

    // Both decoders read back each symbol and its add-on, and the check names the number.
    void decodersReadThemBack_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QString>("named");
        QTest::newRow("ISBN-10 with a US price")
            << int(BookNumber::Isbn) << "0-306-40615-2"
            << "USD:19.95"
            << ""
            << "EAN-13 9780306406157 is the ISBN 978-0306406157 (ISBN-10 0306406152)";
        QTest::newRow("ISBN-10 ending in X, no price")
            << int(BookNumber::Isbn) << "0-8044-2957-X"
            << "none"
            << ""
            << "EAN-13 9780804429573 is the ISBN 978-0804429573 (ISBN-10 080442957X)";
        QTest::newRow("979 ISBN in pounds") << int(BookNumber::Isbn) << "979-10-90636-07-1"
                                            << "GBP:12"
                                            << ""
                                            << "EAN-13 9791090636071 is the ISBN 979-1090636071";
        QTest::newRow("ISMN") << int(BookNumber::Ismn) << "M-2306-7118-7"
                              << "CAD:5"
                              << ""
                              << "EAN-13 9790230671187 is the ISMN 979-0-230671187";
        QTest::newRow("ISSN with issue 05") << int(BookNumber::Issn) << "0317-8471"
                                            << ""
                                            << "05"
                                            << "EAN-13 9770317847001 is the ISSN 0317-8471, "
                                               "variant 00";
        QTest::newRow("ISSN ending in X, no add-on")
            << int(BookNumber::Issn) << "1050-124X"
            << ""
            << ""
            << "EAN-13 9771050124008 is the ISSN 1050-124X, variant 00";
    }
    void decodersReadThemBack() {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, price);
        QFETCH(QString, issue);
        QFETCH(QString, named);
        QString refusal;
        const auto book =
            symbols::bookSymbol(BookNumber(kind), typed, {price, issue, {}}, &refusal);
        QVERIFY2(book.has_value(), qPrintable(refusal));
        symbols::SymbolInputs in;
        in.message = book->message;
        in.addOn = book->addOn;
        in.comment = book->comment;
        symbols::BuildContext context;
        context.page = {150, 100, 250, 150, 50};
        context.dpi = 96;
        const symbols::BuildResult built =
            symbols::symbology(symbols::Symbology::Ena13).build(in, context);
        QVERIFY(built.built());
        const auto found =
            check::checkSymbol(check::checkInputOf(symbols::Symbology::Ena13, built));
        const QString report = check::report(found);
        const QString ean = fullNumber(book->message);
        for (const char* decoder : {"zbar", "ZXing-C++"}) {
            QVERIFY2(report.contains(QStringLiteral("ok   decode: %1 reads %2 in rows ")
                                         .arg(QLatin1String(decoder), ean)),
                     qPrintable(report));
            if (!book->addOn.isEmpty())
                QVERIFY2(report.contains(QStringLiteral("ok   decode: %1 reads the add-on %2 in ")
                                             .arg(QLatin1String(decoder), book->addOn)),
                         qPrintable(report));
        }
        QVERIFY2(report.contains(QStringLiteral("ok   data: ") + named), qPrintable(report));
        QVERIFY2(!report.contains(QLatin1String("fail ")), qPrintable(report));
    }

    // marlisk-cli: the names, the options only they take, the refusals with status 2.
    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");  // standard error, or a line of standard output
        QTest::newRow("wrong ISBN-10 check digit")
            << QStringList{"isbn", "0-306-40615-3", "--check"} << 2
            << "the ISBN's check digit is 2, not 3";
        QTest::newRow("--issue is for issn")
            << QStringList{"isbn", "0306406152", "--issue", "05", "--check"} << 2
            << "--issue does not apply to isbn: it is for issn";
        QTest::newRow("--price is not for ean13")
            << QStringList{"ean13", "590123412345", "--price", "USD:1", "--check"} << 2
            << "--price does not apply to ean13: it is for isbn and ismn";
        QTest::newRow("two add-ons")
            << QStringList{"isbn", "0306406152", "--price", "none", "--addon", "12", "--check"} << 2
            << "a symbol has one add-on: give --addon, --price or --issue";
        QTest::newRow("--price in a batch") << QStringList{"--batch", "x.csv", "--price", "none"}
                                            << 2 << "--price does not apply to a batch";
        QTest::newRow("variant and issue")
            << QStringList{"issn",    "0317-8471", "--variant", "05",
                           "--issue", "12",        "--verify",  "--modules"}
            << 0 << "10110011001010010011";
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, text);
        const Cli r = runCli(args);
        QCOMPARE(r.status, status);
        if (status != 0)
            QCOMPARE(r.err, text);
        else
            QVERIFY2(r.out.split(QLatin1Char('\n')).contains(text), qPrintable(r.out + r.err));
    }

    void modulesMatchTheEan13() {
        const Cli isbn = runCli({"isbn", "0-306-40615-2", "--price", "USD:19.95", "--modules"});
        const Cli ean = runCli({"ean13", "9780306406157", "--addon", "51995", "--modules"});
        QCOMPARE(isbn.status, 0);
        QCOMPARE(isbn.out, ean.out);
        const Cli issn =
            runCli({"issn", "0317-8471", "--variant", "05", "--issue", "12", "--modules"});
        const Cli plain = runCli({"ean13", "9770317847056", "--addon", "12", "--modules"});
        QCOMPARE(issn.status, 0);
        QCOMPARE(issn.out, plain.out);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    surface::registerFontSubstitutes();
    BookNumbersTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_booknumbers.moc"
