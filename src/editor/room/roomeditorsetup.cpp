#include "room/roomeditorsetup.h"

#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "assets/asseteditorsetup.h"
#include "project/projectsession.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "room/troom.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

namespace mb {

namespace {

const QString kWindow = QStringLiteral("room");

struct ModeInfo
{
    RoomEditMode mode;
    const char *name;
    int on, off, hint, status;
};
// Captions: "... on" while the mode is off, "... off" while it is on.
constexpr ModeInfo kModes[4] = {
    {RoomEditMode::Walkmap, "togglewalkmap", 55, 56, 78, 213},
    {RoomEditMode::Depth, "setupdeep", 57, 58, 80, 212},
    {RoomEditMode::Inventory, "setupitem", 59, 60, 81, 202},
    {RoomEditMode::Fx, "FXShapesein1", 473, 474, 475, 475},
};

} // namespace

RoomEditorSetup::RoomEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings)
    : QObject(&form), m_form(form), m_session(session), m_catalog(catalog), m_settings(settings)
{
    setObjectName(QStringLiteral("roomeditor"));
    form.setToolWindowFactory(kWindow, [this](const QString &) -> QWidget * {
        auto *w = new Troom(m_form, m_session, m_catalog, m_settings);
        connect(w, &Troom::scriptRequested, &m_form,
                [this](const QString &key, bool show) { m_form.requestScript(key, 0, show); });
        connect(w, &Troom::status, this, [this](const QString &text) { m_form.statusPanel(2)->setText(text); });
        connect(w, &Troom::assetRequested, this, &RoomEditorSetup::showAsset);
        w->setMode(m_mode);
        w->openRoom(m_request);
        // The window's place from config.ini, once the frame around it exists.
        QMetaObject::invokeMethod(w, [this, w] {
            bool okTop = false, okLeft = false;
            const int top = m_settings.readsetting(QStringLiteral("Raum Top")).toInt(&okTop);
            const int left = m_settings.readsetting(QStringLiteral("Raum Left")).toInt(&okLeft);
            QWidget *frame = w->parentWidget() ? w->parentWidget() : w;
            if (auto *sub = qobject_cast<QMdiSubWindow *>(frame)) {
                sub->setWindowTitle(w->windowTitle());
                sub->adjustSize();
            }
            frame->move(1, 1);
            if (okTop && okLeft && top != -1 && left != -1)
                frame->move(left, top);
        }, Qt::QueuedConnection);
        return w;
    });

    // The game tree: a room clicked is shown, a room double-clicked also opens the window (the
    // main window's own handler opens it first).
    PoolView *pool = form.gamepool();
    auto roomOf = [pool](const QModelIndex &i) -> QString {
        const TreeNode *node = pool->poolModel()->node(i);
        return node && node->parent && node->imageIndex == nodeimage::Room ? node->text : QString();
    };
    connect(pool, &QAbstractItemView::clicked, this, [this, roomOf](const QModelIndex &i) {
        if (const QString room = roomOf(i); !room.isEmpty())
            requestRoom(room);
    });
    connect(pool, &QAbstractItemView::doubleClicked, this, [this, roomOf](const QModelIndex &i) {
        if (const QString room = roomOf(i); !room.isEmpty())
            requestRoom(room);
    });

    for (int i = 0; i < 4; ++i) {
        auto *a = new QAction(&form);
        a->setObjectName(QLatin1String(kModes[i].name));
        a->setCheckable(true);
        a->setToolTip(catalog.msg(kModes[i].hint));
        const RoomEditMode mode = kModes[i].mode;
        connect(a, &QAction::triggered, this, [this, mode] { toggleMode(mode); });
        form.addAction(a);
        m_actions[i] = a;
    }
    if (QToolBar *bar = form.toolBar()) {
        bar->addSeparator();
        for (QAction *a : m_actions)
            bar->addAction(a);
    }
    // In the Window menu, under the room window's entry.
    for (QMenu *menu : form.findChildren<QMenu *>())
        if (menu->actions().contains(form.action(QStringLiteral("windowroom")))) {
            menu->addSeparator();
            for (QAction *a : m_actions)
                menu->addAction(a);
            break;
        }
    updateActions();
}

Troom *RoomEditorSetup::window() const
{
    QMdiSubWindow *sub = m_form.toolWindow(kWindow);
    return sub ? qobject_cast<Troom *>(sub->widget()) : nullptr;
}

QAction *RoomEditorSetup::modeAction(RoomEditMode mode) const
{
    for (int i = 0; i < 4; ++i)
        if (kModes[i].mode == mode)
            return m_actions[i];
    return nullptr;
}

void RoomEditorSetup::toggleMode(RoomEditMode mode)
{
    m_mode = m_mode == mode ? RoomEditMode::None : mode;
    updateActions();
    if (Troom *w = window())
        w->setMode(m_mode);
    int status = 211;
    for (const ModeInfo &info : kModes)
        if (info.mode == m_mode)
            status = info.status;
    m_form.statusPanel(2)->setText(m_catalog.msg(status));
}

void RoomEditorSetup::requestRoom(const QString &name)
{
    m_request = name;
    if (Troom *w = window())
        w->openRoom(name);
}

void RoomEditorSetup::showAsset(const QString &window, const QString &element)
{
    auto *assets = m_form.findChild<AssetEditorSetup *>();
    if (!assets || element.isEmpty())
        return;
    // The request first: the editor that opens shows it.
    assets->request(window, element);
    m_form.bringToFront(window);
}

void RoomEditorSetup::updateActions()
{
    for (int i = 0; i < 4; ++i) {
        const bool on = kModes[i].mode == m_mode;
        m_actions[i]->setChecked(on);
        m_actions[i]->setText(m_catalog.msg(on ? kModes[i].off : kModes[i].on));
    }
}

} // namespace mb
