// The project files against fixtures typed from the file layout, not made by the writer or the
// reader: a reference project in the current layout with a distinct value in every field of
// every record kind (data/reference), and a project in each older layout (data/layouts). The
// expected values are written out below, field by field.
#include "platform/ansicodec.h"
#include "platform/ziparchive.h"
#include "project/messagecatalog.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/filebytes.h"
#include "support/recordcompare.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace mb;
using testing::readBytes;

namespace {


// "" when equal, else the first line that differs (1-based) with both texts.
QString firstDifferentLine(const QByteArray &actual, const QByteArray &expected)
{
    if (actual == expected)
        return {};
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        QByteArray x = a.value(i), y = e.value(i);
        if (x != y && x.endsWith('\r') == y.endsWith('\r')) {
            x.replace('\r', "");
            y.replace('\r', "");
        }
        if (x != y || i >= a.size() || i >= e.size())
            return QStringLiteral("line %1: written \"%2\", fixture \"%3\"")
                .arg(i + 1)
                .arg(ansi::decode(x.left(120)), ansi::decode(y.left(120)));
    }
    return QStringLiteral("same lines, different bytes");
}

const QStringList kSuffixes{QStringLiteral(".001"), QStringLiteral(".002"), QStringLiteral(".003"), QStringLiteral(".004")};

CompanionFiles referenceFiles()
{
    CompanionFiles f;
    const QString dir = QFINDTESTDATA("data/reference");
    for (int i = 0; i < 4; ++i)
        f.files[i] = readBytes(QDir(dir).filePath(QStringLiteral("reference") + kSuffixes[i]));
    return f;
}

Rframe frame(const char *image, const char *image2, const QString &script, int x, int y, int x2, int y2)
{
    return {QString::fromLatin1(image), QString::fromLatin1(image2), script, x, y, x2, y2};
}

void setShape(Rfxshape &s, bool flag1, bool flag2, int int1, const QString &text, int int2, int int3, int int4,
              int int5, std::array<int, 4> xs, std::array<int, 4> ys, int dragX, int dragY)
{
    s.flag1 = flag1;
    s.flag2 = flag2;
    s.int1 = int1;
    s.text = text;
    s.int2 = int2;
    s.int3 = int3;
    s.int4 = int4;
    s.int5 = int5;
    s.cornerX = xs;
    s.cornerY = ys;
    // The drag point is the corners' mean, written out here rather than computed.
    s.dragX = dragX;
    s.dragY = dragY;
}

