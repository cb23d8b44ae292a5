#pragma once

#include "project/projectmodel.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace mb {

class MessageCatalog;
class ProjectSession;
struct ScriptLocation;

// The text that names one script for the script editor, as windows post it when they want a
// script shown and as the recent list keeps it. The first character selects the kind; indexes,
// columns and rows are three decimal digits with leading zeros:
//   "0" + script name                 the cutscene script of that name
//   "1" + item name                   the item's script
//   "5" + column + row + room name    the script of that walkmap cell (column 1..192, row 1..96)
//   "6" + placement + room name       the script of object placement 1..200 of that room
//   "7" + entry                       the script of character placement 1..300
//   "8" + room name                   the room's script
//   "free"                            no script
struct ScriptKey
{
    enum Kind { Free, Cutscene, Item, WalkmapCell, RoomObject, RoomCharacter, Room };

    Kind kind = Free;
    QString name;   // script, item or room name; empty for RoomCharacter and Free
    int column = 0; // WalkmapCell
    int row = 0;    // WalkmapCell
    int index = 0;  // RoomObject: placement 1..; RoomCharacter: entry 1..

    // Splits a posted text; nullopt for a text that is no key: empty, an unknown first character,
    // or digits missing or not decimal. Numbers are taken as written (a key may name a cell or
    // placement that does not exist; the lookups then find nothing).
    static std::optional<ScriptKey> parse(QStringView text);
    // The posted text of the key (the inverse of parse).
    QString text() const;

    static ScriptKey cutscene(const QString &name) { return {Cutscene, name, 0, 0, 0}; }
    static ScriptKey item(const QString &name) { return {Item, name, 0, 0, 0}; }
    static ScriptKey room(const QString &name) { return {Room, name, 0, 0, 0}; }
    static ScriptKey walkmapCell(const QString &room, int column, int row) { return {WalkmapCell, room, column, row, 0}; }
    static ScriptKey roomObject(const QString &room, int placement) { return {RoomObject, room, 0, 0, placement}; }
    static ScriptKey roomCharacter(int entry) { return {RoomCharacter, {}, 0, 0, entry}; }

    // The key that opens the script at a location; nullopt for frame lines, which have no key.
    static std::optional<ScriptKey> of(const ScriptLocation &location);

    bool operator==(const ScriptKey &) const = default;
};

// How the editor shows an open script.
struct ScriptCaption
{
    // Window caption: message 184 "Script (" + element + the kind's suffix, which ends in ")".
    QString caption;
    // What the recent list shows: element + suffix without its closing ")".
    QString title;
    // Instance name of the placement of a RoomObject or RoomCharacter key (empty when the
    // placement is not there); a RoomObject script is stored by this name.
    QString placementName;
};

// The caption of a key. The element is the name of the key, for walkmap cells the room name
// followed by " [" + column + "-" + row + "] / Walkmap)" (three digits each), for placements the
// instance name found at the key's index (empty when there is none).
ScriptCaption scriptCaption(const ProjectModel &project, const ScriptKey &key,
                            const MessageCatalog &catalog);

// The lines the editor shows for a key: the first table slot with the key's name; the cell of
// the named room while it has its script mark; the placement at the key's index while its instance
// name is set. Null when there is no such script; the editor then opens empty under the key.
const Script *findScript(const ProjectModel &project, const ScriptKey &key);

// Whether a key of the recent list still names a script (findScript() finds it).
bool scriptExists(const ProjectModel &project, const ScriptKey &key);

// What a store under the open key would overwrite, as the editor shows it: the lines of the
// script a store writes to (for RoomObject the placement named placementName, wherever it is
// now). A walkmap cell without a script gives no lines. Nullopt when the element is gone: the
// script, item or room (for cells and placements the room) was deleted or renamed, the
// placement removed, or its insert undone.
std::optional<QStringList> storedScriptLines(const ProjectModel &project, const ScriptKey &key,
                                             const QString &placementName);

// Why a script is stored.
enum class StoreReason {
    TextChanged, // the author typed; an emptied cell keeps its (empty) script
    Leaving,     // another script is shown, "free" was posted, the window closes
};

// What storing an open script does to the project, worked out before anything is changed so that
// a caller can record it (undo) and then apply it.
struct ScriptStore
{
    enum Action {
        Nothing,    // no target (the element is gone) or the text is already stored
        SetLines,   // target := lines
        RemoveCell, // the walkmap cell loses its script mark and its script list
    };
    Action action = Nothing;
    // Where the lines go: for RoomObject the placement found by placementName (so renumbered
    // placements keep their text), for walkmap cells the cell, otherwise by name or index.
    int slot = 0;      // table slot of the cutscene, item, room (also cells and placements), entry
    int placement = 0; // RoomObject: 1..200
    QStringList lines;
};

// Plans storing `lines` (the editor's text) under the open key. Rules of the walkmap cell: an
// emptied cell left with StoreReason::Leaving loses its script; storing text into a cell that
// has no script mark yet sets the mark, so the text is not dropped by the next save.
ScriptStore planScriptStore(const ProjectModel &project, const ScriptKey &key,
                            const QString &placementName, const QStringList &lines, StoreReason reason);

// What a store replaced, to put it back.
struct ScriptStoreUndo
{
    QStringList lines;       // the target's lines before
    bool cellMarked = false; // walkmap cells: the script mark before
    bool cellListed = false; // walkmap cells: whether the cell had a script list at all
};

// Carries out a plan made by planScriptStore() for the same key and project state.
ScriptStoreUndo applyScriptStore(ProjectModel &project, const ScriptKey &key, const ScriptStore &store);
// Puts back exactly what applyScriptStore() replaced.
void restoreScriptStore(ProjectModel &project, const ScriptKey &key, const ScriptStore &store,
                        const ScriptStoreUndo &before);

// Plans and stores `lines` under the open key as one edit of the session's project (an undo step
// named `text`), including the walkmap cell rule. Stores with the same non-zero merge key merge
// into one undo step until the session's gesture ends, so typing into a script is one step.
// Returns whether the project changed.
bool storeScript(ProjectSession &session, const ScriptKey &key, const QString &placementName,
                 const QStringList &lines, StoreReason reason, const QString &text, quint64 merge = 0);

} // namespace mb
