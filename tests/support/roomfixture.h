#pragma once
// A small room project for the room renderer's tests: tiny images in every format the room
// editor reads (drawn here, so the repository holds no binary media), objects in the three
// layers, characters facing each way, depth lines, a walkmap with cell scripts, an inventory
// field and FX shapes.

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <map>
#include <memory>

namespace mb::testing {

// Uncompressed 24-bit Targa, top-left origin.
inline bool writeTga(const QString &path, const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    QByteArray data(18, '\0');
    data[2] = 2; // uncompressed true colour
    qToLittleEndian<quint16>(quint16(img.width()), data.data() + 12);
    qToLittleEndian<quint16>(quint16(img.height()), data.data() + 14);
    data[16] = 24;
    data[17] = 0x20; // top-left origin
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            data.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
        }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A GIF of the image's colours (at most 255), with fully transparent pixels as the transparent
// index. The LZW stream starts a new table every 250 codes, so every code stays 9 bits wide.
inline bool writeGif(const QString &path, const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    std::map<QRgb, int> indexOf;
    QByteArray palette(256 * 3, '\0');
    const int transparent = 255;
    QList<int> pixels;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qAlpha(p) == 0) {
                pixels << transparent;
                continue;
            }
            auto it = indexOf.find(p | 0xFF000000u);
            if (it == indexOf.end()) {
                const int i = int(indexOf.size());
                if (i >= transparent)
                    return false;
                palette[i * 3] = char(qRed(p));
                palette[i * 3 + 1] = char(qGreen(p));
                palette[i * 3 + 2] = char(qBlue(p));
                it = indexOf.emplace(p | 0xFF000000u, i).first;
            }
            pixels << it->second;
        }
    QByteArray out("GIF89a");
    auto u16 = [&out](int v) { out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    u16(img.width());
    u16(img.height());
    out.append(char(0xF7)).append('\0').append('\0');
    out += palette;
    out.append(char(0x21)).append(char(0xF9)).append(char(4)).append(char(1)).append('\0').append('\0');
    out.append(char(transparent)).append('\0');
    out.append(char(0x2C));
    u16(0);
    u16(0);
    u16(img.width());
    u16(img.height());
    out.append('\0');
    out.append(char(8));
    QByteArray lzw;
    quint32 bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 9;
        while (count >= 8) {
            lzw.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < pixels.size(); ++i) {
        if (i % 250 == 0)
            code(256);
        code(pixels[i]);
    }
    code(257);
    if (count > 0)
        lzw.append(char(bits & 0xFF));
    for (int i = 0; i < lzw.size(); i += 255) {
        const QByteArray block = lzw.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append('\0').append(char(0x3B));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

// A solid block of colour with a darker one-pixel border, drawn without smoothing.
inline QImage block(int w, int h, QColor colour, bool alpha = true)
{
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    p.setPen(colour.darker(200));
    p.drawRect(0, 0, w - 1, h - 1);
    return img;
}

// A figure of w x h: head and body on transparent ground, red on its left half and blue on
// its right, so that mirroring shows.
inline QImage figure(int w, int h, QColor left = Qt::red, QColor right = Qt::blue)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(w / 4, 0, w / 2, h / 4), Qt::white);
    p.fillRect(QRect(0, h / 4, w / 2, h * 3 / 4), left);
    p.fillRect(QRect(w / 2, h / 4, w - w / 2, h * 3 / 4), right);
    return img;
}

struct RoomFixture
{
    std::unique_ptr<ProjectModel> model = std::make_unique<ProjectModel>();
    QString folder;
    std::map<QString, QString> files; // image name -> path
    int hall = 1, empty = 2;

    void addImage(const QString &name, const QString &file)
    {
        const QString path = QDir(folder).filePath(file);
        model->mediaadd(Images, name, path);
        files[name] = path;
    }
};

