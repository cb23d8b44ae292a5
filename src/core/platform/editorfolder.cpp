#include "platform/editorfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace mb {

QString defaultEditorFolder()
{
    const QString home = qEnvironmentVariable("MOSSBRAMBLE_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
}

} // namespace mb
