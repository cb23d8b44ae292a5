#include "tools/languagetextfile.h"

#include "platform/ansicodec.h"
#include "project/projectmodel.h"

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

QString defaultFolder(const ProjectModel &model, const QString &name)
{
    return QDir(model.projectFolder.isEmpty() ? model.editorFolder : model.projectFolder).filePath(name);
}

} // namespace mb::langfile
