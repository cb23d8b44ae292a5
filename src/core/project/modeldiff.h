#pragma once

#include "project/projectchange.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace mb {

class ProjectModel;

// The parts of a ProjectModel an edit writes, as bits: each record table, each media table and
// the single records. ProjectSession::edit() compares exactly these before and after an edit.
using ModelTables = uint32_t;

namespace table {
inline constexpr int Count = 17;
inline constexpr ModelTables Characters = 1u << 0, Scripts = 1u << 1, Items = 1u << 2, Objects = 1u << 3,
                             Rooms = 1u << 4, RoomCharacters = 1u << 5, Fonts = 1u << 6, Languages = 1u << 7,
                             Images = 1u << 8, Music = 1u << 9, Sounds = 1u << 10, Movies = 1u << 11,
                             Mouse = 1u << 12, Origin = 1u << 13, Settings = 1u << 14, Commands = 1u << 15,
                             Names = 1u << 16;
inline constexpr ModelTables AllMedia = Images | Music | Sounds | Movies;
inline constexpr ModelTables All = (1u << Count) - 1;
// The table of an element kind (ElementKind) and of a media kind (MediaKind).
constexpr ModelTables element(int kind) { return 1u << kind; }
constexpr ModelTables media(int kind) { return Images << kind; }
// Bit position of a single table (0 .. Count-1).
int indexOf(ModelTables singleTable);
} // namespace table

class TableSnapshot;
class TableChanges;

// The values some tables of a model had at one moment: whole tables, or single records. Used
// by ProjectSession to learn afterwards what an edit changed.
class ModelSnapshot
{
public:
    ModelSnapshot();
    ~ModelSnapshot();
    ModelSnapshot(ModelSnapshot &&) noexcept;
    ModelSnapshot &operator=(ModelSnapshot &&) noexcept;

    // Copies every slot of the tables that are not copied yet.
    void capture(const ProjectModel &model, ModelTables tables);
    // Copies one slot of a table (table: one bit) unless that table or slot is copied already.
    // The single records (mouse, origin lists, settings, commands) have slot 1; name list i has
    // slot i + 1.
    void captureSlot(const ProjectModel &model, ModelTables table, int slot);
    // The tables copied whole.
    ModelTables wholeTables() const;

private:
    friend class ModelDiff;
    std::array<std::vector<std::unique_ptr<TableSnapshot>>, table::Count> m_tables;
    ModelTables m_whole = 0;
};

// The slots in which a model differs from a snapshot of it, with the value before and after
// each: what an undo command keeps. Only the changed slots are kept, so a command stays small on
// a big project.
class ModelDiff
{
public:
    ModelDiff();
    ~ModelDiff();
    ModelDiff(ModelDiff &&) noexcept;
    ModelDiff &operator=(ModelDiff &&) noexcept;

    static ModelDiff compare(const ModelSnapshot &before, const ProjectModel &now);

    bool isEmpty() const;
    // Tables with at least one changed slot.
    ModelTables tables() const;
    // Number of changed slots over all tables.
    size_t slotCount() const;

    // Writes the values from before (undo) or after (redo) the edit into the model. The project
    // name in the settings keeps its current value unless the edit itself renamed the project
    // (a save under another name renames it outside any edit).
    void apply(ProjectModel &model, bool after) const;
    // Change notices for the changed slots: one per slot, or one with slot 0 for a table with
    // many changed slots.
    void describe(std::vector<ProjectChange> &changes) const;
    // Folds a later diff of the same model into this one: each slot keeps its earliest value
    // before and its latest value after; slots that end where they began are dropped.
    void merge(ModelDiff &&later);

private:
    std::array<std::unique_ptr<TableChanges>, table::Count> m_tables;
};

} // namespace mb
