#include "project/projecttree.h"

#include "project/texthelpers.h"

#include <algorithm>

namespace mb {

int TreeNode::level() const
{
    int l = 0;
    for (const TreeNode *p = parent; p; p = p->parent)
        ++l;
    return l;
}

TreeNode *TreeNode::addChild(QString childText, int childImage, bool first)
{
    auto node = std::make_unique<TreeNode>();
    node->text = std::move(childText);
    node->imageIndex = childImage;
    node->parent = this;
    TreeNode *raw = node.get();
    if (first)
        children.insert(children.begin(), std::move(node));
    else
        children.push_back(std::move(node));
    return raw;
}

std::unique_ptr<TreeNode> TreeNode::take(TreeNode *child)
{
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->get() == child) {
            std::unique_ptr<TreeNode> out = std::move(*it);
            children.erase(it);
            out->parent = nullptr;
            return out;
        }
    }
    return nullptr;
}

void TreeNode::sortChildren()
{
    std::stable_sort(children.begin(), children.end(), [](const auto &a, const auto &b) {
        return text::compareText(a->text, b->text) < 0;
    });
    for (auto &c : children)
        c->sortChildren();
}

TreeNode *ProjectTree::addRoot(QString rootText, int imageIndex)
{
    auto node = std::make_unique<TreeNode>();
    node->text = std::move(rootText);
    node->imageIndex = imageIndex;
    roots.push_back(std::move(node));
    return roots.back().get();
}

void ProjectTree::sort()
{
    for (auto &r : roots)
        r->sortChildren();
}

bool ProjectTree::contains(const QString &nodeText, int imageIndex) const
{
    bool found = false;
    forEach([&](TreeNode *n) {
        if (n->parent && n->imageIndex == imageIndex && n->text == nodeText)
            found = true;
    });
    return found;
}

int ProjectTree::topIndex(const TreeNode *node) const
{
    if (!node)
        return -1;
    while (node->parent)
        node = node->parent;
    for (int i = 0; i < int(roots.size()); ++i)
        if (roots[i].get() == node)
            return i;
    return -1;
}

int ProjectTree::countBelowRoots() const
{
    int n = 0;
    forEach([&](TreeNode *node) { n += node->parent ? 1 : 0; });
    return n;
}

bool TreeNode::operator==(const TreeNode &o) const
{
    if (text != o.text || imageIndex != o.imageIndex || children.size() != o.children.size())
        return false;
    for (size_t i = 0; i < children.size(); ++i)
        if (!(*children[i] == *o.children[i]))
            return false;
    return true;
}

bool ProjectTree::operator==(const ProjectTree &o) const
{
    if (roots.size() != o.roots.size())
        return false;
    for (size_t i = 0; i < roots.size(); ++i)
        if (!(*roots[i] == *o.roots[i]))
            return false;
    return true;
}

} // namespace mb
