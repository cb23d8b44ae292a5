#include "build/elementexchange.h"
#include "build/projectexchange.h"
#include "platform/safeextract.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"
#include "support/filebytes.h"
#include "support/recordcompare.h"
#include "support/sampleproject.h"
#include "support/withoutroot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using testing::readBytes;
using testing::writeBytes;

namespace {



void writeZip(const QString &path, const QList<std::pair<QString, QByteArray>> &entries, int level = 0)
{
    ZipWriter zip(path);
    for (const auto &[name, bytes] : entries)
        QVERIFY(zip.addBytes(name, bytes, level));
    QVERIFY2(zip.close(), qPrintable(zip.errorString()));
}

QByteArray zipBytes(const QList<std::pair<QString, QByteArray>> &entries)
{
    QTemporaryDir dir;
    writeZip(dir.filePath("z.zip"), entries);
    return readBytes(dir.filePath("z.zip"));
}

// Every file below the folder, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

// The sample project with its media as real files under `media`, saved into `projectFolder`.
// The movie entry is dropped unless `withMovie`.
// A project open in a session, as the editor and the command line hold one. `->` and `*` reach
// the session's project as it is now (an import replaces it); writes through them only prepare a
// case and bypass the undo stack.
struct Open
{
    std::unique_ptr<ProjectSession> session;
    ProjectModel *operator->() const { return const_cast<ProjectModel *>(&session->model()); }
    ProjectModel &operator*() const { return *operator->(); }
};

Open inSession(std::unique_ptr<ProjectModel> model, const QString &projectFolder = QString())
{
    static const MessageCatalog english;
    Open open{std::make_unique<ProjectSession>(english)};
    open.session->replace(std::move(model), projectFolder);
    return open;
}

std::unique_ptr<ProjectModel> emptyProject()
{
    auto m = std::make_unique<ProjectModel>();
    m->allesneu(MessageCatalog());
    return m;
}

Open savedSample(const QString &media, const QString &projectFolder, bool withMovie = false)
{
    auto m = testing::sampleProject();
    auto place = [&](int kind, int slot, const QString &relative) {
        const QString path = QDir(media).filePath(relative);
        writeBytes(path, "content of " + relative.toUtf8());
        m->media[kind].setPath(slot, path);
    };
    place(Images, 1, "gfx/hallbg.png");
    place(Images, 2, "gfx/door_a.png");
    place(Sounds, 1, "sfx/ding.wav");
    place(Music, 1, "music/theme.xm");
    if (withMovie) {
        place(Movies, 1, "video/intro.swf");
    } else {
        m->mediadelete(Movies, "intro");
        m->mediaTree.root(Movies)->children.clear();
    }
    writeBytes(QDir(media).filePath("game.ico"), "icon");
    m->settings.gameIcon = QDir(media).filePath("game.ico");
    QDir().mkpath(projectFolder);
    const ProjectFileResult saved = saveProject(*m, projectFolder, "sample");
    if (!saved.ok)
        qWarning() << saved.message;
    return inSession(std::move(m), QDir(projectFolder).absolutePath());
}

// The character of data/exchange/hero/char.dat, field by field. Its last line, the extra state
// names of older editors, replaces the names inside the record.
Rcharacter handMadeHero()
{
    Rcharacter c;
    c.name = "hero";
    c.textColor = 12632256;
    c.walkSpeed = 4;
    c.dontzoom = false;
    c.leftani = true;
    c.memres = false;
    c.ghostmode = true;
    c.walkSound = "herosteps";
    const char *const extras[20] = {"Bow",   "Wave",  "Sit",   "Stand up", "Jump",      "Fall",     "Climb",
                                    "Crawl", "Push",  "Pull",  "Throw",    "Catch",     "Eat",      "Drink",
                                    "Sleep", "Wake",  "Look left", "Walk left", "Talk left", "Walk and talk left"};
    for (int i = 0; i < 20; ++i)
        c.extraNames[i] = QString::fromLatin1(extras[i]);
    c.fontIndex = 2;
    c.scale = 95;
    for (int s = 1; s <= 36; ++s) {
        c.width[s - 1] = uint16_t(40 + s);
        c.height[s - 1] = uint16_t(80 + s);
        c.footX[s - 1] = -s;
        c.footY[s - 1] = 120 + s;
        c.speed[s - 1] = uint8_t(s + 3);
    }
    c.frames[0][0] = {"hero_stand", "", "", 0, -1, 0, 0};
    c.frames[0][1] = {"hero_stand", "hero_shadow", "playsound(step;70)", 2, 3, 4, 5};
    c.frames[3][29] = {"hero_walk", "", "", -6, 7, 0, 0};
    return c;
}

// The room of data/exchange/tower, with the scripts of its script.dat.
Rroom handMadeTower()
{
    Rroom r;
    r.name = "tower";
    r.width = 960;
    r.height = 540;
    r.scrollX = 12;
    r.scrollY = -3;
    r.zoomTop = 20;
    r.zoomBottom = 80;
    r.zoomStep = 5;
    r.background = "towerbg";
    r.parallax = "towersky";
    r.flag1 = true;
    auto shape = [](Rfxshape &f, bool flag1, bool flag2, int int1, const char *text, int int2, int int3, int int4,
                    int int5, std::array<int, 4> xs, std::array<int, 4> ys, int dragX, int dragY) {
        f = {flag1, flag2, int1, QString::fromLatin1(text), int2, dragX, dragY, int3, int4, int5, xs, ys};
    };
    shape(r.fx[0], true, true, 1, "mist", 16, -9, -6, 124, {0, 100, 100, 1}, {0, 0, 100, 101}, 50, 50);
    shape(r.fx[1], false, false, 2, "", 17, -8, -5, 123, {200, 300, 300, 200}, {10, 10, 110, 110}, 250, 60);
    shape(r.fx[2], false, true, 3, "glow", 18, -7, -4, 122, {50, 70, 71, 50}, {60, 60, 90, 91}, 60, 75);
    r.flag2 = true;
    r.values = {5, 6, -7, 8};
    r.factors = {2.5, 0.75};
    for (auto [c, row] : {std::pair{1, 1}, {2, 1}, {10, 20}, {192, 96}})
        r.walkmap.setBlocked(c, row, false);
    r.walkmap.setHasScript(10, 20, true);
    r.walkmap.setHasScript(191, 95, true); // blocked, with a script
    r.walkmap.script(10, 20) = {"on(enter)", "{ loadroom(cellar;2) }"};
    r.walkmap.script(191, 95) = {"{ blocked but scripted }"};
    r.objects[0] = {44, false, 9, {"on(click)", "{ speech(self;Heavy.) }"}, "crate", "crate1", 120, 330, 1};
    r.objects[1] = {7, true, 0, {}, "torch", "torch1", -20, 40, 3};
    r.objects[2] = {45, true, 1, {"on(rightclick)"}, "crate", "crate2", 400, 335, 0};
    r.script = {"on(enter)", "{ playmusic(wind;loop) }"};
    return r;
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void projectRoundTrip();
    void foldersWithFilesOfTheSameNameStayApart();
    void exportRefusesUnsavedProject_data();
    void exportRefusesUnsavedProject();
    void exportWithMissingMediaWritesNothing();
    void cancelledExchangeWritesNothing_data();
    void cancelledExchangeWritesNothing();
    void exchangeExtension_data();
    void exchangeExtension();
    void importBesideEditorWhenFolderIsReadOnly();
    void damagedProjectExportLeavesModelUnchanged();
    void entryNames_data();
    void entryNames();
    void unsafeEntriesAreRefused_data();
    void unsafeEntriesAreRefused();
    void characterRoundTripIntoEmptyProject();
    void characterWithoutImages();
    void importingTwiceIsRefused_data();
    void importingTwiceIsRefused();
    void existingImageKeepsItsEntry();
    void roomBringsItsObjects();
    void roomKeepsExistingObjectDefinition();
    void handMadeCharacterOfAnOlderEditor();
    void handMadeRoom();
    void roomPlacementNamesStayUnique();
    void damagedElementFiles_data();
    void damagedElementFiles();
    void importFromMemory_data();
    void importFromMemory();
};

void TestExchange::projectRoundTrip()
{
    QTemporaryDir media, home, away;
    MessageCatalog cat;
    auto source = savedSample(media.path(), home.filePath("project"));
    const QString adz = away.filePath("outbox/moved");
    QDir().mkpath(away.filePath("outbox"));
    const ExchangeResult exported = exportProject(*source.session, adz);
    QVERIFY2(exported.ok, qPrintable(exported.message));
    QCOMPARE(exported.path, away.filePath("outbox/moved.adz"));
    QCOMPARE(exported.statusMessage, 176);
    QVERIFY(exported.message.startsWith(cat.msg(177) + ' '));
    // No movies: no movie.dat. Work files are gone.
    {
        ZipReader zip(exported.path);
        QStringList entries = zip.entryNames();
        entries.sort();
        QCOMPARE(entries, QStringList({"game.ico", "gfx.dat", "music.dat", "sample.adv", "sfx.dat"}));
        ZipReader gfx(*zip.read("gfx.dat"));
        QStringList folders = gfx.entryNames();
        folders.sort();
        QCOMPARE(folders, QStringList({cat.msg(6) + ".zip", "backgrounds.zip"}));
        ZipReader backgrounds(*gfx.read("backgrounds.zip"));
        QCOMPARE(backgrounds.entryNames(), QStringList{"hallbg.png"});
        QCOMPARE(backgrounds.compressionMethod("hallbg.png"), 0);
    }
    QCOMPARE(filesBelow(away.filePath("outbox")), QStringList{"moved.adz"});

    // On the other machine the media's old folder is gone.
    QVERIFY(QDir(media.path()).removeRecursively());
    Open imported = inSession(emptyProject());
    const ExchangeResult r = importProject(*imported.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    const QString folder = away.filePath("outbox/moved");
    QCOMPARE(r.path, folder + "/sample.adv");
    QCOMPARE(r.statusMessage, 167);
    QCOMPARE(r.message, cat.msg(168) + ' ' + folder + ' ' + cat.msg(169));
    QCOMPARE(imported.session->projectFolder(), folder);
    QCOMPARE(imported->settings.projectName, QStringLiteral("sample"));
    QVERIFY(!imported.session->isModified());

    // Every media path inside the new folder, with the exported bytes.
    for (int kind : {Images, Sounds, Music}) {
        QCOMPARE(imported->media[kind].usedCount(), source->media[kind].usedCount());
        for (int slot = 1; slot <= source->media[kind].usedCount(); ++slot) {
            QCOMPARE(imported->media[kind].name(slot), source->media[kind].name(slot));
            const QString path = imported->media[kind].path(slot);
            QVERIFY2(path.startsWith(folder + '/'), qPrintable(path));
            QCOMPARE(readBytes(path), "content of " + QDir(media.path()).relativeFilePath(source->media[kind].path(slot)).toUtf8());
        }
    }
    QCOMPARE(imported->media[Images].path(1), folder + "/backgrounds/hallbg.png");
    QCOMPARE(imported->media[Images].path(2), folder + '/' + cat.msg(6) + "/door_a.png");
    QCOMPARE(imported->media[Movies].usedCount(), 0);
    QCOMPARE(imported->settings.gameIcon, folder + "/game.ico");
    // Everything else is the exported project, field by field (the cell script without its
    // has-script flag is not saved).
    for (int kind : {Images, Sounds, Music})
        for (int slot = 1; slot <= source->media[kind].usedCount(); ++slot)
            source->media[kind].setPath(slot, imported->media[kind].path(slot));
    source->settings.gameIcon = imported->settings.gameIcon;
    source->rooms[1].walkmap.removeScript(3, 3);
    MB_COMPARE_RECORDS(*imported, *source);

    // What was saved is what is in memory, and no work folder is left behind.
    ProjectModel reopened;
    QVERIFY(openProject(reopened, cat, r.path).ok);
    MB_COMPARE_RECORDS(reopened, *imported);
    for (const QString &f : filesBelow(away.path()))
        QVERIFY2(!f.contains(".mossbramble"), qPrintable(f));
}

void TestExchange::foldersWithFilesOfTheSameNameStayApart()
{
    QTemporaryDir media, home, away;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    // A hand-made project: two entries of one name, each in its own media pool folder.
    m->media[Images].clear();
    m->mediaTree.root(Images)->children.clear();
    writeBytes(media.filePath("one/hero.png"), "first hero");
    writeBytes(media.filePath("two/hero.png"), "second hero");
    m->media[Images].set(1, "hero", media.filePath("one/hero.png"));
    m->media[Images].set(2, "hero", media.filePath("two/hero.png"));
    m->mediaTree.root(Images)->addChild("a", nodeimage::Folder)->addChild("hero", nodeimage::Image);
    m->mediaTree.root(Images)->addChild("b", nodeimage::Folder)->addChild("hero", nodeimage::Image);
    m->media[Sounds].clear();
    m->media[Music].clear();
    m->media[Movies].clear();
    for (int k : {Music, Sounds, Movies})
        m->mediaTree.root(k)->children.clear();
    QVERIFY(saveProject(*m, home.path(), "sample").ok);
    const Open saved = inSession(std::move(m), QDir(home.path()).absolutePath());
    const ExchangeResult exported = exportProject(*saved.session, away.filePath("x.adz"));
    QVERIFY2(exported.ok, qPrintable(exported.message));
    {
        ZipReader zip(exported.path);
        ZipReader gfx(*zip.read("gfx.dat"));
        QStringList folders = gfx.entryNames();
        folders.sort();
        QCOMPARE(folders, QStringList({"a.zip", "b.zip"}));
    }

    Open imported = inSession(emptyProject());
    const ExchangeResult r = importProject(*imported.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(readBytes(away.filePath("x/a/hero.png")), QByteArray("first hero"));
    QCOMPARE(readBytes(away.filePath("x/b/hero.png")), QByteArray("second hero"));
    QCOMPARE(imported->media[Images].path(1), away.filePath("x/a/hero.png"));
    QCOMPARE(imported->media[Images].path(2), away.filePath("x/b/hero.png"));
}

void TestExchange::exportRefusesUnsavedProject_data()
{
    QTest::addColumn<bool>("neverSaved");
    QTest::newRow("modified") << false;
    QTest::newRow("never saved") << true;
}

void TestExchange::exportRefusesUnsavedProject()
{
    QFETCH(bool, neverSaved);
    QTemporaryDir media, home, away;
    MessageCatalog cat;
    auto m = savedSample(media.path(), home.path());
    if (neverSaved)
        m.session->setProjectFolder(QString());
    else
        m.session->markModified();
    const ExchangeResult r = exportProject(*m.session, away.filePath("x.adz"));
    QVERIFY(!r.ok);
    QCOMPARE(r.message, cat.msg(122));
    QCOMPARE(filesBelow(away.path()), QStringList());
}

void TestExchange::exportWithMissingMediaWritesNothing()
{
    QTemporaryDir media, home, away;
    MessageCatalog cat;
    auto m = savedSample(media.path(), home.path());
    writeBytes(away.filePath("x.adz"), "an older export");
    QVERIFY(QFile::remove(media.filePath("sfx/ding.wav")));
    const ExchangeResult r = exportProject(*m.session, away.filePath("x.adz"));
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(media.filePath("sfx/ding.wav")) && r.message.contains("\"ding\""), qPrintable(r.message));
    // The older file is untouched and no work files are left.
    QCOMPARE(filesBelow(away.path()), QStringList{"x.adz"});
    QCOMPARE(readBytes(away.filePath("x.adz")), QByteArray("an older export"));
}

void TestExchange::cancelledExchangeWritesNothing_data()
{
    QTest::addColumn<bool>("import");
    QTest::addColumn<bool>("lastChance"); // cancel at the last point where it is asked, else the first
    QTest::newRow("export, first file") << false << false;
    QTest::newRow("export, before the target is written") << false << true;
    QTest::newRow("import, after unpacking") << true << false;
    QTest::newRow("import, before the project folder is made") << true << true;
}

void TestExchange::cancelledExchangeWritesNothing()
{
    QFETCH(bool, import);
    QFETCH(bool, lastChance);
    QTemporaryDir media, home, away, scratch;
    MessageCatalog cat;
    auto m = savedSample(media.path(), home.path());
    // How often each operation asks, counted on a run that is not cancelled.
    int chances = 0;
    const ExchangeCancel count = [&] { ++chances; return false; };
    const QString adz = away.filePath("x.adz");
    ExchangeResult r;
    if (!import) {
        QVERIFY(exportProject(*m.session, scratch.filePath("y.adz"), {}, count).ok);
        writeBytes(adz, "an older export");
    } else {
        QVERIFY(exportProject(*m.session, adz).ok);
        QVERIFY(QFile::copy(adz, scratch.filePath("y.adz")));
        Open counted = inSession(emptyProject());
        QVERIFY(importProject(*counted.session, scratch.filePath("y.adz"), {}, count).ok);
    }
    QVERIFY(chances >= 2);
    const int stopAt = lastChance ? chances : 1;
    int asked = 0;
    const ExchangeCancel cancel = [&] { return ++asked == stopAt; };

    Open open = inSession(emptyProject());
    open->rooms[1].name = "kept";
    const QByteArray before = readBytes(adz);
    r = import ? importProject(*open.session, adz, {}, cancel) : exportProject(*m.session, adz, {}, cancel);
    QVERIFY(!r.ok);
    QVERIFY(r.cancelled);
    QCOMPARE(r.message, cat.extra(extratext::NothingWritten));
    // Nothing new beside the file: no target, no project folder, no work files.
    QCOMPARE(filesBelow(away.path()), QStringList{"x.adz"});
    QCOMPARE(QDir(away.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"x.adz"});
    QCOMPARE(readBytes(adz), before);
    QCOMPARE(open->rooms[1].name, QStringLiteral("kept"));
}

void TestExchange::exchangeExtension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("typed without extension") << "/a/game" << "/a/game.adz";
    QTest::newRow("with extension") << "/a/game.adz" << "/a/game.adz";
    QTest::newRow("upper case") << "/a/GAME.ADZ" << "/a/GAME.ADZ";
    QTest::newRow("other extension") << "/a/game.zip" << "/a/game.zip.adz";
}

void TestExchange::exchangeExtension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(withExchangeExtension(chosen, ".adz"), written);
    QCOMPARE(exchangeBaseName("C:\\x\\hero.adc"), QStringLiteral("hero"));
    QCOMPARE(exchangeBaseName("/x/my.room.adr"), QStringLiteral("my.room"));
}

