#pragma once

#include <QImage>
#include <QWidget>

namespace mb {

// A picture on black, scaled to fill the widget with its proportions kept and centred. Tells
// when the mouse comes over it.
class ImageView : public QWidget
{
    Q_OBJECT
public:
    explicit ImageView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    // Where the picture is drawn in the widget.
    QRect targetRect() const;

signals:
    void hovered();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;

private:
    QImage m_image;
};

} // namespace mb
