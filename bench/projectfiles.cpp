// Times open and save of a big generated project beside unzip -p and zip -9 of the same
// companion files, a resave (open, missing-files search, save) of it inside a folder of 100
// subfolders with 50 files each, and reports the peak memory.
//
//   bench_projectfiles [WORKDIR]
#include "bigproject.h"

#include "project/missingfiles.h"
#include "project/projectfile.h"
#include "project/projectsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace mb;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeShell(const QString &command, int runs)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command}) != 0) {
            std::fprintf(stderr, "failed: %s\n", qPrintable(command));
            return -1;
        }
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(t);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(dir);
    const int runs = 3;
    MessageCatalog cat;

    std::unique_ptr<ProjectModel> model = bench::bigProject(cat);
    std::vector<double> save, open;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const ProjectFileResult r = saveProject(*model, dir, QStringLiteral("big"));
        save.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(r.message));
            return 1;
        }
    }
    model.reset();
    auto loaded = std::make_unique<ProjectModel>();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const ProjectFileResult r = openProject(*loaded, cat, QDir(dir).filePath(QStringLiteral("big.adv")));
        open.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok) {
            std::fprintf(stderr, "open failed: %s\n", qPrintable(r.message));
            return 1;
        }
    }
    // The same open and save with a receiver of their progress, as the editor and a terminal
    // run them: the counting must cost nothing beside the work.
    std::vector<double> openReported, saveReported;
    int openReports = 0, saveReports = 0;
    for (int i = 0; i < runs; ++i) {
        openReports = 0;
        QElapsedTimer t;
        t.start();
        const ProjectFileResult r = openProject(*loaded, cat, QDir(dir).filePath(QStringLiteral("big.adv")),
                                                [&openReports](qint64, qint64) { return ++openReports > 0; });
        openReported.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok)
            return 1;
    }
    for (int i = 0; i < runs; ++i) {
        saveReports = 0;
        SaveOptions options;
        options.progress = [&saveReports](qint64, qint64) { return ++saveReports > 0; };
        QElapsedTimer t;
        t.start();
        if (!saveProject(*loaded, dir, QStringLiteral("reported"), options).ok)
            return 1;
        saveReported.push_back(t.nsecsElapsed() / 1e6);
    }
    // Resave as the command line does it, with the project among 100 subfolders of 50 files
    // each: none of the 15000 images is there, so the search walks the whole tree.
    const QString tree = QDir(dir).filePath(QStringLiteral("tree"));
    for (int f = 0; f < 100; ++f) {
        const QString sub = QDir(tree).filePath(QStringLiteral("sub%1").arg(f));
        QDir().mkpath(sub);
        for (int i = 0; i < 50; ++i) {
            QFile touch(QDir(sub).filePath(QStringLiteral("file%1.png").arg(i)));
            if (!touch.open(QIODevice::WriteOnly))
                return 1;
        }
    }
    QFile::copy(QDir(dir).filePath(QStringLiteral("big.adv")), QDir(tree).filePath(QStringLiteral("big.adv")));
    std::vector<double> resave;
    int stillMissing = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        ProjectSession session(cat);
        session.options().makeBackup = false;
        ProjectFileResult r = session.open(QDir(tree).filePath(QStringLiteral("big.adv")));
        if (r.ok) {
            MissingFiles missing(session);
            stillMissing = missing.check();
            missing.finish();
            r = session.saveTo(tree, QStringLiteral("resaved"));
        }
        resave.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok) {
            std::fprintf(stderr, "resave failed: %s\n", qPrintable(r.message));
            return 1;
        }
    }

    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);

    // Baselines over the same companion files.
    const QString adv = QDir(dir).filePath(QStringLiteral("big.adv"));
    const QString unpacked = QDir(dir).filePath(QStringLiteral("unpacked"));
    QDir().mkpath(unpacked);
    QProcess::execute(QStringLiteral("unzip"), {QStringLiteral("-o"), QStringLiteral("-q"), adv, QStringLiteral("-d"), unpacked});
    const double unzipMs = timeShell(QStringLiteral("unzip -p '%1' > /dev/null").arg(adv), runs);
    const double zipMs = timeShell(QStringLiteral("cd '%1' && rm -f base.zip && zip -q -9 base.zip big.001 big.002 big.003 big.004").arg(unpacked), runs);

    // The whole command line's open (start, read, missing-files search of the tree, the counts).
    const QString cli = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("mossbramble-cli"));
    const double infoMs = QFileInfo(cli).isExecutable()
        ? timeShell(QStringLiteral("'%1' info '%2' > /dev/null").arg(cli, QDir(tree).filePath(QStringLiteral("big.adv"))), runs)
        : -1;

    const double o = median(open), s = median(save);
    std::printf("project: %lld bytes, %d rooms, %d scripts, %d objects, %d images\n",
                QFileInfo(adv).size(), loaded->rooms.usedCount(), loaded->cutscenes.usedCount(),
                loaded->objects.usedCount(), loaded->media[Images].usedCount());
    std::printf("open:  %8.1f ms   unzip -p: %8.1f ms   ratio %.2f (goal <= 1.3)\n", o, unzipMs, o / unzipMs);
    std::printf("save:  %8.1f ms   zip -9:   %8.1f ms   ratio %.2f (goal <= 1.3)\n", s, zipMs, s / zipMs);
    if (infoMs > 0)
        std::printf("mossbramble-cli info (in the tree): %8.1f ms   unzip -p: %8.1f ms   ratio %.2f (goal <= 1.3)\n",
                    infoMs, unzipMs, infoMs / unzipMs);
    std::printf("with progress reported: open %8.1f ms (%d reports)   save %8.1f ms (%d reports)\n",
                median(openReported), openReports, median(saveReported), saveReports);
    const double rs = median(resave);
    std::printf("resave in a tree of 100 x 50 files (%d still missing): %8.1f ms   unzip -p + zip -9: %8.1f ms   ratio %.2f (goal <= 1.4)\n",
                stillMissing, rs, unzipMs + zipMs, rs / (unzipMs + zipMs));
    std::printf("peak memory: %.1f MiB (goal < 1024)\n", usage.ru_maxrss / 1024.0);
    return 0;
}
