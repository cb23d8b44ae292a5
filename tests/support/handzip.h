#pragma once
// Zip archives written byte by byte, for tests that need what no zip writer makes: raw name
// bytes with or without the UTF-8 flag, declared sizes that lie, hostile entry names.

#include <QByteArray>
#include <QList>

#include <array>

namespace mb::testing {

inline quint32 crc32Of(const QByteArray &data)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data)
        crc = table[(crc ^ quint8(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

struct HandEntry
{
    QByteArray name; // the stored bytes
    QByteArray data; // stored (method 0)
    bool utf8 = false;
    qint64 declaredSize = -1; // -1: the real size
};

inline void putLe(QByteArray &b, quint64 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A zip archive of stored entries, local headers and central directory agreeing.
inline QByteArray handZip(const QList<HandEntry> &entries)
{
    QByteArray out, central;
    for (const HandEntry &e : entries) {
        const quint32 crc = crc32Of(e.data);
        const quint64 declared = e.declaredSize < 0 ? quint64(e.data.size()) : quint64(e.declaredSize);
        const quint16 flags = e.utf8 ? 0x0800 : 0;
        const quint32 offset = quint32(out.size());
        putLe(out, 0x04034b50, 4);
        putLe(out, 20, 2);
        putLe(out, flags, 2);
        putLe(out, 0, 2);      // stored
        putLe(out, 0, 2);      // time
        putLe(out, 0x21, 2);   // date: 1980-01-01
        putLe(out, crc, 4);
        putLe(out, quint64(e.data.size()), 4);
        putLe(out, declared, 4);
        putLe(out, quint64(e.name.size()), 2);
        putLe(out, 0, 2);
        out += e.name;
        out += e.data;

        putLe(central, 0x02014b50, 4);
        putLe(central, 20, 2);
        putLe(central, 20, 2);
        putLe(central, flags, 2);
        putLe(central, 0, 2);
        putLe(central, 0, 2);
        putLe(central, 0x21, 2);
        putLe(central, crc, 4);
        putLe(central, quint64(e.data.size()), 4);
        putLe(central, declared, 4);
        putLe(central, quint64(e.name.size()), 2);
        putLe(central, 0, 2); // extra
        putLe(central, 0, 2); // comment
        putLe(central, 0, 2); // disk
        putLe(central, 0, 2); // internal attributes
        putLe(central, 0, 4); // external attributes
        putLe(central, offset, 4);
        central += e.name;
    }
    const quint32 centralAt = quint32(out.size());
    out += central;
    putLe(out, 0x06054b50, 4);
    putLe(out, 0, 2);
    putLe(out, 0, 2);
    putLe(out, quint64(entries.size()), 2);
    putLe(out, quint64(entries.size()), 2);
    putLe(out, quint64(central.size()), 4);
    putLe(out, centralAt, 4);
    putLe(out, 0, 2);
    return out;
}

// Where an entry's fields sit in a zip archive made by any writer (no ZIP64): the local header
// and the central directory record of the entry with that stored name.
struct EntryHeaders
{
    qsizetype local = -1, central = -1;
    quint16 flags = 0;
    quint32 compressedSize = 0;
    qsizetype dataAt = -1; // first byte of the compressed data
};

inline quint32 getLe(const QByteArray &b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint32(quint8(b[at + i])) << (8 * i);
    return v;
}

inline EntryHeaders findEntryHeaders(const QByteArray &zip, const QByteArray &name)
{
    EntryHeaders h;
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
        const quint32 nameLength = getLe(zip, at + 28, 2);
        if (zip.mid(at + 46, nameLength) != name)
            continue;
        h.central = at;
        h.flags = quint16(getLe(zip, at + 8, 2));
        h.compressedSize = getLe(zip, at + 20, 4);
        h.local = getLe(zip, at + 42, 4);
        h.dataAt = h.local + 30 + getLe(zip, h.local + 26, 2) + getLe(zip, h.local + 28, 2);
        return h;
    }
    return h;
}

// Makes both headers of the entry declare `size` bytes of unpacked data.
inline bool setDeclaredSize(QByteArray &zip, const QByteArray &name, quint32 size)
{
    const EntryHeaders h = findEntryHeaders(zip, name);
    if (h.central < 0)
        return false;
    for (int i = 0; i < 4; ++i) {
        zip[h.central + 24 + i] = char((size >> (8 * i)) & 0xFF);
        zip[h.local + 22 + i] = char((size >> (8 * i)) & 0xFF);
    }
    return true;
}

} // namespace mb::testing
