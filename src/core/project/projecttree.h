#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace mb {

// Image indexes of tree nodes, as stored in the project file.
namespace nodeimage {
inline constexpr int Folder = 11; // folders and every root
inline constexpr int Image = 4;
inline constexpr int Music = 2;
inline constexpr int Sound = 6;
inline constexpr int Movie = 20;
inline constexpr int Character = 15;
inline constexpr int Script = 0;
inline constexpr int Item = 1;
inline constexpr int Object = 3;
inline constexpr int Room = 5;
} // namespace nodeimage

// One node of the media or game tree. Children are owned; parent is null for a root.
struct TreeNode
{
    QString text;
    int imageIndex = nodeimage::Folder;
    TreeNode *parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    // Level 0 for a root.
    int level() const;
    TreeNode *addChild(QString text, int imageIndex, bool first = false);
    // Detaches and returns the child; null when it is not a child of this node.
    std::unique_ptr<TreeNode> take(TreeNode *child);
    // Children sorted by text (ASCII case-insensitive), recursively.
    void sortChildren();
    // Same text, image index and children in the same order, recursively (parents not compared).
    bool operator==(const TreeNode &o) const;
};

// A tree of the main window: its roots in their fixed order.
class ProjectTree
{
public:
    std::vector<std::unique_ptr<TreeNode>> roots;

    void clear() { roots.clear(); }
    TreeNode *addRoot(QString text, int imageIndex = nodeimage::Folder);
    TreeNode *root(int i) const { return i >= 0 && i < int(roots.size()) ? roots[i].get() : nullptr; }
    void sort();

    // Calls f(node) in pre-order for every node.
    template <typename F>
    void forEach(F &&f) const
    {
        for (const auto &r : roots)
            visit(r.get(), f);
    }
    // True when some node below the roots has the text and the image index.
    bool contains(const QString &text, int imageIndex) const;
    // Position among the roots of the root above the node; -1 when not in this tree.
    int topIndex(const TreeNode *node) const;
    // Number of nodes below the roots.
    int countBelowRoots() const;
    bool operator==(const ProjectTree &o) const;

private:
    template <typename F>
    static void visit(TreeNode *n, F &f)
    {
        f(n);
        for (const auto &c : n->children)
            visit(c.get(), f);
    }
};

} // namespace mb
