#include "project/editorsettings.h"
#include "project/recentprojects.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestRecentProjects : public QObject
{
    Q_OBJECT
private slots:
    void newestFirstOnceAndTen()
    {
        QTemporaryDir dir;
        EditorSettings settings(dir.path());
        auto project = [&](int i) {
            const QString p = dir.filePath(QStringLiteral("p%1.adv").arg(i));
            QFile f(p);
            f.open(QIODevice::WriteOnly);
            return p;
        };
        RecentProjects recent(settings);
        for (int i = 1; i <= 12; ++i)
            recent.add(project(i));
        QStringList expected;
        for (int i = 12; i > 2; --i)
            expected << project(i);
        QCOMPARE(recent.list(), expected);
        // Another spelling of a listed project moves it up instead of listing it twice.
        QDir::setCurrent(dir.path());
        QDir().mkpath(QStringLiteral("sub"));
        recent.add(QStringLiteral("./sub/../p5.adv"));
        QCOMPARE(recent.list().first(), project(5));
        QCOMPARE(recent.list().count(project(5)), 1);
        QCOMPARE(recent.list().size(), 10);
        // A stored project that went is dropped, also from config.ini.
        QFile::remove(project(12));
        QVERIFY(!recent.list().contains(project(12)));
        QVERIFY(!RecentProjects(settings).list().contains(project(12)));
        QCOMPARE(settings.readsetting(QStringLiteral("Recent 10")), QString());
        recent.clear();
        QVERIFY(recent.list().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecentProjects)
#include "tst_recentprojects.moc"
