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
                QVERIFY2(lines[n - 1].size() > 4, qPrintable(QStringLiteral("%1 %2").arg(lang).arg(n)));
            }
        }
    }
    void texts_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        // The delete question says what it does: "Delete Room1 ?".
        QTest::newRow("137") << "EN" << 137 << "Delete";
        QTest::newRow("137 DE") << "DE" << 137 << QStringLiteral("Löschen");
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
    void extraTableMatchesAcrossLanguages()
    {
        // The second table: numbered from 1 without gaps, every entry in both languages with the
        // same pieces to fill in, and each language really its own.
        const QStringList &en = MessageCatalog::extraLines(QStringLiteral("EN"));
        const QStringList &de = MessageCatalog::extraLines(QStringLiteral("DE"));
        QVERIFY(!en.isEmpty());
        QCOMPARE(de.size(), en.size());
        QCOMPARE(MessageCatalog::extraCount(), int(en.size()));
        static const QRegularExpression piece(QStringLiteral("%[1-9]"));
        auto pieces = [](const QString &text) {
            QStringList out;
            for (auto it = piece.globalMatch(text); it.hasNext();)
                out << it.next().captured();
            out.sort();
            return out;
        };
        MessageCatalog cat;
        for (int n = 1; n <= en.size(); ++n) {
            const QString number = QStringLiteral("%1:").arg(n, 3, 10, QChar(u'0'));
            QVERIFY2(en[n - 1].startsWith(number) && de[n - 1].startsWith(number), qPrintable(number));
            const QString e = cat.extra(n, QStringLiteral("EN")), d = cat.extra(n, QStringLiteral("DE"));
            // Words that German shares with English are the only entries allowed to agree.
            const bool sameWord = n == extratext::MissingColumnName;
            QVERIFY2(!e.isEmpty() && !d.isEmpty() && (e != d || sameWord), qPrintable(number));
            // A line break is written "\n" in the file; no other backslash reaches a window.
            QVERIFY2(!e.contains(u'\\') && !d.contains(u'\\'), qPrintable(number));
            QCOMPARE(d.count(u'\n'), e.count(u'\n'));
            QCOMPARE(pieces(d), pieces(e));
        }
        QCOMPARE(cat.extra(0), QString());
        QCOMPARE(cat.extra(int(en.size()) + 1), QString());
        QCOMPARE(MessageCatalog(QStringLiteral("DE")).extra(1), de[0].mid(4));
        QVERIFY(cat.extra(extratext::RestoreQuestion).contains(QStringLiteral(".\n\nRestore them?")));
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
