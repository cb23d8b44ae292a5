#include "build/textmarkers.h"

#include "platform/ansicodec.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace mb {

namespace {

enum Kind { Speech, Offspeech, Showinfo, Textout, Setstring, Row, None };

struct Rule
{
    QLatin1StringView name;
    int textArgument;
    int textList;    // LangLists index
    int voiceList;   // LangLists index, -1 without voice
    int textAnchor;  // 0: after the "(", n: after separator n
    int voiceAnchor; // separator in front of the voice argument
};

// Indexes into LangLists: speech 0, voicespeech 1, offspeech 2, voiceoffspeech 3, showinfo 4,
// textout 5, setstring 6, row 7.
constexpr std::array<Rule, 6> kRules{{
    {QLatin1StringView("speech"), 2, 0, 1, 1, 2},
    {QLatin1StringView("offspeech"), 3, 2, 3, 2, 3},
    {QLatin1StringView("showinfo"), 1, 4, -1, 0, 0},
    {QLatin1StringView("textout"), 2, 5, -1, 1, 0},
    {QLatin1StringView("setstring"), 2, 6, -1, 1, 0},
    {QLatin1StringView("row"), 2, 7, -1, 1, 0},
}};

bool wordAt(const QString &line, qsizetype p, QLatin1StringView word)
{
    if (p < 0 || p + word.size() > line.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        char16_t c = line[p + i].unicode();
        if (c >= u'A' && c <= u'Z')
            c += 32;
        if (c != char16_t(word[i].unicode()))
            return false;
    }
    return true;
}

Kind kindAt(const QString &line, qsizetype p)
{
    switch (line[p].unicode() | 0x20) {
    case u's':
        if (wordAt(line, p, QLatin1StringView("speech")))
            return wordAt(line, p, QLatin1StringView("speechvolume")) || wordAt(line, p - 3, QLatin1StringView("off"))
                       ? None : Speech;
        if (wordAt(line, p, QLatin1StringView("showinfo")))
            return Showinfo;
        if (wordAt(line, p, QLatin1StringView("setstring")))
            return Setstring;
        return None;
    case u'o':
        return wordAt(line, p, QLatin1StringView("offspeech")) ? Offspeech : None;
    case u't':
        return wordAt(line, p, QLatin1StringView("textout")) ? Textout : None;
    case u'r':
        return (p == 0 || line[p - 1] == u' ') && wordAt(line, p, QLatin1StringView("row")) ? Row : None;
    default:
        return None;
    }
}

struct Position
{
    int line = -1;
    qsizetype column = 0; // insert before this character of the line as it was read
};

struct Insertion
{
    qsizetype column;
    int order; // discovery order, for markers that land on the same spot
    QString text;
};

// First index of every entry of one list, built when the list is first needed.
class ListIndex
{
public:
    explicit ListIndex(const QStringList &list) : m_list(list) {}
    int find(const QString &text)
    {
        if (!m_built) {
            m_first.reserve(m_list.size());
            for (int i = int(m_list.size()) - 1; i >= 0; --i)
                m_first.insert(m_list[i], i);
            m_built = true;
        }
        return m_first.value(text, -1);
    }

private:
    const QStringList &m_list;
    QHash<QString, int> m_first;
    bool m_built = false;
};

QString argumentOf(QStringView arguments, int k, QChar separator)
{
    return text::getfieldtrimsep(arguments, k, separator == u';' ? 1 : 2);
}

} // namespace

QString TextMarkers::marker(int index)
{
    if (index < 0 || index > MaxIndex)
        return {};
    return QStringLiteral("|#%1#|").arg(index, 5, 10, QChar(u'0'));
}

