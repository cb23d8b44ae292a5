#pragma once

#include "platform/folderlisting.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace mb {

class ProjectSession;

// One media entry whose stored path names no existing file.
struct MissingEntry
{
    int kind = 0;   // MediaKind
    QString name;   // the entry name
    QString path;   // the stored path, as it is (it may come from Windows)
    // "I" image, "S" sound, "M" music, "V" movie.
    QChar letter() const;
};

// The missing-files search of a project: which media files are missing, and repairing their
// paths from files of the same name in the project folder and in folders the user adds.
//
// The object works on the session it was given (which must outlive it) and keeps the lists the
// missing-files dialog shows. Repairs are edits of the session: the repairs of one check, or of
// one added folder, are one undo step. A repaired path is the folder joined with the file name part of
// the stored path (split on "\" and "/"); only that exact file name is looked for, as the file
// system compares names. A path counts as existing only when it is absolute and names a file, so
// a Windows path opened on Linux is missing and gets repaired.
//
// Each folder is listed once and its file names are looked up in a table of the missing file
// names, so a search costs one listing per folder however many entries are missing. The first
// folder in walk order that holds a name repairs every entry of that file name.
class MissingFiles
{
public:
    // Where a search stands: called before each folder is listed.
    struct Progress
    {
        int foldersSearched = 0; // folders listed so far in this search
        int stillMissing = 0;    // entries not repaired yet
        QString folder;          // the folder about to be listed
    };
    // Returns false to cancel the search; the entries not repaired then stay missing.
    using ProgressHandler = std::function<bool(const Progress &)>;
    // Lists one folder; the default is listFolder(). Tests count or fake the listings here.
    using FolderLister = std::function<FolderListing(const QString &folder)>;

    explicit MissingFiles(ProjectSession &session) : m_session(session) {}

    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }
    void setFolderLister(FolderLister lister) { m_lister = std::move(lister); }
    // Whether the last search was cancelled by the progress handler.
    bool wasCancelled() const { return m_cancelled; }

    // The check after loading: lists every used entry whose file is missing (images, sounds,
    // music, movies, each in slot order), then searches the project folder and its subfolders.
    // Clears ProjectBusy, and sets it again when entries are still missing (the dialog is then
    // shown and clears it on OK). Returns the number still missing.
    int check();
    // Lists the missing entries afresh (the first two steps of the check), clearing the added
    // folders. Returns the count.
    int collect();

    // Searches the folder and, recursively, its subfolders (not links, not hidden ones) in
    // pre-order, subfolders by name; stops early when nothing is missing any more or the
    // progress handler cancels. Returns the number of entries repaired.
    int searchTree(const QString &folder);
    // Searches the one folder: every listed entry whose file name is there gets the path of the
    // first entry of its kind with its name set to that file and leaves the list. Returns the
    // number repaired.
    int searchFolder(const QString &folder);
    // A folder the user adds: searched (not recursively) unless it was added before, in which
    // case nothing happens and false is returned.
    bool addFolder(const QString &folder);
    // OK or closing the dialog: clears ProjectBusy; entries still missing keep their paths.
    void finish();

    const std::vector<MissingEntry> &missing() const { return m_missing; }
    int count() const { return int(m_missing.size()); }
    // The dialog's lists: the entry names, and kind letter + stored path per entry.
    QStringList names() const;
    QStringList extraLines() const;
    const QStringList &addedFolders() const { return m_added; }
    // The count as the dialog's label shows it: "(3)".
    QString countText() const;
    // Entries repaired since the last collect().
    int repairedCount() const { return m_repaired; }

private:
    class Search;
    int search(const QString &folder, bool recursive);

    ProjectSession &m_session;
    std::vector<MissingEntry> m_missing;
    QStringList m_added;
    int m_repaired = 0;
    bool m_cancelled = false;
    ProgressHandler m_progress;
    FolderLister m_lister;
};

} // namespace mb
