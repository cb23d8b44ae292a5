// The main window's Setup dialogs and "Create Game...".
#include "app/tform1.h"
#include "app/statusprogress.h"
#include "app/tform13.h"
#include "build/buildquestions.h"
#include "build/makegame.h"
#include "dialogs/tcommandlist.h"
#include "dialogs/tfontwindow.h"
#include "dialogs/tform16.h"
#include "dialogs/tgamesetup.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScopedValueRollback>
#include <QStatusBar>

#include <memory>

namespace mb {

void TForm1::setupgameExecute()
{
    if (!m_gamesetup) {
        m_gamesetup = new Tgamesetup(m_session, m_catalog, m_settings, m_questions, this);
        connect(m_gamesetup, &Tgamesetup::resolutionChanged, this, [this] { closewindow(QStringLiteral("room")); });
    }
    m_gamesetup->open();
}

void TForm1::commandlistExecute()
{
    if (!m_commandlist)
        m_commandlist = new Tcommandlist(m_session, m_catalog, m_settings, m_questions, this);
    m_commandlist->open();
}

void TForm1::fontwindowExecute()
{
    if (!m_fontwindow)
        m_fontwindow = new Tfontwindow(m_session, m_catalog, m_settings, m_questions, this);
    m_fontwindow->open();
}

void TForm1::languagetoolsExecute()
{
    if (!m_languagetools)
        m_languagetools = new TForm16(m_session, m_catalog, m_settings, m_questions, this);
    m_languagetools->show();
    m_languagetools->raise();
}

void TForm1::creategameExecute()
{
    if (m_session.isBusy())
        return;
    // A game is made from the saved project: one that was never saved is saved as first, and
    // cancelling that cancels the build.
    if ((m_session.projectFolder().isEmpty() || model().settings.projectName.isEmpty()) && !projectsaveunderExecute())
        return;
    // The wait window goes before each question, so that nothing stands in front of it.
    AskedBuildQuestions questions(m_questions, m_catalog, this, [this] { m_wait->hidewait(); });
    MakeGame make(m_session, questions);
    // The build runs here with the event loop kept alive between its steps, so the window
    // repaints and shows each step while it is disabled.
    make.setProgress([this](const QString &status) {
        m_panels[2]->setText(status);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    // A bar in the status bar: moving while a step has no count, filling while it splits the
    // images or packs an archive.
    StatusProgress bar(statusBar(), QStringLiteral("buildprogress"));
    make.setCount([&bar](int done, int total) { bar.show(done, total, true); });
    make.setProblemHandler([this](const QString &text) { error(text); });
    const QScopedValueRollback working(m_longWork, m_longWork + 1);
    m_wait->showwait(m_catalog.msg(114));
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MakeGame::Result result = make.prepare();
    if (result.outcome == MakeGame::Result::Ready) {
        m_wait->showwait(m_catalog.msg(124));
        result = make.build();
    }
    QApplication::restoreOverrideCursor();
    m_wait->hidewait();
    setEnabled(true);
    m_session.setBusy(false);
    StatusBar1Click();
    switch (result.outcome) {
    case MakeGame::Result::Refused:
    case MakeGame::Result::Failed:
        m_panels[2]->clear();
        error(result.message);
        return;
    case MakeGame::Result::Cancelled:
        m_panels[2]->clear();
        return;
    default:
        break;
    }
    // A failed start was shown as a problem already.
    if (!result.message.isEmpty())
        error(result.message);
    else if (!result.startHint.isEmpty())
        information(result.startHint);
}

} // namespace mb
