#include "app/poolview.h"
#include "app/tform1.h"
#include "project/poolops.h"
#include "project/projectsession.h"
#include "support/sampleproject.h"
#include "support/scriptedasker.h"
#include "media/previewtexts.h"
#include "preview/imageview.h"
#include "preview/mediaplayback.h"
#include "preview/tform2.h"
#include "support/trackermodule.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMediaPlayer>
#include <QProcess>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVideoWidget>

#include <memory>

using namespace mb;
using mb::testing::ScriptedAsker;

Q_DECLARE_METATYPE(mb::PreviewPlayer)

namespace {

// The demo project, made once by its generator, opened in a main window whose preview is
// registered as in the editor.
struct Editor
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    testing::SessionModel model{&session};
    ScriptedAsker questions;
    std::unique_ptr<TForm1> window;

    explicit Editor(const QString &lang = QStringLiteral("EN"))
    {
        settings.writesetting("Lang", lang);
        catalog.setLanguage(lang);
        session.setEditorFolder(dir.path());
        session.options().makeBackup = false;
        session.newProject();
        window = std::make_unique<TForm1>(session, catalog, settings);
        window->setQuestions(&questions);
        TForm2::registerWith(*window, session, catalog, settings);
    }
    TForm2 *preview()
    {
        QMdiSubWindow *sub = window->openToolWindow("Form2");
        return sub ? qobject_cast<TForm2 *>(sub->widget()) : nullptr;
    }
    // Selects the media entry as a click does and serves the request at once.
    void click(TForm2 *p, const QString &name, int image)
    {
        TreeNode *node = PoolOps::findNode(model->mediaTree, name, image);
        QVERIFY2(node, qPrintable(name));
        window->mediapool()->selectNode(node);
        window->mediapoolClick(node);
        p->Timer1Timer();
    }
    // An entry added straight to the model, for files the demo does not have.
    void add(int kind, const QString &name, const QString &path)
    {
        model->mediaadd(kind, name, path);
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
};

QString g_demo; // the demo project, made in initTestCase

bool isEmptied(const TForm2 &p, const MessageCatalog &catalog)
{
    return p.shownPlayer() == PreviewPlayer::None && p.label2()->text().isEmpty() && !p.playButton()->isVisibleTo(&p) &&
           !p.stopButton()->isVisibleTo(&p) && p.image1()->image().isNull() && !p.note()->isVisibleTo(&p) &&
           p.playback().kind() == MediaPlayback::Kind::None && !p.playback().isPlaying() &&
           p.label1()->isVisibleTo(&p) && p.label1()->text() == catalog.msg(319);
}

} // namespace

class TestTForm2 : public QObject
{
    Q_OBJECT
public:
    static void initMain() { MediaPlayback::selectBackend(); }

private slots:
    void initTestCase()
    {
        static QTemporaryDir demoDir;
        QProcess gen;
        gen.start(QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath("mossbramble-make-demo"), {demoDir.filePath("project")});
        QVERIFY(gen.waitForFinished(60000));
        QCOMPARE(gen.exitCode(), 0);
        g_demo = demoDir.filePath("project/demo.adv");
    }

