#include "platform/peicon.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace mb {

namespace {

// Program files larger than this are not read; no runtime comes near it.
constexpr qint64 kMaxProgramSize = qint64(256) << 20;
constexpr qint64 kMaxIconSize = qint64(16) << 20;
constexpr int kMaxSections = 96;
// Type, name, language: a resource tree is three directories deep.
constexpr int kMaxDepth = 3;
constexpr int kMaxNodes = 1 << 16;
constexpr quint32 kHigh = 0x80000000u;

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

void put16(QByteArray &b, quint64 at, quint16 v)
{
    b[qsizetype(at)] = char(v & 0xFF);
    b[qsizetype(at) + 1] = char(v >> 8);
}

void put32(QByteArray &b, quint64 at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[qsizetype(at) + i] = char((v >> (8 * i)) & 0xFF);
}

quint64 alignUp(quint64 v, quint64 a) { return a ? (v + a - 1) / a * a : v; }

struct Failure
{
    QString what;
};

[[noreturn]] void fail(const QString &what) { throw Failure{what}; }

struct Section
{
    quint64 header; // file offset of the section header
    quint32 virtualSize, virtualAddress, rawSize, rawOffset;
};

// The headers of a PE image, all checked against the file.
struct PeHeaders
{
    quint64 optional = 0;      // file offset of the optional header
    quint64 checksumAt = 0;    // file offset of the CheckSum field
    quint64 sizeOfImageAt = 0;
    quint64 resourceDirAt = 0; // file offset of data directory entry 2 (RVA, Size)
    quint64 sectionCountAt = 0;
    quint64 sectionTable = 0;
    quint32 sectionAlignment = 0, fileAlignment = 0, sizeOfHeaders = 0;
    std::vector<Section> sections;

    // File offset of `size` bytes at an RVA inside one section's raw data.
    std::optional<quint64> fileOffset(const QByteArray &b, quint32 rva, quint32 size) const
    {
        for (const Section &s : sections) {
            const quint64 extent = std::max(s.virtualSize, s.rawSize);
            if (rva < s.virtualAddress || quint64(rva) + size > quint64(s.virtualAddress) + extent)
                continue;
            const quint64 inSection = rva - s.virtualAddress;
            if (inSection + size > s.rawSize)
                return std::nullopt;
            const quint64 at = quint64(s.rawOffset) + inSection;
            if (!fits(b, at, size))
                return std::nullopt;
            return at;
        }
        return std::nullopt;
    }
    quint64 at(const QByteArray &b, quint32 rva, quint32 size) const
    {
        const auto offset = fileOffset(b, rva, size);
        if (!offset)
            fail(QStringLiteral("its resources point outside the file"));
        return *offset;
    }
};

PeHeaders headers(const QByteArray &b)
{
    PeHeaders pe;
    if (!fits(b, 0, 0x40) || u16(b, 0) != 0x5A4D)
        fail(QStringLiteral("it is not a Windows program (no MZ header)"));
    const quint64 peAt = u32(b, 0x3C);
    if (!fits(b, peAt, 24) || u32(b, peAt) != 0x00004550)
        fail(QStringLiteral("it is not a Windows program (no PE header)"));
    pe.sectionCountAt = peAt + 6;
    const quint32 sectionCount = u16(b, peAt + 6);
    const quint32 optionalSize = u16(b, peAt + 20);
    pe.optional = peAt + 24;
    if (sectionCount == 0 || sectionCount > kMaxSections || !fits(b, pe.optional, optionalSize) || optionalSize < 2)
        fail(QStringLiteral("its headers are damaged"));
    const quint16 magic = u16(b, pe.optional);
    quint64 directories = 0, countAt = 0;
    if (magic == 0x10B) {
        countAt = pe.optional + 92;
        directories = pe.optional + 96;
    } else if (magic == 0x20B) {
        countAt = pe.optional + 108;
        directories = pe.optional + 112;
    } else {
        fail(QStringLiteral("it is neither a 32-bit nor a 64-bit Windows program"));
    }
    if (directories + 3 * 8 > pe.optional + optionalSize || u32(b, countAt) < 3)
        fail(QStringLiteral("its headers have no resource directory"));
    pe.sectionAlignment = u32(b, pe.optional + 32);
    pe.fileAlignment = u32(b, pe.optional + 36);
    pe.sizeOfImageAt = pe.optional + 56;
    pe.sizeOfHeaders = u32(b, pe.optional + 60);
    pe.checksumAt = pe.optional + 64;
    pe.resourceDirAt = directories + 2 * 8;
    pe.sectionTable = pe.optional + optionalSize;
    if (!fits(b, pe.sectionTable, quint64(sectionCount) * 40))
        fail(QStringLiteral("its section table is cut short"));
    for (quint32 i = 0; i < sectionCount; ++i) {
        const quint64 h = pe.sectionTable + quint64(i) * 40;
        pe.sections.push_back({h, u32(b, h + 8), u32(b, h + 12), u32(b, h + 16), u32(b, h + 20)});
    }
    return pe;
}

// ---- the resource tree ----

struct Key
{
    bool named = false;
    quint32 id = 0;
    QString name;
    bool operator==(const Key &o) const { return named == o.named && (named ? name == o.name : id == o.id); }
};

struct Node
{
    Key key;
    // A directory has children; a leaf has data.
    bool leaf = false;
    quint32 characteristics = 0, timeDateStamp = 0;
    quint16 major = 0, minor = 0;
    std::vector<std::unique_ptr<Node>> children;
    QByteArray data;
    quint32 codePage = 0;

