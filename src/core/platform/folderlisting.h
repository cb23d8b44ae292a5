#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// The entries of one folder, read with one directory listing.
struct FolderListing
{
    bool ok = false;     // false when the folder cannot be read (missing, no permission)
    QStringList files;   // regular files and links to them, hidden ones too; in listing order
    QStringList folders; // subfolders that are neither links nor hidden, sorted by name
};

// Lists the folder once. The kind of an entry comes from the listing itself where the file
// system reports it, so a folder of n files costs one listing rather than n lookups; only links
// and entries of unknown kind are looked up one by one. Folder names are sorted as QDir::Name
// sorts them (by UTF-16 code units, case-sensitive).
FolderListing listFolder(const QString &path);

} // namespace mb
