#include "script/scriptchecker.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "script/commandtable.h"

#include <QTest>

#include <functional>
#include <memory>

using namespace mb;
using namespace Qt::StringLiterals;

namespace {

const QString kBraces = u"\" : amount of  {  is not the same as the amount of  } "_s;
const QString kParens = u"\" : amount of  (  is not the same as the amount of  )"_s;
const QString kBrackets = u"\" : amount of  [  is not the same as the amount of  ]"_s;

QString textOf(const std::optional<ScriptMistake> &m) { return m ? m->text : QString(); }

} // namespace

class tst_ScriptChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cutsceneScript_data();
    void cutsceneScript();
    void problemDetails();
    void everyCommandAndItsArguments();
    void frameLine_data();
    void frameLine();
    void orderAcrossKinds();
    void walkmapFieldsNeedTheirMark();
    void germanTexts();

private:
    // One project for the single-script cases; each case puts its script into cutscene 1.
    std::unique_ptr<ProjectModel> m_project;
    MessageCatalog m_english{u"EN"_s};
};

void tst_ScriptChecker::initTestCase() { m_project = std::make_unique<ProjectModel>(); }

void tst_ScriptChecker::cutsceneScript_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("expected"); // whole message text; empty: the script passes

    const QString intro = u"Cutscene \"intro"_s;
    const QString command = intro + u"\" : "_s;

    QTest::newRow("clean") << QStringList{u"on(mouse)"_s, u"{"_s, u"  speech(Bob;Hello)"_s,
                                          u"  stopmusic()"_s, u"}"_s}
                           << QString();
    QTest::newRow("empty script") << QStringList{} << QString();
    QTest::newRow("brace without closer") << QStringList{u"on(mouse)"_s, u"{"_s, u"speech(Bob;Hi)"_s}
                                          << intro + kBraces;
    QTest::newRow("braces before unknown command") << QStringList{u"{"_s, u"foo(x)"_s} << intro + kBraces;
    QTest::newRow("parenthesis without closer") << QStringList{u"speech(Bob;Hi"_s} << intro + kParens;
    QTest::newRow("parentheses before brackets") << QStringList{u"["_s, u"("_s} << intro + kParens;
    QTest::newRow("bracket without closer") << QStringList{u"setnum(a;[1)"_s} << intro + kBrackets;
    QTest::newRow("brackets before unknown command")
        << QStringList{u"foo(x)"_s, u"]"_s} << intro + kBrackets;
    QTest::newRow("order and nesting are not checked")
        << QStringList{u"} speech(Bob;Hi) {"_s, u"setnum(a;]1[)"_s} << QString();

    // Comments: their words are no calls, but their brackets count in the balance.
    QTest::newRow("comment hides unknown words and a brace")
        << QStringList{u"(* old { foo(x) bar *)"_s, u"speech(Bob;Hi) }"_s} << QString();
    QTest::newRow("comment over lines")
        << QStringList{u"(* start"_s, u"foo(x) bar"_s, u"*) speech(Bob;Hi)"_s} << QString();
    QTest::newRow("comment parenthesis counts in the balance")
        << QStringList{u"(* foo ( *)"_s} << intro + kParens;
    QTest::newRow("comment brace counts in the balance")
        << QStringList{u"(* { *)"_s, u"speech(Bob;Hi)"_s} << intro + kBraces;
    QTest::newRow("text after a comment is checked")
        << QStringList{u"(* note *) foo(x)"_s} << command + u"Unknown Command : foo (Line 1)"_s;
    QTest::newRow("(*) opens and closes, call continues on next line")
        << QStringList{u"(*)foo"_s, u"(x)"_s} << command + u"Unknown Command : foo (Line 2)"_s;

    QTest::newRow("second argument missing")
        << QStringList{u"on(mouse)"_s, u"{"_s, u"speech(Bob;)"_s, u"}"_s}
        << command + u"Not enough entries : speech (Bob;) (Line 3)"_s;
    QTest::newRow("fewer pieces than required")
        << QStringList{u"speech(Bob)"_s} << command + u"Not enough entries : speech (Bob) (Line 1)"_s;
    QTest::newRow("first argument missing")
        << QStringList{u"speech(;Hi)"_s} << command + u"Not enough entries : speech (;Hi) (Line 1)"_s;
    QTest::newRow("argument of blanks")
        << QStringList{u"speech(Bob;   )"_s}
        << command + u"Not enough entries : speech (Bob;   ) (Line 1)"_s;
    QTest::newRow("argument of two quotes")
        << QStringList{u"speech(Bob; \"\" )"_s}
        << command + u"Not enough entries : speech (Bob; \"\" ) (Line 1)"_s;
    QTest::newRow("quoted arguments and empty optional ones")
        << QStringList{u"speech( \"Bob\" ; \" Hi \" ;;)"_s, u"walkto(Bob;10;20;;)"_s} << QString();
    QTest::newRow("name case and blanks around it")
        << QStringList{u"\tSpEeCh  (Bob;Hi)"_s} << QString();
    QTest::newRow("negated condition") << QStringList{u"IFNOT_BOOL(x;true)"_s} << QString();
    QTest::newRow("negated condition short of arguments")
        << QStringList{u"IFNOT_BOOL(x)"_s} << command + u"Not enough entries : if_bool (x) (Line 1)"_s;
    QTest::newRow("negated unknown condition")
        << QStringList{u"ifnot_weather(rain)"_s} << command + u"Unknown Command : if_weather (Line 1)"_s;

    QTest::newRow("call over several lines reported at its closing line")
        << QStringList{u"on(mouse)"_s, u"{"_s, u"  speech(Bob;"_s, u"  )"_s, u"}"_s}
        << command + u"Not enough entries : speech (Bob;  ) (Line 4)"_s;
    QTest::newRow("name split over lines")
        << QStringList{u"spe"_s, u"ech(Bob;Hi)"_s, u"fo"_s, u"o(x"_s, u")"_s}
        << command + u"Unknown Command : foo (Line 5)"_s;
    QTest::newRow("braces are left out of calls")
        << QStringList{u"spe{ech(Bob;Hi)}"_s} << QString();
    QTest::newRow("text after the last call is no call")
        << QStringList{u"speech(Bob;Hi) and then foo"_s} << QString();
    QTest::newRow("first command mistake wins")
        << QStringList{u"speech(Bob;Hi)"_s, u"foo(x)"_s, u"speech(Bob;)"_s}
        << command + u"Unknown Command : foo (Line 2)"_s;

    QStringList example;
    for (int i = 1; i <= 11; ++i)
        example << u"setnum(counter;%1)"_s.arg(i);
    example << u"  foo()"_s << u"speech(Bob;Done)"_s;
    QTest::newRow("described example") << example << u"Cutscene \"intro\" : Unknown Command : foo (Line 12)"_s;
}

