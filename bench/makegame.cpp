// Times make game of a generated project (300 PNG images of 640 x 480, half of them with alpha,
// and 200 sound files) beside a serial baseline of the same media work: "zip -0" of all media
// files plus one JPEG encode (quality 96) of each image that make game splits. Prints the best
// of several runs of each (the machine is shared; the best run is the one least disturbed) and
// the ratio.
//
//   bench_makegame [WORKDIR]
#include "build/buildquestions.h"
#include "build/makegame.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

using namespace mb;

namespace {

constexpr int kImages = 300, kSounds = 200, kRuns = 5;

double best(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

// A painted-looking picture: gradients, shapes and a little grain, so that it compresses like
// game art rather than like noise or a flat fill.
QImage picture(int index, bool alpha)
{
    QImage img(640, 480, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    img.fill(alpha ? Qt::transparent : QColor(30, 40, 60));
    QRandomGenerator rng(quint32(index) * 7919u + 1);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 640, 480);
        g.setColorAt(0, QColor::fromHsv(int(rng.bounded(360)), 180, 220));
        g.setColorAt(1, QColor::fromHsv(int(rng.bounded(360)), 200, 120, alpha ? 200 : 255));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QRectF(20, 20, 600, 440));
        for (int i = 0; i < 25; ++i) {
            p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 150, 200, alpha ? int(rng.bounded(64, 256)) : 255));
            p.drawRoundedRect(QRectF(rng.bounded(560), rng.bounded(400), 20 + rng.bounded(120), 20 + rng.bounded(90)), 8, 8);
        }
    }
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            if (qAlpha(c) == 0)
                continue;
            const int n = int(rng.bounded(8));
            line[x] = qRgba(std::min(255, qRed(c) + n), std::min(255, qGreen(c) + n), std::min(255, qBlue(c) + n), qAlpha(c));
        }
    }
    return img;
}

