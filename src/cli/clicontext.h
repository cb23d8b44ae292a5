#pragma once

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

namespace mb {
class ProjectSession;
}

namespace mb::cli {

// Exit status of every command.
enum Exit { Ok = 0, Problem = 1, Usage = 2 };

// What every command gets: the catalog in the chosen language, the editor folder and its
// settings, the positional arguments after the command name, and the output streams.
struct Context
{
    MessageCatalog catalog;
    QString editorFolder;
    QStringList args;
    QCommandLineParser *parser = nullptr;
    QTextStream out{stdout};
    QTextStream err{stderr};
    EditorSettings settings() const { return EditorSettings(editorFolder); }
    Context() = default;
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
    ~Context();

    // A session with a new project, the editor folder and the backup option of the editor's
    // settings (saves keep a backup unless they were turned off). Its saves show their progress
    // on the terminal. The context owns it (see ~Context).
    ProjectSession *newSession();
    // Opens a project in a new session as the editor does: the reader, then (with repairMissing)
    // the missing-files search of the project folder, which repairs moved media paths as an edit
    // of the session (saved only by commands that save). The open shows its progress on the
    // terminal. On failure prints the message and
    // returns null (the command then exits with Usage). `result`, when given, receives the
    // outcome.
    ProjectSession *load(const QString &advPath, ProjectFileResult *result = nullptr, bool repairMissing = true);

    // Progress of long work, on one line of stderr that each call overwrites, and only when
    // stderr is a terminal: pipes and log files get the results alone. endProgress() clears the
    // line before the results are printed.
    void progress(const QString &text);
    void endProgress();
    // A receiver that shows the share done after the text (which it asks for anew each time)
    // on that line and clears it when the work is complete; empty when stderr is no terminal.
    WorkProgress progressLine(std::function<QString()> text);
    bool progressToTerminal = false; // set from isatty() by main
private:
    bool m_progressShown = false;
    std::vector<std::unique_ptr<ProjectSession>> m_sessions;
};

struct Command
{
    int order = 100; // position in --help
    QString name;
    QString synopsis;    // "check PROJECT.adv"
    QString description; // one line for --help
    int minArgs = 0;
    int maxArgs = 0; // -1: no limit
    // Extra options the command understands (added to the parser before parsing).
    std::function<void(QCommandLineParser &)> addOptions;
    std::function<int(Context &)> run;
    // Runs without Qt's window-system integration (nothing it does draws or measures text), so
    // the program starts it on a plain core application, which starts in a fraction of the time.
    bool windowless = false;
};

// Every command of the front end, in the order --help lists them.
const std::vector<Command> &commands();

// Each command file registers its commands with a file-scope registrar:
//   static const mb::cli::Registrar reg({...});
struct Registrar
{
    explicit Registrar(Command command);
};

// Prints the text (a catalog message with its pieces) to the error stream and returns Problem.
int fail(Context &ctx, const QString &text);

int run(const QStringList &arguments);
// Whether the arguments name a command that runs without the window system (see
// Command::windowless); false when they cannot be parsed or name none.
bool runsWithoutWindowSystem(const QStringList &arguments);

} // namespace mb::cli
