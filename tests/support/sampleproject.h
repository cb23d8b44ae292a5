#pragma once
// A small project with every kind of element, for the tests of the file formats and the
// operations built on them.

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <memory>

namespace mb::testing {

// The session's project for preparing a case: writes through it bypass the undo stack, so they
// belong before the operations under test.
inline ProjectModel *writable(ProjectSession &session)
{
    return &session.modelForUncommandedEdits();
}

// The session's project as a fixture member: `->` and `*` reach it directly, to prepare a case.
struct SessionModel
{
    ProjectSession *session;
    ProjectModel *operator->() const { return writable(*session); }
    ProjectModel &operator*() const { return *writable(*session); }
};

inline std::unique_ptr<ProjectModel> sampleProject(const MessageCatalog &cat = MessageCatalog())
{
    auto p = std::make_unique<ProjectModel>();
    ProjectModel &m = *p;
    m.allesneu(cat);
    m.settings.projectName = QStringLiteral("sample");
    m.lastGameFolder = QStringLiteral("C:\\games\\sample");
    m.settings.gameFonts = {QStringLiteral("Arial"), QStringLiteral("Arial"), QString(), QString(), QString(), QStringLiteral("Times")};
    m.settings.startScript = QStringLiteral("intro");
    m.settings.taskRoom = QStringLiteral("taskbar");
    m.settings.oben = true;
    m.settings.protect = true;
    m.settings.silentDelete = true;
    m.settings.taskHide = false;
    m.settings.rightClickMode = 2;
    m.settings.transany = 40;
    m.settings.coinInterface = true;
    m.settings.coinRoom = QStringLiteral("coins");
    m.settings.coinTop = -11;
    m.settings.textsceneStyle = 2;
    m.mouse.useWheel = true;
    m.mouse.frames[0][0] = QStringLiteral("arrow");
    m.mouse.command[3] = 4;

    RFont &f = m.fonts[1];
    f.name = QStringLiteral("Arial");
    f.bold = true;
    f.size = 12;
    f.outline = 3;
    f.shadow = 2;
    f.fill = 1;
    f.fading = 50;
    f.charset = 238;

    m.commands.bools = {{QStringLiteral("doorOpen"), true}, {QStringLiteral("met0"), false}};
    m.commands.rows = {{QStringLiteral("walk"), QStringLiteral("Walk to")}, {QStringLiteral("take"), QStringLiteral("Pick up")}};

    m.cutscenes[1].name = QStringLiteral("intro");
    m.cutscenes[1].script = {QStringLiteral("speech(self;Grüße, café ½ – \u20AC)"), QString(), QStringLiteral("  setbool(doorOpen;true)")};
    m.cutscenes[2].name = QStringLiteral("empty");

    RItem &it = m.items[1];
    it.name = QStringLiteral("key");
    it.frames[0][0] = {QStringLiteral("keyimg"), QStringLiteral("playsound(ding;80);setbool(a;true)")};
    it.frames[9][24] = {QStringLiteral("last"), QString()};
    it.speed[9] = 7;
    it.script = {QStringLiteral("on(click)"), QStringLiteral("{"), QStringLiteral("}")};

    Robj &o = m.objects[1];
    o.name = QStringLiteral("door");
    o.width = 40;
    o.height = 90;
    o.flag = true;
    o.frames[1][2] = {QStringLiteral("door_a"), QStringLiteral("door_b"), QStringLiteral("a;b"), 1, -2, 3, -4};
    o.speed[1] = 12;

    Rcharacter &c = m.characters[1];
    c.name = QStringLiteral("bob");
    c.textColor = 0xFF00FF;
    c.walkSpeed = 3;
    c.leftani = true;
    c.ghostmode = true;
    c.walkSound = QStringLiteral("steps");
    c.fontIndex = 1;
    c.scale = 80;
    c.width[35] = 30;
    c.footY[35] = -5;
    c.frames[35][29] = {QStringLiteral("bob_walk"), QString(), QStringLiteral("x;y"), 0, 0, 0, 0};
    c.extraNames[3] = QStringLiteral("Dance");

    Rroom &r = m.rooms[1];
    r.name = QStringLiteral("hall");
    r.width = 1280;
    r.height = 480;
    r.zoomTop = 5;
    r.zoomBottom = 10;
    r.background = QStringLiteral("hallbg");
    r.flag1 = true;
    r.values = {1, -2, 3, 4};
    r.factors = {0.5, 1.25};
    r.fx[1].flag2 = true;
    r.fx[1].text = QStringLiteral("fog");
    r.fx[1].cornerX = {10, 20, 21, 11};
    r.fx[1].calcziehpunkt();
    r.script = {QStringLiteral("on(enter)"), QStringLiteral("{"), QStringLiteral("}")};
    r.walkmap.setBlocked(1, 1, false);
    r.walkmap.setBlocked(192, 96, false);
    r.walkmap.setHasScript(150, 90, true);
    r.walkmap.script(150, 90) = {QStringLiteral("on(enter)"), QStringLiteral("{ loadroom(cellar;1) }")};
    r.walkmap.script(3, 3) = {QStringLiteral("not written: no has-script flag")};
    Rroomobj &po = r.objects[0];
    po.instanceName = QStringLiteral("door1");
    po.objectName = QStringLiteral("door");
    po.x = 100;
    po.y = 200;
    po.state = 1;
    po.depthLine = 40;
    po.flag = true;
    po.script = {QStringLiteral("on(click)"), QStringLiteral("{ speech(self;locked) }")};

    m.rooms[2].name = QStringLiteral("cellar");

    Rroomchar &rc = m.roomChars[1];
    rc.instanceName = QStringLiteral("bob1");
    rc.characterName = QStringLiteral("bob");
    rc.roomName = QStringLiteral("hall");
    rc.x = 300;
    rc.y = 400;
    rc.flag2 = true;
    rc.script = {QStringLiteral("on(click)")};

    m.media[Images].set(1, QStringLiteral("hallbg"), QStringLiteral("C:\\sample\\gfx\\hallbg.png"));
    m.media[Images].set(2, QStringLiteral("door_a"), QStringLiteral("/home/a/sample/gfx/door_a.png"));
    m.media[Sounds].set(1, QStringLiteral("ding"), QStringLiteral("/s/ding.wav"));
    m.media[Music].set(1, QStringLiteral("theme"), QStringLiteral("/m/theme.xm"));
    m.media[Movies].set(1, QStringLiteral("intro"), QStringLiteral("/v/intro.swf"));

    TreeNode *chars = m.gameTree.root(0);
    chars->addChild(QStringLiteral("bob"), nodeimage::Character);
    m.gameTree.root(1)->addChild(QStringLiteral("empty"), nodeimage::Script);
    m.gameTree.root(1)->addChild(QStringLiteral("intro"), nodeimage::Script);
    m.gameTree.root(2)->addChild(QStringLiteral("key"), nodeimage::Item);
    m.gameTree.root(3)->addChild(QStringLiteral("door"), nodeimage::Object);
    TreeNode *floor = m.gameTree.root(4)->addChild(QStringLiteral("ground floor"), nodeimage::Folder);
    floor->addChild(QStringLiteral("cellar"), nodeimage::Room);
    floor->addChild(QStringLiteral("hall"), nodeimage::Room);
    TreeNode *gfx = m.mediaTree.root(0)->addChild(QStringLiteral("backgrounds"), nodeimage::Folder);
    gfx->addChild(QStringLiteral("hallbg"), nodeimage::Image);
    m.mediaTree.root(0)->addChild(QStringLiteral("door_a"), nodeimage::Image);
    m.mediaTree.root(1)->addChild(QStringLiteral("theme"), nodeimage::Music);
    m.mediaTree.root(2)->addChild(QStringLiteral("ding"), nodeimage::Sound);
    m.mediaTree.root(3)->addChild(QStringLiteral("intro"), nodeimage::Movie);

    m.origin.speech = {QStringLiteral("Hello")};
    m.origin.voicespeech = {QStringLiteral("hello.wav")};
    m.origin.kommandos = {QStringLiteral("Walk to")};
    m.languages[1].name = QStringLiteral("deutsch");
    m.languages[1].lists.speech = {QStringLiteral("Hallo")};
    m.languages[1].lists.voicespeech = {QStringLiteral("hallo.wav")};
    return p;
}

} // namespace mb::testing