    // Every media entry of the demo is shown or played by the player of its kind.
    void demoEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("image");
        QTest::addColumn<PreviewPlayer>("player");
        QTest::addColumn<QString>("label");
        QTest::newRow("jpeg background") << "garden" << nodeimage::Image << PreviewPlayer::Image << "garden.jpg (640*480)";
        QTest::newRow("png frame") << "bob_stand_front" << nodeimage::Image << PreviewPlayer::Image << "bob_stand_front.png (48*96)";
        QTest::newRow("wav sound") << "ding" << nodeimage::Sound << PreviewPlayer::Stream << "ding.wav";
        QTest::newRow("wav music") << "theme" << nodeimage::Music << PreviewPlayer::Stream << "theme.wav";
        QTest::newRow("tracker module") << "ditty" << nodeimage::Music << PreviewPlayer::Module << "ditty.mod";
        QTest::newRow("video") << "walk" << nodeimage::Movie << PreviewPlayer::Video << "walk.avi";
        QTest::newRow("flash movie") << "titles" << nodeimage::Movie << PreviewPlayer::FlashHeader << "titles.swf";
    }
    void demoEntries()
    {
        QFETCH(QString, name);
        QFETCH(int, image);
        QFETCH(PreviewPlayer, player);
        QFETCH(QString, label);
        Editor e;
        e.window->FormActivate({g_demo});
        TForm2 *p = e.preview();
        QVERIFY(p);
        e.click(p, name, image);
        QCOMPARE(p->shownPlayer(), player);
        QVERIFY2(p->label2()->text().endsWith(QDir::separator() + label), qPrintable(p->label2()->text()));
        QVERIFY(e.questions.shown.isEmpty());
        const bool playable = player == PreviewPlayer::Stream || player == PreviewPlayer::Module || player == PreviewPlayer::Video;
        QCOMPARE(p->playButton()->isVisibleTo(p), playable);
        switch (player) {
        case PreviewPlayer::Image:
            QCOMPARE(p->image1()->image().size().width(), label.section('(', 1).section('*', 0, 0).toInt());
            QVERIFY(!p->note()->isVisibleTo(p));
            break;
        case PreviewPlayer::FlashHeader:
            QVERIFY(p->flashPanel()->text().contains("550 x 400"));
            QVERIFY(p->flashPanel()->text().contains("48"));
            QVERIFY(p->flashPanel()->text().contains("24 frames per second"));
            QCOMPARE(p->note()->text(), previewText(PreviewText::FlashNoPlayback, "EN"));
            break;
        case PreviewPlayer::Video:
            QTRY_VERIFY_WITH_TIMEOUT(p->playback().isPlaying() || p->playback().positionMs() > 0, 10000);
            QCOMPARE(p->playback().durationMs(), 2000);
            break;
        case PreviewPlayer::Module:
            QCOMPARE(p->playback().durationMs(), 7680);
            QVERIFY(p->timeLabel()->text().endsWith("0:08"));
            break;
        default:
            QTRY_VERIFY_WITH_TIMEOUT(p->playback().durationMs() > 0, 10000);
            break;
        }
        if (playable && !MediaPlayback::hasAudioOutput() && player != PreviewPlayer::Video)
            QCOMPARE(p->note()->text(), previewText(PreviewText::NoAudioDevice, "EN"));
        // "free" (a new project) empties the window whatever it showed.
        e.window->projectNewExecute();
        p->Timer1Timer();
        QVERIFY(isEmptied(*p, e.catalog));
    }

    // A second selection stops and releases the first before it loads.
    void secondSelectionStopsTheFirst()
    {
        Editor e;
        e.window->FormActivate({g_demo});
        TForm2 *p = e.preview();
        e.click(p, "walk", nodeimage::Movie);
        QTRY_VERIFY_WITH_TIMEOUT(p->playback().isPlaying(), 10000);
        e.click(p, "ditty", nodeimage::Music);
        QVERIFY(!p->playback().isPlaying());
        QCOMPARE(p->playback().player()->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(p->playback().player()->source().isEmpty());
        QVERIFY(!p->videoWindow()->isVisibleTo(p));
        QCOMPARE(p->playback().kind(), MediaPlayback::Kind::Module);
        e.click(p, "garden", nodeimage::Image);
        QVERIFY(!p->playback().module().isLoaded());
        QVERIFY(!p->playButton()->isVisibleTo(p));
        // Requests that come quickly one after the other: only the last is served.
        e.window->mediapoolClick(PoolOps::findNode(e.model->mediaTree, "ding", nodeimage::Sound));
        e.window->mediapoolClick(PoolOps::findNode(e.model->mediaTree, "walk", nodeimage::Movie));
        QTRY_COMPARE(p->shownPlayer(), PreviewPlayer::Video);
        QVERIFY(p->label2()->text().endsWith("walk.avi"));
    }

    // A tall image shows its size; the label keeps the stored path as it is.
    void imageLabel()
    {
        Editor e;
        QImage img(120, 200, QImage::Format_ARGB32);
        img.fill(Qt::red);
        const QString path = e.dir.filePath("tall.png");
        QVERIFY(img.save(path));
        e.add(Images, "tall", path);
        TForm2 *p = e.preview();
        p->request({"Tall", nodeimage::Image});
        p->Timer1Timer();
        QCOMPARE(p->label2()->text(), path + " (120*200)");
        QVERIFY(!p->playButton()->isVisibleTo(p));
        QVERIFY(!p->stopButton()->isVisibleTo(p));
        // The mouse over the picture puts the hint into the status bar.
        QEnterEvent enterEvent(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(p->image1(), &enterEvent);
        QCOMPARE(e.window->statusPanel(2)->text(), e.catalog.msg(317));
    }

    // A missing file gives one error box per request, however often the timer runs.
    void missingFileOncePerRequest()
    {
        Editor e("DE");
        const QString path = e.dir.filePath("nowhere/gone.wav");
        e.add(Sounds, "gone", path);
        TForm2 *p = e.preview();
        p->request({"gone", nodeimage::Sound});
        p->Timer1Timer();
        p->Timer1Timer();
        QCOMPARE(e.questions.texts("error"), QStringList{path + " existiert nicht."});
        QCOMPARE(e.questions.shown.first().caption, "Fehler");
        QVERIFY(isEmptied(*p, e.catalog));
        p->request({"gone", nodeimage::Sound});
        QTRY_COMPARE(e.questions.texts("error").size(), 2);
    }

    // A damaged file of every kind gives a message in the window, never a crash.
    void damagedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const QByteArray junk = QByteArray("this is not a media file at all\n").repeated(40);
        QTest::newRow("image") << "bad.png" << junk << int(Images) << "bad.png cannot be read as an image";
        QTest::newRow("png named jpg") << "other.jpg" << QByteArray("\x89PNG\r\n\x1a\n", 8) + junk << int(Images) << "other.jpg cannot be read as an image";
        QTest::newRow("module") << "bad.xm" << junk << int(Music) << "bad.xm cannot be read as a music module";
        QTest::newRow("module cut short") << "cut.mod" << testing::protrackerModule(16, 3).left(700) << int(Music) << "cut.mod cannot be read as a music module";
        QTest::newRow("flash") << "bad.swf" << junk << int(Movies) << "bad.swf is not a Flash movie";
        QTest::newRow("flash cut") << "cut.swf" << QByteArray("CWS\x0a\xff\x00\x00\x00\x78\x9c", 10) << int(Movies) << "cut.swf is truncated";
        QTest::newRow("stream") << "bad.wav" << junk << int(Sounds) << "bad.wav cannot be played";
        QTest::newRow("video") << "bad.avi" << QByteArray("RIFF\x10\x00\x00\x00" "AVI LIST", 16) + junk << int(Movies) << "bad.avi cannot be played";
        QTest::newRow("unknown sound type") << "odd.mid" << junk << int(Sounds) << "odd.mid is not a sound or music type";
    }
    void damagedFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        Editor e;
        e.add(kind, "entry", e.file(file, bytes));
        TForm2 *p = e.preview();
        p->request({"entry", PoolOps::mediaImage(kind)});
        p->Timer1Timer();
        QTRY_VERIFY_WITH_TIMEOUT(p->note()->text().startsWith(expected), 10000);
        QVERIFY(p->note()->isVisibleTo(p));
        QVERIFY(!p->playback().isPlaying());
        QTRY_VERIFY(p->playback().player()->playbackState() != QMediaPlayer::PlayingState);
        QVERIFY(!p->playButton()->isVisibleTo(p));
        QVERIFY(e.questions.shown.isEmpty());
    }

    // The window's place comes from config.ini and goes back there when it closes.
    void placeInConfig()
    {
        Editor e;
        e.window->resize(1200, 900);
        e.window->show();
        QMdiSubWindow *sub = e.window->openToolWindow("Form2");
        // 240 x 180 at first, widened to the smallest size the window takes.
        QTRY_COMPARE(sub->geometry(), QRect(604, 462, 241, 180));
        sub->setGeometry(30, 40, 300, 250);
        e.window->closewindow("Form2");
        QCOMPARE(e.settings.readsetting("Vorschau Top"), "40");
        QCOMPARE(e.settings.readsetting("Vorschau Left"), "30");
        QCOMPARE(e.settings.readsetting("Vorschau Width"), "300");
        QCOMPARE(e.settings.readsetting("Vorschau Height"), "250");
        QCOMPARE(e.window->action("windowpreview")->text(), e.catalog.msg(44));
        sub = e.window->openToolWindow("Form2");
        QTRY_COMPARE(sub->geometry(), QRect(30, 40, 300, 250));
        QCOMPARE(sub->minimumSize(), QSize(241, 180));
    }

    // A double click opens the window on the entry selected before it existed; a rebuild of
    // the trees that keeps the selection does not start it again.
    void openedByDoubleClick()
    {
        Editor e("DE");
        e.window->FormActivate({g_demo});
        TreeNode *node = PoolOps::findNode(e.model->mediaTree, "ditty", nodeimage::Music);
        e.window->mediapool()->selectNode(node);
        e.window->mediapoolDblClick(node);
        TForm2 *p = qobject_cast<TForm2 *>(e.window->toolWindow("Form2")->widget());
        QVERIFY(p);
        QCOMPARE(p->windowTitle(), "Vorschau");
        QTRY_COMPARE(p->shownPlayer(), PreviewPlayer::Module);
        p->playback().seek(3000);
        // The trees change meanwhile (a new folder): the playback goes on.
        PoolOps(e.session).newFolder(e.model->mediaTree, e.model->mediaTree.root(Images));
        QTest::qWait(150);
        QVERIFY(p->playback().positionMs() >= 2900);
        QVERIFY(p->playButton()->toolTip().contains("Leertaste"));
    }
};

QTEST_MAIN(TestTForm2)
#include "tst_tform2.moc"
