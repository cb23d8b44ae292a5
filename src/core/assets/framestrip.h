#pragma once

#include "assets/frameaccess.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace mb {

class MessageCatalog;

// The frame-strip mechanics that the object, character, item and mouse cursor editors share:
// strip geometry, the animation speed and test loop, moving, copying and removing frames,
// copying a state over another, dropping images and sounds, moving images inside the element's
// box and the per-frame script line. Plain operations on the records through FrameAccess; the
// windows ask the questions and run each call inside one edit of the session. States and frames
// are numbered from 1. Operations return true when they changed the record.
namespace framestrip {

// --- strips

// The box under x in a strip of `count` boxes of `boxWidth` pixels: (x - 3) div boxWidth + 1,
// or 0 left of the first and right of the last box.
int boxAt(int x, int boxWidth, int count);
// Box k of a strip: x from (k - 1) * boxWidth + 1 to k * boxWidth, y from 1 to 20 (inclusive).
QRect boxRect(int k, int boxWidth);

// --- speed and the animation test

constexpr int MinSpeed = 1, MaxSpeed = 100, DefaultSpeed = 20;
// The speed bar's position for a stored speed: 0 (a new element) reads as 20, more than 100 as
// 100.
int barSpeed(int stored);
// Milliseconds one frame lasts at the speed: round(1000 / (50 / speed)), i.e. 20 * speed.
int frameInterval(int speed);
// Pictures per second, 50 / speed, written with the decimal separator and cut to four
// characters, or to three when the second one is a comma (20 -> "2.5", 3 -> "16.6").
QString picturesPerSecond(int speed, QChar decimalSeparator);
// The speed bar's label: "Speed 2.5 Pics/Sec" (the German catalog writes a decimal comma).
QString speedLabel(int speed, const MessageCatalog &catalog);

// The loop length of the animation test: the highest frame of the state that has an image
// (first or second), 0 when the state has none (then nothing animates).
int animationLength(const FrameView &view, int state);
// The frame after `frame` in a loop of `length` frames: frame + 1, or 1 after the last.
int nextAnimationFrame(int frame, int length);

// --- frames in the strip

enum class FrameDrop { Move, Copy };
// A frame dragged within the strip may be dropped only on another frame that has no image.
bool canDropFrame(const FrameView &view, int state, int from, int to);
// Copy: the whole slot (images, script line, offsets) over the target. Move: the same, then the
// source loses its images (its script line and offsets stay). Nothing when the drop is refused.
bool dropFrame(FrameAccess &access, int state, int from, int to, FrameDrop how);
// Removes both images of the frame; its script line and offsets stay.
bool removeImages(FrameAccess &access, int state, int frame);

// --- states

// A state dragged in the state strip may be dropped on any other state box.
bool canDropState(const FrameView &view, int from, int to);
// Copies every frame and the speed of state `from` over state `to`.
bool copyState(FrameAccess &access, int from, int to);
// The question before the copy: "Exchange the state <to> with the state <from> ?" (mouse cursors:
// Copy the Mouseicon "<from>" to "<to>"?).
QString stateDropQuestion(AssetKind kind, int from, int to, const MessageCatalog &catalog);

// --- images

enum class ImagePlace { None, First, Second };
enum class PreviewSpot { Background, FirstImage, SecondImage };

// Where an image dropped on the preview goes, and whether it replaces an image there. A
// replacement of objects and characters asks `question` (245 "Exchange first image?", 246
// "Exchange second image?") unless silent delete is on; items and cursors replace their one
// image without asking.
struct ImageDropPlan
{
    ImagePlace place = ImagePlace::None;
    bool replaces = false;
    int question = 0;
    static ImageDropPlan at(ImagePlace place, bool replaces = false, int question = 0)
    {
        ImageDropPlan plan;
        plan.place = place;
        plan.replaces = replaces;
        plan.question = question;
        return plan;
    }
};
ImageDropPlan planPreviewDrop(const FrameView &view, int state, int frame, PreviewSpot spot, bool silentDelete);

// An image dragged from the media tree onto a frame box: objects and characters accept it only
// on a frame with a free image place; items and cursors always (replacing the image).
bool canDropImageOnFrame(const FrameView &view, int state, int frame);
// The plan of such a drop (as if dropped on the preview background; never a question) and the
// offset it gets: (box width div 3, box height div 3) when the frame has a first image, else
// (0, 0).
ImageDropPlan planFrameDrop(const FrameView &view, int state, int frame);
QPoint frameDropOffset(const FrameView &view, int state, int frame);

// What placing an image needs besides the plan.
struct ImageDrop
{
    QString image;     // media name
    QPoint position;   // drop point in the preview (element box) for an image that fills an
                       // empty place; negatives become 0, and it stays inside the box
    bool fitImages = false; // the editor's "Fit Images" option
    QSize imageSize;   // the decoded image's size, for Fit Images; may be empty
    QSize gameSize{640, 480};
};
// Places the image as planned. A replaced image keeps its offset. When the element had no image
// in any state and Fit Images is on, the image sits at (0, 0) and the box (the object's size, the
// character's action size) becomes the image's size, within the size rules of the kind.
bool placeImage(FrameAccess &access, int state, int frame, const ImageDropPlan &plan, const ImageDrop &drop);

// The furthest an image may sit inside a box: (width - 10, height - 10), never below 0.
QPoint maxOffset(QSize box);
// Moves image 1 or 2 of the frame to the position, kept within 0 .. maxOffset (a mouse drag).
bool moveImageTo(FrameAccess &access, int state, int frame, int image, QPoint position);
// One arrow key step: the image moves by (dx, dy) unless that leaves 0 .. maxOffset.
bool nudgeImage(FrameAccess &access, int state, int frame, int image, int dx, int dy);
// Removes image 1 or 2 of the frame (its offset stays).
bool removeImage(FrameAccess &access, int state, int frame, int image);
// The image (1 or 2) at a point of the preview: the second image lies over the first and wins.
// `sizeOf` gives the size of an image name (empty when unknown). 0 for the background.
template <typename SizeOf>
int imageAt(const FrameView &view, int state, int frame, QPoint point, SizeOf &&sizeOf)
{
    const FrameSlot f = view.frame(state, frame);
    if (!f.image2.isEmpty() && QRect(QPoint(f.x2, f.y2), sizeOf(f.image2)).contains(point))
        return 2;
    if (!f.image.isEmpty() && QRect(QPoint(f.x, f.y), sizeOf(f.image)).contains(point))
        return 1;
    return 0;
}

// --- sounds and script lines

// A sound dragged onto a frame box is accepted when the kind has script lines and the frame's
// line is empty.
bool canDropSound(const FrameView &view, int state, int frame);
// Sets the frame's script line to "playsound (" + sound + ")" when accepted.
bool dropSound(FrameAccess &access, int state, int frame, const QString &sound);
bool setScriptLine(FrameAccess &access, int state, int frame, const QString &line);
// The script line dialog's title: "Scriptline for Frame  3/7  (door)".
QString scriptLineTitle(int state, int frame, const QString &elementName, const MessageCatalog &catalog);

// --- captions

// The preview's frame caption: objects and characters "first/second", items "<image>", an empty
// place message 241 "<none>".
QString previewCaption(const FrameView &view, int state, int frame, const MessageCatalog &catalog);
// The editor's caption for an element name; an empty name gives the "(none)" caption.
QString editorCaption(AssetKind kind, const QString &name, const MessageCatalog &catalog);
// The status bar text shown while the mouse is over the editor.
QString statusText(AssetKind kind, const MessageCatalog &catalog);

} // namespace framestrip
} // namespace mb
