#include "cli/cliargs.h"

#include "build/projectexchange.h"
#include "cli/clicontext.h"

#include <QDir>
#include <QFileInfo>

namespace mb::cli {

bool requireInputFile(Context &ctx, const QString &path)
{
    const QString problem = exchangeInputProblem(path, ctx.catalog);
    if (problem.isEmpty())
        return true;
    fail(ctx, problem);
    return false;
}

bool requireOutputFile(Context &ctx, const QString &path)
{
    if (path.trimmed().isEmpty()) {
        fail(ctx, QStringLiteral("The output file name is empty; nothing was written."));
        return false;
    }
    if (QFileInfo(path).isDir() || path.endsWith(u'/')) {
        fail(ctx, QDir::toNativeSeparators(path) + QStringLiteral(" is a folder; give the name of a file."));
        return false;
    }
    return true;
}

} // namespace mb::cli
