#include "build/buildquestions.h"
#include "build/gamestarter.h"
#include "build/makegame.h"
#include "platform/peicon.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "support/handzip.h"
#include "support/tinype.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace mb;
using namespace mb::testing;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList files(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Every entry of an archive, read with the password when one is given.
QMap<QString, QByteArray> entries(const QString &archive, const QByteArray &password = {})
{
    QMap<QString, QByteArray> out;
    ZipReader zip(archive);
    zip.setPassword(password);
    for (const QString &name : zip.entryNames())
        out.insert(name, zip.read(name).value_or(QByteArray("<unreadable>")));
    return out;
}

class ScriptedQuestions : public BuildQuestions
{
public:
    QString programFile;
    bool update = true, start = false;
    QStringList asked;
    bool updatePreviousGame(const QString &text) override
    {
        asked << text;
        return update;
    }
    QString chooseProgramFile(const QString &name, const QString &) override
    {
        asked << QStringLiteral("file:") + name;
        return programFile;
    }
    bool startNow(const QString &text) override
    {
        asked << text;
        return start;
    }
};

const QByteArray kOldIcon(40, 'o');
const QByteArray kNewIcon = QByteArray("new icon image ") + QByteArray(100, 'n');

// A small project with every kind of media, saved in its folder, and an editor folder with the
// runtime files.
struct Fixture
{
    QTemporaryDir root;
    QString editor, project, media, game;
    // A wine that does nothing, so that "Start now?" is asked whether or not this machine has
    // one; empty for none.
    QString wine;
    MessageCatalog catalog;
    ProjectSession session{catalog};
    // The session's project, written directly only to prepare a case.
    ProjectModel *model = const_cast<ProjectModel *>(&session.model());
    ScriptedQuestions questions;
    QStringList statuses;
    QList<QPair<int, int>> counts; // done, total

    explicit Fixture(bool runtime = true)
    {
        editor = root.filePath(QStringLiteral("editor"));
        project = root.filePath(QStringLiteral("project"));
        media = root.filePath(QStringLiteral("media"));
        game = root.filePath(QStringLiteral("game"));
        for (const QString &d : {editor, project, media})
            QDir().mkpath(d);
        if (runtime) {
            writeBytes(QDir(editor).filePath(QStringLiteral("engine.dat")), tinyPe(kOldIcon));
            writeBytes(QDir(editor).filePath(QStringLiteral("engine.da2")), tinyPe(kOldIcon, true));
            for (const char *name : {"font.dat", "bass.dll", "unzdll.dll"})
                writeBytes(QDir(editor).filePath(QLatin1String(name)), QByteArray("runtime ") + name);
        }

        ProjectModel &m = *model;
        session.setEditorFolder(editor);
        session.options().makeBackup = false;
        m.settings.projectName = QStringLiteral("demo");
        m.settings.startScript = QStringLiteral("Intro");
        m.settings.bedienfeld = false;
        m.fonts[1].name = QStringLiteral("Liberation Sans");
        m.fonts[1].size = 10;
        m.cutscenes[1].name = QStringLiteral("intro");
        m.cutscenes[1].script = {QStringLiteral("speech(self;Hello there;hello.wav)"), QStringLiteral("showinfo(A door;true)")};
        // Frame scripts, which game.002 holds with the escaped ";".
        m.items[1].name = QStringLiteral("key");
        m.items[1].frames[0][0] = {QStringLiteral("wall"), QStringLiteral("speech(self;Goodbye;bye.wav)")};
        m.objects[1].name = QStringLiteral("door");
        m.objects[1].frames[0][0] = {QStringLiteral("wall"), QString(), QStringLiteral("showinfo(A door;true)"), 0, 0, 0, 0};

        QImage hero(24, 16, QImage::Format_ARGB32);
        hero.fill(qRgba(200, 100, 50, 128));
        QImage wall(8, 8, QImage::Format_RGB32);
        wall.fill(qRgb(10, 20, 30));
        hero.save(mediaPath("hero.png"), "PNG");
        wall.save(mediaPath("wall.png"), "PNG");
        writeBytes(mediaPath("ding.wav"), QByteArray("RIFF fake sound ") + QByteArray(3000, 's'));
        writeBytes(mediaPath("theme.ogg"), QByteArray(2000, 'm'));
        writeBytes(mediaPath("intro.avi"), QByteArray(1000, 'v'));
        writeBytes(mediaPath("game.ico"), iconFile({kNewIcon, QByteArray(20, 'x')}));
        m.mediaadd(Images, QStringLiteral("hero"), mediaPath("hero.png"));
        m.mediaadd(Images, QStringLiteral("wall"), mediaPath("wall.png"));
        m.mediaadd(Sounds, QStringLiteral("ding"), mediaPath("ding.wav"));
        m.mediaadd(Music, QStringLiteral("theme"), mediaPath("theme.ogg"));
        m.mediaadd(Movies, QStringLiteral("intro"), mediaPath("intro.avi"));
        m.settings.gameIcon = mediaPath("game.ico");
        const ProjectFileResult saved = session.saveTo(project, QStringLiteral("demo"));
        if (!saved.ok)
            qFatal("%s", qPrintable(saved.message));
        questions.programFile = QDir(game).filePath(QStringLiteral("demo")); // ".exe" comes by itself
        wine = root.filePath(QStringLiteral("wine"));
        writeBytes(wine, "#!/bin/sh\n");
        QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString mediaPath(const char *name) const { return QDir(media).filePath(QLatin1String(name)); }
    QString data(const QString &name = {}) const { return QDir(game).filePath(QStringLiteral("data/") + name); }

    MakeGame::Result run(int threads = 0)
    {
        MakeGame make(session, questions);
        make.setThreads(threads);
        make.setWine(wine.isEmpty() ? root.filePath(QStringLiteral("no-wine-here")) : wine);
        make.setProgress([this](const QString &s) { statuses << s; });
        make.setCount([this](int done, int total) { counts << qMakePair(done, total); });
        return make.run();
    }
};

} // namespace

class TestMakeGame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void wholeBuild_data();
    void wholeBuild();
    void serialAndParallelBuildsMatch();
    void countsRunToTheirTotals();
    void missingRuntimeFiles();
    void unknownStartScriptGoesOn();
    void editorFolderRefused_data();
    void editorFolderRefused();
    void checksRefuse_data();
    void checksRefuse();
    void updateBuildKeepsUnchangedArchives();
    void unprotectedUpdateAfterProtectedBuild();
    void sameProjectSameBytes_data();
    void sameProjectSameBytes();
    void badSourceDateEpochRefused();
    void tooManyTextsRefused();
    void emptyKindsLeaveNoArchive();
    void missingImageWhileArchivingGoesOn();
    void nonAsciiNamesMatchTheGameFile();
    void loadingImage();
    void startNow();
    void noStartQuestionWithoutWine_data();
    void noStartQuestionWithoutWine();

private:
    QTemporaryDir m_tmp;
};

