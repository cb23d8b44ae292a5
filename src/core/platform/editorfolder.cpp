#include "platform/editorfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace mb {

namespace {

const char *const kInstalledData = "../share/mossbramble";

// Whether this process may make files in the folder. The question is put with the effective
// ids, the ones the later writes of config.ini and backups/ run with; QFileInfo::isWritable()
// asks access(), which uses the real ids and so says yes to a process that changed its
// effective user (and to root on any folder).
bool mayCreateFilesIn(const QString &folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

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
    if (!isInstalledLayout(programFolder) && QFileInfo(programFolder).isDir() && mayCreateFilesIn(programFolder))
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
