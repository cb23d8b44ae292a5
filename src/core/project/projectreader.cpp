#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/workprogress.h"
#include "platform/ziparchive.h"
#include "platform/zipentrystream.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <QHash>
#include <QSet>

#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <new>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include <stdexcept>

namespace mb {

namespace {

// A problem in one companion file; caught at the operation's boundary.
struct ParseError
{
    QString file;
    int line = 0; // 1-based; 0 when it concerns the whole file
    QString what;
    bool complete = false; // `what` is the whole message (it names the file itself)
};

// The open was asked to stop by its progress receiver.
struct OpenCancelled
{
};

// The progress of one open, shared by the threads that read its companion files: the bytes read
// so far and whether to stop. Only the opening thread talks to the receiver.
class OpenMeter
{
public:
    OpenMeter(const WorkProgress &progress, qint64 total)
        : m_meter(progress, total), m_owner(std::this_thread::get_id())
    {
    }

    // From a reading thread, for each piece of a file it takes: adds the piece's bytes, reports
    // when on the opening thread, and ends the reading when the open is to stop.
    void add(qint64 bytes)
    {
        m_done.fetch_add(bytes, std::memory_order_relaxed);
        if (std::this_thread::get_id() == m_owner)
            report();
        if (m_stop.load(std::memory_order_relaxed))
            throw OpenCancelled{};
    }
    // On the opening thread; once the open is to stop, the receiver hears nothing more.
    void report()
    {
        if (!stopped() && !m_meter.update(m_done.load(std::memory_order_relaxed)))
            m_stop.store(true, std::memory_order_relaxed);
    }
    void finish()
    {
        if (!stopped() && !m_meter.finish())
            m_stop.store(true, std::memory_order_relaxed);
    }
    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }

private:
    WorkMeter m_meter;
    std::thread::id m_owner;
    std::atomic<qint64> m_done{0};
    std::atomic<bool> m_stop{false};
};

// Bounds-checked slices (QByteArrayView has no mid() in this Qt).
QByteArrayView mid(QByteArrayView v, qsizetype pos, qsizetype n = -1)
{
    pos = std::clamp<qsizetype>(pos, 0, v.size());
    n = n < 0 ? v.size() - pos : std::min(n, v.size() - pos);
    return v.sliced(pos, n);
}
QStringView mid(QStringView v, qsizetype pos, qsizetype n = -1) { return v.mid(pos, n); }

template <typename View, typename Ch>
View fieldIn(View line, int k, Ch separator)
{
    qsizetype start = 0;
    for (int f = 1; f < k; ++f) {
        const qsizetype next = line.indexOf(separator, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    qsizetype end = line.indexOf(separator, start);
    return mid(line, start, (end < 0 ? line.size() : end) - start);
}
QByteArrayView fieldOf(QByteArrayView line, int k) { return fieldIn(line, k, ';'); }
QStringView fieldOf(QStringView line, int k) { return fieldIn(line, k, u';'); }

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && static_cast<unsigned char>(v.front()) <= ' ')
        v = v.sliced(1);
    while (!v.isEmpty() && static_cast<unsigned char>(v.back()) <= ' ')
        v.chop(1);
    return v;
}

// Where the lines of a companion file come from: pieces of whole lines (a line never spans two
// pieces), the whole file as one piece or an archive entry's pieces while it is unpacked.
class LineSource
{
public:
    virtual ~LineSource() = default;
    // The next piece; false when the file has no more.
    virtual bool next(QByteArray *piece) = 0;
    // Called once the reader is done with the file, also when it gave up on it: throws
    // ParseError when the file turned out damaged, which then tells more than what the reader
    // made of its lines.
    virtual void finish() {}
};

class WholeFile : public LineSource
{
public:
    explicit WholeFile(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool next(QByteArray *piece) override
    {
        if (m_given)
            return false;
        m_given = true;
        *piece = std::move(m_bytes);
        return true;
    }

private:
    QByteArray m_bytes;
    bool m_given = false;
};

// The lines of one companion file with a read position. Lines are handed out as views into the
// file's bytes; only text that is kept is decoded. A view stays valid until the next line is
// read. Every read checks the end, so a truncated file ends the open with a message instead of
// reading past it.
class Lines
{
public:
    static constexpr int kMaxLines = 1 << 24;

    Lines(LineSource &source, QString fileName, OpenMeter *meter = nullptr)
        : m_source(source), m_file(std::move(fileName)), m_meter(meter)
    {
        advance();
    }

