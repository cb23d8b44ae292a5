// Takes the manual's screenshots from the running editor, in English and German:
//   mossbramble-manual-shots PROJECT.adv OUTDIR
// writes OUTDIR/main-en.png, main-de.png (the main window with the project and its trees open)
// and setup-en.png, setup-de.png (the project setup dialog). Run it on a display (scripts/
// manual-screenshots.sh uses Xvfb) so that the pictures show the real window decorations' sizes.
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"
#include "preview/mediaplayback.h"
#include "assets/asseteditorsetup.h"
#include "preview/tform2.h"
#include "project/projectsession.h"
#include "room/roomeditorsetup.h"
#include "script/scripteditorsetup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <cstdio>

using namespace mb;

namespace {

bool save(QWidget *w, const QString &path)
{
    const bool ok = w->grab().save(path, "PNG");
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    MediaPlayback::selectBackend();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mossbramble-manual-shots PROJECT.adv OUTDIR\n");
        return 2;
    }
    const QString projectPath = QFileInfo(args[1]).absoluteFilePath();
    const QDir out(args[2]);
    out.mkpath(QStringLiteral("."));
    for (const QString lang : {QStringLiteral("EN"), QStringLiteral("DE")}) {
        QTemporaryDir editorFolder;
        EditorSettings settings(editorFolder.path());
        settings.writesetting(QStringLiteral("Lang"), lang);
        settings.writesetting(QStringLiteral("Backup"), QStringLiteral("aus"));
        MessageCatalog catalog(settings.startLanguage());
        ProjectSession session(catalog);
        session.setEditorFolder(editorFolder.path());
        // The tool windows as the editor registers them.
        TForm1 window(session, catalog, settings);
        TForm2::registerWith(window, session, catalog, settings);
        new ScriptEditorSetup(window, session, catalog, settings);
        new RoomEditorSetup(window, session, catalog, settings);
        new AssetEditorSetup(window, session, catalog, settings);
        const ProjectModel &model = session.model();
        window.resize(1260, 740);
        window.show();
        window.FormActivate({projectPath});
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        // Unfold the trees so that they show the project's elements and media.
        window.gamepool()->expandAll();
        window.mediapool()->expandAll();
        window.treeSplitter()->setSizes({360, 300});
        // The script editor on a script and the preview on a background, side by side.
        auto child = [](TreeNode *root, const char *name) -> TreeNode * {
            TreeNode *found = nullptr;
            std::function<void(TreeNode *)> walk = [&](TreeNode *n) {
                if (!found && n->text == QLatin1String(name))
                    found = n;
                for (const auto &c : n->children)
                    walk(c.get());
            };
            walk(root);
            return found;
        };
        if (TreeNode *script = child(model.gameTree.root(Scripts), "intro")) {
            window.gamepool()->selectNode(script);
            window.gamepoolDblClick(script);
        }
        if (TreeNode *image = child(model.mediaTree.root(Images), "meadow")) {
            window.mediapool()->selectNode(image);
            window.mediapoolDblClick(image);
        }
        QTest::qWait(300);
        window.windowtile();
        QTest::qWait(500);
        const QString suffix = lang.toLower();
        if (!save(&window, out.filePath(QStringLiteral("main-%1.png").arg(suffix))))
            return 1;
        window.setupgameExecute();
        QTest::qWait(300);
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !save(dialog, out.filePath(QStringLiteral("setup-%1.png").arg(suffix))))
            return 1;
        dialog->reject();
        // Nothing was changed: the window closes without a question.
        session.newProject();
        window.close();
    }
    return 0;
}
