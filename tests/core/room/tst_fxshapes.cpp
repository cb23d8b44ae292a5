// The room's FX shapes: handles under the mouse, dragging shapes, corners and the wall mirror's
// line within the room, and the settings with the controls that depend on them.
#include "project/projectmodel.h"
#include "room/fxshapes.h"

#include <QTest>

using namespace mb;

namespace {

Rfxshape square(int x, int y, int size, int effect = fxshapes::FloorMirror)
{
    Rfxshape s;
    s.flag1 = true;
    s.int1 = effect;
    s.cornerX = {x, x + size, x + size, x};
    s.cornerY = {y, y, y + size, y + size};
    s.calcziehpunkt();
    return s;
}

} // namespace

class TestFxShapes : public QObject
{
    Q_OBJECT

    using H = fxshapes::Handle;

private slots:
    void handles_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("corner");
        // Shape 1: 100..200 square, drag point (150, 150). Shape 2: a wall mirror 300..400 with
        // its line at row 15 (y 300). Shape 3 lies on shape 1's bottom right corner but is off.
        QTest::newRow("drag point") << QPoint(160, 140) << int(H::Whole) << 1 << 0;
        QTest::newRow("11 away is outside") << QPoint(161, 150) << int(H::None) << 0 << 0;
        QTest::newRow("corner 3") << QPoint(205, 195) << int(H::Corner) << 1 << 3;
        QTest::newRow("6 away is outside") << QPoint(206, 200) << int(H::None) << 0 << 0;
        QTest::newRow("mirror line") << QPoint(352, 304) << int(H::MirrorLine) << 2 << 0;
        QTest::newRow("later shape wins") << QPoint(300, 100) << int(H::Corner) << 2 << 1;
    }
    void handles()
    {
        QFETCH(QPoint, point);
        QFETCH(int, kind);
        QFETCH(int, shape);
        QFETCH(int, corner);
        Rroom room;
        room.width = 1280;
        room.height = 480;
        room.fx[0] = square(100, 100, 100);
        room.fx[1] = square(300, 100, 100, fxshapes::WallMirror);
        room.fx[1].int2 = 15;
        // Shape 1's corner 2 (200, 100) and shape 2's corner 1 (300, 100) are far apart; move
        // shape 1 so that its corner 2 meets shape 2's corner 1.
        if (QTest::currentDataTag() == QByteArray("later shape wins"))
            room.fx[0] = square(200, 100, 100);
        room.fx[2] = square(195, 195, 50);
        room.fx[2].flag1 = false;
        GameSettings settings;
        const fxshapes::Handle h = fxshapes::handleAt(room, point, RoomMetrics::of(settings, &room));
        QCOMPARE(int(h.kind), kind);
        QCOMPARE(h.shape, shape);
        QCOMPARE(h.corner, corner);
    }

    void dragsStayInTheRoom_data()
    {
        QTest::addColumn<int>("corner"); // 0 = the whole shape
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<QList<int>>("ys");
        QTest::addColumn<QPoint>("dragPoint");
        // A shape from x 1 to 101 and y 50 to 150 in a room of 640 x 480.
        QTest::newRow("whole: left edge refuses x, follows y") << 0 << QPoint(-1, 7) << QList<int>{1, 101, 101, 1}
                                                               << QList<int>{57, 57, 157, 157} << QPoint(51, 107);
        QTest::newRow("whole: right") << 0 << QPoint(10, 0) << QList<int>{11, 111, 111, 11}
                                      << QList<int>{50, 50, 150, 150} << QPoint(61, 100);
        QTest::newRow("whole: bottom edge refuses y") << 0 << QPoint(0, 330) << QList<int>{1, 101, 101, 1}
                                                      << QList<int>{50, 50, 150, 150} << QPoint(51, 100);
        QTest::newRow("whole: to the bottom edge") << 0 << QPoint(0, 329) << QList<int>{1, 101, 101, 1}
                                                   << QList<int>{379, 379, 479, 479} << QPoint(51, 429);
        QTest::newRow("corner 1 refuses x") << 1 << QPoint(-1, -10) << QList<int>{1, 101, 101, 1}
                                            << QList<int>{40, 50, 150, 150} << QPoint(51, 98);
        QTest::newRow("corner 3 to the right edge") << 3 << QPoint(538, 0) << QList<int>{1, 101, 639, 1}
                                                    << QList<int>{50, 50, 150, 150} << QPoint(186, 100);
        QTest::newRow("corner 3 not onto it") << 3 << QPoint(539, 0) << QList<int>{1, 101, 101, 1}
                                              << QList<int>{50, 50, 150, 150} << QPoint(51, 100);
    }
    void dragsStayInTheRoom()
    {
        QFETCH(int, corner);
        QFETCH(QPoint, delta);
        QFETCH(QList<int>, xs);
        QFETCH(QList<int>, ys);
        QFETCH(QPoint, dragPoint);
        Rfxshape s = square(1, 50, 100);
        s.cornerY = {50, 50, 150, 150};
        const QSize room(640, 480);
        if (corner == 0)
            fxshapes::dragWhole(s, delta.x(), delta.y(), room);
        else
            fxshapes::dragCorner(s, corner, delta.x(), delta.y(), room);
        QCOMPARE(QList<int>(s.cornerX.begin(), s.cornerX.end()), xs);
        QCOMPARE(QList<int>(s.cornerY.begin(), s.cornerY.end()), ys);
        QCOMPARE(QPoint(s.dragX, s.dragY), dragPoint);
    }

    void mirrorLine()
    {
        GameSettings settings; // 640 x 480: rows of 20 pixels
        const RoomMetrics m = RoomMetrics::of(settings);
        Rfxshape s = square(100, 100, 100, fxshapes::WallMirror);
        s.int2 = 15;
        QVERIFY(!fxshapes::dragMirrorLine(s, 15, 19, 480, m)); // less than a row
        QVERIFY(fxshapes::dragMirrorLine(s, 15, -41, 480, m));
        QCOMPARE(s.int2, 13);
        QVERIFY(fxshapes::dragMirrorLine(s, 15, -1000, 480, m));
        QCOMPARE(s.int2, 1);
        QVERIFY(fxshapes::dragMirrorLine(s, 15, 1000, 480, m));
        QCOMPARE(s.int2, 24);
    }

    void offsetPreview()
    {
        Rfxshape s; // offset (-10, -7)
        QVERIFY(fxshapes::dragOffset(s, 30, 20));
        QCOMPARE(QPoint(s.int3, s.int4), QPoint(50, 33));
        // y is capped at 60 although x reaches 100.
        QVERIFY(fxshapes::dragOffset(s, 100, 100));
        QCOMPARE(QPoint(s.int3, s.int4), QPoint(100, 60));
        QVERIFY(!fxshapes::dragOffset(s, 1, 1));
        QVERIFY(fxshapes::dragOffset(s, -500, -500));
        QCOMPARE(QPoint(s.int3, s.int4), QPoint(-100, -100));
    }

    void settingsAndControls()
    {
        Rfxshape s;
        s.int1 = fxshapes::WallMirror;
        s.int5 = 200;
        QVERIFY(!fxshapes::controls(s).effectEnabled); // off: everything disabled
        QVERIFY(!fxshapes::controls(s).previewVisible);

        // Ticking the shape starts it as a floor mirror.
        fxshapes::setActive(s, true);
        QCOMPARE(s.int1, int(fxshapes::FloorMirror));
        auto c = fxshapes::controls(s);
        QVERIFY(c.active && c.effectEnabled && c.strengthEnabled);
        QVERIFY(!c.previewVisible && !c.roomPositionEnabled);

        // A particle barrier has no strength to set, but the stored one stays.
        fxshapes::setEffect(s, fxshapes::ParticleBarrier);
        c = fxshapes::controls(s);
        QVERIFY(!c.strengthEnabled && !c.previewVisible);
        QCOMPARE(s.int5, 200);
        fxshapes::setEffect(s, fxshapes::FloorMirror);
        QVERIFY(fxshapes::controls(s).strengthEnabled);
        QCOMPARE(s.int5, 200);

        // The wall mirror's preview: halves toward zero; fixed left with the room position.
        fxshapes::setEffect(s, fxshapes::WallMirror);
        s.int3 = -7;
        s.int4 = 9;
        c = fxshapes::controls(s);
        QVERIFY(c.previewVisible && c.roomPositionEnabled && c.strengthEnabled);
        QCOMPARE(c.backCharPos, QPoint(-3 + 18, 4 + 24));
        s.flag2 = true;
        QCOMPARE(fxshapes::controls(s).backCharPos, QPoint(18, 28));

        // Turning it off keeps what was set.
        fxshapes::setActive(s, false);
        QCOMPARE(s.int1, int(fxshapes::WallMirror));
    }
};

QTEST_GUILESS_MAIN(TestFxShapes)
#include "tst_fxshapes.moc"
