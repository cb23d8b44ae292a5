// The four asset editors in the main window: opening by request, the animation test, drops on
// the frame strip and the preview, state copies and their question, the character's and the
// cursor's own rules through their controls, and undo of every step down to the saved bytes.
#include "app/pooltreemodel.h"
#include "app/tform1.h"
#include "assets/asseteditorsetup.h"
#include "assets/framestripwidget.h"
#include "assets/framepreview.h"
#include "assets/markerwidget.h"
#include "assets/tcharbox.h"
#include "assets/titembox.h"
#include "assets/tmausbox.h"
#include "assets/tobjbox.h"
#include "project/editorsettings.h"
#include "project/projectsession.h"
#include "project/projectfile.h"
#include "support/scriptedasker.h"
#include "support/filebytes.h"
#include "support/recordcompare.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace mb;
using mb::testing::ScriptedAsker;

namespace {

// A main window with the asset editors over a small project: images "a" (20 x 10), "b" and
// "big" (64 x 48) as PNG files, the sound "steps", the object "door" (100 x 60), the character
// "bob", the item "key"; config.ini in a temporary editor folder, every box answered by script.
struct Editor
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    ScriptedAsker questions;
    std::unique_ptr<TForm1> window;
    AssetEditorSetup *setup = nullptr;

    ProjectModel &model() { return const_cast<ProjectModel &>(session.model()); }

    explicit Editor(const QString &lang = QStringLiteral("EN"))
    {
        settings.writesetting("Lang", lang);
        catalog.setLanguage(lang);
        session.setEditorFolder(dir.path());
        session.options().makeBackup = false;
        session.newProject();
        ProjectModel &m = model();
        for (const auto &[name, size] : {std::pair{"a", QSize(20, 10)}, {"b", QSize(20, 10)}, {"big", QSize(64, 48)}}) {
            QImage img(size, QImage::Format_ARGB32);
            img.fill(QColor(200, 50, 50, 255));
            const QString path = dir.filePath(QString::fromLatin1(name) + ".png");
            img.save(path);
            m.mediaadd(Images, QString::fromLatin1(name), path);
            m.mediaTree.root(Images)->addChild(QString::fromLatin1(name), nodeimage::Image);
        }
        m.mediaadd(Sounds, "steps", dir.filePath("steps.wav"));
        m.mediaTree.root(Sounds)->addChild("steps", nodeimage::Sound);
        Robj &door = m.objects[1];
        door.name = "door";
        door.width = 100;
        door.height = 60;
        door.speed.fill(20);
        m.gameTree.root(Objects)->addChild("door", nodeimage::Object);
        Rcharacter &bob = m.characters[1];
        bob.name = "bob";
        bob.extraNames = ProjectModel::defaultExtraNames(catalog);
        bob.speed.fill(20);
        bob.width.fill(120);
        bob.height.fill(200);
        m.gameTree.root(Characters)->addChild("bob", nodeimage::Character);
        RItem &key = m.items[1];
        key.name = "key";
        m.gameTree.root(Items)->addChild("key", nodeimage::Item);
        window = std::make_unique<TForm1>(session, catalog, settings);
        window->setQuestions(&questions);
        setup = new AssetEditorSetup(*window, session, catalog, settings);
    }

    template <typename T>
    T *open(const QString &name, const QString &element = QString())
    {
        if (!element.isEmpty())
            setup->request(name, element);
        window->openToolWindow(name);
        auto *w = qobject_cast<T *>(setup->window(name));
        if (w && !element.isEmpty())
            w->openElement(element);
        return w;
    }

