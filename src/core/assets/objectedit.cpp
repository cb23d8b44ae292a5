#include "assets/objectedit.h"

#include "assets/sizerules.h"
#include "project/projectmodel.h"

namespace mb::objectedit {

bool applySize(Robj &obj, QSize requested, QSize game)
{
    const QSize size = sizerules::objectSize(requested, game);
    bool changed = obj.width != size.width() || obj.height != size.height();
    obj.width = uint16_t(size.width());
    obj.height = uint16_t(size.height());
    const int maxX = size.width() - 10, maxY = size.height() - 10;
    for (size_t s = 0; s < Robj::States; ++s) {
        // Rows never written hold only empty frames at (0, 0).
        if (!obj.frames.allocated(s))
            continue;
        for (Rframe &f : obj.frames[s]) {
            for (int *x : {&f.x, &f.x2})
                if (*x > maxX)
                    *x = maxX, changed = true;
            for (int *y : {&f.y, &f.y2})
                if (*y > maxY)
                    *y = maxY, changed = true;
        }
    }
    return changed;
}

bool applySize(Robj &obj, const QString &widthText, const QString &heightText, QSize game)
{
    return applySize(obj,
                     QSize(sizerules::fieldValue(widthText, sizerules::objectMaxWidth(game)),
                           sizerules::fieldValue(heightText, sizerules::objectMaxHeight(game))),
                     game);
}

} // namespace mb::objectedit
