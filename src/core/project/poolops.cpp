#include "project/poolops.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "project/uitexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace mb {

namespace {

// Indexes into ProjectSession::counters().
enum Counter { MediaFolderCounter = 0, GameFolderCounter = 1, ItemCounter = 2, ObjectCounter = 3,
               CharacterCounter = 4, ScriptCounter = 5, RoomCounter = 6 };

struct KindInfo
{
    int image;
    int counter;
    int word;  // the new-name word
    int limit; // "Maximum ... reached"
    int noun;  // "The Room" ... for the duplicate-name message
    int nameList; // -1: the kind has no name list of its own
    const char *toolWindow;
};

const KindInfo &kindInfo(int kind)
{
    static const KindInfo infos[5] = {
        {nodeimage::Character, CharacterCounter, 31, 143, 155, -1, "charbox"},
        {nodeimage::Script, ScriptCounter, 33, 141, 156, NameLists::ScriptNames, "skriptwindow"},
        {nodeimage::Item, ItemCounter, 32, 142, 152, NameLists::ItemNames, "itembox"},
        {nodeimage::Object, ObjectCounter, 30, 144, 153, -1, "objbox"},
        {nodeimage::Room, RoomCounter, 29, 145, 154, NameLists::RoomNames, "room"},
    };
    return infos[std::clamp(kind, 0, 4)];
}

bool validElementKind(int kind) { return kind >= Characters && kind <= Rooms; }
bool validMediaKind(int kind) { return kind >= Images && kind <= Movies; }

// Calls f with the slot table of the element kind; every table's records have a `name`.
template <typename M, typename F>
decltype(auto) withTable(M &m, int kind, F &&f)
{
    switch (kind) {
    case Characters: return f(m.characters);
    case Scripts: return f(m.cutscenes);
    case Items: return f(m.items);
    case Objects: return f(m.objects);
    default: return f(m.rooms);
    }
}

// Every node text below the roots, per image index.
QSet<QString> nodeTexts(const ProjectTree &tree, int imageIndex)
{
    QSet<QString> out;
    tree.forEach([&](TreeNode *n) {
        if (n->parent && n->imageIndex == imageIndex)
            out.insert(n->text);
    });
    return out;
}

bool isDescendant(const TreeNode *node, const TreeNode *ancestor)
{
    for (const TreeNode *p = node; p; p = p->parent)
        if (p == ancestor)
            return true;
    return false;
}

// Levels of folders below `folder` (0 when it has no subfolder).
int folderHeight(const TreeNode *folder)
{
    int h = 0;
    for (const auto &c : folder->children)
        if (PoolOps::isFolder(c.get()))
            h = std::max(h, 1 + folderHeight(c.get()));
    return h;
}

QString stripChars(const QString &typed, QStringView remove)
{
    QString out;
    out.reserve(typed.size());
    for (QChar c : typed)
        if (!remove.contains(c))
            out += c;
    return out.trimmed();
}

// The script window's key of an element: its owner's image index (0 script, 1 item) or 8 for
// a room, followed by the name.
QString scriptKeyFor(int imageIndex, const QString &name)
{
    switch (imageIndex) {
    case nodeimage::Script: return QStringLiteral("0") + name;
    case nodeimage::Item: return QStringLiteral("1") + name;
    case nodeimage::Room: return QStringLiteral("8") + name;
    }
    return {};
}

void replaceInList(QStringList &list, const QString &oldName, const QString &newName)
{
    const qsizetype i = list.indexOf(oldName);
    if (i >= 0)
        list[i] = newName;
    NameLists::sort(list);
}

QStringList usedNames(const ProjectModel &m, int elementKind)
{
    QStringList out;
    withTable(m, elementKind, [&](const auto &table) {
        for (const auto &r : table)
            if (!r.name.isEmpty())
                out << r.name;
    });
    return out;
}

void initElement(ProjectEdit &e, int elementKind, int slot, const QString &name)
{
    ProjectModel &m = e.model();
    switch (elementKind) {
    case Characters: {
        Rcharacter c;
        c.extraNames = ProjectModel::defaultExtraNames(e.catalog());
        c.name = name;
        m.characters[slot] = std::move(c);
        break;
    }
    case Scripts:
        m.cutscenes[slot] = Rcutscene{name, {}};
        break;
    case Items: {
        RItem it;
        it.name = name;
        m.items[slot] = std::move(it);
        break;
    }
    case Objects: {
        Robj o;
        o.name = name;
        m.objects[slot] = std::move(o);
        break;
    }
    case Rooms: {
        Rroom r;
        r.name = name;
        r.width = m.settings.gameWidth;
        r.height = m.settings.gameHeight;
        r.zoomTop = 5;
        r.zoomBottom = 10;
        r.zoomStep = 3;
        const bool small = m.settings.gameWidth == 320;
        for (int k = 1; k <= 3; ++k) {
            Rfxshape s;
            s.flag1 = false;
            s.flag2 = true;
            if (small) {
                s.cornerX = {52 * k, 52 * k + 50, 52 * k + 50, 52 * k};
                s.cornerY = {50, 50, 100, 100};
            } else {
                s.cornerX = {105 * k, 105 * k + 100, 105 * k + 100, 105 * k};
                s.cornerY = {100, 100, 200, 200};
            }
            // The drag point is always derived from the corners, as the reader does.
            s.calcziehpunkt();
            r.fx[k - 1] = s;
        }
        m.rooms[slot] = std::move(r);
        break;
    }
    }
}

void setElementName(ProjectEdit &e, int elementKind, const QString &oldName, const QString &newName)
{
    ProjectModel &m = e.model();
    withTable(m, elementKind, [&](auto &table) {
        for (auto &r : table)
            if (r.name == oldName)
                r.name = newName;
    });
    const KindInfo &info = kindInfo(elementKind);
    if (info.nameList >= 0)
        replaceInList(m.names[info.nameList], oldName, newName);
    switch (elementKind) {
    case Objects:
        for (Rroom &room : m.rooms) {
            if (room.name.isEmpty())
                continue;
            for (Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty() && o.objectName == oldName)
                    o.objectName = newName;
        }
        break;
    case Rooms:
        for (Rroomchar &c : m.roomChars)
            if (!c.instanceName.isEmpty() && c.roomName == oldName)
                c.roomName = newName;
        break;
    case Characters:
        for (Rroomchar &c : m.roomChars)
            if (!c.instanceName.isEmpty() && c.characterName == oldName)
                c.characterName = newName;
        break;
    default:
        break;
    }

    // The tool windows keep showing the element under its new name.
    CurrentElements &cur = e.current();
    QString *slot = elementKind == Items ? &cur.item : elementKind == Objects ? &cur.object
                  : elementKind == Characters ? &cur.character : elementKind == Rooms ? &cur.room : nullptr;
    if (slot && *slot == oldName)
        *slot = newName;
    const QString key = scriptKeyFor(info.image, oldName);
    if (!key.isEmpty() && cur.scriptKey == key)
        cur.scriptKey = scriptKeyFor(info.image, newName);
}

void removeOrphanElements(ProjectEdit &e, int elementKind)
{
    const QSet<QString> present = nodeTexts(e.model().gameTree, kindInfo(elementKind).image);
    for (const QString &name : usedNames(e.model(), elementKind))
        if (!present.contains(name))
            PoolOps::removeElement(e, elementKind, name);
}

void removeOrphanMedia(ProjectEdit &e)
{
    ProjectModel &m = e.model();
    for (int kind = Images; kind <= Movies; ++kind) {
        const QSet<QString> present = nodeTexts(m.mediaTree, PoolOps::mediaImage(kind));
        const MediaTable &table = m.media[kind];
        for (int slot = 1; slot <= table.size(); ++slot) {
            const QString name = table.name(slot);
            if (!name.isEmpty() && !present.contains(name))
                m.mediadelete(kind, name);
        }
    }
}

} // namespace

