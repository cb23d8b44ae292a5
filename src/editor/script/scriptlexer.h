#pragma once

#include <Qsci/qscilexercustom.h>

#include <QFont>

namespace mb {

// Colours a script in a QScintilla editor by the rules of ScriptHighlighter: keywords bold, signs,
// numbers, bracketed terms, strings, and comments over line ends with their "&" ... "%" marks.
// One style per highlighter class (style number = the class's value). A line's end state (inside
// a comment or not) is kept as the editor's line state, so that only lines from the first
// changed one on are coloured again.
class ScriptLexer : public QsciLexerCustom
{
    Q_OBJECT
public:
    explicit ScriptLexer(QObject *parent = nullptr);

    const char *language() const override { return "Mossbramble script"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // The editor's font for every style, bold and italic where a class wants them.
    void setEditorFont(const QFont &font);
    QFont editorFont() const { return m_font; }

private:
    QFont m_font;
};

} // namespace mb