// What data/reference must read as: every field of the fixture, in its order.
std::unique_ptr<ProjectModel> referenceProject(const MessageCatalog &cat)
{
    auto p = std::make_unique<ProjectModel>();
    ProjectModel &m = *p;
    m.allesneu(cat);
    m.settings.projectName = QStringLiteral("reference");

    // .001
    m.lastGameFolder = QStringLiteral("C:\\Games\\Reference Build");
    GameSettings &s = m.settings;
    s.setResolutionChoice(3); // "Resolution X : 800"
    m.fonts[1] = {QStringLiteral("Garamond"), true, false, 14, 2, 3, 4, 55, 161};
    m.fonts[2] = {QStringLiteral("Courier New"), false, true, 9, 1, 6, 7, 33, 204};
    s.gameFonts = {QStringLiteral("Garamond"), QStringLiteral("Courier New"), QStringLiteral("Tahoma"),
                   QStringLiteral("Verdana"), QStringLiteral("Georgia"), QStringLiteral("Impact")};
    s.gameIcon = QStringLiteral("C:\\Games\\ref.ico");
    s.loadingImage = QStringLiteral("loadingpic");
    s.useTextsceneBg = true;
    s.textsceneBg = QStringLiteral("textbgpic");
    s.startScript = QStringLiteral("opening");
    s.mainScript = QStringLiteral("mainloop");
    s.anywhereObj = QStringLiteral("anyobj");
    s.screenchange = 5;
    // "Checks : 11001011"
    s.textonoff = true;
    s.itemicon = true;
    s.commandtext = false;
    s.bedienfeld = false;
    s.noanti = true;
    s.oben = false;
    s.groupitems = true;
    s.protect = true;
    s.actionTextHeight = QStringLiteral("7");
    s.ownMenu = true;
    s.ownMenuRoom = QStringLiteral("menuroom");
    s.taskHeight = QStringLiteral("120");
    s.taskRoom = QStringLiteral("taskroom");
    s.taskPopup = 2;
    // "Setup : 10;show;1"
    s.silentDelete = true;
    s.infoLine = false;
    s.taskHide = false;
    s.rightClickMode = 1;
    m.mouse.useWheel = true;
    s.fadebarmenu = 11;
    s.scenefadebar = 12;
    s.transany = 13;
    s.targacolor = 1193046;
    s.bordercolor = 2236962;
    s.backgroundcolor = 3355443;
    s.textcolor = 4473924;
    s.offtextcolor = 5592405;
    s.infotextcolor = 6710886;
    s.textsceneStyle = 2;  // stored as 3
    s.textsceneBorder = 1; // stored as 2
    s.textsceneBcolor = 7829367;
    s.textsceneArea = 8947848;
    s.textsceneSelected = 10066329;
    s.shape1 = 11184810;
    s.multipleChoice = true;
    s.muteMusic = false;
    s.coinInterface = true;
    s.autoPopup = false;
    s.coinRoom = QStringLiteral("coinroom");
    s.coinfadebar = 14;
    s.coinTop = 71;
    s.coinLeft = 93;
    m.commands.linktext = QStringLiteral("combine");
    m.commands.givelink = QStringLiteral("hand over to");
    m.commands.walktext = QStringLiteral("Stroll to");
    m.commands.bools = {{QStringLiteral("doorOpen"), true}, {QStringLiteral("lampLit"), false},
                        {QStringLiteral("met10"), true}, {QStringLiteral("score10"), false}};
    m.commands.rows = {{QStringLiteral("walk"), QStringLiteral("Walk to")},
                       {QStringLiteral("look"), QStringLiteral("Look at")},
                       {QStringLiteral("use"), QStringLiteral("Use")}};

    TreeNode *backgrounds = m.mediaTree.root(0)->addChild(QStringLiteral("backgrounds"), nodeimage::Folder);
    backgrounds->addChild(QStringLiteral("hallbg"), nodeimage::Image);
    backgrounds->addChild(QStringLiteral("cellarbg"), nodeimage::Image);
    m.mediaTree.root(0)->addChild(QStringLiteral("door_a"), nodeimage::Image);
    m.mediaTree.root(0)->addChild(QStringLiteral("bob_walk"), nodeimage::Image);
    m.mediaTree.root(1)->addChild(QStringLiteral("theme"), nodeimage::Music);
    m.mediaTree.root(2)->addChild(QStringLiteral("effects"), nodeimage::Folder)->addChild(QStringLiteral("ding"), nodeimage::Sound);
    m.mediaTree.root(2)->addChild(QStringLiteral("steps"), nodeimage::Sound);
    m.mediaTree.root(3)->addChild(QStringLiteral("intro"), nodeimage::Movie);
    m.mediaTree.root(3)->addChild(QStringLiteral("teaser"), nodeimage::Movie);
    m.gameTree.root(0)->addChild(QStringLiteral("alice"), nodeimage::Character);
    m.gameTree.root(0)->addChild(QStringLiteral("bob"), nodeimage::Character);
    TreeNode *story = m.gameTree.root(1)->addChild(QStringLiteral("story"), nodeimage::Folder);
    story->addChild(QStringLiteral("chapter one"), nodeimage::Folder)->addChild(QStringLiteral("opening"), nodeimage::Script);
    m.gameTree.root(1)->addChild(QStringLiteral("mainloop"), nodeimage::Script);
    m.gameTree.root(2)->addChild(QStringLiteral("coin"), nodeimage::Item);
    m.gameTree.root(2)->addChild(QStringLiteral("key"), nodeimage::Item);
    m.gameTree.root(3)->addChild(QStringLiteral("door"), nodeimage::Object);
    m.gameTree.root(3)->addChild(QStringLiteral("lamp"), nodeimage::Object);
    TreeNode *floor = m.gameTree.root(4)->addChild(QStringLiteral("ground floor"), nodeimage::Folder);
    floor->addChild(QStringLiteral("cellar"), nodeimage::Room);
    floor->addChild(QStringLiteral("hall"), nodeimage::Room);

    m.media[Images].set(1, QStringLiteral("hallbg"), QStringLiteral("C:\\Games\\gfx\\hallbg.png"));
    m.media[Images].set(2, QStringLiteral("cellarbg"), QStringLiteral("/home/author/ref/gfx/cellarbg.jpg"));
    m.media[Images].set(3, QStringLiteral("door_a"), QStringLiteral("C:\\Games\\gfx\\door_a.png"));
    m.media[Images].set(4, QStringLiteral("bob_walk"), QStringLiteral("/home/author/ref/gfx/bob_walk.png"));
    m.media[Sounds].set(1, QStringLiteral("ding"), QStringLiteral("C:\\Games\\sfx\\ding.wav"));
    m.media[Sounds].set(2, QStringLiteral("steps"), QStringLiteral("/home/author/ref/sfx/steps.ogg"));
    m.media[Music].set(1, QStringLiteral("theme"), QStringLiteral("C:\\Games\\music\\theme.xm"));
    m.media[Movies].set(1, QStringLiteral("intro"), QStringLiteral("C:\\Games\\video\\intro.swf"));
    m.media[Movies].set(2, QStringLiteral("teaser"), QStringLiteral("/home/author/ref/video/teaser.avi"));

    // .002: mouse cursor k (1..10): frame 1 "cursor<k>a", frame 25 "cursor<k>z" for every third,
    // command 10 + k, speed 30 + k, click point (2k + 1, -3k).
    for (int k = 1; k <= 10; ++k) {
        m.mouse.frames[k - 1][0] = QStringLiteral("cursor%1a").arg(k);
        if (k % 3 == 0)
            m.mouse.frames[k - 1][24] = QStringLiteral("cursor%1z").arg(k);
        m.mouse.command[k - 1] = uint8_t(10 + k);
        m.mouse.speed[k - 1] = uint8_t(30 + k);
        m.mouse.clickX[k - 1] = 2 * k + 1;
        m.mouse.clickY[k - 1] = -3 * k;
    }

    RItem &key = m.items[1];
    key.name = QStringLiteral("key");
    for (int st = 1; st <= 10; ++st)
        key.speed[st - 1] = uint8_t(20 + st);
    key.frames[0][0] = {QStringLiteral("keyimg"), QStringLiteral("playsound(ding;80);setbool(doorOpen;true)")};
    key.frames[4][11] = {QStringLiteral("keymid"), QStringLiteral("speech(self;It opens)")};
    key.frames[9][24] = {QStringLiteral("keylast"), QString()};
    key.script = {QStringLiteral("on(click)"), QStringLiteral("{"), QStringLiteral("}")};
    RItem &coin = m.items[2];
    coin.name = QStringLiteral("coin");
    for (int st = 1; st <= 10; ++st)
        coin.speed[st - 1] = uint8_t(100 + st);

    Robj &door = m.objects[1];
    door.name = QStringLiteral("door");
    door.width = 40;
    door.height = 90;
    door.flag = true;
    door.frames[1][2] = frame("door_a", "door_b", QStringLiteral("a;b"), 1, -2, 3, -4);
    door.frames[9][29] = frame("door_z", "", QString(), 0, 0, 0, 0);
    for (int st = 1; st <= 10; ++st)
        door.speed[st - 1] = uint8_t(40 + st);
    Robj &lamp = m.objects[2];
    lamp.name = QStringLiteral("lamp");
    lamp.width = 16;
    lamp.height = 32;
    for (int st = 1; st <= 10; ++st)
        lamp.speed[st - 1] = uint8_t(200 + st);

    // Characters: state s (1..36) of bob is base 100: width 100 + s, height 200 + s, foot point
    // (300 + s, -(400 + s)), speed 10 + s; alice is base 500 with speed 50 + s.
    auto states = [](Rcharacter &c, int base) {
        for (int st = 1; st <= 36; ++st) {
            c.width[st - 1] = uint16_t(base + st);
            c.height[st - 1] = uint16_t(base + 100 + st);
            c.footX[st - 1] = base + 200 + st;
            c.footY[st - 1] = -(base + 300 + st);
            c.speed[st - 1] = uint8_t(st + base / 10);
        }
    };
    Rcharacter &bob = m.characters[1];
    bob.name = QStringLiteral("bob");
    bob.textColor = 16711935;
    bob.walkSpeed = 3;
    bob.dontzoom = true;
    bob.leftani = false;
    bob.memres = true;
    bob.ghostmode = false;
    bob.walkSound = QStringLiteral("steps");
    bob.extraNames = {QStringLiteral("Wave"), QStringLiteral("Sit"), QStringLiteral("Jump"), QStringLiteral("Dance"),
                      QStringLiteral("Kneel"), QStringLiteral("Climb"), QStringLiteral("Push"), QStringLiteral("Pull"),
                      QStringLiteral("Sleep"), QStringLiteral("Wake"), QStringLiteral("Laugh"), QStringLiteral("Cry"),
                      QStringLiteral("Point"), QStringLiteral("Shrug"), QStringLiteral("Nod"), QStringLiteral("Shake"),
                      QStringLiteral("Stand West"), QStringLiteral("Walk West"), QStringLiteral("Talk West"),
                      QStringLiteral("Walk Talk West")};
    bob.fontIndex = 2;
    bob.scale = 85;
    states(bob, 100);
    bob.frames[0][0] = frame("bob_stand", "", QString(), -1, -2, -3, -4);
    bob.frames[35][29] = frame("bob_walk", "bob_shadow", QStringLiteral("x;y"), 7, 8, 9, 10);
    Rcharacter &alice = m.characters[2];
    alice.name = QStringLiteral("alice");
    alice.textColor = 65535;
    alice.walkSpeed = 5;
    alice.dontzoom = true;
    alice.leftani = true;
    alice.memres = false;
    alice.ghostmode = false;
    alice.walkSound = QString();
    for (int i = 0; i < 16; ++i)
        alice.extraNames[i] = QStringLiteral("Extra %1").arg(i + 1);
    alice.extraNames[16] = QStringLiteral("Extra 17 (Stand Left)");
    alice.extraNames[17] = QStringLiteral("Extra 18 (Walk Left)");
    alice.extraNames[18] = QStringLiteral("Extra 19 (Stand, Talk Left)");
    alice.extraNames[19] = QStringLiteral("Extra 20 (Walk, Talk Left)");
    alice.fontIndex = 1;
    alice.scale = 120;
    states(alice, 500);
    alice.frames[16][14] = frame("alice_x", "alice_y", QStringLiteral("playsound(ding;50)"), 11, 12, 13, 14);

    m.roomChars[1] = {QStringLiteral("bob"), QStringLiteral("bob1"), QStringLiteral("hall"), 300, 400, 2, false, true,
                      {QStringLiteral("on(click)"), QStringLiteral("{ speech(bob;Hi) }")}};
    m.roomChars[2] = {QStringLiteral("alice"), QStringLiteral("alice1"), QStringLiteral("cellar"), 50, -60, 7, true,
                      false, {}};

    Rroom &hall = m.rooms[1];
    hall.name = QStringLiteral("hall");
    hall.width = 1280;
    hall.height = 481;
    hall.scrollX = 17;
    hall.scrollY = 23;
    hall.zoomTop = 31;
    hall.zoomBottom = 37;
    hall.zoomStep = 4;
    hall.background = QStringLiteral("hallbg");
    hall.parallax = QStringLiteral("hallpara");
    hall.flag1 = true;
    setShape(hall.fx[0], true, false, 71, QStringLiteral("fog"), 72, 73, 74, 75, {10, 30, 34, 13}, {20, 22, 44, 41}, 22, 32);
    setShape(hall.fx[1], false, true, 81, QStringLiteral("rain"), 82, -83, -84, 85, {105, 205, 205, 105},
             {100, 100, 200, 200}, 155, 150);
    setShape(hall.fx[2], true, true, 91, QString(), 92, 93, 94, -95, {-5, 7, 9, -11}, {-6, -8, 10, 12}, 0, 2);
    hall.flag2 = false;
    hall.values = {81, -82, 83, 84};
    hall.factors = {0.5, 1.25};
    for (auto [c, r] : {std::pair{1, 1}, {100, 50}, {150, 90}, {192, 96}})
        hall.walkmap.setBlocked(c, r, false);
    hall.walkmap.setHasScript(2, 5, true); // blocked and with a script
    hall.walkmap.setHasScript(150, 90, true);
    hall.walkmap.script(2, 5) = {}; // its section is there, empty
    hall.walkmap.script(150, 90) = {QStringLiteral("on(enter)"), QStringLiteral("{ loadroom(cellar;1) }")};
    hall.objects[0] = {40, true, 5, {QStringLiteral("on(click)"), QStringLiteral("{ speech(self;locked) }")},
                       QStringLiteral("door"), QStringLiteral("door1"), 100, 200, 2};
    hall.objects[1] = {12, false, 0, {}, QStringLiteral("lamp"), QStringLiteral("lamp1"), -15, 260, 0};
    hall.script = {QStringLiteral("on(enter)"), QStringLiteral("{"), QStringLiteral("}")};
    Rroom &cellar = m.rooms[2];
    cellar.name = QStringLiteral("cellar");
    cellar.width = 640;
    cellar.height = 480;
    cellar.zoomStep = 3;
    cellar.background = QStringLiteral("cellarbg");
    for (int k = 1; k <= 3; ++k)
        setShape(cellar.fx[k - 1], false, true, 0, QString(), 15, -10, -7, 125,
                 {105 * k, 105 * k + 100, 105 * k + 100, 105 * k}, {100, 100, 200, 200}, 105 * k + 50, 150);
    cellar.flag2 = true;

    // .003
    m.cutscenes[1] = {QStringLiteral("opening"),
                      {QStringLiteral("speech(bob;Hello there;hello.wav)"), QString(), QStringLiteral("  setbool(doorOpen;true)"),
                       QStringLiteral("showinfo(Gr\u00FC\u00DFe \u00BD \u2013 \u20AC)")}};
    m.cutscenes[2] = {QStringLiteral("mainloop"), {}};

    // .004
    m.origin.speech = {QStringLiteral("Hello there"), QStringLiteral("Hi"), QStringLiteral("locked")};
    m.origin.voicespeech = {QStringLiteral("hello.wav")};
    m.origin.offspeech = {QStringLiteral("Far away")};
    m.origin.voiceoffspeech = {QStringLiteral("far.wav")};
    m.origin.showinfo = {QStringLiteral("A door")};
    m.origin.textout = {QStringLiteral("Score")};
    m.origin.setstring = {QStringLiteral("Name")};
    m.origin.row = {QStringLiteral("Yes"), QStringLiteral("No")};
    m.origin.kommandos = {QStringLiteral("Walk to"), QStringLiteral("Look at")};
    RLang &de = m.languages[1];
    de.name = QStringLiteral("deutsch");
    de.lists.speech = {QStringLiteral("Hallo da"), QStringLiteral("Hallo"), QStringLiteral("verschlossen")};
    de.lists.voicespeech = {QStringLiteral("hallo.wav")};
    de.lists.showinfo = {QStringLiteral("Eine T\u00FCr")};
    de.lists.row = {QStringLiteral("Ja"), QStringLiteral("Nein")};
    de.lists.kommandos = {QStringLiteral("Gehe zu"), QStringLiteral("Schau an")};
    RLang &fr = m.languages[2];
    fr.name = QStringLiteral("fran\u00E7ais");
    fr.lists.speech = {QStringLiteral("Bonjour")};
    fr.lists.textout = {QStringLiteral("Score \u00E9")};
    return p;
}

