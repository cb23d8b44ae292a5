// Finding and replacing in scripts: the matching rules, the search in one script with wrap-around,
// and the search and replace across every script of a project.
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "script/scriptsearch.h"
#include "support/sampleproject.h"

#include <QTest>

using namespace mb;
using namespace Qt::StringLiterals;

class tst_ScriptSearch : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void findInOneScript();
    void everyKindOfScript();
    void replaceAllAndUndo();
};

void tst_ScriptSearch::matching_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("starts");
    QTest::addColumn<QString>("replaced"); // every match replaced by "#"

    QTest::newRow("any case") << u"door"_s << false << false << u"setbool (DoorOpen ; door)"_s
                              << QList<int>{9, 20} << u"setbool (#Open ; #)"_s;
    QTest::newRow("match case") << u"door"_s << true << false << u"setbool (DoorOpen ; door)"_s
                                << QList<int>{20} << u"setbool (DoorOpen ; #)"_s;
    QTest::newRow("needle in capitals") << u"SETBOOL"_s << false << false << u"setbool (x)"_s
                                        << QList<int>{0} << u"# (x)"_s;
    QTest::newRow("whole word") << u"door"_s << false << true << u"door doors _door door2 (door;door)"_s
                                << QList<int>{0, 24, 29} << u"# doors _door door2 (#;#)"_s;
    QTest::newRow("whole word at the line end") << u"bob"_s << false << true << u"speech (bob"_s
                                                << QList<int>{8} << u"speech (#"_s;
    QTest::newRow("no overlap") << u"aa"_s << false << false << u"aaaaa"_s << QList<int>{0, 2} << u"##a"_s;
    QTest::newRow("non-letter first character") << u"(x"_s << false << false << u"a(X b(x"_s
                                                << QList<int>{1, 5} << u"a# b#"_s;
    // Only ASCII letters fold, as everywhere in the project: "tür" and "TüR" match, "TÜR" does not.
    QTest::newRow("umlauts keep their case") << u"tür"_s << false << false << u"TÜR tür TüR"_s
                                             << QList<int>{4, 8} << u"TÜR # #"_s;
    QTest::newRow("characters near letters do not match") << u"a"_s << false << false << u"@!A`a"_s
                                                          << QList<int>{2, 4} << u"@!#`#"_s;
    QTest::newRow("empty needle") << u""_s << false << false << u"abc"_s << QList<int>() << u"abc"_s;
    QTest::newRow("needle longer than the line") << u"abcd"_s << false << false << u"abc"_s << QList<int>() << u"abc"_s;
}

void tst_ScriptSearch::matching()
{
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QString, line);
    QFETCH(QList<int>, starts);
    QFETCH(QString, replaced);

    const TextMatcher m(needle, {matchCase, wholeWord});
    QList<int> found;
    for (qsizetype at = m.indexIn(line); at >= 0; at = m.indexIn(line, at + needle.size()))
        found << int(at);
    QCOMPARE(found, starts);
    QCOMPARE(m.count(line), int(starts.size()));
    int n = -1;
    QCOMPARE(m.replaceAll(line, u"#", &n), replaced);
    QCOMPARE(n, int(starts.size()));
    // Backwards, the last match (which may overlap the last one found forwards: "aaaaa").
    if (!starts.isEmpty()) {
        const qsizetype last = m.lastIndexIn(line);
        QVERIFY(last >= starts.back() && last < starts.back() + needle.size());
        QVERIFY(m.matchesExactly(QStringView(line).mid(last, needle.size())));
    } else {
        QCOMPARE(m.lastIndexIn(line), -1);
    }
}

void tst_ScriptSearch::findInOneScript()
{
    const QStringList script{u"on (click)"_s, u"{"_s, u"  setbool (door ; true)"_s, u"  setobj (door ; 2)"_s, u"}"_s};
    const TextMatcher door(u"door"_s, {});

    QCOMPARE(findInScript(script, door, {0, 0}), (TextPosition{2, 11}));
    // From the end of a match on, the next one.
    QCOMPARE(findInScript(script, door, {2, 15}), (TextPosition{3, 10}));
    // Round the end to the top.
    QCOMPARE(findInScript(script, door, {3, 14}), (TextPosition{2, 11}));
    // Backwards: the match that ends before the position, round the top to the end.
    QCOMPARE(findInScript(script, door, {3, 10}, true), (TextPosition{2, 11}));
    QCOMPARE(findInScript(script, door, {2, 11}, true), (TextPosition{3, 10}));
    QCOMPARE(findInScript(script, door, {1, 0}, true), (TextPosition{3, 10}));
    // One match only: found again from after itself.
    const QStringList single{u"a door"_s, u"x"_s};
    QCOMPARE(findInScript(single, door, {0, 6}), (TextPosition{0, 2}));
    QCOMPARE(findInScript(script, TextMatcher(u"window"_s, {}), {0, 0}), std::nullopt);
    QCOMPARE(findInScript({}, door, {0, 0}), std::nullopt);
    // A position past the end is taken as the last line.
    QCOMPARE(findInScript(script, door, {99, 0}, true), (TextPosition{3, 10}));
}

