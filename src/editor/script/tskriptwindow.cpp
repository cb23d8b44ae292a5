#include "script/tskriptwindow.h"

#include "project/asker.h"
#include "platform/ansicodec.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "script/findbar.h"
#include "script/hintpanel.h"
#include "script/inserttemplates.h"
#include "script/scriptedit.h"
#include "script/scriptlexer.h"
#include "script/scripttexts.h"
#include "script/scriptwindowstate.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSaveFile>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

namespace {

enum Msg {
    MsgNone = 185,
    MsgStatus = 191,
    MsgAdd = 192,
    MsgCut = 193,
    MsgCopy = 194,
    MsgPaste = 195,
    MsgBracesHint = 198,
    MsgAddHint = 199,
    MsgError = 366,
};

// Window bounds when config.ini has none.
constexpr int kDefaultLeft = 564, kDefaultTop = 12, kDefaultWidth = 281, kDefaultHeight = 372;
constexpr int kMinWidth = 430, kMinHeight = 500;

// A fixed-pitch family that is installed: the metric twins of Courier New first.
QString defaultFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const char *f : {"Liberation Mono", "DejaVu Sans Mono"})
        if (families.contains(QLatin1String(f)))
            return QLatin1String(f);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QString trimmedRight(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    return line.left(end);
}

} // namespace

Tskriptwindow::Tskriptwindow(ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings,
                             ScriptWindowState &state, Asker &questions, QWidget *parent)
    : QWidget(parent), m_session(session), m_catalog(catalog), m_settings(settings), m_state(state),
      m_questions(questions)
{
    setObjectName(QStringLiteral("skriptwindow"));
    setMinimumSize(kMinWidth, kMinHeight);
    setWindowTitle(m_catalog.msg(MsgNone));

    m_edit = new ScriptEdit(this);
    m_edit->setObjectName(QStringLiteral("skript"));
    m_edit->setMenuTexts(m_catalog.msg(MsgCut), m_catalog.msg(MsgCopy), m_catalog.msg(MsgPaste));
    m_hints = new HintPanel(this);
    m_find = new FindBar(m_edit, m_catalog, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_find);
    layout->addWidget(m_hints);
    buildInsertMenu();

    chooseFont = [this](const QFont &current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };

    connect(m_edit, &QsciScintilla::textChanged, this, &Tskriptwindow::textChanged);
    connect(m_edit, &ScriptEdit::caretSettled, this, &Tskriptwindow::analyzeCaret);
    connect(m_edit, &ScriptEdit::tabPressed, this, [this] {
        if (!m_hints->firstLeft().isEmpty())
            choose(m_hints->firstLeft());
    });
    connect(m_edit, &ScriptEdit::tabRefused, this, [this] {
        m_questions.error(this, m_catalog.msg(MsgError), scriptText(ScriptText::TabsNotAllowed, m_catalog));
    });
    connect(m_edit, &ScriptEdit::hovered, this, [this] {
        if (showStatus)
            showStatus(m_catalog.msg(MsgStatus));
    });
    connect(m_hints, &HintPanel::chosen, this, &Tskriptwindow::choose);
    connect(&m_session, &ProjectSession::changed, this, &Tskriptwindow::projectChanged);

    const auto shortcut = [this](const QKeySequence &keys, const std::function<void()> &slot) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Find, [this] { if (m_openKey) m_find->showFind(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), [this] { if (m_openKey) m_find->showReplace(); });
    shortcut(QKeySequence::FindNext, [this] { m_find->findNext(); });
    shortcut(QKeySequence::FindPrevious, [this] { m_find->findNext(true); });

    readSettings();
    setScriptOpen(false);

    // The requests of other windows; one pending at a time, served on the next turn.
    connect(&m_state, &ScriptWindowState::posted, this, [this] {
        QTimer::singleShot(0, this, &Tskriptwindow::serveRequest);
    });
    m_timer = new QTimer(this);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &Tskriptwindow::timerTick);
    m_timer->start();
    QTimer::singleShot(0, this, &Tskriptwindow::serveRequest);
}

