#pragma once
// The commands and bools window: the game commands (name used in scripts, text the player
// sees), the project's bools with their initial values, and the three words of the action line.
// Bools are added, renamed, removed and set at once, each an undo step of the session; the grid
// and the words are taken over by OK (or closing the window) once they pass the checks, as one
// undo step (none when nothing changed). The bools follow undo and redo while the window is open.


#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTableWidget;
class QToolButton;
class QPushButton;

namespace mb {

class Asker;

class EditorSettings;
class MessageCatalog;
class ProjectSession;
class Ttexteingabe;

class Tcommandlist : public QDialog
{
    Q_OBJECT
public:
    Tcommandlist(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                 Asker &asker, QWidget *parent = nullptr);

    // Shows the model's commands, bools and words.
    void load();
    // Checks the grid and the words; on success takes them over and hides the window.
    bool okClick();

    QTableWidget *grid() const { return m_grid; }
    QListWidget *boolList() const { return m_bools; }
    QLineEdit *linktextEdit() const { return m_linktext; }
    QLineEdit *givelinkEdit() const { return m_givelink; }
    QLineEdit *walktextEdit() const { return m_walktext; }
    QToolButton *addButton() const { return m_plus; }
    QToolButton *removeButton() const { return m_minus; }
    QPushButton *okButton() const { return m_ok; }
    Ttexteingabe *textInput() const { return m_input; }


    // The names of the grid, the bool list, the three words and the text input dialog are shown
    // in this font family (the script editor's), each at its own size.
    void setScriptFont(const QString &family);

    // Escape and the window's close button go through the same checks as OK.
    void reject() override { okClick(); }

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillBools(int select);
    void addBoolClick();
    void removeBoolClick();
    void renameBoolClick();

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    Asker &m_asker;
    bool m_loading = false;
    QTableWidget *m_grid = nullptr;
    QListWidget *m_bools = nullptr;
    QLineEdit *m_linktext = nullptr, *m_givelink = nullptr, *m_walktext = nullptr;
    QToolButton *m_plus = nullptr, *m_minus = nullptr;
    QPushButton *m_ok = nullptr;
    Ttexteingabe *m_input = nullptr;
};

} // namespace mb
