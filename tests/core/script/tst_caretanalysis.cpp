// The hint panel's logic without a window: where the caret stands in a statement, which choices a
// name list offers for the typed text, and the line after a choice.
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "script/caretanalysis.h"

#include <QTest>

using namespace mb;
using namespace Qt::StringLiterals;

namespace {

// The caret marked by "|" in a text: position, column and line length as the editor reports them.
// "|" after the end of a line followed by "~" characters stands that many columns in virtual
// space ("ab|~~" is column 5 of a two-character line).
CaretContext analyze(QString marked)
{
    const qsizetype bar = marked.indexOf(u'|');
    int virtualColumns = 0;
    while (bar + 1 < marked.size() && marked[bar + 1] == u'~') {
        marked.remove(bar + 1, 1);
        ++virtualColumns;
    }
    const QString text = marked.left(bar) + marked.mid(bar + 1);
    const qsizetype lineStart = text.lastIndexOf(u'\n', bar - 1) + 1;
    qsizetype lineEnd = text.indexOf(u'\n', bar);
    if (lineEnd < 0)
        lineEnd = text.size();
    if (lineEnd > lineStart && text[lineEnd - 1] == u'\r')
        --lineEnd;
    const int column = int(bar - lineStart) + 1 + virtualColumns;
    return analyzeCaret(text, int(bar) + virtualColumns, column, int(lineEnd - lineStart));
}

} // namespace

class tst_CaretAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void analysis_data();
    void analysis();
    void clampsPositionsOutsideTheText();
    void choices_data();
    void choices();
    void hintForTheCaret();
    void choosing_data();
    void choosing();
};

void tst_CaretAnalysis::analysis_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("wordRest");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("beyond");

    QTest::newRow("just after the parenthesis") << u"setbool (|"_s << u""_s << u"setbool"_s << u""_s << 1 << false;
    QTest::newRow("typing the first argument") << u"setbool (do|"_s << u"do"_s << u"setbool"_s << u""_s << 1 << false;
    QTest::newRow("leading blanks of the argument") << u"setbool (   do|"_s << u"do"_s << u"setbool"_s << u""_s << 1 << false;
    QTest::newRow("inside a word") << u"setbool (do|or ; true)"_s << u"do"_s << u"setbool"_s << u"or "_s << 1 << false;
    QTest::newRow("second argument") << u"setbool (door ; tr|"_s << u"tr"_s << u"setbool"_s << u""_s << 2 << false;
    QTest::newRow("blank between semicolons") << u"walkto (bob ; 10 ; |)"_s << u""_s << u"walkto"_s << u""_s << 3 << false;
    QTest::newRow("blanks inside the command name") << u"set bool (x|"_s << u"x"_s << u"setbool"_s << u""_s << 1 << false;
    QTest::newRow("negated command") << u"ifnot_bool (|"_s << u""_s << u"ifnot_bool"_s << u""_s << 1 << false;

    // No "(" before the caret: the typed word is the command.
    QTest::newRow("command word at the start") << u"  setb|"_s << u""_s << u"setb"_s << u""_s << 0 << false;
    QTest::newRow("command word with its rest") << u"  set|b"_s << u""_s << u"set"_s << u"b"_s << 0 << false;
    QTest::newRow("word after a semicolon keeps the count") << u"a ; b|"_s << u""_s << u"b"_s << u""_s << 1 << false;
    QTest::newRow("empty line") << u"|"_s << u""_s << u""_s << u""_s << 0 << false;

    // The walk back stops at ")", "{" and "}", never at a line break.
    QTest::newRow("stops at the previous statement") << u"on (mouse)\n  speech (|"_s << u""_s << u"speech"_s << u""_s << 1 << false;
    QTest::newRow("stops at a brace") << u"on (click)\n{\n  setbool (x ; |"_s << u""_s << u"setbool"_s << u""_s << 2 << false;
    QTest::newRow("statement over two lines") << u"walkto (bob ;\r\n  1|"_s << u"1"_s << u"walkto"_s << u""_s << 2 << false;
    QTest::newRow("command word after a brace") << u"{ pla|"_s << u""_s << u"pla"_s << u""_s << 0 << false;
    QTest::newRow("rest stops at the line end") << u"speech (b|ob\nnext"_s << u"b"_s << u"speech"_s << u"ob"_s << 1 << false;

    // The caret in virtual space past the end of its line counts as one blank typed.
    QTest::newRow("beyond the line end after a word") << u"setbool (do|~~"_s << u"do "_s << u"setbool"_s << u""_s << 1 << true;
    QTest::newRow("beyond the line end, nothing typed") << u"setbool (|~"_s << u""_s << u"setbool"_s << u""_s << 1 << true;
    QTest::newRow("beyond the end of an earlier line") << u"setbool (do|~~~\nmore ; text"_s << u"do "_s << u"setbool"_s << u""_s << 1 << true;
    QTest::newRow("beyond an empty line") << u"|~~~~"_s << u""_s << u""_s << u""_s << 0 << true;
}