    bool atEnd() const { return m_atEnd; }
    // The next line without reading it; empty at the end.
    QByteArrayView peek() const { return m_atEnd ? QByteArrayView() : m_current; }
    int lineNumber() const { return m_line; } // of the line last read
    QByteArrayView nextView()
    {
        if (m_atEnd)
            fail(QStringLiteral("the file ends too early"), m_line + 1);
        const QByteArrayView line = m_current;
        // Every line kept costs a string in memory; a file of empty lines would cost ten times
        // its size, so a part with more lines than any real project has is refused.
        if (++m_line > kMaxLines)
            fail(QStringLiteral("the file has more than %1 lines; it is damaged or not a project file").arg(kMaxLines),
                 m_line);
        advance();
        return line;
    }
    QString next() { return ansi::decode(nextView()); }
    // The next line, which must start with the key; returns the value from the given
    // 1-based character position on.
    QString keyed(const char *key, int from)
    {
        const QByteArrayView line = nextView();
        if (!line.startsWith(key))
            fail(QStringLiteral("expected \"%1\"").arg(QLatin1String(key)));
        return ansi::decode(mid(line, from - 1));
    }
    QString keyed(const QString &key, int from) { return keyed(key.toLatin1().constData(), from); }
    int integer(QByteArrayView text)
    {
        const QByteArrayView t = trimmed(text);
        int v = 0;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.isEmpty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
            fail(QStringLiteral("\"%1\" is not a number").arg(ansi::decode(text)));
        return v;
    }
    int integer(QStringView text) { return integer(QByteArrayView(text.toLatin1())); }
    int nextInt() { return integer(nextView()); }
    uint32_t colour(QByteArrayView text)
    {
        const QByteArrayView t = trimmed(text);
        long long v = 0;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.isEmpty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
            fail(QStringLiteral("\"%1\" is not a number").arg(ansi::decode(text)));
        return uint32_t(v);
    }
    uint32_t colour(QStringView text) { return colour(QByteArrayView(text.toLatin1())); }
    uint32_t nextColour() { return colour(nextView()); }
    uint8_t nextByte() { return uint8_t(nextInt()); }
    bool boolean(QByteArrayView text)
    {
        const QByteArrayView t = trimmed(text);
        if (t == "-1" || t == "1" || t.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        if (t == "0" || t.compare("false", Qt::CaseInsensitive) == 0)
            return false;
        fail(QStringLiteral("\"%1\" is not a boolean").arg(ansi::decode(text)));
    }
    bool boolean(QStringView text) { return boolean(QByteArrayView(text.toLatin1())); }
    bool nextBool() { return boolean(nextView()); }
    double real(QByteArrayView text)
    {
        const QByteArrayView t = trimmed(text);
        if (t.isEmpty())
            return 1.0;
        bool ok = false;
        const double v = QByteArray(t.data(), t.size()).replace(',', '.').toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" is not a number").arg(ansi::decode(text)));
        return v;
    }
    [[noreturn]] void fail(const QString &what, int line = -1) const
    {
        throw ParseError{m_file, line < 0 ? m_line : line, what};
    }

private:
    // Finds the line that starts at m_offset, taking the next piece when this one is used up.
    void advance()
    {
        while (m_offset >= m_piece.size()) {
            // The line last read may lie in the piece being replaced: it is kept until the next.
            m_previous = std::move(m_piece);
            m_offset = 0;
            if (!m_source.next(&m_piece)) {
                m_piece.clear();
                m_atEnd = true;
                m_current = {};
                return;
            }
            // The bytes are counted a piece at a time, so that counting costs nothing.
            if (m_meter)
                m_meter->add(m_piece.size());
        }
        const char *data = m_piece.constData();
        const qsizetype n = m_piece.size();
        // Most lines are a few characters (an empty frame, a number): they are looked at byte by
        // byte, and memchr is left the long ones.
        const char *from = data + m_offset, *last = data + n;
        const char *hit = from;
        for (const char *shortEnd = std::min(last, from + 16); hit < shortEnd && *hit != '\n';)
            ++hit;
        if (hit < last && *hit != '\n') {
            const void *far = std::memchr(hit, '\n', size_t(last - hit));
            hit = far ? static_cast<const char *>(far) : last;
        }
        const qsizetype end = hit - data;
        qsizetype stop = end;
        if (stop > m_offset && data[stop - 1] == '\r')
            --stop;
        m_current = QByteArrayView(data + m_offset, stop - m_offset);
        m_offset = end + 1;
    }
    LineSource &m_source;
    QByteArray m_piece, m_previous;
    QByteArrayView m_current;
    qsizetype m_offset = 0;
    int m_line = 0;
    bool m_atEnd = false;
    QString m_file;
    OpenMeter *m_meter = nullptr;
};

struct ScriptSection
{
    QString header;
    int line = 0;
    QStringList lines;
};

class Reader
{
public:
    Reader(ProjectModel &m, const MessageCatalog &c, int version) : m(m), cat(c), v(version) {}
    void setVersion(int version) { v = version; }

    // Present from version `from` (1.1 = 1 ... 3.2 = 22); `in99` tells whether 9.9 has it.
    bool has(int from, bool in99) const { return v == 99 ? in99 : v >= from; }

    void read001(Lines &in);
    void read002(Lines &in);
    void read003(Lines &in);
    void read004(Lines &in);
    // .003 in two steps: the sections can be split while .002 is still being read.
    static std::vector<ScriptSection> split003(Lines &in);
    void attach003(std::vector<ScriptSection> &sections);

private:
    void readTree(Lines &in, ProjectTree &tree, const QString &endKey);
    void readMedia(Lines &in, int kind, const QString &endKey, bool toEnd);
    void readItem(Lines &in, const QString &name);
    // Reads 30 frames; true when all of them are empty.
    bool readFrames(Lines &in, std::array<Rframe, 30> &frames);
    void readObject(Lines &in, const QString &name);
    void readCharacter(Lines &in, const QString &name);
    void readRoomChar(Lines &in, const QString &name);
    void readRoom(Lines &in, const QString &name);

    ProjectModel &m;
    const MessageCatalog &cat;
    int v;
    // The slots of the elements of one name, in slot order, for the sections of .003. Names are
    // unique in a sound project; where two elements share one, the file holds a section for
    // each in slot order, so the k-th section of a name belongs to the k-th element of that name
    // (a section beyond them goes to the first, as one section per name always did).
    struct NamedSlots
    {
        std::vector<int> ofName;
        size_t taken = 0; // sections of the name attached so far
        int current = 0;  // the slot the last of them went to
        void add(int slot) { ofName.push_back(slot); }
        int take()
        {
            current = taken < ofName.size() ? ofName[taken] : ofName.front();
            ++taken;
            return current;
        }
        // The element that sections naming it as their owner (objects, walkmap cells) belong
        // to: the one whose own section came last, or the first.
        int owner() const { return current ? current : ofName.front(); }
    };
    static int take(QHash<QString, NamedSlots> &named, const QString &name)
    {
        const auto it = named.find(name);
        return it == named.end() ? 0 : it->take();
    }
    static int owner(const QHash<QString, NamedSlots> &named, const QString &name)
    {
        const auto it = named.constFind(name);
        return it == named.constEnd() ? 0 : it->owner();
    }

