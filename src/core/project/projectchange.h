#pragma once

#include <QRect>

#include <cstdint>

namespace mb {

struct TreeNode;

// What changed in the open project: the one notification ProjectSession::changed() sends to
// every view. A change names the part of the project (a record and its slot, a media entry, a
// tree's rows ...) so that a window repaints only when what it shows changed.
//
// Tree changes and Reset come in two phases: AboutTo before the nodes change (a Qt item model
// calls beginInsertRows(), beginRemoveRows() ... there) and Done afterwards. Every other kind is
// sent once, after the change, with phase Done.
//
// Slots are 1-based as in the tables; slot 0 means "any slot of this table" (an edit that
// touched many). Node pointers stay valid until the node leaves the tree for good: undo and redo
// put the same nodes back.
struct ProjectChange
{
    enum Kind : uint8_t {
        Reset,         // the whole project was replaced (New, Open, an imported project)
        TreeInsert,    // rows first..last of `parent` were (are about to be) inserted
        TreeRemove,    // rows first..last of `parent` were (are about to be) removed
        TreeMove,      // row `first` of `parent` moves to `target`, before its row `row` as
                       // counted before the move (the numbering of QAbstractItemModel::beginMoveRows)
        TreeLayout,    // the children of nodes of the tree were sorted
        TreeText,      // the text of `node` changed
        Element,       // the record of element kind `elementKind` (ElementKind) in `slot`
        RoomCharacter, // character placement `slot`
        Media,         // entry `slot` of media kind `mediaKind` (MediaKind)
        Font,          // font `slot`
        Language,      // translated language `slot`
        Origin,        // the origin text lists
        Mouse,         // mouse cursor `index` (0-based; -1 every cursor)
        Settings,      // the project settings
        Commands,      // commands, bools and the action-line words
        NameList,      // name list `index` (NameLists::Index)
    };
    enum Phase : uint8_t { Done, AboutTo };
    enum Tree : int8_t { NoTree = -1, MediaTree = 0, GameTree = 1 };
    // Which part of an element record changed; Whole when the edit did not say.
    enum Part : uint8_t {
        Whole,
        Frames,    // frame `frame` of state `index` (-1: every frame or state)
        Script,    // the record's own script, or with `index` >= 0 that placement's script
        Placement, // object placement `index` (0-based) of a room
        Walkmap,   // the walkmap cells in `cells` (columns x rows, 1-based; null rect: all)
        Shapes,    // FX shape `index` of a room (-1: all)
    };

    Kind kind = Reset;
    Phase phase = Done;
    Tree tree = NoTree;
    Part part = Whole;
    int elementKind = -1;
    int mediaKind = -1;
    int slot = 0;
    int index = -1;
    int frame = -1;
    QRect cells;
    // Tree changes.
    TreeNode *parent = nullptr;
    TreeNode *node = nullptr;
    TreeNode *target = nullptr;
    int first = -1, last = -1, row = -1;

    static ProjectChange reset(Phase phase)
    {
        ProjectChange c;
        c.phase = phase;
        return c;
    }
    static ProjectChange element(int elementKind, int slot, Part part = Whole, int index = -1, int frame = -1)
    {
        ProjectChange c = of(Element, slot);
        c.elementKind = elementKind;
        c.part = part;
        c.index = index;
        c.frame = frame;
        return c;
    }
    // Cells of a room's walkmap: columns column..column+width-1, rows row..row+height-1.
    static ProjectChange walkmap(int roomSlot, QRect cells)
    {
        ProjectChange c = element(4 /* Rooms */, roomSlot, Walkmap);
        c.cells = cells;
        return c;
    }
    static ProjectChange media(int mediaKind, int slot)
    {
        ProjectChange c = of(Media, slot);
        c.mediaKind = mediaKind;
        return c;
    }
    static ProjectChange roomCharacter(int slot) { return of(RoomCharacter, slot); }
    static ProjectChange font(int slot) { return of(Font, slot); }
    static ProjectChange language(int slot) { return of(Language, slot); }
    static ProjectChange origin() { return of(Origin, 1); }
    static ProjectChange mouse(int cursor = -1)
    {
        ProjectChange c = of(Mouse, 1);
        c.index = cursor;
        return c;
    }
    static ProjectChange settings() { return of(Settings, 1); }
    static ProjectChange commands() { return of(Commands, 1); }
    static ProjectChange nameList(int index)
    {
        ProjectChange c = of(NameList, 1);
        c.index = index;
        return c;
    }

    bool isTreeChange() const { return kind >= TreeInsert && kind <= TreeText; }
    // True when a window showing the element of the kind in the slot has to look again: a
    // reset, or a change of that record (or of any record of the kind).
    bool affectsElement(int kind_, int slot_) const
    {
        return kind == Reset || (kind == Element && elementKind == kind_ && (slot == 0 || slot == slot_));
    }
    // The same for a media entry.
    bool affectsMedia(int kind_, int slot_) const
    {
        return kind == Reset || (kind == Media && mediaKind == kind_ && (slot == 0 || slot == slot_));
    }
    bool operator==(const ProjectChange &) const = default;

private:
    static ProjectChange of(Kind kind, int slot)
    {
        ProjectChange c;
        c.kind = kind;
        c.slot = slot;
        return c;
    }
};

} // namespace mb
