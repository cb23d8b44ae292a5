#pragma once

#include "room/roomimagecache.h"
#include "room/roomview.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class QPainter;

#include <vector>

namespace mb {

class MessageCatalog;
class ProjectModel;

// The room editor's drawing surface: shows the frames of core's room renderer at the game's
// resolution, every pixel doubled for a game 320 pixels wide. It repaints when told that
// something changed, when the mouse moves onto another thing, and for the selection pulse (only
// the selected thing's marks, and only while something is selected and the surface is shown);
// nothing runs while the room stands still.
//
// Model, image cache and catalog are borrowed and must outlive the surface.
class RoomSurface : public QWidget
{
    Q_OBJECT
public:
    RoomSurface(const ProjectModel &model, RoomImageCache &images, const MessageCatalog &catalog,
                QWidget *parent = nullptr);

    // Shows the room of the slot (0: none). The images that failed before are tried again.
    void setRoom(int slot);
    int room() const { return m_room; }

    const RoomView &view() const { return m_view; }
    void setScroll(QPoint scroll);
    void setMode(RoomEditMode mode);
    void setSelection(RoomItem item);
    void setPen(WalkmapPen pen);
    void setMarkedCell(QPoint cell);
    // The rubber band of a new inventory field, in screen pixels of the game; none when unset.
    void setFieldBand(std::optional<QRect> band);

    // The project changed: the whole surface is drawn again.
    void projectChanged();

    // Pixels on the surface per game pixel: 2 in a game 320 pixels wide, else 1.
    int pixelScale() const;
    // The view's zoom on top of that (0.5, 1, 2 ...; 1 shows the game's pixels as the game does).
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    // Surface pixels per game pixel: pixelScale() x zoom().
    double scale() const { return pixelScale() * m_zoom; }
    // Lines of the walkmap grid over the room in every mode, a help for lining things up.
    void setGrid(bool on);
    bool grid() const { return m_grid; }
    // A surface point as a point of the screen in game pixels (toward zero), and as a room point.
    QPoint toGame(QPoint surfacePoint) const;
    QPoint toRoom(QPoint surfacePoint) const;
    // The last frame as drawn, in game pixels.
    const QImage &frame() const { return m_frame; }
    bool pulseRunning() const { return m_pulse.isActive(); }

    QSize sizeHint() const override;

signals:
    // The thing under the mouse changed (RoomItem::None: nothing).
    void hoverChanged(mb::RoomItem item);
    // Images that could not be shown, each once per opening of a room; the texts of their
    // error boxes.
    void imagesMissing(const QStringList &texts);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updatePulseTimer();
    void pulseTick();
    // The selected thing's frame box on the surface, with its corner marks.
    QRect selectionArea() const;
    void resizeFrame();
    void paintGrid(QPainter &painter) const;

    const ProjectModel &m_model;
    RoomImageCache &m_images;
    const MessageCatalog &m_catalog;
    int m_room = 0;
    RoomView m_view;
    SelectionPulse m_pulseState;
    QTimer m_pulse;
    QImage m_frame;
    double m_zoom = 1.0;
    bool m_grid = false;
};

} // namespace mb
