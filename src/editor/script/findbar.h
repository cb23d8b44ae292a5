#pragma once

#include "script/scriptsearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mb {

class MessageCatalog;
class ScriptEdit;

// Find and replace inside the open script, as a bar under the text: Ctrl+F shows it for finding,
// Ctrl+H with the replace field, F3 and Shift+F3 find the next and previous match, Escape hides
// it. Matching is core's TextMatcher (letter case of ASCII letters ignored unless "Match case").
// A replace is one undo step of the editor; "Replace All" is one undo step for all matches.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    FindBar(ScriptEdit *edit, const MessageCatalog &catalog, QWidget *parent = nullptr);

    void showFind();
    void showReplace();
    // Selects the next (or previous) match, wrapping round; false when there is none.
    bool findNext(bool backward = false);
    // Replaces the selection when it is a match, then selects the next match.
    void replaceOne();
    // Replaces every match in the script; returns how many.
    int replaceAll();

    TextMatcher matcher() const;
    QLineEdit *findField() const { return m_find; }
    QLineEdit *replaceField() const { return m_replace; }
    QCheckBox *matchCaseBox() const { return m_case; }
    QCheckBox *wholeWordBox() const { return m_word; }
    QLabel *statusLabel() const { return m_status; }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void setReplaceVisible(bool visible);

    ScriptEdit *m_edit;
    const MessageCatalog &m_catalog;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_case = nullptr;
    QCheckBox *m_word = nullptr;
    QLabel *m_replaceLabel = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_replaceAllButton = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace mb
