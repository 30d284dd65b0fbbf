#pragma once
// The program's settings file, BCodeSetting.ini: the chosen symbology, the five page
// values in mils and the folder pictures were last saved in. Every access opens the file afresh.
//
// The file beside the executable comes first (a portable copy keeps its settings with
// it). Where that file cannot be written (an installed program in a root-owned folder),
// the user's own file $XDG_CONFIG_HOME/marlisk/BCodeSetting.ini takes its place, by
// default ~/.config/marlisk/BCodeSetting.ini. Both programs use the same choice.

#include <QString>

#include "symbols/pagevalues.h"

namespace settings {

// The file in use: the override when one is set, otherwise choosePath() of the two below.
QString path();
// Use another file (tests); an empty path goes back to choosing.
void setPathOverride(const QString& path);

// The directory of the running executable followed by "BCodeSetting.ini".
QString besideExecutable();
// $XDG_CONFIG_HOME (or ~/.config) followed by "marlisk/BCodeSetting.ini".
QString userFile();
// `beside` when a whole-file save can replace it there (the file, if it exists, and its
// folder are writable: the save writes a temporary beside it), otherwise `user`.
QString choosePath(const QString& beside, const QString& user);

// What to tell the user when a write failed: which file could not be written.
QString writeFailureText();

// Empty unless the settings file in use is larger than a settings file can be (it is then
// neither read nor written): what to tell the user, naming the file and the bound.
QString oversizeNotice();

// Section "pagesetting": ftop, fdown, fleft, fright, fiwidth; each missing or unreadable
// value is 0.
symbols::PageValues readPageValues();
// Writes the five values in the order ftop, fdown, fleft, fright, fiwidth and stops at the
// first failure (keys written before it stay written). False on failure.
bool writePageValues(const symbols::PageValues& v);

// Section "Symbology", key "Checked"; empty when missing.
QString readSymbology();
bool writeSymbology(const QString& name);

// Section "Folders", key "SavePicture": the folder the window last saved a picture in;
// empty when missing.
QString readSaveFolder();
bool writeSaveFolder(const QString& folder);

// Section "Calibration": a print queue's correction for label sheets, keyed by the queue's
// name, as "DX,DY,SX,SY" (millimetres and percent); empty when the queue has none.
QString readCalibration(const QString& queue);
bool writeCalibration(const QString& queue, const QString& calibration);

}  // namespace settings
