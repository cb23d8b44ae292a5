#include "assets/framepreview.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace mb {

FramePreview::FramePreview(bool offsets, QWidget *parent) : QWidget(parent), m_offsets(offsets)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FramePreview::show(const FrameSlot &frame, QSize box, std::function<const QImage *(const QString &)> images)
{
    m_frame = frame;
    m_box = box;
    m_images = std::move(images);
    if (m_offsets)
        setFixedSize(std::max(box.width(), 10), std::max(box.height(), 10));
    if ((m_selected == 1 && frame.image.isEmpty()) || (m_selected == 2 && frame.image2.isEmpty()))
        m_selected = 0;
    update();
}

void FramePreview::setBackground(const QColor &colour)
{
    m_background = colour;
    update();
}

void FramePreview::setSelectionVisible(bool on)
{
    m_selectionVisible = on;
    update();
}

void FramePreview::setSelected(int image)
{
    m_selected = image;
    update();
}

QSize FramePreview::imageSize(const QString &name) const
{
    const QImage *img = m_images && !name.isEmpty() ? m_images(name) : nullptr;
    return img ? img->size() : QSize();
}

QRect FramePreview::imageRect(int image) const
{
    if (!m_offsets)
        return {};
    if (image == 1 && !m_frame.image.isEmpty())
        return QRect(QPoint(m_frame.x, m_frame.y), imageSize(m_frame.image));
    if (image == 2 && !m_frame.image2.isEmpty())
        return QRect(QPoint(m_frame.x2, m_frame.y2), imageSize(m_frame.image2));
    return {};
}

int FramePreview::imageAt(QPoint p) const
{
    if (imageRect(2).contains(p))
        return 2;
    if (imageRect(1).contains(p))
        return 1;
    return 0;
}

void FramePreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    if (!m_offsets) {
        // One image scaled to fit, centred.
        const QImage *img = m_images && !m_frame.image.isEmpty() ? m_images(m_frame.image) : nullptr;
        if (img && !img->isNull()) {
            const QSize s = img->size().scaled(size(), Qt::KeepAspectRatio);
            const QRect r(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(r, *img);
        }
    } else {
        for (int i : {1, 2}) {
            const QString &name = i == 1 ? m_frame.image : m_frame.image2;
            const QImage *img = m_images && !name.isEmpty() ? m_images(name) : nullptr;
            if (img)
                p.drawImage(i == 1 ? QPoint(m_frame.x, m_frame.y) : QPoint(m_frame.x2, m_frame.y2), *img);
        }
        if (m_selectionVisible)
            for (int i : {1, 2}) {
                const QRect r = imageRect(i);
                if (r.isNull())
                    continue;
                QPen pen(m_selected == i ? QColor(255, 255, 0) : (i == 1 || m_selected ? QColor(255, 0, 0) : QColor(0, 255, 0)));
                pen.setStyle(Qt::DotLine);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(-1, -1, 0, 0));
            }
    }
    if (overlay)
        overlay(p);
}

void FramePreview::mousePressEvent(QMouseEvent *e)
{
    setFocus();
    const QPoint pos = e->position().toPoint();
    const int i = imageAt(pos);
    if (!i)
        return;
    m_selected = i;
    update();
    if (e->button() == Qt::RightButton) {
        emit contextMenu(i, e->globalPosition().toPoint());
        return;
    }
    if (e->button() == Qt::LeftButton) {
        m_dragging = i;
        m_grab = pos - imageRect(i).topLeft();
    }
}

void FramePreview::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton))
        emit imageDragged(m_dragging, e->position().toPoint() - m_grab);
}

void FramePreview::mouseReleaseEvent(QMouseEvent *)
{
    if (m_dragging) {
        m_dragging = 0;
        emit dragFinished();
    }
}

void FramePreview::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (!imageAt(e->position().toPoint()))
        emit backgroundDoubleClicked();
}

void FramePreview::keyPressEvent(QKeyEvent *e)
{
    if (!m_selected) {
        QWidget::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left: emit arrowKey(m_selected, -1, 0); break;
    case Qt::Key_Right: emit arrowKey(m_selected, 1, 0); break;
    case Qt::Key_Up: emit arrowKey(m_selected, 0, -1); break;
    case Qt::Key_Down: emit arrowKey(m_selected, 0, 1); break;
    case Qt::Key_Delete: emit deletePressed(m_selected); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void FramePreview::dragEnterEvent(QDragEnterEvent *e)
{
    if (canDrop && canDrop(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void FramePreview::dragMoveEvent(QDragMoveEvent *e)
{
    if (canDrop && canDrop(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void FramePreview::dropEvent(QDropEvent *e)
{
    if (!canDrop || !canDrop(e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    const QPoint pos = e->position().toPoint();
    const int i = imageAt(pos);
    const auto spot = i == 1 ? framestrip::PreviewSpot::FirstImage
                    : i == 2 ? framestrip::PreviewSpot::SecondImage
                             : framestrip::PreviewSpot::Background;
    emit dropped(e->mimeData(), spot, pos);
}

} // namespace mb
