#include "project/poolops.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace mb {

namespace {

// Indexes into ProjectModel::counters.
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
template <typename F>
decltype(auto) withTable(ProjectModel &m, int kind, F &&f)
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

} // namespace

PoolOps::PoolOps(ProjectModel &model, const MessageCatalog &catalog) : m_model(model), m_catalog(catalog) {}

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

TreeNode *PoolOps::insertTarget(const ProjectTree &tree, int rootIndex, TreeNode *selection)
{
    if (selection && tree.topIndex(selection) == rootIndex)
        return isFolder(selection) ? selection : selection->parent;
    return tree.root(rootIndex);
}

PoolMessage PoolOps::error(int number, const QString &text) const
{
    return {PoolMessage::Error, number, text};
}

QStringList PoolOps::usedNames(int elementKind) const
{
    QStringList out;
    withTable(m_model, elementKind, [&](auto &table) {
        for (const auto &r : table)
            if (!r.name.isEmpty())
                out << r.name;
    });
    return out;
}

QString PoolOps::newElementName(int elementKind)
{
    const KindInfo &info = kindInfo(elementKind);
    const QString word = m_catalog.msg(info.word);
    QSet<QString> taken;
    for (const QString &n : usedNames(elementKind))
        taken.insert(text::asciiLower(n));
    uint16_t &counter = m_model.counters[info.counter];
    // The table holds at most a few thousand names, so this ends long before the counter wraps.
    while (taken.contains(text::asciiLower(word + QString::number(counter))))
        ++counter;
    return word + QString::number(counter);
}

void PoolOps::initElement(int elementKind, int slot, const QString &name)
{
    switch (elementKind) {
    case Characters: {
        Rcharacter c;
        c.extraNames = ProjectModel::defaultExtraNames(m_catalog);
        c.name = name;
        m_model.characters[slot] = std::move(c);
        break;
    }
    case Scripts:
        m_model.cutscenes[slot] = Rcutscene{name, {}};
        break;
    case Items: {
        RItem it;
        it.name = name;
        m_model.items[slot] = std::move(it);
        break;
    }
    case Objects: {
        Robj o;
        o.name = name;
        m_model.objects[slot] = std::move(o);
        break;
    }
    case Rooms: {
        Rroom r;
        r.name = name;
        r.width = m_model.settings.gameWidth;
        r.height = m_model.settings.gameHeight;
        r.zoomTop = 5;
        r.zoomBottom = 10;
        r.zoomStep = 3;
        const bool small = m_model.settings.gameWidth == 320;
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
        m_model.rooms[slot] = std::move(r);
        break;
    }
    }
}

PoolResult PoolOps::insertElement(int elementKind, TreeNode *selection)
{
    PoolResult result;
    if (!validElementKind(elementKind))
        return result;
    const KindInfo &info = kindInfo(elementKind);
    TreeNode *target = insertTarget(m_model.gameTree, elementKind, selection);
    if (!target)
        return result;
    const QString name = newElementName(elementKind);
    const int slot = withTable(m_model, elementKind, [](auto &t) { return t.firstFree(); });
    if (slot == 0) {
        result.message = error(info.limit, m_catalog.msg(info.limit));
        return result;
    }
    initElement(elementKind, slot, name);
    result.node = target->addChild(name, info.image, true);
    target->sortChildren();
    if (info.nameList >= 0) {
        m_model.names[info.nameList] << name;
        NameLists::sort(m_model.names[info.nameList]);
    }
    ++m_model.counters[info.counter];
    m_model.modified = true;
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
    MediaTable &table = m_model.media[mediaKind];
    if (table.firstFree() == 0) {
        result.messages.push_back(error(limits[mediaKind], m_catalog.msg(limits[mediaKind])));
        return result;
    }
    TreeNode *target = insertTarget(m_model.mediaTree, mediaKind, selection);
    if (!target)
        return result;
    for (const QString &file : files) {
        if (mediaKind == Images && QFileInfo(file).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0
            && !isPngWithAlpha(file)) {
            // Several files may be chosen at once: say which one is refused.
            result.messages.push_back(error(381, QDir::toNativeSeparators(file) + u'\n' + m_catalog.msg(381)));
            continue;
        }
        const QString name = text::medianame(file);
        if (name.isEmpty())
            continue;
        if (table.find(name) != 0) {
            result.messages.push_back(error(147, name + u' ' + m_catalog.msg(147)));
            continue;
        }
        m_model.mediaChanged[mediaKind] = true;
        if (m_model.mediaadd(mediaKind, name, QDir::toNativeSeparators(file)) == 0) {
            result.messages.push_back(error(limits[mediaKind], m_catalog.msg(limits[mediaKind])));
            break;
        }
        result.lastNode = target->addChild(name, mediaImage(mediaKind), true);
        ++result.added;
    }
    if (result.added > 0) {
        target->sortChildren();
        m_model.modified = true;
    }
    return result;
}

