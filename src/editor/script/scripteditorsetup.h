#pragma once

#include "script/scriptwindowstate.h"

#include <QObject>

namespace mb {

class EditorSettings;
class MessageCatalog;
class ProjectSession;
class ScriptSearchDock;
class TForm1;
class Tskriptwindow;

// Puts the script editor into the main window: the tool window "skriptwindow" (through
// TForm1::setToolWindowFactory), the "Find in All Scripts" dock with its menu entry
// (Ctrl+Shift+F), and the way requests reach the window: TForm1::requestScript() posts to the
// state, and shows the window when asked to. Lives as a child of the main window.
class ScriptEditorSetup : public QObject
{
    Q_OBJECT
public:
    ScriptEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings);

    ScriptWindowState &state() { return m_state; }
    ScriptSearchDock *searchDock() const { return m_dock; }
    // The open script window, or null.
    Tskriptwindow *window() const;

private:
    TForm1 &m_form;
    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    ScriptWindowState m_state;
    ScriptSearchDock *m_dock = nullptr;
};

} // namespace mb
