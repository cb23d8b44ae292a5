#pragma once

#include <QRect>

namespace mb {

class Canvas;
class MessageCatalog;
class ProjectModel;
class RoomImageCache;
struct RoomView;

// Draws one frame of a room as the room editor shows it: parallax background and background,
// Back objects, the depth rows (Middle objects and characters by the row of their feet, zoomed
// by depth), Front objects, corner marks with the selection pulse and depth markers, the overlay
// of the view's edit mode (FX shapes, inventory field, depth lines or walkmap) and the status
// texts. A room with nothing to show gets message 201 instead of its backgrounds.
//
// The canvas is GameWidth x GameHeight; the frame is begun and presented here. With `dirty`
// given only that part of the target is drawn (the rest keeps its pixels), else all of it. A
// slot that holds no room clears the target.
//
// Images are taken from `images`, loading the ones not yet there; the files that could not be
// read are left in images.takeProblems(). The project is not changed.
void renderRoom(Canvas &canvas, const ProjectModel &model, int roomSlot, const RoomView &view,
                RoomImageCache &images, const MessageCatalog &catalog, const QRect &dirty = QRect());

} // namespace mb
