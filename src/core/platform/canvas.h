#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace mb {

// How a drawn image or fill meets what is already there. The values are the ones the room
// editor has always passed to its drawing layer.
enum class Blend : int {
    Opaque = 1,      // the source replaces the target; alpha is ignored
    Alpha = 1284,    // source-over with the source's alpha
    Additive = 260,  // the source, weighted by its alpha, is added to the target
};

// The room editor's drawing layer: a QPainter over a QImage with the few operations the room
// renderer needs, so that the editor window, the command line and the tests draw the same pixels.
//
// Colours:
// - images are modulated by a colour 0xAARRGGBB (opaque white leaves them unchanged);
// - line() takes its end colours as project colours 0x00BBGGRR (red in the lowest byte) and
//   draws them opaque; the top byte is ignored;
// - rectangles, quadrilaterals, circles and text take 0xAARRGGBB. An alpha byte of 0 means
//   opaque (colours given as 24-bit values), and Blend::Opaque ignores the alpha byte.
//
// Nothing is anti-aliased: the room is drawn pixel for pixel at the game's resolution, and
// unsmoothed edges keep the pixels the same on every machine.
class Canvas
{
public:
    // Draws into `target`, which must outlive the canvas and should be Format_RGB32 (the format
    // QPainter blends into fastest). The canvas is idle until begin().
    explicit Canvas(QImage *target);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // Starts a frame: opens the painter with the clip reset to the whole target.
    void begin();
    // Ends the frame; the target holds the finished picture.
    void present();
    bool active() const { return m_painter.isActive(); }
    QSize size() const { return m_target->size(); }
    QImage &target() { return *m_target; }

    // Fills everything inside the clip with the colour (0xAARRGGBB, alpha ignored).
    void clear(uint32_t rgb = 0);

    // Draws the image with its top left at `at`, unscaled.
    void drawImage(const QImage &image, QPoint at, Blend blend, uint32_t colour = 0xFFFFFFFF);
    // Draws the image stretched into `target` (smoothly); mirrored flips it left to right.
    void drawImage(const QImage &image, const QRectF &target, Blend blend, bool mirrored = false,
                   uint32_t colour = 0xFFFFFFFF);

    // A one-pixel line from a to b, both end pixels included; the colour runs from c1 to c2.
    void line(QPointF a, QPointF b, uint32_t bgr1, uint32_t bgr2);
    void line(QPointF a, QPointF b, uint32_t bgr) { line(a, b, bgr, bgr); }
    // Fills exactly the pixels of the rectangle.
    void fillRect(const QRect &rect, uint32_t argb, Blend blend = Blend::Opaque);
    // Outlines the rectangle with its outermost pixels.
    void outlineRect(const QRect &rect, uint32_t argb);
    void fillQuad(const std::array<QPointF, 4> &corners, uint32_t argb, Blend blend = Blend::Alpha);
    void outlineQuad(const std::array<QPointF, 4> &corners, uint32_t argb);
    void circle(QPointF centre, double radius, uint32_t argb);

    // Everything drawn afterwards stays inside the rectangle (also inside the target).
    void setClip(const QRect &rect);
    // The clip back to the whole target.
    void resetClip();
    QRect clip() const { return m_clip; }

    // Text in the room font with its top left at (left, top); scale 1.0 is the font's own size.
    void text(const QString &text, uint32_t argb, int top, int left, double scale = 1.0);

    // The bundled room font at a scale; its pixels do not depend on the machine's fonts.
    static QFont roomFont(double scale = 1.0);
    // True when text can be drawn: the program runs with a GUI application object.
    static bool textAvailable();

    // 0xAARRGGBB with alpha 0 read as opaque.
    static QColor argbColour(uint32_t argb);
    // 0x00BBGGRR as an opaque colour.
    static QColor bgrColour(uint32_t bgr);

private:
    void setBlend(Blend blend);
    // Writes opaque pixels straight into an RGB32 target, inside the clip; false when it cannot
    // (no frame begun, another format) and the painter must draw them.
    bool fillSpan(const QRect &rect, QRgb colour);
    QImage *m_target;
    uchar *m_bits = nullptr; // the target's pixels while a frame is drawn
    QPainter m_painter;
    QRect m_clip;
    Blend m_blend = Blend::Alpha;
    QFont m_font;
    double m_fontScale = -1;
};

} // namespace mb
