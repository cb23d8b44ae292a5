#include "build/fontgrid.h"

namespace mb {

int FontGrid::enlargement(int style, int shadow)
{
    return 2 + (style > 0 ? 1 : 0) + (style == 3 ? 1 : 0) + (shadow > 0 ? 3 : 0);
}

FontGrid FontGrid::forMaxima(int maxWidth, int maxHeight, int style, int shadow)
{
    FontGrid g;
    const int grow = enlargement(style, shadow);
    g.cellWidth = maxWidth + grow;
    g.cellHeight = maxHeight + grow;
    g.columns = PageSize / g.cellWidth;
    g.rows = PageSize / g.cellHeight;
    g.pages = g.fits() ? CharacterCount / g.cellsPerPage() + 1 : 0;
    return g;
}

} // namespace mb