void tst_ScriptChecker::cutsceneScript()
{
    QFETCH(QStringList, script);
    QFETCH(QString, expected);

    Rcutscene &c = m_project->cutscenes[1];
    c.name = u"intro"_s;
    c.script = script;
    const auto mistake = ScriptChecker(m_english).check(*m_project);
    QCOMPARE(textOf(mistake), expected);
    QCOMPARE(c.script, script); // the check never changes a script
    if (mistake) {
        QCOMPARE(mistake->source, ScriptMistake::Cutscene);
        QCOMPARE(mistake->slot, 1);
        QCOMPARE(mistake->name, u"intro"_s);
    }
}

void tst_ScriptChecker::problemDetails()
{
    const auto p = ScriptChecker::checkScript({u"on(mouse)"_s, u"SPEECH( Bob ;"_s, u" \"\")"_s});
    QVERIFY(p);
    QCOMPARE(*p, (ScriptProblem{ScriptProblem::NotEnoughEntries, 3, u"speech"_s, u" Bob ; \"\""_s}));

    const auto b = ScriptChecker::checkScript({u"foo(x) ]"_s});
    QVERIFY(b);
    QCOMPARE(*b, (ScriptProblem{ScriptProblem::UnbalancedBrackets, 0, {}, {}}));

    const ScriptChecker checker(m_english);
    QCOMPARE(checker.commandMistakeText(*p, true), u"Not enough entries : speech ( Bob ; \"\") (Line 3)"_s);
    QCOMPARE(checker.commandMistakeText(*p, false), u"Not enough entries : speech ( Bob ; \"\")"_s);
    QCOMPARE(checker.commandMistakeText(*b, true), QString());
}

