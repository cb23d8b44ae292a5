#pragma once

#include "platform/ziparchive.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mb {

// Unpacking zip archives into a folder without letting an entry escape it or do harm.
//
// Archives come from other machines (exchange files, the archives inside them), so nothing in
// them is trusted, and every check is made before the first byte is written:
// - an entry name that is absolute ("/x", "\x", "C:x", "//server/x") or has a ".." part (parts
//   split on "/" and "\"), and two entries that would land on the same path, refuse the archive;
// - an entry that declares more than ZipReader::MaxEntrySize, or entries whose declared sizes
//   together exceed the free space of the target, refuse it;
// - a folder on the way to an entry that exists as a link or as a file, or an entry whose file
//   exists already, refuses it: extraction never follows a link and never replaces a file.
// While unpacking, every entry's CRC and exact size are checked and an entry that inflates past
// its declared size is stopped (ZipReader). Any failure removes again every file and folder the
// extraction made, so the target is left as it was.
namespace safeextract {

struct Result
{
    bool ok = false;
    QString message;   // on failure: names the archive (and the entry) and what is wrong
    QStringList files; // on success: the absolute paths written, in archive order
    // On failure: the archive is at fault (unreadable, damaged, unsafe names, sizes), not the
    // target (a full disk, a folder that cannot be created).
    bool damaged = false;
};

// True when the entry name may be unpacked: not empty, not absolute, no drive, no ".." part.
bool isSafeEntryName(const QString &entryName);

// True when the name may be one folder (or file) name below a target: what isSafeEntryName()
// accepts, and a single part: no separator, not "." or "..".
bool isSafeFolderName(const QString &name);

// The entry's path relative to a target folder ("/" separators, "." parts removed), or empty
// when the name is refused. A name ending in a separator names a folder.
QString relativeEntryPath(const QString &entryName);

// Checks every entry name and declared size of the archive without writing. `displayName`
// names the archive in messages (defaults to the path).
Result checkArchive(const QString &archivePath, const QString &displayName = {});
Result checkArchive(const QByteArray &archiveData, const QString &displayName);

// Unpacks every entry into `folder` (created when missing), after checking everything above.
Result extractArchive(const QString &archivePath, const QString &folder, const QString &displayName = {});
Result extractArchive(const QByteArray &archiveData, const QString &folder, const QString &displayName);

} // namespace safeextract
} // namespace mb
