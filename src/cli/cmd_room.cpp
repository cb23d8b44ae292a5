// Rooms drawn as the room editor shows them, written as PNG files.
#include "cli/clicontext.h"
#include "platform/canvas.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "room/roomimagecache.h"
#include "room/roomrenderer.h"
#include "room/roomview.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <optional>

namespace mb::cli {

namespace {

const QString kMode = QStringLiteral("mode");
const QString kScroll = QStringLiteral("scroll");
const QString kAll = QStringLiteral("all");

std::optional<RoomEditMode> parseMode(const QString &text)
{
    static const std::pair<const char *, RoomEditMode> modes[] = {
        {"normal", RoomEditMode::None}, {"walkmap", RoomEditMode::Walkmap}, {"depth", RoomEditMode::Depth},
        {"inventory", RoomEditMode::Inventory}, {"fx", RoomEditMode::Fx}};
    for (const auto &[name, mode] : modes)
        if (text == QLatin1String(name))
            return mode;
    return std::nullopt;
}

std::optional<QPoint> parseScroll(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool okX = false, okY = false;
    const QPoint p(parts[0].trimmed().toInt(&okX), parts[1].trimmed().toInt(&okY));
    if (!okX || !okY)
        return std::nullopt;
    return p;
}

// A file name for a room: characters that are not allowed in file names on common systems
// become "_".
QString fileNameFor(const QString &room)
{
    QString name = room;
    for (QChar &c : name)
        if (c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_") + name;
    return name;
}

bool writePng(Context &ctx, const QImage &image, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(ctx, path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit()) {
        fail(ctx, path + QStringLiteral(": ") + (writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString()));
        return false;
    }
    return true;
}

int renderRoomCommand(Context &ctx)
{
    const bool all = ctx.parser->isSet(kAll);
    if (all ? ctx.args.size() != 1 : ctx.args.size() != 3) {
        ctx.err << "usage: mossbramble-cli render-room PROJECT.adv ROOM OUT.png [--mode MODE] [--scroll X,Y]\n"
                   "       mossbramble-cli render-room PROJECT.adv --all DIR [--mode MODE]\n";
        return Usage;
    }
    const auto mode = parseMode(ctx.parser->value(kMode));
    if (!mode) {
        ctx.err << "--mode must be one of normal, walkmap, depth, inventory, fx\n";
        return Usage;
    }
    std::optional<QPoint> scroll;
    if (ctx.parser->isSet(kScroll)) {
        scroll = parseScroll(ctx.parser->value(kScroll));
        if (!scroll) {
            ctx.err << "--scroll must be X,Y (two whole numbers)\n";
            return Usage;
        }
    }

    auto session = ctx.load(ctx.args[0]);
    if (!session)
        return Usage;
    const ProjectModel &model = session->model();

    QList<int> rooms;
    QString folder;
    if (all) {
        for (int i = 1; i <= model.rooms.size(); ++i)
            if (model.rooms.used(i))
                rooms << i;
        folder = QFileInfo(ctx.parser->value(kAll)).absoluteFilePath();
        if (!QDir().mkpath(folder))
            return fail(ctx, folder + QStringLiteral(": cannot create the folder"));
    } else {
        const int slot = model.rooms.find(ctx.args[1]);
        if (!slot) {
            ctx.err << ctx.args[1] << ": no room of that name in " << ctx.args[0] << "\n";
            return Usage;
        }
        rooms << slot;
    }

    const int width = model.settings.gameWidth, height = model.settings.gameHeight;
    QImage frame(width, height, QImage::Format_RGB32);
    Canvas canvas(&frame);
    RoomImageCache images;
    bool missing = false;
    QSet<QString> usedNames;
    for (int slot : rooms) {
        const Rroom &room = model.rooms[slot];
        RoomView view;
        // The window keeps the offset within the room; so does the picture of it.
        const QPoint wanted = scroll.value_or(QPoint(room.scrollX, room.scrollY));
        view.scroll = QPoint(std::max(0, std::min(wanted.x(), room.width - width)),
                             std::max(0, std::min(wanted.y(), room.height - height)));
        view.mode = *mode;
        images.preloadRoom(model, slot);
        renderRoom(canvas, model, slot, view, images, ctx.catalog);
        for (const ImageProblem &p : images.takeProblems()) {
            ctx.err << p.text(ctx.catalog) << "\n";
            missing = true;
        }
        QString path = ctx.args.value(2);
        if (all) {
            QString name = fileNameFor(room.name);
            // Room names differ, but two may differ only in characters a file name cannot hold.
            if (usedNames.contains(name.toLower()))
                name += QStringLiteral("-%1").arg(slot);
            usedNames.insert(name.toLower());
            path = QDir(folder).filePath(name + QStringLiteral(".png"));
        }
        if (!writePng(ctx, frame, path))
            return Problem;
        if (all)
            ctx.out << path << "\n";
    }
    ctx.err.flush();
    return missing ? Problem : Ok;
}

const Registrar renderRoomRegistrar(
    {90, QStringLiteral("render-room"), QStringLiteral("render-room PROJECT.adv ROOM OUT.png"),
     QStringLiteral("Draws a room as the room editor shows it into a PNG of the game's resolution "
                    "(--mode normal|walkmap|depth|inventory|fx, --scroll X,Y; --all DIR: every room)."),
     1, 3,
     [](QCommandLineParser &parser) {
         parser.addOption(QCommandLineOption(kMode, QStringLiteral("render-room: the edit mode drawn."),
                                             QStringLiteral("MODE"), QStringLiteral("normal")));
         parser.addOption(QCommandLineOption(kScroll, QStringLiteral("render-room: the room point at the top left."),
                                             QStringLiteral("X,Y")));
         parser.addOption(QCommandLineOption(kAll, QStringLiteral("render-room: every room into DIR as ROOM.png."),
                                             QStringLiteral("DIR")));
     },
     renderRoomCommand});

} // namespace

} // namespace mb::cli
