#include "tools/dialogueexport.h"
#include "tools/languagegrid.h"
#include "tools/languagerecords.h"
#include "tools/languagescanner.h"
#include "tools/languageupdate.h"
#include "tools/soundlists.h"

#include "platform/ansicodec.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/progressrecorder.h"
#include "support/sampleproject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QHash>
#include <QTest>

#include <memory>

using namespace mb;
using namespace Qt::StringLiterals;

namespace {

enum List { Speech = 0, VoiceSpeech, Offspeech, VoiceOffspeech, Showinfo, Textout, Setstring, RowList, Kommandos };

// An empty project with one language and no action words, so that kommandos stays empty unless
// a test fills it.
// The saved bytes of a project at the last markUnchanged(), to tell whether an operation
// changed it.
QHash<const ProjectModel *, QByteArray> &marks()
{
    static QHash<const ProjectModel *, QByteArray> saved;
    return saved;
}

QByteArray savedBytes(const ProjectModel &m)
{
    const CompanionFiles f = writeCompanionFiles(m);
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

void markUnchanged(const ProjectModel &m)
{
    marks().insert(&m, savedBytes(m));
}

bool changedSinceMark(const ProjectModel &m)
{
    return savedBytes(m) != marks().value(&m);
}

std::unique_ptr<ProjectModel> emptyProject(const QStringList &languages = {u"deutsch"_s})
{
    auto m = std::make_unique<ProjectModel>();
    m->allesneu(MessageCatalog());
    m->commands.walktext.clear();
    m->commands.linktext.clear();
    m->commands.givelink.clear();
    int slot = 0;
    for (const QString &name : languages) {
        m->languages[++slot].name = name;
        m->names[NameLists::Languages] << name;
    }
    markUnchanged(*m);
    return m;
}

Script &cutscene(ProjectModel &m, int slot, const QStringList &lines)
{
    m.cutscenes[slot].name = u"s%1"_s.arg(slot);
    m.cutscenes[slot].script = lines;
    return m.cutscenes[slot].script;
}

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {u"<missing>"_s};
    QStringList lines = ansi::decode(f.readAll()).split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Every list of every defined language has the length of the origin list of its kind.
bool allParallel(const ProjectModel &m)
{
    for (auto [text, voice] : {std::pair{0, 1}, std::pair{2, 3}})
        if (m.origin.list(text).size() != m.origin.list(voice).size())
            return false;
    for (const RLang &lang : m.languages) {
        if (lang.name.isEmpty())
            continue;
        for (int i = 0; i < LangLists::Count; ++i)
            if (lang.lists.list(i).size() != m.origin.list(i).size())
                return false;
    }
    return true;
}

} // namespace

class tst_LanguageTools : public QObject
{
    Q_OBJECT

private slots:
    void textsFound_data();
    void textsFound();
    void newLineIsMarkedUntilShown();
    void deletedCallLeavesEveryListParallel();
    void sameTextWithTwoVoiceFiles();
    void sourcesInOrder();
    void walkmapCellsOfTheWholeGrid();
    void kommandos();
    void unevenListsAreMadeParallel();
    void removeNewMarksTouchesOnlyTheTextLists();
    void updateSurvivesSaveAndReload();
    void updateReportsTheScriptsScanned();

    void translateGrid();
    void addLanguage_data();
    void addLanguage();
    void deleteLanguageMovesTheOthersDown();

    void exportDialogues_data();
    void exportDialogues();
    void exportWithLanguage();
    void exportFilesAndEncoding();

    void soundLists_data();
    void soundLists();
};

// ---------------------------------------------------------------------------------------------
// Update text lines

void tst_LanguageTools::textsFound_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("list"); // -1: nothing is collected
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("voice"); // entry of the voice list; ignored for lists without

    QTest::newRow("speech") << QStringList{u"speech(bob;Hello;Hello.WAV)"_s} << 0 << u"Hello"_s << u"hello.wav"_s;
    QTest::newRow("speech without voice") << QStringList{u"speech(bob;Hello)"_s} << 0 << u"Hello"_s << u" "_s;
    QTest::newRow("speech dontwait") << QStringList{u"speech(bob;Hello;DontWait)"_s} << 0 << u"Hello"_s << u" "_s;
    QTest::newRow("quotes and blanks") << QStringList{u"  SPEECH ( bob ;  \"Hi, you\"  ; a )"_s} << 0 << u"Hi, you"_s << u"a"_s;
    QTest::newRow("call over lines") << QStringList{u"speech(bob;"_s, u"Hello there;"_s, u"x.wav)"_s} << 0 << u"Hello there"_s << u"x.wav"_s;
    QTest::newRow("offspeech") << QStringList{u"offspeech(10;20;Far away;far.ogg)"_s} << 2 << u"Far away"_s << u"far.ogg"_s;
    QTest::newRow("showinfo") << QStringList{u"showinfo(\"Look\";true)"_s} << 4 << u"Look"_s << QString();
    QTest::newRow("textout") << QStringList{u"textout(1;Score)"_s} << 5 << u"Score"_s << QString();
    QTest::newRow("setstring") << QStringList{u"setstring(name;Bob)"_s} << 6 << u"Bob"_s << QString();
    QTest::newRow("row") << QStringList{u"  row(1;Yes;true)"_s} << 7 << u"Yes"_s << QString();
    QTest::newRow("row with two-digit number") << QStringList{u"row(12;Yes;true)"_s} << -1 << QString() << QString();
    QTest::newRow("row inside a word") << QStringList{u"arrow(1;Yes)"_s} << -1 << QString() << QString();
    QTest::newRow("speechvolume") << QStringList{u"speechvolume(50)"_s} << -1 << QString() << QString();
    QTest::newRow("empty text") << QStringList{u"speech(bob;;a.wav)"_s} << -1 << QString() << QString();
    QTest::newRow("word in a text") << QStringList{u"showinfo(I gave a speech)"_s} << 4 << u"I gave a speech"_s << QString();
    // Would be read back as the start of a language section.
    QTest::newRow("text like a section") << QStringList{u"textout(1;*/*x)"_s} << -1 << QString() << QString();
    QTest::newRow("text with a mark") << QStringList{u"textout(1;*NEU*x)"_s} << -1 << QString() << QString();
}

