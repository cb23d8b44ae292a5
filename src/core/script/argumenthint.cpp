#include "argumenthint.h"

#include "commandtable.h"
#include "project/messagecatalog.h"

#include <array>

namespace mb {

namespace {

// Rules with this position apply at every position from 2 on, after that position's own rules.
constexpr int kFromSecond = -1;
constexpr int kNone = ArgumentHint::NoList;

struct HintRule
{
    int position;
    const char *commands; // blank-separated canonical command names; nullptr matches every command
    int message;          // catalog number of the hint's first part, 0 for none
    const char *literal;  // appended directly after the message text (or the whole hint)
    int nameList;
};

// Rules are applied in this order; where several match, the last one wins.
constexpr std::array kRules = std::to_array<HintRule>({
    {0, nullptr, 265, "", 16},

    {1, "runspeed", 557, " 50% - 300%", kNone},
    {1, "if_command command", 489, "", 1},
    {1, "particleview", 0, "(1-4)", 17},
    {1, "if_link link", 490, "", kNone},
    {1, "instmouse", 53, " (1-8)", kNone},
    {1, "group", 492, "", kNone},
    {1, "scrollspeed", 0, "(1-20) 4 = Default", kNone},
    {1, "seteax", 493, "", 2},
    {1, "starteffect stopeffect", 494, "", 3},
    {1, "inv_up inv_down", 497, "", kNone},
    {1, "showinventory", 0, "Inventory (1-5)", kNone},
    {1, "setlanguage", 454, "", 4},
    {1, "loadgame savegame", 499, "", kNone},
    {1, "textspeed", 500, "", kNone},
    {1, "textalign textout texthide bindtext movetext", 502, "", kNone},
    {1, "startparticles stopparticles", 0, "fast (Optional)", kNone},
    {1, "jiggle wait timer moviewait", 509, "", kNone},
    {1, "fadespeed", 510, "", kNone},
    {1, "settransparency", 435, "(0-100)", kNone},
    {1, "offtextcolor infotextcolor", 511, "", kNone},
    {1, "setfont", 409, "(1-99)", kNone},
    {1, "setscreenchange", 285, "", 0},
    {1, "on", 512, "", 5},
    {1, "enablefxshape showmouse enablemouse taskbar realtime textenabled enablemenu", 0,
     "true / false", kNone},
    {1, "offspeech", 0, "X (walkmap)", kNone},
    {1, "setbool if_bool", 518, "", 6},
    {1, "setstring if_string savestring loadstring entertext", 0, "String Name", kNone},
    {1, "setnum if_num randomnum savenum loadnum", 520, "", kNone},
    {1, "if_mousewheel", 0, "UP or DOWN", kNone},
    {1, "if_keydown if_keypressed", 521, "", kNone},
    {1, "row level gotolevel", 0, "Level 1-9", kNone},
    {1, "musicvolume speechvolume", 523, "", kNone},
    {1, "playmusic", 27, "", 7},
    {1, "playsound loopsound loopstop", 26, "", 8},
    {1, "playswf", 28, "", 9},
    {1, "playvideo", 28, "", 10},
    {1, "if_givelink", 32, "", 11},
    {1, "if_textscene cutscene stopfunction function textscene activate deactivate", 33, "", 12},
    {1, "if_focus if_charin if_ischar if_hasitem setfocus walkto setwalksound stepto follow "
        "beamto lookto setchar switchchar speech additem delitem pickup setcharlight charzoom "
        "stopzooming exchange loadchar linkchar unlinkchar runto",
     31, "", 13},
    {1, "if_room setwalkmap set_rect_walkmap loadroom subroom setlight setpos", 29, "", 14},
    {1, "if_obj if_xobj if_yobj setobj instobj moveobj setobjlight", 30, "", 15},
    {1, "setparticles", 30, "", kNone},
    {1, "minicut", 0, "(Optional : donthide)", kNone},
    {1, "showinfo", 503, "", kNone},
    {1, "if_item setitem", 32, "", 11},

    {2, "linkchar", 30, "", 15},
    {2, "jiggle", 551, "", kNone},
    {2, "randomnum", 491, "", kNone},
    {2, "cutscene", 0, "(Optional : donthide)", kNone},
    {2, "bindtext", 29, " (any/taskbar/menu)", kNone},
    {2, "textalign", 0, "(left/center/right)", kNone},
    {2, "charzoom", 495, "", kNone},
    {2, "function", 0, "loopcount / \"infinit\" / loop2", kNone},
    {2, "starteffect", 501, "", kNone},
    {2, "textout if_string setstring row", 503, "", kNone},
    {2, "setparticles", 243, "", kNone},
    {2, "speech", 508, "", kNone},
    {2, "offtextcolor infotextcolor setlight setcharlight setobjlight", 511, "", kNone},
    {2, "loadroom", 285, " (Optional)", 0},
    {2, "if_bool setbool stopzooming playvideo", 0, "true / false", kNone},
    {2, "showinfo", 513, "", kNone},
    {2, "stepto", 0, "UP/DOWN/RIGHT/LEFT", kNone},
    {2, "lookto", 516, "", kNone},
    {2, "set_rect_walkmap", 0, "X1", kNone},
    {2, "offspeech", 0, "Y (walkmap)", kNone},
    {2, "setwalkmap setpos walkto runto", 0, "X (walkmap)", kNone},
    {2, "setnum if_num", 519, "", kNone},
    {2, "if_xobj moveobj movetext entertext textscene", 0, "X (pixel)", kNone},
    {2, "if_yobj", 0, "Y (pixel)", kNone},
    {2, "activate deactivate if_textscene", 0, "Level 1-9", kNone},
    {2, "playsound loopsound", 523, "", kNone},
    {2, "setwalksound", 26, "", 8},
    {2, "if_obj if_item", 522, "", kNone},
    {2, "if_hasitem additem delitem", 32, "", 11},
    {2, "switchchar follow exchange", 31, "", 13},
    {2, "beamto if_charin", 29, "", 14},

    {3, "setparticles", 504, "", kNone},
    {3, "charzoom starteffect", 0, "fade (Optional)", kNone},
    {3, "speech", 507, " or \"dontwait\"", 8},
    {3, "offspeech", 508, "", kNone},
    {3, "offtextcolor infotextcolor setlight setcharlight setobjlight", 511, "", kNone},
    {3, "follow", 0, "Optional : dontwait", kNone},
    {3, "set_rect_walkmap", 0, "Y1", kNone},
    {3, "setwalkmap setpos walkto runto", 0, "Y (walkmap)", kNone},
    {3, "beamto", 0, "X (walkmap)", kNone},
    {3, "moveobj movetext entertext textscene", 0, "Y (pixel)", kNone},
    {3, "textout", 0, "X (pixel)", kNone},
    {3, "row", 476, " (true/false)", kNone},
    {3, "activate deactivate if_textscene", 0, "Row 1-9", kNone},
    {3, "additem delitem", 0, "Inventory (1-5)", kNone},

    {4, "textscene", 498, "", kNone},
    {4, "setparticles", 505, "", kNone},
    {4, "offspeech", 507, " or \"dontwait\"", 8},
    {4, "setlight setcharlight setobjlight", 511, "", kNone},
    {4, "entertext", 409, "(1-99)", kNone},
    {4, "setpos", 514, "", kNone},
    {4, "moveobj movetext", 515, "", kNone},
    {4, "walkto runto", 516, " or \"dontwait\"", kNone},
    {4, "setwalkmap", 517, "", kNone},
    {4, "speech", 0, "Optional : dontwait", kNone},
    {4, "set_rect_walkmap", 0, "X2", kNone},
    {4, "beamto", 0, "Y (walkmap)", kNone},
    {4, "textout", 0, "Y (pixel)", kNone},
    {4, "if_textscene", 476, " (true/false)", kNone},

    {5, "entertext", 496, "", kNone},
    {5, "setparticles", 506, "", kNone},
    {5, "setlight setcharlight setobjlight", 0, "fade (Optional)", kNone},
    {5, "textout", 409, "(1-99)", kNone},
    {5, "setpos", 0, "Optional : UP/DOWN/RIGHT/LEFT", kNone},
    {5, "beamto", 516, "", kNone},
    {5, "moveobj", 0, "Optional : wait", kNone},
    {5, "walkto offspeech runto", 0, "Optional : dontwait", kNone},
    {5, "set_rect_walkmap", 0, "Y2", kNone},

    {6, "setparticles", 0, "Variation in %", kNone},
    {6, "textout entertext", 511, "", kNone},
    {6, "set_rect_walkmap", 517, "", kNone},

    {7, "textout entertext", 511, "", kNone},

    {8, "textout entertext", 511, "", kNone},

    // Commands that take any number of further arguments of one kind.
    {kFromSecond, "setchar", 343, " (1-20) (Extraname)", kNone},
    {kFromSecond, "setobj instobj setitem", 522, "", kNone},
    {kFromSecond, "group", 30, "", 15},
});

bool appliesAt(const HintRule &rule, int position)
{
    return rule.position == kFromSecond ? position >= 2 : rule.position == position;
}

// True when command is one of the blank-separated names in list.
bool listsCommand(const char *list, QStringView command)
{
    const QLatin1StringView names(list);
    qsizetype start = 0;
    while (start < names.size()) {
        qsizetype end = names.indexOf(u' ', start);
        if (end < 0)
            end = names.size();
        if (command == names.sliced(start, end - start))
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

ArgumentHint argumentHint(QStringView command, int position, const MessageCatalog &catalog)
{
    const QString name = CommandTable::canonicalName(command);
    const HintRule *winner = nullptr;
    for (const HintRule &rule : kRules) {
        if (appliesAt(rule, position) && (!rule.commands || listsCommand(rule.commands, name)))
            winner = &rule;
    }
    if (!winner)
        return {};

    ArgumentHint hint;
    if (winner->message > 0)
        hint.text = catalog.msg(winner->message);
    hint.text += QLatin1StringView(winner->literal);
    hint.nameList = winner->nameList;
    return hint;
}

} // namespace mb
