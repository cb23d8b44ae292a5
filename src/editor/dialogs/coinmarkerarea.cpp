#include "dialogs/coinmarkerarea.h"

#include "tools/settingsvalidation.h"

#include <QMouseEvent>
#include <QPainter>

namespace mb {

CoinMarkerArea::CoinMarkerArea(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

void CoinMarkerArea::setMarker(int top, int left)
{
    m_top = top;
    m_left = left;
    update();
}

void CoinMarkerArea::setMarkerVisible(bool on)
{
    m_visible = on;
    update();
}

void CoinMarkerArea::dragTo(QPoint areaPos)
{
    const int top = clampCoinTop(areaPos.y() - m_grab.y() - Offset);
    const int left = clampCoinLeft(areaPos.x() - m_grab.x() - Offset);
    if (top == m_top && left == m_left)
        return;
    setMarker(top, left);
    emit markerMoved(m_top, m_left);
}

void CoinMarkerArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x40, 0x40, 0x40));
    // The coin interface itself, as big as the marker may travel.
    p.setPen(QColor(0xa0, 0xa0, 0xa0));
    p.drawRect(Offset - 11, Offset - 11, 189 + 11 + MarkerSize, 139 + 11 + MarkerSize);
    if (!m_visible)
        return;
    const QRect marker(Offset + m_left, Offset + m_top, MarkerSize, MarkerSize);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xe0, 0xb0, 0x30));
    p.setPen(Qt::black);
    p.drawEllipse(marker.adjusted(1, 1, -1, -1));
    p.drawLine(marker.center().x(), marker.top() + 4, marker.center().x(), marker.bottom() - 4);
    p.drawLine(marker.left() + 4, marker.center().y(), marker.right() - 4, marker.center().y());
}

void CoinMarkerArea::mousePressEvent(QMouseEvent *e)
{
    const QRect marker(Offset + m_left, Offset + m_top, MarkerSize, MarkerSize);
    if (m_visible && isEnabled() && e->button() == Qt::LeftButton && marker.contains(e->pos())) {
        m_dragging = true;
        m_grab = e->pos() - marker.topLeft();
    }
}

void CoinMarkerArea::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging)
        dragTo(e->pos());
}

void CoinMarkerArea::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_dragging && e->button() == Qt::LeftButton) {
        dragTo(e->pos());
        m_dragging = false;
    }
}

} // namespace mb
