#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mb;

class TestTextHelpers : public QObject
{
    Q_OBJECT
private slots:
    void fields_data();
    void fields();
    void paths_data();
    void paths();
    void escaping();
    void medianames_data();
    void medianames();
    void mediaindexTakesLastMatch();
    void asciiOnlyCaseFolding();
    void readonlyFolder();
};

void TestTextHelpers::fields_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("second of two") << "getfield" << "ab;cd" << 2 << "cd";
    QTest::newRow("third of two is empty") << "getfield" << "ab;cd" << 3 << "";
    QTest::newRow("first untrimmed") << "getfield" << " a ;b" << 1 << " a ";
    QTest::newRow("empty middle field") << "getfield" << "a;;c" << 2 << "";
    QTest::newRow("trailing separator") << "getfield" << "a;b;" << 3 << "";
    QTest::newRow("k zero") << "getfield" << "a;b" << 0 << "";
    QTest::newRow("trim quotes and blanks") << "getfieldtrim" << "x;  \"word\"  ;y" << 2 << "word";
    QTest::newRow("trim blanks only") << "getfieldtrim" << "   ;y" << 1 << "";
    QTest::newRow("one quote each side only") << "getfieldtrim" << "\"\"a\"\"" << 1 << "\"a\"";
    QTest::newRow("lone quote") << "getfieldtrim" << " \" " << 1 << "";
    QTest::newRow("sep 1 is semicolon") << "sep1" << "a;b" << 2 << "b";
    QTest::newRow("sep other is 0xAF") << "sep2" << QStringLiteral("a\u00AFb;c") << 2 << "b;c";
    QTest::newRow("inbrackets") << "inbrackets" << "speech(Bob;hi) x" << 0 << "Bob;hi";
    QTest::newRow("inbrackets unclosed") << "inbrackets" << "speech(Bob" << 0 << "Bob";
    QTest::newRow("inbrackets none") << "inbrackets" << "speech" << 0 << "";
}

void TestTextHelpers::fields()
{
    QFETCH(QString, function);
    QFETCH(QString, line);
    QFETCH(int, k);
    QFETCH(QString, expected);
    QString got;
    if (function == "getfield")
        got = text::getfield(line, k);
    else if (function == "getfieldtrim")
        got = text::getfieldtrim(line, k);
    else if (function == "sep1")
        got = text::getfieldtrimsep(line, k, 1);
    else if (function == "sep2")
        got = text::getfieldtrimsep(line, k, 2);
    else
        got = text::inbrackets(line);
    QCOMPARE(got, expected);
}

void TestTextHelpers::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows") << "C:\\games\\gfx\\hero.png" << "hero.png" << "C:\\games\\gfx";
    QTest::newRow("linux") << "/home/a/gfx/hero.png" << "hero.png" << "/home/a/gfx";
    QTest::newRow("mixed") << "C:\\games/gfx\\hero.png" << "hero.png" << "C:\\games/gfx";
    QTest::newRow("bare name") << "hero.png" << "" << "";
    QTest::newRow("trailing separator") << "C:\\games\\" << "" << "C:\\games";
}

void TestTextHelpers::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QCOMPARE(text::filepart(path), file);
    QCOMPARE(text::folderpart(path), folder);
}

void TestTextHelpers::escaping()
{
    const QString line = QStringLiteral("setbool(a;true);;");
    const QString escaped = text::escapesemi(line);
    QVERIFY(!escaped.contains(u';'));
    QCOMPARE(escaped.count(QChar(0xAF)), 3);
    QCOMPARE(text::unescapesemi(escaped), line);
    QCOMPARE(text::commatopoint(QStringLiteral("1,5,2")), QStringLiteral("1.5.2"));
}

void TestTextHelpers::medianames_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("three letters") << "Hero.PNG" << "hero";
    QTest::newRow("four letters") << "intro.mpeg" << "intro";
    QTest::newRow("two letters") << "tune.xm" << "tune";
    QTest::newRow("with folder") << "C:\\gfx\\Door.Open.bmp" << "door.open";
    QTest::newRow("non-ascii kept") << QStringLiteral("Ärger.wav") << QStringLiteral("Ärger");
}

void TestTextHelpers::medianames()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    QCOMPARE(text::medianame(file), name);
}

void TestTextHelpers::mediaindexTakesLastMatch()
{
    MediaTable table;
    table.set(2, "hero", "/a/hero.png");
    table.set(7, "hero", "/b/hero.png");
    table.set(9, "tune", "/b/tune.xm");
    QCOMPARE(text::mediaindex(table, QStringLiteral("HERO.png")), 7);
    QCOMPARE(text::mediaindex(table, QStringLiteral("tune.xm")), 9); // two-letter extension
    QCOMPARE(text::mediaindex(table, QStringLiteral("villain.png")), -1);
}

void TestTextHelpers::asciiOnlyCaseFolding()
{
    QVERIFY(text::sameText(QStringLiteral("Room1"), QStringLiteral("rOOM1")));
    QVERIFY(!text::sameText(QStringLiteral("Ärger"), QStringLiteral("ärger")));
    QVERIFY(text::compareText(QStringLiteral("apple"), QStringLiteral("Banana")) < 0);
    QCOMPARE(text::asciiLower(QStringLiteral("ÄBC")), QStringLiteral("Äbc"));
}

void TestTextHelpers::readonlyFolder()
{
    QTemporaryDir dir;
    QVERIFY(!text::folderreadonly(dir.path()));
    QVERIFY(!QFile::exists(dir.filePath("test.tst")));
    QVERIFY(text::folderreadonly(dir.filePath("does/not/exist")));
}

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
