// Writes the demo project: two rooms with backgrounds, a character with stand, walk and talk
// frames, objects with states, an item, scripts with speech and a textscene, one font, a second
// language, a few sounds, a tracker module, a short video and a Flash movie.
//
//   mossbramble-make-demo OUTDIR     writes OUTDIR/demo.adv and its media below OUTDIR
#include "platform/headless.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "tools/languageupdate.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstdio>

using namespace mb;

namespace {

QString g_out;

// Backgrounds are JPEG files; everything with transparency is a PNG with an alpha channel, as
// the media tree requires of PNG files.
QString saveJpeg(const QString &name, const QImage &image)
{
    const QString path = QDir(g_out).filePath(QStringLiteral("gfx/") + name + QStringLiteral(".jpg"));
    image.save(path, "JPEG", 90);
    return path;
}

QString savePng(const QString &name, const QImage &image)
{
    const QString path = QDir(g_out).filePath(QStringLiteral("gfx/") + name + QStringLiteral(".png"));
    image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
    return path;
}

QImage background(const QColor &sky, const QColor &ground, const QString &label)
{
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 480);
    g.setColorAt(0, sky.lighter(130));
    g.setColorAt(0.6, sky);
    g.setColorAt(0.61, ground);
    g.setColorAt(1, ground.darker(150));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(ground.darker(120));
    for (int i = 0; i < 8; ++i)
        p.drawEllipse(QPointF(40 + i * 80, 300), 60, 25);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 20, QFont::Bold));
    p.drawText(QRect(0, 10, 640, 40), Qt::AlignCenter, label);
    return img;
}

// A simple figure; `step` moves the legs, `mouth` opens the mouth, `dir` 0 front, 1 left, 2 right,
// 3 back (no face).
QImage figure(int dir, int step, bool mouth)
{
    QImage img(48, 96, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(70, 110, 200));
    p.drawRoundedRect(14, 30, 20, 34, 4, 4);
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(12, 4, 24, 24);
    const int eye = dir == 1 ? -4 : dir == 2 ? 4 : 0;
    if (dir != 3) {
        p.drawPoint(20 + eye, 14);
        p.drawPoint(28 + eye, 14);
        if (mouth)
            p.drawEllipse(21 + eye, 19, 6, 5);
        else
            p.drawLine(21 + eye, 21, 27 + eye, 21);
    } else {
        p.setBrush(QColor(110, 70, 30)); // hair
        p.drawEllipse(12, 4, 24, 20);
    }
    const int swing = (step % 2 == 0 ? 1 : -1) * (step ? 6 : 0);
    p.drawLine(20, 64, 18 - swing, 94);
    p.drawLine(28, 64, 30 + swing, 94);
    return img;
}

QImage door(bool open)
{
    QImage img(80, 140, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(QPen(QColor(60, 30, 10), 3));
    p.setBrush(open ? QColor(20, 20, 20) : QColor(140, 80, 30));
    p.drawRect(2, 2, 76, 136);
    if (!open) {
        p.setBrush(Qt::yellow);
        p.drawEllipse(60, 70, 8, 8);
    }
    return img;
}

// The meadow: two screens wide, its sky transparent so that the clouds behind it show.
QImage meadow()
{
    QImage img(1280, 480, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 120, 90));
    for (int i = 0; i < 9; ++i)
        p.drawEllipse(QPointF(i * 160, 250), 140, 70); // hills
    QLinearGradient g(0, 240, 0, 480);
    g.setColorAt(0, QColor(110, 170, 80));
    g.setColorAt(1, QColor(50, 110, 40));
    p.setBrush(g);
    p.drawRect(0, 240, 1280, 240);
    p.setBrush(QColor(150, 120, 80));
    p.drawPolygon(QPolygonF({QPointF(560, 480), QPointF(720, 480), QPointF(660, 240), QPointF(620, 240)})); // path
    return img;
}

QImage clouds()
{
    QImage img(960, 480, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 300);
    g.setColorAt(0, QColor(60, 110, 200));
    g.setColorAt(1, QColor(170, 200, 240));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 255));
    for (int i = 0; i < 7; ++i) {
        const QPointF c(70 + i * 140, 60 + (i % 3) * 40);
        p.drawEllipse(c, 50, 20);
        p.drawEllipse(c + QPointF(30, -10), 35, 20);
    }
    return img;
}

