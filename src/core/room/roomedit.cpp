#include "room/roomedit.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <optional>

namespace mb::roomedit {

namespace {

Rroom *roomAt(ProjectModel &model, int roomSlot)
{
    if (roomSlot < 1 || roomSlot > model.rooms.size() || !model.rooms.used(roomSlot))
        return nullptr;
    return &model.rooms[roomSlot];
}

Rroomobj *objectAt(Rroom &room, int slot)
{
    if (slot < 1 || slot > Rroom::Placements || room.objects[slot - 1].instanceName.isEmpty())
        return nullptr;
    return &room.objects[slot - 1];
}

Rroomchar *characterAt(ProjectModel &model, const Rroom &room, int entry)
{
    if (entry < 1 || entry > model.roomChars.size() || !model.roomChars.used(entry))
        return nullptr;
    Rroomchar &c = model.roomChars[entry];
    return c.roomName == room.name ? &c : nullptr;
}

const Robj *objectDefinition(const ProjectModel &model, const QString &name)
{
    const int slot = model.objects.find(name);
    return slot ? &model.objects[slot] : nullptr;
}

const Rcharacter *characterDefinition(const ProjectModel &model, const QString &name)
{
    const int slot = model.characters.find(name);
    return slot ? &model.characters[slot] : nullptr;
}

template <typename Taken>
QString uniqueName(const QString &base, Taken taken)
{
    QString name = base;
    for (int n = 1; taken(text::asciiLower(name)); ++n)
        name = base + QString::number(n);
    return name;
}

// The last used position of a range whose used() tells which hold something; 0 when none.
template <typename Used>
int lastUsed(int count, Used used)
{
    for (int i = count; i >= 1; --i)
        if (used(i))
            return i;
    return 0;
}

// Moves the record at `from` to `to` (1-based positions after `first`) and shifts the ones
// between by one toward `from`.
template <typename It>
void moveWithin(It first, int from, int to)
{
    if (from < to)
        std::rotate(first + (from - 1), first + from, first + to);
    else if (to < from)
        std::rotate(first + (to - 1), first + (from - 1), first + from);
}

} // namespace

QString uniqueObjectInstanceName(const ProjectModel &model, const QString &objectName)
{
    QSet<QString> taken;
    for (const Rroom &room : model.rooms)
        if (!room.name.isEmpty())
            for (const Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty())
                    taken.insert(text::asciiLower(o.instanceName));
    return uniqueName(objectName, [&](const QString &lower) { return taken.contains(lower); });
}

QString uniqueCharacterInstanceName(const ProjectModel &model, const QString &characterName)
{
    QSet<QString> taken;
    for (const Rroomchar &c : model.roomChars)
        if (!c.instanceName.isEmpty())
            taken.insert(text::asciiLower(c.instanceName));
    return uniqueName(characterName, [&](const QString &lower) { return taken.contains(lower); });
}

int placeObject(ProjectModel &model, int roomSlot, const QString &objectName, QPoint roomPoint)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room || objectName.isEmpty())
        return 0;
    const auto free = std::find_if(room->objects.begin(), room->objects.end(),
                                   [](const Rroomobj &o) { return o.instanceName.isEmpty(); });
    if (free == room->objects.end())
        return 0;
    const RoomMetrics m = RoomMetrics::of(model.settings, room);
    Rroomobj o;
    o.objectName = objectName;
    o.instanceName = uniqueObjectInstanceName(model, objectName);
    o.x = roomPoint.x();
    o.y = roomPoint.y();
    o.flag = false;
    o.byteValue = 2;
    o.state = 1;
    const int row = roomPoint.y() / m.cell;
    o.depthLine = row > 0 ? row + 1 : 1;
    *free = o;
    QStringList &names = model.names[NameLists::ObjectInstances];
    names << o.instanceName;
    NameLists::sort(names);
    return int(free - room->objects.begin()) + 1;
}

int placeCharacter(ProjectModel &model, int roomSlot, const QString &characterName, QPoint roomPoint)
{
    Rroom *room = roomAt(model, roomSlot);
    const int entry = model.roomChars.firstFree();
    if (!room || characterName.isEmpty() || !entry)
        return 0;
    Rroomchar c;
    c.characterName = characterName;
    c.instanceName = uniqueCharacterInstanceName(model, characterName);
    c.roomName = room->name;
    c.x = roomPoint.x();
    c.y = roomPoint.y();
    c.byteValue = 1;
    c.flag1 = true;  // may move
    c.flag2 = false; // locked
    model.roomChars[entry] = c;
    // Scripts name characters by instance; the choice lists offer every placement.
    QStringList &names = model.names[NameLists::CharacterInstances];
    names << c.instanceName;
    NameLists::sort(names);
    return entry;
}