void TestMakeGame::initTestCase()
{
    // Split images go to a private folder below the temporary location; point that at a folder
    // of our own so the test can see that nothing is left there.
    QVERIFY(m_tmp.isValid());
    qputenv("TMPDIR", QDir(m_tmp.path()).filePath(QStringLiteral("tmp")).toLocal8Bit());
}

void TestMakeGame::init()
{
    const QString tmp = QDir(m_tmp.path()).filePath(QStringLiteral("tmp"));
    QDir(tmp).removeRecursively();
    QVERIFY(QDir().mkpath(tmp));
}

void TestMakeGame::wholeBuild_data()
{
    QTest::addColumn<bool>("protect");
    QTest::newRow("open") << false;
    QTest::newRow("protected") << true;
}

void TestMakeGame::wholeBuild()
{
    QFETCH(bool, protect);
    Fixture f;
    f.model->settings.protect = protect;
    const MakeGame::Result r = f.run();
    QVERIFY2(r.complete(), qPrintable(r.message + r.problems.join(u'\n')));
    QVERIFY(r.problems.isEmpty());
    QCOMPARE(r.programFile, QDir(f.game).filePath(QStringLiteral("demo.exe")));
    QCOMPARE(r.password.size(), protect ? 20 : 0);

    // The step texts in order.
    QStringList steps;
    for (const QString &s : std::as_const(f.statuses))
        if (!s.contains(QLatin1String(" : ")) && !s.isEmpty() && (steps.isEmpty() || steps.last() != s))
            steps << s;
    QStringList expected;
    for (int n : {114, 121, 124, 125, 126, 534, 535, 129, 130, 131, 132, 127, 133})
        expected << f.catalog.msg(n);
    QCOMPARE(steps, expected);
    QVERIFY(f.statuses.contains(f.catalog.msg(535) + QStringLiteral(" : ") + f.mediaPath("hero.png")));
    QCOMPARE(f.questions.asked, (QStringList{QStringLiteral("file:demo.exe"),
                                             f.catalog.msg(134) + u' ' + r.programFile + u' ' + f.catalog.msg(135) +
                                                 QStringLiteral("\n\n") + f.catalog.msg(136)}));

    // Nothing in between is left: not in the game, the project or the temporary folder.
    QCOMPARE(files(f.game), (QStringList{QStringLiteral("Settings.exe"), QStringLiteral("bass.dll"),
                                         QStringLiteral("data"), QStringLiteral("demo.exe")}));
    QCOMPARE(files(f.data()), (QStringList{QStringLiteral("font.dat"), QStringLiteral("fonts.dat"), QStringLiteral("game.dat"),
                                           QStringLiteral("gfx.dat"), QStringLiteral("movie.dat"), QStringLiteral("music.dat"),
                                           QStringLiteral("sfx.dat"), QStringLiteral("unzdll.dll")}));
    QCOMPARE(files(f.project), QStringList{QStringLiteral("demo.adv")});
    // (The fixture's folder is there too, and the offscreen platform keeps its runtime folder.)
    QStringList leftInTemp = files(QDir(m_tmp.path()).filePath(QStringLiteral("tmp")));
    leftInTemp.removeIf([&f](const QString &n) {
        return n.startsWith(QLatin1String("runtime-")) || n == QFileInfo(f.root.path()).fileName();
    });
    QVERIFY2(leftInTemp.isEmpty(), qPrintable(leftInTemp.join(u' ')));

    // game.dat: level 9, never encrypted, game.005 only when protected and it names the password.
    ZipReader pack(f.data(QStringLiteral("game.dat")));
    QStringList names{QStringLiteral("game.001"), QStringLiteral("game.002"), QStringLiteral("game.003"), QStringLiteral("game.004")};
    if (protect)
        names << QStringLiteral("game.005");
    QCOMPARE(pack.entryNames(), names);
    for (const QString &n : names) {
        QCOMPARE(pack.compressionMethod(n), 8);
        QVERIFY(!pack.isEncrypted(n));
    }
    if (protect) {
        const QByteArray line = pack.read(QStringLiteral("game.005")).value();
        static const int factors[4] = {5, 4, 6, 3};
        QByteArray password;
        for (int k = 0; k < 20; ++k)
            password += char(line.mid(k * 3, 3).toInt() / factors[k / 5]);
        QCOMPARE(password, r.password);
    }
    const QByteArray game001 = pack.read(QStringLiteral("game.001")).value();
    QVERIFY(game001.contains(("\r\n" + QDir::toNativeSeparators(f.editor) + "/hero.pnj\r\n").toLocal8Bit()));
    QVERIFY(game001.contains(("\r\n" + f.mediaPath("wall.png") + "\r\n").toLocal8Bit()));
    const QByteArray game003 = pack.read(QStringLiteral("game.003")).value();
    QVERIFY(game003.contains("speech(self;|#00000#|Hello there;|#00000#|hello.wav)\r\nshowinfo(|#00000#|A door;true)\r\n"));
    // game.002: the frame scripts get their markers behind the escaped ";" (byte 0xAF).
    const QByteArray game002 = pack.read(QStringLiteral("game.002")).value();
    const int goodbye = int(f.model->origin.speech.indexOf(QStringLiteral("Goodbye")));
    const int bye = int(f.model->origin.voicespeech.indexOf(QStringLiteral("bye.wav")));
    QVERIFY(goodbye > 0 && bye > 0);
    const QByteArray itemFrame = QStringLiteral("\r\nwall;speech(self\u00AF|#%1#|Goodbye\u00AF|#%2#|bye.wav)\r\n")
                                     .arg(goodbye, 5, 10, QChar(u'0'))
                                     .arg(bye, 5, 10, QChar(u'0'))
                                     .toLatin1();
    QVERIFY2(game002.contains(itemFrame), itemFrame.trimmed().constData());
    QVERIFY(game002.contains("\r\n0;0;0;0;showinfo(|#00000#|A door\xAFtrue)\r\n"));
    // game.004 is the language file as saved, new texts still marked; the model lost the marks.
    ZipReader adv(QDir(f.project).filePath(QStringLiteral("demo.adv")));
    const QByteArray game004 = pack.read(QStringLiteral("game.004")).value();
    QCOMPARE(game004, adv.read(QStringLiteral("demo.004")).value());
    QVERIFY(game004.contains("*NEU*Hello there\r\n"));
    QCOMPARE(f.model->origin.speech, (QStringList{QStringLiteral("Hello there"), QStringLiteral("Goodbye")}));

    // The media archives: stored, bare names, the PNG with alpha as its JPEG pair, encrypted
    // with the password of game.005 when protected.
    const QMap<QString, QStringList> expectedEntries{
        {QStringLiteral("gfx.dat"), {QStringLiteral("hero.pnj"), QStringLiteral("hero.pna"), QStringLiteral("wall.png")}},
        {QStringLiteral("sfx.dat"), {QStringLiteral("ding.wav")}},
        {QStringLiteral("music.dat"), {QStringLiteral("theme.ogg")}},
        {QStringLiteral("movie.dat"), {QStringLiteral("intro.avi")}}};
    for (auto it = expectedEntries.cbegin(); it != expectedEntries.cend(); ++it) {
        ZipReader zip(f.data(it.key()));
        QCOMPARE(zip.entryNames(), it.value());
        for (const QString &n : it.value()) {
            QCOMPARE(zip.compressionMethod(n), 0);
            QCOMPARE(zip.isEncrypted(n), protect);
        }
        // The unzip tool opens them with the password.
        QProcess unzip;
        QStringList args{QStringLiteral("-t")};
        if (protect)
            args << QStringLiteral("-P") << QString::fromLatin1(r.password);
        unzip.start(QStringLiteral("unzip"), args << f.data(it.key()));
        QVERIFY(unzip.waitForFinished(20000));
        QVERIFY2(unzip.exitCode() == 0, unzip.readAllStandardOutput().constData());
    }
    const auto gfx = entries(f.data(QStringLiteral("gfx.dat")), r.password);
    QCOMPARE(gfx.value(QStringLiteral("wall.png")), readBytes(f.mediaPath("wall.png")));
    const QImage pnj = QImage::fromData(gfx.value(QStringLiteral("hero.pnj")), "JPG");
    const QImage pna = QImage::fromData(gfx.value(QStringLiteral("hero.pna")), "JPG");
    QCOMPARE(pnj.size(), QSize(24, 16));
    QVERIFY(qAbs(qRed(pnj.pixel(5, 5)) - 200) < 6 && qAbs(qBlue(pnj.pixel(5, 5)) - 50) < 6);
    QVERIFY(qAbs(qRed(pna.pixel(5, 5)) - 128) < 4);
    QCOMPARE(entries(f.data(QStringLiteral("sfx.dat")), r.password).value(QStringLiteral("ding.wav")), readBytes(f.mediaPath("ding.wav")));
    if (protect) {
        ZipReader noPassword(f.data(QStringLiteral("sfx.dat")));
        QVERIFY(!noPassword.read(QStringLiteral("ding.wav")));
    }

    // Runtime files, the programs with the game's icon.
    QCOMPARE(PeIcon::iconResource(readBytes(r.programFile)), std::optional<QByteArray>(kNewIcon));
    QCOMPARE(PeIcon::iconResource(readBytes(QDir(f.game).filePath(QStringLiteral("Settings.exe")))), std::optional<QByteArray>(kNewIcon));
    QCOMPARE(readBytes(QDir(f.game).filePath(QStringLiteral("bass.dll"))), QByteArray("runtime bass.dll"));
    QCOMPARE(readBytes(f.data(QStringLiteral("font.dat"))), QByteArray("runtime font.dat"));
    QCOMPARE(ZipReader(f.data(QStringLiteral("fonts.dat"))).entryNames(), QStringList{QStringLiteral("font.001")});

    const ProjectModel &m = *f.model;
    QVERIFY(f.session.gameBuiltOnce());
    QVERIFY(!f.session.isBusy());
    QVERIFY(f.session.isModified());
    QCOMPARE(m.lastGameFolder, f.game);
    QCOMPARE(f.session.mediaChangedFlags(), (std::array<bool, 4>{false, false, false, false}));
    QCOMPARE(m.media[Images].path(1), f.mediaPath("hero.png")); // the build worked on a copy
}