QImage tree()
{
    QImage img(120, 200, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(100, 70, 40));
    p.drawRect(52, 110, 16, 90);
    p.setBrush(QColor(40, 120, 50));
    p.drawEllipse(QPointF(60, 70), 58, 66);
    p.setBrush(QColor(60, 150, 60));
    p.drawEllipse(QPointF(45, 55), 28, 26);
    return img;
}

QImage rock()
{
    QImage img(90, 50, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(130, 130, 125));
    p.drawEllipse(QRectF(2, 6, 86, 42));
    return img;
}

// A soft yellow glow; the object that shows it is drawn additively.
QImage glow()
{
    QImage img(80, 80, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    QRadialGradient g(40, 40, 40);
    g.setColorAt(0, QColor(160, 140, 40, 255));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(0, 0, 80, 80);
    return img;
}

QImage keyImage()
{
    QImage img(40, 20, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 170, 0), 3));
    p.drawEllipse(2, 4, 12, 12);
    p.drawLine(14, 10, 38, 10);
    p.drawLine(32, 10, 32, 16);
    return img;
}

// A 32 x 32 mouse cursor: an arrow (kind 0) or an hourglass (kind 1), its colour a little
// brighter in the second frame so that the cursor editor has something to animate.
QImage cursorImage(int kind, int frame)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(frame == 1 ? QColor(255, 255, 255) : QColor(255, 220, 120));
    if (kind == 0)
        p.drawPolygon(QPolygonF({QPointF(1, 1), QPointF(1, 24), QPointF(7, 18), QPointF(12, 29), QPointF(16, 27),
                                 QPointF(11, 17), QPointF(19, 17)}));
    else
        p.drawPolygon(QPolygonF({QPointF(6, 2), QPointF(26, 2), QPointF(16, 16), QPointF(26, 30), QPointF(6, 30),
                                 QPointF(16, 16)}));
    return img;
}