void tst_LanguageTools::textsFound()
{
    QFETCH(QStringList, script);
    QFETCH(int, list);
    QFETCH(QString, text);
    QFETCH(QString, voice);

    auto m = emptyProject();
    cutscene(*m, 1, script);
    markUnchanged(*m);
    updateLanguageLists(*m);
    for (int i : {0, 2, 4, 5, 6, 7}) {
        const QStringList expected = i == list ? QStringList{u"*NEU*"_s + text} : QStringList{};
        QCOMPARE(m->origin.list(i), expected);
        QCOMPARE(m->languages[1].lists.list(i), i == list ? QStringList{text} : QStringList{});
    }
    if (list == 0 || list == 2) {
        QCOMPARE(m->origin.list(list + 1), QStringList{voice});
        QCOMPARE(m->languages[1].lists.list(list + 1), QStringList{voice});
    }
    QCOMPARE(changedSinceMark(*m), list >= 0);
}

void tst_LanguageTools::newLineIsMarkedUntilShown()
{
    auto m = emptyProject({u"deutsch"_s, u"français"_s});
    cutscene(*m, 1, {u"speech(bob;Old;old)"_s});
    updateLanguageLists(*m);
    removeNewMarks(*m);
    m->languages[1].lists.speech[0] = u"Alt"_s;
    markUnchanged(*m);

    // Nothing new: the lists stay as they are and the project is not touched.
    updateLanguageLists(*m);
    QCOMPARE(m->origin.speech, QStringList{u"Old"_s});
    QVERIFY(!changedSinceMark(*m));

    m->cutscenes[1].script << u"speech(bob;New line;new)"_s;
    updateLanguageLists(*m);
    QCOMPARE(m->origin.speech, (QStringList{u"Old"_s, u"*NEU*New line"_s}));
    QCOMPARE(m->origin.voicespeech, (QStringList{u"old"_s, u"new"_s}));
    QCOMPARE(m->languages[1].lists.speech, (QStringList{u"Alt"_s, u"New line"_s}));
    QCOMPARE(m->languages[2].lists.speech, (QStringList{u"Old"_s, u"New line"_s}));
    QCOMPARE(m->languages[2].lists.voicespeech, (QStringList{u"old"_s, u"new"_s}));
    QVERIFY(changedSinceMark(*m));

    // A second update keeps the mark; showing the tab takes it off and shows "X".
    updateLanguageLists(*m);
    QCOMPARE(m->origin.speech.value(1), u"*NEU*New line"_s);
    const auto rows = LanguageGrid::showTab(*m, 1, LanguageGrid::Speech);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].mark, QString());
    QCOMPARE(rows[1].mark, u"X"_s);
    QCOMPARE(rows[1].originText, u"New line"_s);
    QCOMPARE(rows[1].originVoice, u"new"_s);
    QCOMPARE(rows[0].languageText, u"Alt"_s);
    QCOMPARE(m->origin.speech, (QStringList{u"Old"_s, u"New line"_s}));
    QCOMPARE(LanguageGrid::showTab(*m, 1, LanguageGrid::Speech)[1].mark, QString());
}

