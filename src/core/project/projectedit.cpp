#include "project/projectedit.h"

#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "project/treestep.h"

#include <algorithm>

namespace mb {

ProjectEdit::ProjectEdit(ProjectSession &session, ModelSnapshot &snapshot, std::vector<std::unique_ptr<TreeStep>> &steps)
    : m_session(session), m_snapshot(snapshot), m_steps(steps)
{
}

ProjectModel &ProjectEdit::model()
{
    return *m_session.m_model;
}

const MessageCatalog &ProjectEdit::catalog() const
{
    return m_session.catalog();
}

CurrentElements &ProjectEdit::current()
{
    return m_session.m_current;
}

void ProjectEdit::alsoWrites(ModelTables tables)
{
    m_snapshot.capture(model(), tables);
    m_session.nameWrites(tables);
}

void ProjectEdit::alsoWritesSlot(ModelTables table, int slot)
{
    m_snapshot.captureSlot(model(), table, slot);
    m_session.nameWrites(table);
}

ProjectChange::Tree ProjectEdit::treeOf(const TreeNode *node) const
{
    const ProjectModel &m = *m_session.m_model;
    if (m.mediaTree.topIndex(node) >= 0)
        return ProjectChange::MediaTree;
    if (m.gameTree.topIndex(node) >= 0)
        return ProjectChange::GameTree;
    return ProjectChange::NoTree;
}

TreeNode *ProjectEdit::addChild(TreeNode *parent, const QString &text, int imageIndex, bool first)
{
    auto node = std::make_unique<TreeNode>();
    node->text = text;
    node->imageIndex = imageIndex;
    return insertNode(parent, first ? 0 : int(parent->children.size()), std::move(node));
}

TreeNode *ProjectEdit::insertNode(TreeNode *parent, int row, std::unique_ptr<TreeNode> node)
{
    if (!parent || !node)
        return nullptr;
    auto step = std::make_unique<TreeStep>();
    step->type = TreeStep::Insert;
    step->tree = treeOf(parent);
    step->node = node.get();
    step->parent = parent;
    step->row = std::clamp(row, 0, int(parent->children.size()));
    step->kept = std::move(node);
    TreeNode *raw = step->node;
    m_session.runStep(*step, true);
    m_steps.push_back(std::move(step));
    return raw;
}

void ProjectEdit::removeNode(TreeNode *node)
{
    if (!node || !node->parent)
        return;
    auto step = std::make_unique<TreeStep>();
    step->type = TreeStep::Remove;
    step->tree = treeOf(node);
    step->node = node;
    step->parent = node->parent;
    const auto &siblings = node->parent->children;
    step->row = int(std::find_if(siblings.begin(), siblings.end(), [&](const auto &c) { return c.get() == node; })
                    - siblings.begin());
    m_session.runStep(*step, true);
    m_steps.push_back(std::move(step));
}

void ProjectEdit::moveNode(TreeNode *node, TreeNode *newParent, int row)
{
    if (!node || !node->parent || !newParent)
        return;
    const auto &siblings = node->parent->children;
    const int from = int(std::find_if(siblings.begin(), siblings.end(), [&](const auto &c) { return c.get() == node; })
                         - siblings.begin());
    // The row after the move: among the new parent's children without the node.
    const int count = int(newParent->children.size()) - (newParent == node->parent ? 1 : 0);
    const int to = std::clamp(row, 0, count);
    if (newParent == node->parent && to == from)
        return;
    auto step = std::make_unique<TreeStep>();
    step->type = TreeStep::Move;
    step->tree = treeOf(node);
    step->node = node;
    step->parent = node->parent;
    step->row = from;
    step->toParent = newParent;
    step->toRow = to;
    m_session.runStep(*step, true);
    m_steps.push_back(std::move(step));
}

void ProjectEdit::setText(TreeNode *node, const QString &text)
{
    if (!node || node->text == text)
        return;
    auto step = std::make_unique<TreeStep>();
    step->type = TreeStep::Text;
    step->tree = treeOf(node);
    step->node = node;
    step->before = node->text;
    step->after = text;
    m_session.runStep(*step, true);
    m_steps.push_back(std::move(step));
}

namespace {

// The children orders that sorting the node's subtree changes, before and after.
void collectOrders(TreeNode *node, TreeStep::Orders &before, TreeStep::Orders &after)
{
    std::vector<TreeNode *> now;
    now.reserve(node->children.size());
    for (const auto &c : node->children)
        now.push_back(c.get());
    std::vector<TreeNode *> sorted = now;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TreeNode *a, const TreeNode *b) { return text::compareText(a->text, b->text) < 0; });
    if (sorted != now) {
        before.emplace_back(node, std::move(now));
        after.emplace_back(node, std::move(sorted));
    }
    for (const auto &c : node->children)
        collectOrders(c.get(), before, after);
}

} // namespace

void ProjectEdit::sortChildren(TreeNode *node)
{
    if (!node)
        return;
    auto step = std::make_unique<TreeStep>();
    step->type = TreeStep::Order;
    step->tree = treeOf(node);
    collectOrders(node, step->orderBefore, step->orderAfter);
    if (step->orderAfter.empty())
        return;
    m_session.runStep(*step, true);
    m_steps.push_back(std::move(step));
}

void ProjectEdit::sortTree(ProjectTree &tree)
{
    for (const auto &root : tree.roots)
        sortChildren(root.get());
}

} // namespace mb
