#pragma once

#include "assets/framestrip.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace mb {

// Filling a state with frames from image files: several files (or the images of a folder) in
// file-name order, or the cells of one sprite sheet.
namespace framefiles {

// File-name order as an author numbers frames: by the file names (folders ignored), letters
// without regard to ASCII case, runs of digits by their value ("walk2" before "walk10"); equal
// names keep the order of their full paths.
bool fileNameLess(const QString &a, const QString &b);
QStringList inFileNameOrder(QStringList paths);
// The files of a folder (not its subfolders) whose ending names an image decoder, in file-name
// order.
QStringList imageFilesInFolder(const QString &folder);

// The frames of the state without an image, in order.
QList<int> freeFrames(const FrameView &view, int state);
// Puts the images into the state's free frames in order, each as the frame's only image (at
// (0, 0) for objects and characters); images beyond the last free frame are left out. With
// `fit`, an element without any image takes the first image's size as placing it does.
// Returns the frames filled.
QList<int> fillFreeFrames(FrameAccess &access, int state, const QStringList &images, const framestrip::ImageDrop &fit = {});

// The cells of a sprite sheet of `columns` x `rows` equal frames, row by row: each cell is
// (width div columns) x (height div rows) pixels, what is left over at the right and bottom edges
// belongs to no cell. Cells at the end that are wholly transparent (the unused rest of the last
// row) are left out. Empty when the grid does not fit the sheet.
QList<QImage> cutSheet(const QImage &sheet, int columns, int rows);

// The files a sheet's cells are written to: "<sheet name>_01.png", "_02", ... (at least two
// digits) in the folder.
QStringList sheetFrameFiles(const QString &sheetPath, int count, const QString &folder);

// Writes the cells of the sheet as PNG files with an alpha channel (as the media tree wants them)
// beside each other in the folder. Nothing is left written when the sheet cannot be read, the
// grid does not fit, one of the files exists already or cannot be written: `problem` says which,
// `file` names the file and `detail` adds the decoder's or the file system's reason.
struct SheetFiles
{
    enum Problem { None, Unreadable, GridTooFine, FileExists, WriteFailed };
    Problem problem = None;
    QString file;
    QString detail;
    QStringList paths;
    bool ok() const { return problem == None; }
};
SheetFiles writeSheetFrames(const QString &sheetPath, int columns, int rows, const QString &folder);

} // namespace framefiles
} // namespace mb
