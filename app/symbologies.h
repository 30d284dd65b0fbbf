#pragma once
// The symbologies the program offers: the name kept in the settings file and shown in the
// status bar, the menu item that chooses it, and the designer form that hosts it. This
// table is the one place that maps a stored name to a form.

#include <QString>
#include <vector>

class QWidget;

using DesignerFactory = QWidget* (*)(QWidget* parent);

struct SymbologyRow {
    QString storedName;      // as kept in the settings file
    QString menuItem;        // object name of the Symbology menu item
    QString caption;         // menu caption, '&' before its mnemonic (unique in the menu)
    DesignerFactory create;  // null while the symbology has no form
};

// Rows in the order in which a stored name is tested.
const std::vector<SymbologyRow>& symbologyTable();
