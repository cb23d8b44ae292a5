#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

namespace mb {

class MessageCatalog;
struct CommandList;
struct Rmouse;

// The mouse cursor editor's own rules: the command a cursor stands for and its click point.
// Cursors are numbered 1..10.
namespace cursoredit {

// The command box: "Walkto (standard)", "Loading Icon", then the game commands that have a name,
// in their order. A cursor stores the 1-based entry.
QStringList commandEntries(const CommandList &commands, const MessageCatalog &catalog);
// The first and the last cursor keep their command: their box is disabled.
bool commandEditable(int cursor);
// The entry a stored command shows: itself, or 1 when it lies beyond the entries (or is 0).
int shownCommand(int stored, int entryCount);
// Stores the entry; false when the cursor is out of range or already stores it.
bool setCommand(Rmouse &mouse, int cursor, int entry);

// The click point is shown by a 21 x 21 marker in the view that draws the cursor three times
// larger: the marker of point (x, y) sits at (3x - 8, 3y - 8).
QPoint clickMarkerPosition(QPoint clickPoint);
// Where a dragged marker stops and the click point it gives. A coordinate left of -10 (above)
// becomes -11, one right of 89 (below) 89; it is then brought down to the multiple of 3 at or
// below it, and the point is ((left + 11) div 3, (top + 11) div 3): 0..32 on each axis.
struct ClickMarker
{
    QPoint marker;
    QPoint clickPoint;
};
ClickMarker dragClickMarker(QPoint marker);
bool setClickPoint(Rmouse &mouse, int cursor, QPoint clickPoint);
// The marker's hint: "Click Point : 3 / 7".
QString clickPointHint(QPoint clickPoint, const MessageCatalog &catalog);

} // namespace cursoredit
} // namespace mb
