#pragma once

#include <QWidget>

#include <functional>
#include <vector>

class QMimeData;

namespace mb {

// A strip of numbered boxes: the states of an element (numbers written in the boxes) or the
// frames of a state (an ellipse below for an image, a small one above for a script line). The
// current box is filled light blue; a disabled strip draws grey boxes without content.
// Clicks, double clicks and right-button releases are reported with the box; holding the left
// button on a box that `canDrag` allows and moving starts a drag of "box k" in the strip's own
// mime type. Drops from anywhere are offered to `canDrop` and delivered through `dropped`.
class FrameStripWidget : public QWidget
{
    Q_OBJECT
public:
    enum Style { States, Frames };
    FrameStripWidget(Style style, int count, int boxWidth, QWidget *parent = nullptr);

    struct Box
    {
        bool image = false;
        bool script = false;
    };
    void setBoxes(std::vector<Box> boxes);
    void setCurrent(int box);
    int current() const { return m_current; }
    int count() const { return m_count; }
    int boxWidth() const { return m_boxWidth; }
    // The box under a point of the strip, 0 for none.
    int boxAt(QPoint p) const;
    // The centre of box k, for tests and drags.
    QPoint boxCenter(int k) const;

    // The mime type of a box dragged out of this kind of strip; the data is the box number.
    QString mimeType() const;
    static int draggedBox(const QMimeData *data, const QString &mimeType);

    std::function<bool(int box)> canDrag;
    std::function<bool(int box, const QMimeData *data)> canDrop;

signals:
    void clicked(int box);
    void doubleClicked(int box);
    void rightReleased(int box, QPoint globalPos);
    void dropped(int box, const QMimeData *data, QPoint globalPos);
    void deletePressed();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    Style m_style;
    int m_count, m_boxWidth;
    int m_current = 1;
    std::vector<Box> m_boxes;
    QPoint m_pressPos;
    int m_pressBox = 0;
};

} // namespace mb