// ---- older layouts ----

// The layouts folder holds one .001 per version and a .002, .003 or .004 only where that file's
// layout changed; a version without one uses the one of the newest earlier version that has it,
// under its own header.
std::optional<QByteArray> layoutFile(const QString &version, const QString &suffix)
{
    const QDir dir(QFINDTESTDATA("data/layouts"));
    const int number = projectVersionNumber(version);
    QString best;
    int bestNumber = -1;
    for (const QString &name : dir.entryList({QStringLiteral("*") + suffix}, QDir::Files)) {
        const int n = projectVersionNumber(name.left(3));
        if (n <= number && n > bestNumber) {
            bestNumber = n;
            best = name;
        }
    }
    if (best.isEmpty())
        return std::nullopt;
    QByteArray bytes = readBytes(dir.filePath(best));
    if (suffix != QLatin1String(".004"))
        bytes.replace(0, 3, version.toLatin1());
    return bytes;
}

bool has(int v, int from, bool in99) { return v == 99 ? in99 : v >= from; }

// What a file of version number v in data/layouts must read as. An item the version lacks keeps
// the value of a new project, or the default the reader gives it.
std::unique_ptr<ProjectModel> layoutProject(const MessageCatalog &cat, int v)
{
    auto p = std::make_unique<ProjectModel>();
    ProjectModel &m = *p;
    m.allesneu(cat);
    GameSettings &s = m.settings;
    m.lastGameFolder = has(v, 8, false) ? QStringLiteral("D:\\Old Games\\Build") : QStringLiteral("from config.ini");
    s.setResolutionChoice(2);
    if (has(v, 6, false)) {
        m.fonts[1] = {QStringLiteral("Old Font"), false, true, 11, 2, 0, 0, 0, 186};
        m.fonts[2] = {QStringLiteral("Second"), true, true, 8, 0, 0, 0, 0, 0};
        if (has(v, 13, false)) {
            m.fonts[1].fill = 5; // its shadow field is empty: 0
            m.fonts[1].fading = 6;
            m.fonts[2].shadow = 1;
            m.fonts[2].fill = 2;
            m.fonts[2].fading = 3;
        }
    }
    s.gameFonts = {QStringLiteral("Arial"), QStringLiteral("Tahoma"), QStringLiteral("Verdana"), {}, {}, {}};
    if (has(v, 5, false))
        s.gameFonts = {QStringLiteral("Arial"), QStringLiteral("Tahoma"), QStringLiteral("Verdana"),
                       QStringLiteral("Georgia"), QStringLiteral("Impact"), QStringLiteral("Courier")};
    s.gameIcon = QStringLiteral("C:\\old\\game.ico");
    if (has(v, 7, false))
        s.loadingImage = QStringLiteral("oldloading");
    if (has(v, 10, false)) {
        s.useTextsceneBg = true;
        s.textsceneBg = QStringLiteral("oldtextbg");
    }
    s.startScript = QStringLiteral("oldstart");
    if (has(v, 4, true)) {
        s.mainScript = QStringLiteral("oldmain");
        s.anywhereObj = QStringLiteral("oldanywhere");
    }
    s.screenchange = 4;
    // "Checks : 0110": the four flags the line has, the rest off.
    s.textonoff = false;
    s.itemicon = true;
    s.commandtext = true;
    s.bedienfeld = false;
    s.actionTextHeight = has(v, 11, false) ? QStringLiteral("9") : QStringLiteral("0");
    if (has(v, 2, true)) {
        s.ownMenu = true;
        s.ownMenuRoom = QStringLiteral("oldmenu");
    }
    s.taskHeight = QStringLiteral("100");
    s.taskRoom = QStringLiteral("oldbar");
    s.taskPopup = 1;
    s.silentDelete = true;
    s.infoLine = false;
    s.taskHide = false;
    s.rightClickMode = 2;
    if (has(v, 14, false)) {
        m.mouse.useWheel = true;
        s.fadebarmenu = 21;
        s.scenefadebar = 22;
        s.transany = 23;
    }
    s.targacolor = 101;
    s.bordercolor = 102;
    s.backgroundcolor = 103;
    s.textcolor = 104;
    s.offtextcolor = 105; // no second field: the info text colour keeps its default
    if (has(v, 5, true)) {
        s.textsceneStyle = 2;
        s.textsceneBorder = 3;
        s.textsceneBcolor = 107;
        s.textsceneArea = 108;
        s.textsceneSelected = 109;
        s.multipleChoice = true;
    }
    if (has(v, 15, false))
        s.shape1 = 110;
    if (has(v, 16, true))
        s.muteMusic = false;
    if (has(v, 17, true)) {
        s.coinInterface = true;
        s.autoPopup = false;
        s.coinRoom = QStringLiteral("oldcoin");
        s.coinfadebar = 24;
        s.coinTop = 25;
        s.coinLeft = 26;
    }
    m.commands.linktext = QStringLiteral("mit");
    m.commands.givelink = QStringLiteral("zu");
    m.commands.walktext = QStringLiteral("Gehe zu");
    m.commands.bools = {{QStringLiteral("seen"), true}, {QStringLiteral("opened"), false}};
    m.commands.rows = {{QStringLiteral("look"), QStringLiteral("Look at")}};
    // Files before 1.3 have no video root; the reader adds it.
    m.mediaTree.root(0)->addChild(QStringLiteral("oldbg"), nodeimage::Image);
    m.mediaTree.root(1)->addChild(QStringLiteral("oldtheme"), nodeimage::Music);
    if (has(v, 3, true))
        m.mediaTree.root(3)->addChild(QStringLiteral("oldvideo"), nodeimage::Movie);
    m.gameTree.root(0)->addChild(QStringLiteral("oldbob"), nodeimage::Character);
    m.gameTree.root(1)->addChild(QStringLiteral("oldstart"), nodeimage::Script);
    m.gameTree.root(2)->addChild(QStringLiteral("oldkey"), nodeimage::Item);
    m.gameTree.root(3)->addChild(QStringLiteral("oldchest"), nodeimage::Object);
    m.gameTree.root(4)->addChild(QStringLiteral("hall"), nodeimage::Room);
    m.gameTree.root(4)->addChild(QStringLiteral("yard"), nodeimage::Room);
    m.media[Images].set(1, QStringLiteral("oldbg"), QStringLiteral("C:\\old\\gfx\\oldbg.bmp"));
    m.media[Sounds].set(1, QStringLiteral("olddoor"), QStringLiteral("C:\\old\\sfx\\olddoor.wav"));
    m.media[Music].set(1, QStringLiteral("oldtheme"), QStringLiteral("C:\\old\\music\\oldtheme.mid"));
    if (has(v, 3, true))
        m.media[Movies].set(1, QStringLiteral("oldvideo"), QStringLiteral("C:\\old\\video\\oldvideo.avi"));

    m.mouse.frames[0][0] = QStringLiteral("oldarrow");
    m.mouse.command[0] = 3;
    m.mouse.speed[0] = 15;
    m.mouse.clickX[0] = 4;
    m.mouse.clickY[0] = 5;

    // Items before 3.2 have only their first state; the others keep speed 20.
    RItem &key = m.items[1];
    key.name = QStringLiteral("oldkey");
    key.frames[0][0] = {QStringLiteral("oldkeyimg"), QStringLiteral("use(a;b)")};
    key.speed[0] = 9;
    key.script = {QStringLiteral("on(click)")};

    Robj &chest = m.objects[1];
    chest.name = QStringLiteral("oldchest");
    chest.width = 33;
    chest.height = 44;
    chest.flag = has(v, 1, true);
    chest.frames[0][0] = frame("chestimg", "", QStringLiteral("open;now"), 1, 2, 3, 4);
    for (int st = 1; st <= 10; ++st)
        chest.speed[st - 1] = uint8_t(30 + st);

    Rcharacter &bob = m.characters[1];
    bob.name = QStringLiteral("oldbob");
    bob.textColor = 255;
    bob.walkSpeed = 2;
    if (has(v, 8, false)) {
        bob.dontzoom = true;
        bob.walkSound = QStringLiteral("oldsteps");
        bob.fontIndex = 3;
    }
    bob.memres = has(v, 12, false);
    bob.ghostmode = has(v, 21, false);
    if (has(v, 20, false)) {
        for (int i = 0; i < 20; ++i)
            bob.extraNames[i] = QStringLiteral("Old %1").arg(i + 1);
    } else if (!has(v, 8, false)) {
        bob.extraNames = {}; // files before 1.8 leave the names empty; later ones keep the defaults
    }
    bob.scale = has(v, 9, false) ? 70 : 100;
    for (int st = 1; st <= 36; ++st) {
        bob.width[st - 1] = uint16_t(10 + st);
        bob.height[st - 1] = uint16_t(20 + st);
        bob.footX[st - 1] = 30 + st;
        bob.footY[st - 1] = -(40 + st);
        bob.speed[st - 1] = uint8_t(50 + st);
    }
    bob.frames[0][0] = frame("oldbobimg", "", QString(), 5, 6, 7, 8);

    // The ghost's character is not in the file: its placement is dropped and oldbob1 moves up.
    m.roomChars[1] = {QStringLiteral("oldbob"), QStringLiteral("oldbob1"), QStringLiteral("hall"), 5, 6, 3, true, false,
                      {QStringLiteral("x")}};

    Rroom &hall = m.rooms[1];
    hall.name = QStringLiteral("hall");
    hall.width = 640;
    hall.height = 480;
    hall.scrollX = 7;
    hall.scrollY = 8;
    hall.zoomTop = 9;
    hall.zoomBottom = 10;
    hall.zoomStep = has(v, 5, true) ? 6 : 3;
    hall.background = QStringLiteral("oldbg");
    if (has(v, 1, true))
        hall.parallax = QStringLiteral("oldpara");
    hall.flag1 = has(v, 19, true);
    if (has(v, 18, true))
        for (int k = 1; k <= 3; ++k)
            setShape(hall.fx[k - 1], false, true, 60 + k, QStringLiteral("oldfx%1").arg(k), 64, -11, -8, 126,
                     {10 * k, 10 * k + 20, 10 * k + 21, 10 * k + 3}, {50, 52, 90, 93}, 10 * k + 11, 71);
    hall.flag2 = true;
    hall.values = {11, 12, 13, 14};
    hall.factors = {1.5, 1.0}; // "1,5" and an empty field
    for (auto [c, r] : {std::pair{1, 1}, {3, 4}, {96, 48}})
        hall.walkmap.setBlocked(c, r, false);
    if (v == 21) // the 3.1 file has the full-size walkmap line
        for (auto [c, r] : {std::pair{150, 90}, {192, 96}})
            hall.walkmap.setBlocked(c, r, false);
    hall.walkmap.setHasScript(3, 4, true);
    hall.walkmap.setHasScript(5, 6, true);
    hall.walkmap.script(3, 4) = {QStringLiteral("on(enter)")}; // "//Walkmap 0304hall"
    hall.walkmap.script(5, 6) = {QStringLiteral("{ walk }")};  // "//Walkmap #005006hall"
    // The placement of a missing object is dropped and the next one moves up.
    hall.objects[0] = {17, true, 2, {QStringLiteral("on(click)")}, QStringLiteral("oldchest"),
                       QStringLiteral("oldchest1"), 15, 16, 1};
    hall.script = {QStringLiteral("on(enter)")};
    Rroom &yard = m.rooms[2];
    yard.name = QStringLiteral("yard");
    yard.width = 800;
    yard.height = 600;

    m.cutscenes[1] = {QStringLiteral("oldstart"), {QStringLiteral("speech(oldbob;hi)")}};
    if (has(v, 10, true)) { // the language file is there from 2.0 on in these fixtures
        m.origin.speech = {QStringLiteral("hi")};
        m.origin.kommandos = {QStringLiteral("Look at")};
        m.languages[1].name = QStringLiteral("english");
        m.languages[1].lists.speech = {QStringLiteral("hello")};
    }
    return p;
}

} // namespace

