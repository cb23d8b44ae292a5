#include "project/duplicate.h"
#include "project/messagecatalog.h"
#include "project/poolops.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/recordcompare.h"
#include "support/sampleproject.h"

#include <QTest>

using namespace mb;

namespace {

// Sets the name of slot `slot` of the kind's table.
void setName(ProjectModel &m, int kind, int slot, const QString &name)
{
    switch (kind) {
    case Characters: m.characters[slot].name = name; break;
    case Scripts: m.cutscenes[slot].name = name; break;
    case Items: m.items[slot].name = name; break;
    case Objects: m.objects[slot].name = name; break;
    case Rooms: m.rooms[slot].name = name; break;
    }
}

QString nameOf(const ProjectModel &m, int kind, int slot)
{
    switch (kind) {
    case Characters: return m.characters[slot].name;
    case Scripts: return m.cutscenes[slot].name;
    case Items: return m.items[slot].name;
    case Objects: return m.objects[slot].name;
    case Rooms: return m.rooms[slot].name;
    }
    return {};
}

int tableSize(const ProjectModel &m, int kind)
{
    switch (kind) {
    case Characters: return m.characters.size();
    case Scripts: return m.cutscenes.size();
    case Items: return m.items.size();
    case Objects: return m.objects.size();
    case Rooms: return m.rooms.size();
    }
    return 0;
}

} // namespace

class TestDuplicate : public QObject
{
    Q_OBJECT
private slots:
    void newName_data();
    void newName();
    void scriptCopyIsIndependent();
    void fullTableChangesNothing_data();
    void fullTableChangesNothing();
    void roomCopyHasItsOwnPlacements();
    void characterAndObjectAreFullCopies();
    void refusesFoldersAndRoots();
};

void TestDuplicate::newName_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("others"); // further elements of the kind
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("nameList"); // -1: the kind has none
    QTest::newRow("script") << int(Scripts) << "intro" << QStringList() << "intro1" << int(NameLists::ScriptNames);
    QTest::newRow("script 1 taken in upper case") << int(Scripts) << "intro" << QStringList{"INTRO1"} << "intro2"
                                                  << int(NameLists::ScriptNames);
    QTest::newRow("item 1 and 2 taken") << int(Items) << "key" << QStringList{"Key1", "key2"} << "key3"
                                        << int(NameLists::ItemNames);
    QTest::newRow("character") << int(Characters) << "bob" << QStringList{"BOB1"} << "bob2" << -1;
    QTest::newRow("object") << int(Objects) << "door" << QStringList{"Door1"} << "door2" << -1;
    QTest::newRow("room") << int(Rooms) << "hall" << QStringList{"hall1", "HALL3"} << "hall2" << int(NameLists::RoomNames);
    QTest::newRow("another kind's name does not count")
        << int(Items) << "key" << QStringList() << "key1" << int(NameLists::ItemNames);
}

void TestDuplicate::newName()
{
    QFETCH(int, kind);
    QFETCH(QString, source);
    QFETCH(QStringList, others);
    QFETCH(QString, expected);
    QFETCH(int, nameList);
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    m->cutscenes[3].name = "key1"; // a script with the name an item copy would get
    for (int i = 0; i < others.size(); ++i)
        setName(*m, kind, 10 + i, others[i]);
    const TreeNode *sourceNode = PoolOps::findNode(m->gameTree, source, PoolOps::elementImage(kind));
    QVERIFY(sourceNode);
    const DuplicateResult r = duplicateElement(s, kind, source);
    QVERIFY2(r.ok, qPrintable(r.message.render(cat)));
    QCOMPARE(r.name, expected);
    QVERIFY(s.isModified());
    // The node goes in as a new element's: next to the source, with the kind's image index.
    QVERIFY(r.node);
    QCOMPARE(r.node->text, expected);
    QCOMPARE(r.node->imageIndex, PoolOps::elementImage(kind));
    QCOMPARE(r.node->parent, sourceNode->parent);
    if (nameList >= 0) {
        QVERIFY(m->names[nameList].contains(expected));
        QStringList sorted = m->names[nameList];
        NameLists::sort(sorted);
        QCOMPARE(m->names[nameList], sorted);
    }
    // The first free slot: slot 2 for the kinds whose slot 2 is free in the sample.
    const int expectedSlot = kind == Scripts ? 4 : kind == Rooms ? 3 : 2;
    QCOMPARE(r.slot, expectedSlot);
}

void TestDuplicate::scriptCopyIsIndependent()
{
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    TreeNode *node = PoolOps::findNode(m->gameTree, "intro", nodeimage::Script);
    const DuplicateResult r = duplicateElement(s, node);
    QVERIFY(r.ok);
    Rcutscene &copy = m->cutscenes[r.slot];
    QCOMPARE(copy.name, QStringLiteral("intro1"));
    QCOMPARE(copy.script, m->cutscenes[1].script);
    QCOMPARE(s.current().scriptKey, QStringLiteral("0intro1"));
    copy.script[0] = "changed";
    copy.script << "added";
    QCOMPARE(m->cutscenes[1].script.size(), 3);
    QCOMPARE(m->cutscenes[1].script[0], QStringLiteral("speech(self;Grüße, café ½ – \u20AC)"));
}

