// The main window's project commands: new, open, save, save as, the missing-files check after
// an open, the script check, and the project exchange files.
#include "app/tform1.h"

#include "app/statusprogress.h"
#include "app/tform13.h"
#include "app/tmissingfiles.h"
#include "build/projectexchange.h"
#include "script/scriptchecker.h"
#include "script/scriptkey.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QStatusBar>

namespace mb {

namespace {

constexpr int MsgConfirmation = 365;

} // namespace

bool TForm1::askSaveChanges()
{
    if (!m_session.isModified())
        return true;
    const QString text = m_catalog.msg(101) + u' ' + model().settings.projectName + u' ' + m_catalog.msg(102);
    switch (m_questions.yesNoCancel(this, m_catalog.msg(MsgConfirmation), text)) {
    case Asker::Cancel: return false;
    case Asker::Yes: return projectsaveExecute();
    case Asker::No: return true;
    }
    return false;
}

QStringList TForm1::allesneu()
{
    const QStringList closed = closeResetWindows();
    m_session.newProject();
    showNewTrees();
    m_previewRequest = PreviewRequest::free();
    emit previewRequested(m_previewRequest);
    StatusBar1Click();
    updateCaption();
    return closed;
}

void TForm1::projectNewExecute()
{
    if (!askSaveChanges())
        return;
    const QStringList closed = allesneu();
    reopen(closed);
    dropRecovery();
    m_panels[2]->clear();
}

bool TForm1::projectOpenExecute()
{
    // A path given by the command line, another start or the recent list is used once, even
    // when the question about changes is cancelled: a later Open shows its dialog again.
    QString path = m_presetOpen;
    m_presetOpen.clear();
    if (!askSaveChanges())
        return false;
    if (path.isEmpty()) {
        const QStringList chosen = m_questions.openFiles(this, m_catalog.msg(94), m_session.openFolder(),
                                                          m_catalog.extra(extratext::ProjectFilter), false);
        if (chosen.isEmpty())
            return false;
        path = chosen.first();
    }
    beginBusy();
    const QString openFolderBefore = m_session.openFolder();
    m_session.setOpenFolder(QFileInfo(path).absolutePath());
    QStringList windows = closeResetWindows();
    ProjectFileResult result;
    {
        // A big project takes a while: a window with a bar comes up when it does, and its
        // Cancel (or Escape) stops the reading with the open project kept as it is. It blocks
        // every window while the reading goes on between its reports.
        QProgressDialog progress(m_catalog.extra(extratext::OpeningProject).arg(QFileInfo(path).fileName()),
                                 m_catalog.extra(extratext::Cancel), 0, 1000, this);
        progress.setObjectName(QStringLiteral("openprogress"));
        progress.setWindowTitle(QStringLiteral("Mossbramble"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(300);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        // Escape cancels as the button does, whichever of the dialog's ways gets the key.
        connect(&progress, &QDialog::rejected, &progress, &QProgressDialog::cancel);
        progress.setValue(0);
        const QScopedValueRollback working(m_longWork, m_longWork + 1);
        m_session.setProgress([&progress](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
            // Until the window shows, nothing blocks the other windows: they repaint, but take
            // no input.
            QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                                 : QEventLoop::ExcludeUserInputEvents);
            return !progress.wasCanceled();
        });
        result = m_session.open(path);
        m_session.setProgress({});
    }
    if (result.cancelled) {
        endBusy();
        m_session.setOpenFolder(openFolderBefore);
        reopen(windows);
        m_panels[2]->setText(m_catalog.extra(extratext::OpenCancelled));
        return false;
    }
    showNewTrees();
    endBusy();
    if (model().settings.gameWidth != 640) {
        closewindow(QStringLiteral("room"));
        windows.removeAll(QStringLiteral("room"));
    }
    reopen(windows);
    StatusBar1Click();
    updateCaption();
    if (!result.ok) {
        m_session.setBusy(false);
        error(result.message);
        return false;
    }
    m_panels[2]->setText(m_catalog.msg(result.statusMessage ? result.statusMessage : 103));
    rememberProject();
    dropRecovery();
    runMissingFilesCheck();
    return true;
}

void TForm1::runMissingFilesCheck()
{
    // The search of the project folder may walk a big tree: a progress window comes up when it
    // takes a while, and Cancel stops it with the paths repaired so far kept.
    QProgressDialog progress(QString(), m_catalog.extra(extratext::Cancel), 0, 0, this);
    progress.setObjectName(QStringLiteral("missingprogress"));
    progress.setWindowTitle(QStringLiteral("Mossbramble"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    m_missing.setProgressHandler([this, &progress](const MissingFiles::Progress &p) {
        progress.setLabelText(m_catalog.extra(extratext::SearchingFolder)
                                  .arg(p.stillMissing)
                                  .arg(QDir::toNativeSeparators(p.folder)));
        progress.setValue(0); // starts the timer that shows the window after a while
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    m_searching = true;
    const int stillMissing = m_missing.check();
    m_searching = false;
    m_missing.setProgressHandler({});
    progress.reset();
    if (m_missing.repairedCount() > 0)
        StatusBar1Click();
    if (stillMissing == 0)
        return;
    if (!m_missingDialog) {
        m_missingDialog = new Tmissingfiles(m_missing, m_catalog, m_questions, this);
    }
    m_missingDialog->setStartFolder(m_session.projectFolder());
    m_missingDialog->refresh();
    m_missingDialog->open();
}

bool TForm1::runSave(const QString &name, const std::function<ProjectFileResult()> &save)
{
    beginBusy();
    ProjectFileResult result;
    {
        // A save cannot stop halfway (it replaces the file in one step at its end): a bar in the
        // status bar shows how far it is, without a Cancel.
        const QScopedValueRollback working(m_longWork, m_longWork + 1);
        StatusProgress bar(statusBar(), QStringLiteral("saveprogress"));
        m_panels[2]->setText(m_catalog.extra(extratext::SavingProject).arg(name));
        m_session.setProgress(bar.receiver());
        result = save();
        m_session.setProgress({});
    }
    endBusy();
    m_session.setBusy(false);
    if (!result.ok) {
        error(result.message);
        return false;
    }
    // A backup that could not be written is said beside the status text; the save itself held.
    m_panels[2]->setText(m_catalog.msg(result.statusMessage ? result.statusMessage : 104) +
                         (result.warning.isEmpty() ? QString() : QStringLiteral("  ") + result.warning));
    rememberProject();
    dropRecovery();
    updateCaption();
    return true;
}

bool TForm1::openRecent(const QString &projectPath)
{
    if (!QFileInfo(projectPath).isFile()) {
        error(projectPath + u' ' + m_catalog.msg(116));
        return false;
    }
    m_presetOpen = projectPath;
    return projectOpenExecute();
}

bool TForm1::projectsaveExecute()
{
    if (m_session.projectFolder().isEmpty())
        return projectsaveunderExecute();
    return runSave(model().settings.projectName, [this] { return m_session.save(); });
}

bool TForm1::projectsaveunderExecute()
{
    const QString proposedName = model().settings.projectName + QStringLiteral(".adv");
    const QString proposed = m_session.projectFolder().isEmpty() ? proposedName
                                                                 : QDir(m_session.projectFolder()).filePath(proposedName);
    const QString chosen = m_questions.saveFile(this, m_catalog.msg(95), proposed, m_catalog.extra(extratext::ProjectFilter));
    if (chosen.isEmpty())
        return false;
    QString name = QFileInfo(chosen).fileName();
    if (name.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive))
        name.chop(4);
    return runSave(name, [this, chosen] { return m_session.saveAs(chosen); });
}

void TForm1::Action2Execute()
{
    m_wait->showwait(m_catalog.msg(121));
    const auto mistake = ScriptChecker(m_catalog).check(model());
    m_wait->hidewait();
    if (mistake) {
        error(mistake->text);
        // The script of the mistake opens at its line (frame lines have no script window).
        if (const auto key = ScriptKey::of(*mistake))
            requestScript(key->text(), std::max(1, mistake->problem.line));
    } else
        information(m_catalog.msg(179));
}

namespace {

// The window of an export or import: the step texts, a busy bar and Cancel. It is window-modal,
// so the main window takes no input while the work runs and lets the window repaint between
// steps.
class ExchangeProgressWindow
{
public:
    ExchangeProgressWindow(QWidget *parent, const QString &title, const MessageCatalog &catalog, QLabel *status)
        : m_dialog(title, catalog.extra(extratext::Cancel), 0, 0, parent), m_status(status)
    {
        m_dialog.setObjectName(QStringLiteral("exchangeprogress"));
        m_dialog.setWindowTitle(QStringLiteral("Mossbramble"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setMinimumWidth(420);
        m_dialog.show();
        QCoreApplication::processEvents();
    }
    ExchangeProgress progress()
    {
        return [this](const QString &step) {
            m_status->setText(step);
            m_dialog.setLabelText(step);
            QCoreApplication::processEvents();
        };
    }
    ExchangeCancel cancelled()
    {
        return [this] { return m_dialog.wasCanceled(); };
    }

private:
    QProgressDialog m_dialog;
    QLabel *m_status;
};

} // namespace

void TForm1::exportieren()
{
    projectsaveExecute();
    if (m_session.projectFolder().isEmpty() || m_session.isModified()) {
        error(m_catalog.msg(122));
        return;
    }
    const QString proposed = QDir(m_session.projectFolder()).filePath(model().settings.projectName + QStringLiteral(".adz"));
    QString chosen = m_questions.saveFile(this, m_catalog.msg(93), proposed, m_catalog.extra(extratext::ExportFilter));
    if (chosen.isEmpty())
        return;
    chosen = withExchangeExtension(chosen, QStringLiteral(".adz"));
    beginBusy();
    ExchangeResult result;
    {
        ExchangeProgressWindow window(this, m_catalog.msg(170), m_catalog, m_panels[2]);
        result = exportProject(m_session, chosen, window.progress(), window.cancelled());
    }
    endBusy();
    m_session.setBusy(false);
    if (result.cancelled) {
        m_panels[2]->setText(result.message);
        return;
    }
    if (!result.ok) {
        m_panels[2]->clear();
        error(result.message);
        return;
    }
    m_panels[2]->setText(m_catalog.msg(result.statusMessage ? result.statusMessage : 176));
    information(result.message);
}

void TForm1::importieren()
{
    if (!askSaveChanges())
        return;
    const QStringList chosen = m_questions.openFiles(this, m_catalog.msg(92), m_session.openFolder(),
                                                      m_catalog.extra(extratext::ExportFilter), false);
    if (chosen.isEmpty())
        return;
    const QString adz = chosen.first();
    m_panels[2]->setText(QFileInfo(adz).fileName() + u' ' + m_catalog.msg(162));
    beginBusy();
    const QStringList windows = closeResetWindows();
    ExchangeResult result;
    {
        ExchangeProgressWindow window(this, m_catalog.msg(161), m_catalog, m_panels[2]);
        // The trees repaint between the steps: the project changes only at the very end of a
        // successful import, after the last step.
        result = importProject(m_session, adz, window.progress(), window.cancelled());
    }
    if (result.ok)
        showNewTrees();
    endBusy();
    m_session.setBusy(false);
    reopen(windows);
    StatusBar1Click();
    updateCaption();
    if (result.cancelled) {
        m_panels[2]->setText(result.message);
        return;
    }
    if (!result.ok) {
        m_panels[2]->clear();
        error(result.message);
        return;
    }
    dropRecovery();
    m_panels[2]->setText(m_catalog.msg(result.statusMessage ? result.statusMessage : 167));
    information(result.message + (result.notes.isEmpty() ? QString() : u'\n' + result.notes.join(u'\n')));
}

} // namespace mb
