#pragma once

#include "project/projectmodel.h"
#include "script/scriptlocation.h"

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

// The first mistake found in a project: the script it is in, what is wrong, and the text the
// error message box shows (caption: message 366).
struct ScriptMistake : ScriptLocation
{
    ScriptProblem problem;
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
    // Scripts are checked in the order of forEachScript() (cutscenes, items, rooms, walkmap
    // fields, room objects, character placements, frame lines); a frame line of blanks passes.
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
