#include "project/missingfiles.h"

#include "platform/folderlisting.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "project/uitexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <vector>

namespace mb {

namespace {

// The kinds in the order the check lists them.
constexpr int kOrder[4] = {Images, Sounds, Music, Movies};

// The file name of a stored path (either separator), as a view into the path.
QStringView fileNameOf(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return QStringView(path).mid(sep + 1);
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.isAbsolute() && info.isFile();
}

// Which of the paths name a file. Paths that share a folder with many others are looked up in
// one listing of that folder instead of one file-system lookup each (a big project keeps
// thousands of images in a few folders, and a project from another machine names folders that
// are not there at all).
std::vector<char> filesExist(const std::vector<QString> &paths)
{
    constexpr int kListFrom = 4;
    std::vector<char> exists(paths.size(), 0);
    QHash<QStringView, std::vector<size_t>> byFolder;
    for (size_t i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash < 0 || !QDir::isAbsolutePath(path))
            continue; // relative paths never count as present
        byFolder[QStringView(path).left(std::max<qsizetype>(slash, 1))].push_back(i);
    }
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        const std::vector<size_t> &members = it.value();
        FolderListing listing;
        if (members.size() >= size_t(kListFrom))
            listing = listFolder(it.key().toString());
        if (!listing.ok) {
            // A folder that is not there holds none of them; one that cannot be listed is
            // asked file by file.
            if (members.size() < size_t(kListFrom) || QFileInfo(it.key().toString()).isDir())
                for (const size_t i : members)
                    exists[i] = fileExists(paths[i]);
            continue;
        }
        const QSet<QString> files(listing.files.cbegin(), listing.files.cend());
        for (const size_t i : members) {
            const QString &path = paths[i];
            exists[i] = files.contains(path.mid(path.lastIndexOf(u'/') + 1));
        }
    }
    return exists;
}

} // namespace

QChar MissingEntry::letter() const
{
    switch (kind) {
    case Images: return u'I';
    case Sounds: return u'S';
    case Music: return u'M';
    case Movies: return u'V';
    }
    return u'?';
}

int MissingFiles::collect()
{
    m_missing.clear();
    m_added.clear();
    m_repaired = 0;
    std::vector<QString> paths;
    std::vector<std::pair<int, int>> entries; // kind and slot of each path
    for (int kind : kOrder) {
        const MediaTable &table = m_session.model().media[kind];
        for (int slot = 1; slot <= table.size(); ++slot)
            if (!table.name(slot).isEmpty()) {
                paths.push_back(table.path(slot));
                entries.push_back({kind, slot});
            }
    }
    const std::vector<char> exists = filesExist(paths);
    for (size_t i = 0; i < paths.size(); ++i)
        if (!exists[i])
            m_missing.push_back({entries[i].first, m_session.model().media[entries[i].first].name(entries[i].second),
                                 paths[i]});
    return count();
}


int MissingFiles::check()
{
    collect();
    m_session.setBusy(false);
    if (!m_missing.empty() && !m_session.projectFolder().isEmpty())
        searchTree(m_session.projectFolder());
    m_session.setBusy(!m_missing.empty());
    return count();
}

// One search over a set of folders: the missing entries by file name, and which of them were
// repaired. The missing list is compacted once at the end instead of erasing entry by entry.
class MissingFiles::Search
{
public:
    Search(MissingFiles &owner, ProjectEdit &edit)
        : m_owner(owner), m_edit(edit), m_done(owner.m_missing.size(), 0), m_next(owner.m_missing.size(), -1)
    {
        // The entries of one file name are chained in list order: m_byFile holds the first and
        // the last, m_next the rest. The keys are views into the entries' paths, which stay put
        // until the search ends.
        const std::vector<MissingEntry> &missing = owner.m_missing;
        m_byFile.reserve(qsizetype(missing.size()));
        for (int i = 0; i < int(missing.size()); ++i) {
            const QStringView file = fileNameOf(missing[size_t(i)].path);
            if (file.isEmpty() || file == u"." || file == u"..")
                continue;
            const auto it = m_byFile.find(file);
            if (it == m_byFile.end()) {
                m_byFile.insert(file, Chain{i, i});
            } else {
                m_next[size_t(it->last)] = i;
                it->last = i;
            }
        }
        m_left = int(missing.size());
    }
    ~Search()
    {
        size_t i = 0;
        std::erase_if(m_owner.m_missing, [&](const MissingEntry &) { return m_done[i++] != 0; });
    }

