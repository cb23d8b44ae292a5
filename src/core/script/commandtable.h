#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace mb {

// The vocabulary of the script language that the game engine interprets: the script commands in
// their fixed table order, each with the number of leading arguments it requires and the captions
// of its insert menu entries, the built-in event names and the words the script editor shows in
// bold.
//
// All data is compiled in and immutable; every function may be called from any thread. Command
// names in the table are lower-case ASCII. A name given by a caller is compared case-insensitively
// (ASCII letters only) after the negation rewrite of canonicalName(); blanks are significant, so
// callers trim names taken from script text.
class CommandTable
{
public:
    static constexpr int count() { return 145; }

    // The name lookups use: ASCII letters lower-cased, and a name beginning with "ifnot" rewritten
    // to "if" plus the rest after those five characters ("IFNOT_Bool" -> "if_bool", "ifnot" ->
    // "if"). Every "if_" command thereby has its negated "ifnot_" form without a table entry.
    static QString canonicalName(QStringView name);

    // Table index of the command, or nullopt for a name that is not a script command.
    static std::optional<int> findCommand(QStringView name);

    // Number of leading arguments the command at index must have and that must not be empty (0..6);
    // -1 for an index outside 0..count()-1.
    static int requiredArguments(int index);

    // Name of the command at index; empty outside 0..count()-1.
    static QString name(int index);

    // All command names in table order (count() entries).
    static const QStringList &names();

    // Captions of the insert menu entries for the command at index: none for commands the insert
    // menu does not offer, one for most, one per event (plus the game-command entry) for "on" and
    // one per special effect for "starteffect". Empty outside 0..count()-1.
    static QStringList insertMenuForms(int index);

    // The built-in event names in their fixed order ("mouse" ... "cantall"). Game commands defined
    // by the author are events as well; they are not part of this list.
    static const QStringList &eventNames();

    // The words the editor shows as keywords, in lower case: the command names in table order
    // except realreturn, showinv, showinventory, enablemenu, particleview, movetext and sqrt; then
    // "leftactions"; then the negated form of every "if_" command. 158 words.
    static const QStringList &keywords();

    // True when word (ASCII case-insensitive, no ifnot rewrite) is one of keywords().
    static bool isKeyword(QStringView word);
};

} // namespace mb
