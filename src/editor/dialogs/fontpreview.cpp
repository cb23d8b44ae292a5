#include "dialogs/fontpreview.h"

#include "build/fontrenderer.h"

#include <QFontMetrics>
#include <QPainter>

namespace mb {

namespace {

// Offsets from a cell's origin, as on the glyph pages: the glyph, the two hard shadows and the
// outline ring around the glyph.
constexpr QPoint kGlyph(3, 2), kShadowA(2, 1), kShadowB(4, 3);
constexpr QPoint kOutline[] = {{2, 3}, {4, 1}, {2, 2}, {3, 1}, {4, 2}, {3, 3}};

int previewShadowGrey(int shadow)
{
    switch (shadow) {
    case 1: return 0x66;
    case 2: return 0x44;
    default: return 0x22;
    }
}

} // namespace

FontPreview::FontPreview(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

QString FontPreview::typeface(const QString &name)
{
    if (name.size() >= 3 && name.at(name.size() - 3) == QLatin1Char('='))
        return name.left(name.size() - 3);
    return name;
}

void FontPreview::setFont(const RFont &font)
{
    m_font = font;
    update();
}

QImage FontPreview::render(QSize size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0x88, 0x88, 0x88));
    if (m_font.name.isEmpty())
        return image;
    RFont f = m_font;
    f.name = typeface(f.name);
    const QFont qf = FontRenderer::qtFont(f);
    const QFontMetrics fm(qf);
    const QStringList lines = {QStringLiteral("AaBbCcXxYyZz"), QStringLiteral("0123456789"),
                               QString::fromUtf8("!?ÄÖÜ$%§ÓÍ+")};
    const int lineHeight = fm.height() + 6;
    int y = std::max(0, (size.height() - lineHeight * int(lines.size())) / 2);
    QPainter p(&image);
    p.setFont(qf);
    for (const QString &line : lines) {
        const QPoint origin((size.width() - fm.horizontalAdvance(line)) / 2 - 3, y);
        auto at = [&](QPoint offset) { return origin + offset + QPoint(0, fm.ascent()); };
        if (f.shadow > 0) {
            const int g = previewShadowGrey(f.shadow);
            p.setPen(QColor(g, g, g));
            p.drawText(at(kGlyph + QPoint(3, 3)), line);
        }
        p.setPen(Qt::black);
        if (f.outline == 1 || f.outline == 3)
            p.drawText(at(kShadowA), line);
        if (f.outline == 2 || f.outline == 3)
            p.drawText(at(kShadowB), line);
        if (f.outline == 3)
            for (QPoint o : kOutline)
                p.drawText(at(o), line);
        if (f.fill >= 1 && f.fill <= 3) {
            const int h = fm.height() + 2;
            for (int k = 1; k <= h; ++k) {
                p.setClipRect(QRect(0, y + k + 1, size.width(), 1));
                const int g = FontRenderer::fillGrey(f.fill, k, h);
                p.setPen(QColor(g, g, g));
                p.drawText(at(kGlyph), line);
            }
            p.setClipping(false);
        } else {
            p.setPen(Qt::white);
            p.drawText(at(kGlyph), line);
        }
        y += lineHeight;
    }
    return image;
}

void FontPreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, render(size()));
}

} // namespace mb
