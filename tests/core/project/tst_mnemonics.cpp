#include "project/mnemonics.h"

#include <QTest>

using namespace mb;

class TestMnemonics : public QObject
{
    Q_OBJECT
private slots:
    void marksOneCharacterEach_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first letters when free")
            << QStringList{"Project", "Insert", "Setup"} << QStringList{"&Project", "&Insert", "&Setup"};
        // Words of one menu that share their first letter take the next word's, then any letter.
        QTest::newRow("next word, then inside a word")
            << QStringList{"Show Roomwindow", "Show Objectwindow", "Save", "Setup"}
            << QStringList{"&Show Roomwindow", "Show &Objectwindow", "S&ave", "S&etup"};
        QTest::newRow("letters compare without case")
            << QStringList{"new", "New Folder"} << QStringList{"&new", "New &Folder"};
        QTest::newRow("German letters are letters of their own")
            << QStringList{"Öffnen...", "Überlappend", "Oben"} << QStringList{"&Öffnen...", "&Überlappend", "&Oben"};
        // A literal "&" must show, so it is doubled, and never becomes the mnemonic.
        QTest::newRow("literal ampersand")
            << QStringList{"Tips & Tricks", "Tools"} << QStringList{"&Tips && Tricks", "T&ools"};
        QTest::newRow("digit when no letter is free")
            << QStringList{"ab", "ba", "a1"} << QStringList{"&ab", "&ba", "a&1"};
        QTest::newRow("nothing left: no mnemonic")
            << QStringList{"x", "X", ""} << QStringList{"&x", "X", ""};
    }
    void marksOneCharacterEach()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, expected);
        QCOMPARE(withMnemonics(texts), expected);
    }
};

QTEST_GUILESS_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
