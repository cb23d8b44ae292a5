#pragma once

#include "room/roomgeometry.h"
#include "room/roomview.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace mb {

class ProjectModel;
struct Rcharacter;
struct Robj;
struct Rroom;
struct Rroomchar;
struct Rroomobj;

// How a placed character is drawn: which state, mirrored or not, at which zoom.
struct CharacterPose
{
    int state = 1;         // 1-based state of the character drawn
    bool mirrored = false; // facing left without own left frames: the right-facing state flipped
    double zoom = 1.0;     // depth zoom times the character's scale, at least 0.05
    QPoint foot;           // foot point of the state, inside the frame box
    QSize size;            // the state's frame box, unscaled
    int footRow = 1;       // depth row of the foot (rows of GameWidth / 32), at least 1
};

// The pose of a placement. Directions: 1 front, 2 back, 3 right, 4 left (state 3 mirrored, or
// state 33 "Stand Left" when the character has its own left frames); anything else counts as 1.
// The foot row and the zoom follow the state that is drawn.
CharacterPose characterPose(const Rcharacter &character, const Rroomchar &placement, const Rroom &room,
                            const RoomMetrics &metrics);
// The zoom of a character whose foot is at the (fractional) depth row f: its own scale at or
// below depth line 2, shrinking by zoom step % per row up to line 1 and staying there above it;
// never below 0.05.
double characterZoom(const Rcharacter &character, const Rroom &room, double footRow);

// One room's placements resolved to their definitions, in the order they are drawn: Back
// objects in slot order; then for each depth row 1..72 the Middle objects of that row in slot
// order followed by the characters whose foot is in that row, in entry order; then Front
// objects. Things later in the list are drawn over earlier ones, and the mouse finds the last.
//
// A scene points into the model and is valid until the model changes.
class RoomScene
{
public:
    struct Entry
    {
        RoomItem item;                      // Object or Character
        QRect box;                          // frame box in room pixels, unscaled
        const Rroomobj *object = nullptr;   // with its definition (null when it is missing)
        const Robj *objectDef = nullptr;
        int layer = 0;                      // objects: 0 Back, 1 Middle, 2 Front
        const Rroomchar *character = nullptr;
        const Rcharacter *characterDef = nullptr;
        CharacterPose pose;
    };

    // An empty scene when the slot holds no room.
    RoomScene(const ProjectModel &model, int roomSlot);

    const Rroom *room() const { return m_room; }
    const RoomMetrics &metrics() const { return m_metrics; }
    const std::vector<Entry> &entries() const { return m_entries; }
    // True when the room shows something besides characters: a background, a parallax
    // background or a placed object in the first slot.
    bool hasContent() const;

    // The topmost thing at a room point (frame boxes exclusive of their edges; a Middle
    // object's depth marker within 6 pixels), and in `below` the one found before it.
    RoomItem hitTest(QPoint roomPoint, RoomItem *below = nullptr) const;

private:
    const Rroom *m_room = nullptr;
    RoomMetrics m_metrics;
    std::vector<Entry> m_entries;
};

} // namespace mb
