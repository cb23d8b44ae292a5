#include "tools/languagetextfile.h"

#include "platform/ansicodec.h"
#include "project/projectsession.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace mb::langfile {

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += ansi::encode(line);
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

bool removeIfExists(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    return false;
}

bool makeFolder(const QString &folder, QString *error)
{
    if (QDir().mkpath(folder))
        return true;
    if (error)
        *error = QDir::toNativeSeparators(folder) + QStringLiteral(": cannot create the folder");
    return false;
}

QString defaultFolder(const ProjectSession &session, const QString &name)
{
    const QString &project = session.projectFolder();
    return QDir(project.isEmpty() ? session.editorFolder() : project).filePath(name);
}

} // namespace mb::langfile
