#include "project/projectmodel.h"

#include "project/messagecatalog.h"
#include "project/texthelpers.h"
#include "script/commandtable.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace mb {

void Rfxshape::calcziehpunkt()
{
    dragX = int(std::lround((cornerX[0] + cornerX[1] + cornerX[2] + cornerX[3]) / 4.0));
    dragY = int(std::lround((cornerY[0] + cornerY[1] + cornerY[2] + cornerY[3]) / 4.0));
}

void Walkmap::clear()
{
    m_cells.reset();
    m_scripts.clear();
}

namespace {

// Eight characters of a walkmap line as one word, the first character in the lowest byte.
uint64_t charsAt(const char *p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    return w;
}

} // namespace

void Walkmap::loadFlags(const char *line, int columns, int rows)
{
    m_cells.reset();
    const qsizetype chars = qsizetype(columns) * rows * 2;
    // A room never painted is all "10" pairs: it needs no storage. Eight characters are compared
    // at a time, the rest one by one.
    const uint64_t untouched = charsAt("10101010");
    qsizetype i = 0;
    while (i + 8 <= chars && charsAt(line + i) == untouched)
        i += 8;
    while (i < chars && line[i] == (i % 2 == 0 ? '1' : '0'))
        ++i;
    if (i == chars)
        return;
    m_cells = std::make_unique<Cells>();
    m_cells->fill(BlockedBit);
    constexpr uint64_t lowBits = 0x0101010101010101ULL, digits = 0x3030303030303030ULL;
    for (int col = 0; col < columns; ++col) {
        uint8_t *out = m_cells->data() + qsizetype(col) * Rows;
        const char *in = line + qsizetype(col) * rows * 2;
        int row = 0;
        // Four cells per word while all eight characters are '0' or '1': each character's low
        // bit is its flag; the has-script bit of a cell moves beside its blocked bit, and the four
        // cell bytes close up.
        for (; row + 4 <= rows; row += 4) {
            const uint64_t w = charsAt(in + 2 * row);
            if ((w & ~lowBits) != digits)
                break;
            uint64_t bits = w & lowBits;
            bits = (bits | (bits >> 7)) & 0x0003000300030003ULL;
            bits = (bits | (bits >> 8)) & 0x0000FFFF0000FFFFULL;
            bits = (bits | (bits >> 16)) & 0xFFFFFFFFULL;
            for (int k = 0; k < 4; ++k)
                out[row + k] = uint8_t(bits >> (8 * k));
        }
        for (; row < rows; ++row)
            out[row] = uint8_t((in[2 * row] == '1' ? BlockedBit : 0) | (in[2 * row + 1] == '1' ? ScriptBit : 0));
    }
}

bool Walkmap::operator==(const Walkmap &o) const
{
    if (m_scripts != o.m_scripts)
        return false;
    if (!m_cells && !o.m_cells)
        return true;
    for (int column = 1; column <= Columns; ++column)
        for (int row = 1; row <= Rows; ++row)
            if (cell(column, row) != o.cell(column, row))
                return false;
    return true;
}

const Script *Walkmap::findScript(int column, int row) const
{
    auto it = m_scripts.find(index(column, row));
    return it == m_scripts.end() ? nullptr : &it->second;
}

const RoomPlacements::Slots &RoomPlacements::blank()
{
    static const Slots none{};
    return none;
}

Rroom::Rroom()
{
    // Shapes as files older than the FX shapes read them: k = 1..3 side by side.
    for (int k = 1; k <= 3; ++k) {
        Rfxshape &s = fx[k - 1];
        s.cornerX = {105 * k, 105 * k + 100, 105 * k + 100, 105 * k};
        s.cornerY = {100, 100, 200, 200};
        s.calcziehpunkt();
    }
}

int Rroom::findObject(const QString &instanceName) const
{
    if (instanceName.isEmpty())
        return 0;
    for (int i = 0; i < Placements; ++i)
        if (objects[i].instanceName == instanceName)
            return i + 1;
    return 0;
}

QStringList &LangLists::list(int i)
{
    QStringList *all[Count] = {&speech, &voicespeech, &offspeech, &voiceoffspeech, &showinfo,
                               &textout, &setstring, &row, &kommandos};
    return *all[i];
}

const QStringList &LangLists::list(int i) const { return const_cast<LangLists *>(this)->list(i); }

