#pragma once

#include "project/modeldiff.h"
#include "project/projectchange.h"
#include "project/projectedit.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace mb {

class MessageCatalog;
struct TreeStep;

// The six selections the tool windows read ("free" when nothing is selected).
struct CurrentElements
{
    QString media, item, object, character, room, scriptKey;
    CurrentElements() { clear(); }
    void clear();
    bool operator==(const CurrentElements &) const = default;
};

// Options of the editor that are not part of a project (config.ini keys "Fit" and "Backup").
struct EditorOptions
{
    bool fitImage = true;   // the preview fits large images into its window
    bool makeBackup = true; // every save leaves a copy in <editor folder>/backups
};

// The open project and everything that belongs to it while the editor runs: the ProjectModel
// (the project's content, what is saved), the session state (modified, busy, the folders, the
// media-changed flags, the name counters, the tool windows' selections), and one undo stack.
//
// Reading is through model(). Writing happens only inside an edit: edit() for operations over
// several tables and the trees, editRecord() for one record. Each outermost edit that changed
// something becomes one command on the undo stack, so every change can be undone and redone.
// After each change the session sends changed() naming what changed, and modifiedChanged() when
// the modified state flips. "Modified" follows the stack: it is clear at the stack's clean index
// (set by every save) and set anywhere else, or after a change the stack does not hold (see
// markModified()).
//
// New, open and replace() reset the session: the stack is emptied and views hear Reset. The
// editor and the command line open, change and save projects only through a session.
class ProjectSession : public QObject
{
    Q_OBJECT
public:
    // Edits with the same non-zero key merge into one undo step until the gesture ends: a drag,
    // a stroke, a run of arrow keys, typing into one field. 0 never merges.
    using MergeKey = quint64;
    // A key for one control of one window (and, where a window edits several records with the
    // same control, the record's slot).
    static MergeKey mergeKey(const void *owner, int field, int slot = 0);

    // Starts with a new, empty project in the catalog's language. The catalog must outlive the
    // session.
    explicit ProjectSession(const MessageCatalog &catalog, QObject *parent = nullptr);
    ~ProjectSession() override;

    // The open project. The object lives as long as the session: New, Open and imports assign a
    // new project into it.
    const ProjectModel &model() const { return *m_model; }
    // Write access outside the edits, for tests that prepare a project in place: what is written
    // this way cannot be undone, and an undo of an earlier step that touched the same record puts
    // back that step's values. Every window writes through edit() and editRecord().
    ProjectModel &modelForUncommandedEdits() { return *m_model; }
    const MessageCatalog &catalog() const { return m_catalog; }
    QUndoStack *undoStack() { return &m_stack; }

    // --- the project's lifetime

    // A new, empty project (the reset of every table, tree and list). The last game folder is
    // kept, as the editor keeps the one from config.ini.
    void newProject();
    // Opens <advPath> (see openProject()). On success the project folder and the open folder
    // become the file's folder. On failure the message says why and the session holds a new,
    // empty project. Both ways the stack is empty and views hear Reset. An open that the
    // progress receiver stops (`cancelled`) leaves everything as it was: the project open
    // before, its undo stack and its folders; views hear nothing.
    ProjectFileResult open(const QString &advPath);
    // Replaces the project by a model made elsewhere (an imported project, a prepared one).
    void replace(std::unique_ptr<ProjectModel> model, const QString &projectFolder = QString());
    // Saves as <projectFolder>/<project name>.adv; keepCompanionFiles also leaves the four
    // companion files there (make game reads them). Backups follow options().makeBackup.
    ProjectFileResult save(bool keepCompanionFiles = false, const QDateTime &now = QDateTime::currentDateTime());
    // "Save as": the chosen path loses a trailing ".adv"; its folder becomes the project folder
    // and its name the project name.
    ProjectFileResult saveAs(const QString &chosenPath, const QDateTime &now = QDateTime::currentDateTime());
    // Saves as <folder>/<name>.adv. On success the project takes the name and the folder, and
    // the stack's current index becomes its clean index.
    ProjectFileResult saveTo(const QString &folder, const QString &name, bool keepCompanionFiles = false,
                             const QDateTime &now = QDateTime::currentDateTime());

