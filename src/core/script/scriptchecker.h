#pragma once

#include "project/projectmodel.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace mb {

class MessageCatalog;

// What is wrong with one script, independent of where the script is kept.
struct ScriptProblem
{
    enum Kind {
        UnbalancedBraces,      // count of "{" differs from count of "}"
        UnbalancedParentheses, // "(" / ")"
        UnbalancedBrackets,    // "[" / "]"
        UnknownCommand,        // the call's name is not in the command table
        NotEnoughEntries,      // one of the command's required arguments is empty
    };
    Kind kind = UnknownCommand;
    // Line (from 1) of the call's closing ")"; 0 for the balance kinds and for frame lines.
    int line = 0;
    // The call's name as it is looked up: trimmed, ASCII lower-cased, "ifnot" rewritten to "if".
    QString command;
    // The argument text exactly as written: everything after the first "(" except the call's
    // last character. Set for NotEnoughEntries only.
    QString arguments;

    bool operator==(const ScriptProblem &) const = default;
};

// The first mistake found in a project, with where it is and the text the error message box
// shows (caption: message 366).
struct ScriptMistake
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
    ScriptProblem problem;
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
    // The whole message box text in the catalog's language at the time of the check.
    QString text;
};

// The check run before a game is built and by the "check scripts" menu command: every script of
// the project is tested for unbalanced { }, ( ) and [ ], for calls of unknown commands and for
// calls whose required arguments are not all given. Nothing beyond the command table is
// understood; nesting and order of brackets are not checked.
//
// The checker only reads the project; it never changes a script. It holds a reference to the
// catalog, which must outlive it; the texts use the catalog's current language at call time.
// Nothing is cached between calls, so a check may run on any thread while nobody changes the
// project or the catalog's language.
class ScriptChecker
{
public:
    explicit ScriptChecker(const MessageCatalog &catalog) : m_catalog(catalog) {}

    // Checks the whole project and returns its first mistake, or nullopt when every script passes.
    // Order: cutscenes, items, rooms, walkmap fields (room by room, column by column, row by row),
    // room objects (room by room), character placements, then the frame lines of items, objects
    // and characters (owner by owner, state by state, frame by frame). A slot is checked only
    // while it is in use (its name or instance name is set; a walkmap field while its has-script
    // mark is set; a frame line while it holds a non-blank character; the placements and walkmap
    // fields of rooms that are in use).
    std::optional<ScriptMistake> check(const ProjectModel &project) const;

    // One script: the { }, ( ) and [ ] balance in that order, then the calls. Calls are collected
    // across lines: text outside "(* ... *)" comments, without "{" and "}", up to and including a
    // ")" is one call, reported at the line of that ")". Text after the last ")" is no call.
    static std::optional<ScriptProblem> checkScript(const Script &script);

    // One frame script line, which is a single call on its own: the whole line without its leading
    // and trailing blanks; the argument text ends before its last character. No balance test, no
    // comments. A line of blanks passes.
    static std::optional<ScriptProblem> checkFrameLine(QStringView line);

    // The command part of a mistake text ("Unknown Command : foo (Line 12)"); withLine false gives
    // the frame line form without the line part. Empty for the balance kinds.
    QString commandMistakeText(const ScriptProblem &problem, bool withLine) const;

private:
    const MessageCatalog &m_catalog;
};

} // namespace mb
