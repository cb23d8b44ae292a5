#include "project/modeldiff.h"

#include "project/projectmodel.h"

#include <algorithm>
#include <bit>

namespace mb {

namespace table {
int indexOf(ModelTables singleTable)
{
    return std::countr_zero(singleTable);
}
} // namespace table

namespace {

// A media entry: the parallel name and path slots of a media table.
struct MediaSlot
{
    QString name, path;
    bool operator==(const MediaSlot &) const = default;
};

// How each table is read and written, by bit position. Tables have slots 1..count().
template <int Table>
struct Access;

#define MB_SLOT_TABLE(TABLE, TYPE, MEMBER, CHANGE)                                                  \
    template <>                                                                                    \
    struct Access<TABLE>                                                                           \
    {                                                                                              \
        using T = TYPE;                                                                            \
        static int count(const ProjectModel &m) { return m.MEMBER.size(); }                        \
        static const T &get(const ProjectModel &m, int s) { return m.MEMBER[s]; }                  \
        static void set(ProjectModel &m, int s, const T &v, const T &) { m.MEMBER[s] = v; }        \
        static ProjectChange change(int s) { return CHANGE; }                                      \
    };

MB_SLOT_TABLE(0, Rcharacter, characters, ProjectChange::element(Characters, s))
MB_SLOT_TABLE(1, Rcutscene, cutscenes, ProjectChange::element(Scripts, s))
MB_SLOT_TABLE(2, RItem, items, ProjectChange::element(Items, s))
MB_SLOT_TABLE(3, Robj, objects, ProjectChange::element(Objects, s))
MB_SLOT_TABLE(4, Rroom, rooms, ProjectChange::element(Rooms, s))
MB_SLOT_TABLE(5, Rroomchar, roomChars, ProjectChange::roomCharacter(s))
MB_SLOT_TABLE(6, RFont, fonts, ProjectChange::font(s))
MB_SLOT_TABLE(7, RLang, languages, ProjectChange::language(s))
#undef MB_SLOT_TABLE

template <int Kind>
struct MediaAccess
{
    using T = MediaSlot;
    static int count(const ProjectModel &m) { return m.media[Kind].size(); }
    static T get(const ProjectModel &m, int s) { return {m.media[Kind].name(s), m.media[Kind].path(s)}; }
    static void set(ProjectModel &m, int s, const T &v, const T &) { m.media[Kind].set(s, v.name, v.path); }
    static ProjectChange change(int s) { return ProjectChange::media(Kind, s); }
};
template <> struct Access<8> : MediaAccess<Images> {};
template <> struct Access<9> : MediaAccess<Music> {};
template <> struct Access<10> : MediaAccess<Sounds> {};
template <> struct Access<11> : MediaAccess<Movies> {};

#define MB_SINGLE_RECORD(TABLE, TYPE, MEMBER, CHANGE)                                               \
    template <>                                                                                    \
    struct Access<TABLE>                                                                           \
    {                                                                                              \
        using T = TYPE;                                                                            \
        static int count(const ProjectModel &) { return 1; }                                       \
        static const T &get(const ProjectModel &m, int) { return m.MEMBER; }                       \
        static void set(ProjectModel &m, int, const T &v, const T &) { m.MEMBER = v; }             \
        static ProjectChange change(int) { return CHANGE; }                                        \
    };

MB_SINGLE_RECORD(12, Rmouse, mouse, ProjectChange::mouse())
MB_SINGLE_RECORD(13, LangLists, origin, ProjectChange::origin())
MB_SINGLE_RECORD(15, CommandList, commands, ProjectChange::commands())
#undef MB_SINGLE_RECORD

template <>
struct Access<14>
{
    using T = GameSettings;
    static int count(const ProjectModel &) { return 1; }
    static const T &get(const ProjectModel &m, int) { return m.settings; }
    static void set(ProjectModel &m, int, const T &v, const T &other)
    {
        // The project name follows the file it was last saved as; an edit that did not rename the
        // project leaves the name as the last save set it.
        const QString name = m.settings.projectName;
        m.settings = v;
        if (v.projectName == other.projectName)
            m.settings.projectName = name;
    }
    static ProjectChange change(int) { return ProjectChange::settings(); }
};

template <>
struct Access<16>
{
    using T = QStringList;
    static int count(const ProjectModel &) { return NameLists::Count; }
    static const T &get(const ProjectModel &m, int s) { return m.names[s - 1]; }
    static void set(ProjectModel &m, int s, const T &v, const T &) { m.names[s - 1] = v; }
    static ProjectChange change(int s) { return ProjectChange::nameList(s - 1); }
};

// Above this many changed slots a table is announced as a whole (slot 0).
constexpr size_t kManySlots = 32;

} // namespace

class TableChanges
{
public:
    virtual ~TableChanges() = default;
    virtual void apply(ProjectModel &model, bool after) const = 0;
    virtual void describe(std::vector<ProjectChange> &changes) const = 0;
    virtual void merge(TableChanges &later) = 0;
    virtual size_t size() const = 0;
};

class TableSnapshot
{
public:
    virtual ~TableSnapshot() = default;
    virtual void compare(const ProjectModel &now, std::unique_ptr<TableChanges> &into) const = 0;
    virtual bool holds(int slot) const = 0;
    // Takes over the values of a single-slot snapshot of the same table.
    virtual void overwrite(const TableSnapshot &single) = 0;
};

namespace {

template <int Table>
class SlotChanges : public TableChanges
{
public:
    using A = Access<Table>;
    using T = typename A::T;
    struct Entry
    {
        int slot;
        T before, after;
    };
    std::vector<Entry> entries;

