#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace mb {

// Targa pictures as games use them: true colour (16, 24, 32 bits), grey (8 bits) and
// colour-mapped images, plain or run-length encoded, any origin corner, with or without the
// version 2 footer. Qt's own Targa reader takes only plain true colour with that footer.
//
// Bounds-checked: a size the data cannot hold is refused before anything is allocated, and no
// image larger than MaxPixels is made. A 32-bit image has alpha unless its descriptor claims no
// alpha bits and every alpha byte is zero (writers that leave the channel empty).
class TargaDecoder
{
public:
    static constexpr qint64 MaxPixels = qint64(64) << 20;

    // The image, or a null image and *error (when given) saying what is wrong.
    static QImage decode(const QByteArray &data, QString *error = nullptr);
};

} // namespace mb