// Each command of the table, in upper case, with exactly its required arguments passes and with
// one fewer fails; every "if_" condition also in its negated form.
void tst_ScriptChecker::everyCommandAndItsArguments()
{
    for (int i = 0; i < CommandTable::count(); ++i) {
        const QString name = CommandTable::name(i);
        const int required = CommandTable::requiredArguments(i);
        QStringList forms{name.toUpper()};
        if (name.startsWith(u"if_"))
            forms << u"IfNot"_s + name.mid(2);
        for (const QString &form : forms) {
            const QString full = QStringList(required, u"a"_s).join(u';');
            QVERIFY2(!ScriptChecker::checkScript({form + u'(' + full + u')'}), qPrintable(form));
            if (required == 0)
                continue;
            const QString shortOne = QStringList(required - 1, u"a"_s).join(u';');
            const auto p = ScriptChecker::checkScript({form + u'(' + shortOne + u')'});
            QVERIFY2(p, qPrintable(form));
            QCOMPARE(*p, (ScriptProblem{ScriptProblem::NotEnoughEntries, 1, name, shortOne}));
        }
    }
    const auto p = ScriptChecker::checkScript({u"speechx(a;b)"_s});
    QVERIFY(p);
    QCOMPARE(p->kind, ScriptProblem::UnknownCommand);
}

void tst_ScriptChecker::frameLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind"); // -1: passes
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("arguments");

    QTest::newRow("fine") << u"playsound(step)"_s << -1 << QString() << QString();
    QTest::newRow("several arguments") << u"setobj(door;2)"_s << -1 << QString() << QString();
    QTest::newRow("blank line") << u"   "_s << -1 << QString() << QString();
    QTest::newRow("negated") << u"ifnot_bool(open;true)"_s << -1 << QString() << QString();
    QTest::newRow("no balance test") << u"speech(Bob;{[)"_s << -1 << QString() << QString();
    QTest::newRow("unknown") << u" Shake(3)"_s << int(ScriptProblem::UnknownCommand) << u"shake"_s
                             << QString();
    QTest::newRow("missing argument") << u"speech(Bob;)"_s << int(ScriptProblem::NotEnoughEntries)
                                      << u"speech"_s << u"Bob;"_s;
    QTest::newRow("empty parentheses") << u"playsound()"_s << int(ScriptProblem::NotEnoughEntries)
                                       << u"playsound"_s << QString();
    QTest::newRow("lone quote") << u"speech(Bob;\")"_s << int(ScriptProblem::NotEnoughEntries)
                                << u"speech"_s << u"Bob;\""_s;
    // Blanks after the ")" are invisible in the frame editor; they must not take its place as
    // the character the argument text leaves out.
    QTest::newRow("trailing blanks") << u"speech(Bob;)  "_s << int(ScriptProblem::NotEnoughEntries)
                                     << u"speech"_s << u"Bob;"_s;
    QTest::newRow("name without parentheses") << u"stopmusic"_s << -1 << QString() << QString();
}

void tst_ScriptChecker::frameLine()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, command);
    QFETCH(QString, arguments);

    const auto p = ScriptChecker::checkFrameLine(line);
    QCOMPARE(p.has_value(), kind >= 0);
    if (p)
        QCOMPARE(*p, (ScriptProblem{ScriptProblem::Kind(kind), 0, command, arguments}));
}