class TestReferenceFiles : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryField();
    void nameLists_data();
    void nameLists();
    void writesTheFixtureBytes_data();
    void writesTheFixtureBytes();
    void olderLayouts_data();
    void olderLayouts();
};

void TestReferenceFiles::readsEveryField()
{
    // Through the archive, as the editor opens it.
    QTemporaryDir dir;
    const CompanionFiles fixture = referenceFiles();
    {
        ZipWriter zip(dir.filePath("reference.adv"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(zip.addBytes("reference" + kSuffixes[i], fixture.files[i], 9));
        QVERIFY(zip.close());
    }
    MessageCatalog cat;
    ProjectModel read;
    const ProjectFileResult r = openProject(read, cat, dir.filePath("reference.adv"));
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.version, QStringLiteral("3.2"));
    MB_COMPARE_RECORDS(read, *referenceProject(cat));
}

void TestReferenceFiles::nameLists_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("commands (file order)") << int(NameLists::Commands) << QStringList{"walk", "look", "use"};
    QTest::newRow("languages") << int(NameLists::Languages) << QStringList{"deutsch", "fran\u00E7ais", "origin"};
    QTest::newRow("events and commands")
        << int(NameLists::Events)
        << QStringList{"cantall", "click", "doubleclick", "enter", "exit", "givelink", "link", "loop1", "loop2",
                       "mouse", "mouseout", "release", "rightclick", "walk", "look", "use"};
    QTest::newRow("bools (file order)") << int(NameLists::Bools) << QStringList{"doorOpen", "lampLit", "met10", "score10"};
    QTest::newRow("music") << int(NameLists::MusicNames) << QStringList{"theme"};
    QTest::newRow("sounds") << int(NameLists::SoundNames) << QStringList{"ding", "steps"};
    QTest::newRow("flash movies") << int(NameLists::FlashMovies) << QStringList{"intro"};
    QTest::newRow("other movies") << int(NameLists::Movies) << QStringList{"teaser"};
    QTest::newRow("items") << int(NameLists::ItemNames) << QStringList{"coin", "key"};
    QTest::newRow("scripts") << int(NameLists::ScriptNames) << QStringList{"mainloop", "opening"};
    QTest::newRow("character instances") << int(NameLists::CharacterInstances) << QStringList{"alice1", "bob1", "self"};
    QTest::newRow("rooms") << int(NameLists::RoomNames) << QStringList{"cellar", "hall", "last"};
    QTest::newRow("object instances") << int(NameLists::ObjectInstances) << QStringList{"door1", "lamp1"};
}

