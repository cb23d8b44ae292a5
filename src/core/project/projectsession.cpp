#include "project/projectsession.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/treestep.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace mb {

namespace {

bool g_verifyEdits = qEnvironmentVariableIntValue("MOSSBRAMBLE_VERIFY_EDITS") != 0;

int rowOf(const TreeNode *node)
{
    const auto &siblings = node->parent->children;
    return int(std::find_if(siblings.begin(), siblings.end(), [&](const auto &c) { return c.get() == node; })
               - siblings.begin());
}

ProjectChange treeChange(ProjectChange::Kind kind, ProjectChange::Phase phase, ProjectChange::Tree tree)
{
    ProjectChange c;
    c.kind = kind;
    c.phase = phase;
    c.tree = tree;
    return c;
}

} // namespace

void CurrentElements::clear()
{
    const QString freeText = QStringLiteral("free");
    media = item = object = character = room = scriptKey = freeText;
}

// One undo step: the tree steps in order, the changed slots of the tables and the selections
// before and after. Its first redo() is the edit itself, already done when it is pushed.
class ProjectSession::Command : public QUndoCommand
{
public:
    Command(ProjectSession &session, const QString &text) : QUndoCommand(text), m_session(session) {}

    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        m_session.replay(*this, true);
    }
    void undo() override { m_session.replay(*this, false); }
    int id() const override { return merge != 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand *otherBase) override
    {
        auto *other = const_cast<Command *>(static_cast<const Command *>(otherBase));
        if (other->merge != merge || other->gesture != gesture || !steps.empty() || !other->steps.empty())
            return false;
        diff.merge(std::move(other->diff));
        currentAfter = other->currentAfter;
        for (const ProjectChange &c : other->changes) {
            auto same = std::find_if(changes.begin(), changes.end(), [&](const ProjectChange &mine) {
                ProjectChange a = mine, b = c;
                a.cells = b.cells = QRect();
                return a == b;
            });
            if (same == changes.end())
                changes.push_back(c);
            else
                same->cells = same->cells.united(c.cells);
        }
        // A gesture that ends where it began leaves nothing to undo.
        setObsolete(diff.isEmpty() && currentBefore == currentAfter);
        return true;
    }

    ModelDiff diff;
    std::vector<std::unique_ptr<TreeStep>> steps;
    std::vector<ProjectChange> changes; // given by editRecord(); else the diff describes itself
    CurrentElements currentBefore, currentAfter;
    MergeKey merge = 0;
    quint64 gesture = 0;

private:
    ProjectSession &m_session;
    bool m_done = true;
};

// The edit running now: what it started from and what it did so far.
struct ProjectSession::Open
{
    QString text;
    MergeKey merge = 0;
    ModelSnapshot snapshot;
    ModelSnapshot verify; // the whole project, when edits are verified
    ModelTables named = 0; // tables the edit may write (whole or single slots)
    std::vector<std::unique_ptr<TreeStep>> steps;
    std::vector<ProjectChange> changes;
    CurrentElements currentBefore;
    std::unique_ptr<ProjectEdit> edit;
    int depth = 0;
};

ProjectSession::MergeKey ProjectSession::mergeKey(const void *owner, int field, int slot)
{
    const quint64 key = qHashMulti(0, quintptr(owner), field, slot);
    return key ? key : 1;
}

ProjectSession::ProjectSession(const MessageCatalog &catalog, QObject *parent)
    : QObject(parent), m_catalog(catalog), m_model(std::make_unique<ProjectModel>())
{
    m_model->allesneu(m_catalog);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this] { updateModified(); });
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] { updateModified(); });
}

ProjectSession::~ProjectSession()
{
    // The commands keep removed subtrees; they go before the tree they point into.
    m_stack.clear();
}

void ProjectSession::setVerifyEdits(bool on)
{
    g_verifyEdits = on;
}

// --- lifetime

void ProjectSession::reset(std::unique_ptr<ProjectModel> model)
{
    Q_ASSERT(!m_open);
    notify(ProjectChange::reset(ProjectChange::AboutTo));
    m_stack.clear();
    // The project object keeps its address: windows may hold a reference to it for the whole run.
    if (model)
        *m_model = std::move(*model);
    else
        m_model->allesneu(m_catalog);
    m_current.clear();
    m_mediaChanged = {true, true, true, true};
    m_gameBuiltOnce = false;
    m_dirty = false;
    notify(ProjectChange::reset(ProjectChange::Done));
    updateModified();
}

