#include "platform/ansicodec.h"

#include <array>

namespace mb::ansi {

namespace {

// 0x80..0x9F; the undefined positions carry their own value.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QChar charFor(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kHighTable[byte - 0x80]);
    return QChar(char16_t(byte));
}

QString decode(QByteArrayView bytes)
{
    bool plain = true;
    for (char c : bytes)
        if ((static_cast<unsigned char>(c) & 0xE0) == 0x80) {
            plain = false;
            break;
        }
    if (plain)
        return QString::fromLatin1(bytes.data(), bytes.size());
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = charFor(static_cast<unsigned char>(bytes[i]));
    return out;
}

QByteArray encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = encodeChar(text[i].unicode());
    return out;
}

void append(QByteArray &out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char *d = out.data() + at;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        d[i] = c < 0x80 ? char(c) : encodeChar(c);
    }
}

} // namespace mb::ansi
