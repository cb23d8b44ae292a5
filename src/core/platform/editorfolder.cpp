#include "platform/editorfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace mb {

namespace {

const char *const kInstalledData = "../share/mossbramble";

} // namespace

bool isInstalledLayout(const QString &programFolder)
{
    const QDir bin(programFolder);
    return bin.dirName() == QLatin1String("bin") && QFileInfo(bin.filePath(QLatin1String(kInstalledData))).isDir();
}

QString chooseEditorFolder(const QString &home, const QString &programFolder, const QString &dataHome)
{
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    // An installed program keeps the user's files in the data home even where it could write
    // beside itself (root, a prefix in the home folder): several users share one installation.
    if (!isInstalledLayout(programFolder) && QFileInfo(programFolder).isWritable())
        return programFolder;
    const QString folder = QDir(dataHome).absoluteFilePath(QStringLiteral("mossbramble"));
    QDir().mkpath(folder);
    return folder;
}

QString defaultEditorFolder()
{
    return chooseEditorFolder(qEnvironmentVariable("MOSSBRAMBLE_HOME"), QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString programDataFolder()
{
    const QString program = QCoreApplication::applicationDirPath();
    if (isInstalledLayout(program))
        return QDir::cleanPath(QDir(program).absoluteFilePath(QLatin1String(kInstalledData)));
    return program;
}

} // namespace mb
