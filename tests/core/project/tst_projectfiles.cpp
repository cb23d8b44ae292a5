#include "platform/ansicodec.h"
#include "platform/ziparchive.h"
#include "platform/zipentrystream.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectsession.h"
#include "project/projectmodel.h"
#include "support/handzip.h"
#include "support/recordcompare.h"
#include "support/progressrecorder.h"
#include "support/sampleproject.h"
#include "support/withoutroot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>


using namespace mb;

namespace {

QStringList linesOf(const QByteArray &bytes)
{
    QStringList l = ansi::decode(bytes).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.back().isEmpty())
        l.removeLast();
    return l;
}

void writeAdv(const QString &path, const QString &name, const std::array<QByteArray, 4> &files, int count = 4)
{
    ZipWriter zip(path);
    for (int i = 0; i < count; ++i)
        QVERIFY(zip.addBytes(name + QStringLiteral(".00%1").arg(i + 1), files[i], 9));
    QVERIFY2(zip.close(), qPrintable(zip.errorString()));
}

// The sample project with a script long enough (some 30000 lines of .003) that an open reports
// several times on the way, saved as <folder>/long.adv. Returns the unpacked size of its four
// companion files, as the archive declares them: more than 1 MiB, so that it is read on two
// threads (the session's tests stop the open of a smaller one, read on one).
qint64 saveLongProject(const QString &folder)
{
    auto m = testing::sampleProject();
    for (int i = 0; i < 30000; ++i)
        m->cutscenes[1].script << QStringLiteral("speech(self;Line %1 of a long script)").arg(i);
    if (!saveProject(*m, folder, "long").ok)
        return -1;
    ZipReader zip(QDir(folder).filePath("long.adv"));
    qint64 total = 0;
    for (const QString &name : zip.entryNames())
        total += zip.stat(name)->size;
    return total;
}

} // namespace

class TestProjectFiles : public QObject
{
    Q_OBJECT
private slots:
    void saveAndOpenGiveTheSameProject();
    void elementsSharingANameKeepTheirScripts();
    void bigProjectOpensWhileUnpacked();
    void layoutDetails();
    void resolutionLine_data();
    void resolutionLine();
    void emptyProject();
    void backups();
    void saveAsName_data();
    void saveAsName();
    void keepCompanionFiles();
    void openErrors_data();
    void openErrors();
    void damagedFilesLeaveEmptyProject_data();
    void damagedFilesLeaveEmptyProject();
    void damagedEntryIsToldAsDamage_data();
    void damagedEntryIsToldAsDamage();
    void failedSaveKeepsOldFile();
    void treeLoadLevels();
    void openReportsTheBytesRead();
    void openStoppedByItsProgress_data();
    void openStoppedByItsProgress();
    void saveReportsProgressAndCannotBeStopped();
};

void TestProjectFiles::saveAndOpenGiveTheSameProject()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    QVERIFY(saveProject(*m, dir.path(), "sample").ok);

    ProjectModel loaded;
    const ProjectFileResult r = openProject(loaded, cat, dir.filePath("sample.adv"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.statusMessage, 103);
    QCOMPARE(r.version, QStringLiteral("3.2"));
    // Every field as it was, except the cell script whose has-script flag is off: it is not saved.
    auto expected = testing::sampleProject(cat);
    expected->rooms[1].walkmap.removeScript(3, 3);
    MB_COMPARE_RECORDS(loaded, *expected);
    QVERIFY(!loaded.rooms[1].walkmap.findScript(3, 3));
    QCOMPARE(loaded.names[NameLists::Bools], QStringList({"doorOpen", "met0"}));
    QCOMPARE(loaded.names[NameLists::FlashMovies], QStringList{"intro"});
    QCOMPARE(loaded.names[NameLists::RoomNames], QStringList({"cellar", "hall", "last"}));
    QCOMPARE(loaded.names[NameLists::Languages], QStringList({"deutsch", "origin"}));
}