    // Slots filled so far, and the slots of each name for the sections of .003.
    int items = 0, objects = 0, characters = 0, roomChars = 0, rooms = 0, cutscenes = 0;
    QHash<QString, NamedSlots> itemSlots, roomSlots, roomCharSlots;
    // Sections attached per room slot and placement name, for placements that share a name.
    QHash<std::pair<int, QString>, size_t> objectSectionsTaken;
};

void Reader::read001(Lines &in)
{
    GameSettings &s = m.settings;
    in.next(); // header
    in.next(); // empty line
    if (has(8, false))
        m.lastGameFolder = in.next();
    const int res = in.keyed(QStringLiteral("Resolution X : "), 16).left(3).toInt();
    switch (res) {
    case 102: s.setResolutionChoice(4); break;
    case 200: s.setResolutionChoice(1); break;
    case 320: s.setResolutionChoice(2); break;
    case 800: s.setResolutionChoice(3); break;
    default: s.setResolutionChoice(0); break;
    }
    if (has(6, false)) {
        int slot = 0;
        while (!in.atEnd() && !in.peek().startsWith("GameFont")) {
            const QString line = in.next();
            if (++slot > ProjectModel::MaxFonts)
                continue;
            RFont &f = m.fonts[slot];
            f.name = text::getfield(line, 1);
            f.bold = in.boolean(fieldOf(line, 2));
            f.italic = in.boolean(fieldOf(line, 3));
            f.size = in.integer(fieldOf(line, 4));
            f.outline = in.integer(fieldOf(line, 5));
            f.charset = uint16_t(in.integer(fieldOf(line, 6)));
            if (has(13, false)) {
                const QString shadow = text::getfield(line, 7);
                f.shadow = shadow.isEmpty() ? 0 : in.integer(shadow);
                f.fill = in.integer(fieldOf(line, 8));
                f.fading = in.integer(fieldOf(line, 9));
            }
        }
    }
    s.gameFonts[0] = in.keyed(QStringLiteral("GameFont : "), 12);
    for (int i = 1; i < 6; ++i)
        if (i < 3 || has(5, false))
            s.gameFonts[i] = in.keyed(QStringLiteral("GameFont%1 : ").arg(i + 1), 13);
    s.gameIcon = in.keyed(QStringLiteral("Gameicon : "), 12);
    if (has(7, false))
        s.loadingImage = in.next();
    if (has(10, false)) {
        s.useTextsceneBg = in.nextBool();
        s.textsceneBg = in.next();
    }
    s.startScript = in.keyed(QStringLiteral("Startskript : "), 15);
    if (has(4, true)) {
        s.mainScript = in.next();
        s.anywhereObj = in.next();
    }
    s.screenchange = in.integer(in.keyed(QStringLiteral("Screenchange : "), 16).left(1));
    const QString checks = in.keyed(QStringLiteral("Checks : "), 10);
    bool *flags[8] = {&s.textonoff, &s.itemicon, &s.commandtext, &s.bedienfeld,
                      &s.noanti, &s.oben, &s.groupitems, &s.protect};
    for (int i = 0; i < 8; ++i)
        *flags[i] = i < checks.size() && checks[i] == u'1';
    s.actionTextHeight = has(11, false) ? in.next() : QStringLiteral("0");
    if (has(2, true)) {
        s.ownMenu = in.nextBool();
        s.ownMenuRoom = in.next();
    }
    s.taskHeight = in.keyed(QStringLiteral("Taskheight : "), 14).left(3);
    s.taskRoom = in.keyed(QStringLiteral("Taskroom : "), 12);
    s.taskPopup = in.integer(in.keyed(QStringLiteral("Taskpopup : "), 13).left(1));
    const QString setup = in.keyed(QStringLiteral("Setup : "), 9);
    s.silentDelete = setup.size() > 0 && setup[0] == u'1';
    s.infoLine = setup.size() > 1 && setup[1] == u'1';
    s.taskHide = text::getfield(setup, 2) == QLatin1String("hide");
    const QString rc = text::getfield(setup, 3);
    if (rc == QLatin1String("0") || rc == QLatin1String("1") || rc == QLatin1String("2"))
        s.rightClickMode = rc.toInt();
    if (has(14, false)) {
        m.mouse.useWheel = in.nextBool();
        s.fadebarmenu = in.nextInt();
        s.scenefadebar = in.nextInt();
        s.transany = in.nextInt();
    }
    s.targacolor = in.colour(in.keyed(QStringLiteral("Targacolor : "), 14));
    s.bordercolor = in.colour(in.keyed(QStringLiteral("Bordercolor : "), 15));
    s.backgroundcolor = in.colour(in.keyed(QStringLiteral("Backgroundcolor : "), 19));
    s.textcolor = in.colour(in.keyed(QStringLiteral("Textcolor : "), 13));
    const QString off = in.keyed(QStringLiteral("Offtextcolor : "), 16);
    s.offtextcolor = in.colour(fieldOf(off, 1));
    if (!text::getfield(off, 2).isEmpty())
        s.infotextcolor = in.colour(fieldOf(off, 2));
    if (has(5, true)) {
        s.textsceneStyle = in.nextInt() - 1;
        s.textsceneBorder = in.nextInt() - 1;
        s.textsceneBcolor = in.nextColour();
        s.textsceneArea = in.nextColour();
        s.textsceneSelected = in.nextColour();
    }
    if (has(15, false))
        s.shape1 = in.nextColour();
    if (has(5, true))
        s.multipleChoice = in.nextBool();
    if (has(16, true))
        s.muteMusic = in.nextBool();
    if (has(17, true)) {
        s.coinInterface = in.nextBool();
        s.autoPopup = in.nextBool();
        s.coinRoom = in.next();
        s.coinfadebar = in.nextInt();
        s.coinTop = in.nextInt();
        s.coinLeft = in.nextInt();
    }
    m.commands.linktext = in.keyed(QStringLiteral("Linktext : "), 12);
    m.commands.givelink = in.keyed(QStringLiteral("Givelink : "), 12);
    m.commands.walktext = in.keyed(QStringLiteral("Walktext : "), 12);
    if (in.next() != QLatin1String("Booleans :"))
        in.fail(QStringLiteral("expected \"Booleans :\""));
    while (in.peek() != "Commands :") {
        if (in.atEnd())
            in.fail(QStringLiteral("expected \"Commands :\""), in.lineNumber() + 1);
        const QString line = in.next();
        BoolEntry e;
        if (line.endsWith(QLatin1String("-1"))) {
            e.name = line.left(line.size() - 2);
            e.value = true;
        } else if (line.endsWith(u'0')) {
            e.name = line.left(line.size() - 1);
        } else {
            in.fail(QStringLiteral("a bool line must end in -1 or 0"));
        }
        m.commands.bools.push_back(e);
        m.names[NameLists::Bools] << e.name;
    }
    in.next();
    while (!in.atEnd() && in.peek() != "Mediapool :") {
        CommandRow row;
        row.name = in.next();
        row.text = in.next();
        m.commands.rows.push_back(row);
        m.names[NameLists::Commands] << row.name;
        m.names[NameLists::Events] << row.name;
    }
    in.next();
    readTree(in, m.mediaTree, QStringLiteral("Gamepool :"));
    in.next();
    readTree(in, m.gameTree, QStringLiteral("Images :"));
    in.next();
    readMedia(in, Images, QStringLiteral("Sounds :"), false);
    in.next();
    readMedia(in, Sounds, QStringLiteral("Music :"), false);
    in.next();
    const bool movies = has(3, true);
    readMedia(in, Music, QStringLiteral("Movie :"), !movies);
    if (movies) {
        in.next();
        readMedia(in, Movies, QString(), true);
    }
    NameLists::sort(m.names[NameLists::MusicNames]);
    NameLists::sort(m.names[NameLists::SoundNames]);

    // Root texts follow the current language; a file without the video kind gains its root.
    if (m.mediaTree.roots.size() < 4) {
        m.mediaTree.addRoot(QStringLiteral("VIDEO"));
        std::stable_sort(m.mediaTree.roots.begin(), m.mediaTree.roots.end(), [](const auto &a, const auto &b) {
            return text::compareText(a->text, b->text) < 0;
        });
    }
    for (int i = 0; i < int(m.mediaTree.roots.size()) && i < 4; ++i)
        m.mediaTree.roots[i]->text = cat.msg(6 + i);
    for (int i = 0; i < int(m.gameTree.roots.size()) && i < 5; ++i)
        m.gameTree.roots[i]->text = cat.msg(1 + i);
    if (m.mediaTree.roots.size() != 4 || m.gameTree.roots.size() != 5)
        in.fail(QStringLiteral("the project trees do not have their fixed roots"), 0);
}

void Reader::readTree(Lines &in, ProjectTree &tree, const QString &endKey)
{
    tree.clear();
    const QByteArray key = endKey.toLatin1();
    TreeNode *prev = nullptr;
    int prevLevel = 0;
    while (!in.atEnd() && in.peek() != QByteArrayView(key)) {
        const QString line = in.next();
        int level = 0;
        while (level < line.size() && line[level] == u'"')
            ++level;
        bool ok = false;
        const int image = line.mid(level, 2).toInt(&ok);
        if (!ok)
            in.fail(QStringLiteral("a tree line needs a two-digit image index"));
        const QString nodeText = line.mid(level + 2, 997);
        if (!prev) {
            prev = tree.addRoot(nodeText, image);
            prevLevel = level;
            continue;
        }
        if (level > prevLevel) {
            prev = prev->addChild(nodeText, image);
        } else {
            TreeNode *at = prev;
            for (int up = prevLevel - level; up > 0 && at->parent; --up)
                at = at->parent;
            prev = at->parent ? at->parent->addChild(nodeText, image) : tree.addRoot(nodeText, image);
        }
        prevLevel = level;
    }
    if (in.atEnd())
        in.fail(QStringLiteral("expected \"%1\"").arg(endKey), in.lineNumber() + 1);
}

void Reader::readMedia(Lines &in, int kind, const QString &endKey, bool toEnd)
{
    MediaTable &t = m.media[kind];
    const QByteArray key = endKey.toLatin1();
    int slot = 0;
    while (!in.atEnd() && (toEnd || in.peek() != QByteArrayView(key))) {
        const QString name = in.next();
        const QString path = in.next();
        if (++slot > MediaTable::Slots)
            in.fail(QStringLiteral("more than %1 media entries").arg(MediaTable::Slots));
        t.set(slot, name, path);
        switch (kind) {
        case Sounds: m.names[NameLists::SoundNames] << name; break;
        case Music: m.names[NameLists::MusicNames] << name; break;
        case Movies:
            m.names[path.right(3).compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0 ? NameLists::FlashMovies
                                                                                          : NameLists::Movies]
                << name;
            break;
        default: break;
        }
    }
    if (!toEnd && in.atEnd())
        in.fail(QStringLiteral("expected \"%1\"").arg(endKey), in.lineNumber() + 1);
}

// The reader fills each table from slot 1 on, so the next slot is the count so far plus one.
template <typename T>
T &nextSlot(Lines &in, SlotTable<T> &table, int &filled, const char *what)
{
    if (filled >= table.size())
        in.fail(QStringLiteral("more %1 than the project can hold").arg(QLatin1String(what)));
    return table[++filled];
}

void Reader::readItem(Lines &in, const QString &name)
{
    RItem &it = nextSlot(in, m.items, items, "items");
    itemSlots[name].add(items);
    it.name = name;
    m.names[NameLists::ItemNames] << name;
    const int states = has(22, false) ? RItem::States : 1;
    for (int s = 0; s < states; ++s) {
        std::array<ItemFrame, RItem::Frames> row;
        bool empty = true;
        for (ItemFrame &f : row) {
            const QByteArrayView line = in.nextView();
            if (line == ";")
                continue; // an unused frame, most of them
            const qsizetype semi = line.indexOf(';');
            f.image = ansi::decode(semi < 0 ? line : line.first(semi));
            f.script = semi < 0 ? QString() : text::unescapesemi(ansi::decode(mid(line, semi + 1)));
            empty = empty && f.image.isEmpty() && f.script.isEmpty();
        }
        it.frames.setRow(s, std::move(row), empty);
        it.speed[s] = in.nextByte();
    }
}

bool emptyFrame(const Rframe &f)
{
    return f.image.isEmpty() && f.image2.isEmpty() && f.script.isEmpty() && !f.x && !f.y && !f.x2 && !f.y2;
}

bool Reader::readFrames(Lines &in, std::array<Rframe, 30> &frames)
{
    bool empty = true;
    for (Rframe &f : frames) {
        // Most frames are unused: two empty lines and zero offsets leave the fresh frame as it is.
        if (const QByteArrayView image = in.nextView(); !image.isEmpty())
            f.image = ansi::decode(image);
        if (const QByteArrayView image2 = in.nextView(); !image2.isEmpty())
            f.image2 = ansi::decode(image2);
        // "x;y;x2;y2;" then the escaped script.
        const QByteArrayView line = in.nextView();
        if (line == "0;0;0;0;") {
            f.x = f.y = f.x2 = f.y2 = 0;
            f.script.clear();
            empty = empty && f.image.isEmpty() && f.image2.isEmpty();
            continue;
        }
        int *values[4] = {&f.x, &f.y, &f.x2, &f.y2};
        qsizetype start = 0;
        for (int i = 0; i < 4; ++i) {
            qsizetype end = line.indexOf(';', start);
            if (end < 0) {
                if (i < 3)
                    in.fail(QStringLiteral("a frame line needs four offsets"));
                end = line.size();
            }
            *values[i] = in.integer(mid(line, start, end - start));
            start = end + 1;
        }
        f.script = start < line.size() ? text::unescapesemi(ansi::decode(mid(line, start))) : QString();
        empty = empty && emptyFrame(f);
    }
    return empty;
}

void Reader::readObject(Lines &in, const QString &name)
{
    Robj &o = nextSlot(in, m.objects, objects, "objects");
    o.name = name;
    o.width = uint16_t(in.nextInt());
    o.height = uint16_t(in.nextInt());
    o.flag = in.nextBool();
    for (int s = 0; s < Robj::States; ++s) {
        std::array<Rframe, 30> row;
        const bool empty = readFrames(in, row);
        o.frames.setRow(s, std::move(row), empty);
        o.speed[s] = in.nextByte();
    }
}

void Reader::readCharacter(Lines &in, const QString &name)
{
    Rcharacter &c = nextSlot(in, m.characters, characters, "characters");
    c.name = name;
    c.textColor = in.nextColour();
    c.walkSpeed = in.nextByte();
    if (has(8, false)) {
        c.dontzoom = in.nextBool();
        c.leftani = in.nextBool();
    }
    if (has(12, false))
        c.memres = in.nextBool();
    if (has(21, false))
        c.ghostmode = in.nextBool();
    if (has(8, false))
        c.walkSound = in.next();
    if (has(20, false)) {
        const QString line = in.next();
        for (int i = 0; i < Rcharacter::Extras; ++i)
            c.extraNames[i] = text::getfield(line, i + 1);
    } else if (!has(8, false)) {
        c.extraNames = {};
    } // files from 1.8 on keep the default names the reset gave
    if (has(8, false))
        c.fontIndex = in.nextInt();
    if (has(9, false))
        c.scale = in.nextInt();
    for (int s = 0; s < Rcharacter::States; ++s) {
        c.width[s] = uint16_t(in.nextInt());
        c.height[s] = uint16_t(in.nextInt());
        c.footX[s] = in.nextInt();
        c.footY[s] = in.nextInt();
        std::array<Rframe, 30> row;
        const bool empty = readFrames(in, row);
        c.frames.setRow(s, std::move(row), empty);
        c.speed[s] = in.nextByte();
    }
}

void Reader::readRoomChar(Lines &in, const QString &name)
{
    Rroomchar &rc = nextSlot(in, m.roomChars, roomChars, "character placements");
    rc.instanceName = name;
    rc.characterName = in.next();
    rc.roomName = in.next();
    rc.x = in.nextInt();
    rc.y = in.nextInt();
    rc.byteValue = in.nextByte();
    rc.flag1 = in.nextBool();
    rc.flag2 = in.nextBool();
}

void Reader::readRoom(Lines &in, const QString &name)
{
    Rroom &r = nextSlot(in, m.rooms, rooms, "rooms");
    roomSlots[name].add(rooms);
    r.name = name;
    m.names[NameLists::RoomNames] << name;
    r.width = in.nextInt();
    r.height = in.nextInt();
    r.scrollX = in.nextInt();
    r.scrollY = in.nextInt();
    r.zoomTop = in.nextInt();
    r.zoomBottom = in.nextInt();
    r.zoomStep = has(5, true) ? in.nextInt() : 3;
    r.background = in.next();
    if (has(1, true))
        r.parallax = in.next();
    if (has(19, true))
        r.flag1 = in.nextBool();
    if (has(18, true)) {
        for (Rfxshape &f : r.fx) {
            const QByteArrayView flags = in.nextView();
            f.flag1 = in.boolean(fieldOf(flags, 1));
            f.flag2 = in.boolean(fieldOf(flags, 2));
            f.int1 = in.nextInt();
            f.text = in.next();
            f.int2 = in.nextInt();
            f.int3 = in.nextInt();
            f.int4 = in.nextInt();
            f.int5 = in.nextInt();
            const QByteArrayView corners = in.nextView();
            for (int k = 0; k < 4; ++k) {
                f.cornerX[k] = in.integer(fieldOf(corners, 2 * k + 1));
                f.cornerY[k] = in.integer(fieldOf(corners, 2 * k + 2));
            }
            f.calcziehpunkt();
        }
    }
    r.flag2 = in.nextBool();
    const QByteArrayView values = in.nextView();
    for (int i = 0; i < 4; ++i)
        r.values[i] = in.integer(fieldOf(values, i + 1));
    r.factors[0] = in.real(fieldOf(values, 5));
    r.factors[1] = in.real(fieldOf(values, 6));

    const QByteArrayView walk = in.nextView();
    r.walkmap.clear();
    const bool small = walk.size() < 15001;
    const int columns = small ? 96 : Walkmap::Columns, rows = small ? 48 : Walkmap::Rows;
    if (walk.size() < qsizetype(columns) * rows * 2)
        in.fail(QStringLiteral("the walkmap line of room \"%1\" is too short").arg(name));
    r.walkmap.loadFlags(walk.data(), columns, rows);

    int slot = 0;
    while (!in.atEnd() && in.peek().startsWith(";;Roomobject ")) {
        const QString instance = in.next().mid(13);
        if (slot >= Rroom::Placements)
            in.fail(QStringLiteral("more than %1 objects in room \"%2\"").arg(Rroom::Placements).arg(name));
        Rroomobj &o = r.objects[slot++];
        o.instanceName = instance;
        o.objectName = in.next();
        o.x = in.nextInt();
        o.y = in.nextInt();
        o.state = in.nextByte();
        o.byteValue = in.nextByte();
        o.depthLine = in.nextInt();
        o.flag = in.nextBool();
    }
}

void Reader::read002(Lines &in)
{
    in.next();
    in.next();
    for (int c = 0; c < Rmouse::Cursors; ++c) {
        for (QString &f : m.mouse.frames[c])
            f = in.next();
        m.mouse.command[c] = in.nextByte();
        m.mouse.speed[c] = in.nextByte();
        m.mouse.clickX[c] = in.nextInt();
        m.mouse.clickY[c] = in.nextInt();
    }
    while (!in.atEnd()) {
        const QString line = in.next();
        if (line.startsWith(QLatin1String("//Item ")))
            readItem(in, line.mid(7));
        else if (line.startsWith(QLatin1String("//Object ")))
            readObject(in, line.mid(9));
        else if (line.startsWith(QLatin1String("//Character ")))
            readCharacter(in, line.mid(12));
        else if (line.startsWith(QLatin1String("//Rcharacter ")))
            readRoomChar(in, line.mid(13));
        else if (line.startsWith(QLatin1String("//Room ")))
            readRoom(in, line.mid(7));
        // Any other line belongs to no record and is skipped.
    }

    // Placements whose definitions are missing are dropped; the rest close up in order.
    QSet<QString> characterNames, objectNames;
    // Only slots in use are written below: the next reset of the model then stays small.
    for (const Rcharacter &c : std::as_const(m.characters))
        if (!c.name.isEmpty())
            characterNames.insert(c.name);
    for (const Robj &o : std::as_const(m.objects))
        if (!o.name.isEmpty())
            objectNames.insert(o.name);
    std::vector<Rroomchar> kept;
    for (int i = 1; i <= m.roomChars.size(); ++i)
        if (m.roomChars.used(i) && characterNames.contains(std::as_const(m.roomChars)[i].characterName))
            kept.push_back(std::move(m.roomChars[i]));
    m.roomChars.clear();
    for (int i = 0; i < int(kept.size()); ++i) {
        m.names[NameLists::CharacterInstances] << kept[i].instanceName;
        roomCharSlots[kept[i].instanceName].add(i + 1);
        m.roomChars[i + 1] = std::move(kept[i]);
    }
    for (int slot = 1; slot <= m.rooms.size(); ++slot) {
        if (!m.rooms.used(slot))
            continue;
        Rroom &r = m.rooms[slot];
        int to = 0;
        for (int from = 0; from < Rroom::Placements; ++from) {
            Rroomobj &o = r.objects[from];
            if (o.instanceName.isEmpty() || !objectNames.contains(o.objectName))
                continue;
            m.names[NameLists::ObjectInstances] << o.instanceName;
            if (to != from)
                r.objects[to] = std::move(o);
            ++to;
        }
        for (int i = to; i < Rroom::Placements; ++i)
            if (!r.objects[i].instanceName.isEmpty() || !r.objects[i].objectName.isEmpty())
                r.objects[i] = Rroomobj();
    }
}

std::vector<ScriptSection> Reader::split003(Lines &in)
{
    std::vector<ScriptSection> sections;
    in.next();
    in.next();
    while (!in.atEnd()) {
        const QByteArrayView header = in.nextView();
        if (!header.startsWith("//"))
            continue; // stray line outside any section
        ScriptSection section;
        section.header = ansi::decode(header);
        section.line = in.lineNumber();
        while (!in.atEnd() && !in.peek().startsWith("//"))
            section.lines << in.next();
        sections.push_back(std::move(section));
    }
    return sections;
}

void Reader::attach003(std::vector<ScriptSection> &sections)
{
    for (ScriptSection &section : sections) {
        const QString &header = section.header;
        Script *target = nullptr;
        if (header.startsWith(QLatin1String("//Cutscene "))) {
            if (cutscenes >= m.cutscenes.size())
                throw ParseError{QStringLiteral(".003"), section.line, QStringLiteral("more scripts than the project can hold")};
            const int slot = ++cutscenes;
            m.cutscenes[slot].name = header.mid(11);
            m.names[NameLists::ScriptNames] << header.mid(11);
            target = &m.cutscenes[slot].script;
        } else if (header.startsWith(QLatin1String("//Item "))) {
            if (const int slot = take(itemSlots, header.mid(7)))
                target = &m.items[slot].script;
        } else if (header.startsWith(QLatin1String("//Character "))) {
            if (const int slot = take(roomCharSlots, header.mid(12)))
                target = &m.roomChars[slot].script;
        } else if (header.startsWith(QLatin1String("//Room "))) {
            if (const int slot = take(roomSlots, header.mid(7)))
                target = &m.rooms[slot].script;
        } else if (header.startsWith(QLatin1String("//Object "))) {
            const QString rest = header.mid(9);
            const qsizetype semi = rest.indexOf(u';');
            if (semi >= 0) {
                if (const int room = owner(roomSlots, rest.mid(semi + 1))) {
                    // The k-th section of a placement name in a room goes to its k-th placement
                    // of that name.
                    const QString instance = rest.left(semi);
                    const Rroom &r = std::as_const(m.rooms)[room];
                    size_t &taken = objectSectionsTaken[{room, instance}];
                    int first = 0, match = 0;
                    size_t seen = 0;
                    for (int i = 0; i < Rroom::Placements && !instance.isEmpty(); ++i) {
                        if (r.objects[size_t(i)].instanceName != instance)
                            continue;
                        if (!first)
                            first = i + 1;
                        if (seen++ == taken) {
                            match = i + 1;
                            break;
                        }
                    }
                    ++taken;
                    if (const int obj = match ? match : first)
                        target = &m.rooms[room].objects[size_t(obj - 1)].script;
                }
            }
        } else if (header.startsWith(QLatin1String("//Walkmap "))) {
            QString rest = header.mid(10);
            int col = 0, row = 0;
            bool ok1 = false, ok2 = false;
            if (rest.startsWith(u'#')) {
                col = rest.mid(1, 3).toInt(&ok1);
                row = rest.mid(4, 3).toInt(&ok2);
                rest = rest.mid(7);
            } else {
                col = rest.mid(0, 2).toInt(&ok1);
                row = rest.mid(2, 2).toInt(&ok2);
                rest = rest.mid(4);
            }
            if (ok1 && ok2 && col >= 1 && col <= Walkmap::Columns && row >= 1 && row <= Walkmap::Rows)
                if (const int room = owner(roomSlots, rest))
                    target = &m.rooms[room].walkmap.script(col, row);
        }
        // A section whose element does not exist is skipped.
        if (target)
            *target = std::move(section.lines);
    }
    for (int list : {NameLists::ItemNames, NameLists::ScriptNames, NameLists::CharacterInstances,
                     NameLists::RoomNames, NameLists::ObjectInstances})
        NameLists::sort(m.names[list]);
}

void Reader::read003(Lines &in)
{
    std::vector<ScriptSection> sections = split003(in);
    attach003(sections);
}

void Reader::read004(Lines &in)
{
    if (in.atEnd())
        return;
    in.next(); // "*/*origin;speech"
    auto readList = [&](QStringList &list) {
        while (!in.atEnd() && !in.peek().startsWith("*/*"))
            list << in.next();
    };
    readList(m.origin.list(0));
    for (int i = 1; i < LangLists::Count; ++i) {
        if (in.atEnd())
            return;
        in.next();
        readList(m.origin.list(i));
    }
    int slot = 0;
    while (!in.atEnd()) {
        const QString header = in.next();
        const QString name = text::getfield(header, 1).mid(3);
        if (++slot > ProjectModel::MaxLanguages)
            in.fail(QStringLiteral("more than %1 languages").arg(ProjectModel::MaxLanguages));
        RLang &lang = m.languages[slot];
        lang.name = name;
        m.names[NameLists::Languages] << name;
        readList(lang.lists.list(0));
        for (int i = 1; i < LangLists::Count && !in.atEnd(); ++i) {
            in.next();
            readList(lang.lists.list(i));
        }
    }
    NameLists::sort(m.names[NameLists::Languages]);
}

QString findEntry(const QStringList &entries, const QString &projectName, const QString &suffix)
{
    const QString preferred = projectName + suffix;
    for (const QString &e : entries)
        if (e == preferred)
            return e;
    for (const QString &e : entries)
        if (e.endsWith(suffix, Qt::CaseInsensitive) && !e.contains(u'/'))
            return e;
    return {};
}

} // namespace