    // What dragging the media entry out of the tree carries.
    QMimeData *mediaDrag(int kind, const QString &name)
    {
        const TreeNode *node = PoolOps::findNode(model().mediaTree, name, kind == Images ? nodeimage::Image : nodeimage::Sound);
        return window->mediaModel()->mimeData({window->mediaModel()->indexOf(node)});
    }
    // Drops the mime data on a widget at a point, as the mouse does; returns whether it was taken.
    static bool drop(QWidget *target, QPoint at, QMimeData *data)
    {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        if (!enter.isAccepted() || !move.isAccepted()) {
            delete data;
            return false;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        delete data;
        return drop.isAccepted();
    }
};

// The project as a save writes it, without a save: the four companion files.
QByteArray savedBytes(const ProjectSession &s)
{
    const CompanionFiles f = writeCompanionFiles(s.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

QByteArray companionBytes(const QString &folder, const QString &name)
{
    QByteArray all;
    for (const char *ext : {".001", ".002", ".003", ".004"})
        all += testing::readBytes(folder + '/' + name + QLatin1String(ext)) + "\n--\n";
    return all;
}

} // namespace

class TestAssetBoxes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ProjectSession::setVerifyEdits(true); }

    void opensByRequestAndEmpties()
    {
        Editor e;
        auto *w = e.open<Tobjbox>("objbox");
        QVERIFY(w);
        QVERIFY(!w->frameStrip()->isEnabled());
        QCOMPARE(w->windowTitle(), QString("Object (none)"));
        e.setup->request("objbox", "door");
        QCOMPARE(w->slot(), 1);
        QCOMPARE(w->windowTitle(), QString("Object (door)"));
        QCOMPARE(w->widthEdit()->text(), QString("100"));
        QCOMPARE(w->speedLabel()->text(), QString("Speed 2.5 Pics/Sec"));
        e.setup->request("objbox", "free");
        QCOMPARE(w->slot(), 0);
        QCOMPARE(w->windowTitle(), QString("Object (none)"));
    }

    void animationRunsUpToTheLastImage()
    {
        Editor e;
        e.model().objects[1].frames[0][6].image = "a";
        auto *w = e.open<Tobjbox>("objbox", "door");
        w->toggleAnimation();
        QVERIFY(w->animating());
        QList<int> shown;
        for (int i = 0; i < 9; ++i) {
            w->animationStep();
            shown << w->shownFrame();
        }
        QCOMPARE(shown, (QList<int>{2, 3, 4, 5, 6, 7, 1, 2, 3}));
        // A click on the frame strip stops it.
        QTest::mouseClick(w->frameStrip(), Qt::LeftButton, {}, w->frameStrip()->boxCenter(4));
        QVERIFY(!w->animating());
        QCOMPARE(w->frame(), 4);
        // A state without images does not animate.
        w->selectState(2);
        w->toggleAnimation();
        QVERIFY(!w->animating());
    }

    void dropsOnTheFrameStrip()
    {
        Editor e;
        e.model().objects[1].frames[0][1].script = "speech (hi)";
        auto *w = e.open<Tobjbox>("objbox", "door");
        FrameStripWidget *strip = w->frameStrip();
        // An image lands in the empty frame 3, which becomes current.
        QVERIFY(Editor::drop(strip, strip->boxCenter(3), e.mediaDrag(Images, "a")));
        QCOMPARE(e.model().objects[1].frames[0][2].image, QString("a"));
        QCOMPARE(w->frame(), 3);
        // A sound on a frame that has a script line is refused; on an empty one it is a line.
        QVERIFY(!Editor::drop(strip, strip->boxCenter(2), e.mediaDrag(Sounds, "steps")));
        QCOMPARE(e.model().objects[1].frames[0][1].script, QString("speech (hi)"));
        QVERIFY(Editor::drop(strip, strip->boxCenter(5), e.mediaDrag(Sounds, "steps")));
        QCOMPARE(e.model().objects[1].frames[0][4].script, QString("playsound (steps)"));
        QCOMPARE(e.session.undoStack()->count(), 2);
    }

