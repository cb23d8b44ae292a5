#pragma once

#include "build/imagesplitter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace mb {

class MediaTable;

// The game's copy of the first companion file, game.001, as the runtime reads it: the image list
// names the split JPEG pair instead of a PNG with alpha. (The text markers of game.002 and
// game.003 are TextMarkers'.)
class GameData
{
public:
    // "game.001" .. "game.005", the entries of game.dat.
    static QString fileName(int number);
    static QString packName() { return QStringLiteral("game.dat"); }

    struct ImageList
    {
        QByteArray file;                        // the new game.001
        std::vector<ImageSplitter::Job> splits; // one per replaced path, in list order
        QString error;                          // set when the build must stop (see below)
        bool ok() const { return error.isEmpty(); }
    };

    // Rewrites the image list of game.001 (between the lines "Images :" and "Sounds :"; every
    // other line stays as it is). The list holds two lines per image, its name and its path; a
    // path whose last three characters are "png" (ASCII case-insensitive) is checked in the PNG
    // header, and when its colour type has alpha:
    //  - the line becomes editorFolder + "/" + the .pnj file name (the runtime takes the file
    //    name, by which it finds the image in gfx.dat);
    //  - the first entry of `buildImages` whose path equals the line gets the path of the .pnj
    //    in `splitFolder`, so that gfx.dat is filled from the split files;
    //  - a split job for that path is added.
    // A path ending in "png" whose file is not a readable PNG file sets `error` (naming the file)
    // and the build stops; `file` is then empty. Name lines are never taken for paths.
    static ImageList rewriteImageList(const QByteArray &game001, MediaTable &buildImages,
                                      const QString &editorFolder, const QString &splitFolder);
};

} // namespace mb
