#include "platform/targadecoder.h"

#include <QtEndian>

#include <vector>

namespace mb {

namespace {

constexpr int kHeaderSize = 18;

QImage fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return {};
}

// One pixel of `bytes` bytes (little-endian) as ARGB; 15/16-bit pixels are 5-5-5 with an
// optional alpha bit.
QRgb toArgb(const uchar *p, int bytes, bool grey, bool alphaBit)
{
    if (grey)
        return qRgba(p[0], p[0], p[0], bytes > 1 ? p[1] : 255);
    switch (bytes) {
    case 1: return qRgb(p[0], p[0], p[0]);
    case 2: {
        const int v = p[0] | p[1] << 8;
        auto five = [](int c) { return (c << 3) | (c >> 2); };
        return qRgba(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31), alphaBit && !(v & 0x8000) ? 0 : 255);
    }
    case 3: return qRgb(p[2], p[1], p[0]);
    default: return qRgba(p[2], p[1], p[0], p[3]);
    }
}

} // namespace

QImage TargaDecoder::decode(const QByteArray &data, QString *error)
{
    const auto *d = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    if (size < kHeaderSize)
        return fail(error, QStringLiteral("the Targa header is cut short (%1 bytes)").arg(size));
    const int idLength = d[0], mapType = d[1], type = d[2];
    const int mapFirst = qFromLittleEndian<quint16>(d + 3), mapLength = qFromLittleEndian<quint16>(d + 5);
    const int mapEntryBits = d[7];
    const int width = qFromLittleEndian<quint16>(d + 12), height = qFromLittleEndian<quint16>(d + 14);
    const int depth = d[16], descriptor = d[17];
    const bool rle = type >= 9;
    const int base = rle ? type - 8 : type;
    if (base < 1 || base > 3 || (type > 3 && type < 9) || type > 11)
        return fail(error, QStringLiteral("Targa image type %1 is not supported").arg(type));
    if (width == 0 || height == 0)
        return fail(error, QStringLiteral("the Targa image has no pixels"));
    if (qint64(width) * height > MaxPixels)
        return fail(error, QStringLiteral("the Targa image is too large (%1 x %2)").arg(width).arg(height));
    const bool mapped = base == 1, grey = base == 3;
    if (mapped && (mapType != 1 || (depth != 8 && depth != 16)))
        return fail(error, QStringLiteral("the Targa colour map is missing or has an unsupported index size"));
    if (grey && depth != 8 && depth != 16)
        return fail(error, QStringLiteral("grey Targa images of %1 bits are not supported").arg(depth));
    if (!mapped && !grey && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return fail(error, QStringLiteral("Targa images of %1 bits are not supported").arg(depth));
    const int alphaBits = descriptor & 15;

    qint64 pos = kHeaderSize + idLength;
    // The colour map, as ARGB.
    std::vector<QRgb> palette;
    if (mapType == 1) {
        const int entryBytes = (mapEntryBits + 7) / 8;
        if (entryBytes < 2 || entryBytes > 4)
            return fail(error, QStringLiteral("Targa colour map entries of %1 bits are not supported").arg(mapEntryBits));
        if (pos + qint64(mapLength) * entryBytes > size)
            return fail(error, QStringLiteral("the Targa colour map is cut short"));
        if (mapped) {
            palette.assign(size_t(mapFirst + mapLength), qRgb(0, 0, 0));
            for (int i = 0; i < mapLength; ++i)
                palette[size_t(mapFirst + i)] = toArgb(d + pos + qint64(i) * entryBytes, entryBytes, false, mapEntryBits == 16 && alphaBits);
        }
        pos += qint64(mapLength) * entryBytes;
    }

    const int bytes = (depth + 7) / 8;
    const qint64 pixels = qint64(width) * height;
    // Run-length packets hold at most 128 pixels in 1 + bytes bytes.
    const qint64 remaining = size - pos;
    if (remaining < 0 || (!rle && remaining < pixels * bytes) || (rle && remaining * 128 < pixels))
        return fail(error, QStringLiteral("the Targa pixel data is cut short"));

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return fail(error, QStringLiteral("not enough memory for a %1 x %2 image").arg(width).arg(height));
    const bool rightToLeft = descriptor & 0x10, topDown = descriptor & 0x20;
    bool anyAlpha = false, anyTranslucent = false;
    auto pixelAt = [&](const uchar *p) -> QRgb {
        if (mapped) {
            const int index = bytes == 1 ? p[0] : p[0] | p[1] << 8;
            return size_t(index) < palette.size() ? palette[size_t(index)] : qRgb(0, 0, 0);
        }
        return toArgb(p, bytes, grey, depth == 16 && alphaBits > 0);
    };
    auto put = [&](qint64 n, QRgb c) {
        const int x = int(n % width), y = int(n / width);
        anyAlpha = anyAlpha || qAlpha(c) != 0;
        anyTranslucent = anyTranslucent || qAlpha(c) != 255;
        reinterpret_cast<QRgb *>(image.scanLine(topDown ? y : height - 1 - y))[rightToLeft ? width - 1 - x : x] = c;
    };

    qint64 n = 0;
    if (!rle) {
        for (; n < pixels; ++n, pos += bytes)
            put(n, pixelAt(d + pos));
    } else {
        while (n < pixels) {
            if (pos >= size)
                return fail(error, QStringLiteral("the Targa pixel data is cut short at pixel %1 of %2").arg(n).arg(pixels));
            const int head = d[pos++];
            const qint64 count = std::min<qint64>((head & 0x7F) + 1, pixels - n);
            const qint64 need = head & 0x80 ? bytes : count * bytes;
            if (pos + need > size)
                return fail(error, QStringLiteral("the Targa pixel data is cut short at pixel %1 of %2").arg(n).arg(pixels));
            if (head & 0x80) {
                const QRgb c = pixelAt(d + pos);
                for (qint64 i = 0; i < count; ++i)
                    put(n++, c);
            } else {
                for (qint64 i = 0; i < count; ++i, pos += bytes)
                    put(n++, pixelAt(d + pos));
            }
            if (head & 0x80)
                pos += bytes;
        }
    }
    if (!anyTranslucent || (depth == 32 && alphaBits == 0 && !anyAlpha))
        return image.convertToFormat(QImage::Format_RGB32);
    return image;
}

} // namespace mb
