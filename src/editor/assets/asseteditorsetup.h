#pragma once

#include <QObject>
#include <QString>

namespace mb {

class AssetBox;
class EditorSettings;
class MessageCatalog;
class ProjectSession;
class TForm1;
class Tskriptzeile;
class Ttexteingabe;

// Puts the four asset editors into the main window: the tool windows "objbox", "charbox",
// "itembox" and "mausbox" (through TForm1::setToolWindowFactory) and the element requests of the
// game tree. A click on an object, character or item shows it in its open editor (and in the one
// that opens next); a click on an element of another kind empties it. Lives as a child of the
// main window and owns the script line box and the text input the editors share.
class AssetEditorSetup : public QObject
{
    Q_OBJECT
public:
    AssetEditorSetup(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings);

    // The open editor of the component name, or null.
    AssetBox *window(const QString &name) const;
    // The element request of an editor ("objbox", "charbox", "itembox"): a name or "free".
    void request(const QString &window, const QString &element);
    Tskriptzeile *scriptLine() const { return m_scriptLine; }

private:
    TForm1 &m_form;
    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    Tskriptzeile *m_scriptLine;
    Ttexteingabe *m_textInput;
    QString m_requests[3] = {QStringLiteral("free"), QStringLiteral("free"), QStringLiteral("free")};
};

} // namespace mb
