// Imports of exchange files from elsewhere: folder names taken from archives, files that are
// there already, damaged or odd files. An import either succeeds or leaves nothing behind.
#include "build/elementexchange.h"
#include "build/projectexchange.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "support/filebytes.h"
#include "support/handzip.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;
using namespace mb::testing;

namespace {

QByteArray zipOf(const QList<std::pair<QString, QByteArray>> &entries, int level = 0)
{
    ZipWriter zip;
    for (const auto &[name, bytes] : entries)
        zip.addBytes(name, bytes, level);
    zip.close();
    return zip.bytes();
}

// The sample project saved as bytes of a .adv named `name`.adv.
QByteArray sampleAdv(const QString &name)
{
    QTemporaryDir dir;
    auto m = sampleProject();
    saveProject(*m, dir.path(), name);
    return readBytes(dir.filePath(name + QStringLiteral(".adv")));
}

// A model that is clearly the open project, to see that a failed import leaves it alone.
void markOpenProject(ProjectModel &m)
{
    m.allesneu(MessageCatalog());
    m.items[1].name = QStringLiteral("stillhere");
}

} // namespace

class TestImportSafety : public QObject
{
    Q_OBJECT
private slots:
    void refusedExportFilesLeaveNothing_data();
    void refusedExportFilesLeaveNothing();
    void importNeverWritesOverAnEarlierOne();
    void roomImportDoesNotReplaceTheProjectsFiles();
};

void TestImportSafety::refusedExportFilesLeaveNothing_data()
{
    QTest::addColumn<QByteArray>("adz");
    QTest::addColumn<QString>("expected");
    const QByteArray adv = sampleAdv(QStringLiteral("sample"));
    const QByteArray folder = zipOf({{QStringLiteral("evil.png"), "x"}});
    // The folder archive names give folder names: "...zip" would be "..", beside the project.
    for (const char *name : {"...zip", "..zip", ".zip"})
        QTest::newRow(name) << zipOf({{QStringLiteral("sample.adv"), adv},
                                      {QStringLiteral("gfx.dat"), zipOf({{QString::fromLatin1(name), folder}})}})
                            << QStringLiteral("cannot be a folder name");
    QTest::newRow("two projects, the first garbage")
        << zipOf({{QStringLiteral("broken.adv"), "garbage"}, {QStringLiteral("sample.adv"), adv}})
        << QStringLiteral("more than one project");
    QTest::newRow("a project without a name") << zipOf({{QStringLiteral(".adv"), adv}}) << QStringLiteral("has no name");
    QTest::newRow("no project") << zipOf({{QStringLiteral("readme.txt"), "hello"}}) << QStringLiteral("holds no project");
    // The last archive unpacked fails its CRC: everything made before it must go again.
    QByteArray damagedFolder = handZip({{"a.png", "aaaa"}, {"b.png", "bbbb"}});
    damagedFolder[findEntryHeaders(damagedFolder, "b.png").dataAt] = 'X';
    QTest::newRow("damaged image at the end")
        << zipOf({{QStringLiteral("sample.adv"), adv},
                  {QStringLiteral("gfx.dat"), zipOf({{QStringLiteral("ok.zip"), folder}, {QStringLiteral("zz.zip"), damagedFolder}})}})
        << QStringLiteral("damaged");
    QTest::newRow("image declaring 2 GiB")
        << zipOf({{QStringLiteral("sample.adv"), adv},
                  {QStringLiteral("gfx.dat"),
                   zipOf({{QStringLiteral("big.zip"), handZip({{"huge.png", "tiny", false, qint64(1) << 31}})}})}})
        << QStringLiteral("huge.png");
}

void TestImportSafety::refusedExportFilesLeaveNothing()
{
    QFETCH(QByteArray, adz);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base"));
    const QString path = QDir(base).filePath(QStringLiteral("moved.adz"));
    writeBytes(path, adz);
    const MessageCatalog cat;
    ProjectSession session(cat);
    ProjectModel &m = *testing::writable(session);
    markOpenProject(m);
    const ExchangeResult r = importProject(session, path);
    QVERIFY2(!r.ok, qPrintable(r.path));
    QVERIFY2(r.badInput, qPrintable(r.message));
    QVERIFY2(r.message.contains(expected), qPrintable(r.message));
    QCOMPARE(listing(dir.path()), QStringList({"base", "base/moved.adz"}));
    QCOMPARE(m.items[1].name, QStringLiteral("stillhere"));
}

