#pragma once
// The script line of one animation frame, entered in a small borderless box that the asset
// editors open. The owner and the frame are remembered by start(); "Eintragen" (or Enter)
// stores the line as typed, ";" included, and hides the box.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mb {

class EditorSettings;
class MessageCatalog;
class ProjectSession;

class Tskriptzeile : public QDialog
{
    Q_OBJECT
public:
    enum Owner { Item, Object, Character };

    Tskriptzeile(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                 QWidget *parent = nullptr);

    // Opens the box on the frame (state and frame 0-based) of the element in the slot, showing
    // its current script line under the title.
    void start(Owner owner, int slot, int state, int frame, const QString &title);

    // Stores the field as the frame's script line (an undo step when it changed), hides the box.
    void eintragen();

    QLineEdit *edit() const { return m_edit1; }
    QPushButton *enterButton() const { return m_button; }

signals:
    // The line was stored: the owner editor shows it and comes to the front.
    void entered(Owner owner, int slot, int state, int frame);

protected:
    void showEvent(QShowEvent *e) override;

private:
    const QString *target() const;

    ProjectSession &m_session;
    Owner m_owner = Item;
    int m_slot = 0, m_state = 0, m_frame = 0;
    QLabel *m_title = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QPushButton *m_button = nullptr;
};

} // namespace mb
