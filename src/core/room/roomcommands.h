#pragma once

#include "project/projectsession.h"
#include "room/fxshapes.h"
#include "room/roomedit.h"
#include "room/roomtexts.h"
#include "room/roomview.h"
#include "room/walkmappen.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

namespace mb {

struct Rfxshape;
struct Rroomchar;
struct Rroomobj;

// The room editor's changes of one room as undo steps of the session: every call is one edit
// with its text ("Move lamp", "Paint the walkmap" ...), and calls given the same non-zero merge
// key join one step until the session's gesture ends (a drag, a stroke, a run of arrow keys).
// The room window turns mouse, keys, panels and menus into these calls; tests call them
// directly.
//
// An edit copies only what a room change can write: the room's own record, the character
// placements of the room, and the object and character instance name lists. Placing, ordering
// and removing characters (which shift entries of the project's whole placement table) copy that
// table too. So a drag stays cheap however many rooms the project holds.
//
// Each call returns whether the project changed. Calls on a slot that holds no room change
// nothing.
class RoomCommands
{
public:
    using MergeKey = ProjectSession::MergeKey;

    RoomCommands(ProjectSession &session, int roomSlot);

    // Runs `change` on the project as one step (see above); `allCharacters` when it may write
    // character placements of other rooms or free entries.
    bool change(const QString &text, const std::function<bool(ProjectModel &)> &change, MergeKey merge = 0,
                bool allCharacters = false);

    // The instance name of a placement (object slot, depth marker slot, character entry).
    QString placementName(RoomItem item) const;

    // --- placing, moving, ordering, removing

    // Places an object or a character at a room point (see roomedit::placeObject and
    // placeCharacter); the slot or entry, 0 when nothing was placed.
    int placeObject(const QString &objectName, QPoint roomPoint);
    int placeCharacter(const QString &characterName, QPoint roomPoint);
    bool dragBy(RoomItem item, QPoint delta, MergeKey merge);
    bool nudge(RoomItem item, roomedit::ArrowKey key, MergeKey merge);
    bool snapToWalkmap(int entry);
    // Set to back / to front; where the placement is afterwards.
    RoomItem order(RoomItem item, bool front);
    bool remove(RoomItem item);

    // --- properties of placements

    // Runs `set` on the object placement of the slot (a used one) as "Change NAME".
    bool setObject(int slot, const std::function<void(Rroomobj &)> &set, MergeKey merge = 0);
    // The same for a character placement of the room.
    bool setCharacter(int entry, const std::function<void(Rroomchar &)> &set, MergeKey merge = 0);

    // --- the room's own settings

    // The background image or the parallax background; an empty name removes it.
    bool setBackground(const QString &image, bool parallax);
    // Size in cells of RoomMetrics::cell, clamped as roomgeo::setRoomSize does.
    bool setRoomSize(int columns, int rows);
    // The double walkmap changes the walkmap's cell size only; the cells stay as they are.
    bool setDoubleWalkmap(bool on);
    // Zoom step 1..9 of the characters between the depth lines.
    bool setZoomStep(int step);
    // The scroll offset the room opens with, kept within the room.
    bool setScroll(QPoint scroll, MergeKey merge = 0);

    // --- depth lines

    bool dragDepthLine(int line, int row, MergeKey merge);
    bool setObjectDepthLine(int slot, int row, MergeKey merge);

    // --- the inventory field

    bool dragInventory(const roomedit::InventoryDrag &drag, QPoint roomPoint, MergeKey merge);
    bool makeInventoryField(const QRect &band);
    bool removeInventoryField();

    // --- the walkmap (marked: the view's marked cell, which the script tools may change)

    bool paint(WalkmapPen pen, bool block, QPoint cell, QPoint &marked, MergeKey merge);
    bool pasteCellScript(QPoint &marked, QPoint target);
    bool ensureCellScript(QPoint cell);

    // --- FX shapes (shape 1..3)

    // A drag of a handle by `delta` since the last step; a mirror line follows the way down
    // `dyFromStart` since the drag began from the line it had then.
    bool dragFxHandle(const fxshapes::Handle &handle, QPoint delta, int dyFromStart, int lineAtStart, MergeKey merge);
    bool setFxShape(int shape, const std::function<void(Rfxshape &)> &set, MergeKey merge = 0);

private:
    const Rroom *room() const;
    QString text(RoomText which) const;

    ProjectSession &m_session;
    int m_room;
};

} // namespace mb
