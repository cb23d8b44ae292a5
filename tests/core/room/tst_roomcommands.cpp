// The room editor's changes as undo steps: each gesture (a drag of many mouse moves, a stroke, a
// run of arrow keys) or menu command is one step; undo gives back the saved bytes of the project
// exactly, redo the edited bytes. The suites run with edit verification on, so a change that
// writes a slot it did not copy stops the test.
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "room/roomcommands.h"
#include "room/roompanels.h"
#include "support/roomfixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace mb;

using Gesture = std::function<void(RoomCommands &, ProjectSession &)>;
Q_DECLARE_METATYPE(Gesture)
Q_DECLARE_METATYPE(mb::RoomItem)

namespace {

QByteArray savedBytes(const ProjectSession &s)
{
    const CompanionFiles f = writeCompanionFiles(s.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

// The room fixture (640 x 480, "hall" two screens wide in slot 1) in a session, with the
// placements in the instance name lists and one more character standing in the room "empty"
// behind the hall's five, so that ordering the hall's characters shifts a placement of another
// room.
struct Project
{
    QTemporaryDir dir;
    MessageCatalog catalog;
    ProjectSession session{catalog};
    int hall = 0;

    Project()
    {
        testing::RoomFixture fx = testing::roomFixture(dir.path(), 640);
        hall = fx.hall;
        ProjectModel &m = *fx.model;
        Rroomchar &guest = m.roomChars[6];
        guest.characterName = "bea";
        guest.instanceName = "guest";
        guest.roomName = "empty";
        for (const Rroomobj &o : m.rooms[hall].objects)
            if (!o.instanceName.isEmpty())
                m.names[NameLists::ObjectInstances] << o.instanceName;
        for (const Rroomchar &c : m.roomChars)
            if (!c.instanceName.isEmpty())
                m.names[NameLists::CharacterInstances] << c.instanceName;
        NameLists::sort(m.names[NameLists::ObjectInstances]);
        NameLists::sort(m.names[NameLists::CharacterInstances]);
        session.replace(std::move(fx.model), dir.path());
    }
    const Rroom &room() const { return session.model().rooms[hall]; }
};

constexpr ProjectSession::MergeKey Key = 7;

} // namespace

class TestRoomCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ProjectSession::setVerifyEdits(true); }

