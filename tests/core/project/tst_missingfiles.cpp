#include "project/messagecatalog.h"
#include "project/missingfiles.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

struct Fixture
{
    MessageCatalog cat;
    ProjectSession session{cat};
    // The session's project, written directly only to prepare it for the search under test.
    ProjectModel &m = const_cast<ProjectModel &>(session.model());
};

} // namespace

class TestMissingFiles : public QObject
{
    Q_OBJECT
private slots:
    void nothingMissingWhenAllFilesExist();
    void movedProjectIsRepairedWithoutDialog_data();
    void movedProjectIsRepairedWithoutDialog();
    void kindLettersAndOrder();
    void entriesOfDifferentKindsShareAFileName();
    void addedFoldersAreSearchedOnceAndNotRecursively();
    void stillMissingKeepsOldPath();
    void firstFolderInWalkOrderWins_data();
    void firstFolderInWalkOrderWins();
    void eachFolderIsListedOnce();
    void cancelledSearchLeavesTheRestMissing();
    void linksToFilesCountLinkedFoldersAreNotWalked();
    void presentFilesOfABusyFolderAreToldByItsListing();
};

void TestMissingFiles::nothingMissingWhenAllFilesExist()
{
    QTemporaryDir dir;
    Fixture f;
    touch(dir.filePath("gfx/hero.png"));
    f.m.media[Images].set(1, "hero", dir.filePath("gfx/hero.png"));
    f.session.setProjectFolder(dir.path());
    f.session.setBusy(true);
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 0);
    QVERIFY(!f.session.isBusy());
    QVERIFY(!f.session.isModified());
    QCOMPARE(search.countText(), QStringLiteral("(0)"));
}

void TestMissingFiles::movedProjectIsRepairedWithoutDialog_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("found"); // where the file lies below the project folder
    QTest::newRow("windows path") << "C:\\Users\\a\\game\\gfx\\hero.png" << "gfx/hero.png";
    QTest::newRow("linux path") << "/home/a/game/gfx/hero.png" << "gfx/hero.png";
    QTest::newRow("mixed separators") << "D:\\old/game\\gfx/hero.png" << "gfx/hero.png";
    QTest::newRow("deep subfolder") << "C:\\game\\hero.png" << "media/images/people/hero.png";
    QTest::newRow("project folder itself") << "C:\\game\\hero.png" << "hero.png";
    QTest::newRow("bare file name") << "hero.png" << "gfx/hero.png";
    QTest::newRow("relative path") << "gfx/hero.png" << "gfx/hero.png";
}

void TestMissingFiles::movedProjectIsRepairedWithoutDialog()
{
    QFETCH(QString, stored);
    QFETCH(QString, found);
    QTemporaryDir dir;
    Fixture f;
    touch(dir.filePath(found));
    f.m.media[Images].set(1, "hero", stored);
    f.session.setProjectFolder(dir.path());
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 0);
    QCOMPARE(search.repairedCount(), 1);
    QCOMPARE(f.m.media[Images].path(1), dir.filePath(found));
    QVERIFY(f.session.isModified());
    QVERIFY(!f.session.isBusy());
}

void TestMissingFiles::kindLettersAndOrder()
{
    Fixture f;
    // Added in table order music, movies, sounds, images; listed images, sounds, music, movies.
    f.m.media[Music].set(1, "theme", "C:\\m\\theme.xm");
    f.m.media[Movies].set(1, "intro", "C:\\v\\intro.avi");
    f.m.media[Sounds].set(2, "ding", "/s/ding.wav");
    f.m.media[Images].set(3, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(1, "door", "C:\\g\\door.png");
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 5); // no project folder: nothing is searched
    QCOMPARE(search.names(), QStringList({"door", "hero", "ding", "theme", "intro"}));
    QCOMPARE(search.extraLines(), QStringList({"IC:\\g\\door.png", "IC:\\g\\hero.png", "S/s/ding.wav",
                                               "MC:\\m\\theme.xm", "VC:\\v\\intro.avi"}));
    QCOMPARE(search.countText(), QStringLiteral("(5)"));
    QVERIFY(f.session.isBusy());
    search.finish();
    QVERIFY(!f.session.isBusy());
}

void TestMissingFiles::entriesOfDifferentKindsShareAFileName()
{
    QTemporaryDir project, extra;
    Fixture f;
    f.session.setProjectFolder(project.path());
    f.m.media[Sounds].set(1, "theme", "C:\\sfx\\theme.ogg");
    f.m.media[Music].set(1, "theme", "C:\\music\\theme.ogg");
    touch(extra.filePath("theme.ogg"));
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 2);
    QVERIFY(search.addFolder(extra.path()));
    QCOMPARE(search.count(), 0);
    QCOMPARE(f.m.media[Sounds].path(1), extra.filePath("theme.ogg"));
    QCOMPARE(f.m.media[Music].path(1), extra.filePath("theme.ogg"));
}

