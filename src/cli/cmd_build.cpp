// Make game without dialogs: the checks, the language update, the save and the whole game folder.
#include "build/buildquestions.h"
#include "build/makegame.h"
#include "cli/cliasker.h"
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QFileInfo>

#include <memory>

namespace mb::cli {

namespace {

const QString kStartOption = QStringLiteral("start");

int build(Context &ctx)
{
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    // A freshly opened project was never built in this session, so the update question does
    // not come up; the program file is the command's argument, and --start answers "Start now?".
    CliAsker asker(ctx);
    asker.assumeYes = ctx.parser->isSet(kStartOption);
    asker.replies << QFileInfo(ctx.args[1]).absoluteFilePath();
    AskedBuildQuestions questions(asker, ctx.catalog);
    MakeGame make(*session, questions);
    // Step texts only; the files each step handles would drown them.
    make.setProgress([&ctx](const QString &status) {
        if (status.isEmpty() || status.contains(QLatin1String(" : ")))
            return;
        ctx.out << status << "\n";
        ctx.out.flush();
    });
    make.setProblemHandler([&ctx](const QString &text) {
        ctx.err << text << "\n";
        ctx.err.flush();
    });

    const MakeGame::Result result = make.run();
    switch (result.outcome) {
    case MakeGame::Result::Built:
        ctx.out << result.programFile << "\n";
        ctx.out.flush();
        if (!result.message.isEmpty())
            return fail(ctx, result.message);
        // Asked to start a game that cannot be started here: say how it can be.
        if (ctx.parser->isSet(kStartOption) && !result.startHint.isEmpty())
            return fail(ctx, result.startHint);
        return result.start && !result.start->started ? int(Problem) : int(Ok);
    case MakeGame::Result::Cancelled:
        return fail(ctx, QStringLiteral("No program file was given."));
    default:
        return fail(ctx, result.message);
    }
}

const Registrar buildCommand(
    {40, QStringLiteral("build"), QStringLiteral("build PROJECT.adv GAME.exe [--start]"),
     QStringLiteral("Makes the game: checks, language update, save, the whole game folder of GAME.exe "
                    "(\".exe\" is appended when missing). Exit 1 when a check fails or the editor "
                    "folder lacks runtime files; --start starts the game afterwards (through wine)."),
     2, 2,
     [](QCommandLineParser &parser) {
         parser.addOption(QCommandLineOption(kStartOption, QStringLiteral("build: start the game when it is made.")));
     },
     build});

} // namespace

} // namespace mb::cli
