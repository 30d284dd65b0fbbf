#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace icons {

namespace {
QPixmap canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void drawBars(QPainter& p, const QRect& area) {
    // A few bars of differing widths, the way a symbol looks from afar.
    const int widths[] = {2, 1, 1, 3, 1, 2, 1, 1, 2, 1, 3, 1};
    int x = area.left();
    bool dark = true;
    for (int w : widths) {
        const int px = w * area.width() / 20;
        if (dark) p.fillRect(QRect(x, area.top(), px, area.height()), Qt::black);
        x += px;
        dark = !dark;
        if (x >= area.right()) break;
    }
}

void drawArrow(QPainter& p, bool clockwise) {
    p.setPen(QPen(QColor(0, 90, 170), 3));
    p.setBrush(Qt::NoBrush);
    const QRect r(6, 6, 20, 20);
    p.drawArc(r, clockwise ? 90 * 16 : 90 * 16, clockwise ? -270 * 16 : 270 * 16);
    p.setBrush(QColor(0, 90, 170));
    p.setPen(Qt::NoPen);
    QPainterPath head;
    if (clockwise) {
        head.moveTo(12, 10);
        head.lineTo(20, 16);
        head.lineTo(10, 19);
    } else {
        head.moveTo(22, 10);
        head.lineTo(14, 16);
        head.lineTo(24, 19);
    }
    p.drawPath(head);
}
}  // namespace

QIcon appIcon() {
    QPixmap pm = canvas(64);
    QPainter p(&pm);
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::darkGray, 2));
    p.drawRoundedRect(QRect(2, 2, 60, 60), 8, 8);
    drawBars(p, QRect(10, 12, 44, 34));
    p.setPen(Qt::black);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(9);
    p.setFont(f);
    p.drawText(QRect(8, 48, 48, 12), Qt::AlignCenter, QStringLiteral("MARLISK"));
    return QIcon(pm);
}

QIcon toolbarIcon(int index) {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 0: {  // font
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setPixelSize(26);
            f.setBold(true);
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("A"));
            break;
        }
        case 1:  // turn3: back to the picture as built
            drawArrow(p, false);
            break;
        case 2:  // page setting: a sheet with margins
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRect(6, 2, 20, 27));
            p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            p.drawRect(QRect(10, 6, 12, 19));
            break;
        case 3:  // turn 1: a quarter turn clockwise
            drawArrow(p, true);
            break;
        case 4: {  // colour
            const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::black};
            for (int i = 0; i < 4; ++i) {
                p.setBrush(colours[i]);
                p.setPen(Qt::NoPen);
                p.drawEllipse(QRect(3 + (i % 2) * 13, 3 + (i / 2) * 13, 12, 12));
            }
            break;
        }
        default:
            break;
    }
    return QIcon(pm);
}

}  // namespace icons
