#include "ui/icons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QtMath>
#include <cmath>
#include <functional>

namespace {

using Painter = std::function<void(QPainter &)>;

const QColor kOutline(60, 60, 60);
const QColor kFolder(240, 196, 64);
const QColor kFolderDark(196, 148, 28);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 96, 184);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);

QPen Pen(const QColor &color, qreal width = 1.0) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Paints at 16 x 16 logical pixels, also at twice the size for high-density screens.
QIcon Make(const Painter &paint) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Folder(QPainter &p, const QColor &body, const QColor &dark, bool open) {
    p.setPen(Pen(dark.darker(130)));
    p.setBrush(dark);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(body);
    if (open) {
        QPolygonF front({{3.5, 7.5}, {15.5, 7.5}, {13, 13.5}, {1.5, 13.5}});
        p.drawPolygon(front);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7));
    }
}

// A sheet of paper with a folded corner inside rect.
void Sheet(QPainter &p, const QRectF &r) {
    p.setPen(Pen(kOutline));
    p.setBrush(kPaper);
    const qreal fold = 3;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    p.setPen(Pen(QColor(150, 150, 150)));
    for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void Disk(QPainter &p, const QPointF &at, qreal size) {
    const QRectF r(at, QSizeF(size, size));
    p.setPen(Pen(kBlue.darker(150)));
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(r.left(), r.top());
    body.lineTo(r.right() - 2, r.top());
    body.lineTo(r.right(), r.top() + 2);
    body.lineTo(r.right(), r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    // Label and shutter.
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 2, r.top() + 1, size - 5, size * 0.38));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(r.left() + size * 0.3, r.bottom() - size * 0.36, size * 0.42, size * 0.36 - 0.5));
}

void Cross(QPainter &p, const QRectF &r, qreal width = 2.2) {
    p.setPen(Pen(kRed, width));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// A round badge with a plus or a minus in the lower right corner.
void Badge(QPainter &p, const QColor &color, bool plus) {
    p.setPen(Pen(color.darker(140)));
    p.setBrush(color);
    p.drawEllipse(QPointF(11.5, 11.5), 4, 4);
    p.setPen(Pen(Qt::white, 1.6));
    p.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5));
    if (plus)
        p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 13.5));
}

void Magnifier(QPainter &p, const QPointF &centre, qreal radius) {
    p.setPen(Pen(QColor(110, 70, 30), 2.4));
    const qreal d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 4.5, d + 4.5));
    p.setPen(Pen(kOutline, 1.4));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(centre, radius, radius);
}

// A circular arrow: an arc of span degrees starting at start, with a head at its end.
void CircleArrow(QPainter &p, const QRectF &r, int start, int span, const QColor &color) {
    p.setPen(Pen(color, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(r, start * 16, span * 16);
    QPainterPath arc;
    arc.arcMoveTo(r, start + span);
    const QPointF tip = arc.currentPosition();
    // The tangent at the end of a counter-clockwise arc.
    const qreal a = qDegreesToRadians(static_cast<qreal>(start + span));
    const QPointF dir(-std::sin(a), -std::cos(a));
    const QPointF normal(-dir.y(), dir.x());
    p.setPen(Pen(color, 1));
    p.setBrush(color);
    p.drawPolygon(QPolygonF({tip + dir * 3.2, tip + normal * 2.8, tip - normal * 2.8}));
}

// A window with a narrow left pane and a wide right pane.
void SplitWindow(QPainter &p, const QRectF &r) {
    p.setPen(Pen(kOutline));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 2));
    p.setPen(Pen(kOutline));
    const qreal x = r.left() + r.width() * 0.38;
    p.drawLine(QPointF(x, r.top() + 2.5), QPointF(x, r.bottom()));
    p.setPen(Pen(QColor(150, 150, 150)));
    for (qreal y = r.top() + 5; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(x - 1.5, y));
}

void Pencil(QPainter &p, const QPointF &tip) {
    p.setPen(Pen(QColor(120, 80, 20)));
    p.setBrush(QColor(250, 200, 60));
    QPolygonF body({tip, tip + QPointF(1.2, -3), tip + QPointF(7, -8.8), tip + QPointF(8.8, -7),
                    tip + QPointF(3, -1.2)});
    p.drawPolygon(body);
    p.setBrush(QColor(230, 120, 140));
    p.drawPolygon(QPolygonF(
        {tip + QPointF(7, -8.8), tip + QPointF(8.2, -10), tip + QPointF(10, -8.2), tip + QPointF(8.8, -7)}));
}