void TestReferenceFiles::nameLists()
{
    QFETCH(int, list);
    QFETCH(QStringList, names);
    MessageCatalog cat;
    ProjectModel read;
    const ProjectFileResult r = readCompanionFiles(read, cat, referenceFiles(), true, "reference");
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(read.names[list], names);
}

void TestReferenceFiles::writesTheFixtureBytes_data()
{
    QTest::addColumn<bool>("fromFixture");
    QTest::newRow("the expected project") << false;
    QTest::newRow("the fixture read back") << true;
}

void TestReferenceFiles::writesTheFixtureBytes()
{
    QFETCH(bool, fromFixture);
    MessageCatalog cat;
    const CompanionFiles fixture = referenceFiles();
    std::unique_ptr<ProjectModel> m;
    if (fromFixture) {
        m = std::make_unique<ProjectModel>();
        const ProjectFileResult r = readCompanionFiles(*m, cat, fixture, true, "reference");
        QVERIFY2(r.ok, qPrintable(r.message));
    } else {
        m = referenceProject(cat);
    }
    const CompanionFiles written = writeCompanionFiles(*m);
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(!fixture.files[i].isEmpty(), qPrintable(kSuffixes[i]));
        const QString d = firstDifferentLine(written.files[i], fixture.files[i]);
        QVERIFY2(d.isEmpty(), qPrintable(kSuffixes[i] + ' ' + d));
    }
}

