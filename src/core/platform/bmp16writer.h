#pragma once

#include <QByteArray>

class QImage;

namespace mb {

// Writes Windows bitmap files with 16 bits per pixel: BITMAPFILEHEADER + BITMAPINFOHEADER
// (40 bytes, BI_RGB, no palette, no resolution), rows bottom-up, each row padded to 4 bytes.
// A pixel is X1R5G5B5 little-endian, each channel keeping the top 5 bits of its 8-bit value,
// so 0xFF gives 31 and black stays 0. Alpha is ignored.
class Bmp16Writer
{
public:
    static constexpr int HeaderSize = 14 + 40;

    // The whole file for the image; empty for a null image.
    static QByteArray encode(const QImage &image);
};

} // namespace mb
