#include "platform/safeextract.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>

namespace mb::safeextract {

namespace {

struct ZipCloser
{
    void operator()(zip *z) const
    {
        if (z)
            zip_discard(z);
    }
};
using ZipHandle = std::unique_ptr<zip, ZipCloser>;

QString errorText(zip_error_t *error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

// Opens an archive from a file or from memory; `data` must outlive the handle.
ZipHandle openArchive(const QString *path, const QByteArray *data, QString *error)
{
    zip_error_t ze;
    zip_error_init(&ze);
    zip *z = nullptr;
    if (path) {
        int code = 0;
        z = zip_open(QFile::encodeName(*path).constData(), ZIP_RDONLY, &code);
        if (!z)
            zip_error_set(&ze, code, 0);
    } else {
        zip_source_t *source = zip_source_buffer_create(data->constData(), zip_uint64_t(data->size()), 0, &ze);
        if (source) {
            z = zip_open_from_source(source, ZIP_RDONLY, &ze);
            if (!z)
                zip_source_free(source);
        }
    }
    if (!z)
        *error = QStringLiteral("not a readable zip archive (%1)").arg(errorText(&ze));
    zip_error_fini(&ze);
    return ZipHandle(z);
}

struct Entry
{
    zip_uint64_t index;
    QString name;
    QString relative;
};

// Reads and checks every entry name; fails on the first refused one.
bool listEntries(zip *z, const QString &display, std::vector<Entry> *entries, Result *result)
{
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char *raw = zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        const QString relative = relativeEntryPath(name);
        if (relative.isEmpty()) {
            result->message = display + QStringLiteral(": the entry \"%1\" is refused: its name is empty, absolute "
                                                       "or leads out of the target folder; nothing was unpacked")
                                            .arg(name);
            return false;
        }
        entries->push_back({zip_uint64_t(i), name, relative});
    }
    return true;
}

bool inside(const QString &canonicalRoot, const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() &&
           (canonical == canonicalRoot || canonical.startsWith(canonicalRoot + u'/'));
}

Result run(const QString *path, const QByteArray *data, const QString *folder, const QString &displayName)
{
    Result result;
    const QString display = displayName.isEmpty() && path ? *path : displayName;
    QString error;
    ZipHandle z = openArchive(path, data, &error);
    if (!z) {
        result.message = display + QStringLiteral(": ") + error;
        return result;
    }
    std::vector<Entry> entries;
    if (!listEntries(z.get(), display, &entries, &result))
        return result;
    if (!folder) {
        result.ok = true;
        return result;
    }

    if (!QDir().mkpath(*folder)) {
        result.message = *folder + QStringLiteral(": the folder cannot be created");
        return result;
    }
    const QString root = QFileInfo(*folder).canonicalFilePath();
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (const Entry &e : entries) {
        const bool isFolder = e.relative.endsWith(u'/');
        const QString target = root + u'/' + (isFolder ? e.relative.chopped(1) : e.relative);
        const QString parent = isFolder ? target : QFileInfo(target).path();
        auto fail = [&](const QString &what) {
            result.files.clear();
            result.message = display + QStringLiteral(": ") + e.name + QStringLiteral(": ") + what;
            return result;
        };
        if (!QDir().mkpath(parent))
            return fail(QStringLiteral("the folder %1 cannot be created").arg(parent));
        // A folder of the target that is a link could still lead elsewhere.
        if (!inside(root, parent))
            return fail(QStringLiteral("%1 leads out of the target folder").arg(parent));
        if (isFolder)
            continue;
        const QFileInfo existing(target);
        if (existing.isDir() && !existing.isSymLink())
            return fail(QStringLiteral("a folder of that name is in the way"));
        if ((existing.exists() || existing.isSymLink()) && !QFile::remove(target))
            return fail(QStringLiteral("the old file cannot be replaced"));

        zip_file_t *in = zip_fopen_index(z.get(), e.index, 0);
        if (!in)
            return fail(errorText(zip_get_error(z.get())));
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            zip_fclose(in);
            return fail(out.errorString());
        }
        bool ok = true;
        QString what;
        for (;;) {
            const zip_int64_t got = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()));
            if (got < 0) {
                ok = false;
                what = errorText(zip_file_get_error(in));
                break;
            }
            if (got == 0)
                break;
            if (out.write(buffer.constData(), got) != got) {
                ok = false;
                what = out.errorString();
                break;
            }
        }
        zip_fclose(in);
        out.close();
        if (ok && out.error() != QFile::NoError) {
            ok = false;
            what = out.errorString();
        }
        if (!ok) {
            QFile::remove(target);
            return fail(what);
        }
        result.files << target;
    }
    result.ok = true;
    return result;
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

Result checkArchive(const QString &archivePath, const QString &displayName)
{
    return run(&archivePath, nullptr, nullptr, displayName);
}

Result checkArchive(const QByteArray &archiveData, const QString &displayName)
{
    return run(nullptr, &archiveData, nullptr, displayName);
}

Result extractArchive(const QString &archivePath, const QString &folder, const QString &displayName)
{
    return run(&archivePath, nullptr, &folder, displayName);
}

Result extractArchive(const QByteArray &archiveData, const QString &folder, const QString &displayName)
{
    return run(nullptr, &archiveData, &folder, displayName);
}

} // namespace mb::safeextract
