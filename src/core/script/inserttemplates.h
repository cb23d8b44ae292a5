#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace mb {

class MessageCatalog;

// The script editor's insert menu and the edits its entries, the "{ }" button and the presets
// make. Lines are counted from 0, columns from 1 (a column may lie past the end of its line: the
// editor allows the caret in virtual space).
namespace inserts {

// One entry of the insert menu.
struct Entry
{
    QString caption; // what the menu shows: the command's insert-menu form
    QString text;    // what is inserted
    int caret = 0;   // characters of `text` before the caret once it is inserted
};

// One command submenu: its caption and its entries, in sections between separators.
struct Menu
{
    QString caption;
    QList<QList<Entry>> sections;
};

// The command submenus in menu order ("On", "If", "Set", "Sound / Video", "Object", "Room",
// "Character", "Item", "Special FX", "Text", "Scene / Game", "Save/Load Menu", "Particle"), with the
// captions of Set, Object, Room, Character and Item in the catalog's language. The presets
// submenu, which comes first, is built by the editor.
QList<Menu> menus(const MessageCatalog &catalog);

// Where the caret goes in an inserted text: right after the "(" by default; at the end for the
// event entries of the On submenu (`eventEntry`), for commands without arguments and for the
// effects without a value; before the ")" of "starteffect (classicdark)"; for effects with values
// right after the first "; ", except "starteffect (whiteflash ; ; )", right after its first ";".
int caretOffset(QStringView text, bool eventEntry = false);

} // namespace inserts

// A change of whole lines of a script and where the caret ends.
struct LineEdit
{
    int line = 0;    // first line replaced or inserted at
    int removed = 0; // lines replaced (0: the lines are inserted, pushing line `line` down)
    QStringList lines;
    int caretLine = 0;
    int caretColumn = 1;

    // The script after the edit (for tests and for editors that work on lines). A line beyond the
    // end is appended.
    QStringList applyTo(QStringList script) const;
    bool operator==(const LineEdit &) const = default;
};

// "{ }": n = caret column; "{" and "}" lines with n blanks before them and a line of n blanks
// between, inserted at the caret's line; the caret goes to column n + 1 of the middle line.
LineEdit insertBraces(int caretLine, int caretColumn);

// An insert menu entry on a line of its own at the caret's column: (column - 1) blanks and the
// text. When the caret's line holds anything but blanks, the new line is inserted above it;
// otherwise it replaces the caret's line. The caret goes to the entry's caret place.
LineEdit insertEntry(QStringView caretLineText, int caretLine, int caretColumn, const inserts::Entry &entry);

// A preset: its lines inserted at the caret's line, pushing it down; the caret ends at the end of
// the last inserted line (an empty preset inserts nothing and keeps the caret).
LineEdit insertPreset(int caretLine, int caretColumn, const QStringList &preset);

} // namespace mb
