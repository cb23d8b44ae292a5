#include "platform/safeextract.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStorageInfo>

#include <memory>

namespace mb::safeextract {

namespace {

struct Entry
{
    int index;
    QString name;
    QString relative; // "/" separators; a folder ends in "/"
};

// The nearest folder on the way to `path` that exists (the path itself when it does).
QString existingAncestor(const QString &path)
{
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    while (!info.exists() && !info.isRoot())
        info = QFileInfo(info.absolutePath());
    return info.absoluteFilePath();
}

class Extraction
{
public:
    Extraction(ZipReader &zip, const QString &display) : m_zip(zip), m_display(display) {}

    // Names, sizes and the target's folders; fills m_entries. `folder` may be null (check only).
    bool check(const QString *folder)
    {
        if (!m_zip.isOpen())
            return refuse(QStringLiteral("not a readable zip archive (%1)").arg(m_zip.errorString()));
        struct Seen
        {
            bool folder;
            QString name; // the entry that made it ("" for a folder only on the way)
        };
        QHash<QString, Seen> seen; // relative path without a trailing "/"
        qint64 total = 0;
        for (int i = 0; i < m_zip.count(); ++i) {
            const QString name = m_zip.name(i);
            const QString relative = relativeEntryPath(name);
            if (relative.isEmpty())
                return refuse(QStringLiteral("the entry \"%1\" is refused: its name is empty, absolute or leads out "
                                             "of the target folder; nothing was unpacked")
                                  .arg(name));
            const bool isFolder = relative.endsWith(u'/');
            const QString key = isFolder ? relative.chopped(1) : relative;
            // A file may neither share its path with another entry nor stand where another
            // entry needs a folder.
            auto clash = [&](const Seen &other) {
                return refuse(QStringLiteral("the entries \"%1\" and \"%2\" need the same place on disk; nothing "
                                             "was unpacked")
                                  .arg(other.name.isEmpty() ? key : other.name, name));
            };
            const QStringList parts = key.split(u'/');
            for (qsizetype p = 1; p < parts.size(); ++p) {
                const QString up = parts.mid(0, p).join(u'/');
                const auto it = seen.constFind(up);
                if (it != seen.constEnd() && !it->folder)
                    return clash(*it);
                if (it == seen.constEnd())
                    seen.insert(up, {true, QString()});
            }
            const auto it = seen.constFind(key);
            if (it != seen.constEnd() && !(isFolder && it->folder))
                return clash(*it);
            seen.insert(key, {isFolder, name});
            if (!isFolder) {
                const qint64 size = m_zip.declaredSize(i);
                if (size < 0 || size > ZipReader::MaxEntrySize)
                    return refuse(QStringLiteral("the entry \"%1\" declares %2 of data, more than any media file "
                                                 "needs (at most %3); nothing was unpacked")
                                      .arg(name, byteSizeText(size < 0 ? ZipReader::MaxEntrySize + 1 : size),
                                           byteSizeText(ZipReader::MaxEntrySize)));
                total += size;
            }
            m_entries.push_back({i, name, relative});
        }
        if (!folder)
            return true;

        const QString existing = existingAncestor(*folder);
        const QStorageInfo storage(existing);
        if (storage.isValid() && storage.bytesAvailable() >= 0 && total > storage.bytesAvailable())
            return refuse(QStringLiteral("unpacks to %1, more than the %2 free in %3; nothing was unpacked")
                              .arg(byteSizeText(total), byteSizeText(storage.bytesAvailable()),
                                   QDir::toNativeSeparators(existing)));

        // The target itself may be a link (a folder the user chose); below it nothing may be.
        const QFileInfo target(*folder);
        if (target.exists() && !target.isDir())
            return refuse(QDir::toNativeSeparators(*folder) + QStringLiteral(" is not a folder"));
        m_root = target.exists() ? target.canonicalFilePath() : QDir::cleanPath(target.absoluteFilePath());
        for (const Entry &e : m_entries) {
            const bool isFolder = e.relative.endsWith(u'/');
            const QStringList parts = (isFolder ? e.relative.chopped(1) : e.relative).split(u'/');
            QString path = m_root;
            for (qsizetype p = 0; p < parts.size(); ++p) {
                path += u'/' + parts[p];
                const QFileInfo info(path);
                const bool last = p == parts.size() - 1;
                if (info.isSymLink())
                    return refuse(e.name + QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                                  QStringLiteral(" is a link; nothing was unpacked"));
                if (!info.exists())
                    continue;
                if (last && !isFolder)
                    return refuse(e.name + QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                                  QStringLiteral(" exists already and is not replaced; nothing was unpacked"));
                if (!info.isDir())
                    return refuse(e.name + QStringLiteral(": ") + QDir::toNativeSeparators(path) +
                                  QStringLiteral(" is a file where a folder is needed; nothing was unpacked"));
            }
        }
        return true;
    }

