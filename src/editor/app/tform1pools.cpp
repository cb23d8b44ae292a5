// The main window's two trees: their panels, pop-up menus and handlers. The tree logic is
// PoolOps'; these handlers ask, show and select.
#include "app/tform1.h"

#include "app/poolicons.h"
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform13.h"
#include "build/elementexchange.h"
#include "project/duplicate.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

namespace {

constexpr int MsgConfirmation = 365;

// The open dialog filter of a media kind; Linux file names are case-sensitive, so every
// pattern is offered in both cases.
QString mediaFilter(const QString &title, int mediaKind)
{
    static const char *const images = "bmp jpg jpe gif tga png";
    static const char *const sounds = "wav wma mp3 mp2 mp1 ogg";
    static const char *const trackers = "it mod xm s3m mo3 umx mtm";
    static const char *const movies = "wmv mpg mpeg avi swf";
    QString list;
    switch (mediaKind) {
    case Images: list = QLatin1String(images); break;
    case Sounds: list = QLatin1String(sounds); break;
    case Music: list = QLatin1String(sounds) + u' ' + QLatin1String(trackers); break;
    default: list = QLatin1String(movies); break;
    }
    QStringList patterns;
    for (const QString &ext : list.split(u' '))
        patterns << QStringLiteral("*.") + ext;
    for (const QString &ext : list.split(u' '))
        patterns << QStringLiteral("*.") + ext.toUpper();
    return title + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

QToolButton *treeButton(const QIcon &icon, const QString &hint, const QString &name)
{
    auto *b = new QToolButton;
    b->setObjectName(name);
    b->setIcon(icon);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    return b;
}

} // namespace

QWidget *TForm1::buildPoolPanel(PoolView *view, bool media)
{
    using P = poolicons::Tool;
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    layout->addWidget(view, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    const QString prefix = media ? QStringLiteral("Media") : QStringLiteral("game");
    const struct { P icon; int hint; const char *name; void (TForm1::*slot)(); } game[] = {
        {P::Plus, 83, "plus", &TForm1::gameplus}, {P::Minus, 84, "minus", &TForm1::gameminus},
        {P::NewFolder, 85, "ordner", &TForm1::gameordner}, {P::ExpandAll, 86, "treeplus", &TForm1::gametreeplus},
        {P::CollapseAll, 87, "treeminus", &TForm1::gametreeminus}};
    const struct { void (TForm1::*slot)(); } mediaSlots[] = {
        {&TForm1::MediaPlus}, {&TForm1::MediaMinus}, {&TForm1::MediaOrdner}, {&TForm1::mediatreeplus},
        {&TForm1::mediatreeminus}};
    for (int i = 0; i < 5; ++i) {
        QToolButton *b = treeButton(poolicons::tool(game[i].icon), m_catalog.msg(game[i].hint),
                                    prefix + QLatin1String(game[i].name));
        connect(b, &QToolButton::clicked, this, media ? mediaSlots[i].slot : game[i].slot);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    PoolTreeModel *model = view->poolModel();
    // Edits and drops are applied after the view has finished with its editor or drag.
    if (media) {
        connect(model, &PoolTreeModel::renameRequested, this, &TForm1::mediapoolEdited, Qt::QueuedConnection);
        connect(view, &QTreeView::doubleClicked, this, [this, view](const QModelIndex &i) {
            mediapoolDblClick(view->poolModel()->node(i));
        });
        connect(view, &PoolView::enterPressed, this, [this, view] { enterOnNode(view); });
        connect(view, &PoolView::deletePressed, this, &TForm1::MediaMinus);
        connect(view, &PoolView::insertPressed, this, &TForm1::MediaPlus);
        connect(view, &QTreeView::clicked, this,
                [this, view](const QModelIndex &i) { mediapoolClick(view->poolModel()->node(i)); });
        // Moving onto another entry (keys, a click) asks for it; a rebuild of the trees that
        // selects the same entry again does not restart what the preview plays.
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, view](const QModelIndex &i) {
            TreeNode *node = view->poolModel()->node(i);
            m_ops.selectMediaNode(node);
            if (node && node->parent && !PoolOps::isFolder(node) &&
                !(m_previewRequest == PreviewRequest{node->text, node->imageIndex}))
                mediapoolClick(node);
        });
    } else {
        connect(model, &PoolTreeModel::renameRequested, this, &TForm1::gamepoolEdited, Qt::QueuedConnection);
        connect(view, &QTreeView::clicked, this,
                [this, view](const QModelIndex &i) { gamepoolClick(view->poolModel()->node(i)); });
        connect(view, &QTreeView::doubleClicked, this,
                [this, view](const QModelIndex &i) { gamepoolDblClick(view->poolModel()->node(i)); });
        connect(view, &PoolView::enterPressed, this, [this, view] { enterOnNode(view); });
        connect(view, &PoolView::deletePressed, this, &TForm1::gameminus);
        connect(view, &PoolView::insertPressed, this, &TForm1::gameplus);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, view](const QModelIndex &i) { m_ops.selectGameNode(view->poolModel()->node(i)); });
    }
    connect(model, &PoolTreeModel::moveRequested, this, [this, model](TreeNode *node, TreeNode *target) {
        changeTrees([&] { return m_ops.moveNode(model->tree(), node, target) ? node : nullptr; });
    }, Qt::QueuedConnection);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &pos) { popupMenu(view, pos); });
    return panel;
}

