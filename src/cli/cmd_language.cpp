// The language and sound tools without their window: update the text lists, export the
// dialogues for recording, list the sound and music files the scripts use.
#include "cli/clicontext.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "tools/dialogueexport.h"
#include "tools/languagerecords.h"
#include "tools/languageupdate.h"
#include "tools/soundlists.h"

#include <QFileInfo>

#include <memory>

namespace mb::cli {

namespace {

const QString kLanguage = QStringLiteral("language");
const QString kVoiceNames = QStringLiteral("voice-names");
const QString kNoForgotten = QStringLiteral("no-forgotten");
const QString kNoDedupe = QStringLiteral("no-dedupe");
const QString kNoSkipExisting = QStringLiteral("no-skip-existing");
const QString kOnly = QStringLiteral("only");
const QString kSkipPooled = QStringLiteral("skip-pooled");

// Opens the project named by the first argument; prints the message and returns null on failure.
ProjectSession *open(Context &ctx)
{
    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return nullptr;
    session->options().makeBackup = false;
    return session;
}

// Prints the files written and "Done!", or the error.
int report(Context &ctx, const ToolFilesResult &r)
{
    for (const QString &file : r.files)
        ctx.out << file << "\n";
    if (!r.ok)
        return fail(ctx, r.error);
    ctx.out << ctx.catalog.msg(380) << "\n";
    return Ok;
}

int langUpdate(Context &ctx)
{
    auto session = open(ctx);
    if (!session)
        return Usage;
    updateLanguageLists(*session, ctx.progressLine([&ctx] { return ctx.catalog.msg(456); }));
    const ProjectFileResult saved = session->save();
    if (!saved.ok)
        return fail(ctx, saved.message);
    if (!saved.warning.isEmpty())
        ctx.err << saved.warning << "\n";
    ctx.out << ctx.catalog.msg(saved.statusMessage) << "\n";
    return Ok;
}

int dialogues(Context &ctx)
{
    auto session = open(ctx);
    if (!session)
        return Usage;
    const ProjectModel &model = session->model();
    DialogueExportOptions o;
    o.folder = QFileInfo(ctx.args[1]).absoluteFilePath();
    if (ctx.parser->isSet(kLanguage)) {
        const QString name = ctx.parser->value(kLanguage);
        o.languageSlot = findLanguage(model, name);
        if (o.languageSlot < 0) {
            ctx.err << "--language: the project has no language \"" << name << "\"\n";
            return Usage;
        }
    }
    o.includeVoiceNames = ctx.parser->isSet(kVoiceNames);
    o.forgotten = !ctx.parser->isSet(kNoForgotten);
    o.dedupe = !ctx.parser->isSet(kNoDedupe);
    o.skipExisting = !ctx.parser->isSet(kNoSkipExisting);
    return report(ctx, exportDialogues(model, o));
}

int soundlists(Context &ctx)
{
    SoundListOptions o;
    if (ctx.parser->isSet(kOnly)) {
        o.playsound = o.loopsound = o.playmusic = false;
        for (const QString &kind : ctx.parser->value(kOnly).split(u',', Qt::SkipEmptyParts)) {
            const QString k = kind.trimmed().toLower();
            if (k == QLatin1String("playsound"))
                o.playsound = true;
            else if (k == QLatin1String("loopsound"))
                o.loopsound = true;
            else if (k == QLatin1String("playmusic"))
                o.playmusic = true;
            else {
                ctx.err << "--only: \"" << kind << "\" is not playsound, loopsound or playmusic\n";
                return Usage;
            }
        }
    }
    o.skipPooled = ctx.parser->isSet(kSkipPooled);
    auto session = open(ctx);
    if (!session)
        return Usage;
    const ProjectModel &model = session->model();
    o.folder = QFileInfo(ctx.args[1]).absoluteFilePath();
    return report(ctx, createSoundLists(model, o));
}

void dialogueOptions(QCommandLineParser &p)
{
    p.addOption({kLanguage, QStringLiteral("dialogues: export this language's translations instead of the origin texts."),
                 QStringLiteral("NAME")});
    p.addOption({kVoiceNames, QStringLiteral("dialogues: write \"(voice) - text\" lines and leave out calls without voice file.")});
    p.addOption({kNoForgotten, QStringLiteral("dialogues: with --voice-names, do not list texts without voice file in vergessen.txt.")});
    p.addOption({kNoDedupe, QStringLiteral("dialogues: with --voice-names, write a voice file used more than once every time.")});
    p.addOption({kNoSkipExisting, QStringLiteral("dialogues: with --voice-names, also write voice files that are sounds of the media pool.")});
}

void soundListOptions(QCommandLineParser &p)
{
    p.addOption({kOnly, QStringLiteral("soundlists: the kinds to list, comma-separated (default all three)."),
                 QStringLiteral("playsound,loopsound,playmusic")});
    p.addOption({kSkipPooled, QStringLiteral("soundlists: leave out names that are already in the media pool.")});
}

const Registrar langUpdateCommand({70, QStringLiteral("lang-update"), QStringLiteral("lang-update PROJECT.adv"),
                                   QStringLiteral("Brings the language lists up to date with the scripts and saves the project."),
                                   1, 1, nullptr, langUpdate});
const Registrar dialoguesCommand({71, QStringLiteral("dialogues"),
                                  QStringLiteral("dialogues PROJECT.adv DIR [--language NAME] [--voice-names] [--no-forgotten] [--no-dedupe] [--no-skip-existing]"),
                                  QStringLiteral("Exports the speech and offspeech texts into DIR, one file per character."),
                                  2, 2, dialogueOptions, dialogues});
const Registrar soundlistsCommand({72, QStringLiteral("soundlists"),
                                   QStringLiteral("soundlists PROJECT.adv DIR [--only playsound,loopsound,playmusic] [--skip-pooled]"),
                                   QStringLiteral("Lists the sound and music files the scripts use into DIR."),
                                   2, 2, soundListOptions, soundlists});

} // namespace
} // namespace mb::cli
