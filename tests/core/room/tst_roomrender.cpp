// The room renderer and its image cache: golden pictures of the fixture room in every edit
// mode, image decoding, missing files, and the drawing rules a picture shows best.
//
// Golden cases are discovered from data/golden: each NAME.view describes a view of the fixture
// (keys below) and NAME.png is the expected frame. Run with MOSSBRAMBLE_UPDATE_GOLDEN=1 to write
// the frames of all cases into that folder after a deliberate change of the drawing.
//
//   room=hall|empty  game=320|640  mode=normal|walkmap|depth|inventory|fx  scroll=X,Y
//   selection=objN|chrN  hover=objN|chrN  pulse=N  mouse=X,Y (the mouse is over the room)
//   pen=1|2|3|scriptpen|scripteraser  marked=C,R  band=X,Y,W,H  noinventory=1  infoline=0|1
#include "platform/canvas.h"
#include "project/messagecatalog.h"
#include "room/roomimagecache.h"
#include "room/roomrenderer.h"
#include "room/roomview.h"
#include "support/roomfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

namespace {

QPoint point(const QString &text)
{
    const QStringList p = text.split(',');
    return {p.value(0).toInt(), p.value(1).toInt()};
}

RoomItem item(const QString &text)
{
    const int n = text.mid(3).toInt();
    if (text.startsWith("obj"))
        return RoomItem::object(n);
    if (text.startsWith("chr"))
        return RoomItem::character(n);
    return {};
}

struct Frame
{
    QImage image;
    std::vector<ImageProblem> problems;
};

Frame render(const ProjectModel &model, int room, const RoomView &view, RoomImageCache &cache)
{
    QImage image(model.settings.gameWidth, model.settings.gameHeight, QImage::Format_RGB32);
    Canvas canvas(&image);
    renderRoom(canvas, model, room, view, cache, MessageCatalog());
    return {image, cache.takeProblems()};
}

// Pixels whose channels differ by more than 48; text edges may differ a little between font
// engines, shapes and images must not.
int differingPixels(const QImage &a, const QImage &b, QPoint *first = nullptr)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 48 || qAbs(qGreen(p) - qGreen(q)) > 48 || qAbs(qBlue(p) - qBlue(q)) > 48) {
                if (n++ == 0 && first)
                    *first = QPoint(x, y);
            }
        }
    return n;
}

// The first x in the row whose pixel has the colour, or -1.
int findColour(const QImage &img, int y, const QColor &colour, int from = 0)
{
    for (int x = from; x < img.width(); ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF))
            return x;
    return -1;
}

} // namespace

