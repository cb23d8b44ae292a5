#include "build/fontrenderer.h"

#include "build/fontcharset.h"
#include "project/projectmodel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <array>
#include <span>

namespace mb {

namespace {

// Where the style copies go, relative to the cell origin; the glyph itself is at (3, 2).
constexpr QPoint kGlyphOffset(3, 2);
constexpr QPoint kShadowAOffset(2, 1);
constexpr QPoint kShadowBOffset(4, 3);
constexpr std::array<QPoint, 6> kOutlineOffsets = {
    QPoint(2, 3), QPoint(4, 1), QPoint(2, 2), QPoint(3, 1), QPoint(4, 2), QPoint(3, 3)};
constexpr QPoint kSoftShadowOffset(6, 5);

bool hasShadowA(int style) { return style == 1 || style == 3; }
bool hasShadowB(int style) { return style == 2 || style == 3; }

// round(150 / h x k) with halves rounded up, in integers so that no tie depends on how the
// quotient happens to be represented.
int scaledStep(int k, int h) { return (300 * k + h) / (2 * h); }

QImage blackPage()
{
    QImage img(FontGrid::PageSize, FontGrid::PageSize, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

QColor grey(int g) { return QColor(g, g, g); }

} // namespace

bool FontRenderer::available()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

int FontRenderer::pixelSize(int pointSize)
{
    return std::max(1, (pointSize * 96 + 36) / 72);
}

QFont FontRenderer::qtFont(const RFont &font)
{
    QFont f;
    f.setFamilies({font.name});
    f.setPixelSize(pixelSize(font.size));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    // Coloured sub-pixel edges would end up in the alpha page as uneven opacity.
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

int FontRenderer::shadowGrey(int shadow)
{
    static constexpr std::array<int, 4> levels = {0, 0x44, 0x88, 0xCC};
    return levels[std::clamp(shadow, 0, 3)];
}

int FontRenderer::fillGrey(int fill, int k, int cellHeight)
{
    switch (fill) {
    case 1:
        return std::min(255, 270 - scaledStep(k, cellHeight));
    case 2:
        return std::min(255, scaledStep(k, cellHeight) + 120);
    case 3:
        return k % 2 ? 0xBB : 0xFF;
    default:
        return 255;
    }
}

FontRenderer::FontRenderer(const RFont &font)
    : m_style(font.outline), m_shadow(font.shadow), m_fill(font.fill), m_font(qtFont(font)),
      m_chars(FontCharset::characters(font.charset))
{
    // Measure against the page device so that layout and drawing agree on the resolution.
    const QImage device(1, 1, QImage::Format_RGB32);
    const QFontMetrics fm(m_font, &device);
    m_ascent = fm.ascent();
    m_maxHeight = fm.height();
    const int extra = (hasShadowA(m_style) ? 1 : 0) + (hasShadowB(m_style) ? 1 : 0);
    for (const QString &c : std::as_const(m_chars)) {
        const int w = c.isEmpty() ? 0 : fm.horizontalAdvance(c);
        m_advances.push_back(w + extra);
        m_maxWidth = std::max(m_maxWidth, w);
    }
    m_grid = FontGrid::forMaxima(m_maxWidth, m_maxHeight, m_style, m_shadow);
}

void FontRenderer::drawText(Page &page, QPoint origin, const QString &text) const
{
    auto baseline = [&](QPoint offset) { return origin + offset + QPoint(0, m_ascent); };
    QPoint copies[2 + kOutlineOffsets.size()];
    int copyCount = 0;
    if (hasShadowA(m_style))
        copies[copyCount++] = kShadowAOffset;
    if (hasShadowB(m_style))
        copies[copyCount++] = kShadowBOffset;
    if (m_style == 3)
        for (QPoint at : kOutlineOffsets)
            copies[copyCount++] = at;
    const auto styleCopies = std::span(copies, copyCount);

    QPainter c(&page.colour);
    c.setFont(m_font);
    c.setPen(Qt::black);
    for (QPoint at : styleCopies)
        c.drawText(baseline(at), text);
    if (m_fill >= 1 && m_fill <= 3) {
        const int h = m_grid.cellHeight;
        for (int k = 1; k <= h; ++k) {
            c.setClipRect(QRect(0, origin.y() + k + 1, page.colour.width(), 1));
            c.setPen(grey(fillGrey(m_fill, k, h)));
            c.drawText(baseline(kGlyphOffset), text);
        }
    } else {
        c.setPen(Qt::white);
        c.drawText(baseline(kGlyphOffset), text);
    }
    c.end();

    QPainter a(&page.alpha);
    a.setFont(m_font);
    if (m_shadow > 0) {
        a.setPen(grey(shadowGrey(m_shadow)));
        a.drawText(baseline(kSoftShadowOffset), text);
    }
    a.setPen(Qt::white);
    for (QPoint at : styleCopies)
        a.drawText(baseline(at), text);
    a.drawText(baseline(kGlyphOffset), text);
}

FontRenderer::Page FontRenderer::renderPage(int page) const
{
    if (!m_grid.fits() || page < 1 || page > m_grid.pages)
        return {};
    Page out{blackPage(), blackPage()};
    const int perPage = m_grid.cellsPerPage();
    const int first = (page - 1) * perPage;
    const int last = std::min(first + perPage, int(m_chars.size()));
    for (int i = first; i < last; ++i)
        if (!m_chars[i].isEmpty())
            drawText(out, m_grid.cellOrigin(i - first), m_chars[i]);
    return out;
}

int FontRenderer::textWidth(const QString &text) const
{
    const QImage device(1, 1, QImage::Format_RGB32);
    return QFontMetrics(m_font, &device).horizontalAdvance(text);
}

QImage FontRenderer::compose(const Page &given, const QColor &background)
{
    const Page page{given.colour.convertToFormat(QImage::Format_RGB32),
                    given.alpha.convertToFormat(QImage::Format_RGB32)};
    if (page.alpha.size() != page.colour.size())
        return {};
    QImage out(page.colour.size(), QImage::Format_RGB32);
    const int bg[3] = {background.red(), background.green(), background.blue()};
    for (int y = 0; y < out.height(); ++y) {
        const auto *colour = reinterpret_cast<const QRgb *>(page.colour.constScanLine(y));
        const auto *alpha = reinterpret_cast<const QRgb *>(page.alpha.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qRed(alpha[x]);
            const int c[3] = {qRed(colour[x]), qGreen(colour[x]), qBlue(colour[x])};
            int v[3];
            for (int i = 0; i < 3; ++i)
                v[i] = (c[i] * a + bg[i] * (255 - a) + 127) / 255;
            line[x] = qRgb(v[0], v[1], v[2]);
        }
    }
    return out;
}

QByteArray FontRenderer::fontData() const
{
    QByteArray text;
    auto line = [&text](int v) { text += QByteArray::number(v) + "\r\n"; };
    line(m_grid.pages);
    line(m_grid.cellWidth);
    line(m_grid.cellHeight);
    line(m_grid.columns);
    line(m_grid.rows);
    for (int w : m_advances)
        line(w);
    return text;
}

} // namespace mb