void TestExchange::importBesideEditorWhenFolderIsReadOnly()
{
    QTemporaryDir media, home, medium, editor;
    MessageCatalog cat;
    // A folder nobody can create files in, whoever runs the test.
    QCOMPARE(importBaseFolder("/proc/self/x.adz", editor.path()), editor.path());
    QCOMPARE(importBaseFolder(medium.filePath("x.adz"), editor.path()), medium.path());
    auto m = savedSample(media.path(), home.path());
    QVERIFY(exportProject(*m.session, medium.filePath("x.adz")).ok);
    testing::WithoutRoot user({medium.path(), editor.path()});
    if (!user.ok())
        QSKIP(qPrintable(user.reason()));
    QFile::setPermissions(medium.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(text::folderreadonly(medium.path()));
    QCOMPARE(importBaseFolder(medium.filePath("x.adz"), editor.path()), editor.path());
    Open imported = inSession(emptyProject());
    imported.session->setEditorFolder(editor.path());
    const ExchangeResult r = importProject(*imported.session, medium.filePath("x.adz"));
    QFile::setPermissions(medium.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.path, editor.filePath("x/sample.adv"));
    QVERIFY(imported->media[Images].path(1).startsWith(editor.filePath("x/")));
    QCOMPARE(filesBelow(medium.path()), QStringList{"x.adz"});
}

void TestExchange::damagedProjectExportLeavesModelUnchanged()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    Open open = inSession(testing::sampleProject(cat));
    const CompanionFiles before = writeCompanionFiles(*open);
    // A zip without a project, and one whose project is damaged.
    writeZip(dir.filePath("none.adz"), {{"readme.txt", "hello"}});
    writeZip(dir.filePath("broken.adz"), {{"p.adv", "not a zip"}});
    writeBytes(dir.filePath("garbage.adz"), "garbage");
    for (const QString &name : {"none", "broken", "garbage"}) {
        const ExchangeResult r = importProject(*open.session, dir.filePath(name + ".adz"));
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(name), qPrintable(r.message));
        QCOMPARE(writeCompanionFiles(*open).files, before.files);
        QVERIFY2(!QFileInfo::exists(dir.filePath(name)), qPrintable(name));
    }
}