    void frameMoveAndCopy()
    {
        Editor e;
        e.model().objects[1].frames[0][0] = {"a", {}, "speech (x)", 3, 4, 0, 0};
        auto *w = e.open<Tobjbox>("objbox", "door");
        w->dropFrameOn(2, 1, framestrip::FrameDrop::Copy);
        w->dropFrameOn(3, 1, framestrip::FrameDrop::Move);
        auto frames = [&e] { return e.model().objects[1].frames[0]; };
        QCOMPARE(frames()[1], (Rframe{"a", {}, "speech (x)", 3, 4, 0, 0}));
        QCOMPARE(frames()[2], (Rframe{"a", {}, "speech (x)", 3, 4, 0, 0}));
        QCOMPARE(frames()[0], (Rframe{{}, {}, "speech (x)", 3, 4, 0, 0}));
        QCOMPARE(w->frame(), 3);
        e.session.undoStack()->undo();
        QCOMPARE(frames()[0].image, QString("a"));
        QVERIFY(frames()[2].image.isEmpty());
    }

    void stateCopyAsksFirst()
    {
        Editor e;
        e.model().objects[1].frames[0][0].image = "a";
        auto *w = e.open<Tobjbox>("objbox", "door");
        w->dropStateOn(1, 1); // on its own box: nothing, no question
        QVERIFY(e.questions.shown.isEmpty());
        e.questions.answers = {Asker::No};
        w->dropStateOn(3, 1);
        QCOMPARE(e.questions.last("yesNo"), QString("Exchange the state 3 with the state 1 ?"));
        QVERIFY(e.model().objects[1].frames[2][0].image.isEmpty());
        QCOMPARE(e.session.undoStack()->count(), 0);
        e.questions.answers = {Asker::Yes};
        w->dropStateOn(3, 1);
        QCOMPARE(e.model().objects[1].frames[2][0].image, QString("a"));
        QCOMPARE(w->state(), 3);
        QCOMPARE(w->stateStrip()->current(), 3);
    }

    void previewDropsAndSilentDelete()
    {
        Editor e;
        e.model().objects[1].frames[0][0] = {"a", "b", {}, 0, 0, 30, 20};
        auto *w = e.open<Tobjbox>("objbox", "door");
        // On the background of a full frame: "Exchange second image?", No keeps it (and is
        // the answer of Enter).
        e.questions.answers << Asker::No;
        QVERIFY(Editor::drop(w->preview(), QPoint(90, 55), e.mediaDrag(Images, "big")));
        QCOMPARE(e.questions.last("yesNo"), QString("Exchange second image?"));
        QCOMPARE(e.questions.defaultNo(), QStringList{"Exchange second image?"});
        QCOMPARE(e.model().objects[1].frames[0][0].image2, QString("b"));
        // With silent delete it is replaced without a question, keeping its offset.
        e.model().settings.silentDelete = true;
        const int asked = int(e.questions.shown.size());
        QVERIFY(Editor::drop(w->preview(), QPoint(90, 55), e.mediaDrag(Images, "big")));
        QCOMPARE(int(e.questions.shown.size()), asked);
        QCOMPARE(e.model().objects[1].frames[0][0], (Rframe{"a", "big", {}, 0, 0, 30, 20}));
    }

