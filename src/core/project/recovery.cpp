#include "project/recovery.h"

#include "project/projectmodel.h"

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

bool Recovery::write(ProjectModel &model, const QDateTime &now)
{
    const QString folder = QFileInfo(filePath()).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_error = folder + QStringLiteral(": cannot create the folder");
        return false;
    }
    // The writer records the name and folder it saved to and clears the modified flag; the copy
    // must leave the open project exactly as it was.
    const QString name = model.settings.projectName;
    const QString projectFolder = model.projectFolder;
    const bool modified = model.modified, busy = model.busy, backup = model.makeBackup,
               companions = model.keepCompanionFiles;
    model.makeBackup = false;
    model.keepCompanionFiles = false;
    const ProjectFileResult saved = saveProject(model, folder, QLatin1String(kName), now);
    model.settings.projectName = name;
    model.projectFolder = projectFolder;
    model.modified = modified;
    model.busy = busy;
    model.makeBackup = backup;
    model.keepCompanionFiles = companions;
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

ProjectFileResult Recovery::restore(ProjectModel &model, const MessageCatalog &catalog) const
{
    const Found found = find();
    const QString openFolder = model.openFolder;
    ProjectFileResult result = openProject(model, catalog, filePath());
    model.openFolder = openFolder;
    if (!result.ok)
        return result;
    model.settings.projectName = found.projectName;
    model.projectFolder = found.projectPath.isEmpty() ? QString() : QFileInfo(found.projectPath).absolutePath();
    model.modified = true;
    return result;
}

void Recovery::remove() const
{
    QFile::remove(filePath());
    QFile::remove(notePath());
}

} // namespace mb