// Names are unique in a project the editor made, but a file from elsewhere may give two items,
// rooms, room characters or placements of one room the same name: each keeps its own script
// (the file holds one section per element, in slot order), and the project saves as it was read.
void TestProjectFiles::elementsSharingANameKeepTheirScripts()
{
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    auto script = [](const QString &text) { return Script{QStringLiteral("on(click)"), "{ " + text + " }"}; };
    m->items[2] = m->items[1];
    m->items[2].script = script("second key");
    m->rooms[2] = m->rooms[1]; // a second "hall", placement door1 and the cell script included
    m->rooms[2].script = script("second hall");
    m->rooms[2].objects[0].script = script("door of the second hall");
    m->rooms[2].walkmap.script(150, 90) = script("cell of the second hall");
    m->rooms[2].objects[1] = m->rooms[2].objects[0]; // door1 twice in the second hall
    m->rooms[2].objects[1].script = script("second door1 of the second hall");
    m->rooms[3].name = QStringLiteral("cellar");
    m->roomChars[2] = m->roomChars[1];
    m->roomChars[2].script = script("second bob1");

    const CompanionFiles written = writeCompanionFiles(*m);
    ProjectModel loaded;
    const ProjectFileResult r = readCompanionFiles(loaded, cat, written, true, QStringLiteral("shared"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(loaded.items[1].script, m->items[1].script);
    QCOMPARE(loaded.items[2].script, script("second key"));
    QCOMPARE(loaded.rooms[1].script, m->rooms[1].script);
    QCOMPARE(loaded.rooms[2].script, script("second hall"));
    QCOMPARE(loaded.rooms[1].objects[0].script, m->rooms[1].objects[0].script);
    QCOMPARE(loaded.rooms[2].objects[0].script, script("door of the second hall"));
    QCOMPARE(loaded.rooms[2].objects[1].script, script("second door1 of the second hall"));
    QCOMPARE(loaded.rooms[1].walkmap.script(150, 90), m->rooms[1].walkmap.script(150, 90));
    QCOMPARE(loaded.rooms[2].walkmap.script(150, 90), script("cell of the second hall"));
    QCOMPARE(loaded.roomChars[1].script, m->roomChars[1].script);
    QCOMPARE(loaded.roomChars[2].script, script("second bob1"));
    QCOMPARE(writeCompanionFiles(loaded).files, written.files);
}

// A .002 of many pieces: its lines arrive while it is unpacked, walkmap lines across the places
// where the unpacking hands on a piece.
void TestProjectFiles::bigProjectOpensWhileUnpacked()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    auto expected = testing::sampleProject(cat);
    expected->rooms[1].walkmap.removeScript(3, 3); // its has-script flag is off: not saved
    for (int i = 3; i <= 80; ++i) {
        Rroom &r = expected->rooms[i];
        r.name = QStringLiteral("room%1").arg(i);
        r.width = 1280;
        r.height = 480;
        for (int col = 1; col <= Walkmap::Columns; col += 1 + i % 3)
            for (int row = 1 + i % 5; row <= Walkmap::Rows; row += 2)
                r.walkmap.setBlocked(col, row, false);
        r.walkmap.setHasScript(i % 190 + 1, i % 90 + 1, true);
        r.walkmap.script(i % 190 + 1, i % 90 + 1) = {QStringLiteral("on(enter)"), QStringLiteral("{ loadroom(hall;1) }")};
        r.objects[0].instanceName = QStringLiteral("door%1").arg(i);
        r.objects[0].objectName = expected->objects[1].name;
        expected->names[NameLists::RoomNames] << r.name;
        expected->names[NameLists::ObjectInstances] << r.objects[0].instanceName;
    }
    NameLists::sort(expected->names[NameLists::RoomNames]);
    NameLists::sort(expected->names[NameLists::ObjectInstances]);
    QVERIFY(saveProject(*expected, dir.path(), "sample").ok);
    QVERIFY(writeCompanionFiles(*expected).files[1].size() > 8 * ZipEntryStream::PieceSize);

    ProjectModel loaded;
    const ProjectFileResult r = openProject(loaded, cat, dir.filePath("sample.adv"));
    QVERIFY2(r.ok, qPrintable(r.message));
    MB_COMPARE_RECORDS(loaded, *expected);
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
    MB_COMPARE_RECORDS(back, m);
}

void TestProjectFiles::backups()
{
    QTemporaryDir editor, project;
    auto m = testing::sampleProject();
    SaveOptions backup;
    backup.editorFolder = editor.path();
    backup.makeBackup = true;
    const QDateTime at(QDate(2026, 3, 7), QTime(12, 0, 0)); // 0.5 of the day
    const ProjectFileResult r1 = saveProject(*m, project.path(), "sample", backup, at);
    QVERIFY(r1.ok);
    QCOMPARE(r1.backupPath, QDir(editor.path()).filePath("backups/2026 Mar/07/sample 500.adv"));
    QVERIFY(QFile::exists(r1.backupPath));
    // 40 seconds later is the same 1.4-minute step: the backup is replaced, not added.
    QVERIFY(saveProject(*m, project.path(), "sample", backup, at.addSecs(40)).ok);
    QCOMPARE(QDir(QDir(editor.path()).filePath("backups/2026 Mar/07")).entryList(QDir::Files).size(), 1);
    QVERIFY(saveProject(*m, project.path(), "sample", backup, at.addSecs(100)).ok);
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
    const MessageCatalog cat;
    ProjectSession session(cat);
    session.replace(testing::sampleProject());
    QVERIFY(session.saveAs(dir.filePath(chosen)).ok);
    QCOMPARE(session.model().settings.projectName, name);
    QCOMPARE(session.projectFolder(), QDir(dir.path()).absolutePath());
    QVERIFY(!session.isModified());
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
    SaveOptions keep;
    keep.keepCompanionFiles = true;
    QVERIFY(saveProject(*m, dir.path(), "sample", keep).ok);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({"sample.001", "sample.002", "sample.003", "sample.004", "sample.adv"}));
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
    // The damage is done to the hand-written reference project, so the lines are fixed.
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected"); // the message after "<path>"
    QTest::newRow("not a zip") << "garbage" << " is not ADV Fileformat: not a zip archive (Not a zip archive)";
    QTest::newRow("no .002") << "no002" << ": the archive has no .002 file";
    QTest::newRow("truncated .002") << "truncate002" << ": .002 line 3001: the file ends too early";
    QTest::newRow("letters for a number") << "number001" << ": .001 line 5: \"twelve\" is not a number";
    QTest::newRow("bad boolean") << "bool002" << ": .002 line 818: \"maybe\" is not a boolean";
}

