#include "room/roomscene.h"

#include "project/projectmodel.h"

#include <QHash>

#include <algorithm>
#include <cstdlib>

namespace mb {

double characterZoom(const Rcharacter &character, const Rroom &room, double f)
{
    double z = 1.0;
    if (!character.dontzoom) {
        const int l1 = room.zoomTop, l2 = room.zoomBottom;
        double d = 0;
        if (l1 >= f)
            d = l2 - l1;
        if (l2 > f && f > l1)
            d = l2 - f;
        if (l2 > f)
            z = 1 - room.zoomStep * 0.01 * d;
    }
    z = z * character.scale / 100.0;
    return std::max(z, 0.05);
}

CharacterPose characterPose(const Rcharacter &character, const Rroomchar &placement, const Rroom &room,
                            const RoomMetrics &metrics)
{
    CharacterPose pose;
    const int direction = placement.byteValue >= 1 && placement.byteValue <= 4 ? placement.byteValue : 1;
    pose.state = direction;
    if (direction == 4) {
        pose.state = character.leftani ? 33 : 3;
        pose.mirrored = !character.leftani;
    }
    const int s = pose.state - 1;
    pose.foot = QPoint(character.footX[s], character.footY[s]);
    pose.size = QSize(character.width[s], character.height[s]);
    pose.footRow = std::max(1, (placement.y + pose.foot.y()) / metrics.cell);
    pose.zoom = characterZoom(character, room, double(placement.y + pose.foot.y()) / metrics.cell);
    return pose;
}

RoomScene::RoomScene(const ProjectModel &model, int roomSlot)
{
    if (roomSlot < 1 || roomSlot > model.rooms.size() || !model.rooms.used(roomSlot))
        return;
    m_room = &model.rooms[roomSlot];
    m_metrics = RoomMetrics::of(model.settings, m_room);
    const Rroom &room = *m_room;

    // Definitions by name, the first slot of a name winning as in a linear search.
    auto firstSlots = [](const auto &table) {
        QHash<QString, int> bySlot;
        for (int i = table.size(); i >= 1; --i)
            if (table.used(i))
                bySlot.insert(table[i].name, i);
        return bySlot;
    };

    std::vector<Entry> back, front;
    std::vector<std::vector<Entry>> rows(roomgeo::DepthRows + 1);
    bool anyObject = false;
    for (const Rroomobj &o : room.objects)
        anyObject = anyObject || !o.instanceName.isEmpty();
    if (anyObject) {
        const QHash<QString, int> objectSlots = firstSlots(model.objects);
        for (int slot = 1; slot <= int(room.objects.size()); ++slot) {
            const Rroomobj &o = room.objects[slot - 1];
            if (o.instanceName.isEmpty() || o.byteValue > 2)
                continue;
            Entry e;
            e.item = RoomItem::object(slot);
            e.object = &o;
            e.layer = o.byteValue;
            const int def = objectSlots.value(o.objectName);
            if (def)
                e.objectDef = &model.objects[def];
            e.box = QRect(o.x, o.y, e.objectDef ? e.objectDef->width : 0, e.objectDef ? e.objectDef->height : 0);
            if (e.layer == 0)
                back.push_back(e);
            else if (e.layer == 2)
                front.push_back(e);
            else if (o.depthLine >= 1 && o.depthLine <= roomgeo::DepthRows)
                rows[o.depthLine].push_back(e);
        }
    }

    QHash<QString, int> characterSlots;
    bool charactersHashed = false;
    for (int entry = 1; entry <= model.roomChars.size(); ++entry) {
        const Rroomchar &c = model.roomChars[entry];
        if (c.instanceName.isEmpty() || c.roomName != room.name)
            continue;
        if (!charactersHashed) {
            characterSlots = firstSlots(model.characters);
            charactersHashed = true;
        }
        const int def = characterSlots.value(c.characterName);
        if (!def)
            continue; // a placement without its character has nothing to draw or pick
        Entry e;
        e.item = RoomItem::character(entry);
        e.character = &c;
        e.characterDef = &model.characters[def];
        e.pose = characterPose(*e.characterDef, c, room, m_metrics);
        e.box = QRect(QPoint(c.x, c.y), e.pose.size);
        if (e.pose.footRow <= roomgeo::DepthRows)
            rows[e.pose.footRow].push_back(e);
    }

    m_entries = std::move(back);
    for (auto &row : rows)
        m_entries.insert(m_entries.end(), row.begin(), row.end());
    m_entries.insert(m_entries.end(), front.begin(), front.end());
}

bool RoomScene::hasContent() const
{
    return m_room && (!m_room->background.isEmpty() || !m_room->parallax.isEmpty()
                      || !m_room->objects.front().instanceName.isEmpty());
}

RoomItem RoomScene::hitTest(QPoint p, RoomItem *below) const
{
    RoomItem hit, previous;
    auto found = [&](RoomItem item) {
        previous = hit;
        hit = item;
    };
    for (const Entry &e : m_entries) {
        const QRect &b = e.box;
        if (p.x() > b.x() && p.x() < b.x() + b.width() && p.y() > b.y() && p.y() < b.y() + b.height())
            found(e.item);
        if (e.object && e.layer == 1) {
            const QPoint marker = roomgeo::depthMarkerPoint(*e.object, m_metrics);
            if (std::abs(p.x() - marker.x()) < 6 && std::abs(p.y() - marker.y()) < 6)
                found(RoomItem::depthMarker(e.item.index));
        }
    }
    if (below)
        *below = previous;
    return hit;
}

} // namespace mb
