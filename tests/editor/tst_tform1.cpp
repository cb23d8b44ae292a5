#include "app/commandline.h"
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "app/tform13.h"
#include "app/tmissingfiles.h"
#include "project/messagecatalog.h"
#include "project/recentprojects.h"
#include "project/recovery.h"
#include "platform/ziparchive.h"
#include "project/projectedit.h"
#include "project/uitexts.h"
#include "support/scriptedasker.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QMenu>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QToolBar>

#include <functional>
#include <memory>

using namespace mb;
using mb::testing::ScriptedAsker;

namespace {

// A main window over a fresh project, with config.ini in a temporary editor folder and every
// box answered by a script.
struct Editor
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    // The session's project as it is now (open and new replace it); writes through it only
    // prepare a case and bypass the undo stack.
    struct ModelRef
    {
        ProjectSession *session;
        ProjectModel *operator->() const { return const_cast<ProjectModel *>(&session->model()); }
        ProjectModel &operator*() const { return *operator->(); }
    } model{&session};
    ScriptedAsker questions;
    std::unique_ptr<TForm1> window;

    explicit Editor(const QString &lang = QStringLiteral("EN"), std::initializer_list<std::pair<const char *, const char *>> config = {})
    {
        settings.writesetting("Lang", lang);
        for (const auto &[k, v] : config)
            settings.writesetting(QLatin1String(k), QLatin1String(v));
        catalog.setLanguage(settings.startLanguage());
        session.setEditorFolder(dir.path());
        session.options().makeBackup = false;
        session.newProject(); // in the catalog's language
        window = std::make_unique<TForm1>(session, catalog, settings);
        window->setQuestions(&questions);
    }
    TForm1 &w() { return *window; }
    // An unsaved change, and its undoing back to the saved state.
    void makeModified()
    {
        session.editRecord<GameSettings>(ProjectChange::settings(), "change",
                                         [](GameSettings &s) { s.transany = (s.transany + 1) % 100; });
    }
    void dropChanges() { session.undoStack()->setIndex(session.undoStack()->cleanIndex()); }
    TreeNode *gameRoot(int kind) const { return model->gameTree.root(kind); }
    TreeNode *mediaRoot(int kind) const { return model->mediaTree.root(kind); }
    TreeNode *selectedGame() const { return window->gamepool()->currentNode(); }
    void select(const TreeNode *n) { QVERIFY(window->gamepool()->selectNode(n) || window->mediapool()->selectNode(n)); }
    // An element made the way the Insert menu makes it, renamed at once.
    TreeNode *insert(int kind, const QString &name = QString(), const TreeNode *into = nullptr)
    {
        select(into ? into : gameRoot(kind));
        window->insertElement(kind);
        TreeNode *n = selectedGame();
        if (!name.isEmpty()) {
            closeNameEditor(window->gamepool());
            window->gamepoolEdited(n, name);
        }
        return n;
    }
    TreeNode *folder(const TreeNode *under, const QString &name)
    {
        select(under);
        const bool media = model->mediaTree.topIndex(under) >= 0;
        media ? window->MediaOrdner() : window->gameordner();
        TreeNode *n = media ? window->mediapool()->currentNode() : selectedGame();
        closeNameEditor(media ? window->mediapool() : window->gamepool());
        media ? window->mediapoolEdited(n, name) : window->gamepoolEdited(n, name);
        return n;
    }
    // The name editor an insert opens goes away without a word; the test names the node itself.
    static void closeNameEditor(PoolView *view)
    {
        if (QWidget *editor = view->indexWidget(view->currentIndex()))
            QTest::keyClick(editor, Qt::Key_Escape);
    }
    QString panel(int i) const { return window->statusPanel(i)->text(); }
    QString path(const QString &name) const { return dir.filePath(name); }
};

// The title as the window manager shows it: Qt puts its modified mark in place of "[*]".
QString shownTitle(const QWidget &w)
{
    QString title = w.windowTitle();
    return title.replace(QLatin1String("[*]"), w.isWindowModified() ? QStringLiteral("*") : QString());
}

QStringList childTexts(const TreeNode *n)
{
    QStringList out;
    for (const auto &c : n->children)
        out << c->text;
    return out;
}

// A saved project with one image whose file is elsewhere, for open and the missing-files dialog.
QString writeProject(const QString &folder, const QString &name, const QString &imagePath)
{
    MessageCatalog cat;
    auto m = std::make_unique<ProjectModel>();
    m->allesneu(cat);
    m->rooms[1].name = "hall";
    m->gameTree.root(Rooms)->addChild("hall", nodeimage::Room);
    m->names[NameLists::RoomNames] << "hall";
    m->mediaadd(Images, "wall", imagePath);
    m->mediaTree.root(Images)->addChild("wall", nodeimage::Image);
    const ProjectFileResult r = saveProject(*m, folder, name);
    return r.ok ? QDir(folder).filePath(name + ".adv") : QString();
}

// A project whose scripts run to some 20000 lines, so that opening it reports on the way.
QString writeLongProject(const QString &folder, const QString &name)
{
    MessageCatalog cat;
    auto m = std::make_unique<ProjectModel>();
    m->allesneu(cat);
    m->cutscenes[1].name = "long";
    m->gameTree.root(Scripts)->addChild("long", nodeimage::Script);
    for (int i = 0; i < 20000; ++i)
        m->cutscenes[1].script << QStringLiteral("speech(self;Line %1 of a long script)").arg(i);
    return saveProject(*m, folder, name).ok ? QDir(folder).filePath(name + ".adv") : QString();
}