const char *LangLists::listName(int i)
{
    static const char *const names[Count] = {"speech", "voicespeech", "offspeech",
                                             "voiceoffspeech", "showinfo", "textout",
                                             "setstring", "row", "kommandos"};
    return names[i];
}

void LangLists::clear()
{
    for (int i = 0; i < Count; ++i)
        list(i).clear();
}

Rmouse::Rmouse()
{
    command.fill(1);
    command[9] = 2;
    speed.fill(20);
    clickX.fill(1);
    clickY.fill(1);
}

int MediaTable::firstFree() const
{
    const int end = usedEnd() - 1;
    for (int i = 0; i < end; ++i)
        if (m_names[i].isEmpty())
            return i + 1;
    return end < int(m_names.size()) ? end + 1 : 0;
}

int MediaTable::find(const QString &name) const
{
    if (name.isEmpty())
        return 0;
    const int end = usedEnd() - 1;
    for (int i = 0; i < end; ++i)
        if (m_names[i] == name)
            return i + 1;
    return 0;
}

int MediaTable::usedCount() const
{
    const auto end = m_names.begin() + (usedEnd() - 1);
    return int(std::count_if(m_names.begin(), end, [](const QString &n) { return !n.isEmpty(); }));
}

void MediaTable::clear()
{
    const int end = usedEnd() - 1;
    std::fill(m_names.begin(), m_names.begin() + end, QString());
    std::fill(m_paths.begin(), m_paths.begin() + end, QString());
    m_written = 0;
}

void GameSettings::setResolutionChoice(int choice)
{
    static constexpr int sizes[5][2] = {{640, 480}, {320, 200}, {320, 240}, {800, 600}, {1024, 768}};
    if (choice < 0 || choice > 4)
        choice = 0;
    resolutionChoice = choice;
    gameWidth = sizes[choice][0];
    gameHeight = sizes[choice][1];
}

void NameLists::sort(QStringList &list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const QString &a, const QString &b) { return text::compareText(a, b) < 0; });
}

void NameLists::remove(QStringList &list, const QString &name)
{
    const qsizetype i = list.indexOf(name);
    if (i >= 0)
        list.removeAt(i);
}

const QStringList &NameLists::fixedEventNames()
{
    static const QStringList events = {
        QStringLiteral("mouse"), QStringLiteral("mouseout"), QStringLiteral("click"),
        QStringLiteral("release"), QStringLiteral("rightclick"), QStringLiteral("doubleclick"),
        QStringLiteral("enter"), QStringLiteral("exit"), QStringLiteral("loop1"),
        QStringLiteral("loop2"), QStringLiteral("link"), QStringLiteral("givelink"),
        QStringLiteral("cantall")};
    return events;
}

ProjectModel::ProjectModel()
{
    fillFixedNameLists();
}

void ProjectModel::fillFixedNameLists()
{
    auto fill = [](QStringList &list, std::initializer_list<const char *> words, bool sorted) {
        list.clear();
        for (const char *w : words)
            list << QString::fromLatin1(w);
        if (sorted)
            NameLists::sort(list);
    };
    fill(names[NameLists::ScreenChanges],
         {"blend", "blendslow", "circle", "clock", "direct", "fadeblack", "rectangle", "shutters"},
         false);
    fill(names[NameLists::SoundEnvironments],
         {"paddedcell", "livingroom", "cave", "carpetedhallway", "alley", "mountains", "parkinglot",
          "drugged", "concerthall", "stoneroom", "arena", "hallway", "forest", "quarry",
          "sewerpipe", "dizzy", "none", "auditorium", "hangar", "stonecorridor", "city", "plain",
          "underwater", "psychotic", "off", "bathroom"},
         true);
    fill(names[NameLists::RoomEffects],
         {"mirror", "flip", "slowmotion", "blur", "scanlines", "fog", "noise", "colornoise",
          "monitor", "pixelate", "bloom", "darkbloom", "whoosh", "super8", "art", "hell", "heat",
          "motionblur", "drugged", "zoom", "underwater", "classicdark", "whiteflash", "lightning"},
         true);
    fill(names[NameLists::Layers], {"front", "behindfront", "behindmiddle", "back"}, false);
    static const QStringList sortedCommands = [] {
        QStringList commands = CommandTable::names();
        NameLists::sort(commands);
        return commands;
    }();
    names[NameLists::ScriptCommands] = sortedCommands;
}

