#pragma once

#include <QWidget>

namespace mb {

// A 21 x 21 marker the author drags over a preview: the foot point and the alignment helper of
// a character, the click point of a mouse cursor. It reports where its top-left corner would go
// (moved) and the end of a drag (released); the owner decides where it stays.
class MarkerWidget : public QWidget
{
    Q_OBJECT
public:
    enum Look { Cross, Ring };
    MarkerWidget(Look look, const QColor &colour, QWidget *parent);

signals:
    void moved(QPoint topLeft);
    void released();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    Look m_look;
    QColor m_colour;
    QPoint m_grab;
    bool m_dragging = false;
};

} // namespace mb
