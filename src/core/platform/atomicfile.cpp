#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mb::atomicfile {

namespace {

constexpr const char *kSuffix = ".saving-";

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool sameFile(int fd, const QByteArray &path)
{
    struct stat a, b;
    return ::fstat(fd, &a) == 0 && ::stat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Creates and locks a new temporary file beside `target`. The lock is taken after the file
// exists, so a cleaner may remove the file in between; then the name no longer leads to our
// file and another one is made.
int createLocked(const QString &target, QString *path, int *error)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = target + QLatin1String(kSuffix);
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
        const QByteArray encoded = QFile::encodeName(name);
        const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            *error = errno;
            return -1;
        }
        if (::flock(fd, LOCK_EX) == 0 && sameFile(fd, encoded)) {
            *path = name;
            return fd;
        }
        ::close(fd);
    }
    *error = EEXIST;
    return -1;
}

bool writeAll(int fd, const QByteArray &bytes, int *error)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

int syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Some file systems cannot sync a folder (EINVAL); the rename is then as durable as they allow.
    const int rc = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return rc;
}

} // namespace

QString temporaryPattern(const QString &target)
{
    return QFileInfo(target).fileName() + QLatin1String(kSuffix) + u'*';
}

Result write(const QString &targetPath, const QByteArray &bytes)
{
    Result r;
    QString target = QFileInfo(targetPath).absoluteFilePath();
    if (QFileInfo(target).isSymLink()) {
        const QString resolved = QFileInfo(target).canonicalFilePath();
        if (!resolved.isEmpty())
            target = resolved;
    }
    const QString shown = QDir::toNativeSeparators(targetPath);
    int error = 0;
    QString temp;
    const int fd = createLocked(target, &temp, &error);
    if (fd < 0) {
        r.error = shown + QStringLiteral(": ") + systemError(error);
        return r;
    }
    const QByteArray tempName = QFile::encodeName(temp);
    auto fail = [&](int code) {
        ::unlink(tempName.constData());
        ::close(fd);
        r.error = shown + QStringLiteral(": ") + systemError(code);
        return r;
    };
    // The new file keeps the permissions of the one it replaces.
    struct stat old;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        (void)::fchmod(fd, old.st_mode & 07777);
    if (!writeAll(fd, bytes, &error))
        return fail(error);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0)
        return fail(errno);
    ::close(fd); // releases the lock; the name now is the target's
    if (const int code = syncFolder(QFileInfo(target).absolutePath()); code != 0) {
        r.error = shown + QStringLiteral(": the folder cannot be flushed to disk: ") + systemError(code);
        return r;
    }
    r.ok = true;
    return r;
}

QStringList removeStale(const QString &target)
{
    QStringList removed;
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    const QStringList candidates = folder.entryList({temporaryPattern(target)}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates) {
        // Only names this writer makes: the suffix and six characters.
        if (name.size() != info.fileName().size() + int(std::strlen(kSuffix)) + 6)
            continue;
        const QString path = folder.filePath(name);
        const QByteArray encoded = QFile::encodeName(path);
        const int fd = ::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A writer holds its lock until its file is renamed; a free lock means it is gone.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, encoded) && ::unlink(encoded.constData()) == 0)
            removed << path;
        ::close(fd);
    }
    return removed;
}

} // namespace mb::atomicfile
