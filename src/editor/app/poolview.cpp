#include "app/poolview.h"

#include "app/pooltreemodel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

namespace mb {

PoolView::PoolView(PoolTreeModel *model, QWidget *parent) : QTreeView(parent), m_model(model)
{
    setModel(model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setIconSize(QSize(16, 16));

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &i) {
        if (const TreeNode *n = m_model->node(i))
            m_expanded.insert(n);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &i) {
        if (!m_restoring)
            m_expanded.remove(m_model->node(i));
    });
    connect(model, &QAbstractItemModel::modelReset, this, &PoolView::restoreExpansion);
}

TreeNode *PoolView::currentNode() const
{
    return m_model->node(currentIndex());
}

void PoolView::restoreExpansion()
{
    // Nodes deleted by the change drop out of the set; the others open again.
    QSet<const TreeNode *> live;
    m_restoring = true;
    m_model->tree().forEach([&](TreeNode *n) {
        if (m_expanded.contains(n)) {
            live.insert(n);
            setExpanded(m_model->indexOf(n), true);
        }
    });
    m_restoring = false;
    m_expanded = live;
}

void PoolView::expandNode(const TreeNode *node)
{
    setExpanded(m_model->indexOf(node), true);
}

bool PoolView::selectNode(const TreeNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    if (!index.isValid())
        return false;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        setExpanded(p, true);
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

void PoolView::renameNode(const TreeNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    if (index.isValid() && (m_model->flags(index) & Qt::ItemIsEditable))
        edit(index);
}

void PoolView::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Delete) {
            emit deletePressed();
            return;
        }
        if (event->key() == Qt::Key_Insert) {
            emit insertPressed();
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
            emit enterPressed();
            return;
        }
        if (event->key() == Qt::Key_Menu) {
            menuAtCurrentNode();
            return;
        }
    }
    if (state() != EditingState && event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        menuAtCurrentNode();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void PoolView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        menuAtCurrentNode();
        return;
    }
    QTreeView::contextMenuEvent(event);
}

void PoolView::menuAtCurrentNode()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    scrollTo(index);
    const QRect r = visualRect(index);
    // Beside the node's text, like a right click on it.
    emit customContextMenuRequested(QPoint(r.left() + qMin(r.width() / 2, 40), r.center().y()));
}

void PoolView::mouseMoveEvent(QMouseEvent *event)
{
    // Nodes are dragged with the left button only; the right one opens the pop-up menu.
    if (state() == NoState && !(event->buttons() & Qt::LeftButton) && event->buttons() != Qt::NoButton)
        return;
    QTreeView::mouseMoveEvent(event);
}

} // namespace mb
