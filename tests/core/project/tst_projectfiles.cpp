#include "platform/ansicodec.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace mb;

namespace {

QStringList linesOf(const QByteArray &bytes)
{
    QStringList l = ansi::decode(bytes).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.back().isEmpty())
        l.removeLast();
    return l;
}

QByteArray crlf(const QStringList &lines)
{
    return ansi::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void writeAdv(const QString &path, const QString &name, const std::array<QByteArray, 4> &files, int count = 4)
{
    ZipWriter zip(path);
    for (int i = 0; i < count; ++i)
        QVERIFY(zip.addBytes(name + QStringLiteral(".00%1").arg(i + 1), files[i], 9));
    QVERIFY2(zip.close(), qPrintable(zip.errorString()));
}

// Files of older versions, laid out as those versions wrote them: a header with the version,
// then only the lines the version had.
struct OldFiles
{
    QString version;
    int v;
    bool has(int from, bool in99) const { return v == 99 ? in99 : v >= from; }

    std::array<QByteArray, 4> make() const
    {
        const QString header = version + QStringLiteral(" Mossbramble Project File. DO NOT MODIFY!!");
        QStringList a{header, QString()};
        if (has(8, false))
            a << "C:\\old";
        a << "Resolution X : 320";
        if (has(6, false))
            a << (has(13, false) ? QStringLiteral("Arial;-1;0;12;1;0;;1;2") : QStringLiteral("Arial;-1;0;12;1;0"));
        a << "GameFont : Arial" << "GameFont2 : Arial" << "GameFont3 : Arial";
        if (has(5, false))
            a << "GameFont4 : " << "GameFont5 : " << "GameFont6 : ";
        a << "Gameicon : ";
        if (has(7, false))
            a << "loading";
        if (has(10, false))
            a << "0" << "";
        a << "Startskript : intro";
        if (has(4, true))
            a << "main" << "anywhere";
        a << "Screenchange : 3" << "Checks : 1011";
        if (has(11, false))
            a << "5";
        if (has(2, true))
            a << "-1" << "menuroom";
        a << "Taskheight : 100" << "Taskroom : bar" << "Taskpopup : 1" << "Setup : 10;hide;1";
        if (has(14, false))
            a << "0" << "1" << "2" << "3";
        a << "Targacolor : 1" << "Bordercolor : 2" << "Backgroundcolor : 3" << "Textcolor : 4" << "Offtextcolor : 5";
        if (has(5, true))
            a << "2" << "3" << "6" << "7" << "8";
        if (has(15, false))
            a << "9";
        if (has(5, true))
            a << "-1";
        if (has(16, true))
            a << "0";
        if (has(17, true))
            a << "-1" << "0" << "coinroom" << "300" << "20" << "30";
        a << "Linktext : with" << "Givelink : to" << "Walktext : Walk to" << "Booleans :" << "seen-1"
          << "Commands :" << "look" << "Look at" << "Mediapool :" << "11IMAGES" << "\"04hallbg" << "11MUSIC"
          << "11SOUNDS";
        if (has(3, true))
            a << "11VIDEO";
        a << "Gamepool :" << "111) CHARACTER" << "\"15bob" << "112) SCRIPTS" << "113) ITEMS" << "114) OBJECTS"
          << "115) ROOMS" << "\"05hall" << "Images :" << "hallbg" << "C:\\x\\hallbg.png" << "Sounds :"
          << "Music :" << "theme" << "C:\\x\\theme.xm";
        if (has(3, true))
            a << "Movie :" << "intro" << "C:\\x\\intro.avi";

        QStringList b{header, QString()};
        for (int c = 0; c < 10; ++c) {
            for (int f = 0; f < 25; ++f)
                b << QString();
            b << "1" << "20" << "1" << "1";
        }
        b << "//Item key";
        for (int s = 0; s < (has(22, false) ? 10 : 1); ++s) {
            for (int f = 0; f < 25; ++f)
                b << (f == 0 ? QStringLiteral("keyimg;a\u00AFb") : QStringLiteral(";"));
            b << "9";
        }
        b << "//Character bob" << "255" << "2";
        if (has(8, false))
            b << "-1" << "0";
        if (has(12, false))
            b << "0";
        if (has(21, false))
            b << "0";
        if (has(8, false))
            b << "steps";
        if (has(20, false)) {
            QString extras;
            for (int i = 0; i < 20; ++i)
                extras += QStringLiteral("E%1;").arg(i + 1);
            b << extras;
        }
        if (has(8, false))
            b << "0";
        if (has(9, false))
            b << "90";
        for (int s = 0; s < 36; ++s) {
            b << "10" << "20" << "1" << "2";
            for (int f = 0; f < 30; ++f)
                b << "" << "" << "0;0;0;0;";
            b << "20";
        }
        b << "//Rcharacter ghost1" << "ghost" << "hall" << "1" << "2" << "0" << "0" << "0";
        b << "//Rcharacter bob1" << "bob" << "hall" << "5" << "6" << "0" << "0" << "-1";
        b << "//Room hall" << "640" << "480" << "0" << "0" << "5" << "10";
        if (has(5, true))
            b << "4";
        b << "hallbg";
        if (has(1, true))
            b << "";
        if (has(19, true))
            b << "-1";
        if (has(18, true))
            for (int k = 0; k < 3; ++k)
                b << "0;-1" << "0" << "" << "15" << "-10" << "-7" << "125" << "1;2;3;4;5;6;7;8;";
        b << "0" << "0;0;0;0;1,5;";
        // The short walkmap of old files: 96 columns x 48 rows; cell (3,4) free with a script.
        QString walk;
        for (int col = 1; col <= 96; ++col)
            for (int row = 1; row <= 48; ++row)
                walk += (col == 3 && row == 4) ? QStringLiteral("01") : QStringLiteral("10");
        b << walk;
        b << ";;Roomobject chest1" << "chest" << "1" << "2" << "0" << "0" << "0" << "0";

        QStringList c{header, QString(), "//Cutscene intro", "speech(bob;hi)", "//Character bob1", "x",
                      "//Character ghost1", "lost", "//Walkmap 0304hall", "on(enter)", "//Room nowhere", "gone"};
        return {crlf(a), crlf(b), crlf(c), QByteArray()};
    }
};

} // namespace

