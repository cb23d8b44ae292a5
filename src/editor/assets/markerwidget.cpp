#include "assets/markerwidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace mb {

MarkerWidget::MarkerWidget(Look look, const QColor &colour, QWidget *parent)
    : QWidget(parent), m_look(look), m_colour(colour)
{
    setFixedSize(21, 21);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::SizeAllCursor);
}

void MarkerWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A dark outline under the colour keeps the marker visible on any picture.
    for (const auto &[colour, width] : {std::pair{QColor(Qt::black), 3}, std::pair{m_colour, 1}}) {
        p.setPen(QPen(colour, width));
        if (m_look == Cross) {
            p.drawLine(10, 1, 10, 19);
            p.drawLine(1, 10, 19, 10);
        } else {
            p.drawEllipse(QRectF(3.5, 3.5, 14, 14));
            p.drawPoint(10, 10);
        }
    }
}

void MarkerWidget::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_grab = e->position().toPoint();
}

void MarkerWidget::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging)
        emit moved(mapToParent(e->position().toPoint()) - m_grab);
}

void MarkerWidget::mouseReleaseEvent(QMouseEvent *)
{
    if (m_dragging) {
        m_dragging = false;
        emit released();
    }
}

} // namespace mb