    void apply(ProjectModel &model, bool after) const override
    {
        for (const Entry &e : entries)
            A::set(model, e.slot, after ? e.after : e.before, after ? e.before : e.after);
    }
    void describe(std::vector<ProjectChange> &changes) const override
    {
        if (entries.size() > kManySlots && (Table <= 11 || Table == 16)) {
            changes.push_back(A::change(0));
            return;
        }
        for (const Entry &e : entries)
            changes.push_back(A::change(e.slot));
    }
    void merge(TableChanges &laterBase) override
    {
        auto &later = static_cast<SlotChanges &>(laterBase);
        for (Entry &l : later.entries) {
            auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.slot == l.slot; });
            if (it == entries.end())
                entries.push_back(std::move(l));
            else
                it->after = std::move(l.after);
        }
        std::erase_if(entries, [](const Entry &e) { return e.before == e.after; });
    }
    size_t size() const override { return entries.size(); }
};

template <int Table>
class SlotSnapshot : public TableSnapshot
{
public:
    using A = Access<Table>;
    using T = typename A::T;

    // Slots first..first+n-1.
    SlotSnapshot(const ProjectModel &model, int first, int n) : m_first(first)
    {
        m_values.reserve(size_t(n));
        for (int s = first; s < first + n; ++s)
            m_values.push_back(A::get(model, s));
    }
    void compare(const ProjectModel &now, std::unique_ptr<TableChanges> &into) const override
    {
        SlotChanges<Table> *changes = static_cast<SlotChanges<Table> *>(into.get());
        for (size_t i = 0; i < m_values.size(); ++i) {
            const int slot = m_first + int(i);
            const auto &value = A::get(now, slot);
            if (m_values[i] == value)
                continue;
            if (!changes) {
                into = std::make_unique<SlotChanges<Table>>();
                changes = static_cast<SlotChanges<Table> *>(into.get());
            }
            changes->entries.push_back({slot, m_values[i], T(value)});
        }
    }
    bool holds(int slot) const override { return slot >= m_first && slot < m_first + int(m_values.size()); }
    void overwrite(const TableSnapshot &singleBase) override
    {
        const auto &single = static_cast<const SlotSnapshot &>(singleBase);
        for (size_t i = 0; i < single.m_values.size(); ++i) {
            const int slot = single.m_first + int(i);
            if (holds(slot))
                m_values[size_t(slot - m_first)] = single.m_values[i];
        }
    }

private:
    int m_first;
    std::vector<T> m_values;
};

std::unique_ptr<TableSnapshot> snapshotOf(int table, const ProjectModel &model, int first, int n)
{
    switch (table) {
#define MB_CASE(N) case N: return std::make_unique<SlotSnapshot<N>>(model, first, n);
        MB_CASE(0) MB_CASE(1) MB_CASE(2) MB_CASE(3) MB_CASE(4) MB_CASE(5) MB_CASE(6) MB_CASE(7)
        MB_CASE(8) MB_CASE(9) MB_CASE(10) MB_CASE(11) MB_CASE(12) MB_CASE(13) MB_CASE(14)
        MB_CASE(15) MB_CASE(16)
#undef MB_CASE
    }
    return nullptr;
}

