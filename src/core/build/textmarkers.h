#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

namespace mb {

struct LangLists;

// The index markers that make game puts in front of the translatable texts of the scripts in the
// game's copies of the companion files (game.003 with ";" between arguments, game.002 with the
// escaped ";" U+00AF), so that the runtime finds a text's translation by its index in the
// LanguageLists.
//
// A marker is "|#" + the zero-based index of the text in its origin list as five digits + "#|".
// Commands and where their markers go (arguments counted from 1 inside the parentheses):
//   speech(a;TEXT;VOICE)        text list speech,    voice list voicespeech
//   offspeech(a;b;TEXT;VOICE)   text list offspeech, voice list voiceoffspeech
//   showinfo(TEXT)              showinfo
//   textout(a;TEXT), setstring(a;TEXT)
//   row(k;TEXT)                 row, only when argument k is exactly one character
// The text marker goes directly after the separator (or for showinfo the "(") in front of the
// text argument, the voice marker directly after the one in front of the voice argument.
//
// Command names are matched ASCII case-insensitively at every position of every line:
// "speech" not followed by "volume" and not preceded by "off"; "row" only at the start of a line
// or after a blank. From the end of the name the call is gathered up to its first ")", going on
// over the following lines; its arguments are cut at the file's separator, trimmed of blanks and
// of one leading and one trailing double quote. A text gets a marker when it is not empty and
// equals (exactly) an entry of its list, at the index of the first such entry. A voice argument
// is lower-cased; it gets a marker unless it is empty or "dontwait" or not in its voice list.
//
// Every command of the text as it was read gets its markers: positions are found on the
// unchanged lines and the markers are put in afterwards, so a marker never hides a later command.
class TextMarkers
{
public:
    static constexpr int MarkerLength = 9;
    // The highest index a marker can carry.
    static constexpr int MaxIndex = 99999;

    // The marker for index n; empty for an index outside 0..MaxIndex, which then gets no marker
    // (the runtime shows the text as written).
    static QString marker(int index);

    // A text (or voice entry) found in its list past MaxIndex, which therefore got no marker.
    struct Overflow
    {
        QString text;
        int list = -1; // LangLists index
        int index = -1;
        bool happened() const { return index >= 0; }
    };

    // The lines with markers inserted. `separator` is ';' for game.003 and U+00AF for game.002;
    // the lists are the origin lists of the project after the new-text marks were removed. The
    // first text that can get no marker because its index is past MaxIndex goes to *overflow
    // (when given and not set yet).
    static QStringList apply(const QStringList &lines, QChar separator, const LangLists &origin,
                             Overflow *overflow = nullptr);

    // The same on a whole file: Windows-1252 text whose lines end in CR LF (a lone LF or CR ends
    // a line too). The result has CR LF after every line, as the project writer makes it.
    static QByteArray applyToFile(const QByteArray &file, QChar separator, const LangLists &origin,
                                  Overflow *overflow = nullptr);

    // Splits a file into its lines as applyToFile reads them, and joins them back.
    static QStringList splitLines(const QByteArray &file);
    static QByteArray joinLines(const QStringList &lines);
};

} // namespace mb