void TestMakeGame::countsRunToTheirTotals()
{
    Fixture f;
    QVERIFY(f.run().built());
    // Each step starts without a count; a counted step runs from 0 up to its total.
    QVERIFY(!f.counts.isEmpty());
    QCOMPARE(f.counts.first(), qMakePair(0, 0));
    QSet<int> totals;
    for (int i = 0; i < f.counts.size(); ++i) {
        const auto [done, total] = f.counts[i];
        QVERIFY(done >= 0 && done <= total);
        if (total == 0)
            continue;
        totals.insert(total);
        const auto previous = f.counts[i - 1];
        QVERIFY2(previous.second == total ? previous.first <= done : done == 0, "a count starts at 0 and never goes back");
    }
    for (int total : totals)
        QVERIFY2(f.counts.contains(qMakePair(total, total)), qPrintable(QString::number(total)));
    // The sounds archive holds one file: its count is 0 of 1, then 1 of 1.
    QVERIFY(f.counts.contains(qMakePair(0, 1)) && f.counts.contains(qMakePair(1, 1)));
}

void TestMakeGame::serialAndParallelBuildsMatch()
{
    Fixture f;
    for (int i = 0; i < 6; ++i) {
        QImage img(50 + i, 30, QImage::Format_ARGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgba(x * 4, y * 8, i * 40, (x * 5) & 255));
        const QString path = QDir(f.media).filePath(QStringLiteral("sprite%1.png").arg(i));
        QVERIFY(img.save(path, "PNG"));
        f.model->mediaadd(Images, QStringLiteral("sprite%1").arg(i), path);
    }
    QVERIFY(f.session.save().ok);
    // The first build sets the last game folder, which game.001 holds; the two compared builds
    // both start from it. Each writes every archive anew.
    QVERIFY(f.run().complete());
    auto again = [&f](int threads) {
        f.session.setGameBuiltOnce(false);
        f.session.setMediaChanged({true, true, true, true});
        for (const QString &name : files(f.data()))
            QFile::remove(f.data(name));
        return f.run(threads).complete();
    };
    QVERIFY(again(1));
    QMap<QString, QMap<QString, QByteArray>> serial;
    for (const QString &a : {QStringLiteral("game.dat"), QStringLiteral("gfx.dat"), QStringLiteral("sfx.dat")})
        serial.insert(a, entries(f.data(a)));
    QCOMPARE(serial.value(QStringLiteral("gfx.dat")).size(), 1 + 2 * 7);
    QVERIFY(again(4));
    for (auto it = serial.cbegin(); it != serial.cend(); ++it)
        QCOMPARE(entries(f.data(it.key())), it.value());
}