void TestExchange::entryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("relative");
    QTest::newRow("bare") << "hero.png" << "hero.png";
    QTest::newRow("subfolder") << "a/b.png" << "a/b.png";
    QTest::newRow("backslash") << "a\\b.png" << "a/b.png";
    QTest::newRow("dot parts") << "./a//b.png" << "a/b.png";
    QTest::newRow("folder entry") << "a/" << "a/";
    QTest::newRow("dots in a name") << "..hero.png" << "..hero.png";
    QTest::newRow("parent") << "../evil" << "";
    QTest::newRow("parent inside") << "a/../../evil" << "";
    QTest::newRow("windows parent") << "..\\evil" << "";
    QTest::newRow("absolute") << "/etc/evil" << "";
    QTest::newRow("windows absolute") << "\\evil" << "";
    QTest::newRow("drive") << "C:\\evil" << "";
    QTest::newRow("drive relative") << "c:evil" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("only dots") << "./" << "";
}

void TestExchange::entryNames()
{
    QFETCH(QString, name);
    QFETCH(QString, relative);
    QCOMPARE(safeextract::relativeEntryPath(name), relative);
    QCOMPARE(safeextract::isSafeEntryName(name), !relative.isEmpty());
}

void TestExchange::unsafeEntriesAreRefused_data()
{
    QTest::addColumn<QString>("file");  // the exchange file's name
    QTest::addColumn<QString>("where"); // which archive holds the bad entry
    QTest::addColumn<QString>("entry");
    QTest::newRow("adz") << "x.adz" << "outer" << "../evil";
    QTest::newRow("adz absolute") << "x.adz" << "outer" << "/tmp/mossbramble-evil-test";
    QTest::newRow("gfx.dat") << "x.adz" << "kind" << "../../evil.zip";
    QTest::newRow("folder zip") << "x.adz" << "folder" << "../../evil";
    QTest::newRow("adc") << "x.adc" << "outer" << "../evil";
    QTest::newRow("gfx.chr") << "x.adc" << "images" << "../../evil";
    QTest::newRow("gfx.roo windows") << "x.adr" << "images" << "..\\..\\evil";
}

