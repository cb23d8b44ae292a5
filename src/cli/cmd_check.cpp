// The script check without the editor: the same texts as the check's message boxes.
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "script/scriptchecker.h"

#include <memory>

namespace mb::cli {

namespace {

constexpr int MsgNoErrors = 179;

int check(Context &ctx)
{
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    const ProjectModel &model = session->model();
    if (const auto mistake = ScriptChecker(ctx.catalog).check(model))
        return fail(ctx, mistake->text);
    ctx.out << ctx.catalog.msg(MsgNoErrors) << "\n";
    return Ok;
}

const Registrar checkCommand({30, QStringLiteral("check"), QStringLiteral("check PROJECT.adv"),
                              QStringLiteral("Checks every script; prints the first mistake or \"No errors found.\"."),
                              1, 1, nullptr, check});

} // namespace

} // namespace mb::cli
