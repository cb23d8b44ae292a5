#pragma once

#include "project/projectchange.h"
#include "project/projecttree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>

namespace mb {

// A Qt item model over one tree of the session's project, which stays the truth that is saved:
// the model holds no copy of the nodes, only a row cache. It follows the session's change
// signal: inserted, removed and moved nodes and renamed texts become the matching row signals
// (so views keep their expansion and selection), and only a reset of the project resets it.
//
// Roots cannot be edited or dragged. In the media tree only folders are edited in place. Edits
// and drops are not applied here: they are handed to the window as renameRequested and
// moveRequested, so that the window can ask, refuse and show messages.
class ProjectSession;

class PoolTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    // The session must outlive the model.
    PoolTreeModel(ProjectSession &session, bool media, QObject *parent = nullptr);

    // The tree shown now (the session's project is replaced by New and Open).
    const ProjectTree &tree() const;
    bool isMedia() const { return m_media; }

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
    void projectChanged(const ProjectChange &change);

    ProjectSession &m_session;
    bool m_media;
    mutable QHash<const TreeNode *, int> m_rows;
    // A move Qt refuses to express as a move is shown as a reset.
    bool m_moveAsReset = false;
    // The nodes behind the persistent indexes while the children of nodes are sorted.
    QModelIndexList m_layoutBefore;
    std::vector<const TreeNode *> m_layoutNodes;
};

} // namespace mb
