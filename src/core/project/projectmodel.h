#pragma once

#include "project/projecttree.h"
#include "project/slottable.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace mb {

class MessageCatalog;

using Script = QStringList;

// One animation frame of an object or character state.
struct Rframe
{
    QString image;
    QString image2;
    QString script; // frame script line; may contain ";"
    int x = 0, y = 0, x2 = 0, y2 = 0;
    bool operator==(const Rframe &) const = default;
};

struct ItemFrame
{
    QString image;
    QString script;
    bool operator==(const ItemFrame &) const = default;
};

// The frames of an element: States rows of Frames each. Most slots of a table never hold an
// element and most elements use a few states, so each state's row is allocated on its first
// write; reading a row that was never written gives empty frames.
template <typename T, int States, int Frames>
class FrameGrid
{
public:
    using Row = std::array<T, Frames>;
    FrameGrid() = default;
    FrameGrid(const FrameGrid &o) { *this = o; }
    FrameGrid(FrameGrid &&) noexcept = default;
    FrameGrid &operator=(const FrameGrid &o)
    {
        if (this != &o)
            for (int s = 0; s < States; ++s)
                m_rows[s] = o.m_rows[s] ? std::make_unique<Row>(*o.m_rows[s]) : nullptr;
        return *this;
    }
    FrameGrid &operator=(FrameGrid &&) noexcept = default;

    static constexpr size_t size() { return States; }
    Row &operator[](size_t state)
    {
        if (!m_rows[state])
            m_rows[state] = std::make_unique<Row>();
        return *m_rows[state];
    }
    const Row &operator[](size_t state) const
    {
        static const Row empty{};
        return m_rows[state] ? *m_rows[state] : empty;
    }
    bool allocated(size_t state) const { return m_rows[state] != nullptr; }
    // Equal when every state reads the same frames; a row never written equals a row of empty
    // frames.
    bool operator==(const FrameGrid &o) const
    {
        for (size_t s = 0; s < States; ++s)
            if ((m_rows[s] || o.m_rows[s]) && (*this)[s] != o[s])
                return false;
        return true;
    }
    // True when any state was written; a grid that never was holds only empty frames.
    bool allocated() const
    {
        for (const auto &r : m_rows)
            if (r)
                return true;
        return false;
    }
    // Takes the row unless every frame of it is empty.
    void setRow(size_t state, Row &&row, bool empty)
    {
        if (empty)
            m_rows[state].reset();
        else
            m_rows[state] = std::make_unique<Row>(std::move(row));
    }

private:
    std::array<std::unique_ptr<Row>, States> m_rows;
};

struct RItem
{
    static constexpr int States = 10, Frames = 25;
    QString name;
    std::array<uint8_t, States> speed;
    FrameGrid<ItemFrame, States, Frames> frames;
    Script script;
    RItem() { speed.fill(20); }
    const QString &slotKey() const { return name; }
    bool operator==(const RItem &) const = default;
};

struct Robj
{
    static constexpr int States = 10, Frames = 30;
    QString name;
    FrameGrid<Rframe, States, Frames> frames;
    std::array<uint8_t, States> speed{};
    uint16_t width = 0, height = 0;
    bool flag = false;
    const QString &slotKey() const { return name; }
    bool operator==(const Robj &) const = default;
};

struct Rcharacter
{
    static constexpr int States = 36, Frames = 30, Extras = 20;
    QString name;
    FrameGrid<Rframe, States, Frames> frames;
    std::array<QString, Extras> extraNames;
    std::array<uint8_t, States> speed{};
    std::array<uint16_t, States> width{}, height{};
    uint32_t textColor = 0;
    std::array<int, States> footX{}, footY{};
    uint8_t walkSpeed = 0;
    bool dontzoom = false, leftani = false, memres = false, ghostmode = false;
    int scale = 100;
    QString walkSound;
    int fontIndex = 0;
    const QString &slotKey() const { return name; }
    bool operator==(const Rcharacter &) const = default;
};

