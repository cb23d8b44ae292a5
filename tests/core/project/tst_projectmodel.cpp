#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/sampleproject.h"

#include <QTest>

using namespace mb;

// Every slot of the table equals the other's: also the fields a save never writes.
template <typename T>
static int firstDifferentSlot(const SlotTable<T> &a, const SlotTable<T> &b)
{
    for (int i = 1; i <= a.size(); ++i)
        if (!(a[i] == b[i]))
            return i;
    return 0;
}

class TestProjectModel : public QObject
{
    Q_OBJECT
private slots:
    void freedSlotIsTakenFirst()
    {
        ProjectModel m;
        m.allesneu(MessageCatalog());
        for (int i = 1; i <= 5; ++i)
            m.items[m.items.firstFree()].name = QStringLiteral("item%1").arg(i);
        QCOMPARE(m.items.find("item3"), 3);
        m.items[3].name.clear();
        QCOMPARE(m.items.firstFree(), 3);
        QCOMPARE(m.items.usedCount(), 4);
    }
    void findTakesFirstMatchExactly()
    {
        ProjectModel m;
        m.objects[2].name = "door";
        m.objects[4].name = "door";
        QCOMPARE(m.objects.find("door"), 2);
        QCOMPARE(m.objects.find("Door"), 0);
        QCOMPARE(m.objects.find(""), 0);
    }
    void limits()
    {
        ProjectModel m;
        QCOMPARE(m.cutscenes.size(), 5000);
        QCOMPARE(m.items.size(), 1000);
        QCOMPARE(m.characters.size(), 300);
        QCOMPARE(m.objects.size(), 2000);
        QCOMPARE(m.rooms.size(), 1000);
        QCOMPARE(m.roomChars.size(), 300);
        QCOMPARE(m.fonts.size(), 99);
        QCOMPARE(m.languages.size(), 10);
        QCOMPARE(m.media[Images].size(), 15000);
        QCOMPARE(int(m.rooms[1].objects.size()), 200);
        for (int i = 1; i <= 300; ++i)
            m.characters[i].name = QStringLiteral("c%1").arg(i);
        QCOMPARE(m.characters.firstFree(), 0);
    }
    void deletingRoomClosesUpPlacements()
    {
        ProjectModel m;
        m.allesneu(MessageCatalog());
        const char *rooms[] = {"hall", "cellar", "cellar", "hall", "attic", "cellar"};
        for (int i = 0; i < 6; ++i) {
            Rroomchar &c = m.roomChars[i + 1];
            c.characterName = "bob";
            c.instanceName = QStringLiteral("bob%1").arg(i + 1);
            c.roomName = QString::fromLatin1(rooms[i]);
            m.names[NameLists::CharacterInstances] << c.instanceName;
        }
        m.roomChars[5].instanceName.clear(); // an emptied slot keeps its place among the rest
        m.roomChars[5].roomName.clear();
        NameLists::remove(m.names[NameLists::CharacterInstances], "bob5");
        m.entf_roomchar("cellar");
        QCOMPARE(m.roomChars[1].instanceName, QStringLiteral("bob1"));
        QCOMPARE(m.roomChars[2].instanceName, QStringLiteral("bob4"));
        QCOMPARE(m.roomChars[3].instanceName, QString());
        QCOMPARE(m.roomChars[4].instanceName, QString());
        QCOMPARE(m.roomChars.usedCount(), 2);
        QCOMPARE(m.names[NameLists::CharacterInstances], QStringList({"self", "bob1", "bob4"}));
    }
    void mediaAddAndDelete()
    {
        ProjectModel m;
        m.allesneu(MessageCatalog());
        QCOMPARE(m.mediaadd(Sounds, "Door", "/s/door.wav"), 1);
        QCOMPARE(m.mediaadd(Sounds, "bell", "/s/bell.wav"), 2);
        QCOMPARE(m.media[Sounds].name(1), QStringLiteral("door"));
        QCOMPARE(m.names[NameLists::SoundNames], QStringList({"bell", "door"}));
        QCOMPARE(m.mediaadd(Movies, "intro", "/v/intro.SWF"), 1);
        QCOMPARE(m.mediaadd(Movies, "outro", "/v/outro.avi"), 2);
        QCOMPARE(m.names[NameLists::FlashMovies], QStringList({"intro"}));
        QCOMPARE(m.names[NameLists::Movies], QStringList({"outro"}));
        m.mediadelete(Sounds, "door");
        QCOMPARE(m.media[Sounds].name(1), QString());
        QCOMPARE(m.names[NameLists::SoundNames], QStringList({"bell"}));
        m.mediadelete(Movies, "intro");
        QVERIFY(m.names[NameLists::FlashMovies].isEmpty());
        QCOMPARE(m.mediaadd(Sounds, "x", "/x.wav"), 1);
    }
    void resetRestoresEveryDefault_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("EN") << "EN";
        QTest::newRow("DE") << "DE";
    }
    void resetRestoresEveryDefault()
    {
        QFETCH(QString, lang);
        MessageCatalog cat(lang);
        ProjectModel m;
        m.allesneu(cat);
        // Dirty the project everywhere, then reset.
        m.items[1].name = "key";
        m.items[1].speed[3] = 5;
        m.rooms[1].name = "hall";
        m.rooms[1].walkmap.setBlocked(3, 4, false);
        m.rooms[1].walkmap.setHasScript(3, 4, true);
        m.rooms[1].walkmap.script(3, 4) << "x";
        m.objects[7].width = 33;
        m.settings.taskHeight = "90";
        m.settings.protect = true;
        m.settings.setResolutionChoice(1);
        m.commands.linktext = "with";
        m.commands.givelink = "foo";
        m.commands.bools.push_back({"b", true});
        m.mouse.command[9] = 7;
        m.media[Images].set(1, "a", "/a.png");
        m.names[NameLists::ItemNames] << "key";
        m.origin.speech << "hi";
        m.languages[1].name = "english";
        m.fonts[1].name = "Arial";
        m.allesneu(cat);

        QCOMPARE(m.items.usedCount(), 0);
        QCOMPARE(int(m.items[1].speed[3]), 20);
        QVERIFY(m.rooms[1].walkmap.blocked(3, 4));
        QVERIFY(!m.rooms[1].walkmap.hasScript(3, 4));
        QVERIFY(m.rooms[1].walkmap.scripts().empty());
        QCOMPARE(m.rooms[1].zoomStep, 3);
        QCOMPARE(m.rooms[2].factors[1], 1.0);
        QCOMPARE(m.rooms[1].fx[2].cornerX[0], 315);
        QCOMPARE(m.rooms[1].fx[0].dragX, 155);
        QCOMPARE(m.rooms[1].fx[0].dragY, 150);
        QCOMPARE(int(m.objects[7].width), 0);
        QCOMPARE(m.settings.projectName, cat.msg(100));
        QCOMPARE(m.settings.taskHeight, QStringLiteral("140"));
        QCOMPARE(m.settings.actionTextHeight, QStringLiteral("0"));
        QCOMPARE(m.settings.gameWidth, 640);
        QCOMPARE(m.settings.gameHeight, 480);
        QVERIFY(!m.settings.protect && m.settings.commandtext && m.settings.bedienfeld);
        QVERIFY(m.settings.unten() && m.settings.taskHide && m.settings.muteMusic && m.settings.autoPopup);
        QCOMPARE(m.settings.targacolor, 16711935u);
        QCOMPARE(m.settings.shape1, 15793151u);
        QCOMPARE(m.settings.coinTop, 65);
        QCOMPARE(m.settings.coinLeft, 90);
        QCOMPARE(m.commands.linktext, cat.msg(333));
        QCOMPARE(m.commands.givelink, cat.msg(334));
        QCOMPARE(m.commands.walktext, cat.msg(336));
        QVERIFY(m.commands.bools.empty());
        QCOMPARE(int(m.mouse.command[9]), 2);
        QCOMPARE(int(m.mouse.command[0]), 1);
        QCOMPARE(int(m.mouse.speed[4]), 20);
        QCOMPARE(m.mouse.clickX[2], 1);
        QCOMPARE(m.media[Images].usedCount(), 0);
        QVERIFY(m.origin.speech.isEmpty());
        QCOMPARE(m.languages.usedCount(), 0);
        QCOMPARE(m.fontCount(), 0);
        QCOMPARE(m.characters[5].extraNames[0], QStringLiteral("Extra 1"));
        QCOMPARE(m.characters[5].extraNames[19], cat.msg(413));
        QVERIFY(m.names[NameLists::ItemNames].isEmpty());
        QCOMPARE(m.names[NameLists::Languages], QStringList({"origin"}));
        QCOMPARE(m.names[NameLists::RoomNames], QStringList({"last"}));
        QCOMPARE(m.names[NameLists::CharacterInstances], QStringList({"self"}));
        QCOMPARE(m.names[NameLists::Events].size(), 13);
        QCOMPARE(m.names[NameLists::Layers].first(), QStringLiteral("front"));
        QCOMPARE(m.names[NameLists::SoundEnvironments].first(), QStringLiteral("alley"));
        QCOMPARE(m.names[NameLists::RoomEffects].size(), 24);
        QCOMPARE(int(m.gameTree.roots.size()), 5);
        QCOMPARE(int(m.mediaTree.roots.size()), 4);
        QCOMPARE(m.gameTree.root(0)->text, cat.msg(1));
        QCOMPARE(m.mediaTree.root(3)->text, cat.msg(9));
        QCOMPARE(m.gameTree.root(4)->imageIndex, 11);
        QCOMPARE(m.gameTree.countBelowRoots(), 0);
    }
    // The reset empties only the slots written since the last one; whatever wrote them, the
    // model must afterwards be a new project, in every slot and byte for byte in its files.
    void resetEqualsNewModel_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("lang");
        for (const char *how : {"sample project", "high slots", "written by iteration", "moved in", "other language"})
            for (const char *lang : {"EN", "DE"})
                QTest::addRow("%s %s", how, lang) << QString::fromLatin1(how) << QString::fromLatin1(lang);
    }
    void resetEqualsNewModel()
    {
        QFETCH(QString, how);
        QFETCH(QString, lang);
        const MessageCatalog cat(lang);
        ProjectModel m;
        m.allesneu(cat);
        if (how == "sample project") {
            m = std::move(*testing::sampleProject(cat));
        } else if (how == "high slots") {
            m.rooms[1000].name = "attic";
            m.rooms[1000].objects[199].instanceName = "lamp1";
            m.cutscenes[5000].script << "x";  // no name: a free slot with content
            m.characters[300].extraNames[3] = "wave";
            m.roomChars[300].instanceName = "bob9";
            m.languages[10].lists.row << "r";
            m.media[Music].set(15000, "theme", "/m/theme.ogg");
            m.media[Images].setPath(14000, "/lost.png");
            QCOMPARE(m.rooms.usedCount(), 1);
            QCOMPARE(m.rooms.find("attic"), 1000);
            QCOMPARE(m.rooms.firstFree(), 1);
            QCOMPARE(m.media[Music].find("theme"), 15000);
            QCOMPARE(m.media[Music].usedCount(), 1);
            QCOMPARE(m.media[Images].firstFree(), 1);
        } else if (how == "written by iteration") {
            for (Rroom &r : m.rooms)
                r.zoomStep = 7;
            for (Rcharacter &c : m.characters)
                c.scale = 50;
        } else if (how == "moved in") {
            auto other = testing::sampleProject(cat);
            other->objects[2000].name = "last";
            other->media[Sounds].set(9000, "far", "/s/far.wav");
            m = std::move(*other);
        } else if (how == "other language") {
            // Free character slots carry the extra state names of the catalog's language.
            m.allesneu(MessageCatalog(lang == "EN" ? "DE" : "EN"));
        }
        m.lastGameFolder.clear();
        m.allesneu(cat);

        ProjectModel fresh;
        fresh.allesneu(cat);
        QCOMPARE(writeCompanionFiles(m).files, writeCompanionFiles(fresh).files);
        QCOMPARE(firstDifferentSlot(m.cutscenes, fresh.cutscenes), 0);
        QCOMPARE(firstDifferentSlot(m.items, fresh.items), 0);
        QCOMPARE(firstDifferentSlot(m.characters, fresh.characters), 0);
        QCOMPARE(firstDifferentSlot(m.objects, fresh.objects), 0);
        QCOMPARE(firstDifferentSlot(m.rooms, fresh.rooms), 0);
        QCOMPARE(firstDifferentSlot(m.roomChars, fresh.roomChars), 0);
        QCOMPARE(firstDifferentSlot(m.fonts, fresh.fonts), 0);
        QCOMPARE(firstDifferentSlot(m.languages, fresh.languages), 0);
        for (int kind = 0; kind < 4; ++kind)
            QVERIFY(m.media[kind] == fresh.media[kind]);
        // And the emptied tables are whole again: the last slot is reachable and counted.
        m.rooms[1000].name = "end";
        QCOMPARE(m.rooms.find("end"), 1000);
        QCOMPARE(m.rooms.usedCount(), 1);
        m.media[Images].set(15000, "end", "/end.png");
        QCOMPARE(m.media[Images].find("end"), 15000);
    }
    void dragPointRounds()
    {
        Rfxshape s;
        s.cornerX = {0, 1, 1, 0}; // mean 0.5 rounds up
        s.cornerY = {0, 0, 3, 3}; // mean 1.5
        s.calcziehpunkt();
        QCOMPARE(s.dragX, 1);
        QCOMPARE(s.dragY, 2);
    }
    // Storage that was allocated but holds defaults must compare equal to storage never allocated,
    // and one changed field anywhere must make records differ.
    void equalityIgnoresStorageButNotFields()
    {
        Robj a, b;
        QVERIFY(a == b);
        (void)b.frames[4]; // allocates an empty row
        QVERIFY(b.frames.allocated(4));
        QVERIFY(a == b);
        b.frames[4][29].y2 = 1;
        QVERIFY(!(a == b));

        Rroom r1, r2;
        r2.walkmap.setBlocked(5, 5, true); // allocates the cells, all still blocked
        QVERIFY(r1 == r2);
        r2.walkmap.setBlocked(192, 96, false);
        QVERIFY(!(r1 == r2));
        r2 = r1;
        (void)r2.objects.begin(); // allocates the placements, all still default
        QVERIFY(r1 == r2 && r2 == r1);
        r2.objects[199].script << QStringLiteral("x");
        QVERIFY(r1.objects[199].script.isEmpty());
        QVERIFY(!(r1 == r2));
        r2 = r1;
        r2.fx[2].int5 = 0;
        QVERIFY(!(r1 == r2));

        ProjectTree t1, t2;
        t1.addRoot(QStringLiteral("Rooms"))->addChild(QStringLiteral("Hall"), nodeimage::Room);
        t2.addRoot(QStringLiteral("Rooms"))->addChild(QStringLiteral("Hall"), nodeimage::Object);
        QVERIFY(!(t1 == t2));
    }

    // A walkmap line holds two characters per cell, column by column: blocked, then has-script,
    // '1' meaning set and any other character not.
    void walkmapLineFlags_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("line");
        auto pattern = [](int columns, int rows, auto charAt) {
            QByteArray line;
            for (int i = 0; i < columns * rows * 2; ++i)
                line += charAt(i);
            return line;
        };
        QTest::newRow("never painted") << 192 << 96 << QByteArray("10").repeated(192 * 96);
        QTest::newRow("painted at the last cell only")
            << 192 << 96 << QByteArray("10").repeated(192 * 96 - 1) + "01";
        QTest::newRow("all four combinations") << 192 << 96 << pattern(192, 96, [](int i) {
            return (i * 7 / 3) % 5 < 2 ? '1' : '0';
        });
        QTest::newRow("characters other than 0 and 1") << 96 << 48 << pattern(96, 48, [](int i) {
            return i % 101 == 7 ? ' ' : i % 53 == 3 ? 'x' : i % 29 == 1 ? '2' : (i * 7 / 3) % 5 < 2 ? '1' : '0';
        });
        QTest::newRow("rows not a multiple of four") << 50 << 47 << pattern(50, 47, [](int i) {
            return (i % 11) % 3 == 0 ? '1' : '0';
        });
    }
    void walkmapLineFlags()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QByteArray, line);
        Walkmap w;
        w.setBlocked(1, 1, false); // what was there before is replaced
        w.loadFlags(line.constData(), columns, rows);
        for (int col = 1; col <= Walkmap::Columns; ++col)
            for (int row = 1; row <= Walkmap::Rows; ++row) {
                const bool inside = col <= columns && row <= rows;
                const qsizetype at = (qsizetype(col - 1) * rows + row - 1) * 2;
                const bool blocked = !inside || line[at] == '1', script = inside && line[at + 1] == '1';
                if (w.blocked(col, row) != blocked || w.hasScript(col, row) != script)
                    QFAIL(qPrintable(QStringLiteral("cell %1,%2").arg(col).arg(row)));
            }
    }

    void treeSortsAndCounts()
    {
        ProjectTree t;
        TreeNode *root = t.addRoot("1) CHARACTER");
        TreeNode *folder = root->addChild("zeta", nodeimage::Folder);
        root->addChild("Alpha", nodeimage::Character);
        folder->addChild("bob", nodeimage::Character);
        t.sort();
        QCOMPARE(root->children[0]->text, QStringLiteral("Alpha"));
        QCOMPARE(folder->children[0]->level(), 2);
        QCOMPARE(t.topIndex(folder->children[0].get()), 0);
        QVERIFY(t.contains("bob", nodeimage::Character));
        QVERIFY(!t.contains("bob", nodeimage::Object));
        QCOMPARE(t.countBelowRoots(), 3);
    }
};

QTEST_GUILESS_MAIN(TestProjectModel)
#include "tst_projectmodel.moc"
