#include "commandtable.h"

#include "project/texthelpers.h"

#include <QHash>
#include <QSet>

#include <array>

namespace mb {

namespace {

struct CommandEntry
{
    const char *name;
    int required;
    const char *menuForm; // nullptr: the command has no insert menu entry of its own
};

// The table order is fixed (the index comments are the table indexes); lookups go by name.
constexpr std::array<CommandEntry, CommandTable::count()> kCommands = {{
    {"on", 1, nullptr}, // 0
    {"taskbar", 1, "taskbar (true /false)"}, // 1
    {"if_obj", 2, "if_obj (instance ; state)"}, // 2
    {"if_command", 0, "if_command (command)"}, // 3
    {"if_bool", 2, "if_bool (bool ; true/false)"}, // 4
    {"if_link", 1, "if_link (linkname)"}, // 5
    {"if_textscene", 4, "if_textscene (textscene ; level ; row ; true/false)"}, // 6
    {"if_focus", 1, "if_focus (character)"}, // 7
    {"if_charin", 2, "if_charin (character ; room)"}, // 8
    {"if_num", 2, "if_num (name ; number)"}, // 9
    {"if_hasitem", 2, "if_hasitem (character ; item)"}, // 10
    {"setobj", 2, "setobj (instance ; state1 ; <state2> ..ect)"}, // 11
    {"setscreenchange", 1, "setscreenchange (style)"}, // 12
    {"setfocus", 1, "setfocus (character)"}, // 13
    {"setchar", 2, "setchar (character ; action1 ; <action2> .. ect)"}, // 14
    {"setwalkmap", 4, "setwalkmap (room ; x ; y ; true/false)"}, // 15
    {"set_rect_walkmap", 6, "set_rect_walkmap (room ; x1 ; y1 ; x2 ; y2 ; true/false)"}, // 16
    {"offtextcolor", 3, "offtextcolor (R ; G ; B)"}, // 17
    {"setfont", 1, "setfont (1-99)"}, // 18
    {"instobj", 2, "instobj (instance ; state ; <state2> ..ect)"}, // 19
    {"setbool", 2, "setbool (bool ; true/false)"}, // 20
    {"setnum", 2, "setnum (name ; number)"}, // 21
    {"randomnum", 2, "randomnum (name ; limit)"}, // 22
    {"playmusic", 1, "playmusic (music)"}, // 23
    {"playsound", 1, "playsound (sound ; vol)"}, // 24
    {"stopmusic", 0, "stopmusic ()"}, // 25
    {"loopsound", 1, "loopsound (sound ; vol)"}, // 26
    {"loopstop", 1, "loopstop (sound)"}, // 27
    {"loadroom", 1, "loadroom (Room)"}, // 28
    {"subroom", 1, "subroom (Room)"}, // 29
    {"return", 0, "return ()"}, // 30
    {"setlight", 4, "setlight (Room ; R ; G ; B)"}, // 31
    {"setpos", 3, "setpos (Room ; x ; y ; true/false)"}, // 32
    {"jiggle", 1, "jiggle (seconds)"}, // 33
    {"level", 1, nullptr}, // 34
    {"row", 3, nullptr}, // 35
    {"walkto", 3, "walkto (character ; x ; y ; <view> ; <dontwait>)"}, // 36
    {"speech", 2, "speech (character ; text ; <sample> ; <dontwait>)"}, // 37
    {"follow", 2, "follow (character1 ; character2 ; <dontwait>)"}, // 38
    {"offspeech", 3, "offspeech (x ; y ; text ; <sample> ; <dontwait>)"}, // 39
    {"beamto", 4, "beamto (character ; room ; x ; y ; <blick>)"}, // 40
    {"pickup", 1, "pickup (character)"}, // 41
    {"lookto", 2, "lookto (character1 ; 1-4 / character2)"}, // 42
    {"inv_up", 1, "inv_up (count)"}, // 43
    {"inv_down", 1, "inv_down (count)"}, // 44
    {"link", 1, "link (linkname)"}, // 45
    {"givelink", 0, "givelink ()"}, // 46
    {"additem", 2, "additem (character ; item)"}, // 47
    {"delitem", 2, "delitem (character ; item)"}, // 48
    {"exchange", 2, "exchange (character1 ; character2)"}, // 49
    {"wait", 1, "wait (seconds)"}, // 50
    {"cutscene", 1, "cutscene (name)"}, // 51
    {"textscene", 1, "textscene (name; optional : X ; Y ; Width)"}, // 52
    {"endscene", 0, "endscene ()"}, // 53
    {"activate", 3, "activate (textscene ; level ; row)"}, // 54
    {"deactivate", 3, "deactivate (textscene ; level ; row)"}, // 55
    {"gotolevel", 1, "gotolevel (level)"}, // 56
    {"timer", 1, "timer (seconds)"}, // 57
    {"showinfo", 2, "showinfo (text ; true/false)"}, // 58
    {"break", 0, "break ()"}, // 59
    {"restart", 0, "restart ()"}, // 60
    {"command", 0, "command ( )"}, // 61
    {"savenum", 1, "savenum (name)"}, // 62
    {"loadnum", 1, "loadnum (name)"}, // 63
    {"unloadroom", 0, "unloadroom ()"}, // 64
    {"moveobj", 4, "moveobj (name ; x ; y ; speed)"}, // 65
    {"if_xobj", 2, "if_xobj (name ; x)"}, // 66
    {"if_yobj", 2, "if_yobj (name ; y)"}, // 67
    {"if_keydown", 1, "if_keydown (key)"}, // 68
    {"showmouse", 1, "showmouse (true/false)"}, // 69
    {"savegame", 1, "savegame (slot)"}, // 70
    {"loadgame", 1, "loadgame (slot)"}, // 71
    {"quit", 0, "quit ()"}, // 72
    {"textspeed", 1, "textspeed (slow/normal/fast)"}, // 73
    {"textenabled", 1, "textenabled (true/false)"}, // 74
    {"playavi", 2, nullptr}, // 75
    {"stopavi", 0, nullptr}, // 76
    {"playswf", 1, "playswf (movie)"}, // 77
    {"stopswf", 0, "stopswf ()"}, // 78
    {"if_keypressed", 1, "if_keypressed (key)"}, // 79
    {"stepto", 2, "stepto (character ; left/right/up/down)"}, // 80
    {"if_room", 1, "if_room (room)"}, // 81
    {"setcharlight", 4, "setcharlight (character ; R ; G ; B)"}, // 82
    {"if_givelink", 1, "if_givelink (itemname)"}, // 83
    {"realtime", 1, "realtime (true/false)"}, // 84
    {"setparticles", 6, "setparticles (object ; speed ; amount ; direction ; rotate ; var)"}, // 85
    {"startparticles", 0, "startparticles ()"}, // 86
    {"stopparticles", 0, "stopparticles ()"}, // 87
    {"if_string", 2, "if_string (name ; text)"}, // 88
    {"setstring", 2, "setstring (name ; text)"}, // 89
    {"fadespeed", 1, "fadespeed (1-15)"}, // 90
    {"showalltext", 0, "showalltext ()"}, // 91
    {"hidealltext", 0, "hidealltext ()"}, // 92
    {"texthide", 1, "texthide (1-1000)"}, // 93
    {"textout", 1, "textout (1-1000 ; Text; x ; y ; <font> ; <red> ; <green> ; <blue>)"}, // 94
    {"infotextcolor", 3, "infotextcolor (R ; G ; B)"}, // 95
    {"instmouse", 1, "instmouse (icon)"}, // 96
    {"charzoom", 2, "charzoom (character ; size in % ; fade)"}, // 97
    {"if_ischar", 1, "if_ischar (character)"}, // 98
    {"stopzooming", 2, "stopzooming (character ; true/false) "}, // 99
    {"setwalksound", 2, "setwalksound (character ; soundname)"}, // 100
    {"enablemouse", 1, "enablemouse (true/false)"}, // 101
    {"seteax", 1, "seteax (Effect)"}, // 102
    {"savestring", 1, "savestring (name)"}, // 103
    {"loadstring", 1, "loadstring (name)"}, // 104
    {"group", 3, "group (name ; object1 ; object2 ... object20)"}, // 105
    {"simclick", 1, nullptr}, // 106
    {"musicvolume", 1, "musicvolume (0-100)"}, // 107
    {"switchchar", 2, "switchchar (character1 ; character2)"}, // 108
    {"if_mousewheel", 1, "if_mousewheel (up /down)"}, // 109
    {"settransparency", 1, "settransparency (0-100)"}, // 110
    {"starteffect", 1, nullptr}, // 111
    {"stopeffect", 1, "stopeffect (effect / all)"}, // 112
    {"stopskip", 0, "stopskip ()"}, // 113
    {"realreturn", 0, nullptr}, // 114
    {"speechvolume", 1, "speechvolume (0-100)"}, // 115
    {"setlanguage", 1, "setlanguage (origin / name)"}, // 116
    {"popupcoin", 0, "popupcoin ()"}, // 117
    {"minicut", 0, "minicut ()"}, // 118
    {"enablefxshape", 1, "enablefxshape (true / false)"}, // 119
    {"entertext", 1, "entertext (string ; x ; y ; <font>; <maxletters> ; <red> ; <green> ; <blue>)"}, // 120
    {"showinv", 1, nullptr}, // 121
    {"showinventory", 1, "showinventory (1-5)"}, // 122
    {"scrollspeed", 1, "scrollspeed (1-20)"}, // 123
    {"enablemenu", 1, "enablemenu (true /false)"}, // 124
    {"function", 1, "function (skriptname ; loopcount)"}, // 125
    {"stopfunction", 1, "stopfunction (scriptname)"}, // 126
    {"bindtext", 2, "bindtext (1-1000 ; bind to)"}, // 127
    {"moviewait", 1, "moviewait (sec)"}, // 128
    {"loadchar", 1, "loadchar (character)"}, // 129
    {"particleview", 1, "particleview (1-4)"}, // 130
    {"linkchar", 2, "linkchar (character ; object)"}, // 131
    {"unlinkchar", 1, "unlinkchar (character)"}, // 132
    {"playvideo", 2, "playvideo (video ; true/false)"}, // 133
    {"stopvideo", 0, "stopvideo ()"}, // 134
    {"textscenestyle", 1, "textscenestyle (useitem / usetext)"}, // 135
    {"setobjlight", 4, "setobjlight (instande ; R ; G ; B)"}, // 136
    {"movetext", 4, "movetext (1-1000 ; x ; y ; speed)"}, // 137
    {"textalign", 2, "textalign (1-1000 ; left / center / right)"}, // 138
    {"setitem", 2, "setitem (item ; state)"}, // 139
    {"if_item", 2, "if_item (item ; state)"}, // 140
    {"runto", 3, "runto (character ; x ; y ; <view> ; <dontwait>)"}, // 141
    {"runspeed", 1, "runspeed (speed in %)"}, // 142
    {"sqrt", 1, nullptr}, // 143
    {"stopsound", 1, "stopsound (sound)"}, // 144
}};

constexpr std::array<const char *, 13> kEvents = {
    "mouse", "mouseout", "click", "release", "rightclick", "doubleclick", "enter",
    "exit", "loop1", "loop2", "link", "givelink", "cantall",
};

// Valid commands that are left out of the highlighted words: the checker accepts them, the
// editor shows them in the normal style.
constexpr std::array<const char *, 7> kNotKeywords = {
    "realreturn", "showinv", "showinventory", "enablemenu", "particleview", "movetext", "sqrt",
};

// Highlighted words beyond the command names: "leftactions" and the negated conditions.
constexpr std::array<const char *, 20> kExtraKeywords = {
    "leftactions",
    "ifnot_bool", "ifnot_charin", "ifnot_command", "ifnot_focus", "ifnot_givelink",
    "ifnot_hasitem", "ifnot_ischar", "ifnot_item", "ifnot_keydown", "ifnot_keypressed",
    "ifnot_link", "ifnot_mousewheel", "ifnot_num", "ifnot_obj", "ifnot_room",
    "ifnot_string", "ifnot_textscene", "ifnot_xobj", "ifnot_yobj",
};

// Captions of the Special FX submenu, one per effect.
constexpr std::array<const char *, 24> kEffectForms = {
    "starteffect (mirror)", "starteffect (flip)", "starteffect (slowmotion ; )",
    "starteffect (blur)", "starteffect (scanlines ; )", "starteffect (fog ; )",
    "starteffect (noise ; )", "starteffect (colornoise ; )", "starteffect (monitor ; )",
    "starteffect (pixelate ; )", "starteffect (bloom ; )", "starteffect (darkbloom ; )",
    "starteffect (whoosh ; )", "starteffect (super8)", "starteffect (art)",
    "starteffect (hell)", "starteffect (heat)", "starteffect (motionblur ; )",
    "starteffect (drugged ; )", "starteffect (underwater)", "starteffect (classicdark)",
    "starteffect (whiteflash ; ; )", "starteffect (zoom ; ; ; )", "starteffect (lightning ; )",
};

template <std::size_t N>
QStringList toList(const std::array<const char *, N> &words)
{
    QStringList list;
    list.reserve(int(N));
    for (const char *w : words)
        list.append(QString::fromLatin1(w));
    return list;
}

const QHash<QString, int> &commandIndex()
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < CommandTable::count(); ++i)
            h.insert(QString::fromLatin1(kCommands[i].name), i);
        return h;
    }();
    return index;
}