Tskriptwindow::~Tskriptwindow()
{
    finish();
}

QToolButton *Tskriptwindow::button(const QString &name) const
{
    return findChild<QToolButton *>(name);
}

void Tskriptwindow::buildToolBar()
{
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    const auto add = [&](const char *name, const QString &text, const QString &tip, auto slot) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    const auto t = [this](ScriptText text) { return scriptText(text, m_catalog); };
    QToolButton *font = add("fontbutton", QStringLiteral("A"), t(ScriptText::FontTip), &Tskriptwindow::fontButtonClick);
    QFont bold = font->font();
    bold.setBold(true);
    font->setFont(bold);
    add("undobutton", QStringLiteral("Undo"), t(ScriptText::UndoTip), &Tskriptwindow::undoButtonClick);
    add("klammern", QStringLiteral("{ }"), m_catalog.msg(MsgBracesHint), &Tskriptwindow::bracesButtonClick);
    QToolButton *addButton = add("hinzufuegen", m_catalog.msg(MsgAdd), m_catalog.msg(MsgAddHint), [this] {
        button(QStringLiteral("hinzufuegen"))->showMenu();
    });
    addButton->setPopupMode(QToolButton::InstantPopup);
    add("instantupdate", QStringLiteral("Instant Update"), t(ScriptText::InstantUpdateTip),
        &Tskriptwindow::instantUpdateClick);
    add("helpbutton", QStringLiteral("?"), t(ScriptText::ShowHints), &Tskriptwindow::toggleHintPanel);
    bar->addStretch(1);
    QToolButton *recent = add("recentbutton", QStringLiteral("\u25BE"), t(ScriptText::RecentScripts), [this] {
        QMenu *menu = recentMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(QCursor::pos());
    });
    recent->setArrowType(Qt::DownArrow);
    static_cast<QVBoxLayout *>(layout())->addLayout(bar);
}

// --- requests

void Tskriptwindow::serveRequest()
{
    if (!m_state.hasPending())
        return;
    int line = 0;
    const QString request = m_state.take(&line);
    open(request);
    if (line > 0 && m_openKey) {
        m_edit->setCaret(line - 1, 1);
        m_edit->setFocus();
    }
}

QString Tskriptwindow::openScriptKey() const
{
    return m_openKey ? m_openRequest : QString();
}

void Tskriptwindow::open(const QString &request)
{
    const std::optional<ScriptKey> key = ScriptKey::parse(request);
    if (!key)
        return; // not a key: nobody asked for anything this window can show
    if (key->kind == ScriptKey::Free) {
        store(StoreReason::Leaving);
        showNone();
        return;
    }
    if (m_openKey && request == m_openRequest)
        return; // already open: caret and undo history stay
    // The store on leaving belongs to the typing in the script left (an emptied walkmap cell
    // goes with it); what is typed into the next script is a step of its own.
    store(StoreReason::Leaving);
    m_session.endGesture();
    m_openKey.reset();
    const ProjectModel &model = m_session.model();
    const ScriptCaption caption = scriptCaption(model, *key, m_catalog);
    const Script *script = findScript(model, *key);
    m_loadedLines = script ? *script : QStringList();
    m_targetFound = storedScriptLines(model, *key, caption.placementName).has_value();
    m_targetSlot = key->kind == ScriptKey::Cutscene ? model.cutscenes.find(key->name)
                 : key->kind == ScriptKey::Item     ? model.items.find(key->name)
                 : key->kind == ScriptKey::RoomCharacter ? 0
                                                         : model.rooms.find(key->name);
    m_title = caption.title;
    m_loading = true;
    m_edit->loadLines(m_loadedLines);
    m_loading = false;
    m_loadedText = m_edit->text();
    setScriptOpen(true);
    setWindowTitle(caption.caption);
    m_placementName = caption.placementName;
    const int topLine = m_state.recent.opened(request, caption.title);
    m_openKey = key;
    m_openRequest = request;
    m_edit->setFirstVisibleLine(topLine);
    m_hints->showHint({});
}