std::array<QString, 20> ProjectModel::defaultExtraNames(const MessageCatalog &catalog)
{
    std::array<QString, 20> out;
    for (int i = 0; i < 16; ++i)
        out[i] = QStringLiteral("Extra %1").arg(i + 1);
    for (int i = 0; i < 4; ++i)
        out[16 + i] = catalog.msg(410 + i);
    return out;
}

void ProjectModel::allesneu(const MessageCatalog &catalog)
{
    // Every table back to default records, so nothing of the closed project leaks into the next.
    // Only the slots written since the last reset are touched, so resetting a model that held a
    // small project is cheap.
    cutscenes.clear();
    items.clear();
    objects.clear();
    rooms.clear();
    roomChars.clear();
    fonts.clear();
    languages.clear();
    Rcharacter blankCharacter;
    blankCharacter.extraNames = defaultExtraNames(catalog);
    characters.clear(blankCharacter);
    mouse = Rmouse();
    for (MediaTable &m : media)
        m.clear();
    origin.clear();

    commands = CommandList();
    commands.linktext = catalog.msg(333);
    commands.givelink = catalog.msg(334);
    commands.walktext = catalog.msg(336);

    for (int i : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
        names[i].clear();
    static const QStringList sortedEvents = [] {
        QStringList events = NameLists::fixedEventNames();
        NameLists::sort(events);
        return events;
    }();
    names[NameLists::Events] = sortedEvents;
    names[NameLists::Languages] << QStringLiteral("origin");
    names[NameLists::RoomNames] << QStringLiteral("last");
    names[NameLists::CharacterInstances] << QStringLiteral("self");

    settings = GameSettings();
    settings.projectName = catalog.msg(100);

    mediaTree.clear();
    for (int n = 6; n <= 9; ++n)
        mediaTree.addRoot(catalog.msg(n));
    gameTree.clear();
    for (int n = 1; n <= 5; ++n)
        gameTree.addRoot(catalog.msg(n));
}

int ProjectModel::mediaadd(int kind, const QString &name, const QString &path)
{
    MediaTable &table = media[kind];
    const int slot = table.firstFree();
    if (slot == 0)
        return 0;
    const QString lower = text::asciiLower(name);
    table.set(slot, lower, path);
    auto addSorted = [&](int list) {
        names[list] << lower;
        NameLists::sort(names[list]);
    };
    switch (kind) {
    case Sounds: addSorted(NameLists::SoundNames); break;
    case Music: addSorted(NameLists::MusicNames); break;
    case Movies:
        names[path.right(3).compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0
                  ? NameLists::FlashMovies : NameLists::Movies] << lower;
        break;
    default: break;
    }
    return slot;
}

void ProjectModel::mediadelete(int kind, const QString &name)
{
    MediaTable &table = media[kind];
    const int slot = table.find(name);
    if (slot == 0)
        return;
    const QString path = table.path(slot);
    table.clearSlot(slot);
    switch (kind) {
    case Sounds: NameLists::remove(names[NameLists::SoundNames], name); break;
    case Music: NameLists::remove(names[NameLists::MusicNames], name); break;
    case Movies:
        NameLists::remove(names[path.right(3).compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0
                                    ? NameLists::FlashMovies : NameLists::Movies], name);
        break;
    default: break;
    }
}

void ProjectModel::entf_roomchar(const QString &roomName)
{
    // The removed slots close up: every later slot (empty ones included) moves down, keeping
    // its order, and the freed slots end up at the end.
    std::vector<Rroomchar> kept;
    kept.reserve(MaxRoomChars);
    for (Rroomchar &c : roomChars) {
        if (!c.instanceName.isEmpty() && c.roomName == roomName)
            NameLists::remove(names[NameLists::CharacterInstances], c.instanceName);
        else
            kept.push_back(std::move(c));
    }
    roomChars.clear();
    for (int i = 0; i < int(kept.size()); ++i)
        roomChars[i + 1] = std::move(kept[i]);
}

int ProjectModel::fontCount() const
{
    int n = 0;
    while (n < MaxFonts && !fonts[n + 1].name.isEmpty())
        ++n;
    return n;
}

int ProjectModel::elementCount(int elementKind) const
{
    switch (elementKind) {
    case Characters: return characters.usedCount();
    case Scripts: return cutscenes.usedCount();
    case Items: return items.usedCount();
    case Objects: return objects.usedCount();
    case Rooms: return rooms.usedCount();
    }
    return 0;
}

} // namespace mb
