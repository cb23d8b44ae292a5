#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

namespace mb {

// The four exclusive edit modes of the room editor; None is arranging objects and characters.
enum class RoomEditMode { None, Walkmap, Depth, Inventory, Fx };

// The walkmap tool: a pen of 1, 5 or 13 cells, or one of the two cell-script tools.
enum class WalkmapPen { Size1, Size2, Size3, ScriptPen, ScriptEraser };

// A thing in a room that the mouse can point at.
struct RoomItem
{
    enum Kind { None, Object, Character, DepthMarker };
    Kind kind = None;
    int index = 0; // object slot 1..200 (Object, DepthMarker) or character entry 1..300
    bool operator==(const RoomItem &) const = default;
    bool isNone() const { return kind == None; }
    static RoomItem object(int slot) { return {Object, slot}; }
    static RoomItem character(int entry) { return {Character, entry}; }
    static RoomItem depthMarker(int slot) { return {DepthMarker, slot}; }
};

// The selection pulse: the selected thing's corner marks swing from red to yellow and back.
// Starts at 250, falls by 10 per step until it is below 101, then rises by 10 until it reaches
// 250 again.
struct SelectionPulse
{
    int value = 250;
    bool falling = true;
    void step()
    {
        if (falling) {
            value -= 10;
            if (value < 101)
                falling = false;
        } else {
            value += 10;
            if (value >= 250)
                falling = true;
        }
    }
};

// What the room renderer needs besides the project: everything the editor window keeps about
// how the room is being looked at. The command line uses the defaults with the room's scroll
// offset and a mode.
struct RoomView
{
    QPoint scroll;                       // room point shown at the top left of the screen
    RoomEditMode mode = RoomEditMode::None;
    RoomItem selection;                  // drawn with the pulsing corner marks
    RoomItem hover;                      // named in the object line
    int pulse = 250;                     // SelectionPulse::value
    QPoint mouse;                        // mouse on the surface, in game pixels (halved already)
    bool mouseOver = false;              // the walkmap pen cursor is drawn only while true
    WalkmapPen pen = WalkmapPen::Size1;
    QPoint markedCell{-1, -1};           // walkmap cell chosen for script copy; (-1, -1) none
    std::optional<QRect> fieldBand;      // rubber band of a new inventory field, screen pixels
};

} // namespace mb