// A 16-bit mono WAV with a few tones.
QString saveWav(const QString &name, const std::vector<double> &notes, double seconds)
{
    const int rate = 22050;
    QByteArray pcm;
    for (double f : notes) {
        const int n = int(rate * seconds);
        for (int i = 0; i < n; ++i) {
            const double env = std::min(1.0, std::min(i, n - i) / (rate * 0.01));
            const qint16 s = qint16(8000 * env * std::sin(2 * M_PI * f * i / rate));
            pcm.append(reinterpret_cast<const char *>(&s), 2);
        }
    }
    QByteArray wav("RIFF");
    auto u32 = [&](quint32 v) { v = qToLittleEndian(v); wav.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { v = qToLittleEndian(v); wav.append(reinterpret_cast<const char *>(&v), 2); };
    u32(36 + pcm.size());
    wav += "WAVEfmt ";
    u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    wav += "data";
    u32(pcm.size());
    wav += pcm;
    const QString path = QDir(g_out).filePath(QStringLiteral("sfx/") + name + QStringLiteral(".wav"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(wav);
    return path;
}

QByteArray le(quint32 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char(v >> (8 * i)));
    return b;
}

QString writeMedia(const QString &sub, const QString &fileName, const QByteArray &bytes)
{
    const QString path = QDir(g_out).filePath(sub + u'/' + fileName);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// A four-channel ProTracker module: a square-wave lead over a triangle bass, two patterns of
// 32 rows at speed 6 (about eight seconds). Notes are Amiga periods; 0 is a rest.
QString saveModule(const QString &name)
{
    QByteArray mod = QByteArray("mossbramble ditty").leftJustified(20, '\0');
    auto be16 = [&](int v) { mod.append(char(v >> 8)).append(char(v & 0xFF)); };
    const int words = 32; // each sample is one 64-byte cycle, looped
    for (int s = 0; s < 31; ++s) {
        mod.append(QByteArray(s == 0 ? "lead" : s == 1 ? "bass" : "").leftJustified(22, '\0'));
        be16(s < 2 ? words : 0);
        mod.append(char(0)).append(char(s == 0 ? 40 : s == 1 ? 64 : 0));
        be16(0);
        be16(s < 2 ? words : 1);
    }
    mod.append(char(2)).append(char(127));
    mod.append(QByteArray("\x00\x01", 2)).append(QByteArray(126, '\0'));
    mod.append("M.K.");
    enum { C1 = 856, F1 = 640, G1 = 570, A1 = 508, C = 428, D = 381, E = 339, F = 320, G = 285, A = 254, H = 226, C3 = 214 };
    const int melody[2][16] = {{E, G, C3, G, E, G, A, G, F, A, C3, A, G, E, D, C},
                               {C, E, G, E, D, F, A, F, E, G, C3, H, C3, G, E, C}};
    const int bass[2][4] = {{C1, A1, F1, G1}, {C1, F1, G1, C1}};
    for (int p = 0; p < 2; ++p) {
        QByteArray pattern(64 * 16, '\0');
        auto cell = [&](int row, int channel, int sample, int period, int effect, int param) {
            char *c = pattern.data() + (row * 4 + channel) * 4;
            c[0] = char((sample & 0xF0) | (period >> 8));
            c[1] = char(period & 0xFF);
            c[2] = char(((sample & 0x0F) << 4) | effect);
            c[3] = char(param);
        };
        for (int i = 0; i < 16; ++i)
            cell(i * 2, 0, 1, melody[p][i], 0, 0);
        for (int i = 0; i < 4; ++i)
            cell(i * 8, 1, 2, bass[p][i], 0, 0);
        cell(0, 3, 0, 0, 0xF, 6);
        cell(31, 3, 0, 0, 0xD, 0);
        mod.append(pattern);
    }
    for (int i = 0; i < words * 2; ++i)
        mod.append(char(i < words ? 60 : -60));
    for (int i = 0; i < words * 2; ++i)
        mod.append(char(i < words ? -120 + i * 240 / words : 120 - (i - words) * 240 / words));
    return writeMedia(QStringLiteral("music"), name + QStringLiteral(".mod"), mod);
}

// A two-second Motion-JPEG AVI (no sound): the hero walks across the garden.
QString saveVideo(const QString &name, const QImage &scene, const QImage &walker1, const QImage &walker2)
{
    const int w = 320, h = 240, fps = 12, count = 24;
    QList<QByteArray> frames;
    for (int i = 0; i < count; ++i) {
        QImage frame = scene.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter p(&frame);
        p.drawImage(QPoint(20 + i * 11, 110), i % 2 ? walker1 : walker2);
        p.end();
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        frame.save(&buffer, "JPEG", 85);
        frames << jpeg;
    }
    auto chunk = [](const char *id, const QByteArray &data) {
        QByteArray c = QByteArray(id, 4) + le(quint32(data.size()), 4) + data;
        return data.size() % 2 ? c + '\0' : c;
    };
    auto list = [](const char *type, const QByteArray &data) {
        return QByteArray("LIST") + le(quint32(data.size() + 4), 4) + QByteArray(type, 4) + data;
    };
    quint32 largest = 0;
    for (const QByteArray &f : frames)
        largest = std::max(largest, quint32(f.size()));
    const QByteArray avih = le(1000000 / fps, 4) + le(largest * fps, 4) + le(0, 4) + le(0x10, 4) + le(count, 4) + le(0, 4) +
                            le(1, 4) + le(largest, 4) + le(w, 4) + le(h, 4) + QByteArray(16, '\0');
    const QByteArray strh = QByteArray("vidsMJPG") + le(0, 4) + le(0, 4) + le(0, 4) + le(1, 4) + le(fps, 4) + le(0, 4) +
                            le(count, 4) + le(largest, 4) + le(0xFFFFFFFF, 4) + le(0, 4) + le(0, 4) + le(w, 2) + le(h, 2);
    const QByteArray strf = le(40, 4) + le(w, 4) + le(h, 4) + le(1, 2) + le(24, 2) + QByteArray("MJPG") + le(w * h * 3, 4) +
                            QByteArray(16, '\0');
    QByteArray movi, index;
    quint32 offset = 4;
    for (const QByteArray &f : frames) {
        const QByteArray c = chunk("00dc", f);
        index += QByteArray("00dc") + le(0x10, 4) + le(offset, 4) + le(quint32(f.size()), 4);
        offset += quint32(c.size());
        movi += c;
    }
    const QByteArray body = QByteArray("AVI ") + list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf))) +
                            list("movi", movi) + chunk("idx1", index);
    return writeMedia(QStringLiteral("movies"), name + QStringLiteral(".avi"), QByteArray("RIFF") + le(quint32(body.size()), 4) + body);
}

