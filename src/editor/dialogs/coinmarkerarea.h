#pragma once

#include <QWidget>

namespace mb {

// The area in which the centre of the coin interface is placed: a marker dragged with the left
// button, its top-left kept within the limits of clampCoinTop / clampCoinLeft.
class CoinMarkerArea : public QWidget
{
    Q_OBJECT
public:
    explicit CoinMarkerArea(QWidget *parent = nullptr);

    void setMarker(int top, int left);
    int markerTop() const { return m_top; }
    int markerLeft() const { return m_left; }
    void setMarkerVisible(bool on);

    // Moves the marker as a drag ending at the area position would (used by the mouse handlers).
    void dragTo(QPoint areaPos);

    QSize sizeHint() const override { return {Offset + 189 + MarkerSize + 2, Offset + 139 + MarkerSize + 2}; }

signals:
    void markerMoved(int top, int left);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    static constexpr int Offset = 12; // area origin of marker position 0,0 (the limits reach -11)
    static constexpr int MarkerSize = 16;
    int m_top = 65, m_left = 90;
    bool m_visible = false;
    bool m_dragging = false;
    QPoint m_grab;
};

} // namespace mb
