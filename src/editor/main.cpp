// mossbramble: the editor.
#include "app/singleinstance.h"
#include "app/tform1.h"
#include "platform/editorfolder.h"
#include "preview/mediaplayback.h"
#include "preview/tform2.h"
#include "script/scripteditorsetup.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    mb::MediaPlayback::selectBackend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mossbramble"));
    QApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));

    // One editor per user: a second start ends without a word.
    mb::SingleInstance instance;
    if (!instance.acquired())
        return 0;

    mb::EditorSettings settings(mb::defaultEditorFolder());
    mb::MessageCatalog catalog(settings.startLanguage());
    auto model = std::make_unique<mb::ProjectModel>();
    model->editorFolder = settings.editorFolder();
    model->allesneu(catalog);

    mb::TForm1 window(*model, catalog, settings);
    mb::TForm2::registerWith(window, *model, catalog, settings);
    new mb::ScriptEditorSetup(window, *model, catalog, settings); // owned by the window
    window.show();
    // The first activation may open a project and show boxes: after the window is up.
    const QStringList args = QApplication::arguments().mid(1);
    QTimer::singleShot(0, &window, [&window, args] { window.FormActivate(args); });
    return app.exec();
}
