// The room window in the main window: rooms opened from the game tree, the mouse, the keys and
// the panels reaching the project, the mode toggles, drops from the trees and the view's zoom.
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "project/projectedit.h"
#include "project/projectsession.h"
#include "support/scriptedasker.h"
#include "project/editorsettings.h"
#include "room/roomeditorsetup.h"
#include "room/roomsurface.h"
#include "room/troom.h"
#include "support/roomfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollArea>
#include <QGroupBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using mb::testing::ScriptedAsker;

namespace {

// The main window with the room editor over the room fixture (640 x 480, "hall" two screens
// wide), the room window open on "hall".
struct Editor
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    testing::RoomFixture fx;
    ScriptedAsker questions;
    std::unique_ptr<TForm1> form;
    RoomEditorSetup *setup = nullptr;
    Troom *room = nullptr;

    explicit Editor(const QString &lang = QStringLiteral("EN"))
    {
        catalog.setLanguage(lang);
        fx = testing::roomFixture(dir.path(), 640);
        session.setEditorFolder(dir.path());
        session.replace(std::move(fx.model), dir.path());
        form = std::make_unique<TForm1>(session, catalog, settings);
        form->setQuestions(&questions);
        setup = new RoomEditorSetup(*form, session.modelForUncommandedEdits(), catalog, settings);
        form->resize(1400, 1000);
        form->show();
        setup->requestRoom(QStringLiteral("hall"));
        form->openToolWindow(QStringLiteral("room"));
        room = setup->window();
    }
    ProjectModel &m() { return session.modelForUncommandedEdits(); }
    Rroom &hall() { return m().rooms[fx.hall]; }
    RoomSurface *surface() { return room->surface(); }
    // Surface point of a room point (640 game: one pixel each at 100 %).
    QPoint at(QPoint roomPoint) { return roomPoint - QPoint(hall().scrollX, hall().scrollY); }
};

} // namespace

class TestTroom : public QObject
{
    Q_OBJECT

private slots:
    void opensTheRoomAskedFor()
    {
        Editor e;
        QVERIFY(e.room);
        QCOMPARE(e.room->room(), e.fx.hall);
        QCOMPARE(e.form->toolWindow("room")->windowTitle(), QString("Room (hall)"));
        QCOMPARE(e.room->findChild<QSpinBox *>("roomwidth")->value(), 64);
        QCOMPARE(e.room->findChild<QSpinBox *>("roomheight")->value(), 24);
        QCOMPARE(e.room->findChild<QLabel *>("reslabel")->text(), QString("1280x480"));
        // Another room, then none.
        e.setup->requestRoom("empty");
        QCOMPARE(e.room->room(), e.fx.empty);
        e.setup->requestRoom("free");
        QCOMPARE(e.room->room(), 0);
        QVERIFY(!e.room->findChild<QSpinBox *>("roomwidth")->isEnabled());
    }

    void gameTreeClicksShowRooms()
    {
        Editor e;
        TreeNode *rooms = e.m().gameTree.root(Rooms);
        e.session.edit("nodes", 0, [&](ProjectEdit &edit) {
            for (const char *name : {"hall", "empty"})
                edit.addChild(rooms, QLatin1String(name), nodeimage::Room);
        });
        PoolView *pool = e.form->gamepool();
        const QModelIndex empty = pool->poolModel()->indexOf(rooms->children.back().get());
        emit pool->clicked(empty);
        QCOMPARE(e.room->room(), e.fx.empty);
        // Closed, a double click opens the window on the room.
        e.form->closewindow("room");
        QVERIFY(!e.setup->window());
        const QModelIndex hall = pool->poolModel()->indexOf(rooms->children.front().get());
        emit pool->doubleClicked(hall);
        QTRY_VERIFY(e.setup->window());
        QCOMPARE(e.setup->window()->room(), e.fx.hall);
    }

