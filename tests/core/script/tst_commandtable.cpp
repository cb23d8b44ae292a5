#include "script/commandtable.h"

#include <QSet>
#include <QTest>

using mb::CommandTable;
using namespace Qt::StringLiterals;

class tst_CommandTable : public QObject
{
    Q_OBJECT

private slots:
    void tableOrderAndCounts();
    void findCommand_data();
    void findCommand();
    void negatedFormsMatchConditions();
    void keywordList();
    void keywordMatching_data();
    void keywordMatching();
    void insertMenuForms();
    void eventNames();
    void outOfRange();
};

void tst_CommandTable::tableOrderAndCounts()
{
    const QStringList &names = CommandTable::names();
    QCOMPARE(names.size(), 145);
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), 145);

    // Spot checks along the whole table: the order is fixed, so an entry dropped or swapped
    // shifts everything after it.
    QCOMPARE(names.first(), u"on"_s);
    QCOMPARE(names.at(16), u"set_rect_walkmap"_s);
    QCOMPARE(names.at(75), u"playavi"_s);
    QCOMPARE(names.at(105), u"group"_s);
    QCOMPARE(names.at(143), u"sqrt"_s);
    QCOMPARE(names.last(), u"stopsound"_s);

    int maxRequired = 0;
    for (int i = 0; i < CommandTable::count(); ++i) {
        QCOMPARE(CommandTable::name(i), names.at(i));
        QCOMPARE(CommandTable::findCommand(names.at(i)), std::optional<int>(i));
        maxRequired = std::max(maxRequired, CommandTable::requiredArguments(i));
        QVERIFY(CommandTable::requiredArguments(i) >= 0);
    }
    QCOMPARE(maxRequired, 6);
}

void tst_CommandTable::findCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index"); // -1: not a command
    QTest::addColumn<int>("required");

    QTest::newRow("plain") << u"speech"_s << 37 << 2;
    QTest::newRow("upper case") << u"SetObj"_s << 11 << 2;
    QTest::newRow("negated mixed case") << u"IFNOT_Bool"_s << 4 << 2;
    QTest::newRow("negated textscene") << u"ifnot_textscene"_s << 6 << 4;
    QTest::newRow("no argument needed") << u"command"_s << 61 << 0;
    QTest::newRow("if_command needs none") << u"ifnot_command"_s << 3 << 0;
    QTest::newRow("six arguments") << u"SET_RECT_WALKMAP"_s << 16 << 6;
    QTest::newRow("left out of the keywords, still a command") << u"showinventory"_s << 122 << 1;
    QTest::newRow("rewrite is by prefix only") << u"ifnotroom"_s << -1 << 0;
    QTest::newRow("bare ifnot") << u"ifnot"_s << -1 << 0;
    QTest::newRow("ifnot without an if_ command") << u"ifnot_setbool"_s << -1 << 0;
    QTest::newRow("event is no command") << u"mouse"_s << -1 << 0;
    QTest::newRow("keyword is no command") << u"leftactions"_s << -1 << 0;
    QTest::newRow("blanks are significant") << u" speech"_s << -1 << 0;
    QTest::newRow("empty") << u""_s << -1 << 0;
    // Only ASCII letters fold: the Kelvin sign must not turn into "k".
    QTest::newRow("non-ASCII fold") << QString::fromUtf8("\u212Aeydown") << -1 << 0;
}

void tst_CommandTable::findCommand()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, required);

    const std::optional<int> found = CommandTable::findCommand(name);
    if (index < 0) {
        QVERIFY(!found.has_value());
        return;
    }
    QCOMPARE(found, std::optional<int>(index));
    QCOMPARE(CommandTable::requiredArguments(*found), required);
}

void tst_CommandTable::negatedFormsMatchConditions()
{
    // Every "if_" command is reachable in its negated spelling, and the negated spelling is what
    // the keyword list holds.
    int conditions = 0;
    for (const QString &name : CommandTable::names()) {
        if (!name.startsWith(u"if_"))
            continue;
        ++conditions;
        const QString negated = u"ifnot"_s + name.mid(2);
        QCOMPARE(CommandTable::canonicalName(negated), name);
        QCOMPARE(CommandTable::findCommand(negated), CommandTable::findCommand(name));
        QVERIFY2(CommandTable::keywords().contains(negated), qPrintable(negated));
    }
    QCOMPARE(conditions, 19);
}