class TestProjectFiles : public QObject
{
    Q_OBJECT
private slots:
    void roundTripIsByteIdentical();
    void layoutDetails();
    void resolutionLine_data();
    void resolutionLine();
    void emptyProject();
    void backups();
    void saveAsName_data();
    void saveAsName();
    void keepCompanionFiles();
    void oldVersions_data();
    void oldVersions();
    void openErrors_data();
    void openErrors();
    void damagedFilesLeaveEmptyProject_data();
    void damagedFilesLeaveEmptyProject();
    void failedSaveKeepsOldFile();
    void treeLoadLevels();
};

void TestProjectFiles::roundTripIsByteIdentical()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    const CompanionFiles first = writeCompanionFiles(*m);
    QVERIFY(saveProject(*m, dir.path(), "sample").ok);
    QVERIFY(!m->modified);

    ProjectModel loaded;
    const ProjectFileResult r = openProject(loaded, cat, dir.filePath("sample.adv"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.statusMessage, 103);
    QCOMPARE(r.version, QStringLiteral("3.2"));
    const CompanionFiles second = writeCompanionFiles(loaded);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(second.files[i], first.files[i]);

    // A few values by hand, so the identity is not two symmetric faults.
    QCOMPARE(loaded.cutscenes[1].script[0], m->cutscenes[1].script[0]);
    QCOMPARE(loaded.items[1].frames[0][0].script, QStringLiteral("playsound(ding;80);setbool(a;true)"));
    QCOMPARE(loaded.objects[1].frames[1][2].y2, -4);
    QCOMPARE(loaded.rooms[1].factors[1], 1.25);
    QCOMPARE(loaded.rooms[1].fx[1].dragX, 16);
    QVERIFY(!loaded.rooms[1].walkmap.blocked(192, 96));
    QVERIFY(loaded.rooms[1].walkmap.hasScript(150, 90));
    QCOMPARE(loaded.rooms[1].walkmap.script(150, 90).size(), 2);
    QVERIFY(!loaded.rooms[1].walkmap.findScript(3, 3));
    QCOMPARE(loaded.rooms[1].objects[0].script[1], QStringLiteral("{ speech(self;locked) }"));
    QCOMPARE(loaded.roomChars[1].script, QStringList{"on(click)"});
    QCOMPARE(loaded.settings.projectName, QStringLiteral("sample"));
    QCOMPARE(loaded.projectFolder, QDir(dir.path()).absolutePath());
    QCOMPARE(loaded.names[NameLists::Bools], QStringList({"doorOpen", "met0"}));
    QCOMPARE(loaded.names[NameLists::FlashMovies], QStringList{"intro"});
    QCOMPARE(loaded.names[NameLists::RoomNames], QStringList({"cellar", "hall", "last"}));
    QCOMPARE(loaded.names[NameLists::Languages], QStringList({"deutsch", "origin"}));
    QCOMPARE(loaded.languages[1].lists.voicespeech, QStringList{"hallo.wav"});
    QVERIFY(loaded.mediaChanged[Images] && !loaded.modified);
}