void tst_CaretAnalysis::analysis()
{
    QFETCH(QString, marked);
    QFETCH(QString, fragment);
    QFETCH(QString, command);
    QFETCH(QString, wordRest);
    QFETCH(int, position);
    QFETCH(bool, beyond);

    const CaretContext c = analyze(marked);
    QCOMPARE(c.fragment, fragment);
    QCOMPARE(c.command, command);
    QCOMPARE(c.wordRest, wordRest);
    QCOMPARE(c.position, position);
    QCOMPARE(c.beyondLineEnd, beyond);
    QCOMPARE(c.filter(), position == 0 ? command : fragment);
}

void tst_CaretAnalysis::clampsPositionsOutsideTheText()
{
    // An editor may report a position that is out of step with the text; nothing is read beyond it.
    QCOMPARE(analyzeCaret(u"", 12, 1, 0), CaretContext());
    const CaretContext c = analyzeCaret(u"setbool (do", 400, 12, 11);
    QCOMPARE(c.command, u"setbool"_s);
    QCOMPARE(c.fragment, u"do"_s);
    QCOMPARE(analyzeCaret(u"setbool (do", -3, 1, 11).command, u""_s);
}

void tst_CaretAnalysis::choices_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");

    const QStringList three{u"door"_s, u"lamp"_s, u"met"_s};
    QTest::newRow("empty filter, three entries") << three << u""_s << three << QStringList();
    const QStringList seven{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s};
    QTest::newRow("empty filter, seven entries")
        << seven << u""_s << QStringList{u"a"_s, u"b"_s, u"c"_s} << QStringList{u"d"_s, u"e"_s, u"f"_s, u"g"_s};
    QTest::newRow("empty filter, eight entries")
        << (seven + QStringList{u"h"_s}) << u""_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}
        << QStringList{u"e"_s, u"f"_s, u"g"_s, u"h"_s};
    QStringList eleven;
    for (char c = 'a'; c <= 'k'; ++c)
        eleven << QString(QChar(c));
    // m = (11 - 1) / 2 = 5: the start, the middle and the end.
    QTest::newRow("empty filter, eleven entries") << eleven << u""_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"f"_s}
                                                  << QStringList{u"g"_s, u"h"_s, u"j"_s, u"k"_s};

    QStringList many{u"apple"_s};
    for (int i = 1; i <= 10; ++i)
        many << u"do%1"_s.arg(QChar(u'a' + i));
    many << u"zebra"_s;
    QTest::newRow("filter: four left, four right")
        << many << u"do"_s << QStringList{u"dob"_s, u"doc"_s, u"dod"_s, u"doe"_s}
        << QStringList{u"dof"_s, u"dog"_s, u"doh"_s, u"doi"_s};
    QTest::newRow("filter ignores letter case")
        << QStringList{u"Door"_s, u"dog"_s, u"lamp"_s} << u"DO"_s << QStringList{u"Door"_s, u"dog"_s} << QStringList();
    QTest::newRow("filter without a match") << three << u"x"_s << QStringList() << QStringList();
    QTest::newRow("only the entries that match")
        << QStringList{u"door"_s, u"lamp"_s, u"dog"_s, u"x"_s, u"y"_s, u"dot"_s} << u"do"_s
        << QStringList{u"door"_s, u"dog"_s} << QStringList{u"dot"_s};
    QTest::newRow("filter longer than an entry") << QStringList{u"do"_s, u"door"_s} << u"doo"_s
                                                 << QStringList{u"door"_s} << QStringList();
}

