// Saving under hostile conditions: temporary files of saves that died, a save killed half way,
// a backup folder that cannot be written, names that are no file names.
#include "platform/atomicfile.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/file.h>

using namespace mb;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList temporaries(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.saving-*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestSaveSafety : public QObject
{
    Q_OBJECT
private slots:
    void staleTemporaryFilesGoWithTheNextSave();
    void openRemovesTemporaryFilesWhoseWriterIsGone();
    void savesKilledHalfWayLeaveTheOldOrTheNewProject();
    void backupThatCannotBeWrittenIsReported();
    void namesThatCannotBeSavedAreRefused_data();
    void namesThatCannotBeSavedAreRefused();
};

void TestSaveSafety::staleTemporaryFilesGoWithTheNextSave()
{
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    QVERIFY(saveProject(*m, dir.path(), QStringLiteral("sample")).ok);
    QCOMPARE(temporaries(dir.path()), QStringList());
    // Left by saves that died; a save in progress holds its lock; others are not ours.
    for (const char *name : {"sample.adv.saving-a1b2c3", "sample.adv.saving-zzzzzz", "sample.adv.saving-inprog",
                             "sample.adv.saving-tooLong1", "other.adv.saving-a1b2c3"})
        QVERIFY(writeBytes(dir.filePath(QLatin1String(name)), "partial archive"));
    QFile inProgress(dir.filePath(QStringLiteral("sample.adv.saving-inprog")));
    QVERIFY(inProgress.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(inProgress.handle(), LOCK_EX | LOCK_NB), 0);

    QVERIFY(saveProject(*m, dir.path(), QStringLiteral("sample")).ok);
    QCOMPARE(temporaries(dir.path()),
             QStringList({"other.adv.saving-a1b2c3", "sample.adv.saving-inprog", "sample.adv.saving-tooLong1"}));
    inProgress.close(); // its writer is gone now
    QVERIFY(saveProject(*m, dir.path(), QStringLiteral("sample")).ok);
    QCOMPARE(temporaries(dir.path()), QStringList({"other.adv.saving-a1b2c3", "sample.adv.saving-tooLong1"}));
}

void TestSaveSafety::openRemovesTemporaryFilesWhoseWriterIsGone()
{
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    QVERIFY(saveProject(*m, dir.path(), QStringLiteral("sample")).ok);
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("sample.adv.saving-q9w8e7")), "partial"));
    ProjectModel opened;
    QVERIFY(openProject(opened, MessageCatalog(), dir.filePath(QStringLiteral("sample.adv"))).ok);
    QCOMPARE(temporaries(dir.path()), QStringList());
}

// The command line saves a project big enough to take a moment and is killed at different
// points: what is left is always a project that opens, and the next save leaves no litter.
void TestSaveSafety::savesKilledHalfWayLeaveTheOldOrTheNewProject()
{
    const QString cli = QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath(QStringLiteral("mossbramble-cli"));
    if (!QFileInfo(cli).isExecutable())
        QSKIP("the command line program is not built");
    QTemporaryDir dir;
    MessageCatalog cat;
    auto m = testing::sampleProject(cat);
    // Many script lines of varied text, so that deflating takes a while.
    for (int i = 1; i <= 300; ++i) {
        m->cutscenes[i].name = QStringLiteral("script%1").arg(i);
        for (int line = 0; line < 400; ++line)
            m->cutscenes[i].script << QStringLiteral("speech(self;line %1 of %2, %3)").arg(line).arg(i).arg(line * i * 7919);
    }
    QVERIFY(saveProject(*m, dir.path(), QStringLiteral("big")).ok);
    const QString source = dir.filePath(QStringLiteral("big.adv")), target = dir.filePath(QStringLiteral("out.adv"));
    QVERIFY(QFile::copy(source, target));
    int killed = 0;
    for (int delay : {5, 20, 40, 60, 80, 120, 160, 220}) {
        QProcess p;
        p.start(cli, {QStringLiteral("resave"), source, target, QStringLiteral("--editor-folder"), dir.path()});
        QVERIFY(p.waitForStarted());
        QThread::msleep(delay);
        if (p.state() == QProcess::Running) {
            p.kill();
            ++killed;
        }
        p.waitForFinished();
        ProjectModel check;
        const ProjectFileResult r = openProject(check, cat, target);
        QVERIFY2(r.ok, qPrintable(QStringLiteral("after %1 ms: ").arg(delay) + r.message));
        QCOMPARE(check.cutscenes.usedCount(), 300);
    }
    if (killed == 0)
        QSKIP("every save finished before it could be killed");
    ProjectModel again;
    QVERIFY(openProject(again, cat, target).ok);
    QVERIFY(saveProject(again, dir.path(), QStringLiteral("out")).ok);
    QCOMPARE(temporaries(dir.path()), QStringList());
}

void TestSaveSafety::backupThatCannotBeWrittenIsReported()
{
    QTemporaryDir dir;
    auto m = testing::sampleProject();
    SaveOptions backup;
    backup.makeBackup = true;
    backup.editorFolder = dir.filePath(QStringLiteral("editor"));
    QVERIFY(QDir().mkpath(backup.editorFolder));
    // A file where the backups folder has to be.
    QVERIFY(writeBytes(QDir(backup.editorFolder).filePath(QStringLiteral("backups")), "not a folder"));
    const ProjectFileResult r = saveProject(*m, dir.path(), QStringLiteral("sample"), backup);
    QVERIFY2(r.ok, qPrintable(r.message));
    QVERIFY(r.backupPath.isEmpty());
    QVERIFY2(r.warning.contains(QStringLiteral("backup")), qPrintable(r.warning));
    ProjectModel opened;
    QVERIFY(openProject(opened, MessageCatalog(), dir.filePath(QStringLiteral("sample.adv"))).ok);

    // With a writable editor folder the warning is gone.
    QVERIFY(QFile::remove(QDir(backup.editorFolder).filePath(QStringLiteral("backups"))));
    const ProjectFileResult fine = saveProject(*m, dir.path(), QStringLiteral("sample"), backup);
    QVERIFY(fine.ok && fine.warning.isEmpty() && QFileInfo(fine.backupPath).isFile());
}

void TestSaveSafety::namesThatCannotBeSavedAreRefused_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QStringLiteral("needs a name");
    QTest::newRow("only the extension") << QStringLiteral(".adv") << QStringLiteral("needs a name");
    QTest::newRow("a folder") << QStringLiteral("taken.adv") << QStringLiteral("is a folder");
}

void TestSaveSafety::namesThatCannotBeSavedAreRefused()
{
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("taken.adv"))));
    const MessageCatalog cat;
    ProjectSession session(cat);
    session.replace(testing::sampleProject());
    session.markModified();
    const ProjectFileResult r = session.saveAs(chosen.isEmpty() ? dir.path() + u'/' : dir.filePath(chosen));
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(expected), qPrintable(r.message));
    QVERIFY(session.isModified());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"taken.adv"});
}

QTEST_GUILESS_MAIN(TestSaveSafety)
#include "tst_savesafety.moc"