void tst_LanguageTools::deletedCallLeavesEveryListParallel()
{
    auto m = emptyProject({u"deutsch"_s, u"english"_s});
    Script &s = cutscene(*m, 1, {u"speech(bob;A;a)"_s, u"speech(bob;B;b)"_s, u"speech(bob;C;c)"_s,
                                 u"offspeech(1;2;Far;far)"_s, u"textout(1;T)"_s});
    updateLanguageLists(*m);
    removeNewMarks(*m);
    LangLists &de = m->languages[1].lists;
    de.speech = QStringList{u"A-de"_s, u"B-de"_s, u"C-de"_s};
    de.voicespeech = QStringList{u"a-de"_s, u"b-de"_s, u"c-de"_s};

    // B goes, and so does the only offspeech; a line added and deleted again before the
    // translator saw it keeps its "*NEU*" entry.
    s = QStringList{u"speech(bob;A;a)"_s, u"speech(bob;C;c)"_s, u"textout(1;T)"_s, u"textout(2;Fresh)"_s};
    updateLanguageLists(*m);
    s.removeLast();
    updateLanguageLists(*m);

    QCOMPARE(m->origin.speech, (QStringList{u"A"_s, u"C"_s}));
    QCOMPARE(m->origin.voicespeech, (QStringList{u"a"_s, u"c"_s}));
    QCOMPARE(de.speech, (QStringList{u"A-de"_s, u"C-de"_s}));
    QCOMPARE(de.voicespeech, (QStringList{u"a-de"_s, u"c-de"_s}));
    QCOMPARE(m->languages[2].lists.speech, (QStringList{u"A"_s, u"C"_s}));
    QVERIFY(m->origin.offspeech.isEmpty());
    QVERIFY(m->origin.voiceoffspeech.isEmpty());
    QVERIFY(de.offspeech.isEmpty());
    QVERIFY(de.voiceoffspeech.isEmpty());
    QCOMPARE(m->origin.textout, (QStringList{u"T"_s, u"*NEU*Fresh"_s}));
    QCOMPARE(de.textout, (QStringList{u"T"_s, u"Fresh"_s}));
    QVERIFY(allParallel(*m));

    // Everything gone: the lists empty out together.
    s.clear();
    removeNewMarks(*m);
    updateLanguageLists(*m);
    for (int i = 0; i < LangLists::Count; ++i) {
        QVERIFY2(m->origin.list(i).isEmpty(), LangLists::listName(i));
        QVERIFY2(de.list(i).isEmpty(), LangLists::listName(i));
    }
}

void tst_LanguageTools::sameTextWithTwoVoiceFiles()
{
    auto m = emptyProject();
    cutscene(*m, 1, {u"speech(bob;Hello;hello.wav)"_s, u"speech(door;Hello;creak.wav)"_s,
                     u"speech(bob;Hello;hello.wav)"_s});
    updateLanguageLists(*m);
    QCOMPARE(m->origin.speech, (QStringList{u"*NEU*Hello"_s, u"*NEU*Hello"_s}));
    QCOMPARE(m->origin.voicespeech, (QStringList{u"hello.wav"_s, u"creak.wav"_s}));

    LangLists &de = m->languages[1].lists;
    de.speech = QStringList{u"Hallo"_s, u"Knarz"_s};
    de.voicespeech = QStringList{u"hallo.wav"_s, u"knarz.wav"_s};
    for (int round = 1; round <= 3; ++round) {
        removeNewMarks(*m);
        updateLanguageLists(*m);
        QCOMPARE(m->origin.speech, (QStringList{u"Hello"_s, u"Hello"_s}));
        QCOMPARE(m->origin.voicespeech, (QStringList{u"hello.wav"_s, u"creak.wav"_s}));
        QCOMPARE(de.speech, (QStringList{u"Hallo"_s, u"Knarz"_s}));
        QCOMPARE(de.voicespeech, (QStringList{u"hallo.wav"_s, u"knarz.wav"_s}));
    }
}

void tst_LanguageTools::sourcesInOrder()
{
    // One text per source, each placed so that slot order alone would give another order.
    auto m = emptyProject();
    cutscene(*m, 7, {u"textout(1;cutscene)"_s});
    m->roomChars[3].instanceName = u"bob1"_s;
    m->roomChars[3].script = {u"textout(1;room character)"_s};
    m->items[2].name = u"key"_s;
    m->items[2].script = {u"textout(1;item)"_s};
    m->items[2].frames[4][3].script = u"textout(1;item frame)"_s;
    m->objects[5].name = u"door"_s;
    m->objects[5].frames[0][0].script = u"textout(1;object frame)"_s;
    m->characters[1].name = u"bob"_s;
    m->characters[1].frames[35][29].script = u"textout(1;character frame)"_s;
    Rroom &hall = m->rooms[1];
    Rroom &yard = m->rooms[2];
    hall.name = u"hall"_s;
    yard.name = u"yard"_s;
    yard.script = {u"textout(1;room yard)"_s};
    hall.script = {u"textout(1;room hall)"_s};
    hall.objects[1].instanceName = u"door1"_s;
    hall.objects[1].script = {u"textout(1;object hall)"_s};
    yard.objects[0].instanceName = u"door2"_s;
    yard.objects[0].script = {u"textout(1;object yard)"_s};
    yard.walkmap.setHasScript(1, 1, true);
    yard.walkmap.script(1, 1) = {u"textout(1;walkmap yard)"_s};
    hall.walkmap.setHasScript(5, 5, true);
    hall.walkmap.script(5, 5) = {u"textout(1;walkmap hall)"_s};
    // A frame line left open continues in the next frame line of the combined list.
    m->objects[5].frames[9][29].script = u"setstring(s;open"_s;
    m->characters[1].frames[0][0].script = u" end)"_s;
    m->roomChars[3].script << u"setstring(s;script"_s;
    m->items[2].script.prepend(u"ends here)"_s);

    updateLanguageLists(*m);
    QCOMPARE(m->origin.textout,
             (QStringList{u"*NEU*cutscene"_s, u"*NEU*room character"_s, u"*NEU*item"_s,
                          u"*NEU*room hall"_s, u"*NEU*room yard"_s, u"*NEU*object hall"_s,
                          u"*NEU*object yard"_s, u"*NEU*walkmap hall"_s, u"*NEU*walkmap yard"_s,
                          u"*NEU*item frame"_s, u"*NEU*object frame"_s, u"*NEU*character frame"_s}));
    // A script's call does not run on into the next script.
    QCOMPARE(m->origin.setstring, (QStringList{u"*NEU*script"_s, u"*NEU*open end"_s}));
}