// One mistake in every kind of script, plus faulty scripts in slots that are not in use. Fixing
// the reported mistake must reveal the next kind in the checking order.
void tst_ScriptChecker::orderAcrossKinds()
{
    ProjectModel p;
    const QStringList unknown{u"foo(x)"_s};

    p.cutscenes[2].script = unknown; // slot not in use
    p.cutscenes[3] = {u"intro"_s, {u"speech(Bob;Hi)"_s, u"foo(x)"_s}};
    p.items[1].script = unknown; // not in use
    p.items[4].name = u"key"_s;
    p.items[4].script = {u"{"_s};

    Rroom &hall = p.rooms[2];
    hall.name = u"hall"_s;
    hall.script = {u"["_s};
    hall.walkmap.setHasScript(5, 7, true);
    hall.walkmap.script(5, 7) = {u"bar(1)"_s};
    hall.walkmap.setHasScript(4, 90, true);
    hall.walkmap.script(4, 90) = {u"setnum(a;1)"_s, u"baz(1)"_s};
    hall.objects[0].script = unknown; // no instance name
    hall.objects[4].instanceName = u"door"_s;
    hall.objects[4].objectName = u"door"_s;
    hall.objects[4].script = {u"setobj(door)"_s};
    Rroom &cellar = p.rooms[3];
    cellar.name = u"cellar"_s;
    cellar.walkmap.setHasScript(1, 1, true);
    cellar.walkmap.script(1, 1) = unknown;
    cellar.objects[0].instanceName = u"crate"_s;
    cellar.objects[0].script = {u"(* crate *)"_s, u"setobj(crate;;)"_s};
    p.rooms[5].objects[0].instanceName = u"ghost"_s; // the room is not in use
    p.rooms[5].objects[0].script = unknown;

    p.roomChars[2].instanceName = u"bob1"_s;
    p.roomChars[2].script = {u"on(click)"_s, u"{ walkto(bob1;10) }"_s};

    p.items[4].frames[1][2].script = u"playsound()"_s;
    p.items[1].frames[0][0].script = u"foo"_s; // owners not in use
    p.objects[2].frames[0][0].script = u"foo"_s;
    p.characters[1].frames[0][0].script = u"foo"_s;
    p.roomChars[1].characterName = u"Bob"_s; // a placement without instance name is free
    p.roomChars[1].script = unknown;
    p.objects[7].name = u"door"_s;
    p.objects[7].frames[0][29].script = u"opendoor(x)"_s;
    p.objects[7].frames[0][28].script = u"playsound(creak)"_s;
    p.characters[3].name = u"Bob"_s;
    p.characters[3].frames[35][0].script = u"IFNOT_Bool(x)"_s;

    struct Step
    {
        ScriptMistake::Source source;
        QString text;
        std::function<void()> fix;
    };
    const std::vector<Step> steps{
        {ScriptMistake::Cutscene, u"Cutscene \"intro\" : Unknown Command : foo (Line 2)"_s,
         [&] { p.cutscenes[3].script.removeLast(); }},
        {ScriptMistake::Item, u"Item \"key"_s + kBraces, [&] { p.items[4].script.clear(); }},
        {ScriptMistake::Room, u"Room \"hall"_s + kBrackets, [&] { hall.script.clear(); }},
        {ScriptMistake::WalkmapField, u"Walkmap \"hall 4/90\" : Unknown Command : baz (Line 2)"_s,
         [&] { hall.walkmap.script(4, 90).clear(); }},
        {ScriptMistake::WalkmapField, u"Walkmap \"hall 5/7\" : Unknown Command : bar (Line 1)"_s,
         [&] { hall.walkmap.script(5, 7).clear(); }},
        {ScriptMistake::WalkmapField, u"Walkmap \"cellar 1/1\" : Unknown Command : foo (Line 1)"_s,
         [&] { cellar.walkmap.script(1, 1).clear(); }},
        {ScriptMistake::RoomObject,
         u"Roomobject \"hall / door\" : Not enough entries : setobj (door) (Line 1)"_s,
         [&] { hall.objects[4].script.clear(); }},
        {ScriptMistake::RoomObject,
         u"Roomobject \"cellar / crate\" : Not enough entries : setobj (crate;;) (Line 2)"_s,
         [&] { cellar.objects[0].script.clear(); }},
        {ScriptMistake::RoomCharacter,
         u"Character \"bob1\" : Not enough entries : walkto (bob1;10) (Line 2)"_s,
         [&] { p.roomChars[2].script.clear(); }},
        {ScriptMistake::ItemFrame, u"Item \"key (Frame 2/3) \" : Not enough entries : playsound ()"_s,
         [&] { p.items[4].frames[1][2].script.clear(); }},
        {ScriptMistake::ObjectFrame, u"Item \"door (Frame 1/30) \" : Unknown Command : opendoor"_s,
         [&] { p.objects[7].frames[0][29].script.clear(); }},
        {ScriptMistake::CharacterFrame,
         u"Item \"Bob (Frame 36/1) \" : Not enough entries : if_bool (x)"_s,
         [&] { p.characters[3].frames[35][0].script.clear(); }},
    };

    const ScriptChecker checker(m_english);
    for (const Step &step : steps) {
        const auto m = checker.check(p);
        QCOMPARE(textOf(m), step.text);
        QCOMPARE(m->source, step.source);
        step.fix();
    }
    QCOMPARE(textOf(checker.check(p)), QString());

    // Where the last mistakes were, for a window that opens the script.
    p.rooms[3].objects[0].script = {u"foo()"_s};
    auto m = checker.check(p);
    QVERIFY(m);
    QCOMPARE(m->slot, 3);
    QCOMPARE(m->placement, 1);
    QCOMPARE(m->instanceName, u"crate"_s);
    QCOMPARE(m->problem.line, 1);
    p.rooms[3].objects[0].script.clear();
    p.characters[3].frames[4][6].script = u"speech(Bob)"_s;
    m = checker.check(p);
    QVERIFY(m);
    QCOMPARE(m->slot, 3);
    QCOMPARE(m->name, u"Bob"_s);
    QCOMPARE(m->state, 5);
    QCOMPARE(m->frame, 7);
    QCOMPARE(m->problem.line, 0);
}

