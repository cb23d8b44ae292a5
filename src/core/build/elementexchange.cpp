#include "build/elementexchange.h"

#include "platform/ansicodec.h"
#include "platform/safeextract.h"
#include "platform/ziparchive.h"
#include "project/duplicate.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace mb {

namespace {

constexpr int kMsgAlreadyExists = 147, kMsgDone = 380, kMsgObjectNoun = 153;
constexpr qint64 kMaxTextEntry = qint64(64) << 20;

// The 22 bytes of a zip archive without entries: libzip writes no file for an empty archive,
// but an exchange file always carries its image archive.
const QByteArray &emptyZip()
{
    static const QByteArray bytes = QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    return bytes;
}

ExchangeResult failure(const QString &text)
{
    ExchangeResult r;
    r.message = text;
    return r;
}

// A failure the exchange file itself caused.
ExchangeResult badFile(const QString &text)
{
    ExchangeResult r = failure(text);
    r.badInput = true;
    return r;
}

QString fileNameOf(const QString &path)
{
    if (!path.contains(u'/') && !path.contains(u'\\'))
        return path;
    return text::filepart(path);
}

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines = ansi::decode(bytes).split(u'\n');
    for (QString &l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// ---- export ----

// The image files of the names, each file once, in first-use order. A name without an image
// entry has nothing to pack; an entry whose file is missing is an error.
bool imageFiles(const ProjectModel &m, const QStringList &names, QStringList *paths, QString *error)
{
    QSet<QString> seenNames, seenPaths;
    const MediaTable &table = m.media[Images];
    for (const QString &name : names) {
        if (name.isEmpty() || seenNames.contains(name))
            continue;
        seenNames.insert(name);
        const int slot = table.find(name);
        if (slot == 0)
            continue;
        const QString path = table.path(slot);
        if (!QFileInfo(path).isFile()) {
            *error = path + QStringLiteral(": the file of the image \"") + name + QStringLiteral("\" is missing.");
            return false;
        }
        if (!seenPaths.contains(path)) {
            seenPaths.insert(path);
            *paths << path;
        }
    }
    return true;
}

template <typename Frames>
void frameImages(const Frames &frames, QStringList *names)
{
    for (size_t s = 0; s < Frames::size(); ++s)
        for (const Rframe &f : frames[s]) {
            *names << f.image;
            *names << f.image2;
        }
}

struct ExchangeEntry
{
    QString name;
    QByteArray bytes;
};

ExchangeResult writeExchange(const MessageCatalog &catalog, const QString &target, const QList<ExchangeEntry> &texts,
                             const QString &imageArchive, const QStringList &imagePaths)
{
    const QString folder = QFileInfo(target).absolutePath();
    QTemporaryDir work(QDir(folder).filePath(QStringLiteral(".mossbramble-export-XXXXXX")));
    if (!work.isValid())
        return failure(folder + QStringLiteral(": no work folder can be created there (") + work.errorString() + u')');
    const QString images = work.filePath(imageArchive);
    if (!imagePaths.isEmpty()) {
        ZipWriter zip(images);
        if (!zip.isOpen())
            return failure(zip.errorString());
        for (const QString &path : imagePaths)
            if (!zip.addFile(fileNameOf(path), path, 0))
                return failure(zip.errorString());
        if (!zip.close())
            return failure(zip.errorString());
    }
    QString list;
    for (const QString &path : imagePaths)
        list += path + QStringLiteral("\r\n");

    ZipWriter out(target);
    if (!out.isOpen())
        return failure(out.errorString());
    bool ok = true;
    for (const ExchangeEntry &e : texts)
        ok = ok && out.addBytes(e.name, e.bytes, 9);
    ok = ok && (imagePaths.isEmpty() ? out.addBytes(imageArchive, emptyZip(), 9) : out.addFile(imageArchive, images, 9));
    ok = ok && out.addBytes(QStringLiteral("list.gfx"), ansi::encode(list), 9);
    if (!ok || !out.close())
        return failure(out.errorString());
    ExchangeResult r;
    r.ok = true;
    r.path = target;
    r.message = catalog.msg(kMsgDone);
    return r;
}

// ---- import ----

struct ExchangeFile
{
    QString display; // the file name, for messages
    QString name;    // NAME: the file name without its last four characters
    QByteArray records, scripts, images, list;
    QHash<QString, QString> imageFiles; // file name -> path inside the image archive
};

// Reads the exchange file at `path`, or, when `data` is given, the file's bytes in memory (the
// path then only names it).
ExchangeResult readExchange(const QString &path, const QByteArray *data, const QString &recordsEntry,
                            const QString &scriptsEntry, const QString &imagesEntry, ExchangeFile *file)
{
    const QFileInfo info(path);
    file->display = info.fileName();
    if (!data && !info.isFile())
        return badFile(path + QStringLiteral(": the file does not exist."));
    const auto zipHolder = data ? std::make_unique<ZipReader>(*data) : std::make_unique<ZipReader>(info.absoluteFilePath());
    ZipReader &zip = *zipHolder;
    if (!zip.isOpen())
        return badFile(file->display + QStringLiteral(": not an exchange file (") + zip.errorString() + u')');
    const safeextract::Result outer = data ? safeextract::checkArchive(*data, file->display)
                                           : safeextract::checkArchive(info.absoluteFilePath(), file->display);
    if (!outer.ok)
        return badFile(outer.message);
    auto read = [&](const QString &entry, qint64 limit, QByteArray *into) {
        if (!zip.entryNames().contains(entry)) {
            *into = QByteArray();
            return badFile(file->display + QStringLiteral(": the entry ") + entry +
                           QStringLiteral(" is missing; the file is damaged or not an exchange file."));
        }
        const auto bytes = zip.read(entry, limit);
        if (!bytes)
            return badFile(file->display + QStringLiteral(": ") + entry + QStringLiteral(": ") + zip.errorString());
        *into = *bytes;
        ExchangeResult ok;
        ok.ok = true;
        return ok;
    };
    for (const auto &[entry, limit, into] :
         {std::tuple{recordsEntry, kMaxTextEntry, &file->records}, std::tuple{imagesEntry, ZipReader::MaxEntrySize, &file->images},
          std::tuple{QStringLiteral("list.gfx"), kMaxTextEntry, &file->list}}) {
        const ExchangeResult r = read(entry, limit, into);
        if (!r.ok)
            return r;
    }
    if (!scriptsEntry.isEmpty()) {
        const ExchangeResult r = read(scriptsEntry, kMaxTextEntry, &file->scripts);
        if (!r.ok)
            return r;
    }
    const QString imagesDisplay = file->display + QStringLiteral(": ") + imagesEntry;
    const safeextract::Result inner = safeextract::checkArchive(file->images, imagesDisplay);
    if (!inner.ok)
        return badFile(inner.message);
    ZipReader images(file->images);
    for (const QString &entry : images.entryNames()) {
        const QString relative = safeextract::relativeEntryPath(entry);
        if (!relative.endsWith(u'/') && !file->imageFiles.contains(fileNameOf(relative)))
            file->imageFiles.insert(fileNameOf(relative), relative);
    }
    file->name = exchangeBaseName(info.fileName());
    ExchangeResult ok;
    ok.ok = true;
    return ok;
}

// The model the records of an exchange file are read into. A whole model costs far more to
// build than a room or a character to read, so each thread keeps one, which the reader resets.
ProjectModel &scratchModel()
{
    thread_local ProjectModel scratch;
    return scratch;
}

// The images an import adds: for each line of list.gfx, its file name; a name the media pool
// has already keeps its entry.
struct ImagePlan
{
    QString folder; // where the image archive is unpacked
    std::vector<std::pair<QString, QString>> added; // entry name, path inside the image archive
};

ExchangeResult planImages(const ProjectSession &session, const ExchangeFile &file, ImagePlan *plan)
{
    const ProjectModel &m = session.model();
    const MessageCatalog &catalog = session.catalog();
    const QString base = session.projectFolder().isEmpty() ? session.editorFolder() : session.projectFolder();
    if (base.isEmpty())
        return failure(file.display + QStringLiteral(": the project has no folder to unpack the images into."));
    // Never over files that are there (an earlier import, a media folder of the project).
    plan->folder = freshFolderPath(QDir(base).filePath(file.name));
    QSet<QString> planned;
    const MediaTable &table = m.media[Images];
    for (const QString &line : splitLines(file.list)) {
        const QString fileName = fileNameOf(line.trimmed());
        if (fileName.isEmpty())
            continue;
        const QString name = text::medianame(fileName);
        if (name.isEmpty() || table.find(name) || planned.contains(name) || !file.imageFiles.contains(fileName))
            continue;
        planned.insert(name);
        plan->added.push_back({name, file.imageFiles.value(fileName)});
    }
    if (int(plan->added.size()) > table.size() - table.usedCount())
        return failure(catalog.msg(149));
    ExchangeResult ok;
    ok.ok = true;
    return ok;
}

ExchangeResult unpackImages(const ExchangeFile &file, const ImagePlan &plan, const QString &imagesEntry)
{
    const safeextract::Result r =
        safeextract::extractArchive(file.images, plan.folder, file.display + QStringLiteral(": ") + imagesEntry);
    if (!r.ok)
        return r.damaged ? badFile(r.message) : failure(r.message);
    ExchangeResult ok;
    ok.ok = true;
    return ok;
}

void addImages(ProjectEdit &e, const ImagePlan &plan, const QString &folderName)
{
    ProjectModel &m = e.model();
    TreeNode *root = m.mediaTree.root(Images);
    TreeNode *folder = nullptr;
    for (const auto &child : root->children)
        if (child->imageIndex == nodeimage::Folder && text::sameText(child->text, folderName)) {
            folder = child.get();
            break;
        }
    if (!folder)
        folder = e.addChild(root, folderName, nodeimage::Folder, true);
    for (const auto &[name, relative] : plan.added) {
        m.mediaadd(Images, name, QDir::toNativeSeparators(QDir(plan.folder).filePath(relative)));
        e.addChild(folder, name, nodeimage::Image, true);
    }
    e.sortTree(m.mediaTree);
}

// `wanted` is the folder name the images would have had; when it was taken they went elsewhere,
// and the note says where.
ExchangeResult done(const MessageCatalog &catalog, const QString &name, const QString &path, const QString &wanted)
{
    ExchangeResult r;
    r.ok = true;
    r.message = catalog.msg(kMsgDone);
    r.elementName = name;
    r.path = path;
    if (QFileInfo(path).isDir() && QFileInfo(path).fileName() != wanted)
        r.notes << QStringLiteral("The images were unpacked into %1.").arg(QDir::toNativeSeparators(path));
    return r;
}

} // namespace

ExchangeResult exportCharacter(const ProjectModel &m, const MessageCatalog &catalog, const QString &characterName,
                               const QString &adcPath)
{
    const int slot = m.characters.find(characterName);
    if (slot == 0)
        return failure(QStringLiteral("\"%1\": there is no such character.").arg(characterName));
    const Rcharacter &c = m.characters[slot];
    QStringList names, paths;
    frameImages(c.frames, &names);
    QString error;
    if (!imageFiles(m, names, &paths, &error))
        return failure(error);
    const QString target = QFileInfo(withExchangeExtension(adcPath, QStringLiteral(".adc"))).absoluteFilePath();
    return writeExchange(catalog, target, {{QStringLiteral("char.dat"), characterRecord(c)}}, QStringLiteral("gfx.chr"),
                         paths);
}

ExchangeResult exportRoom(const ProjectModel &m, const MessageCatalog &catalog, const QString &roomName,
                          const QString &adrPath)
{
    const int slot = m.rooms.find(roomName);
    if (slot == 0)
        return failure(QStringLiteral("\"%1\": there is no such room.").arg(roomName));
    const Rroom &r = m.rooms[slot];
    QStringList names{r.background, r.parallax}, placed;
    for (const Rroomobj &o : r.objects)
        if (!o.instanceName.isEmpty() && !placed.contains(o.objectName))
            placed << o.objectName;
    QByteArray records = roomRecord(r);
    for (const QString &objectName : placed) {
        const int obj = m.objects.find(objectName);
        if (obj == 0)
            continue; // a placement without a definition is dropped by every reader anyway
        records += objectRecord(m.objects[obj]);
        frameImages(m.objects[obj].frames, &names);
    }
    QStringList paths;
    QString error;
    if (!imageFiles(m, names, &paths, &error))
        return failure(error);
    const QString target = QFileInfo(withExchangeExtension(adrPath, QStringLiteral(".adr"))).absoluteFilePath();
    return writeExchange(catalog, target,
                         {{QStringLiteral("room.dat"), records}, {QStringLiteral("script.dat"), roomScriptSections(r)}},
                         QStringLiteral("gfx.roo"), paths);
}

namespace {

ExchangeResult importCharacterFrom(ProjectSession &session, const QString &adcPath, const QByteArray *data)
{
    const ProjectModel &m = session.model();
    const MessageCatalog &catalog = session.catalog();
    if (!data)
        if (const QString problem = exchangeInputProblem(adcPath, catalog); !problem.isEmpty())
            return badFile(problem);
    const QString name = exchangeBaseName(adcPath);
    if (!safeextract::isSafeFolderName(name))
        return badFile(adcPath + QStringLiteral(": the file name gives no character name."));
    if (elementNameTaken(m, Characters, name))
        return failure(name + u' ' + catalog.msg(kMsgAlreadyExists));

    ExchangeFile file;
    ExchangeResult r =
        readExchange(adcPath, data, QStringLiteral("char.dat"), QString(), QStringLiteral("gfx.chr"), &file);
    if (!r.ok)
        return r;
    ProjectModel &scratch = scratchModel();
    const ProjectFileResult read = readElementRecords(scratch, catalog, file.records, QByteArray(), file.display,
                                                      QStringLiteral("char.dat"), QStringLiteral("script.dat"));
    if (!read.ok)
        return badFile(read.message);
    if (scratch.characters.usedCount() != 1 || !scratch.characters.used(1))
        return badFile(file.display + QStringLiteral(": char.dat does not hold one character."));
    Rcharacter character = std::move(scratch.characters[1]);
    // The file's own name for the character must not clash either (the file may have been renamed).
    if (elementNameTaken(m, Characters, character.name))
        return failure(character.name + u' ' + catalog.msg(kMsgAlreadyExists));
    // Files of older editors carry the extra state names as one more line after the record.
    const QStringList lines = splitLines(file.records);
    const int recordLines = int(characterRecord(character).count('\n'));
    if (lines.size() > recordLines && !lines[recordLines].isEmpty())
        for (int i = 0; i < Rcharacter::Extras; ++i)
            character.extraNames[i] = text::getfield(lines[recordLines], i + 1);

    const int slot = m.characters.firstFree();
    if (slot == 0)
        return failure(catalog.msg(143));
    ImagePlan plan;
    r = planImages(session, file, &plan);
    if (!r.ok)
        return r;
    r = unpackImages(file, plan, QStringLiteral("gfx.chr"));
    if (!r.ok)
        return r;

    // Everything is checked and unpacked; only now does the project change.
    const QString characterName = character.name;
    session.edit(uiText(UiText::ImportCharacter, catalog.language()).arg(characterName),
                 table::Characters | table::Images | table::Names, [&](ProjectEdit &e) {
        addImages(e, plan, file.name);
        e.model().characters[slot] = std::move(character);
        insertElementNode(e, Characters, characterName);
    });
    return done(catalog, characterName, plan.folder, file.name);
}

ExchangeResult importRoomFrom(ProjectSession &session, const QString &adrPath, const QByteArray *data)
{
    const ProjectModel &m = session.model();
    const MessageCatalog &catalog = session.catalog();
    if (!data)
        if (const QString problem = exchangeInputProblem(adrPath, catalog); !problem.isEmpty())
            return badFile(problem);
    const QString name = exchangeBaseName(adrPath);
    if (!safeextract::isSafeFolderName(name))
        return badFile(adrPath + QStringLiteral(": the file name gives no room name."));
    if (elementNameTaken(m, Rooms, name))
        return failure(name + u' ' + catalog.msg(kMsgAlreadyExists));

    ExchangeFile file;
    ExchangeResult r = readExchange(adrPath, data, QStringLiteral("room.dat"), QStringLiteral("script.dat"),
                                    QStringLiteral("gfx.roo"), &file);
    if (!r.ok)
        return r;
    ProjectModel &scratch = scratchModel();
    const ProjectFileResult read = readElementRecords(scratch, catalog, file.records, file.scripts, file.display,
                                                      QStringLiteral("room.dat"), QStringLiteral("script.dat"));
    if (!read.ok)
        return badFile(read.message);
    if (scratch.rooms.usedCount() != 1 || !scratch.rooms.used(1))
        return badFile(file.display + QStringLiteral(": room.dat does not hold one room."));
    Rroom room = std::move(scratch.rooms[1]);
    if (elementNameTaken(m, Rooms, room.name))
        return failure(room.name + u' ' + catalog.msg(kMsgAlreadyExists));

    // The object definitions the room carries: a name the project has already (any case) keeps
    // the project's definition, and the placements are pointed at its exact name.
    QHash<QString, QString> objectNames;
    std::vector<Robj> newObjects;
    ExchangeResult result;
    for (int objectSlot = 1; objectSlot <= scratch.objects.size(); ++objectSlot) {
        if (!scratch.objects.used(objectSlot))
            continue;
        Robj &o = scratch.objects[objectSlot];
        QString existing;
        for (const Robj &own : m.objects)
            if (!own.name.isEmpty() && text::sameText(own.name, o.name)) {
                existing = own.name;
                break;
            }
        for (const Robj &planned : newObjects)
            if (existing.isEmpty() && text::sameText(planned.name, o.name))
                existing = planned.name;
        if (!existing.isEmpty()) {
            objectNames.insert(o.name, existing);
            result.notes << catalog.msg(kMsgObjectNoun) + QStringLiteral(" \"") + existing + QStringLiteral("\" ") +
                                catalog.msg(kMsgAlreadyExists) +
                                QStringLiteral(" The room uses the definition the project has.");
            continue;
        }
        objectNames.insert(o.name, o.name);
        newObjects.push_back(std::move(o));
    }
    for (Rroomobj &o : room.objects)
        if (!o.instanceName.isEmpty())
            o.objectName = objectNames.value(o.objectName, o.objectName);

    // Scripts address placements by instance name across all rooms, so a name another room uses
    // already gets a fresh one as a placement dropped in the room editor does: the object's
    // name, else the object's name + 1, 2, ... The room's own scripts stay as they are.
    QSet<QString> instances;
    for (const Rroom &other : m.rooms)
        if (!other.name.isEmpty())
            for (const Rroomobj &o : other.objects)
                if (!o.instanceName.isEmpty())
                    instances.insert(text::asciiLower(o.instanceName));
    QSet<QString> clashing;
    for (const Rroomobj &o : room.objects)
        if (!o.instanceName.isEmpty() && instances.contains(text::asciiLower(o.instanceName)))
            clashing.insert(o.instanceName);
    for (const Rroomobj &o : room.objects)
        if (!o.instanceName.isEmpty())
            instances.insert(text::asciiLower(o.instanceName));
    for (Rroomobj &o : room.objects) {
        if (o.instanceName.isEmpty() || !clashing.contains(o.instanceName))
            continue;
        const auto taken = [&](const QString &n) { return instances.contains(text::asciiLower(n)); };
        const QString fresh = taken(o.objectName) ? numberedName(o.objectName, taken) : o.objectName;
        instances.insert(text::asciiLower(fresh));
        result.notes << catalog.msg(kMsgObjectNoun) + QStringLiteral(" \"") + o.instanceName +
                            QStringLiteral("\" ") + catalog.msg(kMsgAlreadyExists) +
                            u' ' + catalog.extra(extratext::PlacementRenamed).arg(fresh);
        o.instanceName = fresh;
    }

    const int slot = m.rooms.firstFree();
    if (slot == 0)
        return failure(catalog.msg(145));
    if (int(newObjects.size()) > m.objects.size() - m.objects.usedCount())
        return failure(catalog.msg(144));
    ImagePlan plan;
    r = planImages(session, file, &plan);
    if (!r.ok)
        return r;
    r = unpackImages(file, plan, QStringLiteral("gfx.roo"));
    if (!r.ok)
        return r;

    // Everything is checked and unpacked; only now does the project change.
    const QString roomName = room.name;
    session.edit(uiText(UiText::ImportRoom, catalog.language()).arg(roomName),
                 table::Rooms | table::Objects | table::Images | table::Names, [&](ProjectEdit &e) {
        ProjectModel &model = e.model();
        addImages(e, plan, file.name);
        for (Robj &o : newObjects) {
            const int objectSlot = model.objects.firstFree();
            const QString objectName = o.name;
            model.objects[objectSlot] = std::move(o);
            insertElementNode(e, Objects, objectName);
        }
        for (const Rroomobj &o : room.objects)
            if (!o.instanceName.isEmpty())
                model.names[NameLists::ObjectInstances] << o.instanceName;
        NameLists::sort(model.names[NameLists::ObjectInstances]);
        model.rooms[slot] = std::move(room);
        model.names[NameLists::RoomNames] << roomName;
        NameLists::sort(model.names[NameLists::RoomNames]);
        insertElementNode(e, Rooms, roomName);
    });
    ExchangeResult ok = done(catalog, roomName, plan.folder, file.name);
    ok.notes = result.notes + ok.notes;
    return ok;
}

} // namespace

ExchangeResult importCharacter(ProjectSession &session, const QString &adcPath)
{
    return importCharacterFrom(session, adcPath, nullptr);
}

ExchangeResult importCharacter(ProjectSession &session, const QByteArray &adc, const QString &fileName)
{
    return importCharacterFrom(session, fileName, &adc);
}

ExchangeResult importRoom(ProjectSession &session, const QString &adrPath)
{
    return importRoomFrom(session, adrPath, nullptr);
}

ExchangeResult importRoom(ProjectSession &session, const QByteArray &adr, const QString &fileName)
{
    return importRoomFrom(session, fileName, &adr);
}

} // namespace mb
