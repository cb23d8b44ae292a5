// The room editor's drawing surface: the renderer's pixels on the screen, the mouse mapped to
// room points, repaints only while something changes.
#include "platform/canvas.h"
#include "room/roomrenderer.h"
#include "room/roomsurface.h"
#include "support/roomfixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestRoomSurface : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    MessageCatalog m_catalog;

private slots:
    void showsTheRenderersPixelsDoubledFor320()
    {
        const auto fx = testing::roomFixture(m_dir.path(), 320);
        RoomImageCache cache;
        RoomSurface surface(*fx.model, cache, m_catalog);
        surface.setRoom(fx.hall);
        surface.setScroll(QPoint(40, 0));
        QCOMPARE(surface.size(), QSize(640, 480));
        const QImage shown = surface.grab().toImage();

        QImage expected(320, 240, QImage::Format_RGB32);
        Canvas canvas(&expected);
        RoomView view;
        view.scroll = QPoint(40, 0);
        renderRoom(canvas, *fx.model, fx.hall, view, cache, m_catalog);
        for (int y = 0; y < 240; y += 7)
            for (int x = 0; x < 320; x += 5) {
                QCOMPARE(shown.pixel(2 * x, 2 * y), expected.pixel(x, y));
                QCOMPARE(shown.pixel(2 * x + 1, 2 * y + 1), expected.pixel(x, y));
            }
    }

    void mouseFindsWhatIsDrawn()
    {
        const auto fx = testing::roomFixture(m_dir.path(), 320);
        RoomImageCache cache;
        RoomSurface surface(*fx.model, cache, m_catalog);
        surface.setRoom(fx.hall);
        surface.setScroll(QPoint(30, 7));
        QCOMPARE(surface.toRoom(QPoint(101, 51)), QPoint(50 + 30, 25 + 7));
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        QSignalSpy hover(&surface, &RoomSurface::hoverChanged);
        // ann1 stands at (100, 170), 16 x 32: room (110, 190) is surface (160, 366).
        QTest::mouseMove(&surface, QPoint((110 - 30) * 2, (190 - 7) * 2));
        QTRY_COMPARE(hover.size(), 1);
        QCOMPARE(hover.last().at(0).value<RoomItem>(), RoomItem::character(1));
        QCOMPARE(surface.view().hover, RoomItem::character(1));
        QTest::mouseMove(&surface, QPoint(2, 2));
        QTRY_COMPARE(hover.size(), 2);
        QCOMPARE(surface.view().hover, RoomItem());
    }

    void pulseRunsOnlyForASelection()
    {
        const auto fx = testing::roomFixture(m_dir.path(), 640);
        RoomImageCache cache;
        RoomSurface surface(*fx.model, cache, m_catalog);
        surface.setRoom(fx.hall);
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        QVERIFY(!surface.pulseRunning());
        surface.setSelection(RoomItem::object(3));
        QVERIFY(surface.pulseRunning());
        const int before = surface.view().pulse;
        QTRY_VERIFY(surface.view().pulse != before);
        surface.setMode(RoomEditMode::Walkmap); // no corner marks in an edit mode
        QVERIFY(!surface.pulseRunning());
        surface.setMode(RoomEditMode::None);
        QVERIFY(surface.pulseRunning());
        surface.hide();
        QVERIFY(!surface.pulseRunning());
        surface.show();
        surface.setSelection({});
        QVERIFY(!surface.pulseRunning());
    }

    void missingImagesAreReportedOncePerOpening()
    {
        QTemporaryDir dir;
        const auto fx = testing::roomFixture(dir.path(), 640);
        QVERIFY(QFile::remove(fx.files.at("crate")));
        RoomImageCache cache;
        RoomSurface surface(*fx.model, cache, m_catalog);
        QSignalSpy missing(&surface, &RoomSurface::imagesMissing);
        surface.setRoom(fx.hall);
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        QTRY_COMPARE(missing.size(), 1);
        QCOMPARE(missing.first().at(0).toStringList(), QStringList{fx.files.at("crate") + " is not existent."});
        surface.repaint();
        QTest::qWait(20);
        QCOMPARE(missing.size(), 1);
        surface.setRoom(fx.hall); // opened again: tried and reported again
        QTRY_COMPARE(missing.size(), 2);
    }
};

QTEST_MAIN(TestRoomSurface)
#include "tst_roomsurface.moc"