void TestProjectFiles::layoutDetails()
{
    auto m = testing::sampleProject();
    m->mediaTree.root(0)->addChild("dots...", nodeimage::Folder);
    const CompanionFiles f = writeCompanionFiles(*m);
    const QStringList a = linesOf(f.files[0]);
    QCOMPARE(a[0], QStringLiteral("3.2 Mossbramble Project File. DO NOT MODIFY!!"));
    QCOMPARE(a[1], QString());
    QCOMPARE(a[2], QStringLiteral("C:\\games\\sample"));
    QCOMPARE(a[4], QStringLiteral("Arial;-1;0;12;3;238;2;1;50"));
    QCOMPARE(a[5], QStringLiteral("GameFont : Arial"));
    QCOMPARE(a[10], QStringLiteral("GameFont6 : Times"));
    QCOMPARE(a[19], QStringLiteral("Checks : 00110101"));
    QCOMPARE(a[26], QStringLiteral("Setup : 11;show;2"));
    QCOMPARE(a[27], QStringLiteral("-1"));
    QCOMPARE(a[30], QStringLiteral("40"));
    QCOMPARE(a[31], QStringLiteral("Targacolor : 16711935"));
    QCOMPARE(a[35], QStringLiteral("Offtextcolor : 16777215;16777215"));
    QCOMPARE(a[36], QStringLiteral("3"));
    QCOMPARE(a[48], QStringLiteral("-11"));
    QCOMPARE(a[50], QStringLiteral("Linktext : ") + MessageCatalog().msg(333));
    QCOMPARE(a.mid(53, 3), QStringList({"Booleans :", "doorOpen-1", "met00"}));
    QVERIFY(a.contains(QStringLiteral("\"11dots")));
    QVERIFY(a.contains(QStringLiteral("\"\"04hallbg")));
    QVERIFY(a.contains(QStringLiteral("00intro")) == false);
    QVERIFY(a.contains(QStringLiteral("\"00intro")));
    QVERIFY(f.files[0].contains("\r\n"));
    QVERIFY(!f.files[0].contains("\n\n"));

    const QStringList b = linesOf(f.files[1]);
    QVERIFY(f.files[1].contains("playsound(ding\xAF" "80)\xAFsetbool(a\xAFtrue)"));
    QVERIFY(b.contains(QStringLiteral("1;-2;3;-4;a\u00AFb")));
    const int room = int(b.indexOf(QStringLiteral("//Room hall")));
    QVERIFY(room > 0);
    QCOMPARE(b[room + 11], QStringLiteral("0;0")); // first shape's booleans
    QCOMPARE(b[room + 19], QStringLiteral("0;-1"));
    QCOMPARE(b[room + 35], QStringLiteral("0"));
    QCOMPARE(b[room + 36], QStringLiteral("1;-2;3;4;0.5;1.25"));
    QCOMPARE(b[room + 37].size(), 36864);
    QCOMPARE(b[room + 37].left(4), QStringLiteral("0010"));
    QCOMPARE(b[room + 38], QStringLiteral(";;Roomobject door1"));

    const QStringList c = linesOf(f.files[2]);
    QVERIFY(c.contains(QStringLiteral("//Walkmap #150090hall")));
    QVERIFY(!c.contains(QStringLiteral("//Walkmap #003003hall")));
    QVERIFY(c.contains(QStringLiteral("//Object door1;hall")));
    QVERIFY(c.contains(QStringLiteral("//Character bob1")));
    QVERIFY(f.files[2].contains(ansi::encode(QStringLiteral("Grüße, café ½ – \u20AC"))));

    const QStringList d = linesOf(f.files[3]);
    QCOMPARE(d.mid(0, 3), QStringList({"*/*origin;speech", "Hello", "*/*origin;voicespeech"}));
    QVERIFY(d.contains(QStringLiteral("*/*deutsch;kommandos")));
}

