#include "platform/bmp16writer.h"

#include <QImage>

namespace mb {

namespace {

void putU16(char *at, quint32 v)
{
    at[0] = char(v & 0xFF);
    at[1] = char((v >> 8) & 0xFF);
}

void putU32(char *at, quint32 v)
{
    putU16(at, v & 0xFFFF);
    putU16(at + 2, v >> 16);
}

} // namespace

QByteArray Bmp16Writer::encode(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int width = src.width(), height = src.height();
    const qsizetype stride = (qsizetype(width) * 2 + 3) / 4 * 4;
    const qsizetype pixelBytes = stride * height;

    QByteArray file(HeaderSize + pixelBytes, '\0');
    char *h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    putU32(h + 2, quint32(file.size()));
    putU32(h + 10, HeaderSize);
    putU32(h + 14, 40);
    putU32(h + 18, quint32(width));
    putU32(h + 22, quint32(height)); // positive: bottom-up
    putU16(h + 26, 1);               // planes
    putU16(h + 28, 16);              // bits per pixel
    putU32(h + 30, 0);               // BI_RGB: the implied 5-5-5 layout
    putU32(h + 34, quint32(pixelBytes));

    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        char *out = h + HeaderSize + qsizetype(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            const quint32 v = (quint32(qRed(c) >> 3) << 10) | (quint32(qGreen(c) >> 3) << 5)
                              | quint32(qBlue(c) >> 3);
            putU16(out + 2 * x, v);
        }
    }
    return file;
}

} // namespace mb
