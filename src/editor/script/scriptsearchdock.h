#pragma once

#include "script/scriptsearch.h"

#include <QDockWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mb {

class MessageCatalog;
class ProjectSession;

// "Find in All Scripts": a dock of the main window that searches every script of the project
// (core's findInProject) and lists the hits, one row per matching line: the script as the
// script check names it, the line number and the line. A double click on a line opens its script at that line; "Replace in All Scripts"
// replaces every match as one change of the project.
class ScriptSearchDock : public QDockWidget
{
    Q_OBJECT
public:
    ScriptSearchDock(ProjectSession &session, const MessageCatalog &catalog, QWidget *parent = nullptr);

    // Shows the dock with the focus in the search field.
    void activate();
    // Searches with the field's text and options; returns the number of matches.
    int search();
    // Replaces every match in every script as one undo step of the session (windows showing a
    // script follow the session's change); returns the number replaced.
    int replaceAll();

    QLineEdit *findField() const { return m_find; }
    QLineEdit *replaceField() const { return m_replace; }
    QCheckBox *matchCaseBox() const { return m_case; }
    QCheckBox *wholeWordBox() const { return m_word; }
    QTreeWidget *results() const { return m_results; }
    QLabel *summary() const { return m_summary; }
    // Opens the script of a result row at its line.
    void openResult(QTreeWidgetItem *item);

signals:
    // A script key (ScriptKey) and a line from 1.
    void openRequested(const QString &key, int line);
    // A hit that no window edits (frame lines): the text to show in the status bar.
    void message(const QString &text);

private:
    TextMatcher matcher() const;

    ProjectSession &m_session;
    const MessageCatalog &m_catalog;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_case = nullptr;
    QCheckBox *m_word = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QTreeWidget *m_results = nullptr;
    QLabel *m_summary = nullptr;
    QList<ScriptHit> m_hits;
};

} // namespace mb