int projectVersionNumber(const QString &headerLine)
{
    static const char *const versions[] = {"1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8",
                                           "1.9", "2.0", "2.1", "2.2", "2.3", "2.4", "2.5", "2.6",
                                           "2.7", "2.8", "2.9", "3.0", "3.1", "3.2"};
    const QString v = headerLine.left(3);
    if (v == QLatin1String("9.9"))
        return 99;
    for (int i = 0; i < 22; ++i)
        if (v == QLatin1String(versions[i]))
            return i + 1;
    return 0;
}

namespace {

// The lines of companion file i (0 = .001); nullptr when the file is absent. Must be callable
// from two threads at once. Throws ParseError when the file cannot be read.
using CompanionSource = std::function<std::unique_ptr<LineSource>(int)>;

const char *const kSuffixes[4] = {".001", ".002", ".003", ".004"};

std::unique_ptr<LineSource> required(const CompanionSource &source, int i)
{
    std::unique_ptr<LineSource> lines = source(i);
    if (!lines)
        throw ParseError{QString(), 0, QStringLiteral("the archive has no %1 file").arg(QLatin1String(kSuffixes[i]))};
    return lines;
}

// Runs `read` over the lines of companion file i and gives its source the last word: a file
// that turns out damaged is reported as damaged, whatever the reader made of its lines. An open
// that is to stop leaves the rest of the file unread (its unpacking ends with the source).
template <typename Read>
void readLines(LineSource &source, int i, OpenMeter *meter, Read &&read)
{
    try {
        Lines lines(source, QLatin1String(kSuffixes[i]), meter);
        read(lines);
    } catch (const OpenCancelled &) {
        throw;
    } catch (...) {
        source.finish();
        throw;
    }
    source.finish();
}

// A companion file unpacks to a few dozen MiB in the biggest real projects; one claiming more
// than this is refused before it is unpacked.
constexpr qint64 kMaxCompanionSize = qint64(512) << 20;

// The message for an entry that could not be read: a damaged entry makes the whole file no
// project file, a too large one says how large.
QString zipProblem(ZipReader::Error error, const QString &errorString, const MessageCatalog &catalog,
                   const QString &advPath)
{
    if (error == ZipReader::Error::TooLarge)
        return advPath + QStringLiteral(": ") + errorString + QStringLiteral("; no project part is that large");
    return advPath + u' ' + catalog.msg(151) + QStringLiteral(": ") + errorString;
}

// An entry of the project archive, read while it is unpacked on a thread of its own.
class UnpackedEntry : public LineSource
{
public:
    UnpackedEntry(const QByteArray &archive, const QString &entry, const MessageCatalog &catalog,
                  const QString &advPath)
        : m_stream(archive, entry, kMaxCompanionSize), m_catalog(catalog), m_advPath(advPath)
    {
    }
    bool next(QByteArray *piece) override { return m_stream.next(piece); }
    void finish() override
    {
        if (!m_stream.finish())
            throw ParseError{QString(), 0, zipProblem(m_stream.error(), m_stream.errorString(), m_catalog, m_advPath),
                             true};
    }

private:
    ZipEntryStream m_stream;
    const MessageCatalog &m_catalog;
    QString m_advPath;
};

int headerVersion(const Lines &in)
{
    if (in.atEnd())
        in.fail(QStringLiteral("the file is empty"), 1);
    return projectVersionNumber(ansi::decode(mid(in.peek(), 0, 3)));
}

// Below this many unpacked bytes a project is read on one thread: starting a second one costs
// more than it saves on a small project.
constexpr qint64 kParallelReadFrom = qint64(1) << 20;

// Reads the four files into the (reset) model. The big .002 is read on a second thread (when
// `parallel`) while .001, .003 and .004 are read here; the tables each part fills are disjoint,
// and the scripts of .003 are attached once both are done. With a meter the reading reports the
// bytes unpacked (of the meter's total) and stops, leaving the model reset, when it is asked to.
ProjectFileResult readProjectFiles(ProjectModel &model, const MessageCatalog &catalog,
                                   const CompanionSource &source, const QString &sourceName,
                                   bool parallel, OpenMeter *meter = nullptr)
{
    model.allesneu(catalog);
    if (meter)
        meter->report(); // 0 bytes: the receiver can show its bar at once
    QString version;
    std::exception_ptr mainError, secondError;
    Reader elements(model, catalog, 0);
    auto readElements = [&] {
        try {
            readLines(*required(source, 1), 1, meter, [&](Lines &l2) {
                elements.setVersion(headerVersion(l2));
                elements.read002(l2);
            });
        } catch (...) {
            secondError = std::current_exception();
        }
    };
    std::promise<void> secondDone;
    std::future<void> secondFinished = secondDone.get_future();
    std::thread second;
    if (parallel) {
        second = std::thread([&] {
            readElements();
            secondDone.set_value();
        });
    } else {
        readElements();
    }
    std::vector<ScriptSection> sections;
    try {
        // .003 and .004 are unpacked while .001 is read; a missing one is told in file order.
        std::unique_ptr<LineSource> one = required(source, 0), three = source(2), four = source(3);
        std::optional<Reader> settings;
        readLines(*one, 0, meter, [&](Lines &l1) {
            const int v = headerVersion(l1);
            version = ansi::decode(mid(l1.peek(), 0, 3));
            settings.emplace(model, catalog, v);
            settings->read001(l1);
        });
        if (!three)
            required(source, 2);
        readLines(*three, 2, meter, [&](Lines &l3) { sections = Reader::split003(l3); });
        if (four)
            readLines(*four, 3, meter, [&](Lines &l4) { settings->read004(l4); });
    } catch (...) {
        mainError = std::current_exception();
    }
    // The second thread's bytes are told from here while it reads on; a stop asked meanwhile
    // ends its reading at its next report.
    if (parallel) {
        if (meter)
            while (secondFinished.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready)
                meter->report();
        second.join();
    }
    auto cancelled = [&] {
        model.allesneu(catalog);
        ProjectFileResult stopped = ProjectFileResult::failure(QString());
        stopped.cancelled = true;
        return stopped;
    };
    if (meter && meter->stopped())
        return cancelled();
    try {
        // Report the first problem in file order: .001 before .002 before .003.
        if (mainError && secondError) {
            try {
                std::rethrow_exception(mainError);
            } catch (const ParseError &e) {
                if (e.file != QLatin1String(".001"))
                    std::rethrow_exception(secondError);
                throw;
            }
        }
        if (mainError)
            std::rethrow_exception(mainError);
        if (secondError)
            std::rethrow_exception(secondError);
        elements.attach003(sections);
    } catch (const ParseError &e) {
        model.allesneu(catalog);
        if (e.complete)
            return ProjectFileResult::failure(e.what);
        QString where = sourceName + QStringLiteral(": ") + e.file;
        if (e.line > 0)
            where += QStringLiteral(" line %1").arg(e.line);
        return ProjectFileResult::failure((e.file.isEmpty() ? sourceName : where) + QStringLiteral(": ") + e.what);
    } catch (const std::bad_alloc &) {
        model.allesneu(catalog);
        return ProjectFileResult::failure(sourceName + QStringLiteral(": there is not enough memory to open it"));
    } catch (const std::exception &e) {
        model.allesneu(catalog);
        return ProjectFileResult::failure(sourceName + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
    }
    // A stop asked at the very end is still honoured: nothing has been handed out yet.
    if (meter) {
        meter->finish();
        if (meter->stopped())
            return cancelled();
    }
    ProjectFileResult ok;
    ok.ok = true;
    ok.statusMessage = 103;
    ok.version = version;
    return ok;
}

} // namespace

ProjectFileResult readCompanionFiles(ProjectModel &model, const MessageCatalog &catalog,
                                     const CompanionFiles &files, bool hasLanguageFile,
                                     const QString &sourceName)
{
    return readProjectFiles(model, catalog, [&](int i) -> std::unique_ptr<LineSource> {
        if (i == 3 && !hasLanguageFile)
            return nullptr;
        return std::make_unique<WholeFile>(files.files[i]);
    }, sourceName, files.files[1].size() >= kParallelReadFrom);
}

ProjectFileResult openProject(ProjectModel &model, const MessageCatalog &catalog, const QString &advPath,
                              const WorkProgress &progress)
{
    const QFileInfo info(advPath);
    if (info.isDir())
        return ProjectFileResult::failure(advPath + QStringLiteral(" is a folder, not a project file."));
    if (!advPath.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive))
        return ProjectFileResult::failure(advPath + u' ' + catalog.msg(151));
    if (!info.isFile())
        return ProjectFileResult::failure(advPath + u' ' + catalog.msg(116));

