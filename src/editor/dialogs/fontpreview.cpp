#include "dialogs/fontpreview.h"

#include "build/fontrenderer.h"

#include <QPainter>

namespace mb {

FontPreview::FontPreview(QWidget *parent)
    : QWidget(parent), m_sample({QStringLiteral("AaBbCcXxYyZz"), QStringLiteral("0123456789"),
                                 QString::fromUtf8("!?ÄÖÜ$%§ÓÍ+")})
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
    m_renderer.reset();
    if (!font.name.isEmpty()) {
        RFont f = font;
        f.name = typeface(f.name);
        m_renderer.emplace(f);
    }
    update();
}

void FontPreview::setSample(const QStringList &lines)
{
    m_sample = lines;
    update();
}

QImage FontPreview::render(QSize size) const
{
    if (!m_renderer) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(background());
        return image;
    }
    // Each line is drawn as one wide glyph cell, centred, the lines one cell height apart.
    FontRenderer::Page page{QImage(size, QImage::Format_RGB32), QImage(size, QImage::Format_RGB32)};
    page.colour.fill(Qt::black);
    page.alpha.fill(Qt::black);
    const int lineHeight = m_renderer->maxTextHeight() + 6;
    int y = std::max(0, (size.height() - lineHeight * int(m_sample.size())) / 2);
    for (const QString &line : m_sample) {
        m_renderer->drawText(page, QPoint((size.width() - m_renderer->textWidth(line)) / 2 - 3, y), line);
        y += lineHeight;
    }
    return FontRenderer::compose(page, background());
}

void FontPreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, render(size()));
}

} // namespace mb
