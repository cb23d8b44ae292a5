#include "room/roomcommands.h"

#include "project/messagecatalog.h"
#include "project/projectedit.h"
#include "project/projectmodel.h"
#include "room/roomgeometry.h"
#include "room/roomtexts.h"

namespace mb {

RoomCommands::RoomCommands(ProjectSession &session, int roomSlot) : m_session(session), m_room(roomSlot) {}

const Rroom *RoomCommands::room() const
{
    const ProjectModel &m = m_session.model();
    return m_room >= 1 && m_room <= m.rooms.size() && m.rooms.used(m_room) ? &m.rooms[m_room] : nullptr;
}

QString RoomCommands::text(RoomText which) const
{
    return roomText(which, m_session.catalog());
}

bool RoomCommands::change(const QString &text, const std::function<bool(ProjectModel &)> &f, MergeKey merge,
                          bool allCharacters)
{
    const Rroom *r = room();
    if (!r)
        return false;
    return m_session.edit(text, allCharacters ? table::RoomCharacters : 0, [&](ProjectEdit &e) {
        const ProjectModel &m = e.model();
        e.alsoWritesSlot(table::Rooms, m_room);
        if (!allCharacters)
            for (int entry = 1; entry <= m.roomChars.size(); ++entry)
                if (m.roomChars.used(entry) && m.roomChars[entry].roomName == r->name)
                    e.alsoWritesSlot(table::RoomCharacters, entry);
        e.alsoWritesSlot(table::Names, NameLists::ObjectInstances + 1);
        e.alsoWritesSlot(table::Names, NameLists::CharacterInstances + 1);
        return f(e.model());
    }, merge);
}

QString RoomCommands::placementName(RoomItem item) const
{
    const Rroom *r = room();
    if (!r)
        return {};
    const ProjectModel &m = m_session.model();
    if ((item.kind == RoomItem::Object || item.kind == RoomItem::DepthMarker) && item.index >= 1
        && item.index <= Rroom::Placements)
        return r->objects[item.index - 1].instanceName;
    if (item.kind == RoomItem::Character && item.index >= 1 && item.index <= m.roomChars.size())
        return m.roomChars[item.index].instanceName;
    return {};
}

// --- placing, moving, ordering, removing

int RoomCommands::placeObject(const QString &objectName, QPoint roomPoint)
{
    int placed = 0;
    change(text(RoomText::UndoPlace).arg(objectName), [&](ProjectModel &m) {
        placed = roomedit::placeObject(m, m_room, objectName, roomPoint);
        return placed > 0;
    });
    return placed;
}

int RoomCommands::placeCharacter(const QString &characterName, QPoint roomPoint)
{
    int placed = 0;
    change(text(RoomText::UndoPlace).arg(characterName), [&](ProjectModel &m) {
        placed = roomedit::placeCharacter(m, m_room, characterName, roomPoint);
        return placed > 0;
    }, 0, true);
    return placed;
}

bool RoomCommands::dragBy(RoomItem item, QPoint delta, MergeKey merge)
{
    if (delta.isNull())
        return false;
    return change(text(RoomText::UndoMove).arg(placementName(item)),
                  [&](ProjectModel &m) { return roomedit::dragBy(m, m_room, item, delta.x(), delta.y()); }, merge);
}

bool RoomCommands::nudge(RoomItem item, roomedit::ArrowKey key, MergeKey merge)
{
    return change(text(RoomText::UndoMove).arg(placementName(item)),
                  [&](ProjectModel &m) { return roomedit::nudge(m, m_room, item, key); }, merge);
}

bool RoomCommands::snapToWalkmap(int entry)
{
    return change(text(RoomText::UndoMove).arg(placementName(RoomItem::character(entry))),
                  [&](ProjectModel &m) { return roomedit::snapToWalkmap(m, m_room, entry); });
}

RoomItem RoomCommands::order(RoomItem item, bool front)
{
    RoomItem now = item;
    change(text(RoomText::UndoOrder).arg(placementName(item)), [&](ProjectModel &m) {
        now = front ? roomedit::toFront(m, m_room, item) : roomedit::toBack(m, m_room, item);
        return now != item;
    }, 0, item.kind == RoomItem::Character);
    return now;
}

bool RoomCommands::remove(RoomItem item)
{
    return change(text(RoomText::UndoRemove).arg(placementName(item)),
                  [&](ProjectModel &m) { return roomedit::remove(m, m_room, item); }, 0,
                  item.kind == RoomItem::Character);
}

// --- properties of placements

bool RoomCommands::setObject(int slot, const std::function<void(Rroomobj &)> &set, MergeKey merge)
{
    const Rroom *r = room();
    if (!r || slot < 1 || slot > Rroom::Placements || r->objects[slot - 1].instanceName.isEmpty())
        return false;
    return change(text(RoomText::UndoProperty).arg(placementName(RoomItem::object(slot))), [&](ProjectModel &m) {
        Rroomobj &o = m.rooms[m_room].objects[slot - 1];
        const Rroomobj before = o;
        set(o);
        return !(o == before);
    }, merge);
}

bool RoomCommands::setCharacter(int entry, const std::function<void(Rroomchar &)> &set, MergeKey merge)
{
    const Rroom *r = room();
    const ProjectModel &model = m_session.model();
    if (!r || entry < 1 || entry > model.roomChars.size() || !model.roomChars.used(entry)
        || model.roomChars[entry].roomName != r->name)
        return false;
    return change(text(RoomText::UndoProperty).arg(placementName(RoomItem::character(entry))),
                  [&](ProjectModel &m) {
                      Rroomchar &c = m.roomChars[entry];
                      const Rroomchar before = c;
                      set(c);
                      return !(c == before);
                  }, merge);
}

// --- the room's own settings

bool RoomCommands::setBackground(const QString &image, bool parallax)
{
    return change(text(RoomText::UndoBackground), [&](ProjectModel &m) {
        QString &slot = parallax ? m.rooms[m_room].parallax : m.rooms[m_room].background;
        if (slot == image)
            return false;
        slot = image;
        return true;
    });
}

bool RoomCommands::setRoomSize(int columns, int rows)
{
    return change(text(RoomText::UndoRoomSize), [&](ProjectModel &m) {
        const Rroom before = m.rooms[m_room];
        std::vector<Rroomchar> characters;
        for (const Rroomchar &c : m.roomChars)
            if (c.roomName == before.name)
                characters.push_back(c);
        roomgeo::setRoomSize(m, m_room, columns, rows);
        // correctpos() may have moved the room's characters.
        auto now = characters.begin();
        for (const Rroomchar &c : m.roomChars)
            if (c.roomName == before.name && !(c == *now++))
                return true;
        return !(m.rooms[m_room] == before);
    });
}

bool RoomCommands::setDoubleWalkmap(bool on)
{
    return change(m_session.catalog().msg(483).trimmed(), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        if (r.flag1 == on)
            return false;
        r.flag1 = on;
        return true;
    });
}

