// Times the room renderer on a big room: a 1024 x 768 game, a background of 3 x 2 screens
// (3072 x 1536, JPEG), 200 placed objects and 300 placed characters with alpha images, all of
// them on the screen scrolled to the middle of the room (the worst case: nothing is culled).
//
// Prints the first frame with decoding (empty cache), the median warm frame of the whole-frame
// case (what the command line draws), the median repaint of a small dirty rectangle (what the
// window redraws when one character moves), a breakdown of the warm frame by layer, and a bare
// QPainter loop over the same sprites for scale.
//
//   bench_roomrender [FRAMES]
#include "platform/canvas.h"
#include "platform/headless.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "room/roomimagecache.h"
#include "room/roomrenderer.h"
#include "room/roomview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace mb;

namespace {

constexpr int kObjectImages = 40, kCharacters = 10, kObjects = 200, kPlacedCharacters = 300;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Processor time of the whole process (Qt's raster engine may hand large fills to its threads)
// rather than wall time: on a shared machine the wall clock mostly measures the other programs.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double timeMs(const std::function<void()> &f)
{
    const double start = cpuMs();
    f();
    return cpuMs() - start;
}

double wallMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

QImage sprite(int w, int h, QRandomGenerator &rng)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 180, 220));
    p.drawEllipse(QRectF(2, 2, w - 4, h - 4));
    p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 200, 160, 160));
    p.drawRect(QRectF(w / 4.0, h / 4.0, w / 2.0, h / 2.0));
    return img;
}

struct Bench
{
    ProjectModel model;
    int room = 1;
    RoomView view;
};

void build(Bench &b, const QString &folder)
{
    ProjectModel &m = b.model;
    m.allesneu(MessageCatalog());
    m.settings.setResolutionChoice(4); // 1024 x 768
    QRandomGenerator rng(42);

    QImage bg(3072, 1536, QImage::Format_RGB32);
    {
        QPainter p(&bg);
        QLinearGradient g(0, 0, 3072, 1536);
        g.setColorAt(0, QColor(60, 90, 160));
        g.setColorAt(1, QColor(150, 110, 60));
        p.fillRect(bg.rect(), g);
        for (int i = 0; i < 400; ++i) {
            p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 120, 180));
            p.drawEllipse(QPointF(rng.bounded(3072), rng.bounded(1536)), 20 + rng.bounded(80), 10 + rng.bounded(40));
        }
    }
    const QString bgPath = QDir(folder).filePath("bg.jpg");
    bg.save(bgPath, "JPEG", 90);
    m.mediaadd(Images, "bg", bgPath);

    for (int i = 1; i <= kObjectImages; ++i) {
        const QString name = QString("obj%1").arg(i);
        const QImage img = sprite(32 + int(rng.bounded(96)), 32 + int(rng.bounded(96)), rng);
        const QString path = QDir(folder).filePath(name + ".png");
        img.save(path, "PNG");
        m.mediaadd(Images, name, path);
        Robj &o = m.objects[i];
        o.name = name;
        o.width = uint16_t(img.width());
        o.height = uint16_t(img.height());
        o.frames[0][0].image = name;
    }
    for (int i = 1; i <= kCharacters; ++i) {
        Rcharacter &c = m.characters[i];
        c.name = QString("char%1").arg(i);
        for (int s : {0, 1, 2, 32}) {
            const QString name = QString("char%1_%2").arg(i).arg(s);
            const QImage img = sprite(64, 128, rng);
            const QString path = QDir(folder).filePath(name + ".png");
            img.save(path, "PNG");
            m.mediaadd(Images, name, path);
            c.frames[s][0].image = name;
            c.width[s] = 64;
            c.height[s] = 128;
            c.footX[s] = 32;
            c.footY[s] = 126;
        }
        c.leftani = i % 2 == 0;
    }

    Rroom &r = m.rooms[b.room];
    r.name = "big";
    r.width = 3072;
    r.height = 1536;
    r.background = "bg";
    r.zoomTop = 28; // rows of 32 pixels: the screen in the middle spans rows 12 .. 36
    r.zoomBottom = 40;
    r.zoomStep = 3;
    b.view.scroll = QPoint(1024, 384);
    for (int i = 0; i < kObjects; ++i) {
        Rroomobj &o = r.objects[i];
        o.instanceName = QString("o%1").arg(i + 1);
        o.objectName = QString("obj%1").arg(1 + i % kObjectImages);
        o.x = 1024 + int(rng.bounded(900));
        o.y = 384 + int(rng.bounded(650));
        o.byteValue = uint8_t(i % 3);
        o.depthLine = 12 + int(rng.bounded(26));
        o.state = 1;
    }
    for (int i = 1; i <= kPlacedCharacters; ++i) {
        Rroomchar &c = m.roomChars[i];
        c.instanceName = QString("c%1").arg(i);
        c.characterName = QString("char%1").arg(1 + i % kCharacters);
        c.roomName = r.name;
        c.x = 1024 + int(rng.bounded(960));
        c.y = 384 + int(rng.bounded(640));
        c.byteValue = uint8_t(1 + i % 4);
    }
}

// Under callgrind (--toggle-collect='*profiledFrames*'), only these warm frames are counted.
void __attribute__((noinline)) profiledFrames(Canvas &canvas, const Bench &b, RoomImageCache &cache,
                                              const MessageCatalog &catalog, int frames)
{
    for (int i = 0; i < frames; ++i)
        renderRoom(canvas, b.model, b.room, b.view, cache, catalog);
}

} // namespace

