// The room window in the main window: rooms opened from the game tree, the mouse, the keys and
// the panels reaching the project, the mode toggles, drops from the trees and the view's zoom.
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "assets/assetbox.h"
#include "assets/asseteditorsetup.h"
#include "project/projectfile.h"
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
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

using namespace mb;
using mb::testing::ScriptedAsker;

namespace {

QByteArray savedBytes(const ProjectSession &s)
{
    const CompanionFiles f = writeCompanionFiles(s.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

// Counts the paint events a widget gets.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

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
    AssetEditorSetup *assets = nullptr;
    Troom *room = nullptr;

    explicit Editor(const QString &lang = QStringLiteral("EN"))
    {
        catalog.setLanguage(lang);
        fx = testing::roomFixture(dir.path(), 640);
        session.setEditorFolder(dir.path());
        session.replace(std::move(fx.model), dir.path());
        form = std::make_unique<TForm1>(session, catalog, settings);
        form->setQuestions(&questions);
        setup = new RoomEditorSetup(*form, session, catalog, settings);
        assets = new AssetEditorSetup(*form, session, catalog, settings);
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
    void undo() { form->action("editundo")->trigger(); }
    void redo() { form->action("editredo")->trigger(); }
    // Right-clicks the surface and triggers the entry of the pop-up menu that opens.
    void menuEntry(QPoint surfacePoint, const char *entry)
    {
        bool found = false;
        QTimer::singleShot(0, room, [&] {
            QMenu *menu = room->lastMenu();
            QAction *a = menu ? menu->findChild<QAction *>(entry) : nullptr;
            found = a && a->isEnabled();
            if (menu)
                menu->close();
            if (found)
                a->trigger();
        });
        QTest::mouseClick(surface(), Qt::RightButton, {}, surfacePoint);
        QVERIFY2(found, entry);
    }
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

    void undoAndRedoFollowedByTheWindow()
    {
        Editor e;
        const QByteArray saved = savedBytes(e.session);
        QUndoStack *stack = e.session.undoStack();
        // A drag of many mouse moves is one step; undo puts the lamp back and keeps it selected.
        const QPoint lamp = e.at(QPoint(100, 360));
        QTest::mousePress(e.surface(), Qt::LeftButton, {}, lamp);
        for (int i = 1; i <= 8; ++i)
            QTest::mouseMove(e.surface(), lamp + QPoint(3 * i, -i));
        QTest::mouseRelease(e.surface(), Qt::LeftButton, {}, lamp + QPoint(24, -8));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(), QString("Move lamp"));
        const QByteArray dragged = savedBytes(e.session);
        e.undo();
        QCOMPARE(savedBytes(e.session), saved);
        QCOMPARE(e.room->selection(), RoomItem::object(2));
        e.redo();
        QCOMPARE(savedBytes(e.session), dragged);

        // Set to front, undone: the selection follows the lamp back to its slot.
        e.menuEntry(lamp + QPoint(24, -8), "NachVorneSetzen1");
        QCOMPARE(e.room->selection(), RoomItem::object(6));
        e.undo();
        QCOMPARE(e.room->selection(), RoomItem::object(2));
        QCOMPARE(e.room->findChild<QLabel *>("instlabel")->text(), QString("lamp"));

        // A property: the panel reads it again after undo and redo.
        QCheckBox *locked = e.room->findChild<QCheckBox *>("objlocked");
        locked->click();
        QVERIFY(e.hall().objects[1].flag);
        e.undo();
        QVERIFY(!locked->isChecked());
        e.redo();
        QVERIFY(locked->isChecked());

        // A removal with its name goes, undone it is back (not selected: the removal cleared it).
        e.room->select(RoomItem::object(3));
        e.questions.answers = {Asker::Yes};
        QTest::keyClick(e.surface(), Qt::Key_Delete);
        QCOMPARE(e.hall().objects[2].instanceName, QString("sign1"));
        e.undo();
        QCOMPARE(e.hall().objects[2].instanceName, QString("pillar1"));
        QCOMPARE(e.room->selection(), RoomItem());

        // The room size spin box, and its value after undo.
        QSpinBox *width = e.room->findChild<QSpinBox *>("roomwidth");
        width->setValue(40);
        QCOMPARE(e.hall().width, 800);
        QCOMPARE(e.room->findChild<QLabel *>("reslabel")->text(), QString("800x480"));
        e.undo();
        QCOMPARE(width->value(), 64);
        QCOMPARE(e.room->findChild<QLabel *>("reslabel")->text(), QString("1280x480"));
        while (stack->canUndo())
            e.undo();
        QCOMPARE(savedBytes(e.session), saved);
    }

    void showsPlacementsInTheirEditors()
    {
        Editor e;
        // The crate's placement, right-clicked: its object opens in the object editor.
        e.room->select(RoomItem::object(1));
        e.menuEntry(e.at(QPoint(85, 345)), "ImObjektfensterffnen1");
        QTRY_VERIFY(e.assets->window("objbox"));
        QCOMPARE(e.assets->window("objbox")->elementName(), QString("crate"));
        // ann1, its character in the character editor.
        e.menuEntry(e.at(QPoint(210, 350)), "ImCharacterfensterzeigen1");
        QCOMPARE(e.room->selection(), RoomItem::character(1));
        QTRY_VERIFY(e.assets->window("charbox"));
        QCOMPARE(e.assets->window("charbox")->elementName(), QString("ann"));
    }

    void redrawsWhatOtherWindowsChange()
    {
        Editor e;
        QVERIFY(QTest::qWaitForWindowExposed(e.form.get()));
        PaintCounter counter;
        e.surface()->installEventFilter(&counter);
        QTest::qWait(50);
        // An object's size edited in its editor: the room draws again (nothing else moves: no
        // selection pulses).
        counter.paints = 0;
        const int crate = e.m().objects.find("crate");
        e.session.editRecord<Robj>(ProjectChange::element(Objects, crate), "width", [](Robj &o) { o.width = 60; });
        QTRY_VERIFY(counter.paints > 0);
        // A new file for an image: the cache reads it again, and the sign shows it.
        const QPoint signAt = e.at(QPoint(410, 205));
        const QColor before = e.surface()->grab().toImage().pixelColor(signAt);
        QImage blue(40, 40, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(e.dir.filePath("blue.png")));
        const int image = e.m().media[Images].find("sign");
        e.session.edit("path", table::Images, [&](ProjectEdit &edit) {
            edit.model().media[Images].set(image, "sign", e.dir.filePath("blue.png"));
        });
        const QColor after = e.surface()->grab().toImage().pixelColor(signAt);
        QVERIFY(before != after);
        QCOMPARE(after, QColor(Qt::blue));
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
