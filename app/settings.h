#pragma once
// The program's settings file, BCodeSetting.ini beside the executable: the chosen
// symbology and the five page values in mils. Every access opens the file afresh.

#include <QString>

#include "symbols/pagevalues.h"

namespace settings {

// The directory of the running executable followed by "BCodeSetting.ini".
QString path();
// Use another file (tests); an empty path goes back to the one beside the executable.
void setPathOverride(const QString& path);

// Section "pagesetting": ftop, fdown, fleft, fright, fiwidth; each missing or unreadable
// value is 0.
symbols::PageValues readPageValues();
// Writes the five values in the order ftop, fdown, fleft, fright, fiwidth and stops at the
// first failure (keys written before it stay written). False on failure.
bool writePageValues(const symbols::PageValues& v);

// Section "Symbology", key "Checked"; empty when missing.
QString readSymbology();
bool writeSymbology(const QString& name);

}  // namespace settings
