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
