#include "room/fxshapes.h"

#include "project/projectmodel.h"

#include <algorithm>
#include <cstdlib>

namespace mb::fxshapes {

namespace {

bool near(QPoint a, QPoint b, int distance)
{
    return std::abs(a.x() - b.x()) < distance && std::abs(a.y() - b.y()) < distance;
}

bool within(int v, int limit) { return v >= 1 && v <= limit - 1; }

} // namespace

Handle handleAt(const Rroom &room, QPoint p, const RoomMetrics &metrics)
{
    Handle hit;
    for (int k = 1; k <= 3; ++k) {
        const Rfxshape &s = room.fx[k - 1];
        if (!s.flag1)
            continue;
        if (near(p, roomgeo::fxDragPoint(s), 11))
            hit = {Handle::Whole, k, 0};
        const auto corners = roomgeo::fxCorners(s);
        for (int j = 1; j <= 4; ++j)
            if (near(p, corners[j - 1], 6))
                hit = {Handle::Corner, k, j};
        if (s.int1 == WallMirror && near(p, roomgeo::fxMirrorPoint(s, metrics), 6))
            hit = {Handle::MirrorLine, k, 0};
    }
    return hit;
}

bool dragWhole(Rfxshape &shape, int dx, int dy, QSize roomSize)
{
    bool moved = false;
    if (dx != 0 && std::all_of(shape.cornerX.begin(), shape.cornerX.end(),
                               [&](int x) { return within(x + dx, roomSize.width()); })) {
        for (int &x : shape.cornerX)
            x += dx;
        moved = true;
    }
    if (dy != 0 && std::all_of(shape.cornerY.begin(), shape.cornerY.end(),
                               [&](int y) { return within(y + dy, roomSize.height()); })) {
        for (int &y : shape.cornerY)
            y += dy;
        moved = true;
    }
    shape.calcziehpunkt();
    return moved;
}

bool dragCorner(Rfxshape &shape, int corner, int dx, int dy, QSize roomSize)
{
    if (corner < 1 || corner > 4)
        return false;
    int &x = shape.cornerX[corner - 1];
    int &y = shape.cornerY[corner - 1];
    bool moved = false;
    if (dx != 0 && within(x + dx, roomSize.width())) {
        x += dx;
        moved = true;
    }
    if (dy != 0 && within(y + dy, roomSize.height())) {
        y += dy;
        moved = true;
    }
    shape.calcziehpunkt();
    return moved;
}

bool dragMirrorLine(Rfxshape &shape, int lineAtStart, int dyFromStart, int roomHeight, const RoomMetrics &metrics)
{
    const int last = std::max(1, roomHeight / metrics.cell);
    const int line = std::clamp(lineAtStart + dyFromStart / metrics.cell, 1, last);
    if (line == shape.int2)
        return false;
    shape.int2 = line;
    return true;
}

bool dragOffset(Rfxshape &shape, int dx, int dy)
{
    const int x = std::clamp(shape.int3 + 2 * dx, -100, 100);
    const int y = std::clamp(shape.int4 + 2 * dy, -100, 60);
    if (x == shape.int3 && y == shape.int4)
        return false;
    shape.int3 = x;
    shape.int4 = y;
    return true;
}

void setActive(Rfxshape &shape, bool active)
{
    shape.flag1 = active;
    if (active)
        shape.int1 = FloorMirror;
}

void setEffect(Rfxshape &shape, int effect)
{
    shape.int1 = std::clamp(effect, 0, 2);
}

Controls controls(const Rfxshape &shape)
{
    Controls c;
    c.active = shape.flag1;
    if (!c.active)
        return c;
    c.effectEnabled = true;
    c.strengthEnabled = shape.int1 != ParticleBarrier;
    if (shape.int1 == WallMirror) {
        c.previewVisible = true;
        c.roomPositionEnabled = true;
        // Halves toward zero, as the preview is drawn at half size.
        c.backCharPos = QPoint(shape.flag2 ? 18 : shape.int3 / 2 + 18, shape.int4 / 2 + 24);
    }
    return c;
}

} // namespace mb::fxshapes