void tst_LanguageTools::walkmapCellsOfTheWholeGrid()
{
    auto m = emptyProject();
    Walkmap &w = m->rooms[1].walkmap;
    m->rooms[1].name = u"hall"_s;
    auto cell = [&w](int col, int row, const QString &text, bool flag = true) {
        w.setHasScript(col, row, flag);
        w.script(col, row) = {u"showinfo(%1)"_s.arg(text)};
    };
    cell(192, 96, u"last cell"_s);
    cell(150, 90, u"right half"_s);
    cell(2, 1, u"second column"_s);
    cell(1, 96, u"first column bottom"_s);
    cell(97, 73, u"past the old range"_s);
    cell(3, 3, u"no flag"_s, false);
    updateLanguageLists(*m);
    QCOMPARE(m->origin.showinfo,
             (QStringList{u"*NEU*first column bottom"_s, u"*NEU*second column"_s,
                          u"*NEU*past the old range"_s, u"*NEU*right half"_s, u"*NEU*last cell"_s}));
}

void tst_LanguageTools::kommandos()
{
    auto m = emptyProject();
    m->commands.walktext = u"Walk to"_s;
    m->commands.linktext = u"with"_s;
    m->commands.givelink = QString();
    m->commands.rows = {{u"use"_s, u"Use"_s}, {u"look"_s, u"Look at"_s}, {u"walk"_s, u"Walk to"_s}};
    updateLanguageLists(*m);
    QCOMPARE(m->origin.kommandos, (QStringList{u"*NEU*Walk to"_s, u"*NEU*with"_s, u"*NEU*Use"_s, u"*NEU*Look at"_s}));
    QCOMPARE(m->languages[1].lists.kommandos, (QStringList{u"Walk to"_s, u"with"_s, u"Use"_s, u"Look at"_s}));

    // The build leaves kommandos marked; the translate page takes the marks off.
    QCOMPARE(removeNewMarks(*m), 0);
    QCOMPARE(LanguageGrid::showTab(*m, 1, LanguageGrid::Commands).size(), 4);
    m->languages[1].lists.kommandos = QStringList{u"Gehe zu"_s, u"mit"_s, u"Benutze"_s, u"Schau"_s};

    m->commands.rows.erase(m->commands.rows.begin());
    m->commands.givelink = u"to"_s;
    updateLanguageLists(*m);
    QCOMPARE(m->origin.kommandos, (QStringList{u"Walk to"_s, u"with"_s, u"Look at"_s, u"*NEU*to"_s}));
    QCOMPARE(m->languages[1].lists.kommandos, (QStringList{u"Gehe zu"_s, u"mit"_s, u"Schau"_s, u"to"_s}));
}

