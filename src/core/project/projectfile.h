#pragma once

#include "platform/workprogress.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace mb {

class MessageCatalog;
class ProjectModel;
class ProjectTree;
struct Rcharacter;
struct Robj;
struct Rroom;

// Outcome of an open or save. On failure `message` is the whole text to show (it names the
// file, the companion file and the line where that applies).
struct ProjectFileResult
{
    bool ok = false;
    QString message;
    // Catalog number of the status text on success (103 opened, 104 saved), 0 otherwise.
    int statusMessage = 0;
    QString backupPath; // the backup written by a save, if any
    QString version;    // the file version an open read ("3.2", "1.2", "9.9" ...)
    // A save that succeeded but could not do everything (no backup could be written): the text
    // to show once, beside the status text.
    QString warning;
    // An open stopped by its progress receiver: nothing was opened, and there is no message.
    bool cancelled = false;
    static ProjectFileResult failure(QString text) { return {false, std::move(text), 0, {}, {}, {}}; }
};

// The four companion files as the version 3.2 writer lays them out: Windows-1252, CR LF.
struct CompanionFiles
{
    std::array<QByteArray, 4> files; // .001 .. .004
};

// The current file format version, written into the headers.
inline constexpr const char *kProjectHeader = "3.2 Mossbramble Project File. DO NOT MODIFY!!";

// Serialises the model. Media folder names are written without trailing "." (a folder of such
// a name would not survive on disk), as every save does.
CompanionFiles writeCompanionFiles(const ProjectModel &model);

// Tree lines: one per node in pre-order: a '"' per level, the image index as two digits, the
// text; with stripFolderDots, folders without trailing ".".
QByteArray dumpTree(const ProjectTree &tree, bool stripFolderDots = false);

// One element's lines exactly as the companion files hold them (Windows-1252, CR LF). The room
// and character exchange files are made of these.
// .002 record: "//Character NAME" and the character's lines.
QByteArray characterRecord(const Rcharacter &character);
// .002 record: "//Object NAME" and the object's lines.
QByteArray objectRecord(const Robj &object);
// .002 record: "//Room NAME", the room's lines and walkmap line, then its ";;Roomobject" blocks.
QByteArray roomRecord(const Rroom &room);
// .003 sections of a room: "//Room NAME" and the room script, "//Object INSTANCE;ROOM" and each
// placement's script, "//Walkmap #CCCRRRROOM" and each cell script whose has-script flag is set.
QByteArray roomScriptSections(const Rroom &room);

// Reads records in the current .002 layout ("//Item", "//Object", "//Character", "//Rcharacter",
// "//Room" with its ";;Roomobject" blocks) and then script sections in the .003 layout without
// the header lines, into `scratch`, which is reset first: the project reader's own line reading,
// as if they were the body of a project's .002 and .003. Tables fill from slot 1 in file order,
// the sections attach to the records read here, and placements whose definitions are not among
// the records are dropped as an open drops them. Lines outside any record are skipped. On failure
// the message names `sourceName`, the part (`recordsName` or `scriptsName`) and its line, and
// `scratch` is left empty.
ProjectFileResult readElementRecords(ProjectModel &scratch, const MessageCatalog &catalog,
                                     const QByteArray &records, const QByteArray &scripts,
                                     const QString &sourceName, const QString &recordsName,
                                     const QString &scriptsName);

// How a save goes beyond writing the project file.
struct SaveOptions
{
    bool keepCompanionFiles = false; // also leave the four companion files in the folder
    bool makeBackup = false;         // copy the file into <editorFolder>/backups
    QString editorFolder;
    // Hears how far the save is. A save cannot be stopped halfway: what it returns is ignored.
    WorkProgress progress;
};

// Saves the project as <folder>/<name>.adv. The archive is built in memory and replaces the old
// file through a flushed temporary file "<name>.adv.saving-XXXXXX" (atomicfile), so a failure, a
// crash or a power cut leaves the previous project intact; temporary files of earlier saves
// that died are removed after a successful one. With keepCompanionFiles the four companion
// files are also left in the folder. With makeBackup (and an editor folder) a copy goes to
// <editorFolder>/backups/<year> <month>/<day>/<name> <time>.adv; when it cannot be written the
// save still succeeds and `warning` says so. The model is not changed: taking the name and
// folder is the session's (ProjectSession::saveTo).
ProjectFileResult saveProject(const ProjectModel &model, const QString &folder, const QString &name,
                              const SaveOptions &options = {},
                              const QDateTime &now = QDateTime::currentDateTime());

// Backup path of a save at the given local time (folder parts counted from 1 January 2001).
QString backupPath(const QString &editorFolder, const QString &projectName, const QDateTime &now);

// Opens <advPath> into the model, which is reset first. Entries are read in memory and checked
// (CRC, exact size, at most 512 MiB each); nothing is written to disk, except that temporary
// files of saves of this project whose writers died are removed. On a damaged or foreign file
// the model is left as an empty project and the message is the path, a blank and message 151,
// followed by what is wrong. A path that does not end in ".adv" gives message 151, a missing
// file message 116 (both after the path and a blank).
// `progress` hears the bytes of the companion files read, of the unpacked size the archive
// declares for them. When it asks to stop, the reading ends at its next report and the result
// is `cancelled` (the model left as an empty project, nothing removed from disk).
ProjectFileResult openProject(ProjectModel &model, const MessageCatalog &catalog,
                              const QString &advPath, const WorkProgress &progress = {});
// Reads companion files already in memory (used by the exchange formats and the fuzz target).
// `sourceName` is used in messages. The model is reset first and left empty on failure.
ProjectFileResult readCompanionFiles(ProjectModel &model, const MessageCatalog &catalog,
                                     const CompanionFiles &files, bool hasLanguageFile,
                                     const QString &sourceName);

// The version number of a header line's first three characters (1.1 -> 1 ... 3.2 -> 22,
// 9.9 -> 99, anything else 0).
int projectVersionNumber(const QString &headerLine);

} // namespace mb
