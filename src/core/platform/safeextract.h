#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mb {

// Unpacking zip archives into a folder without letting an entry escape it.
//
// Archives come from other machines (exchange files, the archives inside them), so their entry
// names are not trusted: a name that is absolute ("/x", "\x", "C:x", "//server/x") or that has a
// ".." part (parts split on "/" and "\") is refused, and the archive is refused as a whole before
// anything is written. Entries are written as regular files; an existing file of the same name is
// replaced (a link of that name is removed, never followed), and a folder of the target that is a
// link leading out of it stops the extraction.
namespace safeextract {

struct Result
{
    bool ok = false;
    QString message;   // on failure: names the archive (and the entry) and what is wrong
    QStringList files; // on success: the absolute paths written, in archive order
};

// True when the entry name may be unpacked: not empty, not absolute, no drive, no ".." part.
bool isSafeEntryName(const QString &entryName);

// The entry's path relative to a target folder ("/" separators, "." parts removed), or empty
// when the name is refused. A name ending in a separator names a folder.
QString relativeEntryPath(const QString &entryName);

// Checks every entry name of the archive without writing. `displayName` names the archive in
// messages (defaults to the path).
Result checkArchive(const QString &archivePath, const QString &displayName = {});
Result checkArchive(const QByteArray &archiveData, const QString &displayName);

// Unpacks every entry into `folder` (created when missing), after checking every name.
Result extractArchive(const QString &archivePath, const QString &folder, const QString &displayName = {});
Result extractArchive(const QByteArray &archiveData, const QString &folder, const QString &displayName);

} // namespace safeextract
} // namespace mb
