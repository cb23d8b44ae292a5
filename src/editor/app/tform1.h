#pragma once

#include "build/elementexchange.h"
#include "media/previewtarget.h"
#include "project/asker.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/missingfiles.h"
#include "project/poolops.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;

namespace mb {

class PoolTreeModel;
class PoolView;
class TForm13;
class TForm16;
class Tcommandlist;
class Tfontwindow;
class Tgamesetup;
class Tmissingfiles;

// The main window: menus, toolbar, the game and media trees with their buttons, the status bar
// and the area that holds the tool windows. It owns nothing of the project: the session (the
// open project, its undo stack), catalog and settings are given and must outlive it. Every box
// and file dialog goes through the asker (questions()).
//
// The handlers keep the names the editor has always used for them; the tree logic they call is
// PoolOps, the file formats are core's. Every change of the project is an edit of the session;
// the trees, the caption and the save button follow the session's signals.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Builds the window from config.ini (toolbar, size) with an empty project.
    TForm1(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // Boxes and dialogs go to `asker` from now on (null: the window's own dialogs). The object
    // must outlive the window. The dialogs and tool windows hold questions(), which passes
    // everything on to the asker given last.
    void setQuestions(Asker *asker);
    Asker &questions() const { return m_questions; }

    PoolView *gamepool() const { return m_gamepool; }
    PoolView *mediapool() const { return m_mediapool; }
    PoolTreeModel *gameModel() const { return m_gameModel; }
    PoolTreeModel *mediaModel() const { return m_mediaModel; }
    QLabel *statusPanel(int i) const { return m_panels[i]; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QToolBar *toolBar() const { return m_toolbar; }
    // The actions by their names ("projectsave", "insertroom", "windowmaus" ...); null if unknown.
    QAction *action(const QString &name) const { return m_actions.value(name); }
    // The toolbar's save button, enabled by the save timer while the project has changes.
    QAction *saveButton() const { return m_saveButton; }
    ProjectSession &session() const { return m_session; }
    TForm13 *waitWindow() const { return m_wait; }
    QMenu *recentMenu() const { return m_recentMenu; }
    // The divider between the game tree and the media tree.
    QSplitter *treeSplitter() const { return m_treeSplitter; }
    // Opens a project from Project > Open Recent: the same road as Open, without its dialog.
    bool openRecent(const QString &projectPath);
    Tmissingfiles *missingFilesDialog() const { return m_missingDialog; }
    bool sixteenBit() const { return m_sixteenBit; }
    QString chosenLanguage() const { return m_chosenLanguage; }

    // --- start and end
    // First activation: editor options and tool windows from config.ini, then the project named
    // on the command line (`args` without the program name). Runs once.
    void FormActivate(const QStringList &args = {});
    // The end: asks about unsaved changes (false when the user cancels), closes the tool
    // windows and writes the layout.
    bool FormClose();
    void positionsave(const QHash<QString, bool> &openWindows);
    // Another start of the editor asked for this project (empty: none): the window comes to the
    // front and opens it as the command line does, after the question about unsaved changes.
    // While a dialog is open the request waits for it to close.
    void openRequested(const QString &projectPath);

    // --- recovery of unsaved work
    // Every interval (config.ini "Autosave minutes", 3 when missing, 0 off) a modified project is
    // copied to the recovery file in the editor folder. The interval in milliseconds; 0 stops.
    void setAutosaveInterval(int ms);
    QTimer *autosaveTimer() const { return m_autosave; }
    // Writes the recovery copy when the project has unsaved changes and nothing else runs.
    void autosave();
    // At start: a recovery copy left by a run that did not end properly is offered for restore.
    void offerRecovery();
    // The copy is no longer wanted (saved, closed, replaced).
    void dropRecovery();

    // --- project commands
    void projectNewExecute();
    bool projectOpenExecute();
    bool projectsaveExecute();
    bool projectsaveunderExecute();
    void importieren();
    void exportieren();
    void importchar();
    void importroom();
    // Shared by the two imports: file dialog, wait window, the import, the tree and the result.
    void importElement(int title, const QString &filter, int image,
                       ExchangeResult (*import)(ProjectSession &, const QString &));
    void Action2Execute(); // the script check
    // Setup dialogs and make game (tform1tools.cpp).
    void setupgameExecute();
    void commandlistExecute();
    void fontwindowExecute();
    void languagetoolsExecute();
    void creategameExecute();
    // Resets the project and the trees; returns the tool windows it closed.
    QStringList allesneu();
    // Recounts media and elements into panels 0 and 1 of the status bar.
    void StatusBar1Click();
    // The save button follows the session's modified state.
    void savetimerTimer();
    // Edit > Undo and Redo (also on the toolbar) name the steps they would take.
    void updateUndoActions();
    void setLanguage(const QString &code);

    // --- inserting (kinds: ElementKind, MediaKind)
    void insertElement(int elementKind);
    void insertMedia(int mediaKind);
    void insertroom() { insertElement(Rooms); }
    void insertobject() { insertElement(Objects); }
    void insertchar() { insertElement(Characters); }
    void insertitem() { insertElement(Items); }
    void insertcutscene() { insertElement(Scripts); }
    void insertpic() { insertMedia(Images); }
    void insertsound() { insertMedia(Sounds); }
    void insertmusic() { insertMedia(Music); }
    void insertmovie() { insertMedia(Movies); }

    // --- the game tree
    void gameplus();
    void gameminus();
    void gameordner();
    void gametreeplus();
    void gametreeminus();
    void gamepoolEdited(TreeNode *node, const QString &text);
    void gamepoolClick(TreeNode *node);
    void gamepoolDblClick(TreeNode *node);
    void gamepoolexportClick();
    void Duplizieren1Click();
    // --- the media tree
    void MediaPlus();
    void MediaMinus();
    void MediaOrdner();
    void mediatreeplus();
    void mediatreeminus();
    void mediapoolEdited(TreeNode *node, const QString &text);
    void mediapoolDblClick(TreeNode *node);
    // A click on a media entry (or moving onto another one) asks the preview to show it.
    void mediapoolClick(TreeNode *node);
    // The preview's request slot: the last entry asked for, "free" after a reset.
    PreviewRequest previewRequest() const { return m_previewRequest; }

    // --- tool windows (component names "room", "objbox", "charbox", "itembox", "Form2",
    // "skriptwindow", "mausbox")
    using ToolWindowFactory = std::function<QWidget *(const QString &name)>;
    // Later windows register here; without a factory a tool window is an empty placeholder.
    void setToolWindowFactory(const QString &name, ToolWindowFactory factory);
    // Opens the window when it is closed and returns it.
    QMdiSubWindow *openToolWindow(const QString &name);
    QMdiSubWindow *toolWindow(const QString &name) const;
    bool isToolWindowOpen(const QString &name) const { return toolWindow(name) != nullptr; }
    void closewindow(const QString &name);
    // Index of the open tool window among the child windows, or -1.
    int windowindex(const QString &name) const;
    void bringToFront(const QString &name);
    void windowcas();
    void windowtile();
    void windowtoolbar();
    void helpmanual();
    void helpabout();

    // Asks the script editor to show a script: `key` as ScriptKey spells it ("0intro", "8hall",
    // "free" ...), `line` (from 1, 0 for none) where the caret goes, `show` to open the window
    // when it is closed and bring it to the front. A later request replaces an earlier one that
    // was not yet served.
    void requestScript(const QString &key, int line = 0, bool show = true)
    {
        emit scriptOpenRequested(key, line, show);
    }

signals:
    void scriptOpenRequested(const QString &key, int line, bool show);
    // The preview request changed (or the same entry was clicked again).
    void previewRequested(const mb::PreviewRequest &request);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct ToolWindowInfo;
    static const ToolWindowInfo *toolWindowInfo(const QString &name);

    void FormCreate();
    void buildActions();
    void buildMenus();
    void buildToolBar();
    QWidget *buildPoolPanel(PoolView *view, bool media);
    void popupMenu(PoolView *view, const QPoint &pos);
    void enterOnNode(PoolView *view);
    // Gives the entries of a menu (or the menu bar's titles) mnemonics of their own; run again
    // when a menu opens, since some captions change while the editor runs.
    static void applyMnemonics(const QList<QAction *> &actions);
    void fillRecentMenu();
    // The open project's file joins the recent projects.
    void rememberProject();
    QAction *makeAction(const QString &name, int caption, int hint = 0, const std::function<void()> &slot = {});
    QString caption() const;
    void updateCaption();

    // Runs a change of the trees; afterwards the node the change returns (or else the old
    // selection, or the first root) is selected.
    void changeTrees(const std::function<TreeNode *()> &change);
    // After a change that replaced every node (open, reset, import): the kinds unfolded one
    // level, the first roots selected.
    void showNewTrees();
    const ProjectModel &model() const { return m_session.model(); }
    void showMessage(const Message &message);
    void error(const QString &text);
    void information(const QString &text);
    // "Save changes for ... ?" when the project has changes; false when the user cancels or
    // the save did not happen.
    bool askSaveChanges();
    // A save with its bar in the status bar; `name` is the project name it saves under.
    bool runSave(const QString &name, const std::function<ProjectFileResult()> &save);
    void openFromCommandLine(const QString &path);
    void runMissingFilesCheck();
    // Closes the mouse cursor, room (when the game is not 640 wide) and script windows as a
    // reset does, returning the ones that were open.
    QStringList closeResetWindows();
    void reopen(const QStringList &windows);
    void newFolder(PoolView *view);
    void deleteSelected(PoolView *view);
    void beginBusy();
    void endBusy();

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    PoolOps m_ops;
    std::unique_ptr<Asker> m_dialogs;
    mutable RelayAsker m_questions;
    MissingFiles m_missing;

    PoolTreeModel *m_gameModel = nullptr;
    PoolTreeModel *m_mediaModel = nullptr;
    PoolView *m_gamepool = nullptr;
    PoolView *m_mediapool = nullptr;
    QMdiArea *m_mdi = nullptr;
    QToolBar *m_toolbar = nullptr;
    QSplitter *m_treeSplitter = nullptr;
    QMenu *m_recentMenu = nullptr;
    QLabel *m_panels[3] = {};
    QHash<QString, QAction *> m_actions;
    QAction *m_saveButton = nullptr;
    QTimer *m_autosave = nullptr;
    TForm13 *m_wait = nullptr;
    // The Setup dialogs, made on first use and kept for the whole run.
    Tgamesetup *m_gamesetup = nullptr;
    Tcommandlist *m_commandlist = nullptr;
    Tfontwindow *m_fontwindow = nullptr;
    TForm16 *m_languagetools = nullptr;
    Tmissingfiles *m_missingDialog = nullptr;
    QHash<QString, ToolWindowFactory> m_factories;

    bool m_activated = false;
    bool m_searching = false; // the missing-files search runs and lets events through
    // An open, a save or a build runs and lets the windows repaint between its steps: closing
    // the window waits for it.
    int m_longWork = 0;
    bool m_closing = false;
    bool m_countsPending = false;
    bool m_sixteenBit = false;
    QString m_presetOpen;
    QString m_chosenLanguage;
    QString m_mediaFolder; // where the last media files were picked
    PreviewRequest m_previewRequest = PreviewRequest::free();
};

} // namespace mb
