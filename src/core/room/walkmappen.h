#pragma once

#include "room/roomgeometry.h"
#include "room/roomview.h"

#include <QPoint>

#include <vector>

namespace mb {

class Walkmap;
class ProjectModel;

// Painting a room's walkmap and the scripts of its cells. Cells are (column, row), 1-based; a
// marked cell of (-1, -1) means none is marked. The room window calls these for every mouse
// down and move of a stroke (the whole stroke one edit of the session) and for the pen menu.
namespace walkmappen {

inline constexpr QPoint NoCell{-1, -1};

// The cells a pen covers around a cell: 1 for size 1; the cell and its four neighbours for size
// 2; size 3 adds the cells two away in line and the four diagonal neighbours (13). Only cells of
// the grid (columns 1..192, rows 1..96) are given. The script tools cover their one cell.
std::vector<QPoint> penCells(WalkmapPen pen, QPoint cell);

// One step of a stroke of the tool at a cell:
// - a pen sets the covered cells blocked (`block`) or free;
// - the script paster pastes the marked cell's script into the cell (see pasteScript);
// - the script eraser removes the cell's script, and unmarks the cell when it was marked.
// Returns true when the walkmap changed.
bool applyTool(Walkmap &walkmap, WalkmapPen pen, bool block, QPoint cell, QPoint &marked);

// Removes the cell's script; unmarks the cell when it was marked. True when it had one.
bool eraseScript(Walkmap &walkmap, QPoint cell, QPoint &marked);

// Copies every line of the marked cell's script into the target cell's script (created when
// missing; its earlier lines are replaced). When the marked cell has no script (any more) the
// mark is cleared and nothing is pasted. Pasting a cell onto itself keeps its script as it is.
// Returns true when the walkmap changed.
bool pasteScript(Walkmap &walkmap, QPoint &marked, QPoint target);

// Gives the cell an empty script unless it has one (a double click, "Edit Script"); an existing
// script is kept. Returns true when one was created.
bool ensureScript(Walkmap &walkmap, QPoint cell);

// Which items of the pen menu are enabled for the cell under the mouse.
struct PenMenuState
{
    bool copyScript = false;  // the cell has a script
    bool pasteScript = false; // a cell is marked
    bool scriptPen = false;   // a cell is marked
};
PenMenuState penMenuState(const Walkmap &walkmap, QPoint mouseCell, QPoint marked);

} // namespace walkmappen
} // namespace mb
