// mossbramble-cli: the editor's operations without windows, over the same core.
#include "cli/clicontext.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mossbramble-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    return mb::cli::run(QCoreApplication::arguments());
}