void TestExchange::unsafeEntriesAreRefused()
{
    QFETCH(QString, file);
    QFETCH(QString, where);
    QFETCH(QString, entry);
    QTemporaryDir root;
    MessageCatalog cat;
    const QString inbox = root.filePath("a/b/inbox");
    QDir().mkpath(inbox);
    const QString path = QDir(inbox).filePath(file);
    const QByteArray evil = "evil";
    if (file.endsWith(".adz")) {
        QTemporaryDir src;
        auto m = savedSample(src.filePath("media"), src.filePath("p"));
        const QByteArray adv = readBytes(src.filePath("p/sample.adv"));
        QList<std::pair<QString, QByteArray>> folder{{"hallbg.png", "x"}};
        if (where == "folder")
            folder.append({entry, evil});
        QList<std::pair<QString, QByteArray>> kind{{"backgrounds.zip", zipBytes(folder)}};
        if (where == "kind")
            kind.append({entry, zipBytes({{"a.png", evil}})});
        QList<std::pair<QString, QByteArray>> outer{{"sample.adv", adv}, {"gfx.dat", zipBytes(kind)}};
        if (where == "outer")
            outer.append({entry, evil});
        writeZip(path, outer);
    } else {
        QTemporaryDir src;
        auto m = savedSample(src.filePath("media"), src.filePath("p"));
        const bool room = file.endsWith(".adr");
        const ExchangeResult good = room ? exportRoom(*m, cat, "hall", src.filePath("good.adr"))
                                         : exportCharacter(*m, cat, "bob", src.filePath("good.adc"));
        QVERIFY2(good.ok, qPrintable(good.message));
        ZipReader zip(good.path);
        QList<std::pair<QString, QByteArray>> outer;
        for (const QString &name : zip.entryNames()) {
            QByteArray bytes = *zip.read(name);
            if (where == "images" && (name == "gfx.chr" || name == "gfx.roo"))
                bytes = zipBytes({{"fine.png", "x"}, {entry, evil}});
            outer.append({name, bytes});
        }
        if (where == "outer")
            outer.append({entry, evil});
        writeZip(path, outer, 9);
    }

    Open target = inSession(testing::sampleProject(cat), root.filePath("a/b/project"));
    target->characters[1].name.clear(); // so that the character's name is free
    target->rooms[1].name.clear();
    const CompanionFiles before = writeCompanionFiles(*target);
    ExchangeResult r;
    if (file.endsWith(".adz"))
        r = importProject(*target.session, path);
    else if (file.endsWith(".adc"))
        r = importCharacter(*target.session, path);
    else
        r = importRoom(*target.session, path);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(QString(entry)) && r.message.contains(file), qPrintable(r.message));
    QCOMPARE(writeCompanionFiles(*target).files, before.files);
    // Nothing was written anywhere: not outside, and not the project folder either.
    QCOMPARE(filesBelow(root.path()), QStringList{"a/b/inbox/" + file});
    QVERIFY(!QFileInfo::exists("/tmp/mossbramble-evil-test"));
}

