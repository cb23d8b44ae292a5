#pragma once
// A minimal Windows program and icon files, made byte by byte for the icon patch and make game.

#include <QByteArray>
#include <QList>
#include <QtEndian>

namespace mb::testing {

inline void put16(QByteArray &b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
inline void put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }
inline quint32 get32(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

// Offsets of the tiny program below.
inline constexpr int kOptional = 0x58;
inline constexpr int kRsrcFile = 0x200, kRsrcRva = 0x1000;
inline constexpr int kDataEntry = kRsrcFile + 0x48;

// A minimal Windows program: headers in the first 0x200 bytes and one section ".rsrc" at RVA
// 0x1000 holding the resource tree type `type` -> id 1 -> language 1033 -> `icon`.
inline QByteArray tinyPe(const QByteArray &icon, bool pe32plus = false, quint32 type = 3)
{
    const int optionalSize = pe32plus ? 0xF0 : 0xE0;
    const int rsrcSize = 0x58 + int(icon.size());
    const int rawSize = (rsrcSize + 0x1FF) / 0x200 * 0x200;
    QByteArray b(kRsrcFile + rawSize, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, 0x40);
    b.replace(0x40, 4, QByteArray("PE\0\0", 4));
    put16(b, 0x44, pe32plus ? 0x8664 : 0x14C);
    put16(b, 0x46, 1);
    put16(b, 0x54, quint16(optionalSize));
    put16(b, 0x56, 0x0102);
    put16(b, kOptional, pe32plus ? 0x20B : 0x10B);
    put32(b, kOptional + 32, 0x1000);
    put32(b, kOptional + 36, 0x200);
    put32(b, kOptional + 56, 0x2000);
    put32(b, kOptional + 60, 0x200);
    const int dirs = kOptional + (pe32plus ? 112 : 96);
    put32(b, kOptional + (pe32plus ? 108 : 92), 16);
    put32(b, dirs + 16, kRsrcRva);
    put32(b, dirs + 20, quint32(rsrcSize));
    const int section = kOptional + optionalSize;
    b.replace(section, 5, ".rsrc");
    put32(b, section + 8, quint32(rsrcSize));
    put32(b, section + 12, kRsrcRva);
    put32(b, section + 16, quint32(rawSize));
    put32(b, section + 20, kRsrcFile);
    put32(b, section + 36, 0x40000040);
    const int r = kRsrcFile;
    put16(b, r + 14, 1);
    put32(b, r + 16, type);
    put32(b, r + 20, 0x80000000u | 0x18);
    put16(b, r + 0x18 + 14, 1);
    put32(b, r + 0x18 + 16, 1);
    put32(b, r + 0x18 + 20, 0x80000000u | 0x30);
    put16(b, r + 0x30 + 14, 1);
    put32(b, r + 0x30 + 16, 1033);
    put32(b, r + 0x30 + 20, 0x48);
    put32(b, kDataEntry, kRsrcRva + 0x58);
    put32(b, kDataEntry + 4, quint32(icon.size()));
    b.replace(r + 0x58, int(icon.size()), icon);
    return b;
}

// An icon file whose directory lists `images` in order, data after the directory.
inline QByteArray iconFile(const QList<QByteArray> &images)
{
    QByteArray b(6 + 16 * images.size(), '\0');
    put16(b, 2, 1);
    put16(b, 4, quint16(images.size()));
    int offset = int(b.size());
    for (int i = 0; i < images.size(); ++i) {
        b[6 + 16 * i] = 32;
        b[6 + 16 * i + 1] = 32;
        put32(b, 6 + 16 * i + 8, quint32(images[i].size()));
        put32(b, 6 + 16 * i + 12, quint32(offset));
        offset += int(images[i].size());
    }
    for (const QByteArray &img : images)
        b += img;
    return b;
}

} // namespace mb::testing
