#include "script/scriptedit.h"

#include "script/inserttemplates.h"
#include "script/scriptlexer.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace mb {

namespace {

using Base = QsciScintillaBase;

} // namespace

ScriptEdit::ScriptEdit(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolUnix);
    SendScintilla(Base::SCI_SETPASTECONVERTENDINGS, 1);
    m_lexer = new ScriptLexer(this);
    setLexer(m_lexer);
    setMarginLineNumbers(0, true);
    setMarginsBackgroundColor(QColor(192, 192, 192)); // silver
    setMarginsForegroundColor(Qt::black);
    setMarginWidth(1, 0);
    setAutoIndent(true);
    setIndentationsUseTabs(false);
    setTabWidth(8);
    setBackspaceUnindents(true);
    SendScintilla(Base::SCI_SETVIRTUALSPACEOPTIONS, Base::SCVS_USERACCESSIBLE | Base::SCVS_RECTANGULARSELECTION);
    setCaretLineVisible(false);
    SendScintilla(Base::SCI_SETSCROLLWIDTH, 1);
    SendScintilla(Base::SCI_SETSCROLLWIDTHTRACKING, 1); // the horizontal bar follows the longest line
    setBraceMatching(NoBraceMatch);
    setMenuTexts(tr("Cut"), tr("Copy"), tr("Paste"));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *text, int length, int, int, int, int, int, int) {
                textInserted(position, type, text, length);
            });
    viewport()->installEventFilter(this);
    viewport()->setMouseTracking(true);
}

void ScriptEdit::setMenuTexts(const QString &cut, const QString &copy, const QString &paste)
{
    m_cutText = cut;
    m_copyText = copy;
    m_pasteText = paste;
}

void ScriptEdit::setEditorFont(const QFont &font)
{
    m_lexer->setEditorFont(font);
    setMarginsFont(font);
    // Room for four digits of line numbers.
    setMarginWidth(0, QStringLiteral("00000"));
    recolor();
}

QFont ScriptEdit::editorFont() const
{
    return m_lexer->editorFont();
}

QStringList ScriptEdit::textLines() const
{
    QString all = text();
    all.remove(u'\r');
    return all.split(u'\n');
}

void ScriptEdit::loadLines(const QStringList &lines)
{
    m_loading = true;
    setText(lines.join(u'\n'));
    m_loading = false;
    SendScintilla(Base::SCI_EMPTYUNDOBUFFER);
    setModified(false);
    setCaret(0, 1);
}

int ScriptEdit::caretLine() const
{
    return int(SendScintilla(Base::SCI_LINEFROMPOSITION, SendScintilla(Base::SCI_GETCURRENTPOS)));
}

int ScriptEdit::caretColumn() const
{
    const long pos = SendScintilla(Base::SCI_GETCURRENTPOS);
    const long column = SendScintilla(Base::SCI_GETCOLUMN, pos);
    const long main = SendScintilla(Base::SCI_GETMAINSELECTION);
    return int(column + SendScintilla(Base::SCI_GETSELECTIONNCARETVIRTUALSPACE, main)) + 1;
}

int ScriptEdit::caretLineLength() const
{
    return int(text(caretLine()).remove(u'\n').remove(u'\r').size());
}

int ScriptEdit::caretCharacterPosition() const
{
    // Characters of the lines before the caret's, each with its line end, then the column.
    const int line = caretLine();
    int before = 0;
    for (int l = 0; l < line; ++l)
        before += int(text(l).size());
    return before + caretColumn() - 1;
}

long ScriptEdit::positionOfLine(int line) const
{
    return SendScintilla(Base::SCI_POSITIONFROMLINE, line);
}

void ScriptEdit::setCaret(int line, int column)
{
    line = std::clamp(line, 0, std::max(0, QsciScintilla::lines() - 1));
    const long wanted = std::max(0, column - 1);
    const long pos = SendScintilla(Base::SCI_FINDCOLUMN, line, wanted);
    const long reached = SendScintilla(Base::SCI_GETCOLUMN, pos);
    SendScintilla(Base::SCI_SETEMPTYSELECTION, pos);
    const long virtualSpace = std::max(0L, wanted - reached);
    SendScintilla(Base::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0, virtualSpace);
    SendScintilla(Base::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0, virtualSpace);
    SendScintilla(Base::SCI_SCROLLCARET);
}

int ScriptEdit::firstVisibleLine() const
{
    return int(SendScintilla(Base::SCI_GETFIRSTVISIBLELINE));
}

