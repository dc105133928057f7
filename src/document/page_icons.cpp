#include "document/page_icons.h"

#include <QPainter>
#include <QPixmap>

namespace {

QIcon Drawn(const QColor &fill, const QColor &mark, bool round) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(fill);
    if (round)
        painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    else
        painter.drawRect(QRectF(1.5, 3.5, 13, 10));
    if (mark.isValid()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(mark);
        painter.drawRect(QRectF(6, 6, 5, 5));
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

// Drawn on each call (no static icons: pixmaps must not outlive the application).
QIcon TabImageIcon(int index) {
    if (index == 1)
        return Drawn(QColor(255, 140, 60), QColor(180, 0, 0), true);
    return Drawn(QColor(200, 220, 255), QColor(), true);
}

QIcon TreeImageIcon(int index) {
    switch (index) {
    case 0: // table with children
        return Drawn(QColor(250, 210, 80), QColor(), false);
    case 2: // table selected
        return Drawn(QColor(250, 210, 80), QColor(40, 170, 40), false);
    case 3: // value
        return Drawn(QColor(230, 235, 250), QColor(230, 180, 0), false);
    case 4: // value selected
        return Drawn(QColor(230, 235, 250), QColor(40, 90, 200), false);
    default: // table without children
        return Drawn(QColor(190, 190, 190), QColor(), false);
    }
}