    QString name = info.fileName();
    name.chop(4);
    auto fail = [&](const QString &message) {
        model.allesneu(catalog);
        return ProjectFileResult::failure(message);
    };

    // The archive is read into memory once; each entry is unpacked on a thread of its own over
    // the same bytes while its lines are read, so that no entry is ever in memory as a whole.
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return fail(advPath + QStringLiteral(": ") + file.errorString());
    if (file.size() > kMaxCompanionSize)
        return fail(advPath + u' ' + catalog.msg(151) + QStringLiteral(": the file is %1, larger than any project")
                                                          .arg(byteSizeText(file.size())));
    const QByteArray archive = file.readAll();
    file.close();
    QStringList entries;
    std::array<QString, 4> entry;
    qint64 total = 0; // the unpacked bytes of the companion files, as the archive declares them
    {
        ZipReader zip(archive);
        if (!zip.isOpen())
            return fail(advPath + u' ' + catalog.msg(151) + QStringLiteral(": not a zip archive (") + zip.errorString() +
                        u')');
        entries = zip.entryNames();
        for (int i = 0; i < 4; ++i) {
            entry[i] = findEntry(entries, name, QLatin1String(kSuffixes[i]));
            if (const auto stat = entry[i].isEmpty() ? std::nullopt : zip.stat(entry[i]))
                total += std::clamp<qint64>(stat->size, 0, kMaxCompanionSize);
        }
    }
    std::optional<OpenMeter> meter;
    if (progress)
        meter.emplace(progress, total);
    const QString lastGameFolder = model.lastGameFolder;
    ProjectFileResult result = readProjectFiles(model, catalog, [&](int i) -> std::unique_ptr<LineSource> {
        if (entry[i].isEmpty())
            return nullptr;
        return std::make_unique<UnpackedEntry>(archive, entry[i], catalog, advPath);
    }, advPath, total >= kParallelReadFrom, meter ? &*meter : nullptr);
    if (!result.ok) {
        model.lastGameFolder = lastGameFolder;
        return result;
    }
    model.settings.projectName = name;
    atomicfile::removeStale(info.absoluteFilePath());
    return result;
}

} // namespace mb

