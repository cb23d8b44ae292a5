#include "project/messagecatalog.h"

#include <QRegularExpression>
#include <QTest>

using namespace mb;

class TestMessageCatalog : public QObject
{
    Q_OBJECT
private slots:
    void everyEntryInBothLanguages()
    {
        for (const char *lang : {"EN", "DE"}) {
            const QStringList &lines = MessageCatalog::lines(QString::fromLatin1(lang));
            QCOMPARE(lines.size(), 562);
            for (int n = 1; n <= 562; ++n) {
                QVERIFY2(lines[n - 1].startsWith(QStringLiteral("%1:").arg(n, 3, 10, QChar(u'0'))),
                         qPrintable(lines[n - 1]));
                if (n != 137)
                    QVERIFY2(lines[n - 1].size() > 4, qPrintable(QStringLiteral("%1 %2").arg(lang).arg(n)));
            }
        }
    }
    void texts_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("137 empty") << "EN" << 137 << "";
        QTest::newRow("137 empty DE") << "DE" << 137 << "";
        QTest::newRow("first") << "EN" << 1 << "1) CHARACTER";
        QTest::newRow("107 quote and blank")
            << "EN" << 107 << "\" : amount of  {  is not the same as the amount of  } ";
        QTest::newRow("151") << "EN" << 151 << "is not ADV Fileformat";
        QTest::newRow("151 DE") << "DE" << 151 << "ist nicht im ADV Format";
        QTest::newRow("183 DE") << "DE" << 183 << "Die Zeichen ( ) { } ; \" sind nicht erlaubt!";
        QTest::newRow("101 DE") << "DE" << 101 << QStringLiteral("Sollen die Änderungen an");
        QTest::newRow("365 DE") << "DE" << 365 << QStringLiteral("Bestätigung");
        QTest::newRow("559 DE") << "DE" << 559 << " Anzahl  [ ist nicht gleich der Anzahl  ]";
        QTest::newRow("other language falls back") << "FR" << 151 << "is not ADV Fileformat";
        QTest::newRow("out of range") << "EN" << 563 << "";
    }
    void texts()
    {
        QFETCH(QString, lang);
        QFETCH(int, n);
        QFETCH(QString, text);
        MessageCatalog cat(lang);
        QCOMPARE(cat.msg(n), text);
    }
    void blanksKeptAcrossLanguages()
    {
        // Texts glued to other pieces keep their surrounding blanks in German too.
        MessageCatalog cat;
        static const QRegularExpression lead(QStringLiteral("^ *")), trail(QStringLiteral(" *$"));
        for (int n : {107, 186, 187, 188, 189, 190, 483, 556}) {
            const QString en = cat.msg(n, "EN"), de = cat.msg(n, "DE");
            QCOMPARE(lead.match(de).capturedLength(), lead.match(en).capturedLength());
            QCOMPARE(trail.match(de).capturedLength(), trail.match(en).capturedLength());
        }
    }
};

QTEST_GUILESS_MAIN(TestMessageCatalog)
#include "tst_messagecatalog.moc"
