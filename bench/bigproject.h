#pragma once
// A generator of a big project for the benchmarks: every table filled to a realistic size.

#include "project/messagecatalog.h"
#include "project/projectmodel.h"

#include <memory>

namespace mb::bench {

inline std::unique_ptr<ProjectModel> bigProject(const MessageCatalog &cat)
{
    auto p = std::make_unique<ProjectModel>();
    ProjectModel &m = *p;
    m.allesneu(cat);
    m.settings.projectName = QStringLiteral("big");
    for (int i = 1; i <= 15000; ++i)
        m.mediaadd(Images, QStringLiteral("image%1").arg(i), QStringLiteral("/home/author/big/gfx/folder%1/image%2.png").arg(i % 50).arg(i));
    for (int i = 1; i <= 99; ++i) {
        RFont &f = m.fonts[i];
        f.name = QStringLiteral("Liberation Sans");
        f.size = 8 + i % 20;
        f.outline = i % 4;
        f.shadow = i % 3;
    }
    for (int i = 1; i <= 5000; ++i) {
        Rcutscene &c = m.cutscenes[i];
        c.name = QStringLiteral("script%1").arg(i);
        for (int l = 0; l < 20; ++l)
            c.script << QStringLiteral("speech(hero%1;This is line %2 of script %3, said with care.)").arg(i % 300).arg(l).arg(i);
    }
    for (int i = 1; i <= 1000; ++i) {
        RItem &it = m.items[i];
        it.name = QStringLiteral("item%1").arg(i);
        for (int f = 0; f < 25; ++f)
            it.frames[0][f].image = QStringLiteral("image%1").arg((i + f) % 15000 + 1);
        it.script = {QStringLiteral("on(click)"), QStringLiteral("{"), QStringLiteral("  speech(self;A fine item.)"), QStringLiteral("}")};
    }
    for (int i = 1; i <= 2000; ++i) {
        Robj &o = m.objects[i];
        o.name = QStringLiteral("object%1").arg(i);
        o.width = 64;
        o.height = 64;
        for (int s = 0; s < 3; ++s)
            for (int f = 0; f < 10; ++f) {
                o.frames[s][f].image = QStringLiteral("image%1").arg((i * 7 + f) % 15000 + 1);
                if (f == 3)
                    o.frames[s][f].script = QStringLiteral("playsound(creak;80);setbool(open;true)");
            }
    }
    for (int i = 1; i <= 300; ++i) {
        Rcharacter &c = m.characters[i];
        c.name = QStringLiteral("hero%1").arg(i);
        for (int s = 0; s < 16; ++s)
            for (int f = 0; f < 12; ++f)
                c.frames[s][f].image = QStringLiteral("image%1").arg((i * 13 + s * 30 + f) % 15000 + 1);
    }
    for (int i = 1; i <= 1000; ++i) {
        Rroom &r = m.rooms[i];
        r.name = QStringLiteral("room%1").arg(i);
        r.width = 1280;
        r.height = 480;
        r.background = QStringLiteral("image%1").arg(i);
        r.script = {QStringLiteral("on(enter)"), QStringLiteral("{"), QStringLiteral("  playmusic(theme)"), QStringLiteral("}")};
        for (int col = 1; col <= 160; ++col)
            for (int row = 40; row <= 90; ++row)
                r.walkmap.setBlocked(col, row, false);
        for (int k = 0; k < 20; ++k) {
            const int col = 10 + k * 7, row = 60 + k % 20;
            r.walkmap.setHasScript(col, row, true);
            r.walkmap.script(col, row) = {QStringLiteral("on(enter)"), QStringLiteral("{ loadroom(room%1;1) }").arg(i % 1000 + 1)};
        }
        for (int k = 0; k < 2; ++k) {
            Rroomobj &o = r.objects[k];
            o.instanceName = QStringLiteral("obj%1_%2").arg(i).arg(k);
            o.objectName = QStringLiteral("object%1").arg((i * 2 + k) % 2000 + 1);
            o.x = 100 * k;
            o.y = 300;
            o.script = {QStringLiteral("on(click)"), QStringLiteral("{ speech(self;Nothing here.) }")};
        }
    }
    for (int i = 1; i <= 300; ++i) {
        Rroomchar &rc = m.roomChars[i];
        rc.instanceName = QStringLiteral("hero%1_in").arg(i);
        rc.characterName = QStringLiteral("hero%1").arg(i);
        rc.roomName = QStringLiteral("room%1").arg(i);
        rc.script = {QStringLiteral("on(click)"), QStringLiteral("{ speech(self;Hello.) }")};
    }
    // The trees list every element and image once.
    const int kinds[5] = {Characters, Scripts, Items, Objects, Rooms};
    const int images[5] = {nodeimage::Character, nodeimage::Script, nodeimage::Item, nodeimage::Object, nodeimage::Room};
    for (int k = 0; k < 5; ++k) {
        TreeNode *root = m.gameTree.root(k);
        auto add = [&](const QString &n) { root->addChild(n, images[k]); };
        switch (kinds[k]) {
        case Characters: for (const auto &c : m.characters) if (!c.name.isEmpty()) add(c.name); break;
        case Scripts: for (const auto &c : m.cutscenes) if (!c.name.isEmpty()) add(c.name); break;
        case Items: for (const auto &c : m.items) if (!c.name.isEmpty()) add(c.name); break;
        case Objects: for (const auto &c : m.objects) if (!c.name.isEmpty()) add(c.name); break;
        case Rooms: for (const auto &c : m.rooms) if (!c.name.isEmpty()) add(c.name); break;
        }
    }
    TreeNode *gfx = m.mediaTree.root(0);
    for (int f = 0; f < 50; ++f) {
        TreeNode *folder = gfx->addChild(QStringLiteral("folder%1").arg(f), nodeimage::Folder);
        for (int i = f == 0 ? 50 : f; i <= 15000; i += 50)
            folder->addChild(QStringLiteral("image%1").arg(i), nodeimage::Image);
    }
    m.gameTree.sort();
    m.mediaTree.sort();
    return p;
}

} // namespace mb::bench