void TestMakeGame::missingRuntimeFiles()
{
    Fixture f(false);
    const MakeGame::Result r = f.run();
    QCOMPARE(r.outcome, MakeGame::Result::Built);
    QVERIFY(!r.complete());
    QCOMPARE(r.missingRuntimeFiles, (QStringList{QStringLiteral("font.dat"), QStringLiteral("bass.dll"), QStringLiteral("unzdll.dll"),
                                                 QStringLiteral("engine.dat"), QStringLiteral("engine.da2")}));
    for (const QString &name : MakeGame::runtimeFiles())
        QVERIFY2(r.message.contains(name), qPrintable(r.message));
    QVERIFY(r.message.contains(QDir::toNativeSeparators(f.editor)));
    // Everything else is there; the program is not, so there is nothing to start.
    QCOMPARE(files(f.data()), (QStringList{QStringLiteral("fonts.dat"), QStringLiteral("game.dat"), QStringLiteral("gfx.dat"),
                                           QStringLiteral("movie.dat"), QStringLiteral("music.dat"), QStringLiteral("sfx.dat")}));
    QCOMPARE(files(f.game), QStringList{QStringLiteral("data")});
    QCOMPARE(f.questions.asked, QStringList{QStringLiteral("file:demo.exe")});
    QVERIFY(f.session.gameBuiltOnce());
}

void TestMakeGame::unknownStartScriptGoesOn()
{
    Fixture f;
    f.model->settings.startScript = QStringLiteral("nosuch");
    QStringList problems;
    MakeGame make(f.session, f.questions);
    make.setProblemHandler([&](const QString &t) { problems << t; });
    const MakeGame::Result r = make.run();
    QVERIFY2(r.complete(), qPrintable(r.message));
    QCOMPARE(problems, QStringList{QStringLiteral("Start Cutscene : is not existent.")});
    QCOMPARE(r.problems, problems);
    QVERIFY(QFile::exists(f.data(QStringLiteral("game.dat"))));
}