void tst_CommandTable::keywordList()
{
    const QStringList &keywords = CommandTable::keywords();
    QCOMPARE(keywords.size(), 158);
    QCOMPARE(QSet<QString>(keywords.cbegin(), keywords.cend()).size(), 158);

    const QStringList leftOut = {u"realreturn"_s, u"showinv"_s, u"showinventory"_s,
                                 u"enablemenu"_s, u"particleview"_s, u"movetext"_s, u"sqrt"_s};
    for (const QString &name : leftOut) {
        QVERIFY2(CommandTable::findCommand(name).has_value(), qPrintable(name));
        QVERIFY2(!keywords.contains(name), qPrintable(name));
    }
    int commandKeywords = 0;
    for (const QString &name : CommandTable::names()) {
        if (!leftOut.contains(name)) {
            QVERIFY2(keywords.contains(name), qPrintable(name));
            ++commandKeywords;
        }
    }
    QCOMPARE(commandKeywords, 138);
    QVERIFY(keywords.contains(u"leftactions"_s));
    // The list starts with the commands in table order.
    QCOMPARE(keywords.first(), u"on"_s);
    QCOMPARE(keywords.at(137), u"stopsound"_s);
    QCOMPARE(keywords.at(138), u"leftactions"_s);
}

void tst_CommandTable::keywordMatching_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("keyword");

    QTest::newRow("command") << u"walkto"_s << true;
    QTest::newRow("upper case") << u"WALKTO"_s << true;
    QTest::newRow("negated") << u"IfNot_Obj"_s << true;
    QTest::newRow("leftactions") << u"LeftActions"_s << true;
    QTest::newRow("left out") << u"ShowInventory"_s << false;
    QTest::newRow("sqrt") << u"sqrt"_s << false;
    QTest::newRow("event") << u"mouse"_s << false;
    QTest::newRow("part of a word") << u"walk"_s << false;
    QTest::newRow("ifnot of a non-condition") << u"ifnot_setbool"_s << false;
}

void tst_CommandTable::keywordMatching()
{
    QFETCH(QString, word);
    QFETCH(bool, keyword);
    QCOMPARE(CommandTable::isKeyword(word), keyword);
}

void tst_CommandTable::insertMenuForms()
{
    auto forms = [](const char *name) {
        return CommandTable::insertMenuForms(*CommandTable::findCommand(QString::fromLatin1(name)));
    };
    QCOMPARE(forms("setchar"), QStringList{u"setchar (character ; action1 ; <action2> .. ect)"_s});
    QCOMPARE(forms("stopzooming"), QStringList{u"stopzooming (character ; true/false) "_s});
    QCOMPARE(forms("command"), QStringList{u"command ( )"_s});
    QVERIFY(forms("playavi").isEmpty());
    QVERIFY(forms("level").isEmpty());
    QVERIFY(forms("sqrt").isEmpty());

    const QStringList on = forms("on");
    QCOMPARE(on.size(), 14);
    QCOMPARE(on.first(), u"On (mouse)"_s);
    QCOMPARE(on.at(12), u"On (cantall)"_s);
    QCOMPARE(on.last(), u"On (command)"_s);

    const QStringList effects = forms("starteffect");
    QCOMPARE(effects.size(), 24);
    QCOMPARE(effects.first(), u"starteffect (mirror)"_s);
    QCOMPARE(effects.at(21), u"starteffect (whiteflash ; ; )"_s);
    QCOMPARE(effects.last(), u"starteffect (lightning ; )"_s);

    int withEntries = 0;
    for (int i = 0; i < CommandTable::count(); ++i)
        withEntries += CommandTable::insertMenuForms(i).isEmpty() ? 0 : 1;
    // All but playavi, stopavi, level, row, simclick, realreturn, showinv and sqrt.
    QCOMPARE(withEntries, 137);
}

void tst_CommandTable::eventNames()
{
    const QStringList expected = {u"mouse"_s, u"mouseout"_s, u"click"_s, u"release"_s,
                                  u"rightclick"_s, u"doubleclick"_s, u"enter"_s, u"exit"_s,
                                  u"loop1"_s, u"loop2"_s, u"link"_s, u"givelink"_s,
                                  u"cantall"_s};
    QCOMPARE(CommandTable::eventNames(), expected);
}

void tst_CommandTable::outOfRange()
{
    for (int index : {-1, 145, 1000}) {
        QCOMPARE(CommandTable::requiredArguments(index), -1);
        QVERIFY(CommandTable::name(index).isEmpty());
        QVERIFY(CommandTable::insertMenuForms(index).isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_CommandTable)
#include "tst_commandtable.moc"
