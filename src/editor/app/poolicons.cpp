#include "app/poolicons.h"

#include "project/projecttree.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace mb::poolicons {

namespace {

using Draw = std::function<void(QPainter &)>;

QIcon render(const Draw &draw)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPen outline(const QColor &c, qreal w = 0.8)
{
    QPen pen(c, w);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void folder(QPainter &p)
{
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(outline(QColor(0x9a, 0x6b, 0x12)));
    p.setBrush(QColor(0xe9, 0xb9, 0x45));
    p.drawPath(back);
    p.setBrush(QColor(0xf6, 0xd3, 0x6f));
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
}

void image(QPainter &p)
{
    p.setPen(outline(QColor(0x35, 0x5c, 0x86)));
    p.setBrush(QColor(0xc4, 0xe4, 0xff));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf5, 0xc2, 0x1b));
    p.drawEllipse(QPointF(11, 5.8), 1.6, 1.6);
    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 7.5);
    hills.lineTo(9, 11);
    hills.lineTo(10.5, 9.5);
    hills.lineTo(14, 13);
    hills.closeSubpath();
    p.setBrush(QColor(0x3c, 0x9a, 0x4a));
    p.drawPath(hills);
}

void music(QPainter &p)
{
    const QColor c(0x74, 0x43, 0xb8);
    p.setPen(outline(c, 1.3));
    p.drawLine(QPointF(6.2, 11.5), QPointF(6.2, 3.5));
    p.drawLine(QPointF(13.2, 10), QPointF(13.2, 2));
    p.setPen(outline(c, 2.0));
    p.drawLine(QPointF(6.2, 3.5), QPointF(13.2, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(4.4, 11.8), 2.2, 1.7);
    p.drawEllipse(QPointF(11.4, 10.3), 2.2, 1.7);
}

void sound(QPainter &p)
{
    const QColor c(0x17, 0x7e, 0x82);
    QPainterPath speaker;
    speaker.moveTo(1.5, 6);
    speaker.lineTo(4.5, 6);
    speaker.lineTo(8.5, 2.5);
    speaker.lineTo(8.5, 13.5);
    speaker.lineTo(4.5, 10);
    speaker.lineTo(1.5, 10);
    speaker.closeSubpath();
    p.setPen(outline(c.darker(130)));
    p.setBrush(c);
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(c, 1.2));
    p.drawArc(QRectF(7, 5, 5, 6), -50 * 16, 100 * 16);
    p.drawArc(QRectF(6, 2.5, 9, 11), -50 * 16, 100 * 16);
}

void movie(QPainter &p)
{
    p.setPen(outline(QColor(0x22, 0x22, 0x22)));
    p.setBrush(QColor(0x3a, 0x3a, 0x44));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(2.5 + i * 3.2, 3.3, 1.6, 1.4));
        p.drawRect(QRectF(2.5 + i * 3.2, 11.3, 1.6, 1.4));
    }
    p.setBrush(QColor(0x8f, 0xc8, 0xf0));
    p.drawRect(QRectF(2.5, 5.6, 5, 4.8));
    p.drawRect(QRectF(8.5, 5.6, 5, 4.8));
}

void character(QPainter &p)
{
    p.setPen(outline(QColor(0x7a, 0x3b, 0x12)));
    p.setBrush(QColor(0xd8, 0x6a, 0x2a));
    QPainterPath body;
    body.moveTo(3, 15);
    body.cubicTo(3, 9.5, 13, 9.5, 13, 15);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(0xf3, 0xc9, 0x9c));
    p.drawEllipse(QPointF(8, 5.5), 3.2, 3.4);
}

void script(QPainter &p)
{
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13, 4.5);
    page.lineTo(13, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(outline(QColor(0x55, 0x5f, 0x6d)));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
    p.setPen(outline(QColor(0x3b, 0x6e, 0xc4), 1.0));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(5, 6.5 + i * 2), QPointF(i % 2 ? 9 : 11, 6.5 + i * 2));
}

void item(QPainter &p)
{
    const QColor gold(0xd9, 0xa4, 0x0e);
    p.setPen(outline(gold.darker(150)));
    p.setBrush(gold);
    p.drawEllipse(QPointF(5, 5.5), 3.3, 3.3);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(5, 5.5), 1.2, 1.2);
    p.setPen(outline(gold.darker(150), 2.4));
    p.drawLine(QPointF(7.3, 7.8), QPointF(13.5, 14));
    p.setPen(outline(gold.darker(150), 1.6));
    p.drawLine(QPointF(11, 11.5), QPointF(9.6, 12.9));
    p.drawLine(QPointF(12.8, 13.3), QPointF(11.6, 14.5));
}