void TestMakeGame::editorFolderRefused_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("same text") << QStringLiteral("editor/demo.exe");
    QTest::newRow("other spelling") << QStringLiteral("project/../editor/./demo.exe");
}

void TestMakeGame::editorFolderRefused()
{
    QFETCH(QString, relative);
    Fixture f;
    const QStringList editorBefore = files(f.editor);
    f.questions.programFile = QDir(f.root.path()).filePath(relative);
    const MakeGame::Result r = f.run();
    QCOMPARE(r.outcome, MakeGame::Result::Refused);
    QCOMPARE(r.message, f.catalog.msg(375));
    QCOMPARE(files(f.editor), editorBefore);
    QCOMPARE(files(f.project), QStringList{QStringLiteral("demo.adv")});
    QVERIFY(!f.session.gameBuiltOnce());
}

void TestMakeGame::checksRefuse_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("message");
    const MessageCatalog c;
    QTest::newRow("image file missing") << 0 << QStringLiteral("The File %1 is not existent.");
    QTest::newRow("textscene image unknown") << 1 << c.msg(424);
    QTest::newRow("loading image unknown") << 2 << c.msg(404);
    QTest::newRow("sound file missing") << 3 << QStringLiteral("The File %1 is not existent.");
    QTest::newRow("no font") << 4 << c.msg(117);
    QTest::newRow("no start cutscene") << 5 << c.msg(118);
    QTest::newRow("taskbar without room") << 6 << c.msg(119);
    QTest::newRow("coin interface without room") << 7 << c.msg(472);
    QTest::newRow("custom menu without room") << 8 << c.msg(120);
    QTest::newRow("script mistake") << 9 << QStringLiteral("Cutscene \"intro\" : Unknown Command : foo (Line 4)");
    QTest::newRow("never saved") << 10 << c.msg(122);
}

void TestMakeGame::checksRefuse()
{
    QFETCH(int, change);
    QFETCH(QString, message);
    Fixture f;
    ProjectModel &m = *f.model;
    QString missing;
    switch (change) {
    case 0:
        missing = f.mediaPath("nothere.png");
        m.mediaadd(Images, QStringLiteral("nothere"), missing);
        break;
    case 1:
        m.settings.useTextsceneBg = true;
        m.settings.textsceneBg = QStringLiteral("nosuch");
        break;
    case 2: m.settings.loadingImage = QStringLiteral("nosuch"); break;
    case 3:
        missing = f.mediaPath("gone.wav");
        m.mediaadd(Sounds, QStringLiteral("gone"), missing);
        break;
    case 4: m.fonts[1].name.clear(); break;
    case 5: m.settings.startScript.clear(); break;
    case 6: m.settings.bedienfeld = true; break;
    case 7: m.settings.coinInterface = true; break;
    case 8: m.settings.ownMenu = true; break;
    case 9: m.cutscenes[1].script << QString() << QStringLiteral("foo(1)"); break;
    case 10: f.session.setProjectFolder(QString()); break;
    }
    const MakeGame::Result r = f.run();
    QCOMPARE(r.outcome, MakeGame::Result::Refused);
    QCOMPARE(r.message, missing.isEmpty() ? message : message.arg(missing));
    QVERIFY(!QFileInfo::exists(f.game));
    QCOMPARE(files(f.project), QStringList{QStringLiteral("demo.adv")});
    QVERIFY(!f.session.gameBuiltOnce());
}

void TestMakeGame::updateBuildKeepsUnchangedArchives()
{
    Fixture f;
    QVERIFY(f.run().complete());
    // An archive kept by the update keeps this time; one made anew gets the time of writing.
    const QDateTime old = QDateTime::currentDateTime().addYears(-3);
    auto age = [&](const char *a) {
        QFile file(f.data(QLatin1String(a)));
        return file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime);
    };
    auto kept = [&](const char *a) { return QFileInfo(f.data(QLatin1String(a))).lastModified() == old; };
    for (const char *a : {"gfx.dat", "sfx.dat", "music.dat", "movie.dat"})
        QVERIFY(age(a));
    QFile::remove(f.data(QStringLiteral("movie.dat"))); // gone: made again despite no change
    f.session.setMediaChanged({true, false, false, false});
    f.questions.asked.clear();
    f.questions.programFile.clear(); // the update must not ask for a file

    MakeGame::Result r = f.run();
    QVERIFY2(r.complete(), qPrintable(r.message));
    QCOMPARE(f.questions.asked.first(), f.catalog.msg(123));
    QCOMPARE(r.programFile, QDir(f.game).filePath(QStringLiteral("demo.exe")));
    QVERIFY(!kept("gfx.dat"));
    QCOMPARE(ZipReader(f.data(QStringLiteral("gfx.dat"))).entryNames().size(), 3);
    QVERIFY(kept("sfx.dat"));
    QVERIFY(kept("music.dat"));
    QCOMPARE(ZipReader(f.data(QStringLiteral("movie.dat"))).entryNames(), QStringList{QStringLiteral("intro.avi")});

    // Archives that are not what this build would write are made anew although the media
    // tables did not change: a damaged file, a sound changed behind the editor's back (same
    // size, a new time), an entry too many.
    for (const char *a : {"gfx.dat", "sfx.dat", "music.dat", "movie.dat"})
        QVERIFY(age(a));
    QVERIFY(writeBytes(f.data(QStringLiteral("gfx.dat")), "kept from the last build"));
    QVERIFY(writeBytes(f.mediaPath("ding.wav"), QByteArray("RIFF fake sound ") + QByteArray(3000, 'S')));
    {
        QFile sound(f.mediaPath("ding.wav"));
        QVERIFY(sound.open(QIODevice::ReadWrite));
        QVERIFY(sound.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
    }
    {
        ZipWriter extra(f.data(QStringLiteral("movie.dat")));
        QVERIFY(extra.addFile(QStringLiteral("intro.avi"), f.mediaPath("intro.avi"), 0));
        QVERIFY(extra.addBytes(QStringLiteral("old.avi"), "removed movie", 0));
        QVERIFY(extra.close());
    }
    QVERIFY(age("movie.dat"));
    QVERIFY(f.run().complete());
    QVERIFY(!kept("gfx.dat"));
    QCOMPARE(ZipReader(f.data(QStringLiteral("gfx.dat"))).entryNames().size(), 3);
    QVERIFY(!kept("sfx.dat"));
    QCOMPARE(entries(f.data(QStringLiteral("sfx.dat"))).value(QStringLiteral("ding.wav")), readBytes(f.mediaPath("ding.wav")));
    QVERIFY(kept("music.dat"));
    QVERIFY(!kept("movie.dat"));
    QCOMPARE(ZipReader(f.data(QStringLiteral("movie.dat"))).entryNames(), QStringList{QStringLiteral("intro.avi")});

    // Declining the update asks for the file and makes everything anew.
    f.questions.update = false;
    f.questions.asked.clear();
    f.questions.programFile = QDir(f.game).filePath(QStringLiteral("demo.exe"));
    QVERIFY(age("sfx.dat"));
    QVERIFY(f.run().complete());
    QCOMPARE(f.questions.asked.mid(0, 2), (QStringList{f.catalog.msg(123), QStringLiteral("file:demo.exe")}));
    QVERIFY(!kept("sfx.dat"));
}

