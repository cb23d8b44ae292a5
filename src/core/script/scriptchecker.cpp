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

// The message box text of a mistake: where it is, then what is wrong.
QString mistakeText(const ScriptChecker &checker, const MessageCatalog &catalog,
                    const ScriptLocation &where, const ScriptProblem &problem)
{
    QString text = scriptLabel(where, catalog);
    if (where.isFrameLine())
        return text + u' ' + kQuote + QStringLiteral(" : ") + checker.commandMistakeText(problem, false);
    switch (problem.kind) {
    case ScriptProblem::UnbalancedBraces: text += catalog.msg(MsgBraces); break;
    case ScriptProblem::UnbalancedParentheses: text += catalog.msg(MsgParentheses); break;
    case ScriptProblem::UnbalancedBrackets: text += catalog.msg(MsgBrackets); break;
    case ScriptProblem::UnknownCommand:
    case ScriptProblem::NotEnoughEntries:
        text += kQuote + QStringLiteral(" : ") + checker.commandMistakeText(problem, true);
        break;
    }
    return text;
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
    std::optional<ScriptMistake> found;
    const auto report = [&](const ScriptLocation &where, std::optional<ScriptProblem> problem) {
        if (!problem)
            return false;
        found.emplace();
        static_cast<ScriptLocation &>(*found) = where;
        found->text = mistakeText(*this, m_catalog, where, *problem);
        found->problem = std::move(*problem);
        return true;
    };
    forEachScript(
        project,
        [&](const ScriptLocation &where, const Script &script) { return report(where, checkScript(script)); },
        [&](const ScriptLocation &where, const QString &line) { return report(where, checkFrameLine(line)); });
    return found;
}

} // namespace mb
