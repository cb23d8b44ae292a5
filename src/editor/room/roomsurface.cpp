#include "room/roomsurface.h"

#include "platform/canvas.h"
#include "project/projectmodel.h"
#include "room/roomgeometry.h"
#include "room/roomrenderer.h"
#include "room/roomscene.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace mb {

namespace {
// The pulse steps at the rate the room editor has always drawn its frames.
constexpr int PulseMs = 15;
// Height of the status texts at the top, in game pixels.
constexpr int StatusHeight = 34;
} // namespace

RoomSurface::RoomSurface(const ProjectModel &model, RoomImageCache &images, const MessageCatalog &catalog,
                         QWidget *parent)
    : QWidget(parent), m_model(model), m_images(images), m_catalog(catalog)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_pulse.setInterval(PulseMs);
    connect(&m_pulse, &QTimer::timeout, this, &RoomSurface::pulseTick);
    resizeFrame();
}

int RoomSurface::pixelScale() const
{
    return m_model.settings.gameWidth == 320 ? 2 : 1;
}

QSize RoomSurface::sizeHint() const
{
    const QSizeF size = QSizeF(m_model.settings.gameWidth, m_model.settings.gameHeight) * scale();
    return QSize(qRound(size.width()), qRound(size.height()));
}

void RoomSurface::resizeFrame()
{
    const QSize size(m_model.settings.gameWidth, m_model.settings.gameHeight);
    if (m_frame.size() != size)
        m_frame = QImage(size, QImage::Format_RGB32);
    setFixedSize(sizeHint());
}

void RoomSurface::setZoom(double zoom)
{
    zoom = std::clamp(zoom, 0.125, 8.0);
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    m_zoom = zoom;
    resizeFrame();
    update();
}

void RoomSurface::setGrid(bool on)
{
    if (on == m_grid)
        return;
    m_grid = on;
    update();
}

QPoint RoomSurface::toGame(QPoint surfacePoint) const
{
    if (qFuzzyCompare(m_zoom, 1.0)) // exactly as the room editor has always mapped the mouse
        return roomgeo::surfaceToRoom(surfacePoint, QPoint(), RoomMetrics::of(m_model.settings));
    const double s = scale();
    return QPoint(int(surfacePoint.x() / s), int(surfacePoint.y() / s));
}

QPoint RoomSurface::toRoom(QPoint surfacePoint) const
{
    return toGame(surfacePoint) + m_view.scroll;
}

void RoomSurface::setRoom(int slot)
{
    m_room = slot;
    m_images.retryFailed();
    if (slot > 0)
        m_images.preloadRoom(m_model, slot);
    m_view.selection = {};
    m_view.hover = {};
    m_view.markedCell = QPoint(-1, -1);
    resizeFrame();
    updatePulseTimer();
    update();
}

void RoomSurface::setScroll(QPoint scroll)
{
    if (scroll == m_view.scroll)
        return;
    m_view.scroll = scroll;
    update();
}

void RoomSurface::setMode(RoomEditMode mode)
{
    if (mode == m_view.mode)
        return;
    m_view.mode = mode;
    updatePulseTimer();
    update();
}

void RoomSurface::setSelection(RoomItem item)
{
    if (item == m_view.selection)
        return;
    update(selectionArea());
    m_view.selection = item;
    m_pulseState = SelectionPulse();
    m_view.pulse = m_pulseState.value;
    update(selectionArea());
    updatePulseTimer();
}

void RoomSurface::setPen(WalkmapPen pen)
{
    m_view.pen = pen;
    if (m_view.mode == RoomEditMode::Walkmap)
        update();
}

void RoomSurface::setMarkedCell(QPoint cell)
{
    m_view.markedCell = cell;
    if (m_view.mode == RoomEditMode::Walkmap)
        update();
}

void RoomSurface::setFieldBand(std::optional<QRect> band)
{
    m_view.fieldBand = band;
    update();
}

void RoomSurface::projectChanged()
{
    resizeFrame();
    update();
}

void RoomSurface::updatePulseTimer()
{
    // Corner marks are drawn only while no edit mode is on.
    const bool run = isVisible() && m_room > 0 && !m_view.selection.isNone() && m_view.mode == RoomEditMode::None;
    if (run && !m_pulse.isActive())
        m_pulse.start();
    else if (!run)
        m_pulse.stop();
}