    bool finished() const { return m_byFile.isEmpty(); }
    int repaired() const { return m_repaired; }

    // Lists the folder and repairs every entry whose file name is among its files. Returns the
    // listing, whose subfolders the caller may walk.
    FolderListing visit(const QString &folder)
    {
        FolderListing listing = m_owner.m_lister ? m_owner.m_lister(folder) : listFolder(folder);
        if (!listing.ok)
            return listing;
        const QDir dir(folder);
        for (const QString &file : std::as_const(listing.files)) {
            const auto hit = m_byFile.constFind(file);
            if (hit == m_byFile.constEnd())
                continue;
            const QString path = QDir::toNativeSeparators(dir.absoluteFilePath(file));
            for (int i = hit->first; i >= 0; i = m_next[size_t(i)]) {
                const MissingEntry &e = m_owner.m_missing[size_t(i)];
                MediaTable &table = m_edit.model().media[e.kind];
                if (const int slot = table.find(e.name))
                    table.setPath(slot, path);
                m_done[size_t(i)] = 1;
                ++m_repaired;
                --m_left;
            }
            m_byFile.erase(hit);
        }
        return listing;
    }

    // Asks the progress handler whether to go on before the folder is listed.
    bool goOn(const QString &folder)
    {
        if (!m_owner.m_progress)
            return true;
        const bool goOn = m_owner.m_progress({m_folders, m_left, folder});
        ++m_folders;
        if (!goOn)
            m_owner.m_cancelled = true;
        return goOn;
    }

private:
    MissingFiles &m_owner;
    ProjectEdit &m_edit;
    struct Chain
    {
        int first, last;
    };
    QHash<QStringView, Chain> m_byFile; // file name -> its missing entries, in list order
    std::vector<char> m_done;
    std::vector<int> m_next; // the next missing entry of the same file name, or -1
    int m_repaired = 0, m_left = 0, m_folders = 0;
};

int MissingFiles::search(const QString &folder, bool recursive)
{
    m_cancelled = false;
    if (m_missing.empty())
        return 0;
    int repaired = 0;
    // The repairs of one search are one undo step.
    m_session.edit(uiText(UiText::RepairMissingFiles, m_session.catalog().language()), table::AllMedia,
                   [&](ProjectEdit &edit) {
        Search search(*this, edit);
        // Pre-order: a folder, then each of its subfolders with everything below it, by name.
        std::vector<QString> pending{folder};
        while (!pending.empty() && !search.finished()) {
            const QString next = std::move(pending.back());
            pending.pop_back();
            if (!search.goOn(next))
                break;
            const FolderListing listing = search.visit(next);
            if (!recursive)
                break;
            const QDir dir(next);
            for (auto it = listing.folders.crbegin(); it != listing.folders.crend(); ++it)
                pending.push_back(dir.filePath(*it));
        }
        repaired = search.repaired();
    });
    m_repaired += repaired;
    return repaired;
}

int MissingFiles::searchTree(const QString &folder) { return search(folder, true); }

int MissingFiles::searchFolder(const QString &folder) { return search(folder, false); }

bool MissingFiles::addFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (m_added.contains(clean))
        return false;
    m_added << clean;
    searchFolder(clean);
    return true;
}

void MissingFiles::finish() { m_session.setBusy(false); }

QStringList MissingFiles::names() const
{
    QStringList out;
    for (const MissingEntry &e : m_missing)
        out << e.name;
    return out;
}

QStringList MissingFiles::extraLines() const
{
    QStringList out;
    for (const MissingEntry &e : m_missing)
        out << QString(e.letter()) + e.path;
    return out;
}

QString MissingFiles::countText() const { return QStringLiteral("(%1)").arg(count()); }

} // namespace mb
