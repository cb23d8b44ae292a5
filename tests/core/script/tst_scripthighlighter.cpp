#include "script/scripthighlighter.h"

#include <QTest>

using mb::ScriptHighlighter;
using namespace Qt::StringLiterals;
using TextClass = ScriptHighlighter::TextClass;
using LineState = ScriptHighlighter::LineState;

Q_DECLARE_METATYPE(ScriptHighlighter::LineState)
Q_DECLARE_METATYPE(ScriptHighlighter::TextClass)

namespace {

char letter(TextClass c)
{
    switch (c) {
    case TextClass::Default: return '.';
    case TextClass::Keyword: return 'K';
    case TextClass::Sign: return 'S';
    case TextClass::Number: return 'N';
    case TextClass::BracketedTerm: return 'B';
    case TextClass::Comment: return 'C';
    case TextClass::CommentMark: return 'M';
    case TextClass::String: return 'Q';
    }
    return '?';
}

// One letter per character of the line, so an expected colouring reads under its line. Fails the
// test when the spans do not tile the line or two neighbours share a class.
QString classMap(const ScriptHighlighter::LineResult &result, qsizetype lineLength)
{
    QString map;
    int next = 0;
    TextClass previous = TextClass::Default;
    for (const ScriptHighlighter::Span &span : result.spans) {
        if (span.start != next || span.length <= 0)
            return u"<gap or overlap at %1>"_s.arg(span.start);
        if (next > 0 && span.textClass == previous)
            return u"<unmerged span at %1>"_s.arg(span.start);
        map += QString(span.length, QLatin1Char(letter(span.textClass)));
        next = span.start + span.length;
        previous = span.textClass;
    }
    if (next != lineLength)
        return u"<spans end at %1>"_s.arg(next);
    return map;
}

} // namespace

class tst_ScriptHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void commentOverLineEnds();
    void styles_data();
    void styles();
};

void tst_ScriptHighlighter::line_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<LineState>("startState");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<LineState>("endState");

    const LineState normal = LineState::Normal;
    const LineState comment = LineState::InComment;

    auto row = [&](const char *name, const char *text, const char *expected,
                   LineState start = LineState::Normal, LineState end = LineState::Normal) {
        QTest::newRow(name) << QString::fromUtf8(text) << start << QString::fromLatin1(expected)
                            << end;
    };

    row("statement",
        "setbool (x ; true)",
        "KKKKKKK.S..S.....S");
    row("keywords ignore ASCII case",
        "IFNOT_Bool(x)",
        "KKKKKKKKKKS.S");
    row("left-out command is not bold",
        "showinventory (2)",
        "..............SNS");
    row("leftactions",
        "LeftActions",
        "KKKKKKKKKKK");
    row("punctuation delimits words",
        "setobj.x;walkto",
        "KKKKKK..SKKKKKK");
    row("underscore and non-ASCII letters belong to the word",
        "setobj_x setobj\xc3\xa4",
        "................"); // "setobj_x setobjä"
    row("digits in and after words",
        "on (loop1) 10 20px -5",
        "KK.S.....S.NN.NN...SN");
    row("signs and other punctuation",
        "{}<>+-*/ = : , ! % &",
        "SSSSSSSS............");
    row("comment end outside a comment is two signs",
        "*)",
        "SS");
    row("bracketed term",
        "textout (1 ; [name] ; 2)",
        "KKKKKKK.SN.S.BBBBBB.S.NS");
    row("unclosed bracketed term runs to the line end",
        "showinfo ([abc ; 1)",
        "KKKKKKKK.SBBBBBBBBB");
    row("string holding a bracketed term",
        "speech (self ; \"Hi [name]!\")",
        "KKKKKK.S.....S.QQQQBBBBBBQQS");
    row("string hides keywords, numbers and signs",
        "\"setobj (12 ; x)\"",
        "QQQQQQQQQQQQQQQQQ");
    row("string holding a comment",
        "\"a (* b *) c\" quit",
        "QQQCCCCCCCQQQ.KKKK");
    row("unclosed string runs to the line end",
        "speech (self ; \"no end ;",
        "KKKKKK.S.....S.QQQQQQQQQ");
    row("term holding a quote does not open a string",
        "[a\"b] 1",
        "BBBBB.N");
    row("comment with a mark",
        "(* a & b % c *) 1",
        "CCCCCMMMMMCCCCC.N");
    row("stray ampersand does not swallow the comment end",
        "(* tom & jerry *) quit ()",
        "CCCCCCCMMMMMMMMCC.KKKK.SS");
    row("comment opening in a string continues as a comment",
        "\"x (* y",
        "QQQCCCC", normal, comment);
    row("comment continued from the previous line",
        "more ] \" text *) quit",
        "CCCCCCCCCCCCCCCC.KKKK", comment, normal);
    row("mark continued from the previous line",
        "still % *)",
        "MMMMMMMCCC", LineState::InCommentMark, normal);
    row("empty line keeps the comment open",
        "",
        "", comment, comment);
}