void Tskriptwindow::showNone()
{
    m_session.endGesture();
    m_openKey.reset();
    m_openRequest.clear();
    m_targetFound = false;
    m_loading = true;
    m_edit->loadLines({});
    m_loading = false;
    m_loadedText = m_edit->text();
    m_loadedLines.clear();
    setScriptOpen(false);
    setWindowTitle(m_catalog.msg(MsgNone));
}

void Tskriptwindow::setScriptOpen(bool open)
{
    m_edit->setEnabled(open);
    for (const char *name : {"undobutton", "hinzufuegen", "klammern"})
        button(QLatin1String(name))->setEnabled(open);
    if (!open) {
        m_find->hide();
        button(QStringLiteral("instantupdate"))->setEnabled(false);
    }
}

// --- storing

QStringList Tskriptwindow::storedLines() const
{
    const QString text = m_edit->text();
    if (text == m_loadedText)
        return m_loadedLines; // unchanged: exactly what was opened
    if (text.isEmpty())
        return {};
    QStringList lines = m_edit->textLines();
    for (QString &l : lines)
        l = trimmedRight(l);
    return lines;
}

void Tskriptwindow::store(StoreReason reason)
{
    if (!m_openKey)
        return;
    // One merging step per open script: the typing in it until the gesture ends.
    m_storing = true;
    storeScript(m_session, *m_openKey, m_placementName, storedLines(), reason,
                uiText(UiText::EditScript, m_catalog.language()).arg(m_title),
                ProjectSession::mergeKey(this, 0, int(qHash(m_openRequest))));
    m_storing = false;
    m_state.recent.setTopLine(m_edit->firstVisibleLine());
}

void Tskriptwindow::textChanged()
{
    if (m_loading || !m_openKey)
        return;
    store(StoreReason::TextChanged);
    button(QStringLiteral("undobutton"))->setEnabled(true);
}

void Tskriptwindow::projectChanged(const ProjectChange &change)
{
    if (m_storing || change.phase != ProjectChange::Done)
        return;
    if (change.kind == ProjectChange::Reset) {
        // Another project: the text shown belongs to none of its scripts.
        if (m_openKey)
            showNone();
        return;
    }
    // Scripts live in cutscenes, items, rooms (with their cells and placements) and character
    // placements; a change of anything else leaves the open script as it is.
    const bool scripts = change.kind == ProjectChange::RoomCharacter
                         || (change.kind == ProjectChange::Element && change.elementKind != Characters
                             && change.elementKind != Objects);
    if (!scripts || !m_openKey)
        return;
    if (reloadOpenScript())
        m_session.endGesture(); // typing on after an undo is a new step
}

bool Tskriptwindow::followRename()
{
    const ProjectModel &m = m_session.model();
    const auto nameAt = [this](const auto &table) {
        return m_targetSlot >= 1 && m_targetSlot <= table.size() ? table[m_targetSlot].name : QString();
    };
    QString name;
    switch (m_openKey->kind) {
    case ScriptKey::Cutscene: name = nameAt(m.cutscenes); break;
    case ScriptKey::Item: name = nameAt(m.items); break;
    case ScriptKey::Room:
    case ScriptKey::WalkmapCell:
    case ScriptKey::RoomObject: name = nameAt(m.rooms); break;
    default: return false;
    }
    // A deleted element leaves its slot without a name.
    if (name.isEmpty() || name == m_openKey->name)
        return false;
    const QString before = m_openRequest;
    m_openKey->name = name;
    m_openRequest = m_openKey->text();
    const ScriptCaption caption = scriptCaption(m, *m_openKey, m_catalog);
    setWindowTitle(caption.caption);
    m_title = caption.title;
    m_state.recent.renamed(before, m_openRequest, m_title);
    return true;
}

