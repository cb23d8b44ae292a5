#pragma once

#include "room/roomview.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace mb {

class ProjectModel;
struct GameSettings;
struct Rfxshape;
struct Rroom;
struct Rroomobj;

// The sizes that follow from the game's resolution and a room's double walkmap flag.
struct RoomMetrics
{
    int gameWidth = 640, gameHeight = 480;
    // GameWidth / 32 (10, 20, 25, 32): depth rows, depth lines and room size steps are counted in
    // these, also in rooms with the double walkmap.
    int cell = 20;
    // The walkmap's cell: GameWidth / 32, or GameWidth / 64 with the double walkmap (12.5 in an
    // 800-wide game).
    double walkCell = 20;
    bool doubleWalkmap = false;
    int rowsPerScreen = 24; // 20 for 320 x 200, else 24

    static RoomMetrics of(const GameSettings &settings, const Rroom *room = nullptr);
    // A game 320 pixels wide is shown at twice the size in the editor.
    bool shownDoubled() const { return gameWidth == 320; }
    double textScale() const { return gameWidth == 320 ? 0.75 : 1.0; }
    // The walkmap cells the mouse can reach: 96 x 48, or 192 x 96 with the double walkmap.
    int walkColumns() const { return doubleWalkmap ? 192 : 96; }
    int walkRows() const { return doubleWalkmap ? 96 : 48; }
};

// Where the room editor draws things and where the mouse finds them. The renderer and the
// editor's mouse handling both call these, so what is drawn is what is hit. Room points are
// pixels of the room image; screen points are room points minus the scroll offset.
namespace roomgeo {

// Depth rows that are drawn; a character whose foot is in a lower row is not drawn.
constexpr int DepthRows = 72;

// A frame box on the screen as its two corners, each clamped to the screen.
struct ScreenBox
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const ScreenBox &) const = default;
};
// The screen box of a frame box given in room pixels, clamped to 0..GameWidth, 0..GameHeight.
ScreenBox markBox(const QRect &roomBox, QPoint scroll, const RoomMetrics &metrics);
// The eight corner marks of a box; none when the box is narrower or lower than 5 pixels.
std::vector<QLine> cornerMarks(const ScreenBox &box);

// Room point of a Middle object's depth marker: the object's x at the middle of its depth row.
QPoint depthMarkerPoint(const Rroomobj &placement, const RoomMetrics &metrics);
// The y of a depth line (in rows of `cell`) in room pixels.
inline int depthLineY(int line, const RoomMetrics &metrics) { return line * metrics.cell; }

// A point on the room surface of the window to a room point: halved (toward zero) in a game
// 320 pixels wide, where the surface shows every pixel twice, then shifted by the scroll offset.
QPoint surfaceToRoom(QPoint surface, QPoint scroll, const RoomMetrics &metrics);

// The walkmap cell (column, row, 1-based) that holds a room point, kept within the cells the
// grid reaches (RoomMetrics::walkColumns, walkRows).
QPoint walkmapCellAt(QPoint roomPoint, const RoomMetrics &metrics);
// The cell's square in room pixels (left and top of column 1, row 1 are 0).
QRectF walkmapCellRect(int column, int row, const RoomMetrics &metrics);
// The grid drawn over a room: round(width / cell) columns and round(height / cell) rows, never
// more than the walkmap holds.
QSize walkmapGridSize(const Rroom &room, const RoomMetrics &metrics);
// The colour (0x00RRGGBB) by which a cell's script is recognised: from the line count and the
// character codes (Windows-1252) of the first line; a script without lines is 0x800000.
uint32_t walkmapScriptColour(int lineCount, const QString &firstLine);
// Radius of the pen cursor's circle.
double penRadius(WalkmapPen pen, const RoomMetrics &metrics);

// An FX shape's drag point: the mean of its corners, rounded.
QPoint fxDragPoint(const Rfxshape &shape);
// The corners as room points.
std::array<QPoint, 4> fxCorners(const Rfxshape &shape);
// Room point of a wall mirror's line marker: below the drag point, on the mirror line.
QPoint fxMirrorPoint(const Rfxshape &shape, const RoomMetrics &metrics);

// The inventory field as drawn, in room pixels.
struct InventoryFieldLayout
{
    int slotSize = 50;      // 50, or 25 in a game 320 pixels wide
    int stepX = 60, stepY = 60;
    QRect outer;            // outlined box around the slots, 30 pixels wider and 5 lower
    QRect bottomBar;        // 30 x 5, centred on the bottom edge: vertical scale
    QRect rightBar;         // 5 x 30, centred on the right edge: horizontal scale
    QPoint grip;            // bottom-right corner of the outer box: columns and rows
    std::vector<QRect> cells; // the slots, row by row
};
InventoryFieldLayout inventoryField(const Rroom &room, const RoomMetrics &metrics);
// The new field a rubber band (room pixels) makes: columns and rows, or an empty size when the
// band is too small for one slot.
QSize inventoryFieldSlots(const QRect &band, const RoomMetrics &metrics);

// The sizes a room may have, in cells of RoomMetrics::cell: one to three screens wide, one to
// two screens high.
struct RoomSizeRange
{
    int minColumns = 32, maxColumns = 96, minRows = 24, maxRows = 48;
};
RoomSizeRange roomSizeRange(const RoomMetrics &metrics);
// Sets the room's size in cells (kept within the range), then clamps as correctpos() does.
void setRoomSize(ProjectModel &model, int roomSlot, int columns, int rows);
// The room window's client area: the room surface (doubled for a game 320 pixels wide) over the
// 115 pixels of the panels.
QSize roomWindowClientSize(const RoomMetrics &metrics);

// Clamps a room's placements, scroll offset and depth lines after its size changed: objects and
// the room's characters at most 10 pixels before the right and bottom edge, object depth lines
// inside the room, the scroll offset within the room, depth line 2 above the bottom and line 1
// above line 2.
void correctpos(ProjectModel &model, int roomSlot);

} // namespace roomgeo
} // namespace mb
