#pragma once

#include <QPoint>

namespace mb {

// The cell layout of a font's 256 x 256 glyph pages: the measured maxima enlarged for the
// outline style and the soft shadow, how many cells fit on a page and how many pages the
// characters 32..255 need.
struct FontGrid
{
    static constexpr int PageSize = 256;
    static constexpr int CharacterCount = 224; // codes 32..255

    int cellWidth = 0, cellHeight = 0;
    int columns = 0, rows = 0;
    int pages = 0;

    // Pixels added to the measured width and height: 2, +1 for any style, +1 more for the
    // outline (style 3), +3 for a soft shadow. 7 in all for style 3 with a shadow.
    static int enlargement(int style, int shadow);

    // The grid for the largest text width and height among the characters. The page count is
    // 224 div (columns x rows) + 1, so an exact fit still ends in one empty page. A cell too
    // large for a page gives columns or rows 0 and pages 0 (see fits()).
    static FontGrid forMaxima(int maxWidth, int maxHeight, int style, int shadow);

    bool fits() const { return columns > 0 && rows > 0; }
    int cellsPerPage() const { return columns * rows; }
    // Top-left corner of cell n (0-based, row by row, left to right) on its page.
    QPoint cellOrigin(int n) const { return {(n % columns) * cellWidth, (n / columns) * cellHeight}; }
};

} // namespace mb
