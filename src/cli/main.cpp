// mossbramble-cli: the editor's operations without windows, over the same core.
#include "cli/clicontext.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    // Fonts are measured and drawn with Qt's font engine, which needs a GUI application; the
    // offscreen platform gives one without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session there is no runtime folder; give Qt a private one instead of
    // letting it warn on every run.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/mossbramble-runtime-" + QByteArray::number(uint(getuid()));
        if (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("mossbramble-cli"));
    QGuiApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    return mb::cli::run(QGuiApplication::arguments());
}
