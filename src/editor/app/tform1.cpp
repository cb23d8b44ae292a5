#include "app/tform1.h"

#include "app/commandline.h"
#include "app/poolicons.h"
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/dialogasker.h"
#include "app/tform12.h"
#include "app/tform13.h"
#include "app/tmissingfiles.h"
#include "platform/appicon.h"
#include "platform/editorfolder.h"
#include "project/messagecatalog.h"
#include "project/mnemonics.h"
#include "project/recentprojects.h"
#include "project/recovery.h"
#include "project/uitexts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace mb {

// A tool window: component name, window-menu action with its show / hide captions, the title
// of its placeholder and its key in config.ini.
struct TForm1::ToolWindowInfo
{
    const char *name;
    const char *action;
    int show, hide, title;
    const char *configKey;
};

namespace {

constexpr int MsgError = 366, MsgInformation = 367;

QString yesNo(bool on) { return on ? QStringLiteral("an") : QStringLiteral("aus"); }

// The empty window a tool shows until its editor is built.
QWidget *placeholder(const QString &title)
{
    auto *label = new QLabel(title);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    label->setMinimumSize(120, 60);
    return label;
}

// The picture of a tool window: the kind of node it edits.
QIcon toolIcon(const QString &name)
{
    if (name == QLatin1String("mausbox"))
        return poolicons::tool(poolicons::Tool::Mouse);
    if (name == QLatin1String("Form2"))
        return poolicons::node(nodeimage::Image);
    const struct { const char *name; int image; } kinds[] = {
        {"room", nodeimage::Room}, {"objbox", nodeimage::Object}, {"charbox", nodeimage::Character},
        {"itembox", nodeimage::Item}, {"skriptwindow", nodeimage::Script}};
    for (const auto &k : kinds)
        if (name == QLatin1String(k.name))
            return poolicons::node(k.image);
    return {};
}

} // namespace

