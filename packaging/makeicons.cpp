// Writes the application icon into an icon theme tree:
//   mossbramble-make-icons DIR    DIR/hicolor/NxN/apps/ID.png and DIR/hicolor/scalable/apps/ID.svg
#include "platform/appicon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mossbramble-make-icons DIR\n");
        return 2;
    }
    const QString id = QStringLiteral("org.mossbramble.Mossbramble");
    const QDir root(args[1] + QStringLiteral("/hicolor"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        root.mkpath(folder);
        const QString file = root.filePath(folder + u'/' + id + QStringLiteral(".png"));
        if (!mb::drawAppIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    root.mkpath(QStringLiteral("scalable/apps"));
    QFile svg(root.filePath(QStringLiteral("scalable/apps/") + id + QStringLiteral(".svg")));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(mb::appIconSvg()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
