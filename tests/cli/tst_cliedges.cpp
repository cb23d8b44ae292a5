// File names at the edges of the command line: empty names, folders for files, missing and
// damaged inputs. Each gets a clear message and exit status 2 (unusable input), and nothing is
// left behind.
#include "platform/ziparchive.h"
#include "project/projectfile.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestCliEdges : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void unusableNames_data();
    void unusableNames();

private:
    QTemporaryDir m_dir;
};

void TestCliEdges::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(saveProject(*testing::sampleProject(), m_dir.path(), QStringLiteral("demo")).ok);
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.adv")));
    QFile damaged(m_dir.filePath(QStringLiteral("damaged.adz")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("PK\x03\x04 not really an archive");
}

void TestCliEdges::unusableNames_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    const QString demo = QStringLiteral("demo.adv");
    QTest::newRow("resave to an empty name") << QStringList{"resave", demo, ""} << "empty";
    QTest::newRow("resave into a folder") << QStringList{"resave", demo, "folder"} << "is a folder";
    QTest::newRow("resave onto a folder named .adv") << QStringList{"resave", demo, "folder.adv"} << "is a folder";
    QTest::newRow("info of a folder") << QStringList{"info", "folder.adv"} << "is a folder";
    QTest::newRow("info of a missing file") << QStringList{"info", "gone.adv"} << "is not existent.";
    QTest::newRow("export to an empty name") << QStringList{"export", demo, ""} << "empty";
    QTest::newRow("export-room into a folder") << QStringList{"export-room", demo, "hall", "folder"} << "is a folder";
    QTest::newRow("import a missing file") << QStringList{"import", "gone.adz"} << "is not existent.";
    QTest::newRow("import a folder") << QStringList{"import", "folder"} << "is a folder";
    QTest::newRow("import a damaged file") << QStringList{"import", "damaged.adz"} << "damaged.adz";
    QTest::newRow("import-room of a missing file") << QStringList{"import-room", demo, "gone.adr"} << "is not existent.";
    QTest::newRow("import-char of a missing file") << QStringList{"import-char", demo, "gone.adc"} << "is not existent.";
    QTest::newRow("import-char of a folder") << QStringList{"import-char", demo, "folder"} << "is a folder";
}

void TestCliEdges::unusableNames()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QByteArray project = [&] {
        QFile f(m_dir.filePath(QStringLiteral("demo.adv")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath(QStringLiteral("mossbramble-cli")),
            args + QStringList{QStringLiteral("--editor-folder"), m_dir.path()});
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() == 2, qPrintable(QStringLiteral("exit %1: %2").arg(p.exitCode()).arg(err)));
    QVERIFY2(err.contains(expected), qPrintable(err));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    QVERIFY(QDir(m_dir.filePath(QStringLiteral("folder"))).isEmpty());
    QFile f(m_dir.filePath(QStringLiteral("demo.adv")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), project);
}

QTEST_GUILESS_MAIN(TestCliEdges)
#include "tst_cliedges.moc"