    void imageMovesByMouseAndKeys()
    {
        Editor e;
        e.model().objects[1].frames[0][0] = {"a", {}, {}, 5, 5, 0, 0};
        auto *w = e.open<Tobjbox>("objbox", "door");
        FramePreview *p = w->preview();
        QTest::mousePress(p, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(p->selected(), 1);
        QTest::mouseMove(p, QPoint(30, 20));
        QTest::mouseMove(p, QPoint(300, 300)); // stops at width - 10, height - 10
        QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(QPoint(e.model().objects[1].frames[0][0].x, e.model().objects[1].frames[0][0].y), QPoint(90, 50));
        QCOMPARE(e.session.undoStack()->count(), 1); // one drag, one step
        QTest::keyClick(p, Qt::Key_Right); // at width - 10 already: stays
        QCOMPARE(e.model().objects[1].frames[0][0].x, 90);
        QTest::keyClick(p, Qt::Key_Left);
        QTest::keyClick(p, Qt::Key_Left);
        QCOMPARE(e.model().objects[1].frames[0][0].x, 88);
        QTest::keyClick(p, Qt::Key_Delete);
        QVERIFY(e.model().objects[1].frames[0][0].image.isEmpty());
    }

    void speedBarMergesWhileDragged()
    {
        Editor e;
        auto *w = e.open<Tobjbox>("objbox", "door");
        w->speedBar()->setValue(25);
        w->speedBar()->setValue(30);
        w->speedBar()->setValue(3);
        QCOMPARE(int(e.model().objects[1].speed[0]), 3);
        QCOMPARE(w->speedLabel()->text(), QString("Speed 16.6 Pics/Sec"));
        QCOMPARE(e.session.undoStack()->count(), 1);
        e.session.undoStack()->undo();
        QCOMPARE(int(e.model().objects[1].speed[0]), 20);
        QCOMPARE(w->speedBar()->value(), 20);
    }

    void objectSizeField()
    {
        Editor e;
        e.model().objects[1].frames[4][0] = {"a", {}, {}, 80, 10, 0, 0};
        auto *w = e.open<Tobjbox>("objbox", "door");
        w->widthEdit()->setText("5000");
        w->sizeEntered();
        QCOMPARE(w->widthEdit()->text(), QString("1920"));
        w->widthEdit()->setText("50");
        w->sizeEntered();
        QCOMPARE(int(e.model().objects[1].width), 50);
        QCOMPARE(e.model().objects[1].frames[4][0].x, 40);
    }

    void undoRestoresTheSavedBytes()
    {
        Editor e;
        e.model().objects[1].frames[0][0] = {"a", {}, {}, 70, 40, 0, 0};
        const QString folder = e.dir.filePath("saved");
        QDir().mkpath(folder);
        const QDateTime now(QDate(2024, 5, 1), QTime(12, 0));
        QVERIFY(e.session.saveTo(folder, "before", true, now).ok);
        auto *w = e.open<Tobjbox>("objbox", "door");
        QVERIFY(Editor::drop(w->frameStrip(), w->frameStrip()->boxCenter(2), e.mediaDrag(Images, "b")));
        w->selectFrame(1);
        QTest::mousePress(w->preview(), Qt::LeftButton, {}, QPoint(72, 42));
        QTest::mouseMove(w->preview(), QPoint(20, 20));
        QTest::mouseRelease(w->preview(), Qt::LeftButton, {}, QPoint(20, 20));
        w->widthEdit()->setText("40");
        w->sizeEntered();
        QCOMPARE(e.session.undoStack()->count(), 3);
        QVERIFY(e.session.isModified());
        while (e.session.undoStack()->canUndo())
            e.session.undoStack()->undo();
        QVERIFY(!e.session.isModified());
        QVERIFY(e.session.saveTo(folder, "after", true, now).ok);
        const QByteArray before = companionBytes(folder, "before"), after = companionBytes(folder, "after");
        QVERIFY(before.size() > 100);
        QCOMPARE(after, before);
    }

    // An author builds a new character from image files in the character editor, saves, and
    // opens the project again: the character, its frames and the images in the pool are as they
    // were, and saving again writes the same bytes.
    void newCharacterFromFilesSurvivesSaveAndOpen()
    {
        Editor e;
        const QDir art(e.dir.filePath("art"));
        QVERIFY(QDir().mkpath(art.path()));
        QVERIFY(QDir().mkpath(e.dir.filePath("project")));
        // Three walking frames per direction, each direction in its own size and colour.
        const struct { const char *prefix; QSize size; QColor colour; } directions[] = {
            {"left", QSize(24, 40), Qt::red}, {"right", QSize(26, 42), Qt::green},
            {"front", QSize(28, 44), Qt::blue}, {"back", QSize(30, 46), Qt::yellow}};
        QList<QStringList> files;
        for (const auto &d : directions) {
            files.append(QStringList());
            for (int f = 1; f <= 3; ++f) {
                QImage img(d.size, QImage::Format_ARGB32);
                img.fill(d.colour);
                img.setPixelColor(f, f, Qt::black);
                const QString path = art.filePath(QString("%1%2.png").arg(d.prefix).arg(f));
                QVERIFY(img.save(path));
                files.last() << path;
            }
        }

        e.window->insertchar(); // opens the character editor and names the new character
        const QString name = e.session.current().character;
        QVERIFY(e.model().characters.find(name));
        auto *w = e.open<Tcharbox>("charbox", name);
        QVERIFY(w);
        for (int action = 0; action < 4; ++action) {
            w->actionBox()->setCurrentRow(action);
            const QByteArray before = savedBytes(e.session);
            w->addFramesFromFiles(files[action]);
            const QByteArray after = savedBytes(e.session);
            QVERIFY(after != before);
            // Each fill is one step: undone it gives back the bytes before it, redone the bytes after.
            e.session.undoStack()->undo();
            QCOMPARE(savedBytes(e.session), before);
            e.session.undoStack()->redo();
            QCOMPARE(savedBytes(e.session), after);
        }
        w->actionBox()->setCurrentRow(2);
        w->widthEdit()->setText("64");
        w->sizeEntered();
        QVERIFY(e.questions.texts("error").isEmpty());
        const Rcharacter built = e.model().characters[e.model().characters.find(name)];
        QCOMPARE(built.frames[1][2].image, QString("right3"));
        QCOMPARE(int(built.width[2]), 64);

        const QDateTime now(QDate(2024, 5, 1), QTime(12, 0));
        const QString folder = e.dir.filePath("project");
        QVERIFY(e.session.saveTo(folder, "hero", true, now).ok);
        const QByteArray saved = companionBytes(folder, "hero");
        QVERIFY(!e.session.isModified());

        const ProjectFileResult opened = e.session.open(folder + "/hero.adv");
        QVERIFY2(opened.ok, qPrintable(opened.message));
        const int slot = e.model().characters.find(name);
        QVERIFY(slot);
        MB_COMPARE_RECORDS(e.model().characters[slot], built);
        for (const QStringList &direction : files)
            for (const QString &path : direction) {
                const int entry = e.model().media[Images].find(QFileInfo(path).completeBaseName());
                QVERIFY2(entry, qPrintable(path));
                QCOMPARE(e.model().media[Images].path(entry), path);
            }
        // The editor shows the frames again, their pictures found.
        w->openElement(name);
        w->actionBox()->setCurrentRow(3);
        QCOMPARE(w->preview()->imageRect(1).size(), QSize(30, 46));
        QCoreApplication::processEvents();
        QVERIFY(e.questions.texts("error").isEmpty());

        QVERIFY(e.session.saveTo(folder, "again", true, now).ok);
        QCOMPARE(companionBytes(folder, "again"), saved);
    }

    void characterFields()
    {
        Editor e;
        e.model().characters[1].fontIndex = 5; // the project has no fonts
        auto *w = e.open<Tcharbox>("charbox", "bob");
        QCOMPARE(w->fontBox()->currentText(), QString("Default"));
        QTRY_COMPARE(e.model().characters[1].fontIndex, 0);
        struct { const char *typed, *shown; } cases[] = {{"999", "512"}, {"5", "10"}, {"", "100"}};
        for (const auto &c : cases) {
            w->widthEdit()->setText(c.typed);
            w->sizeEntered();
            QCOMPARE(w->widthEdit()->text(), QString(c.shown));
        }
        w->zoomEdit()->setText("301");
        w->zoomEntered();
        QCOMPARE(e.model().characters[1].scale, 300);
        w->zoomEdit()->setText("0");
        w->zoomEntered();
        QCOMPARE(w->zoomEdit()->text(), QString("100"));
        // Renaming only for the extra actions.
        w->prepareActionMenu();
        QVERIFY(!w->menuAction("rename")->isEnabled());
        w->actionBox()->setCurrentRow(20);
        QCOMPARE(w->state(), 21);
        w->prepareActionMenu();
        QVERIFY(w->menuAction("rename")->isEnabled());
        QVERIFY(!w->menuAction("paste")->isEnabled());
        // The text colour is chosen starting from the stored one (kept as 0x00BBGGRR); a
        // cancelled choice keeps it.
        e.model().characters[1].textColor = 0x0000FF;
        e.questions.colourAnswers << QColor(0x10, 0x20, 0x30) << QColor();
        w->textColourButton()->click();
        QCOMPARE(e.questions.last("colour"), QString("#ff0000"));
        QCOMPARE(e.model().characters[1].textColor, 0x302010u);
        w->textColourButton()->click();
        QCOMPARE(e.model().characters[1].textColor, 0x302010u);
    }

    // The action menu's steps that write over actions ask first; No is the answer of Enter and
    // keeps the character as it was.
    void characterOverwritesAskWithNoAsDefault_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("question");
        QTest::newRow("paste over an action") << "paste" << 530;
        QTest::newRow("equalize sizes") << "sizes" << 339;
        QTest::newRow("equalize all actions") << "all" << 340;
    }
    void characterOverwritesAskWithNoAsDefault()
    {
        QFETCH(QString, step);
        QFETCH(int, question);
        Editor e;
        Rcharacter &c = e.model().characters[1];
        c.width[2] = 50;
        c.width[3] = 70;
        c.frames[2][0].image = "a";
        c.frames[3][0].image = "b";
        auto *w = e.open<Tcharbox>("charbox", "bob");
        w->actionBox()->setCurrentRow(3);
        if (step == "paste") {
            w->actionMenuStep("copy");
            w->actionBox()->setCurrentRow(2);
        }
        const Rcharacter before = e.model().characters[1];
        e.questions.answers << Asker::No << Asker::Yes;
        w->actionMenuStep(step);
        QVERIFY(e.model().characters[1] == before);
        QVERIFY(e.questions.last("yesNo").endsWith(e.catalog.msg(question)));
        QCOMPARE(e.questions.defaultNo(), e.questions.texts("yesNo"));
        w->actionMenuStep(step);
        QCOMPARE(e.model().characters[1].width[2], 70);
        QCOMPARE(e.questions.texts("yesNo").size(), 2);
    }

