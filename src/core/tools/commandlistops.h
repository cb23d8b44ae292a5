#pragma once
// The rules of the commands-and-bools window and of the one-line name input: the checks made
// before the window closes, the take-over of the command grid into the project, and the bool and
// language name checks. All work on plain data so the window, the command line and tests agree.

#include "project/projectmodel.h"

#include <QString>

#include <array>

namespace mb {

class MessageCatalog;
class ProjectSession;

// The command grid below its header: 19 rows of name and shown text.
using CommandGrid = std::array<CommandRow, 19>;

// The grid as the window shows it: the project's rows, padded with empty ones (rows beyond 19
// are not shown and get lost at the next take-over).
CommandGrid commandGridOf(const CommandList &commands);

// Catalog number of the first rule the grid and the words break, 0 when they pass: 322 a row
// with only one of name and shown text, 323 empty link text, 324 empty walk text, 325 / 326 /
// 327 one of { } ( ) ; " in a grid cell, the link text or the walk text. 322-324 are shown as
// information (caption 367), 325-327 as errors.
int validateCommands(const CommandGrid &grid, const QString &linktext, const QString &walktext);

// Closes the gaps in one pass: for rows 2..19 in turn, a row below an empty name moves up one
// place. A run of empty rows therefore shrinks by at most one per call.
void closeCommandGaps(CommandGrid &grid);

// Stores a validated grid and words into the model: closes the gaps, sends mouse cursors 2-9
// whose game command vanished back to "walk to" (index 1), and rebuilds name lists 1 (commands)
// and 5 (events: the built-in events plus every command), both sorted.
void takeOverCommands(ProjectModel &model, CommandGrid grid, const QString &linktext,
                      const QString &givelink, const QString &walktext);

// True when the name holds one of ( ) { } ; " (refused with message 183).
bool hasForbiddenNameChars(const QString &name);

// Outcome of a name entered in the name input: the catalog number to show (0 none), and
// whether the entry is accepted (an empty name is neither refused nor accepted: nothing happens).
struct NameCheck
{
    int message = 0;     // 147 "already exists." (shown after the name), 183 forbidden chars
    bool accept = false;
};

// Adding (rename = false) refuses a name equal, ignoring ASCII case, to an existing bool;
// renaming accepts it. Both refuse forbidden characters. The name must be trimmed already.
NameCheck checkBoolName(const CommandList &commands, const QString &name, bool rename);
// Adds the bool unchecked to the list and to name list 6, both sorted; returns its new index.
int addBool(ProjectModel &model, const QString &name);
// Renames the bool at the index keeping its value; name list 6 follows. Returns the new index.
int renameBool(ProjectModel &model, int index, const QString &name);
// Removes the bool at the index from the list and from name list 6.
void removeBool(ProjectModel &model, int index);

// The same as edits of the open project: one undo step each, named after the bool.
void takeOverCommands(ProjectSession &session, const CommandGrid &grid, const QString &linktext,
                      const QString &givelink, const QString &walktext);
int addBool(ProjectSession &session, const QString &name);
int renameBool(ProjectSession &session, int index, const QString &name);
void removeBool(ProjectSession &session, int index);
// Sets the initial value of the bool at the index; false when there is no such bool.
bool setBoolValue(ProjectSession &session, int index, bool value);

} // namespace mb
