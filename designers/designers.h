#pragma once
// The designer form of each symbology: the one place that names the form classes.

#include "symbols/symbologies.h"

class DesignerForm;
class QWidget;

// A new designer form for symbology `s`, a child of `parent`.
DesignerForm* createDesigner(symbols::Symbology s, QWidget* parent);