    // Hears how far open() and the saves are (bytes read; see openProject() and SaveOptions).
    // Empty (the default): nothing is told.
    void setProgress(WorkProgress progress) { m_progress = std::move(progress); }
    const WorkProgress &progress() const { return m_progress; }

    // --- state

    bool isModified() const { return m_modified; }
    // Notes a change of the project that the undo stack does not hold (a build's game folder):
    // the project stays modified until the next save or reset.
    void markModified();
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }
    // The folder of the project file; empty while the project was never saved.
    const QString &projectFolder() const { return m_projectFolder; }
    void setProjectFolder(const QString &folder) { m_projectFolder = folder; }
    // Where the open dialog starts (the folder of the last project opened).
    const QString &openFolder() const { return m_openFolder; }
    void setOpenFolder(const QString &folder) { m_openFolder = folder; }
    // The folder of config.ini, backups/ and the runtime files.
    const QString &editorFolder() const { return m_editorFolder; }
    void setEditorFolder(const QString &folder) { m_editorFolder = folder; }
    // The folder of the last game made; stored in the project file. Set by a build and from
    // config.ini, never by an edit.
    void setLastGameFolder(const QString &folder);
    // Whether a game was made from this project since it was opened.
    bool gameBuiltOnce() const { return m_gameBuiltOnce; }
    void setGameBuiltOnce(bool built) { m_gameBuiltOnce = built; }
    // Whether a media kind changed since the last build (every edit of its table sets it, in
    // either direction of undo); a build reuses the archives of kinds that did not.
    bool mediaChanged(int kind) const { return m_mediaChanged[size_t(kind)]; }
    const std::array<bool, 4> &mediaChangedFlags() const { return m_mediaChanged; }
    void setMediaChanged(const std::array<bool, 4> &flags) { m_mediaChanged = flags; }
    // New-name counters (media folder, game folder, item, object, character, script, room):
    // start at 1 with the program and are never reset nor undone.
    std::array<uint16_t, 7> &counters() { return m_counters; }
    CurrentElements &current() { return m_current; }
    const CurrentElements &current() const { return m_current; }
    EditorOptions &options() { return m_options; }
    const EditorOptions &options() const { return m_options; }

    // --- editing

    // Runs `f(ProjectEdit &)`, which writes the tables in `writes` and the trees, and pushes what
    // it changed as one undo command with the text. Nothing is pushed when nothing changed. An
    // edit started inside another one joins it (its tables are added). Returns what f returns.
    // An edit that writes a few slots of big tables (one room, a few placements) names no table
    // here and copies just those slots with ProjectEdit::alsoWritesSlot() before writing them.
    // Edits with the same non-zero merge key merge until endGesture() (a drag, a stroke); an edit
    // with tree steps never merges.
    template <typename F>
    decltype(auto) edit(const QString &text, ModelTables writes, F &&f, MergeKey merge = 0)
    {
        Scope scope(*this, text, writes, merge);
        return std::forward<F>(f)(*scope.edit);
    }

    // Runs `f(Rec &)` on the one record `what` names and pushes the change as an undo command
    // that reports `what` (with its part, state, frame or cell range) to the views. Rec must be
    // the record type of `what`: Rcharacter, Rcutscene, RItem, Robj or Rroom for Element,
    // Rroomchar for RoomCharacter, RFont for Font, RLang for Language, LangLists for Origin,
    // Rmouse for Mouse, GameSettings for Settings, CommandList for Commands, QStringList for
    // NameList. Edits with the same non-zero merge key merge until endGesture(). Returns false,
    // changing nothing, when `what` names no such record or the edit changed nothing.
    template <typename Rec, typename F>
    bool editRecord(const ProjectChange &what, const QString &text, F &&f, MergeKey merge = 0)
    {
        Rec *record = static_cast<Rec *>(recordAddress(what, recordTable<Rec>()));
        if (!record)
            return false;
        Scope scope(*this, text, 0, merge, &what);
        std::forward<F>(f)(*record);
        return scope.changed();
    }

    // Ends the running gesture: the next edit starts a new undo step even with the same key.
    void endGesture() { ++m_gesture; }
    bool isEditing() const { return m_open != nullptr; }

    // Checks every edit against a copy of the whole project and stops the program when an edit
    // wrote a table or a slot it did not name (the test suites turn this on with
    // MOSSBRAMBLE_VERIFY_EDITS).
    static void setVerifyEdits(bool on);

