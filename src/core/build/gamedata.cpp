#include "build/gamedata.h"

#include "build/textmarkers.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QHash>

#include <deque>

namespace mb {

QString GameData::fileName(int number) { return QStringLiteral("game.00%1").arg(number); }

GameData::ImageList GameData::rewriteImageList(const QByteArray &game001, MediaTable &buildImages,
                                               const QString &editorFolder, const QString &splitFolder)
{
    ImageList out;
    QStringList lines = TextMarkers::splitLines(game001);
    // The media lists close the file; user texts earlier on (command names) may be anything.
    const qsizetype start = lines.lastIndexOf(QStringLiteral("Images :"));
    if (start < 0) {
        out.file = game001;
        return out;
    }
    qsizetype end = lines.indexOf(QStringLiteral("Sounds :"), start + 1);
    if (end < 0)
        end = lines.size();

    // Slots by path, in table order; a slot is used up once it got its split path.
    QHash<QString, std::deque<int>> slotsByPath;
    for (int s = 1; s <= buildImages.size(); ++s)
        if (!buildImages.name(s).isEmpty())
            slotsByPath[buildImages.path(s)].push_back(s);

    const QDir splitDir(splitFolder);
    const QString editorPrefix = editorFolder.isEmpty() ? QString() : QDir::toNativeSeparators(QDir::cleanPath(editorFolder)) + QDir::separator();
    for (qsizetype i = start + 2; i < end; i += 2) {
        QString &line = lines[i];
        if (line.size() < 3 || text::asciiLower(QStringView(line).right(3)) != QLatin1String("png"))
            continue;
        const ImageSplitter::PngKind kind = ImageSplitter::pngKind(line);
        if (kind == ImageSplitter::PngKind::NotPng) {
            out.error = line + QStringLiteral(": not a readable PNG file");
            return out;
        }
        if (kind != ImageSplitter::PngKind::WithAlpha)
            continue;
        const QString colourName = ImageSplitter::colourFileName(line);
        const QString colourPath = splitDir.filePath(colourName);
        const auto it = slotsByPath.find(line);
        if (it != slotsByPath.end() && !it->empty()) {
            buildImages.setPath(it->front(), colourPath);
            it->pop_front();
        }
        out.splits.push_back({line, colourPath});
        line = editorPrefix + colourName;
    }
    out.file = TextMarkers::joinLines(lines);
    return out;
}

} // namespace mb
