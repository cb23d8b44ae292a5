// The command-line front end as a user runs it: the real program, its output and exit status.
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "support/filebytes.h"
#include "support/roomfixture.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using testing::readBytes;
using testing::writeBytes;

namespace {

struct Run
{
    int status = -1;
    QString out, err;
};

Run cli(const QStringList &args, const QString &editorFolder = QString())
{
    QProcess p;
    QStringList all = args;
    if (!editorFolder.isEmpty())
        all << "--editor-folder" << editorFolder;
    p.start(QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath("mossbramble-cli"), all);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Generates the demo project into dir/project; the path of its .adv file, empty on failure.
QString makeDemo(const QTemporaryDir &dir)
{
    QProcess gen;
    gen.start(QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath("mossbramble-make-demo"), {dir.filePath("project")});
    if (!gen.waitForFinished(60000) || gen.exitStatus() != QProcess::NormalExit || gen.exitCode() != 0)
        return {};
    return dir.filePath("project/demo.adv");
}

// The sample project saved as ROOT/project/sample.adv, its media files under ROOT/media.
QString sampleOnDisk(const QString &root)
{
    auto m = testing::sampleProject();
    auto place = [&](int kind, int slot, const QString &relative) {
        const QString path = QDir(root).filePath("media/" + relative);
        writeBytes(path, "content of " + relative.toUtf8());
        m->media[kind].setPath(slot, path);
    };
    place(Images, 1, "hallbg.png");
    place(Images, 2, "door_a.png");
    place(Sounds, 1, "ding.wav");
    place(Music, 1, "theme.xm");
    place(Movies, 1, "intro.swf");
    QDir().mkpath(QDir(root).filePath("project"));
    const ProjectFileResult saved = saveProject(*m, QDir(root).filePath("project"), "sample");
    return saved.ok ? QDir(root).filePath("project/sample.adv") : saved.message;
}

// The value of a "name: value" line of `info`.
QString infoValue(const QString &adv, const QString &name, const QString &editor)
{
    const Run r = cli({"info", adv}, editor);
    for (const QString &line : r.out.split(u'\n'))
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    return QStringLiteral("(no line \"%1\" in: %2 %3)").arg(name, r.out, r.err);
}

// Every command the program lists in --help is run by a test of this suite; a new command
// needs one here.
const QStringList kCommandsRunHere{"msg", "resave", "info", "check", "find", "build", "fonts", "render-room",
                                   "lang-update", "dialogues", "soundlists", "export", "import", "export-room",
                                   "export-char", "import-room", "import-char", "missing", "duplicate"};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void helpListsTheCommands()
    {
        const Run r = cli({"--help"});
        QCOMPARE(r.status, 0);
        for (const char *c : {"check PROJECT.adv", "resave IN.adv OUT.adv", "info PROJECT.adv", "fonts PROJECT.adv DIR",
                              "missing PROJECT.adv", "export PROJECT.adv OUT.adz", "lang-update PROJECT.adv"})
            QVERIFY2(r.out.contains(QLatin1String(c)), c);
        QCOMPARE(cli({}).status, 2);
        QCOMPARE(cli({"frobnicate"}).status, 2);
        QCOMPARE(cli({"msg", "151", "--lang", "DE"}).out, QStringLiteral("ist nicht im ADV Format\n"));
        QCOMPARE(cli({"msg", "1", "--lang", "XX"}).status, 2);
        QVERIFY(cli({"--version"}).out.startsWith("mossbramble-cli "));
    }
    void resaveInfoAndCheck()
    {
        QTemporaryDir dir;
        auto m = testing::sampleProject();
        // The sample's frame lines are not commands.
        m->objects[1].frames[1][2].script = "playsound(creak;80)";
        m->characters[1].frames[35][29].script.clear();
        QVERIFY(saveProject(*m, dir.path(), "sample").ok);
        const QString in = dir.filePath("sample.adv"), out = dir.filePath("copy.adv");
        Run r = cli({"resave", in, out}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(QFile::exists(out));
        r = cli({"info", out}, dir.path());
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains("version: 3.2\n"));
        QVERIFY(r.out.contains("project: copy\n"));
        QVERIFY(r.out.contains("rooms: 2\n"));
        QVERIFY(r.out.contains("walkmap cell scripts: 1\n"));

        r = cli({"check", out}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out.trimmed(), QStringLiteral("No errors found."));
        m->cutscenes[1].script << "foo(bar)";
        QVERIFY(saveProject(*m, dir.path(), "bad").ok);
        r = cli({"check", dir.filePath("bad.adv")}, dir.path());
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Cutscene \"intro\" : Unknown Command : foo (Line 4)"), qPrintable(r.err));
    }
    void findAndReplace()
    {
        QTemporaryDir dir;
        auto m = testing::sampleProject();
        m->rooms[1].walkmap.script(150, 90) << "speech (Self ; hi)";
        QVERIFY(saveProject(*m, dir.path(), "sample").ok);
        const QString adv = dir.filePath("sample.adv");

        Run r = cli({"find", adv, "SELF"}, dir.path());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Cutscene \"intro\" (Line 1): speech(self;Grüße, café ½ – \u20AC)\n"
                                       "Walkmap \"hall 150/90\" (Line 3): speech (Self ; hi)\n"
                                       "Roomobject \"hall / door1\" (Line 2): { speech(self;locked) }\n"
                                       "3 hits in 3 scripts\n"));
        r = cli({"find", adv, "Self", "--case", "--lang", "DE"}, dir.path());
        QCOMPARE(r.out, QStringLiteral("Walkmap \"hall 150/90\" (Zeile 3): speech (Self ; hi)\n1 Treffer in 1 Skripten\n"));
        r = cli({"find", adv, "sel", "--word"}, dir.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QStringLiteral("0 hits in 0 scripts\n"));

        const QByteArray before = [&] { QFile f(adv); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        r = cli({"find", adv, "self", "--word", "--replace", "bob1"}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(r.out.endsWith("3 hits in 3 scripts\n"));
        QCOMPARE(cli({"find", adv, "self"}, dir.path()).status, 1);
        r = cli({"find", adv, "bob1"}, dir.path());
        QVERIFY(r.out.contains("Walkmap \"hall 150/90\" (Line 3): speech (bob1 ; hi)\n"));

        // Nothing to replace: the file is not touched. Bad input is a usage error.
        const QByteArray after = [&] { QFile f(adv); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY(after != before);
        QCOMPARE(cli({"find", adv, "nowhere", "--replace", "x"}, dir.path()).status, 1);
        QFile f(adv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), after);
        QCOMPARE(cli({"find", adv, ""}, dir.path()).status, 2);
        QCOMPARE(cli({"find", adv, "self", "--replace", "a\tb"}, dir.path()).status, 2);
        QCOMPARE(cli({"find", dir.filePath("none.adv"), "self"}, dir.path()).status, 2);
    }
    void demoBuildsAGame()
    {
        QTemporaryDir dir;
        const QString adv = makeDemo(dir);
        QVERIFY(!adv.isEmpty());
        Run r = cli({"check", adv}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        // No game runtime in this editor folder: everything else is written, with a warning.
        r = cli({"build", adv, dir.filePath("game/demo")}, dir.path());
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.contains("Creating gfx.dat..."));
        QVERIFY2(r.err.contains("engine.dat"), qPrintable(r.err));
        for (const char *f : {"game.dat", "gfx.dat", "sfx.dat", "music.dat", "fonts.dat"})
            QVERIFY2(QFile::exists(dir.filePath(QStringLiteral("game/data/") + QLatin1String(f))), f);
        ZipReader game(dir.filePath("game/data/game.dat"));
        QVERIFY(game.entryNames().contains("game.001"));
        QVERIFY(game.entryNames().contains("game.004"));
        ZipReader gfx(dir.filePath("game/data/gfx.dat"));
        QVERIFY(gfx.entryNames().contains("garden.jpg"));
        QVERIFY(gfx.entryNames().contains("bob_stand_front.pnj"));
        QVERIFY(gfx.entryNames().contains("bob_stand_front.pna"));
        QCOMPARE(gfx.compressionMethod("garden.jpg"), 0);
        // Nothing of the build is left beside the project.
        QCOMPARE(QDir(dir.filePath("project")).entryList({"*.00?"}, QDir::Files), QStringList());
    }
    void renderRoomOfTheDemo()
    {
        QTemporaryDir dir;
        const QString adv = makeDemo(dir);
        QVERIFY(!adv.isEmpty());

        Run r = cli({"render-room", adv, "--all", dir.filePath("rooms")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QStringList rooms = QDir(dir.filePath("rooms")).entryList({"*.png"});
        QVERIFY2(rooms.size() >= 2, qPrintable(rooms.join(',')));
        for (const QString &f : rooms) {
            const QImage img(dir.filePath("rooms/" + f));
            QCOMPARE(img.size(), QSize(640, 480));
            QVERIFY(img.pixel(320, 240) != img.pixel(0, 479)); // a picture, not a cleared frame
        }
        // Each mode draws its overlay over the same room.
        r = cli({"render-room", adv, "garden", dir.filePath("normal.png")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(QImage(dir.filePath("normal.png")), QImage(dir.filePath("rooms/garden.png")));
        for (const char *mode : {"walkmap", "depth", "inventory", "fx"}) {
            const QString out = dir.filePath(QString("garden-%1.png").arg(mode));
            r = cli({"render-room", adv, "garden", out, "--mode", mode, "--scroll", "40,0"}, dir.path());
            QVERIFY2(r.status == 0, qPrintable(r.err));
            QVERIFY2(QImage(out) != QImage(dir.filePath("normal.png")), mode);
        }

        // Usage: an unknown room, mode or scroll.
        r = cli({"render-room", adv, "nosuchroom", dir.filePath("x.png")}, dir.path());
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("nosuchroom"));
        QCOMPARE(cli({"render-room", adv, "garden", dir.filePath("x.png"), "--mode", "sideways"}, dir.path()).status, 2);
        QCOMPARE(cli({"render-room", adv, "garden", dir.filePath("x.png"), "--scroll", "12"}, dir.path()).status, 2);
        QVERIFY(!QFile::exists(dir.filePath("x.png")));

        // A missing image is named, the room is drawn without it, and the exit status says so.
        QDir gfx(dir.filePath("project/gfx"));
        const QString door = gfx.filePath(gfx.entryList({"door_closed.*"}).value(0));
        QVERIFY(QFile::remove(door));
        r = cli({"render-room", adv, "garden", dir.filePath("nodoor.png")}, dir.path());
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(door + " is not existent."), qPrintable(r.err));
        QVERIFY(QImage(dir.filePath("nodoor.png")) != QImage(dir.filePath("normal.png")));
    }
    void renderRoomDrawsTheRenderersPixels()
    {
        // The command line and the renderer's golden picture of the same room and view agree.
        QTemporaryDir dir;
        auto fx = testing::roomFixture(dir.path());
        QVERIFY(saveProject(*fx.model, dir.path(), "rooms").ok);
        const QString out = dir.filePath("fx.png");
        const Run r = cli({"render-room", dir.filePath("rooms.adv"), "hall", out, "--mode", "fx"}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QImage golden(QDir(qEnvironmentVariable("MOSSBRAMBLE_SOURCE_DIR")).filePath("tests/core/room/data/golden/fx.png"));
        QVERIFY(!golden.isNull());
        const QImage drawn = QImage(out).convertToFormat(golden.format());
        QCOMPARE(drawn.size(), golden.size());
        int differing = 0;
        for (int y = 0; y < golden.height(); ++y)
            for (int x = 0; x < golden.width(); ++x)
                differing += drawn.pixel(x, y) != golden.pixel(x, y);
        QVERIFY2(differing < golden.width() * golden.height() / 500, qPrintable(QString::number(differing)));
    }
    void everyCommandIsRunHere()
    {
        const Run r = cli({"--help"});
        QCOMPARE(r.status, 0);
        const QString commands = r.out.mid(r.out.indexOf("Commands:"));
        QStringList listed;
        for (const QString &line : commands.split(u'\n'))
            if (line.startsWith("  ") && !line.startsWith("   "))
                listed << line.trimmed().section(u' ', 0, 0);
        for (const QString &c : std::as_const(listed))
            QVERIFY2(kCommandsRunHere.contains(c), qPrintable("no test runs the command " + c));
        for (const QString &c : kCommandsRunHere)
            QVERIFY2(listed.contains(c), qPrintable("--help does not list " + c));
    }
    void progressOnlyOnATerminal_data()
    {
        const MessageCatalog cat;
        QTest::addColumn<QStringList>("args");     // after the program; "@adv" the sample, "@dir" its folder
        QTest::addColumn<QStringList>("progress"); // texts the progress line shows on the way
        QTest::addColumn<QString>("result");       // printed after the line is cleared
        QTest::newRow("export: its steps") << QStringList{"export", "@adv", "@dir/moved.adz"}
                                           << QStringList{cat.msg(170)} << cat.msg(177);
        QTest::newRow("resave: the open and the save")
            << QStringList{"resave", "@adv", "@dir/copy.adv"}
            << QStringList{cat.extra(extratext::OpeningProject).arg("sample.adv") + " ",
                           cat.extra(extratext::SavingProject).arg("copy") + " "}
            << cat.msg(104);
        QTest::newRow("lang-update: the scripts scanned") << QStringList{"lang-update", "@adv"}
                                                          << QStringList{cat.msg(456) + " "} << cat.msg(104);
    }
    void progressOnlyOnATerminal()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, progress);
        QFETCH(QString, result);
        // script(1) runs the command on a pseudo terminal; its output is the terminal's.
        if (QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("script(1) is not installed");
        QTemporaryDir dir;
        const QString adv = sampleOnDisk(dir.path());
        args.replaceInStrings("@adv", adv).replaceInStrings("@dir", dir.path());
        const QString cliPath = QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath("mossbramble-cli");
        const QString command = (QStringList{cliPath} + args + QStringList{"--editor-folder", dir.path()})
                                    .replaceInStrings("'", "'\\''")
                                    .join("' '");
        QProcess p;
        p.start("script", {"-qec", "'" + command + "'", "/dev/null"});
        QVERIFY(p.waitForFinished(120000));
        const QByteArray terminal = p.readAllStandardOutput();
        QVERIFY2(p.exitCode() == 0, terminal.constData());
        // Steps overwrite one line, which is cleared before the result is printed.
        const qsizetype cleared = terminal.lastIndexOf("\r\x1b[K");
        QVERIFY2(cleared >= 0, terminal.constData());
        for (const QString &text : progress)
            QVERIFY2(terminal.left(cleared).contains(text.toUtf8()), terminal.constData());
        QVERIFY2(terminal.mid(cleared).contains(result.toUtf8()), terminal.constData());
        // Into a pipe the same command prints no progress at all.
        const Run piped = cli(args, dir.path());
        QCOMPARE(piped.status, 0);
        QVERIFY2(!piped.err.contains(u'\r'), qPrintable(piped.err));
    }

    void exchangeCommands()
    {
        QTemporaryDir dir;
        const MessageCatalog cat;
        const QString adv = sampleOnDisk(dir.path());
        QVERIFY2(adv.endsWith(".adv"), qPrintable(adv));
        const QString out = dir.filePath("out");
        QDir().mkpath(out);

        // The whole project: export, then import beside the file.
        Run r = cli({"export", adv, dir.filePath("out/moved")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(177) + ' ' + dir.filePath("out/moved.adz") + ' ' + cat.msg(178) + '\n');
        QCOMPARE(r.err, QString()); // no progress into a pipe
        r = cli({"import", dir.filePath("out/moved.adz")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, dir.filePath("out/moved/sample.adv") + '\n');
        QCOMPARE(infoValue(dir.filePath("out/moved/sample.adv"), "rooms", dir.path()), QStringLiteral("2"));
        QCOMPARE(readBytes(dir.filePath("out/moved/backgrounds/hallbg.png")), QByteArray("content of hallbg.png"));

        // One room and one character into a project that has neither.
        r = cli({"export-room", adv, "hall", dir.filePath("out/hall")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(380) + '\n');
        QVERIFY(QFile::exists(dir.filePath("out/hall.adr")));
        r = cli({"export-char", adv, "bob", dir.filePath("out/bob.adc")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(380) + '\n');
        ProjectModel empty;
        empty.allesneu(cat);
        QDir().mkpath(dir.filePath("target"));
        QVERIFY(saveProject(empty, dir.filePath("target"), "target").ok);
        const QString target = dir.filePath("target/target.adv");
        r = cli({"import-room", target, dir.filePath("out/hall.adr")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(380) + '\n');
        r = cli({"import-char", target, dir.filePath("out/bob.adc")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(380) + '\n');
        QCOMPARE(infoValue(target, "rooms", dir.path()), QStringLiteral("1"));
        QCOMPARE(infoValue(target, "objects", dir.path()), QStringLiteral("1"));
        QCOMPARE(infoValue(target, "characters", dir.path()), QStringLiteral("1"));
        QCOMPARE(infoValue(target, "images", dir.path()), QStringLiteral("2"));
        QCOMPARE(readBytes(dir.filePath("target/hall/door_a.png")), QByteArray("content of door_a.png"));

        // Refusals: the character is there now; the room to export is not.
        r = cli({"import-char", target, dir.filePath("out/bob.adc")}, dir.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, "bob " + cat.msg(147) + '\n');
        r = cli({"export-room", adv, "nowhere", dir.filePath("out/x.adr")}, dir.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QStringLiteral("\"nowhere\": there is no such room.\n"));
        QVERIFY(!QFile::exists(dir.filePath("out/x.adr")));
    }
    void missingAndDuplicate()
    {
        QTemporaryDir dir;
        const QString adv = sampleOnDisk(dir.path());
        QVERIFY2(adv.endsWith(".adv"), qPrintable(adv));
        // One image moved to a folder given on the command line: repaired and saved.
        QVERIFY(QDir().mkpath(dir.filePath("found")));
        QVERIFY(QFile::rename(dir.filePath("media/door_a.png"), dir.filePath("found/door_a.png")));
        Run r = cli({"missing", adv, dir.filePath("found")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("1 repaired, 0 missing\n"));
        ProjectModel m;
        QVERIFY(openProject(m, MessageCatalog(), adv).ok);
        QCOMPARE(m.media[Images].path(2), dir.filePath("found/door_a.png"));
        // One sound gone for good: listed, exit status 1.
        QVERIFY(QFile::remove(dir.filePath("media/ding.wav")));
        r = cli({"missing", adv}, dir.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, "S ding: " + dir.filePath("media/ding.wav") + "\n0 repaired, 1 missing\n");

        r = cli({"duplicate", adv, "room", "hall"}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("hall1\n"));
        QCOMPARE(infoValue(adv, "rooms", dir.path()), QStringLiteral("3"));
        QCOMPARE(infoValue(adv, "object placements", dir.path()), QStringLiteral("2"));
        r = cli({"duplicate", adv, "thing", "hall"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("KIND must be script, item, character, object or room\n"));
    }
    void languageAndSoundCommands()
    {
        QTemporaryDir dir;
        const MessageCatalog cat;
        const QString adv = sampleOnDisk(dir.path());
        QVERIFY2(adv.endsWith(".adv"), qPrintable(adv));
        Run r = cli({"lang-update", adv}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(104) + '\n');
        ProjectModel m;
        QVERIFY(openProject(m, cat, adv).ok);
        QVERIFY2(m.origin.speech.contains("*NEU*locked"), qPrintable(m.origin.speech.join(" | ")));

        r = cli({"dialogues", adv, dir.filePath("dialogues")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.out.endsWith(cat.msg(380) + '\n'), qPrintable(r.out));
        QVERIFY2(r.out.contains(dir.filePath("dialogues/")), qPrintable(r.out));
        QVERIFY(readBytes(dir.filePath("dialogues/self.txt")).contains("locked"));
        r = cli({"dialogues", adv, dir.filePath("dialogues"), "--language", "klingon"}, dir.path());
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QStringLiteral("--language: the project has no language \"klingon\"\n"));

        r = cli({"soundlists", adv, dir.filePath("sounds")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, dir.filePath("sounds/sounds.txt") + '\n' + cat.msg(380) + '\n'); // no music played
        QVERIFY(readBytes(dir.filePath("sounds/sounds.txt")).contains("ding"));
        r = cli({"soundlists", adv, dir.filePath("sounds"), "--only", "whistle"}, dir.path());
        QCOMPARE(r.status, 2);
    }
    void fonts()
    {
        QTemporaryDir dir;
        const MessageCatalog cat;
        const QString adv = sampleOnDisk(dir.path());
        QVERIFY2(adv.endsWith(".adv"), qPrintable(adv));
        Run r = cli({"fonts", adv, dir.filePath("fonts")}, dir.path());
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out, cat.msg(125) + " (1)\n");
        // No runtime font file in this editor folder: said, and the rendered fonts are complete.
        QVERIFY2(r.err.contains("font.dat: not found"), qPrintable(r.err));
        QCOMPARE(ZipReader(dir.filePath("fonts/fonts.dat")).entryNames(), QStringList{"font.001"});

        ProjectModel none;
        none.allesneu(cat);
        QVERIFY(saveProject(none, dir.path(), "nofonts").ok);
        r = cli({"fonts", dir.filePath("nofonts.adv"), dir.filePath("none")}, dir.path());
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, cat.msg(117) + '\n');
    }
    void openErrors()
    {
        QTemporaryDir dir;
        Run r = cli({"info", dir.filePath("game.adz")});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(dir.filePath("game.adz") + " is not ADV Fileformat"));
        r = cli({"info", dir.filePath("none.adv")});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(dir.filePath("none.adv") + " is not existent."));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
