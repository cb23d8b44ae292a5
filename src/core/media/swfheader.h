#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace mb {

// The header of a Flash movie, read without playing it: the editor shows it in the preview
// because no player for these movies exists on Linux.
//
// Layout: "FWS" (plain), "CWS" (the rest zlib-compressed) or "ZWS" (the rest LZMA-compressed,
// with a 4-byte compressed length and 5 LZMA property bytes before the data); a version byte;
// the uncompressed file length (32 bits, little-endian, counting the 8 header bytes); then, in
// the (decompressed) body, the stage rectangle in twips as a bit field, the frame rate as 8.8
// fixed point and the frame count.
struct SwfHeader
{
    enum class Compression { None, Zlib, Lzma };

    Compression compression = Compression::None;
    int version = 0;
    quint32 fileLength = 0; // as the header claims it
    // Stage rectangle in twips (1/20 pixel).
    qint32 xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    quint16 frameRateFixed = 0; // 8.8 fixed point
    quint16 frameCount = 0;

    double stageWidth() const { return (qint64(xMax) - xMin) / 20.0; }
    double stageHeight() const { return (qint64(yMax) - yMin) / 20.0; }
    double frameRate() const { return frameRateFixed / 256.0; }
};

// What went wrong; the offset says where (a byte of the file, or of the decompressed data for
// the body of a compressed movie).
enum class SwfError {
    None,
    NotSwf,         // no FWS/CWS/ZWS signature
    Truncated,      // the file ends inside the header
    BadLength,      // the length field cannot hold the header
    ShortMovie,     // fewer bytes than the length field claims
    DamagedZlib,    // the zlib data cannot be inflated
    DamagedLzma,    // the LZMA data cannot be decoded (detail says why)
    InvertedStage,  // xMax < xMin or yMax < yMin
    Unreadable,     // the file cannot be opened (detail: the system's reason)
};

struct SwfHeaderResult
{
    bool ok = false;
    SwfHeader header;
    SwfError error = SwfError::None;
    qint64 offset = 0;
    qint64 actualLength = 0; // for ShortMovie: the bytes really present (decompressed)
    QString detail;          // library text or system error, may be empty
};

// Reads the header from the movie's bytes. Never allocates more than the input plus a fixed
// scratch buffer, whatever the header claims. When `wholeFile` is true the data is the whole
// file, and a movie shorter than its length field is reported as ShortMovie.
SwfHeaderResult readSwfHeader(const QByteArray &data, bool wholeFile = true);

// Reads the file (the whole file up to 64 MiB; beyond that only its start, without the
// length check) and its header.
SwfHeaderResult readSwfHeaderFile(const QString &path);

// The message for a failed read in "EN" or "DE", naming the file.
QString swfErrorText(const SwfHeaderResult &result, const QString &fileName, const QString &language);

} // namespace mb