struct Rcutscene
{
    QString name;
    Script script;
    const QString &slotKey() const { return name; }
    bool operator==(const Rcutscene &) const = default;
};

struct Rfxshape
{
    bool flag1 = false, flag2 = false;
    int int1 = 0;
    QString text;
    int int2 = 15;
    int dragX = 0, dragY = 0; // derived from the corners, never stored
    int int3 = -10, int4 = -7, int5 = 125;
    std::array<int, 4> cornerX{}, cornerY{};
    // Drag point := mean of the corners, each rounded to the nearest integer.
    void calcziehpunkt();
    bool operator==(const Rfxshape &) const = default;
};

struct Rroomobj
{
    int depthLine = 0;
    bool flag = false;
    uint8_t byteValue = 0;
    Script script;
    QString objectName;
    QString instanceName;
    int x = 0, y = 0;
    uint8_t state = 0;
    const QString &slotKey() const { return instanceName; }
    bool operator==(const Rroomobj &) const = default;
};

// Walkmap grid of a room: 192 columns x 96 rows. Cells are blocked until painted free; a cell
// script exists only while the cell's has-script flag is set (kept sparse, most cells have none).
class Walkmap
{
public:
    static constexpr int Columns = 192, Rows = 96;
    Walkmap() = default;
    Walkmap(const Walkmap &o) : m_cells(o.m_cells ? std::make_unique<Cells>(*o.m_cells) : nullptr), m_scripts(o.m_scripts) {}
    Walkmap(Walkmap &&) noexcept = default;
    Walkmap &operator=(const Walkmap &o)
    {
        if (this != &o) {
            m_cells = o.m_cells ? std::make_unique<Cells>(*o.m_cells) : nullptr;
            m_scripts = o.m_scripts;
        }
        return *this;
    }
    Walkmap &operator=(Walkmap &&) noexcept = default;

    // Every cell blocked, no flags, no scripts.
    void clear();
    // Sets the flags from a walkmap line: column by column, `rows` cells each, two characters
    // per cell (blocked, has-script; '1' = set). The line must hold columns * rows * 2
    // characters; cells outside stay blocked without script.
    void loadFlags(const char *line, int columns, int rows);
    // column 1..192, row 1..96
    bool blocked(int column, int row) const { return cell(column, row) & BlockedBit; }
    bool hasScript(int column, int row) const { return cell(column, row) & ScriptBit; }
    void setBlocked(int column, int row, bool on) { setBit(column, row, BlockedBit, on); }
    void setHasScript(int column, int row, bool on) { setBit(column, row, ScriptBit, on); }
    // The cell's script list; created on demand.
    Script &script(int column, int row) { return m_scripts[index(column, row)]; }
    const Script *findScript(int column, int row) const;
    void removeScript(int column, int row) { m_scripts.erase(index(column, row)); }
    const std::map<int, Script> &scripts() const { return m_scripts; }
    static int index(int column, int row) { return (column - 1) * Rows + (row - 1); }
    // Same cells (a grid never painted equals an all-blocked one) and the same script lists.
    bool operator==(const Walkmap &o) const;

private:
    static constexpr uint8_t BlockedBit = 1, ScriptBit = 2;
    using Cells = std::array<uint8_t, Columns * Rows>;
    // Rooms that were never painted share the all-blocked state without storage.
    uint8_t cell(int column, int row) const { return m_cells ? (*m_cells)[index(column, row)] : BlockedBit; }
    void setBit(int column, int row, uint8_t bit, bool on)
    {
        if (!m_cells) {
            m_cells = std::make_unique<Cells>();
            m_cells->fill(BlockedBit);
        }
        uint8_t &c = (*m_cells)[index(column, row)];
        c = on ? (c | bit) : (c & ~bit);
    }
    std::unique_ptr<Cells> m_cells;
    std::map<int, Script> m_scripts;
};