void tst_ScriptSearch::everyKindOfScript()
{
    const MessageCatalog english(u"EN"_s);
    auto p = testing::sampleProject(english);
    // The same word in every kind of script; one script holds it twice on one line.
    p->cutscenes[1].script << u"speech (self ; marker and Marker)"_s;
    p->items[1].script << u"marker"_s;
    p->rooms[1].script << u"marker"_s;
    p->rooms[1].walkmap.script(150, 90) << u"marker"_s;
    p->rooms[1].walkmap.script(3, 3) << u"marker"_s; // no script mark: not a script
    p->rooms[1].objects[0].script << u"marker"_s;
    p->rooms[2].objects[4].instanceName = u"crate"_s;
    p->rooms[2].objects[4].script << QString() << u"  marker"_s;
    p->roomChars[1].script << u"marker"_s;
    p->roomChars[2].script << u"marker"_s; // a free placement
    p->items[1].frames[1][2].script = u"setbool(marker;true)"_s;
    p->objects[1].frames[1][2].script = u"marker"_s;
    p->characters[1].frames[35][29].script = u"marker"_s;
    p->cutscenes[7].script << u"marker"_s; // a free slot

    const ScriptSearchResult found = findInProject(*p, TextMatcher(u"MARKER"_s, {}));
    QStringList where;
    for (const ScriptHit &hit : found.hits)
        where << scriptLabel(hit.location, english) + u"\" "_s + QString::number(hit.line) + u' ' + QString::number(hit.matches);
    QCOMPARE(where, (QStringList{
                        u"Cutscene \"intro\" 4 2"_s,
                        u"Item \"key\" 4 1"_s,
                        u"Room \"hall\" 4 1"_s,
                        u"Walkmap \"hall 150/90\" 3 1"_s,
                        u"Roomobject \"hall / door1\" 3 1"_s,
                        u"Roomobject \"cellar / crate\" 2 1"_s,
                        u"Character \"bob1\" 2 1"_s,
                        u"Item \"key (Frame 2/3)\" 1 1"_s,
                        u"Item \"door (Frame 2/3)\" 1 1"_s,
                        u"Item \"bob (Frame 36/30)\" 1 1"_s,
                    }));
    QCOMPARE(found.hits[0].text, u"speech (self ; marker and Marker)"_s);
    QCOMPARE(found.matchCount, 11);
    QCOMPARE(found.scriptCount, 10);
    QCOMPARE(found.hits[5].location.placement, 5);

    const ScriptSearchResult words = findInProject(*p, TextMatcher(u"mark"_s, {false, true}));
    QCOMPARE(words.matchCount, 0);
    QCOMPARE(findInProject(*p, TextMatcher(u"Marker"_s, {true, false})).matchCount, 1);
}

void tst_ScriptSearch::replaceAllAndUndo()
{
    const MessageCatalog english(u"EN"_s);
    auto p = testing::sampleProject(english);
    p->rooms[1].walkmap.script(150, 90) << u"speech (self ; hello)"_s;
    const auto saved = writeCompanionFiles(*p).files;

    const TextMatcher self(u"self"_s, {false, true});
    const ProjectReplace plan = planReplaceInProject(*p, self, u"bob1");
    QCOMPARE(writeCompanionFiles(*p).files, saved); // planning changes nothing
    QCOMPARE(plan.matchCount, 3);
    QCOMPARE(plan.changes.size(), 3);
    applyScriptChanges(*p, plan.changes);
    QCOMPARE(p->cutscenes[1].script[0], u"speech(bob1;Grüße, café ½ – \u20AC)"_s);
    QCOMPARE(p->rooms[1].objects[0].script[1], u"{ speech(bob1;locked) }"_s);
    QCOMPARE(p->rooms[1].walkmap.script(150, 90).back(), u"speech (bob1 ; hello)"_s);
    QCOMPARE(findInProject(*p, self).matchCount, 0);

    // Undone, the project saves to the same bytes; redone, to the replaced ones again.
    const auto replaced = writeCompanionFiles(*p).files;
    applyScriptChanges(*p, plan.changes, true);
    QCOMPARE(writeCompanionFiles(*p).files, saved);
    applyScriptChanges(*p, plan.changes);
    QCOMPARE(writeCompanionFiles(*p).files, replaced);

    // Frame lines are replaced as well; a replacement is not searched again.
    auto q = testing::sampleProject(english);
    const ProjectReplace frames = planReplaceInProject(*q, TextMatcher(u"a"_s, {true, true}), u"a;a");
    applyScriptChanges(*q, frames.changes);
    QCOMPARE(q->objects[1].frames[1][2].script, u"a;a;b"_s);
    QCOMPARE(q->items[1].frames[0][0].script, u"playsound(ding;80);setbool(a;a;true)"_s);
    applyScriptChanges(*q, frames.changes, true);
    QCOMPARE(q->objects[1].frames[1][2].script, u"a;b"_s);
}

QTEST_GUILESS_MAIN(tst_ScriptSearch)
#include "tst_scriptsearch.moc"
