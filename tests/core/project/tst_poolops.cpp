#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/poolops.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace mb;

namespace {

// A fresh project; the tables are large, so each test builds one on the heap.
struct Fixture
{
    MessageCatalog catalog;
    ProjectSession session{catalog};
    // The session's project, written directly only to prepare it for the operation under test.
    ProjectModel *model = const_cast<ProjectModel *>(&session.model());
    PoolOps ops{session};

    TreeNode *gameRoot(int kind) const { return model->gameTree.root(kind); }
    TreeNode *mediaRoot(int kind) const { return model->mediaTree.root(kind); }
    // An element the way the editor makes one: record, name list entry and node.
    TreeNode *element(int kind, TreeNode *folder = nullptr)
    {
        PoolResult r = ops.insertElement(kind, folder ? folder : gameRoot(kind));
        return r.node;
    }
    TreeNode *folder(TreeNode *under, const QString &name)
    {
        TreeNode *f = ops.newFolder(treeOf(under), under).node;
        f->text = name;
        return f;
    }
    ProjectTree &treeOf(const TreeNode *n) const
    {
        return model->mediaTree.topIndex(n) >= 0 ? model->mediaTree : model->gameTree;
    }
};

QStringList childTexts(const TreeNode *n)
{
    QStringList out;
    for (const auto &c : n->children)
        out << c->text;
    return out;
}

// A PNG header with the given colour type, enough for the colour check.
void writePngHeader(const QString &path, int colourType)
{
    QImage img(2, 2, colourType == 6 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(path, "PNG"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    bytes[25] = char(colourType); // the IHDR colour type; the CRC is not checked by the editor
    f.seek(0);
    f.write(bytes);
}

} // namespace

class TestPoolOps : public QObject
{
    Q_OBJECT
private slots:
    void newNameSkipsNamesInUse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rooms any case") << int(Rooms) << QStringList{"Room1", "room2"} << "Room3";
        QTest::newRow("gap is not filled") << int(Rooms) << QStringList{"Room2"} << "Room1";
        QTest::newRow("items") << int(Items) << QStringList{"ITEM1"} << "Item2";
        QTest::newRow("scripts, other kind's name") << int(Scripts) << QStringList{} << "Script1";
        QTest::newRow("characters") << int(Characters) << QStringList{"Character1", "character3"} << "Character2";
        QTest::newRow("objects") << int(Objects) << QStringList{"object1"} << "Object2";
    }
    void newNameSkipsNamesInUse()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        Fixture f;
        // Names in the tables count, whatever the tree shows.
        for (int i = 0; i < existing.size(); ++i) {
            switch (kind) {
            case Rooms: f.model->rooms[i + 1].name = existing[i]; break;
            case Items: f.model->items[i + 1].name = existing[i]; break;
            case Characters: f.model->characters[i + 1].name = existing[i]; break;
            case Objects: f.model->objects[i + 1].name = existing[i]; break;
            default: f.model->cutscenes[i + 1].name = existing[i]; break;
            }
        }
        f.model->items[50].name = "Script1"; // another kind's name does not count
        const PoolResult r = f.ops.insertElement(kind, nullptr);
        QVERIFY(r.ok);
        QCOMPARE(r.node->text, expected);
        QCOMPARE(r.node->imageIndex, PoolOps::elementImage(kind));
        QCOMPARE(r.slot, int(existing.size()) + 1);
        // The counter moved on: the next element gets the next number.
        const QString next = f.ops.insertElement(kind, nullptr).node->text;
        QVERIFY(next != expected);
        QVERIFY(next.startsWith(expected.left(expected.size() - 1)));
    }

