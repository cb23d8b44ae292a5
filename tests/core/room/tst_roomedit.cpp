// Placing, moving, ordering and removing objects and characters in a room, the depth lines and
// the inventory field, on a small project built here (no files).
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "room/roomedit.h"

#include <QTest>

using namespace mb;

namespace {

// A 640 x 480 game with the room "hall" (two screens wide, one high) in slot 1, "attic" in slot
// 2, a door object 100 x 40 and a character 20 x 40 whose foot is at (10, 39).
std::unique_ptr<ProjectModel> project()
{
    auto m = std::make_unique<ProjectModel>();
    m->allesneu(MessageCatalog());
    Robj &door = m->objects[1];
    door.name = "Door";
    door.width = 100;
    door.height = 40;
    Rcharacter &bob = m->characters[1];
    bob.name = "bob";
    for (int s : {0, 1, 2, 3, 32}) {
        bob.width[s] = 20;
        bob.height[s] = 40;
        bob.footX[s] = 10;
        bob.footY[s] = 39;
    }
    for (const char *name : {"hall", "attic"}) {
        Rroom &r = m->rooms[m->rooms.firstFree()];
        r.name = name;
        r.width = 1280;
        r.height = 480;
        r.zoomTop = 10;
        r.zoomBottom = 20;
    }
    return m;
}

Rroomobj &putObject(ProjectModel &m, int room, int slot, const QString &instance, int x = 50, int y = 50)
{
    Rroomobj &o = m.rooms[room].objects[slot - 1];
    o.objectName = "Door";
    o.instanceName = instance;
    o.x = x;
    o.y = y;
    o.byteValue = 2;
    o.state = 1;
    o.script = {"; " + instance};
    return o;
}

Rroomchar &putCharacter(ProjectModel &m, int entry, const QString &instance, const QString &room = "hall")
{
    Rroomchar &c = m.roomChars[entry];
    c.characterName = "bob";
    c.instanceName = instance;
    c.roomName = room;
    c.x = 100;
    c.y = 100;
    c.byteValue = 1;
    c.flag1 = true;
    c.script = {"; " + instance};
    return c;
}

QStringList objectOrder(const Rroom &r)
{
    QStringList names;
    for (const Rroomobj &o : r.objects)
        names << o.instanceName;
    while (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

QStringList characterOrder(const ProjectModel &m)
{
    QStringList names;
    for (const Rroomchar &c : m.roomChars)
        names << c.instanceName;
    while (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

} // namespace

class TestRoomEdit : public QObject
{
    Q_OBJECT

private slots:
    void instanceNamesAreUnique_data()
    {
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << QStringList() << "Door";
        QTest::newRow("Door and Door1 give Door2") << QStringList{"Door", "Door1"} << "Door2";
        QTest::newRow("letter case ignored") << QStringList{"DOOR"} << "Door1";
        QTest::newRow("a gap is used") << QStringList{"Door", "Door2"} << "Door1";
        QTest::newRow("other names do not count") << QStringList{"Doorway", "Door10"} << "Door";
    }
    void instanceNamesAreUnique()
    {
        QFETCH(QStringList, placed);
        QFETCH(QString, expected);
        auto m = project();
        // Half in another room: the names are unique across the project.
        for (int i = 0; i < placed.size(); ++i)
            putObject(*m, 1 + i % 2, i / 2 + 1, placed[i]);
        QCOMPARE(roomedit::uniqueObjectInstanceName(*m, "Door"), expected);
        for (int i = 0; i < placed.size(); ++i)
            putCharacter(*m, 10 + i, placed[i], i % 2 ? "attic" : "hall");
        QCOMPARE(roomedit::uniqueCharacterInstanceName(*m, "Door"), expected);
    }

    void placingAnObject()
    {
        auto m = project();
        putObject(*m, 1, 1, "Door");
        putObject(*m, 1, 2, "Door1");
        const int slot = roomedit::placeObject(*m, 1, "Door", QPoint(300, 115));
        QCOMPARE(slot, 3);
        const Rroomobj &o = m->rooms[1].objects[2];
        QCOMPARE(o.instanceName, QString("Door2"));
        QCOMPARE(o.objectName, QString("Door"));
        QCOMPARE(QPoint(o.x, o.y), QPoint(300, 115));
        QCOMPARE(o.byteValue, uint8_t(2)); // Front
        QCOMPARE(o.state, uint8_t(1));
        QVERIFY(!o.flag);
        QVERIFY(o.script.isEmpty());
        QCOMPARE(o.depthLine, 115 / 20 + 1);
        QVERIFY(m->names[NameLists::ObjectInstances].contains("Door2"));
        // Dropped into the top row the depth line is 1, not 0.
        QCOMPARE(m->rooms[1].objects[roomedit::placeObject(*m, 1, "Door", QPoint(5, 7)) - 1].depthLine, 1);

        // A full room takes nothing.
        for (int s = 1; s <= Rroom::Placements; ++s)
            if (m->rooms[1].objects[s - 1].instanceName.isEmpty())
                putObject(*m, 1, s, "x" + QString::number(s));
        const Rroom before = m->rooms[1];
        QCOMPARE(roomedit::placeObject(*m, 1, "Door", QPoint(1, 1)), 0);
        QVERIFY(m->rooms[1] == before);
    }

    void placingACharacter()
    {
        auto m = project();
        putCharacter(*m, 1, "bob", "attic");
        const int entry = roomedit::placeCharacter(*m, 1, "bob", QPoint(40, 60));
        QCOMPARE(entry, 2);
        const Rroomchar &c = m->roomChars[2];
        QCOMPARE(c.instanceName, QString("bob1"));
        QCOMPARE(c.roomName, QString("hall"));
        QCOMPARE(QPoint(c.x, c.y), QPoint(40, 60));
        QCOMPARE(c.byteValue, uint8_t(1));
        QVERIFY(c.flag1);  // may move
        QVERIFY(!c.flag2); // not locked
        QVERIFY(m->names[NameLists::CharacterInstances].contains("bob1"));
        for (int e = 3; e <= m->roomChars.size(); ++e)
            putCharacter(*m, e, "c" + QString::number(e));
        QCOMPARE(roomedit::placeCharacter(*m, 1, "bob", QPoint(1, 1)), 0);
    }

    void removingKeepsTheOrderOfTheRest()
    {
        auto m = project();
        for (int s = 1; s <= 5; ++s)
            putObject(*m, 1, s, "o" + QString::number(s));
        m->names[NameLists::ObjectInstances] << "o1" << "o2" << "o3" << "o4" << "o5";
        QVERIFY(roomedit::remove(*m, 1, RoomItem::object(3)));
        QCOMPARE(objectOrder(m->rooms[1]), (QStringList{"o1", "o2", "o4", "o5"}));
        // Each script went with its placement; the freed slot is empty.
        QCOMPARE(m->rooms[1].objects[2].script, QStringList{"; o4"});
        QVERIFY(m->rooms[1].objects[4] == Rroomobj());
        QCOMPARE(m->names[NameLists::ObjectInstances], (QStringList{"o1", "o2", "o4", "o5"}));
        QVERIFY(!roomedit::remove(*m, 1, RoomItem::object(5)));

        // Characters share one table with other rooms; they keep their order too.
        putCharacter(*m, 1, "a");
        putCharacter(*m, 2, "b", "attic");
        putCharacter(*m, 3, "c");
        putCharacter(*m, 4, "d", "attic");
        QVERIFY(!roomedit::remove(*m, 1, RoomItem::character(2))); // not in this room
        QVERIFY(roomedit::remove(*m, 1, RoomItem::character(1)));
        QCOMPARE(characterOrder(*m), (QStringList{"b", "c", "d"}));
        QCOMPARE(m->roomChars[2].script, QStringList{"; c"});
    }

    void ordering_data()
    {
        QTest::addColumn<bool>("front");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("now");
        QTest::newRow("to back") << false << 3 << QStringList{"c", "a", "b", "d"} << 1;
        QTest::newRow("to front") << true << 2 << QStringList{"a", "c", "d", "b"} << 4;
        QTest::newRow("front stays") << true << 4 << QStringList{"a", "b", "c", "d"} << 4;
        QTest::newRow("back stays") << false << 1 << QStringList{"a", "b", "c", "d"} << 1;
    }
    void ordering()
    {
        QFETCH(bool, front);
        QFETCH(int, slot);
        QFETCH(int, now);
        auto m = project();
        for (int s = 1; s <= 4; ++s)
            putObject(*m, 1, s, QString(QChar('a' + s - 1)));
        const RoomItem moved = front ? roomedit::toFront(*m, 1, RoomItem::object(slot))
                                     : roomedit::toBack(*m, 1, RoomItem::object(slot));
        QTEST(objectOrder(m->rooms[1]), "order");
        QCOMPARE(moved, RoomItem::object(now));

        for (int e = 1; e <= 4; ++e)
            putCharacter(*m, e, QString(QChar('a' + e - 1)));
        const RoomItem movedChar = front ? roomedit::toFront(*m, 1, RoomItem::character(slot))
                                         : roomedit::toBack(*m, 1, RoomItem::character(slot));
        QTEST(characterOrder(*m), "order");
        QCOMPARE(movedChar, RoomItem::character(now));
    }

    void arrowKeys_data()
    {
        QTest::addColumn<bool>("character");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("end");
        const int left = int(roomedit::ArrowKey::Left), up = int(roomedit::ArrowKey::Up),
                  right = int(roomedit::ArrowKey::Right), down = int(roomedit::ArrowKey::Down);
        QTest::newRow("locked object") << false << true << QPoint(50, 50) << right << QPoint(50, 50);
        QTest::newRow("locked character") << true << true << QPoint(50, 50) << down << QPoint(50, 50);
        QTest::newRow("right") << false << false << QPoint(1269, 50) << right << QPoint(1270, 50);
        QTest::newRow("right stops at width - 10") << false << false << QPoint(1270, 50) << right << QPoint(1270, 50);
        QTest::newRow("down stops at height - 10") << true << false << QPoint(5, 470) << down << QPoint(5, 470);
        QTest::newRow("left stops at 0") << false << false << QPoint(0, 5) << left << QPoint(0, 5);
        QTest::newRow("up") << true << false << QPoint(0, 5) << up << QPoint(0, 4);
        QTest::newRow("hanging over the left edge") << false << false << QPoint(-30, 5) << left << QPoint(-30, 5);
    }
    void arrowKeys()
    {
        QFETCH(bool, character);
        QFETCH(bool, locked);
        QFETCH(QPoint, start);
        QFETCH(int, key);
        QFETCH(QPoint, end);
        auto m = project();
        RoomItem item;
        int *x, *y;
        if (character) {
            Rroomchar &c = putCharacter(*m, 1, "bob");
            c.flag2 = locked;
            x = &c.x, y = &c.y;
            item = RoomItem::character(1);
        } else {
            Rroomobj &o = putObject(*m, 1, 1, "Door");
            o.flag = locked;
            x = &o.x, y = &o.y;
            item = RoomItem::object(1);
        }
        *x = start.x(), *y = start.y();
        QCOMPARE(roomedit::nudge(*m, 1, item, roomedit::ArrowKey(key)), start != end);
        QCOMPARE(QPoint(*x, *y), end);
    }

    void mouseDragLimits_data()
    {
        QTest::addColumn<bool>("character");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QPoint>("end");
        // The door is 100 x 40: 10 pixels of it stay in the room.
        QTest::newRow("object left to -89") << false << QPoint(-88, 50) << QPoint(-1, 0) << QPoint(-89, 50);
        QTest::newRow("object stops before -90") << false << QPoint(-89, 50) << QPoint(-1, 3) << QPoint(-89, 53);
        QTest::newRow("a refused step is not shortened") << false << QPoint(-80, 50) << QPoint(-15, 0) << QPoint(-80, 50);
        QTest::newRow("object top to -29") << false << QPoint(0, -25) << QPoint(0, -4) << QPoint(0, -29);
        QTest::newRow("object top stops before -30") << false << QPoint(0, -29) << QPoint(0, -1) << QPoint(0, -29);
        QTest::newRow("object right stops before width - 10") << false << QPoint(1268, 0) << QPoint(2, 0) << QPoint(1268, 0);
        QTest::newRow("character not left of 0") << true << QPoint(2, 50) << QPoint(-3, 0) << QPoint(2, 50);
        QTest::newRow("character to 0") << true << QPoint(2, 50) << QPoint(-2, 1) << QPoint(0, 51);
        QTest::newRow("character bottom") << true << QPoint(2, 468) << QPoint(0, 2) << QPoint(2, 468);
    }
    void mouseDragLimits()
    {
        QFETCH(bool, character);
        QFETCH(QPoint, start);
        QFETCH(QPoint, delta);
        QFETCH(QPoint, end);
        auto m = project();
        int *x, *y;
        RoomItem item;
        if (character) {
            Rroomchar &c = putCharacter(*m, 1, "bob");
            x = &c.x, y = &c.y;
            item = RoomItem::character(1);
        } else {
            Rroomobj &o = putObject(*m, 1, 1, "Door");
            x = &o.x, y = &o.y;
            item = RoomItem::object(1);
        }
        *x = start.x(), *y = start.y();
        QCOMPARE(roomedit::dragBy(*m, 1, item, delta.x(), delta.y()), start != end);
        QCOMPARE(QPoint(*x, *y), end);

        // Locked, nothing moves.
        if (character)
            m->roomChars[1].flag2 = true;
        else
            m->rooms[1].objects[0].flag = true;
        QVERIFY(!roomedit::dragBy(*m, 1, item, 0, -1));
    }

    void pageKeysCycle()
    {
        auto m = project();
        putCharacter(*m, 2, "c2");
        putCharacter(*m, 3, "elsewhere", "attic");
        putCharacter(*m, 5, "c5");
        putObject(*m, 1, 1, "o1");
        putObject(*m, 1, 2, "o2");
        const QList<RoomItem> ring{RoomItem::character(2), RoomItem::character(5), RoomItem::object(1),
                                   RoomItem::object(2)};
        for (int i = 0; i < ring.size(); ++i) {
            QCOMPARE(roomedit::cycleSelection(*m, 1, ring[i], true), ring[(i + 1) % ring.size()]);
            QCOMPARE(roomedit::cycleSelection(*m, 1, ring[(i + 1) % ring.size()], false), ring[i]);
        }
        // Only objects, only characters, nothing.
        QCOMPARE(roomedit::cycleSelection(*m, 2, RoomItem::character(3), true), RoomItem::character(3));
        m->roomChars[3] = Rroomchar();
        QCOMPARE(roomedit::cycleSelection(*m, 2, RoomItem(), true), RoomItem());
    }

    void depthLines_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        // Lines at rows 10 and 20 of a room 24 rows high.
        QTest::newRow("line 1 up to row 1") << 1 << 1 << 1 << 20;
        QTest::newRow("line 1 not to row 0") << 1 << 0 << 10 << 20;
        QTest::newRow("line 1 not onto line 2") << 1 << 20 << 10 << 20;
        QTest::newRow("line 1 just above line 2") << 1 << 19 << 19 << 20;
        QTest::newRow("line 2 just below line 1") << 2 << 11 << 10 << 11;
        QTest::newRow("line 2 not onto line 1") << 2 << 10 << 10 << 20;
        QTest::newRow("line 2 to the last row") << 2 << 23 << 10 << 23;
        QTest::newRow("line 2 not below the room") << 2 << 24 << 10 << 20;
    }
    void depthLines()
    {
        QFETCH(int, line);
        QFETCH(int, row);
        auto m = project();
        Rroom &r = m->rooms[1];
        const RoomMetrics metrics = RoomMetrics::of(m->settings, &r);
        QCOMPARE(roomedit::depthLineAt(r, 10), 1);
        QCOMPARE(roomedit::depthLineAt(r, 20), 2);
        QCOMPARE(roomedit::depthLineAt(r, 15), 0);
        roomedit::dragDepthLine(r, line, row, metrics);
        QTEST(r.zoomTop, "top");
        QTEST(r.zoomBottom, "bottom");
    }

    void depthRowsOfTheMouse_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("row");
        QTest::newRow("640: just above a line") << 0 << 190 << 10;
        QTest::newRow("640: half a row below") << 0 << 209 << 10;
        QTest::newRow("640: nearer the next") << 0 << 210 << 11;
        QTest::newRow("320 (halved already)") << 2 << 45 << 5;
        QTest::newRow("320: nearer the next") << 2 << 55 << 6;
        QTest::newRow("1024") << 4 << 16 << 1;
    }
    void depthRowsOfTheMouse()
    {
        QFETCH(int, choice);
        QFETCH(int, y);
        GameSettings s;
        s.setResolutionChoice(choice);
        QTEST(roomedit::depthRowAt(y, RoomMetrics::of(s)), "row");
    }

    void objectDepthMarker()
    {
        auto m = project();
        putObject(*m, 1, 1, "Door").depthLine = 5;
        Rroom &r = m->rooms[1];
        const RoomMetrics metrics = RoomMetrics::of(m->settings, &r);
        QVERIFY(roomedit::setObjectDepthLine(r, 1, 12, metrics));
        QCOMPARE(r.objects[0].depthLine, 12);
        QVERIFY(roomedit::setObjectDepthLine(r, 1, -3, metrics));
        QCOMPARE(r.objects[0].depthLine, 1);
        QVERIFY(roomedit::setObjectDepthLine(r, 1, 99, metrics));
        QCOMPARE(r.objects[0].depthLine, 24); // the room's last row
        QVERIFY(!roomedit::setObjectDepthLine(r, 2, 3, metrics)); // an empty slot
    }

    void inventoryZones_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("zone");
        // A field at (100, 100) of 3 x 2 slots at scale 1: 180 x 120 pixels of slots.
        QTest::newRow("inside") << QPoint(150, 150) << int(roomedit::InventoryZone::Move);
        QTest::newRow("on the left edge") << QPoint(100, 150) << int(roomedit::InventoryZone::None);
        QTest::newRow("corner grip") << QPoint(305, 215) << int(roomedit::InventoryZone::Grid);
        QTest::newRow("bottom bar over the field") << QPoint(200, 215) << int(roomedit::InventoryZone::VerticalScale);
        QTest::newRow("bottom bar below") << QPoint(200, 222) << int(roomedit::InventoryZone::VerticalScale);
        QTest::newRow("right bar") << QPoint(300, 160) << int(roomedit::InventoryZone::HorizontalScale);
        QTest::newRow("outside") << QPoint(50, 50) << int(roomedit::InventoryZone::None);
    }
    void inventoryZones()
    {
        QFETCH(QPoint, point);
        auto m = project();
        Rroom &r = m->rooms[1];
        r.flag2 = true;
        r.values = {100, 100, 3, 2};
        const RoomMetrics metrics = RoomMetrics::of(m->settings, &r);
        QTEST(int(roomedit::inventoryZoneAt(r, point, metrics)), "zone");
        r.flag2 = false;
        QCOMPARE(roomedit::inventoryZoneAt(r, point, metrics), roomedit::InventoryZone::None);
    }

    void inventoryDrags_data()
    {
        QTest::addColumn<QPoint>("grab");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<double>("hScale");
        QTest::addColumn<double>("vScale");
        QTest::newRow("move") << QPoint(150, 150) << QPoint(170, 140) << QList<int>{120, 90, 3, 2} << 1.0 << 1.0;
        QTest::newRow("move stops at 0") << QPoint(150, 150) << QPoint(0, 0) << QList<int>{0, 0, 3, 2} << 1.0 << 1.0;
        QTest::newRow("move stops 10 before the edge") << QPoint(150, 150) << QPoint(5000, 5000)
                                                       << QList<int>{1270, 470, 3, 2} << 1.0 << 1.0;
        QTest::newRow("grid: less than a step") << QPoint(305, 215) << QPoint(364, 274) << QList<int>{100, 100, 3, 2} << 1.0 << 1.0;
        QTest::newRow("grid: one step each") << QPoint(305, 215) << QPoint(365, 275) << QList<int>{100, 100, 4, 3} << 1.0 << 1.0;
        QTest::newRow("grid: at most 10 x 7") << QPoint(305, 215) << QPoint(2000, 2000) << QList<int>{100, 100, 10, 7} << 1.0 << 1.0;
        QTest::newRow("grid: at least 1 x 1") << QPoint(305, 215) << QPoint(0, 0) << QList<int>{100, 100, 1, 1} << 1.0 << 1.0;
        QTest::newRow("vertical scale") << QPoint(200, 222) << QPoint(300, 272) << QList<int>{100, 100, 3, 2} << 1.0 << 1.2;
        QTest::newRow("vertical scale at most 1.25") << QPoint(200, 222) << QPoint(200, 400) << QList<int>{100, 100, 3, 2} << 1.0 << 1.25;
        QTest::newRow("horizontal scale at least 0.66") << QPoint(300, 160) << QPoint(0, 160) << QList<int>{100, 100, 3, 2} << 0.66 << 1.0;
    }
    void inventoryDrags()
    {
        QFETCH(QPoint, grab);
        QFETCH(QPoint, to);
        QFETCH(QList<int>, values);
        QFETCH(double, hScale);
        QFETCH(double, vScale);
        auto m = project();
        Rroom &r = m->rooms[1];
        r.flag2 = true;
        r.values = {100, 100, 3, 2};
        const RoomMetrics metrics = RoomMetrics::of(m->settings, &r);
        const roomedit::InventoryDrag drag = roomedit::beginInventoryDrag(r, grab, metrics);
        // Intermediate points do not add up: the result follows the last point.
        roomedit::applyInventoryDrag(r, drag, grab + QPoint(37, -23), metrics);
        roomedit::applyInventoryDrag(r, drag, to, metrics);
        QCOMPARE(QList<int>(r.values.begin(), r.values.end()), values);
        QCOMPARE(r.factors[0], hScale);
        QCOMPARE(r.factors[1], vScale);
    }

    void newInventoryField_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QRect>("band");
        QTest::addColumn<bool>("made");
        QTest::addColumn<QSize>("grid");
        QTest::newRow("120 x 100 gives 1 x 1") << 0 << QRect(40, 30, 120, 100) << true << QSize(1, 1);
        QTest::newRow("too narrow") << 0 << QRect(40, 30, 84, 100) << false << QSize();
        QTest::newRow("too low") << 0 << QRect(40, 30, 300, 59) << false << QSize();
        QTest::newRow("at most 10 x 7") << 0 << QRect(0, 0, 1200, 470) << true << QSize(10, 7);
        QTest::newRow("320 wide") << 2 << QRect(10, 10, 95, 70) << true << QSize(2, 2);
    }
    void newInventoryField()
    {
        QFETCH(int, choice);
        QFETCH(QRect, band);
        QFETCH(bool, made);
        QFETCH(QSize, grid);
        auto m = project();
        m->settings.setResolutionChoice(choice);
        Rroom &r = m->rooms[1];
        r.factors = {0.8, 1.1};
        QCOMPARE(roomedit::makeInventoryField(r, band, RoomMetrics::of(m->settings, &r)), made);
        QCOMPARE(r.flag2, made);
        if (made) {
            QCOMPARE(QList<int>(r.values.begin(), r.values.end()),
                     (QList<int>{band.left(), band.top(), grid.width(), grid.height()}));
            QCOMPARE(r.factors[0], 1.0);
            QCOMPARE(r.factors[1], 1.0);
        }
    }