void TestProjectFiles::resolutionLine_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("line");
    QTest::newRow("640x480") << 0 << "Resolution X : 640";
    QTest::newRow("320x200") << 1 << "Resolution X : 200";
    QTest::newRow("320x240") << 2 << "Resolution X : 320";
    QTest::newRow("800x600") << 3 << "Resolution X : 800";
    QTest::newRow("1024x768") << 4 << "Resolution X : 1024";
}

void TestProjectFiles::resolutionLine()
{
    QFETCH(int, choice);
    QFETCH(QString, line);
    MessageCatalog cat;
    ProjectModel m;
    m.allesneu(cat);
    m.settings.setResolutionChoice(choice);
    const CompanionFiles f = writeCompanionFiles(m);
    QCOMPARE(linesOf(f.files[0])[3], line);
    ProjectModel back;
    QVERIFY(readCompanionFiles(back, cat, f, true, "x").ok);
    QCOMPARE(back.settings.resolutionChoice, choice);
    QCOMPARE(back.settings.gameHeight, m.settings.gameHeight);
}

void TestProjectFiles::emptyProject()
{
    MessageCatalog cat;
    ProjectModel m;
    m.allesneu(cat);
    const CompanionFiles f = writeCompanionFiles(m);
    QCOMPARE(linesOf(f.files[2]), QStringList({QString::fromLatin1(kProjectHeader), QString()}));
    const QStringList a = linesOf(f.files[0]);
    for (const char *key : {"Booleans :", "Commands :", "Mediapool :", "Gamepool :", "Images :", "Sounds :",
                            "Music :", "Movie :"})
        QVERIFY2(a.contains(QString::fromLatin1(key)), key);
    QCOMPARE(linesOf(f.files[3]).size(), 9);
    ProjectModel back;
    QVERIFY(readCompanionFiles(back, cat, f, true, "x").ok);
    QCOMPARE(writeCompanionFiles(back).files[0], f.files[0]);
}

void TestProjectFiles::backups()
{
    QTemporaryDir editor, project;
    auto m = testing::sampleProject();
    m->editorFolder = editor.path();
    m->makeBackup = true;
    const QDateTime at(QDate(2026, 3, 7), QTime(12, 0, 0)); // 0.5 of the day
    const ProjectFileResult r1 = saveProject(*m, project.path(), "sample", at);
    QVERIFY(r1.ok);
    QCOMPARE(r1.backupPath, QDir(editor.path()).filePath("backups/2026 Mar/07/sample 500.adv"));
    QVERIFY(QFile::exists(r1.backupPath));
    // 40 seconds later is the same 1.4-minute step: the backup is replaced, not added.
    QVERIFY(saveProject(*m, project.path(), "sample", at.addSecs(40)).ok);
    QCOMPARE(QDir(QDir(editor.path()).filePath("backups/2026 Mar/07")).entryList(QDir::Files).size(), 1);
    QVERIFY(saveProject(*m, project.path(), "sample", at.addSecs(100)).ok);
    QCOMPARE(QDir(QDir(editor.path()).filePath("backups/2026 Mar/07")).entryList(QDir::Files).size(), 2);
    QCOMPARE(backupPath("/e", "p", QDateTime(QDate(1999, 5, 1), QTime(0, 0))), QStringLiteral("/e/backups/0 0/0/p 000.adv"));
    QCOMPARE(backupPath("/e", "p", QDateTime(QDate(2028, 2, 29), QTime(23, 59, 59))),
             QStringLiteral("/e/backups/2028 Feb/29/p 999.adv"));
}

