#include "tools/languagescanner.h"

#include "project/projectmodel.h"
#include "project/texthelpers.h"

namespace mb {

namespace {

struct CommandName
{
    ScriptCall::Kind kind;
    QStringView name;
};

// Tried in this order at each position; no name is a prefix of another one of the list.
constexpr CommandName kNames[] = {
    {ScriptCall::Offspeech, QStringView(u"offspeech")},
    {ScriptCall::Speech, QStringView(u"speech")},
    {ScriptCall::Showinfo, QStringView(u"showinfo")},
    {ScriptCall::Textout, QStringView(u"textout")},
    {ScriptCall::Setstring, QStringView(u"setstring")},
    {ScriptCall::Row, QStringView(u"row")},
    {ScriptCall::Playsound, QStringView(u"playsound")},
    {ScriptCall::Loopsound, QStringView(u"loopsound")},
    {ScriptCall::Playmusic, QStringView(u"playmusic")},
};

bool startsAt(const QString &line, qsizetype p, QStringView word)
{
    if (p + word.size() > line.size())
        return false;
    return text::sameText(QStringView(line).mid(p, word.size()), word);
}

bool matches(const QString &line, qsizetype p, const CommandName &c)
{
    if (!startsAt(line, p, c.name))
        return false;
    switch (c.kind) {
    case ScriptCall::Speech:
        return !startsAt(line, p, QStringView(u"speechvolume"))
               && (p < 3 || !startsAt(line, p - 3, QStringView(u"off")));
    case ScriptCall::Row:
        return p == 0 || line[p - 1] == u' ';
    default:
        return true;
    }
}

// The arguments of the call whose name ends at (lineIndex, pos): the text after the first "("
// up to the next ")", gathered across the following lines.
QString gatherArguments(const QStringList &lines, qsizetype lineIndex, qsizetype pos)
{
    QString args;
    bool open = false;
    for (qsizetype li = lineIndex; li < lines.size(); ++li, pos = 0) {
        const QString &line = lines[li];
        if (!open) {
            const qsizetype bracket = line.indexOf(u'(', pos);
            const qsizetype close = line.indexOf(u')', pos);
            // A ")" before any "(" ends the call without arguments.
            if (close >= 0 && (bracket < 0 || close < bracket))
                return {};
            if (bracket < 0)
                continue;
            open = true;
            pos = bracket + 1;
        }
        const qsizetype close = line.indexOf(u')', pos);
        if (close >= 0)
            return args.append(QStringView(line).mid(pos, close - pos));
        args += QStringView(line).mid(pos);
    }
    return args;
}

} // namespace

QString ScriptCall::argument(int k) const { return text::getfieldtrim(arguments, k); }

QList<ScriptCall> LanguageScanner::scan(const QStringList &lines, Kinds kinds)
{
    QList<ScriptCall> calls;
    for (qsizetype li = 0; li < lines.size(); ++li) {
        const QString &line = lines[li];
        for (qsizetype p = 0; p < line.size(); ++p) {
            for (const CommandName &c : kNames) {
                if (!(kinds & kindBit(c.kind)) || !matches(line, p, c))
                    continue;
                calls.append({c.kind, int(li), gatherArguments(lines, li, p + c.name.size())});
                break;
            }
        }
    }
    return calls;
}

void LanguageScanner::forEachScript(const ProjectModel &m,
                                    const std::function<void(const QStringList &)> &visit)
{
    for (const Rcutscene &c : m.cutscenes)
        if (!c.name.isEmpty())
            visit(c.script);
    for (const Rroomchar &rc : m.roomChars)
        if (!rc.instanceName.isEmpty())
            visit(rc.script);
    for (const RItem &it : m.items)
        if (!it.name.isEmpty())
            visit(it.script);
    for (const Rroom &r : m.rooms)
        if (!r.name.isEmpty())
            visit(r.script);
    for (const Rroom &r : m.rooms) {
        if (r.name.isEmpty())
            continue;
        for (const Rroomobj &o : r.objects)
            if (!o.instanceName.isEmpty())
                visit(o.script);
    }
    for (const Rroom &r : m.rooms) {
        if (r.name.isEmpty())
            continue;
        // The map is keyed by the cell index, which runs column by column, row by row.
        for (const auto &[index, script] : r.walkmap.scripts())
            if (r.walkmap.hasScript(index / Walkmap::Rows + 1, index % Walkmap::Rows + 1))
                visit(script);
    }

    QStringList frames;
    auto add = [&frames](const QString &line) {
        if (!line.isEmpty())
            frames.append(line);
    };
    for (const RItem &it : m.items) {
        if (it.name.isEmpty() || !it.frames.allocated())
            continue;
        for (size_t s = 0; s < RItem::States; ++s)
            for (const ItemFrame &f : it.frames[s])
                add(f.script);
    }
    for (const Robj &o : m.objects) {
        if (o.name.isEmpty() || !o.frames.allocated())
            continue;
        for (size_t s = 0; s < Robj::States; ++s)
            for (const Rframe &f : o.frames[s])
                add(f.script);
    }
    for (const Rcharacter &c : m.characters) {
        if (c.name.isEmpty() || !c.frames.allocated())
            continue;
        for (size_t s = 0; s < Rcharacter::States; ++s)
            for (const Rframe &f : c.frames[s])
                add(f.script);
    }
    visit(frames);
}

QString LanguageScanner::voiceEntry(const QString &argument)
{
    const QString voice = text::asciiLower(argument);
    return voice.isEmpty() || voice == QLatin1String("dontwait") ? QStringLiteral(" ") : voice;
}

std::optional<TextCall> LanguageScanner::textCall(const ScriptCall &call)
{
    TextCall t;
    t.line = call.line;
    switch (call.kind) {
    case ScriptCall::Speech:
        t.list = 0;
        t.voiceList = 1;
        t.character = call.argument(1);
        t.text = call.argument(2);
        t.voice = voiceEntry(call.argument(3));
        break;
    case ScriptCall::Offspeech:
        t.list = 2;
        t.voiceList = 3;
        t.text = call.argument(3);
        t.voice = voiceEntry(call.argument(4));
        break;
    case ScriptCall::Showinfo: t.list = 4; t.text = call.argument(1); break;
    case ScriptCall::Textout: t.list = 5; t.text = call.argument(2); break;
    case ScriptCall::Setstring: t.list = 6; t.text = call.argument(2); break;
    case ScriptCall::Row:
        if (call.argument(1).size() != 1)
            return std::nullopt;
        t.list = 7;
        t.text = call.argument(2);
        break;
    default: return std::nullopt;
    }
    if (t.text.isEmpty())
        return std::nullopt;
    return t;
}

} // namespace mb