void ProjectSession::newProject()
{
    // Emptied in place, which costs only the records the project used (the last game folder
    // stays).
    m_projectFolder.clear();
    reset(nullptr);
}

void ProjectSession::replace(std::unique_ptr<ProjectModel> model, const QString &projectFolder)
{
    m_projectFolder = projectFolder;
    reset(std::move(model));
}

ProjectFileResult ProjectSession::open(const QString &advPath)
{
    m_busy = true;
    auto fresh = std::make_unique<ProjectModel>();
    fresh->lastGameFolder = m_model->lastGameFolder;
    const ProjectFileResult result = openProject(*fresh, m_catalog, advPath, m_progress);
    if (result.cancelled) {
        m_busy = false;
        return result;
    }
    if (result.ok) {
        const QString folder = QFileInfo(advPath).absolutePath();
        m_projectFolder = folder;
        m_openFolder = folder;
    } else {
        // A project that failed to load is an empty one, never a half-loaded one.
        fresh->allesneu(m_catalog);
        m_projectFolder.clear();
    }
    reset(std::move(fresh));
    m_busy = false;
    return result;
}

ProjectFileResult ProjectSession::save(bool keepCompanionFiles, const QDateTime &now)
{
    return saveTo(m_projectFolder, m_model->settings.projectName, keepCompanionFiles, now);
}

ProjectFileResult ProjectSession::saveAs(const QString &chosenPath, const QDateTime &now)
{
    QString path = chosenPath;
    if (path.endsWith(QLatin1String(".adv"), Qt::CaseInsensitive))
        path.chop(4);
    const QFileInfo info(path);
    return saveTo(info.absolutePath(), info.fileName(), false, now);
}

ProjectFileResult ProjectSession::saveTo(const QString &folder, const QString &name, bool keepCompanionFiles,
                                         const QDateTime &now)
{
    m_busy = true;
    SaveOptions options;
    options.keepCompanionFiles = keepCompanionFiles;
    options.makeBackup = m_options.makeBackup;
    options.editorFolder = m_editorFolder;
    options.progress = m_progress;
    const ProjectFileResult result = saveProject(*m_model, folder, name, options, now);
    m_busy = false;
    if (!result.ok)
        return result;
    m_projectFolder = QDir(folder).absolutePath();
    if (m_model->settings.projectName != name) {
        m_model->settings.projectName = name;
        notify(ProjectChange::settings());
    }
    m_dirty = false;
    m_stack.setClean();
    updateModified();
    return result;
}

// --- state

void ProjectSession::markModified()
{
    m_dirty = true;
    updateModified();
}

void ProjectSession::setLastGameFolder(const QString &folder)
{
    m_model->lastGameFolder = folder;
}