PoolResult PoolOps::newFolder(ProjectTree &tree, TreeNode *selection)
{
    PoolResult result;
    if (!selection || tree.topIndex(selection) < 0)
        return result;
    TreeNode *folder = isFolder(selection) ? selection : selection->parent;
    if (!folder || folder->level() > MaxFolderLevel - 1)
        return result;
    uint16_t &counter = m_model.counters[&tree == &m_model.mediaTree ? MediaFolderCounter : GameFolderCounter];
    // Renaming refuses a folder name in use anywhere in the tree, so the proposal skips those.
    QSet<QString> taken;
    tree.forEach([&](TreeNode *n) {
        if (isFolder(n))
            taken.insert(text::asciiLower(n->text));
    });
    const QString word = m_catalog.msg(150);
    while (taken.contains(text::asciiLower(word + QString::number(counter))))
        ++counter;
    result.node = folder->addChild(word + QString::number(counter), nodeimage::Folder, true);
    ++counter;
    folder->sortChildren();
    m_model.modified = true;
    result.ok = true;
    return result;
}

QString PoolOps::cleanElementName(const QString &typed)
{
    return stripChars(typed, u"{}();\",");
}

QString PoolOps::cleanMediaFolderName(const QString &typed)
{
    return stripChars(typed, u"{}();\"\\/:*?<|>");
}

void PoolOps::setElementName(int elementKind, const QString &oldName, const QString &newName)
{
    withTable(m_model, elementKind, [&](auto &table) {
        for (auto &r : table)
            if (r.name == oldName)
                r.name = newName;
    });
    const KindInfo &info = kindInfo(elementKind);
    if (info.nameList >= 0)
        replaceInList(m_model.names[info.nameList], oldName, newName);
    switch (elementKind) {
    case Objects:
        for (Rroom &room : m_model.rooms) {
            if (room.name.isEmpty())
                continue;
            for (Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty() && o.objectName == oldName)
                    o.objectName = newName;
        }
        break;
    case Rooms:
        for (Rroomchar &c : m_model.roomChars)
            if (!c.instanceName.isEmpty() && c.roomName == oldName)
                c.roomName = newName;
        break;
    case Characters:
        for (Rroomchar &c : m_model.roomChars)
            if (!c.instanceName.isEmpty() && c.characterName == oldName)
                c.characterName = newName;
        break;
    default:
        break;
    }

    // The tool windows keep showing the element under its new name.
    CurrentElements &cur = m_model.current;
    QString *slot = elementKind == Items ? &cur.item : elementKind == Objects ? &cur.object
                  : elementKind == Characters ? &cur.character : elementKind == Rooms ? &cur.room : nullptr;
    if (slot && *slot == oldName)
        *slot = newName;
    const QString prefix = elementKind == Scripts ? QStringLiteral("0") : elementKind == Items ? QStringLiteral("1")
                         : elementKind == Rooms ? QStringLiteral("8") : QString();
    if (!prefix.isEmpty() && cur.scriptKey == prefix + oldName)
        cur.scriptKey = prefix + newName;
}

