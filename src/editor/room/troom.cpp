#include "room/troom.h"

#include "app/pooltreemodel.h"
#include "project/asker.h"
#include "app/tform1.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "room/roomgeometry.h"
#include "room/roompanels.h"
#include "room/roomscene.h"
#include "room/roomsurface.h"
#include "room/roomtexts.h"
#include "room/walkmappen.h"
#include "script/scriptkey.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDataStream>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace mb {

Troom::Troom(TForm1 &form, ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings,
             QWidget *parent)
    : QWidget(parent), m_form(form), m_session(session), m_model(session.model()), m_catalog(catalog),
      m_settings(settings)
{
    setObjectName(QStringLiteral("Troom"));
    m_surface = new RoomSurface(m_model, m_images, catalog);
    m_surface->setObjectName(QStringLiteral("surface"));
    m_surface->setAcceptDrops(true);
    m_surface->setFocusPolicy(Qt::StrongFocus);
    m_surface->installEventFilter(this);
    connect(m_surface, &RoomSurface::imagesMissing, this, [this](const QStringList &texts) {
        for (const QString &text : texts)
            m_form.questions().error(this, m_catalog.msg(366), text);
    });
    m_scrollArea = new QScrollArea;
    m_scrollArea->setObjectName(QStringLiteral("view"));
    m_scrollArea->setWidget(m_surface);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->viewport()->installEventFilter(this);

    buildPanels();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_scrollArea, 1);
    layout->addWidget(m_panel);

    const QSize client = roomgeo::roomWindowClientSize(metrics());
    resize(client + QSize(m_scrollArea->frameWidth() * 2, 0));
    retranslate();
    openRoom(QStringLiteral("free"));
    connect(&session, &ProjectSession::changed, this, &Troom::changed);
}

Troom::~Troom() = default;

QSize Troom::sizeHint() const
{
    const QSize surface = m_surface->sizeHint();
    return QSize(surface.width(), surface.height() + PanelHeight);
}

RoomMetrics Troom::metrics() const
{
    const Rroom *r = m_room > 0 ? &m_model.rooms[m_room] : nullptr;
    return RoomMetrics::of(m_model.settings, r);
}

const Rroom *Troom::currentRoom() const
{
    return m_room > 0 && m_model.rooms.used(m_room) ? &m_model.rooms[m_room] : nullptr;
}

QString Troom::roomName() const
{
    return m_room > 0 ? m_model.rooms[m_room].name : QString();
}

RoomItem Troom::selection() const
{
    return m_surface->view().selection;
}

QPoint Troom::markedCell() const
{
    return m_surface->view().markedCell;
}

RoomEditMode Troom::mode() const
{
    return m_surface->view().mode;
}

ProjectSession::MergeKey Troom::mergeKey(int what) const
{
    return ProjectSession::mergeKey(this, what);
}

RoomCommands Troom::commands() const
{
    return RoomCommands(m_session, m_room);
}

void Troom::endGesture()
{
    m_session.endGesture();
}

void Troom::changed(const ProjectChange &c)
{
    if (c.phase != ProjectChange::Done)
        return;
    switch (c.kind) {
    case ProjectChange::Media:
        // A new path for an image (or new images): the cache reads them again.
        if (c.mediaKind != Images)
            return;
        if (c.slot >= 1 && c.slot <= m_model.media[Images].size())
            m_images.forget(m_model.media[Images].name(c.slot));
        else
            m_images.clear();
        break;
    case ProjectChange::Element:
        // Rooms, and the objects and characters they show (frames and sizes from the asset
        // editors).
        if (c.elementKind != Rooms && c.elementKind != Objects && c.elementKind != Characters)
            return;
        break;
    case ProjectChange::Reset:
        // Another project: its images may share names with the old one's, and the room's slot
        // may hold another room.
        m_images.clear();
        openRoom(m_roomName.isEmpty() ? QStringLiteral("free") : m_roomName);
        return;
    case ProjectChange::RoomCharacter:
    case ProjectChange::Settings:
        break;
    default:
        if (!c.isTreeChange())
            return;
    }
    projectChanged();
}