QStringList TextMarkers::apply(const QStringList &lines, QChar separator, const LangLists &origin,
                               Overflow *overflow)
{
    std::vector<ListIndex> lists;
    lists.reserve(LangLists::Count);
    for (int i = 0; i < LangLists::Count; ++i)
        lists.emplace_back(origin.list(i));

    std::vector<std::vector<Insertion>> inserts(size_t(lines.size()));
    int order = 0;
    auto insertAt = [&](const Position &at, const QString &marker) {
        if (at.line >= 0 && !marker.isEmpty())
            inserts[size_t(at.line)].push_back({at.column, order++, marker});
    };
    auto tooFar = [&](int list, int n, const QString &text) {
        if (n > MaxIndex && overflow && !overflow->happened())
            *overflow = {text, list, n};
    };

    const int lineCount = int(lines.size());
    for (int li = 0; li < lineCount; ++li) {
        const QString &line = lines[li];
        for (qsizetype p = 0; p < line.size(); ++p) {
            const Kind kind = kindAt(line, p);
            if (kind == None)
                continue;
            const Rule &rule = kRules[size_t(kind)];

            // Gather the call from the end of its name to its first ")", over line ends.
            std::array<Position, 4> separators; // after separator 1..3
            int separatorCount = 0;
            Position paren;
            QString arguments;
            bool inArguments = false, closed = false;
            int l = li;
            qsizetype c = p + rule.name.size();
            while (!closed && l < lineCount) {
                const QString &text = lines[l];
                for (; c < text.size(); ++c) {
                    const QChar ch = text[c];
                    if (ch == u')') {
                        closed = true;
                        break;
                    }
                    if (inArguments)
                        arguments += ch;
                    if (ch == separator && separatorCount < 3)
                        separators[size_t(++separatorCount)] = {l, c + 1};
                    if (ch == u'(' && !inArguments) {
                        inArguments = true;
                        paren = {l, c + 1};
                    }
                }
                if (!closed) {
                    ++l;
                    c = 0;
                }
            }

            if (kind == Row && argumentOf(arguments, 1, separator).size() != 1)
                continue;
            const QString textArg = argumentOf(arguments, rule.textArgument, separator);
            if (!textArg.isEmpty()) {
                const int n = lists[size_t(rule.textList)].find(textArg);
                tooFar(rule.textList, n, textArg);
                if (n >= 0)
                    insertAt(rule.textAnchor == 0 ? paren : separators[size_t(rule.textAnchor)], marker(n));
            }
            if (rule.voiceList >= 0) {
                const QString voice = text::asciiLower(argumentOf(arguments, rule.textArgument + 1, separator));
                if (!voice.isEmpty() && voice != QLatin1String("dontwait")) {
                    const int n = lists[size_t(rule.voiceList)].find(voice);
                    tooFar(rule.voiceList, n, voice);
                    if (n >= 0)
                        insertAt(separators[size_t(rule.voiceAnchor)], marker(n));
                }
            }
        }
    }

    QStringList out = lines;
    for (int li = 0; li < lineCount; ++li) {
        std::vector<Insertion> &list = inserts[size_t(li)];
        if (list.empty())
            continue;
        // From the right, so that columns of the line as read stay valid; of two markers on the
        // same spot the later one ends up first, as if it had been put into the changed line.
        std::sort(list.begin(), list.end(), [](const Insertion &a, const Insertion &b) {
            return a.column != b.column ? a.column > b.column : a.order < b.order;
        });
        QString &line = out[li];
        for (const Insertion &ins : list)
            line.insert(ins.column, ins.text);
    }
    return out;
}

QStringList TextMarkers::splitLines(const QByteArray &file)
{
    const QString text = ansi::decode(file);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QByteArray TextMarkers::joinLines(const QStringList &lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    text.reserve(size);
    for (const QString &l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return ansi::encode(text);
}

QByteArray TextMarkers::applyToFile(const QByteArray &file, QChar separator, const LangLists &origin,
                                    Overflow *overflow)
{
    return joinLines(apply(splitLines(file), separator, origin, overflow));
}

} // namespace mb
