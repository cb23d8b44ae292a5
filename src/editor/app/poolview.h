#pragma once

#include <QSet>
#include <QTreeView>

namespace mb {

class PoolTreeModel;
struct TreeNode;

// The view of one project tree. It keeps which nodes are expanded across the model's rebuilds,
// and reports the Delete, Insert and Enter keys, which act on the tree (delete the selected node,
// run the tree's add button, open the node). The pop-up menu is asked for with
// customContextMenuRequested(), from the mouse or, at the current node, from the keyboard.
class PoolView : public QTreeView
{
    Q_OBJECT
public:
    explicit PoolView(PoolTreeModel *model, QWidget *parent = nullptr);

    PoolTreeModel *poolModel() const { return m_model; }
    TreeNode *currentNode() const;
    // Makes the node current and selected, expanding the folders above it; false when the node
    // is not in the tree.
    bool selectNode(const TreeNode *node);
    void expandNode(const TreeNode *node);
    // Starts editing the node's text in place.
    void renameNode(const TreeNode *node);
    // True while a node's text is being edited.
    bool isEditing() const { return state() == EditingState; }
    // Forgets the expanded nodes: for a change that replaces the whole tree (open, reset).
    void forgetExpansion() { m_expanded.clear(); }

signals:
    void deletePressed();
    void insertPressed();
    // Enter or Return on the current node (not while renaming): opens it as a double click does.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The Menu key and Shift+F10 open the pop-up menu at the current node.
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void restoreExpansion();
    void menuAtCurrentNode();

    PoolTreeModel *m_model;
    QSet<const TreeNode *> m_expanded;
    bool m_restoring = false;
};

} // namespace mb