void TestProjectFiles::saveAsName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("adv removed") << "game.adv" << "game";
    QTest::newRow("other extension kept") << "game.v2" << "game.v2";
    QTest::newRow("no extension") << "game" << "game";
}

void TestProjectFiles::saveAsName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    QVERIFY(saveProjectAs(*m, dir.filePath(chosen)).ok);
    QCOMPARE(m->settings.projectName, name);
    QVERIFY(QFile::exists(dir.filePath(name + ".adv")));
    ZipReader zip(dir.filePath(name + ".adv"));
    QCOMPARE(zip.entryNames(), QStringList({name + ".001", name + ".002", name + ".003", name + ".004"}));
    QCOMPARE(zip.compressionMethod(name + ".002"), 8);
    QVERIFY(!zip.isEncrypted(name + ".001"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name + ".adv"});
}

void TestProjectFiles::keepCompanionFiles()
{
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    m->keepCompanionFiles = true;
    QVERIFY(saveProject(*m, dir.path(), "sample").ok);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({"sample.001", "sample.002", "sample.003", "sample.004", "sample.adv"}));
}

void TestProjectFiles::oldVersions_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("number");
    QTest::newRow("1.2") << "1.2" << 2;
    QTest::newRow("1.7") << "1.7" << 7;
    QTest::newRow("2.5") << "2.5" << 15;
    QTest::newRow("3.1") << "3.1" << 21;
    QTest::newRow("3.2") << "3.2" << 22;
    QTest::newRow("9.9") << "9.9" << 99;
}

