// The script editor as the author uses it: the real window inside the main window, driven by
// requests, keys and its buttons, with the project's scripts underneath.
#include "app/tform1.h"
#include "dialogs/tcommandlist.h"
#include "dialogs/ttexteingabe.h"
#include "support/scriptedasker.h"
#include "script/findbar.h"
#include "script/hintpanel.h"
#include "script/scripteditorsetup.h"
#include "script/scriptedit.h"
#include "script/scriptsearchdock.h"
#include "script/tskriptwindow.h"
#include "project/poolops.h"
#include "project/projectfile.h"
#include "support/sampleproject.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>

#include <memory>

using namespace mb;
using mb::testing::ScriptedAsker;

namespace {

// The main window over the sample project with the script editor installed, config.ini in a
// temporary editor folder and every box answered by a script.
struct Editor
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    testing::SessionModel model{&session};
    ScriptedAsker questions;
    std::unique_ptr<TForm1> form;
    ScriptEditorSetup *setup = nullptr;

    explicit Editor(std::initializer_list<std::pair<const char *, const char *>> config = {},
                    const QByteArray &presets = {})
    {
        for (const auto &[k, v] : config)
            settings.writesetting(QLatin1String(k), QLatin1String(v));
        if (!presets.isEmpty()) {
            QFile f(dir.filePath("presets.txt"));
            f.open(QIODevice::WriteOnly);
            f.write(presets);
        }
        session.setEditorFolder(dir.path());
        session.replace(testing::sampleProject(catalog));
        form = std::make_unique<TForm1>(session, catalog, settings);
        form->setQuestions(&questions);
        setup = new ScriptEditorSetup(*form, session, catalog, settings);
        form->resize(1200, 900);
        form->show();
        QApplication::setActiveWindow(form.get()); // shortcuts need an active window
    }
    ~Editor() { session.newProject(); } // nothing to ask about when the window goes

    // Posts the key, shows the window and serves the request as the next turn of the loop does.
    Tskriptwindow *open(const QString &key, int line = 0)
    {
        form->requestScript(key, line);
        Tskriptwindow *w = setup->window();
        if (w)
            w->serveRequest();
        return w;
    }
    Tskriptwindow *w() const { return setup->window(); }
    ScriptEdit *edit() const { return setup->window()->editor(); }
    QStringList lines() const { return edit()->textLines(); }
    // The insert menu action whose caption is `caption`, in any submenu.
    QAction *insertAction(const QString &caption) const
    {
        for (QAction *a : w()->insertMenu()->findChildren<QAction *>())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
};

// The project as a save writes it: the four companion files.
QByteArray savedBytes(const ProjectSession &s)
{
    const CompanionFiles f = writeCompanionFiles(s.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

QStringList scriptOf(const ProjectSession &s, const QString &key)
{
    const Script *script = findScript(s.model(), *ScriptKey::parse(key));
    return script ? *script : QStringList();
}

} // namespace

class TestTskriptwindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ProjectSession::setVerifyEdits(true); }

