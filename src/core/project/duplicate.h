#pragma once

#include "project/message.h"

#include <QString>

#include <functional>

namespace mb {

class ProjectEdit;
class ProjectModel;
class ProjectSession;
struct TreeNode;

// `base` followed by the first number from 1 on that makes a name `taken` refuses.
QString numberedName(const QString &base, const std::function<bool(const QString &)> &taken);

// True when an element of the kind has the name, compared ASCII case-insensitively.
bool elementNameTaken(const ProjectModel &model, int elementKind, const QString &name);

// Adds the game tree node of a new element the way the game pool inserts one: the first child
// of PoolOps::insertTarget() (the selected folder of the kind, an element's folder, or the
// kind's root), whose children are then sorted. Returns the new node (owned by the tree).
// Expanding, selecting and starting the rename belong to the window. Runs inside an edit.
TreeNode *insertElementNode(ProjectEdit &edit, int elementKind, const QString &name,
                            TreeNode *selected = nullptr);

struct DuplicateResult
{
    bool ok = false;
    // On failure what to show: the limit message (141 scripts, 142 items, 143 characters, 144
    // objects, 145 rooms; error box with caption 366), or a text naming what was not found
    // (number 0).
    Message message;
    QString name;           // on success the copy's name
    int slot = 0;           // on success the copy's slot
    TreeNode *node = nullptr; // on success the copy's tree node
};

// Copies the script, item, character, object or room of the selected game tree node (its kind
// from the node's image index) under the source name followed by the first number from 1 on that
// no element of the kind has (any case). The copy is complete (frames, settings, walkmap with its
// cell scripts, FX shapes) with script lists of its own; a room's copy also gets the object
// placements, each under a new instance name made unique the same way among all placements, and
// those names join name list 15. The copy takes the first free slot; a full table gives the
// limit message and changes nothing. The node goes in as a new element's node, next to the
// source; scripts, items and rooms join their name list (12, 11, 14); a script copy becomes the
// script key. One edit of the session.
DuplicateResult duplicateElement(ProjectSession &session, TreeNode *node);

// The same for the element of the kind with the name (exact); the node goes next to the
// element's node when the tree has one, else under the kind's root.
DuplicateResult duplicateElement(ProjectSession &session, int elementKind, const QString &name);

} // namespace mb
