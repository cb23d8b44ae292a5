// Takes the manual's screenshots from the running editor, in English and German:
//   mossbramble-manual-shots PROJECT.adv OUTDIR
// writes OUTDIR/main-en.png, main-de.png (the main window with the project and its trees open)
// and setup-en.png, setup-de.png (the project setup dialog). Run it on a display (scripts/
// manual-screenshots.sh uses Xvfb) so that the pictures show the real window decorations' sizes.
#include "app/pooltreemodel.h"
#include "app/poolview.h"
#include "app/tform1.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

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
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mossbramble-manual-shots PROJECT.adv OUTDIR\n");
        return 2;
    }
    const QString project = QFileInfo(args[1]).absoluteFilePath();
    const QDir out(args[2]);
    out.mkpath(QStringLiteral("."));
    for (const QString lang : {QStringLiteral("EN"), QStringLiteral("DE")}) {
        QTemporaryDir editorFolder;
        EditorSettings settings(editorFolder.path());
        settings.writesetting(QStringLiteral("Lang"), lang);
        settings.writesetting(QStringLiteral("Backup"), QStringLiteral("aus"));
        MessageCatalog catalog(settings.startLanguage());
        ProjectModel model;
        model.editorFolder = editorFolder.path();
        model.allesneu(catalog);
        TForm1 window(model, catalog, settings);
        window.resize(1120, 700);
        window.show();
        window.FormActivate({project});
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        // Unfold the trees so that they show the project's elements and media.
        window.gamepool()->expandAll();
        window.mediapool()->expandAll();
        window.treeSplitter()->setSizes({360, 300});
        window.openToolWindow(QStringLiteral("room"));
        QTest::qWait(300);
        const QString suffix = lang.toLower();
        if (!save(&window, out.filePath(QStringLiteral("main-%1.png").arg(suffix))))
            return 1;
        window.setupgameExecute();
        QTest::qWait(300);
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !save(dialog, out.filePath(QStringLiteral("setup-%1.png").arg(suffix))))
            return 1;
        dialog->reject();
        model.modified = false;
        window.close();
    }
    return 0;
}