    void opensAndStoresScripts()
    {
        Editor e;
        // A double click on a script in the game tree opens the window on it.
        TreeNode *intro = nullptr;
        e.model->gameTree.forEach([&](TreeNode *n) { if (n->text == "intro") intro = n; });
        e.form->gamepoolDblClick(intro);
        QTRY_VERIFY(e.w() && e.w()->openScriptKey() == "0intro");
        QCOMPARE(e.w()->windowTitle(), QString("Script (intro / Script)"));
        QCOMPARE(e.lines(), e.model->cutscenes[1].script);
        QVERIFY(e.edit()->isEnabled());

        // Every change is in the project at once; trailing blanks are left out.
        e.edit()->setCaret(2, 25);
        QTest::keyClicks(e.edit(), " wait (1)   ");
        QCOMPARE(e.model->cutscenes[1].script.last(), QString("  setbool(doorOpen;true) wait (1)"));
        // Typed in virtual space past the line end, the blanks up to the caret become real.
        e.edit()->setCaret(1, 4);
        QTest::keyClicks(e.edit(), "x");
        QCOMPARE(e.model->cutscenes[1].script[1], QString("   x"));
        QVERIFY(e.session.isModified());
        QVERIFY(e.w()->button("undobutton")->isEnabled());

        // Each kind of script, with its caption.
        const struct { const char *key, *caption; } kinds[] = {
            {"1key", "Script (key / Item)"}, {"8hall", "Script (hall / Room)"},
            {"5150090hall", "Script (hall [150-090] / Walkmap)"}, {"6001hall", "Script (door1 / Object)"},
            {"7001", "Script (bob1 / Character)"}, {"0nothing", "Script (nothing / Script)"}};
        for (const auto &k : kinds) {
            e.open(k.key);
            QCOMPARE(e.w()->windowTitle(), QString(k.caption));
        }
        QCOMPARE(e.lines(), QStringList{QString()}); // nothing there: an empty editor
        QTest::keyClicks(e.edit(), "lost");
        QVERIFY(!e.model->cutscenes.find("nothing"));

        e.open("6001hall");
        QTest::keyClicks(e.edit(), "x");
        QCOMPARE(e.model->rooms[1].objects[0].script.first(), QString("xon(click)"));

        e.open("free");
        QCOMPARE(e.w()->windowTitle(), QString("Script (none)"));
        QVERIFY(!e.edit()->isEnabled());
        for (const char *b : {"undobutton", "hinzufuegen", "klammern"})
            QVERIFY2(!e.w()->button(b)->isEnabled(), b);
        QCOMPARE(e.lines(), QStringList{QString()});
    }

    void sameKeyTwiceChangesNothing()
    {
        Editor e;
        e.open("0intro");
        e.edit()->setCaret(0, 1);
        QTest::keyClicks(e.edit(), "abc");
        e.edit()->setCaret(2, 4);
        e.open("0intro");
        QCOMPARE(e.edit()->caretLine(), 2);
        QCOMPARE(e.edit()->caretColumn(), 4);
        QVERIFY(e.edit()->isUndoAvailable());
        e.edit()->undo();
        QVERIFY(!e.lines().first().startsWith("abc"));
    }