void TestMakeGame::unprotectedUpdateAfterProtectedBuild()
{
    // A protected game has a new password every time, so every archive is made again; turning
    // protection off again must not leave archives that only the old password opens, as the
    // game then has no game.005 to find it.
    Fixture f;
    f.model->settings.protect = true;
    const MakeGame::Result locked = f.run();
    QVERIFY(locked.complete());
    for (const char *a : {"gfx.dat", "sfx.dat", "music.dat", "movie.dat"}) {
        ZipReader zip(f.data(QLatin1String(a)));
        QVERIFY2(zip.isEncrypted(zip.entryNames().value(0)), a);
    }

    f.model->settings.protect = false;
    f.questions.update = true;
    const MakeGame::Result r = f.run();
    QVERIFY2(r.complete(), qPrintable(r.message));
    QVERIFY(r.password.isEmpty());
    QVERIFY(!entries(f.data(QStringLiteral("game.dat"))).contains(QStringLiteral("game.005")));
    const QMap<QString, QString> sources{{QStringLiteral("sfx.dat"), f.mediaPath("ding.wav")},
                                         {QStringLiteral("music.dat"), f.mediaPath("theme.ogg")},
                                         {QStringLiteral("movie.dat"), f.mediaPath("intro.avi")}};
    for (const char *a : {"gfx.dat", "sfx.dat", "music.dat", "movie.dat"}) {
        const QMap<QString, QByteArray> content = entries(f.data(QLatin1String(a))); // no password
        QVERIFY2(!content.isEmpty(), a);
        for (auto it = content.cbegin(); it != content.cend(); ++it)
            QVERIFY2(it.value() != "<unreadable>", qPrintable(it.key()));
        if (sources.contains(QLatin1String(a)))
            QCOMPARE(content.first(), readBytes(sources.value(QLatin1String(a))));
    }
}

void TestMakeGame::sameProjectSameBytes()
{
    // Two builds of an unchanged project, one minute apart as far as the clock of the archives
    // can tell, write the same archives: each entry carries its source file's time, or one
    // fixed time when SOURCE_DATE_EPOCH is set.
    QFETCH(QByteArray, epoch);
    Fixture f;
    qputenv("SOURCE_DATE_EPOCH", epoch);
    const auto restore = qScopeGuard([] { qunsetenv("SOURCE_DATE_EPOCH"); });
    const QStringList archives{QStringLiteral("game.dat"), QStringLiteral("fonts.dat"), QStringLiteral("gfx.dat"),
                               QStringLiteral("sfx.dat"), QStringLiteral("music.dat"), QStringLiteral("movie.dat")};
    auto build = [&] {
        f.session.setGameBuiltOnce(false);
        QMap<QString, QByteArray> out;
        const MakeGame::Result r = f.run();
        if (!r.complete())
            return out;
        for (const QString &a : archives)
            out.insert(a, readBytes(f.data(a)));
        return out;
    };
    // game.001 holds the last game folder, which the first build sets: the compared builds
    // start from it.
    QCOMPARE(build().size(), archives.size());
    const QMap<QString, QByteArray> first = build();
    QCOMPARE(first.size(), archives.size());
    QTest::qSleep(2100); // past the two seconds a zip time can tell apart
    const QMap<QString, QByteArray> second = build();
    QCOMPARE(second.size(), archives.size());
    // game.dat and the fonts come from the project file, which every build saves anew; only a
    // fixed time makes them the same.
    for (const QString &a : archives)
        if (!epoch.isEmpty() || (a != QLatin1String("game.dat") && a != QLatin1String("fonts.dat")))
            QVERIFY2(first.value(a) == second.value(a), qPrintable(a));
    if (!epoch.isEmpty()) {
        ZipReader zip(f.data(QStringLiteral("gfx.dat")));
        QCOMPARE(zip.stat(zip.entryNames().value(0))->modified.toSecsSinceEpoch(), epoch.toLongLong());
    } else {
        ZipReader zip(f.data(QStringLiteral("sfx.dat")));
        QCOMPARE(zip.stat(QStringLiteral("ding.wav"))->modified.toSecsSinceEpoch() / 2,
                 QFileInfo(f.mediaPath("ding.wav")).lastModified().toSecsSinceEpoch() / 2);
    }
}

