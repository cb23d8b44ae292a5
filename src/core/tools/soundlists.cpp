#include "tools/soundlists.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "tools/languagescanner.h"

#include <QDir>
#include <QSet>

#include <array>

namespace mb {

namespace {

struct ListKind
{
    ScriptCall::Kind call;
    const char *file;
    MediaKind pool;
};

constexpr std::array<ListKind, 3> kLists = {{
    {ScriptCall::Playsound, "sounds.txt", Sounds},
    {ScriptCall::Loopsound, "loopsounds.txt", Sounds},
    {ScriptCall::Playmusic, "musictracks.txt", Music},
}};

QSet<QString> poolNames(const MediaTable &table)
{
    QSet<QString> names;
    for (int s = 1; s <= table.size(); ++s)
        if (!table.name(s).isEmpty())
            names.insert(table.name(s));
    return names;
}

} // namespace

QString defaultSoundListFolder(const ProjectSession &session)
{
    return langfile::defaultFolder(session, session.catalog().msg(542));
}

ToolFilesResult createSoundLists(const ProjectModel &model, const SoundListOptions &options)
{
    ToolFilesResult r;
    const QDir dir(options.folder);
    const std::array<bool, 3> chosen{options.playsound, options.loopsound, options.playmusic};
    if (!langfile::makeFolder(options.folder, &r.error)) {
        r.ok = false;
        return r;
    }
    LanguageScanner::Kinds kinds = 0;
    for (size_t k = 0; k < kLists.size(); ++k) {
        if (!chosen[k])
            continue;
        kinds |= LanguageScanner::kindBit(kLists[k].call);
        if (!langfile::removeIfExists(dir.filePath(QLatin1String(kLists[k].file)), &r.error)) {
            r.ok = false;
            return r;
        }
    }
    if (!kinds)
        return r;

    std::array<QSet<QString>, 4> pooled;
    if (options.skipPooled) {
        pooled[Sounds] = poolNames(model.media[Sounds]);
        pooled[Music] = poolNames(model.media[Music]);
    }
    std::array<QStringList, 3> lines;
    QSet<QString> written;
    LanguageScanner::forEachScript(model, [&](const QStringList &script) {
        for (const ScriptCall &call : LanguageScanner::scan(script, kinds)) {
            const size_t k = call.kind == ScriptCall::Playsound ? 0 : call.kind == ScriptCall::Loopsound ? 1 : 2;
            const QString name = text::asciiLower(call.argument(1));
            if (name.trimmed().isEmpty() || written.contains(name) || pooled[kLists[k].pool].contains(name))
                continue;
            written.insert(name);
            lines[k].append(QStringLiteral(" - ") + name);
        }
    });

    for (size_t k = 0; k < kLists.size(); ++k) {
        if (lines[k].isEmpty())
            continue;
        const QString path = dir.filePath(QLatin1String(kLists[k].file));
        if (!langfile::writeLines(path, lines[k], &r.error)) {
            r.ok = false;
            return r;
        }
        r.files.append(path);
    }
    return r;
}

} // namespace mb
