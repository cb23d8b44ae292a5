// The project-wide script search without the editor, for authors' own tools and CI.
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "script/scriptsearch.h"

namespace mb::cli {

namespace {

const QString kCase = QStringLiteral("case");
const QString kWord = QStringLiteral("word");
const QString kReplace = QStringLiteral("replace");

constexpr int MsgLine = 545;

void findOptions(QCommandLineParser &parser)
{
    parser.addOption({kCase, QStringLiteral("find: match letter case.")});
    parser.addOption({kWord, QStringLiteral("find: match whole words only.")});
    parser.addOption({kReplace, QStringLiteral("find: replace every match by NEW and save."), QStringLiteral("NEW")});
}

// One line per matching script line: where it is, its number and its text.
void printHits(Context &ctx, const ScriptSearchResult &found)
{
    const QString line = ctx.catalog.msg(MsgLine);
    for (const ScriptHit &hit : found.hits)
        ctx.out << scriptLabel(hit.location, ctx.catalog) << "\" (" << line << ' ' << hit.line
                << "): " << hit.text << "\n";
}

int find(Context &ctx)
{
    const QString text = ctx.args[1];
    const bool replacing = ctx.parser->isSet(kReplace);
    const QString replacement = ctx.parser->value(kReplace);
    if (text.isEmpty()) {
        ctx.err << "find: the text to find is empty\n";
        return Usage;
    }
    // Scripts are lists of lines without tabs; a replacement must not break either.
    if (replacement.contains(u'\t') || replacement.contains(u'\n') || replacement.contains(u'\r')) {
        ctx.err << "find: the replacement must not contain tabs or line breaks\n";
        return Usage;
    }
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    session->options().makeBackup = false;
    const ProjectModel &model = session->model();

    const TextMatcher matcher(text, {ctx.parser->isSet(kCase), ctx.parser->isSet(kWord)});
    const ScriptSearchResult found = findInProject(model, matcher);
    printHits(ctx, found);
    if (replacing && found.matchCount > 0) {
        const QList<ScriptChange> changes = planReplaceInProject(model, matcher, replacement).changes;
        applyScriptChanges(*session, changes);
        const ProjectFileResult saved = session->save();
        if (!saved.ok)
            return fail(ctx, saved.message);
    }
    ctx.out << searchSummary(found.matchCount, found.scriptCount, ctx.catalog) << "\n";
    return found.matchCount > 0 ? Ok : Problem;
}

const Registrar findCommand({35, QStringLiteral("find"),
                             QStringLiteral("find PROJECT.adv TEXT [--case] [--word] [--replace NEW]"),
                             QStringLiteral("Lists every script line holding TEXT (letter case ignored unless --case); "
                                            "--replace replaces every match and saves. Exit 1 without hits."),
                             2, 2, findOptions, find});

} // namespace
} // namespace mb::cli