void Troom::projectChanged()
{
    // Another project (opened, new, saved elsewhere): its images may share names with the old
    // one's, and the room slot may hold another room.
    const QString project = m_form.session().projectFolder() + u'/' + m_model.settings.projectName;
    if (project != m_project) {
        m_project = project;
        m_images.clear();
        openRoom(m_roomName.isEmpty() ? QStringLiteral("free") : m_roomName);
        return;
    }
    if (m_room > 0 && !m_model.rooms.used(m_room)) {
        // Removed, or moved to another slot.
        openRoom(m_roomName);
        return;
    }
    if (m_room > 0 && m_model.rooms[m_room].name != m_roomName) {
        m_roomName = m_model.rooms[m_room].name; // renamed
        setWindowTitle(m_catalog.msg(209) + m_roomName + u')');
        if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->setWindowTitle(windowTitle());
    }
    // The selection follows its placement to another slot (an order step undone); one that went
    // away is no longer selected.
    const RoomItem item = roompanels::followSelection(m_model, m_room, selection(), m_selectedName);
    if (item != selection())
        m_surface->setSelection(item);
    if (item.isNone())
        m_selectedName.clear();
    const Rroom *r = currentRoom();
    m_surface->setScroll(r ? QPoint(r->scrollX, r->scrollY) : QPoint());
    m_surface->projectChanged();
    updateRoomControls();
    updatePanels();
}

// --- opening

void Troom::openRoom(const QString &name)
{
    const int slot = name == QLatin1String("free") ? 0 : m_model.rooms.find(name);
    m_room = slot;
    m_roomName = slot ? name : QString();
    m_project = m_form.session().projectFolder() + u'/' + m_model.settings.projectName;
    m_drag = Drag::None;
    if (m_pen == WalkmapPen::ScriptPen || m_pen == WalkmapPen::ScriptEraser)
        m_pen = WalkmapPen::Size1;
    m_surface->setPen(m_pen);
    m_surface->setRoom(slot);
    m_surface->setMarkedCell(walkmappen::NoCell);
    m_surface->setSelection({});
    m_selectedName.clear();
    const Rroom *r = currentRoom();
    m_surface->setScroll(r ? QPoint(r->scrollX, r->scrollY) : QPoint());
    setWindowTitle(r ? m_catalog.msg(209) + r->name + u')' : m_catalog.msg(210));
    if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(windowTitle());
    m_fxtab->setCurrentIndex(0);
    updateRoomControls();
    updatePanels();
}

void Troom::setMode(RoomEditMode mode)
{
    m_drag = Drag::None;
    m_surface->setMode(mode);
    if (mode != RoomEditMode::None)
        m_surface->setSelection({});
    updatePanels();
}

void Troom::select(RoomItem item)
{
    m_surface->setSelection(item);
    m_selectedName = itemName(item);
    updatePanels();
}

void Troom::setPen(WalkmapPen pen)
{
    m_pen = pen;
    m_surface->setPen(pen);
    if (pen == WalkmapPen::ScriptEraser)
        emit scriptRequested(QStringLiteral("free"), false);
}

void Troom::setViewZoom(double zoom)
{
    m_viewZoom = zoom;
    m_updating = true;
    for (int i = 0; i < 4; ++i)
        if (Zooms[i] == zoom)
            m_viewZoomBox->setCurrentIndex(i);
    m_updating = false;
    if (zoom > 0)
        m_surface->setZoom(zoom);
    else
        fitZoom();
}

void Troom::fitZoom()
{
    const QSize game = QSize(m_model.settings.gameWidth, m_model.settings.gameHeight) * m_surface->pixelScale();
    const QSize room = m_scrollArea->viewport()->size();
    const double k = std::min(double(room.width()) / game.width(), double(room.height()) / game.height());
    m_surface->setZoom(std::max(0.125, k));
}

QString Troom::itemName(RoomItem item) const
{
    return commands().placementName(item);
}

void Troom::setScroll(QPoint scroll, bool merge)
{
    commands().setScroll(scroll, merge ? mergeKey(MergeScroll) : 0);
}

// --- menus

void Troom::askScript(RoomItem item)
{
    if (item.kind == RoomItem::Object)
        emit scriptRequested(ScriptKey::roomObject(roomName(), item.index).text(), false);
    else if (item.kind == RoomItem::Character)
        emit scriptRequested(ScriptKey::roomCharacter(item.index).text(), false);
    else
        emit scriptRequested(ScriptKey::room(roomName()).text(), false);
}