// The project in `folder` (which must exist). gameWidth 320 or 640 (with heights 240, 480).
inline RoomFixture roomFixture(const QString &folder, int gameWidth = 320)
{
    RoomFixture fx;
    fx.folder = folder;
    ProjectModel &m = *fx.model;
    m.allesneu(MessageCatalog());
    m.settings.setResolutionChoice(gameWidth == 320 ? 2 : 0);
    const int k = gameWidth / 320; // everything scales with the game

    // Parallax sky (BMP) behind a background (PNG) whose top third is transparent.
    QImage sky(400 * k, 120 * k, QImage::Format_RGB32);
    {
        QPainter p(&sky);
        for (int i = 0; i < 10; ++i)
            p.fillRect(QRect(i * 40 * k, 0, 40 * k, 120 * k), i % 2 ? QColor(40, 60, 160) : QColor(70, 110, 220));
    }
    sky.save(QDir(folder).filePath("sky.bmp"), "BMP");
    fx.addImage("sky", "sky.bmp");
    QImage hall(640 * k, 240 * k, QImage::Format_ARGB32);
    hall.fill(Qt::transparent);
    {
        QPainter p(&hall);
        p.fillRect(QRect(0, 80 * k, 640 * k, 160 * k), QColor(120, 90, 60));
        for (int x = 0; x < 640 * k; x += 80 * k)
            p.fillRect(QRect(x, 80 * k, 4 * k, 160 * k), QColor(80, 60, 40));
    }
    hall.save(QDir(folder).filePath("hall.png"), "PNG");
    fx.addImage("hall", "hall.png");

    block(20 * k, 20 * k, QColor(200, 160, 40)).save(QDir(folder).filePath("crate.png"), "PNG");
    fx.addImage("crate", "crate.png");
    block(16 * k, 16 * k, QColor(90, 90, 40), false).save(QDir(folder).filePath("glow.jpg"), "JPEG", 95);
    fx.addImage("glow", "glow.jpg");
    // A pillar on the Targa colour key (magenta): only the column shows.
    QImage pillar(16 * k, 60 * k, QImage::Format_RGB32);
    pillar.fill(QColor(255, 0, 255));
    {
        QPainter p(&pillar);
        p.fillRect(QRect(4 * k, 0, 8 * k, 60 * k), QColor(160, 160, 170));
    }
    writeTga(QDir(folder).filePath("pillar.tga"), pillar);
    fx.addImage("pillar", "pillar.tga");
    QImage sign(30 * k, 12 * k, QImage::Format_ARGB32);
    sign.fill(Qt::transparent);
    {
        QPainter p(&sign);
        p.fillRect(QRect(0, 0, 30 * k, 8 * k), QColor(20, 140, 60));
        p.fillRect(QRect(13 * k, 8 * k, 4 * k, 4 * k), QColor(90, 60, 30));
    }
    writeGif(QDir(folder).filePath("sign.gif"), sign);
    fx.addImage("sign", "sign.gif");
    block(6 * k, 6 * k, QColor(250, 250, 120)).save(QDir(folder).filePath("knob.png"), "PNG");
    fx.addImage("knob", "knob.png");

    figure(16 * k, 32 * k).save(QDir(folder).filePath("ann.png"), "PNG");
    fx.addImage("ann", "ann.png");
    figure(16 * k, 32 * k, Qt::green, Qt::yellow).save(QDir(folder).filePath("ann_left.png"), "PNG");
    fx.addImage("ann_left", "ann_left.png");

    // Objects.
    auto object = [&](int slot, const char *name, int w, int h, const char *image, bool additive = false) -> Robj & {
        Robj &o = m.objects[slot];
        o.name = QLatin1String(name);
        o.width = uint16_t(w * k);
        o.height = uint16_t(h * k);
        o.flag = additive;
        o.frames[0][0].image = QLatin1String(image);
        return o;
    };
    object(1, "crate", 20, 20, "crate");
    object(2, "glow", 16, 16, "glow", true);
    object(3, "pillar", 16, 60, "pillar");
    Robj &signObj = object(4, "sign", 30, 12, "sign");
    signObj.frames[0][0].image2 = QStringLiteral("knob");
    signObj.frames[0][0].x2 = 24 * k;
    signObj.frames[0][0].y2 = -3 * k;
    object(5, "tiny", 4, 4, "knob");

    // Characters: ann has no own left frames, bea has.
    auto character = [&](int slot, const char *name, bool leftani) {
        Rcharacter &c = m.characters[slot];
        c.name = QLatin1String(name);
        c.leftani = leftani;
        for (int s : {0, 1, 2, 3, 32}) {
            c.width[s] = uint16_t(16 * k);
            c.height[s] = uint16_t(32 * k);
            c.footX[s] = 8 * k;
            c.footY[s] = 31 * k;
            c.frames[s][0].image = s == 32 ? QStringLiteral("ann_left") : QStringLiteral("ann");
        }
    };
    character(1, "ann", false);
    character(2, "bea", true);

    Rroom &r = m.rooms[fx.hall];
    r.name = QStringLiteral("hall");
    r.width = 640 * k;
    r.height = 240 * k;
    r.zoomTop = 9;
    r.zoomBottom = 20;
    r.zoomStep = 3;
    r.background = QStringLiteral("hall");
    r.parallax = QStringLiteral("sky");
    auto place = [&](int slot, const char *inst, const char *obj, int x, int y, int layer, int depth = 1) {
        Rroomobj &o = r.objects[slot - 1];
        o.instanceName = QLatin1String(inst);
        o.objectName = QLatin1String(obj);
        o.x = x * k;
        o.y = y * k;
        o.byteValue = uint8_t(layer);
        o.depthLine = depth;
        o.state = 1;
    };
    place(1, "crate1", "crate", 40, 170, 0);
    place(2, "lamp", "glow", 46, 176, 2);
    place(3, "pillar1", "pillar", 150, 120, 1, 18);
    place(4, "sign1", "sign", 200, 100, 2);
    place(5, "dot", "tiny", 260, 150, 0);
    place(6, "crate2", "crate", 400, 190, 1, 21);
    auto stand = [&](int entry, const char *inst, const char *ch, int x, int y, int direction) {
        Rroomchar &c = m.roomChars[entry];
        c.instanceName = QLatin1String(inst);
        c.characterName = QLatin1String(ch);
        c.roomName = r.name;
        c.x = x * k;
        c.y = y * k;
        c.byteValue = uint8_t(direction);
        c.flag1 = true;
    };
    stand(1, "ann1", "ann", 100, 170, 1);  // foot at row 20: own size
    stand(2, "ann2", "ann", 150, 130, 4);  // between the lines, mirrored
    stand(3, "ann3", "ann", 220, 40, 3);   // above line 1: smallest
    stand(4, "bea1", "bea", 300, 160, 4);  // own left frames
    stand(5, "bea2", "bea", 420, 140, 2);

    // Walkmap: a free floor with two cell scripts, one of them empty.
    for (int col = 1; col <= 64; ++col)
        for (int row = 17; row <= 24; ++row)
            r.walkmap.setBlocked(col, row, false);
    r.walkmap.setHasScript(5, 20, true);
    r.walkmap.script(5, 20) = {QStringLiteral("on (enter)"), QStringLiteral("{"), QStringLiteral("}")};
    r.walkmap.setHasScript(8, 21, true);
    r.walkmap.script(8, 21);

    // Inventory field: three slots, a little flatter than square.
    r.flag2 = true;
    r.values = {20 * k, 150 * k, 3, 1};
    r.factors = {1.0, 0.8};

    // FX shapes: a floor mirror and a wall mirror.
    for (int s = 0; s < 3; ++s)
        r.fx[s] = Rfxshape();
    Rfxshape &floor = r.fx[0];
    floor.flag1 = true;
    floor.int1 = 0;
    floor.cornerX = {30 * k, 130 * k, 140 * k, 20 * k};
    floor.cornerY = {190 * k, 190 * k, 230 * k, 230 * k};
    Rfxshape &wall = r.fx[1];
    wall.flag1 = true;
    wall.int1 = 1;
    wall.int2 = 15;
    wall.cornerX = {170 * k, 260 * k, 260 * k, 170 * k};
    wall.cornerY = {60 * k, 60 * k, 110 * k, 110 * k};

    // A room with nothing to show.
    Rroom &e = m.rooms[fx.empty];
    e.name = QStringLiteral("empty");
    e.width = 320 * k;
    e.height = 240 * k;
    for (Rroom *room : {&r, &e})
        m.names[NameLists::RoomNames] << room->name;
    return fx;
}

} // namespace mb::testing
