#include "app/tform1.h"

#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace mb;

class TestTForm1 : public QObject
{
    Q_OBJECT
private slots:
    void captionsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("EN") << "EN";
        QTest::newRow("DE") << "DE";
    }
    void captionsFollowTheLanguage()
    {
        QFETCH(QString, lang);
        QTemporaryDir dir;
        EditorSettings settings(dir.path());
        QVERIFY(settings.writesetting("Lang", lang));
        MessageCatalog catalog(settings.startLanguage());
        ProjectModel model;
        model.allesneu(catalog);
        TForm1 w(model, catalog, settings);
        const auto menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(menus[i]->text(), catalog.msg(10 + i));
        QCOMPARE(w.gamepool()->topLevelItemCount(), 5);
        QCOMPARE(w.gamepool()->topLevelItem(2)->text(0), catalog.msg(3));
        QCOMPARE(w.mediapool()->topLevelItem(0)->text(0), catalog.msg(6));
        QCOMPARE(w.windowTitle(), "Mossbramble (" + catalog.msg(100) + ")");
        QVERIFY(w.statusPanel(1)->text().startsWith(catalog.msg(32) + ": 0 |"));
        QVERIFY(!w.statusPanel(0)->text().contains(QRegularExpression("[1-9]")));
    }
};

QTEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