// The 200 placement slots of a room. An empty project has a thousand rooms, nearly all of them
// unused, so the slots are allocated only when one is first written: until then every slot
// reads as a default placement. Behaves as a fixed-size vector of the slots.
class RoomPlacements
{
public:
    static constexpr int Count = 200;
    using value_type = Rroomobj;

    RoomPlacements() = default;
    RoomPlacements(const RoomPlacements &o) : m_slots(o.m_slots ? std::make_unique<Slots>(*o.m_slots) : nullptr) {}
    RoomPlacements(RoomPlacements &&) noexcept = default;
    RoomPlacements &operator=(const RoomPlacements &o)
    {
        if (this != &o)
            m_slots = o.m_slots ? std::make_unique<Slots>(*o.m_slots) : nullptr;
        return *this;
    }
    RoomPlacements &operator=(RoomPlacements &&) noexcept = default;

    static constexpr size_t size() { return Count; }
    const Rroomobj &operator[](size_t i) const { return (m_slots ? *m_slots : blank())[i]; }
    Rroomobj &operator[](size_t i) { return writable()[i]; }
    const Rroomobj &front() const { return (*this)[0]; }
    const Rroomobj *begin() const { return (m_slots ? *m_slots : blank()).data(); }
    const Rroomobj *end() const { return begin() + Count; }
    Rroomobj *begin() { return writable().data(); }
    Rroomobj *end() { return begin() + Count; }
    bool operator==(const RoomPlacements &o) const
    {
        return (!m_slots && !o.m_slots) || std::equal(begin(), end(), o.begin());
    }

private:
    using Slots = std::array<Rroomobj, Count>;
    static const Slots &blank();
    Slots &writable()
    {
        if (!m_slots)
            m_slots = std::make_unique<Slots>();
        return *m_slots;
    }
    std::unique_ptr<Slots> m_slots;
};

struct Rroom
{
    static constexpr int Placements = RoomPlacements::Count;
    QString name;
    int width = 0, height = 0, scrollX = 0, scrollY = 0, zoomTop = 0, zoomBottom = 0, zoomStep = 3;
    QString background, parallax;
    Walkmap walkmap;
    RoomPlacements objects; // slots 0..199
    bool flag1 = false, flag2 = false;
    std::array<int, 4> values{};
    std::array<double, 2> factors{1.0, 1.0};
    Script script;
    std::array<Rfxshape, 3> fx;
    Rroom();
    const QString &slotKey() const { return name; }
    // Slot (1-based) of the placement with the instance name, or 0.
    int findObject(const QString &instanceName) const;
    bool operator==(const Rroom &) const = default;
};

struct Rroomchar
{
    QString characterName;
    QString instanceName;
    QString roomName;
    int x = 0, y = 0;
    uint8_t byteValue = 0;
    bool flag1 = false, flag2 = false;
    Script script;
    const QString &slotKey() const { return instanceName; }
    bool operator==(const Rroomchar &) const = default;
};

struct RFont
{
    QString name;
    bool bold = false, italic = false;
    int size = 0, outline = 0, shadow = 0, fill = 0, fading = 0;
    uint16_t charset = 0;
    const QString &slotKey() const { return name; }
    bool operator==(const RFont &) const = default;
};

// The nine text lists of one language.
struct LangLists
{
    QStringList speech, voicespeech, offspeech, voiceoffspeech, showinfo, textout, setstring, row,
        kommandos;
    static constexpr int Count = 9;
    QStringList &list(int i);
    const QStringList &list(int i) const;
    static const char *listName(int i); // "speech" .. "kommandos"
    void clear();
    bool operator==(const LangLists &) const = default;
};

struct RLang
{
    QString name;
    LangLists lists;
    const QString &slotKey() const { return name; }
    bool operator==(const RLang &) const = default;
};

struct Rmouse
{
    static constexpr int Cursors = 10, Frames = 25;
    std::array<std::array<QString, Frames>, Cursors> frames;
    std::array<uint8_t, Cursors> command;
    std::array<uint8_t, Cursors> speed;
    std::array<int, Cursors> clickX, clickY;
    bool useWheel = false;
    Rmouse();
    bool operator==(const Rmouse &) const = default;
};