void TestProjectFiles::damagedFilesLeaveEmptyProject()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    std::array<QByteArray, 4> f;
    for (int i = 0; i < 4; ++i) {
        QFile in(QFINDTESTDATA(QStringLiteral("data/reference/reference.00%1").arg(i + 1)));
        QVERIFY(in.open(QIODevice::ReadOnly));
        f[i] = in.readAll();
    }
    const QString path = dir.filePath("bad.adv");
    if (damage == "garbage") {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("PK\x03\x04 this is not really a zip archive");
    } else {
        if (damage == "truncate002") { // after line 3000, inside the first character
            qsizetype end = 0;
            for (int line = 0; line < 3000; ++line)
                end = f[1].indexOf('\n', end) + 1;
            f[1].truncate(end);
        }
        if (damage == "number001")
            f[0].replace("Garamond;-1;0;14", "Garamond;-1;0;twelve");
        if (damage == "bool002")
            f[1].replace("//Object door\r\n40\r\n90\r\n-1", "//Object door\r\n40\r\n90\r\nmaybe");
        writeAdv(path, "bad", f, damage == "no002" ? 1 : 4);
    }
    MessageCatalog cat;
    ProjectModel m;
    m.items[1].name = "leftover";
    const ProjectFileResult r = openProject(m, cat, path);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, path + expected);
    QCOMPARE(m.items.usedCount(), 0);
    QCOMPARE(m.media[Images].usedCount(), 0);
    QCOMPARE(m.gameTree.countBelowRoots(), 0);
    QCOMPARE(int(m.gameTree.roots.size()), 5);
    // Nothing was unpacked beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"bad.adv"});
}

void TestProjectFiles::damagedEntryIsToldAsDamage_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to"); // as long as `from`: only the stored CRC is wrong
    QTest::newRow(".002 lines still read") << 1 << QByteArray("//Object door\r\n") << QByteArray("//Object dood\r\n");
    QTest::newRow(".002 lines that stop the reader") << 1 << QByteArray("//Object door\r\n40\r\n90\r\n-1")
                                                     << QByteArray("//Object door\r\n40\r\n90\r\nxx");
    QTest::newRow(".001 lines that stop the reader") << 0 << QByteArray("Garamond;-1;0;14") << QByteArray("Garamond;-1;0;1x");
    QTest::newRow(".003 lines still read") << 2 << QByteArray("//Room ") << QByteArray("//Roxm ");
}

// An entry whose data does not match its CRC is damage, whatever the reader made of its lines
// before the CRC was known; the reader may stop long before the end of the entry.
void TestProjectFiles::damagedEntryIsToldAsDamage()
{
    QFETCH(int, part);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QList<testing::HandEntry> entries;
    for (int i = 0; i < 4; ++i) {
        QFile in(QFINDTESTDATA(QStringLiteral("data/reference/reference.00%1").arg(i + 1)));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray data = in.readAll();
        if (i == 1) // lines outside any record, skipped: the entry is unpacked in many pieces
            data += QByteArray("stray line\r\n").repeated(300000);
        entries.append({QByteArray("bad.00") + QByteArray::number(i + 1), data});
    }
    QByteArray zip = testing::handZip(entries);
    const testing::EntryHeaders h = testing::findEntryHeaders(zip, entries[part].name);
    const qsizetype at = zip.indexOf(from, h.dataAt);
    QVERIFY(at >= 0 && at < h.dataAt + entries[part].data.size());
    zip.replace(at, from.size(), to);

    QTemporaryDir dir;
    const QString path = dir.filePath("bad.adv");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(zip) == zip.size());
    out.close();
    MessageCatalog cat;
    ProjectModel m;
    const ProjectFileResult r = openProject(m, cat, path);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.startsWith(path + " " + cat.msg(151) + ": " + QString::fromLatin1(entries[part].name)),
             qPrintable(r.message));
    QVERIFY2(r.message.contains("damaged"), qPrintable(r.message));
    QCOMPARE(m.items.usedCount() + m.rooms.usedCount() + m.media[Images].usedCount(), 0);

    // The same bytes with their own CRC open, or stop at the line.
    entries[part].data.replace(from, to);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(testing::handZip(entries)) > 0);
    out.close();
    const ProjectFileResult sound = openProject(m, cat, path);
    QVERIFY2(sound.ok || sound.message.contains(" line "), qPrintable(sound.message));
}