void TestExchange::characterRoundTripIntoEmptyProject()
{
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    // Frames that use two images, one of them twice.
    writeBytes(src.filePath("media/bob/bob_walk.png"), "walking");
    m->media[Images].set(3, "bob_walk", src.filePath("media/bob/bob_walk.png"));
    m->characters[1].frames[0][0] = {"door_a", "bob_walk", "say(hi;there)", 1, 2, 3, 4};
    const ExchangeResult exported = exportCharacter(*m, cat, "bob", dest.filePath("hero"));
    QVERIFY2(exported.ok, qPrintable(exported.message));
    QCOMPARE(exported.path, dest.filePath("hero.adc"));
    QCOMPARE(exported.message, cat.msg(380));
    {
        ZipReader zip(exported.path);
        QCOMPARE(zip.entryNames(), QStringList({"char.dat", "gfx.chr", "list.gfx"}));
        QCOMPARE(zip.compressionMethod("char.dat"), 8);
        QVERIFY(zip.read("char.dat")->startsWith("//Character bob\r\n"));
        QCOMPARE(*zip.read("list.gfx"), (m->media[Images].path(2) + "\r\n" + m->media[Images].path(3) + "\r\n").toUtf8());
        ZipReader images(*zip.read("gfx.chr"));
        QCOMPARE(images.entryNames(), QStringList({"door_a.png", "bob_walk.png"}));
    }

    Open target = inSession(emptyProject(), dest.filePath("project"));
    const ExchangeResult r = importCharacter(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.elementName, QStringLiteral("bob"));
    QCOMPARE(r.message, cat.msg(380));
    MB_COMPARE_RECORDS(target->characters[1], m->characters[1]);
    QVERIFY(target.session->isModified());
    // The images live in ProjectFolder/NAME and in the media pool folder NAME.
    QCOMPARE(target->media[Images].usedCount(), 2);
    QCOMPARE(target->media[Images].path(target->media[Images].find("bob_walk")), dest.filePath("project/hero/bob_walk.png"));
    QCOMPARE(readBytes(dest.filePath("project/hero/bob_walk.png")), QByteArray("walking"));
    const TreeNode *images = target->mediaTree.root(Images);
    QCOMPARE(int(images->children.size()), 1);
    const TreeNode *folder = images->children[0].get();
    QCOMPARE(folder->text, QStringLiteral("hero"));
    QCOMPARE(folder->imageIndex, nodeimage::Folder);
    QCOMPARE(int(folder->children.size()), 2);
    QCOMPARE(folder->children[0]->text, QStringLiteral("bob_walk"));
    QCOMPARE(folder->children[0]->imageIndex, nodeimage::Image);
    QVERIFY(target->gameTree.contains("bob", nodeimage::Character));
    QVERIFY(target.session->mediaChanged(Images));
}