    void characterResetInASmallGame()
    {
        Editor e;
        e.model().settings.setResolutionChoice(2); // 320 x 240
        e.model().characters[1].frames[3][0].image = "a";
        auto *w = e.open<Tcharbox>("charbox", "bob");
        w->actionBox()->setCurrentRow(3);
        e.questions.answers = {Asker::Yes};
        w->actionMenuStep("delete");
        QCOMPARE(e.questions.last("yesNo"), QString("Walk front : Do you want to reset this action?"));
        const Rcharacter &c = e.model().characters[1];
        QCOMPARE(QList<int>({c.width[3], c.height[3], c.footX[3], c.footY[3]}), QList<int>({60, 100, 30, 99}));
        QVERIFY(c.frames[3][0].image.isEmpty());
        QCOMPARE(w->widthEdit()->text(), QString("60"));
        // The foot point marker follows and a drag past the box stops at its edge.
        QCOMPARE(w->footMarker()->pos(), QPoint(19, 88));
        w->dragFootMarker(QPoint(500, -40));
        QCOMPARE(QPoint(c.footX[3], c.footY[3]), QPoint(60, 0));
    }

    void cursorCommandAndClickPoint()
    {
        Editor e;
        e.model().commands.rows = {{"Look", "look"}};
        e.model().mouse.command[3] = 9; // beyond "Walkto", "Loading Icon", "Look"
        auto *w = e.open<Tmausbox>("mausbox");
        QVERIFY(!w->commandBox()->isEnabled()); // cursor 1
        w->selectState(4);
        QVERIFY(w->commandBox()->isEnabled());
        QCOMPARE(w->commandBox()->currentText(), QString("Walkto (standard)"));
        QTRY_COMPARE(int(e.model().mouse.command[3]), 1);
        w->selectState(10);
        QVERIFY(!w->commandBox()->isEnabled());
        QCOMPARE(w->commandBox()->currentText(), QString("Loading Icon"));
        w->dragClickMarker(QPoint(400, 400));
        QCOMPARE(QPoint(e.model().mouse.clickX[9], e.model().mouse.clickY[9]), QPoint(32, 32));
        QCOMPARE(w->clickMarker()->toolTip(), QString("Click Point : 32 / 32"));
        w->dragClickMarker(QPoint(-400, -400));
        QCOMPARE(QPoint(e.model().mouse.clickX[9], e.model().mouse.clickY[9]), QPoint(0, 0));
    }

