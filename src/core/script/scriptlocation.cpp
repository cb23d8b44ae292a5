#include "script/scriptlocation.h"

#include "project/messagecatalog.h"

namespace mb {

namespace {

// Message numbers of the kind texts ("Cutscene \"" ...).
enum Msg {
    MsgCutscene = 108,
    MsgItem = 109,
    MsgRoom = 110,
    MsgWalkmap = 111,
    MsgRoomObject = 112,
    MsgCharacter = 113,
};

int kindMessage(ScriptLocation::Source source)
{
    switch (source) {
    case ScriptLocation::Cutscene: return MsgCutscene;
    case ScriptLocation::Item: return MsgItem;
    case ScriptLocation::Room: return MsgRoom;
    case ScriptLocation::WalkmapField: return MsgWalkmap;
    case ScriptLocation::RoomObject: return MsgRoomObject;
    case ScriptLocation::RoomCharacter: return MsgCharacter;
    case ScriptLocation::ItemFrame:
    case ScriptLocation::ObjectFrame:
    case ScriptLocation::CharacterFrame: return MsgItem;
    }
    return MsgItem;
}

// True when slot lies in the table and holds a record.
template <typename Table>
bool used(const Table &table, int slot)
{
    return slot >= 1 && slot <= table.size() && table.used(slot);
}

template <typename Model>
auto *findScript(Model &project, const ScriptLocation &l)
{
    using Result = std::conditional_t<std::is_const_v<Model>, const Script, Script>;
    Result *none = nullptr;
    switch (l.source) {
    case ScriptLocation::Cutscene:
        if (used(project.cutscenes, l.slot))
            return &project.cutscenes[l.slot].script;
        return none;
    case ScriptLocation::Item:
        if (used(project.items, l.slot))
            return &project.items[l.slot].script;
        return none;
    case ScriptLocation::Room:
    case ScriptLocation::WalkmapField:
    case ScriptLocation::RoomObject: {
        if (!used(project.rooms, l.slot))
            return none;
        auto &room = project.rooms[l.slot];
        if (l.source == ScriptLocation::Room)
            return &room.script;
        if (l.source == ScriptLocation::RoomObject) {
            if (l.placement < 1 || l.placement > int(room.objects.size())
                || room.objects[size_t(l.placement - 1)].instanceName.isEmpty())
                return none;
            return &room.objects[size_t(l.placement - 1)].script;
        }
        if (l.column < 1 || l.column > Walkmap::Columns || l.row < 1 || l.row > Walkmap::Rows
            || !room.walkmap.hasScript(l.column, l.row))
            return none;
        return const_cast<Result *>(room.walkmap.findScript(l.column, l.row));
    }
    case ScriptLocation::RoomCharacter:
        if (used(project.roomChars, l.slot))
            return &project.roomChars[l.slot].script;
        return none;
    case ScriptLocation::ItemFrame:
    case ScriptLocation::ObjectFrame:
    case ScriptLocation::CharacterFrame:
        return none;
    }
    return none;
}

template <typename Grid>
QString *frameOf(Grid &grid, const ScriptLocation &l)
{
    if (l.state < 1 || l.state > int(grid.size()) || l.frame < 1)
        return nullptr;
    auto &row = grid[size_t(l.state - 1)];
    if (l.frame > int(row.size()))
        return nullptr;
    return &row[size_t(l.frame - 1)].script;
}

} // namespace

QString scriptLabel(const ScriptLocation &l, const MessageCatalog &catalog)
{
    QString text = catalog.msg(kindMessage(l.source));
    switch (l.source) {
    case ScriptLocation::Cutscene:
    case ScriptLocation::Item:
    case ScriptLocation::Room:
    case ScriptLocation::RoomCharacter:
        text += l.name;
        break;
    case ScriptLocation::WalkmapField:
        text += l.name + u' ' + QString::number(l.column) + u'/' + QString::number(l.row);
        break;
    case ScriptLocation::RoomObject:
        text += l.name + QStringLiteral(" / ") + l.instanceName;
        break;
    case ScriptLocation::ItemFrame:
    case ScriptLocation::ObjectFrame:
    case ScriptLocation::CharacterFrame:
        text += l.name + QStringLiteral(" (Frame ") + QString::number(l.state) + u'/'
                + QString::number(l.frame) + u')';
        break;
    }
    return text;
}

Script *scriptAt(ProjectModel &project, const ScriptLocation &location)
{
    return findScript(project, location);
}

const Script *scriptAt(const ProjectModel &project, const ScriptLocation &location)
{
    return findScript(project, location);
}

QString *frameLineAt(ProjectModel &project, const ScriptLocation &l)
{
    switch (l.source) {
    case ScriptLocation::ItemFrame:
        if (used(project.items, l.slot))
            return frameOf(project.items[l.slot].frames, l);
        return nullptr;
    case ScriptLocation::ObjectFrame:
        if (used(project.objects, l.slot))
            return frameOf(project.objects[l.slot].frames, l);
        return nullptr;
    case ScriptLocation::CharacterFrame:
        if (used(project.characters, l.slot))
            return frameOf(project.characters[l.slot].frames, l);
        return nullptr;
    default:
        return nullptr;
    }
}

} // namespace mb
