#include "room/walkmappen.h"

#include "project/projectmodel.h"

namespace mb::walkmappen {

namespace {

bool onGrid(QPoint c)
{
    return c.x() >= 1 && c.x() <= Walkmap::Columns && c.y() >= 1 && c.y() <= Walkmap::Rows;
}

bool hasScript(const Walkmap &w, QPoint c)
{
    return onGrid(c) && w.hasScript(c.x(), c.y());
}

} // namespace

std::vector<QPoint> penCells(WalkmapPen pen, QPoint cell)
{
    // The cell, its four neighbours (size 2), then the cells two away and the diagonals (size 3).
    static constexpr int offsets[13][2] = {{0, 0},  {-1, 0}, {1, 0},  {0, -1},  {0, 1},  {-2, 0}, {2, 0},
                                           {0, -2}, {0, 2},  {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    const int count = pen == WalkmapPen::Size3 ? 13 : pen == WalkmapPen::Size2 ? 5 : 1;
    std::vector<QPoint> cells;
    for (int i = 0; i < count; ++i) {
        const QPoint c = cell + QPoint(offsets[i][0], offsets[i][1]);
        if (onGrid(c))
            cells.push_back(c);
    }
    return cells;
}

bool applyTool(Walkmap &walkmap, WalkmapPen pen, bool block, QPoint cell, QPoint &marked)
{
    if (!onGrid(cell))
        return false;
    if (pen == WalkmapPen::ScriptPen)
        return pasteScript(walkmap, marked, cell);
    if (pen == WalkmapPen::ScriptEraser)
        return eraseScript(walkmap, cell, marked);
    bool changed = false;
    for (const QPoint &c : penCells(pen, cell))
        if (walkmap.blocked(c.x(), c.y()) != block) {
            walkmap.setBlocked(c.x(), c.y(), block);
            changed = true;
        }
    return changed;
}

bool eraseScript(Walkmap &walkmap, QPoint cell, QPoint &marked)
{
    if (!hasScript(walkmap, cell))
        return false;
    walkmap.removeScript(cell.x(), cell.y());
    walkmap.setHasScript(cell.x(), cell.y(), false);
    if (marked == cell)
        marked = NoCell;
    return true;
}

bool pasteScript(Walkmap &walkmap, QPoint &marked, QPoint target)
{
    if (!hasScript(walkmap, marked)) {
        marked = NoCell;
        return false;
    }
    // The source would be emptied before it is copied; a cell pasted onto itself stays as it is.
    if (!onGrid(target) || target == marked)
        return false;
    const Script *source = walkmap.findScript(marked.x(), marked.y());
    const Script lines = source ? *source : Script();
    const bool had = walkmap.hasScript(target.x(), target.y());
    const Script *old = walkmap.findScript(target.x(), target.y());
    if (had && old && *old == lines)
        return false;
    walkmap.setHasScript(target.x(), target.y(), true);
    walkmap.script(target.x(), target.y()) = lines;
    return true;
}

bool ensureScript(Walkmap &walkmap, QPoint cell)
{
    if (!onGrid(cell) || walkmap.hasScript(cell.x(), cell.y()))
        return false;
    walkmap.setHasScript(cell.x(), cell.y(), true);
    walkmap.script(cell.x(), cell.y()).clear();
    return true;
}

PenMenuState penMenuState(const Walkmap &walkmap, QPoint mouseCell, QPoint marked)
{
    PenMenuState s;
    s.copyScript = hasScript(walkmap, mouseCell);
    s.pasteScript = s.scriptPen = marked != NoCell;
    return s;
}

} // namespace mb::walkmappen
