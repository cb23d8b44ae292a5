#pragma once
// The project settings window. Every change of a control is written at once as an edit of the
// session's settings (one undo step per field: typing into a field, dragging a slider merge);
// the window shows the settings again when it is shown and when they change elsewhere (undo,
// open, reset). The two editor options are not part of the project and not undone.

#include "project/projectmodel.h"
#include "project/projectsession.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace mb {

class Asker;

class CoinMarkerArea;
class EditorSettings;
class MessageCatalog;

class Tgamesetup : public QDialog
{
    Q_OBJECT
public:
    Tgamesetup(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
               Asker &asker, QWidget *parent = nullptr);

    // Shows the model's settings in the controls (no change of the model).
    void load();

    // Replaceable so that tests never block.

    // Main window caption for a project name: "Mossbramble (" + name + ")".
    static QString captionFor(const QString &projectName);

    // Escape and the window's close button close it only as OK does, after the checks.
    void reject() override { button1Click(); }

    // Controls by their role, for tests and the main window.
    QLineEdit *projectNameEdit() const { return m_projectName; }
    QComboBox *resolutionBox() const { return m_gameres; }
    QLineEdit *taskHeightEdit() const { return m_edit1; }
    QLineEdit *actionTextHeightEdit() const { return m_edit3; }
    QLineEdit *startScriptEdit() const { return m_startskript; }
    QLineEdit *taskRoomEdit() const { return m_bedienraum; }
    QLineEdit *ownMenuRoomEdit() const { return m_edit2; }
    QCheckBox *taskBarBox() const { return m_bedienfeld; }
    QCheckBox *coinBox() const { return m_checkBox5; }
    QCheckBox *silentDeleteBox() const { return m_checkBox1; }
    QPushButton *okButton() const { return m_button1; }
    QPushButton *iconButton() const { return m_image1; }
    QSlider *menuFadeBar() const { return m_fadebarmenu; }
    QLabel *menuFadeLabel() const { return m_fadebarmenuLabel; }
    CoinMarkerArea *coinMarker() const { return m_image3; }

signals:
    // The game resolution changed: the room window is to be closed.
    void resolutionChanged();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void build();
    // Writes the settings as an undo step; edits of the same field (>= 0) merge, -1 never does.
    void edit(int field, const std::function<void(GameSettings &)> &change);
    const GameSettings &settings() const { return m_session.model().settings; }
    void updateEnabling();
    void updateResolutionLock();
    void normaliseTaskHeightField();
    void button1Click();
    void checkBox5Click(bool on);
    void showIcon();
    QPushButton *colourButton(uint32_t GameSettings::*field);
    void paintColourButton(QPushButton *b, unsigned int value);
    QLineEdit *textField(QString GameSettings::*field);
    QCheckBox *checkField(int message, bool GameSettings::*field);
    QCheckBox *optionField(int message, bool EditorOptions::*field);
    QSlider *fadeBar(int GameSettings::*field, QLabel *&label);

    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    Asker &m_asker;
    EditorSettings &m_settings;
    bool m_loading = false;
    bool m_editing = false; // the window's own edit is being written
    std::vector<std::function<void()>> m_loaders; // one per bound control

    QLineEdit *m_projectName = nullptr;
    QLabel *m_gameresLabel = nullptr;
    QComboBox *m_gameres = nullptr;
    QLineEdit *m_startskript = nullptr, *m_edit1 = nullptr, *m_edit2 = nullptr, *m_edit3 = nullptr,
              *m_bedienraum = nullptr, *m_textscenebg = nullptr, *m_coinroom = nullptr;
    QLabel *m_edit1Label = nullptr, *m_bedienraumLabel = nullptr, *m_edit2Label = nullptr,
           *m_textscenebgLabel = nullptr, *m_coinroomLabel = nullptr, *m_coinfadeCaption = nullptr,
           *m_bedienpopupLabel = nullptr;
    QCheckBox *m_bedienfeld = nullptr, *m_checkBox1 = nullptr, *m_checkBox2 = nullptr,
              *m_checkBox3 = nullptr, *m_checkBox5 = nullptr, *m_checkBox6 = nullptr,
              *m_taskhide = nullptr;
    QRadioButton *m_oben = nullptr, *m_unten = nullptr;
    QComboBox *m_bedienpopup = nullptr;
    QSlider *m_fadebarmenu = nullptr, *m_coinfadebar = nullptr;
    QLabel *m_fadebarmenuLabel = nullptr, *m_coinfadeLabel = nullptr;
    CoinMarkerArea *m_image3 = nullptr;
    QPushButton *m_image1 = nullptr, *m_button1 = nullptr;
};

} // namespace mb
