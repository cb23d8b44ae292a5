#include "script/scriptchecker.h"

#include "project/messagecatalog.h"
#include "script/commandtable.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mb {

namespace {

// Message numbers of the catalog.
enum Msg {
    MsgUnknownCommand = 105,
    MsgNotEnoughEntries = 106,
    MsgBraces = 107,
    MsgCutscene = 108,
    MsgItem = 109,
    MsgRoom = 110,
    MsgWalkmap = 111,
    MsgRoomObject = 112,
    MsgCharacter = 113,
    MsgParentheses = 438,
    MsgLine = 545,
    MsgBrackets = 559,
};

constexpr QChar kQuote = u'"';

// Blanks as the text helpers trim them: space and every control character.
bool isBlank(QChar c) { return c.unicode() <= 0x20; }

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// True when the first `required` ";"-pieces of the argument text are all non-empty after
// trimming blanks and one leading and one trailing double quote.
bool requiredArgumentsGiven(QStringView arguments, int required)
{
    qsizetype start = 0;
    for (int k = 1; k <= required; ++k) {
        if (start > arguments.size())
            return false; // fewer pieces than required
        qsizetype end = arguments.indexOf(u';', start);
        if (end < 0)
            end = arguments.size();
        QStringView piece = trimmed(arguments.mid(start, end - start));
        if (!piece.isEmpty() && piece.front() == kQuote)
            piece = piece.mid(1);
        if (!piece.isEmpty() && piece.back() == kQuote)
            piece.chop(1);
        if (piece.isEmpty())
            return false;
        start = end + 1;
    }
    return true;
}

// Required argument count by command name, looked up without building a string per call: a big
// project has a few hundred thousand calls. The names are those of CommandTable; the key of a
// call is formed as CommandTable::canonicalName() does.
class RequiredArguments
{
public:
    RequiredArguments()
    {
        const QStringList &names = CommandTable::names();
        m_names.reserve(names.size());
        for (const QString &n : names)
            m_names.emplace_back(reinterpret_cast<const char16_t *>(n.utf16()), n.size());
        for (int i = 0; i < int(m_names.size()); ++i) {
            m_required.emplace(m_names[i], CommandTable::requiredArguments(i));
            m_longest = std::max(m_longest, m_names[i].size());
        }
    }

    // Required count of the command, or -1 when the name is not a command.
    int find(QStringView name) const
    {
        char16_t key[MaxKey];
        qsizetype n = name.size();
        if (n > MaxKey)
            return -1;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = name[i].unicode();
            key[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        }
        std::u16string_view view(key, size_t(n));
        if (view.starts_with(u"ifnot")) {
            // "ifnot_x" -> "if_x": drop the "not" and keep "if" in front.
            key[3] = u'i';
            key[4] = u'f';
            view = std::u16string_view(key + 3, size_t(n - 3));
        }
        if (view.size() > m_longest)
            return -1;
        const auto it = m_required.find(view);
        return it == m_required.end() ? -1 : it->second;
    }

private:
    static constexpr qsizetype MaxKey = 64;
    std::vector<std::u16string> m_names; // owns the keys of m_required
    std::unordered_map<std::u16string_view, int> m_required;
    size_t m_longest = 0;
};

const RequiredArguments &requiredArguments()
{
    static const RequiredArguments table;
    return table;
}

// Checks one call: the name before the first "(" and the required arguments. Without "(" the
// whole text is the name and there are no arguments.
std::optional<ScriptProblem> checkCall(QStringView call, int line)
{
    const qsizetype open = call.indexOf(u'(');
    const QStringView name = trimmed(open < 0 ? call : call.left(open));
    const int required = requiredArguments().find(name);
    if (required < 0)
        return ScriptProblem{ScriptProblem::UnknownCommand, line, CommandTable::canonicalName(name), {}};
    if (required == 0)
        return std::nullopt;
    const QStringView arguments =
        open < 0 ? QStringView() : call.mid(open + 1, std::max<qsizetype>(0, call.size() - open - 2));
    if (requiredArgumentsGiven(arguments, required))
        return std::nullopt;
    return ScriptProblem{ScriptProblem::NotEnoughEntries, line, CommandTable::canonicalName(name),
                         arguments.toString()};
}

std::optional<ScriptProblem> checkBalance(const Script &script)
{
    int braces = 0, parentheses = 0, brackets = 0;
    for (const QString &line : script) {
        for (const QChar ch : line) {
            switch (ch.unicode()) {
            case u'{': ++braces; break;
            case u'}': --braces; break;
            case u'(': ++parentheses; break;
            case u')': --parentheses; break;
            case u'[': ++brackets; break;
            case u']': --brackets; break;
            default: break;
            }
        }
    }
    if (braces != 0)
        return ScriptProblem{ScriptProblem::UnbalancedBraces, 0, {}, {}};
    if (parentheses != 0)
        return ScriptProblem{ScriptProblem::UnbalancedParentheses, 0, {}, {}};
    if (brackets != 0)
        return ScriptProblem{ScriptProblem::UnbalancedBrackets, 0, {}, {}};
    return std::nullopt;
}

// Walks the script as one stream of characters (line ends add nothing), so a call may span lines
// and a comment may hide several lines. Calls are checked as they close; the first problem ends
// the walk.
std::optional<ScriptProblem> checkCalls(const Script &script)
{
    // Text of a call begun on an earlier line, or before a brace or comment of this line. Most
    // calls sit on one line between such breaks and are checked straight from the line.
    QString carried;
    bool inComment = false;
    for (qsizetype li = 0; li < script.size(); ++li) {
        const QStringView line = script[li];
        const qsizetype n = line.size();
        qsizetype runStart = 0; // start of the text not yet carried
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = line[i].unicode();
            if (inComment) {
                // "(*)" opens and closes: the "*" after "(" is inside the comment already.
                if (c == u')' && i > 0 && line[i - 1] == u'*') {
                    inComment = false;
                    runStart = i + 1;
                }
                continue;
            }
            if (c == u'(' && i + 1 < n && line[i + 1] == u'*') {
                carried.append(line.mid(runStart, i - runStart));
                inComment = true;
                continue;
            }
            if (c == u'{' || c == u'}') {
                carried.append(line.mid(runStart, i - runStart));
                runStart = i + 1;
                continue;
            }
            if (c == u')') {
                const QStringView run = line.mid(runStart, i + 1 - runStart);
                QStringView call = run;
                if (!carried.isEmpty()) {
                    carried.append(run);
                    call = carried;
                }
                if (auto problem = checkCall(call, int(li + 1)))
                    return problem;
                carried.truncate(0);
                runStart = i + 1;
            }
        }
        if (!inComment)
            carried.append(line.mid(runStart));
    }
    return std::nullopt;
}

