// mossbramble: the editor.
#include "app/tform1.h"
#include "platform/editorfolder.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mossbramble"));
    QApplication::setApplicationVersion(QStringLiteral(MOSSBRAMBLE_VERSION));

    mb::EditorSettings settings(mb::defaultEditorFolder());
    mb::MessageCatalog catalog(settings.startLanguage());
    mb::ProjectModel model;
    model.editorFolder = settings.editorFolder();
    model.allesneu(catalog);

    mb::TForm1 window(model, catalog, settings);
    window.show();
    return app.exec();
}
