#pragma once

#include "room/roomgeometry.h"
#include "room/roomview.h"

#include <QString>

namespace mb {

class ProjectModel;

// What the room window's panels show for the open room and its selection: the values the
// controls take, read from the project, so that the window only copies them into its widgets.
namespace roompanels {

// The room controls: size in cells, double walkmap, zoom step and the resolution label.
struct RoomControls
{
    bool enabled = false;           // a room is open
    roomgeo::RoomSizeRange range;   // of the spin boxes
    int columns = 0, rows = 0;      // size in cells of RoomMetrics::cell
    bool doubleWalkmap = false;
    int zoomIndex = 0;              // 0..8 for zoom steps 1..9 (others read as the nearest)
    QString resolution;             // "1280x480": the room's size, or the game's without a room
};
RoomControls roomControls(const ProjectModel &model, int roomSlot);

// Which panel shows and what the object and character panels hold.
struct PlacementPanel
{
    enum Page { ObjectPage = 0, CharacterPage = 1, FxPage = 2 };
    Page page = ObjectPage;         // the FX panel in FX mode, else the selected thing's
    bool objectEnabled = false, characterEnabled = false;
    // Object placement.
    QString objectInstance;
    bool objectLocked = false;
    int layer = -1;                 // 0 back, 1 middle, 2 front; -1 none checked
    int state = 0;                  // 0..10 in the state list
    // Character placement.
    QString characterInstance;
    bool characterLocked = false;
    bool immovable = false;         // the box is the inverse of "may move"
    int direction = 0;              // 1 front, 2 back, 3 right, 4 left; 0 none checked
};
PlacementPanel placementPanel(const ProjectModel &model, int roomSlot, RoomItem selection, RoomEditMode mode);

// The selection after the project changed (an undo, a redo, an edit elsewhere): the same slot
// while it still holds the placement of that instance name; else the slot or entry of the room
// that holds it now (an order step undone); else nothing.
RoomItem followSelection(const ProjectModel &model, int roomSlot, RoomItem selection, const QString &instanceName);

} // namespace roompanels
} // namespace mb
