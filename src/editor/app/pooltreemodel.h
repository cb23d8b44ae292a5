#pragma once

#include "project/projecttree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>

namespace mb {

// A Qt item model over one ProjectTree of the project, which stays the truth that is saved: the
// model holds no copy of the nodes, only a row cache. Anything that changes the tree's
// structure outside the model (the pool operations, open, reset, imports) must happen between
// beginChange() and endChange(); the views are then rebuilt, and the window restores expansion
// and selection from the node pointers it kept.
//
// Roots cannot be edited or dragged. In the media tree only folders are edited in place. Edits
// and drops are not applied here: they are handed to the window as renameRequested and
// moveRequested, so that the window can ask, refuse and show messages.
class PoolTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    PoolTreeModel(ProjectTree &tree, bool media, QObject *parent = nullptr);

    ProjectTree &tree() const { return m_tree; }
    bool isMedia() const { return m_media; }

    void beginChange();
    void endChange();

    TreeNode *node(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *node) const;
    // True when the node is still part of the tree (pointers kept across a change may dangle).
    bool contains(const TreeNode *node) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    // The MIME type of a dragged node; the data names this model and the node.
    static QString nodeMimeType();
    // The node a drag of this model carries, or null (another model, a node no longer there).
    TreeNode *draggedNode(const QMimeData *data) const;

signals:
    void renameRequested(mb::TreeNode *node, const QString &text);
    void moveRequested(mb::TreeNode *node, mb::TreeNode *target);

private:
    int rowOf(const TreeNode *node) const;
    const std::vector<std::unique_ptr<TreeNode>> &siblings(const TreeNode *node) const;

    ProjectTree &m_tree;
    bool m_media;
    mutable QHash<const TreeNode *, int> m_rows;
};

} // namespace mb
