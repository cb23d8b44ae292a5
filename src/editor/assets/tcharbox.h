#pragma once

#include "assets/assetbox.h"
#include "assets/characteredit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QWidget;

namespace mb {

class MarkerWidget;
class Ttexteingabe;

// The character editor: 36 actions chosen in a list, each with its frames, size, foot point and
// speed; the action menu (copy, paste, reset, rename, equalize); the lower panel with text
// colour, walk speed, font, walking sound, the four flags and the start zoom; the foot point
// marker and the alignment helper over the preview.
class Tcharbox : public AssetBox
{
    Q_OBJECT
public:
    Tcharbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
             Tskriptzeile *scriptLine, Ttexteingabe *textInput, QWidget *parent = nullptr);

    QListWidget *actionBox() const { return m_actions; }
    QLineEdit *widthEdit() const { return m_width; }
    QLineEdit *heightEdit() const { return m_height; }
    QLineEdit *zoomEdit() const { return m_zoom; }
    QComboBox *fontBox() const { return m_font; }
    QPushButton *customizeButton() const { return m_customize; }
    QPushButton *textColourButton() const { return m_textColour; }
    QToolButton *panelToggle() const { return m_toggle; }
    QWidget *lowerPanel() const { return m_panel; }
    MarkerWidget *footMarker() const { return m_foot; }
    // The action menu as the "Customize" button shows it, entries enabled for the action.
    QMenu *actionMenu() const { return m_menu; }
    QAction *menuAction(const QString &name) const;
    // Enables the menu's entries for the action, as the button does before showing it.
    void prepareActionMenu();
    // Runs an entry of the action menu by its name: "copy", "paste", "delete", "rename", "sizes",
    // "all", "background".
    void actionMenuStep(const QString &name);
    void sizeEntered();
    void zoomEntered();
    // Drags the foot point marker to a place (as the mouse does) and ends the drag.
    void dragFootMarker(QPoint topLeft);

protected:
    void showFields() override;
    void fieldsEnabled(bool on) override;

private:
    bool editCharacter(const QString &text, const std::function<void(Rcharacter &)> &change,
                       ProjectSession::MergeKey merge = 0);

    Ttexteingabe *m_textInput;
    QListWidget *m_actions;
    QLineEdit *m_width, *m_height, *m_zoom, *m_walkSound;
    QComboBox *m_walkSpeed, *m_font;
    QCheckBox *m_flags[4];
    QPushButton *m_customize, *m_textColour;
    QToolButton *m_toggle, *m_alignToggle;
    QWidget *m_panel;
    QMenu *m_menu;
    MarkerWidget *m_foot, *m_align;
    characteredit::ActionClipboard m_clipboard;
};

} // namespace mb