    bool extract(const QString &folder)
    {
        if (!makeFolders(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())))
            return false;
        QByteArray buffer;
        for (const Entry &e : m_entries) {
            const bool isFolder = e.relative.endsWith(u'/');
            const QString target = m_root + u'/' + (isFolder ? e.relative.chopped(1) : e.relative);
            if (!makeFolders(isFolder ? target : QFileInfo(target).path()))
                return false;
            if (isFolder)
                continue;
            QFile out(target);
            if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                return undo(e.name + QStringLiteral(": ") + out.errorString());
            m_files << target;
            const bool ok = m_zip.readTo(e.index, [&](const char *data, qint64 size) {
                return out.write(data, size) == size;
            });
            out.close();
            if (!ok) {
                const bool output = m_zip.error() == ZipReader::Error::Output;
                m_damaged = !output;
                return undo(output ? e.name + QStringLiteral(": ") + out.errorString() : m_zip.errorString());
            }
            if (out.error() != QFile::NoError)
                return undo(e.name + QStringLiteral(": ") + out.errorString());
        }
        return true;
    }

    Result result(bool ok)
    {
        Result r;
        r.ok = ok;
        if (ok)
            r.files = m_files;
        else
            r.message = m_message;
        r.damaged = !ok && m_damaged;
        return r;
    }

private:
    bool refuse(const QString &what)
    {
        m_message = m_display + QStringLiteral(": ") + what;
        m_damaged = true;
        return false;
    }

    // Creates the folders of `path` one by one, remembering each for undo().
    bool makeFolders(const QString &path)
    {
        QStringList missing;
        QString at = path;
        while (!QFileInfo(at).exists() && !QFileInfo(at).isSymLink()) {
            missing.prepend(at);
            const QString up = QFileInfo(at).path();
            if (up == at)
                break;
            at = up;
        }
        for (const QString &dir : missing) {
            if (!QDir().mkdir(dir))
                return undo(QDir::toNativeSeparators(dir) + QStringLiteral(": the folder cannot be created"));
            m_folders << dir;
        }
        if (!QFileInfo(path).isDir())
            return undo(QDir::toNativeSeparators(path) + QStringLiteral(": not a folder"));
        return true;
    }

    // Removes what was made and reports the failure.
    bool undo(const QString &what)
    {
        for (const QString &f : std::as_const(m_files))
            QFile::remove(f);
        for (qsizetype i = m_folders.size() - 1; i >= 0; --i)
            QDir().rmdir(m_folders[i]);
        m_files.clear();
        m_folders.clear();
        m_message = m_display + QStringLiteral(": ") + what;
        return false;
    }

    ZipReader &m_zip;
    QString m_display;
    QString m_message;
    QString m_root;
    std::vector<Entry> m_entries;
    QStringList m_files, m_folders;
    bool m_damaged = false;
};

Result run(std::unique_ptr<ZipReader> zip, const QString *folder, const QString &display)
{
    Extraction x(*zip, display);
    if (!x.check(folder))
        return x.result(false);
    if (!folder)
        return x.result(true);
    return x.result(x.extract(*folder));
}

} // namespace

QString relativeEntryPath(const QString &entryName)
{
    QString name = entryName;
    name.replace(u'\\', u'/');
    if (name.isEmpty() || name.startsWith(u'/'))
        return {};
    if (name.size() >= 2 && name[1] == u':' && name[0].isLetter())
        return {}; // a drive, "C:\x" or "C:x"
    const bool isFolder = name.endsWith(u'/');
    QStringList kept;
    for (const QString &part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return {};
        if (part != QLatin1String("."))
            kept << part;
    }
    if (kept.isEmpty())
        return {};
    return kept.join(u'/') + (isFolder ? QStringLiteral("/") : QString());
}

bool isSafeEntryName(const QString &entryName) { return !relativeEntryPath(entryName).isEmpty(); }

bool isSafeFolderName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && relativeEntryPath(name) == name;
}

Result checkArchive(const QString &archivePath, const QString &displayName)
{
    return run(std::make_unique<ZipReader>(archivePath), nullptr, displayName.isEmpty() ? archivePath : displayName);
}

Result checkArchive(const QByteArray &archiveData, const QString &displayName)
{
    return run(std::make_unique<ZipReader>(archiveData), nullptr, displayName);
}

Result extractArchive(const QString &archivePath, const QString &folder, const QString &displayName)
{
    return run(std::make_unique<ZipReader>(archivePath), &folder, displayName.isEmpty() ? archivePath : displayName);
}

Result extractArchive(const QByteArray &archiveData, const QString &folder, const QString &displayName)
{
    return run(std::make_unique<ZipReader>(archiveData), &folder, displayName);
}

} // namespace mb::safeextract
