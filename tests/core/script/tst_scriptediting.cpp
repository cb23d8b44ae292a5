// What the script editor does to scripts and the project, without a window: the keys that name
// scripts, storing the open script (the walkmap cell rule), the recent list, the insert menu with
// its caret places, "{ }" and the presets with presets.txt.
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "script/inserttemplates.h"
#include "script/recentscripts.h"
#include "script/scriptkey.h"
#include "script/scriptlocation.h"
#include "script/scriptpresets.h"
#include "support/sampleproject.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(mb::ScriptKey)

class tst_ScriptEditing : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void badKeys();
    void captionsAndLookups();
    void storing();
    void emptiedCellScript();
    void storeUndoRestoresTheSavedBytes();
    void recentScripts();
    void insertMenu();
    void caretPlaces_data();
    void caretPlaces();
    void lineEdits();
    void builtInPresets();
    void presetsFile();

private:
    const MessageCatalog m_english{u"EN"_s};
};

void tst_ScriptEditing::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ScriptKey>("key");
    QTest::newRow("cutscene") << u"0intro"_s << ScriptKey::cutscene(u"intro"_s);
    QTest::newRow("item") << u"1key"_s << ScriptKey::item(u"key"_s);
    QTest::newRow("room") << u"8hall"_s << ScriptKey::room(u"hall"_s);
    QTest::newRow("walkmap cell") << u"5150090hall"_s << ScriptKey::walkmapCell(u"hall"_s, 150, 90);
    QTest::newRow("cell with leading zeros") << u"5007042ground floor"_s << ScriptKey::walkmapCell(u"ground floor"_s, 7, 42);
    QTest::newRow("object placement") << u"6001hall"_s << ScriptKey::roomObject(u"hall"_s, 1);
    QTest::newRow("character placement") << u"7012"_s << ScriptKey::roomCharacter(12);
    QTest::newRow("free") << u"free"_s << ScriptKey();
    QTest::newRow("name with digits") << u"0123"_s << ScriptKey::cutscene(u"123"_s);
}

void tst_ScriptEditing::keys()
{
    QFETCH(QString, text);
    QFETCH(ScriptKey, key);
    QCOMPARE(ScriptKey::parse(text), key);
    QCOMPARE(key.text(), text);
}

void tst_ScriptEditing::badKeys()
{
    for (const QString &text : {u""_s, u"9hall"_s, u"512hall"_s, u"5xx1002hall"_s, u"6ab1hall"_s, u"7"_s, u"70012"_s})
        QVERIFY2(!ScriptKey::parse(text), qPrintable(text));
}

void tst_ScriptEditing::captionsAndLookups()
{
    const auto p = testing::sampleProject(m_english);
    struct Case
    {
        QString key, caption, title;
        const Script *script;
    };
    const Case cases[] = {
        {u"0intro"_s, u"Script (intro / Script)"_s, u"intro / Script"_s, &p->cutscenes[1].script},
        {u"1key"_s, u"Script (key / Item)"_s, u"key / Item"_s, &p->items[1].script},
        {u"8hall"_s, u"Script (hall / Room)"_s, u"hall / Room"_s, &p->rooms[1].script},
        {u"5150090hall"_s, u"Script (hall [150-090] / Walkmap)"_s, u"hall [150-090] / Walkmap"_s,
         p->rooms[1].walkmap.findScript(150, 90)},
        {u"6001hall"_s, u"Script (door1 / Object)"_s, u"door1 / Object"_s, &p->rooms[1].objects[0].script},
        {u"7001"_s, u"Script (bob1 / Character)"_s, u"bob1 / Character"_s, &p->roomChars[1].script},
        // Keys of things that are not there: an empty editor under the key.
        {u"0nothing"_s, u"Script (nothing / Script)"_s, u"nothing / Script"_s, nullptr},
        {u"5003003hall"_s, u"Script (hall [003-003] / Walkmap)"_s, u"hall [003-003] / Walkmap"_s, nullptr},
        {u"6002hall"_s, u"Script ( / Object)"_s, u" / Object"_s, nullptr},
        {u"7002"_s, u"Script ( / Character)"_s, u" / Character"_s, nullptr},
        {u"6001attic"_s, u"Script ( / Object)"_s, u" / Object"_s, nullptr},
    };
    for (const Case &c : cases) {
        const ScriptKey key = *ScriptKey::parse(c.key);
        const ScriptCaption caption = scriptCaption(*p, key, m_english);
        QCOMPARE(caption.caption, c.caption);
        QCOMPARE(caption.title, c.title);
        QCOMPARE(findScript(*p, key), c.script);
        QCOMPARE(scriptExists(*p, key), c.script != nullptr);
    }
    QCOMPARE(scriptCaption(*p, ScriptKey(), m_english).caption, u"Script (none)"_s);
    QCOMPARE(scriptCaption(*p, *ScriptKey::parse(u"6001hall"_s), m_english).placementName, u"door1"_s);
    QCOMPARE(scriptCaption(*p, *ScriptKey::parse(u"0intro"_s), MessageCatalog(u"DE"_s)).caption, u"Skript (intro / Skript)"_s);
}

