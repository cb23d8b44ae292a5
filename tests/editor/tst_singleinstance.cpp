// Two processes of the editor: the second start hands its project to the first.
#include "app/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

namespace {

// A private runtime folder (where the lock and the socket live) and editor folder for the
// editors started by a test.
struct Session
{
    QTemporaryDir runtime;
    QTemporaryDir home;
    Session() { QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }

    QString program() const { return QDir(qEnvironmentVariable("MOSSBRAMBLE_BIN_DIR")).filePath("mossbramble"); }
    void prepare(QProcess &p, const QString &cwd) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("MOSSBRAMBLE_HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(cwd);
        p.setProgram(program());
    }
    // A second start with these arguments; its exit code (-1 when it did not end).
    int secondStart(const QStringList &args, const QString &cwd) const
    {
        QProcess p;
        prepare(p, cwd);
        p.setArguments(args);
        p.start();
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFile::exists(Session().program()), "the editor is built beside the tests"); }

    void secondStartHandsOverItsProject_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected"); // "@" stands for the second start's folder
        QTest::newRow("absolute path") << QStringList{"/games/castle.adv"} << "/games/castle.adv";
        QTest::newRow("relative path") << QStringList{"games/castle.adv"} << "@/games/castle.adv";
        // A bare name is looked for in the editor folder by the running editor.
        QTest::newRow("bare name split by the shell") << QStringList{"my", "castle.adv"} << "my castle.adv";
        QTest::newRow("no project: come to the front") << QStringList{} << "";
        QTest::newRow("the 16-bit switch is not part of the path") << QStringList{"-16bit", "/g/a b.adv"} << "/g/a b.adv";
    }
    void secondStartHandsOverItsProject()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        Session s;
        SingleInstance first(s.runtime.path());
        QVERIFY(first.acquired());
        QSignalSpy requests(&first, &SingleInstance::projectRequested);
        QTemporaryDir cwd;
        // The second process blocks on the answer, so it runs while this loop serves the socket.
        QProcess p;
        s.prepare(p, cwd.path());
        p.setArguments(args);
        p.start();
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, 20000);
        QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(requests[0][0].toString(), QString(expected).replace("@", QDir(cwd.path()).canonicalPath()));
    }

    void crashedEditorIsTakenOver()
    {
        Session s;
        QTemporaryDir cwd;
        // A real editor that dies without cleaning up leaves its lock file and its socket.
        QProcess crashing;
        s.prepare(crashing, cwd.path());
        crashing.start();
        const QString socket = QDir(s.runtime.path()).filePath("mossbramble.socket");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 20000);
        const SingleInstance probe(s.runtime.path());
        QVERIFY(!probe.acquired());
        QCOMPARE(probe.socketPath(), socket);
        crashing.kill();
        QVERIFY(crashing.waitForFinished());
        QVERIFY(QFile::exists(probe.lockPath()));
        QVERIFY(QFile::exists(probe.socketPath()));
        // A start with nobody listening does not hang: it reports that nobody answered.
        QVERIFY(!probe.handOver("x.adv", 300));

        SingleInstance next(s.runtime.path());
        QVERIFY(next.acquired());
        QSignalSpy requests(&next, &SingleInstance::projectRequested);
        QProcess p;
        s.prepare(p, cwd.path());
        p.setArguments({"/games/castle.adv"});
        p.start();
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, 20000);
        QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(requests[0][0].toString(), QString("/games/castle.adv"));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
