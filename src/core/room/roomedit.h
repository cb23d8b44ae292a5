#pragma once

#include "room/roomgeometry.h"
#include "room/roomview.h"

#include <QPoint>
#include <QRect>
#include <QString>

namespace mb {

class MessageCatalog;
class ProjectModel;
struct Rroom;

// Placing and arranging objects and characters in a room, the depth lines and the inventory
// field: plain operations on the project's records. The room window turns mouse and key events
// into these calls (each inside one edit of the session, so each is one undo step); nothing
// here asks a question or shows anything.
//
// Rooms are given by their slot in the room table (1..1000), object placements by their slot in
// the room (1..200), character placements by their entry in the project's table (1..300).
namespace roomedit {

// --- placing

// A name for a new object placement: the object's name, or the name followed by 1, 2, ... until
// no object placement of any room has it (ASCII letter case ignored). Door with Door and Door1
// placed gives Door2.
QString uniqueObjectInstanceName(const ProjectModel &model, const QString &objectName);
// The same among the 300 character placements.
QString uniqueCharacterInstanceName(const ProjectModel &model, const QString &characterName);

// Places the object at a room point in the first free slot of the room: Front layer, state 1,
// unlocked, an empty script, the depth line of the point's row. Its instance name joins the
// object instance name list. Returns the slot, or 0 when all 200 are used (nothing changes).
int placeObject(ProjectModel &model, int roomSlot, const QString &objectName, QPoint roomPoint);
// Places the character in the room in the first free entry of the project's 300: facing the
// viewer, may move, unlocked, an empty script. Returns the entry, or 0 when all are used.
int placeCharacter(ProjectModel &model, int roomSlot, const QString &characterName, QPoint roomPoint);

// --- moving

// Moves a placement by (dx, dy) as a mouse drag does, axis by axis: an axis whose new value
// would leave the allowed range keeps its old value. An object may hang over the left and top
// edges until 10 pixels of it remain (10 - width < x < room width - 10, likewise y); a character
// stays at 0 <= x < room width - 10 (likewise y). Locked placements do not move. Returns true
// when anything moved.
bool dragBy(ProjectModel &model, int roomSlot, RoomItem item, int dx, int dy);

enum class ArrowKey { Left, Up, Right, Down };
// One pixel in the arrow's direction when the placement is unlocked and stays within
// 0 .. room width - 10 (0 .. room height - 10). Returns true when it moved.
bool nudge(ProjectModel &model, int roomSlot, RoomItem item, ArrowKey key);

// Page Down (forward) and Page Up: the next or previous thing of the room in the cycle
// characters of the room in entry order, then object slots in slot order. From nothing
// selected, forward gives the first thing. None when the room holds nothing.
RoomItem cycleSelection(const ProjectModel &model, int roomSlot, RoomItem current, bool forward);

// --- ordering and removal

// "Set to back": the placement moves to the first slot (entry) and those before it move up by
// one. "Set to front": it moves to the last used slot (entry) and those after it move down by
// one. Returns where it is now (the same item when it was not used).
RoomItem toBack(ProjectModel &model, int roomSlot, RoomItem item);
RoomItem toFront(ProjectModel &model, int roomSlot, RoomItem item);

// Removes the placement and its script: it first goes to the front, then the last used slot is
// cleared, so the others keep their order. Its instance name leaves the instance name list.
// Returns false when the item names no used placement of the room.
bool remove(ProjectModel &model, int roomSlot, RoomItem item);

// The question asked before a removal (messages 214/217 + instance name + 215).
QString removalQuestion(const ProjectModel &model, int roomSlot, RoomItem item, const MessageCatalog &catalog);

// --- depth lines

// The depth row at a room y as the depth lines are picked: the nearest line (rows of
// GameWidth / 32 pixels).
int depthRowAt(int roomY, const RoomMetrics &metrics);
// Which of the two depth lines lies on the row: 1, 2, or 0.
int depthLineAt(const Rroom &room, int row);
// Moves depth line 1 or 2 to the row when it stays in order: line 1 from row 1 up to below
// line 2, line 2 from below line 1 to the last row inside the room. Returns true when it moved.
bool dragDepthLine(Rroom &room, int line, int row, const RoomMetrics &metrics);
// A Middle object's depth line follows the mouse row, kept within 1 .. the room's last row.
bool setObjectDepthLine(Rroom &room, int slot, int row, const RoomMetrics &metrics);

// --- the inventory field

enum class InventoryZone { None, Move, Grid, VerticalScale, HorizontalScale };
// The part of an existing field that a room point grabs: the field itself (move), the corner
// grip (columns and rows), the bar under the bottom edge (vertical scale) or the bar on the right
// edge (horizontal scale). The grips lie over the field and win.
InventoryZone inventoryZoneAt(const Rroom &room, QPoint roomPoint, const RoomMetrics &metrics);

// A drag of a field zone, from the field as it was when the button went down. Applying it again
// with a later mouse point replaces the earlier result, so one drag is one change.
struct InventoryDrag
{
    InventoryZone zone = InventoryZone::None;
    QPoint start;                  // room point of the mouse down
    int left = 0, top = 0, columns = 1, rows = 1;
    double hScale = 1.0, vScale = 1.0;
};
InventoryDrag beginInventoryDrag(const Rroom &room, QPoint roomPoint, const RoomMetrics &metrics);
// Moving keeps the field's corner within 0 .. room size - 10; columns and rows change by whole
// slot steps (1..10, 1..7); the scales by 0.004 per pixel (0.66 .. 1.25). Returns true when the
// room changed.
bool applyInventoryDrag(Rroom &room, const InventoryDrag &drag, QPoint roomPoint, const RoomMetrics &metrics);
// Makes a field from a rubber band in room pixels (see roomgeo::inventoryFieldSlots); false when
// the band is too small for one slot or not drawn right and down.
bool makeInventoryField(Rroom &room, const QRect &band, const RoomMetrics &metrics);

// --- characters and the walkmap

// Puts the character's foot point on the centre of the walkmap cell that holds it. Returns true
// when it moved.
bool snapToWalkmap(ProjectModel &model, int roomSlot, int entry);

} // namespace roomedit
} // namespace mb