class TestRoomRender : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(Canvas::textAvailable()); }

    void golden_data()
    {
        QTest::addColumn<QString>("viewFile");
        const QString folder = QFINDTESTDATA("data/golden");
        QVERIFY(!folder.isEmpty());
        const QStringList views = QDir(folder).entryList({"*.view"}, QDir::Files, QDir::Name);
        QVERIFY(views.size() >= 5);
        for (const QString &v : views)
            QTest::newRow(qPrintable(v.chopped(5))) << QDir(folder).filePath(v);
    }
    void golden()
    {
        QFETCH(QString, viewFile);
        QFile f(viewFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QMap<QString, QString> keys;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (const int eq = line.indexOf('='); eq > 0)
                keys[QString::fromUtf8(line.left(eq)).trimmed()] = QString::fromUtf8(line.mid(eq + 1)).trimmed();

        QTemporaryDir dir;
        const auto fx = testing::roomFixture(dir.path(), keys.value("game", "320").toInt());
        ProjectModel &m = *fx.model;
        m.settings.infoLine = keys.value("infoline", "1") == "1";
        const int room = keys.value("room", "hall") == "empty" ? fx.empty : fx.hall;
        if (keys.contains("noinventory"))
            m.rooms[room].flag2 = false;
        RoomView view;
        static const QMap<QString, RoomEditMode> modes = {{"normal", RoomEditMode::None}, {"walkmap", RoomEditMode::Walkmap},
                                                          {"depth", RoomEditMode::Depth}, {"inventory", RoomEditMode::Inventory},
                                                          {"fx", RoomEditMode::Fx}};
        QVERIFY2(modes.contains(keys.value("mode", "normal")), "unknown mode");
        view.mode = modes.value(keys.value("mode", "normal"));
        view.scroll = point(keys.value("scroll", "0,0"));
        view.selection = item(keys.value("selection"));
        view.hover = item(keys.value("hover"));
        view.pulse = keys.value("pulse", "250").toInt();
        if (keys.contains("mouse")) {
            view.mouse = point(keys.value("mouse"));
            view.mouseOver = true;
        }
        static const QMap<QString, WalkmapPen> pens = {{"1", WalkmapPen::Size1}, {"2", WalkmapPen::Size2}, {"3", WalkmapPen::Size3},
                                                       {"scriptpen", WalkmapPen::ScriptPen}, {"scripteraser", WalkmapPen::ScriptEraser}};
        view.pen = pens.value(keys.value("pen", "1"));
        if (keys.contains("marked"))
            view.markedCell = point(keys.value("marked"));
        if (keys.contains("band")) {
            const QStringList b = keys.value("band").split(',');
            view.fieldBand = QRect(b.value(0).toInt(), b.value(1).toInt(), b.value(2).toInt(), b.value(3).toInt());
        }

        RoomImageCache cache;
        const Frame frame = render(m, room, view, cache);
        QVERIFY(frame.problems.empty());
        const QString expectedPath = viewFile.chopped(5) + ".png";
        if (qEnvironmentVariableIntValue("MOSSBRAMBLE_UPDATE_GOLDEN")) {
            QVERIFY(frame.image.save(expectedPath, "PNG"));
            QSKIP("golden picture written");
        }
        const QImage expected(expectedPath);
        QVERIFY2(!expected.isNull(), qPrintable(expectedPath + " is missing; write it with MOSSBRAMBLE_UPDATE_GOLDEN=1"));
        QCOMPARE(frame.image.size(), expected.size());
        QPoint first;
        const int differing = differingPixels(frame.image, expected, &first);
        // A few pixels of text edges, never a shape.
        if (differing > frame.image.width() * frame.image.height() / 500) {
            const QString actual = QDir(QDir::tempPath()).filePath(QFileInfo(expectedPath).completeBaseName() + "-actual.png");
            frame.image.save(actual);
            QFAIL(qPrintable(QString("%1 pixels differ, the first at (%2, %3); the frame is in %4")
                                 .arg(differing).arg(first.x()).arg(first.y()).arg(actual)));
        }
    }

    // Each format as the room shows it: where it is transparent, and that opaque ones replace.
    void decoding_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("hasAlpha");
        QTest::addColumn<QPoint>("clearPixel"); // (-1, -1): none
        QTest::addColumn<QPoint>("solidPixel");
        QTest::newRow("bmp") << "sky.bmp" << false << QPoint(-1, -1) << QPoint(0, 0);
        QTest::newRow("jpeg") << "glow.jpg" << false << QPoint(-1, -1) << QPoint(8, 8);
        QTest::newRow("png with alpha") << "ann.png" << true << QPoint(0, 0) << QPoint(2, 20);
        QTest::newRow("tga with colour key") << "pillar.tga" << true << QPoint(1, 1) << QPoint(6, 1);
        QTest::newRow("gif transparent") << "sign.gif" << true << QPoint(0, 11) << QPoint(0, 0);
        QTest::newRow("png without alpha") << "opaque.png" << false << QPoint(-1, -1) << QPoint(3, 3);
        QTest::newRow("png all opaque alpha") << "crate.png" << false << QPoint(-1, -1) << QPoint(3, 3);
    }
    void decoding()
    {
        QFETCH(QString, file);
        QFETCH(QPoint, clearPixel);
        QFETCH(QPoint, solidPixel);
        const auto fx = testing::roomFixture(m_dir.path());
        testing::block(8, 8, Qt::darkCyan, false).save(m_dir.filePath("opaque.png"), "PNG");
        QString error;
        const RoomImage img = RoomImageCache::decode(m_dir.filePath(file), fx.model->settings.targacolor, &error);
        QVERIFY2(!img.image.isNull(), qPrintable(error));
        QTEST(img.hasAlpha, "hasAlpha");
        QCOMPARE(img.image.format(), img.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (clearPixel.x() >= 0)
            QCOMPARE(qAlpha(img.image.pixel(clearPixel)), 0);
        QCOMPARE(qAlpha(img.image.pixel(solidPixel)), 255);
    }

    void undecodableAndOversizedImages()
    {
        QFile bad(m_dir.filePath("bad.png"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture at all");
        bad.close();
        QString error;
        QVERIFY(RoomImageCache::decode(bad.fileName(), 0, &error).image.isNull());
        QVERIFY(!error.isEmpty());
        // Beyond three screens by two of the biggest game the image is cut off.
        QImage big(3100, 1600, QImage::Format_RGB32);
        big.fill(Qt::gray);
        QVERIFY(big.save(m_dir.filePath("big.bmp")));
        QCOMPARE(RoomImageCache::decode(m_dir.filePath("big.bmp"), 0, &error).image.size(), QSize(3072, 1536));
    }

    void missingFileReportedOnceAndRoomDrawnWithout()
    {
        QTemporaryDir dir;
        const auto fx = testing::roomFixture(dir.path());
        QVERIFY(QFile::remove(fx.files.at("hall")));
        RoomImageCache cache;
        RoomView view;
        Frame frame = render(*fx.model, fx.hall, view, cache);
        QCOMPARE(frame.problems.size(), size_t(1));
        QCOMPARE(frame.problems[0].text(MessageCatalog()), fx.files.at("hall") + " is not existent.");
        QCOMPARE(frame.problems[0].text(MessageCatalog("DE")), fx.files.at("hall") + " existiert nicht.");
        // The sky shows where the floor was; the room still names its background.
        QCOMPARE(frame.image.pixel(100, 100) & 0xFFFFFF, QColor(70, 110, 220).rgb() & 0xFFFFFF);
        QCOMPARE(fx.model->rooms[fx.hall].background, QStringLiteral("hall"));
        // Not again on the next frames ...
        QVERIFY(render(*fx.model, fx.hall, view, cache).problems.empty());
        // ... until the room is opened again.
        cache.retryFailed();
        QCOMPARE(render(*fx.model, fx.hall, view, cache).problems.size(), size_t(1));
        // A name that is not an image of the project is skipped silently.
        fx.model->rooms[fx.hall].parallax = "nosuchimage";
        cache.retryFailed();
        cache.takeProblems();
        QCOMPARE(render(*fx.model, fx.hall, view, cache).problems.size(), size_t(1)); // only "hall"
    }

    void reopeningReadsNoFileAgain()
    {
        QTemporaryDir dir;
        const auto fx = testing::roomFixture(dir.path());
        RoomImageCache cache;
        cache.preloadRoom(*fx.model, fx.hall);
        const QImage first = render(*fx.model, fx.hall, RoomView(), cache).image;
        const int read = cache.filesRead();
        QCOMPARE(read, int(fx.files.size())); // every image of the room once
        for (const auto &[name, path] : fx.files)
            QVERIFY(QFile::remove(path));
        cache.retryFailed();
        cache.preloadRoom(*fx.model, fx.hall);
        const Frame again = render(*fx.model, fx.hall, RoomView(), cache);
        QCOMPARE(cache.filesRead(), read);
        QVERIFY(again.problems.empty());
        QCOMPARE(again.image, first);
    }

    void emptyRoomShowsOnlyTheHint()
    {
        QTemporaryDir dir;
        auto fx = testing::roomFixture(dir.path());
        RoomImageCache cache;
        // A character alone does not count as something to show.
        Rroomchar &c = fx.model->roomChars[10];
        c = fx.model->roomChars[1];
        c.instanceName = "lonely";
        c.roomName = "empty";
        const QImage img = render(*fx.model, fx.empty, RoomView(), cache).image;
        // The hint's text at the top left, the character, and nothing else.
        int lit = 0;
        for (int y = 40; y < 52; ++y)
            for (int x = 0; x < 200; ++x)
                lit += qGray(img.pixel(x, y)) > 100;
        QVERIFY2(lit > 50, qPrintable(QString::number(lit)));
        QVERIFY(findColour(img, 190, Qt::red) >= 0);
        QCOMPARE(img.pixel(300, 100) & 0xFFFFFF, 0u);
    }

    // Layers and rows decide what covers what: two Middle objects on one row in slot order,
    // a character standing on that row after them, Front over all.
    void depthOrderOnScreen()
    {
        QTemporaryDir dir;
        auto fx = testing::roomFixture(dir.path());
        ProjectModel &m = *fx.model;
        Rroom &r = m.rooms[fx.hall];
        r.background.clear();
        r.parallax.clear();
        // The crate (slot 1) and the pillar (slot 3) on row 20 where ann1 stands, overlapping.
        r.objects[0].byteValue = 1;
        r.objects[0].depthLine = 20;
        r.objects[0].x = 100;
        r.objects[0].y = 180;
        r.objects[2].depthLine = 20;
        r.objects[2].x = 108;
        r.objects[2].y = 150;
        RoomImageCache cache;
        RoomView view;
        view.mode = RoomEditMode::Fx; // no corner marks

        r.fx[0].flag1 = r.fx[1].flag1 = false;
        const QImage img = render(m, fx.hall, view, cache).image;
        // ann1's blue right half covers the pillar and the crate at (113, 185) ...
        QCOMPARE(img.pixel(113, 185) & 0xFFFFFF, QColor(Qt::blue).rgb() & 0xFFFFFF);
        // ... the pillar (slot 3) covers the crate (slot 1) where ann1 is not.
        QCOMPARE(img.pixel(118, 195) & 0xFFFFFF, QColor(160, 160, 170).rgb() & 0xFFFFFF);
        QCOMPARE(img.pixel(104, 195) & 0xFFFFFF, QColor(Qt::red).rgb() & 0xFFFFFF);
    }

    void charactersZoomAndMirror()
    {
        QTemporaryDir dir;
        auto fx = testing::roomFixture(dir.path());
        ProjectModel &m = *fx.model;
        Rroom &r = m.rooms[fx.hall];
        r.background.clear();
        r.parallax.clear();
        for (Rroomobj &o : r.objects)
            o.instanceName.clear();
        r.objects[0].instanceName = "keep"; // something to show
        r.objects[0].state = 0;
        RoomImageCache cache;
        RoomView view;
        view.mode = RoomEditMode::Fx;
        r.fx[0].flag1 = r.fx[1].flag1 = false;

        // ann2 faces left without own left frames: the right-facing figure flipped (blue left),
        // zoomed to 0.883 about its foot.
        QImage img = render(m, fx.hall, view, cache).image;
        const int y = 150;
        const int blue = findColour(img, y, Qt::blue, 140), red = findColour(img, y, Qt::red, 140);
        QVERIFY(blue >= 0 && red > blue);
        QVERIFY(findColour(img, y, Qt::red, 140) < 170);
        // bea1 has her own left frames: green and yellow, not flipped.
        const int green = findColour(img, 185, Qt::green, 295), yellow = findColour(img, 185, Qt::yellow, 295);
        QVERIFY(green >= 0 && yellow > green);

        // Scale 4 % draws at 0.05: a 16 x 32 figure becomes 1 x 2 pixels at its foot.
        m.characters[1].scale = 4;
        m.characters[1].dontzoom = true;
        img = render(m, fx.hall, view, cache).image;
        QRect drawn;
        for (int yy = 160; yy < 210; ++yy)
            for (int xx = 90; xx < 130; ++xx)
                if (img.pixel(xx, yy) & 0xFFFFFF)
                    drawn |= QRect(xx, yy, 1, 1);
        // At the foot point (108, 201), scaled about it.
        QCOMPARE(drawn, QRect(108, 199, 1, 2));
    }
};

QTEST_MAIN(TestRoomRender)
#include "tst_roomrender.moc"