signals:
    void changed(const mb::ProjectChange &change);
    void modifiedChanged(bool modified);

private:
    friend class ProjectEdit;
    class Command;
    struct Open;
    class Scope
    {
    public:
        Scope(ProjectSession &session, const QString &text, ModelTables writes, MergeKey merge = 0,
              const ProjectChange *record = nullptr);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        bool changed() const;
        ProjectEdit *edit = nullptr;

    private:
        ProjectSession &m_session;
        bool m_outer;
    };

    template <typename Rec>
    static constexpr ModelTables recordTable()
    {
        using R = std::remove_cv_t<Rec>;
        if constexpr (std::is_same_v<R, Rcharacter>)
            return table::Characters;
        else if constexpr (std::is_same_v<R, Rcutscene>)
            return table::Scripts;
        else if constexpr (std::is_same_v<R, RItem>)
            return table::Items;
        else if constexpr (std::is_same_v<R, Robj>)
            return table::Objects;
        else if constexpr (std::is_same_v<R, Rroom>)
            return table::Rooms;
        else if constexpr (std::is_same_v<R, Rroomchar>)
            return table::RoomCharacters;
        else if constexpr (std::is_same_v<R, RFont>)
            return table::Fonts;
        else if constexpr (std::is_same_v<R, RLang>)
            return table::Languages;
        else if constexpr (std::is_same_v<R, Rmouse>)
            return table::Mouse;
        else if constexpr (std::is_same_v<R, LangLists>)
            return table::Origin;
        else if constexpr (std::is_same_v<R, GameSettings>)
            return table::Settings;
        else if constexpr (std::is_same_v<R, CommandList>)
            return table::Commands;
        else if constexpr (std::is_same_v<R, QStringList>)
            return table::Names;
        else
            static_assert(sizeof(R) == 0, "not a record type of the project");
    }
    // The record `what` names when it lies in `expected`; null otherwise.
    void *recordAddress(const ProjectChange &what, ModelTables expected);

    void beginEdit(const QString &text, ModelTables writes, MergeKey merge, const ProjectChange *record);
    void endEdit(bool outer);
    // Tables the running edit may write besides the ones it named when it began.
    void nameWrites(ModelTables tables);
    // Takes the model as the open project; without one the open project is emptied in place.
    void reset(std::unique_ptr<ProjectModel> model);
    void updateModified();
    void notify(const ProjectChange &change) { emit changed(change); }
    // Does (forward) or takes back one tree step, telling the views before and after.
    void runStep(TreeStep &step, bool forward);
    void replay(Command &command, bool forward);

    const MessageCatalog &m_catalog;
    std::unique_ptr<ProjectModel> m_model;
    QUndoStack m_stack;
    std::unique_ptr<Open> m_open; // the edit running now
    quint64 m_gesture = 0;
    bool m_modified = false;
    bool m_dirty = false; // changed outside the stack since the last save or reset
    bool m_busy = false;
    bool m_gameBuiltOnce = false;
    std::array<bool, 4> m_mediaChanged{true, true, true, true};
    std::array<uint16_t, 7> m_counters{1, 1, 1, 1, 1, 1, 1};
    QString m_projectFolder, m_openFolder, m_editorFolder;
    CurrentElements m_current;
    EditorOptions m_options;
    WorkProgress m_progress;
};

} // namespace mb