PoolResult PoolOps::renameGameNode(TreeNode *node, const QString &typed, EditorSettings *notes)
{
    PoolResult result;
    if (!node || !node->parent || m_model.gameTree.topIndex(node) < 0)
        return result;
    m_model.modified = true;
    // The name is cleaned before the duplicate test, so that "Room1;" cannot slip past "room1".
    const QString name = cleanElementName(typed);
    if (name.isEmpty())
        return result;
    const int kind = elementKindOfImage(node->imageIndex);
    bool taken = false;
    m_model.gameTree.forEach([&](TreeNode *n) {
        if (n != node && n->imageIndex == node->imageIndex && text::sameText(n->text, name))
            taken = true;
    });
    if (taken) {
        const int noun = kind >= 0 ? kindInfo(kind).noun : 150;
        result.message = error(147, m_catalog.msg(noun) + QStringLiteral(" \"") + name + QStringLiteral("\" ")
                                        + m_catalog.msg(147));
        return result;
    }
    result.ok = true;
    result.node = node;
    const QString oldName = node->text;
    if (name == oldName)
        return result;
    node->text = name;
    node->parent->sortChildren();
    if (kind < 0)
        return result;
    setElementName(kind, oldName, name);

    if (notes && (kind == Objects || kind == Characters)) {
        const QString key = kind == Objects ? QStringLiteral("RenameObj") : QStringLiteral("RenameChr");
        if (notes->readsetting(key) != QLatin1String("yes")) {
            const int number = kind == Objects ? 157 : 158;
            result.message = {PoolMessage::Information, number, m_catalog.msg(number)};
            notes->writesetting(key, QStringLiteral("yes"));
        }
    }
    return result;
}

PoolResult PoolOps::renameMediaFolder(TreeNode *node, const QString &typed)
{
    PoolResult result;
    if (!node || !node->parent || !isFolder(node) || m_model.mediaTree.topIndex(node) < 0)
        return result;
    m_model.modified = true;
    const QString name = cleanMediaFolderName(typed);
    if (name.isEmpty())
        return result;
    bool taken = false;
    m_model.mediaTree.forEach([&](TreeNode *n) {
        if (n != node && isFolder(n) && text::sameText(n->text, name))
            taken = true;
    });
    if (taken && name != node->text) {
        result.message = error(147, m_catalog.msg(150) + QStringLiteral(" \"") + name + QStringLiteral("\" ")
                                        + m_catalog.msg(147));
        return result;
    }
    node->text = name;
    node->parent->sortChildren();
    result.ok = true;
    result.node = node;
    return result;
}

QString PoolOps::deleteQuestion(const TreeNode *node) const
{
    if (!node || !node->parent || m_model.settings.silentDelete)
        return {};
    QString q;
    if (isFolder(node)) {
        if (node->children.empty())
            return {};
        q = m_catalog.msg(139) + u' ' + node->text + u' ' + m_catalog.msg(140);
    } else {
        q = m_catalog.msg(137) + u' ' + node->text + u' ' + m_catalog.msg(138);
    }
    return q;
}

