// Where the room editor draws things and where the mouse finds them: the geometry that the
// renderer and the editor share, without drawing.
#include "room/roomgeometry.h"
#include "room/roomscene.h"
#include "support/roomfixture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestRoomGeometry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QList<RoomItem> order(const RoomScene &scene)
    {
        QList<RoomItem> items;
        for (const RoomScene::Entry &e : scene.entries())
            items << e.item;
        return items;
    }

private slots:
    void metricsFollowTheResolution_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("doubleWalkmap");
        QTest::addColumn<int>("cell");
        QTest::addColumn<double>("walkCell");
        QTest::addColumn<int>("rows");
        QTest::newRow("320x200") << 1 << false << 10 << 10.0 << 20;
        QTest::newRow("320x240 double") << 2 << true << 10 << 5.0 << 24;
        QTest::newRow("800x600 double") << 3 << true << 25 << 12.5 << 24;
        QTest::newRow("1024x768") << 4 << false << 32 << 32.0 << 24;
    }
    void metricsFollowTheResolution()
    {
        QFETCH(int, choice);
        QFETCH(bool, doubleWalkmap);
        GameSettings s;
        s.setResolutionChoice(choice);
        Rroom room;
        room.flag1 = doubleWalkmap;
        const RoomMetrics m = RoomMetrics::of(s, &room);
        QTEST(m.cell, "cell");
        QTEST(m.walkCell, "walkCell");
        QTEST(m.rowsPerScreen, "rows");
    }

    void mouseMapping()
    {
        GameSettings s;
        s.setResolutionChoice(2); // 320 x 240: the surface shows every pixel twice
        RoomMetrics m = RoomMetrics::of(s);
        QCOMPARE(roomgeo::surfaceToRoom(QPoint(101, 51), QPoint(0, 0), m), QPoint(50, 25));
        QCOMPARE(roomgeo::surfaceToRoom(QPoint(101, 51), QPoint(30, 7), m), QPoint(80, 32));
        s.setResolutionChoice(0);
        m = RoomMetrics::of(s);
        QCOMPARE(roomgeo::surfaceToRoom(QPoint(101, 51), QPoint(30, 7), m), QPoint(131, 58));

        // The cell under the mouse is the square the grid draws around it, and the single
        // walkmap reaches 96 x 48 cells even in a room two screens high.
        QCOMPARE(roomgeo::walkmapCellAt(QPoint(0, 0), m), QPoint(1, 1));
        QCOMPARE(roomgeo::walkmapCellAt(QPoint(19, 20), m), QPoint(1, 2));
        QCOMPARE(roomgeo::walkmapCellAt(QPoint(-50, 5000), m), QPoint(1, 48));
        Rroom room;
        room.flag1 = true;
        m = RoomMetrics::of(s, &room);
        QCOMPARE(roomgeo::walkmapCellAt(QPoint(5000, 5000), m), QPoint(192, 96));
        QCOMPARE(roomgeo::walkmapCellRect(3, 2, m), QRectF(20, 10, 10, 10));
    }

    void cornerMarks_data()
    {
        QTest::addColumn<QRect>("box");
        QTest::addColumn<QPoint>("scroll");
        QTest::addColumn<int>("lines");
        QTest::newRow("5 wide") << QRect(10, 10, 5, 30) << QPoint() << 8;
        QTest::newRow("4 wide") << QRect(10, 10, 4, 30) << QPoint() << 0;
        QTest::newRow("4 high") << QRect(10, 10, 30, 4) << QPoint() << 0;
        // Clamped to the screen first: a box mostly scrolled off keeps 3 pixels.
        QTest::newRow("clamped") << QRect(10, 10, 30, 30) << QPoint(37, 0) << 0;
        QTest::newRow("off screen") << QRect(-100, 10, 30, 30) << QPoint() << 0;
    }
    void cornerMarks()
    {
        QFETCH(QRect, box);
        QFETCH(QPoint, scroll);
        GameSettings s;
        const auto lines = roomgeo::cornerMarks(roomgeo::markBox(box, scroll, RoomMetrics::of(s)));
        QTEST(int(lines.size()), "lines");
        if (!lines.empty()) {
            // Top left starts one pixel outside the box and runs six pixels each way.
            QCOMPARE(lines[0], QLine(9, 9, 15, 9));
            QCOMPARE(lines[1], QLine(9, 9, 9, 15));
            QCOMPARE(lines[7], QLine(15, 35, 15, 40));
        }
    }

    void zoomByDepth_data()
    {
        QTest::addColumn<double>("footRow");
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("dontzoom");
        QTest::addColumn<double>("zoom");
        // Lines 9 and 20, step 3: 3 % per row between them.
        QTest::newRow("on line 2") << 20.0 << 100 << false << 1.0;
        QTest::newRow("below line 2") << 30.0 << 80 << false << 0.8;
        QTest::newRow("between") << 15.0 << 100 << false << 0.85;
        QTest::newRow("on line 1") << 9.0 << 100 << false << 0.67;
        QTest::newRow("above line 1") << 2.0 << 100 << false << 0.67;
        QTest::newRow("no zoom") << 2.0 << 50 << true << 0.5;
        QTest::newRow("scale 4 %") << 20.0 << 4 << false << 0.05;
        QTest::newRow("scale 4 % shrunk") << 2.0 << 4 << false << 0.05;
    }
    void zoomByDepth()
    {
        QFETCH(double, footRow);
        QFETCH(int, scale);
        QFETCH(bool, dontzoom);
        QFETCH(double, zoom);
        Rroom room;
        room.zoomTop = 9;
        room.zoomBottom = 20;
        room.zoomStep = 3;
        Rcharacter c;
        c.scale = scale;
        c.dontzoom = dontzoom;
        QVERIFY2(qAbs(characterZoom(c, room, footRow) - zoom) < 1e-9, qPrintable(QString::number(characterZoom(c, room, footRow))));
    }

    void leftFacingPose_data()
    {
        QTest::addColumn<bool>("leftani");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("mirrored");
        QTest::newRow("without own left frames") << false << 3 << true;
        QTest::newRow("with own left frames") << true << 33 << false;
    }
    void leftFacingPose()
    {
        QFETCH(bool, leftani);
        Rcharacter c;
        c.leftani = leftani;
        c.footY[2] = 40;
        c.footY[32] = 40;
        c.footY[3] = 0; // walking front: not what a left-facing character stands on
        Rroomchar p;
        p.byteValue = 4;
        p.y = 100;
        Rroom room;
        GameSettings s;
        const CharacterPose pose = characterPose(c, p, room, RoomMetrics::of(s));
        QTEST(pose.state, "state");
        QTEST(pose.mirrored, "mirrored");
        QCOMPARE(pose.footRow, 7); // (100 + 40) / 20
    }

    void unknownDirectionStandsFacingFront()
    {
        // A damaged file may hold any byte; it must not pick a state outside the table.
        Rcharacter c;
        c.footY[0] = 40;
        Rroomchar p;
        Rroom room;
        GameSettings s;
        for (int direction : {0, 5, 255}) {
            p.byteValue = uint8_t(direction);
            const CharacterPose pose = characterPose(c, p, room, RoomMetrics::of(s));
            QCOMPARE(pose.state, 1);
            QVERIFY(!pose.mirrored);
        }
    }

    void footRows()
    {
        const auto fx = testing::roomFixture(m_dir.path());
        ProjectModel &m = *fx.model;
        Rroomchar &above = m.roomChars[1];
        above.y = -200; // foot far above the room: row 1
        Rroomchar &below = m.roomChars[2];
        below.y = 73 * 10; // foot in row 76: not drawn
        const RoomScene scene(m, fx.hall);
        QList<RoomItem> items = order(scene);
        QVERIFY(!items.contains(RoomItem::character(2)));
        // Row 1 comes right after the Back objects.
        QCOMPARE(items.indexOf(RoomItem::character(1)), 2);
        QCOMPARE(scene.entries()[2].pose.footRow, 1);
    }

    void drawingOrder()
    {
        const auto fx = testing::roomFixture(m_dir.path());
        ProjectModel &m = *fx.model;
        Rroom &r = m.rooms[fx.hall];
        // Two Middle objects on row 20 (slots 3 and 6) and ann1, whose foot is on row 20.
        r.objects[2].depthLine = 20;
        r.objects[5].depthLine = 20;
        const QList<RoomItem> items = order(RoomScene(m, fx.hall));
        const QList<RoomItem> expected = {
            RoomItem::object(1), RoomItem::object(5),                           // Back
            RoomItem::character(3), RoomItem::character(2), RoomItem::character(5), // rows 7, 16, 17
            RoomItem::character(4),                                              // row 19
            RoomItem::object(3), RoomItem::object(6), RoomItem::character(1),    // row 20
            RoomItem::object(2), RoomItem::object(4),                            // Front
        };
        QCOMPARE(items, expected);
    }

    void hitTest()
    {
        const auto fx = testing::roomFixture(m_dir.path());
        const RoomScene scene(*fx.model, fx.hall);
        RoomItem below;
        // The lamp (Front) lies over the crate (Back).
        QCOMPARE(scene.hitTest(QPoint(50, 180), &below), RoomItem::object(2));
        QCOMPARE(below, RoomItem::object(1));
        // Edges do not count.
        QCOMPARE(scene.hitTest(QPoint(40, 175), &below), RoomItem());
        // The pillar's depth marker: row 18 of 10 pixels, at its middle, within 6 pixels.
        QCOMPARE(scene.hitTest(QPoint(150 + 5, 175 - 5)), RoomItem::depthMarker(3));
        QCOMPARE(scene.hitTest(QPoint(150 + 6, 175)), RoomItem::object(3));
        // A character by its unscaled frame box.
        QCOMPARE(scene.hitTest(QPoint(110, 190)), RoomItem::character(1));
    }

    void shrinkingTheRoomClamps()
    {
        const auto fx = testing::roomFixture(m_dir.path());
        ProjectModel &m = *fx.model;
        Rroom &r = m.rooms[fx.hall];
        Rroomchar &elsewhere = m.roomChars[6];
        elsewhere = m.roomChars[5];
        elsewhere.instanceName = "bea3";
        elsewhere.roomName = "empty";
        r.scrollX = 300;
        r.width = 400;  // from 640
        r.height = 180; // from 240: below depth line 2 (row 20 = 200 pixels)
        roomgeo::correctpos(m, fx.hall);
        QCOMPARE(r.objects[5].x, 390); // was 400
        QCOMPARE(r.objects[5].y, 170); // was 190
        QCOMPARE(r.objects[5].depthLine, 18); // row 21 lay below the room
        QCOMPARE(r.objects[0].x, 40);  // inside: untouched
        QCOMPARE(m.roomChars[5].x, 390); // bea2 stood at 420
        QCOMPARE(m.roomChars[6].x, 420); // stands in another room
        QCOMPARE(r.scrollX, 80);
        QCOMPARE(r.zoomBottom, 16); // round((180 - 20) / 10)
        QCOMPARE(r.zoomTop, 9);
        // Line 1 stays above line 2.
        r.height = 100;
        roomgeo::correctpos(m, fx.hall);
        QCOMPARE(r.zoomBottom, 8);
        QCOMPARE(r.zoomTop, 7);
        QCOMPARE(r.scrollX, 80);
        QCOMPARE(r.scrollY, 0);
    }

    void roomSizeSteps_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("window");
        QTest::newRow("640, two screens wide") << 0 << 64 << 24 << QSize(1280, 480) << QSize(640, 595);
        QTest::newRow("320x200, too low") << 1 << 40 << 5 << QSize(400, 200) << QSize(640, 515);
        QTest::newRow("320x240, too wide") << 2 << 200 << 48 << QSize(960, 480) << QSize(640, 595);
        QTest::newRow("800x600") << 3 << 32 << 30 << QSize(800, 750) << QSize(800, 715);
        QTest::newRow("1024x768, too narrow") << 4 << 10 << 48 << QSize(1024, 1536) << QSize(1024, 883);
    }
    void roomSizeSteps()
    {
        QFETCH(int, choice);
        QFETCH(int, columns);
        QFETCH(int, rows);
        ProjectModel m;
        m.settings.setResolutionChoice(choice);
        m.rooms[1].name = "r";
        m.rooms[1].objects[0] = {};
        m.rooms[1].objects[0].instanceName = "far";
        m.rooms[1].objects[0].x = 5000;
        roomgeo::setRoomSize(m, 1, columns, rows);
        QTEST(QSize(m.rooms[1].width, m.rooms[1].height), "size");
        QCOMPARE(m.rooms[1].objects[0].x, m.rooms[1].width - 10); // clamped as well
        QTEST(roomgeo::roomWindowClientSize(RoomMetrics::of(m.settings)), "window");
    }

    void walkmapScriptColour_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<uint>("colour");
        QTest::newRow("no lines") << QStringList() << 0x800000u;
        // 1 line + 'A' (65) = 66, 66 mod 50 = 16
        QTest::newRow("k 16") << QStringList{"A"} << 0x4444ddu;
        // 2 lines + 48 = 50: k 0
        QTest::newRow("k 0") << QStringList{"0", "x"} << 0x999999u;
        // Windows-1252 codes: 1 + 0xE9 (233) = 234, k 34
        QTest::newRow("accented") << QStringList{QString::fromUtf8("é")} << 0xdddd44u;
    }
    void walkmapScriptColour()
    {
        QFETCH(QStringList, script);
        QTEST(uint(roomgeo::walkmapScriptColour(int(script.size()), script.value(0))), "colour");
    }

    void inventoryFieldLayout()
    {
        GameSettings s;
        Rroom room;
        room.values = {100, 50, 3, 2};
        room.factors = {1.0, 0.5};
        const auto l = roomgeo::inventoryField(room, RoomMetrics::of(s));
        QCOMPARE(l.stepX, 60);
        QCOMPARE(l.stepY, 30);
        QCOMPARE(l.outer, QRect(100, 50, 3 * 60 + 30, 2 * 30 + 5));
        QCOMPARE(int(l.cells.size()), 6);
        QCOMPARE(l.cells[4], QRect(100 + 30 + 60, 50 + 5 + 30, 50, 25));
        // A band 120 x 100 makes one slot; a narrower one none.
        QCOMPARE(roomgeo::inventoryFieldSlots(QRect(0, 0, 120, 100), RoomMetrics::of(s)), QSize(1, 1));
        QCOMPARE(roomgeo::inventoryFieldSlots(QRect(0, 0, 80, 100), RoomMetrics::of(s)), QSize());
    }

    void selectionPulse()
    {
        SelectionPulse p;
        QList<int> values;
        for (int i = 0; i < 32; ++i) {
            p.step();
            values << p.value;
        }
        QCOMPARE(values.mid(0, 3), (QList<int>{240, 230, 220}));
        QCOMPARE(values[14], 100); // below 101: turns
        QCOMPARE(values[15], 110);
        QCOMPARE(values[29], 250); // reaches 250: turns
        QCOMPARE(values[30], 240);
    }
};

QTEST_GUILESS_MAIN(TestRoomGeometry)
#include "tst_roomgeometry.moc"