// One media kind: parallel name and path slots. Like SlotTable it remembers the highest slot
// written since the last clear(): the slots above it are empty, lookups stop there and clear()
// empties only the slots below it.
class MediaTable
{
public:
    static constexpr int Slots = 15000;
    MediaTable() : m_names(Slots), m_paths(Slots) {}
    int size() const { return Slots; }
    const QString &name(int slot) const { return m_names[slot - 1]; }
    const QString &path(int slot) const { return m_paths[slot - 1]; }
    void set(int slot, QString name, QString path)
    {
        m_written = std::max(m_written, slot);
        m_names[slot - 1] = std::move(name);
        m_paths[slot - 1] = std::move(path);
    }
    void setPath(int slot, QString path)
    {
        m_written = std::max(m_written, slot);
        m_paths[slot - 1] = std::move(path);
    }
    void clearSlot(int slot) { set(slot, {}, {}); }
    int firstFree() const;
    int find(const QString &name) const; // first slot with the name, or 0
    int usedCount() const;
    // One past the last slot that may be used: every slot from here on is empty.
    int usedEnd() const { return std::min(m_written, int(m_names.size())) + 1; }
    void clear();
    bool operator==(const MediaTable &o) const { return m_names == o.m_names && m_paths == o.m_paths; }

private:
    std::vector<QString> m_names, m_paths;
    int m_written = 0; // slots above this one are empty
};

enum MediaKind { Images = 0, Music = 1, Sounds = 2, Movies = 3 };
enum ElementKind { Characters = 0, Scripts = 1, Items = 2, Objects = 3, Rooms = 4 };

// The project-wide settings of the settings window, with the defaults of a new project.
struct GameSettings
{
    QString projectName;
    int resolutionChoice = 0; // 0 640x480, 1 320x200, 2 320x240, 3 800x600, 4 1024x768
    int gameWidth = 640, gameHeight = 480;
    std::array<QString, 6> gameFonts;
    QString gameIcon;
    QString loadingImage;
    bool useTextsceneBg = false; // CheckBox3
    QString textsceneBg;
    QString startScript, mainScript, anywhereObj;
    int screenchange = 0;
    bool textonoff = false, itemicon = false, commandtext = true, bedienfeld = true, noanti = false,
         oben = false, groupitems = false, protect = false;
    QString actionTextHeight = QStringLiteral("0"); // Edit3
    bool ownMenu = false;                           // CheckBox2
    QString ownMenuRoom;                            // Edit2
    QString taskHeight = QStringLiteral("140");     // Edit1
    QString taskRoom;                               // bedienraum
    int taskPopup = 0;                              // bedienpopup
    bool silentDelete = false, infoLine = true, taskHide = true;
    int rightClickMode = 0;
    int fadebarmenu = 0, scenefadebar = 0, transany = 0, coinfadebar = 0;
    uint32_t targacolor = 16711935, bordercolor = 8421376, backgroundcolor = 32768,
             textcolor = 65280, offtextcolor = 16777215, infotextcolor = 16777215;
    int textsceneStyle = 0, textsceneBorder = 0;
    uint32_t textsceneBcolor = 0, textsceneArea = 8421504, textsceneSelected = 12632256,
             shape1 = 15793151;
    bool multipleChoice = false; // RadioGroup1 item 1
    bool muteMusic = true;       // CheckBox4
    bool coinInterface = false;  // CheckBox5
    bool autoPopup = true;       // CheckBox6
    QString coinRoom;
    int coinTop = 65, coinLeft = 90; // the coin interface marker

    bool unten() const { return !oben; }
    // Sets the choice and the matching width and height.
    void setResolutionChoice(int choice);
    bool operator==(const GameSettings &) const = default;
};

struct CommandRow
{
    QString name;
    QString text;
    bool operator==(const CommandRow &) const = default;
};