void TestProjectFiles::oldVersions()
{
    QFETCH(QString, version);
    QFETCH(int, number);
    QCOMPARE(projectVersionNumber(version + " x"), number);
    const OldFiles old{version, number};
    MessageCatalog cat;
    ProjectModel m;
    m.lastGameFolder = "from config";
    QTemporaryDir dir;
    writeAdv(dir.filePath("old.adv"), "old", old.make(), 3);
    const ProjectFileResult r = openProject(m, cat, dir.filePath("old.adv"));
    QVERIFY2(r.ok, qPrintable(r.message));

    QCOMPARE(m.lastGameFolder, old.has(8, false) ? QStringLiteral("C:\\old") : QStringLiteral("from config"));
    QCOMPARE(m.settings.gameWidth, 320);
    QCOMPARE(m.fontCount(), old.has(6, false) ? 1 : 0);
    if (old.has(13, false))
        QCOMPARE(m.fonts[1].fading, 2); // the empty shadow field reads as 0

    QCOMPARE(m.settings.startScript, QStringLiteral("intro"));
    QCOMPARE(m.settings.mainScript, old.has(4, true) ? QStringLiteral("main") : QString());
    QCOMPARE(m.settings.screenchange, 3);
    QVERIFY(m.settings.textonoff && !m.settings.itemicon && m.settings.commandtext && m.settings.bedienfeld);
    QVERIFY(!m.settings.oben && !m.settings.protect); // flags beyond the line read as off
    QCOMPARE(m.settings.actionTextHeight, old.has(11, false) ? QStringLiteral("5") : QStringLiteral("0"));
    QCOMPARE(m.settings.taskHeight, QStringLiteral("100"));
    QVERIFY(m.settings.silentDelete && !m.settings.infoLine && m.settings.taskHide);
    QCOMPARE(m.settings.rightClickMode, 1);
    QCOMPARE(m.settings.textsceneStyle, old.has(5, true) ? 1 : 0);
    QCOMPARE(m.settings.shape1, old.has(15, false) ? 9u : 15793151u);
    QCOMPARE(m.settings.muteMusic, !old.has(16, true));
    QCOMPARE(m.settings.coinInterface, old.has(17, true));
    QCOMPARE(m.settings.coinTop, old.has(17, true) ? 20 : 65);
    QCOMPARE(m.commands.walktext, QStringLiteral("Walk to"));
    QCOMPARE(m.commands.bools.size(), size_t(1));
    QCOMPARE(m.names[NameLists::Commands], QStringList{"look"});

    // Trees: the roots in the current language; files before 1.3 gain the video root.
    QCOMPARE(int(m.mediaTree.roots.size()), 4);
    QCOMPARE(m.mediaTree.root(3)->text, cat.msg(9));
    QCOMPARE(m.mediaTree.root(0)->children[0]->text, QStringLiteral("hallbg"));
    QCOMPARE(m.media[Movies].usedCount(), old.has(3, true) ? 1 : 0);
    QCOMPARE(m.media[Music].name(1), QStringLiteral("theme"));

    // Items before 3.2 have one state; the others keep speed 20.
    QCOMPARE(m.items[1].frames[0][0].script, QStringLiteral("a;b"));
    QCOMPARE(int(m.items[1].speed[0]), 9);
    QCOMPARE(int(m.items[1].speed[5]), old.has(22, false) ? 9 : 20);
    const Rcharacter &bob = m.characters[1];
    QCOMPARE(bob.name, QStringLiteral("bob"));
    QCOMPARE(bob.dontzoom, old.has(8, false));
    QCOMPARE(bob.walkSound, old.has(8, false) ? QStringLiteral("steps") : QString());
    QCOMPARE(bob.scale, old.has(9, false) ? 90 : 100);
    QCOMPARE(bob.extraNames[0], old.has(20, false) ? QStringLiteral("E1")
                                : old.has(8, false) ? QStringLiteral("Extra 1") : QString());
    QCOMPARE(int(bob.height[35]), 20);

    // The ghost's character does not exist: its placement is dropped and bob1 moves up.
    QCOMPARE(m.roomChars.usedCount(), 1);
    QCOMPARE(m.roomChars[1].instanceName, QStringLiteral("bob1"));
    QCOMPARE(m.roomChars[1].script, QStringList{"x"});
    QCOMPARE(m.names[NameLists::CharacterInstances], QStringList({"bob1", "self"}));
    // Object placements of missing objects are dropped too.
    const Rroom &hall = m.rooms[1];
    QCOMPARE(hall.objects[0].instanceName, QString());
    QCOMPARE(hall.zoomStep, old.has(5, true) ? 4 : 3);
    QCOMPARE(hall.flag1, old.has(19, true));
    QCOMPARE(hall.fx[0].flag2, old.has(18, true));
    QCOMPARE(hall.fx[0].cornerX[0], old.has(18, true) ? 1 : 105);
    QCOMPARE(hall.factors[0], 1.5);
    QCOMPARE(hall.factors[1], 1.0); // an empty field reads as 1
    // The old 96 x 48 walkmap fills the upper-left part; the old script header finds (3,4).
    QVERIFY(!hall.walkmap.blocked(3, 4));
    QVERIFY(hall.walkmap.hasScript(3, 4));
    QVERIFY(hall.walkmap.blocked(1, 49));
    QVERIFY(hall.walkmap.blocked(97, 1));
    QVERIFY(hall.walkmap.blocked(96, 48));
    QVERIFY(hall.walkmap.findScript(3, 4));
    QCOMPARE(*hall.walkmap.findScript(3, 4), QStringList{"on(enter)"});
    QCOMPARE(m.cutscenes[1].script, QStringList{"speech(bob;hi)"});
    QCOMPARE(m.languages.usedCount(), 0);

    // The upgraded project saves as 3.2 and reads back the same.
    const CompanionFiles upgraded = writeCompanionFiles(m);
    ProjectModel again;
    QVERIFY(readCompanionFiles(again, cat, upgraded, true, "x").ok);
    QCOMPARE(writeCompanionFiles(again).files[1], upgraded.files[1]);
}

void TestProjectFiles::openErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("message");
    QTest::newRow("not adv") << "game.adz" << 151;
    QTest::newRow("missing") << "nothere.adv" << 116;
}

