#include "preview/imageview.h"

#include <QPainter>

namespace mb {

ImageView::ImageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(16, 16);
}

void ImageView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

QRect ImageView::targetRect() const
{
    if (m_image.isNull())
        return {};
    const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void ImageView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_image.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(targetRect(), m_image);
}

void ImageView::enterEvent(QEnterEvent *)
{
    emit hovered();
}

} // namespace mb