bool RoomCommands::setZoomStep(int step)
{
    return change(text(RoomText::UndoDepthLines), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        if (step < 1 || step > 9 || r.zoomStep == step)
            return false;
        r.zoomStep = step;
        return true;
    });
}

bool RoomCommands::setScroll(QPoint scroll, MergeKey merge)
{
    return change(text(RoomText::UndoScroll), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        const QPoint before(r.scrollX, r.scrollY);
        r.scrollX = scroll.x();
        r.scrollY = scroll.y();
        roomgeo::correctpos(m, m_room);
        return QPoint(r.scrollX, r.scrollY) != before;
    }, merge);
}

// --- depth lines

bool RoomCommands::dragDepthLine(int line, int row, MergeKey merge)
{
    return change(text(RoomText::UndoDepthLines), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        return roomedit::dragDepthLine(r, line, row, RoomMetrics::of(m.settings, &r));
    }, merge);
}

bool RoomCommands::setObjectDepthLine(int slot, int row, MergeKey merge)
{
    return change(text(RoomText::UndoMove).arg(placementName(RoomItem::object(slot))), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        return roomedit::setObjectDepthLine(r, slot, row, RoomMetrics::of(m.settings, &r));
    }, merge);
}

// --- the inventory field

bool RoomCommands::dragInventory(const roomedit::InventoryDrag &drag, QPoint roomPoint, MergeKey merge)
{
    return change(text(RoomText::UndoInventory), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        return roomedit::applyInventoryDrag(r, drag, roomPoint, RoomMetrics::of(m.settings, &r));
    }, merge);
}

bool RoomCommands::makeInventoryField(const QRect &band)
{
    return change(text(RoomText::UndoInventory), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        return roomedit::makeInventoryField(r, band, RoomMetrics::of(m.settings, &r));
    });
}

bool RoomCommands::removeInventoryField()
{
    return change(text(RoomText::UndoInventory), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        if (!r.flag2)
            return false;
        r.flag2 = false;
        return true;
    });
}

// --- the walkmap

bool RoomCommands::paint(WalkmapPen pen, bool block, QPoint cell, QPoint &marked, MergeKey merge)
{
    return change(text(RoomText::UndoWalkmap), [&](ProjectModel &m) {
        return walkmappen::applyTool(m.rooms[m_room].walkmap, pen, block, cell, marked);
    }, merge);
}

bool RoomCommands::pasteCellScript(QPoint &marked, QPoint target)
{
    return change(text(RoomText::UndoCellScript),
                  [&](ProjectModel &m) { return walkmappen::pasteScript(m.rooms[m_room].walkmap, marked, target); });
}

bool RoomCommands::ensureCellScript(QPoint cell)
{
    return change(text(RoomText::UndoCellScript),
                  [&](ProjectModel &m) { return walkmappen::ensureScript(m.rooms[m_room].walkmap, cell); });
}

// --- FX shapes

bool RoomCommands::dragFxHandle(const fxshapes::Handle &handle, QPoint delta, int dyFromStart, int lineAtStart,
                                MergeKey merge)
{
    if (handle.shape < 1 || handle.shape > 3)
        return false;
    return change(text(RoomText::UndoFxShape).arg(handle.shape), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        Rfxshape &s = r.fx[size_t(handle.shape - 1)];
        const QSize size(r.width, r.height);
        switch (handle.kind) {
        case fxshapes::Handle::Whole:
            return fxshapes::dragWhole(s, delta.x(), delta.y(), size);
        case fxshapes::Handle::Corner:
            return fxshapes::dragCorner(s, handle.corner, delta.x(), delta.y(), size);
        case fxshapes::Handle::MirrorLine:
            return fxshapes::dragMirrorLine(s, lineAtStart, dyFromStart, size.height(), RoomMetrics::of(m.settings, &r));
        case fxshapes::Handle::None:
            break;
        }
        return false;
    }, merge);
}

bool RoomCommands::setFxShape(int shape, const std::function<void(Rfxshape &)> &set, MergeKey merge)
{
    if (shape < 1 || shape > 3)
        return false;
    return change(text(RoomText::UndoFxShape).arg(shape), [&](ProjectModel &m) {
        Rfxshape &s = m.rooms[m_room].fx[size_t(shape - 1)];
        const Rfxshape before = s;
        set(s);
        return !(s == before);
    }, merge);
}

} // namespace mb