    void cursorAnimatesContinuously()
    {
        Editor e;
        e.model().mouse.frames[1][0] = "a";
        e.model().mouse.frames[1][2] = "b";
        auto *w = e.open<Tmausbox>("mausbox");
        QVERIFY(!w->cursorTimer()->isActive());
        w->selectState(2);
        QVERIFY(w->cursorTimer()->isActive());
        QCOMPARE(w->cursorTimer()->interval(), 400);
        QVERIFY(!w->cursorView()->pixmap().isNull());
    }

    void itemScriptAndReplace()
    {
        Editor e;
        auto *w = e.open<Titembox>("itembox", "key");
        QSignalSpy script(e.window.get(), &TForm1::scriptOpenRequested);
        QTest::mouseClick(w->scriptButton(), Qt::LeftButton);
        QCOMPARE(script.size(), 1);
        QCOMPARE(script.first().at(0).toString(), QString("1key"));
        QVERIFY(Editor::drop(w->frameStrip(), w->frameStrip()->boxCenter(1), e.mediaDrag(Images, "a")));
        QVERIFY(Editor::drop(w->frameStrip(), w->frameStrip()->boxCenter(1), e.mediaDrag(Images, "b")));
        QVERIFY(e.questions.shown.isEmpty());
        QCOMPARE(e.model().items[1].frames[0][0].image, QString("b"));
    }

