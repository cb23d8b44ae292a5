#include "app/dialogasker.h"
#include "app/qttranslations.h"
#include "app/tform12.h"
#include "app/tmissingfiles.h"
#include "dialogs/coinmarkerarea.h"
#include "dialogs/tcommandlist.h"
#include "build/fontrenderer.h"
#include "dialogs/fontpreview.h"
#include "dialogs/tfontwindow.h"
#include "dialogs/tform16.h"
#include "dialogs/tgamesetup.h"
#include "dialogs/tskriptzeile.h"
#include "dialogs/ttexteingabe.h"

#include "project/editorsettings.h"
#include "project/missingfiles.h"
#include "project/projectfile.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include "support/scriptedasker.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QImage>
#include <QSet>

#include <memory>

using namespace mb;
using namespace Qt::StringLiterals;

namespace {

// A fresh project with config.ini in a temporary editor folder, and the scripted answers to
// the dialogs' questions, which record the boxes they show.
struct Fixture
{
    QTemporaryDir dir;
    EditorSettings settings{dir.path()};
    MessageCatalog catalog;
    ProjectSession session{catalog};
    // The session's project: read by the checks, written directly only to prepare a case.
    ProjectModel *model = const_cast<ProjectModel *>(&session.model());
    mb::testing::ScriptedAsker asker;
    QList<mb::testing::ScriptedAsker::Shown> &shown = asker.shown;

    Fixture()
    {
        session.setEditorFolder(dir.path());
    }
    // The texts of the notes and errors shown.
    QStringList texts() const { return asker.boxes(); }
};

void setCell(QTableWidget *grid, int row, int column, const QString &text)
{
    grid->item(row - 1, column)->setText(text);
}

QStringList gridNames(const QTableWidget *grid)
{
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << grid->item(r, 0)->text();
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

QStringList listTexts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
    emit edit->editingFinished();
}

// The dialogs of the Escape test.
enum EscapeDialog {
    AddBoolInput, RenameBoolInput, AddLanguageInput, RenameActionInput, ScriptLine, LanguageTools,
    MissingFilesList, About, Fonts, Commands, Settings
};

// One of them, shown over the fixture's project with one field changed, waiting for its key.
struct ShownDialog
{
    std::unique_ptr<MissingFiles> search;
    std::unique_ptr<QDialog> dialog;
    std::function<void()> ok; // its OK button, where it has one
    bool applied = false;     // it handed on what was typed (a name, a line)
};

// The project as a save writes it.
QByteArray savedBytes(const ProjectSession &session)
{
    const CompanionFiles f = writeCompanionFiles(session.model());
    return f.files[0] + f.files[1] + f.files[2] + f.files[3];
}

void showDialog(Fixture &f, EscapeDialog which, ShownDialog &d)
{
    f.model->commands.bools.push_back({u"doorOpen"_s, false});
    f.model->names[NameLists::Bools] << u"doorOpen"_s;
    f.model->objects[1].name = u"door"_s;
    f.model->fonts[1] = RFont{u"Serif"_s, false, false, 8};
    f.model->mediaadd(Images, u"wall"_s, u"/gone/wall.png"_s);
    auto input = [&](auto start) {
        auto *w = new Ttexteingabe(f.session, f.catalog, f.settings, f.asker);
        QObject::connect(w, &Ttexteingabe::boolEntered, w, [&d] { d.applied = true; });
        QObject::connect(w, &Ttexteingabe::languageAdded, w, [&d] { d.applied = true; });
        QObject::connect(w, &Ttexteingabe::actionRenamed, w, [&d] { d.applied = true; });
        start(*w);
        QTest::keyClicks(w->edit(), u"Wave"_s);
        d.dialog.reset(w);
    };
    switch (which) {
    case AddBoolInput: return input([](Ttexteingabe &w) { w.start(Ttexteingabe::AddBool); });
    case RenameBoolInput: return input([](Ttexteingabe &w) { w.start(Ttexteingabe::RenameBool, 0); });
    case AddLanguageInput: return input([](Ttexteingabe &w) { w.start(Ttexteingabe::AddLanguage); });
    case RenameActionInput:
        return input([](Ttexteingabe &w) { w.startRenameAction(std::array<QString, 20>{u"Extra 1"_s}, 0); });
    case ScriptLine: {
        auto *w = new Tskriptzeile(f.session, f.catalog, f.settings);
        QObject::connect(w, &Tskriptzeile::entered, w, [&d] { d.applied = true; });
        w->start(Tskriptzeile::Object, 1, 0, 0, u"Frame 1"_s);
        QTest::keyClicks(w->edit(), u"playsound(creak)"_s);
        d.dialog.reset(w);
        return;
    }
    case LanguageTools: {
        auto *w = new TForm16(f.session, f.catalog, f.settings, f.asker);
        w->show();
        typeInto(w->exportFolder(), f.dir.filePath(u"elsewhere"_s));
        d.dialog.reset(w);
        return;
    }
    case MissingFilesList: {
        d.search = std::make_unique<MissingFiles>(f.session);
        QCOMPARE(d.search->check(), 1);
        auto *w = new Tmissingfiles(*d.search, f.catalog, f.asker);
        w->refresh();
        w->show();
        d.dialog.reset(w);
        d.ok = [w] { w->Button2Click(); };
        return;
    }
    case About:
        d.dialog = std::make_unique<TForm12>(f.catalog);
        d.dialog->show();
        return;
    case Fonts: {
        auto *w = new Tfontwindow(f.session, f.catalog, f.settings, f.asker);
        w->show();
        w->list()->setCurrentRow(0);
        w->sizeBox()->setValue(14);
        d.dialog.reset(w);
        d.ok = [w] { w->accept(); };
        return;
    }
    case Commands: {
        auto *w = new Tcommandlist(f.session, f.catalog, f.settings, f.asker);
        w->show();
        typeInto(w->linktextEdit(), u"against"_s);
        d.dialog.reset(w);
        d.ok = [w] { w->okButton()->click(); };
        return;
    }
    case Settings: {
        auto *w = new Tgamesetup(f.session, f.catalog, f.settings, f.asker);
        w->show();
        typeInto(w->startScriptEdit(), u"intro"_s);
        d.dialog.reset(w);
        d.ok = [w] { w->okButton()->click(); };
        return;
    }
    }
}

void pressEscape(QDialog *dialog)
{
    QWidget *focus = dialog->focusWidget();
    QTest::keyClick(focus ? focus : dialog, Qt::Key_Escape);
}

} // namespace

