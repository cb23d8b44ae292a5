// Commands that open and save project files.
#include "cli/cliargs.h"
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QFileInfo>

#include <memory>

namespace mb::cli {

namespace {

int resave(Context &ctx)
{
    if (!requireOutputFile(ctx, ctx.args[1]))
        return Usage;
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    session->options().makeBackup = false;
    // The project takes the new name only when it is saved: the progress names it already.
    QString name = QFileInfo(ctx.args[1]).fileName();
    if (name.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive))
        name.chop(4);
    session->setProgress(
        ctx.progressLine([&ctx, name] { return ctx.catalog.extra(extratext::SavingProject).arg(name); }));
    const ProjectFileResult saved = session->saveAs(QFileInfo(ctx.args[1]).absoluteFilePath());
    if (!saved.ok)
        return fail(ctx, saved.message);
    if (!saved.warning.isEmpty())
        ctx.err << saved.warning << "\n";
    ctx.out << ctx.catalog.msg(saved.statusMessage) << "\n";
    return Ok;
}

int info(Context &ctx)
{
    ProjectFileResult opened;
    auto session = ctx.load(ctx.args[0], &opened);
    if (!session)
        return Usage;
    const ProjectModel &m = session->model();
    int placements = 0, cellScripts = 0;
    for (const Rroom &r : m.rooms) {
        if (r.name.isEmpty())
            continue;
        for (const Rroomobj &o : r.objects)
            placements += o.instanceName.isEmpty() ? 0 : 1;
        for (const auto &entry : r.walkmap.scripts()) {
            const int col = entry.first / Walkmap::Rows + 1, row = entry.first % Walkmap::Rows + 1;
            cellScripts += r.walkmap.hasScript(col, row) ? 1 : 0;
        }
    }
    QTextStream &o = ctx.out;
    o << "version: " << opened.version << "\n";
    o << "project: " << m.settings.projectName << "\n";
    o << "resolution: " << m.settings.gameWidth << "x" << m.settings.gameHeight << "\n";
    o << "scripts: " << m.cutscenes.usedCount() << "\n";
    o << "items: " << m.items.usedCount() << "\n";
    o << "characters: " << m.characters.usedCount() << "\n";
    o << "objects: " << m.objects.usedCount() << "\n";
    o << "rooms: " << m.rooms.usedCount() << "\n";
    o << "object placements: " << placements << "\n";
    o << "walkmap cell scripts: " << cellScripts << "\n";
    o << "character placements: " << m.roomChars.usedCount() << "\n";
    o << "fonts: " << m.fontCount() << "\n";
    o << "languages: " << m.languages.usedCount() << "\n";
    o << "images: " << m.media[Images].usedCount() << "\n";
    o << "sounds: " << m.media[Sounds].usedCount() << "\n";
    o << "music: " << m.media[Music].usedCount() << "\n";
    o << "movies: " << m.media[Movies].usedCount() << "\n";
    o << "commands: " << int(m.commands.rows.size()) << "\n";
    o << "bools: " << int(m.commands.bools.size()) << "\n";
    return Ok;
}

const Registrar resaveCommand({20, QStringLiteral("resave"), QStringLiteral("resave IN.adv OUT.adv"),
                               QStringLiteral("Opens IN (any version) and saves it as OUT; the project name comes from OUT."),
                               2, 2, nullptr, resave, true});
const Registrar infoCommand({21, QStringLiteral("info"), QStringLiteral("info PROJECT.adv"),
                             QStringLiteral("Prints the project name, resolution and the count of every table."),
                             1, 1, nullptr, info, true});

} // namespace
} // namespace mb::cli