int slotCountOf(int table, const ProjectModel &model)
{
    switch (table) {
#define MB_CASE(N) case N: return Access<N>::count(model);
        MB_CASE(0) MB_CASE(1) MB_CASE(2) MB_CASE(3) MB_CASE(4) MB_CASE(5) MB_CASE(6) MB_CASE(7)
        MB_CASE(8) MB_CASE(9) MB_CASE(10) MB_CASE(11) MB_CASE(12) MB_CASE(13) MB_CASE(14)
        MB_CASE(15) MB_CASE(16)
#undef MB_CASE
    }
    return 0;
}

} // namespace

ModelSnapshot::ModelSnapshot() = default;
ModelSnapshot::~ModelSnapshot() = default;
ModelSnapshot::ModelSnapshot(ModelSnapshot &&) noexcept = default;
ModelSnapshot &ModelSnapshot::operator=(ModelSnapshot &&) noexcept = default;

void ModelSnapshot::capture(const ProjectModel &model, ModelTables tables)
{
    for (int t = 0; t < table::Count; ++t) {
        if (!(tables & (1u << t)) || (m_whole & (1u << t)))
            continue;
        auto whole = snapshotOf(t, model, 1, slotCountOf(t, model));
        // Slots copied singly before hold the older values.
        for (const auto &single : m_tables[size_t(t)])
            whole->overwrite(*single);
        m_tables[size_t(t)].clear();
        m_tables[size_t(t)].push_back(std::move(whole));
        m_whole |= 1u << t;
    }
}

void ModelSnapshot::captureSlot(const ProjectModel &model, ModelTables singleTable, int slot)
{
    const int t = table::indexOf(singleTable);
    if (t < 0 || t >= table::Count || slot < 1 || slot > slotCountOf(t, model))
        return;
    for (const auto &s : m_tables[size_t(t)])
        if (s->holds(slot))
            return;
    m_tables[size_t(t)].push_back(snapshotOf(t, model, slot, 1));
}

ModelTables ModelSnapshot::wholeTables() const
{
    return m_whole;
}

ModelDiff::ModelDiff() = default;
ModelDiff::~ModelDiff() = default;
ModelDiff::ModelDiff(ModelDiff &&) noexcept = default;
ModelDiff &ModelDiff::operator=(ModelDiff &&) noexcept = default;

ModelDiff ModelDiff::compare(const ModelSnapshot &before, const ProjectModel &now)
{
    ModelDiff diff;
    for (int t = 0; t < table::Count; ++t)
        for (const auto &s : before.m_tables[size_t(t)])
            s->compare(now, diff.m_tables[size_t(t)]);
    return diff;
}

bool ModelDiff::isEmpty() const
{
    return tables() == 0;
}

ModelTables ModelDiff::tables() const
{
    ModelTables out = 0;
    for (int t = 0; t < table::Count; ++t)
        if (m_tables[size_t(t)] && m_tables[size_t(t)]->size() > 0)
            out |= 1u << t;
    return out;
}

size_t ModelDiff::slotCount() const
{
    size_t n = 0;
    for (const auto &t : m_tables)
        n += t ? t->size() : 0;
    return n;
}

void ModelDiff::apply(ProjectModel &model, bool after) const
{
    for (const auto &t : m_tables)
        if (t)
            t->apply(model, after);
}

void ModelDiff::describe(std::vector<ProjectChange> &changes) const
{
    for (const auto &t : m_tables)
        if (t)
            t->describe(changes);
}

void ModelDiff::merge(ModelDiff &&later)
{
    for (int t = 0; t < table::Count; ++t) {
        auto &mine = m_tables[size_t(t)];
        auto &theirs = later.m_tables[size_t(t)];
        if (!theirs)
            continue;
        if (!mine)
            mine = std::move(theirs);
        else
            mine->merge(*theirs);
        if (mine && mine->size() == 0)
            mine.reset();
    }
}

} // namespace mb