void TestProjectFiles::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const MessageCatalog cat;
    ProjectSession session(cat);
    session.replace(testing::sampleProject(), dir.path());
    QVERIFY(session.save().ok);
    QFile old(dir.filePath("sample.adv"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    testing::WithoutRoot user({dir.path()});
    if (!user.ok())
        QSKIP(qPrintable(user.reason()));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    session.editRecord<Rroom>(ProjectChange::element(Rooms, 5), "name", [](Rroom &r) { r.name = "new room"; });
    QVERIFY(session.isModified());
    const ProjectFileResult r = session.save();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!r.ok);
    // The message names the file that could not be written and why.
    QVERIFY2(r.message.startsWith(dir.filePath("sample.adv") + ": ") && r.message.endsWith("Permission denied"),
             qPrintable(r.message));
    QVERIFY(session.isModified());
    QVERIFY(!session.isBusy());
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

void TestProjectFiles::openReportsTheBytesRead()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    const qint64 total = saveLongProject(dir.path());
    QVERIFY2(total > (qint64(1) << 20), qPrintable(QString::number(total))); // read on two threads
    testing::ProgressRecorder progress;
    ProjectModel withProgress;
    const ProjectFileResult r = openProject(withProgress, cat, dir.filePath("long.adv"), progress.receiver());
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(progress.problem(total, true), QString());
    QVERIFY2(progress.reports.size() >= 4, qPrintable(QString::number(progress.reports.size())));
    // Counting changes nothing of what is read.
    ProjectModel without;
    QVERIFY(openProject(without, cat, dir.filePath("long.adv")).ok);
    MB_COMPARE_RECORDS(withProgress, without);
}

void TestProjectFiles::openStoppedByItsProgress_data()
{
    QTest::addColumn<int>("stopAt"); // the report that asks to stop; -1 the report of the end
    QTest::newRow("first report") << 1;
    QTest::newRow("on the way") << 3;
    QTest::newRow("the report of the end") << -1;
}

void TestProjectFiles::openStoppedByItsProgress()
{
    QFETCH(int, stopAt);
    QTemporaryDir dir;
    MessageCatalog cat;
    QVERIFY(saveLongProject(dir.path()) > 0);
    const QString adv = dir.filePath("long.adv");
    // A save that died here before: an open that stops removes nothing.
    QVERIFY(QFile(adv + ".saving-AbC123").open(QIODevice::WriteOnly));

    testing::ProgressRecorder progress;
    progress.stopAt = std::max(stopAt, 0);
    progress.stopAtEnd = stopAt < 0;
    ProjectModel m;
    const ProjectFileResult r = openProject(m, cat, adv, progress.receiver());
    QVERIFY(r.cancelled);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QString());
    // Nothing is reported after the stop.
    if (stopAt > 0)
        QCOMPARE(progress.reports.size(), stopAt);
    else
        QCOMPARE(progress.reports.last().first, progress.reports.last().second);
    QCOMPARE(progress.problem(progress.reports.first().second, false), QString());
    // Nothing half read: the model is a new, empty project.
    QCOMPARE(m.cutscenes.usedCount(), 0);
    QCOMPARE(m.rooms.usedCount(), 0);
    QVERIFY(QFile::exists(adv + ".saving-AbC123"));
}

void TestProjectFiles::saveReportsProgressAndCannotBeStopped()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    for (int i = 0; i < 20000; ++i)
        m->cutscenes[1].script << QStringLiteral("speech(self;Line %1 of a long script)").arg(i);
    testing::ProgressRecorder progress;
    progress.stopAt = 1; // asks to stop at once, which a save does not do
    SaveOptions options;
    options.progress = progress.receiver();
    const ProjectFileResult r = saveProject(*m, dir.path(), "long", options);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(progress.problem(progress.reports.first().second, true), QString());
    // The compression, the longest step, reports on its way.
    QVERIFY2(progress.reports.size() >= 5, qPrintable(QString::number(progress.reports.size())));
    ProjectModel loaded;
    QVERIFY(openProject(loaded, cat, dir.filePath("long.adv")).ok);
    QCOMPARE(loaded.cutscenes[1].script, m->cutscenes[1].script);
}

QTEST_GUILESS_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