QRect RoomSurface::selectionArea() const
{
    if (m_room <= 0 || m_view.selection.isNone())
        return {};
    const RoomScene scene(m_model, m_room);
    for (const RoomScene::Entry &e : scene.entries()) {
        if (e.item != m_view.selection)
            continue;
        const roomgeo::ScreenBox b = roomgeo::markBox(e.box, m_view.scroll, scene.metrics());
        const QRect game(QPoint(b.x1 - 2, b.y1 - 2), QPoint(b.x2 + 2, b.y2 + 2));
        const double s = scale();
        return QRectF(QPointF(game.topLeft()) * s, QSizeF(game.size()) * s).toAlignedRect().adjusted(-1, -1, 1, 1);
    }
    return {};
}

void RoomSurface::pulseTick()
{
    m_pulseState.step();
    m_view.pulse = m_pulseState.value;
    // Only the marks change colour: the box around them is all that is drawn again.
    update(selectionArea());
}

void RoomSurface::paintEvent(QPaintEvent *event)
{
    const double s = scale();
    const QRect dirty = event->rect();
    // The game pixels under the dirty part of the surface.
    const QRect game = QRect(QPoint(int(dirty.left() / s), int(dirty.top() / s)),
                             QPoint(int(dirty.right() / s), int(dirty.bottom() / s)))
                           .intersected(m_frame.rect());
    Canvas canvas(&m_frame);
    renderRoom(canvas, m_model, m_room, m_view, m_images, m_catalog, game);
    QPainter p(this);
    p.drawImage(QRectF(QPointF(game.topLeft()) * s, QSizeF(game.size()) * s), m_frame, game);
    if (m_grid && m_room > 0)
        paintGrid(p);
    const std::vector<ImageProblem> problems = m_images.takeProblems();
    if (!problems.empty()) {
        QStringList texts;
        for (const ImageProblem &problem : problems)
            texts << problem.text(m_catalog);
        // Shown after the paint event: a box must not open while the surface paints.
        QMetaObject::invokeMethod(this, [this, texts] { emit imagesMissing(texts); }, Qt::QueuedConnection);
    }
}

void RoomSurface::paintGrid(QPainter &p) const
{
    const Rroom &room = m_model.rooms[m_room];
    const RoomMetrics m = RoomMetrics::of(m_model.settings, &room);
    const double s = scale(), cell = m.walkCell;
    p.setPen(QPen(QColor(255, 255, 255, 70), 0));
    const QSize grid = roomgeo::walkmapGridSize(room, m);
    for (int i = 1; i < grid.width(); ++i) {
        const double x = (i * cell - m_view.scroll.x()) * s;
        if (x >= 0 && x < width())
            p.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
    for (int j = 1; j < grid.height(); ++j) {
        const double y = (j * cell - m_view.scroll.y()) * s;
        if (y >= 0 && y < height())
            p.drawLine(QPointF(0, y), QPointF(width(), y));
    }
}

void RoomSurface::mouseMoveEvent(QMouseEvent *event)
{
    const double s = scale();
    m_view.mouse = toGame(event->position().toPoint());
    m_view.mouseOver = true;
    RoomItem hover;
    if (m_room > 0 && m_view.mode == RoomEditMode::None)
        hover = RoomScene(m_model, m_room).hitTest(toRoom(event->position().toPoint()));
    if (hover != m_view.hover) {
        m_view.hover = hover;
        emit hoverChanged(hover);
        update(QRect(0, 0, width(), int(StatusHeight * s) + 1)); // the object line names it
    }
    if (m_view.mode == RoomEditMode::Walkmap)
        update(); // the pen cursor follows the mouse
    else if (m_model.settings.infoLine && m_view.mode == RoomEditMode::None)
        update(QRect(0, 0, width(), int(StatusHeight * s) + 1)); // the info line shows the mouse
    QWidget::mouseMoveEvent(event);
}

void RoomSurface::leaveEvent(QEvent *event)
{
    m_view.mouseOver = false;
    if (m_view.mode == RoomEditMode::Walkmap)
        update();
    QWidget::leaveEvent(event);
}

void RoomSurface::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updatePulseTimer();
}

void RoomSurface::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    updatePulseTimer();
}

} // namespace mb