    Node *child(const Key &k) const
    {
        for (const auto &c : children)
            if (c->key == k)
                return c.get();
        return nullptr;
    }
    // Adds a child keeping named entries first and numbered ones in ascending order.
    Node *insert(std::unique_ptr<Node> node)
    {
        auto it = children.begin();
        if (!node->key.named)
            while (it != children.end() && ((*it)->key.named || (*it)->key.id < node->key.id))
                ++it;
        return children.insert(it, std::move(node))->get();
    }
};

class TreeReader
{
public:
    TreeReader(const QByteArray &b, const PeHeaders &pe, quint32 base) : m_b(b), m_pe(pe), m_base(base) {}

    std::unique_ptr<Node> directory(quint32 offset, int depth)
    {
        if (depth >= kMaxDepth)
            fail(QStringLiteral("its resource tree is deeper than resources are"));
        const quint64 at = m_pe.at(m_b, m_base + offset, 16);
        auto dir = std::make_unique<Node>();
        dir->characteristics = u32(m_b, at);
        dir->timeDateStamp = u32(m_b, at + 4);
        dir->major = u16(m_b, at + 8);
        dir->minor = u16(m_b, at + 10);
        const quint32 count = quint32(u16(m_b, at + 12)) + u16(m_b, at + 14);
        m_nodes += count;
        if (m_nodes > kMaxNodes)
            fail(QStringLiteral("its resource tree is too large"));
        const quint64 entries = m_pe.at(m_b, m_base + offset + 16, count * 8);
        for (quint32 i = 0; i < count; ++i) {
            const quint32 name = u32(m_b, entries + i * 8), target = u32(m_b, entries + i * 8 + 4);
            std::unique_ptr<Node> child;
            if (target & kHigh) {
                child = directory(target & ~kHigh, depth + 1);
            } else {
                child = std::make_unique<Node>();
                child->leaf = true;
                const quint64 entry = m_pe.at(m_b, m_base + target, 16);
                const quint32 rva = u32(m_b, entry), size = u32(m_b, entry + 4);
                child->codePage = u32(m_b, entry + 8);
                m_dataBytes += size;
                if (m_dataBytes > quint64(kMaxProgramSize))
                    fail(QStringLiteral("its resources are larger than the file"));
                child->data = m_b.mid(qsizetype(m_pe.at(m_b, rva, size)), qsizetype(size));
            }
            if (name & kHigh) {
                const quint64 s = m_pe.at(m_b, m_base + (name & ~kHigh), 2);
                const quint16 length = u16(m_b, s);
                const quint64 chars = m_pe.at(m_b, m_base + (name & ~kHigh) + 2, quint32(length) * 2);
                QString text(length, Qt::Uninitialized);
                for (quint16 c = 0; c < length; ++c)
                    text[c] = QChar(u16(m_b, chars + quint64(c) * 2));
                child->key = {true, 0, text};
            } else {
                child->key = {false, name, {}};
            }
            dir->children.push_back(std::move(child));
        }
        return dir;
    }

private:
    const QByteArray &m_b;
    const PeHeaders &m_pe;
    quint32 m_base;
    quint32 m_nodes = 0;
    quint64 m_dataBytes = 0;
};

// The program's resource tree; an empty root when it has no resources.
std::unique_ptr<Node> readTree(const QByteArray &b, const PeHeaders &pe)
{
    const quint32 rva = u32(b, pe.resourceDirAt);
    if (rva == 0 || u32(b, pe.resourceDirAt + 4) == 0)
        return std::make_unique<Node>();
    TreeReader reader(b, pe, rva);
    return reader.directory(0, 0);
}

// The resource section's bytes for a tree placed at `base` (an RVA): the directories breadth
// first, then the name strings, the data entries, and the data, each piece aligned.
QByteArray writeTree(const Node &root, quint32 base)
{
    std::vector<const Node *> dirs{&root};
    for (size_t i = 0; i < dirs.size(); ++i)
        for (const auto &c : dirs[i]->children)
            if (!c->leaf)
                dirs.push_back(c.get());
    std::vector<const Node *> leaves, named;
    quint64 size = 0;
    std::vector<quint64> dirAt;
    for (const Node *d : dirs) {
        dirAt.push_back(size);
        size += 16 + 8 * d->children.size();
        for (const auto &c : d->children) {
            if (c->leaf)
                leaves.push_back(c.get());
            if (c->key.named)
                named.push_back(c.get());
        }
    }
    std::vector<quint64> nameAt;
    for (const Node *n : named) {
        nameAt.push_back(size);
        size += 2 + 2 * quint64(n->key.name.size());
    }
    size = alignUp(size, 4);
    const quint64 entriesAt = size;
    size += 16 * leaves.size();
    std::vector<quint64> dataAt;
    for (const Node *l : leaves) {
        size = alignUp(size, 8);
        dataAt.push_back(size);
        size += quint64(l->data.size());
    }
    QByteArray out(qsizetype(alignUp(size, 8)), '\0');
    auto indexOf = [](const auto &list, const Node *n) {
        return size_t(std::find(list.begin(), list.end(), n) - list.begin());
    };
    for (size_t d = 0; d < dirs.size(); ++d) {
        const Node *dir = dirs[d];
        const quint64 at = dirAt[d];
        put32(out, at, dir->characteristics);
        put32(out, at + 4, dir->timeDateStamp);
        put16(out, at + 8, dir->major);
        put16(out, at + 10, dir->minor);
        const auto namedCount = std::count_if(dir->children.begin(), dir->children.end(),
                                              [](const auto &c) { return c->key.named; });
        put16(out, at + 12, quint16(namedCount));
        put16(out, at + 14, quint16(dir->children.size() - size_t(namedCount)));
        quint64 entry = at + 16;
        for (const auto &c : dir->children) {
            put32(out, entry, c->key.named ? quint32(nameAt[indexOf(named, c.get())]) | kHigh : c->key.id);
            put32(out, entry + 4, c->leaf ? quint32(entriesAt + 16 * indexOf(leaves, c.get()))
                                          : quint32(dirAt[indexOf(dirs, c.get())]) | kHigh);
            entry += 8;
        }
    }
    for (size_t i = 0; i < named.size(); ++i) {
        const QString &text = named[i]->key.name;
        put16(out, nameAt[i], quint16(text.size()));
        for (qsizetype c = 0; c < text.size(); ++c)
            put16(out, nameAt[i] + 2 + 2 * quint64(c), text[c].unicode());
    }
    for (size_t i = 0; i < leaves.size(); ++i) {
        const quint64 entry = entriesAt + 16 * i;
        put32(out, entry, quint32(base + dataAt[i]));
        put32(out, entry + 4, quint32(leaves[i]->data.size()));
        put32(out, entry + 8, leaves[i]->codePage);
        std::memcpy(out.data() + dataAt[i], leaves[i]->data.constData(), size_t(leaves[i]->data.size()));
    }
    return out;
}

// Every leaf with its path, for comparing two trees.
void flatten(const Node &n, const QString &path, QList<std::pair<QString, QByteArray>> *out)
{
    for (const auto &c : n.children) {
        const QString here = path + u'/' + (c->key.named ? u'"' + c->key.name + u'"' : QString::number(c->key.id));
        if (c->leaf)
            out->append({here + u'@' + QString::number(c->codePage), c->data});
        else
            flatten(*c, here, out);
    }
}

// Puts the image in as icon 1: language 1031, and every other language icon 1 has.
void setIcon(Node &root, const QByteArray &image)
{
    auto directory = [](Node &parent, quint32 id) {
        if (Node *existing = parent.child({false, id, {}})) {
            if (existing->leaf)
                fail(QStringLiteral("its icon resources are not laid out as directories"));
            return existing;
        }
        auto dir = std::make_unique<Node>();
        dir->key = {false, id, {}};
        return parent.insert(std::move(dir));
    };
    Node &icon = *directory(*directory(root, PeIcon::RtIcon), PeIcon::IconId);
    for (const auto &language : icon.children) {
        if (!language->leaf)
            fail(QStringLiteral("its icon resources are not laid out as directories"));
        language->data = image;
    }
    if (!icon.child({false, PeIcon::Language, {}})) {
        auto leaf = std::make_unique<Node>();
        leaf->key = {false, PeIcon::Language, {}};
        leaf->leaf = true;
        leaf->data = image;
        icon.insert(std::move(leaf));
    }
}

const Node *iconLeaf(const Node &root)
{
    const Node *type = root.child({false, PeIcon::RtIcon, {}});
    const Node *id = type && !type->leaf ? type->child({false, PeIcon::IconId, {}}) : nullptr;
    if (!id || id->leaf || id->children.empty())
        return nullptr;
    const Node *preferred = id->child({false, PeIcon::Language, {}});
    return preferred ? preferred : id->children.front().get();
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

// Writes the rebuilt tree into the program: in the old resource section when it starts there and
// the tree fits (or the section is the last thing in the file and may grow), else into a new
// section after the others.
QByteArray place(const QByteArray &program, const PeHeaders &pe, const Node &tree)
{
    QByteArray out = program;
    const quint32 fileAlign = pe.fileAlignment ? pe.fileAlignment : 0x200;
    const quint32 sectionAlign = pe.sectionAlignment ? pe.sectionAlignment : 0x1000;
    const quint32 rva = u32(program, pe.resourceDirAt);
    auto finish = [&](quint32 base, quint64 size) {
        put32(out, pe.resourceDirAt, base);
        put32(out, pe.resourceDirAt + 4, quint32(size));
        const quint64 end = alignUp(quint64(base) + size, sectionAlign);
        if (end > u32(out, pe.sizeOfImageAt))
            put32(out, pe.sizeOfImageAt, quint32(end));
    };

    const Section *own = nullptr;
    for (const Section &s : pe.sections)
        if (rva != 0 && s.virtualAddress == rva)
            own = &s;
    if (own) {
        const QByteArray blob = writeTree(tree, own->virtualAddress);
        const quint64 size = quint64(blob.size());
        quint64 room = std::numeric_limits<quint32>::max();
        bool lastInMemory = true, lastInFile = quint64(own->rawOffset) + own->rawSize == quint64(program.size());
        for (const Section &s : pe.sections) {
            if (&s == own)
                continue;
            if (s.virtualAddress > own->virtualAddress) {
                room = std::min<quint64>(room, s.virtualAddress - own->virtualAddress);
                lastInMemory = false;
            }
            if (s.rawOffset > own->rawOffset)
                lastInFile = false;
        }
        if (size <= own->rawSize && size <= room) {
            std::memcpy(out.data() + own->rawOffset, blob.constData(), size_t(size));
            std::memset(out.data() + own->rawOffset + size, 0, size_t(own->rawSize - size));
            put32(out, own->header + 8, std::max<quint32>(own->virtualSize, quint32(size)));
            finish(own->virtualAddress, size);
            return out;
        }
        if (lastInMemory && lastInFile) {
            const quint64 rawSize = alignUp(size, fileAlign);
            if (quint64(own->rawOffset) + rawSize > quint64(kMaxProgramSize))
                fail(QStringLiteral("it would grow past %1 MiB").arg(kMaxProgramSize >> 20));
            out.resize(qsizetype(own->rawOffset + rawSize), '\0');
            std::memcpy(out.data() + own->rawOffset, blob.constData(), size_t(size));
            std::memset(out.data() + own->rawOffset + size, 0, size_t(rawSize - size));
            put32(out, own->header + 8, quint32(size));
            put32(out, own->header + 16, quint32(rawSize));
            finish(own->virtualAddress, size);
            return out;
        }
    }

    // A new section: its header must fit between the section table and the first section's data.
    const quint64 header = pe.sectionTable + 40 * pe.sections.size();
    quint64 firstData = pe.sizeOfHeaders;
    quint64 memoryEnd = 0;
    for (const Section &s : pe.sections) {
        if (s.rawSize > 0)
            firstData = std::min<quint64>(firstData, s.rawOffset);
        memoryEnd = std::max<quint64>(memoryEnd, quint64(s.virtualAddress) + std::max(s.virtualSize, s.rawSize));
    }
    if (header + 40 > firstData || header + 40 > quint64(program.size()))
        fail(QStringLiteral("its headers have no room for the larger resources"));
    const quint64 base = alignUp(memoryEnd, sectionAlign);
    if (base > 0x7FFFFFFF)
        fail(QStringLiteral("its address space is full"));
    const QByteArray blob = writeTree(tree, quint32(base));
    const quint64 rawOffset = alignUp(quint64(program.size()), fileAlign);
    const quint64 rawSize = alignUp(quint64(blob.size()), fileAlign);
    if (rawOffset + rawSize > quint64(kMaxProgramSize))
        fail(QStringLiteral("it would grow past %1 MiB").arg(kMaxProgramSize >> 20));
    out.resize(qsizetype(rawOffset + rawSize), '\0');
    std::memcpy(out.data() + rawOffset, blob.constData(), size_t(blob.size()));
    QByteArray section(40, '\0');
    std::memcpy(section.data(), ".rsrc", 5);
    put32(section, 8, quint32(blob.size()));
    put32(section, 12, quint32(base));
    put32(section, 16, quint32(rawSize));
    put32(section, 20, quint32(rawOffset));
    put32(section, 36, 0x40000040); // initialised data, readable
    out.replace(qsizetype(header), 40, section);
    put16(out, pe.sectionCountAt, quint16(pe.sections.size() + 1));
    finish(quint32(base), quint64(blob.size()));
    return out;
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
    try {
        const PeHeaders pe = headers(program);
        const std::unique_ptr<Node> tree = readTree(program, pe);
        if (const Node *leaf = iconLeaf(*tree))
            return leaf->data;
    } catch (const Failure &) {
    }
    return std::nullopt;
}

bool PeIcon::replaceIconResource(QByteArray &program, const QByteArray &image, QString *error)
{
    try {
        if (image.isEmpty() || image.size() > kMaxIconSize)
            fail(QStringLiteral("the icon image is empty or too large"));
        if (program.size() > kMaxProgramSize)
            fail(QStringLiteral("it is larger than %1 MiB").arg(kMaxProgramSize >> 20));
        const PeHeaders pe = headers(program);
        std::unique_ptr<Node> tree = readTree(program, pe);
        setIcon(*tree, image);
        QByteArray out = place(program, pe, *tree);
        if (u32(out, pe.checksumAt) != 0)
            put32(out, pe.checksumAt, peChecksum(out, pe.checksumAt));

        // Read the result back as any reader would: the icon and every other resource as meant.
        QList<std::pair<QString, QByteArray>> meant, got;
        flatten(*tree, {}, &meant);
        try {
            const PeHeaders check = headers(out);
            const std::unique_ptr<Node> written = readTree(out, check);
            flatten(*written, {}, &got);
            const Node *leaf = iconLeaf(*written);
            if (!leaf || leaf->data != image || got != meant)
                fail({});
        } catch (const Failure &) {
            fail(QStringLiteral("the new icon does not read back from the patched program"));
        }
        program = out;
        return true;
    } catch (const Failure &f) {
        if (error)
            *error = f.what;
        return false;
    }
}

bool PeIcon::replaceProgramIcon(const QString &programFile, const QString &iconFile, QString *error)
{
    auto failed = [&](const QString &file, const QString &what) {
        if (error)
            *error = file + QStringLiteral(": ") + what;
        return false;
    };
    QFile icon(iconFile);
    if (!icon.open(QIODevice::ReadOnly))
        return failed(iconFile, icon.errorString());
    if (icon.size() > kMaxIconSize)
        return failed(iconFile, QStringLiteral("larger than any icon file"));
    const auto image = firstIconImage(icon.readAll());
    if (!image)
        return failed(iconFile, QStringLiteral("not an icon file (.ico)"));
    QFile in(programFile);
    if (!in.open(QIODevice::ReadOnly))
        return failed(programFile, in.errorString());
    if (in.size() > kMaxProgramSize)
        return failed(programFile, QStringLiteral("larger than any program this can patch"));
    QByteArray program = in.readAll();
    in.close();
    QString why;
    if (!replaceIconResource(program, *image, &why))
        return failed(programFile, QStringLiteral("the icon cannot be replaced: ") + why);
    QSaveFile out(programFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(program) != program.size() || !out.commit())
        return failed(programFile, out.errorString());
    return true;
}

} // namespace mb
