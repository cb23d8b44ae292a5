#include "platform/imagedecoder.h"

#include "platform/targadecoder.h"
#include "project/texthelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace mb {

namespace {
// 64 Mi pixels of 32 bits, a header and a colour map: no valid picture is bigger.
constexpr qint64 kMaxTargaFile = TargaDecoder::MaxPixels * 4 + (1 << 20);
} // namespace

QByteArray imageFormatForPath(QStringView path)
{
    const QString lower = text::asciiLower(path);
    if (lower.endsWith(QLatin1String(".jpeg")))
        return "jpeg";
    const QStringView ext = QStringView(lower).right(3);
    if (ext == QLatin1String("bmp") || ext == QLatin1String("png") || ext == QLatin1String("gif") ||
        ext == QLatin1String("tga"))
        return ext.toLatin1();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpe"))
        return "jpeg";
    return {};
}

DecodedImage decodeImageByExtension(const QString &path)
{
    DecodedImage out;
    out.format = imageFormatForPath(path);
    if (out.format.isEmpty()) {
        out.error = QStringLiteral("unknown image type");
        return out;
    }
    if (!QFileInfo(path).isFile()) {
        out.error = QStringLiteral("file not found");
        return out;
    }
    if (out.format == "tga") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTargaFile) {
            out.error = file.isOpen() ? QStringLiteral("the file is too large") : file.errorString();
            return out;
        }
        out.image = TargaDecoder::decode(file.readAll(), &out.error);
        return out;
    }
    QImageReader reader(path, out.format);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) {
        out.error = reader.error() == QImageReader::UnsupportedFormatError
                        ? QStringLiteral("not a valid %1 file").arg(QString::fromLatin1(out.format.toUpper()))
                        : reader.errorString();
        return out;
    }
    out.image = reader.read(); // the first frame of an animation
    if (out.image.isNull())
        out.error = reader.errorString();
    return out;
}

} // namespace mb
