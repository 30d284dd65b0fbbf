#pragma once
// marlisk-cli's book and serial numbers: "isbn", "ismn" and "issn" in place of a symbology
// name build an EAN-13 from the number, with the options that only they take.

#include <QString>

#include "cli/options.h"
#include "symbols/booknumbers.h"

namespace cli {

// Whether `option` is one that only book and serial numbers take (--price, --issue,
// --variant).
bool isBookOption(const QString& option);

// Empty when `option` applies to the symbology named `name` ("isbn", "ean13"); otherwise
// why not ("--issue does not apply to isbn: it is for issn").
QString bookOptionProblem(const QString& option, const QString& name);

// Reads the request's message as a number of `kind` and makes it the EAN-13's message, with
// the add-on of --price or --issue and the comment line unless --addon or --comment gave
// them. Empty on success, otherwise the refusal ("the ISBN's check digit is 2, not 3").
QString applyBookNumber(symbols::BookNumber kind, const symbols::BookExtras& extras,
                        bool addOnGiven, bool commentGiven, SymbolRequest& r);

}  // namespace cli
