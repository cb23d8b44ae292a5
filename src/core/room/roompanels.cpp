#include "room/roompanels.h"

#include "project/projectmodel.h"

#include <algorithm>

namespace mb::roompanels {

namespace {

const Rroom *roomAt(const ProjectModel &model, int roomSlot)
{
    return roomSlot >= 1 && roomSlot <= model.rooms.size() && model.rooms.used(roomSlot) ? &model.rooms[roomSlot]
                                                                                          : nullptr;
}

const Rroomobj *objectOf(const Rroom *room, RoomItem item)
{
    if (!room || (item.kind != RoomItem::Object && item.kind != RoomItem::DepthMarker) || item.index < 1
        || item.index > Rroom::Placements || room->objects[item.index - 1].instanceName.isEmpty())
        return nullptr;
    return &room->objects[item.index - 1];
}

const Rroomchar *characterOf(const ProjectModel &model, const Rroom *room, RoomItem item)
{
    if (!room || item.kind != RoomItem::Character || item.index < 1 || item.index > model.roomChars.size()
        || !model.roomChars.used(item.index) || model.roomChars[item.index].roomName != room->name)
        return nullptr;
    return &model.roomChars[item.index];
}

} // namespace

RoomControls roomControls(const ProjectModel &model, int roomSlot)
{
    const Rroom *r = roomAt(model, roomSlot);
    const RoomMetrics m = RoomMetrics::of(model.settings, r);
    RoomControls c;
    c.enabled = r;
    c.range = roomgeo::roomSizeRange(m);
    if (!r) {
        c.resolution = QString::number(m.gameWidth) + u'x' + QString::number(m.gameHeight);
        return c;
    }
    c.columns = r->width / m.cell;
    c.rows = r->height / m.cell;
    c.doubleWalkmap = r->flag1;
    c.zoomIndex = std::clamp(r->zoomStep, 1, 9) - 1;
    c.resolution = QString::number(r->width) + u'x' + QString::number(r->height);
    return c;
}

PlacementPanel placementPanel(const ProjectModel &model, int roomSlot, RoomItem selection, RoomEditMode mode)
{
    const Rroom *r = roomAt(model, roomSlot);
    PlacementPanel p;
    p.page = mode == RoomEditMode::Fx                   ? PlacementPanel::FxPage
             : selection.kind == RoomItem::Character ? PlacementPanel::CharacterPage
                                                     : PlacementPanel::ObjectPage;
    // A depth marker is the object's handle, but its panel stays off as for nothing selected.
    if (const Rroomobj *o = selection.kind == RoomItem::Object ? objectOf(r, selection) : nullptr) {
        p.objectEnabled = true;
        p.objectInstance = o->instanceName;
        p.objectLocked = o->flag;
        p.layer = o->byteValue <= 2 ? o->byteValue : -1;
        p.state = std::min<int>(o->state, 10);
    }
    if (const Rroomchar *c = characterOf(model, r, selection)) {
        p.characterEnabled = true;
        p.characterInstance = c->instanceName;
        p.characterLocked = c->flag2;
        p.immovable = !c->flag1;
        p.direction = c->byteValue >= 1 && c->byteValue <= 4 ? c->byteValue : 0;
    }
    return p;
}

RoomItem followSelection(const ProjectModel &model, int roomSlot, RoomItem selection, const QString &instanceName)
{
    const Rroom *r = roomAt(model, roomSlot);
    if (!r || selection.isNone() || instanceName.isEmpty())
        return {};
    if (selection.kind == RoomItem::Object || selection.kind == RoomItem::DepthMarker) {
        if (const Rroomobj *o = objectOf(r, selection); o && o->instanceName == instanceName)
            return selection;
        const int slot = r->findObject(instanceName);
        return slot ? RoomItem{selection.kind, slot} : RoomItem();
    }
    if (selection.kind == RoomItem::Character) {
        if (const Rroomchar *c = characterOf(model, r, selection); c && c->instanceName == instanceName)
            return selection;
        const int entry = model.roomChars.find(instanceName);
        return entry && model.roomChars[entry].roomName == r->name ? RoomItem::character(entry) : RoomItem();
    }
    return {};
}

} // namespace mb::roompanels
