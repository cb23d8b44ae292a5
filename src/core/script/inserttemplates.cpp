#include "script/inserttemplates.h"

#include "project/messagecatalog.h"
#include "script/commandtable.h"

namespace mb {

namespace inserts {

namespace {

// A submenu: its caption (a catalog number, or the literal when 0) and its entries, "/" marking a
// separator.
struct MenuData
{
    int message;
    const char *caption;
    std::initializer_list<const char *> entries;
};

const MenuData kMenus[] = {
    {0, "On",
     {"on ()", "/", "on (mouse)", "on (mouseout)", "on (click)", "on (release)", "on (rightclick)",
      "on (doubleclick)", "on (enter)", "on (exit)", "on (loop1)", "on (loop2)", "on (link)",
      "on (givelink)", "/", "on (cantall)"}},
    {0, "If",
     {"if_obj ( ; )", "if_xobj ( ; )", "if_yobj ( ; )", "if_focus ()", "if_charin ( ; )", "if_ischar ()",
      "if_room ()", "if_item ( ; )", "if_hasitem ( ; )", "/", "if_keydown ()", "if_keypressed ()",
      "if_mousewheel ()", "if_num ( ; )", "if_string ( ; )", "if_bool ( ; )", "/", "if_command ()",
      "if_link ()", "if_givelink ()", "if_textscene ( ; ; ; )"}},
    {197, "Set",
     {"command ()", "/", "instmouse ()", "setfocus ()", "/", "setbool ( ; )", "setnum ( ; )",
      "setstring ( ; )", "randomnum ( ; )", "savenum ()", "loadnum ()", "savestring ()", "loadstring ()",
      "/", "offtextcolor ( ; ; )", "infotextcolor ( ; ; )", "settransparency ()", "setfont ()",
      "setscreenchange ()", "/", "setwalkmap ( ; ; ; )", "set_rect_walkmap ( ; ; ; ; ; )"}},
    {0, "Sound / Video",
     {"playsound ()", "stopsound ()", "playmusic ()", "stopmusic ()", "fadespeed ()", "musicvolume ()",
      "speechvolume ()", "/", "seteax ()", "/", "playvideo ( ; )", "stopvideo ()", "playswf ()",
      "stopswf ()", "moviewait ()", "/", "loopsound ()", "loopstop ()"}},
    {30, "Object", {"setobj ( ; )", "instobj ( ; )", "moveobj ( ; ; ; )", "/", "group ( ; ; )", "/", "setobjlight ( ; ; ; )"}},
    {29, "Room",
     {"loadroom ()", "unloadroom ()", "/", "subroom ()", "return ()", "/", "setlight ( ; ; ; )",
      "setpos ( ; ; )", "scrollspeed ()", "jiggle ()"}},
    {31, "Character",
     {"walkto ( ; ; )", "setwalksound ( ; )", "stepto ( ; )", "follow ( ; )", "beamto ( ; ; ; )",
      "lookto ( ; )", "setchar ( ; )", "runto ( ; ; )", "runspeed ()", "/", "loadchar ()",
      "switchchar ( ; )", "/", "speech ( ; )", "offspeech ( ; ; )", "/", "pickup ()",
      "setcharlight ( ; ; ; )", "charzoom ( ; )", "stopzooming ( ; )", "linkchar ( ; )", "unlinkchar ()"}},
    {32, "Item",
     {"setitem ( ; )", "additem ( ; )", "delitem ( ; )", "showinventory ()", "exchange ( ; )", "/",
      "inv_up ()", "inv_down ()", "/", "link ()", "givelink ()"}},
    {0, "Special FX",
     {"enablefxshape ()", "/", "stopeffect ()", "/", "starteffect (mirror)", "starteffect (flip)",
      "starteffect (slowmotion ; )", "starteffect (blur)", "starteffect (scanlines ; )",
      "starteffect (fog ; )", "starteffect (noise ; )", "starteffect (colornoise ; )",
      "starteffect (monitor ; )", "starteffect (pixelate ; )", "starteffect (bloom ; )",
      "starteffect (darkbloom ; )", "starteffect (whoosh ; )", "starteffect (super8)",
      "starteffect (art)", "starteffect (hell)", "starteffect (heat)", "starteffect (motionblur ; )",
      "starteffect (drugged ; )", "starteffect (underwater)", "starteffect (classicdark)",
      "starteffect (whiteflash ; ; )", "starteffect (zoom ; ; ; )", "starteffect (lightning ; )"}},
    {0, "Text",
     {"textout ( ; ; ; )", "texthide ()", "bindtext ( ; )", "textalign ( ; )", "showalltext ()",
      "hidealltext ()", "movetext ( ; ; ; )", "/", "entertext ( ; ; )"}},
    {0, "Scene / Game",
     {"cutscene ()", "function ( ; )", "stopfunction ()", "minicut ()", "stopskip ()", "wait ()", "/",
      "showinfo ( ; )", "showmouse ()", "enablemouse ()", "taskbar ()", "enablemenu ()", "realtime()", "/",
      "popupcoin ()", "setlanguage ()", "/", "textscene ()", "endscene ()", "activate ( ; ; )",
      "deactivate ( ; ; )", "gotolevel ()", "textscenestyle ()", "/", "timer ()", "/", "break ()"}},
    {0, "Save/Load Menu", {"loadgame ()", "savegame ()", "/", "textenabled ()", "textspeed ()", "restart ()", "quit ()"}},
    {0, "Particle", {"setparticles ( ; ; ; ; ; )", "particleview ()", "/", "startparticles ()", "stopparticles ()"}},
};

// Entries of commands that take no argument: the caret goes after the ")".
const char *const kNoArguments[] = {
    "stopmusic ()", "stopvideo ()", "stopswf ()", "unloadroom ()", "return ()", "givelink ()",
    "showalltext ()", "hidealltext ()", "minicut ()", "stopskip ()", "popupcoin ()", "endscene ()",
    "break ()", "restart ()", "quit ()", "startparticles ()", "stopparticles ()",
};

QString commandOf(QStringView text)
{
    const qsizetype open = text.indexOf(u'(');
    return (open < 0 ? text : text.left(open)).trimmed().toString();
}

// The menu caption of an entry: the insert-menu form of its command.
QString captionOf(const QString &text)
{
    const QString command = commandOf(text);
    if (command == u"on") {
        const QString event = text.mid(text.indexOf(u'(') + 1).chopped(1).trimmed();
        return event.isEmpty() ? QStringLiteral("On (command)") : QStringLiteral("On (") + event + u')';
    }
    if (command == u"starteffect")
        return text;
    const auto index = CommandTable::findCommand(command);
    const QStringList forms = index ? CommandTable::insertMenuForms(*index) : QStringList();
    return forms.isEmpty() ? text : forms.front();
}

} // namespace

int caretOffset(QStringView text, bool eventEntry)
{
    const qsizetype open = text.indexOf(u'(');
    const int end = int(text.size());
    if (open < 0 || eventEntry)
        return end;
    for (const char *t : kNoArguments)
        if (text == QLatin1String(t))
            return end;
    if (commandOf(text) == u"starteffect") {
        if (text == u"starteffect (classicdark)")
            return end - 1;
        const qsizetype semicolon = text.indexOf(u';');
        if (semicolon < 0)
            return end;
        if (text == u"starteffect (whiteflash ; ; )")
            return int(semicolon + 1);
        return int(semicolon + 2); // in the value slot after "; "
    }
    return int(open + 1);
}

QList<Menu> menus(const MessageCatalog &catalog)
{
    QList<Menu> result;
    for (const MenuData &data : kMenus) {
        Menu menu;
        menu.caption = data.message ? catalog.msg(data.message) : QString::fromLatin1(data.caption);
        menu.sections.append(QList<Entry>());
        const bool on = QLatin1String(data.caption) == u"On";
        bool first = true;
        for (const char *t : data.entries) {
            const QString text = QString::fromLatin1(t);
            if (text == u"/") {
                menu.sections.append(QList<Entry>());
                continue;
            }
            // Every On entry but the first (the game-command entry) is complete: caret at the end.
            menu.sections.back().append(Entry{captionOf(text), text, caretOffset(text, on && !first)});
            first = false;
        }
        result.append(menu);
    }
    return result;
}

} // namespace inserts

QStringList LineEdit::applyTo(QStringList script) const
{
    const int at = std::min<int>(line, int(script.size()));
    script.remove(at, std::min<qsizetype>(removed, script.size() - at));
    for (int i = 0; i < lines.size(); ++i)
        script.insert(at + i, lines[i]);
    return script;
}

LineEdit insertBraces(int caretLine, int caretColumn)
{
    const QString indent(std::max(0, caretColumn), u' ');
    return {caretLine, 0, {indent + u'{', indent, indent + u'}'}, caretLine + 1, caretColumn + 1};
}

LineEdit insertEntry(QStringView caretLineText, int caretLine, int caretColumn, const inserts::Entry &entry)
{
    const int blanks = std::max(0, caretColumn - 1);
    const bool hasText = std::any_of(caretLineText.begin(), caretLineText.end(),
                                     [](QChar c) { return c.unicode() > 0x20; });
    return {caretLine, hasText ? 0 : 1, {QString(blanks, u' ') + entry.text}, caretLine,
            blanks + entry.caret + 1};
}

LineEdit insertPreset(int caretLine, int caretColumn, const QStringList &preset)
{
    if (preset.isEmpty())
        return {caretLine, 0, {}, caretLine, caretColumn};
    return {caretLine, 0, preset, caretLine + int(preset.size()) - 1, int(preset.back().size()) + 1};
}

} // namespace mb