namespace mb {

ProjectFileResult readElementRecords(ProjectModel &scratch, const MessageCatalog &catalog,
                                     const QByteArray &records, const QByteArray &scripts,
                                     const QString &sourceName, const QString &recordsName,
                                     const QString &scriptsName)
{
    scratch.allesneu(catalog);
    // The records and sections are read as the body of a current .002 and .003, by the same
    // reader, behind the header lines and the mouse cursor block those files start with.
    const QByteArray header = QByteArray(kProjectHeader) + "\r\n\r\n";
    QByteArray body002 = header;
    for (int c = 0; c < Rmouse::Cursors; ++c)
        body002 += QByteArray("\r\n").repeated(Rmouse::Frames) + "1\r\n20\r\n1\r\n1\r\n";
    const int prefix002 = 2 + Rmouse::Cursors * (Rmouse::Frames + 4), prefix003 = 2;
    body002 += records;
    const QByteArray body003 = header + scripts;
    try {
        Reader reader(scratch, catalog, projectVersionNumber(QString::fromLatin1(kProjectHeader)));
        WholeFile records002(body002), scripts003(body003);
        Lines l2(records002, recordsName);
        reader.read002(l2);
        Lines l3(scripts003, scriptsName);
        reader.read003(l3);
    } catch (const ParseError &e) {
        scratch.allesneu(catalog);
        QString where = sourceName + QStringLiteral(": ") + e.file;
        const int line = e.line - (e.file == recordsName ? prefix002 : prefix003);
        if (line > 0)
            where += QStringLiteral(" line %1").arg(line);
        return ProjectFileResult::failure(where + QStringLiteral(": ") + e.what);
    } catch (const std::exception &e) {
        scratch.allesneu(catalog);
        return ProjectFileResult::failure(sourceName + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
    }
    ProjectFileResult ok;
    ok.ok = true;
    return ok;
}

} // namespace mb