void TestMakeGame::sameProjectSameBytes_data()
{
    QTest::addColumn<QByteArray>("epoch");
    QTest::newRow("times of the sources") << QByteArray();
    QTest::newRow("SOURCE_DATE_EPOCH") << QByteArray("1700000000");
}

void TestMakeGame::badSourceDateEpochRefused()
{
    Fixture f;
    qputenv("SOURCE_DATE_EPOCH", "yesterday");
    const auto restore = qScopeGuard([] { qunsetenv("SOURCE_DATE_EPOCH"); });
    const MakeGame::Result r = f.run();
    QCOMPARE(r.outcome, MakeGame::Result::Refused);
    QVERIFY2(r.message.contains(QLatin1String("SOURCE_DATE_EPOCH")), qPrintable(r.message));
    QVERIFY(!QFileInfo::exists(f.game));
}

void TestMakeGame::tooManyTextsRefused()
{
    // Markers carry five digits: the 100001st text of a kind would get none and play
    // untranslated, so the build stops instead.
    Fixture f;
    QStringList &script = f.model->cutscenes[1].script;
    for (int i = 0; i <= 100000; ++i)
        script << QStringLiteral("showinfo(Sign %1;true)").arg(i);
    const MakeGame::Result r = f.run();
    QCOMPARE(r.outcome, MakeGame::Result::Refused);
    QCOMPARE(r.message, f.catalog.extra(2).arg(QStringLiteral("Sign 99999"), QStringLiteral("100000"),
                                               QStringLiteral("showinfo"), QStringLiteral("99999")));
    QVERIFY(!QFileInfo::exists(f.game));
    QCOMPARE(files(f.project), QStringList{QStringLiteral("demo.adv")});

    // Without that text the last one used gets index 99999; a text no script uses any more
    // (the list keeps new texts for the translator) is no hindrance past the limit.
    QCOMPARE(f.model->origin.showinfo.value(100000), QStringLiteral("*NEU*Sign 99999"));
    script.removeLast();
    script.removeLast();
    const MakeGame::Result fits = f.run();
    QVERIFY2(fits.complete(), qPrintable(fits.message));
    QVERIFY(f.model->origin.showinfo.size() > 100000);
    const QByteArray game003 = entries(f.data(QStringLiteral("game.dat"))).value(QStringLiteral("game.003"));
    QVERIFY(game003.contains("showinfo(|#99999#|Sign 99998;true)"));
}

void TestMakeGame::emptyKindsLeaveNoArchive()
{
    Fixture f;
    for (int kind : {int(Sounds), int(Music), int(Movies)})
        f.model->media[kind].clear();
    QDir().mkpath(f.data());
    QVERIFY(writeBytes(f.data(QStringLiteral("sfx.dat")), "old"));
    QVERIFY(f.run().complete());
    QVERIFY(QFileInfo::exists(f.data(QStringLiteral("gfx.dat"))));
    for (const char *a : {"sfx.dat", "music.dat", "movie.dat"})
        QVERIFY2(!QFileInfo::exists(f.data(QLatin1String(a))), a);
}

void TestMakeGame::missingImageWhileArchivingGoesOn()
{
    Fixture f;
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(f.mediaPath("sky.bmp"), "BMP"));
    f.model->mediaadd(Images, QStringLiteral("sky"), f.mediaPath("sky.bmp"));
    MakeGame make(f.session, f.questions);
    QCOMPARE(make.prepare().outcome, MakeGame::Result::Ready);
    // The checks passed; the file goes away before the folder is written.
    QVERIFY(QFile::remove(f.mediaPath("sky.bmp")));
    const MakeGame::Result r = make.build();
    QVERIFY2(r.complete(), qPrintable(r.message));
    QCOMPARE(r.problems, QStringList{QStringLiteral("Grafik fehlt : ") + f.mediaPath("sky.bmp")});
    QCOMPARE(ZipReader(f.data(QStringLiteral("gfx.dat"))).entryNames(),
             (QStringList{QStringLiteral("hero.pnj"), QStringLiteral("hero.pna"), QStringLiteral("wall.png")}));
    QCOMPARE(ZipReader(f.data(QStringLiteral("sfx.dat"))).entryNames(), QStringList{QStringLiteral("ding.wav")});
}