void PoolOps::removeElement(int elementKind, const QString &name)
{
    if (name.isEmpty() || !validElementKind(elementKind))
        return;
    NameLists &names = m_model.names;
    switch (elementKind) {
    case Items:
        for (RItem &it : m_model.items)
            if (it.name == name)
                it = RItem();
        NameLists::remove(names[NameLists::ItemNames], name);
        break;
    case Scripts:
        for (Rcutscene &c : m_model.cutscenes)
            if (c.name == name)
                c = Rcutscene();
        NameLists::remove(names[NameLists::ScriptNames], name);
        break;
    case Objects:
        for (Robj &o : m_model.objects)
            if (o.name == name)
                o = Robj();
        for (Rroom &room : m_model.rooms) {
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
        for (Rcharacter &c : m_model.characters) {
            if (c.name == name) {
                c = Rcharacter();
                c.extraNames = ProjectModel::defaultExtraNames(m_catalog);
            }
        }
        for (Rroomchar &c : m_model.roomChars) {
            if (!c.instanceName.isEmpty() && c.characterName == name) {
                NameLists::remove(names[NameLists::CharacterInstances], c.instanceName);
                c = Rroomchar();
            }
        }
        break;
    case Rooms:
        for (Rroom &room : m_model.rooms) {
            if (room.name != name)
                continue;
            for (const Rroomobj &o : room.objects)
                if (!o.instanceName.isEmpty())
                    NameLists::remove(names[NameLists::ObjectInstances], o.instanceName);
            // A fresh record frees the room script, the placements and the walkmap scripts.
            room = Rroom();
        }
        NameLists::remove(names[NameLists::RoomNames], name);
        m_model.entf_roomchar(name);
        break;
    }

    CurrentElements &cur = m_model.current;
    const QString freeText = QStringLiteral("free");
    QString *slot = elementKind == Items ? &cur.item : elementKind == Objects ? &cur.object
                  : elementKind == Characters ? &cur.character : elementKind == Rooms ? &cur.room : nullptr;
    if (slot && *slot == name)
        *slot = freeText;
    const QString key = scriptKeyFor(kindInfo(elementKind).image, name);
    if (!key.isEmpty() && cur.scriptKey == key)
        cur.scriptKey = freeText;
}

void PoolOps::removeOrphanElements(int elementKind)
{
    const QSet<QString> present = nodeTexts(m_model.gameTree, kindInfo(elementKind).image);
    for (const QString &name : usedNames(elementKind))
        if (!present.contains(name))
            removeElement(elementKind, name);
}

bool PoolOps::deleteGameNode(TreeNode *node)
{
    if (!node || !node->parent)
        return false;
    const int root = m_model.gameTree.topIndex(node);
    if (root < 0)
        return false;
    const bool folder = isFolder(node);
    const QString name = node->text;
    const int kind = elementKindOfImage(node->imageIndex);
    node->parent->take(node); // the returned subtree is destroyed here
    if (folder)
        removeOrphanElements(root);
    else if (kind >= 0 && !findNode(m_model.gameTree, name, elementImage(kind)))
        removeElement(kind, name);
    m_model.modified = true;
    return true;
}

void PoolOps::removeOrphanMedia()
{
    for (int kind = Images; kind <= Movies; ++kind) {
        const QSet<QString> present = nodeTexts(m_model.mediaTree, mediaImage(kind));
        MediaTable &table = m_model.media[kind];
        for (int slot = 1; slot <= table.size(); ++slot) {
            const QString name = table.name(slot);
            if (!name.isEmpty() && !present.contains(name))
                m_model.mediadelete(kind, name);
        }
    }
}

bool PoolOps::deleteMediaNode(TreeNode *node)
{
    if (!node || !node->parent)
        return false;
    const int kind = m_model.mediaTree.topIndex(node);
    if (kind < 0)
        return false;
    if (isFolder(node)) {
        for (const auto &c : node->children)
            if (!isFolder(c.get()))
                m_model.mediadelete(kind, c->text);
        node->parent->take(node);
        removeOrphanMedia();
    } else {
        const QString name = node->text;
        node->parent->take(node);
        m_model.mediadelete(kind, name);
    }
    m_model.modified = true;
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

bool PoolOps::moveNode(ProjectTree &tree, TreeNode *node, TreeNode *target)
{
    if (!canMove(tree, node, target))
        return false;
    std::unique_ptr<TreeNode> moved = node->parent->take(node);
    moved->parent = target;
    target->children.push_back(std::move(moved));
    target->sortChildren();
    m_model.modified = true;
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
    CurrentElements &cur = m_model.current;
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
        m_model.current.media = node->text;
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
