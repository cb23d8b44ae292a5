#pragma once

#include "project/projectmodel.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace mb {

class MessageCatalog;

// The character editor's own rules: the 36 actions with their sizes, foot points and speeds, the
// action menu, the start zoom, the font choice and the two markers. Actions are numbered 1..36;
// the first 16 have fixed names, 17..36 the character's extra names.
namespace characteredit {

constexpr int Actions = Rcharacter::States, FixedActions = 16;

// The action list: messages 349-364, then the character's 20 extra names.
QStringList actionNames(const Rcharacter &chr, const MessageCatalog &catalog);
// Only the extra actions can be renamed.
bool canRename(int action);
bool renameAction(Rcharacter &chr, int action, const QString &name);

// Stores the action's width and height after the field rules (10..512; empty or 0 is 100).
bool setActionSize(Rcharacter &chr, int action, QSize requested);
bool setActionSize(Rcharacter &chr, int action, const QString &widthText, const QString &heightText);
bool setSpeed(Rcharacter &chr, int action, int speed);
// The start zoom field's value: 10..300 percent, empty or 0 is 100.
int zoomValue(const QString &text);

// "Delete action": speed 20, no images and script lines (offsets stay), and the size and foot
// point a new action gets in the game's resolution: width round(game width * 0.1875), height
// round(game height * 0.4166), the foot point at the middle of the bottom row.
QSize resetSize(QSize game);
QPoint resetFootPoint(QSize game);
bool resetAction(Rcharacter &chr, int action, QSize game);

// What "Copy action" takes and "Paste action" gives back.
struct ActionClipboard
{
    bool filled = false;
    std::array<Rframe, Rcharacter::Frames> frames{};
    int width = 0, height = 0, footX = 0, footY = 0, speed = 0;
};
ActionClipboard copyAction(const Rcharacter &chr, int action);
bool pasteAction(Rcharacter &chr, int action, const ActionClipboard &clipboard);
// "Equalize all Sizes and Footpoints": the action's width, height and foot point go to every
// action.
bool equalizeSizes(Rcharacter &chr, int action);
// "Equalize all Actions": its frames, width, height, foot point and speed go to every action.
bool equalizeActions(Rcharacter &chr, int action);

// The font box: "Default", then the project's fonts. A stored index past the end (or below 0)
// reads as 0.
QStringList fontChoices(const ProjectModel &model);
int shownFontIndex(int stored, int fontCount);

// The walk speed box holds "1".."9"; the character stores the entry + 1. A stored value out of
// that range shows the default "5".
int shownWalkSpeedEntry(int stored);

// The foot point marker is a 21 x 21 picture centred on the point: it sits at foot point - 11.
QPoint footMarkerPosition(QPoint footPoint);
// Where a dragged marker stops and the foot point it gives: a coordinate outside
// -10 .. size - 11 becomes -11 when it is not positive and size - 11 otherwise; the point is the
// marker's place + 11.
struct FootMarker
{
    QPoint marker;
    QPoint footPoint;
};
FootMarker dragFootMarker(QPoint marker, QSize actionSize);
bool setFootPoint(Rcharacter &chr, int action, QPoint footPoint);
// The marker's hint: "Footpoint of the character : 60 / 199".
QString footPointHint(QPoint footPoint, const MessageCatalog &catalog);
// The alignment marker stays inside the action's box: no further right than width - 10, no
// lower than height - 10.
QPoint keepAlignmentMarker(QPoint marker, QSize actionSize);

} // namespace characteredit
} // namespace mb