void TestExchange::characterWithoutImages()
{
    // The image archive is there even when empty (a zip library writes no file for that).
    QTemporaryDir dir;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    const ExchangeResult exported = exportCharacter(*m, cat, "bob", dir.filePath("bob.adc"));
    QVERIFY2(exported.ok, qPrintable(exported.message));
    ZipReader zip(exported.path);
    QCOMPARE(zip.entryNames(), QStringList({"char.dat", "gfx.chr", "list.gfx"}));
    QVERIFY(ZipReader(*zip.read("gfx.chr")).isOpen());
    Open target = inSession(emptyProject(), dir.filePath("project"));
    const ExchangeResult r = importCharacter(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    MB_COMPARE_RECORDS(target->characters[1], m->characters[1]);
    QCOMPARE(target->media[Images].usedCount(), 0);
}

void TestExchange::importingTwiceIsRefused_data()
{
    QTest::addColumn<bool>("room");
    QTest::newRow("character") << false;
    QTest::newRow("room") << true;
}

void TestExchange::importingTwiceIsRefused()
{
    QFETCH(bool, room);
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    m->characters[1].frames[0][0].image = "door_a";
    const QString file = dest.filePath(room ? "Hall.adr" : "Bob.adc");
    const ExchangeResult exported = room ? exportRoom(*m, cat, "hall", file) : exportCharacter(*m, cat, "bob", file);
    QVERIFY2(exported.ok, qPrintable(exported.message));
    Open target = inSession(emptyProject(), dest.filePath("project"));
    auto import = [&] { return room ? importRoom(*target.session, file) : importCharacter(*target.session, file); };
    QVERIFY2(import().ok, qPrintable(import().message));
    const CompanionFiles before = writeCompanionFiles(*target);
    QFile::remove(dest.filePath(room ? "project/Hall/hallbg.png" : "project/Bob/door_a.png"));
    const ExchangeResult again = import();
    QVERIFY(!again.ok);
    QCOMPARE(again.message, QString(room ? "Hall " : "Bob ") + cat.msg(147));
    QCOMPARE(writeCompanionFiles(*target).files, before.files);
    // Refused before anything was unpacked.
    QVERIFY(!QFileInfo::exists(dest.filePath(room ? "project/Hall/hallbg.png" : "project/Bob/door_a.png")));

    // A renamed copy of the file still carries the element's own name.
    QVERIFY(QFile::copy(file, dest.filePath(room ? "other.adr" : "other.adc")));
    const ExchangeResult renamed = room ? importRoom(*target.session, dest.filePath("other.adr"))
                                        : importCharacter(*target.session, dest.filePath("other.adc"));
    QVERIFY(!renamed.ok);
    QCOMPARE(renamed.message, QString(room ? "hall " : "bob ") + cat.msg(147));
    QVERIFY(!QFileInfo::exists(dest.filePath("project/other")));
}

void TestExchange::existingImageKeepsItsEntry()
{
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    m->characters[1].frames[0][0].image = "door_a";
    const ExchangeResult exported = exportCharacter(*m, cat, "bob", dest.filePath("bob.adc"));
    QVERIFY(exported.ok);
    Open target = inSession(testing::sampleProject(cat), dest.filePath("project"));
    target->characters[1].name = "someone";

    const int images = target->media[Images].usedCount();
    const QString oldPath = target->media[Images].path(target->media[Images].find("door_a"));
    const int nodes = target->mediaTree.countBelowRoots();
    const ExchangeResult r = importCharacter(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(target->media[Images].usedCount(), images);
    QCOMPARE(target->media[Images].path(target->media[Images].find("door_a")), oldPath);
    QCOMPARE(target->mediaTree.countBelowRoots(), nodes + 1); // only the folder "bob"
    QCOMPARE(target->characters[target->characters.find("bob")].frames[0][0].image, QStringLiteral("door_a"));
}

void TestExchange::roomBringsItsObjects()
{
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    Rroom &hall = m->rooms[1];
    hall.objects[1] = hall.objects[0];
    hall.objects[1].instanceName = "door2";
    hall.objects[1].script = {"on(click)", "{ speech(self;second) }"};
    const ExchangeResult exported = exportRoom(*m, cat, "hall", dest.filePath("hall"));
    QVERIFY2(exported.ok, qPrintable(exported.message));
    {
        ZipReader zip(exported.path);
        QCOMPARE(zip.entryNames(), QStringList({"room.dat", "script.dat", "gfx.roo", "list.gfx"}));
        const QByteArray records = *zip.read("room.dat");
        QVERIFY(records.startsWith("//Room hall\r\n"));
        QCOMPARE(records.count("//Object door\r\n"), 1); // placed twice, carried once
        QVERIFY(zip.read("script.dat")->contains("//Walkmap #150090hall\r\n"));
        ZipReader images(*zip.read("gfx.roo"));
        QCOMPARE(images.entryNames(), QStringList({"hallbg.png", "door_a.png"}));
    }

    Open target = inSession(emptyProject(), dest.filePath("project"));
    const ExchangeResult r = importRoom(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.notes.isEmpty());
    QCOMPARE(target->objects.usedCount(), 1);
    MB_COMPARE_RECORDS(target->objects[1], m->objects[1]);
    Rroom expected = hall;
    expected.walkmap.removeScript(3, 3); // no has-script flag: not exported
    MB_COMPARE_RECORDS(target->rooms[1], expected);
    QVERIFY(target->gameTree.contains("door", nodeimage::Object));
    QVERIFY(target->gameTree.contains("hall", nodeimage::Room));
    QVERIFY(target->names[NameLists::RoomNames].contains("hall"));
    QCOMPARE(target->names[NameLists::ObjectInstances], QStringList({"door1", "door2"}));
    QCOMPARE(target->media[Images].path(target->media[Images].find("hallbg")), dest.filePath("project/hall/hallbg.png"));
}

void TestExchange::roomKeepsExistingObjectDefinition()
{
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    const ExchangeResult exported = exportRoom(*m, cat, "hall", dest.filePath("hall.adr"));
    QVERIFY(exported.ok);
    Open target = inSession(emptyProject(), dest.filePath("project"));
    target->objects[1].name = "DOOR";
    target->objects[1].width = 7;
    const ExchangeResult r = importRoom(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(target->objects.usedCount(), 1);
    QCOMPARE(int(target->objects[1].width), 7);
    QCOMPARE(target->rooms[1].objects[0].objectName, QStringLiteral("DOOR"));
    QCOMPARE(r.notes.size(), 1);
    QVERIFY2(r.notes[0].contains("\"DOOR\"") && r.notes[0].contains(cat.msg(147)), qPrintable(r.notes[0]));
}

void TestExchange::handMadeCharacterOfAnOlderEditor()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    const QDir src(QFINDTESTDATA("data/exchange/hero"));
    const QString file = dir.filePath("hero.adc");
    writeZip(file,
             {{"char.dat", readBytes(src.filePath("char.dat"))},
              {"gfx.chr", zipBytes({{"hero_stand.png", "standing"}, {"hero_walk.png", "walking"}})},
              {"list.gfx", readBytes(src.filePath("list.gfx"))}},
             9);
    Open target = inSession(emptyProject(), dir.filePath("project"));
    const ExchangeResult r = importCharacter(*target.session, file);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(target->characters.usedCount(), 1);
    MB_COMPARE_RECORDS(target->characters[1], handMadeHero());
    // One image entry per line of list.gfx, in its order, unpacked into ProjectFolder/hero.
    QCOMPARE(target->media[Images].usedCount(), 2);
    QCOMPARE(target->media[Images].name(1), QStringLiteral("hero_stand"));
    QCOMPARE(target->media[Images].path(1), dir.filePath("project/hero/hero_stand.png"));
    QCOMPARE(target->media[Images].name(2), QStringLiteral("hero_walk"));
    QCOMPARE(readBytes(target->media[Images].path(2)), QByteArray("walking"));
}

void TestExchange::handMadeRoom()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    const QDir src(QFINDTESTDATA("data/exchange/tower"));
    const QString file = dir.filePath("tower.adr");
    writeZip(file,
             {{"room.dat", readBytes(src.filePath("room.dat"))},
              {"script.dat", readBytes(src.filePath("script.dat"))},
              {"gfx.roo", zipBytes({{"towerbg.jpg", "bg"}, {"crateimg.png", "crate"}, {"torch_a.png", "torch"}})},
              {"list.gfx", readBytes(src.filePath("list.gfx"))}},
             9);
    Open target = inSession(emptyProject(), dir.filePath("project"));
    const ExchangeResult r = importRoom(*target.session, file);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(target->rooms.usedCount(), 1);
    MB_COMPARE_RECORDS(target->rooms[1], handMadeTower());

    // The object definitions the file carries.
    QCOMPARE(target->objects.usedCount(), 2);
    const Robj &crate = target->objects[target->objects.find("crate")];
    const Robj &torch = target->objects[target->objects.find("torch")];
    Robj expectedCrate;
    expectedCrate.name = "crate";
    expectedCrate.width = 48;
    expectedCrate.height = 36;
    expectedCrate.frames[0][0] = {"crateimg", "", "", 0, 0, 0, 0};
    Robj expectedTorch;
    expectedTorch.name = "torch";
    expectedTorch.width = 12;
    expectedTorch.height = 64;
    expectedTorch.flag = true;
    expectedTorch.frames[2][0] = {"torch_a", "torch_b", "light(on;3)", 1, 1, 2, 2};
    for (int s = 1; s <= 10; ++s) {
        expectedCrate.speed[s - 1] = uint8_t(10 + s);
        expectedTorch.speed[s - 1] = uint8_t(60 + s);
    }
    MB_COMPARE_RECORDS(crate, expectedCrate);
    MB_COMPARE_RECORDS(torch, expectedTorch);
    QCOMPARE(target->names[NameLists::ObjectInstances], QStringList({"crate1", "crate2", "torch1"}));
    QCOMPARE(target->media[Images].usedCount(), 3);
    QCOMPARE(target->media[Images].path(target->media[Images].find("torch_a")), dir.filePath("project/tower/torch_a.png"));
}

void TestExchange::roomPlacementNamesStayUnique()
{
    // The target has the room under another name (an earlier import of a renamed copy): its
    // placement "door1" and a placement "DOOR" in the cellar are in use, so the imported
    // "door1" gets the first free name by the placing rule; "door2" is free and stays.
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    Rroom &hall = m->rooms[1];
    hall.objects[1] = hall.objects[0];
    hall.objects[1].instanceName = "door2";
    hall.objects[1].script = {"on(click)", "{ speech(self;second) }"};
    const ExchangeResult exported = exportRoom(*m, cat, "hall", dest.filePath("hall.adr"));
    QVERIFY2(exported.ok, qPrintable(exported.message));

    auto target = savedSample(dest.filePath("media"), dest.filePath("project"));
    target->rooms[1].name = "attic";
    target->names[NameLists::RoomNames] = QStringList{"attic", "cellar"};
    target->rooms[2].objects[0] = target->rooms[1].objects[0];
    target->rooms[2].objects[0].instanceName = "DOOR";
    target->names[NameLists::ObjectInstances] = QStringList{"DOOR", "door1"};
    const ExchangeResult r = importRoom(*target.session, exported.path);
    QVERIFY2(r.ok, qPrintable(r.message));
    const int slot = target->rooms.find("hall");
    QVERIFY(slot > 0);
    const Rroom &imported = target->rooms[slot];
    QCOMPARE(imported.objects[0].instanceName, QStringLiteral("door3"));
    QCOMPARE(imported.objects[1].instanceName, QStringLiteral("door2"));
    // The placements keep their scripts, the room its own; nothing in them is rewritten.
    QCOMPARE(imported.objects[0].script, hall.objects[0].script);
    QCOMPARE(imported.objects[1].script, hall.objects[1].script);
    QCOMPARE(imported.script, hall.script);
    QCOMPARE(target->rooms[1].objects[0].instanceName, QStringLiteral("door1"));
    QCOMPARE(target->names[NameLists::ObjectInstances], (QStringList{"DOOR", "door1", "door2", "door3"}));
    // The "Done!" box names the renaming (after the note about the object definition).
    QCOMPARE(r.notes.size(), 2);
    QVERIFY2(r.notes[1].contains("\"door1\"") && r.notes[1].contains("\"door3\""), qPrintable(r.notes[1]));

    // Every instance name is used once in the whole project.
    QStringList all;
    for (const Rroom &room : target->rooms)
        if (!room.name.isEmpty())
            for (const Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty())
                    all << o.instanceName.toLower();
    QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
}

void TestExchange::damagedElementFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected"); // a piece of the message
    QTest::newRow("not a zip") << "garbage" << "not an exchange file";
    QTest::newRow("char.dat missing") << "no char.dat" << "char.dat is missing";
    QTest::newRow("char.dat cut short") << "truncated" << "char.dat line";
    QTest::newRow("no character in char.dat") << "no record" << "does not hold one character";
    QTest::newRow("gfx.chr not a zip") << "bad images" << "gfx.chr";
}