void TestDuplicate::fullTableChangesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("message");
    QTest::newRow("scripts") << int(Scripts) << "intro" << 141;
    QTest::newRow("items") << int(Items) << "key" << 142;
    QTest::newRow("characters") << int(Characters) << "bob" << 143;
    QTest::newRow("objects") << int(Objects) << "door" << 144;
    QTest::newRow("rooms") << int(Rooms) << "hall" << 145;
}

void TestDuplicate::fullTableChangesNothing()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(int, message);
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    for (int slot = 1; slot <= tableSize(*m, kind); ++slot)
        if (nameOf(*m, kind, slot).isEmpty())
            setName(*m, kind, slot, QStringLiteral("filler%1").arg(slot));
    const CompanionFiles before = writeCompanionFiles(*m);
    const QString key = s.current().scriptKey;
    const DuplicateResult r = duplicateElement(s, kind, name);
    QVERIFY(!r.ok);
    QCOMPARE(r.message.number(), message);
    QCOMPARE(r.message.render(cat), cat.msg(message));
    QCOMPARE(writeCompanionFiles(*m).files, before.files);
    QCOMPARE(s.current().scriptKey, key);
    QVERIFY(!s.isModified());
}

void TestDuplicate::roomCopyHasItsOwnPlacements()
{
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    Rroom &hall = m->rooms[1];
    hall.objects[1] = hall.objects[0];
    hall.objects[1].instanceName = "lamp";
    // Names the copies would take are in use elsewhere, in another case.
    m->rooms[2].objects[0].instanceName = "DOOR11";
    m->rooms[2].objects[0].objectName = "door";
    m->names[NameLists::ObjectInstances] = QStringList{"DOOR11", "door1", "lamp"};
    const DuplicateResult r = duplicateElement(s, Rooms, "hall");
    QVERIFY2(r.ok, qPrintable(r.message.render(cat)));
    const Rroom &copy = m->rooms[r.slot];
    QCOMPARE(copy.name, QStringLiteral("hall1"));
    QCOMPARE(copy.objects[0].instanceName, QStringLiteral("door12"));
    QCOMPARE(copy.objects[1].instanceName, QStringLiteral("lamp1"));
    QCOMPARE(copy.objects[0].script, hall.objects[0].script);
    QCOMPARE(copy.objects[0].objectName, QStringLiteral("door"));
    QCOMPARE(hall.objects[0].instanceName, QStringLiteral("door1"));
    QCOMPARE(m->names[NameLists::ObjectInstances], QStringList({"door1", "DOOR11", "door12", "lamp", "lamp1"}));
    // Everything else of the room is the same: walkmap with its cell scripts, shapes, scripts.
    Rroom renamed = copy;
    renamed.name = hall.name;
    for (int i = 0; i < 2; ++i)
        renamed.objects[i].instanceName = hall.objects[i].instanceName;
    MB_COMPARE_RECORDS(renamed, hall);
    m->rooms[r.slot].walkmap.script(150, 90) << "changed";
    QCOMPARE(hall.walkmap.script(150, 90).size(), 2);
    // Character placements stay with the source room; the copy sits in the source's folder.
    QCOMPARE(m->roomChars.usedCount(), 1);
    QCOMPARE(r.node->parent->text, QStringLiteral("ground floor"));
    QVERIFY(m->names[NameLists::RoomNames].contains("hall1"));
}

void TestDuplicate::characterAndObjectAreFullCopies()
{
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    DuplicateResult r = duplicateElement(s, Characters, "bob");
    QVERIFY(r.ok);
    Rcharacter c = m->characters[r.slot];
    c.name = "bob";
    MB_COMPARE_RECORDS(c, m->characters[1]);
    m->characters[r.slot].frames[35][29].image = "other";
    QCOMPARE(m->characters[1].frames[35][29].image, QStringLiteral("bob_walk"));

    r = duplicateElement(s, Objects, "door");
    QVERIFY(r.ok);
    Robj o = m->objects[r.slot];
    o.name = "door";
    MB_COMPARE_RECORDS(o, m->objects[1]);
}

void TestDuplicate::refusesFoldersAndRoots()
{
    MessageCatalog cat;
    ProjectSession s(cat);
    s.replace(testing::sampleProject(cat));
    auto *m = testing::writable(s);
    const CompanionFiles before = writeCompanionFiles(*m);
    TreeNode *folder = PoolOps::findNode(m->gameTree, "ground floor", nodeimage::Folder);
    QVERIFY(folder);
    QVERIFY(!duplicateElement(s, folder).ok);
    QVERIFY(!duplicateElement(s, m->gameTree.root(Rooms)).ok);
    QVERIFY(!duplicateElement(s, Rooms, "nowhere").ok);
    QCOMPARE(writeCompanionFiles(*m).files, before.files);
}

QTEST_GUILESS_MAIN(TestDuplicate)
#include "tst_duplicate.moc"