namespace {

// The position of a placement that may move: an unlocked object or character of the room.
struct MovablePosition
{
    int *x = nullptr, *y = nullptr;
    const Robj *definition = nullptr; // objects only
};

std::optional<MovablePosition> movablePosition(ProjectModel &model, Rroom &room, RoomItem item)
{
    if (item.kind == RoomItem::Object) {
        Rroomobj *o = objectAt(room, item.index);
        if (!o || o->flag)
            return std::nullopt;
        return MovablePosition{&o->x, &o->y, objectDefinition(model, o->objectName)};
    }
    if (item.kind == RoomItem::Character) {
        Rroomchar *c = characterAt(model, room, item.index);
        if (!c || c->flag2)
            return std::nullopt;
        return MovablePosition{&c->x, &c->y, nullptr};
    }
    return std::nullopt;
}

} // namespace

bool dragBy(ProjectModel &model, int roomSlot, RoomItem item, int dx, int dy)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return false;
    const std::optional<MovablePosition> pos = movablePosition(model, *room, item);
    if (!pos)
        return false;
    int *x = pos->x, *y = pos->y;
    // Objects: 10 - width < x, so at least 10 pixels stay in the room; characters from 0.
    const int minX = item.kind == RoomItem::Object ? 10 - (pos->definition ? pos->definition->width : 0) + 1 : 0;
    const int minY = item.kind == RoomItem::Object ? 10 - (pos->definition ? pos->definition->height : 0) + 1 : 0;
    bool moved = false;
    auto axis = [&moved](int *value, int delta, int low, int high) {
        const int next = *value + delta;
        if (delta != 0 && next >= low && next < high) {
            *value = next;
            moved = true;
        }
    };
    axis(x, dx, minX, room->width - 10);
    axis(y, dy, minY, room->height - 10);
    return moved;
}

bool nudge(ProjectModel &model, int roomSlot, RoomItem item, ArrowKey key)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return false;
    const std::optional<MovablePosition> pos = movablePosition(model, *room, item);
    if (!pos)
        return false;
    int *x = pos->x, *y = pos->y;
    switch (key) {
    case ArrowKey::Left:
        if (*x <= 0)
            return false;
        --*x;
        return true;
    case ArrowKey::Up:
        if (*y <= 0)
            return false;
        --*y;
        return true;
    case ArrowKey::Right:
        if (*x >= room->width - 10)
            return false;
        ++*x;
        return true;
    case ArrowKey::Down:
        if (*y >= room->height - 10)
            return false;
        ++*y;
        return true;
    }
    return false;
}

RoomItem cycleSelection(const ProjectModel &model, int roomSlot, RoomItem current, bool forward)
{
    if (roomSlot < 1 || roomSlot > model.rooms.size() || !model.rooms.used(roomSlot))
        return {};
    const Rroom &room = model.rooms[roomSlot];
    QList<RoomItem> characters, objects;
    for (int e = 1; e <= model.roomChars.size(); ++e)
        if (model.roomChars.used(e) && model.roomChars[e].roomName == room.name)
            characters << RoomItem::character(e);
    for (int s = 1; s <= Rroom::Placements; ++s)
        if (!room.objects[s - 1].instanceName.isEmpty())
            objects << RoomItem::object(s);
    // One ring: the room's characters, then its objects.
    const QList<RoomItem> ring = characters + objects;
    if (ring.isEmpty())
        return {};
    const qsizetype at = ring.indexOf(current);
    if (at < 0)
        return forward ? ring.front() : ring.back();
    return ring[(at + (forward ? 1 : ring.size() - 1)) % ring.size()];
}

RoomItem toBack(ProjectModel &model, int roomSlot, RoomItem item)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return item;
    if (item.kind == RoomItem::Object && objectAt(*room, item.index)) {
        moveWithin(room->objects.begin(), item.index, 1);
        return RoomItem::object(1);
    }
    if (item.kind == RoomItem::Character && characterAt(model, *room, item.index)) {
        moveWithin(model.roomChars.begin(), item.index, 1);
        return RoomItem::character(1);
    }
    return item;
}

