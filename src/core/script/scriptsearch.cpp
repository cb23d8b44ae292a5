#include "script/scriptsearch.h"

#include "project/messagecatalog.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "script/scripthighlighter.h"
#include "script/scripttexts.h"

namespace mb {

namespace {

inline char16_t fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

} // namespace

TextMatcher::TextMatcher(QString needle, Options options)
    : m_needle(std::move(needle)), m_options(options)
{
    m_folded = m_needle;
    if (!m_options.matchCase)
        for (QChar &c : m_folded)
            c = QChar(fold(c.unicode()));
}

bool TextMatcher::matchesAt(QStringView line, qsizetype at) const
{
    const qsizetype n = m_folded.size();
    if (at < 0 || at + n > line.size())
        return false;
    const char16_t *s = reinterpret_cast<const char16_t *>(line.data()) + at;
    const char16_t *p = reinterpret_cast<const char16_t *>(m_folded.constData());
    if (m_options.matchCase) {
        for (qsizetype i = 0; i < n; ++i)
            if (s[i] != p[i])
                return false;
    } else {
        for (qsizetype i = 0; i < n; ++i)
            if (fold(s[i]) != p[i])
                return false;
    }
    if (m_options.wholeWord) {
        if (at > 0 && !ScriptHighlighter::isWordDelimiter(line[at - 1]))
            return false;
        if (at + n < line.size() && !ScriptHighlighter::isWordDelimiter(line[at + n]))
            return false;
    }
    return true;
}

qsizetype TextMatcher::indexIn(QStringView line, qsizetype from) const
{
    const qsizetype n = m_folded.size();
    if (n == 0)
        return -1;
    from = std::max<qsizetype>(from, 0);
    const qsizetype last = line.size() - n;
    const char16_t first = m_folded.front().unicode();
    if (m_options.matchCase || first < u'a' || first > u'z') {
        // The first character has one form: the library's vectorised search finds candidates.
        for (qsizetype at = line.indexOf(QChar(first), from); at >= 0 && at <= last;
             at = line.indexOf(QChar(first), at + 1))
            if (matchesAt(line, at))
                return at;
        return -1;
    }
    // A letter in either case: setting bit 5 turns "A".."Z" into "a".."z" (and a few other
    // characters into letters, which matchesAt() then turns down).
    const char16_t *s = reinterpret_cast<const char16_t *>(line.data());
    for (qsizetype at = from; at <= last; ++at)
        if (char16_t(s[at] | 0x20) == first && matchesAt(line, at))
            return at;
    return -1;
}

qsizetype TextMatcher::lastIndexIn(QStringView line, qsizetype to) const
{
    const qsizetype n = m_folded.size();
    if (n == 0)
        return -1;
    if (to < 0 || to > line.size())
        to = line.size();
    for (qsizetype at = to - n; at >= 0; --at)
        if (matchesAt(line, at))
            return at;
    return -1;
}

bool TextMatcher::matchesExactly(QStringView text) const
{
    return !isEmpty() && text.size() == m_folded.size() && matchesAt(text, 0);
}

int TextMatcher::count(QStringView line) const
{
    int n = 0;
    for (qsizetype at = indexIn(line); at >= 0; at = indexIn(line, at + m_folded.size()))
        ++n;
    return n;
}

QString TextMatcher::replaceAll(QStringView line, QStringView replacement, int *replaced) const
{
    QString result;
    int n = 0;
    qsizetype done = 0;
    for (qsizetype at = indexIn(line); at >= 0; at = indexIn(line, done)) {
        result.append(line.mid(done, at - done));
        result.append(replacement);
        done = at + m_folded.size();
        ++n;
    }
    if (replaced)
        *replaced = n;
    if (n == 0)
        return line.toString();
    result.append(line.mid(done));
    return result;
}

std::optional<TextPosition> findInScript(const QStringList &lines, const TextMatcher &matcher,
                                         TextPosition from, bool backward)
{
    const int count = int(lines.size());
    if (count == 0 || matcher.isEmpty())
        return std::nullopt;
    const int start = std::clamp(from.line, 0, count - 1);
    if (!backward) {
        // The rest of the start line, the lines below, then round from the top to the start line.
        for (int step = 0; step <= count; ++step) {
            const int l = (start + step) % count;
            const qsizetype at = matcher.indexIn(lines[l], step == 0 ? from.index : 0);
            if (at >= 0)
                return TextPosition{l, int(at)};
        }
        return std::nullopt;
    }
    for (int step = 0; step <= count; ++step) {
        const int l = ((start - step) % count + count) % count;
        const qsizetype at = matcher.lastIndexIn(lines[l], step == 0 ? from.index : -1);
        if (at >= 0)
            return TextPosition{l, int(at)};
    }
    return std::nullopt;
}

ScriptSearchResult findInProject(const ProjectModel &project, const TextMatcher &matcher)
{
    ScriptSearchResult result;
    if (matcher.isEmpty())
        return result;
    const auto searchLines = [&](const ScriptLocation &where, const QString *lines, qsizetype count) {
        bool any = false;
        for (qsizetype i = 0; i < count; ++i) {
            if (matcher.indexIn(lines[i]) < 0)
                continue;
            const int matches = matcher.count(lines[i]);
            result.hits.append({where, int(i + 1), lines[i], matches});
            result.matchCount += matches;
            any = true;
        }
        result.scriptCount += any ? 1 : 0;
        return false;
    };
    forEachScript(
        project,
        [&](const ScriptLocation &where, const Script &script) {
            return searchLines(where, script.constData(), script.size());
        },
        [&](const ScriptLocation &where, const QString &line) { return searchLines(where, &line, 1); });
    return result;
}

ProjectReplace planReplaceInProject(const ProjectModel &project, const TextMatcher &matcher,
                                    QStringView replacement)
{
    ProjectReplace plan;
    if (matcher.isEmpty())
        return plan;
    const auto replaceLines = [&](const ScriptLocation &where, const QStringList &before) {
        QStringList after;
        int matches = 0;
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (matcher.indexIn(before[i]) < 0)
                continue;
            if (after.isEmpty())
                after = before;
            int n = 0;
            after[i] = matcher.replaceAll(before[i], replacement, &n);
            matches += n;
        }
        if (matches > 0) {
            plan.changes.append({where, before, after});
            plan.matchCount += matches;
        }
        return false;
    };
    forEachScript(
        project, replaceLines,
        [&](const ScriptLocation &where, const QString &line) { return replaceLines(where, QStringList{line}); });
    return plan;
}

void applyScriptChanges(ProjectModel &project, const QList<ScriptChange> &changes, bool undo)
{
    for (const ScriptChange &change : changes) {
        const QStringList &lines = undo ? change.before : change.after;
        if (change.location.isFrameLine()) {
            if (QString *line = frameLineAt(project, change.location))
                *line = lines.value(0);
        } else if (Script *script = scriptAt(project, change.location)) {
            *script = lines;
        }
    }
}

void applyScriptChanges(ProjectSession &session, const QList<ScriptChange> &changes)
{
    // Scripts live in every element table and in the character placements.
    const ModelTables scripts = table::Characters | table::Scripts | table::Items | table::Objects | table::Rooms
                                | table::RoomCharacters;
    session.edit(uiText(UiText::ReplaceInScripts, session.catalog().language()), scripts,
                 [&](ProjectEdit &e) { applyScriptChanges(e.model(), changes); });
}

QString searchSummary(int hits, int scripts, const MessageCatalog &catalog)
{
    return scriptText(ScriptText::SearchSummary, catalog).arg(hits).arg(scripts);
}

} // namespace mb
