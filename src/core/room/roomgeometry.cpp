#include "room/roomgeometry.h"

#include "platform/ansicodec.h"
#include "project/projectmodel.h"

#include <algorithm>
#include <cmath>

namespace mb {

RoomMetrics RoomMetrics::of(const GameSettings &settings, const Rroom *room)
{
    RoomMetrics m;
    m.gameWidth = std::max(32, settings.gameWidth);
    m.gameHeight = std::max(1, settings.gameHeight);
    m.cell = m.gameWidth / 32;
    m.doubleWalkmap = room && room->flag1;
    m.walkCell = m.gameWidth / (m.doubleWalkmap ? 64.0 : 32.0);
    m.rowsPerScreen = m.gameHeight / m.cell;
    return m;
}

namespace roomgeo {

ScreenBox markBox(const QRect &roomBox, QPoint scroll, const RoomMetrics &metrics)
{
    const int left = roomBox.x() - scroll.x(), top = roomBox.y() - scroll.y();
    return {std::clamp(left, 0, metrics.gameWidth), std::clamp(top, 0, metrics.gameHeight),
            std::clamp(left + roomBox.width(), 0, metrics.gameWidth),
            std::clamp(top + roomBox.height(), 0, metrics.gameHeight)};
}

std::vector<QLine> cornerMarks(const ScreenBox &b)
{
    if (b.x2 - 5 < b.x1 || b.y2 - 5 < b.y1)
        return {};
    return {
        QLine(b.x1 - 1, b.y1 - 1, b.x1 + 5, b.y1 - 1), QLine(b.x1 - 1, b.y1 - 1, b.x1 - 1, b.y1 + 5),
        QLine(b.x2 - 5, b.y1 - 1, b.x2, b.y1 - 1),     QLine(b.x2, b.y1 - 1, b.x2, b.y1 + 5),
        QLine(b.x1 - 1, b.y2, b.x1 + 5, b.y2),         QLine(b.x1 - 1, b.y2 - 5, b.x1 - 1, b.y2),
        QLine(b.x2 - 5, b.y2, b.x2, b.y2),             QLine(b.x2, b.y2 - 5, b.x2, b.y2),
    };
}

QPoint depthMarkerPoint(const Rroomobj &placement, const RoomMetrics &metrics)
{
    return {placement.x, placement.depthLine * metrics.cell - metrics.cell / 2};
}

QPoint surfaceToRoom(QPoint surface, QPoint scroll, const RoomMetrics &metrics)
{
    if (metrics.shownDoubled())
        surface = QPoint(surface.x() / 2, surface.y() / 2);
    return surface + scroll;
}

QPoint walkmapCellAt(QPoint roomPoint, const RoomMetrics &metrics)
{
    // The cell whose square holds the point, as the grid is drawn.
    const int column = int(std::floor(roomPoint.x() / metrics.walkCell)) + 1;
    const int row = int(std::floor(roomPoint.y() / metrics.walkCell)) + 1;
    return {std::clamp(column, 1, metrics.walkColumns()), std::clamp(row, 1, metrics.walkRows())};
}

QRectF walkmapCellRect(int column, int row, const RoomMetrics &metrics)
{
    const double c = metrics.walkCell;
    return {(column - 1) * c, (row - 1) * c, c, c};
}

QSize walkmapGridSize(const Rroom &room, const RoomMetrics &metrics)
{
    const int columns = int(std::lround(std::max(0, room.width) / metrics.walkCell));
    const int rows = int(std::lround(std::max(0, room.height) / metrics.walkCell));
    return {std::min(columns, int(Walkmap::Columns)), std::min(rows, int(Walkmap::Rows))};
}

uint32_t walkmapScriptColour(int lineCount, const QString &firstLine)
{
    if (lineCount == 0)
        return 0x800000;
    static constexpr uint32_t palette[50] = {
        0x999999, 0xaa4444, 0xbb4444, 0xcc4444, 0xdd4444, 0xee4444, 0xff4444, 0x44aa44, 0x44bb44, 0x44cc44,
        0x44dd44, 0x44ee44, 0x44ff44, 0x4444aa, 0x4444bb, 0x4444cc, 0x4444dd, 0x4444ee, 0x4444ff, 0xaa44aa,
        0xbb44bb, 0xcc44cc, 0xdd44dd, 0xee44ee, 0xff44ff, 0x44aaaa, 0x44bbbb, 0x44cccc, 0x44dddd, 0x44eeee,
        0x44ffff, 0xaaaa44, 0xbbbb44, 0xcccc44, 0xdddd44, 0xeeee44, 0xffff44, 0xccaa44, 0xccbb44, 0xccdd44,
        0xccee44, 0xccff44, 0xaacc44, 0xbbcc44, 0xddcc44, 0xeecc44, 0xffcc44, 0xcc44bb, 0xcc44dd, 0xcc44ff,
    };
    long long sum = lineCount;
    for (const char byte : ansi::encode(firstLine))
        sum += static_cast<unsigned char>(byte);
    return palette[sum % 50];
}

double penRadius(WalkmapPen pen, const RoomMetrics &metrics)
{
    const int half = int(metrics.walkCell / 2);
    switch (pen) {
    case WalkmapPen::Size1:
        return half;
    case WalkmapPen::Size2:
        return half + metrics.walkCell;
    case WalkmapPen::Size3:
        return 2 * metrics.walkCell + half;
    default:
        return 0;
    }
}

QPoint fxDragPoint(const Rfxshape &shape)
{
    Rfxshape copy = shape;
    copy.calcziehpunkt();
    return {copy.dragX, copy.dragY};
}

std::array<QPoint, 4> fxCorners(const Rfxshape &shape)
{
    std::array<QPoint, 4> corners;
    for (int i = 0; i < 4; ++i)
        corners[i] = QPoint(shape.cornerX[i], shape.cornerY[i]);
    return corners;
}

QPoint fxMirrorPoint(const Rfxshape &shape, const RoomMetrics &metrics)
{
    return {fxDragPoint(shape).x(), shape.int2 * metrics.cell};
}

InventoryFieldLayout inventoryField(const Rroom &room, const RoomMetrics &metrics)
{
    InventoryFieldLayout l;
    l.slotSize = metrics.gameWidth == 320 ? 25 : 50;
    const double hs = room.factors[0], vs = room.factors[1];
    l.stepX = int(std::lround((l.slotSize + 10) * hs));
    l.stepY = int(std::lround((l.slotSize + 10) * vs));
    // A damaged file may claim any count; the editor never makes more than 10 x 7.
    const int columns = std::clamp(room.values[2], 0, 10), rows = std::clamp(room.values[3], 0, 7);
    const int left = room.values[0], top = room.values[1];
    const int w = l.stepX * columns, h = l.stepY * rows;
    l.outer = QRect(left, top, w + 30, h + 5);
    l.grip = QPoint(left + w + 30, top + h + 5);
    l.bottomBar = QRect(left + w / 2, top + h + 5 - 3, 30, 5);
    l.rightBar = QRect(left + w + 30 - 3, top + (h + 5) / 2 - 15, 5, 30);
    const int slotW = int(std::lround(l.slotSize * hs)), slotH = int(std::lround(l.slotSize * vs));
    for (int j = 1; j <= rows; ++j)
        for (int i = 1; i <= columns; ++i)
            l.cells.emplace_back(left + 30 + l.stepX * (i - 1), top + 5 + l.stepY * (j - 1), slotW, slotH);
    return l;
}

QSize inventoryFieldSlots(const QRect &band, const RoomMetrics &metrics)
{
    const int perSlot = metrics.gameWidth == 320 ? 35 : 60;
    const int columns = std::min((band.width() - 25) / perSlot, 10);
    const int rows = std::min(band.height() / perSlot, 7);
    if (columns <= 0 || rows <= 0)
        return {};
    return {columns, rows};
}

RoomSizeRange roomSizeRange(const RoomMetrics &metrics)
{
    return {32, 96, metrics.rowsPerScreen, 2 * metrics.rowsPerScreen};
}

void setRoomSize(ProjectModel &model, int roomSlot, int columns, int rows)
{
    Rroom &room = model.rooms[roomSlot];
    const RoomMetrics m = RoomMetrics::of(model.settings, &room);
    const RoomSizeRange range = roomSizeRange(m);
    room.width = m.cell * std::clamp(columns, range.minColumns, range.maxColumns);
    room.height = m.cell * std::clamp(rows, range.minRows, range.maxRows);
    correctpos(model, roomSlot);
}

QSize roomWindowClientSize(const RoomMetrics &metrics)
{
    constexpr int Panels = 115;
    if (metrics.gameWidth == 320)
        return {640, 2 * metrics.gameHeight + Panels};
    return {metrics.gameWidth, metrics.gameHeight + Panels};
}

void correctpos(ProjectModel &model, int roomSlot)
{
    Rroom &room = model.rooms[roomSlot];
    const RoomMetrics m = RoomMetrics::of(model.settings, &room);
    for (Rroomobj &o : room.objects) {
        o.x = std::min(o.x, room.width - 10);
        o.y = std::min(o.y, room.height - 10);
        if (o.depthLine * m.cell > room.height)
            o.depthLine = room.height / m.cell;
    }
    room.scrollX = std::max(0, std::min(room.scrollX, room.width - m.gameWidth));
    room.scrollY = std::max(0, std::min(room.scrollY, room.height - m.gameHeight));
    for (Rroomchar &c : model.roomChars) {
        if (c.instanceName.isEmpty() || c.roomName != room.name)
            continue;
        c.x = std::min(c.x, room.width - 10);
        c.y = std::min(c.y, room.height - 10);
    }
    if (room.zoomBottom * m.cell > room.height - 10) {
        room.zoomBottom = int(std::lround(double(room.height - 20) / m.cell));
        if (room.zoomTop >= room.zoomBottom)
            room.zoomTop = room.zoomBottom - 1;
    }
}

} // namespace roomgeo
} // namespace mb
