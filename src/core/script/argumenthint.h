#pragma once

#include <QString>
#include <QStringView>

namespace mb {

class MessageCatalog;

// What the script editor's hint line and choice lists offer for one argument of a command.
struct ArgumentHint
{
    static constexpr int NoList = -1;

    // Hint text in the catalog's current language; empty when nothing is known about the argument.
    QString text;
    // Index (0..17) of the name list whose entries are offered as choices, or NoList.
    int nameList = NoList;

    bool hasList() const { return nameList != NoList; }
    bool operator==(const ArgumentHint &) const = default;
};

// The hint for the argument at position (1 = first argument) of command; position 0 means the
// caret stands in the command name itself, which offers the command names whatever command says.
//
// command is compared ASCII case-insensitively after the negation rewrite of
// CommandTable::canonicalName(), so "IFNOT_Bool" gets the hints of "if_bool". Blanks are
// significant. The command need not be in the command table; a command or position without a
// rule, and a negative position, give an empty hint and no list. Texts taken from the catalog use
// its current language.
ArgumentHint argumentHint(QStringView command, int position, const MessageCatalog &catalog);

} // namespace mb
