#include "shell/CommandIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

using namespace Qt::StringLiterals;

// Every image is drawn on a 16 x 16 grid; outlines sit on half-pixel
// coordinates so that one-unit lines stay sharp at 16 and at 32 pixels.
namespace {

using Painter = std::function<void(QPainter &)>;

const QColor Outline(0x3c, 0x3c, 0x46);
const QColor PaperFill(0xff, 0xff, 0xff);
const QColor LineGrey(0x8a, 0x8f, 0x99);
const QColor TreeBlue(0x2a, 0x62, 0xc9);
const QColor ImportGreen(0x25, 0x9b, 0x3c);
const QColor ExportOrange(0xe0, 0x7a, 0x10);
const QColor TextUndoBlue(0x1c, 0x6f, 0xd6);
const QColor TreeUndoGreen(0x2e, 0x8b, 0x3a);
const QColor DeleteRed(0xd8, 0x22, 0x22);
const QColor TitleBlue(0x3a, 0x6e, 0xc8);

QPen pen(const QColor &color, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// A sheet with its top right corner folded.
void page(QPainter &p, qreal left, qreal top, qreal right, qreal bottom, const QColor &fill = PaperFill)
{
    const qreal fold = 3;
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo(right - fold, top);
    path.lineTo(right, top + fold);
    path.lineTo(right, bottom);
    path.lineTo(left, bottom);
    path.closeSubpath();
    p.setPen(pen(Outline));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(right - fold, top), QPointF(right - fold, top + fold), QPointF(right, top + fold)}));
}

void textLines(QPainter &p, qreal left, qreal right, qreal top, int count, qreal step = 2)
{
    p.setPen(pen(LineGrey));
    for (int i = 0; i < count; ++i) {
        const qreal y = top + i * step;
        // The last line is shorter, as the end of a paragraph.
        p.drawLine(QPointF(left, y), QPointF(i == count - 1 && count > 1 ? (left + right) / 2 : right, y));
    }
}

// A thick arrow from `from` to `to` with a triangular head.
void arrow(QPainter &p, QPointF from, QPointF to, const QColor &color, qreal shaft = 2.0, qreal head = 3.5)
{
    const QLineF line(from, to);
    const QLineF unit = line.unitVector();
    const QPointF dir(unit.dx(), unit.dy());
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = to - dir * head;
    p.setPen(QPen(color, shaft, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, base);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({to, base + normal * head, base - normal * head}));
}

// A large block arrow filling the image, pointing by `angle` degrees
// (0 right, 90 down, 180 left, 270 up).
void blockArrow(QPainter &p, qreal angle, const QColor &color)
{
    p.save();
    p.translate(8, 8);
    p.rotate(angle);
    const QPolygonF shape({QPointF(-6.5, -2.5), QPointF(0.5, -2.5), QPointF(0.5, -6.5), QPointF(7, 0),
                           QPointF(0.5, 6.5), QPointF(0.5, 2.5), QPointF(-6.5, 2.5)});
    p.setPen(pen(color.darker(150)));
    p.setBrush(color);
    p.drawPolygon(shape);
    p.restore();
}

// A tree item: a small box and its label line.
void nodeBar(QPainter &p, qreal x, qreal y, qreal lineEnd, const QColor &box = QColor(0xbf, 0xd6, 0xf6))
{
    p.setPen(pen(Outline));
    p.setBrush(box);
    p.drawRect(QRectF(x, y, 4, 4));
    p.setPen(pen(LineGrey, 1.0));
    p.drawLine(QPointF(x + 6, y + 2), QPointF(lineEnd, y + 2));
}

void greenPlus(QPainter &p, qreal cx, qreal cy, qreal half = 3)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ImportGreen);
    p.drawRect(QRectF(cx - 1, cy - half, 2, 2 * half));
    p.drawRect(QRectF(cx - half, cy - 1, 2 * half, 2));
}

// A small tree: three boxes, the last two indented under the first.
void miniTree(QPainter &p, qreal x, qreal y)
{
    p.setPen(pen(Outline));
    p.drawLine(QPointF(x + 1.5, y + 3), QPointF(x + 1.5, y + 9.5));
    p.drawLine(QPointF(x + 1.5, y + 5.5), QPointF(x + 4, y + 5.5));
    p.drawLine(QPointF(x + 1.5, y + 9.5), QPointF(x + 4, y + 9.5));
    p.setBrush(QColor(0xbf, 0xd6, 0xf6));
    p.drawRect(QRectF(x, y, 3, 3));
    p.setBrush(QColor(0xff, 0xe4, 0x8a));
    p.drawRect(QRectF(x + 4, y + 4, 3, 3));
    p.drawRect(QRectF(x + 4, y + 8, 3, 3));
}