const QSet<QString> &keywordSet()
{
    static const QSet<QString> set(CommandTable::keywords().cbegin(),
                                   CommandTable::keywords().cend());
    return set;
}

bool validIndex(int index)
{
    return index >= 0 && index < CommandTable::count();
}

} // namespace

QString CommandTable::canonicalName(QStringView name)
{
    QString lower = text::asciiLower(name);
    if (lower.startsWith(u"ifnot"))
        lower.replace(0, 5, QStringLiteral("if"));
    return lower;
}

std::optional<int> CommandTable::findCommand(QStringView name)
{
    const auto &index = commandIndex();
    const auto it = index.constFind(canonicalName(name));
    if (it == index.cend())
        return std::nullopt;
    return it.value();
}

int CommandTable::requiredArguments(int index)
{
    return validIndex(index) ? kCommands[index].required : -1;
}

QString CommandTable::name(int index)
{
    return validIndex(index) ? QString::fromLatin1(kCommands[index].name) : QString();
}

const QStringList &CommandTable::names()
{
    static const QStringList list = [] {
        QStringList l;
        l.reserve(count());
        for (const CommandEntry &c : kCommands)
            l.append(QString::fromLatin1(c.name));
        return l;
    }();
    return list;
}

QStringList CommandTable::insertMenuForms(int index)
{
    if (!validIndex(index))
        return {};
    const QString command = name(index);
    // "on" and "starteffect" have submenus: one entry per event, one per effect.
    if (command == u"on") {
        QStringList forms;
        for (const char *event : kEvents)
            forms.append(QStringLiteral("On (%1)").arg(QLatin1String(event)));
        forms.append(QStringLiteral("On (command)"));
        return forms;
    }
    if (command == u"starteffect")
        return toList(kEffectForms);
    if (!kCommands[index].menuForm)
        return {};
    return {QString::fromLatin1(kCommands[index].menuForm)};
}

const QStringList &CommandTable::eventNames()
{
    static const QStringList list = toList(kEvents);
    return list;
}

const QStringList &CommandTable::keywords()
{
    static const QStringList list = [] {
        const QStringList left = toList(kNotKeywords);
        QStringList l;
        for (const QString &command : names()) {
            if (!left.contains(command))
                l.append(command);
        }
        l.append(toList(kExtraKeywords));
        return l;
    }();
    return list;
}

bool CommandTable::isKeyword(QStringView word)
{
    return keywordSet().contains(text::asciiLower(word));
}

} // namespace mb
