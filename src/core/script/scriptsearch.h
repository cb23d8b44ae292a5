#pragma once

#include "project/projectmodel.h"
#include "script/scriptlocation.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace mb {

class MessageCatalog;
class ProjectSession;

// Finding and replacing text in scripts: in the open script of the editor and in every script of
// a project. Matching works line by line (a match never spans a line end). Without match case,
// letters compare ASCII case-insensitively, as names do everywhere in the project; a whole word
// is a match with a word delimiter of the highlighter (or the line's edge) on both sides.
class TextMatcher
{
public:
    struct Options
    {
        bool matchCase = false;
        bool wholeWord = false;
    };

    TextMatcher(QString needle, Options options);

    const QString &needle() const { return m_needle; }
    Options options() const { return m_options; }
    bool isEmpty() const { return m_needle.isEmpty(); }

    // Start of the first match at or after `from` in the line, or -1. An empty needle matches
    // nothing.
    qsizetype indexIn(QStringView line, qsizetype from = 0) const;
    // Start of the last match that ends at or before `to` (the whole line when to < 0), or -1.
    qsizetype lastIndexIn(QStringView line, qsizetype to = -1) const;
    // Whether the text is exactly one match (the editor's "replace" checks the selection).
    bool matchesExactly(QStringView text) const;
    // Number of matches in the line, counted left to right without overlap.
    int count(QStringView line) const;
    // The line with every match replaced, left to right without overlap; `replaced` receives the
    // number of matches. Replacements are not searched again.
    QString replaceAll(QStringView line, QStringView replacement, int *replaced = nullptr) const;

private:
    bool matchesAt(QStringView line, qsizetype at) const;
    QString m_needle;
    QString m_folded; // the needle ASCII lower-cased (without match case)
    Options m_options;
};

// A place in a script: line from 0, index of the first character in that line from 0.
struct TextPosition
{
    int line = 0;
    int index = 0;
    bool operator==(const TextPosition &) const = default;
};

// The next match in a script after (or, backwards, before) the position, wrapping round the end;
// nullopt when the script has no match. Forward, a match starting exactly at `from` counts; so the
// caller passes the end of the current selection to go on. Backward, a match must end at or
// before `from`.
std::optional<TextPosition> findInScript(const QStringList &lines, const TextMatcher &matcher,
                                         TextPosition from, bool backward = false);

// One line of a script that holds at least one match.
struct ScriptHit
{
    ScriptLocation location;
    int line = 0;    // from 1; frame lines are line 1
    QString text;    // the whole line
    int matches = 0; // matches in the line
};

struct ScriptSearchResult
{
    QList<ScriptHit> hits; // in the order of forEachScript(), line by line
    int matchCount = 0;
    int scriptCount = 0; // scripts with at least one match
};

// Searches every script of the project (forEachScript(): cutscenes, items, rooms, walkmap cells,
// object and character placements, frame lines).
ScriptSearchResult findInProject(const ProjectModel &project, const TextMatcher &matcher);

// One script changed by a replace, with its lines before and after, so that the change can be
// undone and redone. A frame line is a script of one line.
struct ScriptChange
{
    ScriptLocation location;
    QStringList before, after;
};

// Plans replacing every match in every script of the project; nothing is changed yet. The result
// counts the matches replaced and the scripts they are in.
struct ProjectReplace
{
    QList<ScriptChange> changes;
    int matchCount = 0;
};
ProjectReplace planReplaceInProject(const ProjectModel &project, const TextMatcher &matcher,
                                    QStringView replacement);

// Puts the `after` (or, with undo, the `before`) lines of every change into the project. A change
// whose script is gone is skipped.
void applyScriptChanges(ProjectModel &project, const QList<ScriptChange> &changes, bool undo = false);
// The same as one edit of the session: one undo step "Replace in scripts".
void applyScriptChanges(ProjectSession &session, const QList<ScriptChange> &changes);

// "N hits in M scripts" in the catalog's language.
QString searchSummary(int hits, int scripts, const MessageCatalog &catalog);

} // namespace mb