// Two tree items, the second one level deeper: the mark of the tree history.
void miniNodes(QPainter &p, qreal x, qreal y)
{
    p.setPen(pen(Outline));
    p.drawPolyline(QPolygonF({QPointF(x + 1.5, y + 3), QPointF(x + 1.5, y + 4.5), QPointF(x + 4, y + 4.5)}));
    p.setBrush(QColor(0xbf, 0xd6, 0xf6));
    p.drawRect(QRectF(x, y, 3, 3));
    p.setBrush(QColor(0xff, 0xe4, 0x8a));
    p.drawRect(QRectF(x + 4, y + 3, 3, 3));
}

void floppy(QPainter &p, const QRectF &r)
{
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath body;
    body.moveTo(r.left(), r.top());
    body.lineTo(r.right() - w * 0.15, r.top());
    body.lineTo(r.right(), r.top() + h * 0.15);
    body.lineTo(r.right(), r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.setPen(pen(QColor(0x1d, 0x33, 0x66)));
    p.setBrush(QColor(0x2f, 0x5b, 0xb0));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + w * 0.2, r.top() + 1, w * 0.6, h * 0.4));
    p.setBrush(QColor(0xc8, 0xcc, 0xd4));
    p.drawRect(QRectF(r.left() + w * 0.25, r.bottom() - h * 0.35, w * 0.5, h * 0.35));
    p.setBrush(QColor(0x1d, 0x33, 0x66));
    p.drawRect(QRectF(r.left() + w * 0.5, r.bottom() - h * 0.3, w * 0.15, h * 0.25));
}

void pencil(QPainter &p, QPointF tip, qreal length)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    // Along +x from the tip: graphite, wood, yellow body, pink eraser.
    p.setPen(pen(Outline));
    p.setBrush(QColor(0xf2, 0xc1, 0x2e));
    p.drawRect(QRectF(3, -1.5, length - 6, 3));
    p.setBrush(QColor(0xf0, 0x9c, 0xb0));
    p.drawRect(QRectF(length - 3, -1.5, 2.5, 3));
    p.setBrush(QColor(0xf3, 0xd9, 0xb1));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(3, -1.5), QPointF(3, 1.5)}));
    p.restore();
}

void windowFrame(QPainter &p, const QRectF &r)
{
    p.setPen(pen(Outline));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(TitleBlue);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 2.5));
}

void magnifier(QPainter &p, QPointF centre, qreal radius, qreal handle)
{
    const QPointF along(0.7071, 0.7071);
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x1e), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + along * (radius + 0.5), centre + along * (radius + handle));
    p.setPen(pen(Outline, 1.5));
    p.setBrush(QColor(0xcf, 0xe8, 0xff));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Qt::white, 1.0));
    p.drawArc(QRectF(centre.x() - radius + 1.5, centre.y() - radius + 1.5, 2 * radius - 3, 2 * radius - 3), 100 * 16, 70 * 16);
}

// A turning arrow over the top half: counter-clockwise for undo, clockwise
// for redo.
void turnArrow(QPainter &p, bool undo, const QColor &color)
{
    p.save();
    if (!undo) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(13, 10);
    arc.cubicTo(13, 3, 6, 1.5, 3.5, 6);
    p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({QPointF(0.5, 3), QPointF(7, 8), QPointF(1, 10)}));
    p.restore();
}

void gear(QPainter &p)
{
    QPainterPath teeth;
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        QTransform t;
        t.translate(8, 8);
        t.rotate(360.0 / count * i);
        teeth.addPolygon(t.map(QPolygonF({QPointF(-1.6, -7.5), QPointF(1.6, -7.5), QPointF(1.6, -4), QPointF(-1.6, -4)})));
        teeth.closeSubpath();
    }
    QPainterPath wheel;
    wheel.addEllipse(QPointF(8, 8), 5.5, 5.5);
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.2, 2.2);
    const QPainterPath shape = teeth.united(wheel).subtracted(hole);
    p.setPen(pen(QColor(0x45, 0x4b, 0x55)));
    p.setBrush(QColor(0x9a, 0xa3, 0xb0));
    p.drawPath(shape);
}

