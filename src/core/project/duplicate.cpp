#include "project/duplicate.h"

#include "project/messagecatalog.h"
#include "project/poolops.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "project/uitexts.h"

#include <QSet>

namespace mb {

namespace {

// Limit messages by element kind.
constexpr int kLimitMessages[5] = {143, 141, 142, 144, 145};

template <typename T>
bool tableHas(const SlotTable<T> &table, const QString &name)
{
    for (const T &r : table)
        if (!r.name.isEmpty() && text::sameText(r.name, name))
            return true;
    return false;
}

int firstFree(const ProjectModel &m, int kind)
{
    switch (kind) {
    case Characters: return m.characters.firstFree();
    case Scripts: return m.cutscenes.firstFree();
    case Items: return m.items.firstFree();
    case Objects: return m.objects.firstFree();
    case Rooms: return m.rooms.firstFree();
    }
    return 0;
}

int findSlot(const ProjectModel &m, int kind, const QString &name)
{
    switch (kind) {
    case Characters: return m.characters.find(name);
    case Scripts: return m.cutscenes.find(name);
    case Items: return m.items.find(name);
    case Objects: return m.objects.find(name);
    case Rooms: return m.rooms.find(name);
    }
    return 0;
}

void addToNameList(ProjectModel &m, int list, const QString &name)
{
    m.names[list] << name;
    NameLists::sort(m.names[list]);
}

} // namespace

QString numberedName(const QString &base, const std::function<bool(const QString &)> &taken)
{
    for (long long n = 1;; ++n) {
        const QString candidate = base + QString::number(n);
        if (!taken(candidate))
            return candidate;
    }
}

bool elementNameTaken(const ProjectModel &m, int elementKind, const QString &name)
{
    switch (elementKind) {
    case Characters: return tableHas(m.characters, name);
    case Scripts: return tableHas(m.cutscenes, name);
    case Items: return tableHas(m.items, name);
    case Objects: return tableHas(m.objects, name);
    case Rooms: return tableHas(m.rooms, name);
    }
    return false;
}

TreeNode *insertElementNode(ProjectEdit &e, int elementKind, const QString &name, TreeNode *selected)
{
    TreeNode *parent = PoolOps::insertTarget(e.model().gameTree, elementKind, selected);
    if (!parent)
        return nullptr;
    TreeNode *node = e.addChild(parent, name, PoolOps::elementImage(elementKind), true);
    e.sortChildren(parent);
    return node;
}

namespace {

Message notFound(const QString &text)
{
    return Message::build(Message::Error, 0).add(text);
}

// The copy itself, inside the session's edit.
void copyElement(ProjectEdit &e, int kind, int source, int slot, const QString &name)
{
    ProjectModel &m = e.model();

    // Records copy deeply (frames, walkmap and every script list are values), so the copy never
    // shares a script with its source.
    switch (kind) {
    case Scripts:
        m.cutscenes[slot] = m.cutscenes[source];
        m.cutscenes[slot].name = name;
        addToNameList(m, NameLists::ScriptNames, name);
        e.current().scriptKey = QString::number(nodeimage::Script) + name;
        break;
    case Items:
        m.items[slot] = m.items[source];
        m.items[slot].name = name;
        addToNameList(m, NameLists::ItemNames, name);
        break;
    case Characters:
        m.characters[slot] = m.characters[source];
        m.characters[slot].name = name;
        break;
    case Objects:
        m.objects[slot] = m.objects[source];
        m.objects[slot].name = name;
        break;
    case Rooms: {
        QSet<QString> instances;
        for (const Rroom &r : m.rooms)
            if (!r.name.isEmpty())
                for (const Rroomobj &o : r.objects)
                    if (!o.instanceName.isEmpty())
                        instances.insert(text::asciiLower(o.instanceName));
        Rroom copy = m.rooms[source];
        copy.name = name;
        for (Rroomobj &o : copy.objects) {
            if (o.instanceName.isEmpty())
                continue;
            o.instanceName = numberedName(o.instanceName, [&](const QString &n) {
                return instances.contains(text::asciiLower(n));
            });
            instances.insert(text::asciiLower(o.instanceName));
            m.names[NameLists::ObjectInstances] << o.instanceName;
        }
        NameLists::sort(m.names[NameLists::ObjectInstances]);
        m.rooms[slot] = std::move(copy);
        addToNameList(m, NameLists::RoomNames, name);
        break;
    }
    }
}

} // namespace

DuplicateResult duplicateElement(ProjectSession &session, TreeNode *node)
{
    DuplicateResult result;
    const ProjectModel &m = session.model();
    const int kind = node ? PoolOps::elementKindOfImage(node->imageIndex) : -1;
    if (kind < 0 || !node->parent || m.gameTree.topIndex(node) != kind) {
        result.message = notFound(QStringLiteral("Only a script, item, character, object or room can be duplicated."));
        return result;
    }
    const QString sourceName = node->text;
    const int source = findSlot(m, kind, sourceName);
    if (source == 0) {
        result.message = notFound(QStringLiteral("\"%1\": the element of this node does not exist.").arg(sourceName));
        return result;
    }
    const QString name = numberedName(sourceName, [&](const QString &n) { return elementNameTaken(m, kind, n); });
    const int slot = firstFree(m, kind);
    if (slot == 0) {
        result.message = Message::error(kLimitMessages[kind]);
        return result;
    }
    const QString text = uiText(UiText::Duplicate, session.catalog().language()).arg(sourceName);
    session.edit(text, PoolOps::elementTables(kind), [&](ProjectEdit &e) {
        copyElement(e, kind, source, slot, name);
        result.node = insertElementNode(e, kind, name, node);
    });
    result.ok = true;
    result.name = name;
    result.slot = slot;
    return result;
}

DuplicateResult duplicateElement(ProjectSession &session, int elementKind, const QString &name)
{
    if (elementKind < 0 || elementKind > 4) {
        DuplicateResult r;
        r.message = notFound(QStringLiteral("Only a script, item, character, object or room can be duplicated."));
        return r;
    }
    const ProjectModel &m = session.model();
    if (TreeNode *node = PoolOps::findNode(m.gameTree, name, PoolOps::elementImage(elementKind)))
        return duplicateElement(session, node);
    // An element without a node (a hand-made project) is still copied; its copy goes under the root.
    DuplicateResult result;
    if (findSlot(m, elementKind, name) == 0) {
        result.message = notFound(QStringLiteral("\"%1\": there is no such element.").arg(name));
        return result;
    }
    TreeNode stand;
    stand.text = name;
    stand.imageIndex = PoolOps::elementImage(elementKind);
    stand.parent = m.gameTree.root(elementKind);
    // A stand-in node under the root gives the same placement as a selected root.
    result = duplicateElement(session, &stand);
    return result;
}

} // namespace mb