void tst_ScriptEditing::storing()
{
    auto p = testing::sampleProject(m_english);
    const QStringList lines{u"on (click)"_s, u" speech (self ; hi)"_s};
    const auto store = [&](const QString &key, const QString &placement = QString()) {
        const ScriptKey k = *ScriptKey::parse(key);
        const ScriptStore plan = planScriptStore(*p, k, placement, lines, StoreReason::TextChanged);
        applyScriptStore(*p, k, plan);
        return plan.action;
    };
    QCOMPARE(store(u"0intro"_s), ScriptStore::SetLines);
    QCOMPARE(p->cutscenes[1].script, lines);
    QCOMPARE(store(u"0intro"_s), ScriptStore::Nothing); // already stored
    QCOMPARE(store(u"1key"_s), ScriptStore::SetLines);
    QCOMPARE(p->items[1].script, lines);
    QCOMPARE(store(u"8hall"_s), ScriptStore::SetLines);
    QCOMPARE(p->rooms[1].script, lines);
    QCOMPARE(store(u"7001"_s), ScriptStore::SetLines);
    QCOMPARE(p->roomChars[1].script, lines);

    // An object placement is stored by the instance name taken at opening, wherever it now is.
    p->rooms[1].objects[5] = p->rooms[1].objects[0];
    p->rooms[1].objects[0] = Rroomobj();
    QCOMPARE(store(u"6001hall"_s, u"door1"_s), ScriptStore::SetLines);
    QCOMPARE(p->rooms[1].objects[5].script, lines);
    QCOMPARE(p->rooms[1].objects[0].script, Script());

    // No target: nothing is written anywhere.
    const auto before = writeCompanionFiles(*p).files;
    QCOMPARE(store(u"0nothing"_s), ScriptStore::Nothing);
    QCOMPARE(store(u"7002"_s), ScriptStore::Nothing);
    QCOMPARE(store(u"6001hall"_s, u"gone"_s), ScriptStore::Nothing);
    QCOMPARE(store(u"5001001attic"_s), ScriptStore::Nothing);
    QCOMPARE(writeCompanionFiles(*p).files, before);

    // Text typed into a cell that has no script yet makes it a cell script that is saved.
    QVERIFY(!p->rooms[1].walkmap.hasScript(10, 20));
    QCOMPARE(store(u"5010020hall"_s), ScriptStore::SetLines);
    QVERIFY(p->rooms[1].walkmap.hasScript(10, 20));
    QCOMPARE(*p->rooms[1].walkmap.findScript(10, 20), lines);
}

void tst_ScriptEditing::emptiedCellScript()
{
    auto p = testing::sampleProject(m_english);
    const ScriptKey cell = ScriptKey::walkmapCell(u"hall"_s, 150, 90);
    Walkmap &walkmap = p->rooms[1].walkmap;

    // Emptied while typing: the cell keeps its (empty) script.
    applyScriptStore(*p, cell, planScriptStore(*p, cell, {}, {}, StoreReason::TextChanged));
    QVERIFY(walkmap.hasScript(150, 90));
    QCOMPARE(*walkmap.findScript(150, 90), Script());
    // Typing on keeps it, of course.
    applyScriptStore(*p, cell, planScriptStore(*p, cell, {}, {u"on (enter)"_s}, StoreReason::TextChanged));
    QVERIFY(walkmap.hasScript(150, 90));

    // Emptied and left for another script: the cell script is gone.
    applyScriptStore(*p, cell, planScriptStore(*p, cell, {}, {}, StoreReason::TextChanged));
    const ScriptStore leave = planScriptStore(*p, cell, {}, {}, StoreReason::Leaving);
    QCOMPARE(leave.action, ScriptStore::RemoveCell);
    applyScriptStore(*p, cell, leave);
    QVERIFY(!walkmap.hasScript(150, 90));
    QVERIFY(!walkmap.findScript(150, 90));
    QVERIFY(!scriptExists(*p, cell));

    // Leaving a cell that is not empty keeps it.
    applyScriptStore(*p, cell, planScriptStore(*p, cell, {}, {u"x"_s}, StoreReason::TextChanged));
    QCOMPARE(planScriptStore(*p, cell, {}, {u"x"_s}, StoreReason::Leaving).action, ScriptStore::Nothing);
    QVERIFY(walkmap.hasScript(150, 90));
}