void TreeGlyph(QPainter &p) {
    p.setPen(Pen(kOutline));
    p.drawLine(QPointF(3.5, 4), QPointF(3.5, 12.5));
    p.drawLine(QPointF(3.5, 8.5), QPointF(7, 8.5));
    p.drawLine(QPointF(3.5, 12.5), QPointF(7, 12.5));
    p.setBrush(kFolder);
    p.drawRect(QRectF(1, 1, 5, 3.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 7, 4, 3));
    p.drawRect(QRectF(7, 11, 4, 3));
}

// A value: a small window with a text line, as the tree shows for a key with a value.
void ValueBox(QPainter &p) {
    p.setPen(Pen(kOutline));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 3.5, 12, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2, 4, 11, 2.5));
    p.setPen(Pen(kOutline));
    p.drawLine(QPointF(3.5, 9), QPointF(10.5, 9));
    p.drawLine(QPointF(3.5, 11.5), QPointF(8, 11.5));
}

QList<QIcon> MainList() {
    const QList<Painter> painters = {
        // 0 refresh: two arrows chasing each other round.
        [](QPainter &p) {
            CircleArrow(p, QRectF(2.5, 2.5, 11, 11), 100, 150, kGreen);
            CircleArrow(p, QRectF(2.5, 2.5, 11, 11), 280, 150, kGreen);
        },
        // 1 open: an open yellow folder.
        [](QPainter &p) { Folder(p, kFolder, kFolderDark, true); },
        // 2 save: a disk.
        [](QPainter &p) { Disk(p, QPointF(1.5, 1.5), 13); },
        // 3 save all: stacked disks.
        [](QPainter &p) {
            Disk(p, QPointF(0.5, 0.5), 10);
            Disk(p, QPointF(5.5, 5.5), 10);
        },
        // 4 a blank page.
        [](QPainter &p) { Sheet(p, QRectF(2.5, 1.5, 11, 13)); },
        // 5 close: a red cross.
        [](QPainter &p) { Cross(p, QRectF(3.5, 3.5, 9, 9), 2.6); },
        // 6 font: a large and a small letter A.
        [](QPainter &p) {
            p.setPen(Pen(kOutline, 1.7));
            p.drawPolyline(QPolygonF({{1.5, 14}, {6, 2}, {10.5, 14}}));
            p.drawLine(QPointF(3.3, 9.5), QPointF(8.7, 9.5));
            p.setPen(Pen(kBlue, 1.4));
            p.drawPolyline(QPolygonF({{10, 14.5}, {12.5, 8}, {15, 14.5}}));
            p.drawLine(QPointF(11, 12), QPointF(14, 12));
        },
        // 7 add a string table: a page with a green plus.
        [](QPainter &p) {
            Sheet(p, QRectF(1.5, 0.5, 10, 12));
            Badge(p, kGreen, true);
        },
        // 8 reopen: a page with a circular arrow.
        [](QPainter &p) {
            Sheet(p, QRectF(1.5, 0.5, 10, 12));
            p.setPen(Pen(Qt::white, 3.5));
            p.drawEllipse(QPointF(11, 11), 3.2, 3.2);
            CircleArrow(p, QRectF(7.8, 7.8, 6.4, 6.4), 90, 260, kGreen);
        },
        // 9 about: an information sign.
        [](QPainter &p) {
            p.setPen(Pen(kBlue.darker(140)));
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(8, 8), 7, 7);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
            p.drawRect(QRectF(6.9, 7, 2.2, 5.5));
        },
        // 10 remove a string table: a page with a red minus.
        [](QPainter &p) {
            Sheet(p, QRectF(1.5, 0.5, 10, 12));
            Badge(p, kRed, false);
        },
        // 11 find: a magnifying glass.
        [](QPainter &p) { Magnifier(p, QPointF(6.5, 6.5), 4.5); },
        // 12 replace: a magnifying glass over a swap arrow.
        [](QPainter &p) {
            Magnifier(p, QPointF(5.5, 5.5), 4);
            p.setPen(Pen(kBlue, 1.5));
            p.drawLine(QPointF(9, 12.5), QPointF(15, 12.5));
            p.setBrush(kBlue);
            p.drawPolygon(QPolygonF({{15.5, 12.5}, {13, 10.5}, {13, 14.5}}));
        },
        // 13 rebuild tree: a small tree with a green arrow round it.
        [](QPainter &p) {
            TreeGlyph(p);
            CircleArrow(p, QRectF(9, 0.8, 6, 6), 180, 250, kGreen);
        },
        // 14 close all: two crosses over each other.
        [](QPainter &p) {
            Cross(p, QRectF(1.5, 1.5, 8, 8), 1.8);
            Cross(p, QRectF(6.5, 6.5, 8, 8), 2.2);
        },
        // 15 arrange: a window split into tree and text.
        [](QPainter &p) { SplitWindow(p, QRectF(1.5, 2.5, 13, 11)); },
        // 16 arrange all: stacked split windows.
        [](QPainter &p) {
            SplitWindow(p, QRectF(0.5, 0.5, 10, 9));
            SplitWindow(p, QRectF(5.5, 6.5, 10, 9));
        },
        // 17 arrange to: a split window with arrows that make the panes equal.
        [](QPainter &p) {
            SplitWindow(p, QRectF(0.5, 0.5, 11, 10));
            p.setPen(Pen(kGreen, 1.5));
            p.setBrush(kGreen);
            p.drawLine(QPointF(6, 13.5), QPointF(15, 13.5));
            p.drawPolygon(QPolygonF({{15.5, 13.5}, {13, 11.5}, {13, 15.5}}));
            p.drawPolygon(QPolygonF({{5.5, 13.5}, {8, 11.5}, {8, 15.5}}));
        },
        // 18 quick find: a magic wand with a sparkle.
        [](QPainter &p) {
            p.setPen(Pen(kOutline, 2.2));
            p.drawLine(QPointF(2, 14), QPointF(10, 6));
            p.setPen(Pen(Qt::white, 2.2));
            p.drawLine(QPointF(8.8, 7.2), QPointF(10, 6));
            p.setPen(Pen(QColor(230, 170, 0), 1.3));
            const QPointF star(12, 4);
            p.drawLine(star - QPointF(0, 3.5), star + QPointF(0, 3.5));
            p.drawLine(star - QPointF(3.5, 0), star + QPointF(3.5, 0));
            p.drawLine(star - QPointF(2, 2), star + QPointF(2, 2));
            p.drawLine(star - QPointF(2, -2), star + QPointF(2, -2));
        },
    };
    QList<QIcon> icons;
    for (const Painter &paint : painters)
        icons << Make(paint);
    return icons;
}