void TForm1::enterOnNode(PoolView *view)
{
    // As a double click: a folder opens or closes, an element opens its tool window.
    const QModelIndex index = view->currentIndex();
    if (view->poolModel()->rowCount(index) > 0)
        view->setExpanded(index, !view->isExpanded(index));
    TreeNode *node = view->currentNode();
    if (view == m_mediapool)
        mediapoolDblClick(node);
    else
        gamepoolDblClick(node);
}

void TForm1::popupMenu(PoolView *view, const QPoint &pos)
{
    using P = poolicons::Tool;
    TreeNode *node = view->poolModel()->node(view->indexAt(pos));
    if (!node)
        return;
    view->selectNode(node);
    const bool media = view == m_mediapool;
    const bool folder = PoolOps::isFolder(node);
    QMenu menu(this);
    menu.setObjectName(media ? QStringLiteral("mediapopup") : QStringLiteral("gamepopup"));
    if (node->parent && (!media || folder))
        menu.addAction(poolicons::tool(P::Rename), m_catalog.msg(97), this, [view, node] { view->renameNode(node); });
    menu.addAction(poolicons::tool(P::NewFolder), m_catalog.msg(98), this, [this, view] { newFolder(view); });
    if (node->parent)
        menu.addAction(poolicons::tool(P::Delete), m_catalog.msg(99), this, [this, view] { deleteSelected(view); });
    if (!media) {
        if (node->imageIndex == nodeimage::Character || node->imageIndex == nodeimage::Room)
            menu.addAction(poolicons::tool(P::Export), m_catalog.msg(21), this, &TForm1::gamepoolexportClick);
        if (!folder)
            menu.addAction(poolicons::tool(P::Duplicate), m_catalog.msg(558), this, &TForm1::Duplizieren1Click);
    }
    menu.exec(view->viewport()->mapToGlobal(pos));
}

void TForm1::changeTrees(const std::function<TreeNode *()> &change)
{
    // The views follow the session's row signals; what is left is the selection.
    TreeNode *select = change();
    auto restore = [select](PoolView *view) {
        PoolTreeModel *model = view->poolModel();
        if (select && model->indexOf(select).isValid() && model->contains(select)) {
            view->selectNode(select);
            view->setFocus();
        } else if (!view->currentIndex().isValid()) {
            view->setCurrentIndex(model->index(0, 0));
        }
    };
    restore(m_gamepool);
    restore(m_mediapool);
}

void TForm1::showNewTrees()
{
    m_gamepool->forgetExpansion();
    m_mediapool->forgetExpansion();
    // A project opens with its kinds unfolded one level.
    for (PoolView *view : {m_gamepool, m_mediapool})
        for (const auto &root : view->poolModel()->tree().roots)
            view->expandNode(root.get());
    m_gamepool->setCurrentIndex(m_gameModel->index(0, 0));
    m_mediapool->setCurrentIndex(m_mediaModel->index(0, 0));
}

// --- inserting

void TForm1::insertElement(int elementKind)
{
    openToolWindow(PoolOps::toolWindowOf(PoolOps::elementImage(elementKind)));
    PoolResult result;
    TreeNode *selection = m_gamepool->currentNode();
    changeTrees([&] {
        result = m_ops.insertElement(elementKind, selection);
        return result.node;
    });
    if (!result.ok) {
        showMessage(result.message);
        return;
    }
    m_gamepool->expandNode(result.node->parent);
    StatusBar1Click();
    m_ops.selectGameNode(result.node);
    m_gamepool->renameNode(result.node);
}