PoolOps::PoolOps(ProjectSession &session) : m_session(session) {}

int PoolOps::elementImage(int elementKind) { return kindInfo(elementKind).image; }

int PoolOps::mediaImage(int mediaKind)
{
    static constexpr int images[4] = {nodeimage::Image, nodeimage::Music, nodeimage::Sound, nodeimage::Movie};
    return images[std::clamp(mediaKind, 0, 3)];
}

int PoolOps::elementKindOfImage(int imageIndex)
{
    for (int k = Characters; k <= Rooms; ++k)
        if (kindInfo(k).image == imageIndex)
            return k;
    return -1;
}

QString PoolOps::toolWindowOf(int imageIndex)
{
    const int kind = elementKindOfImage(imageIndex);
    if (kind >= 0)
        return QString::fromLatin1(kindInfo(kind).toolWindow);
    for (int m = Images; m <= Movies; ++m)
        if (mediaImage(m) == imageIndex)
            return QStringLiteral("Form2");
    return {};
}

ModelTables PoolOps::elementTables(int elementKind)
{
    switch (elementKind) {
    case Objects: return table::Objects | table::Rooms | table::Names;
    case Characters: return table::Characters | table::RoomCharacters | table::Names;
    case Rooms: return table::Rooms | table::RoomCharacters | table::Names;
    default: return table::element(std::clamp(elementKind, 0, 4)) | table::Names;
    }
}