void tst_ScriptEditing::storeUndoRestoresTheSavedBytes()
{
    // Every kind of store, undone, gives the project's files back byte for byte (including a cell
    // that had a stray list without its script mark, and one that had nothing).
    auto p = testing::sampleProject(m_english);
    const auto saved = writeCompanionFiles(*p).files;
    const Walkmap walkmapBefore = p->rooms[1].walkmap;
    const struct
    {
        QString key;
        QStringList lines;
        StoreReason reason;
    } stores[] = {
        {u"0intro"_s, {u"new"_s}, StoreReason::TextChanged},
        {u"1key"_s, {}, StoreReason::Leaving},
        {u"8hall"_s, {u"a"_s, u"b"_s}, StoreReason::TextChanged},
        {u"5150090hall"_s, {}, StoreReason::Leaving},
        {u"5003003hall"_s, {u"typed"_s}, StoreReason::TextChanged},
        {u"5100010hall"_s, {u"typed"_s}, StoreReason::TextChanged},
        {u"6001hall"_s, {u"x"_s}, StoreReason::TextChanged},
        {u"7001"_s, {u"y"_s}, StoreReason::TextChanged},
    };
    for (const auto &s : stores) {
        const ScriptKey key = *ScriptKey::parse(s.key);
        const ScriptStore plan = planScriptStore(*p, key, scriptCaption(*p, key, m_english).placementName, s.lines, s.reason);
        QVERIFY2(plan.action != ScriptStore::Nothing, qPrintable(s.key));
        const ScriptStoreUndo undo = applyScriptStore(*p, key, plan);
        QVERIFY2(writeCompanionFiles(*p).files != saved, qPrintable(s.key));
        restoreScriptStore(*p, key, plan, undo);
        QVERIFY2(writeCompanionFiles(*p).files == saved, qPrintable(s.key));
        QVERIFY2(p->rooms[1].walkmap == walkmapBefore, qPrintable(s.key));
    }
}

void tst_ScriptEditing::recentScripts()
{
    RecentScripts recent;
    const auto keys = [&] {
        QStringList k;
        for (const auto &e : recent.entries())
            k << e.key;
        return k;
    };
    // Six scripts in a row: the latest five, the latest first.
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(recent.opened(u"0s%1"_s.arg(i), u"s%1 / Script"_s.arg(i)), 0);
        recent.setTopLine(i * 10);
    }
    QCOMPARE(keys(), (QStringList{u"0s6"_s, u"0s5"_s, u"0s4"_s, u"0s3"_s, u"0s2"_s}));
    // The third moves to the top and brings its first visible line.
    QCOMPARE(recent.opened(u"0s4"_s, u"s4 / Script"_s), 40);
    QCOMPARE(keys(), (QStringList{u"0s4"_s, u"0s6"_s, u"0s5"_s, u"0s3"_s, u"0s2"_s}));
    QCOMPARE(recent.entry(1).topLine, 60);
    // The first again: nothing changes.
    QCOMPARE(recent.opened(u"0s4"_s, u"other"_s), 40);
    QCOMPARE(recent.entry(0).title, u"s4 / Script"_s);

    recent.prune([](const QString &key) { return key != u"0s6" && key != u"0s3"; });
    QCOMPARE(keys(), (QStringList{u"0s4"_s, u"0s5"_s, u"0s2"_s, QString(), QString()}));
    QCOMPARE(recent.entry(3), RecentScripts::Entry());
    // A new script after pruning fills from the top.
    recent.opened(u"8hall"_s, u"hall / Room"_s);
    QCOMPARE(keys(), (QStringList{u"8hall"_s, u"0s4"_s, u"0s5"_s, u"0s2"_s, QString()}));
    // A renamed script keeps its place and top line; an older entry of the new name goes.
    recent.renamed(u"0s5"_s, u"0s2"_s, u"s2 / Script"_s);
    QCOMPARE(keys(), (QStringList{u"8hall"_s, u"0s4"_s, u"0s2"_s, QString(), QString()}));
    QCOMPARE(recent.entry(2).topLine, 50);
    QCOMPARE(recent.entry(2).title, u"s2 / Script"_s);
}