void tst_LanguageTools::unevenListsAreMadeParallel()
{
    // As a damaged or hand-edited language file could leave them.
    auto m = emptyProject();
    cutscene(*m, 1, {u"speech(bob;A;a)"_s, u"speech(bob;B;b)"_s, u"textout(1;T)"_s});
    m->origin.speech = QStringList{u"A"_s, u"B"_s};
    m->origin.voicespeech = QStringList{u"a"_s};
    m->origin.textout = QStringList{u"T"_s};
    LangLists &de = m->languages[1].lists;
    de.speech = QStringList{u"A-de"_s};
    de.textout = QStringList{u"T-de"_s, u"orphan"_s};
    updateLanguageLists(*m);
    QVERIFY(allParallel(*m));
    // "B" had lost its voice entry: it no longer matches its call, which is added anew.
    QCOMPARE(m->origin.speech, (QStringList{u"A"_s, u"*NEU*B"_s}));
    QCOMPARE(m->origin.voicespeech, (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(de.speech, (QStringList{u"A-de"_s, u"B"_s}));
    QCOMPARE(de.textout, QStringList{u"T-de"_s});
}

void tst_LanguageTools::removeNewMarksTouchesOnlyTheTextLists()
{
    auto m = emptyProject();
    for (int i = 0; i < LangLists::Count; ++i) {
        m->origin.list(i) = QStringList{u"*NEU*x"_s, u"y"_s};
        m->languages[1].lists.list(i) = QStringList{u"*NEU*x"_s, u"y"_s};
    }
    QCOMPARE(removeNewMarks(*m), 6);
    QVERIFY(changedSinceMark(*m));
    for (int i = 0; i < LangLists::Count; ++i) {
        const bool textList = i == 0 || i == 2 || (i >= 4 && i <= 7);
        QCOMPARE(m->origin.list(i).value(0), textList ? u"x"_s : u"*NEU*x"_s);
        QCOMPARE(m->languages[1].lists.list(i).value(0), u"*NEU*x"_s);
    }
    markUnchanged(*m);
    QCOMPARE(removeNewMarks(*m), 0);
    QVERIFY(!changedSinceMark(*m));
}

void tst_LanguageTools::updateReportsTheScriptsScanned()
{
    auto a = emptyProject();
    for (int slot = 1; slot <= 600; ++slot)
        cutscene(*a, slot, {u"speech(bob;Line %1)"_s.arg(slot), u"textout(1;Text %1)"_s.arg(slot)});
    auto b = emptyProject();
    for (int slot = 1; slot <= 600; ++slot)
        cutscene(*b, slot, a->cutscenes[slot].script);
    qint64 scripts = 0;
    LanguageScanner::forEachScript(*a, [&scripts](const QStringList &) { ++scripts; });

    testing::ProgressRecorder progress;
    progress.stopAt = 1; // the update goes on to its end all the same
    QVERIFY(updateLanguageLists(*a, progress.receiver()));
    QCOMPARE(progress.problem(scripts, true), QString());
    QVERIFY(progress.reports.size() > 10);
    QVERIFY(updateLanguageLists(*b));
    QCOMPARE(savedBytes(*a), savedBytes(*b));
}

void tst_LanguageTools::updateSurvivesSaveAndReload()
{
    // Voice entries of a single space and marked entries go through the language file.
    auto m = testing::sampleProject();
    m->cutscenes[1].script = {u"speech(self;Grüße;dontwait)"_s, u"speech(bob;Hello;hello.wav)"_s};
    updateLanguageLists(*m);
    QTemporaryDir dir;
    QVERIFY(saveProject(*m, dir.path(), u"sample"_s).ok);
    ProjectModel reread;
    QVERIFY(openProject(reread, MessageCatalog(), dir.filePath(u"sample.adv"_s)).ok);
    for (int i = 0; i < LangLists::Count; ++i) {
        QCOMPARE(reread.origin.list(i), m->origin.list(i));
        QCOMPARE(reread.languages[1].lists.list(i), m->languages[1].lists.list(i));
    }
    // The door placement's "locked" comes after the cutscene's text.
    QCOMPARE(reread.origin.speech, (QStringList{u"Hello"_s, u"*NEU*Grüße"_s, u"*NEU*locked"_s}));
    QCOMPARE(reread.origin.voicespeech, (QStringList{u"hello.wav"_s, u" "_s, u" "_s}));
    QCOMPARE(reread.languages[1].lists.speech, (QStringList{u"Hallo"_s, u"Grüße"_s, u"locked"_s}));
    QCOMPARE(reread.languages[1].lists.voicespeech, (QStringList{u"hallo.wav"_s, u" "_s, u" "_s}));
}

// ---------------------------------------------------------------------------------------------
// Translate page

void tst_LanguageTools::translateGrid()
{
    auto m = emptyProject();
    const QString longText(106, u'x');
    cutscene(*m, 1, {u"showinfo(%1)"_s.arg(longText), u"showinfo(Short)"_s});
    updateLanguageLists(*m);
    markUnchanged(*m);

    const auto rows = LanguageGrid::showTab(*m, 1, LanguageGrid::Showinfo);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].height, 2 * 15 + 20);
    QCOMPARE(rows[1].height, 20);
    QCOMPARE(rows[1].originVoice, u" "_s);
    QCOMPARE(rows[1].languageVoice, QString());
    QCOMPARE(rows[1].languageText, u"Short"_s);
    QVERIFY(changedSinceMark(*m));
    QCOMPARE(LanguageGrid::rowHeight(QString(52, u'x')), 20);
    QCOMPARE(LanguageGrid::rowHeight(QString(53, u'x')), 35);

    // Edits go into the language only.
    markUnchanged(*m);
    QVERIFY(LanguageGrid::setText(*m, 1, LanguageGrid::Showinfo, 1, u"Kurz"_s));
    QVERIFY(changedSinceMark(*m));
    QVERIFY(LanguageGrid::setText(*m, 1, LanguageGrid::Showinfo, 0, QString()));
    QCOMPARE(m->languages[1].lists.showinfo, (QStringList{u" "_s, u"Kurz"_s}));
    QCOMPARE(m->origin.showinfo, (QStringList{longText, u"Short"_s}));

    QVERIFY(!LanguageGrid::setText(*m, 1, LanguageGrid::Showinfo, 2, u"past the end"_s));
    QVERIFY(!LanguageGrid::setText(*m, 0, LanguageGrid::Showinfo, 0, u"no language"_s));
    QVERIFY(!LanguageGrid::setText(*m, 1, LanguageGrid::Showinfo, 0, u"*/*section"_s));
    QVERIFY(!LanguageGrid::setVoice(*m, 1, LanguageGrid::Showinfo, 0, u"v.wav"_s));
    QCOMPARE(m->languages[1].lists.showinfo, (QStringList{u" "_s, u"Kurz"_s}));

    cutscene(*m, 2, {u"offspeech(1;1;Far;far)"_s});
    updateLanguageLists(*m);
    // Typed after the blank the grid shows for an empty name, or with a blank too many.
    QVERIFY(LanguageGrid::setVoice(*m, 1, LanguageGrid::Offspeech, 0, u" fern.wav "_s));
    QCOMPARE(m->languages[1].lists.voiceoffspeech, QStringList{u"fern.wav"_s});
    QCOMPARE(m->origin.voiceoffspeech, QStringList{u"far"_s});
    QCOMPARE(LanguageGrid::showTab(*m, 1, LanguageGrid::Offspeech)[0].languageVoice, u"fern.wav"_s);
}

