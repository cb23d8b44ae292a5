#pragma once
// The one-line name input: bool names for the commands dialog, action names for the character
// editor and language names for the language tools. It is shown by start() and hides itself
// once a name was taken or nothing was entered; a refused name keeps it open.


#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mb {

class Asker;

class EditorSettings;
class MessageCatalog;
class ProjectSession;

class Ttexteingabe : public QDialog
{
    Q_OBJECT
public:
    enum Mode { AddBool, RenameBool, RenameAction, AddLanguage };

    Ttexteingabe(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                 Asker &asker, QWidget *parent = nullptr);

    // Adding a bool or a language: empty field. Renaming a bool: the bool at boolIndex of
    // model.commands.bools, its name selected.
    void start(Mode mode, int boolIndex = -1);
    // Renaming extra action `extra` (0-based among the character's 20 extra names).
    void startRenameAction(const std::array<QString, 20> &extraNames, int extra);

    Mode mode() const { return m_mode; }
    QLineEdit *edit() const { return m_edit1; }
    QPushButton *enterButton() const { return m_button; }
    QLabel *label() const { return m_label; }

    // The edit field shows names in this font family (the script editor's), at its own size.
    void setScriptFont(const QString &family);

    // "Eintragen": takes the entered name according to the mode.
    void eintragen();


signals:
    // A bool was added or renamed; the index is its place in the sorted list.
    void boolEntered(int index);
    // The character editor's action gets the new name.
    void actionRenamed(int extra, const QString &name);
    // A language was created in the slot.
    void languageAdded(int slot);
    // The box was hidden, whether something changed or not.
    void closed();

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void finish();
    void exists(const QString &name);

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    Asker &m_asker;
    Mode m_mode = AddBool;
    int m_boolIndex = -1;
    int m_extra = -1;
    std::array<QString, 20> m_extraNames;
    QLabel *m_label = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QPushButton *m_button = nullptr;
};

} // namespace mb
