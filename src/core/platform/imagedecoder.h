#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringView>

namespace mb {

// Images are decoded by their file name, as the game runtime does, not by sniffing the content:
// a PNG named "x.jpg" is refused, so that the author sees the fault before the game does.
struct DecodedImage
{
    QImage image;       // null on failure
    QByteArray format;  // the decoder used ("bmp", "png", "jpeg", "gif", "tga"); empty if none
    QString error;      // why decoding failed (the decoder's text), empty on success
    bool ok() const { return !image.isNull(); }
};

// The decoder for a path by its last three letters, lower-cased: "bmp", "png", "jpg" and "jpe"
// (and a ".jpeg" ending) JPEG, "gif", "tga"; empty for anything else.
QByteArray imageFormatForPath(QStringView path);

// Decodes the file with the decoder its name asks for; a GIF gives its first frame. An unknown
// ending, a missing file or damaged data gives a null image and an error text. Targa pictures go
// through TargaDecoder, everything else through Qt's image readers.
DecodedImage decodeImageByExtension(const QString &path);

} // namespace mb
