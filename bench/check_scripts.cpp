// Times the script check over a project filled to realistic limits: every cutscene, item and room
// slot in use, with walkmap field scripts, room objects, character placements and frame lines.
// All scripts are correct, so the check walks every one of them. Prints the median of several runs.
#include "bigproject.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "script/scriptchecker.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

using namespace mb;

namespace {

// Lines as authors write them; %1 and %2 vary so no two scripts are alike.
const char *const kEventLines[] = {
    "on(mouse)", "on(click)", "on(enter)", "on(rightclick)", "on(loop1)", "on(givelink)",
};
const char *const kBodyLines[] = {
    "  speech(Hero;\"I wonder what %1 is for.\")",
    "  if_bool(door%1open;true)",
    "  ifnot_hasitem(Hero;key%2)",
    "  walkto(Hero;%1;%2;2)",
    "  setobj(lamp%1;2)",
    "  playsound(creak%2;80)",
    "  setnum(counter%1;[counter%1+1])",
    "  if_num(counter%1;3)",
    "  additem(Hero;coin%2)",
    "  wait(1)",
    "  setbool(visited%1;true)",
    "  beamto(Hero;room%2;%1;200;3)",
    "  offspeech(320;40;\"Somewhere a bell rings.\")",
    "  cutscene(scene%2)",
    "  lookto(Hero;2)",
    "  (* remember: the guard leaves at night *)",
};
constexpr int kBodyCount = int(sizeof(kBodyLines) / sizeof(kBodyLines[0]));
constexpr int kEventCount = int(sizeof(kEventLines) / sizeof(kEventLines[0]));

// The template with %1 and %2 replaced (where present).
QString fillIn(const char *templ, int a, int b)
{
    return QString::fromLatin1(templ)
        .replace(QLatin1String("%1"), QString::number(a))
        .replace(QLatin1String("%2"), QString::number(b));
}

// A script of about `lines` lines: event blocks of a few commands each.
Script makeScript(int seed, int lines)
{
    Script s;
    s.reserve(lines + 4);
    int n = 0;
    while (n < lines) {
        s << QString::fromLatin1(kEventLines[(seed + n) % kEventCount]) << QStringLiteral("{");
        n += 2;
        const int body = 3 + (seed + n) % 4;
        for (int b = 0; b < body; ++b, ++n)
            s << fillIn(kBodyLines[(seed * 7 + n) % kBodyCount], seed % 97, n);
        s << QStringLiteral("}");
        ++n;
    }
    return s;
}

const char *const kFrameLines[] = {
    "playsound(step%1)", "setobj(flame%1;2)", "setbool(blink%1;true)", "textout(%1;\"...\";10;10)",
};

QString frameLine(int seed)
{
    return fillIn(kFrameLines[seed % 4], seed % 53, 0);
}

struct Counts
{
    long scripts = 0, lines = 0, characters = 0, frameLines = 0;
    void add(const Script &s)
    {
        ++scripts;
        lines += s.size();
        for (const QString &l : s)
            characters += l.size();
    }
};

void fill(ProjectModel &p, Counts &counts)
{
    for (int i = 1; i <= 5000; ++i) {
        p.cutscenes[i].name = QStringLiteral("scene%1").arg(i);
        p.cutscenes[i].script = makeScript(i, 20);
        counts.add(p.cutscenes[i].script);
    }
    for (int i = 1; i <= 1000; ++i) {
        RItem &item = p.items[i];
        item.name = QStringLiteral("item%1").arg(i);
        item.script = makeScript(i + 11, 12);
        counts.add(item.script);
        for (int f = 0; f < 3; ++f, ++counts.frameLines)
            item.frames[0][f].script = frameLine(i + f);
    }
    for (int i = 1; i <= 1000; ++i) {
        Rroom &room = p.rooms[i];
        room.name = QStringLiteral("room%1").arg(i);
        room.script = makeScript(i + 3, 20);
        counts.add(room.script);
        for (int k = 0; k < 20; ++k) {
            const int column = 1 + (i * 13 + k * 9) % Walkmap::Columns;
            const int row = 1 + (i * 7 + k * 5) % Walkmap::Rows;
            room.walkmap.setHasScript(column, row, true);
            Script &s = room.walkmap.script(column, row);
            s = makeScript(i + k, 6);
        }
        for (const auto &[index, s] : room.walkmap.scripts())
            counts.add(s);
        for (int o = 0; o < 10; ++o) {
            Rroomobj &placement = room.objects[o];
            placement.objectName = QStringLiteral("object%1").arg((i * 10 + o) % 2000 + 1);
            placement.instanceName = QStringLiteral("obj%1_%2").arg(i).arg(o);
            placement.script = makeScript(i + o, 10);
            counts.add(placement.script);
        }
    }
    for (int i = 1; i <= 2000; ++i) {
        Robj &o = p.objects[i];
        o.name = QStringLiteral("object%1").arg(i);
        for (int f = 0; f < 4; ++f, ++counts.frameLines)
            o.frames[f % 2][f].script = frameLine(i + f);
    }
    for (int i = 1; i <= 300; ++i) {
        Rcharacter &c = p.characters[i];
        c.name = QStringLiteral("char%1").arg(i);
        for (int s = 0; s < 8; ++s, ++counts.frameLines)
            c.frames[s][s % 5].script = frameLine(i + s);
        Rroomchar &rc = p.roomChars[i];
        rc.characterName = c.name;
        rc.instanceName = QStringLiteral("char%1_1").arg(i);
        rc.roomName = QStringLiteral("room%1").arg(i);
        rc.script = makeScript(i + 5, 15);
        counts.add(rc.script);
    }
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    ProjectModel project;
    Counts counts;
    fill(project, counts);
    out << "scripts: " << counts.scripts << ", lines: " << counts.lines
        << ", characters: " << counts.characters << ", frame lines: " << counts.frameLines << "\n";

    MessageCatalog catalog(QStringLiteral("EN"));
    const ScriptChecker checker(catalog);
    if (const auto mistake = checker.check(project)) {
        out << "unexpected mistake: " << mistake->text << "\n";
        return 1;
    }

    // Wall time is what the user waits; thread CPU time is printed beside it because it is far
    // less disturbed by other programs competing for the cores.
    constexpr int Runs = 9;
    std::vector<double> wall, cpu;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        const bool clean = !checker.check(project);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
        if (!clean)
            return 1;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    out << QStringLiteral("check all scripts: median %1 ms (min %2, max %3) wall, median %4 ms CPU, "
                          "over %5 runs (goal < 100 ms)\n")
               .arg(wall[Runs / 2], 0, 'f', 1)
               .arg(wall.front(), 0, 'f', 1)
               .arg(wall.back(), 0, 'f', 1)
               .arg(cpu[Runs / 2], 0, 'f', 1)
               .arg(Runs);

    // The project-files benchmark's big project, checked the same way.
    auto big = bench::bigProject(catalog);
    std::vector<double> bigWall;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        if (checker.check(*big))
            return 1;
        bigWall.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(bigWall.begin(), bigWall.end());
    out << QStringLiteral("check the generated big project: median %1 ms wall over %2 runs (goal < 100 ms)\n")
               .arg(bigWall[Runs / 2], 0, 'f', 1)
               .arg(Runs);
    return 0;
}