const TForm1::ToolWindowInfo *TForm1::toolWindowInfo(const QString &name)
{
    static const ToolWindowInfo infos[] = {
        {"room", "windowroom", 36, 37, 29, "Raum"},
        {"objbox", "windowobject", 38, 39, 30, "Objekt"},
        {"charbox", "Windowchar", 40, 41, 31, "Character"},
        {"itembox", "windowitem", 42, 43, 32, "Gegenstand"},
        {"Form2", "windowpreview", 44, 45, 318, "Vorschau"},
        {"skriptwindow", "windowskript", 46, 47, 33, "Skript"},
        {"mausbox", "windowmaus", 48, 49, 53, "Mauszeiger"},
    };
    for (const ToolWindowInfo &s : infos)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

TForm1::TForm1(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_catalog(catalog), m_settings(settings), m_ops(session),
      m_dialogs(std::make_unique<DialogAsker>()), m_questions(m_dialogs.get()), m_missing(session)
{
    FormCreate();
}

TForm1::~TForm1()
{
    // The tool windows go while the window's members still exist: their going updates actions.
    // Closed ones wait for their deferred deletion and are no longer listed by the area.
    const auto windows = m_mdi->findChildren<QMdiSubWindow *>();
    for (QMdiSubWindow *w : windows)
        delete w;
}

void TForm1::setQuestions(Asker *asker)
{
    m_questions.setTarget(asker ? asker : m_dialogs.get());
}

void TForm1::FormCreate()
{
    setObjectName(QStringLiteral("Form1"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    setWindowIcon(icon);
    m_chosenLanguage = m_catalog.language();
    if (m_session.editorFolder().isEmpty())
        m_session.setEditorFolder(m_settings.editorFolder());

    m_gameModel = new PoolTreeModel(m_session, false, this);
    m_mediaModel = new PoolTreeModel(m_session, true, this);
    m_gamepool = new PoolView(m_gameModel);
    m_gamepool->setObjectName(QStringLiteral("gamepool"));
    m_gamepool->setToolTip(m_catalog.msg(159));
    m_mediapool = new PoolView(m_mediaModel);
    m_mediapool->setObjectName(QStringLiteral("mediapool"));
    m_mediapool->setToolTip(m_catalog.msg(160));

    buildActions();
    buildMenus();
    buildToolBar();

    auto *trees = m_treeSplitter = new QSplitter(Qt::Vertical);
    trees->setObjectName(QStringLiteral("treepanel"));
    trees->addWidget(buildPoolPanel(m_gamepool, false));
    trees->addWidget(buildPoolPanel(m_mediapool, true));
    trees->setChildrenCollapsible(false);
    m_mdi = new QMdiArea;
    m_mdi->setObjectName(QStringLiteral("mdiarea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *split = new QSplitter;
    split->addWidget(trees);
    split->addWidget(m_mdi);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({280, 900});
    setCentralWidget(split);

    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel;
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->installEventFilter(this);
        statusBar()->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }

    m_wait = new TForm13(this);
    m_autosave = new QTimer(this);
    m_autosave->setObjectName(QStringLiteral("autosave"));
    connect(m_autosave, &QTimer::timeout, this, &TForm1::autosave);
    bool okMinutes = false;
    const int minutes = m_settings.readsetting(QStringLiteral("Autosave minutes")).toInt(&okMinutes);
    m_autosave->setInterval(okMinutes && minutes >= 0 ? minutes * 60000 : 3 * 60000);

    // The caption, the save button and the status bar follow the project; nothing polls it.
    connect(&m_session, &ProjectSession::modifiedChanged, this, [this](bool modified) {
        setWindowModified(modified);
        savetimerTimer();
    });
    connect(&m_session, &ProjectSession::changed, this, [this](const ProjectChange &c) {
        if (c.phase != ProjectChange::Done)
            return;
        if (c.kind == ProjectChange::Reset || c.kind == ProjectChange::Settings)
            updateCaption();
        // The counts are taken once after a burst of changes (an undone delete of a big folder).
        if ((c.kind == ProjectChange::Reset || c.kind == ProjectChange::TreeInsert
             || c.kind == ProjectChange::TreeRemove) && !m_countsPending) {
            m_countsPending = true;
            QMetaObject::invokeMethod(this, [this] {
                m_countsPending = false;
                StatusBar1Click();
            }, Qt::QueuedConnection);
        }
    });

    updateCaption();
    showNewTrees();
    StatusBar1Click();

    if (m_settings.readsetting(QStringLiteral("Toolbar")) == QLatin1String("aus")) {
        m_toolbar->hide();
        action(QStringLiteral("windowtoolbar"))->setText(m_catalog.msg(50));
    }
    resize(1180, 780);
    if (m_settings.readsetting(QStringLiteral("Mainform")) == QLatin1String("max")) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        bool okH = false, okW = false;
        const int h = m_settings.readsetting(QStringLiteral("Mainform Height")).toInt(&okH);
        const int w = m_settings.readsetting(QStringLiteral("Mainform Width")).toInt(&okW);
        if (okH && okW && h > 100 && w > 100)
            resize(w, h);
    }
    // Position, maximised state and the divider between the trees, beside the keys above.
    auto restore = [this](const char *key, const std::function<bool(const QByteArray &)> &apply) {
        const QString v = m_settings.readsetting(QLatin1String(key));
        if (v != QLatin1String("-1") && !v.isEmpty())
            apply(QByteArray::fromBase64(v.toLatin1()));
    };
    restore("Mainform Geometry", [this](const QByteArray &b) { return restoreGeometry(b); });
    restore("Mainform State", [this](const QByteArray &b) { return restoreState(b); });
    restore("Tree Splitter", [this](const QByteArray &b) { return m_treeSplitter->restoreState(b); });
}

QAction *TForm1::makeAction(const QString &name, int captionNumber, int hint, const std::function<void()> &slot)
{
    auto *a = new QAction(captionNumber ? m_catalog.msg(captionNumber) : QString(), this);
    a->setObjectName(name);
    if (hint) {
        a->setStatusTip(m_catalog.msg(hint));
        a->setToolTip(m_catalog.msg(hint));
    }
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    else
        a->setEnabled(false); // its window comes with a later part of the editor
    m_actions.insert(name, a);
    return a;
}

void TForm1::buildActions()
{
    using P = poolicons::Tool;
    auto withIcon = [](QAction *a, const QIcon &icon) { a->setIcon(icon); return a; };
    auto withKey = [](QAction *a, const QKeySequence &key) { a->setShortcut(key); return a; };

    withKey(withIcon(makeAction("projectNew", 16, 0, std::bind_front(&TForm1::projectNewExecute, this)), poolicons::tool(P::New)), QKeySequence::New);
    withKey(withIcon(makeAction("projectOpen", 17, 64, [this] { projectOpenExecute(); }), poolicons::tool(P::Open)),
            QKeySequence::Open);
    withKey(withIcon(makeAction("projectsave", 18, 65, [this] { projectsaveExecute(); }), poolicons::tool(P::Save)),
            QKeySequence::Save);
    withKey(withIcon(makeAction("projectsaveunder", 19, 0, [this] { projectsaveunderExecute(); }),
                     poolicons::tool(P::SaveAs)),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    withIcon(makeAction("importieren", 20, 92, std::bind_front(&TForm1::importieren, this)), poolicons::tool(P::Import));
    withIcon(makeAction("exportieren", 21, 93, std::bind_front(&TForm1::exportieren, this)), poolicons::tool(P::Export));
    makeAction("importchar", 378, 0, std::bind_front(&TForm1::importchar, this))->setIcon(poolicons::node(nodeimage::Character));
    makeAction("importroom", 379, 0, std::bind_front(&TForm1::importroom, this))->setIcon(poolicons::node(nodeimage::Room));
    withKey(withIcon(makeAction("Action2", 22, 0, std::bind_front(&TForm1::Action2Execute, this)), poolicons::tool(P::Check)), Qt::Key_F7);
    withIcon(makeAction("creategame", 23, 66, std::bind_front(&TForm1::creategameExecute, this)), poolicons::tool(P::Build));
    withKey(makeAction("quit", 24, 0, [this] { close(); }), QKeySequence(Qt::CTRL | Qt::Key_Q));

    withIcon(makeAction("insertpic", 25, 67, std::bind_front(&TForm1::insertpic, this)), poolicons::node(nodeimage::Image));
    withIcon(makeAction("insertsound", 26, 68, std::bind_front(&TForm1::insertsound, this)), poolicons::node(nodeimage::Sound));
    withIcon(makeAction("insertmusic", 27, 69, std::bind_front(&TForm1::insertmusic, this)), poolicons::node(nodeimage::Music));
    withIcon(makeAction("insertmovie", 28, 82, std::bind_front(&TForm1::insertmovie, this)), poolicons::node(nodeimage::Movie));
    withIcon(makeAction("insertroom", 29, 70, std::bind_front(&TForm1::insertroom, this)), poolicons::node(nodeimage::Room));
    withIcon(makeAction("insertobject", 30, 71, std::bind_front(&TForm1::insertobject, this)), poolicons::node(nodeimage::Object));
    withIcon(makeAction("insertchar", 31, 72, std::bind_front(&TForm1::insertchar, this)), poolicons::node(nodeimage::Character));
    withIcon(makeAction("insertitem", 32, 73, std::bind_front(&TForm1::insertitem, this)), poolicons::node(nodeimage::Item));
    withIcon(makeAction("insertcutscene", 33, 74, std::bind_front(&TForm1::insertcutscene, this)), poolicons::node(nodeimage::Script));

    withIcon(makeAction("commandsbools", 52, 75, std::bind_front(&TForm1::commandlistExecute, this)), poolicons::tool(P::Commands));
    withIcon(makeAction("mouseicons", 53, 76, [this] { bringToFront(QStringLiteral("mausbox")); }),
             poolicons::tool(P::Mouse));
    withIcon(makeAction("projectsetup", 54, 77, std::bind_front(&TForm1::setupgameExecute, this)), poolicons::tool(P::Setup));
    makeAction("fonts", 382, 470, std::bind_front(&TForm1::fontwindowExecute, this));
    makeAction("languagetools", 440, 471, std::bind_front(&TForm1::languagetoolsExecute, this));

    makeAction("windowcas", 34, 0, std::bind_front(&TForm1::windowcas, this));
    makeAction("windowtile", 35, 0, std::bind_front(&TForm1::windowtile, this));
    for (const char *name : {"room", "objbox", "charbox", "itembox", "Form2", "skriptwindow", "mausbox"}) {
        const ToolWindowInfo *info = toolWindowInfo(QLatin1String(name));
        const QString component = QLatin1String(name);
        makeAction(QLatin1String(info->action), info->show, 0, [this, component] {
            if (isToolWindowOpen(component))
                closewindow(component);
            else
                openToolWindow(component);
        })->setIcon(toolIcon(component));
    }
    makeAction("windowtoolbar", 51, 0, std::bind_front(&TForm1::windowtoolbar, this));

    withKey(withIcon(makeAction("helpmanual", 62, 79, std::bind_front(&TForm1::helpmanual, this)), poolicons::tool(P::Manual)), QKeySequence::HelpContents);
    makeAction("helpabout", 63, 0, std::bind_front(&TForm1::helpabout, this));

    // Undo and redo of the session's stack; their texts name the step they take back or do again.
    QUndoStack *stack = m_session.undoStack();
    auto *undo = withIcon(makeAction("editundo", 0, 0, [stack] { stack->undo(); }), poolicons::tool(P::Undo));
    undo->setShortcuts(QKeySequence::Undo);
    auto *redo = withIcon(makeAction("editredo", 0, 0, [stack] { stack->redo(); }), poolicons::tool(P::Redo));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(stack, &QUndoStack::indexChanged, this, &TForm1::updateUndoActions);
    connect(stack, &QUndoStack::undoTextChanged, this, &TForm1::updateUndoActions);
    connect(stack, &QUndoStack::redoTextChanged, this, &TForm1::updateUndoActions);
    updateUndoActions();

    m_saveButton = new QAction(poolicons::tool(P::Save), m_catalog.msg(18), this);
    m_saveButton->setObjectName(QStringLiteral("savebutton"));
    m_saveButton->setToolTip(m_catalog.msg(65));
    m_saveButton->setStatusTip(m_catalog.msg(65));
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QAction::triggered, this, [this] { projectsaveExecute(); });
}

void TForm1::buildMenus()
{
    auto fill = [this](QMenu *menu, std::initializer_list<const char *> names) {
        for (const char *n : names) {
            if (!*n)
                menu->addSeparator();
            else
                menu->addAction(action(QLatin1String(n)));
        }
    };
    QMenu *project = menuBar()->addMenu(m_catalog.msg(10));
    project->setObjectName(QStringLiteral("Projekt1"));
    fill(project, {"projectNew", "projectOpen", "projectsave", "projectsaveunder", "", "importieren",
                   "exportieren", "importchar", "importroom", "", "Action2", "creategame", "", "quit"});
    QMenu *edit = menuBar()->addMenu(uiText(UiText::EditMenu, m_catalog.language()));
    edit->setObjectName(QStringLiteral("Bearbeiten1"));
    fill(edit, {"editundo", "editredo"});
    updateUndoActions(); // the entries' marks, now that they are in the menu
    QMenu *insert = menuBar()->addMenu(m_catalog.msg(11));
    fill(insert, {"insertpic", "insertsound", "insertmusic", "insertmovie", "", "insertroom", "insertobject",
                  "insertchar", "insertitem", "insertcutscene"});
    QMenu *setup = menuBar()->addMenu(m_catalog.msg(12));
    fill(setup, {"commandsbools", "mouseicons", "projectsetup", "", "fonts", "languagetools"});
    QMenu *window = menuBar()->addMenu(m_catalog.msg(13));
    fill(window, {"windowcas", "windowtile", "", "windowroom", "windowobject", "Windowchar", "windowitem",
                  "windowpreview", "windowskript", "windowmaus", "", "windowtoolbar"});
    QMenu *help = menuBar()->addMenu(m_catalog.msg(14));
    fill(help, {"helpmanual", "helpabout"});

    m_recentMenu = new QMenu(m_catalog.extra(extratext::OpenRecent), this);
    m_recentMenu->setObjectName(QStringLiteral("projectrecent"));
    project->insertMenu(action(QStringLiteral("projectsave")), m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TForm1::fillRecentMenu);
    fillRecentMenu(); // so that the entry is enabled or not from the start

    QMenu *language = menuBar()->addMenu(m_catalog.msg(15));
    auto *group = new QActionGroup(this);
    for (const auto &[name, text, code] : {std::tuple{"english", "English", "EN"}, std::tuple{"deutsch", "Deutsch", "DE"}}) {
        auto *a = new QAction(QLatin1String(text), this);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setChecked(m_chosenLanguage == QLatin1String(code));
        group->addAction(a);
        language->addAction(a);
        m_actions.insert(QLatin1String(name), a);
        const QString c = QLatin1String(code);
        connect(a, &QAction::triggered, this, [this, c] { setLanguage(c); });
    }

    // Alt+letter opens a menu, a letter picks an entry in an open one, in either language.
    applyMnemonics(menuBar()->actions());
    // The recent projects are numbered instead.
    for (QMenu *menu : {project, insert, setup, window, help, language})
        connect(menu, &QMenu::aboutToShow, this, [menu] { applyMnemonics(menu->actions()); });
    // F10 opens the first menu, as on other desktop programs.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setObjectName(QStringLiteral("menukey"));
    connect(f10, &QShortcut::activated, this, [this] {
        const auto titles = menuBar()->actions();
        if (!titles.isEmpty())
            menuBar()->setActiveAction(titles.first());
    });
}

void TForm1::applyMnemonics(const QList<QAction *> &actions)
{
    QList<QAction *> entries;
    QStringList plain;
    for (QAction *a : actions) {
        if (a->isSeparator() || a->text().isEmpty())
            continue;
        // A caption set anew since the last time (show/hide texts) is plain text again.
        const bool ours = a->property("mnemonicText").toString() == a->text();
        plain << (ours ? a->property("plainText").toString() : a->text());
        entries << a;
    }
    const QStringList marked = withMnemonics(plain);
    for (int i = 0; i < entries.size(); ++i) {
        entries[i]->setProperty("plainText", plain[i]);
        entries[i]->setProperty("mnemonicText", marked[i]);
        entries[i]->setText(marked[i]);
    }
}

void TForm1::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList recent = RecentProjects(m_settings).list();
    for (int i = 0; i < recent.size(); ++i) {
        // Numbered like other programs do; the number is the mnemonic (1..9, 0 for the tenth).
        const QString text = QStringLiteral("&%1  %2").arg((i + 1) % 10).arg(QString(recent[i]).replace(u'&', QStringLiteral("&&")));
        QAction *a = m_recentMenu->addAction(text);
        a->setData(recent[i]);
        a->setProperty("plainText", text); // keeps its number as the mnemonic
        a->setProperty("mnemonicText", QString());
        const QString path = recent[i];
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (recent.isEmpty()) {
        m_recentMenu->addAction(m_catalog.extra(extratext::NoRecent))->setEnabled(false);
        return;
    }
    m_recentMenu->addSeparator();
    m_recentMenu->addAction(m_catalog.extra(extratext::ClearRecent), this, [this] {
        RecentProjects(m_settings).clear();
        fillRecentMenu();
    });
}

void TForm1::rememberProject()
{
    if (m_session.projectFolder().isEmpty())
        return;
    RecentProjects(m_settings).add(QDir(m_session.projectFolder()).filePath(model().settings.projectName + QStringLiteral(".adv")));
}

void TForm1::buildToolBar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->toggleViewAction()->setVisible(false);
    m_toolbar->addAction(action(QStringLiteral("projectOpen")));
    m_toolbar->addAction(m_saveButton);
    m_toolbar->addAction(action(QStringLiteral("editundo")));
    m_toolbar->addAction(action(QStringLiteral("editredo")));
    m_toolbar->addAction(action(QStringLiteral("creategame")));
    m_toolbar->addSeparator();
    for (const char *n : {"insertpic", "insertsound", "insertmusic", "insertmovie"})
        m_toolbar->addAction(action(QLatin1String(n)));
    m_toolbar->addSeparator();
    for (const char *n : {"insertroom", "insertobject", "insertchar", "insertitem", "insertcutscene"})
        m_toolbar->addAction(action(QLatin1String(n)));
    m_toolbar->addSeparator();
    for (const char *n : {"commandsbools", "mouseicons", "projectsetup"})
        m_toolbar->addAction(action(QLatin1String(n)));
    m_toolbar->addSeparator();
    m_toolbar->addAction(action(QStringLiteral("helpmanual")));
}

QString TForm1::caption() const
{
    return QStringLiteral("Mossbramble (") + model().settings.projectName + u')';
}

void TForm1::updateCaption()
{
    // Qt shows its modified mark in place of "[*]" while the project has unsaved changes.
    setWindowTitle(caption() + QStringLiteral("[*]"));
    setWindowModified(m_session.isModified());
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == m_panels[0] || watched == m_panels[1]))
        StatusBar1Click();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::StatusBar1Click()
{
    const MessageCatalog &c = m_catalog;
    auto part = [&](int name, int count, bool first = false) {
        return (first ? QString() : QStringLiteral(" |")) + c.msg(name) + QStringLiteral(": ") + QString::number(count);
    };
    m_panels[0]->setText(part(6, model().media[Images].usedCount(), true) + part(8, model().media[Sounds].usedCount())
                         + part(7, model().media[Music].usedCount()) + part(9, model().media[Movies].usedCount()));
    m_panels[1]->setText(part(32, model().items.usedCount(), true) + part(30, model().objects.usedCount())
                         + part(31, model().characters.usedCount()) + part(33, model().cutscenes.usedCount())
                         + part(29, model().rooms.usedCount()));
}

void TForm1::updateUndoActions()
{
    const QString lang = m_catalog.language();
    const QUndoStack *stack = m_session.undoStack();
    QAction *undo = action(QStringLiteral("editundo"));
    QAction *redo = action(QStringLiteral("editredo"));
    undo->setEnabled(stack->canUndo());
    redo->setEnabled(stack->canRedo());
    undo->setText(stack->canUndo() ? uiText(UiText::UndoStep, lang).arg(stack->undoText()) : uiText(UiText::Undo, lang));
    redo->setText(stack->canRedo() ? uiText(UiText::RedoStep, lang).arg(stack->redoText()) : uiText(UiText::Redo, lang));
    for (QAction *a : {undo, redo})
        a->setToolTip(a->text());
    // The step names change with every edit: give the menu's entries their marks again.
    if (auto *menu = menuBar()->findChild<QMenu *>(QStringLiteral("Bearbeiten1")))
        applyMnemonics(menu->actions());
}

void TForm1::savetimerTimer()
{
    m_saveButton->setEnabled(m_session.isModified());
}

void TForm1::setLanguage(const QString &code)
{
    // The catalog of this run keeps its language: the new texts come with the next start.
    if (code == m_chosenLanguage)
        return;
    m_chosenLanguage = code;
    action(QStringLiteral("english"))->setChecked(code == QLatin1String("EN"));
    action(QStringLiteral("deutsch"))->setChecked(code == QLatin1String("DE"));
    m_settings.writesetting(QStringLiteral("Lang"), code);
    information(m_catalog.msg(181));
}

void TForm1::error(const QString &text)
{
    m_questions.error(this, m_catalog.msg(MsgError), text);
}

void TForm1::information(const QString &text)
{
    m_questions.information(this, m_catalog.msg(MsgInformation), text);
}

void TForm1::showMessage(const Message &message)
{
    if (message.icon() == Message::Error)
        error(message.render(m_catalog));
    else if (message.icon() == Message::Information)
        information(message.render(m_catalog));
}

void TForm1::beginBusy()
{
    m_session.setBusy(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TForm1::endBusy()
{
    QApplication::restoreOverrideCursor();
}

// --- tool windows

void TForm1::setToolWindowFactory(const QString &name, ToolWindowFactory factory)
{
    m_factories.insert(name, std::move(factory));
}

QMdiSubWindow *TForm1::toolWindow(const QString &name) const
{
    // A window closed by its own button lingers until its deferred deletion; it is hidden.
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (w->objectName() == name && !w->isHidden())
            return w;
    return nullptr;
}

int TForm1::windowindex(const QString &name) const
{
    const auto list = m_mdi->subWindowList();
    for (int i = 0; i < list.size(); ++i)
        if (list[i]->objectName() == name && !list[i]->isHidden())
            return i;
    return -1;
}

QMdiSubWindow *TForm1::openToolWindow(const QString &name)
{
    if (QMdiSubWindow *open = toolWindow(name))
        return open;
    const ToolWindowInfo *info = toolWindowInfo(name);
    if (!info)
        return nullptr;
    const auto factory = m_factories.value(name);
    QWidget *content = factory ? factory(name) : placeholder(m_catalog.msg(info->title));
    QMdiSubWindow *sub = m_mdi->addSubWindow(content);
    sub->setObjectName(name);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (sub->windowTitle().isEmpty())
        sub->setWindowTitle(m_catalog.msg(info->title));
    sub->setWindowIcon(content->testAttribute(Qt::WA_SetWindowIcon) ? content->windowIcon() : toolIcon(name));
    QAction *a = action(QLatin1String(info->action));
    a->setText(m_catalog.msg(info->hide));
    // The window puts the caption back when it goes, however it is closed, unless another
    // window of its name was opened meanwhile (a reset closes and reopens some).
    connect(sub, &QObject::destroyed, this, [this, sub, a, name, info] {
        for (QMdiSubWindow *w : m_mdi->subWindowList())
            if (w != sub && w->objectName() == name && !w->isHidden())
                return;
        a->setText(m_catalog.msg(info->show));
    });
    sub->show();
    return sub;
}

void TForm1::closewindow(const QString &name)
{
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (w->objectName() != name || !w->close())
            continue;
        // Deletion is deferred; the name goes now so that the window counts as closed at once.
        w->setObjectName(QString());
        if (const ToolWindowInfo *info = toolWindowInfo(name))
            action(QLatin1String(info->action))->setText(m_catalog.msg(info->show));
    }
}

void TForm1::bringToFront(const QString &name)
{
    QMdiSubWindow *w = openToolWindow(name);
    if (w) {
        w->showNormal();
        m_mdi->setActiveSubWindow(w);
    }
}

void TForm1::windowcas()
{
    m_mdi->cascadeSubWindows();
}

void TForm1::windowtile()
{
    m_mdi->tileSubWindows();
}

void TForm1::windowtoolbar()
{
    const bool show = m_toolbar->isHidden();
    m_toolbar->setVisible(show);
    action(QStringLiteral("windowtoolbar"))->setText(m_catalog.msg(show ? 51 : 50));
}

void TForm1::helpmanual()
{
    // The editor folder may hold the author's own copy; the shipped one is beside the program
    // (or in the installation's data folder). The German manual is taken when German is shown.
    QStringList names;
    if (m_catalog.language() == QLatin1String("DE"))
        names << QStringLiteral("Manual.de.html");
    names << QStringLiteral("Manual.html");
    const QString editorCopy = QDir(m_session.editorFolder()).filePath(QStringLiteral("Manual.html"));
    for (const QString &folder : {m_session.editorFolder(), programDataFolder()}) {
        for (const QString &name : names) {
            const QString manual = QDir(folder).filePath(name);
            if (QFileInfo::exists(manual)) {
                QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
                return;
            }
        }
    }
    error(m_catalog.msg(115) + u' ' + QDir::toNativeSeparators(editorCopy) + u' ' + m_catalog.msg(116));
}

void TForm1::helpabout()
{
    TForm12 about(m_catalog, this);
    about.exec();
}

QStringList TForm1::closeResetWindows()
{
    QStringList closed;
    for (const char *n : {"mausbox", "room", "skriptwindow"}) {
        const QString name = QLatin1String(n);
        if (name == QLatin1String("room") && model().settings.gameWidth == 640)
            continue;
        if (isToolWindowOpen(name)) {
            closewindow(name);
            closed << name;
        }
    }
    return closed;
}

void TForm1::reopen(const QStringList &windows)
{
    for (const QString &w : windows)
        openToolWindow(w);
}

// --- start and end

void TForm1::FormActivate(const QStringList &args)
{
    if (m_activated)
        return;
    m_activated = true;
    if (m_settings.readsetting(QStringLiteral("Fit")) == QLatin1String("aus"))
        m_session.options().fitImage = false;
    for (const char *n : {"Form2", "itembox", "skriptwindow", "objbox", "charbox", "mausbox", "room"}) {
        const ToolWindowInfo *info = toolWindowInfo(QLatin1String(n));
        if (m_settings.readsetting(QLatin1String(info->configKey)) == QLatin1String("an"))
            openToolWindow(QLatin1String(n));
    }
    m_session.options().makeBackup = m_settings.readsetting(QStringLiteral("Backup")) != QLatin1String("aus");
    const QString openPath = m_settings.readsetting(QStringLiteral("Openpath"));
    if (openPath != QLatin1String("-1"))
        m_session.setOpenFolder(openPath);
    const QString createPath = m_settings.readsetting(QStringLiteral("Createpath"));
    if (createPath != QLatin1String("-1"))
        m_session.setLastGameFolder(createPath);

    offerRecovery();
    const StartupArguments startup = parseStartupArguments(args);
    m_sixteenBit = startup.sixteenBit;
    if (!startup.projectPath.isEmpty())
        openFromCommandLine(startup.projectPath);
    if (m_autosave->interval() > 0)
        m_autosave->start();
}

void TForm1::setAutosaveInterval(int ms)
{
    m_autosave->stop();
    m_autosave->setInterval(ms);
    if (ms > 0 && m_activated)
        m_autosave->start();
}

void TForm1::autosave()
{
    // Not in the middle of other work or while a box waits for an answer.
    if (!m_session.isModified() || m_session.isBusy() || m_closing || QApplication::activeModalWidget())
        return;
    Recovery recovery(m_session.editorFolder());
    if (!recovery.write(m_session))
        m_panels[2]->setText(recovery.errorString());
}

void TForm1::offerRecovery()
{
    const Recovery recovery(m_session.editorFolder());
    const Recovery::Found found = recovery.find();
    if (!found.exists)
        return;
    const QString text = m_catalog.extra(extratext::RestoreQuestion)
                             .arg(found.projectName, QLocale().toString(found.time, QLocale::ShortFormat));
    if (!m_questions.yesNo(this, m_catalog.extra(extratext::RestoreTitle), text)) {
        recovery.remove();
        return;
    }
    const ProjectFileResult result = recovery.restore(m_session);
    if (result.ok)
        showNewTrees();
    StatusBar1Click();
    updateCaption();
    if (!result.ok)
        error(result.message);
}

void TForm1::dropRecovery()
{
    Recovery(m_session.editorFolder()).remove();
}

void TForm1::openFromCommandLine(const QString &path)
{
    if (!path.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive)) {
        error(path + u' ' + m_catalog.msg(151));
        return;
    }
    QString file = path;
    if (!path.contains(u'/') && !path.contains(u'\\'))
        file = QDir(m_session.editorFolder()).filePath(path);
    const QFileInfo info(file);
    if (!info.isFile()) {
        error(path + u' ' + m_catalog.msg(116));
        return;
    }
    m_presetOpen = info.absoluteFilePath();
    projectOpenExecute();
}

void TForm1::openRequested(const QString &projectPath)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (projectPath.isEmpty() || m_closing)
        return;
    // A box or dialog is open (perhaps the question of an earlier request), or long work lets
    // events through between its steps (make game, export): ask again later.
    if (QApplication::activeModalWidget() || (m_missingDialog && m_missingDialog->isVisible()) || m_session.isBusy()
        || m_searching) {
        QTimer::singleShot(250, this, [this, projectPath] { openRequested(projectPath); });
        return;
    }
    openFromCommandLine(projectPath);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Work that lets events through between its steps is not ended from under it: the editor
    // closes when asked again after it.
    if (m_longWork > 0 || m_searching) {
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool TForm1::FormClose()
{
    if (m_closing)
        return true;
    if (!askSaveChanges())
        return false;
    m_closing = true;
    m_autosave->stop();
    dropRecovery();
    // The layout records the windows as they were before they are closed.
    QHash<QString, bool> open;
    for (const char *n : {"Form2", "itembox", "skriptwindow", "objbox", "charbox", "mausbox", "room"})
        open.insert(QLatin1String(n), isToolWindowOpen(QLatin1String(n)));
    m_mdi->closeAllSubWindows();
    positionsave(open);
    QFile::remove(QDir(m_session.editorFolder()).filePath(QStringLiteral("temp.tmp")));
    return true;
}

void TForm1::positionsave(const QHash<QString, bool> &openWindows)
{
    const bool maximised = isMaximized();
    const QSize size = maximised ? normalGeometry().size() : this->size();
    m_settings.writesetting(QStringLiteral("Mainform"), maximised ? QStringLiteral("max") : QStringLiteral("normal"));
    m_settings.writesetting(QStringLiteral("Mainform Height"), QString::number(size.height()));
    m_settings.writesetting(QStringLiteral("Mainform Width"), QString::number(size.width()));
    m_settings.writesetting(QStringLiteral("Toolbar"), yesNo(!m_toolbar->isHidden()));
    m_settings.writesetting(QStringLiteral("Fit"), yesNo(m_session.options().fitImage));
    m_settings.writesetting(QStringLiteral("Backup"), yesNo(m_session.options().makeBackup));
    for (auto it = openWindows.begin(); it != openWindows.end(); ++it)
        if (const ToolWindowInfo *info = toolWindowInfo(it.key()))
            m_settings.writesetting(QLatin1String(info->configKey), yesNo(it.value()));
    if (!m_session.openFolder().isEmpty())
        m_settings.writesetting(QStringLiteral("Openpath"), m_session.openFolder());
    if (!model().lastGameFolder.isEmpty())
        m_settings.writesetting(QStringLiteral("Createpath"), model().lastGameFolder);
    m_settings.writesetting(QStringLiteral("Mainform Geometry"), QString::fromLatin1(saveGeometry().toBase64()));
    m_settings.writesetting(QStringLiteral("Mainform State"), QString::fromLatin1(saveState().toBase64()));
    m_settings.writesetting(QStringLiteral("Tree Splitter"), QString::fromLatin1(m_treeSplitter->saveState().toBase64()));
}

} // namespace mb