void tst_ScriptEditing::insertMenu()
{
    const QList<inserts::Menu> menus = inserts::menus(m_english);
    QStringList captions;
    QList<int> entries;
    for (const inserts::Menu &m : menus) {
        captions << m.caption;
        entries << 0;
        for (const auto &section : m.sections) {
            QVERIFY2(!section.isEmpty(), qPrintable(m.caption));
            for (const inserts::Entry &e : section) {
                QVERIFY2(!e.caption.isEmpty(), qPrintable(e.text));
                QVERIFY(e.caret > 0 && e.caret <= e.text.size());
                ++entries.back();
            }
        }
    }
    QCOMPARE(captions, (QStringList{u"On"_s, u"If"_s, u"Set"_s, u"Sound / Video"_s, u"Object"_s, u"Room"_s,
                                    u"Character"_s, u"Item"_s, u"Special FX"_s, u"Text"_s, u"Scene / Game"_s,
                                    u"Save/Load Menu"_s, u"Particle"_s}));
    QCOMPARE(entries, (QList<int>{14, 19, 18, 15, 5, 8, 19, 9, 26, 8, 22, 6, 4}));
    QCOMPARE(inserts::menus(MessageCatalog(u"DE"_s))[2].caption, u"Setzen"_s);

    // Captions are the command's insert-menu form; the On entries name their event.
    const inserts::Menu &on = menus[0];
    QCOMPARE(on.sections[0][0].caption, u"On (command)"_s);
    QCOMPARE(on.sections[1][0].caption, u"On (mouse)"_s);
    QCOMPARE(on.sections[2][0].caption, u"On (cantall)"_s);
    QCOMPARE(menus[2].sections[2][0].caption, u"setbool (bool ; true/false)"_s);
    QCOMPARE(menus[2].sections[2][0].text, u"setbool ( ; )"_s);
    // The first On entry waits for a game command; the events are complete.
    QCOMPARE(on.sections[0][0].caret, 4);
    QCOMPARE(on.sections[1][2].caret, int(on.sections[1][2].text.size()));
}

void tst_ScriptEditing::caretPlaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("beforeCaret");
    QTest::newRow("after the parenthesis") << u"setbool ( ; )"_s << u"setbool ("_s;
    QTest::newRow("no argument") << u"stopmusic ()"_s << u"stopmusic ()"_s;
    QTest::newRow("no argument, particles") << u"stopparticles ()"_s << u"stopparticles ()"_s;
    QTest::newRow("command with an argument") << u"stopsound ()"_s << u"stopsound ("_s;
    QTest::newRow("realtime") << u"realtime()"_s << u"realtime("_s;
    QTest::newRow("effect without value") << u"starteffect (mirror)"_s << u"starteffect (mirror)"_s;
    QTest::newRow("classicdark") << u"starteffect (classicdark)"_s << u"starteffect (classicdark"_s;
    QTest::newRow("effect with value") << u"starteffect (fog ; )"_s << u"starteffect (fog ; "_s;
    QTest::newRow("effect with values") << u"starteffect (zoom ; ; ; )"_s << u"starteffect (zoom ; "_s;
    QTest::newRow("whiteflash") << u"starteffect (whiteflash ; ; )"_s << u"starteffect (whiteflash ;"_s;
}

void tst_ScriptEditing::caretPlaces()
{
    QFETCH(QString, text);
    QFETCH(QString, beforeCaret);
    QCOMPARE(text.left(inserts::caretOffset(text)), beforeCaret);
    // Every such entry of the menu agrees.
    for (const inserts::Menu &m : inserts::menus(m_english))
        for (const auto &section : m.sections)
            for (const inserts::Entry &e : section)
                if (e.text == text)
                    QCOMPARE(e.caret, int(beforeCaret.size()));
}

