// mossbramble-cli: the editor's operations without windows, over the same core.
#include "cli/clicontext.h"
#include "platform/headless.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <memory>

int main(int argc, char **argv)
{
    // Fonts are measured and drawn with Qt's font engine, which needs a GUI application; the
    // offscreen platform gives one without a display. Commands that never draw start on a core
    // application, without loading the platform at all.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> app;
    if (mb::cli::runsWithoutWindowSystem(arguments)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        mb::prepareHeadlessEnvironment();
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("mossbramble-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    return mb::cli::run(QCoreApplication::arguments());
}
