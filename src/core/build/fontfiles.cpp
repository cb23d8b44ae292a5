#include "build/fontfiles.h"

#include "build/fontrenderer.h"
#include "platform/bmp16writer.h"
#include "platform/ziparchive.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mb {

namespace {

constexpr int kFontArchiveLevel = 9;
constexpr int kPackLevel = 0;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

QString FontFiles::pageName(int font, int page, bool alpha)
{
    return QStringLiteral("font%1.%2%3").arg(font).arg(alpha ? QStringLiteral("al") : QStringLiteral("bm")).arg(page);
}

QString FontFiles::dataName(int font) { return QStringLiteral("fontdata.00%1").arg(font); }

QString FontFiles::archiveName(int font) { return QStringLiteral("font.00%1").arg(font); }

bool FontFiles::renderFont(const RFont &font, int number, const QString &folder, QString *error,
                           const QDateTime &stamp)
{
    const QString path = QDir(folder).filePath(archiveName(number));
    const FontRenderer renderer(font);
    const FontGrid &grid = renderer.grid();
    if (!grid.fits()) {
        setError(error, QStringLiteral("%1: font %2 (\"%3\", %4) is too large for a %5 x %5 page")
                            .arg(path).arg(number).arg(font.name).arg(font.size).arg(FontGrid::PageSize));
        return false;
    }
    ZipWriter zip(path);
    if (!zip.isOpen()) {
        setError(error, zip.errorString());
        return false;
    }
    zip.setEntryTime(stamp);
    for (int p = 1; p <= grid.pages; ++p) {
        const FontRenderer::Page page = renderer.renderPage(p);
        if (!zip.addBytes(pageName(number, p, false), Bmp16Writer::encode(page.colour), kFontArchiveLevel)
            || !zip.addBytes(pageName(number, p, true), Bmp16Writer::encode(page.alpha), kFontArchiveLevel)) {
            setError(error, path + QStringLiteral(": ") + zip.errorString());
            return false;
        }
    }
    if (!zip.addBytes(dataName(number), renderer.fontData(), kFontArchiveLevel)) {
        setError(error, path + QStringLiteral(": ") + zip.errorString());
        return false;
    }
    if (!zip.close()) {
        setError(error, zip.errorString());
        return false;
    }
    return true;
}

bool FontFiles::renderProjectFonts(const ProjectModel &model, const QString &folder,
                                   QString *error, const Progress &progress, const QDateTime &stamp)
{
    if (!FontRenderer::available()) {
        setError(error, QStringLiteral("Fonts can only be rendered with the font database of a QGuiApplication."));
        return false;
    }
    const int count = model.fontCount();
    if (count == 0) {
        setError(error, QStringLiteral("The project has no font 1."));
        return false;
    }
    const QDir dir(folder);
    const QString packPath = dir.filePath(packName());
    // A stale pack must not survive a failed build and pass for this one.
    if (QFileInfo::exists(packPath) && !QFile::remove(packPath)) {
        setError(error, packPath + QStringLiteral(": cannot be replaced"));
        return false;
    }
    QStringList written;
    auto removeWritten = [&written] {
        for (const QString &path : std::as_const(written))
            QFile::remove(path);
    };

    for (int i = 1; i <= count; ++i) {
        if (progress)
            progress(i);
        const QString path = dir.filePath(archiveName(i));
        written << path;
        if (!renderFont(model.fonts[i], i, folder, error, stamp)) {
            removeWritten();
            return false;
        }
    }

    bool ok = true;
    {
        ZipWriter pack(packPath);
        pack.setEntryTime(stamp);
        ok = pack.isOpen();
        for (int i = 1; ok && i <= count; ++i) {
            ok = pack.addFile(archiveName(i), written[i - 1], kPackLevel);
            if (!ok)
                setError(error, packPath + QStringLiteral(": ") + pack.errorString());
        }
        if (!pack.isOpen())
            setError(error, pack.errorString());
        else if (ok && !pack.close()) {
            ok = false;
            setError(error, pack.errorString());
        }
    }
    // The archives are read when the pack is closed, so they go only now.
    removeWritten();
    return ok;
}

bool FontFiles::copyRuntimeFile(const QString &editorFolder, const QString &folder, QString *error)
{
    const QString source = QDir(editorFolder).filePath(runtimeFileName());
    const QString target = QDir(folder).filePath(runtimeFileName());
    if (!QFileInfo::exists(source)) {
        setError(error, source + QStringLiteral(": file not found"));
        return false;
    }
    QFile::remove(target);
    QFile in(source);
    if (!in.copy(target)) {
        setError(error, target + QStringLiteral(": ") + in.errorString());
        return false;
    }
    return true;
}

} // namespace mb
