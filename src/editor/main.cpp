// mossbramble: the editor.
#include "app/commandline.h"
#include "app/qttranslations.h"
#include "app/singleinstance.h"
#include "app/tform1.h"
#include "assets/asseteditorsetup.h"
#include "platform/editorfolder.h"
#include "preview/mediaplayback.h"
#include "preview/tform2.h"
#include "room/roomeditorsetup.h"
#include "script/scripteditorsetup.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    mb::MediaPlayback::selectBackend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mossbramble"));
    QApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));
    // Ties the windows to the installed desktop entry (icon and grouping under Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.mossbramble.Mossbramble"));
    const QStringList args = QApplication::arguments().mid(1);

    // One editor per user: a later start (a double click in the file manager) hands its project
    // to the running editor and ends.
    mb::SingleInstance instance;
    if (!instance.acquired()) {
        const QString path = mb::handOverPath(mb::parseStartupArguments(args).projectPath);
        if (instance.handOver(path))
            return 0;
        std::fprintf(stderr, "mossbramble: another editor runs (%s) but does not answer\n",
                     qPrintable(instance.lockPath()));
        return 1;
    }

    mb::EditorSettings settings(mb::defaultEditorFolder());
    mb::MessageCatalog catalog(settings.startLanguage());
    mb::installQtTranslations(catalog.language());
    mb::ProjectSession session(catalog);
    session.setEditorFolder(settings.editorFolder());

    mb::TForm1 window(session, catalog, settings);
    mb::TForm2::registerWith(window, session, catalog, settings);
    new mb::ScriptEditorSetup(window, session, catalog, settings); // owned by the window
    new mb::RoomEditorSetup(window, session, catalog, settings);   // owned by the window
    new mb::AssetEditorSetup(window, session, catalog, settings); // owned by the window
    window.show();
    // The first activation may open a project and show boxes: after the window is up.
    QTimer::singleShot(0, &window, [&window, args] { window.FormActivate(args); });
    QObject::connect(&instance, &mb::SingleInstance::projectRequested, &window, &mb::TForm1::openRequested);
    return app.exec();
}