void ProjectSession::updateModified()
{
    const bool modified = m_dirty || !m_stack.isClean();
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

// --- editing

void *ProjectSession::recordAddress(const ProjectChange &what, ModelTables expected)
{
    ProjectModel &m = *m_model;
    const int s = what.slot;
    auto inRange = [s](int size) { return s >= 1 && s <= size; };
    switch (what.kind) {
    case ProjectChange::Element:
        if (expected != table::element(what.elementKind))
            return nullptr;
        switch (what.elementKind) {
        case Characters: return inRange(m.characters.size()) ? &m.characters[s] : nullptr;
        case Scripts: return inRange(m.cutscenes.size()) ? &m.cutscenes[s] : nullptr;
        case Items: return inRange(m.items.size()) ? &m.items[s] : nullptr;
        case Objects: return inRange(m.objects.size()) ? &m.objects[s] : nullptr;
        case Rooms: return inRange(m.rooms.size()) ? &m.rooms[s] : nullptr;
        }
        return nullptr;
    case ProjectChange::RoomCharacter:
        return expected == table::RoomCharacters && inRange(m.roomChars.size()) ? &m.roomChars[s] : nullptr;
    case ProjectChange::Font:
        return expected == table::Fonts && inRange(m.fonts.size()) ? &m.fonts[s] : nullptr;
    case ProjectChange::Language:
        return expected == table::Languages && inRange(m.languages.size()) ? &m.languages[s] : nullptr;
    case ProjectChange::Origin: return expected == table::Origin ? &m.origin : nullptr;
    case ProjectChange::Mouse: return expected == table::Mouse ? &m.mouse : nullptr;
    case ProjectChange::Settings: return expected == table::Settings ? &m.settings : nullptr;
    case ProjectChange::Commands: return expected == table::Commands ? &m.commands : nullptr;
    case ProjectChange::NameList:
        return expected == table::Names && what.index >= 0 && what.index < NameLists::Count ? &m.names[what.index]
                                                                                             : nullptr;
    default:
        return nullptr;
    }
}

ProjectSession::Scope::Scope(ProjectSession &session, const QString &text, ModelTables writes, MergeKey merge,
                             const ProjectChange *record)
    : m_session(session), m_outer(!session.m_open)
{
    session.beginEdit(text, writes, merge, record);
    edit = session.m_open->edit.get();
}

ProjectSession::Scope::~Scope()
{
    m_session.endEdit(m_outer);
}

bool ProjectSession::Scope::changed() const
{
    const Open &open = *m_session.m_open;
    return !open.steps.empty() || !ModelDiff::compare(open.snapshot, *m_session.m_model).isEmpty();
}

void ProjectSession::beginEdit(const QString &text, ModelTables writes, MergeKey merge, const ProjectChange *record)
{
    if (!m_open) {
        m_open = std::make_unique<Open>();
        m_open->text = text;
        m_open->merge = merge;
        m_open->currentBefore = m_current;
        m_open->edit.reset(new ProjectEdit(*this, m_open->snapshot, m_open->steps));
        if (g_verifyEdits)
            m_open->verify.capture(*m_model, table::All);
    }
    Open &open = *m_open;
    ++open.depth;
    open.snapshot.capture(*m_model, writes);
    open.named |= writes;
    if (record) {
        const ModelTables t = record->kind == ProjectChange::Element ? table::element(record->elementKind)
                              : record->kind == ProjectChange::RoomCharacter ? table::RoomCharacters
                              : record->kind == ProjectChange::Font          ? table::Fonts
                              : record->kind == ProjectChange::Language      ? table::Languages
                              : record->kind == ProjectChange::Origin        ? table::Origin
                              : record->kind == ProjectChange::Mouse         ? table::Mouse
                              : record->kind == ProjectChange::Settings      ? table::Settings
                              : record->kind == ProjectChange::Commands      ? table::Commands
                                                                             : table::Names;
        const int slot = record->kind == ProjectChange::NameList ? record->index + 1 : record->slot;
        open.snapshot.captureSlot(*m_model, t, slot);
        open.named |= t;
        open.changes.push_back(*record);
    }
}

void ProjectSession::nameWrites(ModelTables tables)
{
    if (m_open)
        m_open->named |= tables;
}

void ProjectSession::endEdit(bool outer)
{
    Open &open = *m_open;
    if (--open.depth > 0 || !outer)
        return;
    std::unique_ptr<Open> done = std::move(m_open);

    auto command = std::make_unique<Command>(*this, done->text);
    command->diff = ModelDiff::compare(done->snapshot, *m_model);
    if (g_verifyEdits) {
        const ModelDiff all = ModelDiff::compare(done->verify, *m_model);
        const ModelTables stray = all.tables() & ~done->named;
        if (stray)
            qFatal("edit \"%s\" wrote tables it did not name: 0x%x", qPrintable(done->text), unsigned(stray));
        // A table named by single slots: every slot written must be one of them.
        if (all.slotCount() != command->diff.slotCount())
            qFatal("edit \"%s\" wrote %zu slots but copied only %zu of them", qPrintable(done->text),
                   all.slotCount(), command->diff.slotCount());
    }
    if (command->diff.isEmpty() && done->steps.empty() && done->currentBefore == m_current)
        return;
    command->steps = std::move(done->steps);
    command->currentBefore = done->currentBefore;
    command->currentAfter = m_current;
    command->merge = done->merge;
    command->gesture = m_gesture;
    // editRecord() says precisely what it changed; a wider edit is described by its diff.
    if (done->changes.size() == 1 && command->diff.slotCount() <= 1 && command->steps.empty())
        command->changes = std::move(done->changes);
    const ModelTables media = command->diff.tables() & table::AllMedia;
    for (int kind = Images; kind <= Movies; ++kind)
        if (media & table::media(kind))
            m_mediaChanged[size_t(kind)] = true;
    std::vector<ProjectChange> changes = command->changes;
    if (changes.empty())
        command->diff.describe(changes);
    m_stack.push(command.release());
    for (const ProjectChange &c : changes)
        notify(c);
}

void ProjectSession::replay(Command &command, bool forward)
{
    if (forward) {
        for (auto &step : command.steps)
            runStep(*step, true);
        command.diff.apply(*m_model, true);
    } else {
        command.diff.apply(*m_model, false);
        for (auto it = command.steps.rbegin(); it != command.steps.rend(); ++it)
            runStep(**it, false);
    }
    // Only the selections the edit moved go back; others the user made since stay.
    const CurrentElements &from = forward ? command.currentBefore : command.currentAfter;
    const CurrentElements &to = forward ? command.currentAfter : command.currentBefore;
    QString CurrentElements::*fields[] = {&CurrentElements::media, &CurrentElements::item, &CurrentElements::object,
                                           &CurrentElements::character, &CurrentElements::room,
                                           &CurrentElements::scriptKey};
    for (auto field : fields)
        if (from.*field != to.*field)
            m_current.*field = to.*field;
    const ModelTables media = command.diff.tables() & table::AllMedia;
    for (int kind = Images; kind <= Movies; ++kind)
        if (media & table::media(kind))
            m_mediaChanged[size_t(kind)] = true;
    std::vector<ProjectChange> changes = command.changes;
    if (changes.empty())
        command.diff.describe(changes);
    for (const ProjectChange &c : changes)
        notify(c);
}

void ProjectSession::runStep(TreeStep &step, bool forward)
{
    using C = ProjectChange;
    auto insert = [&](TreeNode *parent, int row) {
        C c = treeChange(C::TreeInsert, C::AboutTo, step.tree);
        c.parent = parent;
        c.first = c.last = row;
        c.node = step.node;
        notify(c);
        step.kept->parent = parent;
        parent->children.insert(parent->children.begin() + row, std::move(step.kept));
        c.phase = C::Done;
        notify(c);
    };
    auto remove = [&](TreeNode *parent, int row) {
        C c = treeChange(C::TreeRemove, C::AboutTo, step.tree);
        c.parent = parent;
        c.first = c.last = row;
        c.node = step.node;
        notify(c);
        step.kept = std::move(parent->children[size_t(row)]);
        parent->children.erase(parent->children.begin() + row);
        step.kept->parent = nullptr;
        c.phase = C::Done;
        notify(c);
    };
    auto move = [&](TreeNode *from, int fromRow, TreeNode *to, int toRow) {
        C c = treeChange(C::TreeMove, C::AboutTo, step.tree);
        c.parent = from;
        c.first = c.last = fromRow;
        c.target = to;
        // Qt counts the destination row before the node leaves its old place.
        c.row = from == to && toRow > fromRow ? toRow + 1 : toRow;
        c.node = step.node;
        notify(c);
        std::unique_ptr<TreeNode> node = std::move(from->children[size_t(fromRow)]);
        from->children.erase(from->children.begin() + fromRow);
        node->parent = to;
        to->children.insert(to->children.begin() + toRow, std::move(node));
        c.phase = C::Done;
        notify(c);
    };
    switch (step.type) {
    case TreeStep::Insert:
        forward ? insert(step.parent, step.row) : remove(step.parent, step.row);
        break;
    case TreeStep::Remove:
        forward ? remove(step.parent, step.row) : insert(step.parent, step.row);
        break;
    case TreeStep::Move:
        if (forward)
            move(step.parent, step.row, step.toParent, step.toRow);
        else
            move(step.toParent, step.toRow, step.parent, step.row);
        break;
    case TreeStep::Text: {
        step.node->text = forward ? step.after : step.before;
        C c = treeChange(C::TreeText, C::Done, step.tree);
        c.node = step.node;
        c.parent = step.node->parent;
        c.first = c.last = step.node->parent ? rowOf(step.node) : -1;
        notify(c);
        break;
    }
    case TreeStep::Order: {
        notify(treeChange(C::TreeLayout, C::AboutTo, step.tree));
        for (const auto &[parent, order] : forward ? step.orderAfter : step.orderBefore) {
            QHash<TreeNode *, std::unique_ptr<TreeNode> *> places;
            std::vector<std::unique_ptr<TreeNode>> children = std::move(parent->children);
            parent->children.clear();
            parent->children.reserve(order.size());
            for (auto &c : children)
                places.insert(c.get(), &c);
            for (TreeNode *n : order)
                parent->children.push_back(std::move(*places.value(n)));
        }
        notify(treeChange(C::TreeLayout, C::Done, step.tree));
        break;
    }
    }
}

} // namespace mb
