#pragma once
// The program's pictures, drawn rather than shipped: the window icon and the 32 x 32
// toolbar images of the designer forms.

#include <QIcon>

namespace icons {

QIcon appIcon();

// Toolbar images by index: 0 font, 1 turn3, 2 page setting, 3 turn 1, 4 colour.
QIcon toolbarIcon(int index);

}  // namespace icons