void TestExchange::damagedElementFiles()
{
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    m->characters[1].frames[0][0].image = "door_a";
    const QByteArray record = characterRecord(m->characters[1]);
    const QByteArray images = zipBytes({{"door_a.png", "x"}});
    const QByteArray list = "C:\\x\\door_a.png\r\n";
    const QString file = dest.filePath("bob.adc");
    if (damage == "garbage")
        writeBytes(file, "PK but not really");
    else if (damage == "no char.dat")
        writeZip(file, {{"gfx.chr", images}, {"list.gfx", list}});
    else if (damage == "truncated")
        writeZip(file, {{"char.dat", record.left(record.size() / 2)}, {"gfx.chr", images}, {"list.gfx", list}});
    else if (damage == "no record")
        writeZip(file, {{"char.dat", "just text\r\n"}, {"gfx.chr", images}, {"list.gfx", list}});
    else
        writeZip(file, {{"char.dat", record}, {"gfx.chr", "not a zip"}, {"list.gfx", list}});

    Open target = inSession(testing::sampleProject(cat), dest.filePath("project"));
    target->characters[1].name.clear();

    const CompanionFiles before = writeCompanionFiles(*target);
    const ExchangeResult r = importCharacter(*target.session, file);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains("bob.adc") && r.message.contains(expected), qPrintable(r.message));
    QCOMPARE(writeCompanionFiles(*target).files, before.files);
    QVERIFY(!QFileInfo::exists(dest.filePath("project")));
    // The same bytes from memory are refused the same way.
    const ExchangeResult fromMemory = importCharacter(*target.session, readBytes(file), "bob.adc");
    QVERIFY(!fromMemory.ok);
    QCOMPARE(fromMemory.message, r.message);
    QCOMPARE(writeCompanionFiles(*target).files, before.files);
    QVERIFY(!QFileInfo::exists(dest.filePath("project")));
}

