#pragma once

#include "script/caretanalysis.h"
#include "script/scriptkey.h"

#include <QFont>
#include <QWidget>

#include <functional>
#include <optional>

class QMenu;
class QTimer;
class QToolButton;

namespace mb {

class EditorSettings;
class FindBar;
class HintPanel;
class MessageCatalog;
class ProjectSession;
struct ProjectChange;
class Asker;
class ScriptEdit;
class ScriptWindowState;
namespace inserts {
struct Entry;
}

// The script editor: one script of the project at a time in a highlighting text control, with
// the insert menu, presets, the hint panel that follows the caret, the recent scripts, find and
// replace, and "Instant Update" for a running game.
//
// Opening a script: post its key to the ScriptWindowState (ScriptWindowState::post, or
// TForm1::requestScript, which also shows this window). Keys are those of ScriptKey: "0" + script
// name, "1" + item name, "5" + column + row + room name, "6" + placement + room name, "7" +
// character placement, "8" + room name, or "free" for none. The window serves the latest request
// on the next turn of the event loop (a later request replaces an earlier one not yet served):
// the open script is stored first, then the requested one is shown; a request for the script that
// is already open changes nothing (caret and undo history stay). A request naming something that
// does not exist opens an empty editor under that key; storing it then writes nothing.
//
// Every change of the text is stored into the project at once (trailing blanks trimmed), so
// saving or building never misses an edit. Each store is an edit of the session: the typing in
// one script is one undo step of the project, which ends when another script is shown, the window
// closes or the project's undo and redo change the script (typing undo inside the editor stays
// the text control's own). When the project's undo or redo changes the open script, the editor
// shows that text; when the script's element goes (deleted, renamed, its insert undone), the
// editor shows no script. Session, catalog, settings, state and questions must outlive the
// window.
class Tskriptwindow : public QWidget
{
    Q_OBJECT
public:
    Tskriptwindow(ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings,
                  ScriptWindowState &state, Asker &questions, QWidget *parent = nullptr);
    ~Tskriptwindow() override;

    // Serves a pending request now instead of on the next turn of the event loop.
    void serveRequest();
    // The key of the open script ("" when none is open).
    QString openScriptKey() const;

    // --- toolbar and menus
    void fontButtonClick();
    void undoButtonClick();
    void bracesButtonClick();
    void instantUpdateClick();
    void toggleHintPanel();
    // Prunes the recent list and returns the menu of its titles (the recent button shows it).
    QMenu *recentMenu();
    // An insert menu entry, a built-in preset, a custom preset (from 1) of presets.txt.
    void insertEntry(const inserts::Entry &entry);
    void insertPreset(const QStringList &lines);
    void insertCustomPreset(int number);
    // The caret analysis and the hint panel (after key and mouse releases).
    void analyzeCaret();
    // Takes a choice of the hint panel into the caret's line.
    void choose(const QString &entry);
    // The project's text of the open script changed from outside the editor (undo, replace in
    // all scripts): shows it again, the caret where it was. Called on every change of the
    // session; returns whether the text shown changed.
    bool reloadOpenScript();

    ScriptEdit *editor() const { return m_edit; }
    HintPanel *hintPanel() const { return m_hints; }
    FindBar *findBar() const { return m_find; }
    QMenu *insertMenu() const { return m_insertMenu; }
    QToolButton *button(const QString &name) const;
    const CaretContext &lastCaret() const { return m_caret; }

    // How the "A" button asks for a font (tests answer without a dialog).
    std::function<std::optional<QFont>(const QFont &current)> chooseFont;
    // Where the status text goes (the main window's third panel).
    std::function<void(const QString &)> showStatus;

signals:
    // The editor font was chosen; other windows take its family for their script names.
    void fontChosen(const QFont &font);

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void buildToolBar();
    void buildInsertMenu();
    void readSettings();
    void writeSettings();
    void open(const QString &request);
    // Shows no script, storing nothing (the open script's element is gone).
    void showNone();
    void projectChanged(const ProjectChange &change);
    // The open script's element was renamed: the window keeps the script under its new key.
    bool followRename();
    void setScriptOpen(bool open);
    void textChanged();
    void store(StoreReason reason);
    QStringList storedLines() const;
    void timerTick();
    void finish();

    ProjectSession &m_session;
    const MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    ScriptWindowState &m_state;
    Asker &m_questions;

    ScriptEdit *m_edit = nullptr;
    HintPanel *m_hints = nullptr;
    FindBar *m_find = nullptr;
    QMenu *m_insertMenu = nullptr;
    QTimer *m_timer = nullptr;

    std::optional<ScriptKey> m_openKey;
    QString m_openRequest;
    QString m_placementName;
    QString m_title; // the open script as the recent list names it
    QString m_loadedText;   // the editor's text as opened: unchanged text stores what was loaded
    QStringList m_loadedLines;
    CaretContext m_caret;
    bool m_loading = false;
    bool m_storing = false; // the window's own edit runs: its change is not shown again
    bool m_targetFound = false; // the open key named an existing script when it was opened
    int m_targetSlot = 0;       // the table slot of the script's element (for cells and placements the room)
    bool m_finished = false;
    bool m_placed = false;
    int m_charset = 0;
};

} // namespace mb