QList<QIcon> TreeList() {
    return {
        Make([](QPainter &p) { Folder(p, kFolder, kFolderDark, false); }),
        Make([](QPainter &p) { Folder(p, QColor(190, 190, 190), QColor(140, 140, 140), false); }),
        Make([](QPainter &p) { Folder(p, kFolder, kFolderDark, true); }),
        Make([](QPainter &p) { ValueBox(p); }),
        Make([](QPainter &p) {
            ValueBox(p);
            Pencil(p, QPointF(6.5, 15));
        }),
    };
}

QList<QIcon> TabList() {
    return {
        // Saved: a page with a green tick.
        Make([](QPainter &p) {
            Sheet(p, QRectF(1.5, 0.5, 11, 13));
            p.setPen(Pen(kGreen, 2));
            p.drawPolyline(QPolygonF({{8.5, 11.5}, {10.5, 13.8}, {14.8, 8.5}}));
        }),
        // Modified: a page with a pencil.
        Make([](QPainter &p) {
            Sheet(p, QRectF(1.5, 1.5, 11, 13));
            Pencil(p, QPointF(6.5, 15));
        }),
    };
}

QIcon At(const QList<QIcon> &list, int index) {
    return index >= 0 && index < list.size() ? list.at(index) : QIcon();
}

// The lists live as long as the application: pixmaps must not outlive it.
struct IconLists : QObject {
    QList<QIcon> main = MainList();
    QList<QIcon> tree = TreeList();
    QList<QIcon> tab = TabList();
};

const IconLists *Lists() {
    static QPointer<IconLists> lists;
    if (!lists && QCoreApplication::instance()) {
        lists = new IconLists;
        lists->setParent(QCoreApplication::instance());
    }
    return lists;
}

const QList<QIcon> &Empty() {
    static const QList<QIcon> empty;
    return empty;
}

} // namespace

const QList<QIcon> &ILMain() {
    return Lists() ? Lists()->main : Empty();
}

const QList<QIcon> &ILTreeView() {
    return Lists() ? Lists()->tree : Empty();
}

const QList<QIcon> &ILTab() {
    return Lists() ? Lists()->tab : Empty();
}

QIcon MainImage(int index) {
    return At(ILMain(), index);
}

QIcon TreeImage(int index) {
    return At(ILTreeView(), index);
}

QIcon TabImage(int index) {
    return At(ILTab(), index);
}
