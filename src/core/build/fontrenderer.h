#pragma once

#include "build/fontgrid.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace mb {

struct RFont;

// Renders one font of the font table into the glyph pages the game runtime draws text from.
//
// A page is a pair of 256 x 256 images: the colour page (black background, glyphs in white or
// the fill's greys, outline and hard-shadow copies in black) and the alpha page of the same
// layout (black transparent, white opaque, the soft shadow in grey). Character code 32 goes
// into the first cell of page 1, the following codes into the following cells, row by row.
//
// The typeface is taken by name from the system's font database, at the pixel height that the
// point size has on a 96 dpi screen; missing glyphs come from the system's fallback fonts.
// Anti-aliasing is grey only, so every pixel has equal red, green and blue.
//
// Needs a QGuiApplication (the font database lives there); use available() first.
class FontRenderer
{
public:
    struct Page
    {
        QImage colour, alpha; // Format_RGB32
    };

    // Whether fonts can be rendered in this process, i.e. a QGuiApplication exists.
    static bool available();
    // The Qt font for the record: typeface, pixel size, bold, italic.
    static QFont qtFont(const RFont &font);
    // Pixel height of a point size on a 96 dpi screen, rounded; at least 1.
    static int pixelSize(int pointSize);
    // Grey level of the soft shadow on the alpha page (0x44, 0x88, 0xCC); 0 without shadow.
    // Values above 3 count as 3.
    static int shadowGrey(int shadow);
    // Grey level of the k-th pixel row (k = 1..cellHeight) of a glyph under a fill (1, 2, 3);
    // 255 for fill 0 and unknown fills.
    static int fillGrey(int fill, int k, int cellHeight);

    // Measures the record's characters and lays out the grid. The record is copied.
    explicit FontRenderer(const RFont &font);

    const FontGrid &grid() const { return m_grid; }
    // Largest text width and height among the characters, before enlarging.
    int maxTextWidth() const { return m_maxWidth; }
    int maxTextHeight() const { return m_maxHeight; }
    // The advance width of each code 32..255: its text width, +1 for style 1 or 3, +1 for
    // style 2 or 3.
    const std::vector<int> &advanceWidths() const { return m_advances; }
    // The characters drawn for codes 32..255 (see FontCharset::characters).
    const QStringList &characters() const { return m_chars; }

    // Draws page 1..grid().pages; a null pair outside that range or when the grid does not fit.
    Page renderPage(int page) const;

    // Draws `text` into a pair of images of any size, as a glyph page draws a character:
    // `origin` is the top left corner of its cell (the glyph itself sits at +3, +2), the fill's
    // rows count from there over the grid's cell height. The images start black.
    void drawText(Page &page, QPoint origin, const QString &text) const;
    // Width of `text` in the font, without the style copies.
    int textWidth(const QString &text) const;
    // A pair laid over a background as the game shows text: each channel is
    // colour x alpha + background x (1 - alpha).
    static QImage compose(const Page &page, const QColor &background);

    // The fontdata file: page count, cell width, cell height, columns, rows, then the 224
    // advance widths, one number per line, every line ended by CR LF.
    QByteArray fontData() const;

private:
    int m_style = 0, m_shadow = 0, m_fill = 0;
    QFont m_font;
    int m_ascent = 0;
    QStringList m_chars;
    std::vector<int> m_advances;
    int m_maxWidth = 0, m_maxHeight = 0;
    FontGrid m_grid;
};

} // namespace mb
