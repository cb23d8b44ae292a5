#include "assets/framestripwidget.h"

#include "assets/framestrip.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace mb {

namespace {

// Colour values of the strips (red in the lowest byte).
const QColor kCurrent(166, 202, 240);
const QColor kGrey(128, 128, 128);

} // namespace

FrameStripWidget::FrameStripWidget(Style style, int count, int boxWidth, QWidget *parent)
    : QWidget(parent), m_style(style), m_count(count), m_boxWidth(boxWidth), m_boxes(size_t(count))
{
    setFixedSize(count * boxWidth + 4, 22);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
}

void FrameStripWidget::setBoxes(std::vector<Box> boxes)
{
    boxes.resize(size_t(m_count));
    m_boxes = std::move(boxes);
    update();
}

void FrameStripWidget::setCurrent(int box)
{
    m_current = box;
    update();
}

int FrameStripWidget::boxAt(QPoint p) const
{
    return framestrip::boxAt(p.x() + 2, m_boxWidth, m_count);
}

QPoint FrameStripWidget::boxCenter(int k) const
{
    return framestrip::boxRect(k, m_boxWidth).center();
}

QString FrameStripWidget::mimeType() const
{
    return m_style == States ? QStringLiteral("application/x-mossbramble-state")
                             : QStringLiteral("application/x-mossbramble-frame");
}

int FrameStripWidget::draggedBox(const QMimeData *data, const QString &mimeType)
{
    return data && data->hasFormat(mimeType) ? data->data(mimeType).toInt() : 0;
}

void FrameStripWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const bool on = isEnabled();
    for (int k = 1; k <= m_count; ++k) {
        const QRect r = framestrip::boxRect(k, m_boxWidth);
        const Box &b = m_boxes[size_t(k - 1)];
        if (on && k == m_current)
            p.fillRect(r, kCurrent);
        const bool marked = on && (m_style == States || b.image || b.script);
        p.setPen(marked ? Qt::black : kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (!on)
            continue;
        if (m_style == States) {
            p.setPen(Qt::black);
            QFont f = font();
            f.setPixelSize(10);
            p.setFont(f);
            p.drawText(QRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 4),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::number(k));
            continue;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        if (b.image)
            p.drawEllipse(QRect(QPoint(r.left() + 2, 10), QPoint(r.left() + 7, 19)));
        if (b.script)
            p.drawEllipse(QRect(QPoint(r.left() + 3, 3), QPoint(r.left() + 6, 7)));
    }
}

void FrameStripWidget::mousePressEvent(QMouseEvent *e)
{
    const int k = boxAt(e->position().toPoint());
    m_pressBox = 0;
    if (!k || e->button() != Qt::LeftButton)
        return;
    m_pressBox = k;
    m_pressPos = e->position().toPoint();
    emit clicked(k);
}

void FrameStripWidget::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton) || !m_pressBox
        || (e->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int k = m_pressBox;
    m_pressBox = 0;
    if (canDrag && !canDrag(k))
        return;
    auto *drag = new QDrag(this);
    auto *mime = new QMimeData;
    mime->setData(mimeType(), QByteArray::number(k));
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction | Qt::CopyAction);
}

void FrameStripWidget::mouseReleaseEvent(QMouseEvent *e)
{
    m_pressBox = 0;
    const int k = boxAt(e->position().toPoint());
    if (k && e->button() == Qt::RightButton)
        emit rightReleased(k, e->globalPosition().toPoint());
}

void FrameStripWidget::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (const int k = boxAt(e->position().toPoint()); k && e->button() == Qt::LeftButton)
        emit doubleClicked(k);
}

void FrameStripWidget::dragEnterEvent(QDragEnterEvent *e)
{
    e->accept(); // each position is judged on the move
}

void FrameStripWidget::dragMoveEvent(QDragMoveEvent *e)
{
    const int k = boxAt(e->position().toPoint());
    if (k && canDrop && canDrop(k, e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void FrameStripWidget::dropEvent(QDropEvent *e)
{
    const int k = boxAt(e->position().toPoint());
    if (!k || !canDrop || !canDrop(k, e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    emit dropped(k, e->mimeData(), mapToGlobal(e->position().toPoint()));
}

} // namespace mb

namespace mb {

void FrameStripWidget::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Delete && m_style == Frames) {
        emit deletePressed();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace mb
