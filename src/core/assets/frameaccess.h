#pragma once

#include "project/projectmodel.h"

#include <QSize>
#include <QString>

#include <variant>

namespace mb {

// The four kinds of animated assets. Objects and characters share one frame record (two images
// with offsets and a script line), items have one image and a script line, mouse cursors one
// image only.
enum class AssetKind { Object, Character, Item, Cursor };

// What a kind of asset holds, and how its strips are laid out.
struct FrameLayout
{
    int states = 0;         // states (actions, cursors) of an element
    int frames = 0;         // frame slots per state
    int stateBoxWidth = 0;  // width of a box in the state strip; 0 when there is none
    bool secondImage = false;
    bool offsets = false;   // images sit at offsets inside the element's box
    bool scriptLine = false;
};
const FrameLayout &frameLayout(AssetKind kind);

// One frame slot as every asset kind sees it. Fields a kind does not have stay empty or 0.
struct FrameSlot
{
    QString image;
    QString image2;
    QString script;
    int x = 0, y = 0, x2 = 0, y2 = 0;

    bool hasImage() const { return !image.isEmpty() || !image2.isEmpty(); }
    bool isEmpty() const { return !hasImage() && script.isEmpty(); }
    bool operator==(const FrameSlot &) const = default;
};

// Read access to the frames of one element (or of the project's cursors). States and frames are
// numbered from 1; a number out of range reads an empty frame. Reading never allocates the
// storage of a state that was never written.
class FrameView
{
public:
    FrameView(const Robj &obj) : m_rec(&obj) {}
    FrameView(const Rcharacter &chr) : m_rec(&chr) {}
    FrameView(const RItem &item) : m_rec(&item) {}
    FrameView(const Rmouse &mouse) : m_rec(&mouse) {}

    AssetKind kind() const { return AssetKind(m_rec.index()); }
    const FrameLayout &layout() const { return frameLayout(kind()); }
    int states() const { return layout().states; }
    int frames() const { return layout().frames; }
    bool validState(int state) const { return state >= 1 && state <= states(); }
    bool validFrame(int frame) const { return frame >= 1 && frame <= frames(); }

    FrameSlot frame(int state, int frame) const;
    // The stored speed of the state (cursor), 0 out of range.
    int speed(int state) const;
    // The element's box in which images sit: the object's size, or the size of the character's
    // action; empty for items and cursors.
    QSize box(int state) const;
    // True when any frame of any state names an image.
    bool hasAnyImage() const;

protected:
    std::variant<const Robj *, const Rcharacter *, const RItem *, const Rmouse *> m_rec;
};

// Write access. Writing a field a kind does not have is ignored; writing a frame equal to what
// is stored leaves the storage untouched.
class FrameAccess : public FrameView
{
public:
    FrameAccess(Robj &obj) : FrameView(obj) {}
    FrameAccess(Rcharacter &chr) : FrameView(chr) {}
    FrameAccess(RItem &item) : FrameView(item) {}
    FrameAccess(Rmouse &mouse) : FrameView(mouse) {}

    void setFrame(int state, int frame, const FrameSlot &slot);
    void setSpeed(int state, int speed);
    // Objects: the object's size; characters: the action's size. Nothing for items and cursors.
    void setBox(int state, QSize size);
};

} // namespace mb