    void snapToWalkmap_data()
    {
        QTest::addColumn<bool>("doubleWalkmap");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("end");
        // The foot (10, 39) lands on the centre of its cell of 20 (10 with the double walkmap).
        QTest::newRow("single") << false << 1 << QPoint(100, 170) << QPoint(100, 171);
        QTest::newRow("double") << true << 1 << QPoint(100, 170) << QPoint(105, 166);
        QTest::newRow("already centred") << false << 1 << QPoint(100, 171) << QPoint(100, 171);
        QTest::newRow("left with own frames") << false << 4 << QPoint(100, 170) << QPoint(97, 171);
    }
    void snapToWalkmap()
    {
        QFETCH(bool, doubleWalkmap);
        QFETCH(int, direction);
        QFETCH(QPoint, start);
        QFETCH(QPoint, end);
        auto m = project();
        m->rooms[1].flag1 = doubleWalkmap;
        Rcharacter &bob = m->characters[1];
        bob.leftani = true;
        bob.footX[32] = 13; // "Stand Left" has its own foot point
        Rroomchar &c = putCharacter(*m, 1, "bob");
        c.byteValue = uint8_t(direction);
        c.x = start.x(), c.y = start.y();
        QCOMPARE(roomedit::snapToWalkmap(*m, 1, 1), start != end);
        QCOMPARE(QPoint(c.x, c.y), end);
    }

    void removalQuestion()
    {
        auto m = project();
        putObject(*m, 1, 1, "Door");
        putCharacter(*m, 1, "bob");
        QCOMPARE(roomedit::removalQuestion(*m, 1, RoomItem::object(1), MessageCatalog()),
                 QString("Delete the Object \"Door\" from your room?"));
        QCOMPARE(roomedit::removalQuestion(*m, 1, RoomItem::character(1), MessageCatalog("DE")),
                 QString("Soll der Charakter \"bob\" aus dem Raum gelöscht werden?"));
    }
};

QTEST_GUILESS_MAIN(TestRoomEdit)
#include "tst_roomedit.moc"
