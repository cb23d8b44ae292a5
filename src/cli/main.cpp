// mossbramble-cli: the editor's operations without windows, over the same core.
#include "cli/clicontext.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    // Fonts are measured and drawn with Qt's font engine, which needs a GUI application; the
    // offscreen platform gives one without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("mossbramble-cli"));
    QGuiApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    return mb::cli::run(QGuiApplication::arguments());
}