// Receives what the editor hands to the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestTForm1 : public QObject
{
    Q_OBJECT
private slots:
    void captionsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("EN") << "EN";
        QTest::newRow("DE") << "DE";
    }
    void captionsFollowTheLanguage()
    {
        QFETCH(QString, lang);
        Editor e(lang);
        const MessageCatalog &c = e.catalog;
        const auto menus = e.w().menuBar()->actions();
        const QStringList titles{c.msg(10), uiText(UiText::EditMenu, lang), c.msg(11), c.msg(12), c.msg(13),
                                 c.msg(14), c.msg(15)};
        QCOMPARE(menus.size(), titles.size());
        for (int i = 0; i < titles.size(); ++i) // with their mnemonics
            QCOMPARE(QString(menus[i]->text()).remove(u'&'), QString(titles[i]).remove(u'&'));
        QCOMPARE(e.w().gameModel()->rowCount(), 5);
        QCOMPARE(e.w().gameModel()->index(2, 0).data().toString(), c.msg(3));
        QCOMPARE(e.w().mediaModel()->index(3, 0).data().toString(), c.msg(9));
        QCOMPARE(shownTitle(e.w()), "Mossbramble (" + c.msg(100) + ")");
        // Captions, hints and keys of the commands.
        const struct { const char *name; int caption, hint; } actions[] = {
            {"projectOpen", 17, 64}, {"projectsave", 18, 65}, {"insertpic", 25, 67}, {"insertmovie", 28, 82},
            {"insertroom", 29, 70}, {"insertcutscene", 33, 74}, {"helpmanual", 62, 79}, {"windowmaus", 48, 0}};
        for (const auto &a : actions) {
            QAction *act = e.w().action(a.name);
            QVERIFY2(act, a.name);
            QCOMPARE(act->text(), c.msg(a.caption));
            if (a.hint)
                QCOMPARE(act->statusTip(), c.msg(a.hint));
        }
        QCOMPARE(e.w().action("projectNew")->shortcut(), QKeySequence(QKeySequence::New));
        QCOMPARE(e.w().action("projectsaveunder")->shortcut(), QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(e.w().action("quit")->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(e.w().action(lang == "DE" ? "deutsch" : "english")->isChecked(), true);
        // The dialogs carry their titles (both cancelled).
        e.questions.openAnswers << QStringList() << QStringList();
        e.w().insertsound();
        QCOMPARE(e.questions.shown.last().caption, c.msg(89));
        QVERIFY(e.questions.shown.last().text.contains("*.ogg"));
        e.w().projectOpenExecute();
        QCOMPARE(e.questions.shown.last().caption, c.msg(94));
        QCOMPARE(e.questions.shown.last().text,
                 QString(lang == "DE" ? "Mossbramble-Adventure (*.adv)" : "Mossbramble Adventure (*.adv)"));
    }

    void insertingRoomSkipsNamesInUse()
    {
        Editor e;
        e.session.edit("rooms of another program", table::Rooms, [&](ProjectEdit &edit) {
            edit.model().rooms[1].name = "Room1";
            edit.model().rooms[2].name = "room2";
            edit.addChild(e.gameRoot(Rooms), "Room1", nodeimage::Room);
            edit.addChild(e.gameRoot(Rooms), "room2", nodeimage::Room);
        });
        e.select(e.gameRoot(Rooms));
        e.w().insertroom();
        TreeNode *n = e.selectedGame();
        QVERIFY(n);
        QCOMPARE(n->text, QString("Room3"));
        QCOMPARE(n->imageIndex, int(nodeimage::Room));
        // The new room can be named at once, its window is open and the counts are fresh.
        QVERIFY(e.w().gamepool()->isEditing());
        QVERIFY(e.w().isToolWindowOpen("room"));
        QCOMPARE(e.w().action("windowroom")->text(), e.catalog.msg(37));
        QVERIFY(e.panel(1).endsWith(e.catalog.msg(29) + ": 3"));
        QVERIFY(e.questions.shown.isEmpty());
    }

    void typedNameGoesThroughTheEditor()
    {
        Editor e;
        e.w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&e.w()));
        e.select(e.gameRoot(Items));
        e.w().insertitem();
        auto *editor = e.w().gamepool()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText("golden key");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(e.model->items[1].name, QString("golden key"));
        QCOMPARE(e.selectedGame()->text, QString("golden key"));
        QCOMPARE(e.model->names[NameLists::ItemNames], QStringList({"golden key"}));
    }

    void renamingObjectToAnotherObjectsName()
    {
        Editor e;
        e.insert(Objects, "door");
        e.insert(Items, "lamp");
        TreeNode *obj = e.insert(Objects);
        QCOMPARE(e.questions.texts("information"), QStringList({e.catalog.msg(157)})); // first rename only
        e.questions.shown.clear();

        e.w().gamepoolEdited(obj, "DOOR");
        QCOMPARE(obj->text, QString("Object2"));
        QCOMPARE(e.questions.shown.size(), 1);
        QCOMPARE(e.questions.shown[0].kind, QString("error"));
        QCOMPARE(e.questions.shown[0].caption, e.catalog.msg(366));
        QCOMPARE(e.questions.shown[0].text, e.catalog.msg(153) + " \"DOOR\" " + e.catalog.msg(147));

        e.questions.shown.clear();
        e.w().gamepoolEdited(obj, "lamp");
        QCOMPARE(obj->text, QString("lamp"));
        QCOMPARE(e.model->objects[2].name, QString("lamp"));
        QVERIFY(e.questions.shown.isEmpty()); // the note came once per installation
        QCOMPARE(e.settings.readsetting("RenameObj"), QString("yes"));
    }

    void folderNameLosesSemicolon()
    {
        Editor e;
        TreeNode *f = e.folder(e.gameRoot(Scripts), "a;b");
        QCOMPARE(f->text, QString("ab"));
        QCOMPARE(f->parent, e.gameRoot(Scripts));
        TreeNode *m = e.folder(e.mediaRoot(Images), "back:grounds?");
        QCOMPARE(m->text, QString("backgrounds"));
    }

    void deletingNestedFolder_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("yes");
        QTest::newRow("asked, yes") << false << true;
        QTest::newRow("asked, no") << false << false;
        QTest::newRow("silent delete") << true << false;
    }
    void deletingNestedFolder()
    {
        QFETCH(bool, silent);
        QFETCH(bool, yes);
        Editor e;
        e.model->settings.silentDelete = silent;
        TreeNode *outer = e.folder(e.gameRoot(Rooms), "floors");
        TreeNode *inner = e.folder(outer, "cellars");
        e.insert(Rooms, "hall", outer);
        e.insert(Rooms, "vault", inner);
        e.insert(Rooms, "garden");
        e.questions.shown.clear();
        if (!silent)
            e.questions.answers << (yes ? Asker::Yes : Asker::No);
        e.select(outer);
        e.w().gameminus();
        const bool deleted = silent || yes;
        if (silent) {
            QVERIFY(e.questions.shown.isEmpty());
        } else {
            QCOMPARE(e.questions.texts("yesNo"), QStringList({e.catalog.msg(139) + " floors " + e.catalog.msg(140)}));
            QCOMPARE(e.questions.defaultNo(), e.questions.texts("yesNo")); // Enter keeps the folder
            QCOMPARE(e.questions.shown[0].caption, e.catalog.msg(365));
        }
        QCOMPARE(e.model->rooms.usedCount(), deleted ? 1 : 3);
        QCOMPARE(e.model->rooms.find("vault") != 0, !deleted);
        QCOMPARE(childTexts(e.gameRoot(Rooms)), deleted ? QStringList({"garden"}) : QStringList({"floors", "garden"}));
        QVERIFY(e.panel(1).endsWith(e.catalog.msg(29) + (deleted ? ": 1" : ": 3")));
        if (deleted)
            QCOMPARE(e.selectedGame(), e.gameRoot(Rooms));
    }

    void deleteKeyAsksForAnElement()
    {
        Editor e;
        TreeNode *room = e.insert(Rooms, "hall");
        e.questions.shown.clear();
        e.select(room);
        e.questions.answers << Asker::No;
        QTest::keyClick(e.w().gamepool(), Qt::Key_Delete);
        QCOMPARE(e.questions.texts("yesNo"), QStringList({e.catalog.msg(137) + " hall " + e.catalog.msg(138)}));
        QCOMPARE(e.model->rooms.usedCount(), 1); // answered No
        // The root is never deleted, and nothing is asked for it.
        e.questions.shown.clear();
        e.select(e.gameRoot(Rooms));
        e.w().gameminus();
        QVERIFY(e.questions.shown.isEmpty());
        QCOMPARE(e.model->gameTree.roots.size(), size_t(5));
    }

    void levelSevenFolderGetsNoSubfolder()
    {
        Editor e;
        TreeNode *f = e.gameRoot(Objects);
        for (int level = 1; level <= 7; ++level)
            f = e.folder(f, QStringLiteral("level%1").arg(level));
        QCOMPARE(f->level(), 7);
        e.select(f);
        e.w().gameordner();
        QVERIFY(f->children.empty());
        QCOMPARE(e.selectedGame(), f);
    }

    void newProject_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("reset");
        QTest::newRow("unmodified") << false << int(Asker::Cancel) << false << true;
        QTest::newRow("modified, cancel") << true << int(Asker::Cancel) << true << false;
        QTest::newRow("modified, no") << true << int(Asker::No) << true << true;
    }
    void newProject()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, reset);
        Editor e;
        e.insert(Rooms, "hall");
        e.model->settings.projectName = "castle";
        if (!modified)
            e.session.undoStack()->setClean();
        e.questions.shown.clear();
        e.questions.answers << Asker::Answer(answer);
        e.w().projectNewExecute();
        QCOMPARE(e.questions.texts("yesNoCancel"),
                 asked ? QStringList({e.catalog.msg(101) + " castle " + e.catalog.msg(102)}) : QStringList());
        QCOMPARE(e.model->rooms.usedCount(), reset ? 0 : 1);
        QCOMPARE(e.model->settings.projectName, reset ? e.catalog.msg(100) : QString("castle"));
        QCOMPARE(e.session.isModified(), reset ? false : modified);
        QCOMPARE(e.session.undoStack()->count(), reset ? 0 : 2);
        QCOMPARE(childTexts(e.gameRoot(Rooms)), reset ? QStringList() : QStringList({"hall"}));
    }

    void resetZeroesEveryCount()
    {
        Editor e;
        QTemporaryDir media;
        QImage img(2, 2, QImage::Format_ARGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save(media.filePath("tree.png")));
        e.questions.openAnswers << QStringList{media.filePath("tree.png")};
        e.select(e.mediaRoot(Images));
        e.w().insertpic();
        for (int kind : {int(Rooms), int(Objects), int(Characters), int(Items), int(Scripts)})
            e.insert(kind);
        QVERIFY(e.panel(0).startsWith(e.catalog.msg(6) + ": 1 |"));
        QVERIFY(e.panel(1).contains(QRegularExpression("[1-9]")));
        e.w().allesneu();
        const QString zeroMedia = e.catalog.msg(6) + ": 0 |" + e.catalog.msg(8) + ": 0 |" + e.catalog.msg(7) + ": 0 |"
                                + e.catalog.msg(9) + ": 0";
        const QString zeroElements = e.catalog.msg(32) + ": 0 |" + e.catalog.msg(30) + ": 0 |" + e.catalog.msg(31)
                                   + ": 0 |" + e.catalog.msg(33) + ": 0 |" + e.catalog.msg(29) + ": 0";
        QCOMPARE(e.panel(0), zeroMedia);
        QCOMPARE(e.panel(1), zeroElements);
        QCOMPARE(e.w().gameModel()->rowCount(), 5);
        QCOMPARE(e.w().gameModel()->rowCount(e.w().gameModel()->index(4, 0)), 0);
    }

    void insertingMediaChecksEachFile()
    {
        Editor e;
        QTemporaryDir media;
        QImage alpha(2, 2, QImage::Format_ARGB32), flat(2, 2, QImage::Format_RGB32);
        alpha.fill(Qt::red);
        flat.fill(Qt::red);
        QVERIFY(alpha.save(media.filePath("Hero.png")) && flat.save(media.filePath("flat.png")));
        TreeNode *folder = e.folder(e.mediaRoot(Images), "people");
        e.questions.shown.clear();
        e.questions.openAnswers << QStringList{media.filePath("Hero.png"), media.filePath("flat.png")}
                                << QStringList{media.filePath("Hero.png")};
        e.select(folder);
        e.w().insertpic();
        // The refused file is named: several were chosen.
        QCOMPARE(e.questions.texts("error"),
                 QStringList({QDir::toNativeSeparators(media.filePath("flat.png")) + '\n' + e.catalog.msg(381)}));
        QCOMPARE(childTexts(folder), QStringList({"hero"}));
        QCOMPARE(e.w().mediapool()->currentNode()->text, QString("hero"));
        e.w().insertpic();
        QCOMPARE(e.questions.last("error"), "hero " + e.catalog.msg(147));
        QCOMPARE(e.model->media[Images].usedCount(), 1);
        QVERIFY(e.panel(0).startsWith(e.catalog.msg(6) + ": 1 |"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("not a project") << QStringList{"/tmp/game.adz"} << "/tmp/game.adz 151";
        QTest::newRow("missing file") << QStringList{"/nowhere/game.adv"} << "/nowhere/game.adv 116";
        QTest::newRow("missing bare name") << QStringList{"lost.adv"} << "lost.adv 116";
        QTest::newRow("bare name in the editor folder") << QStringList{"-16bit", "my", "castle.adv"} << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        Editor e;
        QVERIFY(!writeProject(e.dir.path(), "my castle", e.path("wall.png")).isEmpty());
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(e.path("wall.png")));
        e.w().FormActivate(args);
        if (error.isEmpty()) {
            QVERIFY(e.questions.shown.isEmpty());
            QCOMPARE(e.model->settings.projectName, QString("my castle"));
            QCOMPARE(shownTitle(e.w()), QString("Mossbramble (my castle)"));
            QCOMPARE(e.panel(2), e.catalog.msg(103));
            QVERIFY(e.w().sixteenBit());
        } else {
            const QStringList parts = error.split(' ');
            QCOMPARE(e.questions.texts("error"), QStringList({parts[0] + ' ' + e.catalog.msg(parts[1].toInt())}));
            QCOMPARE(e.questions.shown[0].caption, e.catalog.msg(366));
            QCOMPARE(e.model->settings.projectName, e.catalog.msg(100));
        }
    }

    void startupArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("sixteenBit");
        QTest::newRow("none") << QStringList{} << "" << false;
        QTest::newRow("split path") << QStringList{"C:\\my", "games\\castle.adv"} << "C:\\my games\\castle.adv" << false;
        QTest::newRow("switch first") << QStringList{"-16bit", "a b.adv"} << "a b.adv" << true;
        QTest::newRow("switch between") << QStringList{"my", "-16bit", "game.adv"} << "my game.adv" << true;
        QTest::newRow("nine parameters at most") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}
                                                 << "1 2 3 4 5 6 7 8 9" << false;
    }
    void startupArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, path);
        QFETCH(bool, sixteenBit);
        const StartupArguments a = parseStartupArguments(args);
        QCOMPARE(a.projectPath, path);
        QCOMPARE(a.sixteenBit, sixteenBit);
    }

    void ctrlZUndoesARenameInTheTree()
    {
        Editor e;
        e.w().show();
        QApplication::setActiveWindow(&e.w());
        QVERIFY(QTest::qWaitForWindowActive(&e.w()));
        TreeNode *room = e.insert(Rooms, "hall");
        e.w().gamepool()->setFocus();
        QAction *undo = e.w().action("editundo");
        QCOMPARE(undo->text().remove(u'&'), uiText(UiText::UndoStep, "EN").arg(uiText(UiText::Rename, "EN").arg("Room1")));
        QTest::keyClick(e.w().gamepool(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(room->text, QString("Room1"));
        QCOMPARE(e.model->rooms[1].name, QString("Room1"));
        QCOMPARE(e.w().gameModel()->indexOf(room).data().toString(), QString("Room1"));
        QCOMPARE(e.w().action("editredo")->text().remove(u'&'),
                 uiText(UiText::RedoStep, "EN").arg(uiText(UiText::Rename, "EN").arg("Room1")));
        // Both redo keys; the view kept its selection all along (rows changed, no reset).
        QTest::keyClick(e.w().gamepool(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(room->text, QString("hall"));
        QTest::keyClick(e.w().gamepool(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(e.w().gamepool(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e.model->rooms[1].name, QString("hall"));
        QCOMPARE(e.selectedGame(), room);
        // Undoing the insert takes the node out of the view, redoing puts the same one back.
        QTest::keyClick(e.w().gamepool(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(e.w().gamepool(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.w().gameModel()->rowCount(e.w().gameModel()->indexOf(e.gameRoot(Rooms))), 0);
        QCOMPARE(e.model->rooms.usedCount(), 0);
        QVERIFY(!undo->isEnabled());
        QTest::keyClick(e.w().gamepool(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(e.w().gameModel()->indexOf(room).row(), 0);
        QTRY_VERIFY(e.panel(1).endsWith(e.catalog.msg(29) + ": 1")); // the counts follow
    }

    void titleMarksUnsavedChanges()
    {
        Editor e;
        const QString fresh = "Mossbramble (" + e.catalog.msg(100) + ")";
        QCOMPARE(shownTitle(e.w()), fresh);
        QVERIFY(!e.w().saveButton()->isEnabled());
        e.insert(Items, "key");
        QCOMPARE(shownTitle(e.w()), fresh + "*");
        QVERIFY(e.w().saveButton()->isEnabled());
        e.questions.saveAnswers << e.path("castle.adv");
        QVERIFY(e.w().projectsaveExecute());
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (castle)"));
        QVERIFY(!e.w().saveButton()->isEnabled());
        // Undo past the save: unsaved again; redo back to it: saved.
        e.w().action("editundo")->trigger();
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (castle)*"));
        QVERIFY(e.w().saveButton()->isEnabled());
        e.w().action("editredo")->trigger();
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (castle)"));
        QVERIFY(!e.w().saveButton()->isEnabled());
    }

    void saveAsThenOpen()
    {
        Editor e;
        e.insert(Rooms, "hall");
        QVERIFY(e.session.isModified());
        e.w().savetimerTimer();
        QVERIFY(e.w().saveButton()->isEnabled());
        e.questions.saveAnswers << e.path("castle.adv");
        QVERIFY(e.w().projectsaveExecute()); // no folder yet: "Save as"
        QVERIFY(QFileInfo::exists(e.path("castle.adv")));
        QCOMPARE(e.questions.shown.last().caption, e.catalog.msg(95));
        QCOMPARE(e.panel(2), e.catalog.msg(104));
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (castle)"));
        QVERIFY(!e.session.isModified());
        e.w().savetimerTimer();
        QVERIFY(!e.w().saveButton()->isEnabled());

        // A change, then Open: Cancel keeps everything; No drops the change and opens.
        e.insert(Items, "key");
        e.questions.shown.clear();
        e.questions.answers << Asker::Cancel;
        QVERIFY(!e.w().projectOpenExecute());
        QCOMPARE(e.model->items.usedCount(), 1);
        e.questions.answers << Asker::No;
        e.questions.openAnswers << QStringList{e.path("castle.adv")};
        QVERIFY(e.w().projectOpenExecute());
        QCOMPARE(e.model->items.usedCount(), 0);
        QCOMPARE(childTexts(e.gameRoot(Rooms)), QStringList({"hall"}));
        QCOMPARE(e.w().gameModel()->rowCount(e.w().gameModel()->index(Rooms, 0)), 1);
        QCOMPARE(e.panel(2), e.catalog.msg(103));
        QCOMPARE(e.session.openFolder(), e.dir.path());
        QVERIFY(!e.session.isBusy());
    }

    // A long open shows its progress window; its Cancel (here Escape) keeps the project that was
    // open, with its unsaved changes and their undo steps.
    void cancelledOpenKeepsTheOpenProject()
    {
        Editor e;
        e.insert(Rooms, "hall");
        const int stepsBefore = e.session.undoStack()->count();
        const QString titleBefore = shownTitle(e.w());
        const QString openFolderBefore = e.session.openFolder();
        QDir().mkpath(e.path("big"));
        QVERIFY(!writeLongProject(e.path("big"), "big").isEmpty());

        e.questions.answers << Asker::No << Asker::No; // keep the change unsaved, twice
        int maximum = -1;
        QString label;
        QTimer::singleShot(0, &e.w(), [&] {
            if (auto *progress = e.w().findChild<QProgressDialog *>("openprogress")) {
                maximum = progress->maximum();
                label = progress->labelText();
                QTest::keyClick(progress, Qt::Key_Escape);
            }
        });
        QVERIFY(!e.w().openRecent(e.path("big/big.adv")));
        QCOMPARE(maximum, 1000);
        QCOMPARE(label, e.catalog.extra(extratext::OpeningProject).arg("big.adv"));
        QCOMPARE(childTexts(e.gameRoot(Rooms)), QStringList({"hall"}));
        QCOMPARE(e.w().gameModel()->rowCount(e.w().gameModel()->index(Rooms, 0)), 1);
        QVERIFY(e.session.isModified());
        QCOMPARE(e.session.undoStack()->count(), stepsBefore);
        QCOMPARE(shownTitle(e.w()), titleBefore);
        QCOMPARE(e.session.openFolder(), openFolderBefore);
        QCOMPARE(e.panel(2), e.catalog.extra(extratext::OpenCancelled));
        QVERIFY(e.questions.texts("error").isEmpty());
        QVERIFY(!e.session.isBusy());
        QVERIFY(!e.w().findChild<QProgressDialog *>("openprogress"));
        QVERIFY(RecentProjects(e.settings).list().filter("big.adv").isEmpty());

        // Left alone, the same open goes through.
        QVERIFY(e.w().openRecent(e.path("big/big.adv")));
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (big)"));
        QVERIFY(!e.session.isModified());
        QVERIFY(!e.w().findChild<QProgressDialog *>("openprogress"));
    }

    // A save shows a bar in the status bar; the window does not close while it runs.
    void saveShowsItsBarAndHoldsTheWindow()
    {
        Editor e;
        e.insert(Rooms, "hall");
        e.questions.saveAnswers << e.path("castle.adv");
        int maximum = -1;
        QString panel;
        bool closed = true;
        QTimer::singleShot(0, &e.w(), [&] {
            if (auto *bar = e.w().findChild<QProgressBar *>("saveprogress"))
                maximum = bar->maximum();
            panel = e.panel(2);
            closed = e.w().close();
        });
        QVERIFY(e.w().projectsaveExecute());
        QCOMPARE(maximum, 1000);
        QCOMPARE(panel, e.catalog.extra(extratext::SavingProject).arg("castle"));
        // The close waited: no question about the changes came in the middle of the save.
        QVERIFY(!closed);
        QVERIFY(e.questions.texts("yesNoCancel").isEmpty());
        QVERIFY(!e.w().findChild<QProgressBar *>("saveprogress"));
        QCOMPARE(e.panel(2), e.catalog.msg(104));
        QVERIFY(QFileInfo::exists(e.path("castle.adv")));
        QVERIFY(!e.session.isModified());
    }

    void openErrorIsShown()
    {
        Editor e;
        QFile bad(e.path("broken.adv"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a zip");
        bad.close();
        e.questions.openAnswers << QStringList{e.path("broken.adv")};
        QVERIFY(!e.w().projectOpenExecute());
        QCOMPARE(e.questions.texts("error").size(), 1);
        QVERIFY(e.questions.last("error").contains("broken.adv"));
        QCOMPARE(e.questions.shown.last().caption, e.catalog.msg(366));
        QVERIFY(!e.session.isBusy());
        QCOMPARE(e.w().gameModel()->rowCount(), 5);
    }

    void missingFilesDialogAfterOpen()
    {
        Editor e;
        QTemporaryDir elsewhere;
        const QString adv = writeProject(e.dir.path(), "castle", "/gone/wall.png");
        QVERIFY(!adv.isEmpty());
        e.questions.openAnswers << QStringList{adv};
        QVERIFY(e.w().projectOpenExecute());
        Tmissingfiles *d = e.w().missingFilesDialog();
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QCOMPARE(d->Label3()->text(), QString("(1)"));
        // Each entry with its kind and stored path; OK is the default button.
        QCOMPARE(d->missimages()->topLevelItemCount(), 1);
        QCOMPARE(d->missimages()->topLevelItem(0)->text(0), QString("wall"));
        QCOMPARE(d->missimages()->topLevelItem(0)->text(1), e.catalog.msg(6));
        QCOMPARE(d->missimages()->topLevelItem(0)->text(2), QString("/gone/wall.png"));
        QVERIFY(d->Button2()->isDefault());
        QVERIFY(e.session.isBusy());

        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(elsewhere.filePath("wall.png")));
        e.questions.folderAnswers << elsewhere.path() << elsewhere.path();
        d->Button1Click();
        QCOMPARE(e.questions.shown.last().start, e.dir.path()); // the chooser starts in the project folder
        QCOMPARE(d->Label3()->text(), QString("(0)"));
        QCOMPARE(d->newfolder()->count(), 1);
        d->Button1Click(); // the same folder again is not listed twice
        QCOMPARE(d->newfolder()->count(), 1);
        const MediaTable &t = e.model->media[Images];
        QCOMPARE(QFileInfo(t.path(t.find("wall"))).absoluteFilePath(), QFileInfo(elsewhere.filePath("wall.png")).absoluteFilePath());
        QVERIFY(e.session.isModified());
        d->Button2Click();
        QVERIFY(!d->isVisible());
        QVERIFY(!e.session.isBusy());
    }

    void noDialogWhenNothingIsMissing()
    {
        Editor e;
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(e.path("wall.png")));
        const QString adv = writeProject(e.dir.path(), "castle", e.path("wall.png"));
        e.questions.openAnswers << QStringList{adv};
        QVERIFY(e.w().projectOpenExecute());
        QVERIFY(!e.w().missingFilesDialog() || !e.w().missingFilesDialog()->isVisible());
        QVERIFY(!e.session.isBusy());
    }

    void quitWithChanges()
    {
        Editor e;
        e.w().show();
        e.insert(Rooms);
        e.questions.answers << Asker::Cancel;
        QVERIFY(!e.w().close());
        QVERIFY(e.w().isVisible());
        e.questions.answers << Asker::No;
        QVERIFY(e.w().close());
        QCOMPARE(e.settings.readsetting("Raum"), QString("an"));
        QCOMPARE(e.settings.readsetting("Objekt"), QString("aus"));
        QCOMPARE(e.settings.readsetting("Toolbar"), QString("an"));
    }

    void layoutIsRemembered()
    {
        QTemporaryDir keep;
        {
            Editor e;
            e.w().openToolWindow("mausbox");
            e.w().openToolWindow("Form2");
            e.w().windowtoolbar();
            QCOMPARE(e.w().action("windowtoolbar")->text(), e.catalog.msg(50));
            e.session.setOpenFolder("/projects");
            e.session.options().fitImage = false;
            QVERIFY(e.w().FormClose());
            QFile::copy(e.settings.filePath(), keep.filePath("config.ini"));
        }
        EditorSettings settings(keep.path());
        QCOMPARE(settings.readsetting("Toolbar"), QString("aus"));
        QCOMPARE(settings.readsetting("Mauszeiger"), QString("an"));
        QCOMPARE(settings.readsetting("Vorschau"), QString("an"));
        QCOMPARE(settings.readsetting("Skript"), QString("aus"));
        QCOMPARE(settings.readsetting("Openpath"), QString("/projects"));
        QCOMPARE(settings.readsetting("Fit"), QString("aus"));
        QCOMPARE(settings.readsetting("Mainform"), QString("normal"));

        // The next start shows the same.
        Editor next("EN", {{"Toolbar", "aus"}, {"Mauszeiger", "an"}, {"Vorschau", "an"}, {"Skript", "aus"},
                           {"Openpath", "/projects"}, {"Fit", "aus"}, {"Backup", "aus"}});
        QVERIFY(next.w().toolBar()->isHidden());
        QCOMPARE(next.w().action("windowtoolbar")->text(), next.catalog.msg(50));
        next.w().FormActivate();
        QVERIFY(next.w().isToolWindowOpen("mausbox"));
        QVERIFY(next.w().isToolWindowOpen("Form2"));
        QVERIFY(!next.w().isToolWindowOpen("skriptwindow"));
        QCOMPARE(next.session.openFolder(), QString("/projects"));
        QVERIFY(!next.session.options().fitImage);
        QVERIFY(!next.session.options().makeBackup);
    }

    // --- keyboard

    void enterOnANodeOpensItsWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void enterOnANodeOpensItsWindow()
    {
        QFETCH(int, key);
        Editor e;
        TreeNode *room = e.insert(Rooms, "hall");
        e.w().closewindow("room");
        e.select(room);
        QVERIFY(!e.w().isToolWindowOpen("room"));
        QTest::keyClick(e.w().gamepool(), Qt::Key(key));
        QVERIFY(e.w().isToolWindowOpen("room"));
        // On a folder Enter opens it, as a double click does.
        TreeNode *folder = e.folder(e.gameRoot(Scripts), "chapter");
        e.insert(Scripts, "intro", folder);
        e.select(folder);
        const QModelIndex index = e.w().gameModel()->indexOf(folder);
        e.w().gamepool()->collapse(index);
        QTest::keyClick(e.w().gamepool(), Qt::Key(key));
        QVERIFY(e.w().gamepool()->isExpanded(index));
    }

    void keyboardOpensTheTreeMenu_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void keyboardOpensTheTreeMenu()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Editor e;
        e.w().show();
        TreeNode *script = e.insert(Scripts, "intro");
        e.insert(Scripts, "outro");
        e.select(script);
        QString shown;
        QTimer::singleShot(0, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown = popup->objectName();
                popup->close();
            }
        });
        QTest::keyClick(e.w().gamepool(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(shown, QString("gamepopup"));
        // The menu is the current node's, not the one under a stale mouse position.
        QCOMPARE(e.selectedGame(), script);
    }

    void menusHaveMnemonics_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("EN") << "EN";
        QTest::newRow("DE") << "DE";
    }
    void menusHaveMnemonics()
    {
        QFETCH(QString, lang);
        Editor e(lang);
        auto letters = [](const QList<QAction *> &actions) {
            QStringList out;
            for (QAction *a : actions) {
                if (a->isSeparator())
                    continue;
                const int at = QString(a->text()).replace("&&", "").indexOf('&');
                out << (at < 0 ? QString() : QString(a->text()).replace("&&", "").mid(at + 1, 1).toLower());
            }
            return out;
        };
        auto unique = [](const QStringList &l) {
            return !l.contains(QString()) && QSet<QString>(l.begin(), l.end()).size() == l.size();
        };
        QVERIFY2(unique(letters(e.w().menuBar()->actions())), qPrintable(letters(e.w().menuBar()->actions()).join(',')));
        for (QAction *title : e.w().menuBar()->actions()) {
            QMenu *menu = title->menu();
            emit menu->aboutToShow();
            QVERIFY2(unique(letters(menu->actions())), qPrintable(title->text() + ": " + letters(menu->actions()).join(',')));
        }
        // A caption that changes while the editor runs gets its mnemonic when its menu opens.
        QMenu *window = e.w().menuBar()->actions()[3]->menu();
        e.w().openToolWindow("mausbox");
        QCOMPARE(e.w().action("windowmaus")->text(), e.catalog.msg(49));
        emit window->aboutToShow();
        QCOMPARE(QString(e.w().action("windowmaus")->text()).remove('&'), e.catalog.msg(49));
        QVERIFY(unique(letters(window->actions())));
    }

    void f10OpensTheMenuBar()
    {
        Editor e;
        e.w().show();
        QApplication::setActiveWindow(&e.w());
        QVERIFY(QTest::qWaitForWindowActive(&e.w()));
        e.w().gamepool()->setFocus();
        QTest::keyClick(e.w().gamepool(), Qt::Key_F10);
        QCOMPARE(e.w().menuBar()->activeAction(), e.w().menuBar()->actions().first());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    }

    // --- recent projects, hand-over from another start

    void recentProjects()
    {
        Editor e;
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(e.path("wall.png")));
        const QString castle = writeProject(e.dir.path(), "castle", e.path("wall.png"));
        const QString cave = writeProject(e.dir.path(), "cave", e.path("wall.png"));
        QVERIFY(e.w().openRecent(castle));
        QVERIFY(e.w().openRecent(cave));
        QCOMPARE(RecentProjects(e.settings).list(), QStringList({cave, castle}));
        // The menu lists them newest first; a file that went is left out.
        QFile::remove(castle);
        emit e.w().recentMenu()->aboutToShow();
        QCOMPARE(e.w().recentMenu()->actions().first()->data().toString(), cave);
        QCOMPARE(e.w().recentMenu()->actions()[1]->isSeparator(), true);
        // An entry goes the way of Open: changes are asked about first, and Cancel keeps all.
        e.makeModified();
        e.questions.shown.clear();
        e.questions.answers << Asker::Cancel;
        QVERIFY(!e.w().openRecent(cave));
        QCOMPARE(e.questions.texts("yesNoCancel").size(), 1);
        QVERIFY(e.session.isModified());
        // ...and nothing is left pending for the next Open, which shows its dialog.
        e.dropChanges();
        e.questions.openAnswers << QStringList();
        QVERIFY(!e.w().projectOpenExecute());
        QCOMPARE(e.questions.shown.last().kind, QString("open"));
    }

    void anotherStartHandsOverItsProject()
    {
        Editor e;
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(e.path("wall.png")));
        const QString castle = writeProject(e.dir.path(), "castle", e.path("wall.png"));
        e.w().FormActivate();
        // Unsaved changes: the usual question first; Cancel keeps the project.
        e.makeModified();
        e.questions.answers << Asker::Cancel;
        e.w().openRequested(castle);
        QCOMPARE(e.questions.texts("yesNoCancel").size(), 1);
        QCOMPARE(e.model->settings.projectName, e.catalog.msg(100));
        e.questions.answers << Asker::No;
        // While other work runs (make game lets events through between its steps) the request
        // waits for it to end.
        e.session.setBusy(true);
        e.w().openRequested(castle);
        QTest::qWait(300);
        QCOMPARE(e.questions.texts("yesNoCancel").size(), 1);
        e.session.setBusy(false);
        QTRY_COMPARE(e.model->settings.projectName, QString("castle"));
        QVERIFY(!e.session.isModified());
        // A start without a project only brings the window up.
        e.questions.shown.clear();
        e.w().openRequested(QString());
        QVERIFY(e.questions.shown.isEmpty());
        QCOMPARE(e.model->settings.projectName, QString("castle"));
    }

    void positionAndTreeDividerAreRestored()
    {
        QTemporaryDir keep;
        QList<int> sizes;
        QRect geometry;
        {
            Editor e;
            e.w().show();
            e.w().setGeometry(60, 70, 900, 640);
            QVERIFY(QTest::qWaitForWindowExposed(&e.w()));
            e.w().treeSplitter()->setSizes({150, 420});
            sizes = e.w().treeSplitter()->sizes();
            geometry = e.w().geometry();
            QVERIFY(e.w().FormClose());
            QFile::copy(e.settings.filePath(), keep.filePath("config.ini"));
        }
        EditorSettings settings(keep.path());
        Editor next("EN", {{"Mainform Geometry", qPrintable(settings.readsetting("Mainform Geometry"))},
                           {"Mainform State", qPrintable(settings.readsetting("Mainform State"))},
                           {"Tree Splitter", qPrintable(settings.readsetting("Tree Splitter"))}});
        next.w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&next.w()));
        QCOMPARE(next.w().geometry(), geometry);
        QCOMPARE(next.w().treeSplitter()->sizes(), sizes);
    }

    // --- recovery of unsaved work

    void unsavedWorkIsRecoveredAfterACrash_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("restored") << true;
        QTest::newRow("declined") << false;
    }
    void unsavedWorkIsRecoveredAfterACrash()
    {
        QFETCH(bool, restore);
        QTemporaryDir projects;
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(projects.filePath("wall.png")));
        const QString castle = writeProject(projects.path(), "castle", projects.filePath("wall.png"));
        const QByteArray saved = [&] { QFile f(castle); f.open(QIODevice::ReadOnly); return f.readAll(); }();

        Editor e;
        e.w().FormActivate();
        QVERIFY(e.w().openRecent(castle));
        e.w().setAutosaveInterval(40);
        const Recovery recovery(e.dir.path());
        QTest::qWait(150);
        QVERIFY(!QFile::exists(recovery.filePath())); // nothing unsaved, nothing written
        e.insert(Rooms, "cellar");
        QVERIFY(e.session.isModified());
        QTRY_VERIFY(QFile::exists(recovery.filePath()));
        // The copy never touches the project or the open session.
        QVERIFY(e.session.isModified());
        QCOMPARE(e.model->settings.projectName, QString("castle"));
        QCOMPARE(e.session.projectFolder(), QDir(projects.path()).absolutePath());
        QCOMPARE([&] { QFile f(castle); f.open(QIODevice::ReadOnly); return f.readAll(); }(), saved);

        // The editor "crashes": its window never closes. The next start finds the copy.
        Editor next;
        QDir().mkpath(next.path("recovery"));
        for (const QString &f : {recovery.filePath(), recovery.notePath()})
            QVERIFY(QFile::copy(f, next.path("recovery/") + QFileInfo(f).fileName()));
        next.questions.answers << (restore ? Asker::Yes : Asker::No);
        next.w().FormActivate();
        QCOMPARE(next.questions.shown.size(), 1);
        QVERIFY(next.questions.shown[0].text.contains("\"castle\""));
        if (!restore) {
            QVERIFY(!QFile::exists(Recovery(next.dir.path()).filePath()));
            QCOMPARE(next.model->rooms.usedCount(), 0);
            return;
        }
        QVERIFY(next.model->rooms.find("cellar") != 0);
        QCOMPARE(next.model->settings.projectName, QString("castle"));
        QCOMPARE(next.session.projectFolder(), QDir(projects.path()).absolutePath());
        QVERIFY(next.session.isModified());
        // A clean close (here without saving) removes the copy.
        next.questions.answers << Asker::No;
        QVERIFY(next.w().FormClose());
        QVERIFY(!QFile::exists(Recovery(next.dir.path()).filePath()));
    }

    void autosaveIntervalFromConfig()
    {
        Editor off("EN", {{"Autosave minutes", "0"}});
        off.w().FormActivate();
        QVERIFY(!off.w().autosaveTimer()->isActive());
        Editor five("EN", {{"Autosave minutes", "5"}});
        five.w().FormActivate();
        QVERIFY(five.w().autosaveTimer()->isActive());
        QCOMPARE(five.w().autosaveTimer()->interval(), 5 * 60000);
    }

    // F1: the manual in the editor's language, from the editor folder or beside the program.
    void manualOpensInTheBrowser_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QStringList>("files");   // manuals in the editor folder
        QTest::addColumn<QString>("expected");    // the file handed to the browser; empty: error box
        QTest::newRow("English") << "EN" << QStringList{"Manual.html", "Manual.de.html"} << "Manual.html";
        QTest::newRow("German") << "DE" << QStringList{"Manual.html", "Manual.de.html"} << "Manual.de.html";
        QTest::newRow("German, only the English one") << "DE" << QStringList{"Manual.html"} << "Manual.html";
        QTest::newRow("none") << "EN" << QStringList{} << "";
    }
    void manualOpensInTheBrowser()
    {
        QFETCH(QString, lang);
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        Editor e(lang);
        for (const QString &f : files) {
            QFile file(e.path(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        QVERIFY(e.w().action("helpmanual")->shortcuts().contains(QKeySequence(Qt::Key_F1)));
        e.w().helpmanual();
        QDesktopServices::unsetUrlHandler("file");
        if (expected.isEmpty()) {
            QVERIFY(catcher.urls.isEmpty());
            QCOMPARE(e.questions.texts("error"),
                     QStringList({e.catalog.msg(115) + ' ' + e.path("Manual.html") + ' ' + e.catalog.msg(116)}));
            return;
        }
        QVERIFY(e.questions.texts("error").isEmpty());
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(e.path(expected))}));
    }

    void windowMenuToggles()
    {
        Editor e;
        QAction *a = e.w().action("windowskript");
        QCOMPARE(a->text(), e.catalog.msg(46));
        a->trigger();
        QVERIFY(e.w().isToolWindowOpen("skriptwindow"));
        QCOMPARE(e.w().windowindex("skriptwindow"), 0);
        QCOMPARE(a->text(), e.catalog.msg(47));
        a->trigger();
        QVERIFY(!e.w().isToolWindowOpen("skriptwindow"));
        QCOMPARE(e.w().windowindex("skriptwindow"), -1);
        QCOMPARE(a->text(), e.catalog.msg(46));
        // A window closed by its own close button puts the caption back as well.
        QMdiSubWindow *sub = e.w().openToolWindow("itembox");
        sub->close();
        QTRY_COMPARE(e.w().action("windowitem")->text(), e.catalog.msg(42));
    }

    void resetKeepsReopenedWindowsCaption()
    {
        Editor e;
        e.w().openToolWindow("skriptwindow");
        e.w().projectNewExecute(); // closes the script window and opens it again
        QTest::qWait(1);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(e.w().isToolWindowOpen("skriptwindow"));
        QCOMPARE(e.w().action("windowskript")->text(), e.catalog.msg(47));
        QCOMPARE(e.w().mdiArea()->subWindowList().size(), 1);
    }

    void clicksReachTheToolWindows()
    {
        Editor e;
        TreeNode *room = e.insert(Rooms, "hall");
        TreeNode *folder = e.folder(e.gameRoot(Items), "bag");
        e.w().closewindow("room");
        e.w().gamepoolDblClick(room);
        QVERIFY(e.w().isToolWindowOpen("room"));
        QCOMPARE(e.session.current().room, QString("hall"));
        QCOMPARE(e.session.current().scriptKey, QString("8hall"));
        // An empty folder at level 1 is renamed by a double click, and opens nothing.
        e.w().gamepoolDblClick(folder);
        QVERIFY(e.w().gamepool()->isEditing());
        QVERIFY(!e.w().isToolWindowOpen("itembox"));
    }

    void dragMovesIntoFolder()
    {
        Editor e;
        TreeNode *folder = e.folder(e.gameRoot(Rooms), "floor");
        TreeNode *room = e.insert(Rooms, "hall");
        TreeNode *item = e.insert(Items, "key");
        PoolTreeModel *m = e.w().gameModel();
        std::unique_ptr<QMimeData> mime(m->mimeData({m->indexOf(room)}));
        QVERIFY(mime);
        QVERIFY(m->canDropMimeData(mime.get(), Qt::MoveAction, -1, 0, m->indexOf(folder)));
        QVERIFY(!m->canDropMimeData(mime.get(), Qt::MoveAction, -1, 0, m->indexOf(e.gameRoot(Items))));
        QVERIFY(!m->canDropMimeData(mime.get(), Qt::MoveAction, -1, 0, m->indexOf(item)));
        QVERIFY(!m->mimeData({m->indexOf(e.gameRoot(Rooms))}));
        QVERIFY(m->dropMimeData(mime.get(), Qt::MoveAction, -1, 0, m->indexOf(folder)));
        QTRY_COMPARE(room->parent, folder);

        QCOMPARE(e.selectedGame(), room);
        QVERIFY(e.session.isModified());
    }

    void duplicateFromThePopup()
    {
        Editor e;
        TreeNode *script = e.insert(Scripts, "intro");
        e.model->cutscenes[1].script = QStringList{"speech(self;hi)"};
        e.select(script);
        e.w().Duplizieren1Click();
        TreeNode *copy = e.selectedGame();
        QCOMPARE(copy->text, QString("intro1"));
        QCOMPARE(copy->imageIndex, int(nodeimage::Script));
        const int slot = e.model->cutscenes.find("intro1");
        QVERIFY(slot != 0);
        QCOMPARE(e.model->cutscenes[slot].script, QStringList({"speech(self;hi)"}));
        QVERIFY(e.panel(1).contains(e.catalog.msg(33) + ": 2"));
        // Folders have no copy.
        TreeNode *folder = e.folder(e.gameRoot(Scripts), "chapter");
        e.select(folder);
        e.w().Duplizieren1Click();
        QCOMPARE(e.model->cutscenes.usedCount(), 2);
    }

    void projectExportAndImport()
    {
        QTemporaryDir target;
        {
            Editor e;
            e.questions.saveAnswers << QString();
            e.w().exportieren(); // never saved, and the save dialog is cancelled
            QCOMPARE(e.questions.last("error"), e.catalog.msg(122));
            e.insert(Rooms, "hall");
            e.questions.saveAnswers << e.path("castle.adv") << target.filePath("castle");
            e.w().exportieren();
            QVERIFY2(QFileInfo::exists(target.filePath("castle.adz")), qPrintable(e.questions.texts("error").join('\n')));
            QCOMPARE(e.questions.texts("information").size(), 1);
            QCOMPARE(e.panel(2), e.catalog.msg(176));
            QVERIFY(!e.w().waitWindow()->isVisible());
        }
        Editor e;
        e.questions.openAnswers << QStringList{target.filePath("castle.adz")};
        e.w().importieren();
        QVERIFY2(e.questions.texts("error").isEmpty(), qPrintable(e.questions.texts("error").join('\n')));
        QCOMPARE(e.model->rooms.find("hall") != 0, true);
        QCOMPARE(childTexts(e.gameRoot(Rooms)), QStringList({"hall"}));
        QCOMPARE(shownTitle(e.w()), QString("Mossbramble (castle)"));
        QCOMPARE(e.panel(2), e.catalog.msg(167));
        QVERIFY(e.panel(1).endsWith(e.catalog.msg(29) + ": 1"));
    }

    void exportCanBeCancelled()
    {
        QTemporaryDir target;
        Editor e;
        QImage img(1, 1, QImage::Format_ARGB32);
        QVERIFY(img.save(e.path("wall.png")));
        QVERIFY(e.w().openRecent(writeProject(e.dir.path(), "castle", e.path("wall.png"))));
        e.questions.saveAnswers << target.filePath("castle");
        // Cancel as soon as the progress window shows.
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, &e.w(), [&] {
            if (auto *progress = e.w().findChild<QProgressDialog *>("exchangeprogress")) {
                progress->cancel();
                poll.stop();
            }
        });
        poll.start();
        e.w().exportieren();
        QVERIFY(!QFileInfo::exists(target.filePath("castle.adz")));
        QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(e.panel(2), e.catalog.extra(extratext::NothingWritten));
        QVERIFY(e.questions.texts("error").isEmpty());
        QVERIFY(e.questions.texts("information").isEmpty());
        QVERIFY(!e.w().findChild<QProgressDialog *>("exchangeprogress"));
    }

    void characterExportAndImport()
    {
        QTemporaryDir target;
        {
            Editor e;
            TreeNode *bob = e.insert(Characters, "bob");
            e.insert(Items, "key");
            e.select(e.model->gameTree.root(Items)->children[0].get());
            e.questions.shown.clear();
            e.w().gamepoolexportClick(); // an item: nothing to export
            QVERIFY(e.questions.shown.isEmpty());
            e.select(bob);
            e.questions.saveAnswers << target.filePath("bob");
            e.w().gamepoolexportClick();
            QVERIFY2(QFileInfo::exists(target.filePath("bob.adc")), qPrintable(e.questions.texts("error").join('\n')));
            QCOMPARE(e.questions.texts("information").size(), 1);
        }
        Editor e;
        e.questions.openAnswers << QStringList{target.filePath("bob.adc")} << QStringList{target.filePath("bob.adc")};
        e.w().importchar();
        QVERIFY2(e.questions.texts("error").isEmpty(), qPrintable(e.questions.texts("error").join('\n')));
        QCOMPARE(childTexts(e.gameRoot(Characters)), QStringList({"bob"}));
        QCOMPARE(e.selectedGame()->text, QString("bob"));
        QVERIFY(e.panel(1).contains(e.catalog.msg(31) + ": 1"));
        e.w().importchar(); // the same file again is refused
        QCOMPARE(e.questions.texts("error").size(), 1);
        QCOMPARE(e.model->characters.usedCount(), 1);
    }

    void languageMenu()
    {
        Editor e;
        e.w().action("deutsch")->trigger();
        QCOMPARE(e.questions.texts("information"), QStringList({e.catalog.msg(181)}));
        QCOMPARE(e.questions.shown.last().caption, e.catalog.msg(367));
        QCOMPARE(e.settings.readsetting("Lang"), QString("DE"));
        QVERIFY(e.w().action("deutsch")->isChecked());
        QVERIFY(!e.w().action("english")->isChecked());
        // The texts of this run stay as they were.
        QCOMPARE(e.catalog.language(), QString("EN"));
        e.w().action("deutsch")->trigger();
        QCOMPARE(e.questions.shown.size(), 1);
    }

    void scriptCheck()
    {
        Editor e;
        e.w().Action2Execute();
        QCOMPARE(e.questions.texts("information"), QStringList({e.catalog.msg(179)}));
        TreeNode *s = e.insert(Scripts, "intro");
        Q_UNUSED(s);
        e.model->cutscenes[1].script = QStringList{"nosuchcommand(1)"};
        e.w().Action2Execute();
        QCOMPARE(e.questions.texts("error").size(), 1);
    }
    void createGameSavesANewProjectFirst_data()
    {
        QTest::addColumn<bool>("saveAs"); // whether the Save as dialog is answered
        QTest::newRow("saved as, then made") << true;
        QTest::newRow("Save as cancelled") << false;
    }
    void createGameSavesANewProjectFirst()
    {
        QFETCH(bool, saveAs);
        Editor e;
        e.model->fonts[1].name = QStringLiteral("DejaVu Sans");
        e.model->fonts[1].size = 10;
        e.model->settings.startScript = QStringLiteral("intro");
        e.model->cutscenes[1].name = QStringLiteral("intro");
        e.model->settings.bedienfeld = false;
        QVERIFY(e.session.projectFolder().isEmpty());
        QVERIFY(QDir().mkpath(e.path("quest")));
        if (saveAs)
            e.questions.saveAnswers << e.path("quest/castle.adv") << e.path("game/castle.exe");
        else
            e.questions.saveAnswers << QString();
        // Nothing asked or told stands behind the wait window.
        QList<bool> waitShown;
        e.questions.onShow = [&] { waitShown << e.w().waitWindow()->isVisible(); };
        e.w().action("creategame")->trigger();
        QVERIFY(!waitShown.isEmpty());
        QVERIFY(!waitShown.contains(true));
        QVERIFY(e.w().isEnabled());
        QStringList titles;
        for (const auto &s : e.questions.shown)
            if (s.kind == "save")
                titles << s.caption;
        // Save as first (95), then the game's program file (96); never "save first" (122).
        QCOMPARE(titles, saveAs ? QStringList({e.catalog.msg(95), e.catalog.msg(96)}) : QStringList({e.catalog.msg(95)}));
        for (const QString &text : e.questions.texts("error"))
            QVERIFY2(!text.contains(e.catalog.msg(122)), qPrintable(text));
        QCOMPARE(QFile::exists(e.path("quest/castle.adv")), saveAs);
        QCOMPARE(QFile::exists(e.path("game/data/game.dat")), saveAs);
        if (saveAs)
            QCOMPARE(e.model->settings.projectName, QStringLiteral("castle"));
        else
            QVERIFY(e.questions.texts("error").isEmpty());
    }
    void createGameMatchesTheCommandLine()
    {
        Editor e;
        const QString bin = qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR");
        QProcess gen;
        gen.start(QDir(bin).filePath("mossbramble-make-demo"), {e.path("demo")});
        QVERIFY(gen.waitForFinished(60000) && gen.exitCode() == 0);
        e.questions.openAnswers << QStringList{e.path("demo/demo.adv")};
        QVERIFY(e.w().projectOpenExecute());
        e.questions.saveAnswers << e.path("menu/demo.exe");
        QVERIFY(e.w().action("creategame")->isEnabled());
        e.w().action("creategame")->trigger();
        QVERIFY(e.w().isEnabled());
        // No game runtime in the editor folder: the game data is written, the warning names it.
        QVERIFY2(e.questions.last("error").contains("engine.dat"), qPrintable(e.questions.last("error")));
        QVERIFY(QFile::exists(e.path("menu/data/game.dat")));

        QProcess cli;
        cli.start(QDir(bin).filePath("mossbramble-cli"),
                  {"build", e.path("demo/demo.adv"), e.path("cli/demo.exe"), "--editor-folder", e.dir.path()});
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 1); // the same missing runtime
        const QStringList files = QDir(e.path("menu/data")).entryList(QDir::Files);
        QCOMPARE(files, QDir(e.path("cli/data")).entryList(QDir::Files));
        QVERIFY(files.contains("game.dat") && files.contains("gfx.dat") && files.contains("fonts.dat"));
        // Archives are compared by their entries' contents (their time stamps differ); the font
        // archives inside fonts.dat are opened in turn.
        std::function<void(ZipReader &, ZipReader &, const QString &)> same = [&](ZipReader &a, ZipReader &b, const QString &where) {
            QCOMPARE(a.entryNames(), b.entryNames());
            for (const QString &entry : a.entryNames()) {
                if (entry == "game.001") // holds the folder the game was made in
                    continue;
                const QByteArray x = *a.read(entry), y = *b.read(entry);
                if (entry.startsWith("font.0")) {
                    ZipReader innerA(x), innerB(y);
                    same(innerA, innerB, where + ": " + entry);
                } else {
                    QVERIFY2(x == y, qPrintable(where + ": " + entry));
                }
            }
        };
        for (const QString &f : files) {
            ZipReader a(e.path("menu/data/" + f)), b(e.path("cli/data/" + f));
            same(a, b, f);
        }
    }
};

QTEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