void tst_ScriptEditing::lineEdits()
{
    const QStringList script{u"on (click)"_s, QString(), u"}"_s};

    // "{ }" in column 5 of an empty line: five blanks each, caret in column 6 of the middle line.
    LineEdit edit = insertBraces(1, 5);
    QCOMPARE(edit.applyTo(script),
             (QStringList{u"on (click)"_s, u"     {"_s, u"     "_s, u"     }"_s, QString(), u"}"_s}));
    QCOMPARE(edit.caretLine, 2);
    QCOMPARE(edit.caretColumn, 6);

    const inserts::Entry setbool{u"setbool (bool ; true/false)"_s, u"setbool ( ; )"_s, 9};
    // Column 3 of a line with text: a new line above it, two blanks before the template.
    edit = insertEntry(script[0], 0, 3, setbool);
    QCOMPARE(edit.applyTo(script), (QStringList{u"  setbool ( ; )"_s, u"on (click)"_s, QString(), u"}"_s}));
    QCOMPARE(edit.caretLine, 0);
    QCOMPARE(edit.caretColumn, 12);
    // A line of blanks is replaced.
    edit = insertEntry(u"   ", 1, 2, setbool);
    QCOMPARE(edit.applyTo({u"a"_s, u"   "_s, u"b"_s}), (QStringList{u"a"_s, u" setbool ( ; )"_s, u"b"_s}));
    QCOMPARE(edit.caretColumn, 11);
    // The empty editor.
    QCOMPARE(insertEntry(u"", 0, 1, setbool).applyTo({}), QStringList{u"setbool ( ; )"_s});

    // A preset pushes the caret's line down; the caret ends on its last line.
    edit = insertPreset(1, 4, presets::object());
    const QStringList after = edit.applyTo(script);
    QCOMPARE(after.mid(1, 5), presets::object());
    QCOMPARE(after.mid(6), script.mid(1));
    QCOMPARE(edit.caretLine, 5);
    QCOMPARE(edit.caretColumn, int(u" walkto ( ; ; ; )"_s.size()) + 1);
    QCOMPARE(insertPreset(2, 4, {}).applyTo(script), script);
}

void tst_ScriptEditing::builtInPresets()
{
    QCOMPARE(presets::item(u"key"_s).at(7), u" link (key)"_s);
    QCOMPARE(presets::character(u"bob1"_s).at(9), u" additem (bob1 ; givelink)"_s);
    QCOMPARE(presets::room().size(), 20);
    QCOMPARE(presets::room().at(5), u"on (loop1)"_s);
    const QStringList two = presets::textscene(2);
    QCOMPARE(two, (QStringList{u"level ( )"_s, u" {"_s, u" row (1 ; ; true)"_s, u"  {"_s, u"  "_s, u"  }"_s,
                               u" row (2 ; ; true)"_s, u"  {"_s, u"  "_s, u"  }"_s, u" }"_s}));
    QCOMPARE(presets::textscene(9).size(), 3 + 9 * 4);
}

void tst_ScriptEditing::presetsFile()
{
    // Lines before the first header belong to no preset; "preset " in any letter case starts one;
    // "presets" or "preset" without a blank do not.
    const QStringList lines{u"notes about my presets"_s, u"on (lost)"_s,
                            u"preset Door"_s, u"on (click)"_s, u" setobj (door ; 2)"_s, QString(),
                            u"PRESET Empty"_s,
                            u"Preset  Two blanks"_s, u"presets are nice"_s, u"preset"_s};
    const QList<presets::Custom> parsed = presets::parse(lines);
    QCOMPARE(parsed.size(), 3);
    QCOMPARE(parsed[0], (presets::Custom{u"Door"_s, {u"on (click)"_s, u" setobj (door ; 2)"_s, QString()}}));
    QCOMPARE(parsed[1], (presets::Custom{u"Empty"_s, {}}));
    QCOMPARE(parsed[2], (presets::Custom{u" Two blanks"_s, {u"presets are nice"_s, u"preset"_s}}));

    QTemporaryDir dir;
    const QString path = presets::filePath(dir.path());
    QCOMPARE(presets::read(path), QList<presets::Custom>()); // no file, no presets
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("preset T\xfcr\r\nspeech (self ; gr\xfc\xdf" "e)\r\n"); // Windows-1252, CR LF
    file.close();
    QCOMPARE(presets::read(path), (QList<presets::Custom>{{u"Tür"_s, {u"speech (self ; grüße)"_s}}}));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("preset T\xc3\xbcr\nx\n\n"); // UTF-8, LF, an empty last line
    file.close();
    QCOMPARE(presets::read(path), (QList<presets::Custom>{{u"Tür"_s, {u"x"_s, QString()}}}));
}

QTEST_GUILESS_MAIN(tst_ScriptEditing)
#include "tst_scriptediting.moc"
