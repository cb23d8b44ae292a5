#include "app/pooltreemodel.h"

#include "app/poolicons.h"
#include "project/poolops.h"
#include "project/projectsession.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace mb {

PoolTreeModel::PoolTreeModel(ProjectSession &session, bool media, QObject *parent)
    : QAbstractItemModel(parent), m_session(session), m_media(media)
{
    connect(&session, &ProjectSession::changed, this, &PoolTreeModel::projectChanged);
}

const ProjectTree &PoolTreeModel::tree() const
{
    return m_media ? m_session.model().mediaTree : m_session.model().gameTree;
}

void PoolTreeModel::projectChanged(const ProjectChange &c)
{
    using C = ProjectChange;
    const bool before = c.phase == C::AboutTo;
    if (c.kind == C::Reset) {
        if (before) {
            beginResetModel();
        } else {
            m_rows.clear();
            endResetModel();
        }
        return;
    }
    if (!c.isTreeChange() || c.tree != (m_media ? C::MediaTree : C::GameTree))
        return;
    // Rows are looked up in the tree as it is before the change; the cache goes after it.
    switch (c.kind) {
    case C::TreeInsert:
        if (before) {
            beginInsertRows(indexOf(c.parent), c.first, c.last);
        } else {
            m_rows.clear();
            endInsertRows();
        }
        break;
    case C::TreeRemove:
        if (before) {
            beginRemoveRows(indexOf(c.parent), c.first, c.last);
        } else {
            m_rows.clear();
            endRemoveRows();
        }
        break;
    case C::TreeMove:
        if (before) {
            m_moveAsReset = !beginMoveRows(indexOf(c.parent), c.first, c.last, indexOf(c.target), c.row);
            if (m_moveAsReset)
                beginResetModel();
        } else {
            m_rows.clear();
            if (m_moveAsReset)
                endResetModel();
            else
                endMoveRows();
            m_moveAsReset = false;
        }
        break;
    case C::TreeLayout:
        if (before) {
            emit layoutAboutToBeChanged();
            m_layoutBefore = persistentIndexList();
            m_layoutNodes.clear();
            for (const QModelIndex &i : std::as_const(m_layoutBefore))
                m_layoutNodes.push_back(node(i));
        } else {
            m_rows.clear();
            QModelIndexList after;
            for (const TreeNode *n : m_layoutNodes)
                after.append(indexOf(n));
            changePersistentIndexList(m_layoutBefore, after);
            m_layoutBefore.clear();
            m_layoutNodes.clear();
            emit layoutChanged();
        }
        break;
    case C::TreeText:
        if (!before) {
            const QModelIndex i = indexOf(c.node);
            if (i.isValid())
                emit dataChanged(i, i);
        }
        break;
    default:
        break;
    }
}

TreeNode *PoolTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : nullptr;
}

const std::vector<std::unique_ptr<TreeNode>> &PoolTreeModel::siblings(const TreeNode *n) const
{
    return n->parent ? n->parent->children : tree().roots;
}

int PoolTreeModel::rowOf(const TreeNode *n) const
{
    if (auto it = m_rows.constFind(n); it != m_rows.constEnd())
        return *it;
    // Rows are looked up for every visible item; caching a whole sibling list at once keeps
    // folders with thousands of entries fast.
    const auto &list = siblings(n);
    int found = -1;
    for (int i = 0; i < int(list.size()); ++i) {
        m_rows.insert(list[i].get(), i);
        if (list[i].get() == n)
            found = i;
    }
    return found;
}

QModelIndex PoolTreeModel::indexOf(const TreeNode *n) const
{
    if (!n)
        return {};
    const int row = rowOf(n);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TreeNode *>(n));
}

bool PoolTreeModel::contains(const TreeNode *n) const
{
    if (!n)
        return false;
    bool found = false;
    tree().forEach([&](TreeNode *x) { found = found || x == n; });
    return found;
}

QModelIndex PoolTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const auto &list = parent.isValid() ? node(parent)->children : tree().roots;
    if (row >= int(list.size()))
        return {};
    return createIndex(row, 0, list[row].get());
}

QModelIndex PoolTreeModel::parent(const QModelIndex &child) const
{
    const TreeNode *n = node(child);
    return n && n->parent ? indexOf(n->parent) : QModelIndex();
}

int PoolTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(parent.isValid() ? node(parent)->children.size() : tree().roots.size());
}

int PoolTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant PoolTreeModel::data(const QModelIndex &index, int role) const
{
    const TreeNode *n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return n->text;
    case Qt::DecorationRole:
        return poolicons::node(n->imageIndex);
    case Qt::UserRole:
        return n->imageIndex;
    }
    return {};
}

bool PoolTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    TreeNode *n = node(index);
    if (!n || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    emit renameRequested(n, value.toString());
    return true;
}

Qt::ItemFlags PoolTreeModel::flags(const QModelIndex &index) const
{
    const TreeNode *n = node(index);
    if (!n)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (PoolOps::isFolder(n))
        f |= Qt::ItemIsDropEnabled;
    if (n->parent) {
        f |= Qt::ItemIsDragEnabled;
        if (!m_media || PoolOps::isFolder(n))
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QString PoolTreeModel::nodeMimeType()
{
    return QStringLiteral("application/x-mossbramble-pool-node");
}

QStringList PoolTreeModel::mimeTypes() const
{
    return {nodeMimeType()};
}

QMimeData *PoolTreeModel::mimeData(const QModelIndexList &indexes) const
{
    const TreeNode *n = indexes.isEmpty() ? nullptr : node(indexes.first());
    if (!n || !n->parent)
        return nullptr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quintptr(this) << quintptr(n) << tree().topIndex(n) << n->imageIndex << n->text;
    auto *mime = new QMimeData;
    mime->setData(nodeMimeType(), bytes);
    // Tool windows that take media entries or elements read the name.
    mime->setText(n->text);
    return mime;
}

TreeNode *PoolTreeModel::draggedNode(const QMimeData *data) const
{
    if (!data || !data->hasFormat(nodeMimeType()))
        return nullptr;
    QDataStream in(data->data(nodeMimeType()));
    quintptr model = 0, ptr = 0;
    in >> model >> ptr;
    if (model != quintptr(this))
        return nullptr;
    auto *n = reinterpret_cast<TreeNode *>(ptr);
    return contains(n) ? n : nullptr;
}

bool PoolTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                    const QModelIndex &parent) const
{
    // Only drops onto a node: the moved node becomes its last child.
    if (action != Qt::MoveAction || row != -1)
        return false;
    return PoolOps::canMove(tree(), draggedNode(data), node(parent));
}

bool PoolTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                 const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    emit moveRequested(draggedNode(data), node(parent));
    return true;
}

Qt::DropActions PoolTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions PoolTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

} // namespace mb