void TestMissingFiles::addedFoldersAreSearchedOnceAndNotRecursively()
{
    QTemporaryDir project, extra;
    Fixture f;
    f.session.setProjectFolder(project.path());
    f.m.media[Images].set(1, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(2, "door", "C:\\g\\door.png");
    touch(extra.filePath("sub/hero.png")); // below the added folder: not searched
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 2);
    QVERIFY(search.addFolder(extra.path()));
    QCOMPARE(search.count(), 2);
    // Adding it again (written differently) does not search it again, even though the file is
    // there now.
    touch(extra.filePath("door.png"));
    QVERIFY(!search.addFolder(extra.path() + "/./"));
    QCOMPARE(search.count(), 2);
    QCOMPARE(search.addedFolders(), QStringList{extra.path()});
    QVERIFY(!f.session.isModified());
    QVERIFY(search.addFolder(extra.filePath("sub")));
    QCOMPARE(search.names(), QStringList{"door"});
    QVERIFY(f.session.isModified());
}

void TestMissingFiles::stillMissingKeepsOldPath()
{
    QTemporaryDir project;
    Fixture f;
    f.session.setProjectFolder(project.path());
    touch(project.filePath("gfx/HERO.png")); // only the exact name counts
    QDir().mkpath(project.filePath("gfx/door.png")); // a folder of that name is no file
    f.m.media[Images].set(1, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(2, "door", "C:\\g\\door.png");
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 2);
    search.finish();
    QCOMPARE(f.m.media[Images].path(1), QStringLiteral("C:\\g\\hero.png"));
    QCOMPARE(f.m.media[Images].path(2), QStringLiteral("C:\\g\\door.png"));
    QVERIFY(!f.session.isModified());
}

void TestMissingFiles::firstFolderInWalkOrderWins_data()
{
    QTest::addColumn<QStringList>("files"); // below the project folder
    QTest::addColumn<QString>("winner");
    // The folder itself first, then each subfolder with everything below it, subfolders by name
    // (upper-case letters sort before lower-case ones).
    QTest::newRow("project folder before subfolders") << QStringList{"a/hero.png", "hero.png"} << "hero.png";
    QTest::newRow("deep in the first subfolder before the second")
        << QStringList{"b/hero.png", "a/x/y/hero.png"} << "a/x/y/hero.png";
    QTest::newRow("subfolders by name") << QStringList{"b/hero.png", "B/hero.png", "a/hero.png"} << "B/hero.png";
    QTest::newRow("hidden folders are not searched") << QStringList{".cache/hero.png", "z/hero.png"} << "z/hero.png";
}

void TestMissingFiles::firstFolderInWalkOrderWins()
{
    QFETCH(QStringList, files);
    QFETCH(QString, winner);
    QTemporaryDir dir;
    Fixture f;
    for (const QString &file : files)
        touch(dir.filePath(file));
    f.session.setProjectFolder(dir.path());
    f.m.media[Images].set(1, "hero", "C:\\old\\hero.png");
    f.m.media[Sounds].set(1, "hero", "/old/sfx/hero.png"); // same file name, other kind
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 0);
    QCOMPARE(f.m.media[Images].path(1), dir.filePath(winner));
    QCOMPARE(f.m.media[Sounds].path(1), dir.filePath(winner));
}

void TestMissingFiles::eachFolderIsListedOnce()
{
    // 100 subfolders, 300 missing entries of which a few are found: every folder is listed
    // exactly once, not once per missing entry, and the walk still stops as soon as nothing is
    // missing any more.
    QTemporaryDir dir;
    Fixture f;
    for (int i = 0; i < 100; ++i)
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("sub%1").arg(i, 3, 10, QChar(u'0')))));
    touch(dir.filePath("sub010/image7.png"));
    touch(dir.filePath("sub099/image299.png"));
    for (int i = 0; i < 300; ++i)
        f.m.media[Images].set(i + 1, QStringLiteral("image%1").arg(i), QStringLiteral("C:\\gfx\\image%1.png").arg(i));
    f.session.setProjectFolder(dir.path());
    QStringList listed;
    MissingFiles search(f.session);
    search.setFolderLister([&](const QString &folder) {
        listed << folder;
        return listFolder(folder);
    });
    QCOMPARE(search.check(), 298);
    QCOMPARE(listed.size(), 101);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), 101);
    QCOMPARE(f.m.media[Images].path(8), dir.filePath("sub010/image7.png"));
    QCOMPARE(search.names().first(), QStringLiteral("image0"));
    QCOMPARE(search.names().size(), 298);
    QVERIFY(!search.names().contains("image7"));

    // Everything found in the first folder: nothing else is listed.
    Fixture g;
    g.session.setProjectFolder(dir.path());
    g.m.media[Images].set(1, "image7", "C:\\gfx\\image7.png");
    touch(dir.filePath("image7.png"));
    listed.clear();
    MissingFiles again(g.session);
    again.setFolderLister([&](const QString &folder) {
        listed << folder;
        return listFolder(folder);
    });
    QCOMPARE(again.check(), 0);
    QCOMPARE(listed, QStringList{dir.path()});
}

