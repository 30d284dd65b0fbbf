// Marlisk Barcode Generator: the program entry.

#include <QApplication>

#include "app/icons.h"
#include "app/mainform.h"
#include "surface/font.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlisk Barcode Generator"));
    surface::registerFontSubstitutes();
    QApplication::setWindowIcon(icons::appIcon());
    Tmainfm window;
    window.show();
    return QApplication::exec();
}