void ScriptEdit::setFirstVisibleLine(int line)
{
    SendScintilla(Base::SCI_SETFIRSTVISIBLELINE, std::max(0, line));
}

void ScriptEdit::applyLineEdit(const LineEdit &edit)
{
    const int count = QsciScintilla::lines();
    const long docEnd = SendScintilla(Base::SCI_GETLENGTH);
    const QString joined = edit.lines.join(u'\n');
    long from, to;
    QString replacement;
    if (edit.line >= count) {
        from = to = docEnd;
        replacement = u'\n' + joined;
    } else if (edit.line + edit.removed < count) {
        from = positionOfLine(edit.line);
        to = positionOfLine(edit.line + edit.removed);
        replacement = edit.lines.isEmpty() ? QString() : joined + u'\n';
    } else {
        // Through the last line: its lack of a line end moves to the new last line.
        from = positionOfLine(edit.line);
        to = docEnd;
        replacement = joined;
        if (edit.lines.isEmpty() && edit.line > 0)
            --from;
    }
    const QByteArray bytes = replacement.toUtf8();
    beginUndoAction();
    SendScintilla(Base::SCI_SETTARGETRANGE, from, to);
    SendScintilla(Base::SCI_REPLACETARGET, bytes.size(), bytes.constData());
    endUndoAction();
    setCaret(edit.caretLine, edit.caretColumn);
}

void ScriptEdit::selectText(int line, int index, int length)
{
    setSelection(line, index, line, index + length);
    ensureLineVisible(line);
}

void ScriptEdit::replaceSelection(const QString &text)
{
    beginUndoAction();
    replaceSelectedText(text);
    endUndoAction();
}

void ScriptEdit::paste()
{
    QsciScintilla::paste();
}

void ScriptEdit::cut()
{
    if (!hasSelectedText())
        return;
    QsciScintilla::cut();
    m_copied = true;
}

void ScriptEdit::copy()
{
    if (!hasSelectedText())
        return;
    QsciScintilla::copy();
    m_copied = true;
}

void ScriptEdit::textInserted(int, int type, const char *text, int length)
{
    if (m_loading || !(type & Base::SC_MOD_INSERTTEXT) || !(type & (Base::SC_PERFORMED_USER | Base::SC_PERFORMED_REDO)))
        return;
    if (!text || !QByteArrayView(text, length).contains('\t') || m_refusePending)
        return;
    // Undoing inside the notification would change the text under the running insert: after it.
    m_refusePending = true;
    QTimer::singleShot(0, this, &ScriptEdit::refuseTab);
}

void ScriptEdit::refuseTab()
{
    m_refusePending = false;
    if (!text().contains(u'\t'))
        return;
    undo();
    emit tabRefused();
}

void ScriptEdit::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Tab && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        e->accept();
        emit tabPressed();
        return;
    }
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut)) {
        // Scintilla's own key bindings bypass copy() and cut(): remember the clipboard here.
        if (hasSelectedText())
            m_copied = true;
    }
    QsciScintilla::keyPressEvent(e);
}

void ScriptEdit::keyReleaseEvent(QKeyEvent *e)
{
    QsciScintilla::keyReleaseEvent(e);
    if (e->key() != Qt::Key_Tab)
        emit caretSettled();
}

void ScriptEdit::mouseReleaseEvent(QMouseEvent *e)
{
    QsciScintilla::mouseReleaseEvent(e);
    emit caretSettled();
}

void ScriptEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

QMenu *ScriptEdit::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    QAction *cutAction = menu->addAction(m_cutText, this, &ScriptEdit::cut);
    QAction *copyAction = menu->addAction(m_copyText, this, &ScriptEdit::copy);
    QAction *pasteAction = menu->addAction(m_pasteText, this, &ScriptEdit::paste);
    cutAction->setObjectName(QStringLiteral("Ausschneiden"));
    copyAction->setObjectName(QStringLiteral("Kopieren"));
    pasteAction->setObjectName(QStringLiteral("Einfuegen"));
    cutAction->setEnabled(isEnabled() && !isReadOnly() && hasSelectedText());
    copyAction->setEnabled(hasSelectedText());
    pasteAction->setEnabled(isEnabled() && !isReadOnly() && m_copied);
    return menu;
}

bool ScriptEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == viewport() && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
        emit hovered();
    return QsciScintilla::eventFilter(watched, event);
}

} // namespace mb