void TForm1::insertMedia(int mediaKind)
{
    static constexpr int titles[4] = {88, 90, 89, 91}; // images, music, sounds, movies
    TreeNode *selection = m_mediapool->currentNode();
    if (model().media[mediaKind].firstFree() == 0) {
        const MediaInsertResult full = m_ops.insertMedia(mediaKind, QStringList(), selection);
        for (const Message &m : full.messages)
            showMessage(m);
        return;
    }
    const QString title = m_catalog.msg(titles[mediaKind]);
    const QStringList files = m_questions.openFiles(this, title, m_mediaFolder, mediaFilter(title, mediaKind), true);
    if (files.isEmpty())
        return;
    m_mediaFolder = QFileInfo(files.first()).absolutePath();
    MediaInsertResult result;
    changeTrees([&] {
        result = m_ops.insertMedia(mediaKind, files, selection);
        return result.lastNode;
    });
    for (const Message &m : result.messages)
        showMessage(m);
    if (result.lastNode) {
        m_mediapool->expandNode(result.lastNode->parent);
        m_ops.selectMediaNode(result.lastNode);
    }
    StatusBar1Click();
}

void TForm1::gameplus()
{
    const int kind = model().gameTree.topIndex(m_gamepool->currentNode());
    insertElement(kind < 0 ? 0 : kind);
}

void TForm1::MediaPlus()
{
    const int kind = model().mediaTree.topIndex(m_mediapool->currentNode());
    insertMedia(kind < 0 ? 0 : kind);
}

// --- folders

void TForm1::newFolder(PoolView *view)
{
    TreeNode *selection = view->currentNode();
    if (!selection)
        selection = view->poolModel()->tree().root(0);
    PoolResult result;
    changeTrees([&] {
        result = m_ops.newFolder(view->poolModel()->tree(), selection);
        return result.node;
    });
    if (!result.ok)
        return;
    view->expandNode(result.node->parent);
    view->renameNode(result.node);
}

void TForm1::gameordner()
{
    newFolder(m_gamepool);
}

void TForm1::MediaOrdner()
{
    newFolder(m_mediapool);
}

void TForm1::gametreeplus()
{
    m_gamepool->expandAll();
}

void TForm1::gametreeminus()
{
    m_gamepool->collapseAll();
}

void TForm1::mediatreeplus()
{
    m_mediapool->expandAll();
}

void TForm1::mediatreeminus()
{
    m_mediapool->collapseAll();
}

// --- renaming

void TForm1::gamepoolEdited(TreeNode *node, const QString &text)
{
    if (!m_gameModel->contains(node))
        return;
    PoolResult result;
    changeTrees([&] {
        result = m_ops.renameGameNode(node, text, &m_settings);
        return node;
    });
    showMessage(result.message);
    if (result.ok)
        m_ops.selectGameNode(node);
}

void TForm1::mediapoolEdited(TreeNode *node, const QString &text)
{
    if (!m_mediaModel->contains(node))
        return;
    PoolResult result;
    changeTrees([&] {
        result = m_ops.renameMediaFolder(node, text);
        return node;
    });
    showMessage(result.message);
}

// --- deleting

void TForm1::deleteSelected(PoolView *view)
{
    TreeNode *node = view->currentNode();
    if (!node || !node->parent)
        return;
    const Message question = m_ops.deleteQuestion(node);
    if (!question.isEmpty()
        && !m_questions.yesNoDefaultNo(this, m_catalog.msg(MsgConfirmation), question.render(m_catalog)))
        return;
    TreeNode *parent = node->parent;
    const bool media = view == m_mediapool;
    changeTrees([&] {
        if (media)
            m_ops.deleteMediaNode(node);
        else
            m_ops.deleteGameNode(node);
        return parent;
    });
    StatusBar1Click();
    if (media)
        m_ops.selectMediaNode(parent);
    else
        m_ops.selectGameNode(parent);
}

void TForm1::gameminus()
{
    deleteSelected(m_gamepool);
}

void TForm1::MediaMinus()
{
    deleteSelected(m_mediapool);
}

// --- clicks

void TForm1::gamepoolClick(TreeNode *node)
{
    if (!node)
        return;
    bool scriptKeySet = false;
    const QString window = m_ops.selectGameNode(node, &scriptKeySet);
    // Raised, not activated: the keyboard stays with the tree.
    if (QMdiSubWindow *w = window.isEmpty() ? nullptr : toolWindow(window))
        w->raise();
    if (scriptKeySet)
        requestScript(m_session.current().scriptKey, 0, false);
    if (QMdiSubWindow *w = scriptKeySet ? toolWindow(QStringLiteral("skriptwindow")) : nullptr)
        w->raise();
}

