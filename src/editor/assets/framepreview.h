#pragma once

#include "assets/framestrip.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QMimeData;

namespace mb {

// The preview of one frame: the element's box on a background colour with the frame's first
// and second image at their offsets (objects and characters), or one image scaled to fit and
// centred (items, cursors). Around the images dotted frames: red for the first, green for the
// second, yellow for the selected one. A left press on an image selects it and dragging moves
// it (imageDragged with the new offset, dragFinished on release); arrow keys and Delete are
// reported for the selected image; a right press on an image reports a context menu. Drops are
// offered to `canDrop` and delivered through `dropped` with the spot they fell on.
class FramePreview : public QWidget
{
    Q_OBJECT
public:
    explicit FramePreview(bool offsets, QWidget *parent = nullptr);

    // What to show. `images` gives the picture of an image name (null when there is none).
    void show(const FrameSlot &frame, QSize box, std::function<const QImage *(const QString &)> images);
    void setBackground(const QColor &colour);
    QColor background() const { return m_background; }
    void setSelectionVisible(bool on);
    int selected() const { return m_selected; }
    void setSelected(int image);
    // Extra marks drawn over the images (the character's foot point), in box coordinates.
    std::function<void(QPainter &)> overlay;

    // The image (1, 2) under a point, 0 for the background.
    int imageAt(QPoint p) const;
    QRect imageRect(int image) const;

    std::function<bool(const QMimeData *data)> canDrop;

signals:
    void imageDragged(int image, QPoint offset);
    void dragFinished();
    void arrowKey(int image, int dx, int dy);
    void deletePressed(int image);
    void contextMenu(int image, QPoint globalPos);
    void backgroundDoubleClicked();
    void dropped(const QMimeData *data, framestrip::PreviewSpot spot, QPoint position);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    QSize imageSize(const QString &name) const;

    bool m_offsets;
    FrameSlot m_frame;
    QSize m_box;
    std::function<const QImage *(const QString &)> m_images;
    QColor m_background = Qt::black;
    bool m_selectionVisible = true;
    int m_selected = 0;
    int m_dragging = 0;
    QPoint m_grab; // mouse point minus image offset at the press
};

} // namespace mb