void tst_LanguageTools::addLanguage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("message");

    QTest::newRow("new, trimmed") << u"  english "_s << int(AddLanguageResult::Added) << 2 << QString();
    QTest::newRow("exists in other case") << u"Deutsch"_s << int(AddLanguageResult::Exists) << 0 << u"Deutsch already exists."_s;
    QTest::newRow("origin") << u"ORIGIN"_s << int(AddLanguageResult::Exists) << 0 << u"ORIGIN already exists."_s;
    QTest::newRow("empty") << u"   "_s << int(AddLanguageResult::Empty) << 0 << QString();
    QTest::newRow("separator") << u"a;b"_s << int(AddLanguageResult::Invalid) << 0 << u"The chars ( ) { } ; \" are not allowed!"_s;
}

void tst_LanguageTools::addLanguage()
{
    QFETCH(QString, name);
    QFETCH(int, status);
    QFETCH(int, slot);
    QFETCH(QString, message);

    auto m = emptyProject();
    m->origin.speech = QStringList{u"*NEU*Hello"_s, u"Bye"_s};
    m->origin.voicespeech = QStringList{u"hello"_s, u" "_s};
    m->origin.kommandos = QStringList{u"*NEU*Walk to"_s};
    const QStringList namesBefore = m->names[NameLists::Languages];
    markUnchanged(*m);
    const AddLanguageResult r = mb::addLanguage(*m, name);
    QCOMPARE(int(r.status), status);
    QCOMPARE(r.slot, slot);
    QCOMPARE(r.message.render(MessageCatalog()), message);
    QCOMPARE(changedSinceMark(*m), slot != 0);
    if (slot == 0) {
        QCOMPARE(m->names[NameLists::Languages], namesBefore);
        QCOMPARE(m->languages.usedCount(), 1);
        return;
    }
    const RLang &lang = m->languages[slot];
    QCOMPARE(lang.name, name.trimmed());
    QCOMPARE(lang.lists.speech, (QStringList{u"Hello"_s, u"Bye"_s}));
    QCOMPARE(lang.lists.voicespeech, (QStringList{u"hello"_s, u" "_s}));
    QCOMPARE(lang.lists.kommandos, QStringList{u"Walk to"_s});
    QVERIFY(m->names[NameLists::Languages].contains(name.trimmed()));
    QCOMPARE(m->origin.speech.value(0), u"*NEU*Hello"_s);
}

void tst_LanguageTools::deleteLanguageMovesTheOthersDown()
{
    auto m = emptyProject({u"deutsch"_s, u"english"_s, u"français"_s});
    for (int s = 1; s <= 3; ++s)
        m->languages[s].lists.speech = QStringList{m->languages[s].name};
    QVERIFY(mb::deleteLanguage(*m, 1));
    QCOMPARE(m->languages[1].name, u"english"_s);
    QCOMPARE(m->languages[2].name, u"français"_s);
    QCOMPARE(m->languages[2].lists.speech, QStringList{u"français"_s});
    QVERIFY(!m->languages.used(3));
    QVERIFY(m->languages[3].lists.speech.isEmpty());
    QVERIFY(!m->names[NameLists::Languages].contains(u"deutsch"_s));
    QVERIFY(changedSinceMark(*m));
    QVERIFY(!mb::deleteLanguage(*m, 3));
    QVERIFY(!mb::deleteLanguage(*m, 11));

    // Ten languages fill the table; a deleted one frees the last slot for the next.
    for (int i = 0; i < 8; ++i)
        QCOMPARE(int(mb::addLanguage(*m, u"lang%1"_s.arg(i)).status), int(AddLanguageResult::Added));
    const AddLanguageResult full = mb::addLanguage(*m, u"eleventh"_s);
    QCOMPARE(int(full.status), int(AddLanguageResult::Full));
    // Says why, not silently, in whichever language the editor shows it.
    QCOMPARE(full.message.render(MessageCatalog(u"DE"_s)), MessageCatalog(u"DE"_s).extra(8).arg(10));
    QCOMPARE(full.message.render(MessageCatalog()), MessageCatalog().extra(8).arg(10));
    QCOMPARE(full.message.icon(), Message::Information);
    QVERIFY(mb::deleteLanguage(*m, 4));
    QCOMPARE(mb::addLanguage(*m, u"eleventh"_s).slot, 10);
}

// ---------------------------------------------------------------------------------------------
// Dialogue export

namespace {

// bob says four lines, alice one, a narrator one; "ding" is a sound of the media pool.
std::unique_ptr<ProjectModel> dialogueProject()
{
    auto m = emptyProject();
    cutscene(*m, 1, {u"speech(bob;Hello;hello)"_s,
                     u"speech(bob;Again;HELLO)"_s,
                     u"speech(bob;No voice;dontwait)"_s,
                     u"speech(alice;Hi;alice1) speech(alice;Same line;alice2)"_s,
                     u"offspeech(1;2;Far away;narr1)"_s,
                     u"speech(bob;Pooled;ding)"_s,
                     u"offspeech(1;2;Silent)"_s});
    m->media[Sounds].set(1, u"ding"_s, u"/s/ding.wav"_s);
    return m;
}

} // namespace