void object(QPainter &p)
{
    const QPen pen = outline(QColor(0x6b, 0x41, 0x1e));
    p.setPen(pen);
    QPolygonF top({QPointF(8, 1.5), QPointF(14.5, 4.5), QPointF(8, 7.5), QPointF(1.5, 4.5)});
    QPolygonF left({QPointF(1.5, 4.5), QPointF(8, 7.5), QPointF(8, 14.5), QPointF(1.5, 11.5)});
    QPolygonF right({QPointF(8, 7.5), QPointF(14.5, 4.5), QPointF(14.5, 11.5), QPointF(8, 14.5)});
    p.setBrush(QColor(0xe2, 0xb0, 0x72));
    p.drawPolygon(top);
    p.setBrush(QColor(0xb9, 0x7c, 0x3e));
    p.drawPolygon(left);
    p.setBrush(QColor(0x96, 0x5f, 0x2c));
    p.drawPolygon(right);
}

void room(QPainter &p)
{
    p.setPen(outline(QColor(0x6a, 0x5a, 0x48)));
    p.setBrush(QColor(0xf1, 0xe4, 0xc8));
    p.drawRect(QRectF(3, 7, 10, 7.5));
    p.setPen(outline(QColor(0x8e, 0x1f, 0x1f)));
    p.setBrush(QColor(0xc8, 0x3a, 0x32));
    p.drawPolygon(QPolygonF({QPointF(1.5, 7.5), QPointF(8, 1.5), QPointF(14.5, 7.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6e, 0x47, 0x22));
    p.drawRect(QRectF(7, 10, 2.6, 4.5));
    p.setBrush(QColor(0x7c, 0xb8, 0xe8));
    p.drawRect(QRectF(4.3, 8.6, 1.8, 1.8));
    p.drawRect(QRectF(10.4, 8.6, 1.8, 1.8));
}

void plusSign(QPainter &p, const QColor &c, QPointF at = {8, 8}, qreal r = 5.5)
{
    p.setPen(outline(c, 2.4));
    p.drawLine(at - QPointF(r, 0), at + QPointF(r, 0));
    p.drawLine(at - QPointF(0, r), at + QPointF(0, r));
}

void floppy(QPainter &p)
{
    p.setPen(outline(QColor(0x1d, 0x3e, 0x6e)));
    p.setBrush(QColor(0x3a, 0x6e, 0xb8));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.8, 8, 4.6));
    p.setBrush(QColor(0xdd, 0xe6, 0xf2));
    p.drawRect(QRectF(3.5, 9, 9, 5.2));
    p.setBrush(QColor(0x1d, 0x3e, 0x6e));
    p.drawRect(QRectF(9.3, 2.6, 1.6, 3));
}

void chevrons(QPainter &p, bool down)
{
    p.setPen(outline(QColor(0x30, 0x50, 0x80), 1.8));
    p.setBrush(Qt::NoBrush);
    for (qreal y : {3.5, 8.5}) {
        const qreal tip = down ? y + 4 : y;
        const qreal base = down ? y : y + 4;
        p.drawPolyline(QPolygonF({QPointF(3, base), QPointF(8, tip), QPointF(13, base)}));
    }
}