TreeNode *PoolOps::insertTarget(const ProjectTree &tree, int rootIndex, TreeNode *selection)
{
    if (selection && tree.topIndex(selection) == rootIndex)
        return isFolder(selection) ? selection : selection->parent;
    return tree.root(rootIndex);
}

QString PoolOps::newElementName(int elementKind)
{
    const KindInfo &info = kindInfo(elementKind);
    const QString word = m_session.catalog().msg(info.word);
    QSet<QString> taken;
    for (const QString &n : usedNames(m_session.model(), elementKind))
        taken.insert(text::asciiLower(n));
    uint16_t &counter = m_session.counters()[size_t(info.counter)];
    // The table holds at most a few thousand names, so this ends long before the counter wraps.
    while (taken.contains(text::asciiLower(word + QString::number(counter))))
        ++counter;
    return word + QString::number(counter);
}

PoolResult PoolOps::insertElement(int elementKind, TreeNode *selection)
{
    if (!validElementKind(elementKind))
        return {};
    const QString name = newElementName(elementKind);
    const QString text = uiText(UiText::Insert, m_session.catalog().language()).arg(name);
    return m_session.edit(text, table::element(elementKind) | table::Names,
                          [&](ProjectEdit &e) { return insertElement(e, elementKind, selection); });
}

PoolResult PoolOps::insertElement(ProjectEdit &e, int elementKind, TreeNode *selection)
{
    PoolResult result;
    if (!validElementKind(elementKind))
        return result;
    ProjectModel &m = e.model();
    const KindInfo &info = kindInfo(elementKind);
    TreeNode *target = insertTarget(m.gameTree, elementKind, selection);
    if (!target)
        return result;
    const QString name = PoolOps(e.session()).newElementName(elementKind);
    const int slot = withTable(m, elementKind, [](auto &t) { return t.firstFree(); });
    if (slot == 0) {
        result.message = Message::error(info.limit);
        return result;
    }
    initElement(e, elementKind, slot, name);
    result.node = e.addChild(target, name, info.image, true);
    e.sortChildren(target);
    if (info.nameList >= 0) {
        m.names[info.nameList] << name;
        NameLists::sort(m.names[info.nameList]);
    }
    ++e.session().counters()[size_t(info.counter)];
    result.ok = true;
    result.slot = slot;
    return result;
}

