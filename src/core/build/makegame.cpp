#include "build/makegame.h"

#include "build/buildpassword.h"
#include "build/buildquestions.h"
#include "build/fontfiles.h"
#include "build/gamedata.h"
#include "build/imagesplitter.h"
#include "build/textmarkers.h"
#include "platform/peicon.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"
#include "project/texthelpers.h"
#include "script/scriptchecker.h"
#include "tools/languageupdate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>
#include <thread>
#include <vector>

namespace mb {

namespace {

// Catalog numbers.
enum : int {
    MsgCheckingProject = 114, MsgTheFile = 115, MsgNotExistent = 116, MsgNoFont = 117,
    MsgNoStartScript = 118, MsgNoTaskbarRoom = 119, MsgNoMenuRoom = 120, MsgCheckingScripts = 121,
    MsgSaveFirst = 122, MsgUpdateGame = 123, MsgCreatingGame = 124, MsgRenderingFonts = 125,
    MsgCopyingGamedata = 126, MsgCopyingDlls = 127, MsgCreatingGfx = 129, MsgGameCreated = 133,
    MsgCreatedUnder = 134, MsgCreatedEnd = 135, MsgStartNow = 136, MsgStartCutscene = 283,
    MsgEditorFolder = 375, MsgNoLoadingImage = 404, MsgNoTextsceneImage = 424, MsgNoCoinRoom = 472,
    MsgUpdatingLanguages = 534, MsgSplittingPng = 535,
};


constexpr int kGameDataLevel = 9;
constexpr int kMediaLevel = 0;

const QString kEngine = QStringLiteral("engine.dat");
const QString kSettingsEngine = QStringLiteral("engine.da2");
const QString kSoundLibrary = QStringLiteral("bass.dll");
const QString kUnzipLibrary = QStringLiteral("unzdll.dll");
const QString kSettingsProgram = QStringLiteral("Settings.exe");

QString bareName(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(sep + 1);
}

bool isFile(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

bool sameFolder(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a), fb(b);
    if (QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath()))
        return true;
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

// Replaces `target` with a copy of `source`; a failed copy leaves no partial target.
bool copyReplacing(const QString &source, const QString &target, QString *error, bool keepDate = false)
{
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        *error = target + QStringLiteral(": cannot be replaced");
        return false;
    }
    QFile in(source);
    if (!in.copy(target)) {
        *error = target + QStringLiteral(": ") + in.errorString();
        QFile::remove(target);
        return false;
    }
    if (keepDate) {
        QFile out(target);
        if (out.open(QIODevice::ReadWrite))
            out.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    }
    return true;
}

QByteArray readAll(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return {};
    }
    return f.readAll();
}

} // namespace

const QStringList &MakeGame::runtimeFiles()
{
    static const QStringList files{kEngine, kSettingsEngine, FontFiles::runtimeFileName(), kSoundLibrary,
                                   kUnzipLibrary};
    return files;
}

QString MakeGame::archiveName(int mediaKind)
{
    switch (mediaKind) {
    case Images: return QStringLiteral("gfx.dat");
    case Sounds: return QStringLiteral("sfx.dat");
    case Music: return QStringLiteral("music.dat");
    case Movies: return QStringLiteral("movie.dat");
    default: return {};
    }
}

MakeGame::MakeGame(ProjectSession &session, BuildQuestions &questions)
    : m_session(session), m_catalog(session.catalog()), m_questions(questions)
{
}

MakeGame::~MakeGame() { removeCompanionFiles(); }

QString MakeGame::msg(int n) const { return m_catalog.msg(n); }

void MakeGame::status(const QString &text)
{
    if (m_progress)
        m_progress(text);
}

void MakeGame::stepStatus(const QString &text)
{
    status(text);
    count(0, 0);
}

void MakeGame::count(int done, int total)
{
    if (m_count)
        m_count(done, total);
}

void MakeGame::problem(Result &result, const QString &text)
{
    result.problems << text;
    if (m_problem)
        m_problem(text);
}

