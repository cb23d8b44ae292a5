// The font step of make game on its own: renders a project's fonts into a folder.
#include "build/fontfiles.h"
#include "build/fontrenderer.h"
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace mb::cli {

namespace {

int fonts(Context &ctx)
{
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    const ProjectModel &model = session->model();
    if (model.fontCount() == 0)
        return fail(ctx, ctx.catalog.msg(117));
    if (!FontRenderer::available())
        return fail(ctx, QStringLiteral("Fonts cannot be rendered: this program was started without a font database."));

    const QString folder = QFileInfo(ctx.args[1]).absoluteFilePath();
    if (!QDir().mkpath(folder))
        return fail(ctx, folder + QStringLiteral(": cannot create the folder"));

    QString error;
    const bool ok = FontFiles::renderProjectFonts(model, folder, &error, [&ctx](int font) {
        ctx.out << ctx.catalog.msg(125) << " (" << font << ")\n";
        ctx.out.flush();
    });
    if (!ok)
        return fail(ctx, error);

    // The runtime's own font file goes beside the pack when the editor folder has it; the
    // rendered fonts are complete without it.
    if (QFileInfo::exists(QDir(ctx.editorFolder).filePath(FontFiles::runtimeFileName()))) {
        if (!FontFiles::copyRuntimeFile(ctx.editorFolder, folder, &error))
            return fail(ctx, error);
    } else {
        ctx.err << QDir(ctx.editorFolder).filePath(FontFiles::runtimeFileName())
                << ": not found, not copied\n";
    }
    return Ok;
}

const Registrar fontsCommand({60, QStringLiteral("fonts"), QStringLiteral("fonts PROJECT.adv DIR"),
                              QStringLiteral("Renders the project's fonts into DIR (fonts.dat, font.dat) as make game does."),
                              2, 2, nullptr, fonts});

} // namespace

} // namespace mb::cli
