#pragma once

#include "room/roomgeometry.h"

#include <QPoint>
#include <QSize>

namespace mb {

struct Rfxshape;
struct Rroom;

// The three FX shapes of a room: which handle the mouse is over, dragging a whole shape, one
// corner or a wall mirror's line, and the shape's settings with the controls that depend on
// them. Shapes are numbered 1..3, corners 1..4; positions are room pixels.
namespace fxshapes {

enum Effect { FloorMirror = 0, WallMirror = 1, ParticleBarrier = 2 };

struct Handle
{
    enum Kind { None, Whole, Corner, MirrorLine };
    Kind kind = None;
    int shape = 0;  // 1..3
    int corner = 0; // 1..4 for Corner
    bool operator==(const Handle &) const = default;
    bool isNone() const { return kind == None; }
};

// The handle under a room point. Active shapes are looked at in order 1..3: the drag point
// (closer than 11 pixels in both axes) grabs the whole shape, a corner (closer than 6) that
// corner, and for a wall mirror the line marker below the drag point (closer than 6) the mirror
// line. A later hit wins over an earlier one.
Handle handleAt(const Rroom &room, QPoint roomPoint, const RoomMetrics &metrics);

// Moves every corner by dx when all stay within 1 .. room width - 1, and by dy when all stay
// within 1 .. room height - 1 (each axis on its own); the drag point follows. True when moved.
bool dragWhole(Rfxshape &shape, int dx, int dy, QSize roomSize);
// Moves one corner, each axis only when it stays within the same limits. True when moved.
bool dragCorner(Rfxshape &shape, int corner, int dx, int dy, QSize roomSize);
// A wall mirror's line: the line it had when the drag began, plus the mouse's way down since
// then in whole rows (GameWidth / 32), kept within 1 .. room height / row. True when changed.
bool dragMirrorLine(Rfxshape &shape, int lineAtStart, int dyFromStart, int roomHeight, const RoomMetrics &metrics);
// The mirror image offset of the preview: twice the mouse movement, offset x within
// -100 .. 100 and offset y within -100 .. 60. True when changed.
bool dragOffset(Rfxshape &shape, int dx, int dy);

// Turning a shape on starts it as a floor mirror; turning it off keeps its settings.
void setActive(Rfxshape &shape, bool active);
// The effect kind (0..2); the strength and the other settings are kept for a later change back.
void setEffect(Rfxshape &shape, int effect);

// What the FX tab's controls show for a shape.
struct Controls
{
    bool active = false;
    bool effectEnabled = false;   // the effect label and list
    bool strengthEnabled = false;
    bool previewVisible = false;  // the wall mirror's offset preview
    QPoint backCharPos;           // left, top of the mirrored figure in the preview
    bool roomPositionEnabled = false;
};
Controls controls(const Rfxshape &shape);

} // namespace fxshapes
} // namespace mb
