#include "room/roomrenderer.h"

#include "platform/canvas.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "room/roomgeometry.h"
#include "room/roomimagecache.h"
#include "room/roomscene.h"
#include "room/roomview.h"

#include <cmath>

namespace mb {

namespace {

using namespace roomgeo;

constexpr uint32_t White = 0x00FFFFFF;

// Everything one frame needs; the drawing steps are its members.
class FrameRenderer
{
public:
    FrameRenderer(Canvas &canvas, const ProjectModel &model, const RoomScene &scene, const RoomView &view,
                  RoomImageCache &images, const MessageCatalog &catalog)
        : c(canvas), model(model), room(*scene.room()), scene(scene), m(scene.metrics()), view(view),
          images(images), catalog(catalog), scroll(view.scroll)
    {
    }

    void draw()
    {
        backgrounds();
        for (const RoomScene::Entry &e : scene.entries()) {
            if (e.object) {
                object(e);
                if (e.layer == 1 && view.mode == RoomEditMode::None)
                    depthMarker(*e.object);
            } else {
                character(e);
            }
        }
        switch (view.mode) {
        case RoomEditMode::Fx:
            fxShapes();
            break;
        case RoomEditMode::Inventory:
            inventoryField();
            break;
        case RoomEditMode::Depth:
            depthLines();
            break;
        case RoomEditMode::Walkmap:
            walkmap();
            break;
        case RoomEditMode::None:
            statusTexts();
            break;
        }
    }

private:
    // Text colours lose 0x23 of their alpha byte: white is drawn as 0xDDFFFFFF.
    void text(const QString &s, uint32_t argb, int top, int left)
    {
        c.text(s, argb - 0x23000000u, top, left, m.textScale());
    }

    static Blend blendOf(const RoomImage &img) { return img.hasAlpha ? Blend::Alpha : Blend::Opaque; }

    bool visible(const QRect &r) const { return c.clip().intersects(r); }

    void drawAt(const RoomImage &img, QPoint at, Blend blend)
    {
        if (visible(QRect(at, img.image.size())))
            c.drawImage(img.image, at, blend);
    }

    void backgrounds()
    {
        if (!scene.hasContent()) {
            text(catalog.msg(201), White, 40, 1);
            return;
        }
        // The parallax background moves at half the speed (halves toward zero).
        if (const RoomImage *p = images.image(model, room.parallax))
            drawAt(*p, QPoint(-(scroll.x() / 2), -(scroll.y() / 2)), blendOf(*p));
        if (const RoomImage *b = images.image(model, room.background))
            drawAt(*b, -scroll, blendOf(*b));
    }

    static uint32_t pulseColour(int pulse) { return 0x0000FFu | (uint32_t(std::clamp(pulse, 0, 255)) << 8); }

    void cornerMarks(const QRect &box, uint32_t bgr)
    {
        for (const QLine &l : roomgeo::cornerMarks(markBox(box, scroll, m)))
            c.line(l.p1(), l.p2(), bgr);
    }

    void object(const RoomScene::Entry &e)
    {
        const Rroomobj &o = *e.object;
        if (e.objectDef && o.state >= 1 && o.state <= Robj::States) {
            const Rframe &f = e.objectDef->frames[o.state - 1][0];
            const std::pair<const QString &, QPoint> parts[] = {{f.image, {f.x, f.y}}, {f.image2, {f.x2, f.y2}}};
            for (const auto &[name, offset] : parts) {
                const RoomImage *img = images.image(model, name);
                if (!img)
                    continue;
                const Blend blend = e.objectDef->flag ? Blend::Additive : blendOf(*img);
                drawAt(*img, QPoint(o.x, o.y) + offset - scroll, blend);
            }
        }
        if (view.mode == RoomEditMode::None)
            cornerMarks(e.box, view.selection == e.item ? pulseColour(view.pulse) : 0x0000FF);
    }