// A zlib-compressed Flash movie of 48 empty frames on a 550 x 400 stage at 24 frames a second:
// the preview shows its header.
QString saveFlashMovie(const QString &name)
{
    // Stage rectangle: 15-bit fields 0, 11000, 0, 8000 twips.
    QByteArray body = QByteArray::fromHex("7800055f00000fa000");
    body += le(24 << 8, 2) + le(48, 2);
    body += le(9 << 6 | 3, 2) + QByteArray::fromHex("3c8c3c"); // background colour
    for (int i = 0; i < 48; ++i)
        body += le(1 << 6, 2); // show frame
    body += le(0, 2);          // end
    const QByteArray head = QByteArray("CWS") + char(8) + le(quint32(8 + body.size()), 4);
    return writeMedia(QStringLiteral("movies"), name + QStringLiteral(".swf"), head + qCompress(body, 9).mid(4));
}

void addImage(ProjectModel &m, TreeNode *folder, const QString &name, const QImage &img)
{
    m.mediaadd(Images, name, img.hasAlphaChannel() ? savePng(name, img) : saveJpeg(name, img));
    folder->addChild(name, nodeimage::Image);
}

} // namespace

int main(int argc, char **argv)
{
    prepareHeadlessEnvironment();
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: mossbramble-make-demo OUTDIR\n");
        return 2;
    }
    g_out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    for (const char *sub : {"gfx", "sfx", "music", "movies"})
        QDir().mkpath(QDir(g_out).filePath(QLatin1String(sub)));

    MessageCatalog cat;
    auto model = std::make_unique<ProjectModel>();
    ProjectModel &m = *model;
    m.allesneu(cat);
    GameSettings &s = m.settings;
    s.startScript = QStringLiteral("intro");
    s.bedienfeld = false;
    s.gameFonts.fill(QStringLiteral("Liberation Sans"));

    RFont &font = m.fonts[1];
    font.name = QStringLiteral("Liberation Sans");
    font.size = 12;
    font.bold = true;
    font.outline = 1;
    font.shadow = 1;

    m.commands.rows = {{QStringLiteral("walk"), m.commands.walktext}, {QStringLiteral("look"), QStringLiteral("Look at")},
                       {QStringLiteral("take"), QStringLiteral("Pick up")}, {QStringLiteral("use"), QStringLiteral("Use")}};
    for (const CommandRow &r : m.commands.rows) {
        m.names[NameLists::Commands] << r.name;
        m.names[NameLists::Events] << r.name;
    }
    m.commands.bools = {{QStringLiteral("doorOpen"), false}, {QStringLiteral("hasKey"), false}};

    // Media.
    TreeNode *gfx = m.mediaTree.root(0);
    TreeNode *bgs = gfx->addChild(QStringLiteral("backgrounds"), nodeimage::Folder);
    TreeNode *hero = gfx->addChild(QStringLiteral("hero"), nodeimage::Folder);
    TreeNode *things = gfx->addChild(QStringLiteral("things"), nodeimage::Folder);
    addImage(m, bgs, QStringLiteral("garden"), background(QColor(90, 150, 230), QColor(60, 140, 60), QStringLiteral("The Garden")));
    addImage(m, bgs, QStringLiteral("cellar"), background(QColor(50, 40, 60), QColor(90, 80, 70), QStringLiteral("The Cellar")));
    static const char *const dirs[4] = {"front", "left", "right", "back"};
    for (int d = 0; d < 4; ++d) {
        addImage(m, hero, QStringLiteral("bob_stand_%1").arg(QLatin1String(dirs[d])), figure(d, 0, false));
        for (int step = 1; step <= 2; ++step)
            addImage(m, hero, QStringLiteral("bob_walk_%1_%2").arg(QLatin1String(dirs[d])).arg(step), figure(d, step, false));
        addImage(m, hero, QStringLiteral("bob_talk_%1").arg(QLatin1String(dirs[d])), figure(d, 0, true));
    }
    addImage(m, things, QStringLiteral("door_closed"), door(false));
    addImage(m, things, QStringLiteral("door_open"), door(true));
    addImage(m, things, QStringLiteral("key"), keyImage());
    addImage(m, bgs, QStringLiteral("meadow"), meadow());
    addImage(m, bgs, QStringLiteral("clouds"), clouds());
    addImage(m, things, QStringLiteral("tree"), tree());
    addImage(m, things, QStringLiteral("rock"), rock());
    addImage(m, things, QStringLiteral("glow"), glow());
    TreeNode *cursors = gfx->addChild(QStringLiteral("cursors"), nodeimage::Folder);
    for (int kind = 0; kind < 2; ++kind)
        for (int frame = 1; frame <= 2; ++frame)
            addImage(m, cursors, QStringLiteral("%1_%2").arg(kind ? QStringLiteral("wait") : QStringLiteral("arrow")).arg(frame),
                     cursorImage(kind, frame));
    TreeNode *sounds = m.mediaTree.root(2);
    // The notes are owned by the list itself: a nested initializer list would dangle once the
    // pair holding it has been built.
    const std::vector<std::pair<const char *, std::vector<double>>> effects{
        {"creak", {220, 180}}, {"ding", {880}}, {"steps", {110, 0, 110}}};
    for (const auto &[name, notes] : effects) {
        m.mediaadd(Sounds, QLatin1String(name), saveWav(QLatin1String(name), notes, 0.15));
        sounds->addChild(QLatin1String(name), nodeimage::Sound);
    }
    m.mediaadd(Music, QStringLiteral("theme"), saveWav(QStringLiteral("theme"), {262, 330, 392, 523, 392, 330}, 0.3));
    m.mediaTree.root(1)->addChild(QStringLiteral("theme"), nodeimage::Music);
    m.mediaadd(Music, QStringLiteral("ditty"), saveModule(QStringLiteral("ditty")));
    m.mediaTree.root(1)->addChild(QStringLiteral("ditty"), nodeimage::Music);
    m.mediaadd(Movies, QStringLiteral("walk"),
               saveVideo(QStringLiteral("walk"), background(QColor(90, 150, 230), QColor(60, 140, 60), QStringLiteral("The Garden")),
                         figure(2, 1, false), figure(2, 2, false)));
    m.mediaTree.root(3)->addChild(QStringLiteral("walk"), nodeimage::Movie);
    m.mediaadd(Movies, QStringLiteral("titles"), saveFlashMovie(QStringLiteral("titles")));
    m.mediaTree.root(3)->addChild(QStringLiteral("titles"), nodeimage::Movie);

    // Character: stand, walk and talk facing front, back and right (states 1-9), and own left
    // frames (extra states 17-19, that is states 33-35).
    Rcharacter &bob = m.characters[1];
    bob.name = QStringLiteral("bob");
    bob.textColor = 0x00FFFF;
    bob.walkSpeed = 3;
    bob.walkSound = QStringLiteral("steps");
    bob.leftani = true;
    for (int d = 0; d < 4; ++d) {
        const QString dir = QLatin1String(dirs[d]);
        // front, left, right, back -> their stand, walk and talk states (0-based)
        static const int standOf[4] = {0, 32, 2, 1}, walkOf[4] = {3, 33, 5, 4}, talkOf[4] = {6, 34, 8, 7};
        const int stand = standOf[d], walk = walkOf[d], talk = talkOf[d];
        bob.frames[stand][0].image = QStringLiteral("bob_stand_") + dir;
        bob.frames[walk][0].image = QStringLiteral("bob_walk_%1_1").arg(dir);
        bob.frames[walk][1].image = QStringLiteral("bob_walk_%1_2").arg(dir);
        bob.frames[talk][0].image = QStringLiteral("bob_talk_") + dir;
        bob.frames[talk][1].image = QStringLiteral("bob_stand_") + dir;
        for (int st : {stand, walk, talk}) {
            bob.width[st] = 48;
            bob.height[st] = 96;
            bob.footX[st] = 24;
            bob.footY[st] = 94;
            bob.speed[st] = 20;
        }
    }
    bob.frames[3][1].script = QStringLiteral("playsound(steps;60)");
    m.gameTree.root(0)->addChild(QStringLiteral("bob"), nodeimage::Character);

    // Objects with states.
    Robj &doorObj = m.objects[1];
    doorObj.name = QStringLiteral("door");
    doorObj.width = 80;
    doorObj.height = 140;
    doorObj.frames[0][0].image = QStringLiteral("door_closed");
    doorObj.frames[1][0].image = QStringLiteral("door_open");
    doorObj.frames[1][0].script = QStringLiteral("playsound(creak;80)");
    Robj &keyObj = m.objects[2];
    keyObj.name = QStringLiteral("keyonfloor");
    keyObj.width = 40;
    keyObj.height = 20;
    keyObj.frames[0][0].image = QStringLiteral("key");
    auto simpleObject = [&](int slot, const char *name, int w, int h, bool additive) {
        Robj &o = m.objects[slot];
        o.name = QLatin1String(name);
        o.width = uint16_t(w);
        o.height = uint16_t(h);
        o.flag = additive;
        o.frames[0][0].image = QLatin1String(name);
        m.gameTree.root(3)->addChild(o.name, nodeimage::Object);
    };
    simpleObject(3, "tree", 120, 200, false);
    simpleObject(4, "rock", 90, 50, false);
    simpleObject(5, "glow", 80, 80, true);
    m.gameTree.root(3)->addChild(QStringLiteral("door"), nodeimage::Object);
    m.gameTree.root(3)->addChild(QStringLiteral("keyonfloor"), nodeimage::Object);

    // Mouse cursors: the arrow (cursor 1, walk to) and the loading icon (cursor 10).
    for (int frame = 0; frame < 2; ++frame) {
        m.mouse.frames[0][size_t(frame)] = QStringLiteral("arrow_%1").arg(frame + 1);
        m.mouse.frames[9][size_t(frame)] = QStringLiteral("wait_%1").arg(frame + 1);
    }
    m.mouse.speed[0] = 25;
    m.mouse.speed[9] = 15;
    m.mouse.clickX[9] = m.mouse.clickY[9] = 16;

    // Item.
    RItem &key = m.items[1];
    key.name = QStringLiteral("key");
    key.frames[0][0].image = QStringLiteral("key");
    key.script = {QStringLiteral("on (look)"), QStringLiteral("{"), QStringLiteral("  speech (bob ; A small brass key.)"), QStringLiteral("}")};
    m.gameTree.root(2)->addChild(QStringLiteral("key"), nodeimage::Item);

    // Rooms.
    auto makeRoom = [&](int slot, const QString &name, const QString &bg) -> Rroom & {
        Rroom &r = m.rooms[slot];
        r.name = name;
        r.width = 640;
        r.height = 480;
        r.zoomTop = 12;
        r.zoomBottom = 22;
        r.background = bg;
        for (int k = 1; k <= 3; ++k)
            r.fx[k - 1].flag2 = true;
        for (int col = 1; col <= 32; ++col)
            for (int row = 15; row <= 23; ++row)
                r.walkmap.setBlocked(col, row, false);
        m.names[NameLists::RoomNames] << name;
        m.gameTree.root(4)->addChild(name, nodeimage::Room);
        return r;
    };
    Rroom &garden = makeRoom(1, QStringLiteral("garden"), QStringLiteral("garden"));
    garden.script = {QStringLiteral("on (enter)"), QStringLiteral("{"), QStringLiteral("  playmusic (theme)"),
                     QStringLiteral("  speech (bob ; What a lovely garden.)"), QStringLiteral("}")};
    Rroomobj &gardenDoor = garden.objects[0];
    gardenDoor.instanceName = QStringLiteral("cellardoor");
    gardenDoor.objectName = QStringLiteral("door");
    gardenDoor.x = 480;
    gardenDoor.y = 200;
    gardenDoor.state = 1;
    gardenDoor.script = {QStringLiteral("on (use)"),
                         QStringLiteral("{"),
                         QStringLiteral("  if_hasitem (bob ; key)"),
                         QStringLiteral("  {"),
                         QStringLiteral("    setobj (cellardoor ; 2)"),
                         QStringLiteral("    setbool (doorOpen ; true)"),
                         QStringLiteral("  }"),
                         QStringLiteral("}"),
                         QStringLiteral("on (click)"),
                         QStringLiteral("{"),
                         QStringLiteral("  if_bool (doorOpen ; true)"),
                         QStringLiteral("    loadroom (cellar)"),
                         QStringLiteral("}")};
    Rroomobj &floorKey = garden.objects[1];
    floorKey.instanceName = QStringLiteral("thekey");
    floorKey.objectName = QStringLiteral("keyonfloor");
    floorKey.x = 200;
    floorKey.y = 420;
    floorKey.state = 1;
    floorKey.script = {QStringLiteral("on (take)"), QStringLiteral("{"), QStringLiteral("  additem (bob ; key)"),
                       QStringLiteral("  setobj (thekey ; 0)"), QStringLiteral("  playsound (ding ; 70)"),
                       QStringLiteral("}")};
    m.names[NameLists::ObjectInstances] << QStringLiteral("cellardoor") << QStringLiteral("thekey");
    garden.walkmap.setHasScript(26, 16, true);
    garden.walkmap.script(26, 16) = {QStringLiteral("on (enter)"), QStringLiteral("{"),
                                     QStringLiteral("  showinfo (The way to the cellar ; 3)"), QStringLiteral("}")};
    Rroom &cellar = makeRoom(2, QStringLiteral("cellar"), QStringLiteral("cellar"));
    cellar.script = {QStringLiteral("on (enter)"), QStringLiteral("{"), QStringLiteral("  textscene (talkbob)"), QStringLiteral("}")};

    Rroomchar &bobIn = m.roomChars[1];
    bobIn.instanceName = QStringLiteral("bob");
    bobIn.characterName = QStringLiteral("bob");
    bobIn.roomName = QStringLiteral("garden");
    bobIn.x = 300;
    bobIn.y = 330;
    bobIn.byteValue = 1; // facing the viewer
    bobIn.flag1 = true;  // may move
    bobIn.script = {QStringLiteral("on (look)"), QStringLiteral("{"), QStringLiteral("  speech (bob ; That's me.)"), QStringLiteral("}")};
    m.names[NameLists::CharacterInstances] << QStringLiteral("bob");

    // The meadow shows every layer of the room editor: clouds behind a background two screens
    // wide, a rock at the back, a tree between the characters by its depth line, a glow in front,
    // bob twice (near, facing left with his own left frames, and far away, small by depth), a
    // walkmap with cell scripts, an inventory field and two FX shapes.
    Rroom &meadowRoom = makeRoom(3, QStringLiteral("meadow"), QStringLiteral("meadow"));
    meadowRoom.width = 1280;
    meadowRoom.parallax = QStringLiteral("clouds");
    meadowRoom.scrollX = 160;
    meadowRoom.zoomTop = 13;
    meadowRoom.zoomBottom = 22;
    meadowRoom.zoomStep = 5;
    for (int col = 1; col <= 64; ++col)
        for (int row = 13; row <= 24; ++row)
            meadowRoom.walkmap.setBlocked(col, row, false);
    for (int col = 20; col <= 24; ++col)
        meadowRoom.walkmap.setBlocked(col, 18, true); // the tree's trunk
    meadowRoom.walkmap.setHasScript(40, 20, true);
    meadowRoom.walkmap.script(40, 20) = {QStringLiteral("on (enter)"), QStringLiteral("{"),
                                         QStringLiteral("  showinfo (A quiet meadow ; 3)"), QStringLiteral("}")};
    meadowRoom.walkmap.setHasScript(12, 22, true);
    meadowRoom.walkmap.script(12, 22) = {QStringLiteral("on (enter)"), QStringLiteral("{"), QStringLiteral("}")};
    auto placeObject = [&](int slot, const char *inst, const char *obj, int x, int y, int layer, int depth) {
        Rroomobj &o = meadowRoom.objects[slot - 1];
        o.instanceName = QLatin1String(inst);
        o.objectName = QLatin1String(obj);
        o.x = x;
        o.y = y;
        o.byteValue = uint8_t(layer);
        o.depthLine = depth;
        o.state = 1;
        m.names[NameLists::ObjectInstances] << o.instanceName;
    };
    placeObject(1, "bigrock", "rock", 680, 380, 0, 1);
    placeObject(2, "oak", "tree", 400, 170, 1, 18);
    placeObject(3, "sunspot", "glow", 700, 250, 2, 1);
    auto placeBob = [&](int entry, const char *inst, int x, int y, int direction) {
        Rroomchar &c = m.roomChars[entry];
        c.instanceName = QLatin1String(inst);
        c.characterName = QStringLiteral("bob");
        c.roomName = meadowRoom.name;
        c.x = x;
        c.y = y;
        c.byteValue = uint8_t(direction);
        c.flag1 = true;
        m.names[NameLists::CharacterInstances] << c.instanceName;
    };
    placeBob(2, "bobnear", 600, 340, 4);
    placeBob(3, "bobfar", 580, 170, 2);
    placeBob(4, "bobright", 330, 280, 3);
    meadowRoom.flag2 = true; // an inventory field of 4 x 1 slots
    meadowRoom.values = {200, 20, 4, 1};
    meadowRoom.factors = {1.0, 1.0};
    meadowRoom.fx[0].flag1 = true; // a floor mirror under the path
    meadowRoom.fx[0].cornerX = {540, 660, 690, 510};
    meadowRoom.fx[0].cornerY = {420, 420, 470, 470};
    meadowRoom.fx[1].flag1 = true; // a wall mirror on the rock
    meadowRoom.fx[1].int1 = 1;
    meadowRoom.fx[1].int2 = 20;
    meadowRoom.fx[1].cornerX = {690, 760, 760, 690};
    meadowRoom.fx[1].cornerY = {386, 386, 426, 426};
    for (Rfxshape &shape : meadowRoom.fx)
        shape.calcziehpunkt();

    // Scripts.
    m.cutscenes[1].name = QStringLiteral("intro");
    m.cutscenes[1].script = {QStringLiteral("setfocus (bob)"), QStringLiteral("loadroom (garden)"),
                             QStringLiteral("speech (bob ; Hello! I am Bob. ; hello.wav)"),
                             QStringLiteral("offspeech (bob ; narrator ; Bob has lost his way.)"),
                             QStringLiteral("textout (1 ; Chapter One)")};
    m.cutscenes[2].name = QStringLiteral("talkbob");
    m.cutscenes[2].script = {QStringLiteral("level (1)"), QStringLiteral("{"),
                             QStringLiteral("  row (1 ; Who are you? ; true)"), QStringLiteral("  {"),
                             QStringLiteral("    speech (bob ; I am Bob, the gardener.)"), QStringLiteral("  }"),
                             QStringLiteral("  row (2 ; Goodbye. ; true)"), QStringLiteral("  {"),
                             QStringLiteral("    endscene ()"), QStringLiteral("  }"), QStringLiteral("}")};
    // A script that shows every colour of the script editor: a comment with a marked part,
    // keywords, signs, numbers, a bracketed term and a string.
    m.cutscenes[3].name = QStringLiteral("clock");
    m.cutscenes[3].script = {QStringLiteral("(* The garden clock strikes every hour."),
                             QStringLiteral("   & hours % counts the strokes *)"),
                             QStringLiteral("on (loop1)"), QStringLiteral("{"),
                             QStringLiteral("  if_num (hours ; 12)"), QStringLiteral("    setnum (hours ; 0)"),
                             QStringLiteral("  setnum (hours ; [hours+1])"),
                             QStringLiteral("  if_bool (doorOpen ; true)"),
                             QStringLiteral("    offspeech (320 ; 40 ; \"The clock strikes.\")"),
                             QStringLiteral("  wait (2)"), QStringLiteral("}")};
    for (int i = 1; i <= 3; ++i) {
        m.names[NameLists::ScriptNames] << m.cutscenes[i].name;
        m.gameTree.root(1)->addChild(m.cutscenes[i].name, nodeimage::Script);
    }
    for (QStringList *l : {&m.names[NameLists::ItemNames]})
        *l << QStringLiteral("key");
    m.gameTree.sort();
    m.mediaTree.sort();

    // A second language: every text in German.
    updateLanguageLists(m);
    RLang &de = m.languages[1];
    de.name = QStringLiteral("deutsch");
    m.names[NameLists::Languages] << de.name;
    de.lists = m.origin;
    removeNewMarks(m);
    static const std::pair<const char *, const char *> german[] = {
        {"A small brass key.", "Ein kleiner Messingschlüssel."},
        {"What a lovely garden.", "Was für ein schöner Garten."},
        {"That's me.", "Das bin ich."},
        {"Hello! I am Bob.", "Hallo! Ich bin Bob."},
        {"Bob has lost his way.", "Bob hat sich verlaufen."},
        {"I am Bob, the gardener.", "Ich bin Bob, der Gärtner."},
        {"The way to the cellar", "Der Weg zum Keller"},
        {"Chapter One", "Erstes Kapitel"},
        {"Who are you?", "Wer bist du?"},
        {"Goodbye.", "Auf Wiedersehen."},
        {"The clock strikes.", "Die Uhr schlägt."},
    };
    for (int list = 0; list < LangLists::Count; ++list)
        for (QString &entry : de.lists.list(list)) {
            entry.remove(QStringLiteral("*NEU*"));
            for (const auto &[en, deText] : german)
                if (entry == QString::fromUtf8(en))
                    entry = QString::fromUtf8(deText);
        }

    const ProjectFileResult r = saveProject(m, g_out, QStringLiteral("demo"));
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(r.message));
        return 1;
    }
    std::printf("%s\n", qPrintable(QDir(g_out).filePath(QStringLiteral("demo.adv"))));
    return 0;
}
