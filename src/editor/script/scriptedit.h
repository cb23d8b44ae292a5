#pragma once

#include <Qsci/qsciscintilla.h>

#include <QStringList>

class QMenu;

namespace mb {

class ScriptLexer;
struct LineEdit;

// The text control of the script editor: QScintilla with the script colours, a fixed-pitch font,
// line numbers in a silver margin, auto indent, drag and drop editing, grouped undo, the caret
// allowed past line ends (virtual space), indentation by blanks only and backspace that removes a
// level of indentation. Lines end in LF; pasted line ends are converted.
//
// The Tab key never reaches the text: it is reported by tabPressed(). A paste, drop or middle
// click that brings a tab character into the text is reported by tabRefused() after it was
// undone. Columns are counted from 1 and include virtual space; lines from 0.
class ScriptEdit : public QsciScintilla
{
    Q_OBJECT
public:
    explicit ScriptEdit(QWidget *parent = nullptr);

    ScriptLexer *scriptLexer() const { return m_lexer; }
    void setEditorFont(const QFont &font);
    QFont editorFont() const;

    // The text as lines (without line ends); an empty editor has one empty line.
    QStringList textLines() const;
    // Replaces the whole text without recording undo steps (opening a script). The undo history
    // is cleared and the text counts as unmodified.
    void loadLines(const QStringList &lines);

    int caretLine() const;
    int caretColumn() const; // virtual space included
    // Length of the caret's line in characters.
    int caretLineLength() const;
    // Characters before the caret in the whole text, virtual space counted as characters.
    int caretCharacterPosition() const;
    void setCaret(int line, int column);
    int firstVisibleLine() const;
    void setFirstVisibleLine(int line);

    // Replaces whole lines as one undo step and places the caret.
    void applyLineEdit(const LineEdit &edit);
    // Selects `length` characters at (line, index) and shows them.
    void selectText(int line, int index, int length);
    // The selected text replaced, as one undo step.
    void replaceSelection(const QString &text);

    bool canPasteHere() const { return m_copied; }
    // Captions of the context menu: cut, copy, paste.
    void setMenuTexts(const QString &cut, const QString &copy, const QString &paste);
    // The context menu as the right button shows it now: cut and copy only with a selection,
    // paste only after a cut or copy in this editor.
    QMenu *createContextMenu(QWidget *parent);

public slots:
    void paste() override;
    void cut() override;
    void copy() override;

signals:
    void tabPressed();
    // A key (except Tab) or a mouse button was released: the caret may stand somewhere else.
    void caretSettled();
    void hovered();
    void tabRefused();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textInserted(int position, int type, const char *text, int length);
    void refuseTab();
    long positionOfLine(int line) const;

    ScriptLexer *m_lexer = nullptr;
    bool m_loading = false;
    bool m_refusePending = false;
    bool m_copied = false; // a cut or copy happened in this window: paste is offered
    QString m_cutText, m_copyText, m_pasteText;
};

} // namespace mb
