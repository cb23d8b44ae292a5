#include "platform/folderlisting.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace mb {

FolderListing listFolder(const QString &path)
{
    FolderListing listing;
    const QByteArray encoded = QFile::encodeName(path);
    DIR *dir = ::opendir(encoded.constData());
    if (!dir)
        return listing;
    listing.ok = true;
    const int fd = ::dirfd(dir);
    while (const dirent *e = ::readdir(dir)) {
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        bool isFile = e->d_type == DT_REG;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            // A link counts as a file when it leads to one; a linked folder is not walked, so a
            // link cycle cannot make the walk endless.
            struct stat own, target;
            if (::fstatat(fd, name, &own, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISLNK(own.st_mode)) {
                isFile = ::fstatat(fd, name, &target, 0) == 0 && S_ISREG(target.st_mode);
                isFolder = false;
            } else {
                isFile = S_ISREG(own.st_mode);
                isFolder = S_ISDIR(own.st_mode);
            }
        }
        if (isFile)
            listing.files << QFile::decodeName(name);
        else if (isFolder && name[0] != '.')
            listing.folders << QFile::decodeName(name);
    }
    ::closedir(dir);
    std::sort(listing.folders.begin(), listing.folders.end());
    return listing;
}

} // namespace mb
