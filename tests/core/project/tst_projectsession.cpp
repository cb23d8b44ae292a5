// The session's undo stack: every edit undone gives back the saved bytes of the project exactly,
// redone gives the edited bytes again; "modified" follows the stack; views hear each change.
#include "build/elementexchange.h"
#include "project/duplicate.h"
#include "project/messagecatalog.h"
#include "project/missingfiles.h"
#include "project/poolops.h"
#include "project/projectedit.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "script/scriptsearch.h"
#include "support/sampleproject.h"
#include "tools/commandlistops.h"
#include "tools/fonttable.h"
#include "tools/languagegrid.h"
#include "tools/languagerecords.h"
#include "tools/languageupdate.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace mb;

Q_DECLARE_METATYPE(std::function<void(mb::ProjectSession &)>)

namespace {

using Edit = std::function<void(ProjectSession &)>;

// The project as a save writes it: the four companion files (tables, trees, scripts, lists).
QByteArray savedBytes(const ProjectSession &s)
{
    const CompanionFiles f = writeCompanionFiles(s.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

TreeNode *find(const ProjectSession &s, const QString &text, int image)
{
    TreeNode *n = PoolOps::findNode(s.model().gameTree, text, image);
    return n ? n : PoolOps::findNode(s.model().mediaTree, text, image);
}

// A room "tower" with a placement of the door and of bob, in folder "inner" inside folder
// "outer" of the rooms, and a room "attic" in "outer"; made with the tree operations.
void buildNestedRooms(ProjectSession &s)
{
    PoolOps ops(s);
    TreeNode *outer = ops.newFolder(s.model().gameTree, s.model().gameTree.root(Rooms)).node;
    ops.renameGameNode(outer, "outer");
    TreeNode *inner = ops.newFolder(s.model().gameTree, outer).node;
    ops.renameGameNode(inner, "inner");
    ops.renameGameNode(ops.insertElement(Rooms, inner).node, "tower");
    ops.renameGameNode(ops.insertElement(Rooms, outer).node, "attic");
    const int tower = s.model().rooms.find("tower");
    s.edit("placements", table::Rooms | table::RoomCharacters | table::Names, [&](ProjectEdit &e) {
        ProjectModel &m = e.model();
        Rroomobj &o = m.rooms[tower].objects[3];
        o.objectName = "door";
        o.instanceName = "towerdoor";
        o.script = {"on(click)"};
        m.names[NameLists::ObjectInstances] << "towerdoor";
        Rroomchar &c = m.roomChars[2];
        c.characterName = "bob";
        c.instanceName = "bob2";
        c.roomName = "tower";
        m.names[NameLists::CharacterInstances] << "bob2";
    });
}

} // namespace

class TestProjectSession : public QObject
{
    Q_OBJECT

    MessageCatalog cat;
    std::unique_ptr<ProjectSession> session()
    {
        auto s = std::make_unique<ProjectSession>(cat);
        s->replace(testing::sampleProject(cat));
        return s;
    }

private slots:
    void initTestCase() { ProjectSession::setVerifyEdits(true); }

    void undoAndRedoAreByteExact_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<int>("steps");
        auto ops = [](ProjectSession &s) { return PoolOps(s); };
        QTest::newRow("insert room") << Edit([=](ProjectSession &s) {
            ops(s).insertElement(Rooms, find(s, "ground floor", nodeimage::Folder));
        }) << 1;
        QTest::newRow("insert media") << Edit([=](ProjectSession &s) {
            ops(s).insertMedia(Sounds, {"/x/Door.wav", "/x/bell.ogg"}, nullptr);
        }) << 1;
        QTest::newRow("new folder") << Edit([=](ProjectSession &s) {
            ops(s).newFolder(s.model().mediaTree, find(s, "backgrounds", nodeimage::Folder));
        }) << 1;
        QTest::newRow("rename room: placements and lists follow") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).renameGameNode(find(s, "hall", nodeimage::Room), "castle").ok);
        }) << 1;
        QTest::newRow("rename character") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).renameGameNode(find(s, "bob", nodeimage::Character), "alice").ok);
        }) << 1;
        QTest::newRow("rename object") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).renameGameNode(find(s, "door", nodeimage::Object), "gate").ok);
        }) << 1;
        QTest::newRow("rename media folder") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).renameMediaFolder(find(s, "backgrounds", nodeimage::Folder), "walls").ok);
        }) << 1;
        QTest::newRow("delete folder with rooms") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).deleteGameNode(find(s, "ground floor", nodeimage::Folder)));
        }) << 1;
        QTest::newRow("delete character with placements") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).deleteGameNode(find(s, "bob", nodeimage::Character)));
        }) << 1;
        QTest::newRow("delete media folder") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).deleteMediaNode(find(s, "backgrounds", nodeimage::Folder)));
        }) << 1;
        QTest::newRow("move room to the root") << Edit([=](ProjectSession &s) {
            QVERIFY(ops(s).moveNode(s.model().gameTree, find(s, "hall", nodeimage::Room), s.model().gameTree.root(Rooms)));
        }) << 1;
        QTest::newRow("duplicate room") << Edit([](ProjectSession &s) {
            QVERIFY(duplicateElement(s, Rooms, "hall").ok);
        }) << 1;
        QTest::newRow("settings") << Edit([](ProjectSession &s) {
            s.editRecord<GameSettings>(ProjectChange::settings(), "settings", [](GameSettings &g) {
                g.setResolutionChoice(3);
                g.taskRoom = "bar";
            });
        }) << 1;
        QTest::newRow("commands taken over") << Edit([](ProjectSession &s) {
            CommandGrid grid = commandGridOf(s.model().commands);
            grid[0] = {};
            grid[4] = {"jump", "Jump"};
            takeOverCommands(s, grid, "use", "with", "go");
        }) << 1;
        QTest::newRow("bools") << Edit([](ProjectSession &s) {
            QVERIFY(addBool(s, "lampLit") >= 0);
            QVERIFY(renameBool(s, 0, "doorShut") >= 0);
            QVERIFY(setBoolValue(s, 1, true));
            removeBool(s, 2);
        }) << 4;
        QTest::newRow("fonts") << Edit([](ProjectSession &s) {
            QCOMPARE(fonttable::add(s), 1);
            RFont f = s.model().fonts[2];
            f.size = 30;
            f.name = QString(); // keeps the typeface
            QVERIFY(fonttable::change(s, 1, f));
            QVERIFY(fonttable::swap(s, 1, 0));
            QVERIFY(fonttable::remove(s, 1));
        }) << 4;
        QTest::newRow("languages") << Edit([](ProjectSession &s) {
            QCOMPARE(addLanguage(s, "francais").status, AddLanguageResult::Added);
            QVERIFY(LanguageGrid::setText(s, 1, LanguageGrid::Tab(0), 0, "Servus"));
            QVERIFY(deleteLanguage(s, 2));
        }) << 3;
        QTest::newRow("language texts updated") << Edit([](ProjectSession &s) {
            QVERIFY(updateLanguageLists(s));
        }) << 1;
        QTest::newRow("replace in scripts") << Edit([](ProjectSession &s) {
            const TextMatcher matcher("click", {});
            applyScriptChanges(s, planReplaceInProject(s.model(), matcher, u"press").changes);
        }) << 1;
    }
    void undoAndRedoAreByteExact()
    {
        QFETCH(Edit, edit);
        QFETCH(int, steps);
        auto s = session();
        const QByteArray before = savedBytes(*s);
        edit(*s);
        const QByteArray after = savedBytes(*s);
        QVERIFY(after != before);
        QCOMPARE(s->undoStack()->count(), steps);
        QVERIFY(s->isModified());
        for (int i = 0; i < steps; ++i)
            s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);
        QVERIFY(!s->isModified());
        for (int i = 0; i < steps; ++i)
            s->undoStack()->redo();
        QCOMPARE(savedBytes(*s), after);
        // And once more both ways: the commands keep what they took out.
        for (int i = 0; i < steps; ++i)
            s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);
    }

    void nestedFolderDeleteComesBackWhole()
    {
        auto s = session();
        buildNestedRooms(*s);
        PoolOps ops(*s);
        TreeNode *outer = find(*s, "outer", nodeimage::Folder);
        TreeNode *tower = find(*s, "tower", nodeimage::Room);
        QVERIFY(outer && tower);
        const QByteArray before = savedBytes(*s);
        const ProjectModel &m = s->model();

        QVERIFY(ops.deleteGameNode(outer));
        QCOMPARE(m.rooms.find("tower"), 0);
        QCOMPARE(m.rooms.find("attic"), 0);
        QCOMPARE(m.roomChars.usedCount(), 1);
        QVERIFY(!m.names[NameLists::ObjectInstances].contains("towerdoor"));
        QVERIFY(!m.names[NameLists::CharacterInstances].contains("bob2"));
        QVERIFY(!m.names[NameLists::RoomNames].contains("tower"));
        QVERIFY(!find(*s, "outer", nodeimage::Folder));

        s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);
        // The very same nodes are back, so views and windows that kept them still hold them.
        QCOMPARE(find(*s, "tower", nodeimage::Room), tower);
        QCOMPARE(tower->parent->text, QStringLiteral("inner"));
        QCOMPARE(tower->parent->parent, outer);
        const int slot = m.rooms.find("tower");
        QCOMPARE(m.rooms[slot].objects[3].instanceName, QStringLiteral("towerdoor"));
        QCOMPARE(m.roomChars[m.roomChars.find("bob2")].roomName, QStringLiteral("tower"));
        QVERIFY(m.names[NameLists::CharacterInstances].contains("bob2"));
        QVERIFY(m.names[NameLists::RoomNames].contains("attic"));
    }

    void modifiedFollowsTheStack()
    {
        QTemporaryDir dir;
        auto s = session();
        QSignalSpy modified(s.get(), &ProjectSession::modifiedChanged);
        PoolOps ops(*s);
        ops.insertElement(Items, nullptr);
        QCOMPARE(modified.count(), 1);
        QVERIFY(modified.last().first().toBool());
        QVERIFY(s->saveTo(dir.path(), "sample").ok);
        QVERIFY(!s->isModified());
        QCOMPARE(modified.count(), 2);
        // Undo past the save: modified again; redo back to it: clean again.
        s->undoStack()->undo();
        QVERIFY(s->isModified());
        s->undoStack()->redo();
        QVERIFY(!s->isModified());
        // A change the stack does not hold keeps the project modified until the next save.
        s->markModified();
        QVERIFY(s->isModified());
        s->undoStack()->undo();
        s->undoStack()->redo();
        QVERIFY(s->isModified());
        QVERIFY(s->save().ok);
        QVERIFY(!s->isModified());
        // An edit that changes nothing is no step and no change.
        s->editRecord<GameSettings>(ProjectChange::settings(), "nothing", [](GameSettings &) {});
        QCOMPARE(s->undoStack()->count(), 1);
        QVERIFY(!s->isModified());
    }

    void resetEmptiesTheStack()
    {
        QTemporaryDir dir;
        auto s = session();
        QVERIFY(s->saveTo(dir.path(), "sample").ok);
        PoolOps(*s).insertElement(Rooms, nullptr);
        QVERIFY(s->undoStack()->canUndo());
        QSignalSpy changes(s.get(), &ProjectSession::changed);
        QVERIFY(s->open(dir.filePath("sample.adv")).ok);
        QCOMPARE(s->undoStack()->count(), 0);
        QVERIFY(!s->isModified());
        QCOMPARE(changes.count(), 2); // the reset, before and after
        QCOMPARE(changes[0][0].value<ProjectChange>(), ProjectChange::reset(ProjectChange::AboutTo));
        PoolOps(*s).insertElement(Rooms, nullptr);
        s->newProject();
        QCOMPARE(s->undoStack()->count(), 0);
        QCOMPARE(s->model().rooms.usedCount(), 0);
        QVERIFY(!s->isModified());
        // A failed open leaves an empty project, and no stack either.
        PoolOps(*s).insertElement(Rooms, nullptr);
        QVERIFY(!s->open(dir.filePath("none.adv")).ok);
        QCOMPARE(s->undoStack()->count(), 0);
        QCOMPARE(s->model().rooms.usedCount(), 0);
    }

    // An open that its progress receiver stops leaves the session as it was, stack and all.
    void stoppedOpenKeepsTheSession()
    {
        QTemporaryDir dir;
        auto s = session();
        QVERIFY(s->saveTo(dir.path(), "sample").ok);
        QDir().mkpath(dir.filePath("other"));
        auto other = testing::sampleProject();
        for (int i = 0; i < 20000; ++i)
            other->cutscenes[1].script << QStringLiteral("speech(self;line %1)").arg(i);
        QVERIFY(saveProject(*other, dir.filePath("other"), "other").ok);
        PoolOps(*s).insertElement(Rooms, nullptr);
        const QByteArray before = savedBytes(*s);

        QSignalSpy changes(s.get(), &ProjectSession::changed);
        int reports = 0;
        s->setProgress([&reports](qint64, qint64) { return ++reports < 2; });
        const ProjectFileResult r = s->open(dir.filePath("other/other.adv"));
        QVERIFY(r.cancelled);
        QCOMPARE(reports, 2);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(savedBytes(*s), before);
        QVERIFY(s->isModified());
        QVERIFY(!s->isBusy());
        QCOMPARE(s->undoStack()->count(), 1);
        QCOMPARE(QDir(s->projectFolder()), QDir(dir.path()));
        s->undoStack()->undo();
        QVERIFY(!s->isModified());

        // Without a stop the same open goes through.
        s->setProgress([](qint64, qint64) { return true; });
        QVERIFY(s->open(dir.filePath("other/other.adv")).ok);
        QCOMPARE(s->model().cutscenes[1].script.size(), other->cutscenes[1].script.size());
        QCOMPARE(QDir(s->projectFolder()), QDir(dir.filePath("other")));
    }

    void typingMergesIntoOneStepPerField()
    {
        auto s = session();
        const QString before = s->model().settings.taskRoom;
        const auto key = ProjectSession::mergeKey(this, 1), other = ProjectSession::mergeKey(this, 2);
        for (const QString &typed : {"b", "ba", "bar"})
            s->editRecord<GameSettings>(ProjectChange::settings(), "task room",
                                        [&](GameSettings &g) { g.taskRoom = typed; }, key);
        QCOMPARE(s->undoStack()->count(), 1);
        s->editRecord<GameSettings>(ProjectChange::settings(), "start", [](GameSettings &g) { g.startScript = "x"; },
                                    other);
        QCOMPARE(s->undoStack()->count(), 2);
        // The field is typed into again after another one: a new step.
        s->editRecord<GameSettings>(ProjectChange::settings(), "task room",
                                    [](GameSettings &g) { g.taskRoom = "bars"; }, key);
        QCOMPARE(s->undoStack()->count(), 3);
        // The end of a gesture ends the step even for the same field.
        s->endGesture();
        s->editRecord<GameSettings>(ProjectChange::settings(), "task room",
                                    [](GameSettings &g) { g.taskRoom = "barn"; }, key);
        QCOMPARE(s->undoStack()->count(), 4);
        for (int i = 0; i < 4; ++i)
            s->undoStack()->undo();
        QCOMPARE(s->model().settings.taskRoom, before);
        QVERIFY(!s->isModified());
    }

    void slotEditsMergeByKey()
    {
        // An edit that copies single slots (one room) merges like a record edit and is
        // announced by the slots it changed.
        auto s = session();
        const int hall = s->model().rooms.find("hall");
        QVERIFY(hall > 0);
        const QByteArray before = savedBytes(*s);
        QSignalSpy changes(s.get(), &ProjectSession::changed);
        const auto key = ProjectSession::mergeKey(this, 1);
        for (int x = 1; x <= 3; ++x)
            s->edit("scroll", 0, [&](ProjectEdit &e) {
                e.alsoWritesSlot(table::Rooms, hall);
                e.model().rooms[hall].scrollX = 10 * x;
            }, key);
        QCOMPARE(s->undoStack()->count(), 1);
        QCOMPARE(changes.count(), 3);
        QCOMPARE(changes.last()[0].value<ProjectChange>(), ProjectChange::element(Rooms, hall));
        s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);
        s->undoStack()->redo();
        QCOMPARE(s->model().rooms[hall].scrollX, 30);
    }

    void changesNameWhatChanged()
    {
        auto s = session();
        QSignalSpy changes(s.get(), &ProjectSession::changed);
        s->editRecord<RFont>(ProjectChange::font(1), "font", [](RFont &f) { f.size = 44; });
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].value<ProjectChange>(), ProjectChange::font(1));
        s->undoStack()->undo();
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes[1][0].value<ProjectChange>(), ProjectChange::font(1));

        // A tree insert comes in two phases around the change, with the rows Qt needs.
        changes.clear();
        TreeNode *root = s->model().gameTree.root(Items);
        const int rows = int(root->children.size());
        PoolOps(*s).insertElement(Items, nullptr);
        QList<ProjectChange> inserts;
        for (const auto &args : changes) {
            const auto c = args[0].value<ProjectChange>();
            if (c.kind == ProjectChange::TreeInsert)
                inserts << c;
        }
        QCOMPARE(inserts.size(), 2);
        QCOMPARE(inserts[0].phase, ProjectChange::AboutTo);
        QCOMPARE(inserts[1].phase, ProjectChange::Done);
        QCOMPARE(inserts[0].parent, root);
        QCOMPARE(inserts[0].tree, ProjectChange::GameTree);
        QCOMPARE(int(root->children.size()), rows + 1);
        // A record that is not there is no edit.
        QVERIFY(!s->editRecord<RFont>(ProjectChange::font(500), "none", [](RFont &) {}));
    }

    void importAndRepairAreSteps()
    {
        QTemporaryDir dir;
        auto source = session();
        testing::writable(*source)->rooms[2].name = "vault"; // a room without images
        QVERIFY(exportRoom(source->model(), cat, "vault", dir.filePath("vault.adr")).ok);

        auto s = session();
        s->setProjectFolder(dir.filePath("project"));
        QDir().mkpath(dir.filePath("project/old"));
        const QByteArray before = savedBytes(*s);
        QVERIFY(importRoom(*s, dir.filePath("vault.adr")).ok);
        QCOMPARE(s->undoStack()->count(), 1);
        s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);

        // The missing-files repair of one check is one step.
        QFile moved(dir.filePath("project/old/ding.wav"));
        QVERIFY(moved.open(QIODevice::WriteOnly));
        moved.close();
        MissingFiles search(*s);
        search.check();
        search.finish();
        QCOMPARE(s->model().media[Sounds].path(1), dir.filePath("project/old/ding.wav"));
        s->undoStack()->undo();
        QCOMPARE(savedBytes(*s), before);
    }
};

QTEST_GUILESS_MAIN(TestProjectSession)
#include "tst_projectsession.moc"
