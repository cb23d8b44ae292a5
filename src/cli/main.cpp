// mossbramble-cli: the editor's operations without windows, over the same core.
#include "cli/clicontext.h"
#include "platform/headless.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    // Fonts are measured and drawn with Qt's font engine, which needs a GUI application; the
    // offscreen platform gives one without a display.
    mb::prepareHeadlessEnvironment();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("mossbramble-cli"));
    QGuiApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    return mb::cli::run(QGuiApplication::arguments());
}
