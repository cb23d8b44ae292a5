#include "build/projectexchange.h"

#include "platform/safeextract.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

#include <memory>

namespace mb {

namespace {

// The four kind archives in the order export walks the kinds.
struct KindArchive
{
    int kind;
    const char *archive;
    int zipMessage;   // "Zipping Images..." ...
    int unzipMessage; // "Unzipping Images..." ...
};
constexpr KindArchive kKinds[4] = {
    {Images, "gfx.dat", 172, 163},
    {Music, "music.dat", 173, 165},
    {Sounds, "sfx.dat", 174, 164},
    {Movies, "movie.dat", 175, 166},
};

// The file name of a stored path; a bare name is its own file name.
QString fileNameOf(const QString &path)
{
    const QString part = text::filepart(path);
    return part.isEmpty() && !path.contains(u'/') && !path.contains(u'\\') ? path : part;
}

// A media pool folder's name as the name of its FOLDER.zip. Folder names are cleaned when they
// are typed, but a project file may carry anything.
QString folderArchiveName(const QString &folder)
{
    QString name = folder;
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
            c == u'>' || c == u'|' || c.unicode() < 0x20)
            c = u'_';
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_") + name;
    return name;
}

// Media pool entries of one kind in tree order, each with its folder and its table slot. A
// name that several slots share (a hand-made project) gives its nodes those slots in turn, so
// each file travels in the folder of its own node.
struct PoolEntry
{
    QString folder;
    int slot;
};

std::vector<PoolEntry> poolEntries(const ProjectModel &m, int kind)
{
    const MediaTable &table = m.media[kind];
    QHash<QString, QList<int>> slotsByName;
    for (int i = 1; i <= table.size(); ++i)
        if (!table.name(i).isEmpty())
            slotsByName[table.name(i)] << i;
    std::vector<PoolEntry> out;
    const TreeNode *root = m.mediaTree.root(kind);
    if (!root)
        return out;
    QHash<QString, int> seen;
    std::function<void(const TreeNode *)> walk = [&](const TreeNode *node) {
        for (const auto &child : node->children) {
            if (child->imageIndex == nodeimage::Folder) {
                walk(child.get());
                continue;
            }
            const auto it = slotsByName.constFind(child->text);
            if (it == slotsByName.constEnd())
                continue; // a node without an entry has no file to carry
            const int k = seen[child->text]++;
            out.push_back({folderArchiveName(node->text), it->value(k < it->size() ? k : 0)});
        }
    };
    walk(root);
    return out;
}

ExchangeResult failure(const QString &text)
{
    ExchangeResult r;
    r.message = text;
    return r;
}

// A failure the .adz itself caused.
ExchangeResult badFile(const QString &text)
{
    ExchangeResult r = failure(text);
    r.badInput = true;
    return r;
}

ExchangeResult extractionFailure(const safeextract::Result &r)
{
    return r.damaged ? badFile(r.message) : failure(r.message);
}

bool isKindArchive(const QString &name)
{
    for (const KindArchive &k : kKinds)
        if (name.compare(QLatin1String(k.archive), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The path of an extracted file relative to the folder it was extracted into (the extraction
// reports paths under the folder's canonical path).
QString relativeTo(const QString &folder, const QString &file)
{
    return QDir(QFileInfo(folder).canonicalFilePath()).relativeFilePath(file);
}

QString nativePath(const QString &folder, const QString &file)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(file));
}

} // namespace

QString withExchangeExtension(const QString &chosen, const QString &extension)
{
    if (chosen.right(4).compare(extension, Qt::CaseInsensitive) == 0)
        return chosen;
    return chosen + extension;
}

QString exchangeBaseName(const QString &path)
{
    QString name = fileNameOf(path);
    name.chop(std::min<qsizetype>(4, name.size()));
    return name;
}

static ExchangeResult cancelledResult(const MessageCatalog &catalog)
{
    ExchangeResult r = failure(catalog.extra(extratext::NothingWritten));
    r.cancelled = true;
    return r;
}

ExchangeResult exportProject(const ProjectSession &session, const QString &adzPath, const ExchangeProgress &progress,
                             const ExchangeCancel &cancelled)
{
    const ProjectModel &model = session.model();
    const MessageCatalog &catalog = session.catalog();
    auto report = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    auto stop = [&] { return cancelled && cancelled(); };
    const QString advPath = QDir(session.projectFolder()).filePath(model.settings.projectName + QStringLiteral(".adv"));
    if (session.projectFolder().isEmpty() || session.isModified() || !QFileInfo(advPath).isFile())
        return failure(catalog.msg(122));

    const QString target = QFileInfo(withExchangeExtension(adzPath, QStringLiteral(".adz"))).absoluteFilePath();
    const QString targetFolder = QFileInfo(target).absolutePath();
    if (!QFileInfo(targetFolder).isDir())
        return failure(targetFolder + QStringLiteral(": the folder does not exist"));
    report(catalog.msg(170));
    QTemporaryDir work(QDir(targetFolder).filePath(QStringLiteral(".mossbramble-export-XXXXXX")));
    if (!work.isValid())
        return failure(targetFolder + QStringLiteral(": no work folder can be created there (") + work.errorString() +
                       u')');

    QStringList kindArchives;
    for (const KindArchive &k : kKinds) {
        const std::vector<PoolEntry> entries = poolEntries(model, k.kind);
        if (entries.empty())
            continue;
        // One FOLDER.zip per media pool folder, in the order the folders are first met.
        QStringList folders;
        QHash<QString, std::vector<int>> folderSlots;
        for (const PoolEntry &e : entries) {
            if (!folderSlots.contains(e.folder))
                folders << e.folder;
            folderSlots[e.folder].push_back(e.slot);
        }
        const QString kindFolder = work.filePath(QString::number(k.kind));
        if (!QDir().mkpath(kindFolder))
            return failure(kindFolder + QStringLiteral(": the work folder cannot be created"));
        const MediaTable &table = model.media[k.kind];
        for (const QString &folder : folders)
            for (int slot : folderSlots[folder]) {
                const QString path = table.path(slot);
                if (!QFileInfo(path).isFile())
                    return failure(path + QStringLiteral(": the file of \"") + table.name(slot) +
                                   QStringLiteral("\" is missing; the project was not exported."));
                report(fileNameOf(path) + u' ' + catalog.msg(171));
                if (stop())
                    return cancelledResult(catalog);
            }
        report(catalog.msg(k.zipMessage));
        ZipWriter kindZip(work.filePath(QLatin1String(k.archive)));
        if (!kindZip.isOpen())
            return failure(kindZip.errorString());
        for (const QString &folder : folders) {
            const QString folderZipPath = QDir(kindFolder).filePath(folder + QStringLiteral(".zip"));
            ZipWriter folderZip(folderZipPath);
            if (!folderZip.isOpen())
                return failure(folderZip.errorString());
            for (int slot : folderSlots[folder])
                if (!folderZip.addFile(fileNameOf(table.path(slot)), table.path(slot), 0))
                    return failure(folderZip.errorString());
            if (!folderZip.close())
                return failure(folderZip.errorString());
            if (!kindZip.addFile(folder + QStringLiteral(".zip"), folderZipPath, 0))
                return failure(kindZip.errorString());
        }
        if (!kindZip.close())
            return failure(kindZip.errorString());
        kindArchives << QLatin1String(k.archive);
        if (stop())
            return cancelledResult(catalog);
    }

    ZipWriter adz(target);
    if (!adz.isOpen())
        return failure(adz.errorString());
    for (const QString &archive : kindArchives)
        if (!adz.addFile(archive, work.filePath(archive), 0))
            return failure(adz.errorString());
    if (!adz.addFile(model.settings.projectName + QStringLiteral(".adv"), advPath, 9))
        return failure(adz.errorString());
    const QString icon = model.settings.gameIcon;
    if (!icon.isEmpty() && QFileInfo(icon).isFile() && !isKindArchive(fileNameOf(icon)))
        if (!adz.addFile(fileNameOf(icon), icon, 9))
            return failure(adz.errorString());
    if (!adz.close())
        return failure(adz.errorString());

    ExchangeResult result;
    result.ok = true;
    result.path = target;
    result.statusMessage = 176;
    result.message = catalog.msg(177) + u' ' + QDir::toNativeSeparators(target) + u' ' + catalog.msg(178);
    return result;
}

QString exchangeInputProblem(const QString &path, const MessageCatalog &catalog)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QDir::toNativeSeparators(path) + QStringLiteral(" is a folder, not a file.");
    if (!info.isFile())
        return QDir::toNativeSeparators(path) + u' ' + catalog.msg(116);
    return {};
}

QString freshFolderPath(const QString &wanted)
{
    QString path = wanted;
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = wanted + QStringLiteral("-%1").arg(n);
    return path;
}

QString importBaseFolder(const QString &adzPath, const QString &editorFolder)
{
    const QString folder = QFileInfo(adzPath).absolutePath();
    return text::folderreadonly(folder) ? editorFolder : folder;
}

ExchangeResult importProject(ProjectSession &session, const QString &adzPath, const ExchangeProgress &progress,
                             const ExchangeCancel &cancelled)
{
    const MessageCatalog &catalog = session.catalog();
    auto report = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    auto stop = [&] { return cancelled && cancelled(); };
    if (const QString problem = exchangeInputProblem(adzPath, catalog); !problem.isEmpty())
        return badFile(problem);
    const QFileInfo adzInfo(adzPath);
    const QString adzName = adzInfo.fileName();
    const QString name = exchangeBaseName(adzName);
    if (!safeextract::isSafeFolderName(name))
        return badFile(adzPath + QStringLiteral(": the file name gives no project folder name"));
    const QString base = importBaseFolder(adzInfo.absoluteFilePath(), session.editorFolder());
    if (base.isEmpty())
        return failure(adzInfo.absolutePath() + QStringLiteral(": the folder cannot be written"));
    // An import never writes over what is there: a folder of the name that exists gives NAME-2 ...
    const QString projectFolder = freshFolderPath(QDir(base).filePath(name));

    report(catalog.msg(161));
    report(adzName + u' ' + catalog.msg(162));
    // Everything is unpacked, checked and saved in a private work folder first, which becomes
    // the project folder in one rename at the end: a damaged file leaves neither the open
    // project nor anything in the base folder changed.
    QTemporaryDir work(QDir(base).filePath(QStringLiteral(".mossbramble-import-XXXXXX")));
    if (!work.isValid())
        return failure(base + QStringLiteral(": no work folder can be created there (") + work.errorString() + u')');
    const QString unpacked = work.filePath(QStringLiteral("adz"));
    const safeextract::Result outer = safeextract::extractArchive(adzInfo.absoluteFilePath(), unpacked, adzName);
    if (!outer.ok)
        return extractionFailure(outer);
    if (stop())
        return cancelledResult(catalog);

    QStringList projectFiles, plainFiles; // relative paths; plain files go into the project folder as they are
    QString iconFile;
    QHash<int, QString> kindArchives;
    for (const QString &file : outer.files) {
        const QString relative = relativeTo(unpacked, file);
        const bool topLevel = !relative.contains(u'/');
        bool isKind = false;
        for (const KindArchive &k : kKinds)
            if (topLevel && relative.compare(QLatin1String(k.archive), Qt::CaseInsensitive) == 0 &&
                !kindArchives.contains(k.kind)) {
                kindArchives.insert(k.kind, file);
                isKind = true;
            }
        if (isKind)
            continue;
        plainFiles << relative;
        if (topLevel && relative.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive))
            projectFiles << relative;
        if (topLevel && iconFile.isEmpty() && relative.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive))
            iconFile = relative;
    }
    if (projectFiles.isEmpty())
        return badFile(adzPath + QStringLiteral(": the file holds no project (*.adv); it is not a project export."));
    if (projectFiles.size() > 1)
        return badFile(adzPath + QStringLiteral(": the file holds more than one project (%1); it is not a project "
                                                "export.")
                                     .arg(projectFiles.join(QStringLiteral(", "))));
    const QString advFile = projectFiles.first();
    QString projectName = advFile.chopped(4);
    if (!safeextract::isSafeFolderName(projectName))
        return badFile(adzPath + QStringLiteral(": the project file \"%1\" has no name.").arg(advFile));

    // The kind archives and the folder archives inside them, every name checked before use.
    struct FolderArchive
    {
        int kind;
        QString folder; // the media pool folder the archive is named after
        QString path;
    };
    std::vector<FolderArchive> folderArchives;
    for (const KindArchive &k : kKinds) {
        if (!kindArchives.contains(k.kind))
            continue;
        const QString display = adzName + QStringLiteral(": ") + QLatin1String(k.archive);
        const QString into = work.filePath(QString::number(k.kind));
        const safeextract::Result kind = safeextract::extractArchive(kindArchives.value(k.kind), into, display);
        if (!kind.ok)
            return extractionFailure(kind);
        for (const QString &file : kind.files) {
            const QString relative = relativeTo(into, file);
            if (relative.contains(u'/') || !relative.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
                continue;
            const QString folder = relative.chopped(4);
            if (!safeextract::isSafeFolderName(folder))
                return badFile(display + QStringLiteral(": the folder archive \"%1\" is refused: \"%2\" cannot be a "
                                                        "folder name; nothing was imported.")
                                             .arg(relative, folder));
            const safeextract::Result check = safeextract::checkArchive(file, display + QStringLiteral(": ") + relative);
            if (!check.ok)
                return extractionFailure(check);
            folderArchives.push_back({k.kind, folder, file});
        }
        if (stop())
            return cancelledResult(catalog);
    }

    auto imported = std::make_unique<ProjectModel>();
    const QString advInWork = QDir(unpacked).filePath(advFile);
    ProjectFileResult opened = openProject(*imported, catalog, advInWork);
    if (!opened.ok)
        return badFile(opened.message.replace(advInWork, adzName + u'/' + advFile));

    if (stop())
        return cancelledResult(catalog);
    // The project folder is put together in the work folder; paths point at its final place.
    const QString stage = work.filePath(QStringLiteral("project"));
    if (!QDir().mkpath(stage))
        return failure(stage + QStringLiteral(": the folder cannot be created"));
    for (const QString &relative : std::as_const(plainFiles)) {
        const QString to = QDir(stage).filePath(relative);
        QDir().mkpath(QFileInfo(to).path());
        if (!QFile::rename(QDir(unpacked).filePath(relative), to))
            return failure(to + QStringLiteral(": the file cannot be written"));
    }
    // Unpacked files of each kind by folder, in the order the folders were processed: the media
    // pool folder and the folder on disk, which differ when two archives share a folder name
    // and a file name.
    struct Unpacked
    {
        QString poolFolder, diskFolder;
        QStringList files;
    };
    QHash<int, std::vector<Unpacked>> unpackedByKind;
    int lastKind = -1;
    for (const FolderArchive &fa : folderArchives) {
        if (fa.kind != lastKind) {
            for (const KindArchive &k : kKinds)
                if (k.kind == fa.kind)
                    report(catalog.msg(k.unzipMessage));
            lastKind = fa.kind;
        }
        const QString display = adzName + QStringLiteral(": ") + fa.folder + QStringLiteral(".zip");
        // Folder archives of two kinds may share a folder name; a later one whose files would
        // meet files of the same name goes into FOLDER-2 ...
        QString diskFolder = fa.folder;
        const QStringList entries = ZipReader(fa.path).entryNames();
        auto clashes = [&](const QString &folder) {
            const QDir dir(QDir(stage).filePath(folder));
            return std::any_of(entries.cbegin(), entries.cend(), [&](const QString &e) {
                const QString relative = safeextract::relativeEntryPath(e);
                return !relative.endsWith(u'/') && QFileInfo::exists(dir.filePath(relative));
            });
        };
        for (int n = 2; clashes(diskFolder); ++n)
            diskFolder = fa.folder + QStringLiteral("-%1").arg(n);
        const QString into = QDir(stage).filePath(diskFolder);
        const safeextract::Result r = safeextract::extractArchive(fa.path, into, display);
        if (!r.ok)
            return extractionFailure(r);
        QStringList names;
        for (const QString &file : r.files)
            if (!relativeTo(into, file).contains(u'/'))
                names << QFileInfo(file).fileName();
        unpackedByKind[fa.kind].push_back({fa.folder, diskFolder, names});
    }

    // Link the entries: the file in the entry's own media pool folder first, so that folders
    // holding files of the same name stay apart; then the first folder processed that has one.
    for (const KindArchive &k : kKinds) {
        const auto &folders = unpackedByKind[k.kind];
        if (folders.empty())
            continue;
        MediaTable &table = imported->media[k.kind];
        QSet<int> linked;
        auto fileFor = [&](const QStringList &files, int slot) -> QString {
            const QString wanted = fileNameOf(table.path(slot));
            QString match;
            for (const QString &f : files) {
                if (f == wanted)
                    return f;
                if (match.isEmpty() && text::medianame(f) == table.name(slot))
                    match = f;
            }
            return match;
        };
        for (const PoolEntry &e : poolEntries(*imported, k.kind)) {
            if (linked.contains(e.slot))
                continue;
            for (const Unpacked &u : folders) {
                if (u.poolFolder != e.folder)
                    continue;
                const QString f = fileFor(u.files, e.slot);
                if (!f.isEmpty()) {
                    table.setPath(e.slot, nativePath(QDir(projectFolder).filePath(u.diskFolder), f));
                    linked.insert(e.slot);
                    break;
                }
            }
        }
        for (int slot = 1; slot <= table.size(); ++slot) {
            if (table.name(slot).isEmpty() || linked.contains(slot))
                continue;
            for (const Unpacked &u : folders) {
                const QString f = fileFor(u.files, slot);
                if (!f.isEmpty()) {
                    table.setPath(slot, nativePath(QDir(projectFolder).filePath(u.diskFolder), f));
                    break;
                }
            }
        }
    }

    if (iconFile.isEmpty()) {
        const QStringList icons = QDir(stage).entryList({QStringLiteral("*.ico")}, QDir::Files, QDir::Name);
        if (!icons.isEmpty())
            iconFile = icons.first();
    }
    if (!iconFile.isEmpty())
        imported->settings.gameIcon = nativePath(projectFolder, iconFile);

    SaveOptions options;
    options.makeBackup = session.options().makeBackup;
    options.editorFolder = session.editorFolder();
    const ProjectFileResult saved = saveProject(*imported, stage, projectName, options);
    if (!saved.ok)
        return failure(saved.message);
    if (!QDir().rename(stage, projectFolder))
        return failure(QDir::toNativeSeparators(projectFolder) + QStringLiteral(": the project folder cannot be created"));
    session.replace(std::move(imported), QDir(projectFolder).absolutePath());
    session.setOpenFolder(QDir(projectFolder).absolutePath());

    ExchangeResult result;
    result.ok = true;
    result.path = QDir(projectFolder).filePath(projectName + QStringLiteral(".adv"));
    result.statusMessage = 167;
    result.message = catalog.msg(168) + u' ' + QDir::toNativeSeparators(projectFolder) + u' ' + catalog.msg(169);
    if (!saved.warning.isEmpty())
        result.notes << saved.warning;
    if (QFileInfo(projectFolder).fileName() != name)
        result.notes << QStringLiteral("A folder \"%1\" exists already; the project was imported into \"%2\".")
                            .arg(name, QFileInfo(projectFolder).fileName());
    return result;
}

} // namespace mb