QString kindPrefix(const MessageCatalog &catalog, ScriptMistake::Source source)
{
    switch (source) {
    case ScriptMistake::Cutscene: return catalog.msg(MsgCutscene);
    case ScriptMistake::Item: return catalog.msg(MsgItem);
    case ScriptMistake::Room: return catalog.msg(MsgRoom);
    case ScriptMistake::WalkmapField: return catalog.msg(MsgWalkmap);
    case ScriptMistake::RoomObject: return catalog.msg(MsgRoomObject);
    case ScriptMistake::RoomCharacter: return catalog.msg(MsgCharacter);
    // Frame lines of every owner are announced with the item prefix.
    case ScriptMistake::ItemFrame:
    case ScriptMistake::ObjectFrame:
    case ScriptMistake::CharacterFrame: return catalog.msg(MsgItem);
    }
    return {};
}

// Collects the context of a mistake while the project is walked and builds its text.
class Walk
{
public:
    Walk(const ScriptChecker &checker, const MessageCatalog &catalog)
        : m_checker(checker), m_catalog(catalog)
    {
    }

    std::optional<ScriptMistake> script(ScriptMistake base, const Script &script, const QString &title)
    {
        std::optional<ScriptProblem> problem = ScriptChecker::checkScript(script);
        if (!problem)
            return std::nullopt;
        QString text = kindPrefix(m_catalog, base.source) + title;
        switch (problem->kind) {
        case ScriptProblem::UnbalancedBraces: text += m_catalog.msg(MsgBraces); break;
        case ScriptProblem::UnbalancedParentheses: text += m_catalog.msg(MsgParentheses); break;
        case ScriptProblem::UnbalancedBrackets: text += m_catalog.msg(MsgBrackets); break;
        case ScriptProblem::UnknownCommand:
        case ScriptProblem::NotEnoughEntries:
            text += kQuote + QStringLiteral(" : ") + m_checker.commandMistakeText(*problem, true);
            break;
        }
        base.problem = std::move(*problem);
        base.text = std::move(text);
        return base;
    }

    std::optional<ScriptMistake> frameLine(ScriptMistake base, const QString &line)
    {
        std::optional<ScriptProblem> problem = ScriptChecker::checkFrameLine(line);
        if (!problem)
            return std::nullopt;
        base.text = kindPrefix(m_catalog, base.source) + base.name + QStringLiteral(" (Frame ")
                    + QString::number(base.state) + u'/' + QString::number(base.frame) + u')' + u' '
                    + kQuote + QStringLiteral(" : ") + m_checker.commandMistakeText(*problem, false);
        base.problem = std::move(*problem);
        return base;
    }

    // Frame lines of one owner, state by state, frame by frame.
    template <typename Frames>
    std::optional<ScriptMistake> frames(ScriptMistake::Source source, int slot, const QString &owner,
                                        const Frames &states)
    {
        if (!states.allocated()) // no frame was ever written
            return std::nullopt;
        for (int s = 0; s < int(states.size()); ++s) {
            for (int f = 0; f < int(states[s].size()); ++f) {
                const QString &line = states[s][f].script;
                if (line.isEmpty())
                    continue;
                ScriptMistake base;
                base.source = source;
                base.slot = slot;
                base.name = owner;
                base.state = s + 1;
                base.frame = f + 1;
                if (auto m = frameLine(std::move(base), line))
                    return m;
            }
        }
        return std::nullopt;
    }

private:
    const ScriptChecker &m_checker;
    const MessageCatalog &m_catalog;
};

