#include "script/scripteditorsetup.h"

#include "app/tform1.h"
#include "dialogs/tcommandlist.h"
#include "script/scriptsearchdock.h"
#include "script/scripttexts.h"
#include "script/tskriptwindow.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>

namespace mb {

namespace {

const QString kWindow = QStringLiteral("skriptwindow");

} // namespace

ScriptEditorSetup::ScriptEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog,
                                     EditorSettings &settings)
    : QObject(&form), m_form(form), m_session(session), m_catalog(catalog), m_settings(settings)
{
    setObjectName(QStringLiteral("scripteditor"));
    form.setToolWindowFactory(kWindow, [this](const QString &) -> QWidget * {
        auto *w = new Tskriptwindow(m_session, m_catalog, m_settings, m_state, m_form.questions());
        w->showStatus = [this](const QString &text) { m_form.statusPanel(2)->setText(text); };
        // Names typed in the commands dialog and the name input appear in the script font.
        connect(w, &Tskriptwindow::fontChosen, this, [this](const QFont &font) {
            for (Tcommandlist *dialog : m_form.findChildren<Tcommandlist *>())
                dialog->setScriptFont(font.family());
        });
        return w;
    });
    connect(&form, &TForm1::scriptOpenRequested, this, [this](const QString &key, int line, bool show) {
        m_state.post(key, line);
        if (show)
            m_form.bringToFront(kWindow);
    });

    m_dock = new ScriptSearchDock(session, catalog, &form);
    form.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    connect(m_dock, &ScriptSearchDock::openRequested, this,
            [this](const QString &key, int line) { m_form.requestScript(key, line); });
    connect(m_dock, &ScriptSearchDock::message, this, [this](const QString &text) { m_form.statusPanel(2)->setText(text); });

    auto *find = new QAction(scriptText(ScriptText::FindInAllScripts, catalog), &form);
    find->setObjectName(QStringLiteral("findinscripts"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, [this] {
        const bool first = m_dock->isHidden();
        m_dock->activate();
        if (first) // a strip under the tool windows, not half the main window
            m_form.resizeDocks({m_dock}, {220}, Qt::Vertical);
    });
    form.addAction(find);
    // After the script check in the Project menu.
    if (QMenu *project = form.findChild<QMenu *>(QStringLiteral("Projekt1")))
        project->insertAction(form.action(QStringLiteral("creategame")), find);
}

Tskriptwindow *ScriptEditorSetup::window() const
{
    QMdiSubWindow *sub = m_form.toolWindow(kWindow);
    return sub ? qobject_cast<Tskriptwindow *>(sub->widget()) : nullptr;
}

} // namespace mb
