#include "script/findbar.h"

#include "script/scriptedit.h"
#include "script/scripttexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace mb {

FindBar::FindBar(ScriptEdit *edit, const MessageCatalog &catalog, QWidget *parent)
    : QWidget(parent), m_edit(edit), m_catalog(catalog)
{
    setObjectName(QStringLiteral("findbar"));
    const auto t = [&](ScriptText text) { return scriptText(text, m_catalog); };
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findtext"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("replacetext"));
    m_case = new QCheckBox(t(ScriptText::MatchCase), this);
    m_word = new QCheckBox(t(ScriptText::WholeWord), this);
    auto *next = new QPushButton(t(ScriptText::FindNext), this);
    auto *previous = new QPushButton(t(ScriptText::FindPrevious), this);
    m_replaceButton = new QPushButton(t(ScriptText::Replace), this);
    m_replaceAllButton = new QPushButton(t(ScriptText::ReplaceAll), this);
    auto *close = new QToolButton(this);
    close->setText(QStringLiteral("\u00D7"));
    close->setAutoRaise(true);
    m_status = new QLabel(this);
    m_replaceLabel = new QLabel(t(ScriptText::ReplaceWith), this);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->addWidget(new QLabel(t(ScriptText::FindWhat), this), 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    grid->addWidget(close, 0, 4);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(m_replaceButton, 1, 2);
    grid->addWidget(m_replaceAllButton, 1, 3);
    auto *options = new QHBoxLayout;
    options->addWidget(m_case);
    options->addWidget(m_word);
    options->addWidget(m_status, 1);
    grid->addLayout(options, 2, 0, 1, 5);
    grid->setColumnStretch(1, 1);

    connect(next, &QPushButton::clicked, this, [this] { findNext(); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(m_replace, &QLineEdit::returnPressed, this, &FindBar::replaceOne);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindBar::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        m_edit->setFocus();
    });
    hide();
}

TextMatcher FindBar::matcher() const
{
    return TextMatcher(m_find->text(), {m_case->isChecked(), m_word->isChecked()});
}

void FindBar::setReplaceVisible(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(m_replaceLabel), static_cast<QWidget *>(m_replace),
                       static_cast<QWidget *>(m_replaceButton), static_cast<QWidget *>(m_replaceAllButton)})
        w->setVisible(visible);
}

void FindBar::showFind()
{
    // A short selection on one line is what the author wants to find.
    if (m_edit->hasSelectedText() && !m_edit->selectedText().contains(u'\n'))
        m_find->setText(m_edit->selectedText());
    setReplaceVisible(false);
    m_status->clear();
    show();
    m_find->setFocus();
    m_find->selectAll();
}

void FindBar::showReplace()
{
    showFind();
    setReplaceVisible(true);
}

bool FindBar::findNext(bool backward)
{
    const TextMatcher m = matcher();
    if (m.isEmpty())
        return false;
    int lineFrom, indexFrom, lineTo, indexTo;
    m_edit->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom < 0)
        m_edit->getCursorPosition(&lineFrom, &indexFrom), lineTo = lineFrom, indexTo = indexFrom;
    const TextPosition from = backward ? TextPosition{lineFrom, indexFrom} : TextPosition{lineTo, indexTo};
    const auto found = findInScript(m_edit->textLines(), m, from, backward);
    if (!found) {
        m_status->setText(scriptText(ScriptText::NotFound, m_catalog).arg(m.needle()));
        return false;
    }
    m_status->clear();
    m_edit->selectText(found->line, found->index, int(m.needle().size()));
    return true;
}

void FindBar::replaceOne()
{
    const TextMatcher m = matcher();
    if (m.isEmpty() || m_edit->isReadOnly())
        return;
    if (m_edit->hasSelectedText() && m.matchesExactly(m_edit->selectedText()))
        m_edit->replaceSelection(m_replace->text());
    findNext();
}

int FindBar::replaceAll()
{
    const TextMatcher m = matcher();
    if (m.isEmpty() || m_edit->isReadOnly())
        return 0;
    const QStringList lines = m_edit->textLines();
    int total = 0;
    m_edit->beginUndoAction();
    // From the last line up, so that the lines above keep their places.
    for (int l = int(lines.size()) - 1; l >= 0; --l) {
        int n = 0;
        const QString replaced = m.replaceAll(lines[l], m_replace->text(), &n);
        if (n == 0)
            continue;
        total += n;
        m_edit->setSelection(l, 0, l, int(lines[l].size()));
        m_edit->replaceSelectedText(replaced);
    }
    m_edit->endUndoAction();
    m_status->setText(scriptText(ScriptText::ReplacedCount, m_catalog).arg(total));
    return total;
}

void FindBar::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        hide();
        m_edit->setFocus();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace mb