RoomItem toFront(ProjectModel &model, int roomSlot, RoomItem item)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return item;
    if (item.kind == RoomItem::Object && objectAt(*room, item.index)) {
        const int last = lastUsed(Rroom::Placements, [&](int s) { return !room->objects[s - 1].instanceName.isEmpty(); });
        moveWithin(room->objects.begin(), item.index, last);
        return RoomItem::object(last);
    }
    if (item.kind == RoomItem::Character && characterAt(model, *room, item.index)) {
        const int last = lastUsed(model.roomChars.size(), [&](int e) { return model.roomChars.used(e); });
        moveWithin(model.roomChars.begin(), item.index, last);
        return RoomItem::character(last);
    }
    return item;
}

bool remove(ProjectModel &model, int roomSlot, RoomItem item)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return false;
    if (item.kind == RoomItem::Object && objectAt(*room, item.index)) {
        NameLists::remove(model.names[NameLists::ObjectInstances], room->objects[item.index - 1].instanceName);
        const RoomItem last = toFront(model, roomSlot, item);
        room->objects[last.index - 1] = Rroomobj();
        return true;
    }
    if (item.kind == RoomItem::Character && characterAt(model, *room, item.index)) {
        NameLists::remove(model.names[NameLists::CharacterInstances], model.roomChars[item.index].instanceName);
        const RoomItem last = toFront(model, roomSlot, item);
        model.roomChars[last.index] = Rroomchar();
        return true;
    }
    return false;
}

QString removalQuestion(const ProjectModel &model, int roomSlot, RoomItem item, const MessageCatalog &catalog)
{
    if (roomSlot < 1 || roomSlot > model.rooms.size())
        return {};
    if (item.kind == RoomItem::Object && item.index >= 1 && item.index <= Rroom::Placements)
        return catalog.msg(214) + model.rooms[roomSlot].objects[item.index - 1].instanceName + catalog.msg(215);
    if (item.kind == RoomItem::Character && item.index >= 1 && item.index <= model.roomChars.size())
        return catalog.msg(217) + model.roomChars[item.index].instanceName + catalog.msg(215);
    return {};
}

int depthRowAt(int roomY, const RoomMetrics &metrics)
{
    // (y + GameWidth / 64) / (GameWidth / 32): the row whose line is nearest. In a game 320 wide
    // the surface point was halved before, which gives the same row.
    const int half = metrics.gameWidth / 64;
    const int sum = roomY + half;
    return sum >= 0 ? sum / metrics.cell : -((-sum + metrics.cell - 1) / metrics.cell);
}

int depthLineAt(const Rroom &room, int row)
{
    if (row == room.zoomTop)
        return 1;
    if (row == room.zoomBottom)
        return 2;
    return 0;
}

bool dragDepthLine(Rroom &room, int line, int row, const RoomMetrics &metrics)
{
    if (line == 1) {
        if (row < 1 || row >= room.zoomBottom || row == room.zoomTop)
            return false;
        room.zoomTop = row;
        return true;
    }
    if (line == 2) {
        if (row <= room.zoomTop || row * metrics.cell >= room.height || row == room.zoomBottom)
            return false;
        room.zoomBottom = row;
        return true;
    }
    return false;
}

bool setObjectDepthLine(Rroom &room, int slot, int row, const RoomMetrics &metrics)
{
    Rroomobj *o = objectAt(room, slot);
    if (!o)
        return false;
    const int last = std::max(1, std::min(roomgeo::DepthRows, room.height / metrics.cell));
    row = std::clamp(row, 1, last);
    if (o->depthLine == row)
        return false;
    o->depthLine = row;
    return true;
}

