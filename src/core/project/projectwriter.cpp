#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/ziparchive.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <thread>

namespace mb {

namespace {

// Builds one companion file as Windows-1252 bytes with CR LF line ends.
class LineWriter
{
public:
    explicit LineWriter(qsizetype reserve = 0) { m_bytes.reserve(reserve); }
    LineWriter &operator<<(QStringView line)
    {
        ansi::append(m_bytes, line);
        m_bytes.append("\r\n", 2);
        return *this;
    }
    LineWriter &operator<<(const QString &line) { return *this << QStringView(line); }
    LineWriter &operator<<(QLatin1String line)
    {
        m_bytes.append(line.data(), line.size());
        m_bytes.append("\r\n", 2);
        return *this;
    }
    LineWriter &operator<<(long long value)
    {
        number(value);
        m_bytes.append("\r\n", 2);
        return *this;
    }
    LineWriter &operator<<(int value) { return *this << static_cast<long long>(value); }
    // Pieces of one line; end it with endLine().
    void number(long long value)
    {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, value);
        m_bytes.append(buf, r.ptr - buf);
    }
    void piece(QStringView text) { ansi::append(m_bytes, text); }
    void piece(char c) { m_bytes.append(c); }
    void endLine() { m_bytes.append("\r\n", 2); }
    void lines(const QStringList &list)
    {
        for (const QString &l : list)
            *this << l;
    }
    void raw(const QByteArray &bytes) { m_bytes.append(bytes); }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

QString b(bool v) { return v ? QStringLiteral("-1") : QStringLiteral("0"); }
QString flag(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
QString num(long long v) { return QString::number(v); }

QString shortestFloat(double v)
{
    QString s = QString::number(v, 'g', 15);
    return s;
}

void dumpNode(QString &out, const TreeNode &node, int level, bool stripFolderDots)
{
    out += QString(level, u'"');
    out += QStringLiteral("%1").arg(node.imageIndex, 2, 10, QChar(u'0'));
    if (stripFolderDots && node.imageIndex == nodeimage::Folder) {
        qsizetype n = node.text.size();
        while (n > 0 && node.text.at(n - 1) == u'.')
            --n;
        out += QStringView(node.text).left(n);
    } else {
        out += node.text;
    }
    out += QLatin1String("\r\n");
    for (const auto &child : node.children)
        dumpNode(out, *child, level + 1, stripFolderDots);
}

void writeFrames(LineWriter &w, const std::array<Rframe, 30> &frames)
{
    for (const Rframe &f : frames) {
        w << f.image << f.image2;
        for (int v : {f.x, f.y, f.x2, f.y2}) {
            w.number(v);
            w.piece(';');
        }
        if (!f.script.isEmpty())
            w.piece(text::escapesemi(f.script));
        w.endLine();
    }
}

QByteArray write001(const ProjectModel &m)
{
    const GameSettings &s = m.settings;
    LineWriter w;
    w << QLatin1String(kProjectHeader) << QString();
    w << m.lastGameFolder;
    w << QStringLiteral("Resolution X : ") + (s.resolutionChoice == 1 ? QStringLiteral("200") : num(s.gameWidth));
    for (int i = 1; i <= m.fontCount(); ++i) {
        const RFont &f = m.fonts[i];
        w << f.name + u';' + b(f.bold) + u';' + b(f.italic) + u';' + num(f.size) + u';' + num(f.outline) +
                 u';' + num(f.charset) + u';' + num(f.shadow) + u';' + num(f.fill) + u';' + num(f.fading);
    }
    w << QStringLiteral("GameFont : ") + s.gameFonts[0];
    for (int i = 1; i < 6; ++i)
        w << QStringLiteral("GameFont%1 : ").arg(i + 1) + s.gameFonts[i];
    w << QStringLiteral("Gameicon : ") + s.gameIcon;
    w << s.loadingImage << b(s.useTextsceneBg) << s.textsceneBg;
    w << QStringLiteral("Startskript : ") + s.startScript;
    w << s.mainScript << s.anywhereObj;
    w << QStringLiteral("Screenchange : ") + num(s.screenchange);
    w << QStringLiteral("Checks : ") + flag(s.textonoff) + flag(s.itemicon) + flag(s.commandtext) +
             flag(s.bedienfeld) + flag(s.noanti) + flag(s.oben) + flag(s.groupitems) + flag(s.protect);
    w << s.actionTextHeight << b(s.ownMenu) << s.ownMenuRoom;
    w << QStringLiteral("Taskheight : ") + s.taskHeight;
    w << QStringLiteral("Taskroom : ") + s.taskRoom;
    w << QStringLiteral("Taskpopup : ") + num(s.taskPopup);
    w << QStringLiteral("Setup : ") + flag(s.silentDelete) + flag(s.infoLine) +
             (s.taskHide ? QStringLiteral(";hide") : QStringLiteral(";show")) + u';' + num(s.rightClickMode);
    w << b(m.mouse.useWheel) << num(s.fadebarmenu) << num(s.scenefadebar) << num(s.transany);
    w << QStringLiteral("Targacolor : ") + num(s.targacolor);
    w << QStringLiteral("Bordercolor : ") + num(s.bordercolor);
    w << QStringLiteral("Backgroundcolor : ") + num(s.backgroundcolor);
    w << QStringLiteral("Textcolor : ") + num(s.textcolor);
    w << QStringLiteral("Offtextcolor : ") + num(s.offtextcolor) + u';' + num(s.infotextcolor);
    w << num(s.textsceneStyle + 1) << num(s.textsceneBorder + 1) << num(s.textsceneBcolor)
      << num(s.textsceneArea) << num(s.textsceneSelected) << num(s.shape1);
    w << b(s.multipleChoice) << b(s.muteMusic) << b(s.coinInterface) << b(s.autoPopup) << s.coinRoom
      << num(s.coinfadebar) << num(s.coinTop) << num(s.coinLeft);
    w << QStringLiteral("Linktext : ") + m.commands.linktext;
    w << QStringLiteral("Givelink : ") + m.commands.givelink;
    w << QStringLiteral("Walktext : ") + m.commands.walktext;
    w << QLatin1String("Booleans :");
    for (const BoolEntry &e : m.commands.bools)
        w << e.name + b(e.value);
    w << QLatin1String("Commands :");
    for (const CommandRow &r : m.commands.rows)
        if (!r.name.isEmpty())
            w << r.name << r.text;
    w << QLatin1String("Mediapool :");
    // Folder names in the media tree lose trailing dots (they would not survive as folders).
    w.raw(dumpTree(m.mediaTree, true));
    w << QLatin1String("Gamepool :");
    w.raw(dumpTree(m.gameTree));
    LineWriter &media = w;
    static const char *const keys[4] = {"Images :", "Sounds :", "Music :", "Movie :"};
    static const int kinds[4] = {Images, Sounds, Music, Movies};
    for (int k = 0; k < 4; ++k) {
        media << QLatin1String(keys[k]);
        const MediaTable &t = m.media[kinds[k]];
        for (int i = 1; i < t.usedEnd(); ++i)
            if (!t.name(i).isEmpty())
                media << t.name(i) << t.path(i);
    }
    return w.take();
}

void writeObjectRecord(LineWriter &w, const Robj &o)
{
    w << QStringLiteral("//Object ") + o.name << int(o.width) << int(o.height) << b(o.flag);
    for (int s = 0; s < Robj::States; ++s) {
        writeFrames(w, o.frames[s]);
        w << int(o.speed[s]);
    }
}

void writeCharacterRecord(LineWriter &w, const Rcharacter &c)
{
    w << QStringLiteral("//Character ") + c.name << num(c.textColor) << int(c.walkSpeed) << b(c.dontzoom)
      << b(c.leftani) << b(c.memres) << b(c.ghostmode) << c.walkSound;
    QString extras;
    for (const QString &e : c.extraNames)
        extras += e + u';';
    w << extras << c.fontIndex << c.scale;
    for (int s = 0; s < Rcharacter::States; ++s) {
        w << int(c.width[s]) << int(c.height[s]) << c.footX[s] << c.footY[s];
        writeFrames(w, c.frames[s]);
        w << int(c.speed[s]);
    }
}

// `walk` is scratch space for the walkmap line, reused from room to room.
void writeRoomRecord(LineWriter &w, const Rroom &r, QByteArray &walk)
{
    w << QStringLiteral("//Room ") + r.name << r.width << r.height << r.scrollX << r.scrollY << r.zoomTop
      << r.zoomBottom << r.zoomStep << r.background << r.parallax << b(r.flag1);
    for (const Rfxshape &f : r.fx) {
        w << b(f.flag1) + u';' + b(f.flag2) << f.int1 << f.text << f.int2 << f.int3 << f.int4 << f.int5;
        QString corners;
        for (int k = 0; k < 4; ++k)
            corners += num(f.cornerX[k]) + u';' + num(f.cornerY[k]) + u';';
        w << corners;
    }
    w << b(r.flag2);
    w << num(r.values[0]) + u';' + num(r.values[1]) + u';' + num(r.values[2]) + u';' + num(r.values[3]) +
             u';' + shortestFloat(r.factors[0]) + u';' + shortestFloat(r.factors[1]);
    walk.resize(Walkmap::Columns * Walkmap::Rows * 2);
    char *cell = walk.data();
    for (int col = 1; col <= Walkmap::Columns; ++col)
        for (int row = 1; row <= Walkmap::Rows; ++row) {
            *cell++ = r.walkmap.blocked(col, row) ? '1' : '0';
            *cell++ = r.walkmap.hasScript(col, row) ? '1' : '0';
        }
    w.raw(walk);
    w.endLine();
    for (const Rroomobj &o : r.objects) {
        if (o.instanceName.isEmpty())
            continue;
        w << QStringLiteral(";;Roomobject ") + o.instanceName << o.objectName << o.x << o.y << int(o.state)
          << int(o.byteValue) << o.depthLine << b(o.flag);
    }
}

void writeRoomScripts(LineWriter &w, const Rroom &r)
{
    w << QStringLiteral("//Room ") + r.name;
    w.lines(r.script);
    for (const Rroomobj &o : r.objects) {
        if (o.instanceName.isEmpty())
            continue;
        w << QStringLiteral("//Object ") + o.instanceName + u';' + r.name;
        w.lines(o.script);
    }
    for (const auto &[index, script] : r.walkmap.scripts()) {
        const int col = index / Walkmap::Rows + 1, row = index % Walkmap::Rows + 1;
        if (!r.walkmap.hasScript(col, row))
            continue;
        w << QStringLiteral("//Walkmap #%1%2").arg(col, 3, 10, QChar(u'0')).arg(row, 3, 10, QChar(u'0')) + r.name;
        w.lines(script);
    }
}

QByteArray write002(const ProjectModel &m)
{
    // Room records are dominated by the walkmap line, objects and characters by their frame
    // lines; a generous estimate keeps the buffer from being copied while it grows.
    LineWriter w((qsizetype(64) << 10) + qsizetype(m.rooms.usedCount()) * 40000 +
                 qsizetype(m.objects.usedCount()) * 6000 + qsizetype(m.characters.usedCount()) * 20000 +
                 qsizetype(m.items.usedCount()) * 4000);
    w << QLatin1String(kProjectHeader) << QString();
    for (int c = 0; c < Rmouse::Cursors; ++c) {
        for (const QString &f : m.mouse.frames[c])
            w << f;
        w << int(m.mouse.command[c]) << int(m.mouse.speed[c]) << m.mouse.clickX[c] << m.mouse.clickY[c];
    }
    for (const RItem &it : m.items) {
        if (it.name.isEmpty())
            continue;
        w << QStringLiteral("//Item ") + it.name;
        for (int s = 0; s < RItem::States; ++s) {
            for (const ItemFrame &f : it.frames[s]) {
                w.piece(f.image);
                w.piece(';');
                if (!f.script.isEmpty())
                    w.piece(text::escapesemi(f.script));
                w.endLine();
            }
            w << int(it.speed[s]);
        }
    }
    for (const Robj &o : m.objects)
        if (!o.name.isEmpty())
            writeObjectRecord(w, o);
    for (const Rcharacter &c : m.characters)
        if (!c.name.isEmpty())
            writeCharacterRecord(w, c);
    for (const Rroomchar &rc : m.roomChars) {
        if (rc.instanceName.isEmpty())
            continue;
        w << QStringLiteral("//Rcharacter ") + rc.instanceName << rc.characterName << rc.roomName << rc.x << rc.y
          << int(rc.byteValue) << b(rc.flag1) << b(rc.flag2);
    }
    QByteArray walk;
    for (const Rroom &r : m.rooms)
        if (!r.name.isEmpty())
            writeRoomRecord(w, r, walk);
    return w.take();
}

QByteArray write003(const ProjectModel &m)
{
    // Scripts are a few hundred to a few thousand bytes each.
    LineWriter w((qsizetype(64) << 10) +
                 qsizetype(m.cutscenes.usedCount() + m.items.usedCount() + m.rooms.usedCount()) * 2000);
    w << QLatin1String(kProjectHeader) << QString();
    for (const Rcutscene &c : m.cutscenes) {
        if (c.name.isEmpty())
            continue;
        w << QStringLiteral("//Cutscene ") + c.name;
        w.lines(c.script);
    }
    for (const RItem &it : m.items) {
        if (it.name.isEmpty())
            continue;
        w << QStringLiteral("//Item ") + it.name;
        w.lines(it.script);
    }
    for (const Rroomchar &rc : m.roomChars) {
        if (rc.instanceName.isEmpty())
            continue;
        w << QStringLiteral("//Character ") + rc.instanceName;
        w.lines(rc.script);
    }
    for (const Rroom &r : m.rooms)
        if (!r.name.isEmpty())
            writeRoomScripts(w, r);
    return w.take();
}

QByteArray write004(const ProjectModel &m)
{
    LineWriter w;
    auto writeLang = [&](const QString &name, const LangLists &lists) {
        for (int i = 0; i < LangLists::Count; ++i) {
            w << QStringLiteral("*/*") + name + u';' + QLatin1String(LangLists::listName(i));
            w.lines(lists.list(i));
        }
    };
    writeLang(QStringLiteral("origin"), m.origin);
    for (const RLang &l : m.languages)
        if (!l.name.isEmpty())
            writeLang(l.name, l.lists);
    return w.take();
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}

} // namespace

QByteArray dumpTree(const ProjectTree &tree, bool stripFolderDots)
{
    QString out;
    for (const auto &root : tree.roots)
        dumpNode(out, *root, 0, stripFolderDots);
    return ansi::encode(out);
}

QByteArray characterRecord(const Rcharacter &character)
{
    LineWriter w;
    writeCharacterRecord(w, character);
    return w.take();
}

QByteArray objectRecord(const Robj &object)
{
    LineWriter w;
    writeObjectRecord(w, object);
    return w.take();
}

QByteArray roomRecord(const Rroom &room)
{
    LineWriter w;
    QByteArray walk;
    writeRoomRecord(w, room, walk);
    return w.take();
}

QByteArray roomScriptSections(const Rroom &room)
{
    LineWriter w;
    writeRoomScripts(w, room);
    return w.take();
}

CompanionFiles writeCompanionFiles(const ProjectModel &m)
{
    // The big .002 of a big project is written on a second thread; the writers only read the
    // model. A small project is written on this one: starting a thread would cost more.
    CompanionFiles out;
    const bool parallel = m.rooms.usedCount() + m.characters.usedCount() + m.objects.usedCount() +
                              m.items.usedCount() >= 64;
    std::thread second;
    if (parallel)
        second = std::thread([&] { out.files[1] = write002(m); });
    else
        out.files[1] = write002(m);
    out.files[0] = write001(m);
    out.files[2] = write003(m);
    out.files[3] = write004(m);
    if (parallel)
        second.join();
    return out;
}

QString backupPath(const QString &editorFolder, const QString &projectName, const QDateTime &now)
{
    static const char *const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = now.date();
    QString year = QStringLiteral("0"), month = QStringLiteral("0"), day = QStringLiteral("0");
    if (date >= QDate(2001, 1, 1)) {
        // The calendar counted from 2001 with a leap year every fourth year agrees with the
        // Gregorian one until 2100.
        year = QString::number(date.year());
        month = QLatin1String(months[date.month() - 1]);
        day = QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0'));
    }
    const double fraction = now.time().msecsSinceStartOfDay() / 86400000.0;
    const int thousandths = int(fraction * 1000.0) % 1000;
    const QString time = QStringLiteral("%1").arg(thousandths, 3, 10, QChar(u'0'));
    return QDir(editorFolder).filePath(QStringLiteral("backups/") + year + u' ' + month + u'/' + day + u'/' +
                                       projectName + u' ' + time + QStringLiteral(".adv"));
}

namespace {

// How a save's time divides among its steps on a big project (bench_projectfiles), in
// thousandths: writing the companion files, compressing them, writing the archive to disk with
// its flush, and the copies after it.
constexpr qint64 kSaveSerialised = 120;
constexpr qint64 kSaveCompressed = 970;
constexpr qint64 kSaveWritten = 990;
constexpr qint64 kSaveTotal = 1000;

} // namespace

ProjectFileResult saveProject(const ProjectModel &model, const QString &folder, const QString &name,
                              const SaveOptions &options, const QDateTime &now)
{
    WorkMeter meter(options.progress, kSaveTotal);
    meter.update(0);
    const CompanionFiles files = writeCompanionFiles(model);
    meter.update(kSaveSerialised);
    const QDir dir(folder);
    const QString advPath = dir.filePath(name + QStringLiteral(".adv"));
    auto fail = [&](const QString &message) { return ProjectFileResult::failure(message); };
    if (!dir.exists())
        return fail(folder + QStringLiteral(": the folder does not exist"));
    if (name.isEmpty())
        return fail(QDir::toNativeSeparators(folder) + QStringLiteral(": a project needs a name; nothing was saved"));
    if (QFileInfo(advPath).isDir())
        return fail(QDir::toNativeSeparators(advPath) + QStringLiteral(" is a folder; the project cannot be saved "
                                                                       "under that name"));

    // The archive is built in memory and replaces the old file in one durable step, so the
    // previous project survives a failure, a crash or a power cut at any point.
    {
        ZipWriter zip;
        if (!zip.isOpen())
            return fail(advPath + QStringLiteral(": ") + zip.errorString());
        for (int i = 0; i < 4; ++i)
            if (!zip.addBytes(name + QStringLiteral(".00%1").arg(i + 1), files.files[i], 9))
                return fail(advPath + QStringLiteral(": ") + zip.errorString());
        if (options.progress)
            zip.setProgress([&meter](qint64 read, qint64 total) {
                if (total > 0)
                    meter.update(kSaveSerialised + (kSaveCompressed - kSaveSerialised) * read / total);
            });
        if (!zip.close())
            return fail(advPath + QStringLiteral(": ") + zip.errorString());
        meter.update(kSaveCompressed);
        const atomicfile::Result written = atomicfile::write(advPath, zip.bytes());
        if (!written.ok)
            return fail(written.error);
        meter.update(kSaveWritten);
        // Temporary files of saves that died on the way.
        atomicfile::removeStale(advPath);
    }
    QString error;
    if (options.keepCompanionFiles) {
        for (int i = 0; i < 4; ++i)
            if (!writeFile(dir.filePath(name + QStringLiteral(".00%1").arg(i + 1)), files.files[i], &error))
                return fail(error);
    }
    ProjectFileResult result;
    if (options.makeBackup && !options.editorFolder.isEmpty()) {
        const QString backup = backupPath(options.editorFolder, name, now);
        const QString backupFolder = QFileInfo(backup).path();
        QFile copy(advPath);
        QString why;
        if (!QDir().mkpath(backupFolder))
            why = QDir::toNativeSeparators(backupFolder) + QStringLiteral(": the folder cannot be created");
        else if (QFile::exists(backup) && !QFile::remove(backup))
            why = QDir::toNativeSeparators(backup) + QStringLiteral(": the old backup cannot be replaced");
        else if (!copy.copy(backup))
            why = QDir::toNativeSeparators(backup) + QStringLiteral(": ") + copy.errorString();
        if (why.isEmpty())
            result.backupPath = backup;
        else
            result.warning = QStringLiteral("No backup was written (%1); the project itself was saved.").arg(why);
    }
    result.ok = true;
    result.statusMessage = 104;
    meter.finish();
    return result;
}

} // namespace mb