void tst_ScriptHighlighter::line()
{
    QFETCH(QString, text);
    QFETCH(LineState, startState);
    QFETCH(QString, expected);
    QFETCH(LineState, endState);

    const ScriptHighlighter::LineResult result = ScriptHighlighter::highlightLine(text, startState);
    QCOMPARE(classMap(result, text.size()), expected);
    QCOMPARE(result.endState, endState);
}

void tst_ScriptHighlighter::commentOverLineEnds()
{
    // A lexer restyling a script line by line, each line starting in the previous line's state.
    const QStringList script = {
        u"on (click)"_s,
        u"  setbool (door ; true) (* opened by"_s,
        u"  the key; setobj (door ; 2) & see level 2"_s,
        u"  % *) setobj (door ; 2)"_s,
    };
    const QStringList expected = {
        u"KK.S.....S"_s,
        u"..KKKKKKK.S.....S.....S.CCCCCCCCCCCC"_s,
        u"CCCCCCCCCCCCCCCCCCCCCCCCCCCCCMMMMMMMMMMMMM"_s,
        u"MMMCCC.KKKKKK.S.....S.NS"_s,
    };
    const QList<LineState> states = {LineState::Normal, LineState::InComment,
                                     LineState::InCommentMark, LineState::Normal};

    LineState state = LineState::Normal;
    for (int i = 0; i < script.size(); ++i) {
        const ScriptHighlighter::LineResult result = ScriptHighlighter::highlightLine(script[i], state);
        QCOMPARE(classMap(result, script[i].size()), expected[i]);
        QCOMPARE(result.endState, states[i]);
        state = result.endState;
    }
}

void tst_ScriptHighlighter::styles_data()
{
    QTest::addColumn<TextClass>("textClass");
    QTest::addColumn<QColor>("foreground"); // invalid: the editor's own colour
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    QTest::newRow("default") << TextClass::Default << QColor() << QColor() << false << false;
    QTest::newRow("keyword") << TextClass::Keyword << QColor() << QColor() << true << false;
    QTest::newRow("sign") << TextClass::Sign << QColor(0, 128, 0) << QColor() << false << false;
    QTest::newRow("number") << TextClass::Number << QColor(159, 0, 0) << QColor() << false << false;
    QTest::newRow("term") << TextClass::BracketedTerm << QColor(196, 0, 0) << QColor() << false
                          << false;
    QTest::newRow("comment") << TextClass::Comment << QColor(85, 128, 174) << QColor() << false
                             << true;
    QTest::newRow("mark") << TextClass::CommentMark << QColor(0, 0, 0) << QColor(255, 255, 255)
                          << false << false;
    QTest::newRow("string") << TextClass::String << QColor(0, 0, 128) << QColor() << false << false;
}

void tst_ScriptHighlighter::styles()
{
    QFETCH(TextClass, textClass);
    QFETCH(QColor, foreground);
    QFETCH(QColor, background);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    const ScriptHighlighter::Style style = ScriptHighlighter::style(textClass);
    QCOMPARE(style.foreground, foreground);
    QCOMPARE(style.background, background);
    QCOMPARE(style.bold, bold);
    QCOMPARE(style.italic, italic);
}

QTEST_GUILESS_MAIN(tst_ScriptHighlighter)
#include "tst_scripthighlighter.moc"
