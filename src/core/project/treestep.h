#pragma once

#include "project/projectchange.h"
#include "project/projecttree.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace mb {

// One change of a tree's structure or texts inside an undo command, with what it takes to do it
// again or take it back on the very same nodes. A subtree that is out of the tree (removed, or
// inserted and undone) is owned by its step; everywhere else the tree owns the nodes.
struct TreeStep
{
    enum Type { Insert, Remove, Move, Text, Order };
    using Orders = std::vector<std::pair<TreeNode *, std::vector<TreeNode *>>>;

    Type type = Insert;
    ProjectChange::Tree tree = ProjectChange::NoTree;
    TreeNode *node = nullptr;
    // Insert and Remove: where the node is while it is in the tree. Move: where it came from.
    TreeNode *parent = nullptr;
    int row = -1;
    // Move: where it went (its row among the new parent's children afterwards).
    TreeNode *toParent = nullptr;
    int toRow = -1;
    std::unique_ptr<TreeNode> kept;
    // Text: the node's text before and after.
    QString before, after;
    // Order: the children of each sorted node before and after.
    Orders orderBefore, orderAfter;
};

} // namespace mb
