// Commands that move projects, rooms and characters between machines, repair missing media
// paths and duplicate game elements.
#include "build/elementexchange.h"
#include "build/projectexchange.h"
#include "cli/cliargs.h"
#include "cli/clicontext.h"
#include "project/messagecatalog.h"
#include "project/duplicate.h"
#include "project/missingfiles.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace mb::cli {

namespace {

// Opens the project without the missing-files search; on failure prints the message and
// returns null.
ProjectSession *open(Context &ctx, const QString &path)
{
    return ctx.load(path, nullptr, false);
}

int save(Context &ctx, ProjectSession &session)
{
    const ProjectFileResult saved = session.save();
    if (!saved.ok)
        return fail(ctx, saved.message);
    if (!saved.warning.isEmpty())
        ctx.err << saved.warning << "\n";
    return Ok;
}

// A failed import: exit Usage when the file given was at fault.
int importFailed(Context &ctx, const ExchangeResult &result)
{
    fail(ctx, result.message);
    return result.badInput ? Usage : Problem;
}

int finishImport(Context &ctx, ProjectSession &session, const ExchangeResult &result)
{
    if (!result.ok)
        return importFailed(ctx, result);
    for (const QString &note : result.notes)
        ctx.out << note << "\n";
    if (const int status = save(ctx, session); status != Ok)
        return status;
    ctx.out << result.message << "\n";
    return Ok;
}

int exportCmd(Context &ctx)
{
    if (!requireOutputFile(ctx, ctx.args[1]))
        return Usage;
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    const ExchangeResult r = exportProject(*session, QFileInfo(ctx.args[1]).absoluteFilePath(),
                                           [&ctx](const QString &step) { ctx.progress(step); });
    ctx.endProgress();
    if (!r.ok)
        return fail(ctx, r.message);
    ctx.out << r.message << "\n";
    return Ok;
}

int importCmd(Context &ctx)
{
    if (!requireInputFile(ctx, ctx.args[0]))
        return Usage;
    auto session = ctx.newSession();
    const ExchangeResult r = importProject(*session, QFileInfo(ctx.args[0]).absoluteFilePath(),
                                           [&ctx](const QString &step) { ctx.progress(step); });
    ctx.endProgress();
    if (!r.ok)
        return importFailed(ctx, r);
    for (const QString &note : r.notes)
        ctx.err << note << "\n";
    ctx.out << QDir::toNativeSeparators(r.path) << "\n";
    return Ok;
}

int exportRoomCmd(Context &ctx)
{
    if (!requireOutputFile(ctx, ctx.args[2]))
        return Usage;
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    const ExchangeResult r = exportRoom(session->model(), ctx.catalog, ctx.args[1], QFileInfo(ctx.args[2]).absoluteFilePath());
    if (!r.ok)
        return fail(ctx, r.message);
    ctx.out << r.message << "\n";
    return Ok;
}

int exportCharCmd(Context &ctx)
{
    if (!requireOutputFile(ctx, ctx.args[2]))
        return Usage;
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    const ExchangeResult r =
        exportCharacter(session->model(), ctx.catalog, ctx.args[1], QFileInfo(ctx.args[2]).absoluteFilePath());
    if (!r.ok)
        return fail(ctx, r.message);
    ctx.out << r.message << "\n";
    return Ok;
}

int importRoomCmd(Context &ctx)
{
    if (!requireInputFile(ctx, ctx.args[1]))
        return Usage;
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    return finishImport(ctx, *session, importRoom(*session, QFileInfo(ctx.args[1]).absoluteFilePath()));
}

int importCharCmd(Context &ctx)
{
    if (!requireInputFile(ctx, ctx.args[1]))
        return Usage;
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    return finishImport(ctx, *session, importCharacter(*session, QFileInfo(ctx.args[1]).absoluteFilePath()));
}

int missingCmd(Context &ctx)
{
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    MissingFiles search(*session);
    search.setProgressHandler([&ctx](const MissingFiles::Progress &p) {
        ctx.progress(ctx.catalog.extra(extratext::SearchingFolder)
                         .arg(p.stillMissing)
                         .arg(QDir::toNativeSeparators(p.folder)));
        return true;
    });
    search.check();
    for (const QString &folder : ctx.args.mid(1)) {
        if (!QFileInfo(folder).isDir()) {
            fail(ctx, folder + QStringLiteral(": not a folder"));
            return Usage;
        }
        search.addFolder(folder);
    }
    search.finish();
    ctx.endProgress();
    for (const MissingEntry &e : search.missing())
        ctx.out << e.letter() << ' ' << e.name << ": " << e.path << "\n";
    ctx.out << search.repairedCount() << " repaired, " << search.count() << " missing\n";
    if (session->isModified())
        if (const int status = save(ctx, *session); status != Ok)
            return status;
    return search.count() == 0 ? Ok : Problem;
}

int duplicateCmd(Context &ctx)
{
    static const char *const words[5] = {"character", "script", "item", "object", "room"};
    int kind = -1;
    for (int k = 0; k < 5; ++k)
        if (text::sameText(ctx.args[1], QString::fromLatin1(words[k])))
            kind = k;
    if (kind < 0) {
        fail(ctx, QStringLiteral("KIND must be script, item, character, object or room"));
        return Usage;
    }
    auto session = open(ctx, ctx.args[0]);
    if (!session)
        return Usage;
    const DuplicateResult r = duplicateElement(*session, kind, ctx.args[2]);
    if (!r.ok)
        return fail(ctx, r.message.render(ctx.catalog));
    if (const int status = save(ctx, *session); status != Ok)
        return status;
    ctx.out << r.name << "\n";
    return Ok;
}

const Registrar exportCommand({80, QStringLiteral("export"), QStringLiteral("export PROJECT.adv OUT.adz"),
                               QStringLiteral("Packs the project and all its media into one exchange file."), 2, 2,
                               nullptr, exportCmd});
const Registrar importCommand({81, QStringLiteral("import"), QStringLiteral("import IN.adz"),
                               QStringLiteral("Unpacks an exchange file into a new project folder beside it (or "
                                              "beside the editor) and prints the new project's path."),
                               1, 1, nullptr, importCmd});
const Registrar exportRoomCommand({82, QStringLiteral("export-room"), QStringLiteral("export-room PROJECT.adv ROOM OUT.adr"),
                                   QStringLiteral("Writes one room with its objects, scripts and images."), 3, 3,
                                   nullptr, exportRoomCmd});
const Registrar exportCharCommand({83, QStringLiteral("export-char"),
                                   QStringLiteral("export-char PROJECT.adv CHARACTER OUT.adc"),
                                   QStringLiteral("Writes one character with its images."), 3, 3, nullptr,
                                   exportCharCmd});
const Registrar importRoomCommand({84, QStringLiteral("import-room"), QStringLiteral("import-room PROJECT.adv IN.adr"),
                                   QStringLiteral("Adds the room of an exchange file to the project and saves it."), 2,
                                   2, nullptr, importRoomCmd});
const Registrar importCharCommand({85, QStringLiteral("import-char"), QStringLiteral("import-char PROJECT.adv IN.adc"),
                                   QStringLiteral("Adds the character of an exchange file to the project and saves it."),
                                   2, 2, nullptr, importCharCmd});
const Registrar missingCommand({86, QStringLiteral("missing"), QStringLiteral("missing PROJECT.adv [FOLDER...]"),
                                QStringLiteral("Lists media whose files are missing after searching the project "
                                               "folder and the FOLDERs, repairs what is found and saves; exit status "
                                               "1 while files are still missing."),
                                1, -1, nullptr, missingCmd});
const Registrar duplicateCommand({87, QStringLiteral("duplicate"), QStringLiteral("duplicate PROJECT.adv KIND NAME"),
                                  QStringLiteral("Copies the script, item, character, object or room NAME, saves and "
                                                 "prints the copy's name."),
                                  3, 3, nullptr, duplicateCmd});

} // namespace

} // namespace mb::cli
