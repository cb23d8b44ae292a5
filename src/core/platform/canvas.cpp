#include "platform/canvas.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace mb {

namespace {

// The room font's size at scale 1.0, in pixels: a line of status text is 16 pixels apart.
constexpr int RoomFontPixels = 12;

QString roomFontFamily()
{
    // Registered once per process; the font database itself is process-wide in Qt.
    static const QString family = [] {
        QFile f(QStringLiteral(":/mossbramble/room/resources/roomfont.ttf"));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        const int id = QFontDatabase::addApplicationFontFromData(f.readAll());
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QImage tinted(const QImage &image, uint32_t colour)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    p.fillRect(out.rect(), QColor::fromRgb(colour | 0xFF000000u));
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(0, 0, image);
    return out;
}

} // namespace

Canvas::Canvas(QImage *target) : m_target(target), m_clip(target->rect()) {}

Canvas::~Canvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

void Canvas::begin()
{
    if (m_painter.isActive())
        m_painter.end();
    m_painter.begin(m_target);
    // The painter has detached the image; its pixels stay where they are until present().
    m_bits = m_target->bits();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    // Smooth transformation costs QPainter its fast path for unscaled images, even where there is
    // nothing to smooth; only the stretching drawImage() turns it on.
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_blend = Blend::Alpha;
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    resetClip();
}

void Canvas::present()
{
    m_bits = nullptr;
    if (m_painter.isActive())
        m_painter.end();
}

QColor Canvas::argbColour(uint32_t argb)
{
    if ((argb >> 24) == 0)
        argb |= 0xFF000000u;
    return QColor::fromRgba(argb);
}

QColor Canvas::bgrColour(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void Canvas::setBlend(Blend blend)
{
    if (blend == m_blend)
        return;
    m_blend = blend;
    switch (blend) {
    case Blend::Opaque:
        m_painter.setCompositionMode(QPainter::CompositionMode_Source);
        break;
    case Blend::Alpha:
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case Blend::Additive:
        m_painter.setCompositionMode(QPainter::CompositionMode_Plus);
        break;
    }
}

void Canvas::clear(uint32_t rgb)
{
    setBlend(Blend::Opaque);
    m_painter.fillRect(m_target->rect(), QColor::fromRgb(rgb | 0xFF000000u));
}

void Canvas::drawImage(const QImage &image, QPoint at, Blend blend, uint32_t colour)
{
    if (image.isNull())
        return;
    // An image without alpha draws the same with source-over, and QPainter copies such images
    // row by row instead of blending them.
    setBlend(blend == Blend::Opaque && !image.hasAlphaChannel() ? Blend::Alpha : blend);
    const int alpha = int(colour >> 24);
    if (alpha != 255)
        m_painter.setOpacity(alpha / 255.0);
    if ((colour & 0xFFFFFF) != 0xFFFFFF)
        m_painter.drawImage(at, tinted(image, colour));
    else
        m_painter.drawImage(at, image);
    if (alpha != 255)
        m_painter.setOpacity(1.0);
}

void Canvas::drawImage(const QImage &image, const QRectF &target, Blend blend, bool mirrored, uint32_t colour)
{
    if (image.isNull() || target.isEmpty())
        return;
    setBlend(blend == Blend::Opaque && !image.hasAlphaChannel() ? Blend::Alpha : blend);
    const int alpha = int(colour >> 24);
    if (alpha != 255)
        m_painter.setOpacity(alpha / 255.0);
    const QImage &source = (colour & 0xFFFFFF) != 0xFFFFFF ? tinted(image, colour) : image;
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (mirrored) {
        m_painter.translate(target.left() + target.width(), target.top());
        m_painter.scale(-1, 1);
        m_painter.drawImage(QRectF(0, 0, target.width(), target.height()), source);
    } else {
        m_painter.drawImage(target, source);
    }
    m_painter.restore();
    if (alpha != 255)
        m_painter.setOpacity(1.0);
}

void Canvas::line(QPointF a, QPointF b, uint32_t bgr1, uint32_t bgr2)
{
    setBlend(Blend::Alpha);
    // Level and upright lines of one colour (corner marks, markers, the walkmap grid) are written
    // straight into the target: the same pixels as the painter's one-pixel pen, at a fraction of
    // its set-up cost, which for thousands of short marks a frame is most of the work.
    if (bgr1 == bgr2 && (a.x() == b.x() || a.y() == b.y()) && a.x() == std::floor(a.x()) && a.y() == std::floor(a.y())
        && b.x() == std::floor(b.x()) && b.y() == std::floor(b.y())
        && fillSpan(QRect(QPoint(int(std::min(a.x(), b.x())), int(std::min(a.y(), b.y()))),
                          QPoint(int(std::max(a.x(), b.x())), int(std::max(a.y(), b.y())))),
                    bgrColour(bgr1).rgb()))
        return;
    QPen pen;
    pen.setWidth(0); // cosmetic: one pixel, both end points drawn
    if (bgr1 == bgr2 || a == b) {
        pen.setColor(bgrColour(bgr1));
    } else {
        QLinearGradient g(a, b);
        g.setColorAt(0, bgrColour(bgr1));
        g.setColorAt(1, bgrColour(bgr2));
        pen.setBrush(g);
    }
    m_painter.setPen(pen);
    if (a == b)
        m_painter.drawPoint(a);
    else
        m_painter.drawLine(a, b);
}

bool Canvas::fillSpan(const QRect &rect, QRgb colour)
{
    if (!m_bits || m_target->format() != QImage::Format_RGB32)
        return false;
    const QRect span = rect.intersected(m_clip);
    const qsizetype stride = m_target->bytesPerLine();
    for (int y = span.top(); y <= span.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_bits + y * stride);
        std::fill(line + span.left(), line + span.right() + 1, colour);
    }
    return true;
}

void Canvas::fillRect(const QRect &rect, uint32_t argb, Blend blend)
{
    if (rect.isEmpty())
        return;
    setBlend(blend);
    QColor c = argbColour(argb);
    if (blend == Blend::Opaque)
        c.setAlpha(255);
    m_painter.fillRect(rect, c);
}

void Canvas::outlineRect(const QRect &rect, uint32_t argb)
{
    if (rect.isEmpty())
        return;
    const QColor c = argbColour(argb);
    if (c.alpha() == 255 && fillSpan(QRect(rect.topLeft(), QSize(rect.width(), 1)), c.rgb())) {
        fillSpan(QRect(rect.left(), rect.bottom(), rect.width(), 1), c.rgb());
        fillSpan(QRect(rect.left(), rect.top(), 1, rect.height()), c.rgb());
        fillSpan(QRect(rect.right(), rect.top(), 1, rect.height()), c.rgb());
        return;
    }
    setBlend(Blend::Alpha);
    m_painter.setBrush(Qt::NoBrush);
    QPen pen(c);
    pen.setWidth(0);
    m_painter.setPen(pen);
    // A cosmetic pen draws the outline on the right and bottom edge one pixel outside.
    m_painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void Canvas::fillQuad(const std::array<QPointF, 4> &corners, uint32_t argb, Blend blend)
{
    setBlend(blend);
    QColor c = argbColour(argb);
    if (blend == Blend::Opaque)
        c.setAlpha(255);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(c);
    m_painter.drawPolygon(QPolygonF({corners[0], corners[1], corners[2], corners[3]}));
    m_painter.setBrush(Qt::NoBrush);
}

void Canvas::outlineQuad(const std::array<QPointF, 4> &corners, uint32_t argb)
{
    setBlend(Blend::Alpha);
    QPen pen(argbColour(argb));
    pen.setWidth(0);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPolygon(QPolygonF({corners[0], corners[1], corners[2], corners[3]}));
}

void Canvas::circle(QPointF centre, double radius, uint32_t argb)
{
    if (radius <= 0)
        return;
    setBlend(Blend::Alpha);
    QPen pen(argbColour(argb));
    pen.setWidth(0);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(centre, radius, radius);
}

void Canvas::setClip(const QRect &rect)
{
    m_clip = rect.intersected(m_target->rect());
    m_painter.setClipRect(m_clip);
}

void Canvas::resetClip()
{
    m_clip = m_target->rect();
    m_painter.setClipping(false);
}

QFont Canvas::roomFont(double scale)
{
    QFont font(roomFontFamily());
    font.setPixelSize(std::max(1, int(std::lround(RoomFontPixels * scale))));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoSubpixelAntialias | QFont::NoFontMerging));
    return font;
}

bool Canvas::textAvailable()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

void Canvas::text(const QString &text, uint32_t argb, int top, int left, double scale)
{
    if (text.isEmpty() || !textAvailable())
        return;
    setBlend(Blend::Alpha);
    if (scale != m_fontScale) {
        m_font = roomFont(scale);
        m_fontScale = scale;
    }
    m_painter.setFont(m_font);
    m_painter.setPen(argbColour(argb));
    const QFontMetrics fm(m_font);
    m_painter.drawText(QPointF(left, top + fm.ascent()), text);
}

} // namespace mb
