#pragma once

#include "project/message.h"
#include "project/modeldiff.h"
#include "project/projecttree.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace mb {

class EditorSettings;
class MessageCatalog;
class ProjectEdit;
class ProjectSession;

// Outcome of one tree operation. `node` is the node inserted, renamed or moved (the window
// selects it). When ok is false nothing was changed; `message` then says why, if the user is to
// be told. When ok is true `message` may hold a note to show afterwards.
struct PoolResult
{
    bool ok = false;
    TreeNode *node = nullptr;
    int slot = 0; // table slot of an inserted element or media entry
    Message message;
};

// Outcome of inserting several media files: one message per refused file, in file order.
struct MediaInsertResult
{
    int added = 0;
    TreeNode *lastNode = nullptr; // the node of the last file added
    std::vector<Message> messages;
};

// The media tree and the game tree as the user edits them: inserting elements and media,
// folders, renaming with its propagation into the tables, deleting with the removal of what the
// removed nodes stood for, and moving nodes between folders.
//
// Roots (level 0) are fixed: they are never renamed, deleted or moved. Root i of the game tree
// holds the elements of ElementKind i, root i of the media tree the entries of MediaKind i.
// Every operation that changes the project is one edit of the session, so one undo step; the
// views hear of each node inserted, removed, moved or renamed. Node pointers handed back stay
// valid while the node is in the tree or kept by the undo stack.
//
// Nothing here asks the user: an operation that needs a confirmation has a separate question
// (deleteQuestion) that the caller asks first.
class PoolOps
{
public:
    static constexpr int MaxFolderLevel = 7;

    // The session and catalog must outlive the object.
    explicit PoolOps(ProjectSession &session);

    // Image index of an element kind's nodes (15 character, 0 script, 1 item, 3 object, 5 room)
    // and of a media kind's nodes (4 image, 2 music, 6 sound, 20 movie).
    static int elementImage(int elementKind);
    static int mediaImage(int mediaKind);
    // Element kind of a game tree image index; -1 for folders and anything else.
    static int elementKindOfImage(int imageIndex);
    static bool isFolder(const TreeNode *node) { return node && node->imageIndex == nodeimage::Folder; }
    // Component name of the tool window that shows a node ("room", "objbox", "charbox",
    // "itembox", "skriptwindow"; "Form2" for media entries); empty for folders.
    static QString toolWindowOf(int imageIndex);
    // The tables that renaming or removing an element of the kind writes: its own table, the
    // tables holding placements of it, and the name lists.
    static ModelTables elementTables(int elementKind);

    // The folder a new node of the root goes into: the selected folder when the selection lies
    // under that root, the parent of a selected entry there, otherwise the root itself.
    static TreeNode *insertTarget(const ProjectTree &tree, int rootIndex, TreeNode *selection);

    // --- game elements

    // The name a new element would get: the kind's word (messages 29-33) and its counter, the
    // counter raised past every name of that kind in use (ASCII case-insensitive). The raised
    // counter is kept, as the next insert starts from it anyway.
    QString newElementName(int elementKind);
    // Creates an element of the kind in the first free slot with its defaults and adds its node
    // as first child of insertTarget(). A full table gives the kind's limit message (141-145).
    PoolResult insertElement(int elementKind, TreeNode *selection);
    // The same inside a running edit (the caller names the kind's table and the name lists).
    static PoolResult insertElement(ProjectEdit &edit, int elementKind, TreeNode *selection);

    // --- media

    // True when the file starts with a PNG header whose colour type is 4 or 6 (with alpha).
    static bool isPngWithAlpha(const QString &path);
    // Adds the files as entries of the kind, each as first child of insertTarget(). A PNG
    // without alpha (381) or a name already in the table (name + 147) is refused and the next
    // file tried; a full table (149, 148, 146, 180) ends the insert.
    MediaInsertResult insertMedia(int mediaKind, const QStringList &files, TreeNode *selection);

    // --- folders

    // A folder below the selected folder (or the parent of a selected entry) named with
    // message 150 and the tree's folder counter, when that folder is at level 6 or less.
    // `tree` is the session model's mediaTree or gameTree.
    PoolResult newFolder(const ProjectTree &tree, TreeNode *selection);

    // --- renaming

    // The typed name without { } ( ) ; " and "," and without surrounding blanks.
    static QString cleanElementName(const QString &typed);
    // The typed name without { } ( ) ; " \ / : * ? < | >, without surrounding blanks and
    // without trailing dots (a folder of such a name would not survive on disk).
    static QString cleanMediaFolderName(const QString &typed);
    // Renames a game tree node below the roots and carries the name into the tables: items and
    // scripts with their name lists, objects with the object name of every placement, rooms with
    // list 14 and the room of every character placement, characters with every slot of the name
    // and every placement. Instance names, scripts and settings keep their texts. A name that
    // another node of the same image index has (case-insensitive) is refused with the kind's
    // noun and message 147; an empty cleaned name keeps the old one without a message. Renaming
    // an object or a character gives once per installation the note 157 or 158, remembered in
    // `notes` under RenameObj / RenameChr (no note when `notes` is null).
    PoolResult renameGameNode(TreeNode *node, const QString &typed, EditorSettings *notes = nullptr);
    // Renames a media folder (entries keep their names). A name another folder has, or an
    // empty cleaned name, keeps the old one without a message.
    PoolResult renameMediaFolder(TreeNode *node, const QString &typed);

    // --- deleting

    // The question to ask before deleting the node (137 name 138 for an entry, 139 name 140 for
    // a folder with children); empty when nothing is to be asked: silent delete is on, the
    // folder is empty, or the node is a root.
    Message deleteQuestion(const TreeNode *node) const;
    // Deletes a game tree node below the roots with its subtree and removes every element of
    // the root's kind that no longer has a node. False for a root or null.
    bool deleteGameNode(TreeNode *node);
    // The same for the media tree: entries go with their table slots and name list entries.
    bool deleteMediaNode(TreeNode *node);
    // Removes the element of the kind with the name from the tables inside a running edit that
    // writes elementTables(kind): its record, its name list entry, its script and what depends
    // on it (an object's placements, a room's object and character placements, a character's
    // placements). Current-element slots naming it become "free". Does not touch the tree.
    static void removeElement(ProjectEdit &edit, int elementKind, const QString &name);

    // --- moving

    // True when `node` (below the roots) may be dropped on `target`: a folder of the same root
    // or the root itself, not the node or one of its descendants, and, for a folder, one that
    // leaves every folder of the moved subtree at level 7 or above.
    static bool canMove(const ProjectTree &tree, const TreeNode *node, const TreeNode *target);
    // Moves the node to the end of the target's children and sorts them.
    bool moveNode(const ProjectTree &tree, TreeNode *node, TreeNode *target);

    // --- selecting (the session's selections; no edit)

    // A click on a game tree node: sets the element's current-element slot, and the script key
    // for scripts, items and rooms. Returns the tool window to bring to the front (empty for
    // folders). `scriptKeySet` tells whether the script key changed.
    QString selectGameNode(const TreeNode *node, bool *scriptKeySet = nullptr);
    // A click on a media entry sets the current media entry.
    void selectMediaNode(const TreeNode *node);
    // "0" + name for a script, "1" + name for an item, "8" + name for a room; empty otherwise.
    static QString scriptKeyOf(const TreeNode *node);

    // The first node below the roots with the text and image index, or null.
    static TreeNode *findNode(const ProjectTree &tree, const QString &text, int imageIndex);

private:
    ProjectSession &m_session;
};

} // namespace mb
