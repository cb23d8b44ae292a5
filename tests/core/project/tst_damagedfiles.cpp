// Replays the corpus of damaged project files (the fuzz target's findings and hand-made cases):
// every file must open to a project, or fail with the message its NAME.message file holds (with
// the file's name in place of its path) and leave an empty project. Files named "*-ok.*" open.
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/fuzzinput.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestDamagedFiles : public QObject
{
    Q_OBJECT
private slots:
    void corpus_data()
    {
        QTest::addColumn<QString>("path");
        const QString dir = QFINDTESTDATA("data/damaged");
        QVERIFY(!dir.isEmpty());
        const QStringList files = QDir(dir).entryList({"*.adv", "*.fuzz"}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 5);
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << QDir(dir).filePath(f);
    }
    void corpus()
    {
        QFETCH(QString, path);
        const QString name = QFileInfo(path).fileName();
        MessageCatalog cat;
        ProjectModel m;
        ProjectFileResult r;
        if (path.endsWith(".adv")) {
            r = openProject(m, cat, path);
            r.message.replace(path, name);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            bool hasLanguageFile = false;
            const CompanionFiles files = testing::splitFuzzInput(f.readAll(), &hasLanguageFile);
            r = readCompanionFiles(m, cat, files, hasLanguageFile, name);
        }
        QFile expected(path + ".message");
        const bool expectOk = QFileInfo(path).baseName().endsWith("-ok");
        QVERIFY2(expected.exists() != expectOk, expectOk ? "an -ok file has no message file"
                                                         : "a damaged file needs NAME.message with its message");
        QVERIFY2(r.ok == expectOk, qPrintable(r.message));
        if (!r.ok) {
            QVERIFY(expected.open(QIODevice::ReadOnly));
            QCOMPARE(r.message, QString::fromUtf8(expected.readAll()).trimmed());
            QCOMPARE(m.rooms.usedCount() + m.items.usedCount() + m.media[Images].usedCount(), 0);
            QCOMPARE(int(m.gameTree.roots.size()), 5);
        } else {
            // What was read saves again.
            QTemporaryDir out;
            QVERIFY(saveProject(m, out.path(), "again").ok);
        }
    }
};

QTEST_GUILESS_MAIN(TestDamagedFiles)
#include "tst_damagedfiles.moc"
