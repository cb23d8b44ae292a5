#pragma once

#include "project/modeldiff.h"
#include "project/projectchange.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectSession;
class ProjectTree;
struct CurrentElements;
struct TreeNode;
struct TreeStep;

// The write access to the open project that ProjectSession::edit() hands to an edit. Records and
// tables are written straight into model(); the tables named when the edit began (and any added
// with alsoWrites()) are compared afterwards, and their changed slots become the undo command.
// The trees must be changed through the methods here: they tell the views before and after, and
// keep removed nodes so that undo puts the same nodes back.
//
// The object lives only while the edit runs; nodes handed out stay owned by the tree.
class ProjectEdit
{
public:
    ProjectModel &model();
    const MessageCatalog &catalog() const;
    ProjectSession &session() { return m_session; }
    // The selections of the tool windows; an edit that renames or removes what they name puts
    // them right, and undo puts them back.
    CurrentElements &current();
    // Adds tables to the ones compared at the end (they are copied now, so call this before
    // writing them).
    void alsoWrites(ModelTables tables);
    // Adds one slot of a table (table: one bit; the single records have slot 1, name list i has
    // slot i + 1) to what is compared at the end, copied now: an edit of one room or a few
    // placements copies only those, however big the project. Writing any other slot of that
    // table is a fault the verifying test runs stop at.
    void alsoWritesSlot(ModelTables table, int slot);

    // --- trees (nodes of model().mediaTree or model().gameTree, never a root unless said)

    // A new node as first (or last) child of the parent.
    TreeNode *addChild(TreeNode *parent, const QString &text, int imageIndex, bool first = false);
    // Puts the node in as child `row` of the parent (clamped to the children's count).
    TreeNode *insertNode(TreeNode *parent, int row, std::unique_ptr<TreeNode> node);
    // Takes the node and its subtree out of the tree; the undo command keeps them.
    void removeNode(TreeNode *node);
    // Moves the node to child `row` of the new parent (its row after the move, clamped).
    void moveNode(TreeNode *node, TreeNode *newParent, int row);
    void setText(TreeNode *node, const QString &text);
    // Sorts the node's children by text (ASCII case-insensitive), recursively, as
    // TreeNode::sortChildren() does.
    void sortChildren(TreeNode *node);
    void sortTree(ProjectTree &tree);

private:
    friend class ProjectSession;
    ProjectEdit(ProjectSession &session, ModelSnapshot &snapshot, std::vector<std::unique_ptr<TreeStep>> &steps);

    ProjectChange::Tree treeOf(const TreeNode *node) const;

    ProjectSession &m_session;
    ModelSnapshot &m_snapshot;
    std::vector<std::unique_ptr<TreeStep>> &m_steps;
};

} // namespace mb