struct BoolEntry
{
    QString name;
    bool value = false;
    bool operator==(const BoolEntry &) const = default;
};

// The commands, bools and three action-line words.
struct CommandList
{
    std::vector<CommandRow> rows; // grid rows 1..n
    std::vector<BoolEntry> bools;
    QString linktext, givelink, walktext;
    bool operator==(const CommandList &) const = default;
};

// The 18 name lists that feed the choice boxes; compared and sorted ASCII case-insensitively.
struct NameLists
{
    enum Index {
        ScreenChanges = 0, Commands = 1, SoundEnvironments = 2, RoomEffects = 3, Languages = 4,
        Events = 5, Bools = 6, MusicNames = 7, SoundNames = 8, FlashMovies = 9, Movies = 10,
        ItemNames = 11, ScriptNames = 12, CharacterInstances = 13, RoomNames = 14,
        ObjectInstances = 15, ScriptCommands = 16, Layers = 17, Count = 18
    };
    std::array<QStringList, Count> lists;
    bool operator==(const NameLists &) const = default;
    QStringList &operator[](int i) { return lists[i]; }
    const QStringList &operator[](int i) const { return lists[i]; }

    static void sort(QStringList &list);
    // Removes the first entry equal to the name (exact).
    static void remove(QStringList &list, const QString &name);
    static const QStringList &fixedEventNames();
};

// The content of a project, what its file holds: every table, the trees, the settings and the
// lists. Records are numbered from 1; a slot is free when its name is empty. The state of the
// editing session (modified, busy, folders, selections) belongs to ProjectSession.
class ProjectModel
{
public:
    static constexpr int MaxScripts = 5000, MaxItems = 1000, MaxCharacters = 300,
                         MaxObjects = 2000, MaxRooms = 1000, MaxRoomChars = 300, MaxFonts = 99,
                         MaxLanguages = 10;

    ProjectModel();

    SlotTable<Rcutscene> cutscenes{MaxScripts};
    SlotTable<RItem> items{MaxItems};
    SlotTable<Rcharacter> characters{MaxCharacters};
    SlotTable<Robj> objects{MaxObjects};
    SlotTable<Rroom> rooms{MaxRooms};
    SlotTable<Rroomchar> roomChars{MaxRoomChars};
    SlotTable<RFont> fonts{MaxFonts}; // kept compact: the first empty name ends the table
    SlotTable<RLang> languages{MaxLanguages};
    Rmouse mouse;
    std::array<MediaTable, 4> media; // indexed by MediaKind
    LangLists origin;

    GameSettings settings;
    CommandList commands;
    NameLists names;
    ProjectTree mediaTree, gameTree;
    // The folder of the last game made from the project (saved in the project file; set by
    // builds and from config.ini, not by edits).
    QString lastGameFolder;

    // Empties every table and gives every record, setting and list its defaults, with the
    // texts (project name, action words, tree roots) in the catalog's language. The last game
    // folder stays.
    void allesneu(const MessageCatalog &catalog);

    // Adds a media entry (kind: MediaKind) in the first free slot with the lower-cased name and
    // the path, and feeds the music, sound and movie name lists. Returns the slot, 0 when full.
    int mediaadd(int kind, const QString &name, const QString &path);
    // Empties the slot of the first entry with the name and removes it from its name list.
    void mediadelete(int kind, const QString &name);
    // Removes every character placement of the room, closing up the table in order, and their
    // instance names from name list 13.
    void entf_roomchar(const QString &roomName);

    // Used fonts at the front of the table.
    int fontCount() const;
    // Default names of the 20 extra character states ("Extra 1" .. "Extra 16", messages 410-413).
    static std::array<QString, 20> defaultExtraNames(const MessageCatalog &catalog);
    // Fills the name lists that never change: screen changes, sound environments, room effects
    // layers and the script commands.
    void fillFixedNameLists();
    // Recounts the used slots of a media kind / element kind (status bar, info).
    int elementCount(int elementKind) const;
};

} // namespace mb