void TestProjectFiles::openErrors()
{
    QFETCH(QString, file);
    QFETCH(int, message);
    MessageCatalog cat("DE");
    ProjectModel m;
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    const ProjectFileResult r = openProject(m, cat, path);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, path + " " + cat.msg(message));
}

void TestProjectFiles::damagedFilesLeaveEmptyProject_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not a zip") << "garbage" << "not a project archive";
    QTest::newRow("no .002") << "no002" << "has no .002";
    QTest::newRow("truncated .002") << "truncate002" << ".002 line";
    QTest::newRow("letters for a number") << "number001" << ".001 line 5: \"twelve\" is not a number";
    QTest::newRow("bad boolean") << "bool002" << "is not a boolean";
}

void TestProjectFiles::damagedFilesLeaveEmptyProject()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    auto sample = testing::sampleProject();
    CompanionFiles f = writeCompanionFiles(*sample);
    const QString path = dir.filePath("bad.adv");
    if (damage == "garbage") {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("PK\x03\x04 this is not really a zip archive");
    } else {
        if (damage == "truncate002")
            f.files[1].truncate(f.files[1].size() / 2);
        if (damage == "number001")
            f.files[0].replace("Arial;-1;0;12", "Arial;-1;0;twelve");
        if (damage == "bool002")
            f.files[1].replace("//Object door\r\n40\r\n90\r\n-1", "//Object door\r\n40\r\n90\r\nmaybe");
        writeAdv(path, "bad", f.files, damage == "no002" ? 1 : 4);
    }
    MessageCatalog cat;
    ProjectModel m;
    m.items[1].name = "leftover";
    const ProjectFileResult r = openProject(m, cat, path);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.startsWith(path), qPrintable(r.message));
    QVERIFY2(r.message.contains(expected), qPrintable(r.message));
    QCOMPARE(m.items.usedCount(), 0);
    QCOMPARE(m.media[Images].usedCount(), 0);
    QCOMPARE(m.gameTree.countBelowRoots(), 0);
    QCOMPARE(int(m.gameTree.roots.size()), 5);
    QVERIFY(!m.busy);
    // Nothing was unpacked beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"bad.adv"});
}

void TestProjectFiles::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    QVERIFY(saveProject(*m, dir.path(), "sample").ok);
    QFile old(dir.filePath("sample.adv"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    bool locked = false;
    if (geteuid() == 0) {
        locked = QProcess::execute("chattr", {"+i", dir.path()}) == 0;
        if (!locked)
            QSKIP("cannot make a folder read-only for root here");
    } else {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    }
    m->rooms[5].name = "new room";
    m->modified = true;
    const ProjectFileResult r = saveProject(*m, dir.path(), "sample");
    if (locked)
        QProcess::execute("chattr", {"-i", dir.path()});
    else
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!r.ok);
    QVERIFY(!r.message.isEmpty());
    QVERIFY(m->modified);
    QVERIFY(!m->busy);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
}

void TestProjectFiles::treeLoadLevels()
{
    // Deeper, same level, and a climb of two levels.
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    CompanionFiles f = writeCompanionFiles(*m);
    f.files[0].replace("115) ROOMS\r\n", "115) ROOMS\r\n\"11a\r\n\"\"11b\r\n\"\"\"05deep\r\n\"\"11c\r\n\"11d\r\n");
    ProjectModel back;
    QVERIFY(readCompanionFiles(back, cat, f, true, "x").ok);
    const TreeNode *rooms = back.gameTree.root(4);
    QCOMPARE(rooms->children[0]->text, QStringLiteral("a"));
    const TreeNode *a = rooms->children[0].get();
    QCOMPARE(a->children.size(), size_t(2));
    QCOMPARE(a->children[0]->children[0]->text, QStringLiteral("deep"));
    QCOMPARE(a->children[0]->children[0]->level(), 3);
    QCOMPARE(a->children[1]->text, QStringLiteral("c"));
    QCOMPARE(rooms->children[1]->text, QStringLiteral("d"));
    QCOMPARE(rooms->children[2]->text, QStringLiteral("ground floor"));
}

QTEST_GUILESS_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