    void character(const RoomScene::Entry &e)
    {
        const Rroomchar &ch = *e.character;
        const CharacterPose &pose = e.pose;
        const Rframe &f = e.characterDef->frames[pose.state - 1][0];
        const double z = pose.zoom;
        const std::pair<const QString &, QPoint> parts[] = {{f.image, {f.x, f.y}}, {f.image2, {f.x2, f.y2}}};
        for (const auto &[name, offset] : parts) {
            const RoomImage *img = images.image(model, name);
            if (!img)
                continue;
            QPoint off = offset;
            if (pose.mirrored)
                off.setX(pose.size.width() - off.x() - img->image.width());
            // Zoomed about the foot point.
            off = QPoint(int(std::lround((1 - z) * pose.foot.x() + z * off.x())),
                         int(std::lround((1 - z) * pose.foot.y() + z * off.y())));
            const QSize size(std::max(1, int(std::lround(img->image.width() * z))),
                             std::max(1, int(std::lround(img->image.height() * z))));
            const QPoint at = QPoint(ch.x, ch.y) + off - scroll;
            if (!visible(QRect(at, size)))
                continue;
            c.drawImage(images.transformed(name, *img, size, pose.mirrored), at, blendOf(*img));
        }
        if (view.mode == RoomEditMode::None)
            cornerMarks(e.box, view.selection == e.item ? pulseColour(view.pulse) : 0x000080);
    }

    // The square, dot and stem that mark a row: at `marker` (screen), joined to `from`.
    void rowMarker(QPoint marker, QPoint from, uint32_t colour)
    {
        c.outlineRect(QRect(marker.x() - 5, marker.y() - 5, 10, 10), colour);
        c.fillRect(QRect(marker.x() - 2, marker.y() - 2, 4, 4), colour, Blend::Opaque);
        c.line(from, marker, colour);
    }

    void depthMarker(const Rroomobj &o)
    {
        const QPoint marker = depthMarkerPoint(o, m) - scroll;
        rowMarker(marker, QPoint(marker.x(), o.y - scroll.y()), 0xff0000);
    }

    void fxShapes()
    {
        struct Colours
        {
            uint32_t fill, outline, dots, marker, label;
        };
        static constexpr Colours colours[3] = {
            {0x66ff4444, 0xeeff0000, 0xaaff0000, 0xff0000, 0x00ff4444},
            {0x6644ff44, 0xee00aa00, 0xaa00aa00, 0x008000, 0x0044aa44},
            {0x664444ff, 0xee0000ff, 0xaa0000ff, 0x0000ff, 0x004444ff},
        };
        for (int k = 0; k < 3; ++k) {
            const Rfxshape &s = room.fx[k];
            if (!s.flag1)
                continue;
            const Colours &col = colours[k];
            std::array<QPointF, 4> quad;
            const auto corners = fxCorners(s);
            for (int i = 0; i < 4; ++i)
                quad[i] = corners[i] - scroll;
            c.fillQuad(quad, col.fill, Blend::Alpha);
            c.outlineQuad(quad, col.outline);
            for (const QPointF &p : quad)
                c.circle(p, 4, col.dots);
            static constexpr int effectNames[3] = {478, 479, 544};
            if (s.int1 >= 0 && s.int1 <= 2)
                text(catalog.msg(effectNames[s.int1]), col.label, int(quad[0].y()) + 6, int(quad[0].x()) + 6);
            const QPoint handle = fxDragPoint(s) - scroll;
            c.circle(handle, 7, col.dots);
            c.line(handle - QPoint(10, 0), handle + QPoint(10, 0), col.dots);
            c.line(handle - QPoint(0, 10), handle + QPoint(0, 10), col.dots);
            if (s.int1 == 1)
                rowMarker(fxMirrorPoint(s, m) - scroll, handle, col.marker);
        }
    }