    void undoAndRedoAreByteExact_data()
    {
        QTest::addColumn<Gesture>("gesture");
        using RI = RoomItem;
        auto row = [](const char *name, Gesture g) { QTest::newRow(name) << g; };
        row("drag of twelve mouse moves", [](RoomCommands &r, ProjectSession &) {
            for (int i = 0; i < 12; ++i)
                r.dragBy(RI::object(2), QPoint(3, -1), Key);
        });
        row("character dragged", [](RoomCommands &r, ProjectSession &) {
            for (int i = 0; i < 4; ++i)
                r.dragBy(RI::character(2), QPoint(-5, 2), Key);
        });
        row("run of arrow keys", [](RoomCommands &r, ProjectSession &) {
            for (int i = 0; i < 6; ++i)
                r.nudge(RI::object(4), roomedit::ArrowKey::Down, Key);
        });
        row("walkmap stroke", [](RoomCommands &r, ProjectSession &) {
            QPoint marked = walkmappen::NoCell;
            for (int column = 3; column <= 9; ++column)
                r.paint(WalkmapPen::Size2, false, QPoint(column, 3), marked, Key);
        });
        row("blocking stroke over a free floor", [](RoomCommands &r, ProjectSession &) {
            QPoint marked = walkmappen::NoCell;
            for (int row = 16; row <= 25; ++row)
                r.paint(WalkmapPen::Size3, true, QPoint(10, row), marked, Key);
        });
        row("object removed with its name", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.remove(RI::object(3))); });
        row("character removed with its name", [](RoomCommands &r, ProjectSession &) {
            QVERIFY(r.remove(RI::character(2)));
        });
        row("object to the front", [](RoomCommands &r, ProjectSession &) {
            QCOMPARE(r.order(RI::object(1), true), RI::object(6));
        });
        row("character to the back", [](RoomCommands &r, ProjectSession &) {
            QCOMPARE(r.order(RI::character(4), false), RI::character(1));
        });
        row("character to the front past another room's", [](RoomCommands &r, ProjectSession &) {
            QCOMPARE(r.order(RI::character(2), true), RI::character(6));
        });
        row("object placed", [](RoomCommands &r, ProjectSession &) { QCOMPARE(r.placeObject("crate", {300, 200}), 7); });
        row("character placed", [](RoomCommands &r, ProjectSession &) {
            QCOMPARE(r.placeCharacter("ann", {300, 200}), 7);
        });
        row("FX corner drag", [](RoomCommands &r, ProjectSession &) {
            const fxshapes::Handle corner{fxshapes::Handle::Corner, 1, 1};
            for (int i = 0; i < 5; ++i)
                r.dragFxHandle(corner, QPoint(-2, 1), 0, 0, Key);
        });
        row("FX whole shape and mirror line", [](RoomCommands &r, ProjectSession &) {
            r.dragFxHandle({fxshapes::Handle::Whole, 2, 0}, QPoint(10, 10), 0, 0, Key);
            r.dragFxHandle({fxshapes::Handle::MirrorLine, 2, 0}, {}, 60, 15, Key);
        });
        row("FX strength slid", [](RoomCommands &r, ProjectSession &) {
            for (int v = 130; v <= 200; v += 10)
                r.setFxShape(1, [v](Rfxshape &s) { s.int5 = v; }, Key);
        });
        row("room shrunk: placements clamped", [](RoomCommands &r, ProjectSession &) {
            QVERIFY(r.setRoomSize(32, 24));
        });
        row("double walkmap", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.setDoubleWalkmap(true)); });
        row("zoom step", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.setZoomStep(7)); });
        row("scroll dragged", [](RoomCommands &r, ProjectSession &) {
            for (int x = 16; x <= 640; x += 16)
                r.setScroll(QPoint(x, 0), Key);
        });
        row("depth line dragged", [](RoomCommands &r, ProjectSession &) {
            for (int row = 10; row <= 14; ++row)
                r.dragDepthLine(1, row, Key);
        });
        row("object depth line", [](RoomCommands &r, ProjectSession &) { r.setObjectDepthLine(3, 12, Key); });
        row("inventory field moved", [](RoomCommands &r, ProjectSession &s) {
            const Rroom &room = s.model().rooms[1];
            const RoomMetrics m = RoomMetrics::of(s.model().settings, &room);
            const roomedit::InventoryDrag drag = roomedit::beginInventoryDrag(room, QPoint(60, 320), m);
            QCOMPARE(drag.zone, roomedit::InventoryZone::Move);
            for (int i = 1; i <= 5; ++i)
                r.dragInventory(drag, QPoint(60 + 7 * i, 320 - 3 * i), Key);
        });
        row("inventory field removed", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.removeInventoryField()); });
        row("inventory field drawn anew", [](RoomCommands &r, ProjectSession &) {
            QVERIFY(r.makeInventoryField(QRect(100, 50, 250, 130)));
        });
        row("cell script pasted", [](RoomCommands &r, ProjectSession &) {
            QPoint marked(5, 20);
            QVERIFY(r.pasteCellScript(marked, QPoint(30, 30)));
        });
        row("cell script created", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.ensureCellScript({40, 10})); });
        row("background removed", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.setBackground({}, false)); });
        row("object locked", [](RoomCommands &r, ProjectSession &) {
            QVERIFY(r.setObject(2, [](Rroomobj &o) { o.flag = true; }));
        });
        row("character turned", [](RoomCommands &r, ProjectSession &) {
            QVERIFY(r.setCharacter(5, [](Rroomchar &c) { c.byteValue = 3; }));
        });
        row("character snapped to the walkmap", [](RoomCommands &r, ProjectSession &) { QVERIFY(r.snapToWalkmap(1)); });
    }

    void undoAndRedoAreByteExact()
    {
        QFETCH(Gesture, gesture);
        Project p;
        RoomCommands room(p.session, p.hall);
        const QByteArray before = savedBytes(p.session);
        gesture(room, p.session);
        p.session.endGesture();
        const QByteArray after = savedBytes(p.session);
        QVERIFY(after != before);
        QCOMPARE(p.session.undoStack()->count(), 1);
        p.session.undoStack()->undo();
        QCOMPARE(savedBytes(p.session), before);
        p.session.undoStack()->redo();
        QCOMPARE(savedBytes(p.session), after);
    }

    void gesturesEndSteps()
    {
        Project p;
        RoomCommands room(p.session, p.hall);
        QUndoStack &stack = *p.session.undoStack();
        // Two drags are two steps, named after what moved.
        room.dragBy(RoomItem::object(2), {5, 0}, Key);
        room.dragBy(RoomItem::object(2), {5, 0}, Key);
        p.session.endGesture();
        room.dragBy(RoomItem::object(2), {0, 5}, Key);
        QCOMPARE(stack.count(), 2);
        QCOMPARE(stack.undoText(), QString("Move lamp"));
        // Another step between ends the merging too.
        room.setZoomStep(5);
        room.dragBy(RoomItem::object(2), {0, 5}, Key);
        QCOMPARE(stack.count(), 4);
        p.session.endGesture();
        // A drag that ends where it began leaves nothing to undo.
        room.dragBy(RoomItem::object(2), {4, 4}, Key);
        room.dragBy(RoomItem::object(2), {-4, -4}, Key);
        p.session.endGesture();
        QCOMPARE(stack.count(), 4);
        // Nothing changed, nothing pushed: a locked placement, a slot without a room.
        room.setObject(2, [](Rroomobj &o) { o.flag = true; });
        p.session.endGesture();
        QVERIFY(!room.dragBy(RoomItem::object(2), {5, 5}, Key));
        RoomCommands none(p.session, 7);
        QVERIFY(!none.setZoomStep(2));
        QVERIFY(!none.setBackground("hall", false));
        QCOMPARE(stack.count(), 5);
    }

    void selectionFollowsItsPlacement_data()
    {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<RoomItem>("selected");
        QTest::addColumn<RoomItem>("after");
        QTest::newRow("unchanged") << Gesture([](RoomCommands &r, ProjectSession &) {
            r.dragBy(RoomItem::object(2), {1, 1}, 0);
        }) << RoomItem::object(2) << RoomItem::object(2);
        QTest::newRow("object moved to the front") << Gesture([](RoomCommands &r, ProjectSession &) {
            r.order(RoomItem::object(2), true);
        }) << RoomItem::object(2) << RoomItem::object(6);
        QTest::newRow("character to the back") << Gesture([](RoomCommands &r, ProjectSession &) {
            r.order(RoomItem::character(4), false);
        }) << RoomItem::character(4) << RoomItem::character(1);
        QTest::newRow("removed") << Gesture([](RoomCommands &r, ProjectSession &) {
            r.remove(RoomItem::object(3));
        }) << RoomItem::object(3) << RoomItem();
        QTest::newRow("depth marker of an object moved back") << Gesture([](RoomCommands &r, ProjectSession &) {
            r.order(RoomItem::object(3), false);
        }) << RoomItem::depthMarker(3) << RoomItem::depthMarker(1);
    }

    void selectionFollowsItsPlacement()
    {
        QFETCH(Gesture, gesture);
        QFETCH(RoomItem, selected);
        QFETCH(RoomItem, after);
        Project p;
        RoomCommands room(p.session, p.hall);
        const QString name = room.placementName(selected);
        QVERIFY(!name.isEmpty());
        gesture(room, p.session);
        QCOMPARE(roompanels::followSelection(p.session.model(), p.hall, selected, name), after);
    }

    void panelsShowThePlacement()
    {
        Project p;
        const ProjectModel &m = p.session.model();
        RoomCommands room(p.session, p.hall);
        room.setObject(4, [](Rroomobj &o) {
            o.state = 14; // beyond the list
            o.flag = true;
        });
        roompanels::PlacementPanel panel = roompanels::placementPanel(m, p.hall, RoomItem::object(4), RoomEditMode::None);
        QCOMPARE(panel.page, roompanels::PlacementPanel::ObjectPage);
        QVERIFY(panel.objectEnabled && !panel.characterEnabled);
        QCOMPARE(panel.objectInstance, QString("sign1"));
        QVERIFY(panel.objectLocked);
        QCOMPARE(panel.layer, 2);
        QCOMPARE(panel.state, 10);
        // "Immovable" is the inverse of the stored "may move".
        room.setCharacter(2, [](Rroomchar &c) { c.flag1 = false; });
        panel = roompanels::placementPanel(m, p.hall, RoomItem::character(2), RoomEditMode::None);
        QCOMPARE(panel.page, roompanels::PlacementPanel::CharacterPage);
        QVERIFY(panel.characterEnabled && panel.immovable && !panel.characterLocked);
        QCOMPARE(panel.direction, 4);
        // Another room's character is not the hall's; FX mode shows the shapes.
        panel = roompanels::placementPanel(m, p.hall, RoomItem::character(6), RoomEditMode::Fx);
        QCOMPARE(panel.page, roompanels::PlacementPanel::FxPage);
        QVERIFY(!panel.characterEnabled);

        roompanels::RoomControls controls = roompanels::roomControls(m, p.hall);
        QVERIFY(controls.enabled);
        QCOMPARE(controls.columns, 64);
        QCOMPARE(controls.rows, 24);
        QCOMPARE(controls.resolution, QString("1280x480"));
        controls = roompanels::roomControls(m, 0);
        QVERIFY(!controls.enabled);
        QCOMPARE(controls.resolution, QString("640x480"));
    }
};

QTEST_MAIN(TestRoomCommands)
#include "tst_roomcommands.moc"
