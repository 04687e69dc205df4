#include "tree/TreeImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int Size = 16;

QPixmap blank()
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon drawSheet()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    // A page with its top right corner folded over, and a few ruled lines.
    QPainterPath page;
    page.moveTo(2.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(2.5, 14.5);
    page.closeSubpath();
    p.setPen(QColor(96, 96, 96));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(208, 208, 208));
    p.drawPolygon(QPolygonF({QPointF(10.5, 1.5), QPointF(10.5, 4.5), QPointF(13.5, 4.5)}));
    p.setPen(QColor(120, 150, 200));
    for (int y = 6; y <= 12; y += 2)
        p.drawLine(4, y, 11, y);
    return QIcon(pixmap);
}

QIcon drawOpenFolder()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge(150, 110, 20);
    // The back of the folder with its tab...
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(7.0, 5.0);
    back.lineTo(12.5, 5.0);
    back.lineTo(12.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(edge);
    p.setBrush(QColor(230, 190, 80));
    p.drawPath(back);
    // ...and its front flap tilted open.
    QPainterPath front;
    front.moveTo(4.0, 7.5);
    front.lineTo(15.0, 7.5);
    front.lineTo(12.5, 13.5);
    front.lineTo(1.5, 13.5);
    front.closeSubpath();
    p.setBrush(QColor(250, 220, 120));
    p.drawPath(front);
    return QIcon(pixmap);
}

} // namespace

QIcon TreeImages::sheet()
{
    return drawSheet();
}

QIcon TreeImages::openFolder()
{
    return drawOpenFolder();
}
