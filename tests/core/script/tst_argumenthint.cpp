#include "project/messagecatalog.h"
#include "script/argumenthint.h"
#include "script/commandtable.h"

#include <QTest>

using mb::ArgumentHint;
using mb::MessageCatalog;
using namespace Qt::StringLiterals;

class tst_ArgumentHint : public QObject
{
    Q_OBJECT

private slots:
    void hint_data();
    void hint();
    void negatedFormsShareHints();
    void followsCatalogLanguage();
};

void tst_ArgumentHint::hint_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("list");

    const int none = ArgumentHint::NoList;

    QTest::newRow("command name") << u"setchar"_s << 0 << u"Command"_s << 16;
    QTest::newRow("command name, unknown word") << u"xyz"_s << 0 << u"Command"_s << 16;

    // setchar: the character, then any number of actions.
    QTest::newRow("setchar 1") << u"setchar"_s << 1 << u"Character"_s << 13;
    QTest::newRow("setchar 2") << u"setchar"_s << 2 << u"Action (1-20) (Extraname)"_s << none;
    QTest::newRow("setchar 3") << u"setchar"_s << 3 << u"Action (1-20) (Extraname)"_s << none;
    QTest::newRow("setchar 4") << u"SETCHAR"_s << 4 << u"Action (1-20) (Extraname)"_s << none;

    // group: a name, then up to twenty object placements.
    QTest::newRow("group 1") << u"group"_s << 1 << u"Groupname"_s << none;
    QTest::newRow("group 2") << u"group"_s << 2 << u"Object"_s << 15;
    QTest::newRow("group 3") << u"group"_s << 3 << u"Object"_s << 15;
    QTest::newRow("group 21") << u"group"_s << 21 << u"Object"_s << 15;

    QTest::newRow("loadroom 1") << u"loadroom"_s << 1 << u"Room"_s << 14;
    QTest::newRow("loadroom 2") << u"loadroom"_s << 2 << u"Screenchange : (Optional)"_s << 0;
    QTest::newRow("loadroom 3") << u"loadroom"_s << 3 << QString() << none;

    QTest::newRow("unnamed position") << u"if_obj"_s << 3 << QString() << none;
    QTest::newRow("command without hints") << u"stopsound"_s << 1 << QString() << none;
    QTest::newRow("unknown command") << u"xyz"_s << 1 << QString() << none;
    QTest::newRow("negative position") << u"setchar"_s << -1 << QString() << none;

    QTest::newRow("IFNOT_Bool 1") << u"IFNOT_Bool"_s << 1 << u"Bool Name"_s << 6;
    QTest::newRow("IFNOT_Bool 2") << u"IFNOT_Bool"_s << 2 << u"true / false"_s << none;
    QTest::newRow("IFNOT_Bool 3") << u"IFNOT_Bool"_s << 3 << QString() << none;
    QTest::newRow("ifnot_command 1") << u"ifnot_command"_s << 1 << u"Gamecommand"_s << 1;

    // The states of setobj/setitem come from the "from 2 on" rule, the first argument from the
    // position-1 table.
    QTest::newRow("setobj 1") << u"setobj"_s << 1 << u"Object"_s << 15;
    QTest::newRow("setobj 2") << u"setobj"_s << 2 << u"State 0-10"_s << none;
    QTest::newRow("setobj 9") << u"setobj"_s << 9 << u"State 0-10"_s << none;
    QTest::newRow("setitem 1") << u"setitem"_s << 1 << u"Item"_s << 11;
    QTest::newRow("setitem 2") << u"setitem"_s << 2 << u"State 0-10"_s << none;
    QTest::newRow("if_item 2") << u"if_item"_s << 2 << u"State 0-10"_s << none;
    QTest::newRow("if_item 3") << u"if_item"_s << 3 << QString() << none;

    // Message plus literal, and literals holding quotes.
    QTest::newRow("runspeed 1") << u"runspeed"_s << 1 << u"Runspeed in Procent 50% - 300%"_s << none;
    QTest::newRow("setfont 1") << u"setfont"_s << 1 << u"Font :(1-99)"_s << none;
    QTest::newRow("function 2") << u"function"_s << 2 << u"loopcount / \"infinit\" / loop2"_s << none;
    QTest::newRow("speech 3") << u"speech"_s << 3 << u"Speech Soundfile or \"dontwait\""_s << 8;
    QTest::newRow("offspeech 4") << u"offspeech"_s << 4 << u"Speech Soundfile or \"dontwait\""_s << 8;

    QTest::newRow("starteffect 1") << u"starteffect"_s << 1 << u"Special FX"_s << 3;
    QTest::newRow("starteffect 2") << u"starteffect"_s << 2 << u"Effect Value"_s << none;
    QTest::newRow("starteffect 3") << u"starteffect"_s << 3 << u"fade (Optional)"_s << none;
    QTest::newRow("set_rect_walkmap 6") << u"set_rect_walkmap"_s << 6 << u"Free to Walk (true/false)"_s << none;
    QTest::newRow("textout 8") << u"textout"_s << 8 << u"Color Value (0-255)"_s << none;
    QTest::newRow("textout 9") << u"textout"_s << 9 << QString() << none;
    QTest::newRow("left-out keyword still hinted") << u"particleview"_s << 1 << u"(1-4)"_s << 17;
    QTest::newRow("on 1") << u"on"_s << 1 << u"Event"_s << 5;
}

void tst_ArgumentHint::hint()
{
    QFETCH(QString, command);
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(int, list);

    const MessageCatalog catalog(u"EN"_s);
    const ArgumentHint hint = mb::argumentHint(command, position, catalog);
    QCOMPARE(hint.text, text);
    QCOMPARE(hint.nameList, list);
    QCOMPARE(hint.hasList(), list != ArgumentHint::NoList);
}

void tst_ArgumentHint::negatedFormsShareHints()
{
    const MessageCatalog catalog(u"EN"_s);
    for (const QString &name : mb::CommandTable::names()) {
        if (!name.startsWith(u"if_"))
            continue;
        const QString negated = u"IfNot"_s + name.mid(2);
        for (int position = 0; position <= 8; ++position) {
            QVERIFY2(mb::argumentHint(negated, position, catalog)
                         == mb::argumentHint(name, position, catalog),
                     qPrintable(u"%1 %2"_s.arg(negated).arg(position)));
        }
    }
}

void tst_ArgumentHint::followsCatalogLanguage()
{
    MessageCatalog catalog(u"DE"_s);
    const ArgumentHint action = mb::argumentHint(u"setchar"_s, 3, catalog);
    QCOMPARE(action.text, catalog.msg(343, u"DE"_s) + u" (1-20) (Extraname)"_s);
    const ArgumentHint screen = mb::argumentHint(u"loadroom"_s, 2, catalog);
    QCOMPARE(screen.text, catalog.msg(285, u"DE"_s) + u" (Optional)"_s);
    QCOMPARE(screen.nameList, 0);
    // Pure literals do not depend on the language.
    QCOMPARE(mb::argumentHint(u"showinventory"_s, 1, catalog).text, u"Inventory (1-5)"_s);

    // The same catalog switched back: the hint is read at call time, not cached.
    catalog.setLanguage(u"EN"_s);
    QCOMPARE(mb::argumentHint(u"setchar"_s, 3, catalog).text, u"Action (1-20) (Extraname)"_s);
    QVERIFY(catalog.msg(343, u"DE"_s) != catalog.msg(343, u"EN"_s));
}

QTEST_GUILESS_MAIN(tst_ArgumentHint)
#include "tst_argumenthint.moc"