void MakeGame::removeCompanionFiles()
{
    for (const QString &path : std::as_const(m_companionFiles))
        QFile::remove(path);
    m_companionFiles.clear();
}

MakeGame::Result MakeGame::prepare()
{
    const ProjectModel &m = m_session.model();
    const GameSettings &s = m.settings;
    Result result;
    m_programFile.clear();
    m_problems.clear();
    removeCompanionFiles();

    auto refuse = [&](const QString &text) {
        result.outcome = Result::Refused;
        result.message = text;
        return result;
    };
    auto missingFile = [&](const QString &path) {
        return refuse(msg(MsgTheFile) + u' ' + path + u' ' + msg(MsgNotExistent));
    };

    {
        QString error;
        const std::optional<BuildStamp> stamp = BuildStamp::fromEnvironment(&error);
        if (!stamp)
            return refuse(error);
        m_stamp = *stamp;
    }

    stepStatus(msg(MsgCheckingProject));
    const MediaTable &images = m.media[Images];
    for (int i = 1; i <= images.size(); ++i)
        if (!images.name(i).isEmpty() && !isFile(images.path(i)))
            return missingFile(images.path(i));

    if (s.useTextsceneBg && !s.textsceneBg.isEmpty()) {
        const int slot = images.find(text::asciiLower(s.textsceneBg));
        if (slot == 0)
            return refuse(msg(MsgNoTextsceneImage));
        if (!isFile(images.path(slot)))
            return missingFile(images.path(slot));
    }
    if (!s.loadingImage.isEmpty()) {
        const int slot = images.find(text::asciiLower(s.loadingImage));
        if (slot == 0)
            return refuse(msg(MsgNoLoadingImage));
        if (!isFile(images.path(slot)))
            return missingFile(images.path(slot));
    }
    for (int kind : {int(Music), int(Sounds), int(Movies)}) {
        const MediaTable &t = m.media[kind];
        for (int i = 1; i <= t.size(); ++i)
            if (!t.name(i).isEmpty() && !isFile(t.path(i)))
                return missingFile(t.path(i));
    }
    if (m.fonts[1].name.isEmpty())
        return refuse(msg(MsgNoFont));
    if (s.startScript.isEmpty())
        return refuse(msg(MsgNoStartScript));
    {
        const QString start = text::asciiLower(s.startScript);
        bool found = false;
        for (int i = 1; i <= ProjectModel::MaxScripts && !found; ++i)
            found = !m.cutscenes[i].name.isEmpty() && text::asciiLower(m.cutscenes[i].name) == start;
        if (!found)
            problem(result, msg(MsgStartCutscene) + u' ' + msg(MsgNotExistent));
    }
    if (s.bedienfeld && s.taskRoom.isEmpty())
        return refuse(msg(MsgNoTaskbarRoom));
    if (s.coinInterface && s.coinRoom.isEmpty())
        return refuse(msg(MsgNoCoinRoom));
    if (s.ownMenu && s.ownMenuRoom.isEmpty())
        return refuse(msg(MsgNoMenuRoom));

    stepStatus(msg(MsgCheckingScripts));
    if (const auto mistake = ScriptChecker(m_catalog).check(m)) {
        status(QString());
        return refuse(mistake->text);
    }

    updateLanguageLists(m_session);

    const QString projectFolder = m_session.projectFolder();
    if (projectFolder.isEmpty() || s.projectName.isEmpty())
        return refuse(msg(MsgSaveFirst));
    const QString projectName = s.projectName;
    // Registered before the save, so that a save that fails half way leaves none of them either.
    for (int i = 1; i <= 4; ++i)
        m_companionFiles << QDir(projectFolder).filePath(projectName + QStringLiteral(".00%1").arg(i));
    const ProjectFileResult saved = m_session.save(true);
    if (!saved.ok || m_session.isModified()) {
        removeCompanionFiles();
        return refuse(msg(MsgSaveFirst) + (saved.message.isEmpty() ? QString() : u'\n' + saved.message));
    }

    QString file;
    if (m_session.gameBuiltOnce()) {
        if (m_questions.updatePreviousGame(msg(MsgUpdateGame)))
            file = QDir(m.lastGameFolder).filePath(projectName + QStringLiteral(".exe"));
        else
            m_session.setGameBuiltOnce(false);
    }
    if (file.isEmpty()) {
        file = m_questions.chooseProgramFile(projectName + QStringLiteral(".exe"), m.lastGameFolder);
        if (file.isEmpty()) {
            removeCompanionFiles();
            m_session.setBusy(false);
            result.outcome = Result::Cancelled;
            return result;
        }
    }
    file = QFileInfo(file).absoluteFilePath();
    result.programFile = file;
    if (sameFolder(QFileInfo(file).absolutePath(), m_session.editorFolder())) {
        removeCompanionFiles();
        return refuse(msg(MsgEditorFolder));
    }
    m_programFile = file;
    m_problems = result.problems;
    result.outcome = Result::Ready;
    return result;
}

