#pragma once
// Book and serial numbers carried by EAN-13: an ISBN (978/979), an ISMN (979-0) or an ISSN
// (977 with two variant digits), each turned into the twelve digits typed into the EAN-13
// form with its own check digit verified, the add-ons of the book trade (the 5-digit price,
// the 2-digit issue), and the way back from an EAN-13 to the number it carries.
//
// These are ways to write the EAN-13 row's message, not symbologies of their own: each row
// below names the symbology it builds as, and marlisk-cli looks its names up after the
// symbology table's.

#include <QString>
#include <QStringView>
#include <optional>
#include <span>
#include <string_view>

#include "symbols/symbologies.h"

namespace symbols {

enum class BookNumber { Isbn, Ismn, Issn };

struct BookNumberRow {
    BookNumber id;
    std::string_view cliName;  // "isbn", matched without regard to case
    std::string_view title;    // "ISBN"
    Symbology builtAs;         // EAN-13 for all three
};

std::span<const BookNumberRow> bookNumbers();
const BookNumberRow& bookNumber(BookNumber id);
// The row of a command-line name in any case; null for none.
const BookNumberRow* bookNumberNamed(QStringView cliName);

// What goes with the number; empty fields are not given.
struct BookExtras {
    QString price;    // "USD:19.95", "none": the 5-digit price add-on
    QString issue;    // "05": the 2-digit issue add-on of a serial
    QString variant;  // ISSN: the two digits after the seven, "00" when empty
};

// The EAN-13 form's inputs for a book or serial number.
struct BookSymbol {
    QString message;  // the twelve digits typed into the form
    QString addOn;    // the price or issue add-on; empty for none
    QString comment;  // "ISBN 978-0-306-40615-7", with the separators as typed
};

// The number as typed ("0-306-40615-2", "M-2306-7118-7", "0317-8471") turned into the
// EAN-13 inputs; nullopt with the reason ("the ISBN's check digit is 2, not 3") in `refusal`.
std::optional<BookSymbol> bookSymbol(BookNumber kind, const QString& typed,
                                     const BookExtras& extras, QString* refusal);

// The 5-digit book add-on of a price: "USD:19.95" -> "51995", "none" -> "90000"; empty with
// the reason in `refusal` for a price it cannot say.
QString priceAddOn(const QString& price, QString* refusal);

// The number a 13-digit EAN carries, in its usual form ("ISBN 978-0306406157",
// "ISMN 979-0-230671187", "ISSN 0317-8471, variant 00"); empty for any other EAN.
QString bookNumberOf(const QString& ean13);

// What a 5-digit book add-on says: "US$ 19.95", "no price"; empty when it is no price the
// book trade uses.
QString priceOf(const QString& addOn);

}  // namespace symbols
