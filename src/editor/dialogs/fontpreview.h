#pragma once

#include "build/fontrenderer.h"
#include "project/projectmodel.h"

#include <QWidget>

#include <optional>

namespace mb {

// The font window's sample: lines of text on a grey area, drawn by the renderer of the game's
// glyph pages (style copies, fill, soft shadow) and laid over the grey as the game lays text
// over a room.
class FontPreview : public QWidget
{
    Q_OBJECT
public:
    explicit FontPreview(QWidget *parent = nullptr);

    // Shows the font; an empty name shows only the grey area.
    void setFont(const RFont &font);
    const RFont &shownFont() const { return m_font; }
    // The lines shown, centred one under the other (letters, digits and special characters
    // unless set).
    void setSample(const QStringList &lines);
    static QColor background() { return QColor(0x88, 0x88, 0x88); }

    // The sample drawn into an image of the widget's size (also what paintEvent shows).
    QImage render(QSize size) const;

    // The typeface to ask the system for: a name whose third character from the end is "="
    // carries a three-character suffix that is not part of the typeface.
    static QString typeface(const QString &name);

    QSize sizeHint() const override { return {360, 110}; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    RFont m_font;
    std::optional<FontRenderer> m_renderer;
    QStringList m_sample;
};

} // namespace mb
