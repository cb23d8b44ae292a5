#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace mb {

class ProjectModel;
struct RFont;

// The font files of a game's data folder and the step of make game that writes them.
//
// For font number i and page p the names are plain concatenations: pages "font<i>.bm<p>" and
// "font<i>.al<p>", the metrics "fontdata.00<i>", the font's archive "font.00<i>" (so font 10
// gives "font.0010"). The game reads them from "fonts.dat".
class FontFiles
{
public:
    static QString pageName(int font, int page, bool alpha);
    static QString dataName(int font);
    static QString archiveName(int font);
    static QString packName() { return QStringLiteral("fonts.dat"); }
    static QString runtimeFileName() { return QStringLiteral("font.dat"); }

    // Called with the font number before each font is rendered.
    using Progress = std::function<void(int font)>;

    // Renders font `number` and writes <folder>/font.00<number>: a zip (deflate level 9, bare
    // names) holding each page's colour and then alpha bitmap in page order, then the
    // fontdata file. The pages never touch the disk. Returns false with *error naming the file
    // when it cannot be written, or when the font's cell does not fit on a page. A valid
    // `stamp` is the modification time of every entry (else the time of writing).
    static bool renderFont(const RFont &font, int number, const QString &folder, QString *error,
                           const QDateTime &stamp = {});

    // The font step of make game: renders fonts 1.. fontCount() of the model and packs their
    // archives into <folder>/fonts.dat (stored, level 0, in font order). An existing fonts.dat
    // is deleted first, so after a failure there is none; the single font archives are removed
    // again in any case. The folder must exist.
    // A project without font 1 writes nothing and fails (make game reports that before it gets
    // here). Needs a QGuiApplication (FontRenderer::available()); without one it fails.
    // A valid `stamp` is the modification time of every entry of fonts.dat and of the font
    // archives in it, so that the same fonts give the same bytes.
    static bool renderProjectFonts(const ProjectModel &model, const QString &folder,
                                   QString *error, const Progress &progress = {},
                                   const QDateTime &stamp = {});

    // Copies <editorFolder>/font.dat to <folder>/font.dat, replacing an older copy.
    static bool copyRuntimeFile(const QString &editorFolder, const QString &folder,
                                QString *error);
};

} // namespace mb