int main(int argc, char **argv)
{
    prepareHeadlessEnvironment();
    QGuiApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(10, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    Bench b;
    build(b, dir.path());
    const MessageCatalog catalog;
    QImage target(1024, 768, QImage::Format_RGB32);
    Canvas canvas(&target);

    RoomImageCache cache;
    double firstCpu = 0;
    // As the window opens a room: the images it shows at once are decoded together, then drawn.
    const double first = wallMs([&] {
        firstCpu = timeMs([&] {
            cache.preloadRoom(b.model, b.room);
            renderRoom(canvas, b.model, b.room, b.view, cache, catalog);
        });
    });
    const int decoded = cache.filesRead();
    if (qEnvironmentVariableIsSet("ROOMBENCH_PROFILE")) {
        profiledFrames(canvas, b, cache, catalog, 10);
        return 0;
    }

    // A bare QPainter loop over the same sprites, prepared in the same formats, for scale.
    Rroom &r = b.model.rooms[b.room];
    std::vector<QImage> objectImages, characterImages;
    for (const Rroomobj &o : r.objects)
        if (!o.instanceName.isEmpty())
            objectImages.push_back(cache.image(b.model, o.objectName)->image);
    for (int i = 1; i <= kPlacedCharacters; ++i)
        characterImages.push_back(cache.image(b.model, QString("char%1_0").arg(1 + i % kCharacters))->image);
    const QImage bgImage = cache.find("bg")->image;
    auto bareLoop = [&](bool smooth) {
        QPainter p(&target);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p.drawImage(QPoint(-1024, -384), bgImage);
        for (size_t k = 0; k < objectImages.size(); ++k)
            p.drawImage(QPoint(int(k * 5 % 900), int(k * 3 % 650)), objectImages[k]);
        for (size_t k = 0; k < characterImages.size(); ++k)
            p.drawImage(QRectF(k * 3 % 960, k * 2 % 640, 48, 96), characterImages[k]);
    };

    // Interleaved, so that the machine's load falls on all of them alike.
    std::vector<double> whole, wholeWall, dirty, bare, bareSmooth, withoutMarks;
    const QRect dirtyRect(500, 300, 120, 160);
    for (int i = 0; i < frames; ++i) {
        wholeWall.push_back(wallMs([&] { whole.push_back(timeMs([&] { renderRoom(canvas, b.model, b.room, b.view, cache, catalog); })); }));
        dirty.push_back(timeMs([&] { renderRoom(canvas, b.model, b.room, b.view, cache, catalog, dirtyRect); }));
        bare.push_back(timeMs([&] { bareLoop(false); }));
        if (i % 4 == 0)
            bareSmooth.push_back(timeMs([&] { bareLoop(true); }));
        b.view.mode = RoomEditMode::Fx; // no FX shape is active: the frame without marks
        withoutMarks.push_back(timeMs([&] { renderRoom(canvas, b.model, b.room, b.view, cache, catalog); }));
        b.view.mode = RoomEditMode::None;
    }

    // Where the time goes: the same frame with parts of the room taken away.
    auto warm = [&] {
        std::vector<double> times;
        for (int i = 0; i < frames / 2; ++i)
            times.push_back(timeMs([&] { renderRoom(canvas, b.model, b.room, b.view, cache, catalog); }));
        return median(times);
    };
    const double all = warm();
    auto chars = b.model.roomChars;
    for (Rroomchar &c : b.model.roomChars)
        c.roomName = "elsewhere";
    const double withoutCharacters = warm();
    const auto objects = r.objects;
    for (Rroomobj &o : r.objects)
        o.instanceName.clear();
    const double backgroundOnly = warm();
    r.background.clear();
    const double nothing = warm();
    r.objects = objects;
    r.background = "bg";
    b.model.roomChars = chars;

    std::printf("room renderer, 1024 x 768 game, 3072 x 1536 background, %d objects and %d characters on screen\n",
                kObjects, kPlacedCharacters);
    std::printf("times are processor time of the process (all threads), medians of %d interleaved runs\n", frames);
    std::printf("  first frame with decoding (%d files):   %8.2f ms processor time, %.2f ms wall (decoded on %d threads)\n",
                decoded, firstCpu, first, std::max(1u, std::thread::hardware_concurrency()));
    std::printf("  warm whole frame:                        %8.2f ms (wall %.2f ms)\n", median(whole), median(wholeWall));
    std::printf("  warm repaint of 120 x 160 pixels:        %8.2f ms\n", median(dirty));
    std::printf("  bare QPainter loop, same sprites:        %8.2f ms (smooth scaling %.2f ms)\n", median(bare),
                median(bareSmooth));
    std::printf("  breakdown of the warm frame (%.2f ms; separate runs, so roughly):\n", all);
    std::printf("    clear, status texts:                   %8.2f ms\n", nothing);
    std::printf("    background:                            %8.2f ms\n", backgroundOnly - nothing);
    std::printf("    %d objects:                           %8.2f ms\n", kObjects, withoutCharacters - backgroundOnly);
    std::printf("    %d characters (cached at their zoom): %8.2f ms\n", kPlacedCharacters, all - withoutCharacters);
    std::printf("    of the whole, corner marks and markers: %7.2f ms\n", median(whole) - median(withoutMarks));
    return 0;
}