void TestMissingFiles::cancelledSearchLeavesTheRestMissing()
{
    QTemporaryDir dir;
    Fixture f;
    touch(dir.filePath("a/door.png"));
    touch(dir.filePath("b/hero.png"));
    f.m.media[Images].set(1, "door", "C:\\g\\door.png");
    f.m.media[Images].set(2, "hero", "C:\\g\\hero.png");
    f.session.setProjectFolder(dir.path());
    MissingFiles search(f.session);
    QList<MissingFiles::Progress> seen;
    search.setProgressHandler([&](const MissingFiles::Progress &p) {
        seen << p;
        return p.foldersSearched < 2; // the project folder and "a", then stop before "b"
    });
    QCOMPARE(search.check(), 1);
    QVERIFY(search.wasCancelled());
    QVERIFY(f.session.isBusy()); // the dialog shows what is left
    QCOMPARE(search.names(), QStringList{"hero"});
    QCOMPARE(f.m.media[Images].path(1), dir.filePath("a/door.png"));
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].folder, dir.path());
    QCOMPARE(seen[0].stillMissing, 2);
    QCOMPARE(seen[2].folder, dir.filePath("b"));
    QCOMPARE(seen[2].stillMissing, 1);

    // A later search is not cancelled by the earlier one.
    search.setProgressHandler({});
    QVERIFY(search.addFolder(dir.filePath("b")));
    QVERIFY(!search.wasCancelled());
    QCOMPARE(search.count(), 0);
}

void TestMissingFiles::linksToFilesCountLinkedFoldersAreNotWalked()
{
    QTemporaryDir dir, outside;
    Fixture f;
    touch(outside.filePath("door.png"));
    touch(outside.filePath("hero.png"));
    touch(outside.filePath("media/key.png"));
    QVERIFY(QFile::link(outside.filePath("door.png"), dir.filePath("door.png")));
    QVERIFY(QFile::link(outside.filePath("media"), dir.filePath("media")));
    QVERIFY(QFile::link(dir.filePath("nowhere.png"), dir.filePath("hero.png"))); // dangling
    QVERIFY(QFile::link(dir.path(), dir.filePath("loop"))); // a cycle the walk must not follow
    f.session.setProjectFolder(dir.path());
    f.m.media[Images].set(1, "door", "C:\\g\\door.png");
    f.m.media[Images].set(2, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(3, "key", "C:\\g\\key.png");
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 2);
    QCOMPARE(f.m.media[Images].path(1), dir.filePath("door.png"));
    QCOMPARE(search.names(), QStringList({"hero", "key"}));
}

// Entries that share a folder are checked against one listing of it: the result must be what a
// lookup of each file gives (links to files count, a dangling link or a folder of the name does
// not), in list order, also for a folder that is not there at all.
void TestMissingFiles::presentFilesOfABusyFolderAreToldByItsListing()
{
    QTemporaryDir dir, elsewhere;
    Fixture f;
    touch(dir.filePath("gfx/a.png"));
    touch(dir.filePath("gfx/c.png"));
    touch(dir.filePath("other/b.png"));
    QVERIFY(QFile::link(dir.filePath("other/b.png"), dir.filePath("gfx/b.png")));
    QVERIFY(QFile::link(dir.filePath("gfx/none.png"), dir.filePath("gfx/dangling.png")));
    QVERIFY(QDir().mkpath(dir.filePath("gfx/folder.png")));
    const QStringList inGfx = {"a", "dangling", "b", "folder", "gone", "c"};
    int slot = 1;
    for (const QString &name : inGfx)
        f.m.media[Images].set(slot++, name, dir.filePath("gfx/" + name + ".png"));
    for (const QString &name : {"p", "q", "r", "s"})
        f.m.media[Images].set(slot++, name, dir.filePath("nowhere/" + name + ".png"));
    f.m.media[Images].set(slot++, "relative", "gfx/a.png");
    f.m.media[Sounds].set(1, "a", dir.filePath("gfx/a.png")); // the same file, another kind
    f.session.setProjectFolder(elsewhere.path()); // an empty folder: the search repairs nothing
    MissingFiles search(f.session);
    QCOMPARE(search.check(), 8);
    QCOMPARE(search.names(), QStringList({"dangling", "folder", "gone", "p", "q", "r", "s", "relative"}));
}

QTEST_GUILESS_MAIN(TestMissingFiles)
#include "tst_missingfiles.moc"