void Troom::removeSelected()
{
    const RoomItem item = selection();
    if (!currentRoom() || (item.kind != RoomItem::Object && item.kind != RoomItem::Character))
        return;
    if (!m_model.settings.silentDelete
        && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), roomedit::removalQuestion(m_model, m_room, item, m_catalog)))
        return;
    endGesture();
    select({});
    commands().remove(item);
    if (item.kind == RoomItem::Object)
        emit scriptRequested(QStringLiteral("free"), false);
}

void Troom::removeBackground(bool parallax)
{
    const Rroom *r = currentRoom();
    if (!r || (parallax ? r->parallax : r->background).isEmpty())
        return;
    if (!m_model.settings.silentDelete
        && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(parallax ? 219 : 218)))
        return;
    endGesture();
    commands().setBackground(QString(), parallax);
}

void Troom::order(bool front)
{
    const RoomItem item = selection();
    if (!currentRoom() || item.isNone())
        return;
    endGesture();
    select(commands().order(item, front));
}

void Troom::showRoomMenu(QPoint globalPos)
{
    const RoomItem item = selection();
    const Rroom *r = currentRoom();
    QMenu menu(this);
    m_lastMenu = &menu;
    if (item.kind == RoomItem::Object || item.kind == RoomItem::Character) {
        const bool object = item.kind == RoomItem::Object;
        menu.setObjectName(object ? QStringLiteral("roommenu") : QStringLiteral("charpopup"));
        menu.addAction(m_catalog.msg(235), this, &Troom::removeSelected)
            ->setObjectName(object ? QStringLiteral("Entfernen1") : QStringLiteral("Entfernen2"));
        // The object or character the placement shows, in its editor.
        const QString element = object ? r->objects[item.index - 1].objectName : m_model.roomChars[item.index].characterName;
        menu.addAction(m_catalog.msg(object ? 436 : 437), this, [this, object, element] {
            emit assetRequested(object ? QStringLiteral("objbox") : QStringLiteral("charbox"), element);
        })->setObjectName(object ? QStringLiteral("ImObjektfensterffnen1") : QStringLiteral("ImCharacterfensterzeigen1"));
        menu.addAction(m_catalog.msg(236), this, [this] { order(false); })
            ->setObjectName(object ? QStringLiteral("NachHintensetzen1") : QStringLiteral("NachHintensetzen2"));
        menu.addAction(m_catalog.msg(237), this, [this] { order(true); })
            ->setObjectName(object ? QStringLiteral("NachVorneSetzen1") : QStringLiteral("achVornesetzen1"));
    } else if (r && (!r->background.isEmpty() || !r->parallax.isEmpty())) {
        menu.setObjectName(QStringLiteral("bgpopup"));
        menu.addAction(m_catalog.msg(233), this, [this] { removeBackground(false); })
            ->setObjectName(QStringLiteral("Hintergrundentfernen1"));
        menu.addAction(m_catalog.msg(234), this, [this] { removeBackground(true); })
            ->setObjectName(QStringLiteral("ParalaxHintergrundentfernen1"));
    } else {
        m_lastMenu = nullptr;
        return;
    }
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::showPenMenu(QPoint globalPos)
{
    const Rroom *r = currentRoom();
    if (!r)
        return;
    const QPoint cell = roomgeo::walkmapCellAt(m_surface->toRoom(m_surface->mapFromGlobal(globalPos)), metrics());
    const walkmappen::PenMenuState state = walkmappen::penMenuState(r->walkmap, cell, markedCell());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("penselect"));
    m_lastMenu = &menu;
    auto *modes = new QActionGroup(&menu);
    auto add = [&](const char *name, int text, bool checked, QActionGroup *group, auto slot) {
        QAction *a = menu.addAction(m_catalog.msg(text), this, slot);
        a->setObjectName(QLatin1String(name));
        if (group) {
            a->setCheckable(true);
            a->setChecked(checked);
            group->addAction(a);
        }
        return a;
    };
    add("Mode1", 484, !m_block, modes, [this] { m_block = false; });
    add("Block1", 485, m_block, modes, [this] { m_block = true; });
    menu.addSeparator();
    auto *pens = new QActionGroup(&menu);
    add("Pensize11", 486, m_pen == WalkmapPen::Size1, pens, [this] { setPen(WalkmapPen::Size1); });
    add("Pensize21", 487, m_pen == WalkmapPen::Size2, pens, [this] { setPen(WalkmapPen::Size2); });
    add("Pensize31", 488, m_pen == WalkmapPen::Size3, pens, [this] { setPen(WalkmapPen::Size3); });
    add("ScriptPen1", 561, m_pen == WalkmapPen::ScriptPen, pens, [this] { setPen(WalkmapPen::ScriptPen); })
        ->setEnabled(state.scriptPen);
    add("ScriptEraser1", 562, m_pen == WalkmapPen::ScriptEraser, pens, [this] { setPen(WalkmapPen::ScriptEraser); });
    menu.addSeparator();
    add("CopyScript2", 376, false, nullptr, [this, cell] { m_surface->setMarkedCell(cell); })->setEnabled(state.copyScript);
    add("PasteScript2", 377, false, nullptr, [this, cell] {
        endGesture();
        QPoint marked = markedCell();
        commands().pasteCellScript(marked, cell);
        m_surface->setMarkedCell(marked);
    })->setEnabled(state.pasteScript);
    add("EditScript1", 224, false, nullptr, [this, cell] { editCellScript(cell); });
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::showInventoryMenu(QPoint globalPos)
{
    const Rroom *r = currentRoom();
    if (!r || !r->flag2)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("itemmappopup"));
    m_lastMenu = &menu;
    menu.addAction(m_catalog.msg(232), this, [this] {
        if (!m_model.settings.silentDelete && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(216)))
            return;
        endGesture();
        commands().removeInventoryField();
    })->setObjectName(QStringLiteral("Feldentfernen1"));
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::editCellScript(QPoint cell)
{
    if (!currentRoom())
        return;
    endGesture();
    commands().ensureCellScript(cell);
    emit scriptRequested(ScriptKey::walkmapCell(roomName(), cell.x(), cell.y()).text(), true);
}

