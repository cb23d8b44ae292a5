#pragma once

#include "project/projectmodel.h"

#include <QWidget>

namespace mb {

// The font window's sample: three lines on a grey area, drawn with the style copies, the fill
// and the soft shadow the game's glyph pages get.
class FontPreview : public QWidget
{
    Q_OBJECT
public:
    explicit FontPreview(QWidget *parent = nullptr);

    // Shows the font; an empty name shows only the grey area.
    void setFont(const RFont &font);
    const RFont &shownFont() const { return m_font; }

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
};

} // namespace mb
