#pragma once

#include <QColor>
#include <QList>
#include <QStringView>

namespace mb {

// The colouring rules of the script editor, independent of any editor control. A lexer feeds the
// lines of a script one after another, passing each line the state the previous line ended in,
// and styles each returned span with style(span.textClass).
//
// Rules, by precedence:
// - comment: "(*" up to and including "*)", continued over line ends; inside it, "&" up to and
//   including "%" is a comment mark. "*)" ends the comment even within an unclosed mark, so a
//   stray "&" cannot swallow the rest of the script.
// - bracketed term: "[" up to and including "]" on the same line (to the line end when unclosed).
// - string: a double quote up to and including the next double quote on the same line (to the
//   line end when unclosed). Bracketed terms and comments inside a string keep their own classes
//   and the string goes on after them. A comment that opens inside a string and runs past the
//   line end continues as a plain comment; the string does not resume on a later line.
// - keyword: a whole word (see isWordDelimiter) that CommandTable::isKeyword() accepts.
// - number: the run of digits 0-9 at the start of a word ("10", the "10" of "10px"); digits
//   inside a word ("loop1", "super8") belong to the word.
// - sign: one of ( ) ; { } < > + - * /
// - everything else is Default.
class ScriptHighlighter
{
public:
    enum class TextClass { Default, Keyword, Sign, Number, BracketedTerm, Comment, CommentMark, String };

    // What a line hands on to the next one. The values are stable, so a lexer may keep them as
    // per-line integers.
    enum class LineState { Normal = 0, InComment = 1, InCommentMark = 2 };

    struct Span
    {
        int start = 0; // in UTF-16 code units of the line
        int length = 0;
        TextClass textClass = TextClass::Default;
        bool operator==(const Span &) const = default;
    };

    struct LineResult
    {
        // Consecutive, non-empty spans that cover the whole line in order; neighbours differ in
        // class. Empty for an empty line.
        QList<Span> spans;
        LineState endState = LineState::Normal;
    };

    // An invalid colour means the editor's normal text colour or background.
    struct Style
    {
        QColor foreground;
        QColor background;
        bool bold = false;
        bool italic = false;
    };

    // Colours line, which must not hold a line break, starting in state.
    static LineResult highlightLine(QStringView line, LineState state = LineState::Normal);

    // The colour and font style of a class.
    static Style style(TextClass textClass);

    // Blanks, control characters and the printable ASCII characters that are neither letters,
    // digits nor "_". Characters beyond ASCII belong to words.
    static bool isWordDelimiter(QChar c);

    // A colour given as a Windows colour value (red in the low byte, blue in the high byte).
    static QColor fromWindowsColor(quint32 value);
};

} // namespace mb