    void framesFromFiles()
    {
        Editor e;
        QStringList files;
        for (const char *name : {"walk10.png", "walk2.png", "walk1.png"}) {
            QImage img(24, 40, QImage::Format_ARGB32);
            img.fill(Qt::blue);
            img.save(e.dir.filePath(name));
            files << e.dir.filePath(name);
        }
        e.model().characters[1].width.fill(0);
        e.model().characters[1].height.fill(0);
        auto *w = e.open<Tcharbox>("charbox", "bob");
        w->actionBox()->setCurrentRow(3);
        w->addFramesFromFiles(files);
        auto frames = [&e] { return e.model().characters[1].frames[3]; };
        QCOMPARE(QStringList({frames()[0].image, frames()[1].image, frames()[2].image}), QStringList({"walk1", "walk2", "walk10"}));
        QCOMPARE(int(e.model().characters[1].width[3]), 24); // fitted to the first image
        QVERIFY(e.model().media[Images].find("walk10"));
        QCOMPARE(e.session.undoStack()->count(), 1);
        e.session.undoStack()->undo();
        QVERIFY(!e.model().media[Images].find("walk10"));
        QVERIFY(frames()[0].image.isEmpty());
    }
};

QTEST_MAIN(TestAssetBoxes)
#include "tst_assetboxes.moc"
