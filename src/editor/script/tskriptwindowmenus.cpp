// The insert menu of the script editor: presets first, then one submenu per group of commands.
#include "script/tskriptwindow.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "script/inserttemplates.h"
#include "script/scriptedit.h"
#include "script/scriptpresets.h"

#include <QMenu>
#include <QToolButton>

namespace mb {

namespace {

enum Msg {
    MsgRoom = 29,
    MsgObject = 30,
    MsgCharacter = 31,
    MsgItem = 32,
    MsgPresets = 196,
    MsgCustomPresets = 560,
};

} // namespace

void Tskriptwindow::buildInsertMenu()
{
    m_insertMenu = new QMenu(this);
    m_insertMenu->setObjectName(QStringLiteral("commands"));
    button(QStringLiteral("hinzufuegen"))->setMenu(m_insertMenu);

    QMenu *presetMenu = m_insertMenu->addMenu(m_catalog.msg(MsgPresets));
    presetMenu->setObjectName(QStringLiteral("presets"));
    QMenu *custom = presetMenu->addMenu(m_catalog.msg(MsgCustomPresets));
    custom->setObjectName(QStringLiteral("custompresets"));
    // The captions are read when the window is made; the lines again when a preset is chosen.
    const QList<presets::Custom> own = presets::read(presets::filePath(m_settings.editorFolder()));
    for (int k = 0; k < own.size(); ++k) {
        QAction *a = custom->addAction(own[k].caption, this, [this, k] { insertCustomPreset(k + 1); });
        a->setObjectName(QStringLiteral("preset%1").arg(k + 1));
    }
    custom->setEnabled(!own.isEmpty());
    presetMenu->addSeparator();

    // The item and character presets name the open item or character placement.
    presetMenu->addAction(m_catalog.msg(MsgItem), this, [this] {
        const bool item = m_openKey && m_openKey->kind == ScriptKey::Item;
        insertPreset(presets::item(item ? m_openKey->name : QString()));
    });
    presetMenu->addAction(m_catalog.msg(MsgCharacter), this, [this] {
        const bool character = m_openKey && m_openKey->kind == ScriptKey::RoomCharacter;
        insertPreset(presets::character(character ? m_placementName : QString()));
    });
    presetMenu->addAction(m_catalog.msg(MsgObject), this, [this] { insertPreset(presets::object()); });
    presetMenu->addAction(m_catalog.msg(MsgRoom), this, [this] { insertPreset(presets::room()); });
    presetMenu->addSeparator();
    for (int rows = 1; rows <= 9; ++rows) {
        const QString caption = rows == 1 ? QStringLiteral("Textscene Level, 1 Row")
                                          : QStringLiteral("Textscene Level, %1 Rows").arg(rows);
        presetMenu->addAction(caption, this, [this, rows] { insertPreset(presets::textscene(rows)); });
    }

    for (const inserts::Menu &group : inserts::menus(m_catalog)) {
        QMenu *sub = m_insertMenu->addMenu(group.caption);
        for (qsizetype s = 0; s < group.sections.size(); ++s) {
            if (s > 0)
                sub->addSeparator();
            for (const inserts::Entry &entry : group.sections[s])
                sub->addAction(entry.caption, this, [this, entry] { insertEntry(entry); });
        }
    }
}

void Tskriptwindow::insertCustomPreset(int number)
{
    // The file may have changed since the menu was made: its lines now count.
    const QList<presets::Custom> own = presets::read(presets::filePath(m_settings.editorFolder()));
    if (number >= 1 && number <= own.size())
        insertPreset(own[number - 1].lines);
}

} // namespace mb
