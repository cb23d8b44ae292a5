#include "script/scriptlexer.h"

#include "script/scripthighlighter.h"

#include <Qsci/qsciscintilla.h>

namespace mb {

namespace {

using Class = ScriptHighlighter::TextClass;
constexpr Class kClasses[] = {Class::Default, Class::Keyword,  Class::Sign,        Class::Number,
                              Class::BracketedTerm, Class::Comment, Class::CommentMark, Class::String};

} // namespace

ScriptLexer::ScriptLexer(QObject *parent) : QsciLexerCustom(parent)
{
    setEditorFont(QFont());
}

QString ScriptLexer::description(int style) const
{
    static const char *const names[] = {"Default", "Keyword", "Sign", "Number", "Bracketed term",
                                        "Comment", "Comment mark", "String"};
    return style >= 0 && style < int(std::size(names)) ? QString::fromLatin1(names[style]) : QString();
}

void ScriptLexer::setEditorFont(const QFont &font)
{
    m_font = font;
    setDefaultFont(font);
    for (const Class c : kClasses) {
        const int style = int(c);
        const ScriptHighlighter::Style s = ScriptHighlighter::style(c);
        QFont f = font;
        f.setBold(s.bold);
        f.setItalic(s.italic);
        setFont(f, style);
        setColor(s.foreground.isValid() ? s.foreground : QColor(Qt::black), style);
        setPaper(s.background.isValid() ? s.background : QColor(Qt::white), style);
    }
}

void ScriptLexer::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed || start >= end)
        return;
    // Whole lines from the one the range starts in: a line's colours depend on its start state.
    int line = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lastLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    auto state = line > 0 ? ScriptHighlighter::LineState(
                                ed->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line - 1))
                          : ScriptHighlighter::LineState::Normal;
    for (; line <= lastLine; ++line) {
        const long lineStart = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        const long lineEnd = ed->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
        const long nextLine = line + 1 < ed->lines()
                                  ? ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1)
                                  : lineEnd;
        QString text = ed->text(line);
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        const ScriptHighlighter::LineResult result = ScriptHighlighter::highlightLine(text, state);
        startStyling(lineStart);
        // The editor counts UTF-8 bytes; the highlighter counts UTF-16 units.
        long styled = 0;
        for (const ScriptHighlighter::Span &span : result.spans) {
            const long bytes = text.mid(span.start, span.length).toUtf8().size();
            setStyling(int(bytes), int(span.textClass));
            styled += bytes;
        }
        if (lineStart + styled < lineEnd) // should not happen; keeps the editor's count right
            setStyling(int(lineEnd - lineStart - styled), int(Class::Default));
        state = result.endState;
        if (nextLine > lineEnd) // the line break belongs to a comment that goes on
            setStyling(int(nextLine - lineEnd),
                       int(state == ScriptHighlighter::LineState::Normal ? Class::Default : Class::Comment));
        ed->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line, int(state));
    }
}

} // namespace mb
