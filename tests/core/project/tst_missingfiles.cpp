#include "project/messagecatalog.h"
#include "project/missingfiles.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    ProjectModel m;
    Fixture() { m.allesneu(cat); }
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
};

void TestMissingFiles::nothingMissingWhenAllFilesExist()
{
    QTemporaryDir dir;
    Fixture f;
    touch(dir.filePath("gfx/hero.png"));
    f.m.media[Images].set(1, "hero", dir.filePath("gfx/hero.png"));
    f.m.projectFolder = dir.path();
    f.m.busy = true;
    MissingFiles search(f.m);
    QCOMPARE(search.check(), 0);
    QVERIFY(!f.m.busy);
    QVERIFY(!f.m.modified);
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
    f.m.projectFolder = dir.path();
    MissingFiles search(f.m);
    QCOMPARE(search.check(), 0);
    QCOMPARE(search.repairedCount(), 1);
    QCOMPARE(f.m.media[Images].path(1), dir.filePath(found));
    QVERIFY(f.m.modified);
    QVERIFY(!f.m.busy);
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
    MissingFiles search(f.m);
    QCOMPARE(search.check(), 5); // no project folder: nothing is searched
    QCOMPARE(search.names(), QStringList({"door", "hero", "ding", "theme", "intro"}));
    QCOMPARE(search.extraLines(), QStringList({"IC:\\g\\door.png", "IC:\\g\\hero.png", "S/s/ding.wav",
                                               "MC:\\m\\theme.xm", "VC:\\v\\intro.avi"}));
    QCOMPARE(search.countText(), QStringLiteral("(5)"));
    QVERIFY(f.m.busy);
    search.finish();
    QVERIFY(!f.m.busy);
}

void TestMissingFiles::entriesOfDifferentKindsShareAFileName()
{
    QTemporaryDir project, extra;
    Fixture f;
    f.m.projectFolder = project.path();
    f.m.media[Sounds].set(1, "theme", "C:\\sfx\\theme.ogg");
    f.m.media[Music].set(1, "theme", "C:\\music\\theme.ogg");
    touch(extra.filePath("theme.ogg"));
    MissingFiles search(f.m);
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
    f.m.projectFolder = project.path();
    f.m.media[Images].set(1, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(2, "door", "C:\\g\\door.png");
    touch(extra.filePath("sub/hero.png")); // below the added folder: not searched
    MissingFiles search(f.m);
    QCOMPARE(search.check(), 2);
    QVERIFY(search.addFolder(extra.path()));
    QCOMPARE(search.count(), 2);
    // Adding it again (written differently) does not search it again, even though the file is
    // there now.
    touch(extra.filePath("door.png"));
    QVERIFY(!search.addFolder(extra.path() + "/./"));
    QCOMPARE(search.count(), 2);
    QCOMPARE(search.addedFolders(), QStringList{extra.path()});
    QVERIFY(!f.m.modified);
    QVERIFY(search.addFolder(extra.filePath("sub")));
    QCOMPARE(search.names(), QStringList{"door"});
    QVERIFY(f.m.modified);
}

void TestMissingFiles::stillMissingKeepsOldPath()
{
    QTemporaryDir project;
    Fixture f;
    f.m.projectFolder = project.path();
    touch(project.filePath("gfx/HERO.png")); // only the exact name counts
    QDir().mkpath(project.filePath("gfx/door.png")); // a folder of that name is no file
    f.m.media[Images].set(1, "hero", "C:\\g\\hero.png");
    f.m.media[Images].set(2, "door", "C:\\g\\door.png");
    MissingFiles search(f.m);
    QCOMPARE(search.check(), 2);
    search.finish();
    QCOMPARE(f.m.media[Images].path(1), QStringLiteral("C:\\g\\hero.png"));
    QCOMPARE(f.m.media[Images].path(2), QStringLiteral("C:\\g\\door.png"));
    QVERIFY(!f.m.modified);
}

QTEST_GUILESS_MAIN(TestMissingFiles)
#include "tst_missingfiles.moc"