    void modeDragsReachTheRoom()
    {
        Editor e;
        // Depth lines at rows 9 and 20 (20 pixels): line 1 dragged down to row 12.
        e.setup->toggleMode(RoomEditMode::Depth);
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, QPoint(300, 9 * 20 + 3));
        QTest::mouseMove(e.surface(), QPoint(300, 12 * 20 - 4));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, QPoint(300, 12 * 20 - 4));
        QCOMPARE(e.hall().zoomTop, 12);
        QCOMPARE(e.hall().zoomBottom, 20);

        // FX shape 1 (a floor mirror): its first corner (60, 380) dragged by (-10, 5).
        e.setup->toggleMode(RoomEditMode::Fx);
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, QPoint(61, 381));
        QTest::mouseMove(e.surface(), QPoint(51, 386));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, QPoint(51, 386));
        QCOMPARE(QPoint(e.hall().fx[0].cornerX[0], e.hall().fx[0].cornerY[0]), QPoint(50, 385));

        // A new inventory field drawn with the rubber band: 250 x 130 gives 3 x 2 slots.
        e.hall().flag2 = false;
        e.setup->toggleMode(RoomEditMode::Inventory);
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, QPoint(100, 50));
        QTest::mouseMove(e.surface(), QPoint(350, 180));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, QPoint(350, 180));
        QVERIFY(e.hall().flag2);
        QCOMPARE(QList<int>(e.hall().values.begin(), e.hall().values.end()), (QList<int>{100, 50, 3, 2}));
    }

    void followsRoomsRenamedRemovedOrReplaced()
    {
        Editor e;
        e.session.editRecord<Rroom>(ProjectChange::element(Rooms, e.fx.hall), "rename",
                                    [](Rroom &r) { r.name = "great hall"; });
        QCOMPARE(e.room->room(), e.fx.hall);
        QCOMPARE(e.form->toolWindow("room")->windowTitle(), QString("Room (great hall)"));
        // Another project whose slot 1 holds another room: the window looks for its room by name.
        e.session.setProjectFolder(e.dir.filePath("other"));
        e.session.editRecord<Rroom>(ProjectChange::element(Rooms, e.fx.hall), "rename",
                                    [](Rroom &r) { r.name = "kitchen"; });
        QCOMPARE(e.room->room(), 0);
        QCOMPARE(e.form->toolWindow("room")->windowTitle(), QString("Room (none)"));
    }

    void mouseSelectsAndDragsWithinLimits()
    {
        Editor e;
        QSignalSpy scripts(e.form.get(), &TForm1::scriptOpenRequested);
        // The lamp (Front) lies over crate1 (Back): a left click takes the lamp, the middle
        // button the crate below it.
        const QPoint lamp = e.at(QPoint(2 * 50, 2 * 180));
        QTest::mouseClick(e.surface(), Qt::MiddleButton, {}, lamp);
        QCOMPARE(e.room->selection(), RoomItem::object(1));
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, lamp);
        QCOMPARE(e.room->selection(), RoomItem::object(2));
        QCOMPARE(scripts.last().at(0).toString(), QString("6002hall"));
        QTest::mouseMove(e.surface(), lamp + QPoint(15, -4));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, lamp + QPoint(15, -4));
        QCOMPARE(QPoint(e.hall().objects[1].x, e.hall().objects[1].y), QPoint(92 + 15, 352 - 4));
        QVERIFY(e.session.isModified());
        QVERIFY(e.room->findChild<QGroupBox *>("objbox")->isEnabled());
        QCOMPARE(e.room->findChild<QLabel *>("instlabel")->text(), QString("lamp"));

        // Arrow keys move it, a locked one not; Page Down goes on to the next thing.
        QTest::keyClick(e.surface(), Qt::Key_Right);
        QCOMPARE(e.hall().objects[1].x, 108);
        e.room->findChild<QCheckBox *>("objlocked")->click();
        QVERIFY(e.hall().objects[1].flag);
        QTest::keyClick(e.surface(), Qt::Key_Right);
        QCOMPARE(e.hall().objects[1].x, 108);
        QTest::keyClick(e.surface(), Qt::Key_PageDown);
        QCOMPARE(e.room->selection(), RoomItem::object(3));
    }

    void removalAsksFirst()
    {
        Editor e;
        e.room->select(RoomItem::object(3));
        e.questions.answers = {Asker::No};
        QTest::keyClick(e.surface(), Qt::Key_Delete);
        QCOMPARE(e.questions.shown.last().text, QString("Delete the Object \"pillar1\" from your room?"));
        QCOMPARE(e.questions.shown.last().defaultAnswer, Asker::No); // Enter keeps it
        QCOMPARE(e.hall().objects[2].instanceName, QString("pillar1"));
        e.questions.answers = {Asker::Yes};
        QTest::keyClick(e.surface(), Qt::Key_Delete);
        QCOMPARE(e.hall().objects[2].instanceName, QString("sign1"));
        QCOMPARE(e.room->selection(), RoomItem());
    }

    void modesAreExclusive()
    {
        Editor e;
        QAction *walkmap = e.setup->modeAction(RoomEditMode::Walkmap);
        QAction *fx = e.setup->modeAction(RoomEditMode::Fx);
        QCOMPARE(walkmap->text(), QString("Walkmap on"));
        walkmap->trigger();
        QCOMPARE(e.room->mode(), RoomEditMode::Walkmap);
        QCOMPARE(walkmap->text(), QString("Walkmap off"));
        QCOMPARE(e.form->statusPanel(2)->text(), QString("Add a Walkmapscript with a doubleclick."));
        fx->trigger();
        QVERIFY(!walkmap->isChecked());
        QCOMPARE(e.room->mode(), RoomEditMode::Fx);
        QCOMPARE(e.room->findChild<QStackedWidget *>()->currentIndex(), 2); // the FX panel
        fx->trigger();
        QCOMPARE(e.room->mode(), RoomEditMode::None);
    }

    void walkmapStrokeAndCellScript()
    {
        Editor e;
        e.setup->modeAction(RoomEditMode::Walkmap)->trigger();
        Walkmap &w = e.hall().walkmap;
        QVERIFY(w.blocked(3, 3));
        // Cells of 20 pixels: a stroke from cell (3, 3) to (5, 3) with the free pen.
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseMove(e.surface(), QPoint(70, 50));
        QTest::mouseMove(e.surface(), QPoint(90, 50));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, QPoint(90, 50));
        for (int c = 3; c <= 5; ++c)
            QVERIFY(!w.blocked(c, 3));
        QVERIFY(w.blocked(6, 3));

        QSignalSpy scripts(e.form.get(), &TForm1::scriptOpenRequested);
        QTest::mouseDClick(e.surface(), Qt::LeftButton, {}, QPoint(50, 70));
        QVERIFY(w.hasScript(3, 4));
        QCOMPARE(scripts.last().at(0).toString(), QString("5003004hall"));
        QCOMPARE(scripts.last().at(2).toBool(), true);
    }

    void dropsFromTheTrees()
    {
        Editor e;
        PoolTreeModel *game = e.form->gameModel();
        // An object node of the game tree, made for the drop.
        TreeNode *node = e.session.edit("crate", 0, [&](ProjectEdit &edit) {
            return edit.addChild(e.m().gameTree.root(Objects), "crate", nodeimage::Object);
        });
        std::unique_ptr<QMimeData> data(game->mimeData({game->indexOf(node)}));
        QVERIFY(data);
        QDragEnterEvent enter(QPoint(300, 100), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(e.surface(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 100), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(e.surface(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(e.hall().objects[6].instanceName, QString("crate")); // crate1 and crate2 do not clash
        QCOMPARE(QPoint(e.hall().objects[6].x, e.hall().objects[6].y), QPoint(300, 100));

        // Not in walkmap mode.
        e.setup->modeAction(RoomEditMode::Walkmap)->trigger();
        QDropEvent refused(QPointF(300, 100), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(e.surface(), &refused);
        QVERIFY(e.hall().objects[7].instanceName.isEmpty());
    }

    void viewZoom()
    {
        Editor e;
        QCOMPARE(e.surface()->size(), QSize(640, 480));
        e.room->findChild<QComboBox *>("viewzoom")->setCurrentIndex(3);
        QCOMPARE(e.surface()->size(), QSize(1280, 960));
        // At 200 % the mouse still finds the lamp.
        QTest::mouseClick(e.surface(), Qt::LeftButton, {}, 2 * QPoint(100, 360));
        QCOMPARE(e.room->selection(), RoomItem::object(2));
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), {}, QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(e.room->findChild<QScrollArea *>("view")->viewport(), &wheel);
        QCOMPARE(e.surface()->zoom(), 1.0);
    }
};

QTEST_MAIN(TestTroom)
#include "tst_troom.moc"
