#pragma once

#include "build/buildstamp.h"
#include "build/gamestarter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace mb {

class BuildQuestions;
class MessageCatalog;
class ProjectSession;

// Make game: turns the open project into a playable game folder T (the folder of the chosen
// program file):
//   T/<EXE>              the runtime (editor folder's engine.dat), icon replaced
//   T/Settings.exe       the settings program (engine.da2), icon replaced
//   T/bass.dll           copied anew on every build
//   T/data/unzdll.dll    copied only when missing
//   T/data/game.dat      zip, level 9: game.001 .. game.004 (+ game.005 when protected)
//   T/data/gfx.dat, sfx.dat, music.dat, movie.dat
//                        zip, level 0, the files of the four media tables under their bare file
//                        names; encrypted with the build password when the game is protected
//   T/data/fonts.dat, font.dat, loading.<ext>
//
// It runs in two phases, as the editor shows them: prepare() checks the project, checks every
// script, updates the language lists, saves the project (leaving its four companion files in
// the project folder) and chooses the program file; build() then writes the folder. run() does
// both. Nothing here shows a window: the status texts go to the progress callback, problems that
// do not stop the build to the problem callback (and into the result), questions to
// BuildQuestions.
//
// The session holds the open project; make game reads and writes its state (busy, modified,
// game built once, last game folder, media changed). The language update of prepare() and the
// new-text marks build() takes off are edits of the session (undo steps). Between prepare() and
// build() the project must not change. Files in between (the companion files, the split images in a
// private temporary folder) are removed again on every way out, also when the build fails or is
// never run.
class MakeGame
{
public:
    // Status texts: a catalog text, or a step text + " : " + the file being handled; an empty
    // text clears the status.
    using Progress = std::function<void(const QString &status)>;
    // How far a step that handles many files is: `done` of `total` (the PNG images split, the
    // files of each media archive). Each new step first reports 0 of 0: no count.
    using Count = std::function<void(int done, int total)>;
    // A problem shown in an error box (caption "Error", 366) after which the build goes on.
    using Problem = std::function<void(const QString &text)>;

    struct Result
    {
        enum Outcome {
            Ready,     // prepare() passed; build() may run
            Built,     // the game folder is complete, or see `message` for what is missing
            Refused,   // a check failed; `message` is the text of its error box; nothing written
            Cancelled, // no program file was chosen
            Failed,    // a file operation of build() failed; `message` names the file
        };
        Outcome outcome = Failed;
        // Refused and Failed: the error. Built: empty when the folder is complete, else the
        // warning naming the runtime files that were missing or could not be copied.
        QString message;
        QString programFile;             // the game's program file, once chosen
        QStringList missingRuntimeFiles; // runtime files not found in the editor folder
        QStringList problems;            // every problem reported, in order
        // Set when the start question was answered Yes: whether the game started, and why not
        // (that text is also one of the problems).
        std::optional<GameStarter::Result> start;
        // Set instead of the start question when the game cannot be started here (no wine, or
        // the program file is no Windows program): how it can be started.
        QString startHint;
        QByteArray password; // the build password of a protected game, empty otherwise

        bool built() const { return outcome == Built; }
        bool complete() const { return outcome == Built && message.isEmpty(); }
    };

    // The runtime files make game copies from the editor folder.
    static const QStringList &runtimeFiles();
    // The archive of a media kind (MediaKind) in T/data.
    static QString archiveName(int mediaKind);

    MakeGame(ProjectSession &session, BuildQuestions &questions);
    ~MakeGame();
    MakeGame(const MakeGame &) = delete;
    MakeGame &operator=(const MakeGame &) = delete;

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setCount(Count count) { m_count = std::move(count); }
    void setProblemHandler(Problem problem) { m_problem = std::move(problem); }
    // Threads that split the PNG images; 0 (the default) uses one per core. The game folder is
    // the same for every number.
    void setThreads(int threads) { m_threads = threads; }
    // The wine program that starts the game; empty looks it up in PATH.
    void setWine(const QString &wine) { m_wine = wine; }

    // Phase A. Checks, in this order, and refuses with the first failure's message: every
    // image file exists; the textscene background image (when used) and the loading image are
    // in the image table and their files exist; every music, sound and movie file exists; font 1
    // is defined; a start cutscene is named ("Start Cutscene : is not existent." when no
    // cutscene has its name, which is only a problem); taskbar, coin interface and custom menu
    // have their rooms when they are on. Then the script check (its mistake text refuses), the
    // language update and the save. A SOURCE_DATE_EPOCH that is not a number of seconds refuses
    // before anything else. With a previous build it asks whether to update it, else it
    // asks for the program file. A folder of the program file equal to the editor folder is
    // refused.
    Result prepare();

    // Phase B, for the program file prepare() chose (".exe" appended when it does not end in it).
    // Before anything is written it reads the saved game data and puts in the text markers; a
    // text whose index in its language list is past TextMarkers::MaxIndex refuses the build
    // (the game would show it untranslated in every language).
    // Every entry of game.dat, fonts.dat and the media archives carries the modification time of
    // its source file (for game.dat and the fonts the project file's), or SOURCE_DATE_EPOCH when
    // it is set, so the same project and media give the same bytes. An update keeps a media
    // archive only when it can prove it current: the kind's media did not change, the game is
    // not protected, and the archive holds exactly the entries it would be made of, none
    // encrypted, each with its source's size and time. Any other archive is made anew.
    // Fails at the first file operation that goes wrong, except for copies of single files,
    // missing images while archiving and split images that cannot be written, which are
    // problems. Runtime files missing from the editor folder leave a complete game data folder
    // and a Built result whose message names them. At the end it asks whether to start the game.
    Result build();

    // prepare(), then build() when it is Ready.
    Result run();

private:
    void status(const QString &text);
    // The status text of a new step; its count starts empty.
    void stepStatus(const QString &text);
    void count(int done, int total);
    void problem(Result &result, const QString &text);
    void removeCompanionFiles();
    QString msg(int n) const;

    ProjectSession &m_session;
    const MessageCatalog &m_catalog;
    BuildQuestions &m_questions;
    Progress m_progress;
    Count m_count;
    Problem m_problem;
    int m_threads = 0;
    QString m_wine;
    QString m_programFile;
    QStringList m_companionFiles; // written by prepare()'s save, removed by build()
    QStringList m_problems;       // of prepare(), carried into build()'s result
    BuildStamp m_stamp;           // the entries' times, chosen by prepare()
};

} // namespace mb