    void recentScriptsKeepTheLatestFive()
    {
        Editor e;
        Script longScript;
        for (int l = 1; l <= 120; ++l)
            longScript << QString("wait (%1)").arg(l);
        for (int i = 1; i <= 6; ++i) {
            e.model->cutscenes[10 + i].name = QString("s%1").arg(i);
            e.model->cutscenes[10 + i].script = longScript;
        }
        for (int i = 1; i <= 6; ++i) {
            e.open(QString("0s%1").arg(i));
            e.edit()->setFirstVisibleLine(i * 10);
        }
        e.open("8hall"); // leaving s6 records its first visible line
        std::unique_ptr<QMenu> menu(e.w()->recentMenu());
        QStringList titles;
        for (QAction *a : menu->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"hall / Room", "s6 / Script", "s5 / Script", "s4 / Script", "s3 / Script"}));

        // The fourth entry (s4): back to the top, scrolled where it was.
        menu->actions()[3]->trigger();
        e.w()->serveRequest();
        QCOMPARE(e.w()->openScriptKey(), QString("0s4"));
        QCOMPARE(e.edit()->firstVisibleLine(), 40);
        menu.reset(e.w()->recentMenu());
        QCOMPARE(menu->actions().first()->text(), QString("s4 / Script"));

        // Entries whose script is gone leave the menu.
        e.model->cutscenes[15].name.clear(); // s5
        menu.reset(e.w()->recentMenu());
        QCOMPARE(menu->actions().size(), 4);
        QVERIFY(!menu->actions().contains(nullptr));
        for (QAction *a : menu->actions())
            QVERIFY(a->text() != "s5 / Script");
    }

    void bracesAndInsertMenu()
    {
        Editor e;
        e.model->cutscenes[1].script = {"on (click)", "", "  wait (1)"};
        e.open("0intro");

        // "{ }" in column 5 of an empty line.
        e.edit()->setCaret(1, 5);
        e.w()->button("klammern")->click();
        QCOMPARE(e.lines(), (QStringList{"on (click)", "     {", "     ", "     }", "", "  wait (1)"}));
        QCOMPARE(e.edit()->caretLine(), 2);
        QCOMPARE(e.edit()->caretColumn(), 6);
        // One step of the editor's undo.
        e.edit()->undo();
        QCOMPARE(e.lines(), (QStringList{"on (click)", "", "  wait (1)"}));

        // A template in column 3 of a line with text: a new line above it.
        e.edit()->setCaret(2, 3);
        QAction *setbool = e.insertAction("setbool (bool ; true/false)");
        QVERIFY(setbool);
        setbool->trigger();
        QCOMPARE(e.lines(), (QStringList{"on (click)", "", "  setbool ( ; )", "  wait (1)"}));
        QCOMPARE(e.edit()->caretLine(), 2);
        QCOMPARE(e.edit()->caretColumn(), 12);
        QCOMPARE(e.model->cutscenes[1].script, e.lines());

        // Presets: the item preset names the open item.
        e.open("1key");
        e.edit()->setCaret(0, 1);
        QAction *itemPreset = nullptr;
        for (QAction *a : e.w()->insertMenu()->findChild<QMenu *>("presets")->actions())
            if (a->text() == e.catalog.msg(32))
                itemPreset = a;
        QVERIFY(itemPreset);
        itemPreset->trigger();
        QVERIFY(e.lines().contains(" link (key)"));
        QCOMPARE(e.edit()->caretLine(), 10);
    }

    void customPresetsAreReadAgainOnUse()
    {
        Editor e({}, "my notes\npreset Door\non (click)\n setobj (door ; 2)\n");
        e.open("0intro");
        QMenu *custom = e.w()->insertMenu()->findChild<QMenu *>("custompresets");
        QVERIFY(custom->isEnabled());
        QCOMPARE(custom->actions().size(), 1);
        QCOMPARE(custom->actions()[0]->text(), QString("Door"));
        QFile f(e.dir.filePath("presets.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("preset Door\r\non (click)\r\n setobj (door ; 3)\r\n");
        f.close();
        e.edit()->setCaret(0, 1);
        custom->actions()[0]->trigger();
        QCOMPARE(e.lines().mid(0, 2), (QStringList{"on (click)", " setobj (door ; 3)"}));

        Editor none;
        none.open("0intro");
        QVERIFY(!none.w()->insertMenu()->findChild<QMenu *>("custompresets")->isEnabled());
    }

    void hintPanelFollowsTheCaret()
    {
        Editor e;
        e.model->names[NameLists::Bools] = {"dogFed", "doorOpen", "lampOn"};
        e.model->cutscenes[1].script = {"on (click)", ""};
        e.open("0intro");
        HintPanel *hints = e.w()->hintPanel();
        QVERIFY(hints->isVisible());
        e.edit()->setCaret(1, 1);
        QTest::keyClicks(e.edit(), "setbool (");
        QCOMPARE(hints->hintLabel()->text(), QString("Bool Name"));
        QCOMPARE(hints->leftList()->count(), 3);
        QCOMPARE(hints->rightList()->count(), 0);
        QTest::keyClicks(e.edit(), "DO");
        QCOMPARE(hints->leftList()->count(), 2);
        QCOMPARE(hints->leftList()->item(0)->text(), QString("dogFed"));
        // Tab takes the first entry into the line; the lists empty.
        QTest::keyClick(e.edit(), Qt::Key_Tab);
        QCOMPARE(e.lines()[1], QString("setbool (dogFed"));
        QCOMPARE(e.edit()->caretColumn(), 16);
        QCOMPARE(hints->leftList()->count(), 0);
        QVERIFY(!hints->leftList()->isEnabled());
        // With nothing to choose, Tab does nothing at all.
        QTest::keyClick(e.edit(), Qt::Key_Tab);
        QCOMPARE(e.lines()[1], QString("setbool (dogFed"));
        // A click in a list chooses as well; the rest of the word after the caret (up to the ";")
        // goes with the typed part.
        QTest::keyClicks(e.edit(), " ; x) lampOn (");
        e.edit()->setCaret(1, 11);
        e.w()->analyzeCaret();
        emit hints->chosen("lampOn");
        QCOMPARE(e.lines()[1], QString("setbool (lampOn; x) lampOn ("));

        // Hidden, the panel is not fed; "?" shows it again.
        e.w()->button("helpbutton")->click();
        QVERIFY(hints->isHidden());
        e.w()->close();
        QCOMPARE(e.settings.readsetting("Hint Panel"), QString("0"));
    }

    void emptiedCellScriptGoesWhenLeft()
    {
        Editor e;
        Walkmap &walkmap = e.model->rooms[1].walkmap;
        e.open("5150090hall");
        e.edit()->selectAll();
        QTest::keyClick(e.edit(), Qt::Key_Delete);
        QVERIFY(walkmap.hasScript(150, 90)); // emptied while typing: still there
        QTest::keyClicks(e.edit(), "on (enter)");
        e.open("0intro");
        QVERIFY(walkmap.hasScript(150, 90));
        QCOMPARE(*walkmap.findScript(150, 90), Script{"on (enter)"});

        e.open("5150090hall");
        e.edit()->selectAll();
        QTest::keyClick(e.edit(), Qt::Key_Delete);
        e.open("0intro");
        QVERIFY(!walkmap.hasScript(150, 90));
        QVERIFY(!walkmap.findScript(150, 90));
    }

    // Typing into a script is one undo step of the project for each kind of script; undo gives
    // back the saved bytes and the editor shows the old text, redo the new one.
    void typingIsOneUndoStep_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("title");
        QTest::newRow("cutscene") << "0intro" << "intro / Script";
        QTest::newRow("item") << "1key" << "key / Item";
        QTest::newRow("room") << "8hall" << "hall / Room";
        QTest::newRow("cell") << "5150090hall" << "hall [150-090] / Walkmap";
        QTest::newRow("new cell") << "5004004hall" << "hall [004-004] / Walkmap";
        QTest::newRow("object placement") << "6001hall" << "door1 / Object";
        QTest::newRow("character placement") << "7001" << "bob1 / Character";
    }
    void typingIsOneUndoStep()
    {
        QFETCH(QString, key);
        QFETCH(QString, title);
        Editor e;
        QUndoStack *stack = e.session.undoStack();
        const QByteArray before = savedBytes(e.session);
        const QStringList old = scriptOf(e.session, key);
        e.open(key);
        e.edit()->setCaret(0, 1);
        QTest::keyClicks(e.edit(), "wait (1) ");
        QTest::keyClick(e.edit(), Qt::Key_Return);
        QTest::keyClick(e.edit(), Qt::Key_Backspace);
        QTest::keyClick(e.edit(), Qt::Key_Backspace);
        const QStringList typed = e.lines();
        QCOMPARE(scriptOf(e.session, key), typed);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(), "Edit script " + title);
        QVERIFY(e.session.isModified());

        e.edit()->setCaret(1, 3);
        stack->undo();
        QCOMPARE(savedBytes(e.session), before);
        QVERIFY(!e.session.isModified());
        QCOMPARE(e.lines(), old.isEmpty() ? QStringList{QString()} : old);
        QCOMPARE(e.w()->openScriptKey(), key);
        QCOMPARE(e.edit()->caretLine(), std::min(1, std::max(0, int(old.size()) - 1)));
        QCOMPARE(e.edit()->caretColumn(), std::min(3, int(e.lines().value(e.edit()->caretLine()).size()) + 1));
        QCOMPARE(stack->count(), 1); // undone, not pushed again
        stack->redo();
        QCOMPARE(e.lines(), typed);
        QCOMPARE(scriptOf(e.session, key), typed);

        // Typing on after a redo is a step of its own; the editor's own undo back to where the
        // step began leaves nothing to undo in the project.
        QTest::keyClicks(e.edit(), "xy");
        QCOMPARE(stack->count(), 2);
        e.edit()->undo();
        QCOMPARE(e.lines(), typed);
        QCOMPARE(stack->count(), 1);
    }

    // Emptying a cell script and leaving it removes the cell's script in the same step as the
    // typing; undo brings back the script and its mark.
    void emptiedCellUndoesWhole()
    {
        Editor e;
        QUndoStack *stack = e.session.undoStack();
        const QByteArray before = savedBytes(e.session);
        const Walkmap &walkmap = e.session.model().rooms[1].walkmap;
        e.open("5150090hall");
        e.edit()->selectAll();
        QTest::keyClick(e.edit(), Qt::Key_Delete);
        QVERIFY(walkmap.hasScript(150, 90));
        e.form->setFocus(); // the game tree takes the focus before another script is asked for
        e.open("0intro");
        QVERIFY(!walkmap.hasScript(150, 90));
        QVERIFY(!walkmap.findScript(150, 90));
        QCOMPARE(stack->count(), 1);
        stack->undo();
        QCOMPARE(savedBytes(e.session), before);
        e.open("5150090hall");
        QCOMPARE(e.lines(), (QStringList{"on(enter)", "{ loadroom(cellar;1) }"}));
    }

    // A renamed script stays open under its new name; one whose element goes leaves the window
    // empty, as a deleted element does. The recent list follows both. A new project never
    // receives the text of the old one.
    void renamedAndRemovedScripts()
    {
        Editor e;
        e.open("0intro");
        QTest::keyClicks(e.edit(), "x");
        TreeNode *intro = PoolOps::findNode(e.session.model().gameTree, "intro", nodeimage::Script);
        QVERIFY(PoolOps(e.session).renameGameNode(intro, "opening").ok);
        QCOMPARE(e.w()->openScriptKey(), QString("0opening"));
        QCOMPARE(e.w()->windowTitle(), QString("Script (opening / Script)"));
        QTest::keyClicks(e.edit(), "y");
        QVERIFY(scriptOf(e.session, "0opening").first().startsWith("xy"));
        std::unique_ptr<QMenu> menu(e.w()->recentMenu());
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QString("opening / Script"));
        e.session.undoStack()->undo();
        e.session.undoStack()->undo();
        QCOMPARE(e.w()->openScriptKey(), QString("0intro"));
        QVERIFY(e.lines().first().startsWith("xs"));

        QVERIFY(PoolOps(e.session).deleteGameNode(intro));
        QCOMPARE(e.w()->windowTitle(), QString("Script (none)"));
        QCOMPARE(e.w()->openScriptKey(), QString());
        QVERIFY(!e.edit()->isEnabled());
        menu.reset(e.w()->recentMenu());
        QVERIFY(menu->actions().isEmpty());
        e.session.undoStack()->undo();
        QCOMPARE(e.w()->openScriptKey(), QString());
        QCOMPARE(scriptOf(e.session, "0intro").first(), QString("xspeech(self;Grüße, café ½ – \u20AC)"));

        // Undoing a change of another script leaves the open one as it is.
        e.open("6001hall");
        QTest::keyClicks(e.edit(), "y");
        e.session.undoStack()->undo(); // the typing in the placement script
        e.session.undoStack()->undo(); // the typing in intro
        QCOMPARE(e.w()->openScriptKey(), QString("6001hall"));
        QCOMPARE(e.lines().first(), QString("on(click)"));

        e.open("8hall");
        QTest::keyClicks(e.edit(), "lost");
        e.session.replace(testing::sampleProject(e.catalog));
        QCOMPARE(e.w()->openScriptKey(), QString());
        e.open("0intro");
        QCOMPARE(scriptOf(e.session, "8hall").first(), QString("on(enter)"));
        QVERIFY(!e.session.isModified());
    }

    void pastedTabsAreRefused()
    {
        Editor e;
        e.open("0intro");
        const QStringList before = e.lines();
        ScriptEdit *edit = e.edit();
        std::unique_ptr<QMenu> menu(edit->createContextMenu(nullptr));
        for (QAction *a : menu->actions())
            QVERIFY2(!a->isEnabled(), qPrintable(a->text())); // no selection, nothing copied here
        QCOMPARE(menu->actions()[2]->text(), e.catalog.msg(195));

        edit->setSelection(0, 0, 0, 6);
        menu.reset(edit->createContextMenu(nullptr));
        QVERIFY(menu->actions()[0]->isEnabled());
        QVERIFY(menu->actions()[1]->isEnabled());
        QVERIFY(!menu->actions()[2]->isEnabled());
        menu->actions()[1]->trigger(); // copy
        menu.reset(edit->createContextMenu(nullptr));
        QVERIFY(menu->actions()[2]->isEnabled());

        QApplication::clipboard()->setText("wait (1)\tbreak ()");
        edit->setCaret(1, 1);
        menu->actions()[2]->trigger();
        QTRY_COMPARE(e.questions.texts("error"), QStringList{"TABs not allowed!!"});
        QCOMPARE(e.lines(), before);
        QCOMPARE(e.model->cutscenes[1].script, before);
        // By the keyboard as well.
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(e.questions.texts("error").size(), 2);
        QCOMPARE(e.lines(), before);
        // Text without tabs is pasted.
        QApplication::clipboard()->setText("wait (2)");
        edit->paste();
        QCoreApplication::processEvents();
        QCOMPARE(e.lines()[1], QString("wait (2)"));
        QCOMPARE(e.questions.texts("error").size(), 2);
    }

    void scriptCheckOpensTheMistake()
    {
        Editor e;
        e.model->rooms[1].objects[0].script = {"on (click)", "{", "  foo (bar)", "}"};
        e.form->Action2Execute();
        QCOMPARE(e.questions.texts("error").size(), 1);
        QTRY_VERIFY(e.w() && e.w()->openScriptKey() == "6001hall");
        QCOMPARE(e.edit()->caretLine(), 2);
    }

    void findAndReplaceInOneScript()
    {
        Editor e;
        e.model->cutscenes[1].script = {"setbool (door ; true)", "wait (1)", "setobj (Door ; 2)"};
        e.open("0intro");
        FindBar *bar = e.w()->findBar();
        QVERIFY(bar->isHidden());
        e.edit()->setFocus();
        QTest::keyClick(e.edit(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible());
        bar->findField()->setText("door");
        e.edit()->setCaret(1, 1);
        QVERIFY(bar->findNext());
        int l1, i1, l2, i2;
        e.edit()->getSelection(&l1, &i1, &l2, &i2);
        QCOMPARE((QList<int>{l1, i1, l2, i2}), (QList<int>{2, 8, 2, 12}));
        QVERIFY(bar->findNext()); // round the end
        e.edit()->getSelection(&l1, &i1, &l2, &i2);
        QCOMPARE((QList<int>{l1, i1}), (QList<int>{0, 9}));
        bar->matchCaseBox()->setChecked(true);
        bar->findField()->setText("window");
        QVERIFY(!bar->findNext());
        QCOMPARE(bar->statusLabel()->text(), QString("\"window\" not found."));

        bar->showReplace();
        bar->matchCaseBox()->setChecked(false);
        bar->findField()->setText("door");
        bar->replaceField()->setText("gate");
        QCOMPARE(bar->replaceAll(), 2);
        QCOMPARE(e.model->cutscenes[1].script, (Script{"setbool (gate ; true)", "wait (1)", "setobj (gate ; 2)"}));
        e.edit()->undo(); // all in one step
        QCOMPARE(e.lines(), (QStringList{"setbool (door ; true)", "wait (1)", "setobj (Door ; 2)"}));
        QTest::keyClick(bar->findField(), Qt::Key_Escape);
        QVERIFY(bar->isHidden());
    }

    void findInAllScripts()
    {
        Editor e;
        e.open("8hall");
        QAction *find = nullptr;
        for (QAction *a : e.form->actions())
            if (a->objectName() == "findinscripts")
                find = a;
        QVERIFY(find);
        QCOMPARE(find->shortcut(), QKeySequence("Ctrl+Shift+F"));
        find->trigger();
        ScriptSearchDock *dock = e.setup->searchDock();
        QVERIFY(dock->isVisible());
        dock->findField()->setText("SELF");
        QCOMPARE(dock->search(), 2);
        QCOMPARE(dock->summary()->text(), QString("2 hits in 2 scripts"));
        QTreeWidget *results = dock->results();
        QCOMPARE(results->topLevelItemCount(), 2);
        QTreeWidgetItem *hit = results->topLevelItem(1);
        QCOMPARE(hit->text(0), QString("Roomobject \"hall / door1\""));
        QCOMPARE(hit->text(1), QString("2"));
        QCOMPARE(hit->text(2), QString("{ speech(self;locked) }"));
        dock->openResult(hit);
        e.w()->serveRequest();
        QCOMPARE(e.w()->openScriptKey(), QString("6001hall"));
        QCOMPARE(e.edit()->caretLine(), 1);

        // Replace in all scripts reaches the open script too.
        dock->wholeWordBox()->setChecked(true);
        dock->replaceField()->setText("bob1");
        const int steps = e.session.undoStack()->count();
        QCOMPARE(dock->replaceAll(), 2);
        QCOMPARE(e.session.undoStack()->count(), steps + 1); // one undo step
        QCOMPARE(e.model->rooms[1].objects[0].script[1], QString("{ speech(bob1;locked) }"));
        QCOMPARE(e.lines()[1], QString("{ speech(bob1;locked) }"));
        QCOMPARE(results->topLevelItemCount(), 0);
        e.session.undoStack()->undo();
        QCOMPARE(e.lines()[1], QString("{ speech(self;locked) }"));
    }

    void instantUpdateWritesTheScript()
    {
        Editor e;
        QDir(e.dir.path()).mkdir("game");
        e.model->lastGameFolder = e.dir.filePath("game");
        e.open("0intro");
        QToolButton *update = e.w()->button("instantupdate");
        QTest::qWait(300);
        QVERIFY(!update->isEnabled()); // no game runs
        QFile running(e.dir.filePath("game/ichlaufe.txt"));
        QVERIFY(running.open(QIODevice::WriteOnly));
        running.close();
        QTRY_VERIFY(update->isEnabled());
        update->click();
        QFile written(e.dir.filePath("game/updatescript.txt"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("0intro\r\nspeech(self;Gr\xfc\xdf" "e, caf\xe9 \xbd \x96 \x80)\r\n\r\n"
                                               "  setbool(doorOpen;true)\r\n"));
    }

    void settingsOfTheWindow()
    {
        {
            Editor e({{"Skript Left", "20"}, {"Skript Top", "30"}, {"Skript Width", "600"}, {"Skript Height", "520"},
                      {"Skript Size", "14"}, {"Hint Panel", "0"}});
            e.open("0intro");
            QMdiSubWindow *frame = e.form->toolWindow("skriptwindow");
            QCOMPARE(frame->geometry(), QRect(20, 30, 600, 520));
            QCOMPARE(e.edit()->editorFont().pointSize(), 14);
            QVERIFY(e.w()->hintPanel()->isHidden());
            // The font dialog's choice: name and size, handed on.
            QFont chosen;
            e.w()->chooseFont = [](const QFont &) { return std::optional<QFont>(QFont("DejaVu Sans Mono", 12)); };
            QObject::connect(e.w(), &Tskriptwindow::fontChosen, [&](const QFont &f) { chosen = f; });
            e.form->commandlistExecute(); // made before the choice
            e.w()->button("fontbutton")->click();
            QCOMPARE(chosen.pointSize(), 12);
            QCOMPARE(e.edit()->editorFont().pointSize(), 12);
            Tcommandlist *commands = e.form->findChild<Tcommandlist *>();
            QVERIFY(commands);
            QCOMPARE(commands->walktextEdit()->font().family(), chosen.family());
            QCOMPARE(commands->textInput()->edit()->font().family(), chosen.family());
            commands->hide();
            frame->move(40, 50);
            e.form->closewindow("skriptwindow");
            QCOMPARE(e.settings.readsetting("Skript Left"), QString("40"));
            QCOMPARE(e.settings.readsetting("Skript Top"), QString("50"));
            QCOMPARE(e.settings.readsetting("Skript Size"), QString("12"));
            QCOMPARE(e.settings.readsetting("Skript Font"), chosen.family());
            QCOMPARE(e.settings.readsetting("Hint Panel"), QString("0"));
        }
        Editor fresh;
        fresh.open("0intro");
        const QRect g = fresh.form->toolWindow("skriptwindow")->geometry();
        QCOMPARE(g.topLeft(), QPoint(564, 12));
        QVERIFY(g.width() >= 430 && g.height() >= 500);
        QVERIFY(fresh.w()->hintPanel()->isVisible());
    }
};

QTEST_MAIN(TestTskriptwindow)
#include "tst_tskriptwindow.moc"
