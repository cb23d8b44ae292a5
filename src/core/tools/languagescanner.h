#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace mb {

class ProjectModel;

// One call of a text or sound command found in a script.
struct ScriptCall
{
    enum Kind {
        Speech, Offspeech, Showinfo, Textout, Setstring, Row, Playsound, Loopsound, Playmusic,
        KindCount
    };
    Kind kind = Speech;
    int line = 0;      // 0-based index of the line in which the command name stands
    QString arguments; // the gathered text between the first "(" and the next ")"

    // Argument k (from 1): the k-th ";"-piece, trimmed of blanks, then of one leading and one
    // trailing double quote. Empty when the call has fewer arguments.
    QString argument(int k) const;
};

// A player-visible text of a call, in the form the LanguageLists keep it.
struct TextCall
{
    int list = 0;       // LangLists index of the text list: 0 speech, 2 offspeech, 4 .. 7
    int voiceList = -1; // LangLists index of the parallel voice list, -1 for kinds without
    QString text;       // as written in the script (trimmed, outer quotes removed)
    QString voice;      // voice entry: the voice argument lower-cased; " " when there is none
    QString character;  // speech: argument 1; empty otherwise
    int line = 0;
};

// Finds the calls of the text and sound commands in scripts the way the game build finds the
// texts it marks, so that the lists built from these calls line up with the build's markers.
//
// Every position of every line is tried (command names ASCII case-insensitive):
// "speech" (not "speechvolume", not preceded by "off"), "offspeech", "showinfo", "textout",
// "setstring", "row" (only at the start of a line or after a blank), "playsound", "loopsound",
// "playmusic". From the end of the name, characters are gathered up to and including the
// next ")", continuing on the following lines of the same script; at the end of the script's
// last line the call ends without one. Positions inside a gathered call are tried as well.
class LanguageScanner
{
public:
    using Kinds = unsigned; // bit (1 << ScriptCall::Kind)
    static constexpr Kinds TextKinds = (1u << ScriptCall::Playsound) - 1;
    static constexpr Kinds kindBit(ScriptCall::Kind k) { return 1u << k; }

    // The calls of the given kinds in the lines, in the order their names stand.
    static QList<ScriptCall> scan(const QStringList &lines, Kinds kinds);

    // Calls `visit` with every script of the project, in this order: the cutscenes, the
    // character placements, the items, the rooms, the object placements of every room (room by
    // room), the walkmap cell scripts of every room (room by room, columns 1-192 and within a
    // column rows 1-96, cells whose has-script flag is set), and last the frame script lines of
    // all items, objects and character definitions as one list (empty lines left out). Only
    // used slots are visited. The list passed stays valid only during the call.
    static void forEachScript(const ProjectModel &model,
                              const std::function<void(const QStringList &lines)> &visit);

    // The text of a speech, offspeech, showinfo, textout, setstring or row call, or nothing:
    // for other kinds, for a row whose argument 1 is not exactly one character, and for calls
    // whose text is empty.
    static std::optional<TextCall> textCall(const ScriptCall &call);

    // The voice entry of a voice argument: lower-cased; " " for an empty one or "dontwait".
    static QString voiceEntry(const QString &argument);
};

} // namespace mb