void tst_ScriptChecker::walkmapFieldsNeedTheirMark()
{
    ProjectModel p;
    Rroom &room = p.rooms[1];
    room.name = u"yard"_s;
    room.walkmap.script(3, 3) = {u"foo()"_s}; // kept, but the field has no script mark
    room.walkmap.setHasScript(192, 96, true);
    room.walkmap.script(192, 96) = {u"{"_s};
    room.walkmap.setHasScript(10, 10, true); // marked, no script stored: nothing to check

    const ScriptChecker checker(m_english);
    QCOMPARE(textOf(checker.check(p)), u"Walkmap \"yard 192/96"_s + kBraces);
    room.walkmap.setHasScript(192, 96, false);
    QCOMPARE(textOf(checker.check(p)), QString());
}

void tst_ScriptChecker::germanTexts()
{
    ProjectModel p;
    p.cutscenes[1] = {u"intro"_s, {u"on(mouse)"_s, u"foo(x)"_s}};
    p.items[1].name = u"Schlüssel"_s;
    p.items[1].frames[0][0].script = u"speech(Bob;)"_s;

    MessageCatalog catalog(u"DE"_s);
    const ScriptChecker checker(catalog);
    QCOMPARE(textOf(checker.check(p)), u"Cutscene \"intro\" : Unbekannter Befehl : foo (Zeile 2)"_s);

    p.cutscenes[1].script = {u"{"_s};
    QCOMPARE(textOf(checker.check(p)),
             u"Cutscene \"intro\" : Anzahl  {  ist nicht gleich der Anzahl  } "_s);

    p.cutscenes[1].script.clear();
    QCOMPARE(textOf(checker.check(p)),
             u"Gegenstand \"Schlüssel (Frame 1/1) \" : Nicht genug Angaben : speech (Bob;)"_s);

    // The language is the catalog's at the time of the check.
    catalog.setLanguage(u"EN"_s);
    QCOMPARE(textOf(checker.check(p)),
             u"Item \"Schlüssel (Frame 1/1) \" : Not enough entries : speech (Bob;)"_s);
}

QTEST_GUILESS_MAIN(tst_ScriptChecker)
#include "tst_scriptchecker.moc"
