#pragma once

#include <QString>

namespace mb {

class MessageCatalog;

// Texts of the room window that the numbered message catalog does not hold, in English and
// German.
enum class RoomText {
    SnapToWalkmap,  // button of the character panel
    FxShape,        // "FX Shape %1", the tabs of the FX panel
    ViewZoom,       // label of the view's zoom
    ZoomFit,        // the zoom that shows the whole screen in the window
    Grid,           // the grid toggle
    UndoPlace,      // "Place %1"
    UndoMove,       // "Move %1"
    UndoRemove,     // "Remove %1"
    UndoOrder,      // "Change the order of %1"
    UndoProperty,   // "Change %1"
    UndoWalkmap,    // "Paint the walkmap"
    UndoCellScript, // "Walkmap script"
    UndoDepthLines, // "Move the depth lines"
    UndoInventory,  // "Change the inventory field"
    UndoFxShape,    // "Change FX shape %1"
    UndoBackground, // "Change the background"
    UndoRoomSize,   // "Change the room size"
    UndoScroll,     // "Scroll the room"
    Count
};

// The text in the catalog's current language (German for "DE", else English).
QString roomText(RoomText text, const MessageCatalog &catalog);

} // namespace mb
