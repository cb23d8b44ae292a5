#include "tools/commandlistops.h"

#include "project/messagecatalog.h"
#include "project/projectsession.h"
#include "project/uitexts.h"

#include "project/texthelpers.h"

#include <algorithm>

namespace mb {

namespace {

bool hasAny(const QString &text, QLatin1StringView chars)
{
    return std::any_of(text.begin(), text.end(), [&](QChar c) { return chars.contains(c); });
}

const QLatin1StringView kScriptChars("{}();\"");

void sortBools(std::vector<BoolEntry> &bools)
{
    std::stable_sort(bools.begin(), bools.end(), [](const BoolEntry &a, const BoolEntry &b) {
        return text::compareText(a.name, b.name) < 0;
    });
}

int indexOfBool(const std::vector<BoolEntry> &bools, const QString &name)
{
    for (size_t i = 0; i < bools.size(); ++i)
        if (bools[i].name == name)
            return int(i);
    return -1;
}

} // namespace

CommandGrid commandGridOf(const CommandList &commands)
{
    CommandGrid grid;
    for (size_t i = 0; i < grid.size() && i < commands.rows.size(); ++i)
        grid[i] = commands.rows[i];
    return grid;
}

int validateCommands(const CommandGrid &grid, const QString &linktext, const QString &walktext)
{
    for (const CommandRow &r : grid)
        if (r.name.isEmpty() != r.text.isEmpty())
            return 322;
    if (linktext.isEmpty())
        return 323;
    if (walktext.isEmpty())
        return 324;
    for (const CommandRow &r : grid)
        if (hasAny(r.name, kScriptChars) || hasAny(r.text, kScriptChars))
            return 325;
    if (hasAny(linktext, kScriptChars))
        return 326;
    if (hasAny(walktext, kScriptChars))
        return 327;
    return 0;
}

void closeCommandGaps(CommandGrid &grid)
{
    for (size_t row = 1; row < grid.size(); ++row)
        if (grid[row - 1].name.isEmpty()) {
            grid[row - 1] = grid[row];
            grid[row] = CommandRow();
        }
}

void takeOverCommands(ProjectModel &model, CommandGrid grid, const QString &linktext,
                      const QString &givelink, const QString &walktext)
{
    closeCommandGaps(grid);

    CommandList &c = model.commands;
    c.linktext = linktext;
    c.givelink = givelink;
    c.walktext = walktext;
    int last = int(grid.size());
    while (last > 0 && grid[last - 1].name.isEmpty() && grid[last - 1].text.isEmpty())
        --last;
    c.rows.assign(grid.begin(), grid.begin() + last);

    // Cursor 1 is the standard walk cursor and cursor 10 the loading icon: neither has a choice.
    for (int cursor = 1; cursor <= 8; ++cursor) {
        const int index = model.mouse.command[cursor];
        if (index > 2 && (index - 2 > int(grid.size()) || grid[index - 3].name.isEmpty()))
            model.mouse.command[cursor] = 1;
    }

    QStringList &commands = model.names[NameLists::Commands];
    QStringList &events = model.names[NameLists::Events];
    commands.clear();
    events = NameLists::fixedEventNames();
    for (const CommandRow &r : grid)
        if (!r.name.isEmpty()) {
            commands << r.name;
            events << r.name;
        }
    NameLists::sort(commands);
    NameLists::sort(events);
}

bool hasForbiddenNameChars(const QString &name) { return hasAny(name, kScriptChars); }

NameCheck checkBoolName(const CommandList &commands, const QString &name, bool rename)
{
    if (name.isEmpty())
        return {};
    if (!rename)
        for (const BoolEntry &e : commands.bools)
            if (text::sameText(e.name, name))
                return {147, false};
    if (hasForbiddenNameChars(name))
        return {183, false};
    return {0, true};
}

int addBool(ProjectModel &model, const QString &name)
{
    model.commands.bools.push_back({name, false});
    sortBools(model.commands.bools);
    QStringList &list = model.names[NameLists::Bools];
    list << name;
    NameLists::sort(list);
    return indexOfBool(model.commands.bools, name);
}

int renameBool(ProjectModel &model, int index, const QString &name)
{
    auto &bools = model.commands.bools;
    if (index < 0 || index >= int(bools.size()))
        return -1;
    QStringList &list = model.names[NameLists::Bools];
    const int at = list.indexOf(bools[index].name);
    if (at >= 0)
        list[at] = name;
    else
        list << name;
    NameLists::sort(list);
    bools[index].name = name;
    sortBools(bools);
    return indexOfBool(bools, name);
}

void removeBool(ProjectModel &model, int index)
{
    auto &bools = model.commands.bools;
    if (index < 0 || index >= int(bools.size()))
        return;
    NameLists::remove(model.names[NameLists::Bools], bools[index].name);
    bools.erase(bools.begin() + index);
}

namespace {

QString stepText(const ProjectSession &session, UiText text, const QString &name = QString())
{
    const QString t = uiText(text, session.catalog().language());
    return t.contains(QLatin1String("%1")) ? t.arg(name) : t;
}

// Bools live in the command list, their names also in name list 6.
constexpr ModelTables kBoolTables = table::Commands | table::Names;

} // namespace

void takeOverCommands(ProjectSession &session, const CommandGrid &grid, const QString &linktext,
                      const QString &givelink, const QString &walktext)
{
    session.edit(stepText(session, UiText::CommandsAndBools), table::Commands | table::Names | table::Mouse,
                 [&](ProjectEdit &e) { takeOverCommands(e.model(), grid, linktext, givelink, walktext); });
}

int addBool(ProjectSession &session, const QString &name)
{
    return session.edit(stepText(session, UiText::AddBool, name), kBoolTables,
                        [&](ProjectEdit &e) { return addBool(e.model(), name); });
}

int renameBool(ProjectSession &session, int index, const QString &name)
{
    const auto &bools = session.model().commands.bools;
    if (index < 0 || index >= int(bools.size()))
        return -1;
    return session.edit(stepText(session, UiText::RenameBool, bools[size_t(index)].name), kBoolTables,
                        [&](ProjectEdit &e) { return renameBool(e.model(), index, name); });
}

void removeBool(ProjectSession &session, int index)
{
    const auto &bools = session.model().commands.bools;
    if (index < 0 || index >= int(bools.size()))
        return;
    session.edit(stepText(session, UiText::RemoveBool, bools[size_t(index)].name), kBoolTables,
                 [&](ProjectEdit &e) { removeBool(e.model(), index); });
}

bool setBoolValue(ProjectSession &session, int index, bool value)
{
    const auto &bools = session.model().commands.bools;
    if (index < 0 || index >= int(bools.size()))
        return false;
    session.editRecord<CommandList>(ProjectChange::commands(),
                                    stepText(session, UiText::SetBool, bools[size_t(index)].name),
                                    [&](CommandList &c) { c.bools[size_t(index)].value = value; });
    return true;
}

} // namespace mb