void tst_LanguageTools::exportDialogues_data()
{
    QTest::addColumn<bool>("voices");
    QTest::addColumn<bool>("forgotten");
    QTest::addColumn<bool>("dedupe");
    QTest::addColumn<bool>("skipExisting");
    QTest::addColumn<QStringList>("bob");
    QTest::addColumn<QStringList>("alice");
    QTest::addColumn<QStringList>("offspeech");
    QTest::addColumn<QStringList>("forgottenFile");

    const QStringList none{u"<missing>"_s};
    QTest::newRow("texts only") << false << true << true << true
        << QStringList{u" - Hello"_s, u" - Again"_s, u" - No voice"_s, u" - Pooled"_s}
        << QStringList{u" - Hi"_s} << QStringList{u" - Far away"_s, u" - Silent"_s} << none;
    QTest::newRow("voices, all options") << true << true << true << true
        << QStringList{u"(hello) - Hello"_s} << QStringList{u"(alice1) - Hi"_s}
        << QStringList{u"(narr1) - Far away"_s} << QStringList{u"No voice"_s, u"Silent"_s};
    QTest::newRow("voices, no options") << true << false << false << false
        << QStringList{u"(hello) - Hello"_s, u"(hello) - Again"_s, u"(ding) - Pooled"_s}
        << QStringList{u"(alice1) - Hi"_s} << QStringList{u"(narr1) - Far away"_s} << none;
    QTest::newRow("voices, pooled kept") << true << true << true << false
        << QStringList{u"(hello) - Hello"_s, u"(ding) - Pooled"_s} << QStringList{u"(alice1) - Hi"_s}
        << QStringList{u"(narr1) - Far away"_s} << QStringList{u"No voice"_s, u"Silent"_s};
}

void tst_LanguageTools::exportDialogues()
{
    QFETCH(bool, voices);
    QFETCH(bool, forgotten);
    QFETCH(bool, dedupe);
    QFETCH(bool, skipExisting);

    auto m = dialogueProject();
    QTemporaryDir tmp;
    const QDir dir(tmp.filePath(u"Dialogues"_s));
    DialogueExportOptions o;
    o.folder = dir.path();
    o.includeVoiceNames = voices;
    o.forgotten = forgotten;
    o.dedupe = dedupe;
    o.skipExisting = skipExisting;
    const ToolFilesResult r = mb::exportDialogues(*m, o);
    QVERIFY2(r.ok, qPrintable(r.error));
    QTEST(fileLines(dir.filePath(u"bob.txt"_s)), "bob");
    QTEST(fileLines(dir.filePath(u"alice.txt"_s)), "alice");
    QTEST(fileLines(dir.filePath(u"offspeech.txt"_s)), "offspeech");
    QTEST(fileLines(dir.filePath(u"vergessen.txt"_s)), "forgottenFile");
    QCOMPARE(r.files.size(), int(dir.entryList(QDir::Files).size()));
}

void tst_LanguageTools::exportWithLanguage()
{
    auto m = dialogueProject();
    updateLanguageLists(*m);
    LangLists &de = m->languages[1].lists;
    // The update takes every call of a line: Hello, Again, No voice, Hi, Same line, Pooled.
    QCOMPARE(m->origin.speech.value(4), u"*NEU*Same line"_s);
    de.speech = QStringList{u"Hallo"_s, u"Nochmal"_s, u"Ohne Stimme"_s, u"Servus"_s, u"Gleiche Zeile"_s, u"Im Pool"_s};
    de.voicespeech = QStringList{u"hallo"_s, u"hallo"_s, u" "_s, u"Alice1_DE"_s, u"alice2"_s, u"ding"_s};
    de.offspeech = QStringList{u"Weit weg"_s, u"Still"_s};
    de.voiceoffspeech = QStringList{u"fern"_s, u"still"_s};

    QTemporaryDir tmp;
    DialogueExportOptions o;
    o.folder = tmp.path();
    o.languageSlot = 1;
    o.includeVoiceNames = true;
    QVERIFY(mb::exportDialogues(*m, o).ok);
    QCOMPARE(fileLines(tmp.filePath(u"bob.txt"_s)), QStringList{u"(hallo) - Hallo"_s});
    QCOMPARE(fileLines(tmp.filePath(u"alice.txt"_s)), QStringList{u"(alice1_de) - Servus"_s});
    QCOMPARE(fileLines(tmp.filePath(u"offspeech.txt"_s)), (QStringList{u"(fern) - Weit weg"_s, u"(still) - Still"_s}));
    QCOMPARE(fileLines(tmp.filePath(u"vergessen.txt"_s)), QStringList{u"Ohne Stimme"_s});
    // The option that writes it names that file, in both languages.
    for (const QString lang : {u"EN"_s, u"DE"_s}) {
        const QString label = forgottenDialogueOption(MessageCatalog(lang));
        QVERIFY2(label.contains(u"\"vergessen.txt\""_s) && !label.contains(u"no_voicefile"_s), qPrintable(label));
        QVERIFY(QFileInfo::exists(tmp.filePath(forgottenDialogueFile())));
    }

    // A call the lists do not know yet keeps its origin text.
    m->cutscenes[1].script << u"speech(bob;Unknown;unk)"_s;
    QVERIFY(mb::exportDialogues(*m, o).ok);
    QCOMPARE(fileLines(tmp.filePath(u"bob.txt"_s)), (QStringList{u"(hallo) - Hallo"_s, u"(unk) - Unknown"_s}));
}