void TForm1::gamepoolDblClick(TreeNode *node)
{
    if (!node || !node->parent)
        return;
    if (PoolOps::isFolder(node)) {
        if (node->level() == 1 && node->children.empty())
            m_gamepool->renameNode(node);
        return;
    }
    bool scriptKeySet = false;
    const QString window = m_ops.selectGameNode(node, &scriptKeySet);
    if (scriptKeySet)
        requestScript(m_session.current().scriptKey, 0, false);
    if (!window.isEmpty() && !isToolWindowOpen(window))
        openToolWindow(window);
}

void TForm1::mediapoolDblClick(TreeNode *node)
{
    if (!node || !node->parent)
        return;
    if (PoolOps::isFolder(node)) {
        if (node->level() == 1 && node->children.empty())
            m_mediapool->renameNode(node);
        return;
    }
    m_ops.selectMediaNode(node);
    bringToFront(QStringLiteral("Form2"));
}

void TForm1::mediapoolClick(TreeNode *node)
{
    if (!node || !node->parent || PoolOps::isFolder(node))
        return;
    m_ops.selectMediaNode(node);
    m_previewRequest = {node->text, node->imageIndex};
    emit previewRequested(m_previewRequest);
}

// --- duplicate and exchange

void TForm1::Duplizieren1Click()
{
    TreeNode *node = m_gamepool->currentNode();
    if (!node || !node->parent || PoolOps::isFolder(node))
        return;
    DuplicateResult result;
    changeTrees([&] {
        result = duplicateElement(m_session, node);
        return result.node;
    });
    if (!result.ok) {
        if (!result.message.isEmpty())
            error(result.message.render(m_catalog));
        return;
    }
    m_gamepool->expandNode(result.node->parent);
    StatusBar1Click();
    m_ops.selectGameNode(result.node);
    m_gamepool->renameNode(result.node);
}

void TForm1::gamepoolexportClick()
{
    const TreeNode *node = m_gamepool->currentNode();
    if (!node || !node->parent)
        return;
    const bool character = node->imageIndex == nodeimage::Character;
    if (!character && node->imageIndex != nodeimage::Room)
        return;
    const QString extension = character ? QStringLiteral(".adc") : QStringLiteral(".adr");
    const QString filter = m_catalog.extra(character ? extratext::CharacterExportFilter : extratext::RoomExportFilter);
    const QString folder = m_session.projectFolder().isEmpty() ? m_session.editorFolder() : m_session.projectFolder();
    QString chosen = m_questions.saveFile(this, m_catalog.msg(21), QDir(folder).filePath(node->text + extension), filter);
    if (chosen.isEmpty())
        return;
    chosen = withExchangeExtension(chosen, extension);
    m_wait->showwait(m_catalog.msg(21) + QStringLiteral(" ") + node->text);
    const ExchangeResult result = character ? exportCharacter(model(), m_catalog, node->text, chosen)
                                            : exportRoom(model(), m_catalog, node->text, chosen);
    m_wait->hidewait();
    if (result.ok)
        information(result.message);
    else
        error(result.message);
}

void TForm1::importchar()
{
    importElement(378, m_catalog.extra(extratext::CharacterExportFilter), nodeimage::Character, importCharacter);
}

void TForm1::importroom()
{
    importElement(379, m_catalog.extra(extratext::RoomExportFilter), nodeimage::Room, importRoom);
}

void TForm1::importElement(int title, const QString &filter, int image,
                           ExchangeResult (*import)(ProjectSession &, const QString &))
{
    const QStringList chosen = m_questions.openFiles(this, m_catalog.msg(title), m_session.projectFolder(), filter, false);
    if (chosen.isEmpty())
        return;
    ExchangeResult result;
    m_wait->showwait(m_catalog.msg(title));
    beginBusy();
    changeTrees([&] {
        result = import(m_session, chosen.first());
        return result.ok ? PoolOps::findNode(model().gameTree, result.elementName, image) : nullptr;
    });
    endBusy();
    m_session.setBusy(false);
    m_wait->hidewait();
    StatusBar1Click();
    if (!result.ok) {
        error(result.message);
        return;
    }
    information(result.message + (result.notes.isEmpty() ? QString() : u'\n' + result.notes.join(u'\n')));
}

} // namespace mb