void tst_CaretAnalysis::choices()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, filter);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    const ChoiceLists lists = choiceLists(entries, filter);
    QCOMPARE(lists.left, left);
    QCOMPARE(lists.right, right);
}

void tst_CaretAnalysis::hintForTheCaret()
{
    const MessageCatalog english(u"EN"_s);
    NameLists names;
    names[NameLists::Bools] = {u"doorOpen"_s, u"dogFed"_s, u"lampOn"_s};
    names[NameLists::ScriptCommands] = {u"setbool"_s, u"setchar"_s, u"setnum"_s, u"speech"_s};

    // "setbool (" offers every bool; "do" narrows them.
    CaretHint hint = caretHint(analyze(u"setbool (|"_s), names, english);
    QCOMPARE(hint.text, u"Bool Name"_s);
    QVERIFY(hint.listsEnabled);
    QCOMPARE(hint.lists.left, names[NameLists::Bools]);
    hint = caretHint(analyze(u"setbool (DO|"_s), names, english);
    QCOMPARE(hint.lists.left, (QStringList{u"doorOpen"_s, u"dogFed"_s}));

    // A command word offers the commands it begins.
    hint = caretHint(analyze(u"  setb|"_s), names, english);
    QCOMPARE(hint.text, u"Command"_s);
    QCOMPARE(hint.lists.left, QStringList{u"setbool"_s});

    // An argument with a hint but no list, and a list without entries: the lists stay off.
    hint = caretHint(analyze(u"setbool (door ; |"_s), names, english);
    QCOMPARE(hint.text, u"true / false"_s);
    QVERIFY(!hint.listsEnabled);
    hint = caretHint(analyze(u"additem (bob ; |"_s), names, english);
    QCOMPARE(hint.text, u"Item"_s);
    QVERIFY(!hint.listsEnabled);
    QCOMPARE(caretHint(analyze(u"|"_s), names, english), CaretHint());

    const MessageCatalog german(u"DE"_s);
    QCOMPARE(caretHint(analyze(u"setbool (|"_s), names, german).text, german.msg(518));
}

void tst_CaretAnalysis::choosing_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("filterLength");
    QTest::addColumn<int>("wordRest");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("newColumn");

    QTest::newRow("completes the typed text") << u"setbool (do"_s << 12 << 2 << 0 << u"doorOpen"_s
                                              << u"setbool (doorOpen"_s << 18;
    QTest::newRow("replaces the rest of the word") << u"setbool (dox ; true)"_s << 12 << 2 << 2 << u"doorOpen"_s
                                                   << u"setbool (doorOpen; true)"_s << 18;
    QTest::newRow("empty filter") << u"setbool ()"_s << 10 << 0 << 0 << u"lampOn"_s << u"setbool (lampOn)"_s << 16;
    QTest::newRow("command word") << u"  setb"_s << 7 << 4 << 0 << u"setbool"_s << u"  setbool"_s << 10;
    QTest::newRow("caret in virtual space") << u"setbool ("_s << 12 << 0 << 0 << u"x"_s << u"setbool (  x"_s << 13;
}

void tst_CaretAnalysis::choosing()
{
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(int, filterLength);
    QFETCH(int, wordRest);
    QFETCH(QString, entry);
    QFETCH(QString, result);
    QFETCH(int, newColumn);
    const ChosenLine chosen = applyChoice(line, column, filterLength, wordRest, entry);
    QCOMPARE(chosen.line, result);
    QCOMPARE(chosen.column, newColumn);
}

QTEST_GUILESS_MAIN(tst_CaretAnalysis)
#include "tst_caretanalysis.moc"
