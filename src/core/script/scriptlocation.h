#pragma once

#include "project/projectmodel.h"

#include <QString>

#include <type_traits>

namespace mb {

class MessageCatalog;

// Where one script of a project is kept: the cutscene, item and room scripts, the walkmap cell,
// object placement and character placement scripts, and the one-line frame scripts of items,
// objects and characters.
struct ScriptLocation
{
    enum Source {
        Cutscene,
        Item,
        Room,
        WalkmapField,
        RoomObject,    // a placement in a room
        RoomCharacter, // a character placement (Rroomchar)
        ItemFrame,     // frame script lines
        ObjectFrame,
        CharacterFrame,
    };
    Source source = Cutscene;
    // Slot (from 1) in the table of the source: cutscenes, items, rooms (also for walkmap fields
    // and room objects), roomChars, objects (ObjectFrame), characters (CharacterFrame).
    int slot = 0;
    // Name of the script's owner: the cutscene, item, room, object or character name, the instance
    // name of a character placement, the room name for walkmap fields and room objects.
    QString name;
    int placement = 0;    // RoomObject: slot (1..200) in the room's placements
    QString instanceName; // RoomObject: the placement's instance name
    int column = 0, row = 0; // WalkmapField: 1..192, 1..96
    int state = 0, frame = 0; // frame sources: both from 1

    bool isFrameLine() const { return source >= ItemFrame; }
    bool operator==(const ScriptLocation &) const = default;
};

// How the script check and the project-wide search name a script, without the closing quote:
// the kind ("Cutscene \"", "Walkmap \"" ... from the catalog) and the owner: `intro`,
// `hall 4/90` (room, column/row), `hall / door` (room / instance), `bob1` (character
// placement), `key (Frame 2/3)` (owner, state/frame). Frame lines of every owner are announced
// with the item kind, as the check always did.
QString scriptLabel(const ScriptLocation &location, const MessageCatalog &catalog);

// The script a location names, or null when the location no longer holds one (a slot not in
// use, a walkmap cell without its has-script mark, a frame location).
Script *scriptAt(ProjectModel &project, const ScriptLocation &location);
const Script *scriptAt(const ProjectModel &project, const ScriptLocation &location);
// The frame script line a frame location names, or null for other sources and slots not in use.
QString *frameLineAt(ProjectModel &project, const ScriptLocation &location);

// Visits every script of the project that is in use, in the order of the script check:
// cutscenes, items, rooms, walkmap fields (room by room, column by column, row by row), room
// objects (room by room), character placements, then the frame lines of items, objects and
// characters (owner by owner, state by state, frame by frame). A slot counts while its name or
// instance name is set; a walkmap field while its has-script mark is set; a frame line while it is
// not empty; placements and walkmap fields only in rooms that are in use.
//
// Model is ProjectModel or const ProjectModel; onScript(const ScriptLocation &, Script &) and
// onFrameLine(const ScriptLocation &, QString &) receive const references for a const model.
// Either returns true to stop the walk, which then returns true. The location's QStrings share
// the model's data, so building one costs no copy of text.
template <typename Model, typename OnScript, typename OnFrameLine>
bool forEachScript(Model &project, OnScript &&onScript, OnFrameLine &&onFrameLine)
{
    static_assert(std::is_same_v<std::remove_const_t<Model>, ProjectModel>);
    using L = ScriptLocation;
    using ScriptRef = std::conditional_t<std::is_const_v<Model>, const Script &, Script &>;
    const auto at = [](L::Source source, int slot, const QString &name) {
        L l;
        l.source = source;
        l.slot = slot;
        l.name = name;
        return l;
    };
    for (int i = 1; i <= project.cutscenes.size(); ++i) {
        auto &c = project.cutscenes[i];
        if (!c.name.isEmpty() && onScript(at(L::Cutscene, i, c.name), c.script))
            return true;
    }
    for (int i = 1; i <= project.items.size(); ++i) {
        auto &item = project.items[i];
        if (!item.name.isEmpty() && onScript(at(L::Item, i, item.name), item.script))
            return true;
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        auto &room = project.rooms[i];
        if (!room.name.isEmpty() && onScript(at(L::Room, i, room.name), room.script))
            return true;
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        auto &room = project.rooms[i];
        if (room.name.isEmpty())
            continue;
        // The scripts are keyed by cell index, which runs column by column, row by row.
        for (const auto &[index, cellScript] : room.walkmap.scripts()) {
            // The walkmap hands out its map read-only; the cells belong to `project`, which is
            // modifiable when Model is.
            ScriptRef script = const_cast<ScriptRef>(cellScript);
            const int column = index / Walkmap::Rows + 1, row = index % Walkmap::Rows + 1;
            if (!room.walkmap.hasScript(column, row))
                continue;
            L l = at(L::WalkmapField, i, room.name);
            l.column = column;
            l.row = row;
            if (onScript(l, script))
                return true;
        }
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        auto &room = project.rooms[i];
        if (room.name.isEmpty())
            continue;
        for (int p = 0; p < int(room.objects.size()); ++p) {
            auto &o = room.objects[p];
            if (o.instanceName.isEmpty())
                continue;
            L l = at(L::RoomObject, i, room.name);
            l.placement = p + 1;
            l.instanceName = o.instanceName;
            if (onScript(l, o.script))
                return true;
        }
    }
    for (int i = 1; i <= project.roomChars.size(); ++i) {
        auto &rc = project.roomChars[i];
        if (!rc.instanceName.isEmpty() && onScript(at(L::RoomCharacter, i, rc.instanceName), rc.script))
            return true;
    }
    // Frame lines of one owner, state by state, frame by frame.
    const auto frames = [&](L::Source source, int slot, const QString &owner, auto &grid) {
        if (!grid.allocated()) // no frame was ever written
            return false;
        for (int s = 0; s < int(grid.size()); ++s) {
            if (!grid.allocated(size_t(s)))
                continue;
            auto &row = grid[size_t(s)];
            for (int f = 0; f < int(row.size()); ++f) {
                auto &line = row[size_t(f)].script;
                if (line.isEmpty())
                    continue;
                L l = at(source, slot, owner);
                l.state = s + 1;
                l.frame = f + 1;
                if (onFrameLine(l, line))
                    return true;
            }
        }
        return false;
    };
    for (int i = 1; i <= project.items.size(); ++i) {
        auto &item = project.items[i];
        if (!item.name.isEmpty() && frames(L::ItemFrame, i, item.name, item.frames))
            return true;
    }
    for (int i = 1; i <= project.objects.size(); ++i) {
        auto &o = project.objects[i];
        if (!o.name.isEmpty() && frames(L::ObjectFrame, i, o.name, o.frames))
            return true;
    }
    for (int i = 1; i <= project.characters.size(); ++i) {
        auto &c = project.characters[i];
        if (!c.name.isEmpty() && frames(L::CharacterFrame, i, c.name, c.frames))
            return true;
    }
    return false;
}

} // namespace mb