MakeGame::Result MakeGame::build()
{
    const ProjectModel &m = m_session.model();
    const QString editorFolder = m_session.editorFolder();
    const GameSettings &s = m.settings;
    Result result;
    result.problems = m_problems;
    if (m_programFile.isEmpty()) {
        result.message = QStringLiteral("No program file was chosen for the game.");
        return result;
    }

    QString file = m_programFile;
    if (!file.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        file += QStringLiteral(".exe");
    result.programFile = file;
    const QString gameFolder = QFileInfo(file).absolutePath();
    const QDir game(gameFolder);
    const QDir editor(editorFolder);
    const QString dataFolder = game.filePath(QStringLiteral("data"));
    const QDir data(dataFolder);

    // The game data is read and gets its text markers before anything is written: a text whose
    // index a marker cannot carry would play untranslated, so it stops the build.
    std::array<QByteArray, 5> files;
    for (int i = 0; i < 4; ++i) {
        QString error;
        const QString path = QDir(m_session.projectFolder()).filePath(s.projectName + QStringLiteral(".00%1").arg(i + 1));
        files[size_t(i)] = isFile(path) ? readAll(path, &error) : QByteArray();
        if (!isFile(path) || !error.isEmpty()) {
            removeCompanionFiles();
            result.message = error.isEmpty() ? path + QStringLiteral(": not found") : error;
            return result;
        }
    }
    // game.004 stays as saved; the markers index the lists as they are without the new-text
    // marks, and the project keeps them removed for the next save (an undo step).
    const LangLists marked = m.origin;
    m_session.edit(uiText(UiText::MakeGame, m_catalog.language()), table::Origin,
                   [](ProjectEdit &e) { removeNewMarks(e.model()); });
    TextMarkers::Overflow overflow;
    files[2] = TextMarkers::applyToFile(files[2], QChar(u';'), m.origin, &overflow);
    files[1] = TextMarkers::applyToFile(files[1], text::kEscapedSemicolon, m.origin, &overflow);
    if (overflow.happened()) {
        // No game: the translator's marks of new texts stay.
        if (m.origin != marked)
            m_session.undoStack()->undo();
        removeCompanionFiles();
        result.outcome = Result::Refused;
        result.message = m_catalog.extra(extratext::TooManyTexts)
                             .arg(overflow.text, QString::number(overflow.index),
                                  QLatin1String(LangLists::listName(overflow.list)),
                                  QString::number(TextMarkers::MaxIndex));
        return result;
    }

    m_session.setBusy(true);
    stepStatus(msg(MsgCreatingGame));
    // The folder of the game goes into the project file with the next save.
    m_session.setLastGameFolder(gameFolder);
    m_session.markModified();

    auto fail = [&](const QString &text) {
        removeCompanionFiles();
        m_session.setBusy(false);
        status(QString());
        result.outcome = Result::Failed;
        result.message = text;
        return result;
    };
    QStringList missingRuntime, failedCopies;
    auto copyRuntime = [&](const QString &name, const QString &target) {
        const QString source = editor.filePath(name);
        if (editorFolder.isEmpty() || !isFile(source)) {
            missingRuntime << name;
            return false;
        }
        QString error;
        if (!copyReplacing(source, target, &error)) {
            failedCopies << error;
            problem(result, error);
            return false;
        }
        return true;
    };

    if (!QDir().mkpath(dataFolder))
        return fail(dataFolder + QStringLiteral(": cannot create the folder"));

    // The loading image goes under a fixed name; the runtime looks for each of these.
    if (!s.loadingImage.isEmpty()) {
        const int slot = m.media[Images].find(text::asciiLower(s.loadingImage));
        if (slot > 0) {
            for (const char *ext : {"bmp", "tga", "jpg", "gif", "png"})
                QFile::remove(data.filePath(QStringLiteral("loading.") + QLatin1String(ext)));
            const QString path = m.media[Images].path(slot);
            QString ext = text::asciiLower(QStringView(path).right(3));
            if (ext == QLatin1String("peg") && text::asciiLower(path).endsWith(QLatin1String(".jpeg")))
                ext = QStringLiteral("jpg");
            QString error;
            if (!copyReplacing(path, data.filePath(QStringLiteral("loading.") + ext), &error, true))
                problem(result, error);
        }
    }

    // What game.dat and the fonts are made from is the project file.
    const QDateTime projectStamp =
        m_stamp.forFile(QDir(m_session.projectFolder()).filePath(s.projectName + QStringLiteral(".adv")));

    stepStatus(msg(MsgRenderingFonts));
    {
        QString error;
        if (!FontFiles::renderProjectFonts(
                m, dataFolder, &error,
                [&](int font) {
                    status(msg(MsgRenderingFonts) + QStringLiteral(" : ") + FontFiles::archiveName(font));
                },
                projectStamp))
            return fail(error);
        if (isFile(editor.filePath(FontFiles::runtimeFileName())) && !editorFolder.isEmpty()) {
            if (!FontFiles::copyRuntimeFile(editorFolder, dataFolder, &error)) {
                failedCopies << error;
                problem(result, error);
            }
        } else {
            missingRuntime << FontFiles::runtimeFileName();
        }
    }

    stepStatus(msg(MsgCopyingGamedata));
    stepStatus(msg(MsgUpdatingLanguages));

    stepStatus(msg(MsgSplittingPng));
    const bool protect = s.protect;
    QTemporaryDir splitFolder(QDir::temp().filePath(QStringLiteral("mossbramble-split-XXXXXX")));
    if (!splitFolder.isValid())
        return fail(splitFolder.path() + QStringLiteral(": ") + splitFolder.errorString());
    MediaTable buildImages = m.media[Images];
    GameData::ImageList imageList = GameData::rewriteImageList(files[0], buildImages, editorFolder, splitFolder.path());
    if (!imageList.ok())
        return fail(imageList.error);
    files[0] = imageList.file;

    // The entries of each media archive: the file packed and the file its time comes from (the
    // PNG for the two halves of a split image).
    struct ArchiveEntry
    {
        QString path, source;
    };
    static const int kinds[4] = {Images, Sounds, Music, Movies};
    std::array<std::vector<ArchiveEntry>, 4> listed;
    {
        QHash<QString, QString> splitSource;
        for (const ImageSplitter::Job &job : imageList.splits)
            splitSource.insert(job.colourPath, job.source);
        for (int k = 0; k < 4; ++k) {
            const MediaTable &table = kinds[k] == Images ? buildImages : m.media[size_t(kinds[k])];
            for (int i = 1; i <= table.size(); ++i) {
                if (table.name(i).isEmpty())
                    continue;
                const QString &path = table.path(i);
                const QString source = splitSource.value(path, path);
                listed[size_t(k)].push_back({path, source});
                if (kinds[k] == Images && path.endsWith(QLatin1String("pnj")))
                    listed[size_t(k)].push_back({path.left(path.size() - 1) + u'a', source});
            }
        }
    }
    // An update keeps an archive only when it is what this build would write (see build()):
    // a protected build before, or a file changed behind the editor's back, shows in the entries.
    auto provenCurrent = [&](int k) {
        const int kind = kinds[k];
        const QString path = data.filePath(archiveName(kind));
        if (!m_session.gameBuiltOnce() || m_session.mediaChanged(kind) || protect || !QFileInfo::exists(path))
            return false;
        ZipReader zip(path);
        if (!zip.isOpen())
            return false;
        QStringList expected;
        for (const ArchiveEntry &e : listed[size_t(k)])
            expected << bareName(e.path);
        if (zip.entryNames() != expected || expected.isEmpty())
            return false;
        for (const ArchiveEntry &e : listed[size_t(k)]) {
            if (!isFile(e.source))
                return false;
            const std::optional<ZipReader::EntryStat> st = zip.stat(bareName(e.path));
            if (!st || st->encrypted || !BuildStamp::sameStamp(st->modified, m_stamp.forFile(e.source)))
                return false;
            // Split halves do not exist yet; their PNG's time stands for them.
            if (e.path == e.source && st->size != QFileInfo(e.path).size())
                return false;
        }
        return true;
    };
    std::array<bool, 4> reuse{};
    for (int k = 0; k < 4; ++k)
        reuse[size_t(k)] = provenCurrent(k);

    if (!reuse[0]) {
        const int splitCount = int(imageList.splits.size());
        count(0, splitCount);
        const std::vector<ImageSplitter::Result> splits =
            ImageSplitter::splitAll(imageList.splits, m_threads, [&](int i) {
                status(msg(MsgSplittingPng) + QStringLiteral(" : ") + imageList.splits[size_t(i)].source);
                count(i + 1, splitCount);
            });
        for (const ImageSplitter::Result &r : splits) {
            if (r.status == ImageSplitter::Result::NotDecoded)
                return fail(r.error);
            if (r.status == ImageSplitter::Result::NotWritten)
                problem(result, r.error);
        }
    }

    if (protect) {
        QRandomGenerator random = QRandomGenerator::securelySeeded();
        result.password = BuildPassword::generate(random);
        files[4] = BuildPassword::game005(result.password);
    }

    {
        const QString packPath = data.filePath(GameData::packName());
        if (QFileInfo::exists(packPath) && !QFile::remove(packPath))
            return fail(packPath + QStringLiteral(": cannot be replaced"));
        ZipWriter pack(packPath);
        if (!pack.isOpen())
            return fail(pack.errorString());
        pack.setEntryTime(projectStamp);
        for (int i = 0; i < (protect ? 5 : 4); ++i)
            if (!pack.addBytes(GameData::fileName(i + 1), files[size_t(i)], kGameDataLevel))
                return fail(packPath + QStringLiteral(": ") + pack.errorString());
        if (!pack.close())
            return fail(pack.errorString());
    }
    removeCompanionFiles();

    std::vector<std::unique_ptr<ZipWriter>> archives;
    for (int k = 0; k < 4; ++k) {
        const int kind = kinds[k];
        if (reuse[size_t(k)])
            continue;
        const QString step = msg(MsgCreatingGfx + k);
        stepStatus(step);
        const QString archivePath = data.filePath(archiveName(kind));
        if (QFileInfo::exists(archivePath) && !QFile::remove(archivePath))
            return fail(archivePath + QStringLiteral(": cannot be replaced"));
        if (listed[size_t(k)].empty())
            continue;
        auto zip = std::make_unique<ZipWriter>(archivePath);
        if (!zip->isOpen())
            return fail(zip->errorString());
        int archived = 0;
        for (const ArchiveEntry &entry : listed[size_t(k)]) {
            const QString &path = entry.path;
            status(step + QStringLiteral(" : ") + path);
            count(archived++, int(listed[size_t(k)].size()));
            if (!isFile(path)) {
                problem(result, kind == Images ? QStringLiteral("Grafik fehlt : ") + path
                                               : msg(MsgTheFile) + u' ' + path + u' ' + msg(MsgNotExistent));
                continue;
            }
            zip->setEntryTime(m_stamp.forFile(entry.source));
            if (!zip->addFile(bareName(path), path, kMediaLevel, result.password))
                return fail(archivePath + QStringLiteral(": ") + zip->errorString());
        }
        count(int(listed[size_t(k)].size()), int(listed[size_t(k)].size()));
        archives.push_back(std::move(zip));
    }
    // The archives are written when they are closed; they are separate files, so they are
    // written side by side.
    {
        std::vector<char> closed(archives.size(), 0);
        std::vector<std::thread> writers;
        for (size_t i = 0; i < archives.size(); ++i)
            writers.emplace_back([&, i] { closed[i] = archives[i]->close() ? 1 : 0; });
        for (std::thread &t : writers)
            t.join();
        for (size_t i = 0; i < archives.size(); ++i)
            if (!closed[i])
                return fail(archives[i]->errorString());
    }

    stepStatus(msg(MsgCopyingDlls));
    copyRuntime(kSoundLibrary, game.filePath(kSoundLibrary));
    if (!QFileInfo::exists(data.filePath(kUnzipLibrary)))
        copyRuntime(kUnzipLibrary, data.filePath(kUnzipLibrary));

    const QString icon = s.gameIcon;
    const bool hasIcon = isFile(icon);
    // A program whose icon cannot be replaced keeps its own; the build goes on and says why.
    auto replaceIcon = [&](const QString &program) {
        QString why;
        if (!PeIcon::replaceProgramIcon(program, icon, &why))
            problem(result, QStringLiteral("The game icon was not applied: ") + why);
    };
    if (copyRuntime(kEngine, file) && hasIcon)
        replaceIcon(file);
    const QString settingsProgram = game.filePath(kSettingsProgram);
    if (copyRuntime(kSettingsEngine, settingsProgram) && hasIcon)
        replaceIcon(settingsProgram);

    m_session.setMediaChanged({false, false, false, false});
    stepStatus(msg(MsgGameCreated));
    result.outcome = Result::Built;
    result.missingRuntimeFiles = missingRuntime;
    QStringList warning;
    if (!missingRuntime.isEmpty())
        warning << m_catalog.extra(missingRuntime.size() == 1 ? extratext::NoRuntime : extratext::NoRuntimeMany)
                       .arg(missingRuntime.join(QStringLiteral(", ")),
                            m_session.editorFolder().isEmpty() ? QStringLiteral("-") : QDir::toNativeSeparators(m_session.editorFolder()));
    if (!failedCopies.isEmpty())
        warning << m_catalog.extra(extratext::RuntimeNotCopied).arg(failedCopies.join(QStringLiteral("; ")));
    result.message = warning.join(u'\n');

    if (isFile(file) && (GameStarter::findWine(m_wine).isEmpty() || !GameStarter::isWindowsProgram(file))) {
        // Asking "Start now?" would only lead to an error: say how the game can be started.
        result.startHint = m_catalog.extra(GameStarter::isWindowsProgram(file) ? extratext::NoWine
                                                                                : extratext::NotStartable)
                               .arg(QDir::toNativeSeparators(gameFolder), QFileInfo(file).fileName());
    } else if (isFile(file)) {
        const QString question = msg(MsgCreatedUnder) + u' ' + QDir::toNativeSeparators(file) + u' ' +
                                 msg(MsgCreatedEnd) + QStringLiteral("\n\n") + msg(MsgStartNow);
        if (m_questions.startNow(question)) {
            result.start = GameStarter::start(file, gameFolder, m_wine);
            if (!result.start->started) {
                result.start->message = m_catalog.extra(extratext::StartFailed).arg(result.start->message);
                problem(result, result.start->message);
            }
        }
    }
    m_session.setGameBuiltOnce(true);
    m_session.setBusy(false);
    m_programFile.clear();
    return result;
}

MakeGame::Result MakeGame::run()
{
    Result ready = prepare();
    if (ready.outcome != Result::Ready)
        return ready;
    return build();
}

} // namespace mb