void TestReferenceFiles::olderLayouts_data()
{
    QTest::addColumn<QString>("version");
    const QDir dir(QFINDTESTDATA("data/layouts"));
    const QStringList files = dir.entryList({"*.001"}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &f : files)
        QTest::newRow(qPrintable(f.left(3))) << f.left(3);
}

void TestReferenceFiles::olderLayouts()
{
    QFETCH(QString, version);
    const int v = projectVersionNumber(version);
    QVERIFY2((v > 0 && v < 22) || v == 99, qPrintable(version));
    CompanionFiles files;
    for (int i = 0; i < 3; ++i) {
        const std::optional<QByteArray> f = layoutFile(version, kSuffixes[i]);
        QVERIFY2(f, qPrintable(kSuffixes[i]));
        files.files[i] = *f;
    }
    const std::optional<QByteArray> languages = layoutFile(version, ".004");
    if (languages)
        files.files[3] = *languages;

    MessageCatalog cat;
    ProjectModel read;
    read.lastGameFolder = "from config.ini"; // what the editor's settings gave before the open
    const ProjectFileResult r = readCompanionFiles(read, cat, files, bool(languages), version);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.version, version);
    const std::unique_ptr<ProjectModel> expected = layoutProject(cat, v);
    MB_COMPARE_RECORDS(read, *expected);

    // Saved in the current layout, the upgraded project reads back the same.
    ProjectModel again;
    again.lastGameFolder = "from config.ini";
    QVERIFY(readCompanionFiles(again, cat, writeCompanionFiles(read), true, "upgraded").ok);
    MB_COMPARE_RECORDS(again, *expected);
}

QTEST_GUILESS_MAIN(TestReferenceFiles)
#include "tst_referencefiles.moc"