// --- mouse and keys

bool Troom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scrollArea->viewport()) {
        if (event->type() == QEvent::Resize && m_viewZoom == 0)
            fitZoom();
        if (event->type() == QEvent::Wheel) {
            auto *w = static_cast<QWheelEvent *>(event);
            if (w->modifiers() & Qt::ControlModifier) {
                // Ctrl+wheel steps through 50, 100 and 200 %.
                const double now = m_surface->zoom();
                const double next = w->angleDelta().y() > 0 ? (now < 1 ? 1 : 2) : (now > 1 ? 1 : 0.5);
                setViewZoom(next);
                return true;
            }
        }
        return false;
    }
    if (watched != m_surface)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePress(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseButtonRelease:
        mouseRelease(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseButtonDblClick:
        mouseDoubleClick(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            endGesture(); // a run of arrow keys ends when the key goes up
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return dragEnter(static_cast<QDropEvent *>(event), false);
    case QEvent::Drop:
        return dragEnter(static_cast<QDropEvent *>(event), true);
    default:
        return false;
    }
}

void Troom::mousePress(QMouseEvent *event)
{
    const Rroom *r = currentRoom();
    if (!r)
        return;
    endGesture();
    m_surface->setFocus();
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    m_anchor = m_dragStart = p;
    m_drag = Drag::None;
    const RoomMetrics m = metrics();
    switch (mode()) {
    case RoomEditMode::None:
        pressNone(event, p);
        break;
    case RoomEditMode::Walkmap:
        if (event->button() == Qt::LeftButton) {
            m_drag = Drag::Walkmap;
            m_lastCell = QPoint(-1, -1);
            mouseMove(event);
        }
        break;
    case RoomEditMode::Depth:
        if (event->button() == Qt::LeftButton) {
            m_depthLine = roomedit::depthLineAt(*r, roomedit::depthRowAt(p.y(), m));
            if (m_depthLine)
                m_drag = Drag::DepthLine;
        }
        break;
    case RoomEditMode::Inventory:
        if (event->button() != Qt::LeftButton)
            break;
        if (!r->flag2) {
            m_drag = Drag::Band;
            m_surface->setFieldBand(QRect());
        } else {
            m_inventoryDrag = roomedit::beginInventoryDrag(*r, p, m);
            if (m_inventoryDrag.zone != roomedit::InventoryZone::None)
                m_drag = Drag::Inventory;
        }
        break;
    case RoomEditMode::Fx:
        if (event->button() == Qt::LeftButton) {
            m_fxHandle = fxshapes::handleAt(*r, p, m);
            if (!m_fxHandle.isNone()) {
                m_drag = Drag::Fx;
                m_fxLineAtStart = r->fx[m_fxHandle.shape - 1].int2;
                m_fxtab->setCurrentIndex(m_fxHandle.shape - 1);
            }
        }
        break;
    }
}

void Troom::pressNone(QMouseEvent *event, QPoint p)
{
    RoomItem below;
    RoomItem hit = RoomScene(m_model, m_room).hitTest(p, &below);
    if (event->button() == Qt::MiddleButton)
        hit = below; // the thing under the topmost one
    if (hit.kind == RoomItem::DepthMarker) {
        select(hit);
        if (event->button() == Qt::LeftButton)
            m_drag = Drag::DepthMarker;
        return;
    }
    select(hit);
    askScript(hit);
    if (!hit.isNone() && event->button() == Qt::LeftButton)
        m_drag = Drag::Move;
}

void Troom::mouseMove(QMouseEvent *event)
{
    const Rroom *r = currentRoom();
    if (!r || m_drag == Drag::None || !(event->buttons() & (Qt::LeftButton | Qt::MiddleButton)))
        return;
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    const RoomMetrics m = metrics();
    RoomCommands room = commands();
    switch (m_drag) {
    case Drag::Move: {
        const QPoint d = p - m_anchor;
        m_anchor = p;
        room.dragBy(selection(), d, mergeKey(MergeMove));
        break;
    }
    case Drag::DepthMarker:
        room.setObjectDepthLine(selection().index, roomedit::depthRowAt(p.y(), m), mergeKey(MergeMarker));
        break;
    case Drag::DepthLine:
        room.dragDepthLine(m_depthLine, roomedit::depthRowAt(p.y(), m), mergeKey(MergeDepth));
        break;
    case Drag::Band:
        // On the screen, as it is drawn: right of and below the start only.
        if (p.x() > m_dragStart.x() && p.y() > m_dragStart.y())
            m_surface->setFieldBand(QRect(m_dragStart - QPoint(r->scrollX, r->scrollY), p - QPoint(r->scrollX, r->scrollY)));
        else
            m_surface->setFieldBand(QRect());
        break;
    case Drag::Inventory:
        room.dragInventory(m_inventoryDrag, p, mergeKey(MergeInventory));
        break;
    case Drag::Walkmap: {
        const QPoint cell = roomgeo::walkmapCellAt(p, m);
        if (cell == m_lastCell)
            break;
        m_lastCell = cell;
        QPoint marked = markedCell();
        room.paint(m_pen, m_block, cell, marked, mergeKey(MergeStroke));
        m_surface->setMarkedCell(marked);
        break;
    }
    case Drag::Fx: {
        const QPoint d = p - m_anchor;
        m_anchor = p;
        room.dragFxHandle(m_fxHandle, d, p.y() - m_dragStart.y(), m_fxLineAtStart, mergeKey(MergeFx));
        break;
    }
    case Drag::None:
        break;
    }
}

void Troom::mouseRelease(QMouseEvent *event)
{
    const Rroom *r = currentRoom();
    const Drag drag = m_drag;
    m_drag = Drag::None;
    endGesture();
    if (!r)
        return;
    if (drag == Drag::Band) {
        const QRect band = m_surface->view().fieldBand.value_or(QRect());
        m_surface->setFieldBand(std::nullopt);
        if (band.isValid())
            commands().makeInventoryField(band.translated(r->scrollX, r->scrollY));
    }
    if (event->button() != Qt::RightButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    switch (mode()) {
    case RoomEditMode::None:
        showRoomMenu(global);
        break;
    case RoomEditMode::Walkmap:
        showPenMenu(global);
        break;
    case RoomEditMode::Inventory:
        showInventoryMenu(global);
        break;
    default:
        break;
    }
}

void Troom::mouseDoubleClick(QMouseEvent *event)
{
    if (!currentRoom() || mode() != RoomEditMode::Walkmap || event->button() != Qt::LeftButton
        || m_pen == WalkmapPen::ScriptPen || m_pen == WalkmapPen::ScriptEraser)
        return;
    editCellScript(roomgeo::walkmapCellAt(m_surface->toRoom(event->position().toPoint()), metrics()));
}

bool Troom::keyPress(QKeyEvent *event)
{
    const Rroom *r = currentRoom();
    if (!r || mode() != RoomEditMode::None)
        return false;
    const RoomItem item = selection();
    const bool thing = item.kind == RoomItem::Object || item.kind == RoomItem::Character;
    std::optional<roomedit::ArrowKey> arrow;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (thing)
            removeSelected();
        else
            removeBackground(false);
        return true;
    case Qt::Key_Left: arrow = roomedit::ArrowKey::Left; break;
    case Qt::Key_Right: arrow = roomedit::ArrowKey::Right; break;
    case Qt::Key_Up: arrow = roomedit::ArrowKey::Up; break;
    case Qt::Key_Down: arrow = roomedit::ArrowKey::Down; break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (thing) {
            const RoomItem next = roomedit::cycleSelection(m_model, m_room, item, event->key() == Qt::Key_PageDown);
            select(next);
            askScript(next);
        }
        return true;
    default:
        return false;
    }
    if (thing)
        commands().nudge(item, *arrow, mergeKey(MergeArrows));
    return true;
}

// --- drops from the trees

bool Troom::dragEnter(QDropEvent *event, bool drop)
{
    const QMimeData *data = event->mimeData();
    if (!currentRoom() || !data->hasFormat(PoolTreeModel::nodeMimeType()))
        return false;
    QDataStream in(data->data(PoolTreeModel::nodeMimeType()));
    quintptr model = 0, node = 0;
    int top = -1, image = -1;
    QString name;
    in >> model >> node >> top >> image >> name;
    const bool media = model == quintptr(m_form.mediaModel());
    const bool objectsAllowed = mode() == RoomEditMode::None || mode() == RoomEditMode::Fx;
    const bool accepted = media ? image == nodeimage::Image
                                : objectsAllowed && (image == nodeimage::Object || image == nodeimage::Character);
    if (!accepted) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    if (!drop)
        return true;
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    if (media) {
        // Shown after the drop has finished.
        const QPoint global = m_surface->mapToGlobal(event->position().toPoint());
        QMetaObject::invokeMethod(this, [this, name, global] { addBackgroundMenu(name, global); }, Qt::QueuedConnection);
        return true;
    }
    endGesture();
    if (image == nodeimage::Object)
        commands().placeObject(name, p);
    else
        commands().placeCharacter(name, p);
    m_images.preloadRoom(m_model, m_room);
    select({});
    return true;
}

void Troom::addBackgroundMenu(const QString &image, QPoint globalPos)
{
    if (!currentRoom())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("addbg"));
    m_lastMenu = &menu;
    auto set = [this, image](bool parallax) {
        // Only an image that can be shown becomes the background.
        if (!m_images.image(m_model, image)) {
            for (const ImageProblem &problem : m_images.takeProblems())
                m_form.questions().error(this, m_catalog.msg(366), problem.text(m_catalog));
            return;
        }
        endGesture();
        commands().setBackground(image, parallax);
    };
    menu.addAction(m_catalog.msg(238), this, [set] { set(false); })->setObjectName(QStringLiteral("AlsHintergrundeinfgen1"));
    menu.addAction(m_catalog.msg(239), this, [set] { set(true); })
        ->setObjectName(QStringLiteral("AlsParalaxhintergrundeinfgen1"));
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::closeEvent(QCloseEvent *event)
{
    const QWidget *frame = parentWidget() ? parentWidget() : this;
    m_settings.writesetting(QStringLiteral("Raum Top"), QString::number(frame->y()));
    m_settings.writesetting(QStringLiteral("Raum Left"), QString::number(frame->x()));
    QWidget::closeEvent(event);
}

} // namespace mb