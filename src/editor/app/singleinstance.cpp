#include "app/singleinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace mb {

SingleInstance::SingleInstance(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QString file = name + QStringLiteral(".lock");
    if (folder.isEmpty()) {
        // The temporary folder is shared by all users: the user name keeps the locks apart.
        folder = QDir::tempPath();
        QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
        file = name + u'-' + user + QStringLiteral(".lock");
    }
    m_path = QDir(folder).filePath(file);
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a lock whose process is gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
}

} // namespace mb
