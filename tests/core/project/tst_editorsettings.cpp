#include "project/editorsettings.h"
#include "support/withoutroot.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class TestEditorSettings : public QObject
{
    Q_OBJECT
private slots:
    void missingFileAndKey()
    {
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        QCOMPARE(s.readsetting("Lang"), QStringLiteral("-1"));
        QVERIFY(s.writesetting("Toolbar", "an"));
        QCOMPARE(readAll(s.filePath()), QByteArray("Toolbar = an\n"));
        QCOMPARE(s.readsetting("Lang"), QStringLiteral("-1"));
    }
    void keyTwiceReplacesBothAndLastWins()
    {
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        writeFile(s.filePath(), "Lang = EN\r\nSkript Top = 5\r\nLang = DE\r\n");
        QCOMPARE(s.readsetting("Lang"), QStringLiteral("DE"));
        QCOMPARE(s.readsetting("Skript Top"), QStringLiteral("5")); // key with a blank
        QCOMPARE(s.readsetting("Skript"), QStringLiteral("-1"));    // a prefix is not the key
        QVERIFY(s.writesetting("Lang", "EN"));
        QCOMPARE(readAll(s.filePath()), QByteArray("Lang = EN\nSkript Top = 5\nLang = EN\n"));
        QVERIFY(s.writesetting("Mainform Width", "800"));
        QCOMPARE(s.readsetting("Mainform Width"), QStringLiteral("800"));
        QCOMPARE(s.readsetting("Skript Top"), QStringLiteral("5"));
    }
    void casesensitiveKeys()
    {
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        QVERIFY(s.writesetting("Fit", "aus"));
        QCOMPARE(s.readsetting("fit"), QStringLiteral("-1"));
        QCOMPARE(s.readsetting("Fit"), QStringLiteral("aus"));
    }
    void startLanguageWritesDefault()
    {
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        QCOMPARE(s.startLanguage(), QStringLiteral("EN"));
        QCOMPARE(s.readsetting("Lang"), QStringLiteral("EN"));
    }
    // The rules over text in memory are the file's rules: the same values read, the same bytes
    // written, and a value reads the same before and after another key is written.
    void inMemoryTextFollowsTheFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("missing file") << QByteArray() << "Lang" << "-1";
        QTest::newRow("CR LF, last wins") << QByteArray("Lang = EN\r\nLang = DE\r\n") << "Lang" << "DE";
        QTest::newRow("no final line end") << QByteArray("Backup = 0") << "Backup" << "0";
        QTest::newRow("stray CRs") << QByteArray("Lang = EN\r\r\nFit = an\r\r\r") << "Lang" << "EN";
        QTest::newRow("inner CR stays") << QByteArray("Openpath = a\rb\n") << "Openpath" << "a\rb";
        QTest::newRow("not UTF-8") << QByteArray("Openpath = /m\xfcll\n") << "Openpath" << QString::fromUtf8("/m\xef\xbf\xbdll");
        QTest::newRow("empty value") << QByteArray("Lang =\n") << "Lang" << "";
    }
    void inMemoryTextFollowsTheFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        if (!ini.isNull())
            writeFile(s.filePath(), ini);
        QCOMPARE(EditorSettings::settingIn(ini, key), value);
        QCOMPARE(s.readsetting(key), value);

        const std::optional<QByteArray> written = EditorSettings::withSetting(ini, "Createpath", "/games");
        QVERIFY(written);
        QVERIFY(s.writesetting("Createpath", "/games"));
        QCOMPARE(readAll(s.filePath()), *written);
        QCOMPARE(EditorSettings::settingIn(*written, key), value);
        QCOMPARE(EditorSettings::settingIn(*written, "Createpath"), QStringLiteral("/games"));
        QVERIFY(!EditorSettings::withSetting(ini, "Createpath", "a\nLang = DE"));
        QVERIFY(!EditorSettings::withSetting(ini, "Create\rpath", "x"));
    }
    void unwritableFolderKeepsOldFile()
    {
        QTemporaryDir dir;
        EditorSettings s(dir.path());
        QVERIFY(s.writesetting("Lang", "DE"));
        testing::WithoutRoot user({dir.path()});
        if (!user.ok())
            QSKIP(qPrintable(user.reason()));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool written = s.writesetting("Lang", "EN");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        QVERIFY2(s.errorString().contains("Permission denied"), qPrintable(s.errorString()));
        QCOMPARE(s.readsetting("Lang"), QStringLiteral("DE"));
    }
};

QTEST_GUILESS_MAIN(TestEditorSettings)
#include "tst_editorsettings.moc"