void drawTool(QPainter &p, Tool which)
{
    const QColor green(0x2e, 0x8b, 0x3c), red(0xc0, 0x39, 0x2b), blue(0x2f, 0x5f, 0xa8);
    switch (which) {
    case Tool::New:
        script(p);
        plusSign(p, green, {12, 12}, 3);
        break;
    case Tool::Open:
        folder(p);
        p.setPen(outline(green, 1.8));
        p.drawLine(QPointF(8, 12), QPointF(8, 7.5));
        p.drawPolyline(QPolygonF({QPointF(5.8, 9.5), QPointF(8, 7.3), QPointF(10.2, 9.5)}));
        break;
    case Tool::Save:
        floppy(p);
        break;
    case Tool::SaveAs:
        floppy(p);
        p.setPen(outline(QColor(0xd9, 0xa4, 0x0e), 2.0));
        p.drawLine(QPointF(9, 13.5), QPointF(14.5, 8));
        break;
    case Tool::Build:
        p.setPen(outline(green.darker(140)));
        p.setBrush(green);
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
        break;
    case Tool::Check:
        script(p);
        p.setPen(outline(green, 2.2));
        p.drawPolyline(QPolygonF({QPointF(6, 10), QPointF(8.5, 13), QPointF(14.5, 6)}));
        break;
    case Tool::Import:
    case Tool::Export: {
        p.setPen(outline(QColor(0x6b, 0x41, 0x1e)));
        p.setBrush(QColor(0xe2, 0xb0, 0x72));
        p.drawRect(QRectF(2, 8, 12, 6.5));
        p.setPen(outline(blue, 2.0));
        const bool up = which == Tool::Export;
        p.drawLine(QPointF(8, 1.5), QPointF(8, 9));
        const qreal tip = up ? 1.5 : 9;
        const qreal wing = up ? 4.5 : 6;
        p.drawPolyline(QPolygonF({QPointF(5, wing), QPointF(8, tip), QPointF(11, wing)}));
        break;
    }
    case Tool::Commands:
        p.setPen(outline(QColor(0x55, 0x5f, 0x6d)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(outline(blue, 1.2));
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(3.5, 5 + i * 3), QPointF(4.5, 5 + i * 3));
            p.drawLine(QPointF(6, 5 + i * 3), QPointF(12.5, 5 + i * 3));
        }
        break;
    case Tool::Mouse:
        p.setPen(outline(Qt::black));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(3.5, 1.5), QPointF(3.5, 13), QPointF(6.3, 10.3), QPointF(8.3, 14.5),
                                 QPointF(10.2, 13.6), QPointF(8.3, 9.6), QPointF(12, 9.6)}));
        break;
    case Tool::Setup: {
        p.setPen(outline(QColor(0x44, 0x4c, 0x58)));
        p.setBrush(QColor(0x8a, 0x96, 0xa8));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(i * 45);
            p.drawRect(QRectF(-1.3, -7, 2.6, 3));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 4.8, 4.8);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
        break;
    }
    case Tool::Manual:
        p.setPen(outline(QColor(0x7a, 0x1f, 0x1f)));
        p.setBrush(QColor(0xb8, 0x3a, 0x32));
        p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 3.5, 7, 2));
        p.drawRect(QRectF(3.3, 12, 10, 1.6));
        break;
    case Tool::Plus:
        plusSign(p, green);
        break;
    case Tool::Minus:
        p.setPen(outline(red, 2.4));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        break;
    case Tool::NewFolder:
        folder(p);
        plusSign(p, green, {11.5, 10.5}, 2.8);
        break;
    case Tool::ExpandAll:
        chevrons(p, true);
        break;
    case Tool::CollapseAll:
        chevrons(p, false);
        break;
    case Tool::Duplicate:
        p.setPen(outline(QColor(0x55, 0x5f, 0x6d)));
        p.setBrush(QColor(0xe8, 0xec, 0xf2));
        p.drawRect(QRectF(1.5, 1.5, 9, 9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 5.5, 9, 9));
        break;
    case Tool::Rename:
        p.setPen(outline(QColor(0x55, 0x5f, 0x6d)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 4.5, 13, 7));
        p.setPen(outline(Qt::black, 1.2));
        p.drawLine(QPointF(9, 2.5), QPointF(9, 13.5));
        break;
    case Tool::Delete:
        p.setPen(outline(red, 2.4));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case Tool::Undo:
    case Tool::Redo: {
        // A curved arrow turning back (undo) or on (redo, the mirror image).
        if (which == Tool::Redo) {
            p.translate(16, 0);
            p.scale(-1, 1);
        }
        p.setPen(outline(blue, 2.0));
        p.setBrush(Qt::NoBrush);
        QPainterPath bow(QPointF(5, 6));
        bow.cubicTo(QPointF(10, 3), QPointF(15, 7), QPointF(12, 12.5));
        p.drawPath(bow);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawPolygon(QPolygonF({QPointF(1.5, 6.5), QPointF(7, 2.5), QPointF(7, 10)}));
        break;
    }
    }
}

} // namespace

QIcon node(int imageIndex)
{
    static QHash<int, QIcon> cache;
    if (auto it = cache.constFind(imageIndex); it != cache.constEnd())
        return *it;
    Draw draw;
    switch (imageIndex) {
    case nodeimage::Folder: draw = folder; break;
    case nodeimage::Image: draw = image; break;
    case nodeimage::Music: draw = music; break;
    case nodeimage::Sound: draw = sound; break;
    case nodeimage::Movie: draw = movie; break;
    case nodeimage::Character: draw = character; break;
    case nodeimage::Script: draw = script; break;
    case nodeimage::Item: draw = item; break;
    case nodeimage::Object: draw = object; break;
    case nodeimage::Room: draw = room; break;
    default: return QIcon();
    }
    const QIcon icon = render(draw);
    cache.insert(imageIndex, icon);
    return icon;
}

QIcon tool(Tool which)
{
    static QHash<int, QIcon> cache;
    const int key = int(which);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const QIcon icon = render([which](QPainter &p) { drawTool(p, which); });
    cache.insert(key, icon);
    return icon;
}

} // namespace mb::poolicons
