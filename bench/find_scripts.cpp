// Times the project-wide script search (the editor's "Find in All Scripts" and the command line's
// find) over the big generated project: a rare word, a common one case-insensitively, a whole-word
// search, and planning the replacement of every match. Prints the median of several runs.
#include "bigproject.h"
#include "project/messagecatalog.h"
#include "script/scriptsearch.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

using namespace mb;

namespace {

constexpr int Runs = 9;

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// "median W ms wall, C ms CPU" of Runs calls. Wall time is what the author waits; the thread's
// CPU time is printed beside it because other programs on the machine disturb it far less.
QString timing(const std::function<void()> &work)
{
    std::vector<double> wall, cpu;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        work();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return QStringLiteral("median %1 ms wall, %2 ms CPU over %3 runs")
        .arg(wall[Runs / 2], 0, 'f', 1)
        .arg(cpu[Runs / 2], 0, 'f', 1)
        .arg(Runs);
}

} // namespace

int main()
{
    QTextStream out(stdout);
    MessageCatalog catalog(QStringLiteral("EN"));
    const auto project = bench::bigProject(catalog);

    struct Case
    {
        const char *label;
        const char *text;
        TextMatcher::Options options;
    };
    const Case cases[] = {
        {"rare word", "script 4711,", {}},
        {"common word, any case", "SPEECH", {}},
        {"whole word", "self", {false, true}},
        {"match case, no hit", "Speech(", {true, false}},
    };
    for (const Case &c : cases) {
        const TextMatcher matcher(QString::fromLatin1(c.text), c.options);
        ScriptSearchResult result;
        const QString times = timing([&] { result = findInProject(*project, matcher); });
        out << QStringLiteral("find \"%1\" (%2): %3 hits in %4 scripts, %5 (goal < 100 ms)\n")
                   .arg(QString::fromLatin1(c.text), QString::fromLatin1(c.label))
                   .arg(result.matchCount)
                   .arg(result.scriptCount)
                   .arg(times);
    }

    const TextMatcher matcher(QStringLiteral("speech"), {});
    ProjectReplace plan;
    const QString times = timing([&] { plan = planReplaceInProject(*project, matcher, u"say"); });
    out << QStringLiteral("plan replacing \"speech\": %1 hits in %2 scripts, %3\n")
               .arg(plan.matchCount)
               .arg(plan.changes.size())
               .arg(times);
    return 0;
}
