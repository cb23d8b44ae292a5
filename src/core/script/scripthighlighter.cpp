#include "scripthighlighter.h"

#include "commandtable.h"

namespace mb {

namespace {

using TextClass = ScriptHighlighter::TextClass;
using LineState = ScriptHighlighter::LineState;

bool isSign(QChar c)
{
    switch (c.unicode()) {
    case u'(': case u')': case u';': case u'{': case u'}': case u'<': case u'>':
    case u'+': case u'-': case u'*': case u'/':
        return true;
    default:
        return false;
    }
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool startsWith2(QStringView line, qsizetype i, char16_t a, char16_t b)
{
    return i + 1 < line.size() && line[i] == a && line[i + 1] == b;
}

// Collects spans, joining a span to the previous one when the class is the same.
class SpanBuilder
{
public:
    void add(qsizetype start, qsizetype length, TextClass textClass)
    {
        if (length <= 0)
            return;
        if (!m_spans.isEmpty()) {
            ScriptHighlighter::Span &last = m_spans.last();
            if (last.textClass == textClass && last.start + last.length == start) {
                last.length += int(length);
                return;
            }
        }
        m_spans.append({int(start), int(length), textClass});
    }
    QList<ScriptHighlighter::Span> take() { return std::move(m_spans); }

private:
    QList<ScriptHighlighter::Span> m_spans;
};

} // namespace

bool ScriptHighlighter::isWordDelimiter(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 0x20 || u == 0x7f)
        return true;
    if (u > 0x7f)
        return false;
    const bool alnum = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
    return !alnum && u != u'_';
}

ScriptHighlighter::LineResult ScriptHighlighter::highlightLine(QStringView line, LineState state)
{
    SpanBuilder spans;
    bool inString = false;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = line[i];

        if (state != LineState::Normal) {
            if (startsWith2(line, i, u'*', u')')) {
                spans.add(i, 2, TextClass::Comment);
                state = LineState::Normal;
                i += 2;
            } else if (state == LineState::InComment && c == u'&') {
                spans.add(i++, 1, TextClass::CommentMark);
                state = LineState::InCommentMark;
            } else if (state == LineState::InCommentMark && c == u'%') {
                spans.add(i++, 1, TextClass::CommentMark);
                state = LineState::InComment;
            } else {
                spans.add(i++, 1, state == LineState::InCommentMark ? TextClass::CommentMark
                                                                     : TextClass::Comment);
            }
            continue;
        }

        if (startsWith2(line, i, u'(', u'*')) {
            spans.add(i, 2, TextClass::Comment);
            state = LineState::InComment;
            i += 2;
            continue;
        }
        if (c == u'[') {
            const qsizetype close = line.indexOf(u']', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            spans.add(i, end - i, TextClass::BracketedTerm);
            i = end;
            continue;
        }
        if (inString) {
            if (c == u'"')
                inString = false;
            spans.add(i++, 1, TextClass::String);
            continue;
        }
        if (c == u'"') {
            inString = true;
            spans.add(i++, 1, TextClass::String);
            continue;
        }
        if (isSign(c)) {
            spans.add(i++, 1, TextClass::Sign);
            continue;
        }
        if (isWordDelimiter(c)) {
            spans.add(i++, 1, TextClass::Default);
            continue;
        }

        qsizetype end = i;
        while (end < n && !isWordDelimiter(line[end]))
            ++end;
        const QStringView word = line.sliced(i, end - i);
        if (CommandTable::isKeyword(word)) {
            spans.add(i, end - i, TextClass::Keyword);
        } else {
            qsizetype digits = 0;
            while (digits < word.size() && isAsciiDigit(word[digits]))
                ++digits;
            spans.add(i, digits, TextClass::Number);
            spans.add(i + digits, word.size() - digits, TextClass::Default);
        }
        i = end;
    }
    return {spans.take(), state};
}

ScriptHighlighter::Style ScriptHighlighter::style(TextClass textClass)
{
    switch (textClass) {
    case TextClass::Default:
        return {};
    case TextClass::Keyword:
        return {QColor(), QColor(), true, false};
    case TextClass::Sign:
        return {fromWindowsColor(32768), QColor(), false, false};
    case TextClass::Number:
        return {fromWindowsColor(159), QColor(), false, false};
    case TextClass::BracketedTerm:
        return {fromWindowsColor(196), QColor(), false, false};
    case TextClass::Comment:
        return {fromWindowsColor(11436117), QColor(), false, true};
    case TextClass::CommentMark:
        return {QColor(Qt::black), QColor(Qt::white), false, false};
    case TextClass::String:
        return {fromWindowsColor(8388608), QColor(), false, false};
    }
    return {};
}

QColor ScriptHighlighter::fromWindowsColor(quint32 value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

} // namespace mb
