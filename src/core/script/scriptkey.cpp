#include "script/scriptkey.h"

#include "project/messagecatalog.h"
#include "project/projectsession.h"
#include "script/scriptlocation.h"

#include <QRect>

namespace mb {

namespace {

enum Msg {
    MsgCaption = 184,
    MsgItemSuffix = 186,
    MsgScriptSuffix = 187,
    MsgObjectSuffix = 188,
    MsgCharacterSuffix = 189,
    MsgRoomSuffix = 190,
};

// Three decimal digits at `at`, or -1.
int threeDigits(QStringView text, qsizetype at)
{
    if (text.size() < at + 3)
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + 3; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QString digits(int value)
{
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

// First slot of the table whose name equals the name exactly, or 0.
template <typename Table>
int findSlot(const Table &table, const QString &name)
{
    return table.find(name);
}

const Rroomobj *placementAt(const Rroom &room, int index)
{
    if (index < 1 || index > int(room.objects.size()))
        return nullptr;
    return &room.objects[size_t(index - 1)];
}

const Rroomchar *characterAt(const ProjectModel &project, int entry)
{
    if (entry < 1 || entry > project.roomChars.size())
        return nullptr;
    return &project.roomChars[entry];
}

bool validCell(const ScriptKey &key)
{
    return key.column >= 1 && key.column <= Walkmap::Columns && key.row >= 1 && key.row <= Walkmap::Rows;
}

} // namespace

std::optional<ScriptKey> ScriptKey::parse(QStringView text)
{
    if (text == u"free")
        return ScriptKey{};
    if (text.isEmpty())
        return std::nullopt;
    const QStringView rest = text.mid(1);
    switch (text.front().unicode()) {
    case u'0': return cutscene(rest.toString());
    case u'1': return item(rest.toString());
    case u'8': return room(rest.toString());
    case u'5': {
        const int column = threeDigits(text, 1), row = threeDigits(text, 4);
        if (column < 0 || row < 0)
            return std::nullopt;
        return walkmapCell(text.mid(7).toString(), column, row);
    }
    case u'6': {
        const int index = threeDigits(text, 1);
        if (index < 0)
            return std::nullopt;
        return roomObject(text.mid(4).toString(), index);
    }
    case u'7': {
        const int index = threeDigits(text, 1);
        if (index < 0 || text.size() != 4)
            return std::nullopt;
        return roomCharacter(index);
    }
    default: return std::nullopt;
    }
}

QString ScriptKey::text() const
{
    switch (kind) {
    case Free: return QStringLiteral("free");
    case Cutscene: return u'0' + name;
    case Item: return u'1' + name;
    case Room: return u'8' + name;
    case WalkmapCell: return u'5' + digits(column) + digits(row) + name;
    case RoomObject: return u'6' + digits(index) + name;
    case RoomCharacter: return u'7' + digits(index);
    }
    return {};
}

std::optional<ScriptKey> ScriptKey::of(const ScriptLocation &l)
{
    switch (l.source) {
    case ScriptLocation::Cutscene: return cutscene(l.name);
    case ScriptLocation::Item: return item(l.name);
    case ScriptLocation::Room: return room(l.name);
    case ScriptLocation::WalkmapField: return walkmapCell(l.name, l.column, l.row);
    case ScriptLocation::RoomObject: return roomObject(l.name, l.placement);
    case ScriptLocation::RoomCharacter: return roomCharacter(l.slot);
    default: return std::nullopt;
    }
}

ScriptCaption scriptCaption(const ProjectModel &project, const ScriptKey &key, const MessageCatalog &catalog)
{
    QString element, suffix;
    QString placementName;
    switch (key.kind) {
    case ScriptKey::Free: return {catalog.msg(185), {}, {}};
    case ScriptKey::Cutscene: element = key.name; suffix = catalog.msg(MsgScriptSuffix); break;
    case ScriptKey::Item: element = key.name; suffix = catalog.msg(MsgItemSuffix); break;
    case ScriptKey::Room: element = key.name; suffix = catalog.msg(MsgRoomSuffix); break;
    case ScriptKey::WalkmapCell:
        element = key.name;
        suffix = QStringLiteral(" [") + digits(key.column) + u'-' + digits(key.row) + QStringLiteral("] / Walkmap)");
        break;
    case ScriptKey::RoomObject:
        if (const int slot = findSlot(project.rooms, key.name))
            if (const Rroomobj *o = placementAt(project.rooms[slot], key.index))
                placementName = o->instanceName;
        element = placementName;
        suffix = catalog.msg(MsgObjectSuffix);
        break;
    case ScriptKey::RoomCharacter:
        if (const Rroomchar *c = characterAt(project, key.index))
            placementName = c->instanceName;
        element = placementName;
        suffix = catalog.msg(MsgCharacterSuffix);
        break;
    }
    const QString full = element + suffix;
    return {catalog.msg(MsgCaption) + full, full.endsWith(u')') ? full.chopped(1) : full, placementName};
}

const Script *findScript(const ProjectModel &project, const ScriptKey &key)
{
    switch (key.kind) {
    case ScriptKey::Free: return nullptr;
    case ScriptKey::Cutscene: {
        const int slot = findSlot(project.cutscenes, key.name);
        return slot ? &project.cutscenes[slot].script : nullptr;
    }
    case ScriptKey::Item: {
        const int slot = findSlot(project.items, key.name);
        return slot ? &project.items[slot].script : nullptr;
    }
    case ScriptKey::Room: {
        const int slot = findSlot(project.rooms, key.name);
        return slot ? &project.rooms[slot].script : nullptr;
    }
    case ScriptKey::WalkmapCell: {
        const int slot = findSlot(project.rooms, key.name);
        // A list left in a cell without its script mark is no script (saving drops it).
        if (!slot || !validCell(key) || !project.rooms[slot].walkmap.hasScript(key.column, key.row))
            return nullptr;
        return project.rooms[slot].walkmap.findScript(key.column, key.row);
    }
    case ScriptKey::RoomObject: {
        const int slot = findSlot(project.rooms, key.name);
        const Rroomobj *o = slot ? placementAt(project.rooms[slot], key.index) : nullptr;
        return o && !o->instanceName.isEmpty() ? &o->script : nullptr;
    }
    case ScriptKey::RoomCharacter: {
        const Rroomchar *c = characterAt(project, key.index);
        return c && !c->instanceName.isEmpty() ? &c->script : nullptr;
    }
    }
    return nullptr;
}

bool scriptExists(const ProjectModel &project, const ScriptKey &key)
{
    return findScript(project, key) != nullptr;
}

std::optional<QStringList> storedScriptLines(const ProjectModel &project, const ScriptKey &key,
                                             const QString &placementName)
{
    switch (key.kind) {
    case ScriptKey::WalkmapCell: {
        const int slot = findSlot(project.rooms, key.name);
        if (!slot || !validCell(key))
            return std::nullopt;
        const Script *script = findScript(project, key);
        return script ? *script : QStringList();
    }
    case ScriptKey::RoomObject: {
        const int slot = findSlot(project.rooms, key.name);
        const int placement = slot && !placementName.isEmpty() ? project.rooms[slot].findObject(placementName) : 0;
        if (!placement)
            return std::nullopt;
        return project.rooms[slot].objects[size_t(placement - 1)].script;
    }
    default: {
        const Script *script = findScript(project, key);
        return script ? std::optional<QStringList>(*script) : std::nullopt;
    }
    }
}

ScriptStore planScriptStore(const ProjectModel &project, const ScriptKey &key,
                            const QString &placementName, const QStringList &lines, StoreReason reason)
{
    ScriptStore plan;
    plan.lines = lines;
    const Script *current = nullptr;
    switch (key.kind) {
    case ScriptKey::Free: return {};
    case ScriptKey::Cutscene:
        plan.slot = findSlot(project.cutscenes, key.name);
        current = plan.slot ? &project.cutscenes[plan.slot].script : nullptr;
        break;
    case ScriptKey::Item:
        plan.slot = findSlot(project.items, key.name);
        current = plan.slot ? &project.items[plan.slot].script : nullptr;
        break;
    case ScriptKey::Room:
        plan.slot = findSlot(project.rooms, key.name);
        current = plan.slot ? &project.rooms[plan.slot].script : nullptr;
        break;
    case ScriptKey::WalkmapCell: {
        plan.slot = findSlot(project.rooms, key.name);
        if (!plan.slot || !validCell(key))
            return {};
        const Walkmap &walkmap = project.rooms[plan.slot].walkmap;
        const bool marked = walkmap.hasScript(key.column, key.row);
        if (lines.isEmpty() && reason == StoreReason::Leaving) {
            if (!marked && !walkmap.findScript(key.column, key.row))
                return {};
            plan.action = ScriptStore::RemoveCell;
            return plan;
        }
        const Script *old = walkmap.findScript(key.column, key.row);
        if (marked && old && *old == lines)
            return {};
        // An empty cell script without its mark is nothing worth creating.
        if (!marked && lines.isEmpty())
            return {};
        plan.action = ScriptStore::SetLines;
        return plan;
    }
    case ScriptKey::RoomObject: {
        plan.slot = findSlot(project.rooms, key.name);
        if (!plan.slot || placementName.isEmpty())
            return {};
        plan.placement = project.rooms[plan.slot].findObject(placementName);
        if (!plan.placement)
            return {};
        current = &project.rooms[plan.slot].objects[size_t(plan.placement - 1)].script;
        break;
    }
    case ScriptKey::RoomCharacter: {
        const Rroomchar *c = characterAt(project, key.index);
        if (!c || c->instanceName.isEmpty())
            return {};
        plan.slot = key.index;
        current = &c->script;
        break;
    }
    }
    if (!current || *current == lines)
        return {};
    plan.action = ScriptStore::SetLines;
    return plan;
}

namespace {

Script *storeTarget(ProjectModel &project, const ScriptKey &key, const ScriptStore &store)
{
    switch (key.kind) {
    case ScriptKey::Free: return nullptr;
    case ScriptKey::Cutscene: return &project.cutscenes[store.slot].script;
    case ScriptKey::Item: return &project.items[store.slot].script;
    case ScriptKey::Room: return &project.rooms[store.slot].script;
    case ScriptKey::WalkmapCell: return &project.rooms[store.slot].walkmap.script(key.column, key.row);
    case ScriptKey::RoomObject: return &project.rooms[store.slot].objects[size_t(store.placement - 1)].script;
    case ScriptKey::RoomCharacter: return &project.roomChars[store.slot].script;
    }
    return nullptr;
}

void applyToCell(Walkmap &walkmap, const ScriptKey &key, const ScriptStore &store)
{
    if (store.action == ScriptStore::RemoveCell) {
        walkmap.setHasScript(key.column, key.row, false);
        walkmap.removeScript(key.column, key.row);
    } else {
        walkmap.setHasScript(key.column, key.row, true);
        walkmap.script(key.column, key.row) = store.lines;
    }
}

} // namespace

ScriptStoreUndo applyScriptStore(ProjectModel &project, const ScriptKey &key, const ScriptStore &store)
{
    ScriptStoreUndo before;
    if (store.action == ScriptStore::Nothing)
        return before;
    if (key.kind == ScriptKey::WalkmapCell) {
        Walkmap &walkmap = project.rooms[store.slot].walkmap;
        before.cellMarked = walkmap.hasScript(key.column, key.row);
        if (const Script *s = walkmap.findScript(key.column, key.row)) {
            before.cellListed = true;
            before.lines = *s;
        }
        applyToCell(walkmap, key, store);
        return before;
    }
    Script *target = storeTarget(project, key, store);
    before.lines = *target;
    *target = store.lines;
    return before;
}

void restoreScriptStore(ProjectModel &project, const ScriptKey &key, const ScriptStore &store,
                        const ScriptStoreUndo &before)
{
    if (store.action == ScriptStore::Nothing)
        return;
    if (key.kind == ScriptKey::WalkmapCell) {
        Walkmap &walkmap = project.rooms[store.slot].walkmap;
        walkmap.setHasScript(key.column, key.row, before.cellMarked);
        if (before.cellListed)
            walkmap.script(key.column, key.row) = before.lines;
        else
            walkmap.removeScript(key.column, key.row);
        return;
    }
    *storeTarget(project, key, store) = before.lines;
}

bool storeScript(ProjectSession &session, const ScriptKey &key, const QString &placementName,
                 const QStringList &lines, StoreReason reason, const QString &text, quint64 merge)
{
    const ScriptStore plan = planScriptStore(session.model(), key, placementName, lines, reason);
    if (plan.action == ScriptStore::Nothing)
        return false;
    // Every script lies in one record: the edit names it, and which of its scripts changed.
    switch (key.kind) {
    case ScriptKey::Free: return false;
    case ScriptKey::Cutscene:
        return session.editRecord<Rcutscene>(ProjectChange::element(Scripts, plan.slot, ProjectChange::Script), text,
                                             [&](Rcutscene &r) { r.script = plan.lines; }, merge);
    case ScriptKey::Item:
        return session.editRecord<RItem>(ProjectChange::element(Items, plan.slot, ProjectChange::Script), text,
                                         [&](RItem &r) { r.script = plan.lines; }, merge);
    case ScriptKey::Room:
        return session.editRecord<Rroom>(ProjectChange::element(Rooms, plan.slot, ProjectChange::Script), text,
                                         [&](Rroom &r) { r.script = plan.lines; }, merge);
    case ScriptKey::WalkmapCell:
        return session.editRecord<Rroom>(ProjectChange::walkmap(plan.slot, QRect(key.column, key.row, 1, 1)), text,
                                         [&](Rroom &r) { applyToCell(r.walkmap, key, plan); }, merge);
    case ScriptKey::RoomObject: {
        const int index = plan.placement - 1;
        return session.editRecord<Rroom>(ProjectChange::element(Rooms, plan.slot, ProjectChange::Script, index), text,
                                         [&](Rroom &r) { r.objects[size_t(index)].script = plan.lines; }, merge);
    }
    case ScriptKey::RoomCharacter:
        return session.editRecord<Rroomchar>(ProjectChange::roomCharacter(plan.slot), text,
                                             [&](Rroomchar &r) { r.script = plan.lines; }, merge);
    }
    return false;
}

} // namespace mb