void TestImportSafety::importNeverWritesOverAnEarlierOne()
{
    QTemporaryDir dir;
    const QByteArray adz = zipOf({{QStringLiteral("sample.adv"), sampleAdv(QStringLiteral("sample"))},
                                  {QStringLiteral("gfx.dat"), zipOf({{QStringLiteral("pics.zip"),
                                                                      zipOf({{QStringLiteral("hallbg.png"), "key"}})}})}});
    const QString path = dir.filePath(QStringLiteral("moved.adz"));
    writeBytes(path, adz);
    MessageCatalog cat;
    ProjectSession first(cat);
    QVERIFY(importProject(first, path).ok);
    const QString firstImage = dir.filePath(QStringLiteral("moved/pics/hallbg.png"));
    writeBytes(firstImage, "edited since"); // the author worked on the first import
    const QByteArray firstProject = readBytes(dir.filePath(QStringLiteral("moved/sample.adv")));

    ProjectSession session(cat);
    const ProjectModel &second = session.model();
    const ExchangeResult r = importProject(session, path);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(QDir::cleanPath(r.path), dir.filePath(QStringLiteral("moved-2/sample.adv")));
    QVERIFY(r.message.contains(QStringLiteral("moved-2")));
    QVERIFY(!r.notes.isEmpty() && r.notes.join(u' ').contains(QStringLiteral("moved-2")));
    QCOMPARE(readBytes(firstImage), QByteArray("edited since"));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("moved/sample.adv"))), firstProject);
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("moved-2/pics/hallbg.png"))), QByteArray("key"));
    QCOMPARE(QDir::fromNativeSeparators(second.media[Images].path(second.media[Images].find(QStringLiteral("hallbg")))),
             dir.filePath(QStringLiteral("moved-2/pics/hallbg.png")));
    // No work folder is left beside them.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"moved", "moved-2", "moved.adz"}));
}

// A room file named after a media folder of the project: its images must not replace the
// project's files of the same name, which the project's entries still point at.
void TestImportSafety::roomImportDoesNotReplaceTheProjectsFiles()
{
    QTemporaryDir dir;
    MessageCatalog cat;
    // The room to move, with two images, exported from another project.
    ProjectModel source;
    source.allesneu(cat);
    for (const char *name : {"door", "wall"}) {
        const QString file = dir.filePath(QStringLiteral("elsewhere/%1.png").arg(QLatin1String(name)));
        writeBytes(file, QByteArray("their ") + name);
        source.mediaadd(Images, QLatin1String(name), file);
    }
    source.rooms[1].name = QStringLiteral("gfx");
    source.rooms[1].background = QStringLiteral("wall");
    source.rooms[1].parallax = QStringLiteral("door");
    const QString adr = dir.filePath(QStringLiteral("gfx.adr"));
    QVERIFY(exportRoom(source, cat, QStringLiteral("gfx"), adr).ok);

    // The project keeps its images in ProjectFolder/gfx; "door" is one of them.
    auto target = sampleProject(cat);
    const QString project = dir.filePath(QStringLiteral("project"));
    const QString ownDoor = QDir(project).filePath(QStringLiteral("gfx/door.png"));
    writeBytes(ownDoor, "our door");
    target->mediaadd(Images, QStringLiteral("door"), ownDoor);
    QVERIFY(saveProject(*target, project, QStringLiteral("sample")).ok);
    ProjectSession session(cat);
    session.replace(std::move(target), project);
    const ExchangeResult r = importRoom(session, adr);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(readBytes(ownDoor), QByteArray("our door"));
    QCOMPARE(listing(QDir(project).filePath(QStringLiteral("gfx"))), QStringList{"door.png"});
    QVERIFY2(r.notes.join(u' ').contains(QStringLiteral("gfx-2")), qPrintable(r.notes.join(u' ')));
    const MediaTable &images = session.model().media[Images];
    QCOMPARE(images.path(images.find(QStringLiteral("door"))), ownDoor);
    const QString wall = QDir::fromNativeSeparators(images.path(images.find(QStringLiteral("wall"))));
    QCOMPARE(wall, QDir(project).filePath(QStringLiteral("gfx-2/wall.png")));
    QCOMPARE(readBytes(wall), QByteArray("their wall"));
}

QTEST_GUILESS_MAIN(TestImportSafety)
#include "tst_importsafety.moc"