void tst_LanguageTools::exportFilesAndEncoding()
{
    auto m = emptyProject();
    cutscene(*m, 1, {u"speech(Bob;Grüße – 5 €)"_s, u"speech(bob;Zwei)"_s, u"speech(../evil;x)"_s});
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    auto put = [&dir](const QString &name) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old\r\n");
    };
    put(u"Bob.txt"_s);
    put(u"vergessen.txt"_s);
    put(u"offspeech.txt"_s);
    put(u"carl.txt"_s);

    DialogueExportOptions o;
    o.folder = dir.path();
    QVERIFY(mb::exportDialogues(*m, o).ok);
    QFile bob(dir.filePath(u"Bob.txt"_s));
    QVERIFY(bob.open(QIODevice::ReadOnly));
    QCOMPARE(bob.readAll(), QByteArray(" - Gr\xfc\xdf" "e \x96 5 \x80\r\n - Zwei\r\n"));
    QVERIFY(!dir.entryList(QDir::Files).contains(u"bob.txt"_s));
    QVERIFY(!dir.exists(u"vergessen.txt"_s));
    QVERIFY(!dir.exists(u"offspeech.txt"_s));
    QCOMPARE(fileLines(dir.filePath(u"carl.txt"_s)), QStringList{u"old"_s});
    QCOMPARE(fileLines(dir.filePath(u".._evil.txt"_s)), QStringList{u" - x"_s});
    QVERIFY(!QFile::exists(tmp.filePath(u"../evil.txt"_s)));

    // A folder that cannot be made ends the export with a message naming it.
    o.folder = dir.filePath(u"carl.txt/sub"_s);
    const ToolFilesResult r = mb::exportDialogues(*m, o);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(u"carl.txt"_s), qPrintable(r.error));
}

// ---------------------------------------------------------------------------------------------
// Sound lists

void tst_LanguageTools::soundLists_data()
{
    QTest::addColumn<bool>("playsound");
    QTest::addColumn<bool>("loopsound");
    QTest::addColumn<bool>("playmusic");
    QTest::addColumn<bool>("skipPooled");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QStringList>("loops");
    QTest::addColumn<QStringList>("music");

    const QStringList none{u"<missing>"_s};
    QTest::newRow("all") << true << true << true << false
        << QStringList{u" - ding"_s, u" - door"_s} << QStringList{u" - rain"_s}
        << QStringList{u" - theme"_s, u" - boss"_s};
    // "ding" is a pooled sound but no pooled music: playmusic(ding) is listed.
    QTest::newRow("pooled left out") << true << true << true << true
        << QStringList{u" - door"_s} << QStringList{u" - rain"_s} << QStringList{u" - ding"_s, u" - boss"_s};
    // The set of written names is shared: without playsound, "ding" is first met as music.
    QTest::newRow("music only") << false << false << true << false
        << QStringList{u"old"_s} << QStringList{u"old"_s}
        << QStringList{u" - theme"_s, u" - ding"_s, u" - boss"_s};
    QTest::newRow("nothing chosen") << false << false << false << false
        << QStringList{u"old"_s} << QStringList{u"old"_s} << QStringList{u"old"_s};
}

void tst_LanguageTools::soundLists()
{
    QFETCH(bool, playsound);
    QFETCH(bool, loopsound);
    QFETCH(bool, playmusic);
    QFETCH(bool, skipPooled);

    auto m = emptyProject();
    cutscene(*m, 1, {u"playsound(Ding;80)"_s, u"loopsound( \"rain\" ;50)"_s, u"playmusic(theme)"_s,
                     u"playsound(ding;20) playsound(;20) playsound( )"_s, u"playmusic(ding)"_s});
    m->rooms[1].name = u"hall"_s;
    m->rooms[1].script = {u"playsound(door)"_s, u"playmusic(boss)"_s};
    m->media[Sounds].set(1, u"ding"_s, u"/s/ding.wav"_s);
    m->media[Music].set(1, u"theme"_s, u"/m/theme.xm"_s);

    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    for (const char *name : {"sounds.txt", "loopsounds.txt", "musictracks.txt"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old\r\n");
    }
    SoundListOptions o;
    o.folder = dir.path();
    o.playsound = playsound;
    o.loopsound = loopsound;
    o.playmusic = playmusic;
    o.skipPooled = skipPooled;
    const ToolFilesResult r = createSoundLists(*m, o);
    QVERIFY2(r.ok, qPrintable(r.error));
    QTEST(fileLines(dir.filePath(u"sounds.txt"_s)), "sounds");
    QTEST(fileLines(dir.filePath(u"loopsounds.txt"_s)), "loops");
    QTEST(fileLines(dir.filePath(u"musictracks.txt"_s)), "music");
}

QTEST_GUILESS_MAIN(tst_LanguageTools)
#include "tst_languagetools.moc"
