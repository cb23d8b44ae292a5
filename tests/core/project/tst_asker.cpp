// The questions an operation puts to whoever answers them: the build's questions over an
// asker, messages shown after the fact in either language, and the relay a window hands on.
#include "build/buildquestions.h"
#include "project/asker.h"
#include "project/message.h"
#include "project/messagecatalog.h"

#include "support/scriptedasker.h"

#include <QTest>

using namespace mb;
using mb::testing::ScriptedAsker;
using namespace Qt::StringLiterals;

class TestAsker : public QObject
{
    Q_OBJECT
private slots:
    void buildQuestionsPutToAnAsker_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("EN") << "EN";
        QTest::newRow("DE") << "DE";
    }
    void buildQuestionsPutToAnAsker()
    {
        QFETCH(QString, lang);
        const MessageCatalog catalog(lang);
        ScriptedAsker asker;
        int before = 0;
        AskedBuildQuestions questions(asker, catalog, nullptr, [&] { ++before; });

        // Updating writes over the last game folder: Enter must not do it.
        asker.answers << Asker::Yes << Asker::No;
        QVERIFY(questions.updatePreviousGame(catalog.msg(123)));
        QCOMPARE(asker.shown.last().caption, catalog.msg(365));
        QCOMPARE(asker.defaultNo(), QStringList{catalog.msg(123)});
        QVERIFY(!questions.startNow(u"Start now?"_s));
        QCOMPARE(asker.shown.last().defaultAnswer, Asker::Yes);

        // The program file is proposed in the last game folder, or bare without one.
        asker.saveAnswers << u"/games/castle.exe"_s << QString();
        QCOMPARE(questions.chooseProgramFile(u"castle.exe"_s, u"/games"_s), u"/games/castle.exe"_s);
        QCOMPARE(asker.shown.last().caption, catalog.msg(96));
        QCOMPARE(asker.shown.last().text,
                 u"/games/castle.exe|"_s + catalog.extra(extratext::GameFilter));
        QCOMPARE(questions.chooseProgramFile(u"castle.exe"_s, QString()), QString()); // cancelled
        QVERIFY(asker.shown.last().text.startsWith(u"castle.exe|"_s));
        QCOMPARE(before, 4);
    }

    void messagesShownInEitherLanguage()
    {
        // An operation's result is kept as numbers and pieces; the box is made when shown, in
        // the language of that moment.
        const Message exists = Message::build(Message::Information, 147).add(u"Room1"_s).add(147);
        const Message failed = Message::error(122);
        MessageCatalog catalog(u"EN"_s);
        ScriptedAsker asker;
        asker.show(nullptr, exists, catalog);
        catalog.setLanguage(u"DE"_s);
        asker.show(nullptr, failed, catalog);
        asker.show(nullptr, Message(), catalog); // nothing to say: no box
        QCOMPARE(asker.shown.size(), 2);
        QCOMPARE(asker.shown[0].kind, u"information"_s);
        QCOMPARE(asker.shown[0].caption, u"Information"_s);
        QCOMPARE(asker.shown[0].text, u"Room1 already exists."_s);
        QCOMPARE(asker.shown[1].kind, u"error"_s);
        QCOMPARE(asker.shown[1].caption, u"Fehler"_s);
        QCOMPARE(asker.shown[1].text, catalog.msg(122, u"DE"_s));
    }

    void relayFollowsItsTarget()
    {
        RelayAsker relay;
        // Without a target nothing is shown and nothing is agreed to.
        QCOMPARE(relay.yesNoCancel(nullptr, u"c"_s, u"t"_s), Asker::Cancel);
        QVERIFY(!relay.yesNo(nullptr, u"c"_s, u"t"_s));
        QCOMPARE(relay.text(nullptr, u"c"_s, u"l"_s, u"x"_s), std::nullopt);
        QCOMPARE(relay.choose(nullptr, u"c"_s, u"l"_s, {u"a"_s}, 0), -1);
        QVERIFY(relay.openFile(nullptr, u"t"_s, QString(), QString()).isEmpty());
        QVERIFY(!relay.colour(nullptr, u"t"_s, Qt::red).isValid());

        ScriptedAsker first, second;
        relay.setTarget(&first);
        first.answers << Asker::Yes;
        first.textAnswers << u"typed"_s;
        QVERIFY(relay.yesNoDefaultNo(nullptr, u"c"_s, u"delete?"_s));
        QCOMPARE(relay.text(nullptr, u"c"_s, u"l"_s, QString()), std::optional<QString>(u"typed"_s));
        relay.setTarget(&second);
        second.choiceAnswers << 1;
        second.folderAnswers << u"/tmp"_s;
        QCOMPARE(relay.choose(nullptr, u"c"_s, u"l"_s, {u"a"_s, u"b"_s}, 0), 1);
        QCOMPARE(relay.folder(nullptr, u"t"_s, QString()), u"/tmp"_s);
        relay.error(nullptr, u"c"_s, u"broken"_s);
        QCOMPARE(first.defaultNo(), QStringList{u"delete?"_s});
        QCOMPARE(first.shown.size(), 2);
        QCOMPARE(second.boxes(), QStringList{u"broken"_s});
    }
};

QTEST_GUILESS_MAIN(TestAsker)
#include "tst_asker.moc"
