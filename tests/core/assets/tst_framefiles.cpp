// Filling a state from image files and cutting sprite sheets into frame files, in a temporary
// folder.
#include "assets/framefiles.h"
#include "project/poolops.h"
#include "support/filebytes.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using namespace mb::framefiles;

class TestFrameFiles : public QObject
{
    Q_OBJECT
private slots:
    void fileNameOrder_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("numbers by value")
            << QStringList{"walk10.png", "walk2.png", "walk1.png"} << QStringList{"walk1.png", "walk2.png", "walk10.png"};
        QTest::newRow("letter case ignored")
            << QStringList{"b.png", "A.png", "a2.png"} << QStringList{"A.png", "a2.png", "b.png"};
        QTest::newRow("folders ignored")
            << QStringList{"/z/frame_02.png", "/a/frame_10.png", "/m/frame_1.png"}
            << QStringList{"/m/frame_1.png", "/z/frame_02.png", "/a/frame_10.png"};
        QTest::newRow("windows paths")
            << QStringList{"C:\\art\\run3.bmp", "D:\\run1.bmp"} << QStringList{"D:\\run1.bmp", "C:\\art\\run3.bmp"};
        QTest::newRow("long digit runs")
            << QStringList{"f100000000000000000002.png", "f99.png"}
            << QStringList{"f99.png", "f100000000000000000002.png"};
        QTest::newRow("prefix first") << QStringList{"walk_a.png", "walk.png"} << QStringList{"walk.png", "walk_a.png"};
    }
    void fileNameOrder()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, ordered);
        QCOMPARE(inFileNameOrder(paths), ordered);
    }

    void imagesOfAFolder()
    {
        QTemporaryDir dir;
        for (const char *name : {"walk10.png", "walk2.PNG", "notes.txt", "walk1.tga", "sound.wav"})
            testing::writeBytes(dir.filePath(name), "x");
        QDir(dir.path()).mkdir("sub.png");
        QCOMPARE(imageFilesInFolder(dir.path()),
                 QStringList({dir.filePath("walk1.tga"), dir.filePath("walk2.PNG"), dir.filePath("walk10.png")}));
    }

    void fillFreeFramesInOrder()
    {
        Robj obj;
        obj.width = 100;
        obj.height = 100;
        FrameAccess a(obj);
        a.setFrame(2, 2, {"taken"});
        FrameSlot scriptOnly;
        scriptOnly.script = "playsound (steps)";
        a.setFrame(2, 3, scriptOnly);
        const QList<int> filled = fillFreeFrames(a, 2, {"w1", "w2", "w3"});
        // A frame with only a script line is free and keeps its line.
        QCOMPARE(filled, (QList<int>{1, 3, 4}));
        QCOMPARE(a.frame(2, 1), (FrameSlot{"w1"}));
        QCOMPARE(a.frame(2, 2), (FrameSlot{"taken"}));
        QCOMPARE(a.frame(2, 3), (FrameSlot{"w2", {}, "playsound (steps)"}));
        QCOMPARE(a.frame(2, 4), (FrameSlot{"w3"}));

        // More images than free frames: the rest is left out.
        QStringList many;
        for (int i = 0; i < 40; ++i)
            many << QString("m%1").arg(i);
        QCOMPARE(fillFreeFrames(a, 2, many).size(), 26);
        QCOMPARE(a.frame(2, 30).image, QString("m25"));
        QVERIFY(fillFreeFrames(a, 2, {"none"}).isEmpty());
    }

    void fillFitsAnEmptyCharacter()
    {
        Rcharacter chr;
        FrameAccess a(chr);
        framestrip::ImageDrop fit;
        fit.fitImages = true;
        fit.imageSize = QSize(48, 96);
        QCOMPARE(fillFreeFrames(a, 4, {"walk1", "walk2"}, fit).size(), 2);
        QCOMPARE(a.box(4), QSize(48, 96));
        QCOMPARE(a.frame(4, 2), (FrameSlot{"walk2"}));
    }

    void cutSheets()
    {
        // A 3 x 2 sheet of 8 x 6 cells (plus a 2-pixel rest at the right), the last two cells
        // left transparent.
        QImage sheet(26, 12, QImage::Format_ARGB32);
        sheet.fill(Qt::transparent);
        const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::yellow};
        QPainter p(&sheet);
        for (int i = 0; i < colours.size(); ++i)
            p.fillRect((i % 3) * 8, (i / 3) * 6, 8, 6, colours[i]);
        p.fillRect(24, 0, 2, 12, Qt::black);
        p.end();

        const QList<QImage> cells = cutSheet(sheet, 3, 2);
        QCOMPARE(cells.size(), 4);
        for (int i = 0; i < cells.size(); ++i) {
            QCOMPARE(cells[i].size(), QSize(8, 6));
            QCOMPARE(cells[i].pixelColor(0, 0), colours[i]);
            QCOMPARE(cells[i].pixelColor(7, 5), colours[i]);
        }
        QCOMPARE(cutSheet(sheet, 1, 1).size(), 1);
        QVERIFY(cutSheet(sheet, 27, 1).isEmpty());
        QVERIFY(cutSheet(sheet, 0, 2).isEmpty());
        // A wholly transparent sheet still gives its first cell.
        QImage clear(4, 4, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QCOMPARE(cutSheet(clear, 2, 2).size(), 1);
    }

    void writeSheetFiles()
    {
        QTemporaryDir dir;
        QImage sheet(20, 10, QImage::Format_RGB32); // opaque: the frames still get alpha
        sheet.fill(Qt::darkCyan);
        const QString sheetPath = dir.filePath("Hero Run.bmp");
        QVERIFY(sheet.save(sheetPath, "BMP"));
        const QString out = dir.filePath("frames");
        QDir().mkpath(out);

        const SheetFiles written = writeSheetFrames(sheetPath, 2, 1, out);
        QVERIFY(written.ok());
        QCOMPARE(written.paths, QStringList({out + "/Hero Run_01.png", out + "/Hero Run_02.png"}));
        for (const QString &path : written.paths) {
            QVERIFY(PoolOps::isPngWithAlpha(path));
            QCOMPARE(QImage(path).size(), QSize(10, 10));
        }

        // A second cut would overwrite them: refused, nothing written.
        const QByteArray before = testing::readBytes(written.paths[0]);
        const SheetFiles again = writeSheetFrames(sheetPath, 4, 1, out);
        QCOMPARE(again.problem, SheetFiles::FileExists);
        QCOMPARE(again.file, out + "/Hero Run_01.png");
        QVERIFY(!QFile::exists(out + "/Hero Run_03.png"));
        QCOMPARE(testing::readBytes(written.paths[0]), before);

        QCOMPARE(writeSheetFrames(sheetPath, 30, 1, out).problem, SheetFiles::GridTooFine);
        QCOMPARE(writeSheetFrames(dir.filePath("missing.png"), 1, 1, out).problem, SheetFiles::Unreadable);
        QCOMPARE(writeSheetFrames(sheetPath, 1, 1, dir.filePath("no/such/folder")).problem, SheetFiles::WriteFailed);
    }

    void frameFileNames()
    {
        QCOMPARE(sheetFrameFiles("C:\\art\\run.sheet.png", 3, "/out"),
                 QStringList({"/out/run.sheet_01.png", "/out/run.sheet_02.png", "/out/run.sheet_03.png"}));
        QCOMPARE(sheetFrameFiles("run.png", 120, "/out").last(), QString("/out/run_120.png"));
    }
};

QTEST_GUILESS_MAIN(TestFrameFiles)
#include "tst_framefiles.moc"
