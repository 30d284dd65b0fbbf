#include "app/placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace place {

QFont sansSerif(int pixelHeight, bool bold) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

QLabel* label(QWidget* parent, const QString& name, int x, int y, int w, int h, const QString& text,
              const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    const QSize hint = l->sizeHint();
    l->setGeometry(x, y, std::max(w, hint.width()), std::max(h, hint.height()));
    return l;
}

QLineEdit* edit(QWidget* parent, const QString& name, int x, int y, int w, int h,
                const QString& text, int maxLength) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    e->setGeometry(x, y, w, h);
    return e;
}

QPushButton* button(QWidget* parent, const QString& name, int x, int y, int w, int h,
                    const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);  // Enter in an edit must not press a button
    b->setGeometry(x, y, w, h);
    return b;
}

}  // namespace place
