#include "tools/commandlistops.h"
#include "tools/settingsvalidation.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <QTest>

#include <memory>

using namespace mb;
using namespace Qt::StringLiterals;

class TstSettingsValidation : public QObject
{
    Q_OBJECT

private slots:
    void taskHeight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("gameHeight");
        QTest::addColumn<QString>("expected");
        QTest::newRow("above half height") << u"255"_s << 480 << u"240"_s;
        QTest::newRow("below minimum") << u"45"_s << 480 << u"50"_s;
        QTest::newRow("rounds down") << u"144"_s << 480 << u"140"_s;
        QTest::newRow("rounds up") << u"147"_s << 480 << u"150"_s;
        QTest::newRow("five to even below") << u"145"_s << 480 << u"140"_s;
        QTest::newRow("five to even above") << u"155"_s << 480 << u"160"_s;
        QTest::newRow("empty is a third") << QString() << 480 << u"160"_s;
        QTest::newRow("empty small game rounds") << QString() << 200 << u"70"_s;
        QTest::newRow("exact limit kept") << u"50"_s << 480 << u"50"_s;
        QTest::newRow("half of 768 rounded") << u"999"_s << 768 << u"380"_s;
        QTest::newRow("non-digits ignored") << u"1a4x4"_s << 480 << u"140"_s;
        QTest::newRow("overflowing digits") << u"99999999999999999999"_s << 600 << u"300"_s;
    }
    void taskHeight()
    {
        QFETCH(QString, text);
        QFETCH(int, gameHeight);
        QFETCH(QString, expected);
        QCOMPARE(normaliseTaskHeight(text, gameHeight), expected);
    }

    void fieldFilters()
    {
        QCOMPARE(keepDigits(u"-1a2 3."_s), u"123"_s);
        QCOMPARE(keepDigitsAndMinus(u"-1a2-3."_s), u"-12-3"_s);
        QCOMPARE(normaliseActionTextHeight(QString()), u"0"_s);
        QCOMPARE(normaliseActionTextHeight(u"-5"_s), u"-5"_s);
    }

    void validate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("taskRoom");
        QTest::addColumn<QString>("menuRoom");
        QTest::addColumn<int>("message");
        QTest::newRow("valid") << u"My Game"_s << u"intro"_s << u"bar"_s << u"menu"_s << 0;
        QTest::newRow("question mark") << u"Game?"_s << QString() << QString() << QString() << 269;
        QTest::newRow("backslash") << u"a\\b"_s << QString() << QString() << QString() << 269;
        QTest::newRow("pipe") << u"a|b"_s << QString() << QString() << QString() << 269;
        QTest::newRow("empty name") << QString() << QString() << QString() << QString() << 270;
        // The name is checked before the fields, whatever they hold.
        QTest::newRow("name first") << u"a:b"_s << u"x;"_s << QString() << QString() << 269;
        QTest::newRow("comma in start") << u"g"_s << u"a,b"_s << QString() << QString() << 271;
        QTest::newRow("comma allowed in name") << u"a,b"_s << QString() << QString() << QString() << 0;
        QTest::newRow("brace in task room") << u"g"_s << QString() << u"r{"_s << QString() << 272;
        QTest::newRow("quote in menu room") << u"g"_s << QString() << QString() << u"r\""_s << 273;
        QTest::newRow("start before rooms") << u"g"_s << u"("_s << u")"_s << u";"_s << 271;
    }
    void validate()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(QString, taskRoom);
        QFETCH(QString, menuRoom);
        QFETCH(int, message);
        QCOMPARE(validateSetup(name, start, taskRoom, menuRoom), message);
    }

    void fadeLabel_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("message");
        QTest::newRow("0") << 0 << 241;
        QTest::newRow("1") << 1 << 429;
        QTest::newRow("299") << 299 << 429;
        QTest::newRow("300") << 300 << 430;
        QTest::newRow("649") << 649 << 430;
        QTest::newRow("650") << 650 << 431;
        QTest::newRow("1000") << 1000 << 432;
        QTest::newRow("1449") << 1449 << 432;
        QTest::newRow("1450") << 1450 << 433;
        QTest::newRow("2000") << 2000 << 433;
    }
    void fadeLabel()
    {
        QFETCH(int, position);
        QFETCH(int, message);
        QCOMPARE(fadeLabelMessage(position), message);
    }

    void coinMarker()
    {
        QCOMPARE(clampCoinTop(-10), -10);
        QCOMPARE(clampCoinTop(-50), -11);
        QCOMPARE(clampCoinTop(138), 138);
        QCOMPARE(clampCoinTop(139), 139);
        QCOMPARE(clampCoinTop(400), 139);
        QCOMPARE(clampCoinLeft(188), 188);
        QCOMPARE(clampCoinLeft(200), 189);
        QCOMPARE(clampCoinLeft(-12), -11);
    }

    void commandChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("walk");
        QTest::addColumn<int>("message");
        QTest::newRow("valid") << u"use"_s << u"Use"_s << u"with"_s << u"Walk to"_s << 0;
        QTest::newRow("name only") << u"use"_s << QString() << u"with"_s << u"go"_s << 322;
        QTest::newRow("shown only") << QString() << u"Use"_s << u"with"_s << u"go"_s << 322;
        QTest::newRow("no link") << u"use"_s << u"Use"_s << QString() << u"go"_s << 323;
        QTest::newRow("no walk") << u"use"_s << u"Use"_s << u"with"_s << QString() << 324;
        QTest::newRow("quote in cell") << u"use"_s << u"U\"se"_s << u"with"_s << u"go"_s << 325;
        QTest::newRow("paren in link") << u"use"_s << u"Use"_s << u"w(ith"_s << u"go"_s << 326;
        QTest::newRow("semicolon in walk") << u"use"_s << u"Use"_s << u"with"_s << u"go;"_s << 327;
        // Emptiness is checked before any character rule.
        QTest::newRow("empty link over bad cell") << u"u;"_s << u"U"_s << QString() << u"go"_s << 323;
    }
    void commandChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QString, link);
        QFETCH(QString, walk);
        QFETCH(int, message);
        CommandGrid grid;
        grid[4] = {name, shown};
        QCOMPARE(validateCommands(grid, link, walk), message);
    }

    void closeGaps_data()
    {
        QTest::addColumn<QStringList>("before"); // names of rows 1.., "" for empty
        QTest::addColumn<QStringList>("after");
        QTest::newRow("one gap") << QStringList{u"a"_s, {}, u"c"_s} << QStringList{u"a"_s, u"c"_s, {}};
        QTest::newRow("two gaps one step") << QStringList{{}, {}, u"c"_s} << QStringList{{}, u"c"_s, {}};
        QTest::newRow("chain moves together") << QStringList{{}, u"b"_s, u"c"_s} << QStringList{u"b"_s, u"c"_s, {}};
        QTest::newRow("full") << QStringList{u"a"_s, u"b"_s} << QStringList{u"a"_s, u"b"_s};
    }
    void closeGaps()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        CommandGrid grid;
        for (int i = 0; i < before.size(); ++i)
            grid[i] = {before[i], before[i].toUpper()};
        grid[18] = {u"last"_s, u"Last"_s};
        grid[17] = {};
        closeCommandGaps(grid);
        for (int i = 0; i < after.size(); ++i) {
            QCOMPARE(grid[i].name, after[i]);
            QCOMPARE(grid[i].text, after[i].toUpper());
        }
        QCOMPARE(grid[17].name, u"last"_s);
        QVERIFY(grid[18].name.isEmpty());
    }

    void takeOver()
    {
        MessageCatalog catalog;
        auto model = std::make_unique<ProjectModel>();
        model->allesneu(catalog);
        CommandGrid grid;
        grid[0] = {u"look"_s, u"Look at"_s};
        grid[1] = {u"use"_s, u"Use"_s};
        grid[2] = {u"talk"_s, u"Talk to"_s};
        model->mouse.command[1] = 5; // third game command, "talk"
        model->mouse.command[2] = 3; // first, stays
        model->mouse.command[3] = 2; // loading icon, stays
        model->mouse.command[9] = 5; // cursor 10 has no choice and is left alone
        grid[2] = {};
        takeOverCommands(*model, grid, u"with"_s, u"to"_s, u"walk"_s);
        QCOMPARE(model->mouse.command[1], uint8_t(1));
        QCOMPARE(model->mouse.command[2], uint8_t(3));
        QCOMPARE(model->mouse.command[3], uint8_t(2));
        QCOMPARE(model->mouse.command[9], uint8_t(5));
        QCOMPARE(int(model->commands.rows.size()), 2);
        QCOMPARE(model->names[NameLists::Commands], (QStringList{u"look"_s, u"use"_s}));
        QVERIFY(model->names[NameLists::Events].contains(u"use"_s));
        QVERIFY(model->names[NameLists::Events].contains(u"mouse"_s));
        QVERIFY(!model->names[NameLists::Events].contains(u"talk"_s));
        QCOMPARE(model->commands.walktext, u"walk"_s);
    }

    void boolNames()
    {
        MessageCatalog catalog;
        auto model = std::make_unique<ProjectModel>();
        model->allesneu(catalog);
        QCOMPARE(addBool(*model, u"Door"_s), 0);
        QCOMPARE(addBool(*model, u"apple"_s), 0);
        QCOMPARE(checkBoolName(model->commands, u"DOOR"_s, false).message, 147);
        QVERIFY(checkBoolName(model->commands, u"DOOR"_s, true).accept);
        QCOMPARE(checkBoolName(model->commands, u"a;b"_s, false).message, 183);
        QVERIFY(!checkBoolName(model->commands, QString(), false).accept);
        QCOMPARE(checkBoolName(model->commands, QString(), false).message, 0);

        model->commands.bools[1].value = true; // Door
        QCOMPARE(renameBool(*model, 1, u"aardvark"_s), 0);
        QCOMPARE(model->commands.bools[0].name, u"aardvark"_s);
        QVERIFY(model->commands.bools[0].value);
        QCOMPARE(model->names[NameLists::Bools], (QStringList{u"aardvark"_s, u"apple"_s}));
        removeBool(*model, 0);
        QCOMPARE(model->names[NameLists::Bools], QStringList{u"apple"_s});
        QCOMPARE(int(model->commands.bools.size()), 1);
    }
};

QTEST_GUILESS_MAIN(TstSettingsValidation)
#include "tst_settingsvalidation.moc"