bool Tskriptwindow::reloadOpenScript()
{
    if (!m_openKey)
        return false;
    std::optional<QStringList> stored = storedScriptLines(m_session.model(), *m_openKey, m_placementName);
    if (!stored && m_targetFound && followRename())
        stored = storedScriptLines(m_session.model(), *m_openKey, m_placementName);
    if (!stored) {
        if (!m_targetFound)
            return false; // opened under a key that names nothing: stays so
        // The element went: as when it is deleted, the window shows no script.
        showNone();
        return true;
    }
    const QStringList &lines = *stored;
    if (lines == storedLines())
        return false;
    const int line = m_edit->caretLine(), column = m_edit->caretColumn(), top = m_edit->firstVisibleLine();
    m_loadedLines = lines;
    m_loading = true;
    m_edit->loadLines(lines);
    m_loading = false;
    m_loadedText = m_edit->text();
    // The caret stays on its line, at most just past the end of the restored text.
    m_edit->setCaret(line, std::min(column, int(lines.value(std::min(line, int(lines.size()) - 1)).size()) + 1));
    m_edit->setFirstVisibleLine(top);
    return true;
}

// --- toolbar

void Tskriptwindow::fontButtonClick()
{
    const std::optional<QFont> chosen = chooseFont ? chooseFont(m_edit->editorFont()) : std::nullopt;
    if (!chosen)
        return;
    // Name and size; bold and italic stay with the colouring rules.
    QFont font(chosen->family(), chosen->pointSize());
    font.setStyleHint(QFont::TypeWriter);
    m_edit->setEditorFont(font);
    // Dialogs made later read the family from config.ini: written now, not only at closing.
    m_settings.writesetting(QStringLiteral("Skript Font"), font.family());
    m_settings.writesetting(QStringLiteral("Skript Size"), QString::number(font.pointSize()));
    emit fontChosen(font);
}

void Tskriptwindow::undoButtonClick()
{
    m_edit->undo();
    button(QStringLiteral("undobutton"))->setEnabled(false);
}

void Tskriptwindow::bracesButtonClick()
{
    if (!m_openKey)
        return;
    m_edit->applyLineEdit(insertBraces(m_edit->caretLine(), m_edit->caretColumn()));
    m_edit->setFocus();
}

void Tskriptwindow::insertEntry(const inserts::Entry &entry)
{
    if (!m_openKey)
        return;
    const int line = m_edit->caretLine();
    m_edit->applyLineEdit(mb::insertEntry(m_edit->textLines().value(line), line, m_edit->caretColumn(), entry));
    m_edit->setFocus();
}

void Tskriptwindow::insertPreset(const QStringList &lines)
{
    if (!m_openKey)
        return;
    m_edit->applyLineEdit(mb::insertPreset(m_edit->caretLine(), m_edit->caretColumn(), lines));
    m_edit->setFocus();
}