// The runtime looks a file up in the media archive by the bytes game.001 gives for it: both
// must be the Windows-1252 bytes of the name, and the archive must not mark them as UTF-8.
void TestMakeGame::nonAsciiNamesMatchTheGameFile()
{
    Fixture f;
    const QString name = QStringLiteral("schl\u00FCssel");
    QImage key(6, 6, QImage::Format_RGB32);
    key.fill(qRgb(1, 2, 3));
    const QString file = QDir(f.media).filePath(name + QStringLiteral(".png"));
    QVERIFY(key.save(file, "PNG"));
    writeBytes(QDir(f.media).filePath(QStringLiteral("\u00E9t\u00E9.wav")), QByteArray("RIFF summer"));
    f.model->mediaadd(Images, name, file);
    f.model->mediaadd(Sounds, QStringLiteral("\u00E9t\u00E9"), QDir(f.media).filePath(QStringLiteral("\u00E9t\u00E9.wav")));
    const MakeGame::Result r = f.run();
    QVERIFY2(r.complete(), qPrintable(r.message + r.problems.join(u'\n')));

    const QByteArray game001 = ZipReader(f.data(QStringLiteral("game.dat"))).read(QStringLiteral("game.001")).value();
    QVERIFY(game001.contains("schl\xFCssel.png\r\n"));
    QVERIFY(!game001.contains("schl\xC3\xBC"));
    for (const auto &[archive, stored] : {std::pair{"gfx.dat", QByteArray("schl\xFCssel.png")},
                                          std::pair{"sfx.dat", QByteArray("\xE9t\xE9.wav")}}) {
        const QByteArray bytes = readBytes(f.data(QLatin1String(archive)));
        const EntryHeaders h = findEntryHeaders(bytes, stored);
        QVERIFY2(h.central >= 0 && h.local >= 0, archive);
        QCOMPARE(h.flags & 0x0800, 0);
        QCOMPARE(getLe(bytes, h.local + 6, 2) & 0x0800, 0u);
    }
    // The editor reads the name back as it was.
    QVERIFY(ZipReader(f.data(QStringLiteral("gfx.dat"))).entryNames().contains(name + QStringLiteral(".png")));
}

void TestMakeGame::loadingImage()
{
    Fixture f;
    f.model->settings.loadingImage = QStringLiteral("Wall");
    QDir().mkpath(f.data());
    QVERIFY(writeBytes(f.data(QStringLiteral("loading.jpg")), "the loading image of an older build"));
    QVERIFY(f.run().complete());
    QVERIFY(!QFileInfo::exists(f.data(QStringLiteral("loading.jpg"))));
    QCOMPARE(readBytes(f.data(QStringLiteral("loading.png"))), readBytes(f.mediaPath("wall.png")));
    QCOMPARE(QFileInfo(f.data(QStringLiteral("loading.png"))).lastModified(), QFileInfo(f.mediaPath("wall.png")).lastModified());
}

void TestMakeGame::startNow()
{
    Fixture f;
    // A stand-in for wine that notes where and with what it was started.
    const QString wine = QDir(f.root.path()).filePath(QStringLiteral("fakewine"));
    const QString log = QDir(f.root.path()).filePath(QStringLiteral("wine.log"));
    QVERIFY(writeBytes(wine, ("#!/bin/sh\necho \"$PWD|$*\" > '" + log + "'\n").toLocal8Bit()));
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    f.questions.start = true;
    MakeGame make(f.session, f.questions);
    make.setWine(wine);
    const MakeGame::Result r = make.run();
    QVERIFY(r.complete());
    QVERIFY(r.start && r.start->started);
    QTRY_VERIFY_WITH_TIMEOUT(!readBytes(log).isEmpty(), 10000);
    QCOMPARE(QString::fromLocal8Bit(readBytes(log)).trimmed(),
             QFileInfo(f.game).canonicalFilePath() + u'|' + r.programFile + QStringLiteral(" -devmode"));

    // Why a game cannot be started.
    GameStarter::Result s = GameStarter::start(QDir(f.game).filePath(QStringLiteral("none.exe")), f.game, wine);
    QVERIFY(!s.started && s.message.contains(QLatin1String("does not exist")));
    s = GameStarter::start(QDir(f.game).filePath(QStringLiteral("bass.dll")), f.game, wine);
    QVERIFY(!s.started && s.message.contains(QLatin1String("not a Windows program")));
    s = GameStarter::start(r.programFile, f.game, QDir(f.root.path()).filePath(QStringLiteral("nowine")));
    QVERIFY(!s.started && s.message.contains(QLatin1String("wine")));
    QVERIFY(GameStarter::isWindowsProgram(r.programFile));
    QVERIFY(!GameStarter::isWindowsProgram(wine));
}

void TestMakeGame::noStartQuestionWithoutWine_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("windowsProgram");
    QTest::newRow("no wine") << "EN" << true;
    QTest::newRow("no wine DE") << "DE" << true;
    QTest::newRow("runtime no Windows program") << "EN" << false;
}

void TestMakeGame::noStartQuestionWithoutWine()
{
    // A start that cannot work is not offered: the result says once, in the catalog's language,
    // how the game can be started, and no problem is reported.
    QFETCH(QString, lang);
    QFETCH(bool, windowsProgram);
    Fixture f;
    f.catalog.setLanguage(lang);
    if (windowsProgram)
        f.wine.clear();
    else // and no icon, whose patch would report the program as a problem
        QVERIFY(writeBytes(QDir(f.editor).filePath(QStringLiteral("engine.dat")), "not a program"));
    if (!windowsProgram)
        f.model->settings.gameIcon.clear();
    f.questions.start = true;
    const MakeGame::Result r = f.run();
    QVERIFY2(r.complete(), qPrintable(r.message));
    QCOMPARE(f.questions.asked, QStringList{QStringLiteral("file:demo.exe")});
    QVERIFY(!r.start);
    QVERIFY(r.problems.isEmpty());
    const int text = windowsProgram ? 4 : 5;
    QCOMPARE(r.startHint, MessageCatalog(lang).extra(text).arg(QDir::toNativeSeparators(f.game), QStringLiteral("demo.exe")));
}

// Fonts come from the font database of a QGuiApplication (offscreen under ctest).
QTEST_MAIN(TestMakeGame)
#include "tst_makegame.moc"