// 16-bit mono PCM at 44.1 kHz, 1 to 6 seconds.
QByteArray sound(int index)
{
    QRandomGenerator rng(quint32(index) + 99);
    const int samples = 44100 * (1 + index % 6);
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const double v = std::sin(i * (0.01 + index * 0.0003)) * 8000 + rng.bounded(2000) - 1000;
        qToLittleEndian(qint16(v), pcm.data() + 2 * i);
    }
    QByteArray wav("RIFF");
    auto u32 = [&wav](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    auto u16 = [&wav](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    u32(quint32(36 + pcm.size()));
    wav += "WAVEfmt ";
    u32(16); u16(1); u16(1); u32(44100); u32(88200); u16(2); u16(16);
    wav += "data";
    u32(quint32(pcm.size()));
    return wav + pcm;
}

class NoQuestions : public BuildQuestions
{
public:
    QString file;
    bool updatePreviousGame(const QString &) override { return false; }
    QString chooseProgramFile(const QString &, const QString &) override { return file; }
    bool startNow(const QString &) override { return false; }
};

// User and system time of this process so far, in ms: it shows the work done, which the wall
// time of a machine shared with other jobs does not.
double processCpu()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double timeShell(const QString &command)
{
    QElapsedTimer t;
    t.start();
    if (QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command}) != 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(command));
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir tmp;
    const QDir work(argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path());
    for (const char *d : {"editor", "project", "media", "game", "baseline"})
        QDir().mkpath(work.filePath(QLatin1String(d)));
    const QString editor = work.filePath(QStringLiteral("editor"));
    for (const QString &name : MakeGame::runtimeFiles()) {
        QFile f(QDir(editor).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write("runtime stand-in");
    }

    MessageCatalog catalog;
    auto model = std::make_unique<ProjectModel>();
    ProjectModel &m = *model;
    m.allesneu(catalog);
    m.settings.projectName = QStringLiteral("bench");
    m.settings.startScript = QStringLiteral("intro");
    m.settings.bedienfeld = false;
    m.fonts[1].name = QStringLiteral("Liberation Sans");
    m.fonts[1].size = 14;
    m.cutscenes[1].name = QStringLiteral("intro");
    for (int i = 0; i < 50; ++i)
        m.cutscenes[1].script << QStringLiteral("speech(hero;Line %1 of the intro.;intro%1.wav)").arg(i);

    QStringList mediaFiles, splitSources;
    qint64 mediaBytes = 0;
    for (int i = 0; i < kImages; ++i) {
        const bool alpha = i % 2 == 0;
        const QString path = work.filePath(QStringLiteral("media/image%1.png").arg(i));
        if (!QFileInfo::exists(path)) // a WORKDIR of an earlier run keeps its media
            picture(i, alpha).save(path, "PNG");
        m.mediaadd(Images, QStringLiteral("image%1").arg(i), path);
        mediaFiles << path;
        if (alpha)
            splitSources << path;
        mediaBytes += QFileInfo(path).size();
    }
    for (int i = 0; i < kSounds; ++i) {
        const QString path = work.filePath(QStringLiteral("media/sound%1.wav").arg(i));
        if (!QFileInfo::exists(path)) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(sound(i));
        }
        m.mediaadd(Sounds, QStringLiteral("sound%1").arg(i), path);
        mediaFiles << path;
        mediaBytes += QFileInfo(path).size();
    }
    const ProjectFileResult saved = saveProject(m, work.filePath(QStringLiteral("project")), QStringLiteral("bench"));
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.message));
        return 1;
    }
    ProjectSession session(catalog);
    session.setEditorFolder(editor);
    session.options().makeBackup = false;
    session.replace(std::move(model), work.filePath(QStringLiteral("project")));
    {
        QFile list(work.filePath(QStringLiteral("baseline/list.txt")));
        list.open(QIODevice::WriteOnly);
        list.write(mediaFiles.join(u'\n').toLocal8Bit() + '\n');
    }
    std::printf("media: %d images (%d with alpha), %d sounds, %.1f MB; %u hardware threads\n", kImages,
                int(splitSources.size()), kSounds, mediaBytes / 1e6, std::thread::hardware_concurrency());

    // Baseline: zip -0 of the media, serial JPEG encodes of the split images (decoding not timed).
    const QString baseZip = work.filePath(QStringLiteral("baseline/media.zip"));
    const QString zipCommand = QStringLiteral("rm -f '%1' && zip -0 -q -j '%1' -@ < '%2'")
                                   .arg(baseZip, work.filePath(QStringLiteral("baseline/list.txt")));
    timeShell(zipCommand); // warms the page cache
    std::vector<double> zipTimes, jpegTimes;
    std::vector<QImage> decoded;
    for (const QString &s : std::as_const(splitSources))
        decoded.push_back(QImage(s).convertToFormat(QImage::Format_RGB888));
    for (int r = 0; r < kRuns; ++r) {
        zipTimes.push_back(timeShell(zipCommand));
        QElapsedTimer t;
        t.start();
        for (size_t i = 0; i < decoded.size(); ++i) {
            QImageWriter w(work.filePath(QStringLiteral("baseline/%1.jpg").arg(i)), "jpg");
            w.setQuality(96);
            w.write(decoded[i]);
        }
        jpegTimes.push_back(t.nsecsElapsed() / 1e6);
    }
    const double baseline = best(zipTimes) + best(jpegTimes);

    NoQuestions questions;
    questions.file = work.filePath(QStringLiteral("game/bench.exe"));
    auto measure = [&](int threads) {
        std::vector<double> total, split, archives, fonts, cpu;
        for (int r = 0; r < kRuns; ++r) {
            session.setGameBuiltOnce(false);
            session.setMediaChanged({true, true, true, true});
            QElapsedTimer t;
            double tSplit = 0, tGfx = 0, tDlls = 0, tFonts = 0, tCopy = 0;
            MakeGame make(session, questions);
            make.setThreads(threads);
            make.setProgress([&](const QString &s) {
                const double now = t.nsecsElapsed() / 1e6;
                if (s == catalog.msg(125)) tFonts = now;
                else if (s == catalog.msg(126)) tCopy = now;
                else if (s == catalog.msg(535)) tSplit = now;
                else if (s == catalog.msg(129)) tGfx = now;
                else if (s == catalog.msg(127)) tDlls = now;
            });
            const double cpuBefore = processCpu();
            t.start();
            const MakeGame::Result result = make.run();
            total.push_back(t.nsecsElapsed() / 1e6);
            cpu.push_back(processCpu() - cpuBefore);
            if (!result.complete()) {
                std::fprintf(stderr, "make game failed: %s\n", qPrintable(result.message));
                std::exit(1);
            }
            split.push_back(tGfx - tSplit);
            archives.push_back(tDlls - tGfx);
            fonts.push_back(tCopy - tFonts);
        }
        return std::array<double, 5>{best(total), best(split), best(archives), best(fonts), best(cpu)};
    };
    const auto serial = measure(1);
    const auto parallel = measure(0);

    std::printf("baseline (serial): zip -0 %.0f ms + %d JPEG encodes %.0f ms = %.0f ms\n", best(zipTimes),
                int(splitSources.size()), best(jpegTimes), baseline);
    std::printf("make game, 1 split thread: %.0f ms (PNG splitting + game.dat %.0f ms, media archives %.0f ms, fonts %.0f ms; CPU %.0f ms)\n",
                serial[0], serial[1], serial[2], serial[3], serial[4]);
    std::printf("make game, all cores:      %.0f ms (PNG splitting + game.dat %.0f ms, media archives %.0f ms, fonts %.0f ms; CPU %.0f ms)\n",
                parallel[0], parallel[1], parallel[2], parallel[3], parallel[4]);
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average at the end (other jobs on the machine): %s", load.readAll().constData());
    std::printf("ratio to baseline: %.2f (goal <= 0.80); parallel speed-up of the splitting: %.2fx\n",
                parallel[0] / baseline, serial[1] / parallel[1]);
    return 0;
}