void Tskriptwindow::instantUpdateClick()
{
    if (!m_openKey || m_session.model().lastGameFolder.isEmpty())
        return;
    // The running game reads Windows-1252 text with CR LF line ends.
    QByteArray bytes = ansi::encode(m_openRequest) + "\r\n";
    for (const QString &line : storedLines())
        bytes += ansi::encode(line) + "\r\n";
    QSaveFile file(QDir(m_session.model().lastGameFolder).filePath(QStringLiteral("updatescript.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        m_questions.error(this, m_catalog.msg(MsgError), file.fileName() + QStringLiteral(": ") + file.errorString());
}

void Tskriptwindow::toggleHintPanel()
{
    m_hints->setVisible(m_hints->isHidden());
    if (m_hints->isVisible())
        analyzeCaret();
}

void Tskriptwindow::timerTick()
{
    // The running game keeps ichlaufe.txt in its folder while it runs.
    QToolButton *update = button(QStringLiteral("instantupdate"));
    if (!button(QStringLiteral("undobutton"))->isEnabled())
        return;
    update->setEnabled(m_openKey && !m_session.model().lastGameFolder.isEmpty()
                       && QFile::exists(QDir(m_session.model().lastGameFolder).filePath(QStringLiteral("ichlaufe.txt"))));
}

QMenu *Tskriptwindow::recentMenu()
{
    m_state.recent.prune([this](const QString &key) {
        const auto k = ScriptKey::parse(key);
        return k && scriptExists(m_session.model(), *k);
    });
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("recentmenu"));
    for (const RecentScripts::Entry &e : m_state.recent.entries()) {
        if (e.isEmpty())
            continue;
        const QString key = e.key;
        menu->addAction(e.title, this, [this, key] { m_state.post(key); });
    }
    return menu;
}

// --- hints

void Tskriptwindow::analyzeCaret()
{
    if (m_hints->isHidden() || !m_openKey)
        return;
    m_caret = mb::analyzeCaret(m_edit->text(), m_edit->caretCharacterPosition(), m_edit->caretColumn(),
                               m_edit->caretLineLength());
    m_hints->showHint(caretHint(m_caret, m_session.model().names, m_catalog));
}

void Tskriptwindow::choose(const QString &entry)
{
    if (!m_openKey)
        return;
    const int line = m_edit->caretLine();
    const ChosenLine chosen = applyChoice(m_edit->textLines().value(line), m_edit->caretColumn(),
                                          int(m_caret.filter().size()), int(m_caret.wordRest.size()), entry);
    m_edit->applyLineEdit({line, 1, {chosen.line}, line, chosen.column});
    m_hints->clearChoices();
    m_edit->setFocus();
}

// --- settings and lifecycle

void Tskriptwindow::readSettings()
{
    const auto number = [this](const char *key, int fallback) {
        bool ok = false;
        const int v = m_settings.readsetting(QLatin1String(key)).toInt(&ok);
        return ok && v != -1 ? v : fallback;
    };
    QFont font(defaultFamily(), 10);
    const QString family = m_settings.readsetting(QStringLiteral("Skript Font"));
    if (family != QLatin1String("-1") && !family.isEmpty())
        font.setFamily(family);
    font.setPointSize(std::max(4, number("Skript Size", 10)));
    font.setStyleHint(QFont::TypeWriter);
    m_edit->setEditorFont(font);
    m_charset = number("Skript Char", 0);
    m_hints->setVisible(m_settings.readsetting(QStringLiteral("Hint Panel")) != QLatin1String("0"));
}

void Tskriptwindow::writeSettings()
{
    if (const QWidget *frame = parentWidget(); frame && m_placed) {
        const QRect g = frame->geometry();
        m_settings.writesetting(QStringLiteral("Skript Top"), QString::number(g.top()));
        m_settings.writesetting(QStringLiteral("Skript Left"), QString::number(g.left()));
        m_settings.writesetting(QStringLiteral("Skript Width"), QString::number(g.width()));
        m_settings.writesetting(QStringLiteral("Skript Height"), QString::number(g.height()));
    }
    const QFont font = m_edit->editorFont();
    m_settings.writesetting(QStringLiteral("Skript Font"), font.family());
    m_settings.writesetting(QStringLiteral("Skript Size"), QString::number(font.pointSize()));
    m_settings.writesetting(QStringLiteral("Skript Char"), QString::number(m_charset));
    m_settings.writesetting(QStringLiteral("Hint Panel"), m_hints->isHidden() ? QStringLiteral("0") : QStringLiteral("-1"));
}

void Tskriptwindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    QMdiSubWindow *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (m_placed || !frame)
        return;
    m_placed = true;
    const auto number = [this](const char *key, int fallback) {
        bool ok = false;
        const int v = m_settings.readsetting(QLatin1String(key)).toInt(&ok);
        return ok && v != -1 ? v : fallback;
    };
    frame->setGeometry(number("Skript Left", kDefaultLeft), number("Skript Top", kDefaultTop),
                       std::max(kMinWidth, number("Skript Width", kDefaultWidth)),
                       std::max(kMinHeight, number("Skript Height", kDefaultHeight)));
}

void Tskriptwindow::closeEvent(QCloseEvent *e)
{
    finish();
    e->accept();
}

void Tskriptwindow::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    store(StoreReason::Leaving);
    // A window opened later starts its own undo step, even on the same script.
    m_session.endGesture();
    writeSettings();
}

} // namespace mb