InventoryZone inventoryZoneAt(const Rroom &room, QPoint p, const RoomMetrics &metrics)
{
    if (!room.flag2)
        return InventoryZone::None;
    const roomgeo::InventoryFieldLayout l = roomgeo::inventoryField(room, metrics);
    const int left = room.values[0], top = room.values[1];
    const int w = l.stepX * std::clamp(room.values[2], 0, 10), h = l.stepY * std::clamp(room.values[3], 0, 7);
    const int x = p.x(), y = p.y();
    InventoryZone zone = InventoryZone::None;
    // Checked in this order, a later grip winning where they overlap.
    if (left < x && x < left + w + 30 && top < y && y < top + h)
        zone = InventoryZone::Move;
    if (left + w + 15 < x && x < left + w + 35 && top + h - 15 < y && y < top + h + 5)
        zone = InventoryZone::Grid;
    if (left + w / 2 < x && x < left + w / 2 + 30 && top + h - 10 < y && y < top + h + 5)
        zone = InventoryZone::VerticalScale;
    if (left + w + 15 < x && x < left + w + 30 && top + h / 2 - 15 < y && y < top + h / 2 + 15)
        zone = InventoryZone::HorizontalScale;
    return zone;
}

InventoryDrag beginInventoryDrag(const Rroom &room, QPoint roomPoint, const RoomMetrics &metrics)
{
    InventoryDrag d;
    d.zone = inventoryZoneAt(room, roomPoint, metrics);
    d.start = roomPoint;
    d.left = room.values[0];
    d.top = room.values[1];
    d.columns = room.values[2];
    d.rows = room.values[3];
    d.hScale = room.factors[0];
    d.vScale = room.factors[1];
    return d;
}

bool applyInventoryDrag(Rroom &room, const InventoryDrag &d, QPoint roomPoint, const RoomMetrics &metrics)
{
    if (!room.flag2 || d.zone == InventoryZone::None)
        return false;
    const QPoint delta = roomPoint - d.start;
    const std::array<int, 4> before = room.values;
    const std::array<double, 2> factorsBefore = room.factors;
    switch (d.zone) {
    case InventoryZone::Move:
        room.values[0] = std::clamp(d.left + delta.x(), 0, std::max(0, room.width - 10));
        room.values[1] = std::clamp(d.top + delta.y(), 0, std::max(0, room.height - 10));
        break;
    case InventoryZone::Grid: {
        const int slot = metrics.gameWidth == 320 ? 25 : 50;
        const int stepX = std::max(1, int(std::lround((slot + 10) * d.hScale)));
        const int stepY = std::max(1, int(std::lround((slot + 10) * d.vScale)));
        room.values[2] = std::clamp(d.columns + delta.x() / stepX, 1, 10);
        room.values[3] = std::clamp(d.rows + delta.y() / stepY, 1, 7);
        break;
    }
    case InventoryZone::VerticalScale:
        room.factors[1] = std::clamp(d.vScale + 0.004 * delta.y(), 0.66, 1.25);
        break;
    case InventoryZone::HorizontalScale:
        room.factors[0] = std::clamp(d.hScale + 0.004 * delta.x(), 0.66, 1.25);
        break;
    case InventoryZone::None:
        break;
    }
    return room.values != before || room.factors != factorsBefore;
}

bool makeInventoryField(Rroom &room, const QRect &band, const RoomMetrics &metrics)
{
    if (band.width() <= 0 || band.height() <= 0)
        return false;
    const QSize size = roomgeo::inventoryFieldSlots(band, metrics);
    if (size.isEmpty())
        return false;
    room.values = {band.left(), band.top(), size.width(), size.height()};
    room.factors = {1.0, 1.0};
    room.flag2 = true;
    return true;
}

bool snapToWalkmap(ProjectModel &model, int roomSlot, int entry)
{
    Rroom *room = roomAt(model, roomSlot);
    if (!room)
        return false;
    Rroomchar *c = characterAt(model, *room, entry);
    if (!c)
        return false;
    const Rcharacter *def = characterDefinition(model, c->characterName);
    if (!def)
        return false;
    // The foot point of the state of the direction; facing left uses "Stand Left" only when the
    // character has its own left frames.
    int state = c->byteValue >= 1 && c->byteValue <= 4 ? c->byteValue : 1;
    if (state == 4 && def->leftani)
        state = 33;
    const int fx = def->footX[state - 1], fy = def->footY[state - 1];
    const double cell = RoomMetrics::of(model.settings, room).walkCell;
    const int x = int(std::lround(cell * std::trunc((c->x + fx) / cell) + cell / 2)) - fx;
    const int y = int(std::lround(cell / 2 + cell * std::trunc((c->y + fy) / cell))) - fy;
    if (x == c->x && y == c->y)
        return false;
    c->x = x;
    c->y = y;
    return true;
}

} // namespace mb::roomedit
