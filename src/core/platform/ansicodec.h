#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace mb {

// The one codec at the file boundary: Windows-1252 bytes <-> QString.
//
// Every byte value round-trips: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value. A character with no
// Windows-1252 byte is written as "?".
namespace ansi {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
// The Unicode character that stands for one Windows-1252 byte.
QChar charFor(unsigned char byte);

} // namespace ansi
} // namespace mb

namespace mb::ansi {
// Appends the Windows-1252 bytes of the text to out (a fast path for ASCII).
void append(QByteArray &out, QStringView text);
// Decodes one field; a fast path for bytes that need no table.
inline QString decodeField(QByteArrayView bytes) { return decode(bytes); }
} // namespace mb::ansi
