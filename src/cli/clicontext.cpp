#include "cli/clicontext.h"

#include "platform/editorfolder.h"
#include "project/missingfiles.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace mb::cli {

namespace {

QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    text += QStringLiteral("\nCommands:\n");
    for (const Command &c : commands())
        text += QStringLiteral("  %1\n      %2\n").arg(c.synopsis, c.description);
    return text;
}

} // namespace

void Context::progress(const QString &text)
{
    if (!progressToTerminal)
        return;
    // Carriage return and "erase to end of line": the next step writes over this one.
    err << "\r\x1b[K" << text;
    err.flush();
    m_progressShown = true;
}

void Context::endProgress()
{
    if (!m_progressShown)
        return;
    err << "\r\x1b[K";
    err.flush();
    m_progressShown = false;
}

WorkProgress Context::progressLine(std::function<QString()> text)
{
    if (!progressToTerminal)
        return {};
    return [this, text = std::move(text)](qint64 done, qint64 total) {
        if (done >= total)
            endProgress();
        else
            progress(QStringLiteral("%1 %2%").arg(text()).arg(done * 100 / total));
        return true;
    };
}

Context::~Context()
{
    // A command runs once per process, and the process ends right after it: the system takes
    // the sessions' memory back at once, while freeing a big project record by record would
    // cost about a fifth of the time it took to read it.
    for (std::unique_ptr<ProjectSession> &session : m_sessions)
        (void)session.release();
}

ProjectSession *Context::newSession()
{
    ProjectSession *session = m_sessions.emplace_back(std::make_unique<ProjectSession>(catalog)).get();
    session->setEditorFolder(editorFolder);
    session->options().makeBackup = settings().readsetting(QStringLiteral("Backup")) != QLatin1String("aus");
    const ProjectSession *saving = session;
    session->setProgress(progressLine([this, saving] {
        return catalog.extra(extratext::SavingProject).arg(saving->model().settings.projectName);
    }));
    return session;
}

ProjectSession *Context::load(const QString &advPath, ProjectFileResult *result, bool repairMissing)
{
    ProjectSession *session = newSession();
    const WorkProgress saving = session->progress();
    const QString fileName = QFileInfo(advPath).fileName();
    session->setProgress(progressLine(
        [this, fileName] { return catalog.extra(extratext::OpeningProject).arg(fileName); }));
    const ProjectFileResult opened = session->open(QFileInfo(advPath).absoluteFilePath());
    session->setProgress(saving);
    if (result)
        *result = opened;
    if (!opened.ok) {
        fail(*this, opened.message);
        return nullptr;
    }
    if (repairMissing) {
        MissingFiles missing(*session);
        missing.check();
        missing.finish();
    }
    return session;
}

namespace {

// The options every command understands, and the parser that knows them and the commands' own.
struct CommonOptions
{
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and the commands.")};
    QCommandLineOption lang{QStringLiteral("lang"), QStringLiteral("Language of the messages: EN or DE."),
                            QStringLiteral("EN|DE"), QStringLiteral("EN")};
    QCommandLineOption folder{QStringLiteral("editor-folder"),
                              QStringLiteral("Editor folder (config.ini, backups, runtime files)."),
                              QStringLiteral("DIR")};
};

void setUpParser(QCommandLineParser &parser, const CommonOptions &options)
{
    parser.setApplicationDescription(
        QStringLiteral("Mossbramble command line: the editor's project operations without windows."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption(options.help);
    parser.addVersionOption();
    parser.addOption(options.lang);
    parser.addOption(options.folder);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));
    for (const Command &c : commands())
        if (c.addOptions)
            c.addOptions(parser);
}

} // namespace

bool runsWithoutWindowSystem(const QStringList &arguments)
{
    QCommandLineParser parser;
    const CommonOptions options;
    setUpParser(parser, options);
    if (!parser.parse(arguments) || parser.positionalArguments().isEmpty())
        return false;
    const QString name = parser.positionalArguments().first();
    for (const Command &c : commands())
        if (c.name == name)
            return c.windowless;
    return false;
}

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const CommonOptions options;
    setUpParser(parser, options);
    const QCommandLineOption &helpOption = options.help, &langOption = options.lang, &folderOption = options.folder;

    QTextStream err(stderr);
    QTextStream out(stdout);
    if (!parser.parse(arguments)) {
        err << parser.errorText() << "\n";
        return Usage;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << QCoreApplication::applicationName() << " " << QCoreApplication::applicationVersion() << "\n";
        return Ok;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(helpOption) || positional.isEmpty()) {
        (positional.isEmpty() && !parser.isSet(helpOption) ? err : out) << helpText(parser);
        return parser.isSet(helpOption) ? Ok : Usage;
    }
    const QString lang = parser.value(langOption).toUpper();
    if (lang != QLatin1String("EN") && lang != QLatin1String("DE")) {
        err << "--lang must be EN or DE\n";
        return Usage;
    }

    const QString name = positional.first();
    for (const Command &c : commands()) {
        if (c.name != name)
            continue;
        Context ctx;
        ctx.catalog.setLanguage(lang);
        ctx.editorFolder = parser.isSet(folderOption) ? QDir(parser.value(folderOption)).absolutePath()
                                                      : defaultEditorFolder();
        ctx.args = positional.mid(1);
        ctx.parser = &parser;
        ctx.progressToTerminal = ::isatty(STDERR_FILENO) == 1;
        if (ctx.args.size() < c.minArgs || (c.maxArgs >= 0 && ctx.args.size() > c.maxArgs)) {
            err << "usage: mossbramble-cli " << c.synopsis << "\n";
            return Usage;
        }
        const int status = c.run(ctx);
        ctx.endProgress();
        return status;
    }
    err << "unknown command: " << name << "\n" << helpText(parser);
    return Usage;
}

} // namespace mb::cli