    void inventoryField()
    {
        if (!room.flag2) {
            text(catalog.msg(202), White, 1, 1);
            if (view.fieldBand)
                c.outlineRect(*view.fieldBand, 0xff0000);
            return;
        }
        const InventoryFieldLayout l = roomgeo::inventoryField(room, m);
        const QRect outer = l.outer.translated(-scroll);
        c.outlineRect(outer, 0x800000);
        c.fillRect(outer.adjusted(1, 1, -1, -1), 0x66883328, Blend::Alpha);
        const QPoint corner = l.grip - scroll - QPoint(1, 1);
        for (int o : {5, 6, 7})
            c.line(corner - QPoint(o, 0), corner - QPoint(0, o), 0x800000, 0xff0000);
        c.fillRect(l.bottomBar.translated(-scroll), 0x800000);
        c.fillRect(l.rightBar.translated(-scroll), 0x800000);
        for (const QRect &slot : l.cells)
            c.outlineRect(slot.translated(-scroll), 0xff0000);
        text(catalog.msg(203) + QStringLiteral(" %1x%2 Felder.").arg(room.values[2]).arg(room.values[3]), White, 1, 1);
    }

    void depthLines()
    {
        const int l1 = room.zoomTop, l2 = room.zoomBottom;
        c.fillRect(QRect(-scroll.x(), -scroll.y(), room.width, l1 * m.cell), 0x66ff0000, Blend::Alpha);
        c.fillRect(QRect(-scroll.x(), l1 * m.cell - scroll.y(), room.width, (l2 - l1) * m.cell), 0x66800000,
                   Blend::Additive);
        for (int line : {l2, l1}) {
            const int y = depthLineY(line, m) - scroll.y();
            for (int k = 0; k < 3; ++k)
                c.line(QPoint(-scroll.x(), y + k), QPoint(room.width - 1 - scroll.x(), y + k), 0x800000, 0xff0000);
        }
        const QString label = catalog.msg(204) + QStringLiteral(" %1 : %2 ") + catalog.msg(205);
        text(label.arg(2).arg(l2), White, depthLineY(l2, m) - scroll.y() - 15, 5);
        text(label.arg(1).arg(l1), White, depthLineY(l1, m) - scroll.y() - 15, 5);
    }

    void walkmap()
    {
        const double cell = m.walkCell;
        const QSize grid = walkmapGridSize(room, m);
        const Walkmap &w = room.walkmap;
        // Only the cells that reach the screen; the others would draw nothing.
        const int firstColumn = std::max(1, int(std::floor(scroll.x() / cell))),
                  lastColumn = std::min(grid.width(), int(std::ceil((scroll.x() + m.gameWidth) / cell)) + 1);
        const int firstRow = std::max(1, int(std::floor(scroll.y() / cell))),
                  lastRow = std::min(grid.height(), int(std::ceil((scroll.y() + m.gameHeight) / cell)) + 1);
        auto square = [](double x, double y, double edge) {
            return QRect(int(std::lround(x)), int(std::lround(y)), int(std::lround(edge)), int(std::lround(edge)));
        };
        for (int i = firstColumn; i <= lastColumn; ++i) {
            for (int j = firstRow; j <= lastRow; ++j) {
                const double x = (i - 1) * cell - scroll.x(), y = (j - 1) * cell - scroll.y();
                if (w.hasScript(i, j)) {
                    const Script *s = w.findScript(i, j);
                    const uint32_t colour = s && !s->isEmpty() ? walkmapScriptColour(int(s->size()), s->first()) : 0x800000;
                    c.outlineRect(square(x + 4, y + 4, cell - 5), 0x333333);
                    c.outlineRect(square(x + 3, y + 3, cell - 5), colour);
                }
                if (view.markedCell == QPoint(i, j)) {
                    c.outlineRect(square(x + 2, y + 2, cell - 3), 0x0000DDDD);
                    c.outlineRect(square(x + 3, y + 3, cell - 5), 0x0000AAAA);
                }
                if (w.blocked(i, j))
                    c.fillRect(square(x + 1, y + 1, cell - 1), 0x99bb5544, Blend::Alpha);
            }
        }
        const int top = -scroll.y(), bottom = room.height - 1 - scroll.y();
        const int left = -scroll.x(), right = room.width - 1 - scroll.x();
        for (int i = firstColumn; i <= lastColumn; ++i) {
            const int x = int(std::lround((i - 1) * cell)) - scroll.x();
            c.line(QPoint(x, top), QPoint(x, bottom), 0x222222);
        }
        for (int j = firstRow; j <= lastRow; ++j) {
            const int y = int(std::lround((j - 1) * cell)) - scroll.y();
            c.line(QPoint(left, y), QPoint(right, y), 0x222222);
        }

        const QPoint cellUnderMouse = walkmapCellAt(view.mouse + scroll, m);
        if (view.mouseOver) {
            const QRectF r = walkmapCellRect(cellUnderMouse.x(), cellUnderMouse.y(), m).translated(-scroll);
            switch (view.pen) {
            case WalkmapPen::ScriptPen:
            case WalkmapPen::ScriptEraser: {
                const bool pen = view.pen == WalkmapPen::ScriptPen;
                const QRect box = square(r.x(), r.y(), cell);
                c.fillRect(box, pen ? 0x2200ff00 : 0x220000ff, Blend::Alpha);
                c.outlineRect(box, pen ? 0xaa00ff00 : 0xaa0000ff);
                break;
            }
            default: {
                const double radius = penRadius(view.pen, m);
                c.circle(r.center(), radius, 0xaaffaaaa);
                c.circle(r.center(), radius - 2, 0xaa000077);
            }
            }
        }
        const bool blocked = w.blocked(cellUnderMouse.x(), cellUnderMouse.y());
        text(catalog.msg(blocked ? 206 : 207) + QStringLiteral(" (%1,%2)").arg(cellUnderMouse.x()).arg(cellUnderMouse.y()),
             White, 1, 1);
    }