    void insertGoesIntoSelectedFolderOfItsKind()
    {
        Fixture f;
        TreeNode *roomFolder = f.folder(f.gameRoot(Rooms), "cellar");
        TreeNode *inFolder = f.element(Rooms, roomFolder);
        QCOMPARE(inFolder->parent, roomFolder);
        // An element selected: its folder is used.
        TreeNode *second = f.ops.insertElement(Rooms, inFolder).node;
        QCOMPARE(second->parent, roomFolder);
        // A selection under another root: the kind's own root.
        TreeNode *item = f.ops.insertElement(Items, roomFolder).node;
        QCOMPARE(item->parent, f.gameRoot(Items));
        QCOMPARE(childTexts(roomFolder), QStringList({"Room1", "Room2"}));
        QCOMPARE(f.model->names[NameLists::RoomNames], QStringList({"last", "Room1", "Room2"}));
        QCOMPARE(f.model->names[NameLists::ItemNames], QStringList({"Item1"}));
        QVERIFY(f.session.isModified());
    }

    void fullTableGivesLimitMessage_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("message");
        QTest::newRow("characters") << int(Characters) << 143;
        QTest::newRow("scripts") << int(Scripts) << 141;
        QTest::newRow("items") << int(Items) << 142;
        QTest::newRow("objects") << int(Objects) << 144;
        QTest::newRow("rooms") << int(Rooms) << 145;
    }
    void fullTableGivesLimitMessage()
    {
        QFETCH(int, kind);
        QFETCH(int, message);
        Fixture f;
        auto fill = [](auto &table) {
            for (int i = 1; i <= table.size(); ++i)
                table[i].name = QStringLiteral("e%1").arg(i);
        };
        switch (kind) {
        case Characters: fill(f.model->characters); break;
        case Scripts: fill(f.model->cutscenes); break;
        case Items: fill(f.model->items); break;
        case Objects: fill(f.model->objects); break;
        default: fill(f.model->rooms); break;
        }
        const PoolResult r = f.ops.insertElement(kind, nullptr);
        QVERIFY(!r.ok);
        QCOMPARE(r.message.icon(), Message::Error);
        QCOMPARE(r.message.number(), message);
        QCOMPARE(r.message.render(f.catalog), f.catalog.msg(message));
        QCOMPARE(r.message.caption(), 366);
        QVERIFY(f.gameRoot(kind)->children.empty());
        QVERIFY(!f.session.isModified());
    }

    void newRoomHasItsDefaults_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("shape2"); // corner x1, x2, y1, y3, drag x, drag y
        QTest::newRow("640") << 0 << 640 << QList<int>{210, 310, 100, 200, 260, 150};
        QTest::newRow("320x200") << 1 << 320 << QList<int>{104, 154, 50, 100, 129, 75};
    }
    void newRoomHasItsDefaults()
    {
        QFETCH(int, resolution);
        QFETCH(int, width);
        QFETCH(QList<int>, shape2);
        Fixture f;
        f.model->settings.setResolutionChoice(resolution);
        // A slot left over from a deleted room must not leak into the new one.
        f.model->rooms[1].scrollX = 77;
        f.model->rooms[1].script = QStringList{"old"};
        const PoolResult r = f.ops.insertElement(Rooms, nullptr);
        const Rroom &room = f.model->rooms[r.slot];
        QCOMPARE(r.slot, 1);
        QCOMPARE(room.width, width);
        QCOMPARE(room.height, f.model->settings.gameHeight);
        QCOMPARE(room.scrollX, 0);
        QVERIFY(room.script.isEmpty());
        QCOMPARE(room.zoomTop, 5);
        QCOMPARE(room.zoomBottom, 10);
        QCOMPARE(room.zoomStep, 3);
        QVERIFY(room.walkmap.blocked(1, 1) && room.walkmap.blocked(192, 96));
        const Rfxshape &s = room.fx[1];
        QVERIFY(!s.flag1 && s.flag2);
        QCOMPARE(s.int2, 15);
        QCOMPARE(QList<int>({s.int3, s.int4, s.int5}), QList<int>({-10, -7, 125}));
        QCOMPARE(QList<int>({s.cornerX[0], s.cornerX[1], s.cornerY[0], s.cornerY[2], s.dragX, s.dragY}), shape2);
    }

    void newCharacterGetsDefaultExtraNames()
    {
        Fixture f;
        f.model->characters[1].extraNames.fill("stale");
        const PoolResult r = f.ops.insertElement(Characters, nullptr);
        QCOMPARE(f.model->characters[r.slot].extraNames[0], QString("Extra 1"));
        QCOMPARE(f.model->characters[r.slot].extraNames[16], f.catalog.msg(410));
    }

    void renameRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("message");
        QTest::newRow("another object, other case") << "DOOR" << false << "Object1" << 147;
        QTest::newRow("an item's name") << "key" << true << "key" << 0;
        QTest::newRow("own name in another case") << "OBJECT1" << true << "OBJECT1" << 0;
        QTest::newRow("forbidden characters") << " (b{a}r;\"x\",) " << true << "barx" << 0;
        QTest::newRow("cleaned into another's name") << "do;or" << false << "Object1" << 147;
        QTest::newRow("nothing left") << " ;() " << false << "Object1" << 0;
    }
    void renameRules()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, result);
        QFETCH(int, message);
        Fixture f;
        TreeNode *obj = f.element(Objects);
        f.element(Objects)->text = "door";
        f.model->objects[2].name = "door";
        f.element(Items)->text = "key";
        f.model->items[1].name = "key";
        const PoolResult r = f.ops.renameGameNode(obj, typed);
        QCOMPARE(r.ok, ok);
        QCOMPARE(obj->text, result);
        QCOMPARE(f.model->objects[1].name, result);
        QCOMPARE(r.message.number(), message);
        if (message == 147) {
            QCOMPARE(r.message.icon(), Message::Error);
            QCOMPARE(r.message.render(f.catalog), f.catalog.msg(153) + " \"" + PoolOps::cleanElementName(typed) + "\" "
                                         + f.catalog.msg(147));
        }
        QVERIFY(f.session.isModified());
    }

    void renameFolderKeepsLettersOnly()
    {
        Fixture f;
        TreeNode *folder = f.ops.newFolder(f.model->gameTree, f.gameRoot(Scripts)).node;
        QVERIFY(f.ops.renameGameNode(folder, "a;b").ok);
        QCOMPARE(folder->text, QString("ab"));
        QVERIFY(!f.ops.renameGameNode(f.gameRoot(Scripts), "x").ok);
        QCOMPARE(f.gameRoot(Scripts)->text, f.catalog.msg(2));
    }

    void renameCarriesTheNameIntoTheTables()
    {
        Fixture f;
        ProjectModel &m = *f.model;
        TreeNode *room = f.element(Rooms);
        TreeNode *obj = f.element(Objects);
        TreeNode *chr = f.element(Characters);
        TreeNode *item = f.element(Items);
        TreeNode *script = f.element(Scripts);
        m.rooms[1].objects[0] = Rroomobj{};
        m.rooms[1].objects[0].objectName = "Object1";
        m.rooms[1].objects[0].instanceName = "Object1_1";
        m.roomChars[1].characterName = "Character1";
        m.roomChars[1].instanceName = "hero";
        m.roomChars[1].roomName = "Room1";
        m.roomChars[2].characterName = "Character1x"; // only exact names follow
        m.roomChars[2].instanceName = "other";
        m.roomChars[2].roomName = "Room1x";
        m.settings.startScript = "Script1";
        f.session.current().scriptKey = "8Room1";

        QVERIFY(f.ops.renameGameNode(room, "hall").ok);
        QVERIFY(f.ops.renameGameNode(obj, "door").ok);
        QVERIFY(f.ops.renameGameNode(chr, "bob").ok);
        QVERIFY(f.ops.renameGameNode(item, "key").ok);
        QVERIFY(f.ops.renameGameNode(script, "intro").ok);

        QCOMPARE(m.rooms[1].name, QString("hall"));
        QCOMPARE(m.names[NameLists::RoomNames], QStringList({"hall", "last"}));
        QCOMPARE(m.roomChars[1].roomName, QString("hall"));
        QCOMPARE(m.roomChars[1].characterName, QString("bob"));
        QCOMPARE(m.roomChars[1].instanceName, QString("hero"));
        QCOMPARE(m.roomChars[2].roomName, QString("Room1x"));
        QCOMPARE(m.roomChars[2].characterName, QString("Character1x"));
        QCOMPARE(m.rooms[1].objects[0].objectName, QString("door"));
        QCOMPARE(m.rooms[1].objects[0].instanceName, QString("Object1_1"));
        QCOMPARE(m.characters[1].name, QString("bob"));
        QCOMPARE(m.items[1].name, QString("key"));
        QCOMPARE(m.names[NameLists::ItemNames], QStringList({"key"}));
        QCOMPARE(m.cutscenes[1].name, QString("intro"));
        QCOMPARE(m.names[NameLists::ScriptNames], QStringList({"intro"}));
        QCOMPARE(m.settings.startScript, QString("Script1")); // settings keep their texts
        QCOMPARE(f.session.current().scriptKey, QString("8hall"));
    }

    void renameNotesComeOncePerInstallation()
    {
        QTemporaryDir dir;
        EditorSettings settings(dir.path());
        for (int kind : {int(Objects), int(Characters)}) {
            Fixture f;
            TreeNode *n = f.element(kind);
            const int note = kind == Objects ? 157 : 158;
            const QString key = kind == Objects ? "RenameObj" : "RenameChr";
            PoolResult r = f.ops.renameGameNode(n, "first", &settings);
            QCOMPARE(r.message.icon(), Message::Information);
            QCOMPARE(r.message.number(), note);
            QCOMPARE(r.message.caption(), 367);
            QCOMPARE(settings.readsetting(key), QString("yes"));
            r = f.ops.renameGameNode(n, "second", &settings);
            QVERIFY(r.ok);
            QVERIFY(!r.message);
        }
        // Items never show a note.
        Fixture f;
        QVERIFY(!f.ops.renameGameNode(f.element(Items), "x", &settings).message);
    }

    void newFolderSkipsNamesInUse()
    {
        // A folder renamed to what the counter proposes next makes the proposal skip it, in
        // any case; renaming to the proposal is then accepted.
        Fixture f;
        const QString word = f.catalog.msg(150);
        TreeNode *a = f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Images)).node;
        QCOMPARE(a->text, word + "1");
        TreeNode *b = f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Sounds)).node;
        QVERIFY(f.ops.renameMediaFolder(b, (word + "3").toUpper()).ok);
        QVERIFY(f.ops.renameMediaFolder(a, word + "2").ok);
        TreeNode *c = f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Music)).node;
        QCOMPARE(c->text, word + "4");
        QVERIFY(f.ops.renameMediaFolder(c, c->text).ok);

        TreeNode *g = f.ops.newFolder(f.model->gameTree, f.gameRoot(Rooms)).node;
        QCOMPARE(g->text, word + "1");
        QVERIFY(f.ops.renameGameNode(g, word + "2").ok);
        f.session.counters()[1] = 1; // e.g. a project file from elsewhere
        TreeNode *h = f.ops.newFolder(f.model->gameTree, f.gameRoot(Items)).node;
        QCOMPARE(h->text, word + "1");
        TreeNode *i = f.ops.newFolder(f.model->gameTree, f.gameRoot(Items)).node;
        QCOMPARE(i->text, word + "3");
        QVERIFY(f.ops.renameGameNode(i, i->text).ok);
    }

    void mediaFolderRename()
    {
        Fixture f;
        TreeNode *a = f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Images)).node;
        TreeNode *b = f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Sounds)).node;
        QVERIFY(f.ops.renameMediaFolder(a, "ba:c\\k/gr*?<|>ounds").ok);
        QCOMPARE(a->text, QString("backgrounds"));
        // Another folder's name, in any kind and case, keeps the old name.
        const PoolResult refused = f.ops.renameMediaFolder(b, "BACKGROUNDS");
        QVERIFY(!refused.ok);
        QCOMPARE(refused.message.number(), 147);
        QCOMPARE(refused.message.icon(), Message::Error);
        QCOMPARE(refused.message.render(f.catalog), f.catalog.msg(150) + " \"BACKGROUNDS\" " + f.catalog.msg(147));
        QCOMPARE(b->text, f.catalog.msg(150) + "2");
        QVERIFY(!f.ops.renameMediaFolder(f.mediaRoot(Music), "x").ok);
    }

    void deleteQuestions_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("question");
        QTest::newRow("element") << "element" << false << "Delete Room1 ?";
        QTest::newRow("folder with children") << "full" << false << "Delete the subfolder full and all its entries?";
        QTest::newRow("empty folder") << "empty" << false << "";
        QTest::newRow("root") << "root" << false << "";
        QTest::newRow("silent element") << "element" << true << "";
        QTest::newRow("silent folder") << "full" << true << "";
    }
    void deleteQuestions()
    {
        QFETCH(QString, which);
        QFETCH(bool, silent);
        QFETCH(QString, question);
        Fixture f;
        f.model->settings.silentDelete = silent;
        TreeNode *full = f.folder(f.gameRoot(Rooms), "full");
        TreeNode *element = f.element(Rooms, full);
        TreeNode *empty = f.folder(f.gameRoot(Rooms), "empty");
        TreeNode *node = which == "element" ? element : which == "full" ? full : which == "empty" ? empty : f.gameRoot(Rooms);
        QCOMPARE(f.ops.deleteQuestion(node).render(f.catalog), question);
    }

    void deletingNestedFolderRemovesEverythingInside()
    {
        Fixture f;
        ProjectModel &m = *f.model;
        TreeNode *outer = f.folder(f.gameRoot(Rooms), "outer");
        TreeNode *inner = f.folder(outer, "inner");
        TreeNode *innermost = f.folder(inner, "innermost");
        f.element(Rooms, outer);                    // Room1
        f.element(Rooms, innermost);                // Room2
        TreeNode *kept = f.element(Rooms);          // Room3, beside the folder
        m.rooms[2].script = QStringList{"x"};
        m.rooms[2].objects[4].instanceName = "lamp1";
        m.rooms[2].objects[4].objectName = "lamp";
        m.names[NameLists::ObjectInstances] << "lamp1";
        m.roomChars[1] = Rroomchar{"bob", "bob1", "Room2", 0, 0, 0, false, false, {}};
        m.roomChars[2] = Rroomchar{"bob", "bob2", "Room3", 0, 0, 0, false, false, {}};
        m.names[NameLists::CharacterInstances] << "bob1" << "bob2";
        f.session.current().room = "Room2";

        QVERIFY(f.ops.deleteGameNode(outer));
        QCOMPARE(childTexts(f.gameRoot(Rooms)), QStringList({kept->text}));
        QCOMPARE(m.rooms.usedCount(), 1);
        QCOMPARE(m.rooms[3].name, QString("Room3"));
        QVERIFY(m.rooms[2].script.isEmpty());
        QCOMPARE(m.rooms[2].findObject("lamp1"), 0);
        QCOMPARE(m.names[NameLists::RoomNames], QStringList({"last", "Room3"}));
        QCOMPARE(m.names[NameLists::ObjectInstances], QStringList());
        QCOMPARE(m.names[NameLists::CharacterInstances], QStringList({"self", "bob2"}));
        QCOMPARE(m.roomChars[1].instanceName, QString("bob2")); // the placements closed up
        QCOMPARE(f.session.current().room, QString("free"));
        QVERIFY(!f.ops.deleteGameNode(f.gameRoot(Rooms)));
    }

    void deletingElementsRemovesWhatDependsOnThem()
    {
        Fixture f;
        ProjectModel &m = *f.model;
        TreeNode *obj = f.element(Objects);
        TreeNode *chr = f.element(Characters);
        TreeNode *item = f.element(Items);
        TreeNode *script = f.element(Scripts);
        f.element(Rooms);
        for (int i : {0, 7}) {
            m.rooms[1].objects[i].objectName = "Object1";
            m.rooms[1].objects[i].instanceName = QStringLiteral("o%1").arg(i);
            m.rooms[1].objects[i].script = QStringList{"s"};
            m.names[NameLists::ObjectInstances] << m.rooms[1].objects[i].instanceName;
        }
        m.roomChars[3] = Rroomchar{"Character1", "hero", "Room1", 0, 0, 0, false, false, {"s"}};
        m.names[NameLists::CharacterInstances] << "hero";
        m.items[1].script = QStringList{"on(click)"};
        f.session.current().scriptKey = "0Script1";

        for (TreeNode *n : {obj, chr, item, script})
            QVERIFY(f.ops.deleteGameNode(n));
        QCOMPARE(m.objects.usedCount() + m.characters.usedCount() + m.items.usedCount() + m.cutscenes.usedCount(), 0);
        QCOMPARE(m.rooms[1].findObject("o0") + m.rooms[1].findObject("o7"), 0);
        QVERIFY(m.rooms[1].objects[7].script.isEmpty());
        QVERIFY(m.roomChars[3].instanceName.isEmpty() && m.roomChars[3].script.isEmpty());
        QVERIFY(m.items[1].script.isEmpty());
        QCOMPARE(m.names[NameLists::ObjectInstances], QStringList());
        QCOMPARE(m.names[NameLists::CharacterInstances], QStringList({"self"}));
        QCOMPARE(m.names[NameLists::ItemNames], QStringList());
        QCOMPARE(m.names[NameLists::ScriptNames], QStringList());
        QCOMPARE(f.session.current().scriptKey, QString("free"));
        QCOMPARE(m.rooms.usedCount(), 1);
    }

    void deletingMediaFolder()
    {
        Fixture f;
        ProjectModel &m = *f.model;
        TreeNode *outer = f.folder(f.mediaRoot(Sounds), "effects");
        TreeNode *inner = f.folder(outer, "doors");
        m.mediaadd(Sounds, "creak", "/s/creak.wav");
        inner->addChild("creak", nodeimage::Sound);
        m.mediaadd(Sounds, "bang", "/s/bang.wav");
        outer->addChild("bang", nodeimage::Sound);
        m.mediaadd(Sounds, "bird", "/s/bird.wav");
        f.mediaRoot(Sounds)->addChild("bird", nodeimage::Sound);
        m.mediaadd(Music, "theme", "/m/theme.ogg");
        TreeNode *theme = f.mediaRoot(Music)->addChild("theme", nodeimage::Music);
        f.session.setMediaChanged({false, false, false, false});

        QVERIFY(f.ops.deleteMediaNode(outer));
        QCOMPARE(m.media[Sounds].usedCount(), 1);
        QCOMPARE(m.media[Sounds].name(m.media[Sounds].find("bird")), QString("bird"));
        QCOMPARE(m.names[NameLists::SoundNames], QStringList({"bird"}));
        QVERIFY(f.session.mediaChanged(Sounds));
        QVERIFY(f.ops.deleteMediaNode(theme));
        QCOMPARE(m.media[Music].usedCount(), 0);
        QCOMPARE(m.names[NameLists::MusicNames], QStringList());
        QVERIFY(!f.ops.deleteMediaNode(f.mediaRoot(Images)));
    }

    void foldersNestToLevelSeven()
    {
        Fixture f;
        TreeNode *n = f.gameRoot(Objects);
        for (int level = 1; level <= 7; ++level) {
            const PoolResult r = f.ops.newFolder(f.model->gameTree, n);
            QVERIFY2(r.ok, qPrintable(QString::number(level)));
            QCOMPARE(r.node->level(), level);
            QCOMPARE(r.node->imageIndex, int(nodeimage::Folder));
            n = r.node;
        }
        QCOMPARE(n->text, f.catalog.msg(150) + "7");
        QVERIFY(!f.ops.newFolder(f.model->gameTree, n).ok);
        // An element in the level-7 folder: its folder is the one asked for, so no folder either.
        TreeNode *obj = f.element(Objects, n);
        QCOMPARE(obj->level(), 8);
        QVERIFY(!f.ops.newFolder(f.model->gameTree, obj).ok);
        QVERIFY(n->children.size() == 1);
        // The media tree counts its folders on its own.
        QCOMPARE(f.ops.newFolder(f.model->mediaTree, f.mediaRoot(Images)).node->text, f.catalog.msg(150) + "1");
    }

    void canMove_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("element into folder") << "room" << "a" << true;
        QTest::newRow("element onto own root") << "roomInA" << "rooms" << true;
        QTest::newRow("element onto element") << "room" << "roomInA" << false;
        QTest::newRow("into another kind") << "room" << "items" << false;
        QTest::newRow("into folder of another kind") << "room" << "itemFolder" << false;
        QTest::newRow("folder into itself") << "a" << "a" << false;
        QTest::newRow("folder into its child") << "a" << "b" << false;
        QTest::newRow("root") << "rooms" << "a" << false;
        QTest::newRow("element into level 7") << "room" << "level7" << true;
        QTest::newRow("folder into level 6") << "leaf" << "level6" << true;
        QTest::newRow("folder into level 7") << "leaf" << "level7" << false;
        QTest::newRow("subtree too deep") << "a" << "level6" << false;
    }
    void canMove()
    {
        QFETCH(QString, node);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        Fixture f;
        QMap<QString, TreeNode *> n;
        n["rooms"] = f.gameRoot(Rooms);
        n["items"] = f.gameRoot(Items);
        n["a"] = f.folder(n["rooms"], "a");
        n["b"] = f.folder(n["a"], "b");
        n["roomInA"] = f.element(Rooms, n["a"]);
        n["room"] = f.element(Rooms);
        n["itemFolder"] = f.folder(n["items"], "if");
        n["leaf"] = f.folder(n["rooms"], "leaf");
        TreeNode *deep = n["rooms"];
        for (int level = 1; level <= 7; ++level)
            deep = f.folder(deep, QStringLiteral("level%1").arg(level));
        n["level7"] = deep;
        n["level6"] = deep->parent;
        QCOMPARE(PoolOps::canMove(f.model->gameTree, n[node], n[target]), allowed);
        if (allowed) {
            QVERIFY(f.ops.moveNode(f.model->gameTree, n[node], n[target]));
            QCOMPARE(n[node]->parent, n[target]);
        } else {
            TreeNode *before = n[node]->parent;
            QVERIFY(!f.ops.moveNode(f.model->gameTree, n[node], n[target]));
            QCOMPARE(n[node]->parent, before);
        }
    }

    void movedNodeIsSorted()
    {
        Fixture f;
        TreeNode *folder = f.folder(f.gameRoot(Items), "bag");
        f.element(Items, folder); // Item1
        f.element(Items, folder); // Item2
        TreeNode *loose = f.element(Items); // Item3
        loose->text = "Apple";
        QVERIFY(f.ops.moveNode(f.model->gameTree, loose, folder));
        QCOMPARE(childTexts(folder), QStringList({"Apple", "Item1", "Item2"}));
    }

    void pngColourType_data()
    {
        QTest::addColumn<int>("colourType");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("grey") << 0 << false;
        QTest::newRow("rgb") << 2 << false;
        QTest::newRow("palette") << 3 << false;
        QTest::newRow("grey+alpha") << 4 << true;
        QTest::newRow("rgba") << 6 << true;
    }
    void pngColourType()
    {
        QFETCH(int, colourType);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString path = dir.filePath("pic.png");
        writePngHeader(path, colourType);
        QCOMPARE(PoolOps::isPngWithAlpha(path), accepted);
    }

    void insertMediaChecksEachFile()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("Hero.PNG");
        const QString flat = dir.filePath("flat.png");
        writePngHeader(good, 6);
        writePngHeader(flat, 2);
        writePngHeader(dir.filePath("hero.png"), 6);
        const QString bmp = dir.filePath("sky.jpeg"); // not a PNG: not examined
        QFile(bmp).open(QIODevice::WriteOnly);
        Fixture f;
        TreeNode *folder = f.folder(f.mediaRoot(Images), "chars");
        const MediaInsertResult r = f.ops.insertMedia(Images, {good, flat, bmp, dir.filePath("hero.png")}, folder);
        QCOMPARE(r.added, 2);
        QCOMPARE(childTexts(folder), QStringList({"hero", "sky"}));
        QCOMPARE(r.lastNode->text, QString("sky"));
        QCOMPARE(r.lastNode->imageIndex, int(nodeimage::Image));
        QCOMPARE(int(r.messages.size()), 2);
        QCOMPARE(r.messages[0].number(), 381);
        QCOMPARE(r.messages[0].render(f.catalog), QDir::toNativeSeparators(flat) + '\n' + f.catalog.msg(381));
        QCOMPARE(r.messages[1].render(f.catalog), "hero " + f.catalog.msg(147));
        const MediaTable &t = f.model->media[Images];
        QCOMPARE(t.path(t.find("hero")), good);
        QVERIFY(f.session.isModified());

        // Sounds feed their name list; the insert goes to the root when the selection is elsewhere.
        const MediaInsertResult s = f.ops.insertMedia(Sounds, {"/x/Door.wav", "/x/Alarm.mp3"}, folder);
        QCOMPARE(s.added, 2);
        QCOMPARE(childTexts(f.mediaRoot(Sounds)), QStringList({"alarm", "door"}));
        QCOMPARE(f.model->names[NameLists::SoundNames], QStringList({"alarm", "door"}));
    }

    void insertMediaIntoFullTable()
    {
        Fixture f;
        MediaTable &t = f.model->media[Movies];
        for (int i = 1; i <= t.size(); ++i)
            t.set(i, QStringLiteral("m%1").arg(i), "x");
        const MediaInsertResult r = f.ops.insertMedia(Movies, {"/v/a.avi"}, nullptr);
        QCOMPARE(r.added, 0);
        QCOMPARE(int(r.messages.size()), 1);
        QCOMPARE(r.messages[0].number(), 180);
        QVERIFY(f.mediaRoot(Movies)->children.empty());
    }

    void clickSetsCurrentElements()
    {
        Fixture f;
        TreeNode *room = f.element(Rooms);
        TreeNode *item = f.element(Items);
        TreeNode *obj = f.element(Objects);
        TreeNode *script = f.element(Scripts);
        bool keySet = false;
        QCOMPARE(f.ops.selectGameNode(room, &keySet), QString("room"));
        QVERIFY(keySet);
        QCOMPARE(f.session.current().room, QString("Room1"));
        QCOMPARE(f.session.current().scriptKey, QString("8Room1"));
        QCOMPARE(f.ops.selectGameNode(item), QString("itembox"));
        QCOMPARE(f.session.current().scriptKey, QString("1Item1"));
        QCOMPARE(f.ops.selectGameNode(obj, &keySet), QString("objbox"));
        QVERIFY(!keySet);
        QCOMPARE(f.session.current().object, QString("Object1"));
        QCOMPARE(f.session.current().scriptKey, QString("1Item1"));
        QCOMPARE(f.ops.selectGameNode(script), QString("skriptwindow"));
        QCOMPARE(f.session.current().scriptKey, QString("0Script1"));
        QCOMPARE(f.ops.selectGameNode(f.gameRoot(Rooms)), QString());
    }
};

QTEST_GUILESS_MAIN(TestPoolOps)
#include "tst_poolops.moc"
