#include "platform/peicon.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

namespace mb {

namespace {

// Program files larger than this are not read; no runtime comes near it.
constexpr qint64 kMaxProgramSize = qint64(256) << 20;
constexpr qint64 kMaxIconSize = qint64(16) << 20;
constexpr int kMaxSections = 96;

bool fits(const QByteArray &b, quint64 at, quint64 size) { return at <= quint64(b.size()) && size <= quint64(b.size()) - at; }

quint16 u16(const QByteArray &b, quint64 at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return quint16(p[0] | (p[1] << 8));
}

quint32 u32(const QByteArray &b, quint64 at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

void put32(QByteArray &b, quint64 at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[qsizetype(at) + i] = char((v >> (8 * i)) & 0xFF);
}

quint64 alignUp(quint64 v, quint64 a) { return a ? (v + a - 1) / a * a : v; }

struct Section
{
    quint64 header; // file offset of the section header
    quint32 virtualSize, virtualAddress, rawSize, rawOffset;
};

// The parts of a PE image the icon patch needs, all checked against the file.
struct PeLayout
{
    quint64 optional = 0;      // file offset of the optional header
    quint64 checksumAt = 0;    // file offset of the CheckSum field
    quint64 sizeOfImageAt = 0;
    quint64 resourceDirAt = 0; // file offset of data directory entry 2 (RVA, Size)
    quint32 sectionAlignment = 0, fileAlignment = 0;
    std::vector<Section> sections;
    // The icon's data entry.
    quint64 dataEntryAt = 0; // file offset of the IMAGE_RESOURCE_DATA_ENTRY
    quint32 dataRva = 0, dataSize = 0;
    quint64 dataAt = 0;      // file offset of the data
    int dataSection = -1;

    // File offset of `size` bytes at an RVA inside one section's raw data.
    std::optional<quint64> fileOffset(const QByteArray &b, quint32 rva, quint32 size, int *sectionIndex = nullptr) const
    {
        for (size_t i = 0; i < sections.size(); ++i) {
            const Section &s = sections[i];
            const quint64 extent = std::max(s.virtualSize, s.rawSize);
            if (rva < s.virtualAddress || quint64(rva) + size > quint64(s.virtualAddress) + extent)
                continue;
            const quint64 inSection = rva - s.virtualAddress;
            if (inSection + size > s.rawSize)
                return std::nullopt;
            const quint64 at = quint64(s.rawOffset) + inSection;
            if (!fits(b, at, size))
                return std::nullopt;
            if (sectionIndex)
                *sectionIndex = int(i);
            return at;
        }
        return std::nullopt;
    }
};

// Finds entry `id` in the resource directory at `dirAt` (a file offset); returns the raw
// OffsetToData field, or nullopt.
std::optional<quint32> findEntry(const QByteArray &b, quint64 dirAt, quint32 id, bool anyId)
{
    if (!fits(b, dirAt, 16))
        return std::nullopt;
    const quint32 named = u16(b, dirAt + 12), ids = u16(b, dirAt + 14);
    const quint64 entries = dirAt + 16;
    if (!fits(b, entries, quint64(named + ids) * 8))
        return std::nullopt;
    std::optional<quint32> any;
    for (quint32 i = named; i < named + ids; ++i) {
        const quint32 name = u32(b, entries + i * 8), offset = u32(b, entries + i * 8 + 4);
        if (name == id)
            return offset;
        if (anyId && !any)
            any = offset;
    }
    return any;
}

std::optional<PeLayout> layout(const QByteArray &b)
{
    PeLayout pe;
    if (!fits(b, 0, 0x40) || u16(b, 0) != 0x5A4D)
        return std::nullopt;
    const quint64 peAt = u32(b, 0x3C);
    if (!fits(b, peAt, 24) || u32(b, peAt) != 0x00004550)
        return std::nullopt;
    const quint32 sectionCount = u16(b, peAt + 6);
    const quint32 optionalSize = u16(b, peAt + 20);
    pe.optional = peAt + 24;
    if (sectionCount == 0 || sectionCount > kMaxSections || !fits(b, pe.optional, optionalSize)
        || optionalSize < 2)
        return std::nullopt;
    const quint16 magic = u16(b, pe.optional);
    quint64 directories = 0, countAt = 0;
    if (magic == 0x10B) {
        countAt = pe.optional + 92;
        directories = pe.optional + 96;
    } else if (magic == 0x20B) {
        countAt = pe.optional + 108;
        directories = pe.optional + 112;
    } else {
        return std::nullopt;
    }
    if (directories + 3 * 8 > pe.optional + optionalSize || u32(b, countAt) < 3)
        return std::nullopt;
    pe.sectionAlignment = u32(b, pe.optional + 32);
    pe.fileAlignment = u32(b, pe.optional + 36);
    pe.sizeOfImageAt = pe.optional + 56;
    pe.checksumAt = pe.optional + 64;
    pe.resourceDirAt = directories + 2 * 8;

    const quint64 table = pe.optional + optionalSize;
    if (!fits(b, table, quint64(sectionCount) * 40))
        return std::nullopt;
    for (quint32 i = 0; i < sectionCount; ++i) {
        const quint64 h = table + quint64(i) * 40;
        pe.sections.push_back({h, u32(b, h + 8), u32(b, h + 12), u32(b, h + 16), u32(b, h + 20)});
    }

    const quint32 rsrcRva = u32(b, pe.resourceDirAt);
    const quint32 rsrcSize = u32(b, pe.resourceDirAt + 4);
    if (rsrcRva == 0 || rsrcSize < 16)
        return std::nullopt;
    const auto root = pe.fileOffset(b, rsrcRva, 16);
    if (!root)
        return std::nullopt;
    // Directory offsets count from the start of the resource directory; the high bit marks a
    // subdirectory. Type, then name, then language.
    auto subdirectory = [&](std::optional<quint32> entry) -> std::optional<quint64> {
        if (!entry || !(*entry & 0x80000000u))
            return std::nullopt;
        const quint32 off = *entry & 0x7FFFFFFFu;
        return pe.fileOffset(b, rsrcRva + off, 16);
    };
    const auto types = subdirectory(findEntry(b, *root, PeIcon::RtIcon, false));
    if (!types)
        return std::nullopt;
    const auto languages = subdirectory(findEntry(b, *types, PeIcon::IconId, false));
    if (!languages)
        return std::nullopt;
    const auto entry = findEntry(b, *languages, PeIcon::PreferredLanguage, true);
    if (!entry || (*entry & 0x80000000u))
        return std::nullopt;
    const auto dataEntry = pe.fileOffset(b, rsrcRva + *entry, 16);
    if (!dataEntry)
        return std::nullopt;
    pe.dataEntryAt = *dataEntry;
    pe.dataRva = u32(b, pe.dataEntryAt);
    pe.dataSize = u32(b, pe.dataEntryAt + 4);
    const auto data = pe.fileOffset(b, pe.dataRva, pe.dataSize, &pe.dataSection);
    if (!data)
        return std::nullopt;
    pe.dataAt = *data;
    return pe;
}

// The PE header checksum: the file's 16-bit words summed with end-around carry, the field itself
// taken as zero, plus the file length.
quint32 peChecksum(QByteArray &b, quint64 checksumAt)
{
    put32(b, checksumAt, 0);
    quint64 sum = 0;
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n; i += 2) {
        quint32 word = uchar(b[i]);
        if (i + 1 < n)
            word |= quint32(uchar(b[i + 1])) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return quint32(sum + quint64(n));
}

} // namespace

std::optional<QByteArray> PeIcon::firstIconImage(const QByteArray &iconFile)
{
    // ICONDIR: reserved 0, type 1, count; then 16-byte entries.
    if (!fits(iconFile, 0, 6 + 16) || u16(iconFile, 0) != 0 || u16(iconFile, 2) != 1 || u16(iconFile, 4) == 0)
        return std::nullopt;
    const quint32 size = u32(iconFile, 6 + 8), offset = u32(iconFile, 6 + 12);
    if (size == 0 || !fits(iconFile, offset, size))
        return std::nullopt;
    return iconFile.mid(offset, size);
}

std::optional<QByteArray> PeIcon::iconResource(const QByteArray &program)
{
    const auto pe = layout(program);
    if (!pe)
        return std::nullopt;
    return program.mid(qsizetype(pe->dataAt), qsizetype(pe->dataSize));
}

bool PeIcon::replaceIconResource(QByteArray &program, const QByteArray &image)
{
    const auto found = layout(program);
    if (!found || image.isEmpty() || image.size() > kMaxIconSize)
        return false;
    const PeLayout &pe = *found;
    QByteArray out = program;
    const quint32 newSize = quint32(image.size());

    if (newSize <= pe.dataSize) {
        std::memcpy(out.data() + pe.dataAt, image.constData(), newSize);
        std::memset(out.data() + pe.dataAt + newSize, 0, pe.dataSize - newSize);
        put32(out, pe.dataEntryAt + 4, newSize);
    } else {
        // Append to the resource section; only when it is the last thing in the file and in the
        // address space, so that nothing else moves.
        const Section &s = pe.sections[size_t(pe.dataSection)];
        for (const Section &other : pe.sections)
            if (&other != &s && (other.virtualAddress > s.virtualAddress || other.rawOffset > s.rawOffset))
                return false;
        if (quint64(s.rawOffset) + s.rawSize != quint64(program.size()))
            return false;
        const quint64 used = std::max<quint64>(s.virtualSize ? s.virtualSize : s.rawSize, pe.dataAt + pe.dataSize - s.rawOffset);
        const quint64 place = alignUp(used, 8);
        const quint64 virtualSize = place + newSize;
        const quint64 rawSize = alignUp(virtualSize, pe.fileAlignment ? pe.fileAlignment : 512);
        const quint64 fileSize = quint64(s.rawOffset) + std::max<quint64>(rawSize, s.rawSize);
        if (virtualSize > 0x7FFFFFFF || fileSize > quint64(kMaxProgramSize))
            return false;
        out.resize(qsizetype(fileSize), '\0');
        std::memcpy(out.data() + s.rawOffset + place, image.constData(), newSize);
        put32(out, s.header + 8, quint32(virtualSize));
        put32(out, s.header + 16, quint32(std::max<quint64>(rawSize, s.rawSize)));
        put32(out, pe.dataEntryAt, quint32(s.virtualAddress + place));
        put32(out, pe.dataEntryAt + 4, newSize);
        const quint64 imageEnd = alignUp(quint64(s.virtualAddress) + virtualSize, pe.sectionAlignment ? pe.sectionAlignment : 4096);
        if (imageEnd > u32(out, pe.sizeOfImageAt))
            put32(out, pe.sizeOfImageAt, quint32(imageEnd));
        // The resource directory entry spans the resources up to the end of the new data.
        const quint32 rsrcRva = u32(out, pe.resourceDirAt);
        const quint64 rsrcEnd = quint64(s.virtualAddress) + virtualSize;
        if (rsrcRva >= s.virtualAddress && rsrcEnd - rsrcRva > u32(out, pe.resourceDirAt + 4))
            put32(out, pe.resourceDirAt + 4, quint32(rsrcEnd - rsrcRva));
    }
    if (u32(out, pe.checksumAt) != 0)
        put32(out, pe.checksumAt, peChecksum(out, pe.checksumAt));
    program = out;
    return true;
}

bool PeIcon::replaceProgramIcon(const QString &programFile, const QString &iconFile)
{
    QFile icon(iconFile);
    if (!icon.open(QIODevice::ReadOnly) || icon.size() > kMaxIconSize)
        return false;
    const auto image = firstIconImage(icon.readAll());
    if (!image)
        return false;
    QFile in(programFile);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxProgramSize)
        return false;
    QByteArray program = in.readAll();
    in.close();
    if (!replaceIconResource(program, *image))
        return false;
    QSaveFile out(programFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(program) != program.size())
        return false;
    return out.commit();
}

} // namespace mb