const QHash<QString, Painter> &painters()
{
    static const QHash<QString, Painter> table = {
        {u"file-new"_s, [](QPainter &p) {
             page(p, 2.5, 0.5, 12.5, 15.5);
             // A sparkle: this sheet is new.
             p.setPen(pen(QColor(0x9a, 0x6a, 0x00)));
             p.setBrush(QColor(0xff, 0xd0, 0x2a));
             p.drawPolygon(QPolygonF({QPointF(12, 0), QPointF(13.2, 2.8), QPointF(16, 4), QPointF(13.2, 5.2),
                                      QPointF(12, 8), QPointF(10.8, 5.2), QPointF(8, 4), QPointF(10.8, 2.8)}));
         }},
        {u"file-open"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x8a, 0x62, 0x10)));
             p.setBrush(QColor(0xd9, 0xa8, 0x3c));
             p.drawPolygon(QPolygonF({QPointF(0.5, 2.5), QPointF(5.5, 2.5), QPointF(6.5, 4.5), QPointF(12.5, 4.5),
                                      QPointF(12.5, 13.5), QPointF(0.5, 13.5)}));
             p.setBrush(QColor(0xff, 0xd5, 0x5c));
             p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(12.5, 13.5), QPointF(0.5, 13.5)}));
         }},
        {u"file-save"_s, [](QPainter &p) { floppy(p, QRectF(1.5, 1.5, 13, 13)); }},
        {u"file-save-as"_s, [](QPainter &p) {
             floppy(p, QRectF(0.5, 0.5, 11, 11));
             pencil(p, QPointF(7, 15), 11);
         }},
        {u"text-page"_s, [](QPainter &p) {
             page(p, 2.5, 0.5, 13.5, 15.5, QColor(0xff, 0xfb, 0xe6));
             textLines(p, 4.5, 11.5, 5.5, 5);
         }},
        {u"text-save"_s, [](QPainter &p) {
             page(p, 0.5, 0.5, 10.5, 13.5, QColor(0xff, 0xfb, 0xe6));
             textLines(p, 2.5, 8.5, 4.5, 3);
             floppy(p, QRectF(7.5, 7.5, 8, 8));
         }},
        {u"text-import"_s, [](QPainter &p) {
             page(p, 0.5, 0.5, 10.5, 15.5);
             textLines(p, 2.5, 8.5, 5.5, 4);
             arrow(p, QPointF(13, 4), QPointF(13, 15.5), ImportGreen, 2.5, 3.2);
         }},
        {u"text-export"_s, [](QPainter &p) {
             page(p, 0.5, 0.5, 10.5, 15.5);
             textLines(p, 2.5, 8.5, 5.5, 4);
             arrow(p, QPointF(13, 15), QPointF(13, 3), ExportOrange, 2.5, 3.2);
         }},
        {u"node-import"_s, [](QPainter &p) {
             miniTree(p, 0.5, 2.5);
             arrow(p, QPointF(12.5, 4), QPointF(12.5, 15.5), ImportGreen, 2.5, 3.2);
         }},
        {u"node-export"_s, [](QPainter &p) {
             miniTree(p, 0.5, 2.5);
             arrow(p, QPointF(12.5, 15), QPointF(12.5, 3), ExportOrange, 2.5, 3.2);
         }},
        {u"print"_s, [](QPainter &p) {
             p.setPen(pen(Outline));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(3.5, 0.5, 9, 6));
             p.setBrush(QColor(0xb8, 0xbe, 0xc8));
             p.drawRect(QRectF(0.5, 5.5, 15, 7));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(3.5, 10.5, 9, 5));
             textLines(p, 5, 11, 12.5, 2);
             p.setPen(Qt::NoPen);
             p.setBrush(ImportGreen);
             p.drawRect(QRectF(12, 7, 2, 2));
         }},
        {u"about"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x1a, 0x4a, 0x9a)));
             p.setBrush(QColor(0x2f, 0x6e, 0xd6));
             p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(7, 3, 2, 2));
             p.drawRect(QRectF(7, 6, 2, 7));
             p.drawRect(QRectF(6, 6, 1, 1));
             p.drawRect(QRectF(6, 12, 4, 1));
         }},
        {u"tree-add-above"_s, [](QPainter &p) {
             greenPlus(p, 3.5, 4, 3.5);
             p.setPen(QPen(ImportGreen, 1.0, Qt::DotLine));
             p.drawLine(QPointF(8, 4), QPointF(15, 4));
             nodeBar(p, 1.5, 10.5, 15);
         }},
        {u"tree-add-below"_s, [](QPainter &p) {
             nodeBar(p, 1.5, 1.5, 15);
             greenPlus(p, 3.5, 12, 3.5);
             p.setPen(QPen(ImportGreen, 1.0, Qt::DotLine));
             p.drawLine(QPointF(8, 12), QPointF(15, 12));
         }},
        {u"tree-add-child"_s, [](QPainter &p) {
             nodeBar(p, 0.5, 0.5, 14);
             p.setPen(pen(Outline));
             p.drawLine(QPointF(2.5, 5), QPointF(2.5, 11.5));
             p.drawLine(QPointF(2.5, 11.5), QPointF(6, 11.5));
             greenPlus(p, 10.5, 11.5, 3.5);
         }},
        {u"tree-move-up"_s, [](QPainter &p) { blockArrow(p, 270, TreeBlue); }},
        {u"tree-move-down"_s, [](QPainter &p) { blockArrow(p, 90, TreeBlue); }},
        {u"tree-raise"_s, [](QPainter &p) { blockArrow(p, 180, TreeBlue); }},
        {u"tree-lower"_s, [](QPainter &p) { blockArrow(p, 0, TreeBlue); }},
        {u"tree-expand"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x70, 0x78, 0x84)));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setPen(Qt::NoPen);
             p.setBrush(Outline);
             p.drawRect(QRectF(4, 7, 8, 2));
             p.drawRect(QRectF(7, 4, 2, 8));
         }},
        {u"tree-collapse"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x70, 0x78, 0x84)));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setPen(Qt::NoPen);
             p.setBrush(Outline);
             p.drawRect(QRectF(4, 7, 8, 2));
         }},
        {u"tree-undo"_s, [](QPainter &p) {
             turnArrow(p, true, TreeUndoGreen);
             miniNodes(p, 8.5, 9.5);
         }},
        {u"tree-redo"_s, [](QPainter &p) {
             turnArrow(p, false, TreeUndoGreen);
             miniNodes(p, 0.5, 9.5);
         }},
        {u"tree-delete"_s, [](QPainter &p) {
             p.setPen(QPen(DeleteRed, 3.0, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(3, 3), QPointF(13, 13));
             p.drawLine(QPointF(13, 3), QPointF(3, 13));
         }},
        {u"edit-cut"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x60, 0x66, 0x70), 1.5));
             p.drawLine(QPointF(5, 0.5), QPointF(10.5, 10));
             p.drawLine(QPointF(11, 0.5), QPointF(5.5, 10));
             p.setPen(pen(QColor(0xc0, 0x20, 0x20), 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
             p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
         }},
        {u"edit-copy"_s, [](QPainter &p) {
             page(p, 0.5, 0.5, 9.5, 11.5);
             textLines(p, 2.5, 6.5, 4.5, 3);
             page(p, 5.5, 4.5, 14.5, 15.5);
             textLines(p, 7.5, 11.5, 8.5, 3);
         }},
        {u"edit-paste"_s, [](QPainter &p) {
             p.setPen(pen(QColor(0x6a, 0x45, 0x1c)));
             p.setBrush(QColor(0xc2, 0x8a, 0x4a));
             p.drawRect(QRectF(0.5, 2.5, 11, 13));
             p.setPen(pen(Outline));
             p.setBrush(QColor(0xc8, 0xcc, 0xd4));
             p.drawRect(QRectF(3.5, 0.5, 5, 3));
             page(p, 6.5, 6.5, 15.5, 15.5);
             textLines(p, 8.5, 13.5, 10.5, 3);
         }},
        {u"edit-find"_s, [](QPainter &p) { magnifier(p, QPointF(6.5, 6.5), 4.5, 8); }},
        {u"edit-replace"_s, [](QPainter &p) {
             magnifier(p, QPointF(4.5, 4.5), 3.5, 3.5);
             // Two opposed arrows: one text traded for another.
             arrow(p, QPointF(6, 11), QPointF(15.5, 11), ExportOrange, 1.6, 2.6);
             arrow(p, QPointF(15, 14.5), QPointF(5.5, 14.5), ImportGreen, 1.6, 2.6);
         }},
        {u"text-undo"_s, [](QPainter &p) {
             turnArrow(p, true, TextUndoBlue);
             textLines(p, 8.5, 15, 11.5, 2, 3);
         }},
        {u"text-redo"_s, [](QPainter &p) {
             turnArrow(p, false, TextUndoBlue);
             textLines(p, 1, 7.5, 11.5, 2, 3);
         }},
        {u"text-viewer"_s, [](QPainter &p) {
             windowFrame(p, QRectF(0.5, 0.5, 10, 9));
             windowFrame(p, QRectF(5.5, 5.5, 10, 10));
             textLines(p, 7.5, 13.5, 10.5, 3);
         }},
        {u"external-editor"_s, [](QPainter &p) {
             page(p, 0.5, 0.5, 10.5, 14.5);
             textLines(p, 2.5, 8.5, 4.5, 3);
             pencil(p, QPointF(5, 15.5), 14);
         }},
        {u"external-app"_s, [](QPainter &p) {
             windowFrame(p, QRectF(0.5, 3.5, 12, 12));
             arrow(p, QPointF(4, 12), QPointF(15.5, 0.5), ImportGreen, 2.2, 3.6);
         }},
        {u"options"_s, [](QPainter &p) { gear(p); }},
    };
    return table;
}

QPixmap render(const Painter &draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    return pixmap;
}

} // namespace

QIcon commandIcon(QStringView name)
{
    const auto &table = painters();
    const auto it = table.constFind(name.toString());
    if (it == table.cend())
        return QIcon();
    QIcon icon;
    icon.addPixmap(render(*it, 16));
    icon.addPixmap(render(*it, 32));
    return icon;
}
