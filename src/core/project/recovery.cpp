#include "project/recovery.h"

#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace mb {

namespace {

const char *const kName = "recovery";

} // namespace

QString Recovery::filePath() const
{
    return QDir(m_folder).filePath(QStringLiteral("recovery/recovery.adv"));
}

QString Recovery::notePath() const
{
    return QDir(m_folder).filePath(QStringLiteral("recovery/recovery.txt"));
}

bool Recovery::write(const ProjectSession &session, const QDateTime &now)
{
    const QString folder = QFileInfo(filePath()).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_error = folder + QStringLiteral(": cannot create the folder");
        return false;
    }
    const QString name = session.model().settings.projectName;
    const QString projectFolder = session.projectFolder();
    const ProjectFileResult saved = saveProject(session.model(), folder, QLatin1String(kName), SaveOptions(), now);
    if (!saved.ok) {
        m_error = saved.message;
        return false;
    }
    // Name, project file and time, one per line (UTF-8).
    const QString project = projectFolder.isEmpty() ? QString() : QDir(projectFolder).filePath(name + QStringLiteral(".adv"));
    QSaveFile note(notePath());
    if (!note.open(QIODevice::WriteOnly)
        || note.write((name + u'\n' + project + u'\n' + now.toString(Qt::ISODateWithMs) + u'\n').toUtf8()) < 0
        || !note.commit()) {
        m_error = note.errorString();
        return false;
    }
    return true;
}

Recovery::Found Recovery::find() const
{
    Found found;
    QFile note(notePath());
    if (!QFileInfo(filePath()).isFile() || !note.open(QIODevice::ReadOnly))
        return found;
    const QStringList lines = QString::fromUtf8(note.readAll()).split(u'\n');
    if (lines.size() < 3)
        return found;
    found.exists = true;
    found.projectName = lines[0];
    found.projectPath = lines[1];
    found.time = QDateTime::fromString(lines[2], Qt::ISODateWithMs);
    return found;
}

ProjectFileResult Recovery::restore(ProjectSession &session) const
{
    const Found found = find();
    auto restored = std::make_unique<ProjectModel>();
    restored->lastGameFolder = session.model().lastGameFolder;
    ProjectFileResult result = openProject(*restored, session.catalog(), filePath());
    if (!result.ok)
        return result;
    restored->settings.projectName = found.projectName;
    session.replace(std::move(restored),
                    found.projectPath.isEmpty() ? QString() : QFileInfo(found.projectPath).absolutePath());
    session.markModified();
    return result;
}

void Recovery::remove() const
{
    QFile::remove(filePath());
    QFile::remove(notePath());
}

} // namespace mb
