// The rules of the object, character and mouse cursor editors: size fields, the action menu,
// fonts, markers and cursor commands.
#include "assets/characteredit.h"
#include "assets/cursoredit.h"
#include "assets/objectedit.h"
#include "assets/sizerules.h"
#include "project/messagecatalog.h"

#include <QTest>

using namespace mb;

class TestAssetRules : public QObject
{
    Q_OBJECT
private slots:
    void objectSize_data()
    {
        QTest::addColumn<QSize>("game");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QSize>("size");
        const QSize vga(640, 480);
        QTest::newRow("three screens wide") << vga << "5000" << "9999" << QSize(1920, 960);
        QTest::newRow("at the limits") << vga << "1920" << "960" << QSize(1920, 960);
        QTest::newRow("empty and 0") << vga << "" << "0" << QSize(100, 100);
        QTest::newRow("too small") << vga << "5" << "9" << QSize(10, 10);
        QTest::newRow("leading zeros") << vga << "0042" << "010" << QSize(42, 10);
        QTest::newRow("small game") << QSize(320, 240) << "1000" << "1000" << QSize(960, 480);
    }
    void objectSize()
    {
        QFETCH(QSize, game);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QSize, size);
        Robj obj;
        obj.name = "door";
        objectedit::applySize(obj, width, height, game);
        QCOMPARE(QSize(obj.width, obj.height), size);
    }

    void shrinkingPullsOffsetsIn()
    {
        Robj obj;
        obj.width = 200;
        obj.height = 200;
        obj.frames[0][0] = {"a", "b", {}, 41, 40, 120, 39};
        obj.frames[9][29] = {"c", {}, "x", 100, 150, 0, 0};
        obj.frames[4][3] = {"d", {}, {}, 40, 0, 0, 0};
        Robj expected = obj;
        expected.width = 50;
        expected.height = 60;
        expected.frames[0][0] = {"a", "b", {}, 40, 40, 40, 39};
        expected.frames[9][29] = {"c", {}, "x", 40, 50, 0, 0};
        QVERIFY(objectedit::applySize(obj, QSize(50, 60), QSize(640, 480)));
        QCOMPARE(obj, expected);
        // States never written stay without storage.
        QVERIFY(!obj.frames.allocated(1));
        QVERIFY(!objectedit::applySize(obj, QSize(50, 60), QSize(640, 480)));
    }

    void characterFields_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("zoom");
        QTest::newRow("999") << "999" << 512 << 300;
        QTest::newRow("301") << "301" << 301 << 300;
        QTest::newRow("5") << "5" << 10 << 10;
        QTest::newRow("empty") << "" << 100 << 100;
        QTest::newRow("0") << "0" << 100 << 100;
        QTest::newRow("150") << "150" << 150 << 150;
        QTest::newRow("not a number") << "1e3" << 100 << 100;
        QTest::newRow("overflow") << "99999999999" << 512 << 300;
    }
    void characterFields()
    {
        QFETCH(QString, typed);
        QFETCH(int, size);
        QFETCH(int, zoom);
        Rcharacter c;
        characteredit::setActionSize(c, 4, typed, typed);
        QCOMPARE(int(c.width[3]), size);
        QCOMPARE(int(c.height[3]), size);
        QCOMPARE(int(c.width[2]), 0);
        QCOMPARE(characteredit::zoomValue(typed), zoom);
    }

    void actionNames()
    {
        const MessageCatalog en("EN");
        Rcharacter c;
        c.extraNames = ProjectModel::defaultExtraNames(en);
        c.extraNames[0] = "Dance";
        const QStringList names = characteredit::actionNames(c, en);
        QCOMPARE(names.size(), 36);
        QCOMPARE(names[0], QString("Stand front"));
        QCOMPARE(names[15], QString("Pickup right"));
        QCOMPARE(names[16], QString("Dance"));
        QCOMPARE(names[35], QString("Extra 20 (Walk, Talk Left)"));
        for (int a : {0, 1, 16, 37})
            QVERIFY2(!characteredit::canRename(a), qPrintable(QString::number(a)));
        for (int a : {17, 36})
            QVERIFY(characteredit::canRename(a));
        QVERIFY(!characteredit::renameAction(c, 16, "Nope"));
        QVERIFY(characteredit::renameAction(c, 36, "Wave"));
        QCOMPARE(c.extraNames[19], QString("Wave"));
    }

    void resetAction_data()
    {
        QTest::addColumn<QSize>("game");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("foot");
        QTest::newRow("320 x 240") << QSize(320, 240) << QSize(60, 100) << QPoint(30, 99);
        QTest::newRow("640 x 480") << QSize(640, 480) << QSize(120, 200) << QPoint(60, 199);
        QTest::newRow("320 x 200") << QSize(320, 200) << QSize(60, 83) << QPoint(30, 82);
        QTest::newRow("1024 x 768") << QSize(1024, 768) << QSize(192, 320) << QPoint(96, 319);
    }
    void resetAction()
    {
        QFETCH(QSize, game);
        QFETCH(QSize, size);
        QFETCH(QPoint, foot);
        Rcharacter c;
        c.speed[5] = 3;
        c.frames[5][0] = {"a", "b", "speech (x)", 1, 2, 3, 4};
        c.frames[6][0] = {"other"};
        QVERIFY(characteredit::resetAction(c, 6, game));
        QCOMPARE(QSize(c.width[5], c.height[5]), size);
        QCOMPARE(QPoint(c.footX[5], c.footY[5]), foot);
        QCOMPARE(int(c.speed[5]), 20);
        // Images and script lines go, the offsets stay; other actions are untouched.
        QCOMPARE(c.frames[5][0], (Rframe{{}, {}, {}, 1, 2, 3, 4}));
        QCOMPARE(c.frames[6][0].image, QString("other"));
    }

    void copyPasteAndEqualize()
    {
        Rcharacter c;
        c.frames[1][4] = {"walk", {}, "speech (hi)", 5, 6, 0, 0};
        c.width[1] = 70, c.height[1] = 90, c.footX[1] = 35, c.footY[1] = 89, c.speed[1] = 9;
        c.frames[7][0] = {"talk"};
        c.width[7] = 20;

        characteredit::ActionClipboard empty;
        QVERIFY(!characteredit::pasteAction(c, 8, empty));

        const auto clip = characteredit::copyAction(c, 2);
        QVERIFY(clip.filled);
        QVERIFY(characteredit::pasteAction(c, 8, clip));
        QCOMPARE(c.frames[7], c.frames[1]);
        QCOMPARE(QList<int>({c.width[7], c.height[7], c.footX[7], c.footY[7], c.speed[7]}),
                 QList<int>({70, 90, 35, 89, 9}));

        Rcharacter sizes = c;
        QVERIFY(characteredit::equalizeSizes(sizes, 2));
        for (int a = 0; a < 36; ++a) {
            QCOMPARE(QList<int>({sizes.width[a], sizes.height[a], sizes.footX[a], sizes.footY[a]}),
                     QList<int>({70, 90, 35, 89}));
            QCOMPARE(sizes.frames[a], c.frames[a]); // frames and speeds stay
            QCOMPARE(sizes.speed[a], c.speed[a]);
        }

        QVERIFY(characteredit::equalizeActions(c, 2));
        for (int a = 0; a < 36; ++a) {
            QCOMPARE(c.frames[a], c.frames[1]);
            QCOMPARE(int(c.speed[a]), 9);
            QCOMPARE(int(c.footY[a]), 89);
        }
        QVERIFY(!characteredit::equalizeActions(c, 2));
    }

    void fonts()
    {
        ProjectModel m;
        m.fonts[1].name = "Speech";
        m.fonts[2].name = "Menu";
        QCOMPARE(characteredit::fontChoices(m), QStringList({"Default", "Speech", "Menu"}));
        QCOMPARE(characteredit::shownFontIndex(2, m.fontCount()), 2);
        QCOMPARE(characteredit::shownFontIndex(3, m.fontCount()), 0);
        QCOMPARE(characteredit::shownFontIndex(-1, m.fontCount()), 0);
        QCOMPARE(characteredit::shownWalkSpeedEntry(9), 8);
        QCOMPARE(characteredit::shownWalkSpeedEntry(0), 4);
    }

    void footMarker_data()
    {
        QTest::addColumn<QPoint>("dragged");
        QTest::addColumn<QPoint>("marker");
        QTest::addColumn<QPoint>("foot");
        // Action 120 x 200: the marker travels -10 .. 109 and -10 .. 189.
        QTest::newRow("inside") << QPoint(49, 188) << QPoint(49, 188) << QPoint(60, 199);
        QTest::newRow("lowest inside") << QPoint(-10, -10) << QPoint(-10, -10) << QPoint(1, 1);
        QTest::newRow("past left and top") << QPoint(-30, -11) << QPoint(-11, -11) << QPoint(0, 0);
        QTest::newRow("past right and bottom") << QPoint(110, 400) << QPoint(109, 189) << QPoint(120, 200);
    }
    void footMarker()
    {
        QFETCH(QPoint, dragged);
        QFETCH(QPoint, marker);
        QFETCH(QPoint, foot);
        const auto m = characteredit::dragFootMarker(dragged, QSize(120, 200));
        QCOMPARE(m.marker, marker);
        QCOMPARE(m.footPoint, foot);
        QCOMPARE(characteredit::footMarkerPosition(foot), marker);
    }

    void markerTexts()
    {
        const MessageCatalog en("EN");
        QCOMPARE(characteredit::footPointHint(QPoint(60, 199), en), QString("Footpoint of the character : 60 / 199"));
        QCOMPARE(cursoredit::clickPointHint(QPoint(3, 7), en), QString("Click Point : 3 / 7"));
        QCOMPARE(characteredit::keepAlignmentMarker(QPoint(300, 5), QSize(120, 200)), QPoint(110, 5));
    }

    void cursorCommands()
    {
        const MessageCatalog en("EN");
        CommandList commands;
        commands.rows = {{"Look", "look at"}, {"", ""}, {"Use", "use"}};
        const QStringList entries = cursoredit::commandEntries(commands, en);
        QCOMPARE(entries, QStringList({"Walkto (standard)", "Loading Icon", "Look", "Use"}));
        // After game commands were removed the stored entry lies beyond the list: Walkto.
        QCOMPARE(cursoredit::shownCommand(5, int(entries.size())), 1);
        QCOMPARE(cursoredit::shownCommand(0, int(entries.size())), 1);
        QCOMPARE(cursoredit::shownCommand(4, int(entries.size())), 4);
        QVERIFY(!cursoredit::commandEditable(1));
        QVERIFY(!cursoredit::commandEditable(10));
        QVERIFY(cursoredit::commandEditable(2) && cursoredit::commandEditable(9));
        Rmouse mouse;
        QVERIFY(cursoredit::setCommand(mouse, 3, 4));
        QVERIFY(!cursoredit::setCommand(mouse, 3, 4));
        QCOMPARE(int(mouse.command[2]), 4);
    }

    void clickMarker_data()
    {
        QTest::addColumn<QPoint>("dragged");
        QTest::addColumn<QPoint>("point");
        QTest::newRow("far right and bottom") << QPoint(400, 95) << QPoint(32, 32);
        QTest::newRow("far left and top") << QPoint(-300, -12) << QPoint(0, 0);
        QTest::newRow("between grid steps") << QPoint(8, 11) << QPoint(5, 6);
        QTest::newRow("just left of a point") << QPoint(-7, -6) << QPoint(0, 1);
    }
    void clickMarker()
    {
        QFETCH(QPoint, dragged);
        QFETCH(QPoint, point);
        QCOMPARE(cursoredit::dragClickMarker(dragged).clickPoint, point);
    }

    void clickMarkerKeepsEveryPoint()
    {
        // The marker drawn for a point gives that point back, over the whole range.
        for (int x = 0; x <= 32; ++x) {
            const QPoint p(x, 32 - x);
            const auto m = cursoredit::dragClickMarker(cursoredit::clickMarkerPosition(p));
            QCOMPARE(m.clickPoint, p);
        }
    }
};

QTEST_GUILESS_MAIN(TestAssetRules)
#include "tst_assetrules.moc"
