#pragma once

#include "room/roomview.h"

#include <QObject>
#include <QString>

#include <array>

class QAction;

namespace mb {

class EditorSettings;
class MessageCatalog;
class ProjectSession;
class TForm1;
class Troom;

// Puts the room editor into the main window: the tool window "room" (through
// TForm1::setToolWindowFactory), the four exclusive edit-mode toggles of the main window
// (walkmap, depth lines, inventory field, FX shapes) with their status texts, and the room
// requests of the game tree: a click on a room shows it in the open room window, a double click
// also opens the window. The room window's "Show in Objectwindow" / "Show in Characterwindow"
// open the asset editors (when they are registered). Lives as a child of the main window.
class RoomEditorSetup : public QObject
{
    Q_OBJECT
public:
    RoomEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings);

    // The open room window, or null.
    Troom *window() const;
    RoomEditMode mode() const { return m_mode; }
    // Switches a mode on (the others off) or, when it is on, off.
    void toggleMode(RoomEditMode mode);
    // Shows the room (by name; "free" closes it) in the room window when it is open, and in the
    // next one that opens.
    void requestRoom(const QString &name);
    QAction *modeAction(RoomEditMode mode) const;

private:
    void updateActions();

    void showAsset(const QString &window, const QString &element);

    TForm1 &m_form;
    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    RoomEditMode m_mode = RoomEditMode::None;
    QString m_request = QStringLiteral("free");
    std::array<QAction *, 4> m_actions{};
};

} // namespace mb
