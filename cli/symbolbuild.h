#pragma once
// Building one symbol for marlisk-cli through the same build paths the designer forms use.

#include <QString>

#include "cli/options.h"
#include "surface/bitmap.h"
#include "symbols/buildresult.h"

namespace cli {

// The message as the form takes it. A full number with its check digit is cut back to what
// is typed into the form, after its check digit has been verified; a wrong one gives the
// refusal text ("Invalid check digit '5', expecting '7'") in `refusal`.
QString formMessage(const SymbolRequest& r, QString* refusal);

// Builds the picture the form would build for the same inputs, at the request's dpi and
// with the font scaled so its text keeps the printed size. The picture is not turned:
// writing it does that (so vector files can keep their vectors).
symbols::BuildResult buildSymbol(const SymbolRequest& r);

// The module strings of the symbol and of its add-on (empty when none), as 1 and 0.
// Returns false with the refusal text when the message cannot be encoded.
bool moduleStrings(const SymbolRequest& r, QString* main, QString* addon, QString* refusal);

// Writes the picture where the request says (turned if asked); a read-only file only when
// `force`. Empty on success, otherwise what went wrong.
QString writeOutput(const surface::Bitmap& picture, const SymbolRequest& r, bool force);

// What a decoder should read from the picture: the data and the add-on.
QString expectedData(const SymbolRequest& r);

}  // namespace cli