void TestExchange::importFromMemory_data()
{
    QTest::addColumn<bool>("room");
    QTest::newRow("character") << false;
    QTest::newRow("room") << true;
}

void TestExchange::importFromMemory()
{
    // The file's bytes import what the file imports. Each import reads the records into a model
    // it reuses: what one import read must not show up in the next.
    QFETCH(bool, room);
    QTemporaryDir src, dest;
    MessageCatalog cat;
    auto m = savedSample(src.filePath("media"), src.filePath("p"));
    const ExchangeResult exported = room ? exportRoom(*m, cat, "hall", dest.filePath("hall.adr"))
                                         : exportCharacter(*m, cat, "bob", dest.filePath("bob.adc"));
    QVERIFY2(exported.ok, qPrintable(exported.message));
    const QByteArray bytes = readBytes(exported.path);
    const QString fileName = QFileInfo(exported.path).fileName();

    Open fromFile = inSession(emptyProject(), dest.filePath("a/project"));
    const ExchangeResult a = room ? importRoom(*fromFile.session, exported.path)
                                  : importCharacter(*fromFile.session, exported.path);
    QVERIFY2(a.ok, qPrintable(a.message));
    Open fromMemory = inSession(emptyProject(), dest.filePath("b/project"));
    const ExchangeResult b = room ? importRoom(*fromMemory.session, bytes, fileName)
                                  : importCharacter(*fromMemory.session, bytes, fileName);
    QVERIFY2(b.ok, qPrintable(b.message));
    QCOMPARE(b.elementName, a.elementName);
    QCOMPARE(b.notes, a.notes);
    QCOMPARE(b.path, dest.filePath(room ? "b/project/hall" : "b/project/bob"));
    QCOMPARE(filesBelow(dest.filePath("b/project")), filesBelow(dest.filePath("a/project")));
    QCOMPARE(fromMemory->rooms.usedCount(), room ? 1 : 0);
    QCOMPARE(fromMemory->objects.usedCount(), room ? 1 : 0);
    QCOMPARE(fromMemory->characters.usedCount(), room ? 0 : 1);
    MB_COMPARE_RECORDS(fromMemory->rooms[1], fromFile->rooms[1]);
    MB_COMPARE_RECORDS(fromMemory->objects[1], fromFile->objects[1]);
    MB_COMPARE_RECORDS(fromMemory->characters[1], fromFile->characters[1]);
    QCOMPARE(fromMemory->names[NameLists::ObjectInstances], fromFile->names[NameLists::ObjectInstances]);
    QCOMPARE(fromMemory->media[Images].usedCount(), fromFile->media[Images].usedCount());
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
