#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace mb {

class MessageCatalog;
struct NameLists;

// What the script editor's hint panel knows about the caret: which command and which of its
// arguments the caret stands in, and the text typed so far.
struct CaretContext
{
    // Text of the argument before the caret, from the last ";" or "(" on, without leading blanks
    // (one blank appended when the caret stands past the end of its line). Empty at the start of
    // a statement, where the typed word is the command instead.
    QString fragment;
    // Name of the command before the last "(", blanks removed; or, with no "(" before the caret,
    // the word typed at the start of the statement.
    QString command;
    // Characters after the caret up to the next ")", "(", ";" or line end.
    QString wordRest;
    // 0 while the caret is in the command name, 1 in the first argument, ...
    int position = 0;
    // True when the caret stood beyond the end of its line (virtual space).
    bool beyondLineEnd = false;

    // The text the choice lists are filtered by: the command for position 0, else the fragment.
    QString filter() const { return position == 0 ? command : fragment; }

    bool operator==(const CaretContext &) const = default;
};

// Analyses the caret in a script. `text` is the editor's whole text (lines separated by LF, CR LF
// or CR), `position` the number of characters before the caret counting virtual space past a
// line end as characters, `column` the caret's 1-based column (virtual space included) and
// `lineLength` the length of the caret's line without its line break.
//
// Walks backwards from the caret to the nearest ")", "{", "}" or the start: until a "(" is met,
// the characters after the last ";" form the fragment and each ";" counts one argument; the "("
// counts one more and the characters before it (line breaks and parentheses left out) form the
// command. Nothing here depends on the command table; a position past the text is clamped.
CaretContext analyzeCaret(QStringView text, int position, int column, int lineLength);

// The entries of one name list that the two choice lists offer.
struct ChoiceLists
{
    QStringList left, right;
    bool operator==(const ChoiceLists &) const = default;
};

// Picks the choices out of `entries` (a sorted name list).
// - A non-empty filter: the first entry beginning with it (ASCII case-insensitively), then those
//   of the next three entries that begin with it, on the left; those of the four entries after
//   them that begin with it on the right.
// - An empty filter and more than 7 entries (n, m = (n - 1) / 2): entries 0, 1, 2, m on the left,
//   m + 1, m + 2, n - 2, n - 1 on the right: a glimpse of the start, middle and end.
// - An empty filter and at most 7 entries: the first three on the left, the rest on the right.
ChoiceLists choiceLists(const QStringList &entries, QStringView filter);

// What the hint panel shows for a caret: the argument hint of the command at the caret's position
// and, when that argument takes a name list, the choices that match the filter.
struct CaretHint
{
    QString text;
    ChoiceLists lists;
    // The argument takes a name list that has entries: the choice lists are enabled (they may
    // still be empty when nothing matches the filter).
    bool listsEnabled = false;
    bool operator==(const CaretHint &) const = default;
};

// The hint for an analysed caret; a context without command gives an empty hint.
CaretHint caretHint(const CaretContext &context, const NameLists &names, const MessageCatalog &catalog);

// A caret line after a choice was taken.
struct ChosenLine
{
    QString line;
    int column = 0; // 1-based caret column
    bool operator==(const ChosenLine &) const = default;
};

// Replaces the filter before the caret and the word rest after it by `entry`: the line becomes its
// first (column - filter length - 1) characters (padded with blanks when the caret stood past the
// line end), the entry, and the line from character (column + word rest length) on; the caret
// stands right after the entry.
ChosenLine applyChoice(QStringView line, int column, int filterLength, int wordRestLength,
                       QStringView entry);

} // namespace mb
