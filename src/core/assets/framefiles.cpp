#include "assets/framefiles.h"

#include "platform/imagedecoder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace mb::framefiles {

using namespace framestrip;

namespace {

QChar lowerAscii(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// <0, 0, >0 in natural order.
int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            // Compare the values without leading zeros: the longer run is larger, else digit by
            // digit; "07" and "7" count equal here.
            qsizetype si = i, sj = j;
            while (si < ei - 1 && a[si] == u'0')
                ++si;
            while (sj < ej - 1 && b[sj] == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            for (; si < ei; ++si, ++sj)
                if (a[si] != b[sj])
                    return a[si] < b[sj] ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = lowerAscii(a[i]), cb = lowerAscii(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}

// The name after the last "\" or "/" (stored paths may come from Windows).
QString fileName(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(sep + 1);
}

} // namespace

bool fileNameLess(const QString &a, const QString &b)
{
    const int c = naturalCompare(fileName(a), fileName(b));
    if (c != 0)
        return c < 0;
    return a < b;
}

QStringList inFileNameOrder(QStringList paths)
{
    std::stable_sort(paths.begin(), paths.end(), fileNameLess);
    return paths;
}

QStringList imageFilesInFolder(const QString &folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Readable))
        if (!imageFormatForPath(name).isEmpty())
            paths << dir.filePath(name);
    return inFileNameOrder(paths);
}

QList<int> freeFrames(const FrameView &view, int state)
{
    QList<int> frames;
    if (!view.validState(state))
        return frames;
    for (int f = 1; f <= view.frames(); ++f)
        if (!view.frame(state, f).hasImage())
            frames << f;
    return frames;
}

QList<int> fillFreeFrames(FrameAccess &access, int state, const QStringList &images, const ImageDrop &fit)
{
    QList<int> filled;
    const QList<int> free = freeFrames(access, state);
    for (qsizetype i = 0; i < images.size() && i < free.size(); ++i) {
        ImageDrop drop = fit;
        drop.image = images[i];
        drop.position = QPoint();
        if (i > 0)
            drop.fitImages = false;
        if (placeImage(access, state, free[i], ImageDropPlan::at(ImagePlace::First), drop))
            filled << free[i];
    }
    return filled;
}

QList<QImage> cutSheet(const QImage &sheet, int columns, int rows)
{
    QList<QImage> cells;
    if (sheet.isNull() || columns < 1 || rows < 1)
        return cells;
    const int w = sheet.width() / columns, h = sheet.height() / rows;
    if (w < 1 || h < 1)
        return cells;
    const QImage argb = sheet.convertToFormat(QImage::Format_ARGB32);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells << argb.copy(c * w, r * h, w, h);
    const auto transparent = [](const QImage &cell) {
        for (int y = 0; y < cell.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(cell.constScanLine(y));
            for (int x = 0; x < cell.width(); ++x)
                if (qAlpha(line[x]) != 0)
                    return false;
        }
        return true;
    };
    while (cells.size() > 1 && transparent(cells.last()))
        cells.removeLast();
    return cells;
}

QStringList sheetFrameFiles(const QString &sheetPath, int count, const QString &folder)
{
    const QString base = QFileInfo(fileName(sheetPath)).completeBaseName();
    const int digits = std::max(2, int(QString::number(count).size()));
    QStringList paths;
    const QDir dir(folder);
    for (int i = 1; i <= count; ++i)
        paths << dir.filePath(base + u'_' + QStringLiteral("%1").arg(i, digits, 10, QLatin1Char('0'))
                              + QStringLiteral(".png"));
    return paths;
}

SheetFiles writeSheetFrames(const QString &sheetPath, int columns, int rows, const QString &folder)
{
    SheetFiles result;
    const DecodedImage decoded = decodeImageByExtension(sheetPath);
    if (!decoded.ok()) {
        result.problem = SheetFiles::Unreadable;
        result.file = sheetPath;
        result.detail = decoded.error;
        return result;
    }
    const QList<QImage> cells = cutSheet(decoded.image, columns, rows);
    if (cells.isEmpty()) {
        result.problem = SheetFiles::GridTooFine;
        result.file = sheetPath;
        return result;
    }
    const QStringList paths = sheetFrameFiles(sheetPath, int(cells.size()), folder);
    for (const QString &p : paths)
        if (QFileInfo::exists(p)) {
            result.problem = SheetFiles::FileExists;
            result.file = p;
            return result;
        }
    for (qsizetype i = 0; i < cells.size(); ++i) {
        QSaveFile file(paths[i]);
        if (!file.open(QIODevice::WriteOnly) || !cells[i].save(&file, "PNG") || !file.commit()) {
            result.problem = SheetFiles::WriteFailed;
            result.file = paths[i];
            result.detail = file.errorString();
            // Leave no half set behind.
            for (qsizetype k = 0; k < i; ++k)
                QFile::remove(paths[k]);
            return result;
        }
    }
    result.paths = paths;
    return result;
}

} // namespace mb::framefiles
