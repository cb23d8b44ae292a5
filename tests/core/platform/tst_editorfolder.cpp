#include "platform/editorfolder.h"

#include "support/withoutroot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestEditorFolder : public QObject
{
    Q_OBJECT
private slots:
    // Where config.ini and the runtime files go, for the ways the program is run.
    void choosesTheFolder_data()
    {
        QTest::addColumn<QString>("home");     // MOSSBRAMBLE_HOME, relative to the temporary folder
        QTest::addColumn<QString>("program");  // the program's folder
        QTest::addColumn<QString>("expected"); // "@program", "@data" (data home/mossbramble) or a folder
        QTest::newRow("build folder") << "" << "build/bin" << "@program";
        QTest::newRow("unpacked copy in a folder not named bin") << "" << "tools" << "@program";
        QTest::newRow("installed under a prefix") << "" << "usr/bin" << "@data";
        QTest::newRow("MOSSBRAMBLE_HOME beats the installation") << "mine" << "usr/bin" << "mine";
        QTest::newRow("MOSSBRAMBLE_HOME beats the build folder") << "mine" << "build/bin" << "mine";
    }
    void choosesTheFolder()
    {
        QFETCH(QString, home);
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        // An installation: bin/ beside share/mossbramble.
        root.mkpath("usr/bin");
        root.mkpath("usr/share/mossbramble");
        root.mkpath("build/bin");
        root.mkpath("tools");
        const QString dataHome = root.filePath("home/.local/share");

        const QString chosen = chooseEditorFolder(home.isEmpty() ? QString() : root.filePath(home),
                                                  root.filePath(program), dataHome);
        const QString want = expected == "@program" ? root.filePath(program)
            : expected == "@data"                   ? dataHome + "/mossbramble"
                                                    : root.filePath(expected);
        QCOMPARE(QDir::cleanPath(chosen), QDir::cleanPath(want));
        // The data home folder is made, so config.ini can be written at once.
        if (expected == "@data") {
            QVERIFY(QFileInfo(chosen).isDir());
            QFile ini(QDir(chosen).filePath("config.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
        }
    }

    void readOnlyProgramFolderUsesTheDataHome()
    {
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        root.mkpath("opt/game");
        // As root the test acts as an ordinary user, whom the permissions bind.
        testing::WithoutRoot user({tmp.path()});
        if (!user.ok())
            QSKIP(qPrintable(user.reason()));
        const QString program = root.filePath("opt/game");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        const QString chosen = chooseEditorFolder({}, program, root.filePath("data"));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(chosen, root.filePath("data/mossbramble"));
    }
};

QTEST_GUILESS_MAIN(TestEditorFolder)
#include "tst_editorfolder.moc"
