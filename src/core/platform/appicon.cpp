#include "platform/appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <vector>

namespace mb {

namespace {

// Shapes in a 64 x 64 design grid, drawn in order.
struct Shape
{
    enum Kind { RoundRect, Ellipse, Polygon } kind;
    QRectF rect;           // RoundRect, Ellipse
    qreal radius = 0;      // RoundRect
    QPolygonF points;      // Polygon
    QRgb fill;
    QRgb stroke = 0;       // 0: no outline
    qreal strokeWidth = 0;
};

const std::vector<Shape> &shapes()
{
    static const std::vector<Shape> s = {
        // The stage: a dusk-blue tile with a lighter sky band.
        {Shape::RoundRect, QRectF(2, 2, 60, 60), 10, {}, qRgb(0x24, 0x3b, 0x55), qRgb(0x12, 0x1e, 0x2b), 2},
        {Shape::RoundRect, QRectF(6, 6, 52, 30), 6, {}, qRgb(0x3d, 0x6a, 0x8c)},
        // The mossy hill.
        {Shape::Ellipse, QRectF(-8, 34, 80, 44), 0, {}, qRgb(0x4f, 0x8a, 0x3a), qRgb(0x2f, 0x5a, 0x22), 1.5},
        // Bramble berries.
        {Shape::Ellipse, QRectF(14, 26, 11, 11), 0, {}, qRgb(0x8e, 0x1f, 0x4a), qRgb(0x4a, 0x0c, 0x24), 1.2},
        {Shape::Ellipse, QRectF(23, 22, 11, 11), 0, {}, qRgb(0xb0, 0x2a, 0x5c), qRgb(0x4a, 0x0c, 0x24), 1.2},
        {Shape::Ellipse, QRectF(20, 31, 11, 11), 0, {}, qRgb(0x76, 0x18, 0x3e), qRgb(0x4a, 0x0c, 0x24), 1.2},
        // The pointer that plays the game.
        {Shape::Polygon, {}, 0,
         QPolygonF({QPointF(38, 14), QPointF(38, 46), QPointF(45, 39), QPointF(50, 50), QPointF(54, 48),
                    QPointF(49, 37), QPointF(58, 37)}),
         qRgb(0xff, 0xff, 0xff), qRgb(0x10, 0x10, 0x10), 2},
    };
    return s;
}

QString colour(QRgb c)
{
    return QStringLiteral("#%1").arg(c & 0xffffff, 6, 16, QLatin1Char('0'));
}

QString number(qreal v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

QImage drawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Clip to the tile so the hill does not spill over its rounded corners.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    for (const Shape &s : shapes()) {
        p.setBrush(QColor(s.fill));
        p.setPen(s.stroke ? QPen(QColor(s.stroke), s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                          : QPen(Qt::NoPen));
        p.setClipPath(tile);
        switch (s.kind) {
        case Shape::RoundRect: p.drawRoundedRect(s.rect, s.radius, s.radius); break;
        case Shape::Ellipse: p.drawEllipse(s.rect); break;
        case Shape::Polygon: p.drawPolygon(s.points); break;
        }
    }
    return image;
}

QByteArray appIconSvg()
{
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
        "  <defs><clipPath id=\"tile\"><rect x=\"2\" y=\"2\" width=\"60\" height=\"60\" rx=\"10\"/></clipPath></defs>\n"
        "  <g clip-path=\"url(#tile)\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n");
    for (const Shape &s : shapes()) {
        const QString paint = QStringLiteral("fill=\"%1\"").arg(colour(s.fill))
            + (s.stroke ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"").arg(colour(s.stroke), number(s.strokeWidth))
                        : QString());
        switch (s.kind) {
        case Shape::RoundRect:
            svg += QStringLiteral("    <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" %6/>\n")
                       .arg(number(s.rect.x()), number(s.rect.y()), number(s.rect.width()),
                            number(s.rect.height()), number(s.radius), paint);
            break;
        case Shape::Ellipse:
            svg += QStringLiteral("    <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" %5/>\n")
                       .arg(number(s.rect.center().x()), number(s.rect.center().y()),
                            number(s.rect.width() / 2), number(s.rect.height() / 2), paint);
            break;
        case Shape::Polygon: {
            QStringList pts;
            for (const QPointF &pt : s.points)
                pts << number(pt.x()) + u',' + number(pt.y());
            svg += QStringLiteral("    <polygon points=\"%1\" %2/>\n").arg(pts.join(u' '), paint);
            break;
        }
        }
    }
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

} // namespace mb