ScriptMistake at(ScriptMistake::Source source, int slot, const QString &name)
{
    ScriptMistake m;
    m.source = source;
    m.slot = slot;
    m.name = name;
    return m;
}

} // namespace

std::optional<ScriptProblem> ScriptChecker::checkScript(const Script &script)
{
    if (auto problem = checkBalance(script))
        return problem;
    return checkCalls(script);
}

std::optional<ScriptProblem> ScriptChecker::checkFrameLine(QStringView line)
{
    // Blanks around the line are invisible in the frame editor: a line of blanks counts as empty,
    // and trailing blanks must not stand in for the ")" that the argument text leaves out.
    line = trimmed(line);
    if (line.isEmpty())
        return std::nullopt;
    return checkCall(line, 0);
}

QString ScriptChecker::commandMistakeText(const ScriptProblem &problem, bool withLine) const
{
    QString text;
    switch (problem.kind) {
    case ScriptProblem::UnknownCommand:
        text = m_catalog.msg(MsgUnknownCommand) + u' ' + problem.command;
        break;
    case ScriptProblem::NotEnoughEntries:
        text = m_catalog.msg(MsgNotEnoughEntries) + u' ' + problem.command + QStringLiteral(" (")
               + problem.arguments + u')';
        break;
    default:
        return {};
    }
    if (withLine)
        text += QStringLiteral(" (") + m_catalog.msg(MsgLine) + u' ' + QString::number(problem.line) + u')';
    return text;
}

std::optional<ScriptMistake> ScriptChecker::check(const ProjectModel &project) const
{
    Walk walk(*this, m_catalog);
    using S = ScriptMistake;

    for (int i = 1; i <= project.cutscenes.size(); ++i) {
        const Rcutscene &c = project.cutscenes[i];
        if (!c.name.isEmpty())
            if (auto m = walk.script(at(S::Cutscene, i, c.name), c.script, c.name))
                return m;
    }
    for (int i = 1; i <= project.items.size(); ++i) {
        const RItem &item = project.items[i];
        if (!item.name.isEmpty())
            if (auto m = walk.script(at(S::Item, i, item.name), item.script, item.name))
                return m;
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        const Rroom &room = project.rooms[i];
        if (!room.name.isEmpty())
            if (auto m = walk.script(at(S::Room, i, room.name), room.script, room.name))
                return m;
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        const Rroom &room = project.rooms[i];
        if (room.name.isEmpty())
            continue;
        // The scripts are keyed by cell index, which runs column by column, row by row.
        for (const auto &[index, script] : room.walkmap.scripts()) {
            const int column = index / Walkmap::Rows + 1, row = index % Walkmap::Rows + 1;
            if (!room.walkmap.hasScript(column, row))
                continue;
            S base = at(S::WalkmapField, i, room.name);
            base.column = column;
            base.row = row;
            const QString title =
                room.name + u' ' + QString::number(column) + u'/' + QString::number(row);
            if (auto m = walk.script(std::move(base), script, title))
                return m;
        }
    }
    for (int i = 1; i <= project.rooms.size(); ++i) {
        const Rroom &room = project.rooms[i];
        if (room.name.isEmpty())
            continue;
        for (int p = 0; p < int(room.objects.size()); ++p) {
            const Rroomobj &o = room.objects[p];
            if (o.instanceName.isEmpty())
                continue;
            S base = at(S::RoomObject, i, room.name);
            base.placement = p + 1;
            base.instanceName = o.instanceName;
            if (auto m = walk.script(std::move(base), o.script, room.name + QStringLiteral(" / ") + o.instanceName))
                return m;
        }
    }
    for (int i = 1; i <= project.roomChars.size(); ++i) {
        const Rroomchar &rc = project.roomChars[i];
        if (!rc.instanceName.isEmpty())
            if (auto m = walk.script(at(S::RoomCharacter, i, rc.instanceName), rc.script, rc.instanceName))
                return m;
    }
    for (int i = 1; i <= project.items.size(); ++i) {
        const RItem &item = project.items[i];
        if (!item.name.isEmpty())
            if (auto m = walk.frames(S::ItemFrame, i, item.name, item.frames))
                return m;
    }
    for (int i = 1; i <= project.objects.size(); ++i) {
        const Robj &o = project.objects[i];
        if (!o.name.isEmpty())
            if (auto m = walk.frames(S::ObjectFrame, i, o.name, o.frames))
                return m;
    }
    for (int i = 1; i <= project.characters.size(); ++i) {
        const Rcharacter &c = project.characters[i];
        if (!c.name.isEmpty())
            if (auto m = walk.frames(S::CharacterFrame, i, c.name, c.frames))
                return m;
    }
    return std::nullopt;
}

} // namespace mb