bool PoolOps::isPngWithAlpha(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // Signature (8), IHDR length (4) and type (4), width (4), height (4), bit depth (1), colour type.
    const QByteArray head = f.read(26);
    if (head.size() < 26 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return false;
    const int colourType = uint8_t(head[25]);
    return colourType == 4 || colourType == 6;
}

MediaInsertResult PoolOps::insertMedia(int mediaKind, const QStringList &files, TreeNode *selection)
{
    static constexpr int limits[4] = {149, 146, 148, 180}; // images, music, sounds, movies
    MediaInsertResult result;
    if (!validMediaKind(mediaKind))
        return result;
    if (m_session.model().media[mediaKind].firstFree() == 0) {
        result.messages.push_back(Message::error(limits[mediaKind]));
        return result;
    }
    const QString text = uiText(UiText::InsertMedia, m_session.catalog().language());
    m_session.edit(text, table::media(mediaKind) | table::Names, [&](ProjectEdit &e) {
        ProjectModel &m = e.model();
        TreeNode *target = insertTarget(m.mediaTree, mediaKind, selection);
        if (!target)
            return;
        MediaTable &table = m.media[mediaKind];
        for (const QString &file : files) {
            if (mediaKind == Images && QFileInfo(file).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0
                && !isPngWithAlpha(file)) {
                // Several files may be chosen at once: say which one is refused.
                result.messages.push_back(Message::build(Message::Error, 381)
                                              .add(QDir::toNativeSeparators(file) + u'\n' + m_session.catalog().msg(381)));
                continue;
            }
            const QString name = text::medianame(file);
            if (name.isEmpty())
                continue;
            if (table.find(name) != 0) {
                result.messages.push_back(Message::build(Message::Error, 147).add(name).add(147));
                continue;
            }
            if (m.mediaadd(mediaKind, name, QDir::toNativeSeparators(file)) == 0) {
                result.messages.push_back(Message::error(limits[mediaKind]));
                break;
            }
            result.lastNode = e.addChild(target, name, mediaImage(mediaKind), true);
            ++result.added;
        }
        if (result.added > 0)
            e.sortChildren(target);
    });
    return result;
}

PoolResult PoolOps::newFolder(const ProjectTree &tree, TreeNode *selection)
{
    PoolResult result;
    if (!selection || tree.topIndex(selection) < 0)
        return result;
    TreeNode *folder = isFolder(selection) ? selection : selection->parent;
    if (!folder || folder->level() > MaxFolderLevel - 1)
        return result;
    const bool media = &tree == &m_session.model().mediaTree;
    uint16_t &counter = m_session.counters()[media ? MediaFolderCounter : GameFolderCounter];
    // Renaming refuses a folder name in use anywhere in the tree, so the proposal skips those.
    QSet<QString> taken;
    tree.forEach([&](TreeNode *n) {
        if (isFolder(n))
            taken.insert(text::asciiLower(n->text));
    });
    const QString word = m_session.catalog().msg(150);
    while (taken.contains(text::asciiLower(word + QString::number(counter))))
        ++counter;
    const QString name = word + QString::number(counter);
    ++counter;
    m_session.edit(uiText(UiText::NewFolder, m_session.catalog().language()), 0, [&](ProjectEdit &e) {
        result.node = e.addChild(folder, name, nodeimage::Folder, true);
        e.sortChildren(folder);
    });
    result.ok = true;
    return result;
}

QString PoolOps::cleanElementName(const QString &typed)
{
    return stripChars(typed, u"{}();\",");
}

QString PoolOps::cleanMediaFolderName(const QString &typed)
{
    QString name = stripChars(typed, u"{}();\"\\/:*?<|>");
    while (name.endsWith(u'.'))
        name.chop(1);
    return name.trimmed();
}

PoolResult PoolOps::renameGameNode(TreeNode *node, const QString &typed, EditorSettings *notes)
{
    PoolResult result;
    const ProjectModel &model = m_session.model();
    if (!node || !node->parent || model.gameTree.topIndex(node) < 0)
        return result;
    // The name is cleaned before the duplicate test, so that "Room1;" cannot slip past "room1".
    const QString name = cleanElementName(typed);
    if (name.isEmpty())
        return result;
    const int kind = elementKindOfImage(node->imageIndex);
    bool taken = false;
    model.gameTree.forEach([&](TreeNode *n) {
        if (n != node && n->imageIndex == node->imageIndex && text::sameText(n->text, name))
            taken = true;
    });
    if (taken) {
        result.message = Message::build(Message::Error, 147)
                             .add(kind >= 0 ? kindInfo(kind).noun : 150)
                             .add(QLatin1Char('"') + name + QLatin1Char('"'))
                             .add(147);
        return result;
    }
    result.ok = true;
    result.node = node;
    const QString oldName = node->text;
    if (name == oldName)
        return result;
    const QString text = uiText(UiText::Rename, m_session.catalog().language()).arg(oldName);
    m_session.edit(text, kind >= 0 ? elementTables(kind) : 0, [&](ProjectEdit &e) {
        e.setText(node, name);
        e.sortChildren(node->parent);
        if (kind >= 0)
            setElementName(e, kind, oldName, name);
    });

    if (notes && (kind == Objects || kind == Characters)) {
        const QString key = kind == Objects ? QStringLiteral("RenameObj") : QStringLiteral("RenameChr");
        if (notes->readsetting(key) != QLatin1String("yes")) {
            result.message = Message::information(kind == Objects ? 157 : 158);
            notes->writesetting(key, QStringLiteral("yes"));
        }
    }
    return result;
}

PoolResult PoolOps::renameMediaFolder(TreeNode *node, const QString &typed)
{
    PoolResult result;
    const ProjectModel &model = m_session.model();
    if (!node || !node->parent || !isFolder(node) || model.mediaTree.topIndex(node) < 0)
        return result;
    const QString name = cleanMediaFolderName(typed);
    if (name.isEmpty())
        return result;
    bool taken = false;
    model.mediaTree.forEach([&](TreeNode *n) {
        if (n != node && isFolder(n) && text::sameText(n->text, name))
            taken = true;
    });
    if (taken && name != node->text) {
        result.message = Message::build(Message::Error, 147)
                             .add(m_session.catalog().msg(150) + QStringLiteral(" \"") + name + QStringLiteral("\""))
                             .add(147);
        return result;
    }
    const QString text = uiText(UiText::Rename, m_session.catalog().language()).arg(node->text);
    m_session.edit(text, 0, [&](ProjectEdit &e) {
        e.setText(node, name);
        e.sortChildren(node->parent);
    });
    result.ok = true;
    result.node = node;
    return result;
}

Message PoolOps::deleteQuestion(const TreeNode *node) const
{
    if (!node || !node->parent || m_session.model().settings.silentDelete)
        return {};
    if (isFolder(node)) {
        if (node->children.empty())
            return {};
        return Message::build(Message::Confirmation, 139).add(139).add(node->text).add(140);
    }
    // Message 137 is empty in both languages; the blank after it is left out with it.
    return Message::build(Message::Confirmation, 138).add(137).add(node->text).add(138);
}

void PoolOps::removeElement(ProjectEdit &e, int elementKind, const QString &name)
{
    if (name.isEmpty() || !validElementKind(elementKind))
        return;
    ProjectModel &m = e.model();
    NameLists &names = m.names;
    switch (elementKind) {
    case Items:
        for (RItem &it : m.items)
            if (it.name == name)
                it = RItem();
        NameLists::remove(names[NameLists::ItemNames], name);
        break;
    case Scripts:
        for (Rcutscene &c : m.cutscenes)
            if (c.name == name)
                c = Rcutscene();
        NameLists::remove(names[NameLists::ScriptNames], name);
        break;
    case Objects:
        for (Robj &o : m.objects)
            if (o.name == name)
                o = Robj();
        for (Rroom &room : m.rooms) {
            if (room.name.isEmpty())
                continue;
            for (Rroomobj &o : room.objects) {
                if (!o.instanceName.isEmpty() && o.objectName == name) {
                    NameLists::remove(names[NameLists::ObjectInstances], o.instanceName);
                    o = Rroomobj();
                }
            }
        }
        break;
    case Characters:
        for (Rcharacter &c : m.characters) {
            if (c.name == name) {
                c = Rcharacter();
                c.extraNames = ProjectModel::defaultExtraNames(e.catalog());
            }
        }
        for (Rroomchar &c : m.roomChars) {
            if (!c.instanceName.isEmpty() && c.characterName == name) {
                NameLists::remove(names[NameLists::CharacterInstances], c.instanceName);
                c = Rroomchar();
            }
        }
        break;
    case Rooms:
        for (Rroom &room : m.rooms) {
            if (room.name != name)
                continue;
            for (const Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty())
                    NameLists::remove(names[NameLists::ObjectInstances], o.instanceName);
            // A fresh record frees the room script, the placements and the walkmap scripts.
            room = Rroom();
        }
        NameLists::remove(names[NameLists::RoomNames], name);
        m.entf_roomchar(name);
        break;
    }

    CurrentElements &cur = e.current();
    const QString freeText = QStringLiteral("free");
    QString *slot = elementKind == Items ? &cur.item : elementKind == Objects ? &cur.object
                  : elementKind == Characters ? &cur.character : elementKind == Rooms ? &cur.room : nullptr;
    if (slot && *slot == name)
        *slot = freeText;
    const QString key = scriptKeyFor(kindInfo(elementKind).image, name);
    if (!key.isEmpty() && cur.scriptKey == key)
        cur.scriptKey = freeText;
}

bool PoolOps::deleteGameNode(TreeNode *node)
{
    if (!node || !node->parent)
        return false;
    const int root = m_session.model().gameTree.topIndex(node);
    if (root < 0)
        return false;
    const bool folder = isFolder(node);
    const QString name = node->text;
    const int kind = elementKindOfImage(node->imageIndex);
    const QString text = uiText(UiText::Delete, m_session.catalog().language()).arg(name);
    m_session.edit(text, elementTables(folder || kind < 0 ? root : kind), [&](ProjectEdit &e) {
        e.removeNode(node);
        if (folder)
            removeOrphanElements(e, root);
        else if (kind >= 0 && !findNode(e.model().gameTree, name, elementImage(kind)))
            removeElement(e, kind, name);
    });
    return true;
}

bool PoolOps::deleteMediaNode(TreeNode *node)
{
    if (!node || !node->parent)
        return false;
    const int kind = m_session.model().mediaTree.topIndex(node);
    if (kind < 0)
        return false;
    const QString text = uiText(UiText::Delete, m_session.catalog().language()).arg(node->text);
    m_session.edit(text, table::AllMedia | table::Names, [&](ProjectEdit &e) {
        ProjectModel &m = e.model();
        if (isFolder(node)) {
            for (const auto &c : node->children)
                if (!isFolder(c.get()))
                    m.mediadelete(kind, c->text);
            e.removeNode(node);
            removeOrphanMedia(e);
        } else {
            const QString name = node->text;
            e.removeNode(node);
            m.mediadelete(kind, name);
        }
    });
    return true;
}

bool PoolOps::canMove(const ProjectTree &tree, const TreeNode *node, const TreeNode *target)
{
    if (!node || !target || !node->parent || !isFolder(target))
        return false;
    const int root = tree.topIndex(node);
    if (root < 0 || tree.topIndex(target) != root || isDescendant(target, node))
        return false;
    if (isFolder(node))
        return target->level() + 1 + folderHeight(node) <= MaxFolderLevel;
    return true;
}

bool PoolOps::moveNode(const ProjectTree &tree, TreeNode *node, TreeNode *target)
{
    if (!canMove(tree, node, target))
        return false;
    const QString text = uiText(UiText::Move, m_session.catalog().language()).arg(node->text);
    m_session.edit(text, 0, [&](ProjectEdit &e) {
        e.moveNode(node, target, int(target->children.size()));
        e.sortChildren(target);
    });
    return true;
}

QString PoolOps::scriptKeyOf(const TreeNode *node)
{
    return node && node->parent ? scriptKeyFor(node->imageIndex, node->text) : QString();
}

QString PoolOps::selectGameNode(const TreeNode *node, bool *scriptKeySet)
{
    if (scriptKeySet)
        *scriptKeySet = false;
    if (!node || !node->parent)
        return {};
    CurrentElements &cur = m_session.current();
    switch (node->imageIndex) {
    case nodeimage::Item: cur.item = node->text; break;
    case nodeimage::Object: cur.object = node->text; break;
    case nodeimage::Character: cur.character = node->text; break;
    case nodeimage::Room: cur.room = node->text; break;
    default: break;
    }
    const QString key = scriptKeyOf(node);
    if (!key.isEmpty()) {
        cur.scriptKey = key;
        if (scriptKeySet)
            *scriptKeySet = true;
    }
    return toolWindowOf(node->imageIndex);
}

void PoolOps::selectMediaNode(const TreeNode *node)
{
    if (node && node->parent && !isFolder(node))
        m_session.current().media = node->text;
}

TreeNode *PoolOps::findNode(const ProjectTree &tree, const QString &nodeText, int imageIndex)
{
    TreeNode *found = nullptr;
    tree.forEach([&](TreeNode *n) {
        if (!found && n->parent && n->imageIndex == imageIndex && n->text == nodeText)
            found = n;
    });
    return found;
}

} // namespace mb