    void statusTexts()
    {
        if (model.settings.infoLine) {
            const QPoint cell = walkmapCellAt(view.mouse + scroll, m);
            const bool blocked = room.walkmap.blocked(cell.x(), cell.y());
            text(catalog.msg(208)
                     + QStringLiteral("%1/%2) Walkmap(%3/%4)%5 Mouse(%6/%7)")
                           .arg(int(scroll.x() / m.walkCell))
                           .arg(int(scroll.y() / m.walkCell))
                           .arg(cell.x())
                           .arg(cell.y())
                           .arg(blocked ? QLatin1Char('B') : QLatin1Char('F'))
                           .arg(scroll.x() + view.mouse.x())
                           .arg(scroll.y() + view.mouse.y()),
                 White, 1, 1);
        }
        text(catalog.msg(30) + QStringLiteral(" : ") + hovered(), White, 17, 1);
    }

    QString hovered() const
    {
        for (const RoomScene::Entry &e : scene.entries()) {
            if (e.item != view.hover)
                continue;
            if (e.object)
                return e.object->instanceName + QStringLiteral(" (PixelPos. %1,%2)").arg(e.object->x).arg(e.object->y);
            const Rroomchar &ch = *e.character;
            const int column = int((ch.x + e.pose.foot.x()) / m.walkCell + 1);
            const int row = int((ch.y + e.pose.foot.y()) / m.walkCell + 1);
            return ch.instanceName + QStringLiteral(" (WalkmapPos. %1,%2)").arg(column).arg(row);
        }
        return {};
    }

    Canvas &c;
    const ProjectModel &model;
    const Rroom &room;
    const RoomScene &scene;
    const RoomMetrics &m;
    const RoomView &view;
    RoomImageCache &images;
    const MessageCatalog &catalog;
    const QPoint scroll;
};

} // namespace

void renderRoom(Canvas &canvas, const ProjectModel &model, int roomSlot, const RoomView &view,
                RoomImageCache &images, const MessageCatalog &catalog, const QRect &dirty)
{
    canvas.begin();
    if (dirty.isValid())
        canvas.setClip(dirty);
    canvas.clear(0);
    const RoomScene scene(model, roomSlot);
    if (scene.room())
        FrameRenderer(canvas, model, scene, view, images, catalog).draw();
    canvas.present();
}

} // namespace mb
