#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mb {

class MessageCatalog;
class ProjectSession;

// Outcome of an export or import of a project, room or character.
struct ExchangeResult
{
    bool ok = false;
    // On failure the whole text of the error box (it names the file and what is wrong); on
    // success the text of the information box ("Project was exported to ... .", "Done!").
    QString message;
    // Catalog number of the status bar text on success (176 exported, 167 imported), else 0.
    int statusMessage = 0;
    // Export: the file written. Project import: the new project file.
    QString path;
    // Element import: the name of the imported character or room.
    QString elementName;
    // Choices the import made that the user may want to know (one text each).
    QStringList notes;
    // The user cancelled: nothing was written, `message` says so.
    bool cancelled = false;
    // On failure: the file given was at fault (missing, a folder, damaged, foreign or unsafe),
    // not the project or the disk.
    bool badInput = false;
};

// The problem with a file given to an import, or empty: the path + " " + message 116 when there
// is no such file, a text saying so when it is a folder.
QString exchangeInputProblem(const QString &path, const MessageCatalog &catalog);

// Receives the status texts of a long operation as it goes (file copies, zipping, unzipping).
using ExchangeProgress = std::function<void(const QString &text)>;
// Asked between the steps of a project export or import: true stops the work. It is asked only
// where stopping leaves nothing half done (see the operations).
using ExchangeCancel = std::function<bool()>;

// The chosen file name with the extension (".adz", ".adr", ".adc") appended unless its last four
// characters already are the extension (in any case).
QString withExchangeExtension(const QString &chosen, const QString &extension);

// The name an exchange file gives what it brings: its file name without folder and without its
// last four characters (the dot and the three-letter extension).
QString exchangeBaseName(const QString &path);

// Packs the saved project and every media file its media pool lists into one .adz archive:
// PROJECT.adv, one kind archive per media kind that has entries in the media pool (gfx.dat,
// music.dat, sfx.dat, movie.dat), each holding FOLDER.zip (stored, level 0) per media pool
// folder with that folder's files under their bare names, and the game icon when it exists.
// The project must be saved (a project folder, no unsaved changes), otherwise message 122. A
// media file that is missing ends the export with a message naming it; nothing is written then.
// Work files live in a private temporary folder beside the target and are removed afterwards;
// an existing file of the target name is replaced only when the new one is complete. A cancel
// (asked after each file and archive) ends with `cancelled` set, no target written and no work
// files left.
ExchangeResult exportProject(const ProjectSession &session, const QString &adzPath,
                             const ExchangeProgress &progress = {}, const ExchangeCancel &cancelled = {});

// The path an import unpacks into so that it never writes over anything: `wanted` when nothing
// of that name exists, else the first of wanted-2, wanted-3 ... that is free.
QString freshFolderPath(const QString &wanted);

// The folder a project import unpacks into: the .adz's folder, or the editor folder when no file
// can be created in the .adz's folder (a read-only medium).
QString importBaseFolder(const QString &adzPath, const QString &editorFolder);

// Unpacks an .adz into a new project folder, freshFolderPath(importBaseFolder() + "/" +
// exchangeBaseName()), opens its project without the missing-files check, links every media
// entry to the file of its name unpacked into FOLDER (the entry's own media pool folder first,
// then the first folder that has a file of its name), takes the first icon as the game icon, and
// saves the project there. The file must hold exactly one project file with a name; every
// archive and folder name is checked (safeextract). Everything is put together in a work folder
// that becomes the project folder in one rename, so a damaged or foreign file gives a message,
// leaves the session's project unchanged and writes nothing. On success the session holds the
// imported project, saved and unmodified (its editor folder, options and new-name counters stay),
// `path` is its project file and `notes` say where it went when the folder name was taken. The
// question about unsaved changes of the open project belongs to the caller. A cancel is asked
// while the archives are unpacked and checked in the work folder, before the project folder is
// made; it ends with `cancelled` set, the session's project unchanged and nothing left.
ExchangeResult importProject(ProjectSession &session, const QString &adzPath,
                             const ExchangeProgress &progress = {}, const ExchangeCancel &cancelled = {});

} // namespace mb