class TstDialogs : public QObject
{
    Q_OBJECT

private slots:
    // The editor's questions, answered with the keyboard as a user would: Enter takes the
    // default button the question names, Escape never says Yes.
    void dialogQuestionKeys_data()
    {
        QTest::addColumn<bool>("withCancel");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("delete question, Enter") << false << int(Asker::No) << int(Qt::Key_Return) << int(Asker::No);
        QTest::newRow("plain question, Enter") << false << int(Asker::Yes) << int(Qt::Key_Return) << int(Asker::Yes);
        QTest::newRow("plain question, Escape") << false << int(Asker::Yes) << int(Qt::Key_Escape) << int(Asker::No);
        QTest::newRow("with cancel, Enter") << true << int(Asker::Yes) << int(Qt::Key_Return) << int(Asker::Yes);
        QTest::newRow("with cancel, Escape") << true << int(Asker::Yes) << int(Qt::Key_Escape) << int(Asker::Cancel);
    }
    void dialogQuestionKeys()
    {
        QFETCH(bool, withCancel);
        QFETCH(int, defaultAnswer);
        QFETCH(int, key);
        QFETCH(int, expected);
        DialogAsker asker;
        QString shownText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shownText = box->text();
            QCOMPARE(box->buttons().size(), withCancel ? 3 : 2);
            QTest::keyClick(box, Qt::Key(key));
        });
        const Asker::Answer answer =
            asker.ask(nullptr, {u"Confirmation"_s, u"Delete Room1 ?"_s, withCancel, Asker::Answer(defaultAnswer)});
        QCOMPARE(int(answer), expected);
        QCOMPARE(shownText, u"Delete Room1 ?"_s);
    }

    void dialogTextAndChoice()
    {
        DialogAsker asker;
        auto typeThen = [](const QString &typed, Qt::Key key) {
            QTimer::singleShot(0, [typed, key] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog);
                if (auto *edit = dialog->findChild<QLineEdit *>(); edit && !typed.isEmpty()) {
                    edit->selectAll();
                    QTest::keyClicks(edit, typed);
                }
                QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, key);
            });
        };
        typeThen(u"Kitchen"_s, Qt::Key_Return);
        QCOMPARE(asker.text(nullptr, u"Rename"_s, u"Name:"_s, u"Room1"_s), std::optional<QString>(u"Kitchen"_s));
        typeThen(u"Kitchen"_s, Qt::Key_Escape);
        QCOMPARE(asker.text(nullptr, u"Rename"_s, u"Name:"_s, u"Room1"_s), std::nullopt);

        const QStringList items{u"English"_s, u"Deutsch"_s, u"Français"_s};
        QTimer::singleShot(0, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            auto *combo = dialog->findChild<QComboBox *>();
            QVERIFY(combo);
            QCOMPARE(combo->currentIndex(), 1);
            QTest::keyClick(combo, Qt::Key_Down);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QCOMPARE(asker.choose(nullptr, u"Language"_s, u"Language:"_s, items, 1), 2);
        typeThen(QString(), Qt::Key_Escape);
        QCOMPARE(asker.choose(nullptr, u"Language"_s, u"Language:"_s, items, 0), -1);
    }

    void germanLabels_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("setup") << "setup";
        QTest::newRow("fonts") << "fonts";
        QTest::newRow("language tool") << "languages";
    }
    void germanLabels()
    {
        // Every label of the window comes from the catalogs, so a German editor shows none of
        // the English ones.
        QFETCH(QString, window);
        Fixture f;
        f.catalog.setLanguage(u"DE"_s);
        std::unique_ptr<QWidget> w;
        QStringList expected;
        const MessageCatalog &c = f.catalog;
        if (window == "setup") {
            w = std::make_unique<Tgamesetup>(f.session, f.catalog, f.settings, f.asker);
            expected << c.msg(466) << c.msg(414) << c.msg(461);
            for (int n = 9; n <= 16; ++n)
                expected << c.extra(n);
        } else if (window == "fonts") {
            f.model->fonts[1] = RFont{u"Serif"_s, false, false, 8};
            w = std::make_unique<Tfontwindow>(f.session, f.catalog, f.settings, f.asker);
            expected << c.msg(409) << c.extra(17) << c.extra(18);
            for (int n = 390; n <= 402; ++n)
                expected << c.msg(n);
        } else {
            w = std::make_unique<TForm16>(f.session, f.catalog, f.settings, f.asker);
            expected << c.msg(464) << c.msg(538) << c.msg(539);
        }
        w->show();
        QStringList shown;
        for (QLabel *l : w->findChildren<QLabel *>())
            shown << l->text();
        for (QComboBox *b : w->findChildren<QComboBox *>())
            for (int i = 0; i < b->count(); ++i)
                shown << b->itemText(i);
        for (const QString &text : std::as_const(expected))
            QVERIFY2(shown.contains(text), qPrintable(text));
        for (const char *english : {"Icon :", "Menu fade :", "Scene fade :", "Textscene :", "Style", "Border",
                                    "Multiple choice :", "Fade :", "Room :", "Info :", "Font :", "Style :",
                                    "Fading :", "Western", "Origin", "Include :"})
            QVERIFY2(!shown.contains(QLatin1String(english)), english);
    }

    void qtTextsInGerman()
    {
        // Qt's own buttons follow the editor's language.
        QVERIFY(!installQtTranslations(u"EN"_s));
        QTranslator *german = installQtTranslations(u"DE"_s);
        QVERIFY(german);
        {
            QMessageBox box(QMessageBox::Question, u"x"_s, u"y"_s, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), u"Ja"_s);
            QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), u"Nein"_s);
        }
        QCoreApplication::removeTranslator(german);
        delete german;
        QMessageBox box(QMessageBox::Question, u"x"_s, u"y"_s, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), u"Yes"_s);
    }

    void setupTaskHeight_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("above half") << u"255"_s << u"240"_s;
        QTest::newRow("below 50") << u"45"_s << u"50"_s;
        QTest::newRow("not a multiple") << u"144"_s << u"140"_s;
        QTest::newRow("empty") << QString() << u"160"_s;
        QTest::newRow("letters dropped as typed") << u"1x5y5"_s << u"160"_s;
    }
    void setupTaskHeight()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        typeInto(w.taskHeightEdit(), typed);
        QCOMPARE(w.taskHeightEdit()->text(), expected);
        QCOMPARE(f.model->settings.taskHeight, expected);
        QVERIFY(f.session.isModified());
    }

    void setupActionTextHeight()
    {
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        typeInto(w.actionTextHeightEdit(), u"-1a2"_s);
        QCOMPARE(f.model->settings.actionTextHeight, u"-12"_s);
        typeInto(w.actionTextHeightEdit(), QString());
        QCOMPARE(f.model->settings.actionTextHeight, u"0"_s);
    }

    void setupOkValidation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("message");
        QTest::newRow("question mark") << u"Quest?"_s << QString() << 269;
        QTest::newRow("empty") << QString() << QString() << 270;
        QTest::newRow("bad start script") << u"Quest"_s << u"a,b"_s << 271;
        QTest::newRow("valid") << u"Quest"_s << u"intro"_s << 0;
    }
    void setupOkValidation()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(int, message);
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        typeInto(w.projectNameEdit(), name);
        typeInto(w.startScriptEdit(), start);
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        if (message == 0) {
            QVERIFY(f.shown.isEmpty());
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(Tgamesetup::captionFor(f.model->settings.projectName), u"Mossbramble (Quest)"_s);
        } else {
            QCOMPARE(f.shown.size(), 1);
            QCOMPARE(f.shown[0].text, f.catalog.msg(message));
            QCOMPARE(f.shown[0].caption, f.catalog.msg(366));
            QCOMPARE(f.shown[0].kind, u"error"_s);
            QVERIFY(w.isVisible());
            QVERIFY(!w.close()); // closing checks as OK does
            QVERIFY(w.isVisible());
        }
    }

    void setupResolutionLock()
    {
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        int closed = 0;
        connect(&w, &Tgamesetup::resolutionChanged, &w, [&] { ++closed; });
        w.show();
        QVERIFY(w.resolutionBox()->isEnabled());
        w.resolutionBox()->setCurrentIndex(3);
        QCOMPARE(f.model->settings.gameWidth, 800);
        QCOMPARE(f.model->settings.gameHeight, 600);
        QCOMPARE(closed, 1);
        // On a screen at most 1024 wide, OK recommends a bigger desktop for the high resolutions.
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        if (w.screen()->geometry().width() <= 1024)
            QCOMPARE(f.texts(), QStringList{f.catalog.msg(274)});
        QVERIFY(!w.isVisible());
        f.model->gameTree.root(Rooms)->addChild(u"Room 1"_s, 0);
        w.show();
        QVERIFY(!w.resolutionBox()->isEnabled());
    }

    void setupGroupsAndInfoBoxes()
    {
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        QVERIFY(w.taskHeightEdit()->isEnabled());
        w.taskBarBox()->click();
        QVERIFY(!f.model->settings.bedienfeld);
        QVERIFY(!w.taskHeightEdit()->isEnabled());
        QVERIFY(!w.taskRoomEdit()->isEnabled());

        QVERIFY(!w.ownMenuRoomEdit()->isEnabled());
        w.silentDeleteBox()->click();
        QCOMPARE(f.texts(), QStringList{f.catalog.msg(276)});
        w.silentDeleteBox()->click(); // switching off says nothing
        QCOMPARE(f.shown.size(), 1);

        // The coin interface note is shown once per installation.
        w.coinBox()->click();
        QCOMPARE(f.texts().last(), f.catalog.msg(469));
        QCOMPARE(f.settings.readsetting(u"CoinInfo"_s), u"yes"_s);
        w.coinBox()->click();
        w.coinBox()->click();
        QCOMPARE(f.shown.size(), 2);
        QVERIFY(f.model->settings.coinInterface);
    }

    void setupFadeLabelAndMarker()
    {
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        QCOMPARE(w.menuFadeLabel()->text(), f.catalog.msg(241));
        w.menuFadeBar()->setValue(700);
        QCOMPARE(w.menuFadeLabel()->text(), f.catalog.msg(431));
        QCOMPARE(f.model->settings.fadebarmenu, 700);

        w.coinMarker()->dragTo(QPoint(1000, -1000));
        QCOMPARE(f.model->settings.coinTop, -11);
        QCOMPARE(f.model->settings.coinLeft, 189);
    }

    void setupColourAndIcon()
    {
        Fixture f;
        Tgamesetup w(f.session, f.catalog, f.settings, f.asker);
        f.asker.colourAnswers << QColor(0x11, 0x22, 0x33);
        const QString iconFile = f.dir.path() + u"/game.ico"_s;
        f.asker.openAnswers << QStringList{iconFile};
        w.show();
        // The first colour button of the look page is the menu border colour.
        QPushButton *border = nullptr;
        for (QPushButton *b : w.findChildren<QPushButton *>())
            if (b->styleSheet().contains(u"#008080"_s)) // 8421376 = red 0, green 128, blue 128
                border = b;
        QVERIFY(border);
        // The swatch is the stored colour from top to bottom, not a shaded button.
        auto swatch = [border] {
            const QImage image = border->grab().toImage();
            QSet<QRgb> inside;
            for (int y = 2; y < image.height() - 2; ++y)
                inside.insert(image.pixel(image.width() / 2, y) & 0xffffff);
            return inside;
        };
        QCOMPARE(swatch(), QSet<QRgb>{0x008080});
        border->click();
        QCOMPARE(f.asker.last(u"colour"_s), QColor(0, 0x80, 0x80).name());
        QCOMPARE(f.model->settings.bordercolor, 0x332211u);
        QCOMPARE(swatch(), QSet<QRgb>{0x112233});
        w.iconButton()->click();
        QCOMPARE(f.model->settings.gameIcon, iconFile);
    }

    void commandsGridCloseUp_data()
    {
        QTest::addColumn<QStringList>("rows"); // names of rows 1..3, "" for empty
        QTest::addColumn<QStringList>("after");
        QTest::newRow("gap in row 2") << QStringList{u"look"_s, {}, u"talk"_s}
                                      << QStringList{u"look"_s, u"talk"_s};
        QTest::newRow("two empty rows, one step") << QStringList{{}, {}, u"talk"_s}
                                                  << QStringList{{}, u"talk"_s};
    }
    void commandsGridCloseUp()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, after);
        Fixture f;
        Tcommandlist w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        for (int r = 0; r < rows.size(); ++r) {
            setCell(w.grid(), r + 1, 0, rows[r]);
            setCell(w.grid(), r + 1, 1, rows[r].toUpper());
        }
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        QVERIFY(f.shown.isEmpty());
        QVERIFY(!w.isVisible());
        w.show();
        QCOMPARE(gridNames(w.grid()), after);
        QCOMPARE(w.grid()->item(after.size() - 1, 1)->text(), u"TALK"_s);
        QStringList commands = after;
        commands.removeAll(QString());
        QCOMPARE(f.model->names[NameLists::Commands], commands);
        QVERIFY(f.model->names[NameLists::Events].contains(u"talk"_s));
    }

    void commandsCursorFallsBack()
    {
        Fixture f;
        f.model->commands.rows = {{u"look"_s, u"Look"_s}, {u"use"_s, u"Use"_s}, {u"talk"_s, u"Talk"_s}};
        f.model->mouse.command[4] = 5; // cursor 5 stands for the third command
        f.model->mouse.command[5] = 4; // cursor 6 for the second
        Tcommandlist w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        setCell(w.grid(), 3, 0, QString());
        setCell(w.grid(), 3, 1, QString());
        QVERIFY(w.okClick());
        QCOMPARE(f.model->mouse.command[4], uint8_t(1));
        QCOMPARE(f.model->mouse.command[5], uint8_t(4));
    }

    void commandsInvalidKeepsOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("shown missing") << u"look"_s << QString() << u"with"_s << 322 << u"Information"_s;
        QTest::newRow("no link text") << u"look"_s << u"Look"_s << QString() << 323 << u"Information"_s;
        QTest::newRow("brace in command") << u"lo{ok"_s << u"Look"_s << u"with"_s << 325 << u"Error"_s;
    }
    void commandsInvalidKeepsOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(QString, link);
        QFETCH(int, message);
        QFETCH(QString, caption);
        Fixture f;
        Tcommandlist w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        setCell(w.grid(), 1, 0, name);
        setCell(w.grid(), 1, 1, shown);
        w.linktextEdit()->setText(link);
        // Closing the window runs the same checks as OK.
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(f.texts(), QStringList(2, f.catalog.msg(message)));
        QCOMPARE(f.shown[0].caption, caption);
        QVERIFY(f.model->commands.rows.empty());
    }

    void commandsBools()
    {
        Fixture f;
        Tcommandlist w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        Ttexteingabe *input = w.textInput();

        // "+" asks for a name; Enter takes it.
        w.addButton()->click();
        QVERIFY(input->isVisible());
        QCOMPARE(input->label()->text(), f.catalog.msg(553));
        QTest::keyClicks(input->edit(), u"  Door  "_s);
        QTest::keyClick(input->edit(), Qt::Key_Return);
        QVERIFY(!input->isVisible());
        // The Insert key in the list does the same.
        w.boolList()->setFocus();
        QTest::keyClick(w.boolList(), Qt::Key_Insert);
        QVERIFY(input->isVisible());
        QTest::keyClicks(input->edit(), u"apple"_s);
        input->enterButton()->click();
        QCOMPARE(listTexts(w.boolList()), (QStringList{u"apple"_s, u"Door"_s}));
        QCOMPARE(w.boolList()->currentRow(), 0);
        QCOMPARE(f.model->names[NameLists::Bools], (QStringList{u"apple"_s, u"Door"_s}));

        // A name differing only in case is refused and the input stays open.
        w.addButton()->click();
        QTest::keyClicks(input->edit(), u"DOOR"_s);
        input->enterButton()->click();
        QCOMPARE(f.texts().last(), u"DOOR "_s + f.catalog.msg(147));
        QVERIFY(input->isVisible());
        // Escape closes it without a change.
        QTest::keyClick(input->edit(), Qt::Key_Escape);
        QVERIFY(!input->isVisible());
        QCOMPARE(listTexts(w.boolList()), (QStringList{u"apple"_s, u"Door"_s}));
        QCOMPARE(f.shown.size(), 1);

        // Typed script delimiters never reach the field.
        w.addButton()->click();
        QTest::keyClicks(input->edit(), u"a(b;c"_s);
        QCOMPARE(input->edit()->text(), u"abc"_s);
        // A double quote can be typed but is refused.
        QTest::keyClicks(input->edit(), u"\"d"_s);
        input->enterButton()->click();
        QCOMPARE(f.texts().last(), f.catalog.msg(183));
        QCOMPARE(f.shown.last().caption, f.catalog.msg(365));
        QCOMPARE(f.shown.last().kind, u"error"_s);
        QVERIFY(input->isVisible());
        QTest::keyClick(input->edit(), Qt::Key_Escape);
        QCOMPARE(f.shown.size(), 2);

        // The check mark is the initial value; renaming keeps it.
        w.boolList()->item(1)->setCheckState(Qt::Checked);
        QVERIFY(f.model->commands.bools[1].value);
        w.boolList()->setCurrentRow(1);
        emit w.boolList()->itemDoubleClicked(w.boolList()->item(1));
        QCOMPARE(input->edit()->selectedText(), u"Door"_s);
        QTest::keyClicks(input->edit(), u"Abbey"_s);
        QTest::keyClick(input->edit(), Qt::Key_Return);
        QCOMPARE(listTexts(w.boolList()), (QStringList{u"Abbey"_s, u"apple"_s}));
        QCOMPARE(w.boolList()->item(0)->checkState(), Qt::Checked);
        QCOMPARE(w.boolList()->currentRow(), 0);

        // "-" and the Delete key remove the selected bool.
        w.boolList()->setFocus();
        QTest::keyClick(w.boolList(), Qt::Key_Delete);
        QCOMPARE(listTexts(w.boolList()), QStringList{u"apple"_s});
        w.boolList()->setCurrentRow(0);
        w.removeButton()->click();
        QVERIFY(f.model->commands.bools.empty());
        QVERIFY(f.model->names[NameLists::Bools].isEmpty());
    }

    void textInputRenameAction()
    {
        Fixture f;
        Ttexteingabe input(f.session, f.catalog, f.settings, f.asker);
        std::array<QString, 20> names;
        for (int i = 0; i < 20; ++i)
            names[i] = u"Extra %1"_s.arg(i + 1);
        QList<std::pair<int, QString>> renamed;
        connect(&input, &Ttexteingabe::actionRenamed, &input,
                [&](int extra, const QString &n) { renamed.append({extra, n}); });
        input.startRenameAction(names, 2);
        QCOMPARE(input.label()->text(), f.catalog.msg(554));
        QTest::keyClicks(input.edit(), u"extra 2"_s);
        input.eintragen();
        QCOMPARE(f.texts(), QStringList{u"extra 2 "_s + f.catalog.msg(147)});
        input.edit()->setText(u"Extra 3"_s); // its own name: nothing to do
        input.eintragen();
        QVERIFY(renamed.isEmpty());
        QVERIFY(!input.isVisible());
        input.startRenameAction(names, 2);
        input.edit()->setText(u"Wave"_s);
        input.eintragen();
        QCOMPARE(renamed, (QList<std::pair<int, QString>>{{2, u"Wave"_s}}));
    }

    void fontsAddRemoveMove()
    {
        Fixture f;
        Tfontwindow w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        QVERIFY(!w.removeButton()->isEnabled());
        for (int i = 0; i < 3; ++i)
            w.addButton()->click();
        QCOMPARE(listTexts(w.list()), (QStringList{u"1 - Arial (12)"_s, u"2 - Arial (12)"_s, u"3 - Arial (12)"_s}));
        QCOMPARE(w.list()->currentRow(), 2);
        QVERIFY(f.session.isModified());

        // Mark the fonts by size, through the controls.
        for (int row = 0; row < 3; ++row) {
            w.list()->setCurrentRow(row);
            w.sizeBox()->setValue(10 + row);
        }
        QCOMPARE(f.model->fonts[3].size, 12);
        QCOMPARE(w.list()->item(0)->text(), u"1 - Arial (10)"_s);

        w.list()->setCurrentRow(1);
        w.removeButton()->click();
        QCOMPARE(f.model->fontCount(), 2);
        QCOMPARE(f.model->fonts[2].size, 12); // font 3 became font 2
        QVERIFY(f.model->fonts[3].name.isEmpty());
        QCOMPARE(listTexts(w.list()), (QStringList{u"1 - Arial (10)"_s, u"2 - Arial (12)"_s}));
        QCOMPARE(w.list()->currentRow(), 1); // the removed one was not the last: same place

        w.downButton()->click(); // at the end: nothing
        QCOMPARE(f.model->fonts[2].size, 12);
        w.upButton()->click();
        QCOMPARE(f.model->fonts[1].size, 12);
        QCOMPARE(f.model->fonts[2].size, 10);
        QCOMPARE(w.list()->currentRow(), 0);
        w.upButton()->click(); // at the top: nothing
        QCOMPARE(f.model->fonts[1].size, 12);

        w.list()->setCurrentRow(1);
        w.removeButton()->click(); // the last one: the selection goes to the new last
        QCOMPARE(w.list()->currentRow(), 0);

        // The last font gone, the disabled fields no longer show it.
        w.boldBox()->setChecked(true);
        w.removeButton()->click();
        QCOMPARE(f.model->fontCount(), 0);
        QVERIFY(!w.fontBox()->isEnabled());
        QCOMPARE(w.fontBox()->currentText(), QString());
        QVERIFY(!w.boldBox()->isChecked());
        QCOMPARE(w.sizeBox()->value(), w.sizeBox()->minimum());
    }

    void fontsAtMost99()
    {
        Fixture f;
        for (int i = 1; i <= 98; ++i)
            f.model->fonts[i] = RFont{u"Serif"_s, false, false, 8};
        Tfontwindow w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        w.addButton()->click();
        QVERIFY(f.shown.isEmpty());
        w.addButton()->click();
        QCOMPARE(f.model->fontCount(), 99);
        QCOMPARE(w.list()->count(), 99);
        QCOMPARE(f.model->fonts[99].name, u"Arial"_s);
        // The 100th is refused, and the window says why.
        QCOMPARE(f.texts(), QStringList{f.catalog.extra(7).arg(99)});
    }

    void fontsFieldsAndPreview()
    {
        Fixture f;
        Tfontwindow w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        w.addButton()->click();
        QCOMPARE(w.fadeLabel()->text(), f.catalog.msg(241));
        w.fadeBar()->setValue(1450);
        QCOMPARE(w.fadeLabel()->text(), f.catalog.msg(433));
        QCOMPARE(f.model->fonts[1].fading, 1450);
        w.boldBox()->click();
        w.styleBox()->setCurrentIndex(3);
        QVERIFY(f.model->fonts[1].bold);
        QCOMPARE(f.model->fonts[1].outline, 3);
        QCOMPARE(w.preview()->shownFont().outline, 3);

        // Outlined white glyphs on the grey area: both black and white pixels appear.
        const QImage image = w.preview()->render(QSize(360, 110));
        bool black = false, white = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                black |= qGray(p) < 0x10;
                white |= qGray(p) > 0xf0;
            }
        QVERIFY(black);
        QVERIFY(white);
        QCOMPARE(FontPreview::typeface(u"Arial=12"_s), u"Arial"_s);
        QCOMPARE(FontPreview::typeface(u"Arial"_s), u"Arial"_s);
    }

    // The preview shows a character pixel for pixel as the game's glyph page holds it, laid
    // over the grey the way the game lays text over a room: the same offsets, style copies,
    // fill rows and soft shadow.
    void fontPreviewIsTheGamesGlyph_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("shadow");
        QTest::addColumn<int>("fill");
        QTest::newRow("plain") << 0 << 0 << 0;
        QTest::newRow("outline, shadow") << 3 << 2 << 0;
        QTest::newRow("fill from light") << 0 << 0 << 1;
        QTest::newRow("shadow copy, stripes, soft shadow") << 1 << 1 << 3;
        QTest::newRow("both copies, fill to light, dark shadow") << 2 << 3 << 2;
    }
    void fontPreviewIsTheGamesGlyph()
    {
        QFETCH(int, style);
        QFETCH(int, shadow);
        QFETCH(int, fill);
        RFont font{u"Liberation Sans"_s, true, false, 20, style, shadow, fill};
        const FontRenderer renderer(font);
        // "Q" has narrow neighbours on the page, so its cell holds its ink alone.
        const int index = 'Q' - 32, perPage = renderer.grid().cellsPerPage();
        const QRect cell(renderer.grid().cellOrigin(index % perPage),
                         QSize(renderer.grid().cellWidth, renderer.grid().cellHeight));
        const FontRenderer::Page page = renderer.renderPage(index / perPage + 1);
        const QImage glyph =
            FontRenderer::compose({page.colour.copy(cell), page.alpha.copy(cell)}, FontPreview::background());

        FontPreview preview;
        font.name += u"=12"_s; // the suffix some projects carry is not part of the typeface
        preview.setFont(font);
        preview.setSample({u"Q"_s});
        const QImage shown = preview.render(QSize(200, 90));

        const QRgb grey = FontPreview::background().rgb();
        auto ink = [grey](const QImage &image) {
            QRect r;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != grey)
                        r |= QRect(x, y, 1, 1);
            return image.copy(r);
        };
        const QImage expected = ink(glyph);
        QVERIFY(!expected.isNull());
        QCOMPARE(ink(shown), expected);
    }

    void languagesNewLineMarked()
    {
        Fixture f;
        f.model->languages[1].name = u"deutsch"_s;
        f.model->names[NameLists::Languages] << u"deutsch"_s;
        f.model->cutscenes[1].name = u"intro"_s;
        f.model->cutscenes[1].script = QStringList{u"speech(bob;Hello;hello.wav)"_s};
        TForm16 w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        QVERIFY(!w.updated());
        w.showPage(TForm16::TranslatePage);
        QVERIFY(w.updated());
        QCOMPARE(w.languageSlot(), 1);
        QCOMPARE(w.grid()->rowCount(), 20);
        QCOMPARE(w.grid()->item(0, 1)->text(), u"Hello"_s);
        QCOMPARE(w.grid()->item(0, 2)->text(), u"X"_s);
        QCOMPARE(w.grid()->item(0, 4)->text(), u"Hello"_s);
        QCOMPARE(f.model->origin.speech, QStringList{u"Hello"_s}); // the mark is taken off

        // Typing translates; the key release marks the row as seen; Enter goes on.
        QVERIFY(w.textEdit()->isEnabled());
        w.textEdit()->selectAll();
        QTest::keyClicks(w.textEdit(), u"Hallo"_s);
        QCOMPARE(f.model->languages[1].lists.speech, QStringList{u"Hallo"_s});
        QCOMPARE(f.model->origin.speech, QStringList{u"Hello"_s});
        QCOMPARE(w.grid()->item(0, 4)->text(), u"Hallo"_s);
        QCOMPARE(w.grid()->item(0, 2)->text(), u"O"_s);
        // An empty voice name shows as " " in the grid; the field starts empty all the same.
        QCOMPARE(w.voiceEdit()->text(), u"hello.wav"_s);
        w.voiceEdit()->selectAll();
        QTest::keyClick(w.voiceEdit(), Qt::Key_Delete);
        QCOMPARE(w.grid()->item(0, 3)->text(), u" "_s);
        w.grid()->cellClicked(0, 0);
        QCOMPARE(w.voiceEdit()->text(), QString());
        QTest::keyClicks(w.voiceEdit(), u" hallo.wav"_s);
        QCOMPARE(f.model->languages[1].lists.voicespeech, QStringList{u"hallo.wav"_s});
        // The voice field and its label are there only on tabs with voices.
        QWidget *label = nullptr;
        for (QFormLayout *form : w.findChildren<QFormLayout *>())
            if (form->labelForField(w.voiceEdit()))
                label = form->labelForField(w.voiceEdit());
        QVERIFY(label && label->isVisible());
        for (QTabBar *tabs : w.findChildren<QTabBar *>())
            if (tabs->count() == 7)
                tabs->setCurrentIndex(2); // Showinfo
        QVERIFY(!w.voiceEdit()->isVisible());
        QVERIFY(!label->isVisible());
        for (QTabBar *tabs : w.findChildren<QTabBar *>())
            if (tabs->count() == 7)
                tabs->setCurrentIndex(0);
        QVERIFY(label->isVisible());
        w.grid()->cellClicked(0, 0);
        QTest::keyClick(w.textEdit(), Qt::Key_Return);
        QVERIFY(!w.textEdit()->isEnabled()); // row 2 holds no entry
    }

    void languagesAddDelete()
    {
        Fixture f;
        f.model->cutscenes[1].name = u"intro"_s;
        f.model->cutscenes[1].script = QStringList{u"speech(bob;Hello;hello.wav)"_s};
        TForm16 w(f.session, f.catalog, f.settings, f.asker);
        w.show();
        w.showPage(TForm16::TranslatePage);
        QCOMPARE(w.language()->count(), 0);
        QVERIFY(!w.textEdit()->isEnabled());

        for (QPushButton *b : w.findChildren<QPushButton *>())
            if (b->text() == f.catalog.msg(452))
                b->click();
        QVERIFY(w.textInput()->isVisible());
        QCOMPARE(w.textInput()->label()->text(), f.catalog.msg(555));
        QTest::keyClicks(w.textInput()->edit(), u" Deutsch "_s);
        QTest::keyClick(w.textInput()->edit(), Qt::Key_Return);
        QCOMPARE(f.model->languages[1].name, u"Deutsch"_s);
        QCOMPARE(w.language()->count(), 1);
        QCOMPARE(w.exportLanguage()->count(), 2); // Origin and the language
        QCOMPARE(w.grid()->item(0, 4)->text(), u"Hello"_s);

        w.button3Click();
        QTest::keyClicks(w.textInput()->edit(), u"deutsch"_s);
        QTest::keyClick(w.textInput()->edit(), Qt::Key_Return);
        QCOMPARE(f.texts().last(), u"deutsch "_s + f.catalog.msg(147));
        QTest::keyClick(w.textInput()->edit(), Qt::Key_Escape);

        // All ten slots in use: no name is asked for, the window says why.
        f.shown.clear();
        for (int slot = 2; slot <= 10; ++slot)
            f.model->languages[slot].name = u"lang%1"_s.arg(slot);
        w.button3Click();
        QVERIFY(!w.textInput()->isVisible());
        QCOMPARE(f.texts(), QStringList{f.catalog.extra(8).arg(10)});
        for (int slot = 2; slot <= 10; ++slot)
            f.model->languages[slot].name.clear();

        f.asker.answers << Asker::No << Asker::Yes;
        w.button4Click();
        QCOMPARE(f.asker.texts(u"yesNo"_s), QStringList{f.catalog.msg(460)});
        QCOMPARE(f.asker.defaultNo(), QStringList{f.catalog.msg(460)}); // Enter keeps the language
        QCOMPARE(w.language()->count(), 1);
        w.button4Click();
        QCOMPARE(w.language()->count(), 0);
        QVERIFY(f.model->languages[1].name.isEmpty());
    }

    void languagesExportAndSoundLists()
    {
        Fixture f;
        f.model->cutscenes[1].name = u"intro"_s;
        f.model->cutscenes[1].script = QStringList{u"speech(bob;Hello;hello.wav)"_s, u"playsound(Bang)"_s};
        TForm16 w(f.session, f.catalog, f.settings, f.asker);
        f.asker.folderAnswers << f.dir.path() + u"/out"_s << f.dir.path() + u"/out"_s;
        w.show();
        QVERIFY(!w.forgottenBox()->isEnabled());
        w.includeVoiceBox()->click();
        QVERIFY(w.forgottenBox()->isEnabled());
        for (QPushButton *b : w.findChildren<QPushButton *>())
            if (b->text() == f.catalog.msg(449))
                b->click(); // both "Change" buttons
        QCOMPARE(w.exportFolder()->text(), f.dir.path() + u"/out"_s);
        QCOMPARE(w.soundFolder()->text(), f.dir.path() + u"/out"_s);
        w.button1Click();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.texts(), QStringList{f.catalog.msg(380)});
        QFile bob(f.dir.path() + u"/out/bob.txt"_s);
        QVERIFY(bob.open(QIODevice::ReadOnly));
        QCOMPARE(bob.readAll(), QByteArray("(hello.wav) - Hello\r\n"));

        w.show();
        w.button7Click();
        QCOMPARE(f.texts().size(), 2);
        QVERIFY(QFile::exists(f.dir.path() + u"/out/sounds.txt"_s));
    }

    // Escape closes every dialog. Where a dialog may be cancelled it changes nothing and hands
    // nothing on; a dialog whose only button is OK (its controls edit the project as they
    // change) ends as OK ends it, checks included, and nothing more.
    void escapeClosesWithoutChanges_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("endsAsOk");
        QTest::newRow("name input: add bool") << int(AddBoolInput) << false;
        QTest::newRow("name input: rename bool") << int(RenameBoolInput) << false;
        QTest::newRow("name input: add language") << int(AddLanguageInput) << false;
        QTest::newRow("name input: rename action") << int(RenameActionInput) << false;
        QTest::newRow("frame script line") << int(ScriptLine) << false;
        QTest::newRow("language tools") << int(LanguageTools) << false;
        QTest::newRow("missing files") << int(MissingFilesList) << false;
        QTest::newRow("about") << int(About) << false;
        QTest::newRow("fonts") << int(Fonts) << true;
        QTest::newRow("commands and bools") << int(Commands) << true;
        QTest::newRow("project settings") << int(Settings) << true;
    }
    void escapeClosesWithoutChanges()
    {
        QFETCH(int, which);
        QFETCH(bool, endsAsOk);
        QByteArray before, afterEscape;
        {
            Fixture f;
            ShownDialog d;
            showDialog(f, EscapeDialog(which), d);
            before = savedBytes(f.session);
            QVERIFY(d.dialog->isVisible());
            pressEscape(d.dialog.get());
            QVERIFY(!d.dialog->isVisible());
            QVERIFY(!d.applied);
            QCOMPARE(f.texts(), QStringList());
            QVERIFY(!f.session.isBusy());
            afterEscape = savedBytes(f.session);
            if (!endsAsOk)
                QVERIFY(afterEscape == before);
        }
        if (endsAsOk) {
            Fixture f;
            ShownDialog d;
            showDialog(f, EscapeDialog(which), d);
            d.ok();
            QVERIFY(!d.dialog->isVisible());
            QVERIFY(savedBytes(f.session) == afterEscape);
        }
    }

    void scriptLineStoresAsTyped_data()
    {
        QTest::addColumn<int>("owner");
        QTest::newRow("item") << int(Tskriptzeile::Item);
        QTest::newRow("object") << int(Tskriptzeile::Object);
        QTest::newRow("character") << int(Tskriptzeile::Character);
    }
    void scriptLineStoresAsTyped()
    {
        QFETCH(int, owner);
        Fixture f;
        f.model->items[2].name = u"key"_s;
        f.model->objects[2].name = u"door"_s;
        f.model->characters[2].name = u"bob"_s;
        auto line = [&]() -> QString {
            switch (owner) {
            case Tskriptzeile::Item: return f.model->items[2].frames[3][4].script;
            case Tskriptzeile::Object: return f.model->objects[2].frames[3][4].script;
            default: return f.model->characters[2].frames[3][4].script;
            }
        };
        Tskriptzeile w(f.session, f.catalog, f.settings);
        int entered = 0;
        connect(&w, &Tskriptzeile::entered, &w, [&] { ++entered; });
        w.start(Tskriptzeile::Owner(owner), 2, 3, 4, u"Frame 5"_s);
        QVERIFY(w.isVisible());
        QTest::keyClicks(w.edit(), u"playsound(step);x"_s);
        QTest::keyClick(w.edit(), Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE(entered, 1);
        QCOMPARE(line(), u"playsound(step);x"_s);
        QVERIFY(f.session.isModified());
        // Reopened, the box shows the stored line.
        w.start(Tskriptzeile::Owner(owner), 2, 3, 4, u"Frame 5"_s);
        QCOMPARE(w.edit()->text(), u"playsound(step);x"_s);
    }
};

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"
